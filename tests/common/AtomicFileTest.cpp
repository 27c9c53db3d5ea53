#include <gtest/gtest.h>

#include "common/AtomicFile.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::ReadBytes;
using bmtest::TempDir;
using bmtest::WriteBytes;

namespace {

TEST(WriteFileAtomically, ReplacesTheFileLeavingNoTemporaryOneAndRefusesWhatIsInTheWay)
{
    TempDir dir;
    WriteBytes(dir / "a.txt", "old");
    ASSERT_TRUE(WriteFileAtomically(dir / "a.txt", "new\r\n").ok());
    EXPECT_EQ(ReadBytes(dir / "a.txt"), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    std::filesystem::create_directory(dir / "b.txt");
    const auto blocked = WriteFileAtomically(dir / "b.txt", "x");
    ASSERT_FALSE(blocked.ok());
    EXPECT_NE(blocked.error().message.find("b.txt"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "b.txt"));
    EXPECT_FALSE(WriteFileAtomically(dir / "missing/c.txt", "x").ok());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

}  // namespace
