#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/GuiMain.h"
#include "cli/Cli.h"
#include "cli/ProgramHome.h"
#include "common/ShownText.h"
#include "common/UserFolder.h"
#include "wheels/WheelLibrary.h"

// The window's program. brindlemark runs it with the program folder it chose ("--home DIR");
// started on its own, it chooses the folder as brindlemark does. Commands are brindlemark's.
int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (bm::cli::WantsCommandLine(args)) {
        std::cerr << "brindlemark-gui: this program opens the window only; run commands with brindlemark, e.g. "
                     "brindlemark --help\n";
        return bm::cli::kExitRefused;
    }
    // The Wheels window takes the wheel library's designs from beside the program: next to
    // brindlemark in the build, one folder higher when installed in libexec/brindlemark.
    const std::filesystem::path exe = bm::cli::ExecutableFolder(argc > 0 ? argv[0] : nullptr);
    for (const std::filesystem::path& from : {exe, exe / ".."}) {
        std::error_code ec;
        const std::filesystem::path library = (from / bm::wheels::kInstalledLibrary).lexically_normal();
        if (std::filesystem::is_directory(library, ec)) {
            bm::wheels::SetLibraryFolder(library);
            break;
        }
    }
    std::vector<std::string> rest = args;
    std::string error;
    std::filesystem::path home = bm::cli::TakeHome(rest, error);
    if (home.empty()) {
        const std::filesystem::path exeFolder = bm::cli::ExecutableFolder(argc > 0 ? argv[0] : nullptr);
        const char* xdg = std::getenv("XDG_DATA_HOME");
        const char* user = std::getenv("HOME");
        auto chosen = bm::DefaultProgramFolder(exeFolder, xdg ? xdg : "", user ? user : "");
        if (!chosen) {
            std::cerr << "brindlemark: " << bm::ShownLine(chosen.error().message) << "\n";
            return bm::cli::kExitRefused;
        }
        home = *chosen;
    }
    return bm::app::GuiMain(argc, argv, home);
}
