#include <functional>
#include <set>
#include <sstream>

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <gtest/gtest.h>

#include "checking/DrawEntry.h"

#include "app/AppTestSupport.h"
#include "checking/CheckTestSupport.h"
#include "checking/window/CheckerNames.h"
#include "checking/window/CheckerWindow.h"
#include "checking/window/HistoryWindow.h"
#include "checking/window/ReportBox.h"
#include "support/PrintJobSupport.h"
#include "windowing/window/Module1.h"
#include "windowing/window/WindowManners.h"

namespace {

namespace fs = std::filesystem;
using bm::app::Answer;
using bm::app::CheckerWindow;
using bmtest::kLottoReport;
using bmtest::ScriptedDialogs;

// The main window's choice as a checker sees it: the definition the test sets, with no file.
class FakeChoice : public bm::DefinitionChoice {
public:
    FakeChoice(const std::filesystem::path& home, const bm::app::CheckerGame& game) : folder_(home), game_(game) {}
    const bm::ProgramFolder& Folder() const override { return folder_; }
    bm::Result<bm::ChosenDefinition> ReadChosen() override
    {
        bm::SlipDefinition d;
        d.Pool = game_.pool;
        d.bBon = game_.bBon;
        return bm::ChosenDefinition{folder_.definitionFile(game_.lotteryName), game_.lotteryName + ".def",
                                    game_.lotteryName, d};
    }
    std::shared_ptr<void> Listen(std::function<void()>) override { return nullptr; }
    void DefinitionsWritten() override {}

private:
    bm::ProgramFolder folder_;
    const bm::app::CheckerGame& game_;
};

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
        game_ = {{}, lottery, 49, bBon};
        window_ = std::make_unique<CheckerWindow>(bm::CheckerByWindowName(windowName), choice_,
                                                  CheckerWindow::Options{0, 0, 1});
        return *window_;
    }
    template <typename T>
    T* Get(const std::string& name) const
    {
        auto* w = window_->findChild<T*>(QString::fromStdString(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // As shown: the Alt key's mark is no part of the words.
    QString Text(const char* label) const { return Get<QLabel>(label)->text().remove(QLatin1Char('&')); }
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
    FakeChoice choice_{dir_.path(), game_};
    std::unique_ptr<CheckerWindow> window_;
};

TEST_F(Checker, OpensWithTheLayoutOfItsGame)
{
    const struct {
        const char* window;
        bool bBon;
        int boxes, allBoxes;  // draw boxes visible, and made
        std::string rows;     // the tier rows shown, top to bottom, by their captions ("5+" for
                              // "Match 5+"); a "-" after one whose count is hidden at load
    } cases[] = {
        {"frmChkwhl", true, 7, 7, "0- 1- 2- 3 4 5 5+ Jackpot!"},
        {"frmChkwhl", false, 6, 7, "0- 1- 2- 3 4 5 Jackpot!"},
        {"frmChkwhl7", true, 8, 8, "0- 1- 2- 3 3+ 4 5 6 6+ Jackpot!"},
        {"frmChkwhlPB", false, 6, 6, "0- 0+- 1- 1+- 2- 2+- 3 3+ 4 4+ 5 Jackpot!"},
        {"frmChkwhl5", true, 6, 6, "0- 0+- 1- 1+- 2- 2+- 3 3+ 4 4+ Jackpot!"},
        {"frmChkwhl5", false, 5, 6, "0- 1- 2- 3 4 Jackpot!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.window) + (c.bBon ? " with bonus" : ""));
        EXPECT_EQ(Open(c.window, c.bBon, "NY649").objectName(), QString::fromLatin1(c.window));
        EXPECT_EQ(Text("lblHead"), QStringLiteral("Enter %1 Drawn Numbers Below").arg(c.boxes));
        EXPECT_EQ(Text("lblLot"), QStringLiteral("NY649"));
        for (int i = 1; i <= c.allBoxes; ++i) {
            const std::string name = "txtN" + std::to_string(i);
            EXPECT_EQ(Get<QLineEdit>(name)->text(), QString());  // Run asks for the draw
            EXPECT_EQ(Shown(name), i <= c.boxes) << name;
        }
        std::string shown, expected;
        const auto& variant = bm::CheckerByWindowName(c.window);
        for (const auto& tier : variant.AllRows().tiers) {
            const std::string count = bm::CountLabelName(tier).toStdString();
            const std::string caption = bm::CaptionName(variant, tier).toStdString();
            EXPECT_EQ(Text(count.c_str()), QStringLiteral("0"));
            if (Shown(caption) || Shown(count))
                shown += Text(caption.c_str()).toStdString() + (Shown(count) ? ", " : "-, ");
        }
        std::istringstream words(c.rows);
        for (std::string w; words >> w;)
            expected += (w == "Jackpot!" ? w : "Match " + w) + ", ";
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(Ready(), "- - -");
        // The extra number's box is known by more than its colour: a label, a tooltip and a name
        // for screen readers.
        const auto& game = bm::CheckerByWindowName(c.window).Game(c.bBon);
        const char* extra = game.extra == bm::ExtraNumber::Powerball ? "Powerball:"
                            : game.extra == bm::ExtraNumber::Bonus   ? "Bonus:"
                                                                     : "";
        EXPECT_EQ(Shown("lblExtra"), *extra != '\0');
        if (*extra) {
            EXPECT_EQ(Text("lblExtra").remove(QLatin1Char('&')), QString::fromLatin1(extra));
            auto* box = Get<QLineEdit>("txtN" + std::to_string(c.boxes));
            const QString name = QString::fromStdString(bm::DrawBoxName(game, c.boxes));
            EXPECT_EQ(box->accessibleName(), name);
            EXPECT_EQ(box->toolTip(), name);
            EXPECT_TRUE(name.contains(QString::fromLatin1(extra).chopped(1), Qt::CaseInsensitive))
                << name.toStdString();
        }
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

    // A play that is no ticket of the game is refused as a malformed line is.
    Load(Wheel("twice.txt", "# method: test\r\n1,2,3,4,5,6\r\n1,1,1,1,1,1\r\n"));
    EXPECT_EQ(dialogs_.Said(), "Go Back: " + (dir_ / "wheel" / "twice.txt").string() + ": line 3: 1 is given twice");
    EXPECT_EQ(Ready(), "- - -");
    dialogs_.Clear();

    Load(Wheel("w.txt", bmtest::kLottoWheel));
    // A bad box, or a draw that cannot happen, is refused before anything is read; the focus
    // goes to the box to correct.
    const struct {
        std::vector<const char*> draw;
        const char* said;
        const char* box;
    } refused[] = {
        {{"", "", "", "", "", "", ""}, "Drawn number 1 is empty. Type the number that was drawn.", "txtN1"},
        {{"1", "2", "three", "4", "5", " 6 ", "7"}, "Drawn number 3 \"three\" is not a number.", "txtN3"},
        {{"1", "2", "3", "4", "5", "6", "2"},
         "The bonus number (box 7) is 2, the same as drawn number 2; the bonus is drawn from the numbers left.",
         "txtN7"},
        {{"1", "2", "3", "4", "5", "50", "7"},
         "Drawn number 6 is 50; the numbers of this game run from 1 to 49.",
         "txtN6"},
    };
    for (const auto& r : refused) {
        Draw(r.draw);
        Get<QLineEdit>("txtN2")->setFocus();
        Click("cmdreset");
        EXPECT_EQ(dialogs_.Said(), std::string("Go Back: ") + r.said);
        EXPECT_EQ(window_->focusWidget(), Get<QLineEdit>(r.box));
        EXPECT_EQ(Report(), "");
        dialogs_.Clear();
    }
    Draw({"1", "2", "3", "4", "5", " 6 ", "7"});
    // Real mouse clicks on Load File and Close during the run are held back; a Run that gets
    // through (the program's own click) starts no second run.
    bool inRun = false;
    QTimer::singleShot(0, window_.get(), [&] {
        inRun = window_->running();
        for (const char* button : {"cmdGo", "cmdxit"})
            Click(button);
        Get<QPushButton>("cmdreset")->click();
    });
    Click("cmdreset");
    EXPECT_TRUE(inRun);
    EXPECT_EQ(Report(), kLottoReport);
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Processing Completed In 1m 1.250s"));
    EXPECT_EQ(Text("lbldraw"), QStringLiteral("4"));
    for (const char* one : {"lblcnt0", "lblcnt3", "lblcnt5b", "lblcnt6"})
        EXPECT_EQ(Text(one), QStringLiteral("1")) << one;
    EXPECT_TRUE(Shown("lblcnt2"));
    EXPECT_EQ(Ready(), "Run Save file");
    EXPECT_EQ(dialogs_.Said(), "");

    // Saved with CR LF; the ticket file stays loaded for the next Run.
    dialogs_.QueueFile(dir_ / "Summary" / "week1");
    Click("cmdsave");
    EXPECT_EQ(dialogs_.shown().at(0).folder, QString::fromStdString((dir_ / "Summary").string()));
    EXPECT_EQ(bmtest::ReadBytes(dir_ / "Summary" / "week1.txt"), bmtest::CrLf(kLottoReport));
    EXPECT_EQ(Ready(), "Run Save file");
    // A folder that cannot take the file: said, the report stays, nothing half-written.
    dialogs_.Clear();
    dialogs_.QueueFile(dir_ / "gone" / "s.txt");
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

// Save Summary saves a finished run's report and nothing else: once Load File (or its cancel)
// has emptied the report box there is nothing to save, in every checker window.
// The powerball is drawn from its own pool: the marks file's second pool where there is one,
// else it cannot be above the main pool; the refusal names the box and moves the focus there.
TEST_F(Checker, APowerballOutsideItsPoolIsRefusedNamingTheBox)
{
    bmtest::WriteBytes(dir_ / "Defs" / "PW549.marks", "[Second]\nPool=26\nPick=1\nLeft=0\nTop=60\nColumns=9\n"
                                                      "Width=4\nHeight=3\nAcross=5.2\nDown=4.5\n");
    const struct {
        const char* lottery;
        const char* powerball;
        const char* said;
    } cases[] = {
        {"PW549", "99", "The powerball number (box 6) is 99; the powerballs of this game run from 1 to 26."},
        {"PW549", "27", "The powerball number (box 6) is 27; the powerballs of this game run from 1 to 26."},
        {"PB549", "99", "The powerball number (box 6) is 99; the powerballs of this game run from 1 to 49."},
        {"PW549", "26", ""},
        {"PB549", "49", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lottery) + " " + c.powerball);
        Open("frmChkwhlPB", false, c.lottery);
        Load(Wheel("pb.txt", "1,2,3,4,5,6\r\n"));
        dialogs_.Clear();
        Draw({"1", "2", "3", "4", "5", c.powerball});
        Get<QLineEdit>("txtN2")->setFocus();
        Click("cmdreset");
        EXPECT_EQ(dialogs_.Said(), *c.said ? std::string("Go Back: ") + c.said : std::string());
        if (*c.said)
            EXPECT_EQ(window_->focusWidget(), Get<QLineEdit>("txtN6"));
        else
            EXPECT_TRUE(Report().find("Checking 1 Picks") != std::string::npos) << Report();
    }
}

TEST_F(Checker, SaveSummaryOnlyWhileAFinishedReportIsShown)
{
    const struct {
        const char* name;
        const char* play;
        std::vector<const char*> draw;
    } windows[] = {
        {"frmChkwhl", "1,2,3,4,5,6", {"1", "2", "3", "4", "5", "6", "7"}},
        {"frmChkwhl5", "1,2,3,4,5", {"1", "2", "3", "4", "5", "6"}},
        {"frmChkwhl7", "1,2,3,4,5,6,7", {"1", "2", "3", "4", "5", "6", "7", "8"}},
        {"frmChkwhlPB", "1,2,3,4,5,6", {"1", "2", "3", "4", "5", "6"}},
    };
    for (const auto& [name, play, draw] : windows) {
        SCOPED_TRACE(name);
        Open(name, true);
        Load(Wheel("w.txt", std::string(play) + "\r\n"));
        Draw(draw);
        Click("cmdreset");
        ASSERT_EQ(Ready(), "Run Save file") << dialogs_.Said();
        Load(Wheel("w2.txt", std::string(play) + "\r\n"));
        EXPECT_EQ(Report(), "");
        EXPECT_FALSE(Get<QPushButton>("cmdsave")->isEnabled());
        dialogs_.QueueFile(QString());  // Load File cancelled
        Click("cmdGo");
        EXPECT_EQ(Ready(), "- - -");
    }
}

TEST_F(Checker, EscapeAnsweredYesStopsWithTheCountsSoFar)
{
    Open("frmChkwhl5", false);
    Load(Wheel("five.txt", "1,2,3,9,10\r\n1,2,3,4,9\r\n1,2,3,4,5\r\n"));
    Draw({"1", "2", "3", "4", "5"});
    // Seen at the first look after the first play.
    dialogs_.QueueAnswer(Answer::Yes);
    PressEscapeAndRun();
    EXPECT_EQ(dialogs_.Said(), "User Interrupt Request: Current count is 1\nDo You Want To Abort This Operation?");
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Operation Aborted By User At Line  After 61.250 Seconds"));
    EXPECT_EQ(Text("lblcnt3"), QStringLiteral("1"));
    EXPECT_EQ(Text("lblcnt4"), QStringLiteral("0"));
    EXPECT_EQ(Report(), "Lottery: LO649\nTicket File: five.txt\nDraw: 1 2 3 4 5\n"
                        "Checking 3 Picks Against Above Draw Results\n\n"
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

// The history of kLottoWheel against two draws, as the command line writes it.
const char* const kTwoDrawsCsv = "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins\n"
                                 "1982-06-12,1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3\n"
                                 "1982-06-16,1 2 3 10 11 13 +44,1,0,0,2,0,1,0,0,3\n"
                                 "Total,,2,0,0,3,0,1,1,1,6\n";

QString Cell(QTableWidget* table, int row, int column)
{
    return table->item(row, column)->text();
}

// Draw History: a bad draws file refused, Escape stops the run with no window, and a finished run
// shows the table in file order and sorted, the total row, the chart's marks, a row copied and
// Save CSV writing the command line's bytes.
TEST_F(Checker, DrawHistoryShowsEveryDrawSortsCopiesChartsAndSaves)
{
    Open("frmChkwhl", true);
    bmtest::WriteBytes(dir_ / "wheel/d.csv",
                       "Date;Numbers\r\n1982-06-12;1 2 3 4 5 6;7\r\n1982-06-16;1 2 3 10 11 13;44\r\n");
    bmtest::WriteBytes(dir_ / "wheel/bad.csv", "1982-06-12;1 2 3 4 5 6;6\r\n");
    const auto history = [&] { return window_->findChild<QWidget*>(QStringLiteral("frmHistory")); };
    Load(Wheel("w.txt", bmtest::kLottoWheel));

    dialogs_.QueueFile(dir_ / "wheel/bad.csv");
    Click("cmdHistory");
    EXPECT_EQ(dialogs_.Said(), "Go Back: " + (dir_ / "wheel/bad.csv").string() +
                                   ": line 1: The bonus number (box 7) is 6, the same as drawn number 6; the bonus is "
                                   "drawn from the numbers left.");
    dialogs_.Clear();

    // The bar is up and Escape is heard while the files are read.
    window_->show();
    QApplication::setActiveWindow(window_.get());
    bool barShown = false;
    QString statusWhileReading;
    QTimer::singleShot(0, window_.get(), [&] {
        barShown = Get<QWidget>("prgHistory")->isVisible();
        statusWhileReading = Text("lblstatus");
        QCoreApplication::postEvent(window_.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    dialogs_.QueueFile(dir_ / "wheel/d.csv");
    Get<QPushButton>("cmdHistory")->click();
    EXPECT_TRUE(barShown);
    EXPECT_EQ(statusWhileReading, QStringLiteral("Reading Draws File.... ESC Key Will Abort"));
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Draw History Stopped While Reading The Files"));
    EXPECT_EQ(history(), nullptr);

    dialogs_.QueueFile(dir_ / "wheel/d.csv");
    Click("cmdHistory");
    EXPECT_EQ(dialogs_.Said(), "");
    EXPECT_EQ(dialogs_.shown().back().folder, QString::fromStdString((dir_ / "wheel").string()));
    auto* window = dynamic_cast<bm::app::HistoryWindow*>(history());
    ASSERT_NE(window, nullptr);
    auto* table = window->findChild<QTableWidget*>(QStringLiteral("tblHistory"));
    auto* total = window->findChild<QTableWidget*>(QStringLiteral("tblTotal"));
    ASSERT_EQ(table->rowCount(), 2);
    ASSERT_EQ(table->columnCount(), 12);
    EXPECT_EQ(Cell(table, 0, 1), QStringLiteral("1 2 3 4 5 6 +7"));
    EXPECT_EQ(Cell(total, 0, 0) + "," + Cell(total, 0, 10), QStringLiteral("Total,6"));
    // Beside "Checked Against 2 Draws" the checker shows the counts of both draws, not of one.
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Checked Against 2 Draws"));
    EXPECT_EQ(Text("lblcnt0") + " " + Text("lblcnt3") + " " + Text("lblcnt6") + " " + Text("lbldraw"),
              QStringLiteral("2 3 1 8"));

    table->sortByColumn(7, Qt::DescendingOrder);  // Match 5
    EXPECT_EQ(Cell(table, 0, 0), QStringLiteral("1982-06-16"));
    table->selectRow(0);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1982-06-16,1 2 3 10 11 13 +44,1,0,0,2,0,1,0,0,3\n"));

    // Match 6 pays most: only the first draw hit it. The net money is not drawn without prizes.
    EXPECT_EQ(window->topDraws(), std::vector<std::size_t>{0});
    auto* chart = window->findChild<QChartView*>(QStringLiteral("chtHistory"));
    ASSERT_NE(chart, nullptr);
    const auto series = chart->chart()->series();
    ASSERT_EQ(series.size(), 4);
    EXPECT_EQ(static_cast<QScatterSeries*>(series[1])->count(), 1);
    EXPECT_FALSE(series[2]->isVisible());

    dialogs_.QueueFile(dir_ / "Summary/h");
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdSaveCsv")), Qt::LeftButton);
    EXPECT_EQ(bmtest::ReadBytes(dir_ / "Summary/h.csv"), kTwoDrawsCsv);
    EXPECT_EQ(dialogs_.unanswered(), 0);

    // Prizes for Match 3 and Match 6 and a price: the money of each draw, in all, and the cost of
    // 4 plays in 2 draws; the CSV stays the command line's. The next run's window has them again.
    const auto type = [&](QWidget* w, const char* box, const char* text) {
        QTest::keyClicks(w->findChild<QLineEdit*>(QString::fromLatin1(box)), QString::fromLatin1(text));
    };
    type(window, "txtPrize3", "10");
    type(window, "txtPrize7", "1000000.5");
    type(window, "txtPrice", "2.50");
    table->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(Cell(table, 0, 11) + " " + Cell(table, 1, 11) + " " + Cell(total, 0, 11),
              QStringLiteral("1,000,010.50 20.00 1,000,030.50"));
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("lblMoney"))->text(),
              QStringLiteral("Won 1,000,030.50 In 2 Draws; Cost 20.00 (4 Picks x 2 Draws x 2.50); Net 1,000,010.50"));
    table->sortByColumn(11, Qt::DescendingOrder);
    EXPECT_EQ(Cell(table, 0, 0), QStringLiteral("1982-06-12"));
    dialogs_.QueueFile(dir_ / "wheel/d.csv");
    Click("cmdHistory");
    auto* again = history();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->findChild<QLineEdit*>(QStringLiteral("txtPrize7"))->text(), QStringLiteral("1000000.50"));
    EXPECT_EQ(again->findChild<QLineEdit*>(QStringLiteral("txtPrice"))->text(), QStringLiteral("2.50"));
    EXPECT_EQ(again->findChild<QLabel*>(QStringLiteral("lblMoney"))->text().left(17),
              QStringLiteral("Won 1,000,030.50 "));
}

// The days of the draws checked, as --from and --to give them: a day not written YYYY-MM-DD or a
// range that runs backwards is refused naming the box, which gets the focus; Check Again makes a
// new history of the draws of those days, whose CSV is the command line's for them.
TEST_F(Checker, DrawHistoryChecksTheDrawsOfTheDaysTyped)
{
    Open("frmChkwhl", true);
    bmtest::WriteBytes(dir_ / "wheel/d.csv", "Date;Numbers\r\n1982-06-12;1 2 3 4 5 6;7\r\n"
                                             "1982-06-16;1 2 3 10 11 13;44\r\n1982-06-19;20 21 22 23 24 25;26\r\n");
    Load(Wheel("w.txt", bmtest::kLottoWheel));
    const auto history = [&] {
        return dynamic_cast<bm::app::HistoryWindow*>(window_->findChild<QWidget*>(QStringLiteral("frmHistory")));
    };
    dialogs_.QueueFile(dir_ / "wheel/d.csv");
    Click("cmdHistory");
    auto* first = history();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->findChild<QWidget*>(QStringLiteral("fraRange"))->isHidden());
    const std::string all = first->Csv();
    const std::size_t at16 = all.find("1982-06-16");
    const std::string row16 = all.substr(at16, all.find('\n', at16) - at16 + 1);
    const auto box = [](QWidget* w, const char* name) { return w->findChild<QLineEdit*>(QString::fromLatin1(name)); };
    first->show();
    QApplication::setActiveWindow(first);

    const struct {
        const char *from, *to, *said, *focus;
    } refused[] = {
        {"1982-06-13", "16/06/1982", "To: \"16/06/1982\" is not a day written YYYY-MM-DD.", "txtTo"},
        {"1982-02-30", "", "Draws From: \"1982-02-30\" is not a day written YYYY-MM-DD.", "txtFrom"},
        {"1982-06-21", "1982-06-20", "Draws From 1982-06-21 is after To 1982-06-20: no draw lies between them.",
         "txtFrom"},
    };
    for (const auto& r : refused) {
        dialogs_.Clear();
        box(first, "txtFrom")->setText(QString::fromLatin1(r.from));
        box(first, "txtTo")->setText(QString::fromLatin1(r.to));
        QTest::mouseClick(first->findChild<QPushButton*>(QStringLiteral("cmdRecheck")), Qt::LeftButton);
        EXPECT_EQ(dialogs_.Said(), std::string("Go Back: ") + r.said);
        EXPECT_EQ(QApplication::focusWidget(), box(first, r.focus)) << r.said;
        EXPECT_EQ(history(), first);
    }

    dialogs_.Clear();
    box(first, "txtFrom")->setText(QStringLiteral("1982-06-13"));
    box(first, "txtTo")->setText(QStringLiteral("1982-06-16"));
    auto* again = first->findChild<QPushButton*>(QStringLiteral("cmdRecheck"));
    EXPECT_EQ(again->text(), QStringLiteral("Check &Again"));
    QTest::mouseClick(again, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* ranged = history();
    ASSERT_NE(ranged, nullptr);
    EXPECT_EQ(dialogs_.Said(), "");
    EXPECT_EQ(box(ranged, "txtFrom")->text(), QStringLiteral("1982-06-13"));
    EXPECT_EQ(box(ranged, "txtTo")->text(), QStringLiteral("1982-06-16"));
    EXPECT_EQ(ranged->findChild<QTableWidget*>(QStringLiteral("tblHistory"))->rowCount(), 1);
    const std::string counts = row16.substr(row16.find(',', row16.find(',') + 1));
    EXPECT_EQ(ranged->Csv(), all.substr(0, all.find('\n') + 1) + row16 + "Total," + counts);
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Checked Against 1 Draws"));
}

// A draws file with lines that are no draws of the game: the window asks before it skips them.
// No refuses the file at its first such line; Yes checks the draws that are left, and the run
// carries the count of lines skipped.
TEST_F(Checker, DrawHistoryAsksBeforeItSkipsLinesThatAreNoDraws)
{
    Open("frmChkwhl", true);
    const auto file = dir_ / "wheel/mixed.csv";
    bmtest::WriteBytes(file, "Date;Numbers\r\n1982-06-12;1 2 3 4 5 6;7\r\n1982-06-12;8 9 10 11 12 13;0\r\n"
                             "1982-06-16;1 2 3 10 11 13;44\r\n");
    const auto history = [&] {
        return dynamic_cast<bm::app::HistoryWindow*>(window_->findChild<QWidget*>(QStringLiteral("frmHistory")));
    };
    Load(Wheel("w.txt", bmtest::kLottoWheel));
    const std::string reason = "The bonus number (box 7) is 0; the numbers of this game run from 1 to 49.";

    dialogs_.QueueFile(file);
    dialogs_.QueueAnswer(Answer::No);
    Click("cmdHistory");
    EXPECT_EQ(dialogs_.Said(), "Brindlemark: 1 lines are not draws of this game, the first is line 3: " + reason +
                                   " Skip them?\nGo Back: " + file.string() + ": line 3: " + reason);
    ASSERT_GE(dialogs_.messages().size(), 1u);
    EXPECT_EQ(dialogs_.messages().front().buttons, bm::app::Buttons::YesNoDefaultNo);
    EXPECT_EQ(history(), nullptr);
    dialogs_.Clear();

    dialogs_.QueueFile(file);
    dialogs_.QueueAnswer(Answer::Yes);
    Click("cmdHistory");
    EXPECT_EQ(dialogs_.unanswered(), 0);
    EXPECT_EQ(dialogs_.messages().size(), 1u);
    auto* window = history();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->findChild<QTableWidget*>(QStringLiteral("tblHistory"))->rowCount(), 2);
    EXPECT_EQ(window->Csv(), kTwoDrawsCsv);
    EXPECT_EQ(Text("lblstatus"), QStringLiteral("Checked Against 2 Draws"));
}

// A file whose dates do not tell their order: the window asks, and reads them as answered. A
// file that gives prizes shows what each draw won at them from the start, and saves the Won column.
TEST_F(Checker, DrawHistoryAsksTheDateOrderAndShowsTheFilesPrizes)
{
    Open("frmChkwhl", true);
    const auto file = dir_ / "wheel/paid.csv";
    bmtest::WriteBytes(file,
                       "Draw Date,Winning Numbers,Bonus,Division 1,Division 2,Division 3,Division 4,Division 5\r\n"
                       "01/02/2020,1 2 3 4 5 6,7,\"$5,000,000.00\",\"$50,000.00\",\"$1,000.50\",$80,$10\r\n");
    const auto history = [&] {
        return dynamic_cast<bm::app::HistoryWindow*>(window_->findChild<QWidget*>(QStringLiteral("frmHistory")));
    };
    Load(Wheel("w.txt", bmtest::kLottoWheel));
    const std::string heading = "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins,Won\n";
    for (const auto& [answer, day] : {std::pair{Answer::Yes, "2020-02-01"}, std::pair{Answer::No, "2020-01-02"}}) {
        dialogs_.Clear();
        dialogs_.QueueFile(file);
        dialogs_.QueueAnswer(answer);
        Click("cmdHistory");
        EXPECT_EQ(dialogs_.unanswered(), 0);
        ASSERT_EQ(dialogs_.messages().size(), 1u);
        EXPECT_EQ(dialogs_.messages().front().buttons, bm::app::Buttons::YesNo);
        EXPECT_NE(dialogs_.Said().find("the date \"01/02/2020\" reads day first or month first"), std::string::npos)
            << dialogs_.Said();
        auto* window = history();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->Csv(), heading + day +
                                     ",1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3,5050010.00\n"
                                     "Total,,1,0,0,1,0,0,1,1,3,5050010.00\n");
        const QString money = window->findChild<QLabel*>(QStringLiteral("lblMoney"))->text();
        EXPECT_TRUE(money.startsWith(QStringLiteral("Won 5,050,010.00 In 1 Draws"))) << money.toStdString();
    }
}

// A file out of date order: the table and the chart show the draws by date (the file's order
// within a day), the CSV keeps the file's order; the wheel's name shows escaped; every total is
// wide enough to read; a wheel of a million plays is charted per 1,000 plays with tooltips;
// prizes add the running net money.
TEST_F(Checker, DrawHistoryIsShownByDateWithReadableTotalsAndChart)
{
    Open("frmChkwhl", true);
    const auto& game = bm::CheckerByWindowName("frmChkwhl").Game(true);
    const auto draw = [&](const char* date, std::vector<int> numbers, std::int64_t line, std::int64_t match3) {
        bm::HistoryRow row;
        row.draw.date = date;
        row.draw.draw = bmtest::Draw(game, numbers);
        row.draw.line = line;
        row.tally.count[static_cast<std::size_t>(game.IndexOf("cnt0"))] = 1'000'000 - match3 - 1;
        row.tally.count[static_cast<std::size_t>(game.IndexOf("cnt3"))] = match3;
        row.tally.count[static_cast<std::size_t>(game.IndexOf("cnt6"))] = line == 3 ? 1 : 0;
        row.wins = match3 + (line == 3 ? 1 : 0);
        return row;
    };
    std::vector<bm::HistoryRow> rows{draw("1982-06-19", {1, 2, 3, 4, 5, 6, 7}, 1, 18000),
                                     draw("1982-06-12", {8, 9, 10, 11, 12, 13, 14}, 2, 17000),
                                     draw("1982-06-16", {15, 16, 17, 18, 19, 20, 21}, 3, 19000),
                                     draw("1982-06-12", {22, 23, 24, 25, 26, 27, 28}, 4, 20000)};
    bm::HistoryRun run;
    run.plays = 1'000'000;
    run.draws = 4;
    for (const auto& row : rows) {
        for (std::size_t t = 0; t < game.tiers.size(); ++t)
            run.total.count[t] += row.tally.count[t] * 1000;  // totals of a long history
        run.wins += row.wins;
    }
    // A wheel named with a line feed and an escape sequence shows as one line, the controls escaped.
    bm::app::HistoryWindow window(game, "LO649", {dir_ / "a\nTotal Wins - 999\x1b[2J.txt", dir_ / "d.csv"}, rows, run,
                                  bm::ProgramFolder(dir_.path()));
    const QString info = window.findChild<QLabel*>(QStringLiteral("lblInfo"))->text();
    EXPECT_TRUE(info.contains(QStringLiteral("Ticket File: a\\x0ATotal Wins - 999\\x1B[2J.txt"))) << info.toStdString();
    EXPECT_FALSE(info.contains(QLatin1Char('\n')));
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("tblHistory"));
    auto* total = window.findChild<QTableWidget*>(QStringLiteral("tblTotal"));
    const std::vector<std::size_t> byDate{1, 3, 2, 0};
    EXPECT_EQ(window.order(), byDate);
    QStringList shown;
    for (int r = 0; r < table->rowCount(); ++r)
        shown << Cell(table, r, 0) + " " + Cell(table, r, 1);
    EXPECT_EQ(shown.join(QStringLiteral("; ")),
              QStringLiteral("1982-06-12 8 9 10 11 12 13 +14; 1982-06-12 22 23 24 25 26 27 +28; "
                             "1982-06-16 15 16 17 18 19 20 +21; 1982-06-19 1 2 3 4 5 6 +7"));
    const std::string csv = window.Csv();
    EXPECT_EQ(csv.substr(csv.find('\n') + 1, 10), "1982-06-19");  // the CSV keeps the file's order

    for (int c = 2; c < total->columnCount() - 1; ++c) {
        const QString text = Cell(total, 0, c);
        EXPECT_GT(total->columnWidth(c), total->fontMetrics().horizontalAdvance(text)) << text.toStdString();
        EXPECT_EQ(table->columnWidth(c), total->columnWidth(c));
    }
    // A column widened by hand is widened in the totals row too.
    table->horizontalHeader()->resizeSection(2, table->columnWidth(2) + 40);
    EXPECT_EQ(total->columnWidth(2), table->columnWidth(2));

    auto* chart = window.findChild<QChartView*>(QStringLiteral("chtHistory"));
    const auto series = chart->chart()->series();
    ASSERT_EQ(series.size(), 4);
    const auto points = static_cast<QLineSeries*>(series[0])->points();
    ASSERT_EQ(points.size(), 4);
    EXPECT_DOUBLE_EQ(points[0].y(), 17.0);  // 17,000 wins of a million plays
    for (int i = 1; i < points.size(); ++i)
        EXPECT_LE(points[i - 1].x(), points[i].x());
    // The average of the draws so far (fewer than the 52 it averages at most).
    const auto average = static_cast<QLineSeries*>(series[3])->points();
    ASSERT_EQ(average.size(), 4);
    EXPECT_DOUBLE_EQ(average[1].y(), 18.5);
    EXPECT_DOUBLE_EQ(average[3].y(), (17 + 20 + 19.001 + 18) / 4);
    EXPECT_EQ(window.topDraws(), std::vector<std::size_t>{2});
    EXPECT_EQ(window.DrawTip(2),
              QStringLiteral("1982-06-16  15 16 17 18 19 20 +21\nMatch 3: 19,000\nMatch 4: 0\n"
                             "Match 5: 0\nMatch 5+: 0\nMatch 6: 1\nWins: 19,001 (19.00 per 1,000 plays)"));

    // Match 3 pays 10 and a play costs 0.01: each draw wins its Match 3 count times 10, less 10,000.
    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("txtPrize3")), QStringLiteral("10"));
    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("txtPrice")), QStringLiteral("0.01"));
    EXPECT_TRUE(series[2]->isVisible());
    const std::vector<long double> net{17000 * 1000.0L - 1'000'000, 37000 * 1000.0L - 2'000'000,
                                       56000 * 1000.0L - 3'000'000, 74000 * 1000.0L - 4'000'000};
    EXPECT_EQ(window.runningNet(), net);
    // 700,000.00 in all: the money axis counts in thousands.
    EXPECT_EQ(static_cast<QLineSeries*>(series[2])->points().back().y(), 700.0);
    const auto money = chart->chart()->axes(Qt::Vertical, series[2]);
    ASSERT_EQ(money.size(), 1);
    EXPECT_EQ(money[0]->titleText(), QStringLiteral("Net, thousands"));
    EXPECT_TRUE(window.DrawTip(0).endsWith(QStringLiteral("\nWon 180,000.00; net so far 700,000.00")));
}

// A powerball wheel of a million plays over a long history: every column fits a 1280-pixel
// screen, counts and amounts have thousands separators, and a net of billions reads on an axis
// that spans it (-10 to 0 billions), under a title that fits.
TEST_F(Checker, PowerballHistoryFitsTheScreenWithGroupedCountsAndMoney)
{
    Open("frmChkwhlPB", false, "PB569");
    const auto& game = bm::CheckerByWindowName("frmChkwhlPB").Game(false);
    std::vector<bm::HistoryRow> rows;
    bm::HistoryRun run;
    run.plays = 1'000'000;
    run.draws = 2;
    for (int d = 0; d < 2; ++d) {
        bm::HistoryRow row;
        row.draw.date = d == 0 ? "2024-01-06" : "2024-01-03";
        row.draw.draw = bmtest::Draw(game, {11, 22, 33, 44, 55, 9 + d});
        row.draw.line = d + 1;
        std::int64_t left = run.plays;
        for (std::size_t t = 0; t + 1 < game.tiers.size(); ++t) {
            row.tally.count[t] = left / 2;
            left -= left / 2;
        }
        row.tally.count[1] = d == 0 ? 99'999 : 100'000;
        row.wins = 436'294;
        for (std::size_t t = 0; t < game.tiers.size(); ++t)
            run.total.count[t] += row.tally.count[t] * 1000;  // a long history's totals
        rows.push_back(row);
    }
    run.wins = 78'466'575;
    bm::app::HistoryWindow window(game, "PB569", {dir_ / "pb.txt", dir_ / "d.csv"}, rows, run,
                                  bm::ProgramFolder(dir_.path()));
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("lblInfo"))
                    ->text()
                    .endsWith(QStringLiteral("1,000,000 Picks Against 2 Draws, 78,466,575 Wins In All")));
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("tblHistory"));
    auto* total = window.findChild<QTableWidget*>(QStringLiteral("tblTotal"));
    EXPECT_EQ(Cell(table, 0, 2), QStringLiteral("500,000"));
    EXPECT_EQ(Cell(table, 0, table->columnCount() - 2), QStringLiteral("436,294"));
    EXPECT_EQ(Cell(total, 0, 2), QStringLiteral("1,000,000,000"));
    // Sorted by the counts' values, not their texts.
    table->sortByColumn(3, Qt::AscendingOrder);
    EXPECT_EQ(Cell(table, 0, 3), QStringLiteral("99,999"));

    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("txtPrice")), QStringLiteral("4905.73"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblMoney"))->text(),
              QStringLiteral("Won 0.00 In 2 Draws; Cost 9,811,460,000.00 (1,000,000 Picks x 2 Draws x 4,905.73); "
                             "Net -9,811,460,000.00"));
    auto* chart = window.findChild<QChartView*>(QStringLiteral("chtHistory"));
    const auto series = chart->chart()->series();
    const auto money = chart->chart()->axes(Qt::Vertical, series[2]);
    ASSERT_EQ(money.size(), 1);
    const auto* axis = static_cast<QValueAxis*>(money[0]);
    EXPECT_EQ(axis->titleText(), QStringLiteral("Net, billions"));
    EXPECT_EQ(axis->min(), -10.0);
    EXPECT_EQ(axis->max(), 0.0);

    // Every column without scrolling, at 1280 pixels less the window's frame and margins.
    int width = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < table->columnCount(); ++c)
        width += table->columnWidth(c);
    QStringList widths;
    for (int c = 0; c < table->columnCount(); ++c)
        widths << QString::number(table->columnWidth(c));
    EXPECT_LE(width, 1280 - 40) << widths.join(QLatin1Char(' ')).toStdString();
}

TEST(ReportBox, CopiesTheChosenLines)
{
    bm::app::ReportBox box;
    box.Append("one\ntwo\nthree\n");
    box.show();
    box.selectionModel()->select(box.model()->index(2, 0), QItemSelectionModel::Select);
    box.selectionModel()->select(box.model()->index(0, 0), QItemSelectionModel::Select);
    QTest::keySequence(&box, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("one\nthree\n"));
}

}  // namespace

namespace {

// Pictures for a person to look at: run with BM_SHOT_DIR set, on a real display (Xvfb). The
// Draw History of a powerball wheel of a million plays over two years of draws, with a price
// per play, fitted to the screen.
TEST_F(Checker, HistoryScreenshots)
{
    if (qgetenv("BM_SHOT_DIR").isEmpty())
        GTEST_SKIP() << "BM_SHOT_DIR is not set";
    Open("frmChkwhlPB", false, "PB569");
    const auto& game = bm::CheckerByWindowName("frmChkwhlPB").Game(false);
    std::vector<bm::HistoryRow> rows;
    bm::HistoryRun run;
    run.plays = 1'000'000;
    const QDate first(2023, 1, 4);
    for (int d = 0; d < 208; ++d) {
        bm::HistoryRow row;
        row.draw.date = first.addDays(3 * d + d / 2).toString(Qt::ISODate).toStdString();
        row.draw.draw = bmtest::Draw(game, {1 + d % 60, 62, 63, 64, 65, 1 + d % 26});
        row.draw.line = d + 1;
        std::int64_t left = run.plays;
        for (std::size_t t = 0; t + 1 < game.tiers.size(); ++t) {
            row.tally.count[t] = left / 2 + d;
            left -= left / 2;
        }
        row.wins = 377'000 + 13 * d;
        for (std::size_t t = 0; t < game.tiers.size(); ++t)
            run.total.count[t] += row.tally.count[t];
        run.wins += row.wins;
        rows.push_back(row);
    }
    run.draws = static_cast<std::int64_t>(rows.size());
    bm::app::HistoryWindow window(game, "PB569", {dir_ / "pb.txt", dir_ / "d.csv"}, rows, run,
                                  bm::ProgramFolder(dir_.path()));
    window.OfferRange("2023-01-04", "", [](const std::string&, const std::string&) {});
    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("txtPrize8")), QStringLiteral("100"));
    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("txtPrice")), QStringLiteral("2"));
    bm::app::FitToScreen(&window);
    window.show();
    QApplication::processEvents();
    const QRect free = bm::app::AvailableFor(&window);
    EXPECT_TRUE(free.contains(window.frameGeometry()) || free.contains(window.geometry()));
    EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(qgetenv("BM_SHOT_DIR")) + QStringLiteral("/history-pb.png")));
}

}  // namespace

// The rows carry the names they always had, one pair for each tier of either game: a shared name
// would leave one count never shown.
TEST(CheckerNames, EveryTierHasARowWithUniqueNames)
{
    const struct {
        const char* window;
        const char* counter;
        const char* caption;
    } pinned[] = {
        {"frmChkwhl", "cnt0", "Label1"},    {"frmChkwhl", "cnt5b", "Label7"},   {"frmChkwhl", "cnt6", "Label8"},
        {"frmChkwhl5", "cnt0b", "Label0b"}, {"frmChkwhl7", "cnt6b", "Label6b"}, {"frmChkwhlPB", "cnt5b", "Label5b"},
    };
    for (const auto& p : pinned) {
        const auto& variant = bm::CheckerByWindowName(p.window);
        EXPECT_STREQ(bm::CheckerWindowName(variant), p.window);
        const auto& tier = variant.AllRows().tiers[static_cast<std::size_t>(variant.AllRows().IndexOf(p.counter))];
        EXPECT_EQ(bm::CaptionName(variant, tier), QLatin1String(p.caption)) << p.window;
        EXPECT_EQ(bm::CountLabelName(tier), QLatin1String("lbl") + QLatin1String(p.counter));
    }
    for (const auto& v : bm::CheckerVariants()) {
        std::set<QString> names;
        for (const auto& t : v.AllRows().tiers)
            names.insert({bm::CountLabelName(t), bm::CaptionName(v, t)});
        EXPECT_EQ(names.size(), 2 * v.AllRows().tiers.size()) << v.id;
    }
}
