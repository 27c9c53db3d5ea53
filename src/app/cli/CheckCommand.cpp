#include "app/cli/CheckCommand.h"

#include "app/cli/Cli.h"

namespace bm::cli {

int RunCheckCommand(const std::vector<std::string>&, const bm::ProgramFolder&, std::ostream&, std::ostream& err)
{
    err << "brindlemark: check is not available yet\n";
    return kExitRefused;
}

}  // namespace bm::cli
