#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "common/ProgramFolder.h"
#include "common/Result.h"

namespace bm::cli {

// The options of a command that takes only `--name VALUE` (or `--name=VALUE`) options, each at
// most once with a value; anything else is refused naming `command`. Missing ones are absent.
Result<std::map<std::string, std::string>> ParseNamedOptions(const std::vector<std::string>& args,
                                                             const std::vector<std::string>& names,
                                                             const std::string& command);

// `brindlemark wheel SUBCOMMAND ...`: `args` are the arguments after "wheel".
int RunWheelCommand(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err);

// The subcommands; `args` are the arguments after their name.
int RunWheelApply(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                  std::ostream& err);
int RunWheelAnalyze(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err);

}  // namespace bm::cli
