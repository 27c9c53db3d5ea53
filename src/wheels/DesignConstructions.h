#pragma once

#include <vector>

#include "wheels/CoveringBounds.h"

namespace bm::wheels {

// A wheel known from finite geometry where the shape has one, else empty: the lines of the
// affine plane of prime order q (q*q numbers, plays of q, "2 if 2") and of the projective plane
// of prime order q (q*q+q+1 numbers, plays of q+1, "2 if 2"). Both meet the Schonheim bound,
// so no search can do better. Plays are labels 0..v-1, ascending.
std::vector<std::vector<int>> KnownConstruction(const WheelShape& shape);

bool IsPrime(int q);

}  // namespace bm::wheels
