#include <gtest/gtest.h>

#include "printing/WheelFile.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::TempDir;
using bmtest::WriteBytes;

namespace {

struct Read {
    std::vector<std::vector<int>> plays;
    std::vector<std::int64_t> lines;
    std::string error;
};

Read ReadAll(const std::string& bytes, int perPlay, NumberWidth width = NumberWidth::Bits32)
{
    TempDir dir;
    WriteBytes(dir / "w.txt", bytes);
    Read out;
    auto reader = WheelReader::Open(dir / "w.txt", perPlay, width);
    if (!reader) {
        out.error = reader.error().message;
        return out;
    }
    Play p;
    while ((*reader)->Next(p)) {
        out.plays.emplace_back(p.numbers.begin(), p.numbers.begin() + p.count);
        out.lines.push_back(p.line);
    }
    if ((*reader)->error())
        out.error = (*reader)->error()->message;
    return out;
}

TEST(WheelReader, ReadsCommasBlanksTabsAndLineEnds)
{
    const auto r = ReadAll("1,2,3,4,5,6\r\n1 2 3 4 5 6\n01, 2 ,\t3,4 , 5,06 ,  \r\n7,8,9,10,11,12", 6);
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.plays.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(r.plays[i], (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(r.plays[3], (std::vector<int>{7, 8, 9, 10, 11, 12}));  // last line without an end
}

TEST(WheelReader, SkipsBlankLinesButKeepsPhysicalLineNumbers)
{
    const auto r = ReadAll("\r\n1,2,3,4,5\r\n   \r\n\t\r\n6,7,8,9,10\r\n\r\n", 5);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.lines, (std::vector<std::int64_t>{2, 5}));
}

TEST(WheelReader, SkipsAUtf8ByteOrderMark)
{
    const auto r = ReadAll("\xEF\xBB\xBF" "1,2,3,4,5\r\n", 5);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.plays.size(), 1u);
}

TEST(WheelReader, KeepsNumbersOutsideTheGameAsTheyAre)
{
    const auto r = ReadAll("0,-3,99,4,5,6\r\n100,2,3,4,5,6\r\n1,2,3,4,5,123\r\n007,8,+9,10,11,-12\n1,2,3,4,5,6\r\n", 6);
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.plays.size(), 5u);
    EXPECT_EQ(r.plays[0], (std::vector<int>{0, -3, 99, 4, 5, 6}));
    EXPECT_EQ(r.plays[1], (std::vector<int>{100, 2, 3, 4, 5, 6}));
    EXPECT_EQ(r.plays[2], (std::vector<int>{1, 2, 3, 4, 5, 123}));
    EXPECT_EQ(r.plays[3], (std::vector<int>{7, 8, 9, 10, 11, -12}));
}

struct Bad {
    const char* what;
    std::string bytes;
    int perPlay;
    NumberWidth width;
    std::string message;  // after "<file>: "
};

class WheelReaderRefuses : public testing::TestWithParam<Bad> {};

TEST_P(WheelReaderRefuses, NamingFileLineAndFault)
{
    const auto r = ReadAll(GetParam().bytes, GetParam().perPlay, GetParam().width);
    ASSERT_NE(r.error, "");
    EXPECT_NE(r.error.find("w.txt: "), std::string::npos) << r.error;
    EXPECT_NE(r.error.find(GetParam().message), std::string::npos) << r.error;
}

// Plays after the first line are read a shorter way than the first; a faulty line must be named
// the same there.
TEST_P(WheelReaderRefuses, TheSameAfterAGoodPlay)
{
    const Bad& bad = GetParam();
    if (bad.bytes.rfind("\xFF\xFE", 0) == 0)
        return;  // only a file's start tells its encoding
    std::string play;
    for (int i = 1; i <= bad.perPlay; ++i)
        play += std::to_string(i) + (i < bad.perPlay ? "," : "\r\n");
    const auto r = ReadAll(play + bad.bytes, bad.perPlay, bad.width);
    std::string message = bad.message;
    if (const auto at = message.find("line "); at != std::string::npos) {
        const auto digits = message.find_first_not_of("0123456789", at + 5);
        const int line = std::stoi(message.substr(at + 5, digits - at - 5));
        message.replace(at + 5, digits - at - 5, std::to_string(line + 1));
    }
    ASSERT_FALSE(r.plays.empty());
    EXPECT_NE(r.error.find(message), std::string::npos) << r.error;
}

constexpr auto B16 = NumberWidth::Bits16;
constexpr auto B32 = NumberWidth::Bits32;

INSTANTIATE_TEST_SUITE_P(
    Cases, WheelReaderRefuses,
    testing::Values(
        Bad{"short", "1,2,3,4,5,6\r\n1,2,3,4,5\r\n", 6, B32, "line 2 holds 5 numbers; a play of this game has 6"},
        Bad{"long", std::string(6, '\n') + "1,2,3,4,5,6,7\r\n", 6, B32, "line 7 holds 7 numbers; a play of this game has 6"},
        Bad{"one", "5\r\n", 6, B32, "line 1 holds 1 number; a play"},
        Bad{"three digits", "1,2,3,4,500\r\n", 6, B32, "line 1 holds 5 numbers"},
        Bad{"letter O", "1,2,1O,4,5,6\r\n", 6, B32, "line 1: \"1O\" is not a whole number"},
        Bad{"decimal", "1,2,5.0,4,5,6\r\n", 6, B32, "line 1: \"5.0\" is not a whole number"},
        Bad{"empty field", "1,2,,4,5,6\r\n", 6, B32, "line 1 holds an empty field between two commas"},
        Bad{"two trailing commas", "1,2,3,4,5,6,,\r\n", 6, B32, "empty field"},
        Bad{"leading comma", ",1,2,3,4,5,6\r\n", 6, B32, "line 1: starts with a comma"},
        Bad{"semicolons", "1;2;3;4;5;6\r\n", 6, B32, "\"1;2;3;4;5;6\" is not a whole number"},
        Bad{"16-bit range", "1,2,3,4,5,32768\r\n", 6, B16, "32768 is beyond the numbers this program can read (-32768 to 32767)"},
        Bad{"32-bit range", "1,2,3,4,5,2147483648\r\n", 6, B32, "2147483648 is beyond"},
        Bad{"huge", "1,2,3,4,5,99999999999999999999999\r\n", 6, B32, "is beyond"},
        // Found by fuzz_wheel: nineteen digits and more once read as the smallest number there is.
        Bad{"huge negative 16", "-1000000000000000001,3,42,3,4,5,6\r\n", 7, B16, "-1000000000000000001 is beyond"},
        Bad{"huge negative 32", "1,2,3,4,-0000099999999999999999999\r\n", 5, B32, "is beyond"},
        Bad{"CR only", "1,2,3,4,5,6\r7,8,9,10,11,12\r", 6, B32, "carriage return inside the line"},
        Bad{"binary", std::string("1,2,3\0\x01,5,6\n", 12), 6, B32, "\"3\\x00\\x01\" is not a whole number"},
        Bad{"UTF-16", "\xFF\xFE" "1\0,\0", 6, B32, "is UTF-16 text"},
        Bad{"enormous line", std::string(200000, '7'), 6, B32, "line 1 is too long"}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (auto& c : n)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return n;
    });

TEST(CountPlays, CountsPlaysNotLines)
{
    TempDir dir;
    WriteBytes(dir / "w.txt", "");
    EXPECT_EQ(*CountPlays(dir / "w.txt", 6, NumberWidth::Bits16), 0);
    std::string twelve;
    for (int i = 0; i < 12; ++i)
        twelve += "1,2,3,4,5,6\r\n";
    WriteBytes(dir / "w.txt", twelve + "\r\n  \r\n");
    EXPECT_EQ(*CountPlays(dir / "w.txt", 6, NumberWidth::Bits16), 12);
    WriteBytes(dir / "w.txt", twelve + "1,2\r\n");
    EXPECT_FALSE(CountPlays(dir / "w.txt", 6, NumberWidth::Bits16).ok());
    EXPECT_FALSE(CountPlays(dir / "missing.txt", 6, NumberWidth::Bits16).ok());
    EXPECT_FALSE(CountPlays(dir.path(), 6, NumberWidth::Bits16).ok());
}

TEST(CountPlays, HandlesLinesAcrossReadChunks)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += std::to_string(i % 49 + 1) + ",2,3,4,5," + std::to_string(i % 7 + 40) + (i % 3 ? "\r\n" : "\n");
    WriteBytes(dir / "w.txt", text);
    EXPECT_EQ(*CountPlays(dir / "w.txt", 6, NumberWidth::Bits16), 200000);
}

TEST(ReadPlays, KeepsTheFirstNumbersAndAddsEmptyFillerPlays)
{
    TempDir dir;
    WriteBytes(dir / "pb.txt", "5,12,23,34,45,7\r\n1,2,3,4,5,26\r\n");
    auto table = ReadPlays(dir / "pb.txt", 6, 5, 3);
    ASSERT_TRUE(table.ok()) << table.error().message;
    std::vector<std::int32_t> expected = {5, 12, 23, 34, 45, 1, 2, 3, 4, 5};
    expected.resize(25, 0);
    EXPECT_EQ(*table, expected);
}

}  // namespace
