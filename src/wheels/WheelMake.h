#pragma once

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

}  // namespace bm::wheels
