#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"

namespace {

using bm::app::Icon;
using bmtest::MainWindowRig;
using bmtest::ProgramHome;
using bmtest::ReadBytes;
using bmtest::WriteBytes;

struct ControlText {
    const char* name;
    const char* caption;
    const char* toolTip;
};

TEST(MainWindow, ControlsCarryTheirNamesCaptionsAndTips)
{
    ProgramHome home;
    MainWindowRig rig(home);
    EXPECT_EQ(rig.main().objectName(), QStringLiteral("frmMain"));
    EXPECT_EQ(rig.main().windowTitle(), QStringLiteral("Brindlemark 1.0502"));
    const ControlText buttons[] = {
        {"Command1", "Print Playslips", "Click To Load A Ticket File To Print"},
        {"cmdTest", "Test Pattern", "Click To Print 1 Playslip With All Numbers Marked. Use This To Adjust The Slip Alignment"},
        {"cmdGendef", "Make Slip", "Click To Create A new Playslip Definition File."},
        {"cmdChkTick", "Check Tickets", "Click To Check Ticket File For Winners"},
        {"cmdPdlg", "Printer Setup", "Click To Access The Printer Dialog"},
        {"cmdHelp", "Help", "Click To Launch Help File"},
        {"cmdxit", "Exit", "Bye Now!"},
    };
    for (const auto& b : buttons) {
        auto* button = rig.Child<QPushButton>(b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QString::fromLatin1(b.caption));
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(b.toolTip));
    }
    const ControlText labels[] = {
        {"lblEsc", " ESC KEY Will Stop Print Job ", "ESC KEY Will Halt Processing And Stop The Printer"},
        {"lblHelpHint", "Press F1 Key For Help", "Launch Help File Or Click Help Button Below"},
        {"lblDefsHead", "Choose Slip Layout Definition", ""},
        {"lblMarginsHead", "Adjust Margins Here", ""},
        {"lblTop", "Top +/-", ""},
        {"lblLeft", "Left +/-", ""},
        {"lblupdate", "Processing Playslip", ""},
        {"Label2", "Processing Complete!", ""},
    };
    for (const auto& l : labels) {
        auto* label = rig.Child<QLabel>(l.name);
        ASSERT_NE(label, nullptr) << l.name;
        EXPECT_EQ(label->text(), QString::fromLatin1(l.caption));
        EXPECT_EQ(label->toolTip(), QString::fromLatin1(l.toolTip));
    }
    EXPECT_EQ(rig.Child<QLineEdit>("txtTmarg")->toolTip(), QStringLiteral("Negative Values Move Up; Positive Values Move Down"));
    EXPECT_EQ(rig.Child<QLineEdit>("txtLmarg")->toolTip(), QStringLiteral("Negative Values Move Left; Positive Values Move Right"));
    EXPECT_EQ(rig.Child<QListWidget>("File1")->toolTip(),
              QStringLiteral("Click On The Line For The Game You Want To Play. Double click a line to open the Make Slip window."));
    // The job's labels wait hidden for the first job.
    for (const char* name : {"lblcnt", "lblupdate", "lblF", "Label2"})
        EXPECT_TRUE(rig.Child<QLabel>(name)->isHidden()) << name;
    EXPECT_TRUE(rig.dialogs.shown().empty());
}

TEST(MainWindow, FirstDefinitionIsCurrentAtStartWithItsOffsets)
{
    ProgramHome home;
    const std::string stored = "\"-1.5\"\r\n\"2\"\r\n";
    WriteBytes(home.settings("LO649"), stored);
    MainWindowRig rig(home);

    const auto& current = rig.main().current();
    EXPECT_EQ(current.listedName, "LO649.def");
    EXPECT_EQ(current.definitionName, "LO649");
    EXPECT_EQ(current.definitionPath, home.defs() / "LO649.def");
    EXPECT_EQ(current.pickDigit, '6');
    EXPECT_EQ(current.values.size(), 27u);
    EXPECT_TRUE(current.bBon);
    EXPECT_FALSE(current.bPB);
    EXPECT_TRUE(current.Horizontal);
    EXPECT_EQ(rig.Child<QListWidget>("File1")->currentRow(), 0);
    EXPECT_EQ(rig.Child<QLineEdit>("txtTmarg")->text(), QStringLiteral("-1.5"));
    EXPECT_EQ(rig.Child<QLineEdit>("txtLmarg")->text(), QStringLiteral("2"));
    // Showing the offsets wrote nothing.
    EXPECT_EQ(ReadBytes(home.settings("LO649")), stored);
    EXPECT_FALSE(std::filesystem::exists(home.settings("PB569")));
}

void ClickRow(QListWidget* list, int row, bool twice = false)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

TEST(MainWindow, SelectingShowsStoredOffsetsAndWritesNoFile)
{
    ProgramHome home;
    WriteBytes(home.settings("TK539"), "\"1\"\r\n\"2\"\r\n\"3.25\"\r\n\"-4\"\r\n");
    const auto written = std::filesystem::last_write_time(home.settings("TK539"));
    MainWindowRig rig(home);
    auto* list = rig.Child<QListWidget>("File1");

    ClickRow(list, 1);  // PB569: no settings file
    EXPECT_EQ(rig.main().current().definitionName, "PB569");
    EXPECT_TRUE(rig.main().current().bPB);
    EXPECT_EQ(rig.Child<QLineEdit>("txtTmarg")->text(), QStringLiteral("0"));
    EXPECT_EQ(rig.Child<QLineEdit>("txtLmarg")->text(), QStringLiteral("0"));
    ClickRow(list, 2);  // two pairs: the second counts
    EXPECT_EQ(rig.Child<QLineEdit>("txtTmarg")->text(), QStringLiteral("3.25"));
    EXPECT_EQ(rig.Child<QLineEdit>("txtLmarg")->text(), QStringLiteral("-4"));
    ClickRow(list, 0);
    ClickRow(list, 2);
    EXPECT_EQ(std::filesystem::last_write_time(home.settings("TK539")), written);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.path() / "Settings"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(MainWindow, TypedOffsetsAreStoredAtEveryKeystroke)
{
    ProgramHome home;
    MainWindowRig rig(home);
    auto* top = rig.Child<QLineEdit>("txtTmarg");
    auto* left = rig.Child<QLineEdit>("txtLmarg");
    QTest::mouseClick(top, Qt::LeftButton);
    QTest::keyClick(top, Qt::Key_Minus);  // replaces the selected 0
    EXPECT_EQ(ReadBytes(home.settings("LO649")), "\"-\"\r\n\"0\"\r\n");
    QTest::keyClicks(top, QStringLiteral("1.5"));
    EXPECT_EQ(ReadBytes(home.settings("LO649")), "\"-1.5\"\r\n\"0\"\r\n");
    QTest::keyClick(top, Qt::Key_Return);  // on to the left box, whole text selected
    ASSERT_TRUE(left->hasFocus());
    QTest::keyClicks(left, QStringLiteral("2"));
    EXPECT_EQ(ReadBytes(home.settings("LO649")), "\"-1.5\"\r\n\"2\"\r\n");
    // A quote would break the quoted file: it is not taken.
    QTest::keyClicks(left, QStringLiteral("\""));
    EXPECT_EQ(left->text(), QStringLiteral("2"));
    // The offsets belong to the definition they were typed for.
    ClickRow(rig.Child<QListWidget>("File1"), 1);
    EXPECT_EQ(top->text(), QStringLiteral("0"));
    ClickRow(rig.Child<QListWidget>("File1"), 0);
    EXPECT_EQ(top->text(), QStringLiteral("-1.5"));
    EXPECT_TRUE(rig.dialogs.shown().empty());
}

TEST(MainWindow, OffsetsThatCannotBeStoredAreReportedOnce)
{
    ProgramHome home;
    std::filesystem::remove_all(home.path() / "Settings");
    WriteBytes(home.path() / "Settings", "a file where the folder belongs");
    MainWindowRig rig(home);
    auto* top = rig.Child<QLineEdit>("txtTmarg");
    QTest::mouseClick(top, Qt::LeftButton);
    QTest::keyClicks(top, QStringLiteral("12"));
    const auto shown = rig.dialogs.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, QStringLiteral("Brindlemark"));
    EXPECT_EQ(shown[0].icon, Icon::Error);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("could not be stored")));
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("Settings")));
}

TEST(MainWindow, UnreadableDefinitionIsNamedAndThePreviousStaysCurrent)
{
    ProgramHome home;
    WriteBytes(home.defs() / "ZZ699.def", "49\r\nsix\r\n");
    MainWindowRig rig(home);
    auto* list = rig.Child<QListWidget>("File1");
    ClickRow(list, 1);
    ASSERT_EQ(list->item(3)->text(), QStringLiteral("ZZ699.def"));
    ClickRow(list, 3);

    const auto shown = rig.dialogs.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, Icon::Error);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("ZZ699.def"))) << shown[0].text.toStdString();
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("PB569.def stays the chosen definition")));
    EXPECT_EQ(rig.main().current().definitionName, "PB569");
    EXPECT_EQ(list->currentRow(), 1);
}

TEST(MainWindow, UnreadableOffsetsShowZeroAndSaySo)
{
    ProgramHome home;
    WriteBytes(home.settings("LO649"), "\"5\"\r\n");  // one offset only
    MainWindowRig rig(home);
    EXPECT_EQ(rig.main().current().definitionName, "LO649");
    EXPECT_EQ(rig.Child<QLineEdit>("txtTmarg")->text(), QStringLiteral("0"));
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(QStringLiteral("LO649.ini")));
    EXPECT_EQ(ReadBytes(home.settings("LO649")), "\"5\"\r\n");
}

class NoDefinitions : public ::testing::TestWithParam<bool> {};

TEST_P(NoDefinitions, WindowSaysWhereItLookedAndButtonsRefuse)
{
    ProgramHome home(std::vector<std::string>{});
    if (GetParam())
        std::filesystem::remove_all(home.defs());
    MainWindowRig rig(home);
    auto* note = rig.Child<QLabel>("lblNoDefs");
    EXPECT_TRUE(note->isVisible());
    const QString folder = QString::fromStdString(home.defs().string());
    EXPECT_TRUE(note->text().contains(folder)) << note->text().toStdString();
    EXPECT_FALSE(rig.main().current().chosen());
    EXPECT_FALSE(rig.Child<QLineEdit>("txtTmarg")->isEnabled());

    for (const char* button : {"Command1", "cmdTest", "cmdChkTick"}) {
        rig.dialogs.Clear();
        QTest::mouseClick(rig.Child<QPushButton>(button), Qt::LeftButton);
        const auto shown = rig.dialogs.shown();
        ASSERT_EQ(shown.size(), 1u) << button;
        EXPECT_EQ(shown[0].kind, bmtest::ScriptedDialogs::Kind::Message);
        EXPECT_TRUE(shown[0].text.contains(folder)) << button;
    }
    EXPECT_TRUE(rig.printer.jobs.empty());
}

INSTANTIATE_TEST_SUITE_P(EmptyAndMissingFolder, NoDefinitions, ::testing::Bool());

TEST(MainWindow, ListReadAgainKeepsTheCurrentDefinition)
{
    ProgramHome home;
    MainWindowRig rig(home);
    auto* list = rig.Child<QListWidget>("File1");
    ClickRow(list, 1);
    home.AddDefinition("AA539.def", "TK539");
    rig.main().ReloadDefinitions();
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("AA539.def"));
    EXPECT_EQ(rig.main().current().definitionName, "PB569");
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("PB569.def"));
}

TEST(MainWindow, DoubleClickMakesCurrentThenOpensTheEditor)
{
    ProgramHome home;
    MainWindowRig rig(home);
    auto* list = rig.Child<QListWidget>("File1");
    ClickRow(list, 2, true);  // no editor yet: the double click only chooses
    EXPECT_EQ(rig.main().current().definitionName, "TK539");

    std::vector<std::string> modified;
    int made = 0;
    rig.windows.SetEditor({[&](bm::app::frmMain&) { ++made; },
                           [&](bm::app::frmMain& w, const std::string& listed) {
                               EXPECT_EQ(w.current().listedName, listed);
                               modified.push_back(listed);
                           }});
    ClickRow(list, 1, true);
    EXPECT_EQ(modified, std::vector<std::string>{"PB569.def"});
    QTest::mouseClick(rig.Child<QPushButton>("cmdGendef"), Qt::LeftButton);
    EXPECT_EQ(made, 1);
}

TEST(MainWindow, SixNumberCheckerFollowsTheChosenDefinition)
{
    ProgramHome home;
    MainWindowRig rig(home);
    std::map<std::string, QLabel*> lot;
    for (const char* name : {"frmChkwhl", "frmChkwhl5"}) {
        auto* w = new QWidget;
        w->setObjectName(QString::fromLatin1(name));
        lot[name] = new QLabel(QStringLiteral("LO649"), w);
        lot[name]->setObjectName(QStringLiteral("lblLot"));
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
    }
    ClickRow(rig.Child<QListWidget>("File1"), 2);
    EXPECT_EQ(lot["frmChkwhl"]->text(), QStringLiteral("TK539"));
    EXPECT_EQ(lot["frmChkwhl5"]->text(), QStringLiteral("LO649"));
    bm::app::CloseOtherForms(rig.window.get());
}

TEST(MainWindow, PrinterSetupGoesToThePrinter)
{
    ProgramHome home;
    MainWindowRig rig(home);
    QTest::mouseClick(rig.Child<QPushButton>("cmdPdlg"), Qt::LeftButton);
    EXPECT_EQ(rig.printer.setups, 1);
    EXPECT_TRUE(rig.printer.jobs.empty());
}

TEST(MainWindow, ExitClosesEveryWindow)
{
    ProgramHome home;
    MainWindowRig rig(home);
    for (const char* name : {"frmChkwhl7", "frmGendef"})
        bm::app::ShowForm(QString::fromLatin1(name), [] { return new QWidget; });
    ASSERT_TRUE(bm::app::IsFormLoaded(QStringLiteral("frmGendef")));
    QTest::mouseClick(rig.Child<QPushButton>("cmdxit"), Qt::LeftButton);
    for (const char* name : {"frmChkwhl7", "frmGendef", "frmMain"})
        EXPECT_FALSE(bm::app::IsFormLoaded(QString::fromLatin1(name))) << name;
}

}  // namespace
