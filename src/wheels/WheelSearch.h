#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "wheels/CoveringBounds.h"
#include "wheels/Play.h"

namespace bm::wheels {

// How far a search has come, reported once a round.
struct SearchProgress {
    std::int64_t rounds = 0;
    std::size_t bestPlays = 0;    // the smallest complete wheel so far; 0 before the first
    std::size_t tryingPlays = 0;  // the size being worked on
    std::uint64_t uncovered = 0;  // m-subsets the size being worked on still misses
    std::uint64_t work = 0;       // subsets looked at so far, the unit rounds are made of
};

// A round is a fixed amount of work (a count of subsets looked at), never a span of time, so a
// round budget ends a search at the same point on any machine.
struct SearchLimits {
    std::uint64_t seed = 1;
    std::int64_t maxRounds = -1;  // < 0: no budget
    // Ends the search when it reaches this size; 0: the best lower bound known.
    std::uint64_t stopAtPlays = 0;
    // Asked once a round (and during the first construction); false ends the search, keeping
    // the best wheel found. This is where a time limit, Escape or Ctrl+C come in.
    std::function<bool(const SearchProgress&)> keepGoing;
    // A complete wheel to go on from (labels 0..v-1) when it is smaller than the search's own start;
    // with `startAtOnce`, in place of building that start (a start known to be good saves its time).
    std::vector<Play> start;
    bool startAtOnce = false;
};

struct SearchResult {
    std::vector<Play> plays;  // the smallest complete wheel found; empty when none was
    std::int64_t rounds = 0;
    bool reachedBound = false;  // no smaller wheel is possible, or stopAtPlays was reached
    bool stopped = false;       // keepGoing ended it
    bool fromStart = false;     // it went on from the start given
    std::uint64_t work = 0;     // subsets looked at in all
};

// The most m-subsets a search holds in memory (four bytes each).
inline constexpr std::uint64_t kMaxSearchSets = 64'000'000;

// Why a search of this shape cannot be held in memory ("... would hold N subsets"), or empty.
std::string SearchSizeProblem(const WheelShape& shape);

// Builds a wheel of the shape, as small as the limits allow. The same seed and the same
// shape give the same sequence of ever smaller wheels, so the result depends only on where
// the search ends: at the bound and with a round budget always at the same wheel; with a
// time limit at the wheel of the sequence reached when the time ran out. Every wheel
// returned covers every m-subset (the search's own count says so; callers verify it
// independently before trusting it).
SearchResult BuildWheel(const WheelShape& shape, const SearchLimits& limits);

}  // namespace bm::wheels
