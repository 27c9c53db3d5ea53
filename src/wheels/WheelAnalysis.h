#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "checking/GameVariants.h"
#include "common/Result.h"
#include "wheels/Play.h"

namespace bm::wheels {

// Plays of one size held at a byte a label, not as Plays: a wheel file read for analysis may hold
// millions of plays, a quarter of the memory and cache this way.
struct PackedPlays {
    int size = 0;                      // labels of a play
    std::vector<std::uint8_t> labels;  // play after play
    std::size_t count() const { return size > 0 ? labels.size() / static_cast<std::size_t>(size) : 0; }
    const std::uint8_t* play(std::size_t p) const { return labels.data() + p * static_cast<std::size_t>(size); }
    std::vector<Play> Unpacked() const;
};

// What a wheel guarantees over every possible draw of `drawn` numbers from a pool of `pool`,
// when the wheel's numbers U are the labels 0..v-1 (the rest of the pool lies outside U).
struct Coverage {
    std::int64_t plays = 0;
    int numbers = 0;  // v
    int pool = 0;
    int drawn = 0;
    // By m = 0 .. min(drawn, v): the smallest, over every m-subset of U, of the most of its
    // members in one play; and how many draws hold exactly m numbers of U.
    std::vector<int> guaranteed;
    std::vector<std::int64_t> drawsWithin;
    // By t = 0 .. drawn: how many draws have a best play matching exactly t numbers.
    std::vector<std::int64_t> best;
};

std::int64_t Binomial(int n, int k);

// The subsets of U an analysis walks: every subset of at most `drawn` of the v numbers.
std::int64_t SubsetCount(int v, int drawn);

// More than this is refused at once: some 10 s of work here, and the two largest subset levels
// are kept in memory at a byte per subset (at most 700 MB).
inline constexpr std::int64_t kMaxSubsets = 700'000'000;

// Why the wheel cannot be analysed so (too many subsets, labels out of range), or nothing.
std::optional<std::string> AnalysisFault(const std::vector<Play>& plays, int v, int pool, int drawn);
std::optional<std::string> AnalysisFault(const PackedPlays& plays, int v, int pool, int drawn);

// Asked now and then with the share of the work done (0 to 1); false stops the analysis.
using AnalysisProgress = std::function<bool(double done)>;

// Exhaustive: each draw matters only through the subset S of U it holds, and the best match of
// S is |S| when a play holds all of S, else the best over S less one of its members. So the
// subsets are walked level by level, each level from the one below, and every subset stands for
// the C(pool - v, drawn - |S|) draws that complete it outside U. An error when refused (see
// AnalysisFault) or stopped (Error::Stopped()).
Result<Coverage> Analyze(const std::vector<Play>& plays, int v, int pool, int drawn,
                         const AnalysisProgress& progress = {});
Result<Coverage> Analyze(const PackedPlays& plays, int v, int pool, int drawn, const AnalysisProgress& progress = {});

// What a design on labels 0..v-1 guarantees when m of the drawn numbers are among its v: the
// "t" of its "t if m" (it depends on nothing else). Refused as Analyze is, and when m > v.
Result<int> Guaranteed(const std::vector<Play>& plays, int v, int m, const AnalysisProgress& progress = {});

// A wheel file read for analysis: its plays by the checker's rules for `game` in a pool of `pool`
// (only the main numbers count), and the wheel's numbers in ascending order; the plays come
// back on labels 0..u-1, label i standing for numbers[i], at a byte a number. A wheel without
// plays is refused, and so is one whose plays hold more subsets to mark than an analysis may
// take, at the line where they pass that bound: nothing past it is read.
struct WheelOnNumbers {
    std::vector<int> numbers;
    PackedPlays plays;
};
Result<WheelOnNumbers> ReadWheelForAnalysis(const std::filesystem::path& wheel, const CheckGame& game, int pool);

// The analysis as `wheel analyze` writes it, lines ending in "\n".
std::string CoverageText(const Coverage& coverage);

}  // namespace bm::wheels
