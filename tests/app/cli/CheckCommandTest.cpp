#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/cli/CatalogueSupport.h"
#include "app/cli/CheckCommand.h"
#include "checking/CheckTestSupport.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using bmtest::kLottoReport;
using bmtest::kLottoWheel;

// The sample program folder and a 5-number bonus definition made from TK539; the C locale's
// number separators.
class CheckCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* lc = std::getenv("LC_ALL");
        savedLocale_ = lc ? std::optional<std::string>(lc) : std::nullopt;
        setenv("LC_ALL", "C", 1);
        std::string five = bmtest::ReadBytes(lab_.home() / "Defs" / "TK539.def");
        const auto flags = five.rfind(" 0 \r\n 0 \r\n");
        ASSERT_NE(flags, std::string::npos);
        lab_.Put("Defs/TB539.def", five.replace(flags, 5, " 1 \r\n"));
    }
    void TearDown() override
    {
        if (savedLocale_)
            setenv("LC_ALL", savedLocale_->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

    bmtest::ProgramRun Run(const std::vector<std::string>& args)
    {
        std::ostringstream out, err;
        const int status = bm::cli::RunCheckCommand(args, bm::ProgramFolder(lab_.home()), out, err);
        return {status, out.str(), err.str()};
    }
    fs::path Wheel(const std::string& name, const std::string& text) { return lab_.Put("wheel/" + name, text); }

    bmtest::Lab lab_;
    const fs::path& home_ = lab_.home();
    std::optional<std::string> savedLocale_;
};

// "Processing Completed In 1,234.567 Seconds" and a line end. Written out by hand: GCC 12
// warns inside <regex> under the sanitizers.
bool IsCompletedLine(const std::string& s)
{
    const std::string head = "Processing Completed In ", tail = " Seconds\n";
    if (s.size() < head.size() + 5 + tail.size() || s.compare(0, head.size(), head) != 0 ||
        s.compare(s.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string number = s.substr(head.size(), s.size() - head.size() - tail.size());
    const auto point = number.size() - 4;
    const std::string whole = number.substr(0, point), fraction = number.substr(point + 1);
    return number[point] == '.' && fraction.find_first_not_of("0123456789") == std::string::npos &&
           !whole.empty() && whole[0] != ',' && whole.find_first_not_of("0123456789,") == std::string::npos;
}

TEST_F(CheckCommand, WritesTheReportTheCompletionLineAndTheSummaryWithCrLf)
{
    const auto wheel = Wheel("w.txt", kLottoWheel).string(), save = (home_ / "Summary" / "s.txt").string();
    const std::vector<std::string> runs[] = {
        {"--definition", "LO649", "--wheel", wheel, "--draw", "1 2 3 4 5 6 7"},
        {"--definition", "LO649", "--wheel", wheel, "--draw", "1,2,3,4,5,6,7"},
        {"--definition", "LO649", "--wheel", wheel, "--draw", " 1, 2 ,3\t4 5,,6 7 "},
        // The wheel is found in the wheel folder; the definition may be given as its file.
        {"--definition=" + (home_ / "Defs" / "LO649.def").string(), "--wheel", "w.txt", "--draw=1 2 3 4 5 6 7",
         "--save", save},
    };
    for (const auto& args : runs) {
        const auto r = Run(args);
        SCOPED_TRACE(args[0] + " " + args[4]);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, kLottoReport);
        EXPECT_TRUE(IsCompletedLine(r.err)) << r.err;
    }
    EXPECT_EQ(bmtest::ReadBytes(save), bmtest::CrLf(kLottoReport));
}

TEST_F(CheckCommand, EveryGameTakesItsDrawSize)
{
    struct Case {
        const char* definition;
        const char* line;       // one play
        const char* goodDraw;
        const char* shortDraw;
        const char* firstReportLine;
        const char* needs;      // part of the refusal
    };
    const Case cases[] = {
        {"LO649", "1,2,3,4,5,7", "1 2 3 4 5 6 7", "1 2 3 4 5 6", "MATCH-5 + Bonus For This Draw At Line 1", "needs 7"},
        {"VT645", "1,2,3,4,5,7", "1 2 3 4 5 6", "1 2 3 4 5 6 7", "MATCH-5 For This Draw At Line 1", "needs 6"},
        {"TK539", "1,2,3,4,5", "1 2 3 4 5", "1 2 3 4 5 6", "***JACKPOT*** For This Draw At Line 1", "needs 5"},
        {"TB539", "6,2,3,4,9", "1 2 3 4 5 6", "1 2 3 4 5", "Match-3+Bonus For This Draw At Line 1", "needs 6"},
        {"PB569", "1,2,3,4,5,6", "1 2 3 4 5 6", "1 2 3 4 5 6 7", "***JACKPOT!*** For This Draw At Line 1", "needs 6"},
        {"LM750", "1,2,3,4,5,6,8", "1 2 3 4 5 6 7 8", "1 2 3 4 5 6 7", "***MATCH-6 + Bonus*** For This Draw At Line 1",
         "needs 8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.definition);
        const auto wheel = Wheel(std::string(c.definition) + ".txt", std::string(c.line) + "\r\n");
        const auto good = Run({"--definition", c.definition, "--wheel", wheel.string(), "--draw", c.goodDraw});
        EXPECT_EQ(good.status, 0) << good.err;
        EXPECT_NE(good.out.find(std::string("\n\n") + c.firstReportLine + "\n\n"), std::string::npos) << good.out;
        const auto bad = Run({"--definition", c.definition, "--wheel", wheel.string(), "--draw", c.shortDraw});
        EXPECT_EQ(bad.status, 2);
        EXPECT_EQ(bad.out, "");
        EXPECT_NE(bad.err.find(c.needs), std::string::npos) << bad.err;
        EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
    }
}

TEST_F(CheckCommand, EmptyWheelCompletes)
{
    const auto wheel = Wheel("empty.txt", "");
    const auto r = Run({"--definition", "TK539", "--wheel", wheel.string(), "--draw", "1 2 3 4 5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Lottery: TK539\nTicket File: empty.txt\nChecking  Picks Against Above Draw Results\n\n\n"
              "Match 0 - 0\nMatch 1 - 0\nMatch 2 - 0\n\nMatch 3 - 0\nMatch 4 - 0\nJackpot - 0\n\n"
              "Total Plays - 0\nTotal Losses - 0\nTotal Wins - 0\n\n");
}

// The installed program: the same bytes on stdout, the completion line on stderr.
TEST_F(CheckCommand, ThroughTheProgram)
{
    if (std::string(BRINDLEMARK_EXE).empty())
        GTEST_SKIP() << "the program is not built";
    const auto wheel = Wheel("w.txt", kLottoWheel);
    const auto r = bmtest::RunProgram({"--home", home_.string(), "check", "--definition", "LO649", "--wheel",
                                       wheel.string(), "--draw", "1 2 3 4 5 6 7"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kLottoReport);
    EXPECT_TRUE(IsCompletedLine(r.err)) << r.err;
}

}  // namespace
