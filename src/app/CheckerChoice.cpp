#include "app/CheckerChoice.h"

#include "checking/GameVariants.h"
#include "checking/TwoPoolCheck.h"
#include "checking/window/CheckerNames.h"
#include "checking/window/TwoPoolCheckerWindow.h"
#include "slip/MarkPlacement.h"

namespace bm::app {

std::optional<std::string> CheckerWindowFor(const CurrentDefinition& current)
{
    SlipDefinition definition = current.definition;
    definition.bBon = current.bBon;
    definition.bPB = current.bPB;
    // A second pool (other than a powerball) is checked by tiers (m, j) in a window of its own.
    if (const auto marks = ReadSlipMarks(MarksFileOf(current.definitionPath)); marks && !current.definitionPath.empty())
        if (ChecksByTiers(GameOf(definition, *marks)))
            return std::string(kTwoPoolCheckerName);
    const CheckerVariant* variant = ChooseChecker(current.definitionName, definition);
    if (!variant)
        return std::nullopt;
    return std::string(CheckerWindowName(*variant));
}

}  // namespace bm::app
