#include "cli/JobCommand.h"

namespace bm::cli {

int RunPrintCommand(const std::vector<std::string>& args, const ProgramFolder& folder, std::ostream& out,
                    std::ostream& err)
{
    return RunJobCommand("print", args, folder, out, err);
}

}  // namespace bm::cli
