#pragma once

#include <optional>
#include <string>

#include "checking/DrawEntry.h"
#include "checking/GameVariants.h"
#include "printing/WheelFile.h"

namespace bm {

// Why a draw cannot have happened in a game of `pool` numbers, or nothing: main numbers distinct
// and from 1 to the pool, a bonus from 1 to the pool and not a main number, a powerball at least 1.
std::optional<std::string> DrawRuleFault(const CheckGame& game, int pool, const DrawResult& draw);

// Why a play cannot be a ticket of the game: a main number outside 1 to the pool or given twice,
// a powerball below 1.
std::optional<std::string> PlayRuleFault(const CheckGame& game, int pool, const Play& play);

}  // namespace bm
