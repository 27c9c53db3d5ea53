#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QProcess>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"
#include "app/StartUp.h"
#include "app/frmSplash.h"

namespace {

using namespace bm::app;

TEST(StartUp, SplashShownForItsWaitThenTheMainWindow)
{
    bmtest::ProgramHome home;
    bmtest::ScriptedDialogs dialogs;
    bmtest::RecordingTarget printer;
    WindowCatalogue windows;

    int waits = 0;
    const SplashWait wait = [&](QWidget& splash, int ms) {
        ++waits;
        EXPECT_EQ(ms, 1500);
        EXPECT_TRUE(IsFormLoaded(QStringLiteral("frmsplash")));
        // Nothing of the main window exists while the splash waits.
        EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmMain")));
        EXPECT_EQ(splash.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 1.0.502"));
    };
    QPointer<frmMain> main = StartUp({bm::ProgramFolder(home.path()), &printer, &windows}, wait);
    EXPECT_EQ(waits, 1);
    ASSERT_TRUE(main);
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmSplash")));
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Brindlemark 1.0502"));
    EXPECT_TRUE(dialogs.shown().empty());
    delete main.data();
}

TEST(GuiMain, WithoutADisplaySaysSoInsteadOfFailing)
{
    const QString exe = QStringLiteral(BRINDLEMARK_EXE);
    if (exe.isEmpty() || !QFileInfo::exists(exe))
        GTEST_SKIP() << "the program is not built in this configuration";
    bmtest::ProgramHome home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(exe, {QStringLiteral("--home"), QString::fromStdString(home.path().string())});
    ASSERT_TRUE(program.waitForFinished(300'000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    const QString said = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_TRUE(said.contains(QStringLiteral("no display"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("brindlemark print --help"))) << said.toStdString();
}

}  // namespace
