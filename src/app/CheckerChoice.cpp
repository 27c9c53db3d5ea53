#include "app/CheckerChoice.h"

#include "checking/GameVariants.h"

namespace bm::app {

std::optional<std::string> CheckerWindowFor(const CurrentDefinition& current)
{
    SlipDefinition definition = current.definition;
    definition.bBon = current.bBon;
    definition.bPB = current.bPB;
    const CheckerVariant* variant = ChooseChecker(current.definitionName, definition);
    if (!variant)
        return std::nullopt;
    return std::string(variant->windowName);
}

}  // namespace bm::app
