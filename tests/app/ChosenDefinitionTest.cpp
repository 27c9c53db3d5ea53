#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"
#include "checking/CheckTestSupport.h"
#include "checking/window/ReportBox.h"

namespace {

namespace fs = std::filesystem;
using bmtest::MainWindowRig;
using bmtest::ProgramHome;

// The main window with the program's own editor and checkers.
struct Program {
    explicit Program(const std::vector<std::string>& defs) : home(defs), rig(home)
    {
        bm::app::RegisterProgramWindows(rig.windows);
    }
    ~Program()
    {
        bm::app::CloseOtherForms(rig.window.get());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QListWidget* List() const { return rig.Child<QListWidget>("File1"); }
    int Row(const char* listed) const
    {
        return List()->row(List()->findItems(QString::fromLatin1(listed), Qt::MatchExactly).value(0));
    }
    void Click(const char* listed, bool twice = false) { rig.ClickRow(Row(listed), twice); }
    QWidget* Form(const char* name) const { return bm::app::FindForm(QString::fromLatin1(name)); }
    template <typename T>
    T* In(const char* form, const char* child) const
    {
        QWidget* w = Form(form);
        return w ? w->findChild<T*>(QString::fromLatin1(child)) : nullptr;
    }
    // Rewrites the three flag lines of a definition (bonus, powerball, horizontal), "1 0 0".
    void SetFlags(const char* name, const char* flags) const
    {
        const fs::path file = home.defs() / (std::string(name) + ".def");
        const std::string bytes = bmtest::ReadBytes(file);
        bmtest::WriteBytes(file, bytes.substr(0, bytes.size() - 15) + " " + flags[0] + " \r\n " + flags[2] + " \r\n " +
                                     flags[4] + " \r\n");
    }
    // Whether the checker of that window shows the bonus box of its game.
    bool BonusBox(const char* form, const char* box) const { return !In<QLineEdit>(form, box)->isHidden(); }

    ProgramHome home;
    MainWindowRig rig;
};

// A definition changed on disk after it was chosen prints and checks as its file reads now:
// after a click on the entry that is current already, and after a save in the editor.
TEST(ChosenDefinition, JobsAndChecksTakeTheDefinitionAsItsFileReadsNow)
{
    Program p({"LO649", "TK539"});
    p.Click("TK539.def");
    // Another program turns on the bonus and the vertical layout; the user clicks the entry again.
    p.SetFlags("TK539", "1 0 0");
    p.Click("TK539.def");
    EXPECT_TRUE(p.rig.main().current().bBon);
    p.rig.Click("cmdChkTick");
    ASSERT_NE(p.Form("frmChkwhl5"), nullptr);
    EXPECT_TRUE(p.BonusBox("frmChkwhl5", "txtN6"));
    p.Form("frmChkwhl5")->close();
    p.rig.Click("cmdTest");
    EXPECT_EQ(p.rig.printer.last().orientation(), bm::Orientation::Portrait);

    // The editor's Modify turns both back; the next job and check follow at once.
    p.Click("TK539.def", true);
    ASSERT_NE(p.Form("frmGendef"), nullptr);
    QTest::mouseClick(p.In<QWidget>("frmGendef", "chkBon0"), Qt::LeftButton);
    QTest::mouseClick(p.In<QWidget>("frmGendef", "optLay0"), Qt::LeftButton);
    QTest::mouseClick(p.In<QPushButton>("frmGendef", "cmdreset"), Qt::LeftButton);
    EXPECT_EQ(p.rig.dialogs.Said(), "Done: Definition Modified And Saved");
    p.rig.Click("cmdTest");
    EXPECT_EQ(p.rig.printer.last().orientation(), bm::Orientation::Landscape);
    p.rig.Click("cmdChkTick");
    ASSERT_NE(p.Form("frmChkwhl5"), nullptr);
    EXPECT_FALSE(p.BonusBox("frmChkwhl5", "txtN6"));
}

// A checker follows the main window's choice to another definition of its own game only; its
// run names the definition whose game it checks.
TEST(ChosenDefinition, ACheckerKeepsItsGameWhenAnotherGameIsChosen)
{
    Program p({"LO649", "CD649", "TK539"});
    p.Click("LO649.def");
    p.rig.Click("cmdChkTick");
    ASSERT_NE(p.Form("frmChkwhl"), nullptr);
    auto* lot = p.In<QLabel>("frmChkwhl", "lblLot");
    p.Click("TK539.def");
    EXPECT_EQ(lot->text(), QStringLiteral("LO649"));
    EXPECT_TRUE(p.BonusBox("frmChkwhl", "txtN7"));

    std::string wheel;
    for (int i = 0; i < 60; ++i)
        wheel += "1,2,3,4,5,6\r\n";
    p.home.WriteWheel("w.txt", wheel);
    p.rig.dialogs.QueueFile(p.home.wheel("w.txt"));
    QTest::mouseClick(p.In<QPushButton>("frmChkwhl", "cmdGo"), Qt::LeftButton);
    for (int box = 1; box <= 7; ++box)
        p.In<QLineEdit>("frmChkwhl", ("txtN" + std::to_string(box)).c_str())->setText(QString::number(box));
    QTest::mouseClick(p.In<QPushButton>("frmChkwhl", "cmdreset"), Qt::LeftButton);
    const std::string report = p.In<bm::app::ReportBox>("frmChkwhl", "rtbreport")->Text();
    EXPECT_EQ(report.substr(0, 15), "Lottery: LO649\n") << report;
    EXPECT_NE(report.find("Match 5+ - "), std::string::npos) << report;
    // The report shows its first line; "Lines Checked" and its count stand apart.
    EXPECT_EQ(p.In<bm::app::ReportBox>("frmChkwhl", "rtbreport")->indexAt(QPoint(4, 4)).row(), 0);
    auto* caption = p.In<QLabel>("frmChkwhl", "Label12");
    const int captionEnd = caption->x() + caption->fontMetrics().horizontalAdvance(caption->text());
    EXPECT_GE(p.In<QLabel>("frmChkwhl", "lbldraw")->x() - captionEnd, caption->fontMetrics().averageCharWidth());

    // CD649 is a 6-number game with bonus as well: the checker follows it.
    p.Click("CD649.def");
    EXPECT_EQ(lot->text(), QStringLiteral("CD649"));
}

// The list follows the Defs folder while the program runs, and the highlight stays on the
// current definition.
TEST(ChosenDefinition, TheListFollowsTheFolderAndHighlightsTheCurrentEntry)
{
    Program p({"LO649", "PB569", "TK539"});
    p.Click("PB569.def");
    p.home.AddDefinition("AA539.def", "TK539");
    fs::remove(p.home.defs() / "LO649.def");
    QTRY_VERIFY_WITH_TIMEOUT(p.List()->count() == 3 && p.List()->item(0)->text() == QStringLiteral("AA539.def"), 120000);  // returns once true; the limit only ends a hang
    EXPECT_EQ(p.List()->currentItem()->text(), QStringLiteral("PB569.def"));
    EXPECT_EQ(p.rig.main().current().listedName, "PB569.def");

    // A click on the empty space under the entries leaves the current one highlighted.
    const QRect last = p.List()->visualItemRect(p.List()->item(2));
    QTest::mouseClick(p.List()->viewport(), Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 20));
    ASSERT_EQ(p.List()->selectedItems().size(), 1);
    EXPECT_EQ(p.List()->selectedItems().constFirst()->text(), QStringLiteral("PB569.def"));

    // The current definition removed: the first entry becomes current, as at start.
    fs::remove(p.home.defs() / "PB569.def");
    QTRY_COMPARE_WITH_TIMEOUT(p.List()->count(), 2, 120000);  // returns once true; the limit only ends a hang
    EXPECT_EQ(p.rig.main().current().listedName, "AA539.def");
    EXPECT_EQ(p.List()->selectedItems().value(0)->text(), QStringLiteral("AA539.def"));
}

// The current definition, the printer and the folders of the file dialogs are remembered in
// one file of the program folder; the offsets folder holds offsets only.
TEST(ChosenDefinition, ChoicesAreRememberedAcrossARestart)
{
    ProgramHome home;
    const fs::path tickets = home.path() / "tickets";
    fs::create_directories(tickets);
    bmtest::WriteBytes(tickets / "w.txt", "1,2,3,4,5\r\n");
    {
        MainWindowRig rig(home);
        rig.ClickRow(1);
        ASSERT_EQ(rig.main().current().listedName, "PB569.def");
        rig.printer.setupChoice = "office";
        rig.Click("cmdPdlg");
        rig.dialogs.QueueFile(tickets / "w.txt");
        rig.Click("Command1");
        ASSERT_EQ(rig.printer.jobs.size(), 1u);
    }
    EXPECT_TRUE(fs::is_regular_file(home.path() / "Brindlemark.ini"));
    EXPECT_TRUE(fs::is_empty(home.path() / "Settings"));

    MainWindowRig again(home);
    EXPECT_EQ(again.main().current().listedName, "PB569.def");
    EXPECT_EQ(again.Child<QListWidget>("File1")->currentItem()->text(), QStringLiteral("PB569.def"));
    EXPECT_EQ(again.printer.used, "office");
    again.dialogs.QueueFile(QString());
    again.Click("Command1");
    EXPECT_EQ(again.dialogs.shown().back().folder, QString::fromStdString(tickets.string()));

    // A remembered definition that is gone: the first entry, as at a first start.
    again.window.reset();
    fs::remove(home.defs() / "PB569.def");
    MainWindowRig third(home);
    EXPECT_EQ(third.main().current().listedName, "LO649.def");
}

}  // namespace
