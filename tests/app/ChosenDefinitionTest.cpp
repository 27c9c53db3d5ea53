#include <functional>
#include <sys/stat.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "checking/CheckTestSupport.h"
#include "checking/window/ReportBox.h"
#include "paper/Calibration.h"
#include "windowing/window/Module1.h"
#include "windowing/window/RememberedChoices.h"

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

    p.home.WriteWheel("w.txt", bmtest::Repeated("1,2,3,4,5,6\r\n", 60));
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
    QTRY_VERIFY_WITH_TIMEOUT(p.List()->count() == 3 && p.List()->item(0)->text() == QStringLiteral("AA539.def"),
                             bmtest::kHangLimitMs);
    EXPECT_EQ(p.List()->currentItem()->text(), QStringLiteral("PB569.def"));
    EXPECT_EQ(p.rig.main().current().listedName, "PB569.def");

    // A click on the empty space under the entries leaves the current one highlighted.
    const QRect last = p.List()->visualItemRect(p.List()->item(2));
    QTest::mouseClick(p.List()->viewport(), Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 20));
    ASSERT_EQ(p.List()->selectedItems().size(), 1);
    EXPECT_EQ(p.List()->selectedItems().constFirst()->text(), QStringLiteral("PB569.def"));

    // The current definition removed: the first entry becomes current, as at start.
    fs::remove(p.home.defs() / "PB569.def");
    QTRY_COMPARE_WITH_TIMEOUT(p.List()->count(), 2, bmtest::kHangLimitMs);
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

// The first start makes current the first definition numbered along its rows, as most slips
// are; CD649, numbered down its columns, sorts first but is not chosen.
TEST(ChosenDefinition, TheFirstStartChoosesASlipNumberedAlongItsRows)
{
    ProgramHome home({"CD649", "LO649", "PB569"});
    MainWindowRig rig(home);
    EXPECT_EQ(rig.main().current().listedName, "LO649.def");
    EXPECT_EQ(rig.Child<QListWidget>("File1")->currentItem()->text(), QStringLiteral("LO649.def"));
}

using bmtest::MainWindowRig;
using bmtest::ProgramHome;

TEST(CheckTickets, OpensTheFittingCheckerOnceAndBringsItForward)
{
    ProgramHome home({"LO649", "PB569", "TK539", "LM750"});
    home.AddDefinition("XX849.def", "LO649");
    MainWindowRig rig(home);
    // No checker in this build: said, not ignored.
    rig.Click("cmdChkTick");
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(QStringLiteral("frmChkwhl")));
    rig.dialogs.Clear();

    std::map<std::string, int> made;
    for (const char* name : {"frmChkwhl", "frmChkwhl5", "frmChkwhl7", "frmChkwhlPB"}) {
        rig.windows.SetChecker(name, [&made, name](bm::DefinitionChoice& choice) {
            ++made[name];
            EXPECT_TRUE(choice.ReadChosen());
            return new QWidget;
        });
    }
    for (const char* listed : {"LO649.def", "LO649.def", "PB569.def", "TK539.def", "LM750.def", "XX849.def"}) {
        rig.Choose(listed);
        rig.Click("cmdChkTick");
    }
    // A name that tells another game than the file holds (pick 8 of a pick-6 slip) opens nothing
    // and says why.
    const std::map<std::string, int> once = {
        {"frmChkwhl", 1}, {"frmChkwhl5", 1}, {"frmChkwhl7", 1}, {"frmChkwhlPB", 1}};
    EXPECT_EQ(made, once);
    ASSERT_EQ(rig.dialogs.shown().size(), 1u);
    EXPECT_TRUE(rig.dialogs.shown()[0].text.contains(
        QStringLiteral("the name XX849 says 8 numbers from 49, but the file holds a slip of 6 numbers from 49")));
    rig.dialogs.Clear();
    // A closed checker is gone; the next click makes a new one.
    bm::app::FindForm(QStringLiteral("frmChkwhl"))->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(bm::app::IsFormLoaded(QStringLiteral("frmChkwhl")));
    rig.Choose("LO649.def");
    rig.Click("cmdChkTick");
    EXPECT_EQ(made["frmChkwhl"], 2);
    bm::app::CloseOtherForms(rig.window.get());
}

namespace fs = std::filesystem;
using bm::app::RememberedChoices;
using bmtest::ReadBytes;
using bmtest::WriteBytes;

// Brindlemark.ini is read only when it is a regular file that reads as this program's own;
// anything else in its place is left exactly as it is and the program starts with the defaults.
TEST(RememberedChoices, AnythingButItsOwnFileIsLeftAloneAndTheDefaultsApply)
{
    // More than the 64 KiB a settings file of this program may hold.
    const std::string big =
        bmtest::Repeated("WheelFolder=/home/ann/a/very/long/folder/name/that/repeats/itself\r\n", 1000);
    const struct {
        const char* what;
        std::function<void(const fs::path&)> make;
    } cases[] = {
        {"FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }},
        {"another program's", [](const fs::path& p) { WriteBytes(p, "[General]\r\nDefinition=TK539.def\r\n"); }},
        {"text", [](const fs::path& p) { WriteBytes(p, "Definition=TK539.def\r\nmy notes about the draw\r\n"); }},
        {"binary", [](const fs::path& p) { WriteBytes(p, std::string("Definition=TK539.def\0\r\n", 23)); }},
        {"too large", [&](const fs::path& p) { WriteBytes(p, "Definition=TK539.def\r\n" + big); }},
        // Another program's KEY=VALUE file, linked into the program folder.
        {"link",
         [](const fs::path& p) {
             WriteBytes(p.parent_path() / "other.conf", "zeta=1\n\nalpha=2\n");
             fs::create_symlink(p.parent_path() / "other.conf", p);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bmtest::ProgramHome home;
        const bm::ProgramFolder folder(home.path());
        const fs::path file = RememberedChoices::File(folder);
        c.make(file);
        const std::string before = fs::is_regular_file(file) ? ReadBytes(file) : "";
        {
            bmtest::MainWindowRig rig(home);  // starts at once, with the first definition
            EXPECT_EQ(rig.main().current().definitionName, "LO649");
            rig.ClickRow(2);
        }
        RememberedChoices choices(folder);
        EXPECT_EQ(choices.Get(RememberedChoices::kDefinition), "");
        EXPECT_EQ(bmtest::Refusal(choices.Set(RememberedChoices::kPrinter, "office")),
                  file.string() + ": is not a settings file of this program; it was left as it is");
        EXPECT_EQ(fs::is_fifo(file), std::string(c.what) == "FIFO");
        EXPECT_EQ(fs::is_directory(file), std::string(c.what) == "folder");
        EXPECT_EQ(fs::is_symlink(file), std::string(c.what) == "link");
        if (fs::is_regular_file(file)) {
            EXPECT_EQ(ReadBytes(file), before);
        }
    }
}

// Two calibrations of one printer: the window neither takes one nor rewrites the file (which
// would keep only the last), and says which line is the second.
TEST(RememberedChoices, ATwiceCalibratedPrinterIsRefusedNamingTheLine)
{
    bmtest::ProgramHome home;
    const bm::ProgramFolder folder(home.path());
    const fs::path file = RememberedChoices::File(folder);
    const std::string twice = "Calibration.Q=1.01,0.99\r\nDefinition=LO649.def\r\nCalibration.Q=1.02,0.98\r\n";
    WriteBytes(file, twice);
    {
        bmtest::MainWindowRig rig(home);
        rig.ClickRow(2);
    }
    EXPECT_EQ(ReadBytes(file), twice);
    RememberedChoices choices(folder);
    EXPECT_EQ(choices.Get(RememberedChoices::kDefinition), "LO649.def");
    EXPECT_EQ(bmtest::Refusal(choices.Set(RememberedChoices::kPrinter, "office")),
              file.string() + ": line 3: Calibration.Q is given a second time (first on line 1); remove one of the "
                              "two lines; the file was left as it is");
    EXPECT_EQ(ReadBytes(file), twice);
    EXPECT_EQ(bmtest::Refusal(bm::CalibrationStore(file).Get("Q")),
              file.string() + ": line 3: the calibration of printer \"Q\" is given a second time (first on line 1); "
                              "remove one of the two lines");
}

// Its own file is read and rewritten; the hidden copy of a writer killed before its rename goes.
TEST(RememberedChoices, ItsOwnFileIsKeptAndLeftoversSwept)
{
    bmtest::ProgramHome home;
    const bm::ProgramFolder folder(home.path());
    const fs::path file = RememberedChoices::File(folder);
    WriteBytes(file, "Definition=TK539.def\r\n\r\nPrizes.TK539=1;2;3\nPdfFolder=/tmp/a b=c\r\n");
    WriteBytes(home.path() / ".Brindlemark.ini.abcdefGHIJ09.tmp", "Definition=PB569.def\r\n");
    bmtest::MakeOlder(home.path() / ".Brindlemark.ini.abcdefGHIJ09.tmp", 120);
    RememberedChoices choices(folder);
    EXPECT_FALSE(fs::exists(home.path() / ".Brindlemark.ini.abcdefGHIJ09.tmp"));
    EXPECT_EQ(choices.Get(RememberedChoices::kDefinition), "TK539.def");
    EXPECT_EQ(choices.Get("PdfFolder"), "/tmp/a b=c");
    ASSERT_TRUE(choices.Set(RememberedChoices::kPrinter, "office").ok());
    EXPECT_EQ(ReadBytes(file),
              "Definition=TK539.def\r\nPdfFolder=/tmp/a b=c\r\nPrinter=office\r\nPrizes.TK539=1;2;3\r\n");
}

}  // namespace
