#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "wheels/CoveringBounds.h"
#include "wheels/WheelSearch.h"

namespace bm::wheels {

// A permutation group on the labels 0..v-1, given by its generators.
struct LabelGroup {
    std::vector<std::vector<int>> generators;
    std::uint64_t order = 1;
    std::string name;  // "13-cycle", "2 x 6-cycle + 1", "x -> 3x + b on Z13"
};

// The groups worth trying on v labels, largest first: one permutation of c cycles of the same
// length plus up to two fixed labels, and x -> ax + b on Z_p with up to two labels fixed.
std::vector<LabelGroup> CandidateGroups(int v);

// The translations of Z_p^n on v = p^n labels (n >= 2, v <= kMaxWheelNumbers), label x having its
// digits in base p as coordinates; nothing for any other v. Tried first for lotto designs.
std::optional<LabelGroup> TranslationGroup(int v);

struct OrbitLimits {
    std::uint64_t seed = 1;
    // Subsets looked at over all groups (the same unit as a search round's work).
    std::uint64_t workBudget = 0;
    // Good enough: the search ends when a wheel this small is found.
    std::uint64_t stopAtPlays = 0;
    // Only wheels smaller than this are returned; 0: any.
    std::uint64_t beat = 0;
    // Told the work done since the last call and the smallest wheel found so far (0: none yet),
    // every few thousand subsets; false ends the search.
    std::function<bool(std::uint64_t work, std::uint64_t bestPlays)> tick;
};

struct OrbitResult {
    std::vector<Play> plays;  // the smallest complete wheel found, ascending plays; empty if none
    std::string group;        // the group it is made of orbits of
    bool stopped = false;     // tick ended it
};

// A wheel made of whole orbits of k-subsets under one of the candidate groups: every orbit of
// m-subsets is then covered as soon as one of its members is, so the search works on a far
// smaller set-cover problem. Deterministic by seed; shapes whose tables would be too large to
// hold get no groups tried and an empty result.
OrbitResult OrbitWheel(const WheelShape& shape, const OrbitLimits& limits);
OrbitResult OrbitWheel(const WheelShape& shape, const LabelGroup& group, const OrbitLimits& limits);

}  // namespace bm::wheels
