#pragma once

#include <cstdint>
#include <vector>

#include "wheels/CoveringBounds.h"

namespace bm::wheels {

// For "3 if m" (m >= 4): a family of triples that every m numbers meet, from splitting the
// numbers into m-1 parts V0..V(m-2): the triples inside one part and those with two numbers in
// some Vi and one in V(i+1). Any m numbers hold one (two in every part they touch would need as
// many empty parts as doubled ones, and there are only m-1 parts), so plays holding every triple
// of the family make a wheel. About a sixth of all triples for 6 of 49 against a quarter for
// the triples inside two halves. By triple rank (colex); empty for other shapes.
std::vector<char> CyclicTripleFamily(const WheelShape& shape);

// Plays of a numbers from Vi and k-a from V(i+1) (the parts of CyclicTripleFamily), a from
// `from` to `to`, one after another, each ascending; empty when there would be more than `most`.
std::vector<int> CyclicPlays(const WheelShape& shape, int from, int to, std::uint64_t most);

}  // namespace bm::wheels
