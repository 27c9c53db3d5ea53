#include <gtest/gtest.h>

#include "definitions/MarginSettings.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::ReadBytes;
using bmtest::TempDir;
using bmtest::WriteBytes;

namespace {

class Margins : public testing::Test {
protected:
    Margins() { dir.makeProgramFolder(); }
    TempDir dir;
    ProgramFolder folder{dir.path()};
};

TEST_F(Margins, AMissingFileGivesZeroAndZero)
{
    auto m = ReadMargins(folder, "NY649");
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(*m, (MarginSettings{"0", "0"}));
}

TEST_F(Margins, RoundTripIsByteExact)
{
    ASSERT_TRUE(*WriteMargins(folder, "NY649", {"-1.5", "2"}));
    EXPECT_EQ(ReadBytes(dir / "Settings/NY649.ini"), "\"-1.5\"\r\n\"2\"\r\n");
    EXPECT_EQ(*ReadMargins(folder, "NY649"), (MarginSettings{"-1.5", "2"}));
    // A lone minus sign is stored as typed.
    ASSERT_TRUE(*WriteMargins(folder, "NY649", {"-", "2"}));
    EXPECT_EQ(ReadBytes(dir / "Settings/NY649.ini"), "\"-\"\r\n\"2\"\r\n");
}

TEST_F(Margins, WritesNothingWhenTheFileHoldsTheSameTexts)
{
    WriteBytes(dir / "Settings/NY649.ini", "\"1\"\n\"2\"\n");  // LF ends: rewriting would change the bytes
    EXPECT_FALSE(*WriteMargins(folder, "NY649", {"1", "2"}));
    EXPECT_EQ(ReadBytes(dir / "Settings/NY649.ini"), "\"1\"\n\"2\"\n");
    EXPECT_TRUE(*WriteMargins(folder, "NY649", {"1.0", "2"}));  // compared as texts
}

TEST_F(Margins, ReadsTheLastPairUnquotedItemsAndEmptyFiles)
{
    WriteBytes(dir / "Settings/A.ini", "\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n");
    EXPECT_EQ(*ReadMargins(folder, "A"), (MarginSettings{"3", "4"}));
    WriteBytes(dir / "Settings/B.ini", "  1.5 \r\n-2\r\n");
    EXPECT_EQ(*ReadMargins(folder, "B"), (MarginSettings{"1.5", "-2"}));
    WriteBytes(dir / "Settings/C.ini", "");
    EXPECT_EQ(*ReadMargins(folder, "C"), (MarginSettings{"", ""}));
    WriteBytes(dir / "Settings/D.ini", "\"1\"\r\n");
    auto one = ReadMargins(folder, "D");
    ASSERT_FALSE(one.ok());
    EXPECT_NE(one.error().message.find("D.ini"), std::string::npos);
}

TEST_F(Margins, CreatesAMissingSettingsFolder)
{
    std::filesystem::remove(dir / "Settings");
    ASSERT_TRUE(*WriteMargins(folder, "NY649", {"0", "1"}));
    EXPECT_EQ(ReadBytes(dir / "Settings/NY649.ini"), "\"0\"\r\n\"1\"\r\n");
}

TEST_F(Margins, RefusesWhatCannotBeStored)
{
    auto quote = WriteMargins(folder, "NY649", {"1\"", "0"});
    EXPECT_FALSE(quote.ok());
    EXPECT_FALSE(std::filesystem::exists(dir / "Settings/NY649.ini"));
    // A file where the folder should be.
    std::filesystem::remove(dir / "Settings");
    WriteBytes(dir / "Settings", "x");
    auto blocked = WriteMargins(folder, "NY649", {"0", "1"});
    ASSERT_FALSE(blocked.ok());
    EXPECT_NE(blocked.error().message.find("Settings"), std::string::npos);
}

TEST(OffsetValue, ReadsDecimalTextsOnly)
{
    EXPECT_FLOAT_EQ(*OffsetValue("-1.5"), -1.5f);
    EXPECT_FLOAT_EQ(*OffsetValue(" 2 "), 2.0f);
    EXPECT_FALSE(OffsetValue("-").has_value());
    EXPECT_FALSE(OffsetValue("").has_value());
    EXPECT_FALSE(OffsetValue("1,5").has_value());
    EXPECT_FALSE(OffsetValue("1e3").has_value());
}

}  // namespace
