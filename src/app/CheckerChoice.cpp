#include "app/CheckerChoice.h"

#include "checking/GameVariants.h"

namespace bm::app {

std::optional<std::string> CheckerWindowFor(const CurrentDefinition& current)
{
    GameFormat game = current.definition.Game();
    const char digit = current.pickDigit;
    game.Pick = digit >= '0' && digit <= '9' ? digit - '0' : 0;
    game.bBon = current.bBon;
    game.bPB = current.bPB;
    const CheckerVariant* variant = ChooseChecker(game);
    if (!variant)
        return std::nullopt;
    return std::string(variant->windowName);
}

}  // namespace bm::app
