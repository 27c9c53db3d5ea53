#include "common/Platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace bm {

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

}  // namespace bm
