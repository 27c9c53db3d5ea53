#pragma once

#include <cstdio>
#include <filesystem>

namespace bm {

// The few operating-system calls the core needs; the POSIX versions live in Platform.cpp,
// another system needs only another file here.
bool SyncFile(std::FILE* f);
void SyncFolder(const std::filesystem::path& folder);

}  // namespace bm
