// Games of two pools checked by tiers (m, j): the tiers that win by default and by [Prizes], the
// draw, the plays, the report lines and the summary with its expected counts.

#include <algorithm>

#include <gtest/gtest.h>

#include "checking/TwoPoolCheck.h"
#include "support/TempDir.h"

using namespace bm;
using namespace bmtest;

namespace {

GameFormat Format(int pool, int pick, int secondPool, int secondPick)
{
    GameFormat f{pool, pick, false, false};
    f.secondPool = secondPool;
    f.secondPick = secondPick;
    return f;
}

TwoPoolGame Game(int pool, int pick, int secondPool, int secondPick, const SlipMarks& marks = {})
{
    auto game = TwoPoolGameOf(Format(pool, pick, secondPool, secondPick), marks, "X.marks");
    EXPECT_TRUE(game.ok());
    return *game;
}

std::string Winners(const TwoPoolGame& g)
{
    std::string text;
    for (int t = g.Tiers() - 1; t >= 0; --t)
        if (g.wins[static_cast<std::size_t>(t)])
            text += std::to_string(g.MainOf(t)) + "+" + std::to_string(g.SecondOf(t)) + " ";
    return text;
}

TEST(TwoPoolTiers, TheDefaultWinners)
{
    const struct {
        int pool, pick, secondPool, secondPick;
        const char* winners;
    } cases[] = {
        {50, 5, 12, 2, "5+2 5+1 5+0 4+2 4+1 4+0 3+2 3+1 3+0 2+2 2+1 2+0 1+2 "},
        // One second number: where the powerball checker pays.
        {35, 7, 20, 1, "7+1 7+0 6+1 6+0 5+1 5+0 4+1 4+0 3+1 3+0 2+1 1+1 0+1 "},
        {70, 5, 25, 1, "5+1 5+0 4+1 4+0 3+1 3+0 2+1 1+1 0+1 "},
        // Other picks of two: half the main numbers, or both second ones and a main one.
        {45, 6, 10, 2, "6+2 6+1 6+0 5+2 5+1 5+0 4+2 4+1 4+0 3+2 3+1 3+0 2+2 1+2 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.winners);
        EXPECT_EQ(Winners(Game(c.pool, c.pick, c.secondPool, c.secondPick)), c.winners);
    }
}

TEST(TwoPoolTiers, PrizesNameTheWinnersAndWhatTheyPay)
{
    SlipMarks marks;
    marks.prizes = std::vector<PrizeTier>{{5, 2, "1000000"}, {3, 0, "12.50"}, {0, 2, ""}};
    const TwoPoolGame game = Game(50, 5, 12, 2, marks);
    EXPECT_EQ(Winners(game), "5+2 3+0 0+2 ");
    std::vector<std::int64_t> tally(18, 1);
    tally[static_cast<std::size_t>(game.TierOf(3, 0))] = 4;
    EXPECT_EQ(TwoPoolWon(game, tally).value_or(-1), 1000000 + 4 * 12.5);
    EXPECT_FALSE(TwoPoolWon(Game(50, 5, 12, 2), tally).has_value());

    marks.prizes = std::vector<PrizeTier>{{6, 0, "", 7}};
    const auto refused = TwoPoolGameOf(Format(50, 5, 12, 2), marks, "EM550.marks");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().message, "EM550.marks: line 7: prize tier \"6+0\" cannot happen: a play holds 5 main "
                                       "numbers and 2 of the second pool");
}

TEST(TwoPoolDraws, ReadsTheMainNumbersThenTheSecondOnes)
{
    const TwoPoolGame game = Game(50, 5, 12, 2);
    const auto draw = ParseTwoPoolDraw(" 3, 11 19\t27 35 12 3 ", game, "EM550");
    ASSERT_TRUE(draw.ok()) << draw.error().message;
    EXPECT_EQ(draw->main, (std::vector<std::int32_t>{3, 11, 19, 27, 35}));
    EXPECT_EQ(draw->second, (std::vector<std::int32_t>{12, 3}));
    EXPECT_EQ(TwoPoolDrawLine(*draw), "Draw: 3 11 19 27 35 + 12 3");
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"1 2 3 4 5 6", "--draw \"1 2 3 4 5 6\" holds 6 numbers; EM550 (5 from 50 and 2 from 12) needs 7: the 5 main "
                        "numbers, then the 2 of the second pool"},
        {"1 2 3 4 5 6 7 8", "--draw \"1 2 3 4 5 6 7 8\" holds 8 numbers; EM550 (5 from 50 and 2 from 12) needs 7: the "
                            "5 main numbers, then the 2 of the second pool"},
        {"1 2 3 4 51 6 7", "--draw: main number 51 is out of range (1 to 50)"},
        {"1 2 3 4 4 6 7", "--draw: main number 4 is given twice"},
        {"1 2 3 4 5 13 7", "--draw: second-pool number 13 is out of range (1 to 12)"},
        {"1 2 3 4 5 7 7", "--draw: second-pool number 7 is given twice"},
        {"1 2 3 4 5 0 7", "--draw: second-pool number 0 is out of range (1 to 12)"},
        {"1 2 3 4 5 6.0 7", "--draw: number 6 (\"6.0\") is not a whole number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto refused = ParseTwoPoolDraw(c.text, game, "EM550");
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.error().message, c.message);
    }
}

// Every draw of a small game enumerated: the chance of each tier must be the expected figure of
// one play.
TEST(TwoPoolSummary, ExpectedCountsAreTheChancesOfEveryDraw)
{
    const TwoPoolGame game = Game(9, 3, 5, 2);
    Play play;
    play.numbers = {1, 2, 3, 1, 2};
    play.count = 5;
    std::vector<double> hits(static_cast<std::size_t>(game.Tiers()), 0);
    double draws = 0;
    for (int a = 1; a <= 9; ++a)
        for (int b = a + 1; b <= 9; ++b)
            for (int c = b + 1; c <= 9; ++c)
                for (int s = 1; s <= 5; ++s)
                    for (int u = s + 1; u <= 5; ++u) {
                        const TwoPoolDraw draw{{a, b, c}, {s, u}};
                        ++hits[static_cast<std::size_t>(TwoPoolTier(game, draw, play))];
                        ++draws;
                    }
    for (int t = 0; t < game.Tiers(); ++t)
        EXPECT_NEAR(TwoPoolExpected(game, t, 1), hits[static_cast<std::size_t>(t)] / draws, 1e-12) << t;
}

TEST(TwoPoolSummary, ListsEveryTierWithItsExpectedCountThenTheTotals)
{
    const TwoPoolGame game = Game(50, 5, 12, 2);
    std::vector<std::int64_t> tally(18, 0);
    tally[0] = 1000;
    tally[static_cast<std::size_t>(game.TierOf(2, 1))] = 1234;
    tally[static_cast<std::size_t>(game.TierOf(1, 1))] = 5;
    const std::string summary = TwoPoolSummary(game, tally, NumberSeparators{",", "."});
    EXPECT_EQ(summary.substr(0, summary.find("Match 0+2")),
              "Match 0+0 - 1,000 Expected is 880.291\nMatch 0+1 - 0 Expected is 391.241\n");
    EXPECT_NE(summary.find("Match 1+1 - 5 Expected is "), std::string::npos);
    EXPECT_NE(summary.find("Match 2+1 - 1,234 Expected is "), std::string::npos);
    EXPECT_NE(summary.find("Match 5+2 - 0 Expected is 0.000\n\nTotal Plays - 2239\nTotal Losses - 1005\n"
                           "Total Wins - 1,234\n\n"),
              std::string::npos)
        << summary;
    EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 18 + 1 + 3 + 1);
}

TEST(TwoPoolRun, CountsEveryPlayAndReportsTheWinners)
{
    TempDir dir;
    WriteBytes(dir / "w.txt", "# two pools\r\n1 2 3 4 5 1 2\r\n\r\n1 2 3 40 41 12 11\r\n10,20,30,40,50,3,4\r\n"
                              "1,2,30,31,32,1,3\r\n");
    const TwoPoolGame game = Game(50, 5, 12, 2);
    const TwoPoolDraw draw{{1, 2, 3, 4, 5}, {1, 2}};
    auto input = InputFile::Open(dir / "w.txt");
    ASSERT_TRUE(input.ok());
    TwoPoolRun run;
    std::vector<std::string> lines;
    const Status done = RunTwoPoolCheck(game, draw, *input, MonotonicClock(), run,
                                        [&](const std::string& line) { lines.push_back(line); });
    ASSERT_TRUE(done.ok()) << done.error().message;
    EXPECT_EQ(run.playsRead, 4);
    EXPECT_EQ(lines, (std::vector<std::string>{"Match-5+2 For This Draw At Line 2", "Match-3+0 For This Draw At Line 4",
                                               "Match-2+1 For This Draw At Line 6"}));
    EXPECT_EQ(run.tally[static_cast<std::size_t>(game.TierOf(0, 0))], 1);

    const struct {
        const char* wheel;
        const char* message;  // after the file's name
    } cases[] = {
        {"1 2 3 4 5 1\r\n", ": line 1 holds 6 numbers; a play of this game has 7"},
        {"1 2 3 4 51 1 2\r\n", ": line 1: 51 is out of range (1 to 50)"},
        {"1 2 3 4 4 1 2\r\n", ": line 1: 4 is given twice"},
        {"1 2 3 4 5 1 13\r\n", ": line 1: second-pool number 13 is out of range (1 to 12)"},
        {"1 2 3 4 5 2 2\r\n", ": line 1: second-pool number 2 is given twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wheel);
        WriteBytes(dir / "bad.txt", c.wheel);
        auto bad = InputFile::Open(dir / "bad.txt");
        ASSERT_TRUE(bad.ok());
        TwoPoolRun refused;
        const Status status = RunTwoPoolCheck(game, draw, *bad, MonotonicClock(), refused, {});
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().message, (dir / "bad.txt").string() + c.message);
    }
}

// Against many draws: the wheel held in memory gives each draw the counts a check of that draw
// gives, and the CSV has a column per tier.
TEST(TwoPoolHistory, EveryDrawCountedAsOneCheckWouldBe)
{
    TempDir dir;
    WriteBytes(dir / "w.txt", "1 2 3 4 5 1 2\r\n1 2 3 40 41 12 11\r\n10,20,30,40,50,3,4\r\n1,2,30,31,32,1,3\r\n");
    SlipMarks marks;
    marks.prizes = std::vector<PrizeTier>{{5, 2, "100"}, {2, 1, "2.5"}, {3, 0, ""}};
    const TwoPoolGame game = Game(50, 5, 12, 2, marks);
    auto input = InputFile::Open(dir / "w.txt");
    ASSERT_TRUE(input.ok());
    bool stopped = false;
    const auto wheel = ReadTwoPoolWheel(game, *input, {}, stopped);
    ASSERT_TRUE(wheel.ok()) << wheel.error().message;
    EXPECT_EQ(wheel->plays, 4);
    const std::vector<TwoPoolDraw> draws = {{{1, 2, 3, 4, 5}, {1, 2}}, {{40, 41, 1, 30, 31}, {12, 3}}};
    std::vector<std::int64_t> total(18, 0);
    std::string csv = TwoPoolCsvHeader(game);
    for (const auto& draw : draws) {
        TwoPoolRun run;
        ASSERT_TRUE(RunTwoPoolCheck(game, draw, *input, MonotonicClock(), run, {}).ok());
        const auto tally = TwoPoolTally(game, *wheel, draw);
        EXPECT_EQ(tally, run.tally);
        for (std::size_t t = 0; t < 18; ++t)
            total[t] += tally[t];
        csv += TwoPoolCsvRow(game, "2024-01-02", draw, tally);
    }
    csv += TwoPoolCsvTotal(game, total);
    EXPECT_EQ(csv,
              "Date,Draw,Match 0+0,Match 0+1,Match 0+2,Match 1+0,Match 1+1,Match 1+2,Match 2+0,Match 2+1,Match 2+2,"
              "Match 3+0,Match 3+1,Match 3+2,Match 4+0,Match 4+1,Match 4+2,Match 5+0,Match 5+1,Match 5+2,Wins,Won\n"
              "2024-01-02,1 2 3 4 5 +1 +2,1,0,0,0,0,0,0,1,0,1,0,0,0,0,0,0,0,1,3,102.50\n"
              "2024-01-02,40 41 1 30 31 +12 +3,0,0,0,1,0,0,0,1,0,0,2,0,0,0,0,0,0,0,1,2.50\n"
              "Total,,1,0,0,1,0,0,0,2,0,1,2,0,0,0,0,0,0,1,4,105.00\n");
}

}  // namespace
