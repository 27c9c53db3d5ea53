#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace bm {

// The few operating-system calls the core needs; the POSIX versions live in Platform.cpp,
// another system needs only another file here.
bool SyncFile(std::FILE* f);
void SyncFolder(const std::filesystem::path& folder);
// The memory a program may still take without the system running short: what Linux calls
// available (free memory and caches it can drop); the physical memory where that is unknown.
std::uint64_t FreeMemoryBytes();

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

// The stamp of the file a path names now (links followed); false when there is none.
bool StampOf(const std::filesystem::path& file, FileStamp& stamp);

}  // namespace bm
