#include "cli/JobCommand.h"

namespace bm::cli {

int RunTestPatternCommand(const std::vector<std::string>& args, const ProgramFolder& folder, std::ostream& out,
                          std::ostream& err)
{
    return RunJobCommand("test-pattern", args, folder, out, err);
}

}  // namespace bm::cli
