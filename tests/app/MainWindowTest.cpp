#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"

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

TEST(MainWindow, EachDefinitionShowsItsStoredOffsetsAndNothingIsWritten)
{
    ProgramHome home;
    const std::string lo = "\"-1.5\"\r\n\"2\"\r\n", tk = "\"1\"\r\n\"2\"\r\n\"3.25\"\r\n\"-4\"\r\n";
    WriteBytes(home.settings("LO649"), lo);
    WriteBytes(home.settings("TK539"), tk);
    const auto written = fs::last_write_time(home.settings("TK539"));
    MainWindowRig rig(home);

    // The first definition is current at start.
    const auto& current = rig.main().current();
    EXPECT_EQ(current.listedName, "LO649.def");
    EXPECT_EQ(current.definitionPath, home.defs() / "LO649.def");
    EXPECT_EQ(current.pickDigit, '6');
    EXPECT_TRUE(current.bBon);
    EXPECT_FALSE(current.bPB);
    EXPECT_EQ(rig.Child<QListWidget>("File1")->currentRow(), 0);
    EXPECT_EQ(Offsets(rig), "-1.5 2");
    // The job's labels wait hidden for the first job.
    for (const char* name : {"lblcnt", "lblupdate", "lblF", "Label2"})
        EXPECT_TRUE(rig.Child<QLabel>(name)->isHidden()) << name;

    rig.ClickRow(1);  // PB569: no settings file
    EXPECT_EQ(current.definitionName, "PB569");
    EXPECT_TRUE(current.bPB);
    EXPECT_EQ(Offsets(rig), "0 0");
    rig.ClickRow(2);  // two pairs: the second counts
    EXPECT_EQ(Offsets(rig), "3.25 -4");
    rig.ClickRow(0);
    rig.ClickRow(2);

    EXPECT_EQ(ReadBytes(home.settings("LO649")), lo);
    EXPECT_EQ(ReadBytes(home.settings("TK539")), tk);
    EXPECT_EQ(fs::last_write_time(home.settings("TK539")), written);
    EXPECT_FALSE(fs::exists(home.settings("PB569")));
    EXPECT_TRUE(rig.dialogs.shown().empty());
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
    EXPECT_EQ(Offsets(rig), "-1.5 2");
    // Once the box has the focus, a click places the cursor instead of selecting.
    left->selectAll();
    QTest::mouseClick(left, Qt::LeftButton, {}, QPoint(2, left->height() / 2));
    EXPECT_FALSE(left->hasSelectedText());
    // The offsets belong to the definition they were typed for.
    rig.ClickRow(1);
    EXPECT_EQ(Offsets(rig), "0 0");
    rig.ClickRow(0);
    EXPECT_EQ(Offsets(rig), "-1.5 2");
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
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: The offsets could not be stored:\ncannot create the settings folder " +
                                      (home.path() / "Settings").string() +
                                      ": Not a directory\n\nThey are used for printing until the program ends.");
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
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: The offsets of LO649 cannot be read:\n" +
                                      home.settings("LO649").string() + ": holds only one offset; the file needs the top and the left offset\n\n"
                                      "The offsets show 0 until you type new ones, which replace that file.");
    EXPECT_EQ(ReadBytes(home.settings("LO649")), "\"5\"\r\n");

    // A definition that cannot be read leaves the previous one current.
    rig.dialogs.Clear();
    rig.ClickRow(1);
    ASSERT_EQ(bmtest::ItemText(rig.main(), 3), QStringLiteral("ZZ699.def"));
    rig.ClickRow(3);
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: The slip definition ZZ699.def cannot be used:\n" +
                                      (home.defs() / "ZZ699.def").string() +
                                      ": holds 2 lines; a definition has at least 21 (17 measurements, the row "
                                      "numbers and 3 flags)\n\nPB569.def stays the chosen definition.");
    EXPECT_EQ(rig.main().current().definitionName, "PB569");
    EXPECT_EQ(rig.Child<QListWidget>("File1")->currentRow(), 1);
}

class NoDefinitions : public ::testing::TestWithParam<bool> {};

TEST_P(NoDefinitions, WindowSaysWhereItLookedAndButtonsRefuse)
{
    ProgramHome home(std::vector<std::string>{});
    if (GetParam())
        fs::remove_all(home.defs());
    MainWindowRig rig(home);
    auto* note = rig.Child<QLabel>("lblNoDefs");
    EXPECT_TRUE(note->isVisible());
    const QString folder = QString::fromStdString(home.defs().string());
    EXPECT_TRUE(note->text().contains(folder)) << note->text().toStdString();
    EXPECT_FALSE(rig.main().current().chosen());
    EXPECT_FALSE(rig.Child<QLineEdit>("txtTmarg")->isEnabled());

    for (const char* button : {"Command1", "cmdTest", "cmdChkTick"}) {
        rig.dialogs.Clear();
        rig.Click(button);
        const auto shown = rig.dialogs.shown();
        ASSERT_EQ(shown.size(), 1u) << button;
        EXPECT_EQ(shown[0].kind, bmtest::ScriptedDialogs::Kind::Message);
        EXPECT_TRUE(shown[0].text.contains(folder)) << button;
    }
    EXPECT_TRUE(rig.printer.jobs.empty());
}

INSTANTIATE_TEST_SUITE_P(EmptyAndMissingFolder, NoDefinitions, ::testing::Bool());

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

}  // namespace
