#include "common/Platform.h"

#include <fcntl.h>
#include <unistd.h>

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

}  // namespace bm
