#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace bm {

// The few operating-system calls the core needs; the POSIX versions live in Platform.cpp,
// another system needs only another file here.
bool SyncFile(std::FILE* f);
void SyncFolder(const std::filesystem::path& folder);
// The memory a program may still take without the system running short: what Linux calls
// available (free memory and caches it can drop); the physical memory where that is unknown.
std::uint64_t FreeMemoryBytes();
// Writes every byte to the open file `fd`, however many calls it takes: 0, or the system's error
// number.
int WriteAll(int fd, std::string_view bytes);

// What tells one file from another, and the file's state: a file replaced under its name has
// another identity, one written to has another size or modification time.
struct FileStamp {
    std::uint64_t device = 0, inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
    bool regular = false;
    bool folder = false;
    bool SameFile(const FileStamp& other) const { return device == other.device && inode == other.inode; }
    bool operator==(const FileStamp&) const = default;
};

// A file open for reading only. Opening never blocks (a FIFO does not wait for a writer), and
// reads name their offset, so that threads share one descriptor.
class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // False with the system's error number in `error`.
    bool Open(const std::filesystem::path& file, int& error);
    // The bytes read at `offset` (0 at the end of the file), or -1 with `error` set.
    std::ptrdiff_t ReadAt(std::uint64_t offset, char* buffer, std::size_t bytes, int& error) const;
    // The open file's stamp, as it is now.
    bool Stamp(FileStamp& stamp) const;

private:
    int fd_ = -1;
};

// A file of this process's own among the system's temporary files, removed when it goes.
class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The system's folder for temporary files ($TMPDIR, else /tmp).
    static std::filesystem::path Folder();
    // A new file named PREFIX, six random characters and SUFFIX there; false with the system's
    // error number in `error`.
    bool Open(const std::string& prefix, const std::string& suffix, int& error);
    // False once a write failed; error() then names why.
    bool Write(std::string_view bytes);
    // Ends the writing, the file stays until this object goes; false when the last bytes could
    // not be written.
    bool Close();
    const std::filesystem::path& path() const { return path_; }
    int error() const { return error_; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
    int error_ = 0;
};

// A file's name from the root, as messages show it: one written from a root stays as written, a
// relative one is completed with the working folder. Under Wine that folder is named as the Linux
// file system names it, as the Linux program would name it, not as Wine's drive Z:.
std::filesystem::path ShownAbsolute(const std::filesystem::path& file);

// The stamp of the file a path names now (links followed); false when there is none.
bool StampOf(const std::filesystem::path& file, FileStamp& stamp);

}  // namespace bm
