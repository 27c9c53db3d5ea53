#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "wheels/CoveringBounds.h"
#include "wheels/WheelAnalysis.h"
#include "wheels/WheelSearch.h"

namespace bm::wheels {

// Why a wheel of this shape cannot be made here (a shape that makes no sense, a search or a
// check too large for memory), or nothing.
std::optional<std::string> MakeFault(const WheelShape& shape);

// The guarantee a wheel on labels 0..v-1 really holds for the shape, counted by the same
// exhaustive analysis as `wheel analyze`: the smallest, over every m-subset of the v numbers, of
// its most members in one play. Nothing when the analysis was stopped.
std::optional<int> CheckedMatch(const WheelShape& shape, const std::vector<Play>& plays,
                                const AnalysisProgress& progress = {});

// The plays on the player's numbers (label i stands for numbers[i]), each ascending.
std::vector<std::vector<int>> PlaysOnNumbers(const std::vector<Play>& plays, const std::vector<int>& numbers);

// "lower bound 87 (Turan); best published 163" or "...; no published size known".
std::string BoundAndRecordText(const WheelShape& shape);

// A wheel for the shape that needs no search, and where it comes from.
struct ReadyWheel {
    std::vector<Play> plays;  // labels 0..v-1
    std::string source;       // "best published, from the library", "Steiner system S(3,6,22) ..."
    bool searched = false;    // a part of it was searched for, taking most of the time
};

// The library's designs on v numbers with plays of k and the constructions (DesignConstructions)
// whose guarantee for the shape the exhaustive analysis proves, the smallest first. A library file
// that cannot be read is left out, its fault added to `faults`.
std::vector<ReadyWheel> ReadyWheels(const WheelShape& shape, const std::filesystem::path& library,
                                    std::vector<std::string>& faults);

// How a wheel is made: the search's limits, and the share (0 to 1) of the time given that is spent,
// by which the parts of a split get their time; nothing for no time limit.
struct MakeLimits {
    SearchLimits search;
    std::function<double()> spent;
};

// A "t if m" wheel on A + B (labels 0..a-1 and a..v-1) from a "t if m1" wheel on A and a "t if m2"
// wheel on B with m1 + m2 = m + 1 (any m numbers drawn put m1 in A or m2 in B), when the parts'
// best known sizes make it worth building: each part ready, or searched for most of the time.
// Proven by the analysis before it is returned; nothing when no split serves.
std::optional<ReadyWheel> SplitWheel(const WheelShape& shape, const MakeLimits& limits,
                                     const std::filesystem::path& library, std::vector<std::string>& faults);

struct MadeWheel {
    std::vector<Play> plays;  // labels 0..v-1; empty when none was complete
    std::string source;       // empty: the search's own
    std::int64_t rounds = 0;
    bool stopped = false;
};

// The smallest wheel of the library, the constructions and the search: a ready wheel at the best
// published size or the lower bound comes back at once; otherwise the search goes on from the
// smallest ready wheel and the smaller of the two is kept.
MadeWheel MakeWheel(const WheelShape& shape, const MakeLimits& limits, const std::filesystem::path& library,
                    std::vector<std::string>& faults);

}  // namespace bm::wheels
