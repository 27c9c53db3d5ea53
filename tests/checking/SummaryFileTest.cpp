#include <gtest/gtest.h>

#include "checking/SummaryFile.h"
#include "support/TempDir.h"

namespace {

TEST(SummaryFile, WritesTheReportTextWithCrLfLineEnds)
{
    bmtest::TempDir dir;
    const auto file = dir / "out.txt";
    bmtest::WriteBytes(file, "an older, longer summary that is replaced\r\n");
    ASSERT_TRUE(bm::WriteSummaryFile(file, "Lottery: NY649\n\nMatch 0 - 1\r\na\rb\n").ok());
    EXPECT_EQ(bmtest::ReadBytes(file), "Lottery: NY649\r\n\r\nMatch 0 - 1\r\na\rb\r\n");
    ASSERT_TRUE(bm::WriteSummaryFile(file, "").ok());
    EXPECT_EQ(bmtest::ReadBytes(file), "");
}

TEST(SummaryFile, FailureLeavesNoFileAndSaysWhy)
{
    bmtest::TempDir dir;
    const auto status = bm::WriteSummaryFile(dir / "no-such-folder" / "out.txt", "x\n");
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find("no-such-folder"), std::string::npos) << status.error().message;
    EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));

    std::filesystem::create_directory(dir / "taken.txt");
    const auto folder = bm::WriteSummaryFile(dir / "taken.txt", "x\n");
    ASSERT_FALSE(folder.ok());
    EXPECT_NE(folder.error().message.find("taken.txt"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SummaryFile, SummaryFolderIsMadeWhenMissing)
{
    bmtest::TempDir dir;
    const bm::ProgramFolder folder(dir.path());
    ASSERT_TRUE(bm::EnsureSummaryFolder(folder).ok());
    bmtest::WriteBytes(dir / "Summary" / "kept.txt", "kept");
    ASSERT_TRUE(bm::EnsureSummaryFolder(folder).ok());
    EXPECT_EQ(bmtest::ReadBytes(dir / "Summary" / "kept.txt"), "kept");

    bmtest::TempDir other;
    bmtest::WriteBytes(other / "Summary", "a file in the way");
    const auto status = bm::EnsureSummaryFolder(bm::ProgramFolder(other.path()));
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find("Summary"), std::string::npos);
}

}  // namespace
