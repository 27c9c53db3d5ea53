#include <functional>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"
#include "checking/CheckTestSupport.h"
#include "checking/window/CheckerWindow.h"
#include "checking/window/Checkers.h"
#include "checking/window/ReportBox.h"

namespace {

namespace fs = std::filesystem;
using bm::app::Answer;
using bm::app::CheckerWindow;
using bmtest::kLottoReport;
using bmtest::ScriptedDialogs;

// A checker on a program folder of its own, with a current definition the test changes.
class Checker : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_.makeProgramFolder();
        fs::remove(dir_ / "Summary");
        bm::app::SetTimerClock(&clock_);
    }
    void TearDown() override
    {
        window_.reset();
        bm::app::SetTimerClock(nullptr);
    }

    CheckerWindow& Open(const char* windowName, bool bBon, const char* lottery = "LO649")
    {
        game_ = {lottery, 49, bBon};
        window_ = std::make_unique<CheckerWindow>(bm::CheckerByName(windowName), bm::ProgramFolder(dir_.path()),
                                                  [this] { return game_; }, CheckerWindow::Options{0, 0, 1});
        return *window_;
    }
    template <typename T>
    T* Get(const std::string& name) const
    {
        auto* w = window_->findChild<T*>(QString::fromStdString(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString Text(const char* label) const { return Get<QLabel>(label)->text(); }
    bool Shown(const std::string& name) const { return !Get<QWidget>(name)->isHidden(); }
    void Click(const char* button) { QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton); }
    // What the user can go on with: "Run", "Save Summary", and whether a ticket file is loaded.
    std::string Ready() const
    {
        std::string r = Get<QPushButton>("cmdreset")->isEnabled() ? "Run" : "-";
        r += Get<QPushButton>("cmdsave")->isEnabled() ? " Save" : " -";
        return r + (window_->ticketFile().isEmpty() ? " -" : " file");
    }
    QString Wheel(const std::string& name, const std::string& text)
    {
        bmtest::WriteBytes(dir_ / "wheel" / name, text);
        return QString::fromStdString((dir_ / "wheel" / name).string());
    }
    void Load(const QString& file)
    {
        dialogs_.QueueFile(file);
        Click("cmdGo");
    }
    void Draw(const std::vector<const char*>& numbers)
    {
        for (std::size_t i = 0; i < numbers.size(); ++i)
            Get<QLineEdit>("txtN" + std::to_string(i + 1))->setText(QString::fromLatin1(numbers[i]));
    }
    std::string Report() const { return Get<bm::app::ReportBox>("rtbreport")->Text(); }
    // Escape waits in the event queue until the run lets events through; the click is made
    // directly, as a simulated mouse click would deliver the key before the run starts.
    void PressEscapeAndRun()
    {
        window_->show();
        QApplication::setActiveWindow(window_.get());
        QCoreApplication::postEvent(window_.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        Get<QPushButton>("cmdreset")->click();
    }

    bmtest::TempDir dir_;
    ScriptedDialogs dialogs_;
    bmtest::FakeClock clock_{{1000, 62250}};
    bm::app::CheckerGame game_;
    std::unique_ptr<CheckerWindow> window_;
};

TEST_F(Checker, OpensWithTheLayoutOfItsGame)
{
    const struct {
        const char* window;
        bool bBon;
        int boxes;           // visible draw boxes
        int allBoxes;        // design boxes
        std::string hidden;  // captions and count labels not shown at load
    } cases[] = {
        {"frmChkwhl", true, 7, 7, "lblcnt0 lblcnt1 lblcnt2"},
        {"frmChkwhl", false, 6, 7, "Label7 lblcnt0 lblcnt1 lblcnt2 lblcnt5b"},
        {"frmChkwhl7", true, 8, 8, "lblcnt0 lblcnt1 lblcnt2"},
        {"frmChkwhlPB", false, 6, 6, "lblcnt0 lblcnt0b lblcnt1 lblcnt1b lblcnt2 lblcnt2b"},
        {"frmChkwhl5", true, 6, 6, "lblcnt0 lblcnt0b lblcnt1 lblcnt1b lblcnt2 lblcnt2b"},
        {"frmChkwhl5", false, 5, 6,
         "Label0b Label1b Label2b Label3b Label4b "
         "lblcnt0 lblcnt0b lblcnt1 lblcnt1b lblcnt2 lblcnt2b lblcnt3b lblcnt4b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.window) + (c.bBon ? " with bonus" : ""));
        EXPECT_EQ(Open(c.window, c.bBon, "NY649").objectName(), QString::fromLatin1(c.window));
        EXPECT_EQ(Text("lblHead"), QStringLiteral("Enter %1 Drawn Numbers Below").arg(c.boxes));
        EXPECT_EQ(Text("lblLot"), QStringLiteral("NY649"));
        for (int i = 1; i <= c.allBoxes; ++i) {
            const std::string name = "txtN" + std::to_string(i);
            EXPECT_EQ(Get<QLineEdit>(name)->text(), QString::number(i));
            EXPECT_EQ(Shown(name), i <= c.boxes) << name;
        }
        EXPECT_EQ(window_->findChild<QLineEdit*>(QStringLiteral("txtN%1").arg(c.allBoxes + 1)), nullptr);
        const auto shown = [&](const char* name) {
            return (" " + c.hidden + " ").find(" " + std::string(name) + " ") == std::string::npos;
        };
        for (const auto& tier : bm::CheckerByName(c.window).AllRows().tiers) {
            EXPECT_EQ(Shown(tier.captionName), shown(tier.captionName)) << tier.captionName;
            EXPECT_EQ(Shown(tier.countLabel), shown(tier.countLabel)) << tier.countLabel;
            EXPECT_EQ(Text(tier.countLabel), QStringLiteral("0"));
        }
        EXPECT_EQ(Text("lbldraw"), QStringLiteral("0"));
        EXPECT_EQ(Ready(), "- - -");
    }
}

TEST_F(Checker, LoadFileCountsThePlaysOrRefusesTheFile)
{
    Open("frmChkwhl", true);
    std::string big;
    for (int i = 0; i < 1234; ++i)
        big += "1,2,3,4,5,6\r\n";
    Load(Wheel("big.txt", big));
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    const auto& open = dialogs_.shown()[0];
    EXPECT_EQ(open.title, QStringLiteral("Open Wheel File"));
    EXPECT_EQ(open.filter, QStringLiteral("Text Files (*.txt)"));
    EXPECT_EQ(open.folder, QString::fromStdString((dir_ / "wheel").string()));
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("This file contains 1,234 picks. Click RUN to continue."));
    EXPECT_TRUE(Shown("lblstatus"));
    EXPECT_EQ(Ready(), "Run - file");

    Load(Wheel("empty.txt", ""));
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("This file contains  picks. Click RUN to continue."));
    EXPECT_EQ(Ready(), "Run - file");
    EXPECT_EQ(dialogs_.Said(), "");

    Load(Wheel("bad.txt", "1,2,3,4,5,6\r\n\r\n1,2,3,4,5\r\n"));
    EXPECT_EQ(dialogs_.Said(), "Go Back: " + (dir_ / "wheel" / "bad.txt").string() +
                                   ": line 3 holds 5 numbers; a play of this game has 6");
    EXPECT_EQ(Ready(), "- - -");

    // Cancelling forgets the file that was loaded.
    Load(Wheel("empty.txt", ""));
    dialogs_.Clear();
    Load(QString());
    EXPECT_EQ(Ready(), "- - -");
    EXPECT_EQ(dialogs_.Said(), "");
}

TEST_F(Checker, CompletedRunShowsReportCountsAndTime)
{
    Open("frmChkwhl", true);
    Load(Wheel("w.txt", bmtest::kLottoWheel));
    Draw({"1", "2", "3", "4", "5", " 6 ", "7"});
    Click("cmdreset");
    EXPECT_EQ(Report(), kLottoReport);
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Processing Completed In 1m 1.250s"));
    EXPECT_EQ(Text("lbldraw"), QStringLiteral("4"));
    for (const char* one : {"lblcnt0", "lblcnt3", "lblcnt5b", "lblcnt6"})
        EXPECT_EQ(Text(one), QStringLiteral("1")) << one;
    EXPECT_TRUE(Shown("lblcnt0"));
    EXPECT_TRUE(Shown("lblcnt2"));
    EXPECT_EQ(Ready(), "Run Save file");
    EXPECT_EQ(dialogs_.Said(), "");

    // Again against another draw, same file, fresh counts.
    Draw({"20", "21", "22", "23", "24", "25", "1"});
    Click("cmdreset");
    EXPECT_NE(Report().find("***MATCH-6*** For This Draw At Line 4\n\nMatch 0 - 3 "), std::string::npos) << Report();
    EXPECT_EQ(Text("lblcnt3"), QStringLiteral("0"));

    // Load File after a completed check clears the display but leaves Save Summary enabled.
    Load(Wheel("w.txt", bmtest::kLottoWheel));
    EXPECT_EQ(Report(), "");
    EXPECT_EQ(Text("lblcnt6"), QStringLiteral("0"));
    EXPECT_EQ(Ready(), "Run Save file");
}

TEST_F(Checker, RunWithoutAFileOffersLoadFileFirst)
{
    Open("frmChkwhl7", true);
    // After a save no file is loaded, yet "Run" stays enabled.
    const auto saveCancelled = [&] {
        dialogs_.QueueFile(QString());
        Click("cmdsave");
        EXPECT_EQ(Ready(), "Run Save -");
        dialogs_.Clear();
    };
    Load(Wheel("empty.txt", ""));
    Click("cmdreset");
    saveCancelled();

    // Choosing a file in the offered dialog goes straight on with the run.
    dialogs_.QueueFile(Wheel("seven.txt", "1,2,3,4,5,6,7\r\n"));
    Click("cmdreset");
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    EXPECT_EQ(dialogs_.shown()[0].title, QStringLiteral("Open Wheel File"));
    EXPECT_NE(Report().find("***MATCH-7*** For This Draw At Line 1\n"), std::string::npos) << Report();
    EXPECT_NE(Report().find("Match 7 - 1\n"), std::string::npos);

    saveCancelled();
    dialogs_.QueueFile(QString());
    Click("cmdreset");
    EXPECT_EQ(dialogs_.Said(), "Brindlemark: You MUST load a file in order to continue.");
    EXPECT_EQ(Report(), "");
    EXPECT_EQ(Ready(), "- - -");
}

TEST_F(Checker, BadDrawBoxIsRefusedBeforeAnythingIsReadAndFocused)
{
    Open("frmChkwhlPB", false);
    window_->show();
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    EXPECT_TRUE(Get<QLineEdit>("txtN1")->hasFocus());
    Load(Wheel("pb.txt", "1,2,3,4,5,6\r\n"));
    // As a real message box would, the refusal takes the activation away and gives it back.
    QWidget other;
    other.show();
    dialogs_.OnShown([&](const ScriptedDialogs::Shown&) { QApplication::setActiveWindow(&other); });
    const struct {
        std::vector<const char*> draw;
        const char *said, *focus;
    } cases[] = {
        {{"1", "2", "three", "4", "5", "6"}, "Go Back: Drawn number 3 \"three\" is not a number.", "txtN3"},
        {{"1", "2", "3", "4", "5", ""},
         "Go Back: The powerball number (box 6) is empty. Type the number that was drawn.", "txtN6"},
    };
    for (const auto& c : cases) {
        Draw(c.draw);
        dialogs_.Clear();
        Click("cmdreset");
        QApplication::setActiveWindow(window_.get());
        EXPECT_EQ(dialogs_.Said(), c.said);
        EXPECT_TRUE(Get<QLineEdit>(c.focus)->hasFocus()) << c.focus;
        EXPECT_EQ(Report(), "");
        EXPECT_FALSE(Shown("lblstatus"));
    }
    dialogs_.OnShown(nullptr);
    // Back from another window of the program, the first box has the focus again.
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(window_.get());
    EXPECT_TRUE(Get<QLineEdit>("txtN1")->hasFocus());
}

TEST_F(Checker, EscapeAnsweredYesStopsWithTheCountsSoFar)
{
    Open("frmChkwhl5", false);
    Load(Wheel("five.txt", "1,2,3,9,9\r\n1,2,3,4,9\r\n1,2,3,4,5\r\n"));
    // Seen at the first look after the first play.
    dialogs_.QueueAnswer(Answer::Yes);
    PressEscapeAndRun();
    EXPECT_EQ(dialogs_.Said(), "User Interrupt Request: Current count is 1\nDo You Want To Abort This Operation?");
    EXPECT_EQ(dialogs_.messages().at(0).buttons, bm::app::Buttons::YesNo);
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Operation Aborted By User At Line  After 61.250 Seconds"));
    EXPECT_EQ(Text("lblcnt3"), QStringLiteral("1"));
    EXPECT_EQ(Text("lblcnt4"), QStringLiteral("0"));
    EXPECT_EQ(Text("lbldraw"), QStringLiteral("0"));
    EXPECT_TRUE(Shown("lblcnt0"));
    EXPECT_EQ(Report(), "Lottery: LO649\nTicket File: five.txt\nChecking 3 Picks Against Above Draw Results\n\n"
                        "Match-3 For This Draw At Line 1\n");
    EXPECT_EQ(Ready(), "Run - -");
}

TEST_F(Checker, EscapeAnsweredNoGoesOnAndTheWindowIsCurrentMeanwhile)
{
    Open("frmChkwhl", true);
    Load(Wheel("w.txt", bmtest::kLottoWheel));
    Draw({"1", "2", "3", "4", "5", "6", "7"});
    std::string atQuestion;
    dialogs_.OnShown([&](const ScriptedDialogs::Shown&) {
        atQuestion = (Text("lbldraw") + " " + Text("lblcnt3")).toStdString() + " " + Report();
    });
    dialogs_.QueueAnswer(Answer::No);
    PressEscapeAndRun();
    ASSERT_EQ(dialogs_.messages().size(), 1u);
    // The counts, "Lines Checked" and the report lines so far were shown before the question.
    EXPECT_EQ(atQuestion.substr(0, 4), "1 1 ");
    EXPECT_EQ(atQuestion.substr(atQuestion.size() - 32), "Match-3 For This Draw At Line 1\n");
    EXPECT_EQ(Report(), kLottoReport);
    EXPECT_EQ(Ready(), "Run Save file");
}

TEST_F(Checker, SaveSummaryWritesTheReportBoxAndForgetsTheFile)
{
    Open("frmChkwhl", true);
    Load(Wheel("w.txt", bmtest::kLottoWheel));
    Draw({"1", "2", "3", "4", "5", "6", "7"});
    Click("cmdreset");
    // A cancelled save still makes the summary folder, and writes nothing.
    ASSERT_FALSE(fs::exists(dir_ / "Summary"));
    dialogs_.QueueFile(QString());
    Click("cmdsave");
    EXPECT_TRUE(fs::is_directory(dir_ / "Summary"));
    EXPECT_TRUE(fs::is_empty(dir_ / "Summary"));

    dialogs_.Clear();
    dialogs_.QueueFile(QString::fromStdString((dir_ / "Summary" / "week1").string()));
    Click("cmdsave");
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    EXPECT_EQ(dialogs_.shown()[0].title, QStringLiteral("Save Summary File"));
    EXPECT_EQ(dialogs_.shown()[0].folder, QString::fromStdString((dir_ / "Summary").string()));
    EXPECT_EQ(dialogs_.shown()[0].suffix, QStringLiteral("txt"));
    EXPECT_EQ(bmtest::ReadBytes(dir_ / "Summary" / "week1.txt"), bmtest::CrLf(kLottoReport));
    // The file is forgotten: Run asks for it again (see RunWithoutAFileOffersLoadFileFirst).
    EXPECT_EQ(Ready(), "Run Save -");

    // A folder that cannot take the file: said, the report stays, nothing half-written.
    dialogs_.Clear();
    dialogs_.QueueFile(QString::fromStdString((dir_ / "gone" / "s.txt").string()));
    Click("cmdsave");
    ASSERT_EQ(dialogs_.messages().size(), 1u);
    EXPECT_NE(dialogs_.Said().find("s.txt"), std::string::npos);
    EXPECT_EQ(Report(), kLottoReport);
    EXPECT_FALSE(fs::exists(dir_ / "gone"));
}

// The ticket file is counted at Load File and read again at Run: whatever happens to it in
// between, Run must neither crash nor report a completed check of a file it did not read.
TEST_F(Checker, FileChangedSinceLoadingStopsTheRunWithoutASummary)
{
    const std::string wheel = bmtest::kLottoWheel;
    const struct {
        const char* what;
        std::function<void(const fs::path&)> change;
        std::string said;  // the refusal, after the file's path
    } cases[] = {
        {"deleted", [](const fs::path& f) { fs::remove(f); }, ": cannot be opened (No such file or directory)"},
        {"spoilt", [&](const fs::path& f) { bmtest::WriteBytes(f, wheel + "1,2,3,x,5,6\r\n"); },
         ": line 6: \"x\" is not a whole number"},
        {"one play more", [&](const fs::path& f) { bmtest::WriteBytes(f, wheel + "7,8,9,10,11,12\r\n"); },
         ": changed since it was loaded; it now holds 5 picks instead of 4. Load it again."},
        {"fewer plays", [](const fs::path& f) { bmtest::WriteBytes(f, "1,2,3,4,5,6\r\n"); },
         ": changed since it was loaded; it now holds 1 picks instead of 4. Load it again."},
        {"a folder in its place", [](const fs::path& f) { fs::remove(f); fs::create_directory(f); },
         ": is a folder, not a wheel file"},
    };
    Open("frmChkwhl", true);
    Draw({"1", "2", "3", "4", "5", "6", "7"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir_ / "wheel" / "w.txt");
        const QString file = Wheel("w.txt", wheel);
        Load(file);
        ASSERT_EQ(Ready(), "Run - file");
        c.change(file.toStdString());
        dialogs_.Clear();
        Click("cmdreset");
        EXPECT_EQ(dialogs_.Said(), "Go Back: " + file.toStdString() + c.said);
        EXPECT_EQ(dialogs_.unanswered(), 0);
        EXPECT_EQ(Text("lblstatus"), QStringLiteral("The check stopped: the ticket file has a fault."));
        EXPECT_EQ(Report().find("Total Plays"), std::string::npos);
        EXPECT_EQ(Ready(), "Run - -");
    }
}

TEST_F(Checker, BonusLayoutFollowsTheDefinitionAtEveryRun)
{
    Open("frmChkwhl5", true);
    Load(Wheel("t.txt", "6,11,12,13,14\r\n1,2,3,4,5\r\n"));
    Draw({"1", "2", "3", "4", "5", "6"});
    Click("cmdreset");
    EXPECT_NE(Report().find("Match-0+Bonus For This Draw At Line 1\n"), std::string::npos) << Report();
    EXPECT_NE(Report().find("Match 0+ - 1\n"), std::string::npos);
    EXPECT_TRUE(Shown("txtN6"));

    // The main window chose a game without bonus: the next run reads five boxes only.
    game_.bBon = false;
    Get<QLineEdit>("txtN6")->setText(QStringLiteral("not read"));
    Click("cmdreset");
    EXPECT_EQ(Text("lblHead"), QStringLiteral("Enter 5 Drawn Numbers Below"));
    for (const char* hidden : {"txtN6", "Label0b", "lblcnt3b"})
        EXPECT_FALSE(Shown(hidden)) << hidden;
    EXPECT_EQ(Report().find("Match 0+"), std::string::npos);
    EXPECT_NE(Report().find("***JACKPOT*** For This Draw At Line 2\n\nMatch 0 - 1\nMatch 1 - 0\n"), std::string::npos)
        << Report();
    EXPECT_EQ(dialogs_.Said(), "");
}

TEST(CheckerInMainWindow, DefinitionLabelFollowsTheMainWindow)
{
    bmtest::ProgramHome home({"LO649", "CD649", "TK539"});
    bmtest::MainWindowRig rig(home);
    bm::app::RegisterCheckers(rig.windows);
    const auto open = [&](const char* listed, const char* window) {
        rig.Choose(listed);
        rig.Click("cmdChkTick");
        QWidget* w = bm::app::FindForm(QString::fromLatin1(window));
        return w ? w->findChild<QLabel*>(QStringLiteral("lblLot")) : nullptr;
    };
    QLabel* lot = open("LO649.def", "frmChkwhl");
    ASSERT_NE(lot, nullptr);
    EXPECT_EQ(lot->text(), QStringLiteral("LO649"));
    rig.Choose("CD649.def");
    EXPECT_EQ(lot->text(), QStringLiteral("CD649"));

    // The 5-number checker shows the name it had until its next run.
    QLabel* fiveLot = open("TK539.def", "frmChkwhl5");
    ASSERT_NE(fiveLot, nullptr);
    EXPECT_EQ(fiveLot->text(), QStringLiteral("TK539"));
    rig.Choose("LO649.def");
    EXPECT_EQ(fiveLot->text(), QStringLiteral("TK539"));
    home.WriteWheel("t.txt", "1,2,3,4,5\r\n");
    rig.dialogs.QueueFile(QString::fromStdString(home.wheel("t.txt").string()));
    QWidget* five = fiveLot->window();
    QTest::mouseClick(five->findChild<QPushButton*>(QStringLiteral("cmdGo")), Qt::LeftButton);
    EXPECT_EQ(fiveLot->text(), QStringLiteral("TK539"));
    QTest::mouseClick(five->findChild<QPushButton*>(QStringLiteral("cmdreset")), Qt::LeftButton);
    EXPECT_EQ(fiveLot->text(), QStringLiteral("LO649"));
    bm::app::CloseOtherForms(rig.window.get());
}

}  // namespace
