#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "marks/SlipMarks.h"
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
         "; made by hand\n\n[Extra]\n  ; indented comment\nDraws 2 = 20.0\t150.5  4.0 2.5\nYes=1 2 3 4", {100, 100, {draws, {"Yes", 1, 2, 3, 4}}}},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBF[Mark]\r\nWidth=60\r\n", {60, 100, {}}},
        {"sizes only, in either order", "[Mark]\r\nHeight=10\r\nWidth=60\r\n", {60, 10, {}}},
        {"empty", "", {}},
        {"empty sections", "[Extra]\r\n[Mark]\r\n", {}},
        {"a name with blanks and an umlaut", "[Extra]\nZusatzspiel \xc3\xbc=0 0 0.5 .5\n", {100, 100, {{"Zusatzspiel \xc3\xbc", 0, 0, 0.5f, 0.5f}}}},
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
        {"[Marks]\r\n", "line 1: unknown section \"[Marks]\"; a marks file has the sections [Mark] and [Extra]"},
        {"[Mark\r\n", "line 1: \"[Mark\" is not a section name such as [Mark]"},
        {"Width=50\r\n", "line 1: \"Width=50\" stands before any section; it belongs under [Mark] or [Extra]"},
        {"[Mark]\r\nwidth=50\r\n", "line 2: unknown key \"width\" in [Mark]; it takes Width and Height"},
        {"[Mark]\r\nWidth 50\r\n", "line 2: \"Width 50\" is neither a section nor KEY=VALUE"},
        {"[Mark]\r\nWidth=50\r\nWidth=60\r\n", "line 3: Width is given twice (first on line 2)"},
        {"[Mark]\r\nHeight=9\r\n", "line 2: Height 9 is out of range; the mark's height is 10 to 100 percent of the box"},
        {"[Mark]\r\nWidth=101\r\n", "line 2: Width 101 is out of range; the mark's width is 10 to 100 percent of the box"},
        {"[Mark]\r\nWidth=60.5\r\n", "line 2: Width \"60.5\" is not a whole number of percent"},
        {"[Mark]\r\nWidth=\r\n", "line 2: Width \"\" is not a whole number of percent"},
        {"[Extra]\r\n[Mark]\r\n[Extra]\r\n", "line 3: [Extra] is given twice (first on line 1)"},
        {"[Extra]\r\nA=1 2 3\r\n", "line 2: extra mark \"A\" holds 3 values; it takes LEFT TOP WIDTH HEIGHT in mm"},
        {"[Extra]\r\nA=1 2 3 4 5\r\n", "line 2: extra mark \"A\" holds 5 values; it takes LEFT TOP WIDTH HEIGHT in mm"},
        {"[Extra]\r\nA=1,5 2 3 4\r\n",
         "line 2: extra mark \"A\": its left \"1,5\" is not a number of millimetres (decimal point, values separated by blanks)"},
        {"[Extra]\r\nA=1 2 0 4\r\n", "line 2: extra mark \"A\": its width is 0 mm; a size must be more than 0 mm"},
        {"[Extra]\r\nA=1 2 3 -4\r\n", "line 2: extra mark \"A\": its height is -4 mm; a size must be more than 0 mm"},
        {"[Extra]\r\nA=-1 2 3 4\r\n", "line 2: extra mark \"A\": its left -1 mm is out of range (0 to 1000 mm)"},
        {"[Extra]\r\nA=1 2e3 3 4\r\n",
         "line 2: extra mark \"A\": its top \"2e3\" is not a number of millimetres (decimal point, values separated by blanks)"},
        {"[Extra]\r\nA=1 2 3 4\r\n; again\r\nA=5 6 7 8\r\n", "line 4: extra mark \"A\" is given twice (first on line 2)"},
        {"[Extra]\r\n=1 2 3 4\r\n", "line 2: an extra mark needs a name"},
        {"[Extra]\r\nA=1 2 3 4\rB=1 2 3 4\r\n", "line 2 holds a carriage return inside the line; lines must end with CR LF or LF"},
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

// No file of these kinds is read as marks, and none makes the reader wait.
TEST(SlipMarksFile, RefusesWhatIsNoSmallTextFile)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.marks").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "device.marks");
    std::filesystem::create_symlink(dir / "gone", dir / "dangling.marks");
    std::filesystem::create_directory(dir / "folder.marks");
    WriteBytes(dir / "huge.marks", "[Extra]\r\n" + std::string(70 * 1024, ';'));
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"fifo.marks", "is not a regular file (a FIFO, device or socket), not a marks file"},
        {"device.marks", "is not a regular file (a FIFO, device or socket), not a marks file"},
        {"dangling.marks", "is a link to a file that does not exist"},
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
    const SlipMarks marks{60, 45, {{"Draws 2", 20, 150.5f, 4, 2.5f}, {"Yes", 0.1f, 3, 12.25f, 0.00001f}}};
    EXPECT_EQ(SlipMarksText(marks),
              "[Mark]\r\nWidth=60\r\nHeight=45\r\n[Extra]\r\nDraws 2=20 150.5 4 2.5\r\nYes=0.1 3 12.25 0.00001\r\n");
    TempDir dir;
    WriteBytes(dir / "A.marks", "old");
    ::chmod((dir / "A.marks").c_str(), 0640);
    ASSERT_TRUE(WriteSlipMarks(dir / "A.marks", marks).ok());
    EXPECT_EQ(std::filesystem::status(dir / "A.marks").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
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

}  // namespace
