// The Steiner systems from the Golay codes, counted the plain way: every t-subset of the points in
// exactly one block; the split wheels proven by the analysis.

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "wheels/DesignConstructions.h"
#include "wheels/WheelAnalysis.h"
#include "wheels/WheelLibrary.h"
#include "wheels/WheelMake.h"

namespace bm::wheels {
namespace {

// How many blocks hold each t-subset of 0..v-1, walked one subset at a time.
std::map<std::vector<int>, int> HoldersOfEveryTSubset(const std::vector<std::vector<int>>& blocks, int v, int t)
{
    std::map<std::vector<int>, int> held;
    std::vector<int> subset(static_cast<std::size_t>(t));
    // Every t-subset of 0..v-1 starts at zero.
    std::vector<bool> pick(static_cast<std::size_t>(v), false);
    std::fill(pick.begin(), pick.begin() + t, true);
    do {
        std::vector<int> s;
        for (int i = 0; i < v; ++i)
            if (pick[static_cast<std::size_t>(i)])
                s.push_back(i);
        held[s] = 0;
    } while (std::prev_permutation(pick.begin(), pick.end()));
    for (const auto& block : blocks) {
        std::vector<bool> in(block.size(), false);
        std::fill(in.begin(), in.begin() + t, true);
        do {
            std::vector<int> s;
            for (std::size_t i = 0; i < block.size(); ++i)
                if (in[i])
                    s.push_back(block[i]);
            ++held[s];
        } while (std::prev_permutation(in.begin(), in.end()));
    }
    return held;
}

TEST(SteinerSystems, EveryTSubsetLiesInExactlyOneBlock)
{
    const struct {
        Steiner s;
        std::size_t blocks;
    } cases[] = {
        {{5, 8, 24}, 759}, {{4, 7, 23}, 253}, {{3, 6, 22}, 77}, {{2, 5, 21}, 21},
        {{5, 6, 12}, 132}, {{4, 5, 11}, 66},  {{3, 4, 10}, 30}, {{2, 3, 9}, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("S(" + std::to_string(c.s.t) + "," + std::to_string(c.s.k) + "," + std::to_string(c.s.v) + ")");
        const auto blocks = SteinerSystem(c.s);
        EXPECT_EQ(blocks.size(), c.blocks);
        for (const auto& block : blocks) {
            EXPECT_EQ(static_cast<int>(block.size()), c.s.k);
            EXPECT_TRUE(std::is_sorted(block.begin(), block.end()));
            EXPECT_TRUE(std::adjacent_find(block.begin(), block.end()) == block.end());
            EXPECT_TRUE(block.front() >= 0 && block.back() < c.s.v);
        }
        const auto held = HoldersOfEveryTSubset(blocks, c.s.v, c.s.t);
        EXPECT_EQ(static_cast<std::int64_t>(held.size()), Binomial(c.s.v, c.s.t));
        EXPECT_TRUE(std::all_of(held.begin(), held.end(), [](const auto& h) { return h.second == 1; }));
        // The analysis the program proves wheels with agrees.
        const auto guaranteed = Guaranteed(blocks, c.s.v, c.s.t);
        ASSERT_TRUE(guaranteed);
        EXPECT_EQ(*guaranteed, c.s.t);
    }
    EXPECT_TRUE(SteinerSystem({3, 6, 23}).empty());
    EXPECT_TRUE(SteinerSystem({6, 9, 25}).empty());
}

// Where a construction serves, `wheel make` gives it at once when it meets the best published size
// or the bound, and names it.
TEST(SteinerSystems, ServeTheirShapesAtOnce)
{
    const struct {
        WheelShape shape;
        std::size_t plays;
        const char* source;
    } cases[] = {
        {{22, 6, 3, 3}, 77, "Steiner system S(3,6,22) from the binary Golay code"},
        {{24, 8, 5, 5}, 759, "Steiner system S(5,8,24) from the binary Golay code"},
        {{11, 5, 4, 4}, 66, "Steiner system S(4,5,11) from the ternary Golay code"},
        {{25, 5, 2, 2}, 30, "affine plane of order 5"},
        {{9, 3, 2, 2}, 12, "Steiner system S(2,3,9) from the ternary Golay code"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        std::vector<std::string> faults;
        MakeLimits limits;
        limits.search.keepGoing = [](const SearchProgress&) {
            ADD_FAILURE() << "searched";
            return false;
        };
        const MadeWheel made = MakeWheel(c.shape, limits, {}, faults);
        EXPECT_EQ(made.plays.size(), c.plays);
        EXPECT_EQ(made.source, c.source);
        EXPECT_EQ(CheckedMatch(c.shape, made.plays).value_or(-1), c.shape.t);
    }
}

// Any m numbers drawn put m1 in A or m2 in B: the parts' wheels together hold "t if m".
TEST(SplitWheels, PartsReadyOrSearchedMakeAProvenWheel)
{
    std::vector<std::string> faults;
    MakeLimits limits;
    // Both parts ready: S(3,6,22) for "3 if 3" of 22 and C(7,6,5) for "3 if 3" of 7.
    const auto ready = SplitWheel({29, 6, 5, 3}, limits, WHEEL_LIBRARY_DIR, faults);
    ASSERT_TRUE(ready);
    EXPECT_EQ(ready->plays.size(), 83u);
    EXPECT_EQ(ready->source,
              "split of 7 + 22: 3 if 3 of 7 (6 plays, library design C(7,6,5)) and 3 of 22 (77 plays, Steiner "
              "system S(3,6,22) from the binary Golay code)");
    EXPECT_EQ(CheckedMatch({29, 6, 5, 3}, ready->plays), 3);
    // The search goes on from it, keeping the smaller, still proven.
    SearchLimits fromSplit;
    fromSplit.start = ready->plays;
    fromSplit.startAtOnce = true;
    fromSplit.maxRounds = 5;
    const SearchResult searched = BuildWheel({29, 6, 5, 3}, fromSplit);
    EXPECT_TRUE(searched.fromStart);
    EXPECT_LE(searched.plays.size(), 83u);
    EXPECT_EQ(CheckedMatch({29, 6, 5, 3}, searched.plays), 3);
    // No split when m + 1 < 2t, or without a size to judge a searched part by.
    EXPECT_FALSE(SplitWheel({27, 6, 4, 3}, limits, WHEEL_LIBRARY_DIR, faults));
    EXPECT_FALSE(SplitWheel({30, 6, 5, 3}, limits, {}, faults));

    // 6/49 "3 if 6" as 22 + 27: S(3,6,22) and a searched "3 if 4" wheel on the other 27 numbers.
    limits.search.maxRounds = 20;
    const auto lotto = SplitWheel({49, 6, 6, 3}, limits, WHEEL_LIBRARY_DIR, faults);
    ASSERT_TRUE(lotto);
    EXPECT_EQ(lotto->source.rfind("split of 22 + 27: 3 if 3 of 22 (77 plays, Steiner system S(3,6,22) from the "
                                  "binary Golay code) and 4 of 27 (",
                                  0),
              0u)
        << lotto->source;
    EXPECT_EQ(std::vector<std::vector<int>>(lotto->plays.begin(), lotto->plays.begin() + 77),
              SteinerSystem({3, 6, 22}));
    EXPECT_LT(lotto->plays.size(), 77u + 110u);
    EXPECT_EQ(CheckedMatch({49, 6, 6, 3}, lotto->plays), 3);
    EXPECT_TRUE(faults.empty());
}

}  // namespace
}  // namespace bm::wheels
