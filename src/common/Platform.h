#pragma once

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

}  // namespace bm
