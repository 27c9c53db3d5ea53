#include "cli/ProgramHome.h"

#include <unistd.h>

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

std::filesystem::path WindowProgram(const std::filesystem::path& exeFolder)
{
    for (const auto& candidate :
         {exeFolder / "brindlemark-gui", exeFolder / ".." / "libexec" / "brindlemark" / "brindlemark-gui"}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate.lexically_normal();
    }
    return {};
}

}  // namespace bm::cli
