// print and test-pattern on the command line: --marks, marks files, paper and scale, a PDF end to
// end, and the help: what --help lists is what the man page and the manual tell.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cli/CatalogueSupport.h"
#include "cli/Cli.h"
#include "slip/BoxGeometry.h"
#include "support/PrintTestTools.h"

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
        std::snprintf(line, sizeof line, "%d %.3f %.3f %.3f %.3f\n", m.sheet, double(m.x1), double(m.y1), double(m.x2),
                      double(m.y2));
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
        {{"print", "--definition", "HZ649", "--wheel", "w.txt", "--top=0", "--left=0", "--marks"},
         false,
         "0",
         "0",
         "Printing 12 Picks On 2 Playslips\nProcessing Complete\n"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--top", "0.25"},
         true,
         "0.25",
         "-2",
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
// An empty wheel (no file, or comments and blank lines only) prints nothing and the job ends as
// done: nothing written to the PDF named, no marks, and checking it counts 0 picks.
TEST(PrintCommand, AnEmptyWheelPrintsNothingAndIsDone)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    for (const char* wheel : {"", "# method: none\r\n\r\n"}) {
        SCOPED_TRACE(wheel);
        lab.Put("wheel/empty.txt", wheel);
        for (const auto& output :
             {std::vector<std::string>{"--pdf", "{out}/x.pdf"}, std::vector<std::string>{"--marks"}}) {
            std::vector<std::string> args{"print", "--definition", "LO649", "--wheel", "empty.txt"};
            args.insert(args.end(), output.begin(), output.end());
            const auto r = lab.Run(args);
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.err, "Printing 0 Picks On 0 Playslips\nProcessing Complete\n");
            EXPECT_EQ(r.out, "");
            EXPECT_FALSE(std::filesystem::exists(lab.out() / "x.pdf"));
        }
        const auto c = lab.Run({"check", "--definition", "LO649", "--wheel", "empty.txt", "--draw", "1 2 3 4 5 6 7"});
        EXPECT_EQ(c.status, 0) << c.err;
        EXPECT_TRUE(HasText(c.out, "\nChecking 0 Picks Against Above Draw Results\n")) << c.out;
    }
}

TEST(PrintCommand, VersionAndHelp)
{
    std::ostringstream out, err;
    EXPECT_EQ(cli::RunCli({"--version"}, "/x", out, err), 0);
    EXPECT_EQ(out.str() + err.str(), "1.0.502\n");
    EXPECT_EQ(cli::RunCli({"--help"}, "/x", out, err), 0);
    EXPECT_NE(out.str().find("--marks"), std::string::npos);
    EXPECT_EQ(err.str(), "");
}

std::uint64_t Fnv1a(const std::string& bytes)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

// The --marks lines as numbers: sheet, x1, y1, x2, y2.
std::vector<std::vector<double>> Marks(const std::string& lines)
{
    std::vector<std::vector<double>> marks;
    std::istringstream in(lines);
    for (double sheet, x1, y1, x2, y2; in >> sheet >> x1 >> y1 >> x2 >> y2;)
        marks.push_back({sheet, x1, y1, x2, y2});
    return marks;
}

// A definition without a marks file prints byte for byte what it printed before marks files
// existed: the --marks lines of every sample, recorded then (the test patterns of PB569 and
// TK539 since without the box their grids hold beyond the pool).
TEST(MarksFileCli, WithoutTheFileEverySamplePrintsAsBefore)
{
    const struct {
        const char* name;
        std::uint64_t print, pattern;
        int printLines, patternLines;
    } cases[] = {
        {"CD649", 0x1a99fe813510841dull, 0xf5cbdbbd55a59969ull, 30, 196},
        {"LM750", 0x214731f0a04142b5ull, 0xecaa8e35035bd06dull, 56, 300},
        {"LO649", 0x85ac44fedc2b67c5ull, 0xbc02cfb6d284b6bdull, 72, 490},
        // The grid's last cell is beyond the pool (70 of 69, 40 of 39): no box, not marked.
        {"PB569", 0x0815da8d93d0e229ull, 0x3c87ade9bab456f8ull, 35, 345},
        {"TK539", 0xf04e3f6783c7a7b4ull, 0x33a3fc1da61709dfull, 45, 195},
        {"VT645", 0xdf3dda6cacb44c8aull, 0x0a4f32f6ef29789bull, 36, 180},
    };
    const Lab lab;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string wheel = std::string(c.name) + "-sample.txt";
        const auto print = RunInProcess(lab.home(), {"print", "--definition", c.name, "--wheel", wheel, "--marks"});
        ASSERT_EQ(print.status, 0) << print.err;
        EXPECT_EQ(std::count(print.out.begin(), print.out.end(), '\n'), c.printLines);
        EXPECT_EQ(Fnv1a(print.out), c.print);
        const auto pattern = RunInProcess(lab.home(), {"test-pattern", "--definition", c.name, "--marks"});
        ASSERT_EQ(pattern.status, 0) << pattern.err;
        EXPECT_EQ(std::count(pattern.out.begin(), pattern.out.end(), '\n'), c.patternLines);
        EXPECT_EQ(Fnv1a(pattern.out), c.pattern);
    }
}

// With a marks file: every number mark is 60 % x 50 % of its 3 x 2 mm box, and each sheet ends
// with the extra marks in file order, offsets applied.
TEST(MarksFileCli, MarksListTheSizedMarksThenTheExtras)
{
    const Lab lab;
    lab.Put("Defs/LO649.marks",
            "[Mark]\r\nWidth=60\r\nHeight=50\r\n[Extra]\r\nDraws 2=20 76 4 2.5\r\nYes=150 3 5 3\r\n");
    const auto run = RunInProcess(lab.home(), {"print", "--definition", "LO649", "--wheel", "LO649-sample.txt",
                                               "--marks", "--top", "1", "--left", "-2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto all = Marks(run.out);
    ASSERT_EQ(all.size(), 72u + 2u * 2u);
    int extrasSeen = 0;
    for (const auto& m : all) {
        if ((m[1] == 18 && m[2] == 77) || (m[1] == 148 && m[2] == 4)) {
            ++extrasSeen;
            continue;
        }
        EXPECT_NEAR(m[3] - m[1], 1.8, 0.0015) << m[1] << " " << m[2];
        EXPECT_NEAR(m[4] - m[2], 1.0, 0.0015) << m[1] << " " << m[2];
    }
    EXPECT_EQ(extrasSeen, 4);
    EXPECT_TRUE(run.out.ends_with("\n2 18.000 77.000 22.000 79.500\n2 148.000 4.000 153.000 7.000\n")) << run.out;
}

// The marks file is an input: a PDF never lands on it, made or not yet there.
TEST(MarksFileCli, PdfNeverLandsOnTheMarksFile)
{
    const Lab lab;
    const auto def = lab.Put("mine/LO649.def", ReadBytes(lab.home() / "Defs/LO649.def"));
    const auto target = lab.home() / "mine" / "LO649.marks";
    for (bool exists : {false, true}) {
        SCOPED_TRACE(exists);
        if (exists)
            WriteBytes(target, "[Mark]\r\nWidth=50\r\n");
        const auto run = RunInProcess(lab.home(), {"print", "--definition", def.string(), "--wheel", "LO649-sample.txt",
                                                   "--pdf", target.string()});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(target.string() + ": is "), std::string::npos) << run.err;
        EXPECT_EQ(std::filesystem::exists(target), exists);
        if (exists) {
            EXPECT_EQ(ReadBytes(target), "[Mark]\r\nWidth=50\r\n");
        }
    }
}

// --paper and --scale for print and test-pattern: the paper decides what is refused (naming it),
// --scale stretches every mark after the offsets, a stored printer calibration never reaches
// --marks or --pdf, and bad values are refused naming the option before anything is drawn.
TEST(PaperOptions, PaperAndScaleOnTheCommandLine)
{
    TempDir home;
    home.makeProgramFolder();
    const SlipDefinition vertical = Vertical649(1);
    WriteDefinition(home / "Defs", "VT649", vertical);
    WriteDefinition(home / "Defs", "HZ649", Horizontal649(2));
    // A calibration kept for a printer: --marks and --pdf apply none.
    WriteBytes(home / "Brindlemark.ini", "Calibration.office=1.05,0.95\r\n");

    const ProgramRun plain =
        RunInProcess(home.path(), {"test-pattern", "--definition", "VT649", "--marks", "--top", "2", "--left", "1"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const ProgramRun scaled = RunInProcess(home.path(), {"test-pattern", "--definition", "VT649", "--marks", "--top",
                                                         "2", "--left", "1", "--scale", "1.05,0.95"});
    ASSERT_EQ(scaled.status, 0) << scaled.err;
    const auto p = Marks(plain.out), s = Marks(scaled.out);
    ASSERT_EQ(p.size(), 49u);
    ASSERT_EQ(s.size(), p.size());
    for (std::size_t i = 0; i < p.size(); ++i)
        for (std::size_t j = 1; j <= 4; ++j)
            EXPECT_NEAR(s[i][j], p[i][j] * (j % 2 ? 1.05 : 0.95), 0.0015) << i << " " << j;

    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;        // the start of stderr
        const char* says = "";  // somewhere in it
    } cases[] = {
        {{"test-pattern", "--definition", "HZ649", "--marks", "--left", "115"},
         2,
         "brindlemark: ",
         "off the A4 sheet (landscape, 297 x 210 mm)"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--left", "115", "--paper", "Legal"},
         0,
         "Printed 1 Test Playslip\n"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--paper", "82x150"},
         2,
         "brindlemark: ",
         "off the 82 x 150 mm sheet (landscape, 150 x 82 mm)"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--paper", "B5"},
         2,
         "brindlemark test-pattern: --paper \"B5\": not a paper size; give A4, Letter, Legal or WIDTHxHEIGHT"},
        {{"print", "--definition", "HZ649", "--wheel", "w.txt", "--marks", "--scale", "1.2,1"},
         2,
         "brindlemark print: --scale \"1.2,1\": a factor is out of range; give two factors SX,SY, each from 0.9 to 1.1"},
        {{"print", "--definition", "HZ649", "--wheel", "w.txt", "--marks", "--scale", "1"},
         2,
         "brindlemark print: --scale \"1\": not two factors"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--paper", "A4", "--paper", "Letter"},
         2,
         "brindlemark test-pattern: --paper is given twice"},
        {{"calibrate", "--marks", "--paper", "Letter"},
         0,
         "Printed The Calibration Page: crosshairs 185 mm across and 249 mm down\n"},
        {{"calibrate", "--marks", "--scale", "1,1"}, 2, "brindlemark calibrate: unknown option \"--scale\""},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& a : c.args)
            shown += a + " ";
        SCOPED_TRACE(shown);
        const ProgramRun ran = RunInProcess(home.path(), c.args);
        EXPECT_EQ(ran.status, c.status) << ran.err;
        EXPECT_EQ(ran.err.rfind(c.err, 0), 0u) << ran.err;
        EXPECT_NE(ran.err.find(c.says), std::string::npos) << ran.err;
    }
}

TEST(EndToEnd, PrintsTheSampleWheelToALandscapePdfWithEveryMarkInPlace)
{
    BM_NEEDS_PROGRAM();
    const std::string exe = BRINDLEMARK_EXE;
    // The sample program folder is copied beside the executable; it is the default home.
    const std::filesystem::path home = std::filesystem::path(exe).parent_path();
    TempDir dir;
    const auto pdf = dir / "LO649.pdf";
    const auto print = [&](const std::string& more) {
        return RunShell(Quoted(exe) + " print --definition LO649 --wheel LO649-sample.txt --top 0.5 --left -1 " + more,
                        "-C " + Quoted(dir.path().string()) + " QT_QPA_PLATFORM=offscreen");
    };
    // Named relative to the working folder, said in full.
    const Ran ran = print("--pdf LO649.pdf");
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(ran.err, "Printing 12 Picks On 2 Playslips\nProcessing Complete\nSaved To " +
                           (std::filesystem::canonical(dir.path()) / "LO649.pdf").string() + "\n");

    const auto def = bm::ReadDefinitionFile(home / "Defs" / "LO649.def");
    ASSERT_TRUE(def.ok());
    const auto expected =
        Recorded(home / "Defs" / "LO649.def", *def, false, "0.5", "-1", home / "wheel" / "LO649-sample.txt");
    ASSERT_EQ(expected.marks().size(), 72u);
    ASSERT_EQ(expected.sheets(), 2);
    EXPECT_EQ(CheckMarks(pdf, expected), "");

    // A proof of slip 2 alone: the same marks, and every box outlined in grey around white.
    const Ran proof = print("--pdf proof.pdf --outline --slips 2");
    ASSERT_EQ(proof.status, 0) << proof.err;
    std::string error;
    const auto pages = Rasterise(dir / "proof.pdf", error);
    ASSERT_EQ(pages.size(), 1u) << error;
    std::vector<Box> sheet2;
    for (const auto& m : expected.marks())
        if (m.sheet == 2)
            sheet2.push_back({m.x1, m.y1, m.x2, m.y2});
    EXPECT_EQ(CheckPage(pages[0], sheet2), "");
    const double px = kDpi / 25.4;
    for (const bm::BoxRect& b : bm::BoxGeometry(*def, 0.5f, -1).AllBoxes()) {
        const int x = static_cast<int>((b.x1 + b.x2) / 2 * px), y = static_cast<int>(b.y1 * px);
        unsigned char edge = 255;
        for (int dy = -2; dy <= 2; ++dy)
            edge = std::min(edge, pages[0].pixels[static_cast<std::size_t>(y + dy) * pages[0].width + x]);
        const bool marked = pages[0].Dark(x, static_cast<int>((b.y1 + b.y2) / 2 * px));
        EXPECT_TRUE(marked || (edge > 100 && edge < 230)) << "no grey outline at " << b.x1 << ", " << b.y1;
    }
}

namespace fs = std::filesystem;

const fs::path kSource = fs::path(SAMPLE_DIR).parent_path();

bool Lower(char c)
{
    return c >= 'a' && c <= 'z';
}

bool WordChar(char c)
{
    return Lower(c) || (c >= '0' && c <= '9') || c == '-';
}

// "--name" words of a text, "--name=" and "--name," read as "--name". (Scanned by hand: GCC's
// std::regex trips its own uninitialised-use warning under the sanitizers.)
std::set<std::string> OptionsIn(const std::string& text)
{
    std::set<std::string> found;
    for (std::size_t i = text.find("--"); i != std::string::npos; i = text.find("--", i + 1)) {
        const bool starts = i == 0 || !(WordChar(text[i - 1]) || (text[i - 1] >= 'A' && text[i - 1] <= 'Z'));
        if (!starts || i + 2 >= text.size() || !Lower(text[i + 2]))
            continue;
        std::size_t end = i + 2;
        while (end < text.size() && WordChar(text[end]))
            ++end;
        found.insert(text.substr(i, end - i));
        i = end - 1;
    }
    return found;
}

// The commands the usage names: the word after "[--home DIR]".
std::set<std::string> CommandsIn(const std::string& usage)
{
    std::set<std::string> found;
    const std::string home = "[--home DIR] ";
    for (std::size_t i = usage.find(home); i != std::string::npos; i = usage.find(home, i + 1)) {
        std::size_t end = i + home.size();
        if (end >= usage.size() || !Lower(usage[end]))
            continue;
        while (end < usage.size() && (Lower(usage[end]) || usage[end] == '-'))
            ++end;
        found.insert(usage.substr(i + home.size(), end - i - home.size()));
    }
    return found;
}

std::string Without(std::string text, const std::string& what, const std::string& by = "")
{
    for (std::size_t i = text.find(what); i != std::string::npos; i = text.find(what, i + by.size()))
        text.replace(i, what.size(), by);
    return text;
}

// The man page as a reader sees it: roff's escaped minus signs and font changes undone.
std::string ManPageText()
{
    std::string text = Without(bmtest::ReadBytes(kSource / "dist/linux/brindlemark.1"), "\\-", "-");
    for (const char* font : {"\\fB", "\\fI", "\\fR", "\\fP"})
        text = Without(text, font);
    return text;
}

std::string ManualText()
{
    return bmtest::WithoutTags(bmtest::ReadBytes(kSource / "doc/manual/command-line.html"));
}

// Every command answers COMMAND --help, and every option any of them lists is described in both
// documents. The commands are listed here, so one --help leaves out is noticed; the options are read
// from the program, so an option added later is held to this too.
TEST(DocumentedOptions, EveryCommandHasItsHelpAndEveryOptionIsDocumented)
{
    BM_NEEDS_PROGRAM();
    const auto whole = bmtest::RunProgram({"--help"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    const std::set<std::string> commands{"print", "test-pattern", "calibrate", "check", "wheel"};
    EXPECT_EQ(CommandsIn(whole.out), commands) << whole.out;

    std::map<std::string, std::string> listedBy;  // option: the help that lists it
    for (const std::string& o : OptionsIn(whole.out))
        listedBy[o] = "--help";
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const auto own = bmtest::RunProgram({command, "--help"});
        EXPECT_EQ(own.status, 0) << own.err;
        EXPECT_EQ(own.err, "");
        EXPECT_NE(own.out.find("] " + command + " "), std::string::npos) << own.out;
        // Only its own usage: no other command's line.
        for (const std::string& other : commands) {
            if (other != command) {
                EXPECT_EQ(own.out.find("] " + other + " "), std::string::npos) << own.out;
            }
        }
        for (const std::string& o : OptionsIn(own.out)) {
            listedBy.emplace(o, command + " --help");
            EXPECT_TRUE(OptionsIn(whole.out).contains(o)) << o << " is listed by " << command << " --help only";
        }
        // Anywhere among the command's words, as after an option's value.
        const auto late = bmtest::RunProgram({command, "--definition", "LO649", "--help"});
        EXPECT_EQ(late.status, 0) << late.err;
        EXPECT_EQ(late.out, own.out);
    }
    ASSERT_GE(listedBy.size(), 10u);
    // Each wheel command's help is its own: its usage and its options only.
    const struct {
        const char *sub, *option, *foreign;
    } wheels[] = {
        {"apply", "--design", "--seed"}, {"analyze", "--wheel", "--design"}, {"make", "--rounds", "--design"}};
    for (const auto& w : wheels) {
        SCOPED_TRACE(w.sub);
        const auto own = bmtest::RunProgram({"wheel", w.sub, "--help"});
        EXPECT_EQ(own.status, 0) << own.err;
        for (const auto& other : wheels)
            EXPECT_EQ(own.out.find(std::string("] wheel ") + other.sub + " ") != std::string::npos, other.sub == w.sub)
                << own.out;
        EXPECT_TRUE(OptionsIn(own.out).contains(w.option)) << own.out;
        EXPECT_FALSE(OptionsIn(own.out).contains(w.foreign)) << own.out;
    }
    EXPECT_TRUE(HasText(whole.out, "\n  --rounds R "));

    const std::set<std::string> man = OptionsIn(ManPageText());
    const std::set<std::string> manual = OptionsIn(ManualText());
    for (const auto& [option, by] : listedBy) {
        EXPECT_TRUE(man.contains(option)) << option << " (listed by " << by << ") is missing from the man page";
        EXPECT_TRUE(manual.contains(option)) << option << " (listed by " << by << ") is missing from the manual";
    }
}

// The documented examples run as written where the documents say to run them: the README's block
// from its folder (it writes its design first), the manual's and the man page's commands in a
// folder that holds design.txt, each on a program folder of the test's own. A wheel make runs at
// most a few rounds of its search (it stops at --seconds or --rounds, whichever comes first).
std::string Unescaped(std::string text)
{
    for (const auto& [from, to] :
         {std::pair{"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"\\-", "-"}})
        text = Without(text, from, to);
    return text;
}

std::vector<std::string> CommandLines(const std::string& text, const std::string& program)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("<pre>", 0) == 0)
            line.erase(0, 5);
        if (line.rfind(program + " ", 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

TEST(DocumentedOptions, TheDocumentedExamplesRunAsWritten)
{
    BM_NEEDS_PROGRAM();
    const std::string readme = bmtest::ReadBytes(kSource / "README.md");
    const auto heading = readme.find("## Wheels:");
    ASSERT_NE(heading, std::string::npos);
    const auto start = readme.find("```sh\n", heading);
    ASSERT_NE(start, std::string::npos);
    const auto end = readme.find("```", start + 6);
    const std::string block = readme.substr(start + 6, end - start - 6);
    const std::string design = block.substr(0, block.find('\n') + 1);
    ASSERT_TRUE(HasText(design, "> design.txt")) << design;

    const auto section = [](const std::string& text, const std::string& from, const std::string& to) {
        const auto at = text.find(from);
        return at == std::string::npos ? std::string() : text.substr(at, text.find(to, at) - at);
    };
    const struct {
        const char* where;
        std::string commands;
        std::string program;
        bool writesDesign;
    } documents[] = {
        {"README.md", block, "build/bin/brindlemark", true},
        {"wheels.html",
         Unescaped(section(bmtest::ReadBytes(kSource / "doc/manual/wheels.html"), "On the command line", "</pre>")),
         "brindlemark", false},
        {"command-line.html",
         Unescaped(section(bmtest::ReadBytes(kSource / "doc/manual/command-line.html"), "name=\"wheel\"", "</pre>")),
         "brindlemark", false},
        {"brindlemark.1",
         Unescaped(section(bmtest::ReadBytes(kSource / "dist/linux/brindlemark.1"), ".SH EXAMPLES", ".fi")),
         "brindlemark", false},
    };
    for (const auto& d : documents) {
        SCOPED_TRACE(d.where);
        const auto lines = CommandLines(d.commands, d.program);
        ASSERT_GE(lines.size(), 2u) << d.commands;
        Lab lab;
        const std::string run = Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(lab.home().string());
        std::string script = "set -e; cd " + Quoted(lab.out().string()) + "; " + (d.writesDesign ? "" : design);
        if (d.writesDesign) {
            script += d.commands;
            // The build's own path holds the same words: the search goes on after each replacement.
            for (auto at = script.find(d.program); at != std::string::npos;
                 at = script.find(d.program, at + run.size()))
                script.replace(at, d.program.size(), run);
        } else {
            for (const std::string& line : lines)
                script +=
                    run + line.substr(d.program.size()) + (HasText(line, " wheel make ") ? " --rounds 1" : "") + "\n";
        }
        const Ran ran = RunShell("sh -c " + Quoted(script));
        EXPECT_EQ(ran.status, 0) << ran.err << script;
        if (HasText(d.commands, "wheel analyze")) {
            EXPECT_TRUE(HasText(ran.out, "Plays,4")) << ran.out;
        }
    }
}

}  // namespace
