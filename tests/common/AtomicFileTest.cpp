#include <gtest/gtest.h>

#include "common/AtomicFile.h"
#include "common/Numbers.h"
#include "common/Version.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::ReadBytes;
using bmtest::TempDir;
using bmtest::WriteBytes;

namespace {

TEST(WriteFileAtomically, ReplacesTheFileAndLeavesNoTemporaryFile)
{
    TempDir dir;
    WriteBytes(dir / "a.txt", "old");
    ASSERT_TRUE(WriteFileAtomically(dir / "a.txt", "new\r\n").ok());
    EXPECT_EQ(ReadBytes(dir / "a.txt"), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WriteFileAtomically, RefusesAFolderInTheWayAndAMissingFolder)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "a.txt");
    auto blocked = WriteFileAtomically(dir / "a.txt", "x");
    ASSERT_FALSE(blocked.ok());
    EXPECT_NE(blocked.error().message.find("a.txt"), std::string::npos);
    EXPECT_FALSE(WriteFileAtomically(dir / "missing/b.txt", "x").ok());
}

TEST(Numbers, ParseAndShow)
{
    EXPECT_FLOAT_EQ(*ParseFloat(" 12.50 "), 12.5f);
    EXPECT_FLOAT_EQ(*ParseFloat("+.5"), 0.5f);
    for (const char* bad : {"", " ", ".", "1.2.3", "1e5", "inf", "nan", "0x10", "1 2", "--1"})
        EXPECT_FALSE(ParseFloat(bad).has_value()) << bad;
    EXPECT_FALSE(ParseFloat(std::string(60, '9')).has_value());  // beyond a float
    EXPECT_EQ(*ParseWhole(" -7 "), -7);
    EXPECT_FALSE(ParseWhole("7.0").has_value());
    EXPECT_EQ(ShortestText(12.5f), "12.5");
    EXPECT_EQ(ShortestText(3.0f), "3");
    EXPECT_EQ(ShortestText(0.8f), "0.8");
    EXPECT_EQ(ShortestText(4.2f), "4.2");
}

TEST(Version, TitleJoinsMinorAndRevision)
{
    EXPECT_EQ(VersionText(), "1.0.502");
    EXPECT_EQ(MainTitle(), "Brindlemark 1.0502");
    EXPECT_EQ(VersionText({2, 0, 3}), "2.0.3");
    EXPECT_EQ(VersionText({1, 0, 1234}), "1.0.1234");
}

}  // namespace
