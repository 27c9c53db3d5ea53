// AtomicFile.h on Windows. The copy is written under a fresh hidden-by-name file beside the target
// and marked for deletion while it is written, so that a process ended at any point (Ctrl+C,
// the console closed, killed) leaves nothing: the system removes it with the last handle. Only
// once complete is the mark taken off and the copy renamed over the target: ReplaceFileW keeps
// the old file's attributes and access rights, MoveFileExW writes a new one through.
#ifdef _WIN32

#include "common/AtomicFile.h"
#include "common/FolderLock.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <cwctype>
#include <functional>
#include <random>
#include <string>

#include "common/Platform.h"
#include "common/WindowsErrors.h"

#ifndef REPLACEFILE_IGNORE_ACL_ERRORS
#define REPLACEFILE_IGNORE_ACL_ERRORS 0x00000004
#endif

namespace bm {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSuffixLength = 12;
bool g_namedForTesting = false;

// Every writer locks this byte of its copy (far beyond any data, so reads are never hindered);
// the system lets go when the writer ends however it ends.
constexpr DWORD kLockLow = 0xFFFFFFFE, kLockHigh = 0x7FFFFFFF;

std::string Describe(const fs::path& p, const std::string& what, int err)
{
    return "cannot write " + p.string() + ": " + what + (err ? std::string(" (") + std::strerror(err) + ")" : "");
}

fs::path FolderOf(const fs::path& p)
{
    return p.has_parent_path() ? p.parent_path() : fs::path(".");
}

std::wstring RandomSuffix()
{
    static thread_local std::mt19937_64 rng(std::random_device{}() ^
                                            (static_cast<unsigned long long>(GetCurrentProcessId()) << 32));
    static const wchar_t kChars[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::wstring s;
    for (std::size_t i = 0; i < kSuffixLength; ++i)
        s += kChars[rng() % (sizeof kChars / sizeof kChars[0] - 1)];
    return s;
}

// "." TARGET "." 12 letters or digits ".tmp": the target's name, or empty when `name` is none of ours.
std::wstring_view LeftoverTarget(std::wstring_view name)
{
    constexpr std::wstring_view tail = L".tmp";
    if (name.size() < 3 + kSuffixLength + tail.size() || name[0] != L'.' || !name.ends_with(tail))
        return {};
    const std::size_t suffix = name.size() - tail.size() - kSuffixLength;
    if (name[suffix - 1] != L'.')
        return {};
    for (std::size_t i = suffix; i < suffix + kSuffixLength; ++i)
        if (!std::iswalnum(name[i]) || name[i] > 0x7F)
            return {};
    return name.substr(1, suffix - 2);
}

bool Lock(HANDLE h)
{
    OVERLAPPED at{};
    at.Offset = kLockLow;
    at.OffsetHigh = kLockHigh;
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

bool MarkForDeletion(HANDLE h, bool remove)
{
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = remove ? TRUE : FALSE;
    return SetFileInformationByHandle(h, FileDispositionInfo, &info, sizeof info);
}

// Removes a copy whose writer is gone: a regular file with one link, not a link itself, that
// nobody holds locked. A copy a live writer still fills in cannot even be opened.
void RemoveIfLeftover(const fs::path& p)
{
    const HANDLE h =
        CreateFileW(p.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
        info.nNumberOfLinks == 1 && Lock(h))
        // Removed while the lock is held: a writer that made this copy a moment ago and has not
        // locked it yet finds it gone and takes another name.
        MarkForDeletion(h, true);
    CloseHandle(h);
}

// NUL, CON, COM1, LPT1... are devices in every folder and with any extension; \\.\ names devices.
bool NamesDevice(const fs::path& p)
{
    const std::wstring& s = p.native();
    if (s.rfind(L"\\\\.\\", 0) == 0 || s.rfind(L"//./", 0) == 0 || s.rfind(L"\\\\?\\GLOBALROOT", 0) == 0)
        return true;
    std::wstring stem = p.filename().native();
    stem = stem.substr(0, stem.find(L'.'));
    stem = stem.substr(0, stem.find(L':'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (wchar_t& c : stem)
        c = static_cast<wchar_t>(std::towupper(c));
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"})
        if (stem == device)
            return true;
    if (stem.size() == 4 && (stem.rfind(L"COM", 0) == 0 || stem.rfind(L"LPT", 0) == 0) &&
        ((stem[3] >= L'0' && stem[3] <= L'9') || stem[3] == 0xB9 || stem[3] == 0xB2 || stem[3] == 0xB3))
        return true;
    return false;
}

bool Exists(const fs::path& p)
{
    return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

fs::path ResolvedTarget(const fs::path& target)
{
    // A link is followed to the file it names, which is replaced; the link stays.
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        const fs::path to = fs::canonical(target, ec);
        if (!ec)
            return to;
    }
    return target;
}

Status CheckWritableTarget(const fs::path& given)
{
    const fs::path target = ResolvedTarget(given);
    const std::string shown =
        given == target ? given.string() : given.string() + " (a link to " + target.string() + ")";
    const std::string device =
        given.string() + ": is not a regular file (a device, FIFO or socket); nothing was written";
    if (NamesDevice(given) || NamesDevice(target))
        return Error{device};
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return Error{shown + ": is a folder; give the name of a file to write"};
        const HANDLE h =
            CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            if (code == ERROR_SHARING_VIOLATION)
                return Error{shown + ": cannot be written (another program has it open)"};
            return Error{shown + ": cannot be written (" + std::strerror(ErrnoOf(code)) + ")"};
        }
        const bool disk = GetFileType(h) == FILE_TYPE_DISK;
        CloseHandle(h);
        if (!disk)
            return Error{device};
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return Error{shown + ": cannot be written (it is read-only)"};
    } else {
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND)
            return Error{shown + ": cannot be reached (" + std::strerror(ErrnoOf(code)) + ")"};
    }
    const fs::path folder = FolderOf(target);
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return Error{shown + ": the folder " + folder.string() + " does not exist"};
    return Ok{};
}

Status CheckOutputTarget(const fs::path& given, const std::vector<fs::path>& inputs, const ProgramFolder* folder)
{
    if (Status writable = CheckWritableTarget(given); !writable)
        return writable;
    const fs::path target = ResolvedTarget(given);
    FileStamp out;
    if (StampOf(target, out)) {
        for (const fs::path& input : inputs) {
            FileStamp in;
            if (StampOf(input, in) && in.SameFile(out))
                return Error{given.string() + ": is " +
                             (input == given ? "" : "the same file as " + input.string() + ", ") +
                             "an input of this run; it would be overwritten, choose another file"};
        }
    }
    if (folder) {
        std::error_code ec;
        const fs::path where = fs::weakly_canonical(fs::absolute(FolderOf(target), ec), ec);
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
    HANDLE h = INVALID_HANDLE_VALUE;
    DWORD code = ERROR_FILE_EXISTS;
    for (int tries = 0; tries < 100 && h == INVALID_HANDLE_VALUE && code == ERROR_FILE_EXISTS; ++tries) {
        named_ = folder / (L"." + target_.filename().native() + L"." + RandomSuffix() + L".tmp");
        h = CreateFileW(named_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            code = GetLastError();
            continue;
        }
        // Another writer's sweep may have taken the copy before it was locked: then another name.
        FileStamp named;
        BY_HANDLE_FILE_INFORMATION info{};
        const bool ours =
            Lock(h) && GetFileInformationByHandle(h, &info) && StampOf(named_, named) &&
            named.inode == ((static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow) &&
            named.device == info.dwVolumeSerialNumber;
        if (!ours) {
            CloseHandle(h);
            h = INVALID_HANDLE_VALUE;
            code = ERROR_FILE_EXISTS;
        }
    }
    if (h == INVALID_HANDLE_VALUE) {
        named_.clear();
        return Error{Describe(given, "cannot create a file in " + folder.string(), ErrnoOf(code))};
    }
    // Gone with the process, whatever ends it, until Commit() takes the mark off.
    if (!g_namedForTesting)
        MarkForDeletion(h, true);
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd_ < 0) {
        MarkForDeletion(h, true);
        CloseHandle(h);
        named_.clear();
        return Error{Describe(given, "cannot create a file in " + folder.string(), EMFILE)};
    }
    SweepWriterLeftovers(folder, [&](std::string_view name) { return name == target_.filename().string(); });
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
    HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd_));
    if (!error_ && !FlushFileBuffers(h))
        error_ = ErrnoOf(GetLastError());
    if (!error_ && !MarkForDeletion(h, false))
        error_ = ErrnoOf(GetLastError());
    if (error_) {
        const int err = error_;
        Abandon();
        return Error{Describe(target_, "writing failed", err)};
    }
    // The old file's attributes (hidden, archive, not indexed...), which not every ReplaceFileW
    // carries over.
    const DWORD old = GetFileAttributesW(target_.c_str());
    if (old != INVALID_FILE_ATTRIBUTES) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = (old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)) |
                               FILE_ATTRIBUTE_NORMAL;
        if (basic.FileAttributes != FILE_ATTRIBUTE_NORMAL)
            basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
        SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic);
    }
    const auto rename = [&] {
        if (Exists(target_) &&
            ReplaceFileW(target_.c_str(), named_.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
            return true;
        // A new file, or one removed meanwhile.
        return MoveFileExW(named_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    };
    // Renamed while still locked, so no sweep takes the copy; a system that will not rename an
    // open file gets it closed first.
    bool renamed = rename();
    DWORD code = renamed ? 0 : GetLastError();
    _close(fd_);
    fd_ = -1;
    if (!renamed && code == ERROR_SHARING_VIOLATION) {
        renamed = rename();
        code = renamed ? 0 : GetLastError();
    }
    if (!renamed) {
        DeleteFileW(named_.c_str());
        named_.clear();
        return Error{Describe(target_, "cannot replace the old file", ErrnoOf(code))};
    }
    named_.clear();
    return Ok{};
}

void AtomicFileWriter::Abandon()
{
    if (fd_ >= 0) {
        MarkForDeletion(reinterpret_cast<HANDLE>(_get_osfhandle(fd_)), true);
        _close(fd_);
    }
    fd_ = -1;
    named_.clear();
    tracked_ = -1;
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
        const std::wstring name = it->path().filename().native();
        const std::wstring_view target = LeftoverTarget(name);
        if (!target.empty() && ours(fs::path(std::wstring(target)).string()))
            RemoveIfLeftover(it->path());
    }
}

void UseNamedTemporaryFilesForTesting(bool named)
{
    // The copy keeps its name while written, as one left by a writer that was killed would.
    g_namedForTesting = named;
}

FolderLock::FolderLock(const fs::path& folder)
{
    // One name for one folder however it is written: the full path, in lower case, hashed.
    std::error_code error;
    std::wstring key = fs::absolute(folder, error).lexically_normal().wstring();
    std::transform(key.begin(), key.end(), key.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    while (key.size() > 1 && (key.back() == L'\\' || key.back() == L'/'))
        key.pop_back();
    const std::wstring name = L"Local\\Brindlemark.FolderLock." + std::to_wstring(std::hash<std::wstring>{}(key));
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex)
        return;
    const DWORD got = ::WaitForSingleObject(mutex, INFINITE);
    if (got != WAIT_OBJECT_0 && got != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        return;
    }
    mutex_ = mutex;
}

FolderLock::~FolderLock()
{
    if (mutex_) {
        ::ReleaseMutex(static_cast<HANDLE>(mutex_));
        ::CloseHandle(static_cast<HANDLE>(mutex_));
    }
}

}  // namespace bm

#endif  // _WIN32
