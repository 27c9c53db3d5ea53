#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/CatalogueSupport.h"
#include "app/cli/CheckCommand.h"
#include "checking/CheckTestSupport.h"

namespace {

using bmtest::kLottoReport;

// "Processing Completed In 1,234.567 Seconds" and a line end; the number's format is the
// report's own test.
bool IsCompletedLine(const std::string& s)
{
    const std::string head = "Processing Completed In ", tail = " Seconds\n";
    return s.rfind(head, 0) == 0 && s.size() > head.size() + tail.size() && s.ends_with(tail) &&
           s.find('\n') == s.size() - 1;
}

// The installed program: the report on stdout, the completion line on stderr, the same report
// saved with CR LF line ends.
TEST(CheckCommand, WritesTheReportTheCompletionLineAndTheSummary)
{
    if (std::string(BRINDLEMARK_EXE).empty())
        GTEST_SKIP() << "the program is not built";
    bmtest::Lab lab;
    lab.Put("wheel/w.txt", bmtest::kLottoWheel);
    const auto save = lab.out() / "s.txt";
    const auto r = bmtest::RunProgram({"--home", lab.home().string(), "check", "--definition", "LO649", "--wheel",
                                       "w.txt", "--draw", " 1, 2 ,3\t4 5,,6 7 ", "--save", save.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kLottoReport);
    EXPECT_TRUE(IsCompletedLine(r.err)) << r.err;
    EXPECT_EQ(bmtest::ReadBytes(save), bmtest::CrLf(kLottoReport));
}

// The definition chooses the game, and so the draw's size and the report's tiers (the choice
// itself is the checker table's test).
TEST(CheckCommand, EveryGameTakesItsDrawSize)
{
    bmtest::Lab lab;
    std::string five = bmtest::ReadBytes(lab.home() / "Defs" / "TK539.def");
    const auto flags = five.rfind(" 0 \r\n 0 \r\n");
    ASSERT_NE(flags, std::string::npos);
    lab.Put("Defs/TB539.def", five.replace(flags, 5, " 1 \r\n"));
    const struct {
        const char *definition, *line, *draw, *firstReportLine;
    } cases[] = {
        {"TB539", "6,2,3,4,9", "1 2 3 4 5 6", "Match-3+Bonus"},
        {"LM750", "1,2,3,4,5,6,8", "1 2 3 4 5 6 7 8", "***MATCH-6 + Bonus***"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.definition);
        const auto wheel = lab.Put("wheel/w.txt", std::string(c.line) + "\r\n");
        std::ostringstream out, err;
        EXPECT_EQ(bm::cli::RunCheckCommand({"--definition", c.definition, "--wheel", wheel.string(), "--draw", c.draw},
                                           bm::ProgramFolder(lab.home()), out, err),
                  0)
            << err.str();
        EXPECT_NE(out.str().find(std::string("\n\n") + c.firstReportLine + " For This Draw At Line 1\n\n"),
                  std::string::npos)
            << out.str();
    }
}

}  // namespace
