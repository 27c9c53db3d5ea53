#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/StartUp.h"
#include "app/frmSplash.h"
#include "definitions/DefinitionFile.h"
#include "support/PrintTestTools.h"
#include "windowing/window/Module1.h"

namespace {

namespace fs = std::filesystem;
using bmtest::MainWindowRig;
using bmtest::ProgramHome;
using bmtest::ReadBytes;
using bmtest::WriteBytes;

// The offsets shown, "top left".
std::string Offsets(MainWindowRig& rig)
{
    return (rig.Child<QLineEdit>("txtTmarg")->text() + " " + rig.Child<QLineEdit>("txtLmarg")->text()).toStdString();
}

// Each definition shows its own stored offsets; choosing one writes nothing, typing stores the
// offsets of the current one at every keystroke.
TEST(MainWindow, OffsetsAreShownPerDefinitionAndStoredWhenTyped)
{
    ProgramHome home;
    const std::string lo = "\"-1.5\"\r\n\"2\"\r\n";
    WriteBytes(home.settings("LO649"), lo);
    MainWindowRig rig(home);
    EXPECT_EQ(Offsets(rig), "-1.5 2");
    rig.ClickRow(1);
    EXPECT_EQ(rig.main().current().definitionName, "PB569");
    EXPECT_EQ(Offsets(rig), "0 0");
    EXPECT_FALSE(fs::exists(home.settings("PB569")));

    auto* top = rig.Child<QLineEdit>("txtTmarg");
    auto* left = rig.Child<QLineEdit>("txtLmarg");
    QTest::mouseClick(top, Qt::LeftButton);
    QTest::keyClick(top, Qt::Key_Minus);  // replaces the selected 0
    EXPECT_EQ(ReadBytes(home.settings("PB569")), "\"-\"\r\n\"0\"\r\n");
    QTest::keyClicks(top, QStringLiteral("1"));
    QTest::keyClick(top, Qt::Key_Return);  // on to the left box, whole text selected
    ASSERT_TRUE(left->hasFocus());
    QTest::keyClicks(left, QStringLiteral("2\""));  // a quote would break the quoted file: not taken
    EXPECT_EQ(ReadBytes(home.settings("PB569")), "\"-1\"\r\n\"2\"\r\n");
    rig.ClickRow(0);
    EXPECT_EQ(Offsets(rig), "-1.5 2");
    rig.ClickRow(1);
    EXPECT_EQ(Offsets(rig), "-1 2");
    EXPECT_EQ(ReadBytes(home.settings("LO649")), lo);
    EXPECT_TRUE(rig.dialogs.shown().empty());
}

TEST(MainWindow, OffsetsThatCannotBeStoredAreReportedOnce)
{
    ProgramHome home;
    fs::remove_all(home.path() / "Settings");
    WriteBytes(home.path() / "Settings", "a file where the folder belongs");
    MainWindowRig rig(home);
    auto* top = rig.Child<QLineEdit>("txtTmarg");
    QTest::mouseClick(top, Qt::LeftButton);
    QTest::keyClicks(top, QStringLiteral("12"));
    EXPECT_EQ(rig.dialogs.messages().size(), 1u);
    EXPECT_NE(rig.dialogs.Said().find("used for printing until the program ends"), std::string::npos);
}

TEST(MainWindow, UnreadableFilesAreNamedAndLeftAsTheyWere)
{
    ProgramHome home;
    WriteBytes(home.defs() / "ZZ699.def", "49\r\nsix\r\n");
    WriteBytes(home.settings("LO649"), "\"5\"\r\n");  // one offset only
    MainWindowRig rig(home);
    // Offsets that cannot be read show as zero, and the file is named.
    EXPECT_EQ(rig.main().current().definitionName, "LO649");
    EXPECT_EQ(Offsets(rig), "0 0");
    EXPECT_NE(rig.dialogs.Said().find(home.settings("LO649").string() + ": holds only one offset"), std::string::npos);
    EXPECT_EQ(ReadBytes(home.settings("LO649")), "\"5\"\r\n");

    // A definition that cannot be read leaves the previous one current.
    rig.dialogs.Clear();
    rig.ClickRow(1);
    ASSERT_EQ(rig.Child<QListWidget>("File1")->item(3)->text(), QStringLiteral("ZZ699.def"));
    rig.ClickRow(3);
    EXPECT_NE(rig.dialogs.Said().find("\n\nPB569.def stays the chosen definition."), std::string::npos);
    EXPECT_EQ(rig.main().current().definitionName, "PB569");
    EXPECT_EQ(rig.Child<QListWidget>("File1")->currentRow(), 1);
}

// A definition whose name tells another game than the file holds (a pick-6 slip saved as XY549)
// is neither printed nor checked: its plays would print as one game and be checked as the other.
TEST(MainWindow, ADefinitionNamedForAnotherGameIsRefusedNamingBoth)
{
    ProgramHome home({"LO649"});
    home.AddDefinition("XY549.def", "LO649");
    MainWindowRig rig(home);
    ASSERT_EQ(rig.Child<QListWidget>("File1")->item(1)->text(), QStringLiteral("XY549.def"));
    rig.ClickRow(1);
    for (const char* button : {"Command1", "cmdTest", "cmdChkTick"}) {
        rig.dialogs.Clear();
        rig.Click(button);
        EXPECT_NE(rig.dialogs.Said().find("XY549.def: the name XY549 says 5 numbers from 49, but the file holds a slip "
                                          "of 6 numbers from 49"),
                  std::string::npos)
            << button << ": " << rig.dialogs.Said();
    }
    for (const auto& job : rig.printer.jobs)
        EXPECT_TRUE(job->marks().empty() && job->sheets() == 0);
}

TEST(MainWindow, WithoutDefinitionsSaysWhereItLookedAndButtonsRefuse)
{
    ProgramHome home(std::vector<std::string>{});
    fs::remove_all(home.defs());
    MainWindowRig rig(home);
    const QString folder = QString::fromStdString(home.defs().string());
    EXPECT_TRUE(rig.Child<QLabel>("lblNoDefs")->text().contains(folder));
    EXPECT_TRUE(rig.Child<QLabel>("lblNoDefs")->isVisible());
    EXPECT_FALSE(rig.Child<QLineEdit>("txtTmarg")->isEnabled());

    for (const char* button : {"Command1", "cmdTest", "cmdChkTick"}) {
        rig.dialogs.Clear();
        rig.Click(button);
        ASSERT_EQ(rig.dialogs.messages().size(), 1u) << button;
        EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(folder)) << button;
    }
    EXPECT_TRUE(rig.printer.jobs.empty());
}

TEST(MainWindow, PrinterSetupGoesToThePrinterAndExitClosesEveryWindow)
{
    ProgramHome home;
    MainWindowRig rig(home);
    rig.Click("cmdPdlg");
    EXPECT_EQ(rig.printer.setups, 1);
    EXPECT_TRUE(rig.printer.jobs.empty());

    for (const char* name : {"frmChkwhl7", "frmGendef"})
        bm::app::ShowForm(QString::fromLatin1(name), [] { return new QWidget; });
    ASSERT_TRUE(bm::app::IsFormLoaded(QStringLiteral("frmGendef")));
    rig.Click("cmdxit");
    for (const char* name : {"frmChkwhl7", "frmGendef", "frmMain"})
        EXPECT_FALSE(bm::app::IsFormLoaded(QString::fromLatin1(name))) << name;
}

// Only files named as definitions are listed: a copy never reads or writes the offsets of the
// definition whose name it starts with. Those left out are counted and said once, under the list.
TEST(MainWindow, ListsOnlyFilesNamedAsDefinitionsAndSaysWhatWasLeftOut)
{
    ProgramHome home(std::vector<std::string>{"LO649"});
    home.AddDefinition("LO649 copy.def", "TK539");
    home.AddDefinition("AB.def", "TK539");
    home.AddDefinition("lo649.def", "TK539");
    WriteBytes(home.settings("LO649"), "\"1\"\r\n\"2\"\r\n");
    MainWindowRig rig(home);
    auto* list = rig.Child<QListWidget>("File1");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("LO649.def"));
    auto* said = rig.Child<QLabel>("lblNoDefs");
    EXPECT_TRUE(said->isVisible());
    EXPECT_EQ(said->text().toStdString(), std::string("3 files in Defs left out: AB.def, LO649 copy.def, lo649.def (") +
                                              bm::kDefinitionNameRule + ").");
    EXPECT_EQ(rig.main().current().definitionName, "LO649");
    EXPECT_EQ(ReadBytes(home.settings("LO649")), "\"1\"\r\n\"2\"\r\n");
    EXPECT_FALSE(fs::exists(home.path() / "Settings" / "AB.de.ini"));

    // Renamed to a name of its own, it is listed and the line goes.
    fs::rename(home.defs() / "LO649 copy.def", home.defs() / "LC539.def");
    fs::remove(home.defs() / "AB.def");
    fs::remove(home.defs() / "lo649.def");
    rig.main().ReloadDefinitions();
    EXPECT_EQ(list->count(), 2);
    EXPECT_FALSE(said->isVisible());
}

// A shortcut missed while the focus is in an offset box types letters: they are not taken, and
// the settings file keeps the number. Numbers, signed and with a point, are typed as before.
TEST(OffsetEntry, TakesOnlyWhatCanFormANumber)
{
    bmtest::ProgramHome home;
    bmtest::MainWindowRig rig(home);
    rig.Choose("LO649.def");
    struct Case {
        const char* box;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"txtTmarg", "hepv", nullptr},  // nothing taken: the box shows what it did
        {"txtTmarg", "-1.5", "-1.5"},  {"txtLmarg", "2,5", "25"},
        {"txtLmarg", "+.75x", "+.75"}, {"txtTmarg", "1.2.3", "1.23"},
    };
    for (const Case& c : cases) {
        auto* box = rig.Child<QLineEdit>(c.box);
        box->setFocus();
        box->selectAll();
        const QString before = box->text();
        QTest::keyClicks(box, QString::fromLatin1(c.typed));
        EXPECT_EQ(box->text(), c.shown ? QString::fromLatin1(c.shown) : before) << c.typed;
        EXPECT_EQ(bmtest::ReadBytes(home.settings("LO649")).find_first_of("hepvx,"), std::string::npos) << c.typed;
    }
    EXPECT_EQ(bmtest::ReadBytes(home.settings("LO649")), "\"1.23\"\r\n\"+.75\"\r\n");
}

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
    QProcessEnvironment env;
    for (const std::string& entry : bmtest::ChildEnvironmentEntries(home.path() / "child")) {
        const auto at = entry.find('=');
        env.insert(QString::fromStdString(entry.substr(0, at)), QString::fromStdString(entry.substr(at + 1)));
    }
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
