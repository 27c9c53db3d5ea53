#include <algorithm>
#include <iterator>

#include "wheels/CoveringBounds.h"

namespace bm::wheels {

namespace {

struct Known {
    int v, k, m, t;
    unsigned plays;
    bool proven;
};

// Sizes published for these shapes: the covering numbers C(v, k, k-1) listed in OEIS A066010,
// the La Jolla Covering Repository's C(v,4,3) and C(v,6,5), the affine planes of order 5 and 7,
// and two public lotto designs whose guarantee was checked exhaustively. `proven`: no smaller
// wheel exists (only where the published tables say so).
constexpr Known kKnown[] = {
    {7, 3, 2, 2, 7, true},
    {8, 3, 2, 2, 11, true},
    {9, 3, 2, 2, 12, true},
    {10, 3, 2, 2, 17, true},
    {11, 3, 2, 2, 19, true},
    {12, 3, 2, 2, 24, true},
    {13, 3, 2, 2, 26, true},
    {8, 5, 4, 4, 20, true},
    {9, 5, 4, 4, 30, true},
    {10, 5, 4, 4, 51, true},
    {11, 5, 4, 4, 66, true},
    {12, 5, 4, 4, 113, true},
    {9, 7, 6, 6, 16, true},
    {10, 7, 6, 6, 45, true},
    {11, 7, 6, 6, 84, true},
    {5, 4, 3, 3, 4, true},
    {6, 4, 3, 3, 6, true},
    {7, 4, 3, 3, 12, true},
    {8, 4, 3, 3, 14, true},
    {9, 4, 3, 3, 25, true},
    {10, 4, 3, 3, 30, true},
    {11, 4, 3, 3, 47, true},
    {12, 4, 3, 3, 57, true},
    {13, 4, 3, 3, 78, true},
    {14, 4, 3, 3, 91, false},
    {15, 4, 3, 3, 124, false},
    {16, 4, 3, 3, 140, false},
    {17, 4, 3, 3, 183, false},
    {18, 4, 3, 3, 207, false},
    {19, 4, 3, 3, 258, false},
    {20, 4, 3, 3, 285, false},
    {21, 4, 3, 3, 352, false},
    {22, 4, 3, 3, 385, false},
    {23, 4, 3, 3, 466, false},
    {24, 4, 3, 3, 510, false},
    {25, 4, 3, 3, 600, false},
    {26, 4, 3, 3, 650, false},
    {27, 4, 3, 3, 763, false},
    {28, 4, 3, 3, 819, false},
    {29, 4, 3, 3, 950, false},
    {30, 4, 3, 3, 1020, false},
    {7, 6, 5, 5, 6, true},
    {8, 6, 5, 5, 12, true},
    {9, 6, 5, 5, 30, true},
    {10, 6, 5, 5, 50, true},
    {11, 6, 5, 5, 100, false},
    {12, 6, 5, 5, 132, true},
    {13, 6, 5, 5, 245, true},
    {14, 6, 5, 5, 371, false},
    {15, 6, 5, 5, 578, false},
    {16, 6, 5, 5, 808, false},
    {17, 6, 5, 5, 1202, false},
    {18, 6, 5, 5, 1530, false},
    {19, 6, 5, 5, 2167, false},
    {20, 6, 5, 5, 2800, false},
    {25, 5, 2, 2, 30, true},
    {49, 7, 2, 2, 56, true},
    {27, 6, 4, 3, 86, false},
    {49, 6, 6, 3, 163, false},
    // The rest of the library's designs: the repository's best known sizes.
    {31, 4, 3, 3, 1165, false},
    {32, 4, 3, 3, 1240, false},
    {33, 4, 3, 3, 1411, false},
    {34, 4, 3, 3, 1496, false},
    {35, 4, 3, 3, 1689, false},
    {36, 4, 3, 3, 1791, false},
    {37, 4, 3, 3, 2001, false},
    {38, 4, 3, 3, 2109, false},
    {39, 4, 3, 3, 2350, false},
    {40, 4, 3, 3, 2470, false},
    {21, 6, 5, 5, 3863, false},
    {22, 6, 5, 5, 4659, false},
    {23, 6, 5, 5, 6156, false},
    {24, 6, 5, 5, 7084, false},
};

}  // namespace

std::optional<PublishedSize> PublishedRecord(const WheelShape& s)
{
    const auto hit = std::find_if(std::begin(kKnown), std::end(kKnown), [&s](const Known& k) {
        return k.v == s.v && k.k == s.k && k.m == s.m && k.t == s.t;
    });
    if (hit == std::end(kKnown))
        return std::nullopt;
    return PublishedSize{hit->plays, hit->proven};
}

}  // namespace bm::wheels
