#pragma once

#include <string>
#include <vector>

#include "wheels/CoveringBounds.h"
#include "wheels/Play.h"

namespace bm::wheels {

// A wheel known from finite geometry where the shape has one, else empty: the lines of the
// affine plane of prime order q (q*q numbers, plays of q, "2 if 2") and of the projective plane
// of prime order q (q*q+q+1 numbers, plays of q+1, "2 if 2"). Both meet the Schonheim bound,
// so no search can do better. Plays are labels 0..v-1, ascending.
std::vector<Play> KnownConstruction(const WheelShape& shape);

bool IsPrime(int q);

// A wheel that needs no search, with what it is, for messages ("Steiner system S(3,6,22) ...").
struct NamedWheel {
    std::string name;
    std::vector<Play> plays;  // labels 0..v-1, each play ascending
};

// The blocks of the Steiner systems S(5,8,24) (the 759 octads: supports of the weight-8 words of
// the extended binary Golay code) and S(5,6,12) (the 132 hexads: supports of the weight-6 words
// of the extended ternary Golay code), and those derived from them: the blocks through j fixed
// points, those points dropped, are S(5-j, 8-j, 24-j) and S(5-j, 6-j, 12-j); S(3,6,22) so has 77
// blocks. Every t-subset of the v points lies in exactly one block.
struct Steiner {
    int t, k, v;
};
std::vector<Play> SteinerSystem(const Steiner& s);
// The Steiner systems above and the planes of KnownConstruction with v points and blocks of k.
std::vector<NamedWheel> ConstructionsOn(int v, int k);

}  // namespace bm::wheels
