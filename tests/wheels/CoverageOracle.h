#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <set>
#include <vector>

#include "wheels/CoveringBounds.h"

namespace bm::wheels {

namespace oracle {

struct Bits {
    std::uint64_t w[2] = {0, 0};
};

inline int Common(const Bits& a, const Bits& b)
{
    return std::popcount(a.w[0] & b.w[0]) + std::popcount(a.w[1] & b.w[1]);
}

}  // namespace oracle

// How many m-subsets of the labels 0..v-1 meet no play in t or more numbers, by looking at every
// one of them against every play: the plain count the search's results are held against.
inline std::uint64_t CountUncoveredSets(const WheelShape& s, const std::vector<std::vector<int>>& plays)
{
    std::vector<oracle::Bits> masks;
    for (const auto& play : plays) {
        oracle::Bits b;
        for (const int e : play)
            b.w[e >> 6] |= std::uint64_t{1} << (e & 63);
        masks.push_back(b);
    }
    std::vector<int> idx(static_cast<std::size_t>(s.m));
    for (int i = 0; i < s.m; ++i)
        idx[static_cast<std::size_t>(i)] = i;
    std::uint64_t uncovered = 0;
    std::size_t last = 0;  // neighbouring subsets are mostly met by the same play
    for (;;) {
        oracle::Bits set;
        for (const int e : idx)
            set.w[e >> 6] |= std::uint64_t{1} << (e & 63);
        bool met = !masks.empty() && oracle::Common(masks[last], set) >= s.t;
        for (std::size_t p = 0; !met && p < masks.size(); ++p)
            if (oracle::Common(masks[p], set) >= s.t) {
                met = true;
                last = p;
            }
        uncovered += met ? 0 : 1;
        int i = s.m - 1;
        while (i >= 0 && idx[static_cast<std::size_t>(i)] == s.v - s.m + i)
            --i;
        if (i < 0)
            return uncovered;
        ++idx[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < s.m; ++j)
            idx[static_cast<std::size_t>(j)] = idx[static_cast<std::size_t>(j - 1)] + 1;
    }
}

// Plays of k distinct labels below v, ascending, each different, and the guarantee held.
inline void ExpectSoundWheel(const WheelShape& s, const std::vector<std::vector<int>>& plays)
{
    std::set<std::vector<int>> seen;
    for (const auto& play : plays) {
        ASSERT_EQ(play.size(), static_cast<std::size_t>(s.k));
        EXPECT_TRUE(std::is_sorted(play.begin(), play.end()));
        EXPECT_EQ(std::adjacent_find(play.begin(), play.end()), play.end());
        EXPECT_GE(play.front(), 0);
        EXPECT_LT(play.back(), s.v);
        EXPECT_TRUE(seen.insert(play).second) << "a play given twice";
    }
    EXPECT_EQ(CountUncoveredSets(s, plays), 0u);
}

}  // namespace bm::wheels
