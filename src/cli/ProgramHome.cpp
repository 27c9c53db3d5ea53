#include "cli/ProgramHome.h"

namespace bm::cli {

std::filesystem::path ExecutableFolder(const char* argv0)
{
    std::error_code ec;
    // Linux names the running executable here, whatever the current folder or PATH.
    auto exe = std::filesystem::canonical("/proc/self/exe", ec);
    if (ec && argv0)
        exe = std::filesystem::weakly_canonical(std::filesystem::absolute(argv0, ec), ec);
    return exe.parent_path();
}

}  // namespace bm::cli
