#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "common/ProgramFolder.h"

namespace bm::cli {

// `brindlemark check ...`: `args` are the arguments after "check".
int RunCheckCommand(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err);

}  // namespace bm::cli
