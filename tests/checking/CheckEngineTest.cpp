#include <gtest/gtest.h>

#include <map>
#include <set>

#include "CheckTestSupport.h"
#include "checking/CheckEngine.h"

namespace {

using bmtest::Count;
using bmtest::Draw;
using bmtest::FakeClock;

struct PlayCase {
    const char* play;
    const char* counter;
    const char* report;  // report line text before the line number, nullptr when none
};

struct VariantCase {
    const char* window;
    bool bBon;
    std::vector<int> draw;
    std::vector<PlayCase> plays;
};

// Every tier of every game, with the bonus and powerball rules at their edges.
const std::vector<VariantCase>& Cases()
{
    static const std::vector<VariantCase> cases = {
        {"frmChkwhl", true, {1, 2, 3, 4, 5, 6, 7}, {
            {"10,11,12,13,14,15", "cnt0", nullptr},
            {"7,11,12,13,14,15", "cnt0", nullptr},
            {"1,11,12,13,14,15", "cnt1", nullptr},
            {"1,2,12,13,14,7", "cnt2", nullptr},
            {"1,2,3,13,14,15", "cnt3", "Match-3 For This Draw At Line "},
            {"1,2,3,4,14,7", "cnt4", "Match-4 For This Draw At Line "},  // the bonus counts only with five
            {"1,2,3,4,5,15", "cnt5", "MATCH-5 For This Draw At Line "},
            {"1,2,3,4,5,7", "cnt5b", "MATCH-5 + Bonus For This Draw At Line "},
            {"7,5,4,3,2,1", "cnt5b", "MATCH-5 + Bonus For This Draw At Line "},
            {"6,5,4,3,2,1", "cnt6", "***MATCH-6*** For This Draw At Line "},
            {"1,1,1,1,1,1", "cnt6", "***MATCH-6*** For This Draw At Line "},  // repeats count each time
        }},
        {"frmChkwhl", false, {1, 2, 3, 4, 5, 6}, {
            {"1,11,12,13,14,15", "cnt1", nullptr},
            {"1,2,3,13,14,15", "cnt3", "Match-3 For This Draw At Line "},
            {"1,2,3,4,5,7", "cnt5", "MATCH-5 For This Draw At Line "},
            {"1,2,3,4,5,15", "cnt5", "MATCH-5 For This Draw At Line "},
            {"1,2,3,4,14,15", "cnt4", "Match-4 For This Draw At Line "},
            {"1,2,3,4,5,6", "cnt6", "***MATCH-6*** For This Draw At Line "},
            {"21,22,23,24,25,26", "cnt0", nullptr},
            {"21,22,23,24,1,2", "cnt2", nullptr},
        }},
        {"frmChkwhl7", false, {1, 2, 3, 4, 5, 6, 7, 8}, {
            {"8,11,12,13,14,15,16", "cnt0", nullptr},
            {"1,8,12,13,14,15,16", "cnt1", nullptr},
            {"1,2,8,13,14,15,16", "cnt2", nullptr},
            {"1,2,3,13,14,15,16", "cnt3", "Match-3 For This Draw At Line "},
            {"1,2,3,8,14,15,16", "cnt3b", "Match-3 + Bonus For This Draw At Line "},
            {"1,2,3,4,8,15,16", "cnt4", "Match-4 For This Draw At Line "},
            {"1,2,3,4,5,8,16", "cnt5", "MATCH-5 For This Draw At Line "},
            {"1,2,3,4,5,6,16", "cnt6", "MATCH-6 For This Draw At Line "},
            {"1,2,3,4,5,6,8", "cnt6b", "***MATCH-6 + Bonus*** For This Draw At Line "},
            {"7,6,5,4,3,2,1", "cnt7", "***MATCH-7*** For This Draw At Line "},
        }},
        {"frmChkwhl5", true, {1, 2, 3, 4, 5, 6}, {
            {"10,11,12,13,14", "cnt0", nullptr},
            {"6,11,12,13,14", "cnt0b", "Match-0+Bonus For This Draw At Line "},
            {"1,11,12,13,14", "cnt1", nullptr},
            {"1,6,12,13,14", "cnt1b", "Match-1+Bonus For This Draw At Line "},
            {"1,2,12,13,14", "cnt2", nullptr},
            {"1,2,6,13,14", "cnt2b", "Match-2+Bonus For This Draw At Line "},
            {"1,2,3,13,14", "cnt3", nullptr},  // a win without a line
            {"1,2,3,6,14", "cnt3b", "Match-3+Bonus For This Draw At Line "},
            {"1,2,3,4,14", "cnt4", nullptr},
            {"1,2,3,4,6", "cnt4b", "Match-4+Bonus For This Draw At Line "},
            {"5,4,3,2,1", "cnt5", "***JACKPOT*** For This Draw At Line "},
        }},
        {"frmChkwhl5", false, {1, 2, 3, 4, 5}, {
            {"6,11,12,13,14", "cnt0", nullptr},
            {"1,6,12,13,14", "cnt1", nullptr},
            {"1,2,12,13,14", "cnt2", nullptr},
            {"1,2,3,13,14", "cnt3", "Match-3 For This Draw At Line "},
            {"1,2,3,4,14", "cnt4", "Match-4 For This Draw At Line "},
            {"1,2,3,4,5", "cnt5", "***JACKPOT*** For This Draw At Line "},
        }},
        {"frmChkwhlPB", false, {1, 2, 3, 4, 5, 6}, {
            {"10,11,12,13,14,15", "cnt0", nullptr},
            {"6,11,12,13,14,15", "cnt0", nullptr},  // the powerball among the main picks is no hit
            {"10,11,12,13,14,1", "cnt0", nullptr},  // the sixth pick is never a main match
            {"10,11,12,13,14,6", "cnt0b", "Match-0+PB For This Draw At Line "},
            {"1,11,12,13,14,15", "cnt1", nullptr},
            {"1,11,12,13,14,6", "cnt1b", nullptr},
            {"1,2,12,13,14,15", "cnt2", nullptr},
            {"1,2,12,13,14,6", "cnt2b", nullptr},
            {"1,2,3,13,14,15", "cnt3", "Match-3 For This Draw At Line "},
            {"1,2,3,13,14,6", "cnt3b", "Match-3+PB For This Draw At Line "},
            {"1,2,3,4,14,15", "cnt4", "MATCH-4 For This Draw At Line "},
            {"1,2,3,4,14,6", "cnt4b", "*MATCH-4+PB* For This Draw At Line "},
            {"1,2,3,4,5,15", "cnt5", "**MATCH-5** For This Draw At Line "},
            {"5,4,3,2,1,6", "cnt5b", "***JACKPOT!*** For This Draw At Line "},
        }},
    };
    return cases;
}

TEST(CheckEngine, EveryTierAndReportLineOfEveryGame)
{
    bmtest::TempDir dir;
    for (const auto& c : Cases()) {
        SCOPED_TRACE(std::string(c.window) + (c.bBon ? " with bonus" : ""));
        const auto& game = bm::CheckerByName(c.window).Game(c.bBon);
        // Blank lines between the plays: report lines carry the physical line numbers.
        std::string file = "\r\n";
        std::string report;
        std::map<std::string, std::int64_t> expected;
        std::int64_t line = 1;
        for (const auto& p : c.plays) {
            file += std::string(p.play) + "\r\n  \r\n";
            ++line;
            ++expected[p.counter];
            if (p.report)
                report += p.report + std::to_string(line) + "\n";
            ++line;
        }
        bmtest::WriteBytes(dir / "wheel.txt", file);

        FakeClock clock({1000, 3500});
        bm::CheckRun run;
        const auto status = bm::RunCheck(game, Draw(game, c.draw), dir / "wheel.txt", clock, run);
        ASSERT_TRUE(status.ok()) << status.error().message;
        EXPECT_EQ(bm::ReportLines(game, run.reported), report);
        EXPECT_EQ(run.playsRead, static_cast<std::int64_t>(c.plays.size()));
        EXPECT_FALSE(run.aborted);
        EXPECT_EQ(run.elapsedMs, 2500);
        for (const auto& tier : game.tiers)
            EXPECT_EQ(Count(game, run.tally, tier.counter), expected[tier.counter]) << tier.counter;

        // Each report line of the game is met by some case, so every text above is checked.
        std::set<std::string> met, all;
        for (const auto& p : c.plays)
            if (p.report)
                met.insert(p.report);
        for (const auto& tier : game.tiers)
            if (tier.reportLine)
                all.insert(tier.reportLine);
        EXPECT_EQ(met, all);
    }
}

TEST(CheckEngine, SixNumberGameWithoutBonusNeverReadsTheBonus)
{
    const auto& game = bm::CheckerByName("frmChkwhl").Game(false);
    std::vector<std::string> texts = {"1", "2", "3", "4", "5", "6", "5"};
    const auto reading = bm::ReadDraw(game, texts);
    ASSERT_TRUE(reading.ok());
    bm::Play play;
    play.numbers = {1, 2, 3, 4, 5, 5};
    play.count = 6;
    // Six main matches: the repeated 5 counts twice, and no bonus is in play.
    EXPECT_EQ(game.tiers[bm::ClassifyPlay(game, reading.draw, play)].counter, std::string("cnt6"));
    play.numbers = {1, 2, 3, 4, 5, 9};
    EXPECT_EQ(game.tiers[bm::ClassifyPlay(game, reading.draw, play)].counter, std::string("cnt5"));
}

TEST(CheckEngine, NumbersBeyondTheUsualRangeMatchToo)
{
    const auto& game = bm::CheckerByName("frmChkwhl").Game(true);
    const auto draw = Draw(game, {300, -5, 0, 255, 256, 2147483647, -2147483647});
    const auto tierOf = [&](std::array<std::int32_t, 7> numbers) {
        bm::Play play;
        play.numbers = numbers;
        play.count = 6;
        return std::string(game.tiers[bm::ClassifyPlay(game, draw, play)].counter);
    };
    EXPECT_EQ(tierOf({300, -5, 0, 255, 256, 2147483647}), "cnt6");
    EXPECT_EQ(tierOf({300, -5, 0, 255, 256, -2147483647}), "cnt5b");
    EXPECT_EQ(tierOf({300, -5, 0, 255, 44, 45}), "cnt4");
    EXPECT_EQ(tierOf({44, 1, 254, 257, -4, 2147483646}), "cnt0");
}

// All 5,005 plays of 6 from 15 against a draw: the counts are the hypergeometric ones.
TEST(CheckEngine, AllCombinationsGiveTheCombinatorialCounts)
{
    bmtest::TempDir dir;
    std::string file;
    int plays = 0;
    for (int a = 1; a <= 15; ++a)
        for (int b = a + 1; b <= 15; ++b)
            for (int c = b + 1; c <= 15; ++c)
                for (int d = c + 1; d <= 15; ++d)
                    for (int e = d + 1; e <= 15; ++e)
                        for (int f = e + 1; f <= 15; ++f, ++plays)
                            file += std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," +
                                    std::to_string(d) + "," + std::to_string(e) + "," + std::to_string(f) + "\r\n";
    bmtest::WriteBytes(dir / "all.txt", file);
    const auto& game = bm::CheckerByName("frmChkwhl").Game(false);
    FakeClock clock;
    bm::CheckRun run;
    ASSERT_TRUE(bm::RunCheck(game, Draw(game, {2, 4, 6, 8, 10, 12}), dir / "all.txt", clock, run).ok());
    // C(6,k) * C(9,6-k) for k = 0..6
    const std::int64_t expected[] = {84, 756, 1890, 1680, 540, 54, 1};
    const char* counters[] = {"cnt0", "cnt1", "cnt2", "cnt3", "cnt4", "cnt5", "cnt6"};
    for (int k = 0; k <= 6; ++k)
        EXPECT_EQ(Count(game, run.tally, counters[k]), expected[k]) << k;
    EXPECT_EQ(run.playsRead, plays);
}

class StopAt final : public bm::CheckProgress {
public:
    explicit StopAt(int polls) : left_(polls) {}
    bool Poll(const bm::CheckRun& run) override
    {
        seen.push_back(run.playsRead);
        return --left_ > 0;
    }
    std::vector<std::int64_t> seen;

private:
    int left_;
};

TEST(CheckEngine, UserStopKeepsWhatWasCounted)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "w.txt", "1,2,3,9,9,9\n1,2,3,4,9,9\n1,9,9,9,9,9\n1,2,3,9,9,9\n1,2,3,4,5,6\n");
    const auto& game = bm::CheckerByName("frmChkwhl").Game(false);
    FakeClock clock({100, 350});
    StopAt stop(3);
    bm::CheckRun run;
    ASSERT_TRUE(bm::RunCheck(game, Draw(game, {1, 2, 3, 4, 5, 6}), dir / "w.txt", clock, run, &stop, 1).ok());
    EXPECT_TRUE(run.aborted);
    EXPECT_EQ(stop.seen, (std::vector<std::int64_t>{1, 2, 3}));
    // The play during which the stop came is counted; nothing after it is read.
    EXPECT_EQ(run.playsRead, 3);
    EXPECT_EQ(Count(game, run.tally, "cnt3"), 1);
    EXPECT_EQ(Count(game, run.tally, "cnt4"), 1);
    EXPECT_EQ(Count(game, run.tally, "cnt1"), 1);
    EXPECT_EQ(Count(game, run.tally, "cnt6"), 0);
    EXPECT_EQ(bm::ReportLines(game, run.reported), "Match-3 For This Draw At Line 1\nMatch-4 For This Draw At Line 2\n");
    EXPECT_EQ(run.elapsedMs, 250);
}

TEST(CheckEngine, PollsEveryGivenNumberOfPlays)
{
    bmtest::TempDir dir;
    std::string file;
    for (int i = 0; i < 10; ++i)
        file += "1 2 3 4 5\n";
    bmtest::WriteBytes(dir / "w.txt", file);
    const auto& game = bm::CheckerByName("frmChkwhl5").Game(false);
    FakeClock clock;
    StopAt never(1000);
    bm::CheckRun run;
    ASSERT_TRUE(bm::RunCheck(game, Draw(game, {1, 2, 3, 4, 5}), dir / "w.txt", clock, run, &never, 4).ok());
    EXPECT_EQ(never.seen, (std::vector<std::int64_t>{4, 8}));
    EXPECT_FALSE(run.aborted);
    EXPECT_EQ(Count(game, run.tally, "cnt5"), 10);
}

TEST(CheckEngine, MalformedFileStopsTheRunNamingFileAndLine)
{
    bmtest::TempDir dir;
    struct Case {
        const char* text;
        const char* what;
        std::int64_t countedBefore;
    };
    const Case cases[] = {
        {"1,2,3,4,5,6\r\n\r\n1,2,3,4,5\r\n", "line 3", 1},
        {"1,2,3,4,5,6\r\n1,2,x,4,5,6\r\n", "line 2", 1},
        {"1,2,3,4,5,6,7\r\n", "line 1", 0},
        {"1,2,3,4,5,6\r\n1,2,3,4,5,99999999999\r\n", "line 2", 1},
    };
    const auto& game = bm::CheckerByName("frmChkwhl").Game(true);
    for (const auto& c : cases) {
        bmtest::WriteBytes(dir / "bad.txt", c.text);
        FakeClock clock;
        bm::CheckRun run;
        const auto status = bm::RunCheck(game, Draw(game, {1, 2, 3, 4, 5, 6, 7}), dir / "bad.txt", clock, run);
        ASSERT_FALSE(status.ok()) << c.text;
        EXPECT_NE(status.error().message.find("bad.txt"), std::string::npos) << status.error().message;
        EXPECT_NE(status.error().message.find(c.what), std::string::npos) << status.error().message;
        EXPECT_EQ(run.playsRead, c.countedBefore);
        EXPECT_FALSE(run.aborted);
    }
    FakeClock clock;
    bm::CheckRun run;
    const auto missing = bm::RunCheck(game, Draw(game, {1, 2, 3, 4, 5, 6, 7}), dir / "gone.txt", clock, run);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().message.find("gone.txt"), std::string::npos);
}

TEST(CheckEngine, EmptyFileCompletesWithNothingCounted)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "empty.txt", "");
    const auto& game = bm::CheckerByName("frmChkwhlPB").Game(false);
    FakeClock clock;
    bm::CheckRun run;
    ASSERT_TRUE(bm::RunCheck(game, Draw(game, {1, 2, 3, 4, 5, 6}), dir / "empty.txt", clock, run).ok());
    EXPECT_EQ(run.playsRead, 0);
    EXPECT_EQ(run.tally, bm::Tally{});
    EXPECT_EQ(bm::ReportLines(game, run.reported), "");
}

TEST(CheckEngine, LastLineWithoutLineEndAndBlankSeparatedNumbers)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "w.txt", "1 2 3 4 5 6 7\n\t\n 1, 2 ,3,4,5,6,8");
    const auto& game = bm::CheckerByName("frmChkwhl7").Game(true);
    FakeClock clock;
    bm::CheckRun run;
    ASSERT_TRUE(bm::RunCheck(game, Draw(game, {1, 2, 3, 4, 5, 6, 7, 8}), dir / "w.txt", clock, run).ok());
    EXPECT_EQ(bm::ReportLines(game, run.reported),
              "***MATCH-7*** For This Draw At Line 1\n***MATCH-6 + Bonus*** For This Draw At Line 3\n");
}

}  // namespace
