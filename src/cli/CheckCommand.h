#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "checking/DrawEntry.h"
#include "cli/InputFiles.h"
#include "common/InputFile.h"
#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "slip/SlipDefinition.h"

namespace bm::cli {

struct CheckOptions {
    std::string definition;
    std::string wheel;
    std::string draw;
    std::string draws;  // a results file: the wheel is checked against every draw in it
    std::string save;
    bool skipInvalidDraws = false;  // lines of the draws file that are no draws of the game are passed over
    std::string dateOrder;          // "DMY" or "MDY": how the draws file's "01/02/2020" reads
    std::string from, to;           // "YYYY-MM-DD": only the draws of those days are checked
};

// The options of check; every one at most once, each with a value.
Result<CheckOptions> ParseCheckOptions(const std::vector<std::string>& args);

// --draw's text: blank- and/or comma-separated numbers, the extra number last, a draw that can
// happen in a game of `pool` numbers. `lottery` names the definition in the message.
Result<DrawResult> ParseDraw(const std::string& text, const CheckGame& game, int pool, const std::string& lottery);

// `brindlemark check ...`: `args` are the arguments after "check".
// The checker "Check Tickets" would open for the definition, or none for a game without one.
const CheckerVariant* VariantFor(const DefinitionArgument& chosen, const SlipDefinition& def);

// What a check reads: the definition, the game its checker checks, and the wheel file. An output
// given with --save is checked against them (and the draws file) before anything is read.
struct CheckInputs {
    DefinitionArgument chosen;
    SlipDefinition def;
    const CheckGame& game;
    std::filesystem::path wheel;
};
Result<CheckInputs> ResolveCheckInputs(const CheckOptions& options, const bm::ProgramFolder& folder);

// A refusal of check: one line on stderr, names escaped; the exit status for bad input.
int Refuse(std::ostream& err, const std::string& message);
// A run that could not end well though its input was good (an input changed meanwhile, the
// report could not be written): one line on stderr; the exit status for a failure.
int Fail(std::ostream& err, const std::string& message);

// `check --draws FILE`: the wheel against a history of draws, as CSV.
int RunHistoryCommand(const CheckOptions& options, const bm::ProgramFolder& folder, std::ostream& out,
                      std::ostream& err);

// For tests: called by `check --draws` each time the counting asks whether to go on, with the
// draws done, so that a test can change an input at a point that does not depend on speed.
std::function<void(std::int64_t draws)>& HistoryPollHook();

int RunCheckCommand(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err);

}  // namespace bm::cli
