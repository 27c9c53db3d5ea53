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
#include "support/PrintJobSupport.h"

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
    // A run of 61.25 s across the wrap of the 32-bit millisecond count.
    bmtest::FakeClock clock_{{0x7FFFF000LL, 0x7FFFF000LL + 61'250}};
    bm::app::CheckerGame game_;
    std::unique_ptr<CheckerWindow> window_;
};

TEST_F(Checker, OpensWithTheLayoutOfItsGame)
{
    const struct {
        const char* window;
        bool bBon;
        int boxes, allBoxes;  // draw boxes visible, and made
        std::string hidden;   // captions and count labels not shown at load
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
        const auto shown = [&](const char* name) {
            return (" " + c.hidden + " ").find(" " + std::string(name) + " ") == std::string::npos;
        };
        for (const auto& tier : bm::CheckerByName(c.window).AllRows().tiers) {
            EXPECT_EQ(Shown(tier.captionName), shown(tier.captionName)) << tier.captionName;
            EXPECT_EQ(Shown(tier.countLabel), shown(tier.countLabel)) << tier.countLabel;
            EXPECT_EQ(Text(tier.countLabel), QStringLiteral("0"));
        }
        EXPECT_EQ(Ready(), "- - -");
    }
}

TEST_F(Checker, LoadedFileIsCountedAndARunShowsReportCountsAndTime)
{
    Open("frmChkwhl", true);
    Load(Wheel("bad.txt", "1,2,3,4,5,6\r\n\r\n1,2,3,4,5\r\n"));
    EXPECT_EQ(dialogs_.Said(), "Go Back: " + (dir_ / "wheel" / "bad.txt").string() +
                                   ": line 3 holds 5 numbers; a play of this game has 6");
    EXPECT_EQ(Ready(), "- - -");
    Load(Wheel("big.txt", bmtest::Wheel(1234)));
    EXPECT_EQ(dialogs_.shown().back().folder, QString::fromStdString((dir_ / "wheel").string()));
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("This file contains 1,234 picks. Click RUN to continue."));
    EXPECT_EQ(Ready(), "Run - file");
    dialogs_.Clear();

    Load(Wheel("w.txt", bmtest::kLottoWheel));
    // A bad box is refused before anything is read.
    Draw({"1", "2", "three", "4", "5", " 6 ", "7"});
    Click("cmdreset");
    EXPECT_EQ(dialogs_.Said(), "Go Back: Drawn number 3 \"three\" is not a number.");
    EXPECT_EQ(window_->focusWidget(), Get<QLineEdit>("txtN3"));  // the box to correct
    EXPECT_EQ(Report(), "");
    dialogs_.Clear();
    Draw({"1", "2", "3", "4", "5", " 6 ", "7"});
    Click("cmdreset");
    EXPECT_EQ(Report(), kLottoReport);
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Processing Completed In 1m 1.250s"));
    EXPECT_EQ(Text("lbldraw"), QStringLiteral("4"));
    for (const char* one : {"lblcnt0", "lblcnt3", "lblcnt5b", "lblcnt6"})
        EXPECT_EQ(Text(one), QStringLiteral("1")) << one;
    EXPECT_TRUE(Shown("lblcnt2"));
    EXPECT_EQ(Ready(), "Run Save file");
    EXPECT_EQ(dialogs_.Said(), "");

    // Saved with CR LF; the file is forgotten, so Run asks for it again.
    dialogs_.QueueFile(QString::fromStdString((dir_ / "Summary" / "week1").string()));
    Click("cmdsave");
    EXPECT_EQ(dialogs_.shown().at(0).folder, QString::fromStdString((dir_ / "Summary").string()));
    EXPECT_EQ(bmtest::ReadBytes(dir_ / "Summary" / "week1.txt"), bmtest::CrLf(kLottoReport));
    EXPECT_EQ(Ready(), "Run Save -");
    // A folder that cannot take the file: said, the report stays, nothing half-written.
    dialogs_.Clear();
    dialogs_.QueueFile(QString::fromStdString((dir_ / "gone" / "s.txt").string()));
    Click("cmdsave");
    EXPECT_NE(dialogs_.Said().find("s.txt"), std::string::npos);
    EXPECT_EQ(Report(), kLottoReport);
    EXPECT_FALSE(fs::exists(dir_ / "gone"));

    // Again against another draw: fresh counts.
    const QString wheel = Wheel("w.txt", bmtest::kLottoWheel);
    Load(wheel);
    Draw({"20", "21", "22", "23", "24", "25", "1"});
    Click("cmdreset");
    EXPECT_NE(Report().find("***MATCH-6*** For This Draw At Line 4\n\nMatch 0 - 3 "), std::string::npos) << Report();
    EXPECT_EQ(Text("lblcnt3"), QStringLiteral("0"));
    // Neither over the ticket file just checked nor among the definitions.
    for (const QString& target : {wheel, QString::fromStdString((dir_ / "Defs" / "s.txt").string())}) {
        dialogs_.Clear();
        dialogs_.QueueFile(target);
        Click("cmdsave");
        EXPECT_NE(dialogs_.Said().find("The summary was not saved"), std::string::npos) << dialogs_.Said();
    }
    EXPECT_EQ(bmtest::ReadBytes(wheel.toStdString()), bmtest::kLottoWheel);
    EXPECT_FALSE(fs::exists(dir_ / "Defs" / "s.txt"));
}

TEST_F(Checker, EscapeAnsweredYesStopsWithTheCountsSoFar)
{
    Open("frmChkwhl5", false);
    Load(Wheel("five.txt", "1,2,3,9,9\r\n1,2,3,4,9\r\n1,2,3,4,5\r\n"));
    // Seen at the first look after the first play.
    dialogs_.QueueAnswer(Answer::Yes);
    PressEscapeAndRun();
    EXPECT_EQ(dialogs_.Said(), "User Interrupt Request: Current count is 1\nDo You Want To Abort This Operation?");
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Operation Aborted By User At Line  After 61.250 Seconds"));
    EXPECT_EQ(Text("lblcnt3"), QStringLiteral("1"));
    EXPECT_EQ(Text("lblcnt4"), QStringLiteral("0"));
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

// The ticket file is counted at Load File and read again at Run: a file changed in between
// stops the run without a summary of plays that were not counted (the reader holds the rest).
TEST_F(Checker, FileChangedSinceLoadingStopsTheRunWithoutASummary)
{
    Open("frmChkwhl", true);
    Draw({"1", "2", "3", "4", "5", "6", "7"});
    const QString file = Wheel("w.txt", bmtest::kLottoWheel);
    Load(file);
    Wheel("w.txt", std::string(bmtest::kLottoWheel) + "7,8,9,10,11,12\r\n");
    Click("cmdreset");
    EXPECT_EQ(dialogs_.Said(), "Go Back: " + file.toStdString() +
                                   ": changed since it was loaded; it now holds 5 picks instead of 4. Load it again.");
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("The check stopped: the ticket file has a fault."));
    EXPECT_EQ(Report().find("Total Plays"), std::string::npos);
    EXPECT_EQ(Ready(), "Run - -");
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
    EXPECT_FALSE(Shown("txtN6"));
    EXPECT_NE(Report().find("***JACKPOT*** For This Draw At Line 2\n\nMatch 0 - 1\nMatch 1 - 0\n"), std::string::npos)
        << Report();
}

TEST(CheckerInMainWindow, DefinitionLabelFollowsTheMainWindow)
{
    bmtest::ProgramHome home({"LO649", "CD649"});
    bmtest::MainWindowRig rig(home);
    bm::app::RegisterCheckers(rig.windows);
    rig.Choose("LO649.def");
    rig.Click("cmdChkTick");
    QWidget* checker = bm::app::FindForm(QStringLiteral("frmChkwhl"));
    ASSERT_NE(checker, nullptr);
    auto* lot = checker->findChild<QLabel*>(QStringLiteral("lblLot"));
    EXPECT_EQ(lot->text(), QStringLiteral("LO649"));
    rig.Choose("CD649.def");
    EXPECT_EQ(lot->text(), QStringLiteral("CD649"));
    bm::app::CloseOtherForms(rig.window.get());
}

}  // namespace
