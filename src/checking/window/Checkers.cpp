#include "checking/window/Checkers.h"

#include "checking/window/CheckerNames.h"
#include "checking/window/CheckerWindow.h"
#include "checking/window/TwoPoolCheckerWindow.h"
#include "windowing/window/WindowCatalogue.h"

namespace bm::app {

void RegisterCheckers(WindowCatalogue& catalogue)
{
    for (const CheckerVariant& v : CheckerVariants()) {
        const CheckerVariant* variant = &v;
        catalogue.SetChecker(CheckerWindowName(v),
                             [variant](DefinitionChoice& choice) { return new CheckerWindow(*variant, choice); });
    }
    catalogue.SetChecker(kTwoPoolCheckerName,
                         [](DefinitionChoice& choice) { return new TwoPoolCheckerWindow(choice); });
}

}  // namespace bm::app
