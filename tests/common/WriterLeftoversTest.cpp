// Hidden copies that a killed writer leaves beside the program's own files go the next time the
// program uses that folder, even when it writes nothing there; nothing else ever goes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/AtomicFile.h"
#include "definitions/DefinitionFile.h"
#include "definitions/MarginSettings.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::ReadBytes;
using bmtest::WriteBytes;
namespace fs = std::filesystem;

namespace {

const char* const kLeftover = "abcdefGHIJ09";  // the 12 random letters and digits of a copy

std::string Copy(const std::string& target, const std::string& suffix = kLeftover)
{
    return "." + target + "." + suffix + ".tmp";
}

// Plants, in `folder`, a finished copy of `target` and look-alikes that are not the program's.
struct Planted {
    fs::path leftover;
    std::vector<fs::path> kept;
};

Planted Plant(const fs::path& folder, const std::string& target, const std::string& other)
{
    Planted p{folder / Copy(target), {}};
    WriteBytes(p.leftover, "finished copy");
    for (const std::string& name :
         {Copy(target, "abcdefGHIJ0"), Copy(target, "abcdefGHIJ0-"), Copy(target) + ".bak",
          Copy(target).substr(1), Copy(other), "." + target + ".tmp", Copy(target, "abcdefGHIJ012")}) {
        WriteBytes(folder / name, "not ours");
        p.kept.push_back(folder / name);
    }
    // Not regular files: a folder, a link (even one to a leftover) and a FIFO, which must not block.
    fs::create_directory(folder / Copy(target, "folderFOLDER"));
    p.kept.push_back(folder / Copy(target, "folderFOLDER"));
    fs::create_symlink(p.leftover, folder / Copy(target, "linkLINKlink"));
    p.kept.push_back(folder / Copy(target, "linkLINKlink"));
    EXPECT_EQ(::mkfifo((folder / Copy(target, "fifoFIFOfifo")).c_str(), 0600), 0);
    p.kept.push_back(folder / Copy(target, "fifoFIFOfifo"));
    return p;
}

void ExpectSwept(const Planted& p)
{
    EXPECT_FALSE(fs::exists(fs::symlink_status(p.leftover))) << p.leftover;
    for (const auto& kept : p.kept)
        EXPECT_TRUE(fs::exists(fs::symlink_status(kept))) << "removed " << kept;
}

class WriterLeftovers : public testing::Test {
protected:
    WriterLeftovers() { dir.makeProgramFolder(); }
    bmtest::TempDir dir;
    ProgramFolder folder{dir.path()};
};

// Offsets that did not change are never written again: reading them sweeps the folder.
TEST_F(WriterLeftovers, ReadingTheOffsetsSweepsTheSettingsFolder)
{
    WriteBytes(folder.settingsFile("CS649"), "\"1\"\r\n\"2\"\r\n");
    const Planted p = Plant(folder.settings(), "CS649.ini", "notes.txt");
    ASSERT_TRUE(ReadMargins(folder, "LO649"));
    ExpectSwept(p);
    EXPECT_EQ(ReadBytes(folder.settingsFile("CS649")), "\"1\"\r\n\"2\"\r\n");
}

TEST_F(WriterLeftovers, ListingTheDefinitionsSweepsTheDefsFolder)
{
    WriteBytes(folder.definitionFile("CS649"), "x");
    const Planted p = Plant(folder.defs(), "CS649.def", "CS649 copy.def");
    const auto listing = ListDefinitionFiles(folder.defs());
    ExpectSwept(p);
    EXPECT_EQ(listing.definitions, std::vector<std::string>{"CS649.def"});
}

// A copy whose writer still runs is never taken: the writer holds it locked while it lives.
TEST_F(WriterLeftovers, ACopyBeingWrittenIsKept)
{
    const fs::path copy = folder.settings() / Copy("CS649.ini");
    WriteBytes(copy, "half a fi");
    const int writer = ::open(copy.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX | LOCK_NB), 0);
    ASSERT_TRUE(ReadMargins(folder, "CS649"));
    ASSERT_TRUE(WriteMargins(folder, "CS649", {"1", "2"}));
    EXPECT_TRUE(fs::exists(copy));
    ::close(writer);  // the writer is gone
    ASSERT_TRUE(ReadMargins(folder, "CS649"));
    EXPECT_FALSE(fs::exists(copy));
}

// On a file system without unnamed files the writer's copy has a name from the start; it is
// locked at once, so a sweep by another save of the same file never takes it, and it is gone
// once the writer commits or gives up.
TEST_F(WriterLeftovers, ANamedCopyIsLockedWhileItIsWritten)
{
    UseNamedTemporaryFilesForTesting(true);
    const std::shared_ptr<void> reset(nullptr, [](void*) { UseNamedTemporaryFilesForTesting(false); });
    const fs::path target = dir / "out.txt";
    const auto copies = [&] {
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().starts_with(".out.txt."))
                found.push_back(e.path());
        return found;
    };
    AtomicFileWriter first;
    ASSERT_TRUE(first.Open(target));
    ASSERT_TRUE(first.Write("first"));
    ASSERT_EQ(copies().size(), 1u);
    ASSERT_TRUE(WriteFileAtomically(target, "second"));  // sweeps this target's leftovers
    ASSERT_EQ(copies().size(), 1u);
    ASSERT_TRUE(first.Commit());
    EXPECT_EQ(ReadBytes(target), "first");
    EXPECT_TRUE(copies().empty());
    AtomicFileWriter abandoned;
    ASSERT_TRUE(abandoned.Open(target));
    abandoned.Abandon();
    EXPECT_TRUE(copies().empty());
}

}  // namespace
