#include <cstdio>
#ifndef _WIN32
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "definitions/DefinitionFile.h"
#include "definitions/MarksEntries.h"
#include "slip/MarkPlacement.h"
#include "slip/SlipMarks.h"
#include "support/PrintJobSupport.h"
#include "support/TempDir.h"

using namespace bm;
using namespace bmtest;

namespace {

const std::string kExample = "[Mark]\r\nWidth=100\r\nHeight=100\r\n[Extra]\r\nDraws 2=20.0 150.5 4.0 2.5\r\n";

TEST(SlipMarksFile, BesideTheDefinition)
{
    EXPECT_EQ(MarksFileOf("/p/Defs/LO649.def"), std::filesystem::path("/p/Defs/LO649.marks"));
    EXPECT_EQ(MarksFileOf("slips/my.slip.def"), std::filesystem::path("slips/my.slip.marks"));
}

// What the format holds, as other tools and hand edits write it.
TEST(SlipMarksFile, ReadsWhatTheFormatHolds)
{
    const ExtraMark draws{"Draws 2", 20, 150.5f, 4, 2.5f};
    const struct {
        const char* name;
        std::string text;
        SlipMarks expected;
    } cases[] = {
        {"the example", kExample, {100, 100, {draws}}},
        {"LF ends, comments, blanks, no [Mark]",
         "; made by hand\n\n[Extra]\n  ; indented comment\nDraws 2 = 20.0\t150.5  4.0 2.5\nYes=1 2 3 4",
         {100, 100, {draws, {"Yes", 1, 2, 3, 4}}}},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBF[Mark]\r\nWidth=60\r\n", {60, 100, {}}},
        {"sizes only, in either order", "[Mark]\r\nHeight=10\r\nWidth=60\r\n", {60, 10, {}}},
        {"empty", "", {}},
        {"empty sections", "[Extra]\r\n[Mark]\r\n", {}},
        {"a name with blanks and an umlaut",
         "[Extra]\nZusatzspiel \xc3\xbc=0 0 0.5 .5\n",
         {100, 100, {{"Zusatzspiel \xc3\xbc", 0, 0, 0.5f, 0.5f}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteBytes(dir / "A.marks", c.text);
        const auto read = ReadSlipMarks(dir / "A.marks");
        ASSERT_TRUE(read.ok()) << read.error().message;
        EXPECT_EQ(*read, c.expected);
    }
    TempDir dir;
    const auto none = ReadSlipMarks(dir / "none.marks");
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none->IsDefault());
}

// Anything else refuses the definition with the file, the line and what is wrong.
TEST(SlipMarksFile, RefusesLineByLine)
{
    std::string hundredAndOne = "[Extra]\n";
    for (int i = 1; i <= 101; ++i)
        hundredAndOne += "M" + std::to_string(i) + "=1 1 1 1\n";
    const struct {
        std::string text;
        const char* message;  // after "<file>: "
    } cases[] = {
        {"[Marks]\r\n",
         "line 1: unknown section \"[Marks]\"; a marks file has the sections [Mark], [Extra], [Second], [Board] and [Prizes]"},
        {"[Mark\r\n", "line 1: \"[Mark\" is not a section name such as [Mark]"},
        {"Width=50\r\n",
         "line 1: \"Width=50\" stands before any section; it belongs under [Mark], [Extra], [Second], [Board] or [Prizes]"},
        {"[Mark]\r\nwidth=50\r\n", "line 2: unknown key \"width\" in [Mark]; it takes Width and Height"},
        {"[Mark]\r\nWidth 50\r\n", "line 2: \"Width 50\" is neither a section nor KEY=VALUE"},
        {"[Mark]\r\nWidth=50\r\nWidth=60\r\n", "line 3: Width is given twice (first on line 2)"},
        {"[Mark]\r\nHeight=9\r\n",
         "line 2: Height 9 is out of range; the mark's height is 10 to 100 percent of the box"},
        {"[Mark]\r\nWidth=101\r\n",
         "line 2: Width 101 is out of range; the mark's width is 10 to 100 percent of the box"},
        {"[Mark]\r\nWidth=60.5\r\n", "line 2: Width \"60.5\" is not a whole number of percent"},
        {"[Mark]\r\nWidth=\r\n", "line 2: Width \"\" is not a whole number of percent"},
        {"[Extra]\r\n[Mark]\r\n[Extra]\r\n", "line 3: [Extra] is given twice (first on line 1)"},
        {"[Extra]\r\nA=1 2 3\r\n", "line 2: extra mark \"A\" holds 3 values; it takes LEFT TOP WIDTH HEIGHT in mm"},
        {"[Extra]\r\nA=1 2 3 4 5\r\n", "line 2: extra mark \"A\" holds 5 values; it takes LEFT TOP WIDTH HEIGHT in mm"},
        {"[Extra]\r\nA=1,5 2 3 4\r\n",
         "line 2: extra mark \"A\": its left \"1,5\" is not a number of millimetres (decimal point, values separated by blanks)"},
        {"[Extra]\r\nA=1 2 0 4\r\n", "line 2: extra mark \"A\": its width is 0 mm; an extra mark is at least 0.1 mm "
                                     "wide and high"},
        {"[Extra]\r\nA=1 2 3 -4\r\n", "line 2: extra mark \"A\": its height is -4 mm; an extra mark is at least 0.1 mm "
                                      "wide and high"},
        // Thinner than any printer can print: refused as 0 is.
        {"[Extra]\r\nA=1 2 0.0000001 4\r\n", "line 2: extra mark \"A\": its width is 0.0000001 mm; an extra mark is at "
                                             "least 0.1 mm wide and high"},
        {"[Extra]\r\nA=1 2 3 0.09\r\n", "line 2: extra mark \"A\": its height is 0.09 mm; an extra mark is at least "
                                        "0.1 mm wide and high"},
        {"[Extra]\r\nA=-1 2 3 4\r\n", "line 2: extra mark \"A\": its left -1 mm is out of range (0 to 1000 mm)"},
        {"[Extra]\r\nA=1 2e3 3 4\r\n",
         "line 2: extra mark \"A\": its top \"2e3\" is not a number of millimetres (decimal point, values separated by blanks)"},
        {"[Extra]\r\nA=1 2 3 4\r\n; again\r\nA=5 6 7 8\r\n",
         "line 4: extra mark \"A\" is given twice (first on line 2)"},
        {"[Extra]\r\n=1 2 3 4\r\n", "line 2: an extra mark needs a name"},
        {"[Extra]\r\nA=1 2 3 4\rB=1 2 3 4\r\n",
         "line 2 holds a carriage return inside the line; lines must end with CR LF or LF"},
        {"[Extra]\r\nA\x01=1 2 3 4\r\n", "line 2 holds a control character; a marks file is plain text"},
        {std::string("[Mark]\r\nWidth=5\0\r\n", 17), "line 2 holds a control character; a marks file is plain text"},
        {"\xff\xfe[\0M\0", "is UTF-16 text; save it as plain text (ANSI or UTF-8)"},
        {hundredAndOne, "line 102: extra mark \"M101\" is one too many; a slip takes at most 100 extra marks"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        TempDir dir;
        WriteBytes(dir / "A.marks", c.text);
        EXPECT_EQ(Refusal(ReadSlipMarks(dir / "A.marks")), (dir / "A.marks").string() + ": " + c.message);
    }
}

#ifndef _WIN32  // links, FIFOs, fork and flock
// A link whose file lies in a folder the user may not enter is not "a file that does not exist".
TEST(SlipMarksFile, ALinkIntoAFolderThatCannotBeEnteredSaysSo)
{
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::create_directory(dir / "locked");
    WriteBytes(dir / "locked/LO649.marks", "[Mark]\r\nWidth=50\r\n");
    std::filesystem::permissions(dir / "locked", std::filesystem::perms(0700));
    std::filesystem::create_symlink(dir / "locked/LO649.marks", dir / "LO649.marks");
    const std::string want = (dir / "LO649.marks").string() + ": is a link to " +
                             (dir / "locked/LO649.marks").string() + ", which cannot be reached (Permission denied)";
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir / "locked", std::filesystem::perms(0000));
        EXPECT_EQ(Refusal(ReadSlipMarks(dir / "LO649.marks")), want);
        std::filesystem::permissions(dir / "locked", std::filesystem::perms(0700));
        return;
    }
    // Root enters any folder: the reading is done by a user without privileges.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
                             ::setresuid(65534, 65534, 65534) == 0;
        _exit(!dropped ? 3 : Refusal(ReadSlipMarks(dir / "LO649.marks")) == want ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "as nobody: status " << status;
}

#endif
// No file of these kinds is read as marks, and none makes the reader wait.
TEST(SlipMarksFile, RefusesWhatIsNoSmallTextFile)
{
    TempDir dir;
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "fifo.marks").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "device.marks");
    std::filesystem::create_symlink(dir / "gone", dir / "dangling.marks");
#endif
    std::filesystem::create_directory(dir / "folder.marks");
    WriteBytes(dir / "huge.marks", "[Extra]\r\n" + std::string(70 * 1024, ';'));
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
#ifndef _WIN32  // no FIFO there, and links need rights a user lacks
        {"fifo.marks", "is not a regular file (a FIFO, device or socket), not a marks file"},
        {"device.marks", "is not a regular file (a FIFO, device or socket), not a marks file"},
        {"dangling.marks", "is a link to a file that does not exist"},
#endif
        {"folder.marks", "is a folder, not a marks file"},
        {"huge.marks", "too large to be a marks file (at most 64 KiB)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Refusal(ReadSlipMarks(dir / c.file)), (dir / c.file).string() + ": " + c.message);
    }
}

TEST(SlipMarksFile, WritesWhatItReadsBack)
{
    const SlipMarks marks{60, 45, {{"Draws 2", 20, 150.5f, 4, 2.5f}, {"Yes", 0.1f, 3, 12.25f, 0.125f}}};
    EXPECT_EQ(SlipMarksText(marks),
              "[Mark]\r\nWidth=60\r\nHeight=45\r\n[Extra]\r\nDraws 2=20 150.5 4 2.5\r\nYes=0.1 3 12.25 0.125\r\n");
    TempDir dir;
    WriteBytes(dir / "A.marks", "old");
#ifdef _WIN32
    ASSERT_TRUE(WriteSlipMarks(dir / "A.marks", marks).ok());
#else
    ::chmod((dir / "A.marks").c_str(), 0640);
    ASSERT_TRUE(WriteSlipMarks(dir / "A.marks", marks).ok());
    EXPECT_EQ(std::filesystem::status(dir / "A.marks").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
#endif
    const auto read = ReadSlipMarks(dir / "A.marks");
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(*read, marks);
    EXPECT_EQ(read->extras[1].line, 6);
}

TEST(SlipMarksFile, NamesTheFileCannotKeep)
{
    for (const char* bad : {"", " A", "A ", "[A]", ";A", "A=B", "A\tB", "12345678901234567890123456789012345678901"})
        EXPECT_TRUE(ExtraNameFault(bad).has_value()) << bad;
    for (const char* good : {"Draws 2", "Mo/Di", "Yes!", "1234567890123456789012345678901234567890"})
        EXPECT_FALSE(ExtraNameFault(good).has_value()) << good;
}

// A mark as --marks writes it: "SHEET X1 Y1 X2 Y2", three decimals.
std::string Line(const RecordingSurface::Mark& m)
{
    char text[128];
    std::snprintf(text, sizeof text, "%d %.3f %.3f %.3f %.3f", m.sheet, double(m.x1), double(m.y1), double(m.x2),
                  double(m.y2));
    return text;
}

std::vector<std::string> Lines(const RecordingSurface& surface)
{
    std::vector<std::string> lines;
    for (const auto& m : surface.marks())
        lines.push_back(Line(m));
    return lines;
}

bool Holds(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A powerball slip: 5 from 69 and a powerball, one main panel of 5 across, 10 rows of 7.
SlipDefinition Powerball569()
{
    SlipDefinition d{.Pool = 69,
                     .Pick = 5,
                     .TotalPanels = 5,
                     .SlipWidth = 200,
                     .SlipHeight = 100,
                     .TopToFirstRow = 20,
                     .MainPanels = 1,
                     .RowsInPanel = 10,
                     .PanelsAcross = 5,
                     .LeftIndent = 10,
                     .ColumnsInPanel = 7,
                     .BoxWidth = 4,
                     .BoxHeight = 3,
                     .HorizontalPanelGap = 40,
                     .VerticalRowGap = 5,
                     .VerticalPanelGap = 0,
                     .HorizontalBoxShift = 5,
                     .RowFirstNumber = {},
                     .bPB = true,
                     .Horizontal = true};
    for (int r = 0; r < 10; ++r)
        d.RowFirstNumber.push_back(static_cast<std::int16_t>(1 + 7 * r));
    return d;
}

// Reduced marks, worked out by hand: the box shrunk about its centre, offsets applied once.
TEST(MarkSize, ShrinksEveryNumberMarkAboutItsBoxCentre)
{
    const struct {
        const char* name;
        SlipDefinition def;
        std::string wheel, top, left, marks;
        std::string expected;  // a mark that must be drawn
        std::string notDrawn;  // the same box whole, or a box that must stay empty
        std::size_t count;
    } cases[] = {
        // 1 lies in row 1, column 1: box (15, 12)-(18, 14) moved by (-2, 1); 60 % of 3 mm is 1.8 mm,
        // 50 % of 2 mm is 1 mm.
        {"horizontal", Horizontal649(2), Wheel(1), "1", "-2", "[Mark]\nWidth=60\nHeight=50\n",
         "1 13.600 13.500 15.400 14.500", "1 13.000 13.000 16.000 15.000", 6},
        // Play 2 goes into main panel 2, 33 mm below the first; 2 lies in column 2, 4.5 mm right.
        {"vertical", Vertical649(3), Wheel(2), "0", "0", "[Mark]\r\nWidth=80\r\nHeight=40\r\n",
         "1 19.800 45.600 22.200 46.400", "1 19.500 45.000 22.500 47.000", 12},
        // 10 lies in row 2, column 3: box (20, 25)-(24, 28); only the width is reduced. The
        // powerball 7 is not printed.
        {"powerball", Powerball569(), "10 20 30 40 50 7\r\n", "0", "0", "[Mark]\r\nWidth=50\r\n",
         "1 21.000 25.000 23.000 28.000", "1 40.000 20.000 44.000 23.000", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = RunJob({.def = c.def, .wheel = c.wheel, .top = c.top, .left = c.left, .marks = c.marks});
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        const auto lines = Lines(run->surface);
        EXPECT_EQ(lines.size(), c.count);
        EXPECT_TRUE(Holds(lines, c.expected)) << c.expected;
        EXPECT_FALSE(Holds(lines, c.notDrawn)) << c.notDrawn;
    }
}

TEST(MarkSize, FullSizeIsTheBoxToTheBit)
{
    const BoxRect box{15.1f, 12.3f, 18.1f, 14.3f};
    EXPECT_EQ(SizedMark(box, 100, 100), box);
    const BoxRect wide = SizedMark(box, 100, 30);
    EXPECT_EQ(wide.x1, box.x1);
    EXPECT_EQ(wide.x2, box.x2);
    EXPECT_NEAR(wide.y1, 13.0, 1e-5);
    EXPECT_NEAR(wide.y2, 13.6, 1e-5);
}

const std::string kTwoExtras = "[Extra]\r\nDraws 2=20 76 4 2.5\r\nYes=150 3 5 3\r\n";

// Every slip with a play gets the extra marks after its number marks, in file order, offsets
// applied; a slip the job does not print gets none.
TEST(ExtraMarks, FollowTheNumberMarksOfEverySlipPrinted)
{
    const std::vector<std::string> extras1 = {"1 18.000 77.000 22.000 79.500", "1 148.000 4.000 153.000 7.000"};
    const struct {
        const char* name;
        std::string wheel, slips;
        std::vector<std::size_t> perSheet;  // number marks of each sheet printed
        int firstSheet;
    } cases[] = {
        {"two slips", Wheel(12), "", {60, 12}, 1},
        {"the second slip only", Wheel(12), "2", {12}, 2},
        {"one play", Wheel(1), "", {6}, 1},
        {"no play: no slip, not even its extra marks", "", "", {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = RunJob({.wheel = c.wheel, .top = "1", .left = "-2", .slips = c.slips, .marks = kTwoExtras});
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        const auto lines = Lines(run->surface);
        std::size_t at = 0;
        for (std::size_t i = 0; i < c.perSheet.size(); ++i) {
            const int sheet = c.firstSheet + static_cast<int>(i);
            at += c.perSheet[i];
            ASSERT_LE(at + 2, lines.size());
            for (std::size_t k = 0; k < 2; ++k) {
                std::string expected = extras1[k];
                expected[0] = static_cast<char>('0' + sheet);
                EXPECT_EQ(lines[at + k], expected);
            }
            at += 2;
        }
        EXPECT_EQ(lines.size(), at);
    }
}

TEST(ExtraMarks, TestPatternMarksEveryBoxSizedAndEveryExtraOnce)
{
    const auto run = RunJob(
        {.top = "1", .left = "-2", .testMode = true, .marks = "[Mark]\r\nWidth=60\r\nHeight=50\r\n" + kTwoExtras});
    ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
    const auto lines = Lines(run->surface);
    ASSERT_EQ(lines.size(), 490u + 2u);
    EXPECT_EQ(lines.front(), "1 13.600 13.500 15.400 14.500");
    EXPECT_EQ(lines[490], "1 18.000 77.000 22.000 79.500");
    EXPECT_EQ(lines[491], "1 148.000 4.000 153.000 7.000");
}

// An extra mark off the sheet or over a number box, or a broken marks file, refuses the job
// before the wheel is asked for; nothing is drawn.
TEST(ExtraMarks, RefuseTheJobNamingFileAndLine)
{
    const struct {
        const char* name;
        std::string marks, top, left, message;  // after "<dir>/HZ649.marks: "
    } cases[] = {
        {"off the sheet with the offsets", "[Extra]\r\nEdge=290 3 5 3\r\n", "1", "5",
         "line 2: extra mark \"Edge\" would lie at 295 mm across, 4 mm down (offsets included), off the A4 sheet "
         "(landscape, 297 x 210 mm)"},
        {"over number 17", "; 17 lies in row 3, column 3 of panel 1\r\n[Extra]\r\nYes=150 3 5 3\r\nOver=25 21 1 1\r\n",
         "0", "0",
         "line 4: extra mark \"Over\" lies over the number box of row 3, column 3 of panel 1 in main panel 1 "
         "(number 17); it would print as that number played"},
        // On the sheet, yet beyond the 190 x 82 mm slip: it would print on the printer's platen.
        {"below the slip's edge", "[Extra]\r\nLow=20 81 4 2\r\n", "0", "0",
         "line 2: extra mark \"Low\" lies at 20 to 24 mm across, 81 to 83 mm down, beyond the 190 x 82 mm slip; "
         "keep extra marks on the slip"},
        {"right of the slip's edge", "[Extra]\r\nWide=189 3 2 2\r\n", "0", "0",
         "line 2: extra mark \"Wide\" lies at 189 to 191 mm across, 3 to 5 mm down, beyond the 190 x 82 mm slip; "
         "keep extra marks on the slip"},
        {"a broken file", "[Mark]\r\nWidth=0\r\n", "0", "0",
         "line 2: Width 0 is out of range; the mark's width is 10 to 100 percent of the box"},
    };
    for (bool testMode : {false, true})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (testMode ? ", test pattern" : ""));
            const auto run = RunJob({.top = c.top, .left = c.left, .testMode = testMode, .marks = c.marks});
            EXPECT_EQ(run->outcome.end, JobEnd::Refused);
            const std::string message = run->outcome.message;
            EXPECT_NE(message.find("HZ649.marks: " + c.message), std::string::npos) << message;
            EXPECT_FALSE(run->asked);
            EXPECT_TRUE(run->surface.marks().empty());
        }
    // Touching a box is not over it: beside the first box (sharing its left edge), above it
    // (sharing the top edge of its row), and the smallest mark there is, in the slip's corner.
    for (const char* touching :
         {"Beside=12 12 3 2", "Above=15 10 3 2", "Corner=0 0 0.1 0.1", "Far=189.9 81.9 0.1 0.1"}) {
        SCOPED_TRACE(touching);
        const auto run = RunJob({.marks = std::string("[Extra]\r\n") + touching + "\r\n"});
        EXPECT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
    }
    // The marks are judged as they print: 0.23 mm into the first box (15 to 18 mm across) is over
    // its full mark, but clear of a 40 % one (16.2 to 16.8 mm).
    const std::string near = "[Extra]\r\nNear=14 12 1.23 2\r\n";
    const auto full = RunJob({.marks = near});
    EXPECT_EQ(full->outcome.end, JobEnd::Refused);
    EXPECT_TRUE(HasText(full->outcome.message, "\"Near\" lies over the number box of row 1, column 1"));
    const auto reduced = RunJob({.marks = "[Mark]\r\nWidth=40\r\nHeight=40\r\n" + near});
    EXPECT_EQ(reduced->outcome.end, JobEnd::Completed) << reduced->outcome.message;
    MarksEntries entries;
    entries.width = entries.height = "40";
    entries.extras = {ExtraMark{"Near", 14, 12, 1.23f, 2}};
    EXPECT_FALSE(ValidateMarks(entries, Horizontal649(2)).has_value());
    entries.width = entries.height = "100";
    EXPECT_TRUE(ValidateMarks(entries, Horizontal649(2)).has_value());
}

// Off the sheet, a calibrated job names where the mark would print: stretched after the offsets.
TEST(ExtraMarks, OffTheSheetQuotesThePositionThatWouldPrint)
{
    const ExtraMark edge{"Edge", 290, 3, 5, 3};
    EXPECT_EQ(ExtraRefusal(Horizontal649(2), edge, 1, 5, A4Paper(), Scale{1.02, 0.98}),
              "extra mark \"Edge\" would lie at 295.04 mm across, 4.08 mm down (offsets and calibration included), "
              "off the A4 sheet (landscape, 297 x 210 mm)");
}

// The entries of the sample LO649, saved in Modify mode, with the marks file's mark width.
struct SavedPair {
    bmtest::TempDir dir;
    ProgramFolder folder{dir.path()};
    DefinitionEntries entries;
    SavedPair()
    {
        dir.makeProgramFolder({"LO649"});
        entries = EntriesFromDefinition("LO649", *ReadDefinition(folder, "LO649"));
        entries.name = "LO649";
    }
    Result<std::string> Save(int width) const
    {
        SlipMarks marks;
        marks.width = width;
        return WriteDefinitionAndMarks(folder, entries, EditorMode::Modify, marks);
    }
};

// The backup kept of the old marks file is read as the marks reader reads it: at most 64 KiB
// and never waiting on a FIFO. A larger file is not read into memory: the save is refused with
// nothing changed.
TEST(DefinitionAndMarks, TheOldMarksFileIsReadWithTheReadersBound)
{
    SavedPair pair;
    const auto marks = pair.folder.defs() / "LO649.marks";
    const std::string definition = ReadBytes(pair.folder.definitionFile("LO649"));
    WriteBytes(marks, "[Mark]\r\n");
    std::filesystem::resize_file(marks, std::uintmax_t{256} << 20);  // sparse: no disk taken
    EXPECT_EQ(Refusal(pair.Save(60)), marks.string() + ": too large to be a marks file (at most 64 KiB), so it is "
                                                       "not replaced; move it away and save again");
    EXPECT_EQ(std::filesystem::file_size(marks), std::uintmax_t{256} << 20);
    EXPECT_EQ(ReadBytes(pair.folder.definitionFile("LO649")), definition);
#ifndef _WIN32  // no FIFO there
    std::filesystem::remove(marks);
    ASSERT_EQ(::mkfifo(marks.c_str(), 0600), 0);
    EXPECT_EQ(Refusal(pair.Save(60)), marks.string() + ": is not a regular file (a device, FIFO or socket); nothing "
                                                       "was written");
    EXPECT_TRUE(std::filesystem::is_fifo(marks));
#endif
}

#ifndef _WIN32  // flock and fork

// Saves of one definition take turns under a lock on its folder, so the pair on disk always
// comes from one save: a save started while another holds the lock waits for it.
TEST(DefinitionAndMarks, ASaveWaitsForTheOneBeforeIt)
{
    SavedPair pair;
    ASSERT_TRUE(pair.Save(50));
    const int held = ::open(pair.folder.defs().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);  // another save is under way
    const pid_t saver = ::fork();
    ASSERT_GE(saver, 0);
    if (saver == 0)
        _exit(pair.Save(70) ? 0 : 1);
    // Waits, round by round, until the saver is seen waiting for the lock, or has ended without.
    const auto waiting = [&] {
        std::ifstream locks("/proc/locks");
        for (std::string line; std::getline(locks, line);)
            if (line.find("->") != std::string::npos &&
                line.find(" " + std::to_string(saver) + " ") != std::string::npos)
                return true;
        return false;
    };
    bool sawWaiting = false, ended = false;
    int status = 0;
    for (long round = 0; !sawWaiting && !ended && round < 12'000'000; ++round) {
        sawWaiting = waiting();
        ended = !sawWaiting && ::waitpid(saver, &status, WNOHANG) == saver;
        if (!sawWaiting && !ended)
            std::this_thread::yield();
    }
    EXPECT_TRUE(sawWaiting) << "the save did not wait for the one under way";
    const std::string whileHeld = ReadBytes(pair.folder.defs() / "LO649.marks");
    if (sawWaiting) {
        EXPECT_TRUE(HasText(whileHeld, "Width=50")) << "written while another save held the lock";
    }
    ::flock(held, LOCK_UN);
    ::close(held);
    if (!ended) {
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(HasText(ReadBytes(pair.folder.defs() / "LO649.marks"), "Width=70"));
}

#endif
// The job reads the file afresh: a change between two jobs shows in the second.
TEST(ExtraMarks, ReadAfreshByEveryJob)
{
    TempDir dir;
    const SlipDefinition def = Horizontal649(2);
    const auto file = WriteDefinition(dir.path(), "HZ649", def);
    WriteBytes(dir / "w.txt", Wheel(1));
    const auto run = [&] {
        RecordingSurface surface;
        const auto outcome = RunUnwatched(RequestFor(file, def), surface, dir / "w.txt");
        EXPECT_EQ(outcome.end, JobEnd::Completed) << outcome.message;
        return surface.marks().size();
    };
    EXPECT_EQ(run(), 6u);
    WriteBytes(dir / "HZ649.marks", kTwoExtras);
    EXPECT_EQ(run(), 8u);
    std::filesystem::remove(dir / "HZ649.marks");
    EXPECT_EQ(run(), 6u);
}

}  // namespace
