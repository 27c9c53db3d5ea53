#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "support/PrintJobSupport.h"

namespace {

using bmtest::MainWindowRig;
using bmtest::ProgramHome;

// Every end of a job is said in Job Status, in words, after a job of 30 plays (whose counts must
// not read as those of a job refused before it started).
TEST(JobStatus, EveryEndOfAJobIsShownInWords)
{
    const struct {
        const char* name;
        const char* button;
        int plays;              // a wheel file is chosen when not 0
        const char* refusal;    // the printer refuses the document
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
