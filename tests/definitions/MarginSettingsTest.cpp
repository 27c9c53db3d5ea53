#include <gtest/gtest.h>

#include "definitions/MarginSettings.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::ReadBytes;
using bmtest::WriteBytes;

namespace {

class Margins : public testing::Test {
protected:
    Margins() { dir.makeProgramFolder(); }
    bmtest::TempDir dir;
    ProgramFolder folder{dir.path()};
};

TEST_F(Margins, RoundTripIsByteExactAndAnUnchangedPairIsNotRewritten)
{
    EXPECT_EQ(*ReadMargins(folder, "NY649"), (MarginSettings{"0", "0"}));  // no file yet
    ASSERT_TRUE(*WriteMargins(folder, "NY649", {"-", "2"}));  // a lone minus sign is stored as typed
    EXPECT_EQ(ReadBytes(dir / "Settings/NY649.ini"), "\"-\"\r\n\"2\"\r\n");
    EXPECT_EQ(*ReadMargins(folder, "NY649"), (MarginSettings{"-", "2"}));
    WriteBytes(dir / "Settings/NY649.ini", "\"1\"\n\"2\"\n");  // LF ends: rewriting would change the bytes
    EXPECT_FALSE(*WriteMargins(folder, "NY649", {"1", "2"}));
    EXPECT_EQ(ReadBytes(dir / "Settings/NY649.ini"), "\"1\"\n\"2\"\n");
    EXPECT_TRUE(*WriteMargins(folder, "NY649", {"1.0", "2"}));  // compared as texts
}

TEST_F(Margins, ReadsTheLastPairUnquotedItemsAndEmptyFiles)
{
    const std::pair<const char*, MarginSettings> cases[] = {
        {"\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n", {"3", "4"}}, {"  1.5 \r\n-2\r\n", {"1.5", "-2"}}, {"", {"", ""}}};
    for (const auto& [bytes, margins] : cases) {
        WriteBytes(dir / "Settings/A.ini", bytes);
        EXPECT_EQ(*ReadMargins(folder, "A"), margins) << bytes;
    }
    WriteBytes(dir / "Settings/D.ini", "\"1\"\r\n");
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(ReadMargins(folder, "D")), "D.ini"));
}

TEST_F(Margins, CreatesAMissingSettingsFolderAndRefusesWhatCannotBeStored)
{
    std::filesystem::remove(dir / "Settings");
    ASSERT_TRUE(*WriteMargins(folder, "NY649", {"0", "1"}));
    EXPECT_TRUE(std::filesystem::exists(dir / "Settings/NY649.ini"));
    EXPECT_FALSE(WriteMargins(folder, "AB649", {"1\"", "0"}).ok());
    EXPECT_FALSE(std::filesystem::exists(dir / "Settings/AB649.ini"));
    std::filesystem::remove_all(dir / "Settings");
    WriteBytes(dir / "Settings", "a file where the folder should be");
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(WriteMargins(folder, "NY649", {"0", "1"})), "Settings"));
}

}  // namespace
