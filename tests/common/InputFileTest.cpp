#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

#include "common/InputFile.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const bm::InputFile& file)
{
    std::string bytes(64, '\0');
    int error = 0;
    const auto got = file.ReadAt(0, bytes.data(), bytes.size(), error);
    bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return bytes;
}

// Whatever happens to the file under its name while it is read, the open file reads as it was
// (or as it now is, for a change in place), and CheckUnchanged tells the change.
TEST(InputFile, TellsEveryChangeOfTheFileItWasOpenedAs)
{
    const struct {
        const char* what;
        std::function<void(const fs::path&)> change;
        const char* readAfter;
    } cases[] = {
        {"unchanged", [](const fs::path&) {}, "1,2,3\n4,5,6\n"},
        {"grown", [](const fs::path& f) { bmtest::WriteBytes(f, "1,2,3\n4,5,6\n7,8,9\n"); }, "1,2,3\n4,5,6\n7,8,9\n"},
        {"cut", [](const fs::path& f) { fs::resize_file(f, 6); }, "1,2,3\n"},
        {"replaced by rename",
         [](const fs::path& f) {
             bmtest::WriteBytes(f.parent_path() / "new", "9,9,9\n");
             fs::rename(f.parent_path() / "new", f);
         },
         "1,2,3\n4,5,6\n"},
        {"removed", [](const fs::path& f) { fs::remove(f); }, "1,2,3\n4,5,6\n"},
        {"rewritten at the same size",
         [](const fs::path& f) {
             ::usleep(20000);  // a later modification time than the first writing's
             bmtest::WriteBytes(f, "1,2,3\n4,5,7\n");
         },
         "1,2,3\n4,5,7\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bmtest::TempDir dir;
        const fs::path file = dir / "w.txt";
        bmtest::WriteBytes(file, "1,2,3\n4,5,6\n");
        auto input = bm::InputFile::Open(file);
        ASSERT_TRUE(input);
        EXPECT_EQ((*input)->opened().size, 12u);
        c.change(file);
        EXPECT_EQ(ReadAll(**input), c.readAfter);
        EXPECT_EQ(bmtest::Refusal((*input)->CheckUnchanged()),
                  std::string(c.what) == "unchanged" ? "(accepted)" : file.string() + " changed while it was being checked");
    }
}

// Opening never waits: a FIFO opens at once (the readers refuse it), a folder opens as a folder.
TEST(InputFile, OpensWithoutWaitingAndTellsWhatKindOfFile)
{
    bmtest::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    auto fifo = bm::InputFile::Open(dir / "pipe");
    ASSERT_TRUE(fifo);
    EXPECT_FALSE((*fifo)->opened().regular);
    auto folder = bm::InputFile::Open(dir.path());
    ASSERT_TRUE(folder);
    EXPECT_TRUE((*folder)->opened().folder);
    EXPECT_EQ(bmtest::Refusal(bm::InputFile::Open(dir / "none")),
              (dir / "none").string() + ": cannot be opened (No such file or directory)");
}

}  // namespace
