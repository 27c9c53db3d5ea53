#include <gtest/gtest.h>

#include "app/cli/CatalogueSupport.h"
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

}  // namespace
