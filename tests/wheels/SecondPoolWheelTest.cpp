// Second-pool numbers given to a wheel's plays: in turn, as evenly as the play count allows, or
// every play with every choice of them; and counted per number.

#include <gtest/gtest.h>

#include "wheels/SecondPool.h"

using namespace bm::wheels;

namespace {

const std::vector<std::vector<int>> kPlays = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {1, 5, 9}, {2, 6, 7}};

TEST(SecondPoolWheel, GivesTheNumbersInTurnOrToEveryPlay)
{
    const struct {
        const char* name;
        SecondChoice choice;
        std::vector<std::vector<int>> expected;
    } cases[] = {
        {"one each, in turn",
         {{26, 3}, 1, false, {}},
         {{1, 2, 3, 26}, {4, 5, 6, 3}, {7, 8, 9, 26}, {1, 5, 9, 3}, {2, 6, 7, 26}}},
        {"two each, in turn, ascending",
         {{12, 3, 7}, 2, false, {}},
         {{1, 2, 3, 3, 12}, {4, 5, 6, 7, 12}, {7, 8, 9, 3, 7}, {1, 5, 9, 3, 12}, {2, 6, 7, 7, 12}}},
        {"every play with every number",
         {{9, 4}, 1, true, {}},
         {{1, 2, 3, 9},
          {1, 2, 3, 4},
          {4, 5, 6, 9},
          {4, 5, 6, 4},
          {7, 8, 9, 9},
          {7, 8, 9, 4},
          {1, 5, 9, 9},
          {1, 5, 9, 4},
          {2, 6, 7, 9},
          {2, 6, 7, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto plays = WithSecondNumbers(kPlays, c.choice);
        ASSERT_TRUE(plays.ok()) << plays.error().message;
        EXPECT_EQ(*plays, c.expected);
    }
    // Every pair of three chosen numbers: each play three times.
    const auto pairs = WithSecondNumbers(kPlays, {{1, 2, 3}, 2, true, {}});
    ASSERT_TRUE(pairs.ok());
    ASSERT_EQ(pairs->size(), 15u);
    EXPECT_EQ((*pairs)[2], (std::vector<int>{1, 2, 3, 2, 3}));
}

TEST(SecondPoolWheel, EachNumberAsEvenlyAsThePlaysAllow)
{
    std::vector<std::vector<int>> plays(60, std::vector<int>{1, 2, 3, 4, 5});
    const std::vector<int> chosen = {1, 5, 9, 13, 17, 21, 26};
    const auto given = WithSecondNumbers(plays, {chosen, 1, false, {}});
    ASSERT_TRUE(given.ok());
    const auto counts = SecondNumberCounts(*given, 1, chosen);
    for (const auto n : counts)
        EXPECT_TRUE(n == 8 || n == 9) << n;  // 60 = 7 x 8 + 4
    EXPECT_EQ(SecondCountsText({1, 5}, {9, 8}), "Second,Plays\n1,9\n5,8\n");
}

TEST(SecondPoolWheel, RefusesTooFewNumbersOrTooManyPlays)
{
    const auto few = WithSecondNumbers(kPlays, {{3}, 2, false, {}});
    ASSERT_FALSE(few.ok());
    EXPECT_EQ(few.error().message, "--second holds 1 number; a play takes 2 second-pool numbers");
    std::vector<std::vector<int>> many(kMostPlaysWithSecond / 10 + 1, std::vector<int>{1, 2, 3});
    std::vector<int> ten = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const auto tooMany = WithSecondNumbers(many, {ten, 1, true, {}});
    ASSERT_FALSE(tooMany.ok());
    EXPECT_EQ(tooMany.error().message.rfind("--second-all would make 10000010 plays (1000001 x 10); at most", 0), 0u);
}

}  // namespace
