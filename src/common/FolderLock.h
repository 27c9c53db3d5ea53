#pragma once

#include <filesystem>

namespace bm {

// An exclusive lock on a folder (flock on the folder itself) for as long as it lives, so that
// writers of files that belong together take turns: it waits for the one before. Where the file
// system keeps no locks it holds nothing.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
#ifdef _WIN32
    void* mutex_ = nullptr;  // a named mutex of the folder: Windows locks no folder itself
#else
    int fd_ = -1;
#endif
};

}  // namespace bm
