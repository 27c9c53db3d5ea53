#include "app/cli/Cli.h"
#include "app/cli/JobCommand.h"

namespace bm::cli {

int RunPrintCommand(const std::vector<std::string>& args, const ProgramFolder& folder, std::ostream& out,
                    std::ostream& err)
{
    const auto options = ParseJobOptions(args, true);
    if (!options) {
        err << "brindlemark print: " << options.error().message << "\n";
        return kExitRefused;
    }
    return RunJob(*options, folder, false, out, err);
}

}  // namespace bm::cli
