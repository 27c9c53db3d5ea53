#include <gtest/gtest.h>

#include "checking/SummaryFile.h"
#include "support/TempDir.h"

namespace {

// Written through the atomic writer, whose refusals its own test names; a refusal still reaches the caller.
TEST(SummaryFile, WritesTheReportTextWithCrLfLineEndsOrSaysWhyNot)
{
    bmtest::TempDir dir;
    const auto file = dir / "out.txt";
    bmtest::WriteBytes(file, "an older, longer summary that is replaced\r\n");
    ASSERT_TRUE(bm::WriteSummaryFile(file, "Lottery: NY649\n\nMatch 0 - 1\r\na\rb\n").ok());
    EXPECT_EQ(bmtest::ReadBytes(file), "Lottery: NY649\r\n\r\nMatch 0 - 1\r\na\rb\r\n");
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(bm::WriteSummaryFile(dir / "no-such-folder" / "out.txt", "x\n")),
                                "no-such-folder"));
}

TEST(SummaryFile, SummaryFolderIsMadeWhenMissing)
{
    bmtest::TempDir dir, other;
    ASSERT_TRUE(bm::EnsureSummaryFolder(bm::ProgramFolder(dir.path())).ok());
    bmtest::WriteBytes(dir / "Summary" / "kept.txt", "kept");
    ASSERT_TRUE(bm::EnsureSummaryFolder(bm::ProgramFolder(dir.path())).ok());
    EXPECT_EQ(bmtest::ReadBytes(dir / "Summary" / "kept.txt"), "kept");
    bmtest::WriteBytes(other / "Summary", "a file in the way");
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(bm::EnsureSummaryFolder(bm::ProgramFolder(other.path()))), "Summary"));
}

}  // namespace
