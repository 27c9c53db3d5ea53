#include "app/GuiMain.h"

#include <cstdio>

#include <QApplication>
#include <QPointer>

#include "app/QtPrintTarget.h"
#include "app/StartUp.h"
#include "common/Version.h"
#include "windowing/window/WindowCatalogue.h"

namespace bm::app {

namespace {

// Without any display Qt would abort with its own message; say what to do instead.
bool NoDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

}  // namespace

int GuiMain(int argc, char** argv, const std::filesystem::path& home)
{
    if (NoDisplay()) {
        std::fprintf(stderr, "brindlemark: there is no display to show the window on (neither DISPLAY nor "
                             "WAYLAND_DISPLAY is set).\nUse a command instead, e.g. brindlemark print --help\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindlemark"));
    QApplication::setApplicationVersion(QString::fromStdString(VersionText()));

    QtPrintTarget printer;
    WindowCatalogue windows;
    RegisterProgramWindows(windows);
    QPointer<frmMain> main = StartUp({ProgramFolder(home), &printer, &windows});
    const int status = QApplication::exec();
    delete main.data();
    return status;
}

}  // namespace bm::app
