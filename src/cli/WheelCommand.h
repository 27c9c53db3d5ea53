#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "common/ProgramFolder.h"
#include "cli/InputFiles.h"
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
int RunWheelMake(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                 std::ostream& err);

// A definition's pool and the numbers of its plays, for a wheel made or applied on it; its file
// joins the `inputs` no output may land on.
struct WheelGame {
    std::string name;
    int pool = 0;
    int pick = 0;
};
Result<WheelGame> ReadWheelGame(const std::string& definition, const bm::ProgramFolder& folder,
                                std::vector<std::filesystem::path>& inputs);

// For tests: called by `wheel make` once a round of its search with the rounds done, so that a
// test can interrupt it at a point that does not depend on the machine's speed.
std::function<void(std::int64_t rounds)>& WheelMakeRoundHook();

}  // namespace bm::cli
