#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "checking/DrawEntry.h"
#include "common/ProgramFolder.h"
#include "common/Result.h"

namespace bm::cli {

struct CheckOptions {
    std::string definition;
    std::string wheel;
    std::string draw;
    std::string save;
};

// The options of check; every one at most once, each with a value.
Result<CheckOptions> ParseCheckOptions(const std::vector<std::string>& args);

// --draw's text: blank- and/or comma-separated numbers, the extra number last, a draw that can
// happen in a game of `pool` numbers. `lottery` names the definition in the message.
Result<DrawResult> ParseDraw(const std::string& text, const CheckGame& game, int pool, const std::string& lottery);

// `brindlemark check ...`: `args` are the arguments after "check".
int RunCheckCommand(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err);

}  // namespace bm::cli
