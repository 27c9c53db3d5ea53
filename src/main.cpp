#include <iostream>
#include <string>
#include <vector>

#include "app/GuiMain.h"
#include "app/cli/Cli.h"
#include "app/cli/ProgramHome.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::filesystem::path exeFolder = bm::cli::ExecutableFolder(argc > 0 ? argv[0] : nullptr);
    if (bm::cli::WantsCommandLine(args))
        return bm::cli::RunCli(args, exeFolder, std::cout, std::cerr);

    std::vector<std::string> rest = args;
    std::string error;
    std::filesystem::path home = bm::cli::TakeHome(rest, error);
    return bm::app::GuiMain(argc, argv, home.empty() ? exeFolder : home);
}
