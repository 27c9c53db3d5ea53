#pragma once

#include <optional>
#include <ostream>

#include "checking/TwoPoolCheck.h"
#include "cli/CheckCommand.h"

namespace bm::cli {

// What a check of a game checked by tiers (m, j) reads.
struct TwoPoolInputs {
    DefinitionArgument chosen;
    TwoPoolGame game;
    std::filesystem::path wheel;
};

// The inputs when the definition's marks give it a second pool checked by tiers; nothing for
// every other definition, which the checkers of the window check.
Result<std::optional<TwoPoolInputs>> TwoPoolInputsFor(const CheckOptions& options, const bm::ProgramFolder& folder);

// `check` of such a game: the report, "Match-m+j For This Draw At Line n" per winning play, the
// summary with every tier and its expected count.
int RunTwoPoolCheckCommand(const CheckOptions& options, const TwoPoolInputs& inputs, std::ostream& out,
                           std::ostream& err);

// `check --draws` of such a game: a CSV row of tier counts per draw, and the total row.
int RunTwoPoolHistory(const CheckOptions& options, const TwoPoolInputs& inputs, std::ostream& out, std::ostream& err);

}  // namespace bm::cli
