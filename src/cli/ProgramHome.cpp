#include "cli/ProgramHome.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace bm::cli {

#ifdef _WIN32
std::filesystem::path ExecutableFolder(const char*)
{
    // The running executable's own path, whatever the current folder or PATH.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

std::filesystem::path WindowProgram(const std::filesystem::path& exeFolder)
{
    std::error_code ec;
    const auto candidate = exeFolder / "brindlemark-gui.exe";
    return std::filesystem::is_regular_file(candidate, ec) ? candidate : std::filesystem::path();
}
#else
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
#endif

}  // namespace bm::cli
