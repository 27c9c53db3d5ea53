#include <gtest/gtest.h>

#include "printing/WheelFile.h"
#include "support/TempDir.h"

namespace {

std::vector<std::pair<std::int64_t, int>> ReadPart(const std::filesystem::path& file, std::uintmax_t from,
                                                   std::uintmax_t to, std::int64_t* lines = nullptr)
{
    auto reader = bm::WheelReader::OpenPart(file, 5, bm::NumberWidth::Bits32, from, to);
    EXPECT_TRUE(reader.ok());
    std::vector<std::pair<std::int64_t, int>> plays;
    bm::Play p;
    while ((*reader)->Next(p))
        plays.emplace_back(p.line, p.numbers[0]);
    EXPECT_FALSE((*reader)->error()) << (*reader)->error()->message;
    if (lines)
        *lines = (*reader)->lines();
    return plays;
}

TEST(WheelReaderPart, PartsReadTheirOwnLinesOnly)
{
    bmtest::TempDir dir;
    // Line starts: 0, 11, 13, 24, 35.
    const std::string text = "1,2,3,4,5\r\n\r\n6,2,3,4,5\r\n7,2,3,4,5\r\n8 2 3 4 5";
    bmtest::WriteBytes(dir / "w.txt", text);
    std::int64_t lines = 0;
    EXPECT_EQ(ReadPart(dir / "w.txt", 0, 13, &lines), (std::vector<std::pair<std::int64_t, int>>{{1, 1}}));
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(ReadPart(dir / "w.txt", 13, 35, &lines),
              (std::vector<std::pair<std::int64_t, int>>{{1, 6}, {2, 7}}));
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(ReadPart(dir / "w.txt", 35, text.size(), &lines), (std::vector<std::pair<std::int64_t, int>>{{1, 8}}));
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(ReadPart(dir / "w.txt", 0, UINTMAX_MAX, &lines).size(), 4u);
    EXPECT_EQ(lines, 5);
}

TEST(WheelReaderPart, FaultInAPartCountsLinesFromItsStart)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "w.txt", "1,2,3,4,5\n1,2,3,4,5\n1,2,x,4,5\n");
    auto reader = bm::WheelReader::OpenPart(dir / "w.txt", 5, bm::NumberWidth::Bits32, 10, 30);
    ASSERT_TRUE(reader.ok());
    bm::Play p;
    EXPECT_TRUE((*reader)->Next(p));
    EXPECT_FALSE((*reader)->Next(p));
    ASSERT_TRUE((*reader)->error());
    EXPECT_NE((*reader)->error()->message.find("line 2"), std::string::npos) << (*reader)->error()->message;
}

}  // namespace

namespace {

// Runs of digits longer than any number: leading zeros are harmless, anything else is out of range.
TEST(WheelReaderLongNumbers, ManyDigitsNeitherOverflowNorPass)
{
    bmtest::TempDir dir;
    const std::string zeros(30, '0');
    bmtest::WriteBytes(dir / "ok.txt", zeros + "7," + zeros + "0,3,4,5\r\n");
    auto ok = bm::WheelReader::Open(dir / "ok.txt", 5, bm::NumberWidth::Bits32);
    ASSERT_TRUE(ok.ok());
    bm::Play p;
    ASSERT_TRUE((*ok)->Next(p)) << (*ok)->error()->message;
    EXPECT_EQ(p.numbers[0], 7);
    EXPECT_EQ(p.numbers[1], 0);

    for (const std::string& big : {std::string(25, '5'), std::string("9223372036854775808"), std::string("2147483648")}) {
        bmtest::WriteBytes(dir / "big.txt", "1,2,3,4,5\r\n" + big + ",2,3,4,5\r\n");
        auto r = bm::WheelReader::Open(dir / "big.txt", 5, bm::NumberWidth::Bits32);
        ASSERT_TRUE(r.ok());
        EXPECT_TRUE((*r)->Next(p));
        EXPECT_FALSE((*r)->Next(p));
        ASSERT_TRUE((*r)->error()) << big;
        EXPECT_NE((*r)->error()->message.find("line 2"), std::string::npos);
        EXPECT_NE((*r)->error()->message.find("beyond"), std::string::npos) << (*r)->error()->message;
    }
}

}  // namespace
