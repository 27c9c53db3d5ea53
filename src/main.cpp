#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/GuiMain.h"
#include "cli/Cli.h"
#include "cli/ProgramHome.h"
#include "common/ShownText.h"
#include "common/UserFolder.h"

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Help and version need no program folder, so they never create one.
bool OnlyAsksForUsage(const std::vector<std::string>& rest)
{
    const auto help = [](const std::string& a) { return a == "--help" || a == "-h"; };
    return !rest.empty() && (help(rest.front()) || rest.front() == "help" || rest.front() == "--version" ||
                             (bm::cli::IsCommand(rest.front()) && std::any_of(rest.begin() + 1, rest.end(), help)));
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::filesystem::path exeFolder = bm::cli::ExecutableFolder(argc > 0 ? argv[0] : nullptr);
    std::vector<std::string> rest = args;
    std::string error;
    std::filesystem::path home = bm::cli::TakeHome(rest, error);
    if (home.empty() && error.empty() && !OnlyAsksForUsage(rest)) {
        auto chosen = bm::DefaultProgramFolder(exeFolder, Env("XDG_DATA_HOME"), Env("HOME"));
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
    return bm::app::GuiMain(argc, argv, home);
}
