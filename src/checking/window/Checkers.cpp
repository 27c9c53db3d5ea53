#include "checking/window/Checkers.h"

#include <QPointer>

#include "app/Module1.h"
#include "app/WindowCatalogue.h"
#include "app/frmMain.h"
#include "checking/window/CheckerWindow.h"

namespace bm::app {

namespace {

QWidget* MakeChecker(frmMain& main, const CheckerVariant& variant)
{
    QPointer<frmMain> hub(&main);
    auto current = [hub] {
        CheckerGame game;
        if (hub) {
            const CurrentDefinition& c = hub->current();
            game.lotteryName = c.definitionName;
            game.pool = c.definition.Pool;
            game.bBon = c.bBon;
        }
        return game;
    };
    return new CheckerWindow(variant, main.folder(), current);
}

}  // namespace

void RegisterCheckers(WindowCatalogue& catalogue)
{
    for (const CheckerVariant& v : CheckerVariants()) {
        const CheckerVariant* variant = &v;
        catalogue.SetChecker(v.windowName, [variant](frmMain& main) { return MakeChecker(main, *variant); });
    }
}

QWidget* ShowChecker(frmMain& main, const QString& windowName)
{
    const CheckerVariant& variant = CheckerByName(windowName.toStdString());
    return ShowForm(windowName, [&main, &variant] { return MakeChecker(main, variant); });
}

}  // namespace bm::app
