// Files written whole or not at all, and files read as they were opened. Hidden copies that a
// killed writer leaves beside the program's own files go the next time the program uses that
// folder, even when it writes nothing there; nothing else ever goes.

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/AtomicFile.h"
#include "common/InputFile.h"
#include "definitions/DefinitionFile.h"
#include "definitions/MarginSettings.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::ReadBytes;
using bmtest::TempDir;
using bmtest::WriteBytes;
namespace fs = std::filesystem;

namespace {

long Entries(const fs::path& folder)
{
    return std::distance(fs::directory_iterator(folder), {});
}

unsigned ModeOf(const fs::path& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Runs `body` as a user without privileges: as root (as CI runs) in a child that drops to
// nobody, since root may write any file; otherwise as the user running the tests.
void AsUnprivileged(const std::function<void()>& body)
{
    if (::geteuid() != 0)
        return body();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
                             ::setresuid(65534, 65534, 65534) == 0;
        if (dropped)
            body();
        _exit(!dropped ? 3 : ::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "as nobody: status " << status;
}

TEST(WriteFileAtomically, ReplacesTheFileLeavingNoTemporaryOneAndRefusesWhatIsInTheWay)
{
    TempDir dir;
    WriteBytes(dir / "a.txt", "old");
    ASSERT_TRUE(WriteFileAtomically(dir / "a.txt", "new\r\n").ok());
    EXPECT_EQ(ReadBytes(dir / "a.txt"), "new\r\n");
    EXPECT_EQ(Entries(dir.path()), 1);

    std::filesystem::create_directory(dir / "b.txt");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    ::symlink("pipe", (dir / "to-pipe").c_str());
    for (const char* blocked : {"b.txt", "pipe", "to-pipe"}) {
        EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(WriteFileAtomically(dir / blocked, "x")), blocked));
    }
    // Through the process's descriptors a name can lead to a pipe, a terminal or another's file.
    ::symlink("/dev/stdout", (dir / "to-stdout").c_str());
    EXPECT_FALSE(WriteFileAtomically(dir / "to-stdout", "x").ok());
    EXPECT_TRUE(fs::is_directory(dir / "b.txt"));
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_TRUE(fs::is_symlink(dir / "to-pipe"));
    EXPECT_FALSE(WriteFileAtomically(dir / "missing/c.txt", "x").ok());
    EXPECT_EQ(Entries(dir.path()), 5);
}

// A link is followed, the file it names replaced and the link kept; the old file's permissions stay.
TEST(WriteFileAtomically, WritesThroughALinkAndKeepsThePermissions)
{
    TempDir dir;
    fs::create_directory(dir / "real");
    WriteBytes(dir / "real/s.txt", "old");
    ::chmod((dir / "real/s.txt").c_str(), 0600);
    ::symlink("real/s.txt", (dir / "link.txt").c_str());
    ASSERT_TRUE(WriteFileAtomically(dir / "link.txt", "new").ok());
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(ReadBytes(dir / "real/s.txt"), "new");
    EXPECT_EQ(ModeOf(dir / "real/s.txt"), 0600u);
    EXPECT_EQ(Entries(dir / "real"), 1);
    ::chmod((dir / "real/s.txt").c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(dir / "real/s.txt", "newer").ok());
    EXPECT_EQ(ModeOf(dir / "real/s.txt"), 0640u);
}

// While a large file is written nothing partial shows under any name; abandoning leaves the old file.
TEST(AtomicFileWriter, ShowsNoFileUntilCommittedAndLeavesTheOldOneWhenAbandoned)
{
    TempDir dir;
    WriteBytes(dir / "s.txt", "old");
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(dir / "s.txt").ok());
        ASSERT_TRUE(writer.Write(std::string(1 << 20, 'x')));
        EXPECT_EQ(Entries(dir.path()), 1);
    }
    EXPECT_EQ(ReadBytes(dir / "s.txt"), "old");
    // Another process watching the folder during a whole write sees only the old or the new file.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(WriteFileAtomically(dir / "s.txt", std::string(64 << 20, 'y')).ok() ? 0 : 1);
    constexpr std::uintmax_t kFull = 64 << 20;
    int partial = 0;
    for (int status = 0; waitpid(child, &status, WNOHANG) == 0;) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(dir.path(), ec))
            if (const auto size = fs::file_size(entry.path(), ec); !ec && size != 3 && size != kFull)
                ++partial;
    }
    EXPECT_EQ(partial, 0);
    EXPECT_EQ(fs::file_size(dir / "s.txt"), kFull);
    EXPECT_EQ(Entries(dir.path()), 1);
}

// What another user may not write is refused, not replaced behind the user's back.
TEST(WriteFileAtomically, RefusesAFileOrFolderTheUserMayNotWrite)
{
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    fs::create_directory(dir / "shut");
    ::chmod((dir / "shut").c_str(), 0555);
    AsUnprivileged([&] {
        WriteBytes(dir / "mine.txt", "old");
        ::chmod((dir / "mine.txt").c_str(), 0600);
        ASSERT_TRUE(WriteFileAtomically(dir / "mine.txt", "new").ok());
        EXPECT_EQ(ModeOf(dir / "mine.txt"), 0600u);
        WriteBytes(dir / "locked.txt", "old");
        ::chmod((dir / "locked.txt").c_str(), 0444);
        const auto locked = WriteFileAtomically(dir / "locked.txt", "new");
        EXPECT_FALSE(locked.ok());
        EXPECT_EQ(ReadBytes(dir / "locked.txt"), "old");
        EXPECT_FALSE(WriteFileAtomically(dir / "shut/s.txt", "new").ok());
    });
}

// /dev/shm is an ordinary memory-backed folder that scripts use for scratch output: it stays a
// place to write, while the rest of /dev (and a way out of /dev/shm by "..") does not.
TEST(WriteFileAtomically, WritesIntoDevShmButNeverOntoADevice)
{
    if (!fs::is_directory("/dev/shm"))
        GTEST_SKIP() << "no /dev/shm here";
    char pattern[] = "/dev/shm/bmtest-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path dir(pattern);
    const std::shared_ptr<void> cleanup(nullptr, [&](void*) { fs::remove_all(dir); });
    ASSERT_TRUE(CheckOutputTarget(dir / "s.txt", {}, nullptr).ok());
    ASSERT_TRUE(WriteFileAtomically(dir / "s.txt", "summary\r\n").ok());
    EXPECT_EQ(ReadBytes(dir / "s.txt"), "summary\r\n");
    ASSERT_TRUE(WriteFileAtomically(dir / "s.txt", "again\r\n").ok());
    EXPECT_EQ(ReadBytes(dir / "s.txt"), "again\r\n");
    EXPECT_EQ(Entries(dir), 1);
    for (const fs::path& device : {fs::path("/dev/null"), dir / "../../null", fs::path("/dev/shm/../stdout")})
        EXPECT_FALSE(CheckOutputTarget(device, {}, nullptr).ok()) << device;
}

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
    bmtest::MakeOlder(p.leftover, 120);
    for (const std::string& name :
         {Copy(target, "abcdefGHIJ0"), Copy(target, "abcdefGHIJ0-"), Copy(target) + ".bak", Copy(target).substr(1),
          Copy(other), "." + target + ".tmp", Copy(target, "abcdefGHIJ012")}) {
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
    bmtest::MakeOlder(copy, 120);
    ASSERT_TRUE(ReadMargins(folder, "CS649"));
    EXPECT_FALSE(fs::exists(copy));
}

// Only a copy nobody holds locked by either kind of lock, and untouched for more than a minute,
// is a leftover: another program may have made a fresh one and not yet locked it, and a
// program that keeps POSIX record locks knows nothing of flock.
TEST_F(WriterLeftovers, OnlyAnOldCopyNobodyHoldsLockedGoes)
{
    enum class Lock { None, Flock, Record, OpenFileRecord };
    const struct {
        const char* what;
        int age;  // seconds since it was last written
        Lock lock;
        bool removed;
    } cases[] = {
        {"old and unlocked", 120, Lock::None, true},
        {"fresh and unlocked", 0, Lock::None, false},
        {"just under a minute old", 50, Lock::None, false},
        {"old and held by flock", 20 * 60, Lock::Flock, false},
        {"old and held by a POSIX record lock", 20 * 60, Lock::Record, false},
        {"old and held by an open file description lock", 20 * 60, Lock::OpenFileRecord, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path copy = folder.settings() / Copy("CS649.ini");
        WriteBytes(copy, "being written");
        // The writer is another process, which says when it holds its lock and then waits.
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            const int fd = ::open(copy.c_str(), O_RDWR);
            struct flock range {};
            range.l_type = F_WRLCK;
            range.l_whence = SEEK_SET;
            const bool held =
                fd >= 0 && (c.lock == Lock::None || (c.lock == Lock::Flock && ::flock(fd, LOCK_EX) == 0) ||
                            (c.lock == Lock::Record && ::fcntl(fd, F_SETLK, &range) == 0) ||
                            (c.lock == Lock::OpenFileRecord && ::fcntl(fd, F_OFD_SETLK, &range) == 0));
            const char said = held ? 'y' : 'n';
            [[maybe_unused]] const auto sent = ::write(ready[1], &said, 1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char said = 0;
        ASSERT_EQ(::read(ready[0], &said, 1), 1);
        ::close(ready[0]);
        EXPECT_EQ(said, 'y');
        bmtest::MakeOlder(copy, c.age);
        SweepWriterLeftovers(folder.settings(), [](std::string_view t) { return t == "CS649.ini"; });
        EXPECT_EQ(!fs::exists(copy), c.removed);
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        fs::remove(copy);
    }
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
                  std::string(c.what) == "unchanged" ? "(accepted)"
                                                     : file.string() + " changed while it was being checked");
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
