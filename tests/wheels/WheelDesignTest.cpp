#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "wheels/WheelDesign.h"

namespace {

using bm::InputFile;
using bm::wheels::ApplyDesign;
using bm::wheels::ParseDesign;
using bm::wheels::ParseNumbers;
using bm::wheels::ScanDesign;
using bmtest::Refusal;

using Plays = std::vector<std::vector<int>>;

TEST(WheelDesign, ReadsTheShapesPublishedDesignsComeIn)
{
    const struct {
        const char* what;
        const char* text;
        Plays plays;
        std::vector<std::int64_t> lines;
        bool zeroBased;
        int needed;
    } cases[] = {
        {"header lines and braces, 0-based",
         "# cover output\n# Covered 3-sets: 3074 / 18424\n\n{ 0, 5, 6, 16, 22, 45 }\n{ 1, 2, 3, 4, 7, 48 }\n",
         {{0, 5, 6, 16, 22, 45}, {1, 2, 3, 4, 7, 48}},
         {4, 5},
         true,
         49},
        {"blanks with a trailing blank, no last line end", "1 2 3 \n4 5 6 ", {{1, 2, 3}, {4, 5, 6}}, {1, 2}, false, 6},
        {"CR LF, commas, tabs and a byte-order mark",
         "\xEF\xBB\xBF"
         "3,1,2\r\n\t 6\t5,,4 \r\n",
         {{3, 1, 2}, {6, 5, 4}},
         {1, 2},
         false,
         6},
        {"a 0 on a later line makes the whole design 0-based",
         "1 2 3\n0 4 5\n",
         {{1, 2, 3}, {0, 4, 5}},
         {1, 2},
         true,
         6},
        {"lines of separators alone", "{\n1,2\n}\n  #indented comment\n3,4\n", {{1, 2}, {3, 4}}, {2, 5}, false, 4},
    };
    for (const auto& c : cases) {
        const auto d = ParseDesign(c.text, "design.txt");
        ASSERT_TRUE(d.ok()) << c.what << ": " << d.error().message;
        EXPECT_EQ(d->plays, c.plays) << c.what;
        EXPECT_EQ(d->lines, c.lines) << c.what;
        EXPECT_EQ(d->zeroBased, c.zeroBased) << c.what;
        EXPECT_EQ(d->NumbersNeeded(), c.needed) << c.what;
    }
}

TEST(WheelDesign, RefusesWithTheFileAndPhysicalLine)
{
    const struct {
        std::string_view text;
        const char* message;
    } cases[] = {
        {"# h\n1 2 3\n\n1 2 x\n", "design.txt: line 4: \"x\" is not a whole number"},
        {"1 2 -3\n", "design.txt: line 1: \"-3\" is not a whole number"},
        {"1 2 3;\n", "design.txt: line 1: \"3;\" is not a whole number"},
        {"1 2 3 # note\n", "design.txt: line 1: \"#\" is not a whole number"},
        {"1 2 3\n4 5 4\n", "design.txt: line 2: label 4 is given twice"},
        {"\n1 2 3\n4 5 6 7\n", "design.txt: line 3: the play holds 4 numbers, the play on line 2 holds 3"},
        {"# only a header\n\n", "design.txt: holds no plays"},
        {"", "design.txt: holds no plays"},
        {"1 2 9999999999\n", "design.txt: line 1: \"9999999999\" is not a whole number"},
        {std::string_view("\xFF\xFE"
                          "1\0 \0",
                          6),
         "design.txt: is UTF-16 text"},
        // Braces mark one play: two braced plays on a line are never run together into one.
        {"{1,2,3}\n{1,2,3},{4,5,6}\n", "design.txt: line 2: holds more than one braced play; a design has one "
                                       "play a line, such as { 1, 2, 3 }"},
        {"{1,2,3}{4,5,6}\n", "design.txt: line 1: holds more than one braced play"},
        {"{1,2,3}}\n", "design.txt: line 1: holds more than one braced play"},
        {"{1,2,3} 4\n", "design.txt: line 1: has numbers outside its braces; a design has one play a line, such "
                        "as { 1, 2, 3 }"},
        {"1 {2,3,4}\n", "design.txt: line 1: has numbers outside its braces"},
        {"1,2,3},{4,5,6\n", "design.txt: line 1: has numbers outside its braces"},
    };
    for (const auto& c : cases) {
        const auto d = ParseDesign(c.text, "design.txt");
        ASSERT_FALSE(d.ok()) << c.text;
        EXPECT_EQ(d.error().message.substr(0, std::string(c.message).size()), c.message) << d.error().message;
    }
}

// A design read a piece at a time gives what the whole text gives: the same plays and lines, the
// same refusals, with lines that cross the pieces; a line longer than any play is refused
// without being held whole.
TEST(WheelDesign, AScanInPiecesReadsAsTheWholeText)
{
    bmtest::TempDir dir;
    std::string long1 = "# " + std::string(70000, 'x') + "\n";
    std::string many;
    for (int p = 0; p < 30000; ++p)
        many += "{ " + std::to_string(p % 40) + ", " + std::to_string(p % 40 + 1) + ", 45 }\r\n";
    const std::string texts[] = {
        "# cover output\n\n{ 0, 5, 6, 16, 22, 45 }\n{ 1, 2, 3, 4, 7, 48 }\n",
        "\xEF\xBB\xBF"
        "3,1,2\r\n\t 6\t5,,4 \r\n",
        "1 2 3 \n4 5 6 ",
        many,
        many + "1 2\n",
        "{1,2,3},{4,5,6}\n",
        "1 2 3\n4 5 4\n",
        "# only a header\n\n",
        std::string("\xFF\xFE"
                    "1\0 \0",
                    6),
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 40));
        bmtest::WriteBytes(dir / "d.txt", text);
        const auto whole = ParseDesign(text, "d.txt");
        const auto file = InputFile::Open(dir / "d.txt");
        ASSERT_TRUE(file);
        std::vector<std::vector<int>> plays;
        std::vector<std::int64_t> lines;
        const auto scanned = ScanDesign(**file, "d.txt", [&](const std::vector<int>& play, std::int64_t line) {
            plays.push_back(play);
            lines.push_back(line);
            return true;
        });
        ASSERT_EQ(scanned.ok(), whole.ok());
        if (!whole) {
            EXPECT_EQ(scanned.error().message, whole.error().message);
            continue;
        }
        EXPECT_EQ(plays, whole->plays);
        EXPECT_EQ(lines, whole->lines);
        EXPECT_EQ(scanned->plays, static_cast<std::int64_t>(whole->plays.size()));
        EXPECT_EQ(scanned->playSize, whole->playSize);
        EXPECT_EQ(scanned->zeroBased, whole->zeroBased);
        EXPECT_EQ(scanned->highest, whole->highest);
    }
    bmtest::WriteBytes(dir / "d.txt", "1 2 3\n" + long1 + "4 5 6\n");
    const auto file = InputFile::Open(dir / "d.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(Refusal(ScanDesign(**file, "d.txt")),
              "d.txt: line 2: is longer than 65536 bytes, longer than any play of a design");
}

TEST(WheelDesign, PutsTheNumbersGivenInPlaceOfTheLabels)
{
    const auto oneBased = ParseDesign("1 2 3\n3 4 5\n", "d.txt");
    const auto zeroBased = ParseDesign("{0,1,2}\n{2,3,4}\n", "d.txt");
    ASSERT_TRUE(oneBased.ok() && zeroBased.ok());
    const std::vector<int> numbers{40, 7, 33, 1, 12};
    const Plays want{{7, 33, 40}, {1, 12, 33}};
    EXPECT_EQ(*ApplyDesign(*oneBased, numbers), want);
    EXPECT_EQ(*ApplyDesign(*zeroBased, numbers), want);
    EXPECT_EQ(bm::wheels::PlaysText(want), "7,33,40\r\n1,12,33\r\n");
    // More numbers than labels: the first ones take the labels.
    EXPECT_EQ(*ApplyDesign(*oneBased, {5, 4, 3, 2, 1, 49}), (Plays{{3, 4, 5}, {1, 2, 3}}));

    const auto wide = ParseDesign("# h\n1 2 3\n\n\n\n\n4 5 50\n", "design.txt");
    ASSERT_TRUE(wide.ok());
    std::vector<int> fortyNine;
    for (int n = 1; n <= 49; ++n)
        fortyNine.push_back(n);
    const auto beyond = ApplyDesign(*wide, fortyNine);
    ASSERT_FALSE(beyond.ok());
    EXPECT_EQ(beyond.error().message, "design.txt: line 7: label 50 is beyond the 49 numbers given");
    const auto zeroBeyond = ApplyDesign(*zeroBased, {1, 2, 3, 4});
    ASSERT_FALSE(zeroBeyond.ok());
    EXPECT_EQ(zeroBeyond.error().message, "d.txt: line 2: label 4 is beyond the 4 numbers given");
}

TEST(WheelDesign, ReadsThePlayersNumbers)
{
    EXPECT_EQ(*ParseNumbers("3 11,19, 27\t35"), (std::vector<int>{3, 11, 19, 27, 35}));
    EXPECT_EQ(*ParseNumbers("0 7"), (std::vector<int>{0, 7}));
    const struct {
        const char* text;
        std::optional<int> pool;
        const char* message;
    } refused[] = {
        {"3 11 3", std::nullopt, "--numbers: 3 is given twice"},
        {"3 x", std::nullopt, "--numbers: \"x\" is not a whole number"},
        {"3 -4", std::nullopt, "--numbers: \"-4\" is not a whole number"},
        {" , ", std::nullopt, "--numbers holds no numbers"},
        {"3 50", 49, "--numbers: 50 is not a number of LO649 (1 to 49)"},
        {"0 3", 49, "--numbers: 0 is not a number of LO649 (1 to 49)"},
    };
    for (const auto& c : refused) {
        const auto got = ParseNumbers(c.text, c.pool, "LO649");
        ASSERT_FALSE(got.ok()) << c.text;
        EXPECT_EQ(got.error().message.substr(0, std::string(c.message).size()), c.message) << got.error().message;
    }
}

TEST(WheelDesign, ReadsAFileAndRefusesWhatIsNoFile)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "d.txt", "1 2 3\r\n");
    const auto read = bm::wheels::ReadDesign(dir / "d.txt");
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->plays, (Plays{{1, 2, 3}}));
    // A file far larger than any design (sparse: nothing is written to disk).
    bmtest::WriteBytes(dir / "huge.txt", "1 2 3\n");
    std::filesystem::resize_file(dir / "huge.txt", std::uintmax_t{300} << 20);
    for (const auto& bad : {dir / "missing.txt", dir.path(), std::filesystem::path("/dev/null"), dir / "huge.txt"}) {
        const auto refused = bm::wheels::ReadDesign(bad);
        ASSERT_FALSE(refused.ok()) << bad;
        EXPECT_EQ(refused.error().message.rfind(bad.string() + ": ", 0), 0u) << refused.error().message;
    }
    EXPECT_EQ(bm::wheels::ReadDesign(dir / "huge.txt").error().message,
              (dir / "huge.txt").string() + ": is 300 MB, too large for a design (at most 256 MB)");
}

}  // namespace
