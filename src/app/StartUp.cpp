#include "app/StartUp.h"

#include <memory>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "app/frmSplash.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

SplashWait DefaultSplashWait()
{
    // Waiting in a loop that handles only paint and window events (not input) keeps the
    // splash drawn if something covers it, where a plain sleep would leave a hole.
    return [](QWidget&, int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    };
}

frmMain* StartUp(frmMain::Services services, const SplashWait& wait)
{
    {
        auto splash = std::make_unique<frmSplash>();
        splash->show();
        // The window must be mapped before it can be painted; then paint it at once.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        splash->repaint();
        wait(*splash, kSplashMilliseconds);
    }
    auto* main = new frmMain(std::move(services));
    main->setAttribute(Qt::WA_DeleteOnClose);
    FitToScreen(main);
    main->show();
    return main;
}

}  // namespace bm::app
