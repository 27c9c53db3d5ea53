#include "app/cli/Cli.h"
#include "app/cli/JobCommand.h"

namespace bm::cli {

int RunTestPatternCommand(const std::vector<std::string>& args, const ProgramFolder& folder, std::ostream& out,
                          std::ostream& err)
{
    const auto options = ParseJobOptions(args, false);
    if (!options) {
        err << "brindlemark test-pattern: " << options.error().message << "\n";
        return kExitRefused;
    }
    return RunJob(*options, folder, true, out, err);
}

}  // namespace bm::cli
