#include <cstdlib>

#include <gtest/gtest.h>

#include "CheckTestSupport.h"
#include "checking/CheckReport.h"
#include "checking/NumberPatterns.h"
#include "checking/SummaryFile.h"
#include "support/TempDir.h"

namespace {

const bm::NumberSeparators kEnglish;

bm::Tally TallyOf(const bm::CheckGame& game, const std::vector<std::pair<const char*, std::int64_t>>& counts)
{
    bm::Tally tally;
    for (const auto& [counter, n] : counts)
        tally.count.at(static_cast<std::size_t>(game.IndexOf(counter))) = n;  // throws for a counter the game lacks
    return tally;
}

TEST(CheckReport, OneLineTexts)
{
    const auto& six = bm::CheckerById("six").Game(true);
    const auto& sixPlain = bm::CheckerById("six").Game(false);
    const auto& powerball = bm::CheckerById("powerball").Game(false);
    const std::pair<std::string, const char*> cases[] = {
        {bm::ReportHeader("NY649", "week1.txt", six, bmtest::Draw(six, {43, 3, 11, 19, 27, 35, 7}), 1234, kEnglish),
         "Lottery: NY649\nTicket File: week1.txt\nDraw: 43 3 11 19 27 35 Bonus 7\n"
         "Checking 1,234 Picks Against Above Draw Results\n\n"},
        {bm::ReportHeader("NY649", "empty.txt", six, bmtest::Draw(six, {43, 3, 11, 19, 27, 35, 7}), 0, kEnglish),
         "Lottery: NY649\nTicket File: empty.txt\nDraw: 43 3 11 19 27 35 Bonus 7\n"
         "Checking 0 Picks Against Above Draw Results\n\n"},
        // The draw as read, in box order: no bonus where the game has none, the powerball named.
        {bm::DrawLine(sixPlain, bmtest::Draw(sixPlain, {1, 2, 3, 4, 5, 6})), "Draw: 1 2 3 4 5 6"},
        {bm::DrawLine(powerball, bmtest::Draw(powerball, {5, 12, 23, 34, 45, 7})), "Draw: 5 12 23 34 45 Powerball 7"},
        {bm::LoadedText(0, kEnglish), "This file contains  picks. Click RUN to continue."},
        {bm::LoadedText(1234567, {".", ","}), "This file contains 1.234.567 picks. Click RUN to continue."},
        {bm::AbortText(1235, 1234.5, kEnglish), "Operation Aborted By User At Line 1,234 After 1234.500 Seconds"},
        // Stopped during the first play: a zero in "#,###" prints nothing.
        {bm::AbortText(1, 0.25, kEnglish), "Operation Aborted By User At Line  After 0.250 Seconds"},
        {bm::InterruptQuestion(12345), "Current count is 12345\nDo You Want To Abort This Operation?"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(text, expected);
}

TEST(CheckReport, SummaryLayoutOfEveryGame)
{
    const struct {
        const char* checker;
        bool bBon;
        int pool;
        std::vector<std::pair<const char*, std::int64_t>> counts;
        const char* text;
    } cases[] = {
        // Every play of a whole 6-from-49 draw: the figures are single precision, what the constants give.
        {"six",
         true,
         49,
         {{"cnt0", 6096454},
          {"cnt1", 5775588},
          {"cnt2", 1851150},
          {"cnt3", 246820},
          {"cnt4", 13545},
          {"cnt5", 252},
          {"cnt5b", 6},
          {"cnt6", 1}},
         "Match 0 - 6,096,454 Expected is 6,096,454.000\nMatch 1 - 5,775,588 Expected is 5,775,588.000\n"
         "Match 2 - 1,851,150 Expected is 1,851,150.000\n\nMatch 3 - 246,820 Expected is 246,819.984\n"
         "Match 4 - 13,545 Expected is 13,545.000\nMatch 5 - 252 Expected is 252.000\nMatch 5+ - 6 Expected is 6.000\n"
         "Match 6 - 1 Expected is 1.000\n\nTotal Plays - 13983816\nTotal Losses - 13723192\nTotal Wins - 260,624\n\n"},
        // Without bonus the fives take the probability of all fives and there is no 5+ line.
        {"six",
         false,
         49,
         {{"cnt0", 435}, {"cnt1", 413}, {"cnt2", 132}, {"cnt3", 18}, {"cnt4", 1}, {"cnt5", 1}},
         "Match 0 - 435 Expected is 435.965\nMatch 1 - 413 Expected is 413.019\nMatch 2 - 132 Expected is 132.378\n\n"
         "Match 3 - 18 Expected is 17.650\nMatch 4 - 1 Expected is 0.969\nMatch 5 - 1 Expected is 0.018\n"
         "Match 6 - 0 Expected is 0.000\n\nTotal Plays - 1000\nTotal Losses - 980\nTotal Wins - 20\n\n"},
        // Another pool: no expected figures, every tier line ends in a blank.
        {"six",
         true,
         48,
         {{"cnt0", 12345}, {"cnt5b", 2}, {"cnt6", 1}},
         "Match 0 - 12,345 \nMatch 1 - 0 \nMatch 2 - 0 \n\nMatch 3 - 0 \nMatch 4 - 0 \nMatch 5 - 0 \n"
         "Match 5+ - 2 \nMatch 6 - 1 \n\nTotal Plays - 12348\nTotal Losses - 12345\nTotal Wins - 3\n\n"},
        {"seven",
         true,
         49,
         {{"cnt0", 1000},
          {"cnt1", 1},
          {"cnt2", 2},
          {"cnt3", 3},
          {"cnt3b", 4},
          {"cnt4", 5},
          {"cnt5", 6},
          {"cnt6", 7},
          {"cnt6b", 8},
          {"cnt7", 9}},
         "Match 0 - 1,000\nMatch 1 - 1\nMatch 2 - 2\n\nMatch 3 - 3\nMatch 3+ - 4\nMatch 4 - 5\nMatch 5 - 6\n"
         "Match 6 - 7\nMatch 6+ - 8\nMatch 7 - 9\n\nTotal Plays - 1045\nTotal Losses - 1003\nTotal Wins - 42\n\n"},
        {"five",
         true,
         39,
         {{"cnt0", 1},
          {"cnt0b", 2},
          {"cnt1", 3},
          {"cnt1b", 4},
          {"cnt2", 5},
          {"cnt2b", 6},
          {"cnt3", 7},
          {"cnt3b", 8},
          {"cnt4", 9},
          {"cnt4b", 10},
          {"cnt5", 11}},
         "Match 0 - 1\nMatch 0+ - 2\nMatch 1 - 3\nMatch 1+ - 4\nMatch 2 - 5\nMatch 2+ - 6\n\nMatch 3 - 7\n"
         "Match 3+ - 8\nMatch 4 - 9\nMatch 4+ - 10\nJackpot - 11\n\nTotal Plays - 66\nTotal Losses - 9\n"
         "Total Wins - 57\n\n"},
        {"five",
         false,
         39,
         {{"cnt0", 1}, {"cnt1", 2}, {"cnt2", 3}, {"cnt3", 4}, {"cnt4", 5}, {"cnt5", 6}},
         "Match 0 - 1\nMatch 1 - 2\nMatch 2 - 3\n\nMatch 3 - 4\nMatch 4 - 5\nJackpot - 6\n\nTotal Plays - 21\n"
         "Total Losses - 6\nTotal Wins - 15\n\n"},
        {"powerball",
         false,
         49,
         {{"cnt0", 1},
          {"cnt0b", 2},
          {"cnt1", 3},
          {"cnt1b", 4},
          {"cnt2", 5},
          {"cnt2b", 6},
          {"cnt3", 7},
          {"cnt3b", 8},
          {"cnt4", 9},
          {"cnt4b", 10},
          {"cnt5", 11},
          {"cnt5b", 12345}},
         "Match 0 - 1\nMatch 0+ - 2\nMatch 1 - 3\nMatch 1+ - 4\nMatch 2 - 5\nMatch 2+ - 6\n\nMatch 3 - 7\n"
         "Match 3+ - 8\nMatch 4 - 9\nMatch 4+ - 10\nMatch 5 - 11\nJackpot - 12,345\n\nTotal Plays - 12411\n"
         "Total Losses - 9\nTotal Wins - 12,402\n\n"},
    };
    for (const auto& c : cases) {
        const auto& game = bm::CheckerById(c.checker).Game(c.bBon);
        EXPECT_EQ(bm::SummaryText(game, TallyOf(game, c.counts), c.pool, kEnglish), c.text)
            << c.checker << (c.bBon ? " with bonus" : "");
    }
}

TEST(CheckReport, CompletionTimeText)
{
    const std::pair<double, const char*> cases[] = {
        {60, "Processing Completed In 60.000 Seconds"},    {60.001, "Processing Completed In 1m 0.001s"},
        {3599.999, "Processing Completed In 59m 59.999s"}, {3600, "Processing Completed In 3,600.000 Seconds"},
        {3725.5, "Processing Completed In 1h 2m 5.500s"},  {90061.5, "Processing Completed In 25h 1m 1.500s"},
    };
    for (const auto& [e, text] : cases)
        EXPECT_EQ(bm::CompletionTimeText(e, kEnglish), text) << e;
    EXPECT_EQ(bm::CompletionTimeText(3600, {".", ","}), "Processing Completed In 3.600,000 Seconds");
    EXPECT_EQ(bm::CompletionTimeText(61.25, {".", ","}), "Processing Completed In 1m 1,250s");
}

using bm::Pattern;

TEST(NumberPatterns, WholeNumbers)
{
    const struct {
        std::int64_t value;
        Pattern pattern;
        const char* english;
        const char* german;
    } cases[] = {
        {0, Pattern::Grouped, "0", "0"},
        {999, Pattern::Grouped, "999", "999"},
        {-1234, Pattern::Grouped, "-1,234", "-1.234"},
        {1234, Pattern::Grouped3, "1,234.000", "1.234,000"},
        {INT64_MIN, Pattern::Grouped, "-9,223,372,036,854,775,808", "-9.223.372.036.854.775.808"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bm::FormatWhole(c.value, c.pattern, {}), c.english) << c.value;
        EXPECT_EQ(bm::FormatWhole(c.value, c.pattern, {".", ","}), c.german) << c.value;
    }
}

TEST(NumberPatterns, ThreeDecimals)
{
    const struct {
        double value;
        Pattern pattern;
        const char* text;
    } cases[] = {
        {0.5, Pattern::Fixed3, "0.500"},
        {0.0005, Pattern::Fixed3, "0.001"},
        {0.00049, Pattern::Fixed3, "0.000"},
        {3600, Pattern::Fixed3, "3600.000"},
        {999.9996, Pattern::Grouped3, "1,000.000"},
        {-1.25, Pattern::Fixed3, "-1.250"},
        {-0.0001, Pattern::Fixed3, "0.000"},  // no "-0.000"
    };
    for (const auto& c : cases)
        EXPECT_EQ(bm::FormatDecimal(c.value, c.pattern, {}), c.text) << c.value;
    EXPECT_EQ(bm::FormatDecimal(1234.5, Pattern::Grouped3, {"'", "."}), "1'234.500");
}

// Without grouping the English separators show; a locale the system lacks falls back to them too.
TEST(NumberPatterns, SeparatorsOfTheLocale)
{
    const auto text = [](const bm::NumberSeparators& s) { return s.group + s.decimal; };
    EXPECT_EQ(bm::SeparatorsOf(".", ",", false).group, ",");
    EXPECT_EQ(text(bm::SeparatorsOf(".", ",", true)), ".,");
#ifndef _WIN32  // the C runtime there takes no locale from the environment
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", "no_such_LOCALE.ISO-8859-99", 1);
    EXPECT_EQ(text(bm::UserNumberSeparators()), ",.");
    old ? setenv("LC_ALL", saved.c_str(), 1) : unsetenv("LC_ALL");
#endif
}

// Written through the atomic writer, whose refusals its own test names; a refusal still reaches the caller.
TEST(SummaryFile, WritesTheReportTextWithCrLfLineEndsOrSaysWhyNot)
{
    bmtest::TempDir dir;
    const auto file = dir / "out.txt";
    bmtest::WriteBytes(file, "an older, longer summary that is replaced\r\n");
    ASSERT_TRUE(bm::WriteSummaryFile(file, "Lottery: NY649\n\nMatch 0 - 1\r\na\rb\n").ok());
    EXPECT_EQ(bmtest::ReadBytes(file), "Lottery: NY649\r\n\r\nMatch 0 - 1\r\na\rb\r\n");
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(bm::WriteSummaryFile(dir / "no-such-folder" / "out.txt", "x\n")),
                                "no-such-folder"));
}

TEST(SummaryFile, SummaryFolderIsMadeWhenMissing)
{
    bmtest::TempDir dir, other;
    ASSERT_TRUE(bm::EnsureSummaryFolder(bm::ProgramFolder(dir.path())).ok());
    bmtest::WriteBytes(dir / "Summary" / "kept.txt", "kept");
    ASSERT_TRUE(bm::EnsureSummaryFolder(bm::ProgramFolder(dir.path())).ok());
    EXPECT_EQ(bmtest::ReadBytes(dir / "Summary" / "kept.txt"), "kept");
    bmtest::WriteBytes(other / "Summary", "a file in the way");
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(bm::EnsureSummaryFolder(bm::ProgramFolder(other.path()))), "Summary"));
}

}  // namespace
