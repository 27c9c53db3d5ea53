#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "app/cli/CatalogueSupport.h"
#include "app/cli/Cli.h"
#include "printing/qt/PrintTestTools.h"

using namespace bm;
using namespace bmtest;

namespace {

// "SHEET X1 Y1 X2 Y2" for every box a job on these files fills: the --marks lines it must write.
std::string ExpectedMarks(const TempDir& home, const SlipDefinition& def, bool testMode, const std::string& top,
                          const std::string& left)
{
    const auto job = Recorded(home / "Defs" / "HZ649.def", def, testMode, top, left, home / "wheel" / "w.txt");
    std::string text;
    for (const auto& m : job.marks()) {
        char line[128];
        std::snprintf(line, sizeof line, "%d %.3f %.3f %.3f %.3f\n", m.sheet, double(m.x1), double(m.y1),
                      double(m.x2), double(m.y2));
        text += line;
    }
    return text;
}

// A horizontal 6/49 definition HZ649 (2 x 5 panels), a copy of it outside Defs under the same
// name (a copy under another name is refused: it would borrow these offsets), a wheel of 12
// plays after a comment line and stored offsets: --marks writes exactly the job's boxes, offsets
// from the settings unless given, and the settings file is never written.
TEST(PrintCommand, MarksAreTheJobsBoxesWithTheRightOffsets)
{
    const SlipDefinition def = Horizontal649(2);
    TempDir home;
    home.makeProgramFolder();
    WriteDefinition(home / "Defs", "HZ649", def);
    std::filesystem::create_directories(home / "elsewhere");
    const auto copy = WriteDefinition(home / "elsewhere", "HZ649", def);
    WriteBytes(home / "wheel" / "w.txt", "# method: covering, 12 plays\r\n" + Wheel(12));
    const std::string settings = "\"1.5\"\r\n\"-2\"\r\n";
    WriteBytes(home / "Settings" / "HZ649.ini", settings);

    const struct {
        std::vector<std::string> args;
        bool testMode;
        const char *top, *left, *err;
    } cases[] = {
        {{"print", "--definition", "HZ649", "--wheel", "w.txt", "--top=0", "--left=0", "--marks"}, false, "0", "0",
         "Printing 12 Picks On 2 Playslips\nProcessing Complete\n"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--top", "0.25"}, true, "0.25", "-2",
         "Printed 1 Test Playslip\n"},
        // A definition file given by its path takes the settings of its name.
        {{"test-pattern", "--definition", copy.string(), "--marks"}, true, "1.5", "-2", "Printed 1 Test Playslip\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[2] + " top " + c.top);
        const auto run = RunInProcess(home.path(), c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, c.err);
        const std::string expected = ExpectedMarks(home, def, c.testMode, c.top, c.left);
        EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), c.testMode ? 490 : 72);
        EXPECT_EQ(run.out, expected);
    }
    EXPECT_EQ(ReadBytes(home / "Settings" / "HZ649.ini"), settings);

    // After a jam: the lines of the whole job's second sheet, byte for byte, and nothing else.
    const auto jam = RunInProcess(home.path(), {"print", "--definition", "HZ649", "--wheel", "w.txt", "--top=0",
                                                "--left=0", "--marks", "--slips", "2-"});
    ASSERT_EQ(jam.status, 0) << jam.err;
    const std::string whole = ExpectedMarks(home, def, false, "0", "0");
    EXPECT_EQ(jam.out, whole.substr(whole.find("\n2 ") + 1));
    EXPECT_EQ(jam.out.rfind("2 ", 0), 0u);
}

// Which arguments ask for the command line rather than the window is shown by the runs of the
// program itself (the bad input catalogue, the end-to-end print, the start without a display).
TEST(PrintCommand, VersionAndHelp)
{
    std::ostringstream out, err;
    EXPECT_EQ(cli::RunCli({"--version"}, "/x", out, err), 0);
    EXPECT_EQ(out.str() + err.str(), "1.0.502\n");
    EXPECT_EQ(cli::RunCli({"--help"}, "/x", out, err), 0);
    EXPECT_NE(out.str().find("--marks"), std::string::npos);
    EXPECT_EQ(err.str(), "");
}

}  // namespace
