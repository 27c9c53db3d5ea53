#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/InputFiles.h"
#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "wheels/SecondPool.h"
#include "wheels/WheelMake.h"

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
// Lists the wheel library as CSV: v, k, t, plays, "proven optimal" or "best known", the credit.
int RunWheelLibrary(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err);

// A definition's pool and the numbers of its plays, for a wheel made or applied on it; its file
// joins the `inputs` no output may land on.
struct WheelGame {
    std::string name;
    int pool = 0;
    int pick = 0;
    int secondPool = 0;  // the second pool of the marks file's [Second]; 0 when none
    int secondPick = 0;
};
Result<WheelGame> ReadWheelGame(const std::string& definition, const bm::ProgramFolder& folder,
                                std::vector<std::filesystem::path>& inputs);

// --second "S1 S2 ..." and --second-all (with the numbers, or as a flag beside --second), taken
// out of `args`; nothing when neither is given.
Result<std::optional<wheels::SecondChoice>> TakeSecondOption(std::vector<std::string>& args);

// The chosen second numbers checked against the game (`choice` gets its pick), or a refusal when
// the game needs them and none are given, or they are given for a game without a second pool.
Status CheckSecondChoice(std::optional<wheels::SecondChoice>& choice, const std::optional<WheelGame>& game);

// For tests: called by `wheel make` once a round of its search with the rounds done, so that a
// test can interrupt it at a point that does not depend on the machine's speed.
std::function<void(std::int64_t rounds)>& WheelMakeRoundHook();
// For tests: handed what `wheel make`'s search returned before the final check, so that a test
// can feed that check a wheel that misses its guarantee.
std::function<void(wheels::MadeWheel&)>& WheelMakeResultHook();

}  // namespace bm::cli
