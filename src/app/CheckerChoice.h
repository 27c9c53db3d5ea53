#pragma once

#include <optional>
#include <string>

#include "app/CurrentDefinition.h"

namespace bm::app {

// The checker window "Check Tickets" opens for the current definition: the pick is read from
// the third character of the definition name, the powerball flag from the definition.
// Nothing for a pick other than 5, 6 or 7. A definition whose marks give it a second pool other
// than a powerball gets the two-pool checker.
std::optional<std::string> CheckerWindowFor(const CurrentDefinition& current);

}  // namespace bm::app
