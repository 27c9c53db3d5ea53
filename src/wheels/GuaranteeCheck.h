#pragma once

#include <cstdint>
#include <vector>

#include "wheels/CoveringBounds.h"

namespace bm::wheels {

// How many m-subsets of the labels 0..v-1 meet no play in t or more numbers, by looking at
// every one of them. Plays hold labels 0..v-1.
std::uint64_t CountUncoveredSets(const WheelShape& shape, const std::vector<std::vector<int>>& plays);

}  // namespace bm::wheels
