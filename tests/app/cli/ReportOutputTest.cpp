// What the program writes: a report that could not be written is a failure with its reason, a
// long report arrives whole, and names show escaped wherever they are written.
#include <algorithm>
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/CatalogueSupport.h"
#include "app/cli/ReportOutput.h"
#include "checking/CheckTestSupport.h"
#include "printing/qt/PrintTestTools.h"

using namespace bmtest;

namespace {

namespace fs = std::filesystem;

std::string Command(const std::vector<std::string>& args)
{
    std::string command = Quoted(BRINDLEMARK_EXE);
    for (const auto& a : args)
        command += " " + Quoted(a);
    return command;
}

// Standard output on a full device, or a file beyond the size the system lets it grow to (a
// full disk as a program meets it; one block, so that stderr's line still fits): exit 1, the
// reason, no summary or CSV saved.
TEST(ReportOutput, AReportThatCannotBeWrittenFailsWithItsReason)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    // A report of some 3 KB, more than the limit below lets a file hold.
    lab.Put("wheel/w.txt", Repeated("1,2,3,10,11,12\n", 100));
    lab.Put("wheel/d.csv", Repeated("2020-01-01,1 2 3 4 5 6,7\n", 300));
    const std::vector<std::string> check = {"--home", lab.home().string(), "check", "--definition", "LO649",
                                            "--wheel", "w.txt"};
    const std::string draw = " --draw '1 2 3 4 5 6 7'";
    const std::string draws = " --draws " + Quoted((lab.home() / "wheel/d.csv").string());
    const std::string save = " --save " + Quoted((lab.out() / "s.txt").string());
    const std::string full = "No space left on device", tooLarge = "File too large";
    const struct {
        const char* what;
        std::string tail;    // after the check's arguments
        std::string limit;   // a shell command before the program
        std::string reason;
    } cases[] = {
        {"report on a full device", draw + save + " >/dev/full", "", full},
        {"CSV on a full device", draws + save + " >/dev/full", "", full},
        {"report into a file that may not grow", draw + " >" + Quoted((lab.out() / "r.txt").string()), "ulimit -f 1; ",
         tooLarge},
        {"CSV into a file that may not grow", draws + " >" + Quoted((lab.out() / "r.txt").string()), "ulimit -f 1; ",
         tooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(lab.out() / "r.txt");
        const Ran ran = RunShell("sh -c " + Quoted("trap '' XFSZ; " + c.limit + "exec " + Command(check) + c.tail),
                                 "QT_QPA_PLATFORM=offscreen");
        EXPECT_EQ(ran.status, 1);
        EXPECT_EQ(ran.err, "brindlemark: the report could not be written: " + c.reason + "\n");
        EXPECT_FALSE(fs::exists(lab.out() / "s.txt"));
    }
    // A PDF that cannot be written says why.
    const Ran pdf = RunShell("sh -c " + Quoted("trap '' XFSZ; ulimit -f 1; exec " +
                                               Command({"--home", lab.home().string(), "print", "--definition",
                                                        "LO649", "--wheel", "LO649-sample.txt", "--pdf",
                                                        (lab.out() / "p.pdf").string()})),
                             "QT_QPA_PLATFORM=offscreen");
    EXPECT_EQ(pdf.status, 1);
    EXPECT_NE(pdf.err.find("the PDF could not be written (" + tooLarge), std::string::npos) << pdf.err;
    EXPECT_FALSE(fs::exists(lab.out() / "p.pdf"));
}

// A stream that fails without a reason of the system's still fails.
TEST(ReportOutput, AStreamThatFailsIsAFailure)
{
    std::ostringstream closed;
    closed.setstate(std::ios::badbit);
    bm::cli::ReportOutput out(closed);
    EXPECT_FALSE(out.Write("x"));
    EXPECT_FALSE(out.Flush());
    EXPECT_EQ(out.FailureText(), "the report could not be written: the output stream failed");
    std::ostringstream fine;
    bm::cli::ReportOutput good(fine);
    EXPECT_TRUE(good.Write("abc") && good.Flush() && good.ok());
    EXPECT_EQ(fine.str(), "abc");
}

// Past half a million winning plays the report lines are read a second time: every one of them
// arrives, the last included, on stdout and in the summary.
TEST(ReportOutput, AReportReadASecondTimeKeepsItsLastLines)
{
    TempDir home;
    home.makeProgramFolder({"LO649"});
    const int plays = 600000;
    std::string wheel;
    for (int i = 0; i < plays; ++i)
        wheel += i % 7 == 3 ? "3,11,19,27,35,1\n" : "3,11,19,1,2,4\n";  // Match 5 or Match 3
    WriteBytes(home / "wheel/w.txt", wheel);
    const auto run = RunInProcess(home.path(), {"check", "--definition", "LO649", "--wheel", "w.txt", "--draw",
                                                "3 11 19 27 35 43 7", "--save", (home / "Summary/s.txt").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string report = run.out;
    std::istringstream lines(report);
    int reported = 0, fives = 0;
    std::string line, last;
    for (int n = 1; std::getline(lines, line); ++n) {
        if (line.find(" For This Draw At Line ") == std::string::npos)
            continue;
        ++reported;
        fives += line.rfind("MATCH-5 For", 0) == 0 ? 1 : 0;
        last = line;
    }
    EXPECT_EQ(reported, plays);
    EXPECT_EQ(fives, (plays + 3) / 7);
    EXPECT_EQ(last, "Match-3 For This Draw At Line 600000");
    EXPECT_NE(report.find("Total Plays - 600000\nTotal Losses - 0\n"), std::string::npos);
    EXPECT_EQ(ReadBytes(home / "Summary/s.txt"), CrLf(report));
}

// A name with a line feed or an escape sequence is written escaped: it adds no line to the
// report, the summary or the status, and nothing reaches the terminal as a control sequence.
TEST(ReportOutput, NamesAreWrittenWithTheirControlCharactersEscaped)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    const std::string wheel = "a\nTotal Wins - 999\x1b[2J.txt";
    lab.Put("wheel/" + wheel, kLottoWheel);
    const auto def = lab.out() / "L\nO649.def";
    fs::copy_file(lab.home() / "Defs/LO649.def", def);
    const auto save = lab.out() / "s.txt";
    // A definition can no longer be named so; its refusal shows the name escaped, on one line.
    const auto refused = lab.Run({"check", "--definition", def.string(), "--wheel", wheel, "--draw", "1 2 3 4 5 6 7",
                                  "--save", save.string()});
    EXPECT_EQ(refused.status, 2) << refused.err;
    EXPECT_NE(refused.err.find("L\\x0AO649.def: is not named as a definition"), std::string::npos) << refused.err;
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_FALSE(fs::exists(save));
    const auto r = lab.Run({"check", "--definition", "LO649", "--wheel", wheel, "--draw", "1 2 3 4 5 6 7", "--save",
                            save.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string head = "Lottery: LO649\nTicket File: a\\x0ATotal Wins - 999\\x1B[2J.txt\nDraw: 1 2 3 4 5 6 Bonus 7\n";
    EXPECT_TRUE(r.out.starts_with(head)) << r.out;
    EXPECT_EQ(r.out.find("Total Wins - 999\n"), std::string::npos);
    EXPECT_TRUE(ReadBytes(save).starts_with(CrLf(head)));

    const auto pdf = lab.out() / "slips\n\x1b[31m.pdf";
    const auto printed = lab.Run({"print", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--pdf", pdf.string()});
    EXPECT_EQ(printed.status, 0) << printed.err;
    EXPECT_NE(printed.err.find("Saved To " + lab.out().string() + "/slips\\x0A\\x1B[31m.pdf"), std::string::npos)
        << printed.err;
    EXPECT_EQ(printed.err.find('\x1b'), std::string::npos);
}

}  // namespace
