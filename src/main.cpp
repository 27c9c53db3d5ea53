#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/ProgramHome.h"
#include "common/ProgramStart.h"
#include "common/ShownText.h"
#include "common/UserFolder.h"
#include "wheels/WheelLibrary.h"

namespace {

std::string Env(const char* name)
{
    return bm::EnvironmentText(name);
}

// Help and version need no program folder, so they never create one.
bool OnlyAsksForUsage(const std::vector<std::string>& rest)
{
    const auto help = [](const std::string& a) { return a == "--help" || a == "-h"; };
    return !rest.empty() && (help(rest.front()) || rest.front() == "help" || rest.front() == "--version" ||
                             (bm::cli::IsCommand(rest.front()) && std::any_of(rest.begin() + 1, rest.end(), help)));
}

// The window lives in a program of its own, so that no command waits for Qt to load: it takes
// this process's place (same process, same exit status) with the program folder chosen here.
int RunWindow(const std::filesystem::path& exeFolder, const std::filesystem::path& home,
              const std::vector<std::string>& rest)
{
    const std::filesystem::path window = bm::cli::WindowProgram(exeFolder);
    if (window.empty()) {
#ifdef _WIN32
        std::cerr << "brindlemark: the window is not part of Brindlemark for Windows yet; use a command, "
                     "e.g. brindlemark print --help\n";
        return bm::cli::kExitFailure;
#endif
        std::cerr << "brindlemark: the window's program brindlemark-gui is not installed beside "
                  << bm::ShownLine(exeFolder.string())
                  << "; reinstall Brindlemark, or use a command instead, e.g. brindlemark print --help\n";
        return bm::cli::kExitFailure;
    }
    std::vector<std::string> words{window.string(), "--home", home.string()};
    words.insert(words.end(), rest.begin(), rest.end());
    std::cout.flush();
#ifdef _WIN32
    // No exec on Windows: the window's program runs as a child, and its status is this one's.
    std::wstring command;
    for (const std::string& w : words) {
        // Quoted as the C runtime splits a command line: backslashes doubled before a quote.
        std::wstring arg = std::filesystem::path(w).native(), quoted = L"\"";
        std::size_t slashes = 0;
        for (wchar_t c : arg) {
            if (c == L'\\') {
                ++slashes;
                continue;
            }
            quoted.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
            slashes = 0;
            quoted += c;
        }
        quoted.append(slashes * 2, L'\\');
        command += (command.empty() ? L"" : L" ") + quoted + L"\"";
    }
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(window.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &child)) {
        std::cerr << "brindlemark: the window's program " << bm::ShownLine(window.string())
                  << " could not be started (Windows error " << GetLastError() << ")\n";
        return bm::cli::kExitFailure;
    }
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = bm::cli::kExitFailure;
    GetExitCodeProcess(child.hProcess, &status);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return static_cast<int>(status);
#else
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    ::execv(window.c_str(), argv.data());
    const int error = errno;
    std::cerr << "brindlemark: the window's program " << bm::ShownLine(window.string())
              << " could not be started: " << std::strerror(error) << "\n";
    return bm::cli::kExitFailure;
#endif
}

}  // namespace

int main(int argc, char** argv)
{
    bm::UseExactStandardStreams();
    const std::vector<std::string> args = bm::ProgramArguments(argc, argv);
    const std::filesystem::path exeFolder = bm::cli::ExecutableFolder(argc > 0 ? argv[0] : nullptr);
    bm::wheels::SetLibraryFolder((exeFolder / bm::wheels::kInstalledLibrary).lexically_normal());
    std::vector<std::string> rest = args;
    std::string error;
    std::filesystem::path home = bm::cli::TakeHome(rest, error);
    if (home.empty() && error.empty() && !OnlyAsksForUsage(rest)) {
#ifdef _WIN32
        auto chosen = bm::DefaultProgramFolder(exeFolder, Env("APPDATA"), Env("USERPROFILE"));
#else
        auto chosen = bm::DefaultProgramFolder(exeFolder, Env("XDG_DATA_HOME"), Env("HOME"));
#endif
        if (!chosen) {
            std::cerr << "brindlemark: " << bm::ShownLine(chosen.error().message) << "\n";
            return bm::cli::kExitRefused;
        }
        home = *chosen;
    }
    if (home.empty())
        home = exeFolder;
    if (bm::cli::WantsCommandLine(args))
        return bm::cli::RunCli(args, home, std::cout, std::cerr);
    return RunWindow(exeFolder, home, rest);
}
