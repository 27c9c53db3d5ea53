// The POSIX side; AtomicFileWindows.cpp is the Windows one.
#ifndef _WIN32

#include "common/AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <atomic>
#include <climits>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/FolderLock.h"
#include "common/Platform.h"

namespace bm {

namespace {

namespace fs = std::filesystem;

std::string Describe(const fs::path& p, const std::string& what, int err)
{
    return "cannot write " + p.string() + ": " + what + (err ? std::string(" (") + std::strerror(err) + ")" : "");
}

fs::path FolderOf(const fs::path& p)
{
    return p.has_parent_path() ? p.parent_path() : fs::path(".");
}

// Signals that would end the process between linking the finished file and renaming it are
// held back for those two calls, so only SIGKILL can leave the finished copy under its own name.
class HeldSignals {
public:
    HeldSignals()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
            sigaddset(&set, s);
        pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~HeldSignals() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t old_;
};

std::string RandomSuffix()
{
    static thread_local std::mt19937_64 rng(std::random_device{}() ^ (static_cast<unsigned long long>(getpid()) << 32));
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string s;
    for (int i = 0; i < 12; ++i)
        s += kChars[rng() % (sizeof kChars - 1)];
    return s;
}

constexpr std::size_t kSuffixLength = 12;
// A copy younger than this may be one another program has just made and not yet locked.
constexpr time_t kLeftoverAge = 60;
// Where the file system keeps no locks, only a copy untouched this long is taken for a leftover.
constexpr time_t kUnlockedLeftoverAge = 15 * 60;

bool g_namedForTesting = false;

// "." TARGET "." 12 letters or digits ".tmp": the target's name, or empty when `name` is none of ours.
std::string_view LeftoverTarget(std::string_view name)
{
    constexpr std::string_view tail = ".tmp";
    if (name.size() < 3 + kSuffixLength + tail.size() || name[0] != '.' || !name.ends_with(tail))
        return {};
    const std::size_t suffix = name.size() - tail.size() - kSuffixLength;
    if (name[suffix - 1] != '.')
        return {};
    for (std::size_t i = suffix; i < suffix + kSuffixLength; ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return {};
    return name.substr(1, suffix - 2);
}

// Whether any process holds a POSIX record lock (of either kind) on any part of the open file.
// Asked as an open-file-description lock, which conflicts even with this process's own locks.
bool RecordLocked(int fd)
{
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
    if (::fcntl(fd, F_OFD_GETLK, &probe) != 0)
        return false;
    return probe.l_type != F_UNLCK;
}

bool RemoveIfLeftover(const fs::path& p)
{
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1)
        return false;
    const int fd = ::open(p.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened {};
    bool removed = false;
    if (::fstat(fd, &opened) == 0 && opened.st_dev == st.st_dev && opened.st_ino == st.st_ino) {
        const time_t age = std::time(nullptr) - opened.st_mtime;
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        const bool noLocks = locked && errno != EWOULDBLOCK;
        // Removed while the lock is held: a writer that made this very copy a moment ago and
        // has not locked it yet finds it gone and takes another name.
        if (noLocks ? age > kUnlockedLeftoverAge : !locked && age > kLeftoverAge && !RecordLocked(fd))
            removed = ::unlink(p.c_str()) == 0;
    }
    ::close(fd);
    return removed;
}

// The lock a writer holds on its copy for its whole life; the system lets go when it dies.
bool HoldWriterLock(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

// Named copies being written, removed by a signal that would otherwise end the process and
// leave them behind (a hidden copy of a PDF can be megabytes).
constexpr int kTrackedCopies = 16;
struct TrackedCopy {
    std::atomic<int> state{0};  // 0 free, 1 being filled in, 2 named
    char path[PATH_MAX] = {};
};
TrackedCopy g_tracked[kTrackedCopies];

extern "C" void RemoveCopiesAndEnd(int signal)
{
    for (TrackedCopy& copy : g_tracked)
        if (copy.state.load(std::memory_order_acquire) == 2)
            ::unlink(copy.path);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Only signals that would end the process as they stand: ones the program handles itself
// (Ctrl+C during a job) or ignores are left alone.
void WatchEndingSignals()
{
    for (int s : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
        struct sigaction now {};
        if (::sigaction(s, nullptr, &now) == 0 && !(now.sa_flags & SA_SIGINFO) && now.sa_handler == SIG_DFL) {
            struct sigaction mine {};
            mine.sa_handler = RemoveCopiesAndEnd;
            sigemptyset(&mine.sa_mask);
            ::sigaction(s, &mine, nullptr);
        }
    }
}

int Track(const fs::path& p)
{
    if (p.native().size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < kTrackedCopies; ++i) {
        int free = 0;
        TrackedCopy& copy = g_tracked[i];
        if (!copy.state.compare_exchange_strong(free, 1, std::memory_order_acq_rel))
            continue;
        std::memcpy(copy.path, p.c_str(), p.native().size() + 1);
        copy.state.store(2, std::memory_order_release);
        WatchEndingSignals();
        return i;
    }
    return -1;
}

void Untrack(int slot)
{
    if (slot >= 0)
        g_tracked[slot].state.store(0, std::memory_order_release);
}

// Gives the unnamed file a fresh name beside the target and renames it over the target. A rename
// that finds its name gone (swept by another writer as a leftover) links again.
int LinkIntoPlace(int fd, const fs::path& target)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const fs::path folder = FolderOf(target);
    int err = EEXIST;
    for (int tries = 0; tries < 100 && (err == EEXIST || err == ENOENT); ++tries) {
        const fs::path linked = folder / ("." + target.filename().string() + "." + RandomSuffix() + ".tmp");
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, linked.c_str(), AT_SYMLINK_FOLLOW) != 0 &&
            ::linkat(fd, "", AT_FDCWD, linked.c_str(), AT_EMPTY_PATH) != 0) {
            err = errno;
            continue;
        }
        if (::rename(linked.c_str(), target.c_str()) == 0)
            return 0;
        err = errno;
        ::unlink(linked.c_str());
    }
    return err;
}

}  // namespace

namespace {

// The link chain from `target` to the file it names; the last entry is that file.
std::vector<fs::path> LinkChain(const fs::path& target)
{
    std::vector<fs::path> chain{target};
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(chain.back(), ec); ++hops) {
        const fs::path next = fs::read_symlink(chain.back(), ec);
        if (ec)
            break;
        chain.push_back(next.is_absolute() ? next : FolderOf(chain.back()) / next);
    }
    return chain;
}

// /dev/stdout and its kind lead through the process's descriptors to a pipe, terminal or a
// file another program opened: never a file to replace.
bool ThroughSystemFolder(const std::vector<fs::path>& chain)
{
    for (const fs::path& p : chain) {
        std::error_code ec;
        const std::string s = fs::absolute(p, ec).lexically_normal().string();
        if (s.rfind("/dev/shm/", 0) == 0)
            continue;  // an ordinary memory-backed folder
        for (const char* system : {"/dev/", "/proc/", "/sys/"})
            if (s.rfind(system, 0) == 0)
                return true;
    }
    return false;
}

}  // namespace

fs::path ResolvedTarget(const fs::path& target)
{
    return LinkChain(target).back();
}

Status CheckWritableTarget(const fs::path& given)
{
    const std::vector<fs::path> chain = LinkChain(given);
    const fs::path& target = chain.back();
    const std::string shown =
        given == target ? given.string() : given.string() + " (a link to " + target.string() + ")";
    struct stat st {};
    const bool exists = ::stat(given.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return Error{shown + ": is a folder; give the name of a file to write"};
    if ((exists && !S_ISREG(st.st_mode)) || ThroughSystemFolder(chain))
        return Error{given.string() + ": is not a regular file (a device, FIFO or socket); nothing was written"};
    if (::stat(target.c_str(), &st) == 0) {
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            return Error{shown + ": cannot be written (" + std::strerror(errno) + ")"};
    } else if (errno != ENOENT) {
        return Error{shown + ": cannot be reached (" + std::strerror(errno) + ")"};
    }
    const fs::path folder = FolderOf(target);
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return Error{shown + ": the folder " + folder.string() + " does not exist"};
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return Error{shown + ": cannot write in the folder " + folder.string() + " (" + std::strerror(errno) + ")"};
    return Ok{};
}

Status CheckOutputTarget(const fs::path& given, const std::vector<fs::path>& inputs, const ProgramFolder* folder)
{
    if (Status writable = CheckWritableTarget(given); !writable)
        return writable;
    const fs::path target = ResolvedTarget(given);
    struct stat out {};
    if (::stat(target.c_str(), &out) == 0) {
        for (const fs::path& input : inputs) {
            struct stat in {};
            if (::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
                return Error{given.string() + ": is " +
                             (input == given ? "" : "the same file as " + input.string() + ", ") +
                             "an input of this run; it would be overwritten, choose another file"};
        }
    }
    // Files that are the program's state or part of a definition, whether they exist yet or not.
    struct Kept {
        fs::path file;
        std::string what;
    };
    std::vector<Kept> ownFiles;
    if (folder)
        ownFiles.push_back({folder->home() / "Brindlemark.ini",
                            "the program's settings file, which holds the printers' calibrations and the choices "
                            "remembered"});
    for (const fs::path& input : inputs)
        if (input.extension() == ".def")
            ownFiles.push_back(
                {fs::path(input).replace_extension(".marks"), "the marks file of the definition " + input.string()});
    {
        std::error_code ec;
        const fs::path landing = fs::weakly_canonical(target, ec);
        for (const Kept& k : ownFiles) {
            std::error_code ec2;
            struct stat st {};
            const bool same = (!ec && fs::weakly_canonical(k.file, ec2) == landing && !ec2) ||
                              (::stat(k.file.c_str(), &st) == 0 && ::stat(target.c_str(), &out) == 0 &&
                               st.st_dev == out.st_dev && st.st_ino == out.st_ino);
            if (same)
                return Error{given.string() + ": is " + k.what + "; it would be overwritten, choose another file"};
        }
    }
    if (folder) {
        std::error_code ec;
        const fs::path where = fs::weakly_canonical(FolderOf(target), ec);
        for (const fs::path& kept : {folder->defs(), folder->settings()}) {
            std::error_code ec2;
            if (!ec && fs::equivalent(where, kept, ec2))
                return Error{given.string() + ": lies in the program's " + kept.filename().string() +
                             " folder, which holds definitions and offsets; choose another folder"};
        }
    }
    return Ok{};
}

AtomicFileWriter::~AtomicFileWriter()
{
    Abandon();
}

Status AtomicFileWriter::Open(const fs::path& given)
{
    Abandon();
    std::error_code ec;
    if (fs::is_directory(given, ec))
        return Error{Describe(given, "a folder of that name is in the way", 0)};
    if (Status writable = CheckWritableTarget(given); !writable)
        return writable;
    target_ = ResolvedTarget(given);
    error_ = 0;
    const fs::path folder = FolderOf(target_);
    struct stat old {};
    const bool existed = ::stat(target_.c_str(), &old) == 0;
    // Unnamed: nothing under any name until the file is complete.
    fd_ = g_namedForTesting ? -1 : ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0)
        HoldWriterLock(fd_);
    if (fd_ < 0 && (g_namedForTesting || errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system without unnamed files: a fresh random name that no existing file or link can be.
        for (int tries = 0; tries < 100 && fd_ < 0; ++tries) {
            named_ = folder / ("." + target_.filename().string() + "." + RandomSuffix() + ".tmp");
            int err = 0;
            {
                // A signal that ends the process finds the copy either not yet made or known.
                HeldSignals held;
                fd_ = ::open(named_.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, 0666);
                err = errno;
                if (fd_ >= 0)
                    tracked_ = Track(named_);
            }
            errno = err;
            if (fd_ < 0 && errno != EEXIST)
                break;
            if (fd_ >= 0) {
                // Another writer's sweep may have taken the copy before it was locked: then another name.
                struct stat mine {
                }, named{};
                if (!HoldWriterLock(fd_) || ::fstat(fd_, &mine) != 0 || ::lstat(named_.c_str(), &named) != 0 ||
                    mine.st_ino != named.st_ino || mine.st_dev != named.st_dev) {
                    Untrack(tracked_);
                    tracked_ = -1;
                    ::close(fd_);
                    fd_ = -1;
                    errno = EEXIST;
                }
            }
        }
        if (fd_ < 0)
            named_.clear();
    }
    if (fd_ < 0)
        return Error{Describe(given, "cannot create a file in " + folder.string(), errno)};
    SweepWriterLeftovers(folder, [&](std::string_view name) { return name == target_.filename().string(); });
    if (existed) {
        // The old file's permissions, and its owner when the user may give it (root saving another's file).
        ::fchmod(fd_, old.st_mode & 07777);
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) [[maybe_unused]]
            const int owned = ::fchown(fd_, old.st_uid, old.st_gid);
    }
    return Ok{};
}

bool AtomicFileWriter::Write(std::string_view bytes)
{
    if (fd_ < 0 || error_)
        return false;
    error_ = WriteAll(fd_, bytes);
    return error_ == 0;
}

Status AtomicFileWriter::Commit()
{
    if (fd_ < 0)
        return Error{Describe(target_, "the file was not opened", 0)};
    if (!error_ && ::fsync(fd_) != 0)
        error_ = errno;
    if (error_) {
        const int err = error_;
        Abandon();
        return Error{Describe(target_, "writing failed", err)};
    }
    const fs::path folder = FolderOf(target_);
    int err = 0;
    {
        HeldSignals held;
        if (!named_.empty()) {
            if (::rename(named_.c_str(), target_.c_str()) != 0) {
                err = errno;
                ::unlink(named_.c_str());
            }
            Untrack(tracked_);
            tracked_ = -1;
            named_.clear();
        } else {
            err = LinkIntoPlace(fd_, target_);
        }
    }
    ::close(fd_);
    fd_ = -1;
    if (err)
        return Error{Describe(target_, "cannot replace the old file", err)};
    SyncFolder(folder);
    return Ok{};
}

void AtomicFileWriter::Abandon()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!named_.empty())
        ::unlink(named_.c_str());
    Untrack(tracked_);
    tracked_ = -1;
    named_.clear();
}

Status WriteFileAtomically(const fs::path& target, std::string_view bytes)
{
    AtomicFileWriter writer;
    if (Status opened = writer.Open(target); !opened)
        return opened;
    writer.Write(bytes);
    return writer.Commit();
}

void SweepWriterLeftovers(const fs::path& folder, const std::function<bool(std::string_view)>& ours)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string_view target = LeftoverTarget(name);
        if (!target.empty() && ours(target))
            RemoveIfLeftover(it->path());
    }
}

FolderLock::FolderLock(const fs::path& folder)
{
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void UseNamedTemporaryFilesForTesting(bool named)
{
    g_namedForTesting = named;
}

}  // namespace bm

#endif  // !_WIN32
