#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "app/cli/Cli.h"
#include "printing/RecordingSurface.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

// "SHEET X1 Y1 X2 Y2": a whole number, then four numbers with exactly three decimals, single blanks.
bool IsMarkLine(const std::string& line)
{
    std::istringstream in(line);
    std::string field;
    int fields = 0;
    for (; std::getline(in, field, ' '); ++fields) {
        const std::size_t start = fields > 0 && !field.empty() && field[0] == '-' ? 1 : 0;
        const std::size_t point = field.find('.');
        const bool digits = field.size() > start &&
                            field.find_first_not_of("0123456789.", start) == std::string::npos;
        if (!digits || (fields == 0 ? point != std::string::npos
                                    : point == std::string::npos || point == start || field.size() - point != 4 ||
                                          field.find('.', point + 1) != std::string::npos))
            return false;
    }
    return fields == 5 && line.back() != ' ';
}

// A program folder with one horizontal 6/49 definition (HZ649, 2 x 5 panels) and a wheel of 12 plays.
class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        home_.makeProgramFolder();
        WriteDefinition(home_ / "Defs", "HZ649", def_);
        WriteBytes(home_ / "wheel" / "w.txt", Wheel(12));
    }

    struct Outcome {
        int status;
        std::string out, err;
    };
    Outcome Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--home", home_.path().string()});
        std::ostringstream out, err;
        const int status = cli::RunCli(args, "/nonexistent", out, err);
        return {status, out.str(), err.str()};
    }

    // The --marks lines a job on these files must write: every FillBox, "%d %.3f %.3f %.3f %.3f".
    std::string ExpectedMarks(bool testMode, const std::string& top = "0", const std::string& left = "0")
    {
        RecordingSurface surface;
        FakeStatus status;
        EscapeAtSlip never(status, 0);
        RunPrintJob(RequestFor(home_ / "Defs" / "HZ649.def", def_, testMode, top, left), surface, status, never,
                    [&] { return home_ / "wheel" / "w.txt"; });
        std::string text;
        for (const auto& m : surface.marks()) {
            char line[128];
            std::snprintf(line, sizeof line, "%d %.3f %.3f %.3f %.3f\n", m.sheet, double(m.x1), double(m.y1),
                          double(m.x2), double(m.y2));
            text += line;
        }
        return text;
    }

    SlipDefinition def_ = Horizontal649(2);
    TempDir home_;
};

TEST_F(PrintCommand, MarksAreOneExactLinePerBoxAndNothingElseOnStdout)
{
    const auto r = Run({"print", "--definition", "HZ649", "--wheel", "w.txt", "--marks"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Printing 12 Picks On 2 Playslips\nProcessing Complete\n");
    EXPECT_EQ(r.out, ExpectedMarks(false));
    std::istringstream lines(r.out);
    int count = 0;
    for (std::string l; std::getline(lines, l); ++count)
        EXPECT_TRUE(IsMarkLine(l)) << l;
    for (const char* bad : {"1 2.000 3.000 4.000", "1 2.00 3.000 4.000 5.000", "1  2.000 3.000 4.000 5.000",
                            "1.0 2.000 3.000 4.000 5.000", "1 2.000 3.000 4.000 5.000 "})
        EXPECT_FALSE(IsMarkLine(bad)) << bad;
    EXPECT_EQ(count, 72);
    EXPECT_EQ(r.out.substr(0, 2), "1 ");
    EXPECT_NE(r.out.find("\n2 "), std::string::npos);
}

TEST_F(PrintCommand, TestPatternMarksEveryBox)
{
    const auto r = Run({"test-pattern", "--definition", "HZ649", "--marks"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Printed 1 Test Playslip\n");
    EXPECT_EQ(r.out, ExpectedMarks(true));
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 490);
}

TEST_F(PrintCommand, OffsetsComeFromTheStoredSettingsUnlessGivenAndAreNeverWritten)
{
    WriteBytes(home_ / "Settings" / "HZ649.ini", "\"1.5\"\r\n\"-2\"\r\n");
    const auto stored = Run({"test-pattern", "--definition", "HZ649", "--marks"});
    EXPECT_EQ(stored.out, ExpectedMarks(true, "1.5", "-2"));
    const auto given = Run({"test-pattern", "--definition", "HZ649", "--marks", "--top", "0.25"});
    EXPECT_EQ(given.out, ExpectedMarks(true, "0.25", "-2"));
    const auto both = Run({"test-pattern", "--definition", "HZ649", "--marks", "--top=0", "--left=0"});
    EXPECT_EQ(both.out, ExpectedMarks(true));
    EXPECT_EQ(ReadBytes(home_ / "Settings" / "HZ649.ini"), "\"1.5\"\r\n\"-2\"\r\n");
}

TEST_F(PrintCommand, TakesADefinitionFileByPathAndItsSettingsByItsName)
{
    std::filesystem::create_directories(home_ / "elsewhere");
    WriteDefinition(home_ / "elsewhere", "HZ649-copy", def_);
    WriteBytes(home_ / "Settings" / "HZ649.ini", "\"3\"\r\n\"0\"\r\n");
    const auto r = Run({"test-pattern", "--definition", (home_ / "elsewhere" / "HZ649-copy.def").string(), "--marks"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, ExpectedMarks(true, "3", "0"));
}

TEST_F(PrintCommand, RefusalsExitTwoWithOneLineAndLeaveNoPdf)
{
    WriteBytes(home_ / "wheel" / "short.txt", Wheel(2) + "1,2,3\r\n");
    SlipDefinition pick8 = def_;
    pick8.Pick = 8;
    WriteDefinition(home_ / "Defs", "HZ849", pick8);
    SlipDefinition oneRow = def_;
    oneRow.RowsInPanel = 1;
    oneRow.ColumnsInPanel = 49;
    oneRow.RowFirstNumber = {1};
    WriteDefinition(home_ / "Defs", "OR649", oneRow);
    SlipDefinition mismatched = def_;
    mismatched.TotalPanels = 4;
    WriteDefinition(home_ / "Defs", "MM649", mismatched);
    const std::string pdf = (home_ / "out.pdf").string();

    struct Case {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"print", "--wheel", "w.txt", "--pdf", pdf}, "--definition is missing"},
        {{"print", "--definition", "HZ649", "--pdf", pdf}, "--wheel is missing"},
        {{"print", "--definition", "ZZ649", "--wheel", "w.txt", "--pdf", pdf}, "ZZ649.def: no such definition file"},
        {{"print", "--definition", "HZ64", "--wheel", "w.txt", "--pdf", pdf}, "neither a five-character"},
        {{"print", "--definition", "HZ649", "--wheel", "w.txt", "--top", "abc", "--pdf", pdf}, "top offset \"abc\""},
        {{"test-pattern", "--definition", "HZ649", "--left", "", "--pdf", pdf}, "left offset \"\""},
        {{"print", "--definition", "HZ649", "--wheel", "short.txt", "--pdf", pdf}, "short.txt: line 3"},
        {{"print", "--definition", "HZ649", "--wheel", "none.txt", "--pdf", pdf}, "none.txt"},
        {{"print", "--definition", "HZ849", "--wheel", "w.txt", "--pdf", pdf},
         "Sorry. That lottery format is not supported in this version"},
        {{"test-pattern", "--definition", "OR649", "--pdf", pdf}, "22 to 30 lines"},
        {{"print", "--definition", "MM649", "--wheel", "w.txt", "--pdf", pdf}, "Total Panels is 4"},
        {{"print", "--definition", "HZ649", "--wheel", "w.txt", "--pdf", pdf, "--marks"}, "choose one of"},
        {{"test-pattern", "--definition", "HZ649", "--wheel", "w.txt", "--marks"}, "unknown option \"--wheel\""},
        {{"test-pattern", "--definition", "HZ649", "--pdf", (home_ / "no" / "x.pdf").string()}, "does not exist"},
        {{"test-pattern", "--definition"}, "--definition needs a value"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const auto r = Run(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.rfind("brindlemark", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(pdf));
    }
}

TEST_F(PrintCommand, WritesAPdfWithOnePagePerSlip)
{
    const auto pdf = home_ / "slips.pdf";
    const auto r = Run({"print", "--definition", "HZ649", "--wheel", (home_ / "wheel" / "w.txt").string(), "--pdf",
                        pdf.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadBytes(pdf).substr(0, 5), "%PDF-");
}

TEST_F(PrintCommand, VersionHelpAndHome)
{
    std::ostringstream out, err;
    EXPECT_EQ(cli::RunCli({"--version"}, "/x", out, err), 0);
    EXPECT_EQ(out.str(), "1.0.502\n");
    std::ostringstream help, none;
    EXPECT_EQ(cli::RunCli({"--help"}, "/x", help, err), 0);
    EXPECT_NE(help.str().find("--marks"), std::string::npos);
    std::ostringstream usage;
    EXPECT_EQ(cli::RunCli({"--home", "/x"}, "/x", none, usage), 2);
    EXPECT_EQ(none.str(), "");
    EXPECT_NE(usage.str().find("Usage:"), std::string::npos);
    std::ostringstream o2, e2;
    EXPECT_EQ(cli::RunCli({"--home"}, "/x", o2, e2), 2);
    EXPECT_EQ(e2.str(), "brindlemark: --home needs a folder\n");

    struct Case {
        std::vector<std::string> args;
        bool cli;
    } cases[] = {
        {{}, false},
        {{"--home", "/somewhere"}, false},
        {{"--home=/somewhere"}, false},
        {{"-platform", "offscreen"}, false},
        {{"print"}, true},
        {{"--home", "/x", "test-pattern"}, true},
        {{"--version"}, true},
        {{"--home"}, true},
        {{"prnt"}, true},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& a : c.args)
            joined += a + " ";
        EXPECT_EQ(cli::WantsCommandLine(c.args), c.cli) << joined;
    }
}

}  // namespace
