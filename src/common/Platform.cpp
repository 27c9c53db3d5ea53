// The POSIX side; PlatformWindows.cpp is the Windows one.
#ifndef _WIN32

#include "common/Platform.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace bm {

namespace {

FileStamp StampFrom(const struct stat& st)
{
    FileStamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    s.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    s.regular = S_ISREG(st.st_mode);
    s.folder = S_ISDIR(st.st_mode);
    return s;
}

}  // namespace

bool SyncFile(std::FILE* f)
{
    return ::fsync(::fileno(f)) == 0;
}

void SyncFolder(const std::filesystem::path& folder)
{
    // Makes the rename itself durable; a failure here loses nothing already written.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool ReadOnlyFile::Open(const std::filesystem::path& file, int& error)
{
    fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        error = errno;
        return false;
    }
    // Reads of a regular file never wait anyway; others are refused by the caller.
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    return true;
}

std::ptrdiff_t ReadOnlyFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t bytes, int& error) const
{
    for (;;) {
        const ssize_t n = ::pread(fd_, buffer, bytes, static_cast<off_t>(offset));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

bool ReadOnlyFile::Stamp(FileStamp& stamp) const
{
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return false;
    stamp = StampFrom(st);
    return true;
}

std::filesystem::path ShownAbsolute(const std::filesystem::path& file)
{
    std::error_code error;
    auto full = std::filesystem::absolute(file, error);
    return error ? file : full;
}

bool StampOf(const std::filesystem::path& file, FileStamp& stamp)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return false;
    stamp = StampFrom(st);
    return true;
}

std::uint64_t FreeMemoryBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);)
        if (line.rfind("MemAvailable:", 0) == 0)
            return std::strtoull(line.c_str() + 13, nullptr, 10) * 1024;  // "MemAvailable:   23203 kB"
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long size = ::sysconf(_SC_PAGE_SIZE);
    return pages > 0 && size > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size) : UINT64_MAX;
}

std::filesystem::path TemporaryFile::Folder()
{
    std::error_code ec;
    auto folder = std::filesystem::temp_directory_path(ec);
    return ec ? std::filesystem::path("/tmp") : folder;
}

TemporaryFile::~TemporaryFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!path_.empty())
        ::unlink(path_.c_str());
}

bool TemporaryFile::Open(const std::string& prefix, const std::string& suffix, int& error)
{
    std::string name = (Folder() / (prefix + "XXXXXX" + suffix)).string();
    const int fd = ::mkostemps(name.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    fd_ = fd;
    path_ = name;
    return true;
}

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

bool TemporaryFile::Write(std::string_view bytes)
{
    if (fd_ < 0 || error_)
        return false;
    error_ = WriteAll(fd_, bytes);
    return error_ == 0;
}

bool TemporaryFile::Close()
{
    if (fd_ >= 0 && ::close(fd_) != 0 && !error_)
        error_ = errno;
    fd_ = -1;
    return error_ == 0;
}

}  // namespace bm

#endif  // !_WIN32
