// The operating-system calls of Platform.h on Windows. Paths go to the wide (UTF-16) calls.
#ifdef _WIN32

#include "common/Platform.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <climits>

#include "common/WindowsErrors.h"

namespace bm {

namespace {

constexpr std::uint64_t kWindowsToUnixSeconds = 11644473600ULL;

void TimeFrom(const FILETIME& t, FileStamp& s)
{
    const std::uint64_t ticks = (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    s.modifiedSeconds =
        static_cast<std::int64_t>(ticks / 10000000ULL) - static_cast<std::int64_t>(kWindowsToUnixSeconds);
    s.modifiedNanoseconds = static_cast<std::int64_t>(ticks % 10000000ULL) * 100;
}

// The stamp of an open handle. A console, NUL, a pipe or a printer port is no disk file: it gets
// an identity no file shares, and is neither regular nor a folder.
bool StampOfHandle(HANDLE h, FileStamp& stamp)
{
    stamp = FileStamp{};
    if (GetFileType(h) != FILE_TYPE_DISK) {
        stamp.device = UINT64_MAX;
        stamp.inode = reinterpret_cast<std::uintptr_t>(h);
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) {
        errno = ErrnoOf(GetLastError());
        return false;
    }
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    TimeFrom(info.ftLastWriteTime, stamp);
    stamp.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    stamp.regular = !stamp.folder;
    return true;
}

}  // namespace

bool SyncFile(std::FILE* f)
{
    const intptr_t h = _get_osfhandle(_fileno(f));
    return h != -1 && FlushFileBuffers(reinterpret_cast<HANDLE>(h));
}

void SyncFolder(const std::filesystem::path&)
{
    // A folder cannot be flushed here; the renames ask the system to write through instead.
}

std::uint64_t FreeMemoryBytes()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return UINT64_MAX;
    return status.ullAvailPhys;
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (fd_ >= 0)
        _close(fd_);
}

bool ReadOnlyFile::Open(const std::filesystem::path& file, int& error)
{
    // Others may go on writing, renaming or removing the file while it is read, as on Linux;
    // a folder opens too, so that the reader can say it is one.
    const HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = ErrnoOf(GetLastError());
        return false;
    }
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd_ < 0) {
        error = EMFILE;
        CloseHandle(h);
        return false;
    }
    return true;
}

std::ptrdiff_t ReadOnlyFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t bytes, int& error) const
{
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd_));
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD wanted = bytes > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes);
    if (!ReadFile(h, buffer, wanted, &got, &at)) {
        const DWORD code = GetLastError();
        if (code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE)
            return 0;
        error = ErrnoOf(code);
        return -1;
    }
    return static_cast<std::ptrdiff_t>(got);
}

bool ReadOnlyFile::Stamp(FileStamp& stamp) const
{
    if (fd_ < 0)
        return false;
    return StampOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd_)), stamp);
}

std::filesystem::path ShownAbsolute(const std::filesystem::path& file)
{
    if (file.has_root_directory())
        return file;
    std::error_code error;
    const auto full = std::filesystem::absolute(file, error);
    if (error)
        return file;
    // Wine's kernel32 alone has this call: it names a file as the Linux user sees it.
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto unixName =
        kernel ? reinterpret_cast<UnixName>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
               : nullptr;
    if (!unixName)
        return full;
    char* name = unixName(full.c_str());
    if (!name)
        return full;
    std::filesystem::path shown = std::string(name);  // UTF-8, as the program's narrow names are
    HeapFree(GetProcessHeap(), 0, name);
    return shown.is_absolute() || shown.has_root_directory() ? shown : full;
}

bool StampOf(const std::filesystem::path& file, FileStamp& stamp)
{
    // No access asked for: the file's state is read without opening its contents.
    const HANDLE h =
        CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(GetLastError());
        return false;
    }
    const bool ok = StampOfHandle(h, stamp);
    CloseHandle(h);
    return ok;
}

std::filesystem::path TemporaryFile::Folder()
{
    std::error_code ec;
    auto folder = std::filesystem::temp_directory_path(ec);
    return ec ? std::filesystem::path("C:\\Windows\\Temp") : folder;
}

TemporaryFile::~TemporaryFile()
{
    if (fd_ >= 0)
        _close(fd_);
    if (!path_.empty())
        DeleteFileW(path_.c_str());
}

bool TemporaryFile::Open(const std::string& prefix, const std::string& suffix, int& error)
{
    LARGE_INTEGER seed{};
    QueryPerformanceCounter(&seed);
    std::uint64_t state =
        static_cast<std::uint64_t>(seed.QuadPart) ^ (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32);
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    DWORD code = ERROR_FILE_EXISTS;
    for (int tries = 0; tries < 100 && code == ERROR_FILE_EXISTS; ++tries) {
        std::string random;
        for (int i = 0; i < 6; ++i) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            random += kChars[(state >> 33) % (sizeof kChars - 1)];
        }
        const std::filesystem::path name = Folder() / (prefix + random + suffix);
        // Removed by the system with the last handle should the process end before it goes.
        const HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            code = GetLastError();
            continue;
        }
        fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY);
        if (fd_ < 0) {
            CloseHandle(h);
            DeleteFileW(name.c_str());
            error = EMFILE;
            return false;
        }
        path_ = name;
        return true;
    }
    error = ErrnoOf(code);
    return false;
}

int WriteAll(int fd, std::string_view bytes)
{
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(bytes.size() > (1u << 30) ? (1u << 30) : bytes.size());
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0)
            return ErrnoOf(GetLastError());
        bytes.remove_prefix(written);
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
    if (fd_ >= 0 && _close(fd_) != 0 && !error_)
        error_ = EIO;
    fd_ = -1;
    return error_ == 0;
}

int ErrnoOf(unsigned long code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DELETE_PENDING: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER: return EINVAL;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    default: return EIO;
    }
}

}  // namespace bm

#endif  // _WIN32
