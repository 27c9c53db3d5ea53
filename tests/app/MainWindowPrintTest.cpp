#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "support/PrintJobSupport.h"

namespace {

using bm::app::Icon;
using bmtest::MainWindowRig;
using bmtest::ProgramHome;
using Kind = bmtest::ScriptedDialogs::Kind;

class PrintFromWindow : public ::testing::Test {
protected:
    PrintFromWindow() : rig(home) {}

    QLabel* Label(const char* name) { return rig.Child<QLabel>(name); }
    void Click(const char* button) { rig.Click(button); }
    QString Wheel(const std::string& file, int plays)
    {
        home.WriteWheel(file, bmtest::Wheel(plays));
        return QString::fromStdString(home.wheel(file).string());
    }
    int OpenDialogs() const
    {
        return static_cast<int>(std::count_if(rig.dialogs.shown().begin(), rig.dialogs.shown().end(),
                                              [](const auto& s) { return s.kind == Kind::Open; }));
    }

    ProgramHome home;
    MainWindowRig rig;
};

TEST_F(PrintFromWindow, PrintsTheWheelAndShowsTheJobStatus)
{
    rig.dialogs.QueueFile(Wheel("twelve.txt", 12));
    Click("Command1");

    const auto& shown = rig.dialogs.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, Kind::Open);
    EXPECT_EQ(shown[0].title, QStringLiteral("Open Wheel File"));
    EXPECT_EQ(shown[0].filter, QStringLiteral("Text Files (*.txt)"));
    EXPECT_EQ(shown[0].folder, QString::fromStdString((home.path() / "wheel").string()));

    // LO649 holds ten panels a slip: 12 plays need two slips.
    EXPECT_EQ(Label("lblcnt")->text(), QStringLiteral("Printing 12 Picks On 2 Playslips"));
    EXPECT_EQ(Label("lblF")->text(), QStringLiteral("2"));
    EXPECT_EQ(Label("Label2")->text(), QStringLiteral("Processing Complete"));
    for (const char* name : {"lblcnt", "lblupdate", "lblF", "Label2"})
        EXPECT_TRUE(Label(name)->isVisible()) << name;
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(rig.printer.jobs.size(), 1u);
    EXPECT_EQ(rig.printer.last().sheets(), 2);
    EXPECT_EQ(rig.printer.last().marks().size(), 72u);
    EXPECT_EQ(rig.printer.last().orientation(), bm::Orientation::Landscape);
    EXPECT_FALSE(rig.main().jobRunning());

    // A cancelled dialog prints nothing and leaves the last summary.
    rig.dialogs.QueueFile(QString());
    Click("Command1");
    EXPECT_EQ(Label("lblcnt")->text(), QStringLiteral("Printing 12 Picks On 2 Playslips"));
    EXPECT_TRUE(Label("lblcnt")->isVisible());
    EXPECT_TRUE(Label("Label2")->isHidden());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(rig.printer.jobs.back()->sheets(), 0);
    EXPECT_EQ(rig.dialogs.messages().size(), 0u);
}

TEST_F(PrintFromWindow, EscapeStopsTheJobAtTheSlipBeingPrinted)
{
    bool pressed = false;
    rig.printer.onFill = [&](int sheet) {
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // A real key press, queued as the window system would deliver it.
        if (sheet == 3 && !pressed) {
            pressed = true;
            QCoreApplication::postEvent(rig.window.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        }
    };
    rig.dialogs.QueueFile(Wheel("fifty.txt", 50));
    Click("Command1");
    EXPECT_EQ(Label("Label2")->text(), QStringLiteral("Print Job Aborted At Slip 3"));
    EXPECT_TRUE(Label("Label2")->isVisible());
    EXPECT_EQ(Label("lblF")->text(), QStringLiteral("3"));
    EXPECT_TRUE(rig.printer.last().abandoned());
    EXPECT_EQ(rig.printer.last().sheets(), 0);
    EXPECT_TRUE(rig.printer.last().marks().empty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // An Escape pressed between jobs does not stop the next one.
    QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    rig.printer.onFill = nullptr;
    rig.dialogs.QueueFile(Wheel("fifty.txt", 50));
    Click("Command1");
    EXPECT_EQ(Label("Label2")->text(), QStringLiteral("Processing Complete"));
    EXPECT_EQ(rig.printer.last().sheets(), 5);
}

TEST_F(PrintFromWindow, ClicksDuringAJobNeverStartAnother)
{
    int clicks = 0;
    rig.printer.onFill = [&](int sheet) {
        if (sheet == 2 && clicks == 0) {
            ++clicks;
            // Through the window system, and straight at the buttons.
            QTest::mouseClick(rig.Child<QPushButton>("Command1"), Qt::LeftButton);
            QTest::mouseClick(rig.Child<QPushButton>("cmdTest"), Qt::LeftButton);
            QTest::mouseClick(rig.Child<QPushButton>("cmdxit"), Qt::LeftButton);
            rig.Child<QPushButton>("Command1")->click();
            rig.Child<QPushButton>("cmdTest")->click();
        }
    };
    rig.dialogs.QueueFile(Wheel("thirty.txt", 30));
    rig.dialogs.QueueFile(Wheel("thirty.txt", 30));
    Click("Command1");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(OpenDialogs(), 1);
    EXPECT_EQ(rig.printer.jobs.size(), 1u);
    EXPECT_EQ(Label("Label2")->text(), QStringLiteral("Processing Complete"));
    EXPECT_TRUE(rig.window->isVisible());
    // Input reaches the window again afterwards.
    Click("Command1");
    EXPECT_EQ(rig.printer.jobs.size(), 2u);
}

// Records what lblF showed each time it was painted.
class PaintLog : public QObject {
public:
    explicit PaintLog(QLabel* label) : label_(label) { label->installEventFilter(this); }
    std::vector<QString> texts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == label_ && event->type() == QEvent::Paint)
            texts.push_back(label_->text());
        return false;
    }

private:
    QLabel* label_;
};

TEST_F(PrintFromWindow, WindowIsPaintedWithTheCurrentSlipDuringTheJob)
{
    PaintLog log(Label("lblF"));
    bool closed = false;
    rig.printer.onFill = [&](int sheet) {
        // Closing the window in the middle of a job stops the job; the window stays.
        if (sheet == 4 && !closed) {
            closed = true;
            rig.window->close();
        }
    };
    rig.dialogs.QueueFile(Wheel("forty.txt", 40));
    Click("Command1");
    for (const char* slip : {"1", "2", "3", "4"})
        EXPECT_NE(std::find(log.texts.begin(), log.texts.end(), QString::fromLatin1(slip)), log.texts.end()) << slip;
    EXPECT_EQ(Label("Label2")->text(), QStringLiteral("Print Job Aborted At Slip 4"));
    EXPECT_TRUE(rig.window->isVisible());
}

TEST_F(PrintFromWindow, TestPatternMarksEveryBoxAndMovesWithTheOffsets)
{
    Click("cmdTest");
    EXPECT_EQ(OpenDialogs(), 0);
    EXPECT_EQ(Label("Label2")->text(), QStringLiteral("Printed 1 Test Playslip"));
    EXPECT_TRUE(Label("Label2")->isVisible());
    for (const char* name : {"lblcnt", "lblupdate", "lblF"})
        EXPECT_TRUE(Label(name)->isHidden()) << name;
    ASSERT_EQ(rig.printer.last().marks().size(), 490u);
    EXPECT_EQ(rig.printer.last().sheets(), 1);
    EXPECT_FALSE(rig.main().current().testMode);
    const float firstTop = rig.printer.last().marks().front().y1;

    auto* top = rig.Child<QLineEdit>("txtTmarg");
    QTest::mouseClick(top, Qt::LeftButton);
    QTest::keyClicks(top, QStringLiteral("1"));
    Click("cmdTest");
    EXPECT_FLOAT_EQ(rig.printer.last().marks().front().y1, firstTop + 1);

    // Test mode was for that one job: printing asks for a wheel again.
    rig.dialogs.QueueFile(QString());
    Click("Command1");
    EXPECT_EQ(OpenDialogs(), 1);
}

TEST_F(PrintFromWindow, RefusalsAndPrinterFailuresAreShownAsErrors)
{
    home.AddDefinition("XX849.def", "LO649");
    auto text = bmtest::ReadBytes(home.defs() / "XX849.def");
    text.replace(text.find("\r\n6\r\n"), 5, "\r\n8\r\n");
    bmtest::WriteBytes(home.defs() / "XX849.def", text);
    rig.main().ReloadDefinitions();
    auto* list = rig.Child<QListWidget>("File1");
    list->setCurrentItem(list->findItems(QStringLiteral("XX849.def"), Qt::MatchExactly).constFirst());
    ASSERT_EQ(rig.main().current().definitionName, "XX849");

    rig.dialogs.QueueFile(Wheel("five.txt", 5));
    Click("Command1");
    auto shown = rig.dialogs.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("Sorry. That lottery format is not supported in this version"));
    EXPECT_EQ(shown[0].title, QStringLiteral("Brindlemark"));
    EXPECT_EQ(shown[0].icon, Icon::Error);
    EXPECT_EQ(Label("lblcnt")->text(), QStringLiteral("Printing 5 Picks On 1 Playslips"));
    EXPECT_TRUE(Label("Label2")->isHidden());

    // A typed offset that is no number is refused by the job, naming it.
    list->setCurrentRow(0);
    rig.dialogs.Clear();
    auto* left = rig.Child<QLineEdit>("txtLmarg");
    QTest::mouseClick(left, Qt::LeftButton);
    QTest::keyClicks(left, QStringLiteral("1,5"));
    Click("cmdTest");
    shown = rig.dialogs.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("left offset"))) << shown[0].text.toStdString();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // A printer that refuses the job: said as an error, never "Processing Complete".
    QTest::keyClick(left, Qt::Key_Backspace);
    QTest::keyClick(left, Qt::Key_Backspace);
    ASSERT_EQ(left->text(), QStringLiteral("1"));
    rig.dialogs.Clear();
    rig.printer.refusal = "The printer \"office\" did not take the job: not accepting jobs";
    rig.dialogs.QueueFile(Wheel("five.txt", 5));
    Click("Command1");
    shown = rig.dialogs.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, Icon::Error);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("did not take the job")));
    EXPECT_TRUE(Label("Label2")->isHidden());
}

TEST_F(PrintFromWindow, WithoutAPrinterTheJobCanGoToAPdfFile)
{
    rig.printer.printerInstalled = false;
    rig.dialogs.QueueAnswer(bm::app::Answer::No);
    Click("cmdTest");
    ASSERT_EQ(rig.dialogs.shown().size(), 1u);
    EXPECT_EQ(rig.dialogs.shown()[0].icon, Icon::Question);
    EXPECT_TRUE(rig.dialogs.shown()[0].text.contains(QStringLiteral("No printer is installed")));
    EXPECT_TRUE(rig.printer.jobs.empty());

    // Yes, then a cancelled save dialog: still nothing.
    rig.dialogs.QueueAnswer(bm::app::Answer::Yes);
    rig.dialogs.QueueFile(QString());
    Click("cmdTest");
    EXPECT_TRUE(rig.printer.jobs.empty());

    const QString pdf = QString::fromStdString((home.path() / "job.pdf").string());
    rig.dialogs.Clear();
    rig.dialogs.QueueAnswer(bm::app::Answer::Yes);
    rig.dialogs.QueueFile(pdf);
    rig.dialogs.QueueFile(Wheel("seven.txt", 7));
    Click("Command1");
    const auto& shown = rig.dialogs.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].kind, Kind::Save);
    EXPECT_EQ(shown[1].filter, QStringLiteral("PDF Files (*.pdf)"));
    EXPECT_EQ(shown[1].suffix, QStringLiteral("pdf"));
    EXPECT_EQ(shown[2].title, QStringLiteral("Open Wheel File"));
    EXPECT_EQ(rig.printer.pdfFiles, std::vector<std::filesystem::path>{pdf.toStdString()});
    EXPECT_EQ(rig.printer.last().marks().size(), 42u);
    EXPECT_EQ(Label("Label2")->text(), QStringLiteral("Processing Complete"));
    EXPECT_EQ(rig.dialogs.unanswered(), 0);
}

}  // namespace
