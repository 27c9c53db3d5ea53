#include <functional>
#include <utility>

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "checking/window/Checkers.h"
#include "support/PrintJobSupport.h"
#include "windowing/window/Module1.h"

namespace {

using bm::app::Answer;
using bmtest::MainWindowRig;
using bmtest::ProgramHome;

class PrintFromWindow : public ::testing::Test {
protected:
    PrintFromWindow() : rig(home) {}

    std::string Status() const { return rig.JobStatus(); }
    void Click(const char* button) { rig.Click(button); }
    QString Wheel(const std::string& file, int plays)
    {
        home.WriteWheel(file, bmtest::Wheel(plays));
        return QString::fromStdString(home.wheel(file).string());
    }
    void Type(const char* box, const QString& text)
    {
        QTest::mouseClick(rig.Child<QLineEdit>(box), Qt::LeftButton);
        QTest::keyClicks(rig.Child<QLineEdit>(box), text);
    }

    ProgramHome home;
    MainWindowRig rig;
};

// Real mouse clicks on other controls during the job are held back: no second job, no file
// dialog, no other definition, no window closed.
TEST_F(PrintFromWindow, PrintsTheWheelAndShowsTheJobStatusWhateverIsClickedMeanwhile)
{
    bm::app::RegisterCheckers(rig.windows);
    Click("cmdChkTick");
    auto* loadFile = bm::app::FindForm(QStringLiteral("frmChkwhl"))->findChild<QPushButton*>(QStringLiteral("cmdGo"));
    bool clicked = false;
    rig.printer.onFill = [&](int sheet) {
        if (sheet == 2 && !std::exchange(clicked, true)) {
            QTest::mouseClick(loadFile, Qt::LeftButton);
            rig.ClickRow(1);
            for (const char* button : {"Command1", "cmdTest", "cmdxit"})
                Click(button);
        }
    };
    rig.dialogs.QueueFile(Wheel("twelve.txt", 12));
    bool busyOverDialog = true;
    rig.dialogs.OnShown(
        [&](const bmtest::ScriptedDialogs::Shown&) { busyOverDialog = QGuiApplication::overrideCursor(); });
    Click("Command1");
    rig.dialogs.OnShown({});
    EXPECT_FALSE(busyOverDialog);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(rig.main().current().definitionName, "LO649");
    const auto& shown = rig.dialogs.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, QStringLiteral("Open Wheel File"));
    EXPECT_EQ(shown[0].folder, QString::fromStdString((home.path() / "wheel").string()));

    // LO649 holds ten panels a slip: 12 plays need two slips.
    EXPECT_EQ(Status(), "Printing 12 Picks On 2 Playslips / Processing Playslip / 2 / Processing Complete");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(rig.printer.jobs.size(), 1u);
    EXPECT_EQ(rig.printer.last().sheets(), 2);
    EXPECT_EQ(rig.printer.last().marks().size(), 72u);

    // A cancelled dialog prints nothing and leaves the last summary.
    rig.dialogs.QueueFile(QString());
    Click("Command1");
    EXPECT_EQ(Status(), "Printing 12 Picks On 2 Playslips / Processing Playslip / 2 / -");
    EXPECT_EQ(rig.printer.jobs.back()->sheets(), 0);

    // A printer that refuses the job: said as an error, never "Processing Complete".
    rig.printer.refusal = "The printer \"office\" did not take the job: not accepting jobs";
    rig.dialogs.QueueFile(Wheel("five.txt", 5));
    Click("Command1");
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: " + rig.printer.refusal);
    EXPECT_EQ(rig.Child<QLabel>("Label2")->text(), QStringLiteral("Print Job Failed, Nothing Printed"));
    bm::app::CloseOtherForms(rig.window.get());
}

// Escape (a real key press, queued as the window system would deliver it) or closing the window
// in the middle of a job stops it at the slip being printed; the window stays.
TEST_F(PrintFromWindow, EscapeOrClosingTheWindowStopsTheJobAtTheSlipBeingPrinted)
{
    const auto pressEscape = [&] {
        QCoreApplication::postEvent(rig.window.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    };
    const struct {
        int sheet;
        std::function<void()> stop;
    } cases[] = {
        {3, pressEscape},
        {4, [&] { rig.window->close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheet);
        bool stopped = false;
        rig.printer.onFill = [&](int sheet) {
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            if (sheet == c.sheet && !stopped) {
                stopped = true;
                c.stop();
            }
        };
        rig.dialogs.QueueFile(Wheel("fifty.txt", 50));
        Click("Command1");
        const std::string n = std::to_string(c.sheet);
        EXPECT_EQ(Status(), "Printing 50 Picks On 5 Playslips / Processing Playslip / " + n +
                                " / Print Job Aborted At Slip " + n);
        // The job goes to the printer only when it is complete.
        EXPECT_EQ(rig.Child<QLabel>("lblDest")->text(), QStringLiteral("Nothing Was Sent To The Printer"));
        EXPECT_TRUE(rig.Child<QLabel>("lblDest")->isVisible());
        EXPECT_TRUE(rig.printer.last().abandoned());
        EXPECT_EQ(rig.printer.last().sheets(), 0);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(rig.window->isVisible());
    }
}

TEST_F(PrintFromWindow, TestPatternMarksEveryBoxAndMovesWithTheOffsets)
{
    Click("cmdTest");
    EXPECT_TRUE(rig.dialogs.shown().empty());
    EXPECT_EQ(Status(), "- / - / - / Printed 1 Test Playslip");
    ASSERT_EQ(rig.printer.last().marks().size(), 490u);
    EXPECT_EQ(rig.printer.last().sheets(), 1);
    const float firstTop = rig.printer.last().marks().front().y1;

    Type("txtTmarg", QStringLiteral("1"));
    Click("cmdTest");
    EXPECT_FLOAT_EQ(rig.printer.last().marks().front().y1, firstTop + 1);

    // Test mode was for that one job: printing asks for a wheel again.
    rig.dialogs.QueueFile(QString());
    Click("Command1");
    EXPECT_EQ(rig.dialogs.shown().size(), 1u);

    // An offset that is no number (from an old settings file) is refused by the job, naming it.
    rig.Child<QLineEdit>("txtLmarg")->setText(QStringLiteral("1,5"));
    Click("cmdTest");
    EXPECT_EQ(rig.dialogs.Said(),
              "Brindlemark: The left offset \"1,5\" is not a number of millimetres (for example -1.5 or 2)");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PrintFromWindow, WithoutAPrinterTheJobCanGoToAPdfFile)
{
    rig.printer.printerInstalled = false;
    rig.dialogs.QueueAnswer(Answer::No);
    Click("cmdTest");
    EXPECT_TRUE(rig.printer.jobs.empty());
    const QString pdf = QString::fromStdString((home.path() / "job.pdf").string());
    rig.dialogs.Clear();
    rig.dialogs.QueueAnswer(Answer::Yes);
    rig.dialogs.QueueFile(pdf);
    rig.dialogs.QueueFile(Wheel("seven.txt", 7));
    Click("Command1");
    const auto& shown = rig.dialogs.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].buttons, bm::app::Buttons::YesNo);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("No printer is installed")));
    EXPECT_EQ(shown[2].title, QStringLiteral("Open Wheel File"));
    EXPECT_EQ(rig.printer.pdfFiles, std::vector<std::filesystem::path>{pdf.toStdString()});
    EXPECT_EQ(rig.printer.last().marks().size(), 42u);
    EXPECT_EQ(rig.Child<QLabel>("Label2")->text(), QStringLiteral("Processing Complete"));
    EXPECT_EQ(rig.Child<QLabel>("lblDest")->text(), QStringLiteral("Saved To ") + pdf);
    EXPECT_EQ(rig.dialogs.unanswered(), 0);
}

// More than 100 slips: asked first, once the wheel is counted, No the default and the answer
// that prints nothing; 100 slips print unasked.
TEST_F(PrintFromWindow, AJobOfMoreThanAHundredSlipsAsksFirst)
{
    const struct {
        int plays;             // ten plays a slip
        const char* question;  // empty: none asked
        Answer answer;
        int sheets;
        std::string status;
    } cases[] = {
        {1000, "", Answer::Ok, 100,
         "Printing 1000 Picks On 100 Playslips / Processing Playslip / 100 / Processing Complete"},
        {1001, "This wheel fills 101 playslips. Print them all?", Answer::Yes, 101,
         "Printing 1001 Picks On 101 Playslips / Processing Playslip / 101 / Processing Complete"},
        {12345, "This wheel fills 1,235 playslips. Print them all?", Answer::No, 0,
         "- / - / - / Print Job Cancelled, Nothing Printed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plays);
        rig.dialogs.Clear();
        const bool asked = *c.question;
        if (asked)
            rig.dialogs.QueueAnswer(c.answer);
        const QCursor* pointer = nullptr;
        rig.dialogs.OnShown([&](const bmtest::ScriptedDialogs::Shown& shown) {
            if (shown.kind == bmtest::ScriptedDialogs::Kind::Message)
                pointer = QGuiApplication::overrideCursor();
        });
        rig.dialogs.QueueFile(Wheel("big.txt", c.plays));
        Click("Command1");
        const auto messages = rig.dialogs.messages();
        ASSERT_EQ(messages.size(), asked ? 1u : 0u);
        if (asked) {
            EXPECT_EQ(messages[0].text.toStdString(), c.question);
            EXPECT_EQ(messages[0].buttons, bm::app::Buttons::YesNoDefaultNo);
            EXPECT_EQ(pointer, nullptr);  // not busy while asking
        }
        EXPECT_EQ(rig.printer.last().sheets(), c.sheets);
        EXPECT_EQ(rig.printer.last().marks().empty(), c.sheets == 0);
        EXPECT_EQ(Status(), c.status);
    }
}

using bmtest::MainWindowRig;
using bmtest::ProgramHome;

// Every end of a job is said in Job Status, in words, after a job of 30 plays (whose counts must
// not read as those of a job refused before it started).
TEST(JobStatus, EveryEndOfAJobIsShownInWords)
{
    const struct {
        const char* name;
        const char* button;
        int plays;            // a wheel file is chosen when not 0
        const char* refusal;  // the printer refuses the document
        const char* leftOffset;
        std::string status;
    } cases[] = {
        {"completed", "Command1", 12, "", "0",
         "Printing 12 Picks On 2 Playslips / Processing Playslip / 2 / Processing Complete"},
        {"test pattern", "cmdTest", 0, "", "0", "- / - / - / Printed 1 Test Playslip"},
        {"refused by the printer", "Command1", 5, "not accepting jobs", "0",
         "Printing 5 Picks On 1 Playslips / Processing Playslip / 1 / Print Job Failed, Nothing Printed"},
        {"test pattern refused by the printer", "cmdTest", 0, "not accepting jobs", "0",
         "- / - / - / Print Job Failed, Nothing Printed"},
        {"bad input", "cmdTest", 0, "", "1,5", "- / - / - / Print Job Refused, Nothing Printed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramHome home;
        MainWindowRig rig(home);
        home.WriteWheel("before.txt", bmtest::Wheel(30));
        rig.dialogs.QueueFile(home.wheel("before.txt"));
        rig.Click("Command1");
        rig.printer.refusal = c.refusal;
        rig.Child<QLineEdit>("txtLmarg")->setText(QString::fromLatin1(c.leftOffset));
        if (c.plays) {
            home.WriteWheel("w.txt", bmtest::Wheel(c.plays));
            rig.dialogs.QueueFile(home.wheel("w.txt"));
        }
        rig.Click(c.button);
        EXPECT_EQ(rig.JobStatus(), c.status);
    }
}

// Below the end of a job: where it went, gone again with the next end; a printer that would not
// print is refused before the wheel file is asked for, and nothing is drawn.
TEST(JobStatus, SaysWhereTheJobWentAndRefusesAPrinterThatWouldNotPrint)
{
    ProgramHome home;
    MainWindowRig rig(home);
    auto* where = rig.Child<QLabel>("lblDest");
    const auto said = [&] { return where->isVisible() ? where->text().toStdString() : std::string("-"); };
    home.WriteWheel("w.txt", bmtest::Wheel(12));
    rig.dialogs.QueueFile(home.wheel("w.txt"));
    rig.Click("Command1");
    EXPECT_EQ(rig.JobStatus(), "Printing 12 Picks On 2 Playslips / Processing Playslip / 2 / Processing Complete");
    EXPECT_EQ(said(), "Sent To Printer office");
    rig.printer.used = "slips";
    rig.Click("cmdTest");
    EXPECT_EQ(rig.JobStatus(), "- / - / - / Printed 1 Test Playslip");
    EXPECT_EQ(said(), "Sent To Printer slips");

    rig.printer.notReady = "The printer \"slips\" is stopped (Paused), so nothing was sent to it.";
    rig.dialogs.Clear();
    const auto jobs = rig.printer.jobs.size();
    for (const char* button : {"Command1", "cmdTest"}) {
        rig.Click(button);
        EXPECT_EQ(rig.JobStatus(), "- / - / - / Print Job Refused, Nothing Printed");
        EXPECT_EQ(said(), "-");
    }
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: " + rig.printer.notReady + "\nBrindlemark: " + rig.printer.notReady);
    EXPECT_EQ(rig.dialogs.shown().size(), 2u);  // no wheel file asked for
    EXPECT_EQ(rig.printer.jobs.size(), jobs);
}

// The labels sit together at the top of the box, and the longest summary of a million plays
// stays on one line.
TEST(JobStatus, LabelsSitAtTheTopAndTheLongestSummaryFitsOneLine)
{
    ProgramHome home;
    MainWindowRig rig(home);
    rig.Click("cmdTest");
    auto* box = rig.Child<QGroupBox>("fraJobStatus");
    auto* end = rig.Child<QLabel>("Label2");
    ASSERT_TRUE(end->isVisible());
    EXPECT_LT(end->y(), box->contentsRect().top() + 2 * end->height()) << end->y();

    auto* summary = rig.Child<QLabel>("lblcnt");
    summary->setText(QStringLiteral("Printing 1000000 Picks On 1000000 Playslips"));
    summary->show();
    end->setText(QStringLiteral("Print Job Aborted At Slip 1000000"));
    QApplication::processEvents();
    for (QLabel* label : {summary, end}) {
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << label->text().toStdString();
        EXPECT_LT(label->height(), 2 * label->fontMetrics().height()) << label->text().toStdString();
    }

    // A long PDF file name wraps inside the box instead of widening the window.
    const int width = rig.window->width();
    auto* where = rig.Child<QLabel>("lblDest");
    where->setText(QStringLiteral("Saved To /home/someone/Documents/Lottery/Syndicate Wheels/December/"
                                  "the-big-wheel-for-the-saturday-draw-2026-12-05.pdf"));
    where->show();
    for (int round = 0; round < 5; ++round)  // the box lays itself out, then the window
        QApplication::processEvents();
    EXPECT_EQ(rig.window->width(), width);
    EXPECT_LE(where->geometry().right(), box->contentsRect().right());
    EXPECT_GE(where->height(), where->heightForWidth(where->width()));
}

}  // namespace
