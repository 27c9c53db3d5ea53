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
    BM_NEEDS_PROGRAM();
    bmtest::Lab lab;
    lab.Put("wheel/w.txt", bmtest::kLottoWheel);
    const auto r = lab.Run({"check", "--definition", "LO649", "--wheel", "w.txt", "--draw", " 1, 2 ,3\t4 5,,6 7 ",
                            "--save", "{out}/s.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kLottoReport);
    EXPECT_TRUE(IsCompletedLine(r.err)) << r.err;
    EXPECT_EQ(bmtest::ReadBytes(lab.out() / "s.txt"), bmtest::CrLf(kLottoReport));

    // Comment lines are no plays, and the report names the physical lines.
    lab.Put("wheel/c.txt", std::string("# method: covering\r\n") + bmtest::kLottoWheel);
    const auto c = lab.Run({"check", "--definition", "LO649", "--wheel", "c.txt", "--draw", "1 2 3 4 5 6 7"});
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_NE(c.out.find("Draw: 1 2 3 4 5 6 Bonus 7\nChecking 4 Picks Against Above Draw Results\n\n"
                         "Match-3 For This Draw At Line 2\nMATCH-5 + Bonus For This Draw At Line 4\n"
                         "***MATCH-6*** For This Draw At Line 6\n\n"),
              std::string::npos)
        << c.out;
}

// Against a history: one CSV line per draw with its date (empty without one), the same bytes
// saved, and one line on stderr.
TEST(CheckCommand, ChecksAgainstAHistoryOfDraws)
{
    BM_NEEDS_PROGRAM();
    bmtest::Lab lab;
    lab.Put("wheel/w.txt", bmtest::kLottoWheel);
    lab.Put("wheel/d.csv", "\"DRAW DATE\",\"NUMBERS\"\r\n\"06/12/1982\",\"1 2 3 4 5 6\",7\r\n\r\n1;2;3;10;11;12;44\r\n");
    const auto r = lab.Run({"check", "--definition", "LO649", "--wheel", "w.txt", "--draws", "{home}/wheel/d.csv",
                            "--save", "{out}/h.csv"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string csv = "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins\n"
                            "1982-06-12,1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3\n"
                            ",1 2 3 10 11 12 +44,1,0,0,2,0,0,0,1,3\n"
                            "Total,,2,0,0,3,0,0,1,2,6\n";
    EXPECT_EQ(r.out, csv);
    EXPECT_EQ(bmtest::ReadBytes(lab.out() / "h.csv"), csv);
    EXPECT_TRUE(r.err.starts_with("Checked 4 plays against 2 draws in ")) << r.err;
}

}  // namespace
