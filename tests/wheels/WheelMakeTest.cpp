#include <gtest/gtest.h>

#include "wheels/WheelMake.h"

namespace bm::wheels {
namespace {

// What the command and the window check before a made wheel is written or shown.
TEST(WheelMake, TheCheckCatchesAWheelThatMissesItsGuarantee)
{
    const WheelShape fano{7, 3, 2, 2};
    std::vector<Play> lines{{0, 1, 2}, {0, 3, 4}, {0, 5, 6}, {1, 3, 5}, {1, 4, 6}, {2, 3, 6}, {2, 4, 5}};
    EXPECT_EQ(CheckedMatch(fano, lines), 2);
    lines.pop_back();  // the pairs of {2, 4, 5} now meet no play in 2
    EXPECT_EQ(CheckedMatch(fano, lines), 1);
    EXPECT_EQ(CheckedMatch({6, 3, 3, 2}, {{0, 1, 2}, {3, 4, 5}}), 2);
    EXPECT_EQ(CheckedMatch({6, 3, 3, 2}, {{0, 1, 2}, {2, 3, 4}}), 1);  // 0, 3 and 5 meet each in one
    // Stopped: no verdict at all.
    EXPECT_FALSE(CheckedMatch(fano, lines, [](double) { return false; }).has_value());
}

TEST(WheelMake, PlaysGoOnTheNumbersInTheOrderGiven)
{
    EXPECT_EQ(PlaysOnNumbers({{0, 1, 2}, {1, 3, 4}}, {40, 9, 17, 5, 1}),
              (std::vector<std::vector<int>>{{9, 17, 40}, {1, 5, 9}}));
}

TEST(WheelMake, FaultsAndTheBoundLine)
{
    EXPECT_FALSE(MakeFault({49, 6, 6, 3}).has_value());
    EXPECT_EQ(MakeFault({10, 6, 3, 4}).value_or(""), "the match 4 is more than the if 3");
    EXPECT_NE(MakeFault({70, 7, 7, 2}).value_or("").find("subsets of 7 numbers in memory"), std::string::npos);
    EXPECT_EQ(BoundAndRecordText({49, 6, 6, 3}), "lower bound 87 (Turan); best published 163");
    EXPECT_EQ(BoundAndRecordText({7, 3, 2, 2}), "lower bound 7 (Schonheim); best published 7, proven smallest");
    EXPECT_EQ(BoundAndRecordText({15, 6, 5, 4}), "lower bound 22 (counting); no published size known");
}

}  // namespace
}  // namespace bm::wheels
