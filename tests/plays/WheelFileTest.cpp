#include <gtest/gtest.h>

#include <fstream>

#include "plays/WheelFile.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::TempDir;
using bmtest::WriteBytes;

namespace {

constexpr auto B16 = NumberWidth::Bits16;
constexpr auto B32 = NumberWidth::Bits32;

// What a reader read, as "line:numbers" per play, and the error it ended with.
struct Reading {
    std::vector<std::string> plays;
    std::string error;
};

Reading ReadAll(WheelReader& reader)
{
    Reading out;
    Play p;
    while (reader.Next(p)) {
        std::string play = std::to_string(p.line) + ":";
        for (int i = 0; i < p.count; ++i)
            play += (i ? "," : "") + std::to_string(p.numbers[i]);
        out.plays.push_back(play);
    }
    out.error = reader.error() ? reader.error()->message : "";
    return out;
}

Reading ReadFile(const std::filesystem::path& file, int perPlay, NumberWidth width = B32)
{
    auto reader = WheelReader::Open(file, perPlay, width);
    return reader ? ReadAll(**reader) : Reading{{}, reader.error().message};
}

// The first line is read the general way, the usual lines after it a quicker one: every case is
// read at the file's start and again after a good play.
std::string GoodPlay(int perPlay)
{
    std::string play;
    for (int i = 1; i <= perPlay; ++i)
        play += std::to_string(i) + (i < perPlay ? "," : "\r\n");
    return play;
}

// The number at `at` of the text, one higher: "line 7 holds" as "line 8 holds", "3:1,2" as "4:1,2".
std::string Shifted(const std::string& text, std::size_t at)
{
    const auto end = text.find_first_not_of("0123456789", at);
    return text.substr(0, at) + std::to_string(std::stoll(text.substr(at)) + 1) + text.substr(end);
}

// The error from after "w.txt: " on, as long as the part expected; the whole error when none is.
std::string Fault(const std::string& error, std::size_t length)
{
    const auto at = error.find("w.txt: ");
    return length == 0 || at == std::string::npos ? error : error.substr(at + 7, length);
}

TEST(WheelReader, ReadsEveryShapeAndNamesEveryFaultAtTheStartAndAfterAPlay)
{
    const std::string zeros(30, '0');
    const struct {
        const char* what;
        std::string bytes;
        int perPlay;
        NumberWidth width;
        std::string error;  // after "w.txt: "
        std::vector<std::string> plays = {};
        bool startOnly = false;  // only a file's start can hold it
    } cases[] = {
        {"separators and line ends",
         "1,2,3,4,5,6\r\n1 2 3 4 5 6\n01, 2 ,\t3,4 , 5,06 ,  \r\n7,8,9,10,11,12",
         6,
         B32,
         "",
         {"1:1,2,3,4,5,6", "2:1,2,3,4,5,6", "3:1,2,3,4,5,6", "4:7,8,9,10,11,12"}},
        {"blank lines", "\r\n1,2,3,4,5\r\n  \r\n\t\r\n6,7,8,9,10\r\n\r\n", 5, B32, "", {"2:1,2,3,4,5", "5:6,7,8,9,10"}},
        {"comment lines",
         "# method: covering\r\n  #\t1,2,3\r\n1,2,3,4,5\r\n#\n6,7,8,9,10\r\n# no line end",
         5,
         B32,
         "",
         {"3:1,2,3,4,5", "5:6,7,8,9,10"}},
        {"comment after a number", "1,2,3,4,5 # x\r\n", 5, B32, "line 1: \"#\" is not a whole number"},
        // With carriage returns for line ends a comment would hide every play after it.
        {"comment with CR only", "# x\r1,2,3,4,5\r", 5, B32, "line 1 holds a carriage return inside the line"},
        {"numbers outside the game",
         "0,-3,99,4,5,6\r\n100,2,3,4,5,6\r\n1,2,3,4,5,123\r\n007,8,+9,10,11,-12\n",
         6,
         B32,
         "",
         {"1:0,-3,99,4,5,6", "2:100,2,3,4,5,6", "3:1,2,3,4,5,123", "4:7,8,9,10,11,-12"}},
        {"long runs of leading zeros", zeros + "7," + zeros + "0,3,4,5\r\n", 5, B32, "", {"1:7,0,3,4,5"}},
        {"UTF-8 byte order mark",
         "\xEF\xBB\xBF"
         "1,2,3,4,5\r\n",
         5,
         B32,
         "",
         {"1:1,2,3,4,5"},
         true},
        {"short", "1,2,3,4,5\r\n", 6, B32, "line 1 holds 5 numbers; a play of this game has 6"},
        {"long", std::string(6, '\n') + "1,2,3,4,5,6,7\r\n", 6, B32, "line 7 holds 7 numbers; a play of this"},
        {"one", "5\r\n", 6, B32, "line 1 holds 1 number; a play"},
        {"three digits", "1,2,3,4,500\r\n", 6, B32, "line 1 holds 5 numbers"},
        {"letter O", "1,2,1O,4,5,6\r\n", 6, B32, "line 1: \"1O\" is not a whole number"},
        {"empty field", "1,2,,4,5,6\r\n", 6, B32, "line 1 holds an empty field between two commas"},
        {"leading comma", ",1,2,3,4,5,6\r\n", 6, B32, "line 1: starts with a comma"},
        {"16-bit range", "1,2,3,4,5,32768\r\n", 6, B16,
         "line 1: 32768 is beyond the numbers this program can read (-32768 to 32767)"},
        {"32-bit range", "1,2,3,4,5,2147483648\r\n", 6, B32, "line 1: 2147483648 is beyond"},
        {"64-bit range", "9223372036854775808,2,3,4,5\r\n", 5, B32, "line 1: 9223372036854775808 is beyond"},
        // Found by fuzzing: nineteen digits and more once read as the smallest number there is.
        {"huge negative 16", "-1000000000000000001,3,42,3,4,5,6\r\n", 7, B16, "line 1: -1000000000000000001 is beyond"},
        {"huge negative 32", "1,2,3,4,-0000099999999999999999999\r\n", 5, B32, "line 1: -0000099999999999999999999 is"},
        {"CR only", "1,2,3,4,5,6\r7,8,9,10,11,12\r", 6, B32, "line 1 holds a carriage return inside the line"},
        {"binary", std::string("1,2,3\0\x01,5,6\n", 12), 6, B32, "line 1: \"3\\x00\\x01\" is not a whole number"},
        {"UTF-16",
         "\xFF\xFE"
         "1\0,\0",
         6,
         B32,
         "is UTF-16 text",
         {},
         true},
        {"enormous line", std::string(200000, '7'), 6, B32, "line 1 is too long"},
    };
    TempDir dir;
    const auto read = [&](const std::string& bytes, int perPlay, NumberWidth width) {
        WriteBytes(dir / "w.txt", bytes);
        return ReadFile(dir / "w.txt", perPlay, width);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto atStart = read(c.bytes, c.perPlay, c.width);
        EXPECT_EQ(atStart.plays, c.plays);
        EXPECT_EQ(Fault(atStart.error, c.error.size()), c.error);
        if (c.startOnly)
            continue;
        const std::string first = GoodPlay(c.perPlay);
        std::vector<std::string> plays = {"1:" + first.substr(0, first.size() - 2)};
        for (const auto& p : c.plays)
            plays.push_back(Shifted(p, 0));
        const auto after = read(first + c.bytes, c.perPlay, c.width);
        EXPECT_EQ(after.plays, plays);
        const std::string error = c.error.empty() ? "" : Shifted(c.error, 5);
        EXPECT_EQ(Fault(after.error, error.size()), error);
    }
}

// The reader sizes its buffer by the file at opening; a file that another program keeps writing
// meanwhile must still be read whole and line by line, as a fresh reading reads it.
TEST(WheelReader, AFileThatGrowsAfterOpeningIsReadWhole)
{
    std::string more;
    for (int i = 0; i < 150000; ++i)
        more += std::to_string(i % 40 + 1) + ", 41,42 ,43,44\t45\r\n";
    for (const std::string& first : {std::string(), GoodPlay(6)}) {
        TempDir dir;
        WriteBytes(dir / "w.txt", first);
        auto reader = WheelReader::Open(dir / "w.txt", 6, B16);
        ASSERT_TRUE(reader.ok());
        std::ofstream(dir / "w.txt", std::ios::binary | std::ios::app) << more;
        const auto grown = ReadAll(**reader);
        EXPECT_EQ(grown.error, "");
        EXPECT_EQ(grown.plays.size(), first.empty() ? 150000u : 150001u);
        EXPECT_TRUE(grown.plays == ReadFile(dir / "w.txt", 6, B16).plays);
    }
}

TEST(CountPlays, CountsPlaysNotLinesAndRefusesWhatCannotBeRead)
{
    TempDir dir;
    WriteBytes(dir / "w.txt", GoodPlay(6) + "\r\n  \r\n" + GoodPlay(6) + "\r\n");
    EXPECT_EQ(*CountPlays(dir / "w.txt", 6, B16), 2);
    WriteBytes(dir / "w.txt", GoodPlay(6) + "1,2\r\n");
    for (const auto& file : {dir / "w.txt", dir / "missing.txt", dir.path()})
        EXPECT_FALSE(CountPlays(file, 6, B16).ok()) << file;
}

}  // namespace
