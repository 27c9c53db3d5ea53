#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "printing/window/frmPreview.h"
#include "slip/window/SlipView.h"
#include "support/PrintJobSupport.h"

namespace {

using bm::RecordingSurface;
using bmtest::MainWindowRig;
using bmtest::ProgramHome;

std::vector<RecordingSurface::Mark> Sheets(const std::vector<RecordingSurface::Mark>& marks, int first, int last)
{
    std::vector<RecordingSurface::Mark> kept;
    for (const auto& m : marks)
        if (m.sheet >= first && m.sheet <= last)
            kept.push_back(m);
    return kept;
}

// What the preview shows of its slip, in the whole job's numbering.
std::vector<RecordingSurface::Mark> Shown(bm::app::frmPreview& preview)
{
    std::vector<RecordingSurface::Mark> marks;
    for (const auto& b : preview.findChild<bm::app::SlipView*>(QStringLiteral("picSlip"))->drawing().marks)
        marks.push_back({static_cast<int>(preview.slip()), b.x1, b.y1, b.x2, b.y2});
    return marks;
}

template <typename T>
T* In(QWidget& w, const char* name)
{
    return w.findChild<T*>(QString::fromLatin1(name));
}

// The main window on a program folder of its own, from which a preview is opened.
class Preview : public ::testing::Test {
protected:
    Preview() : rig(home) {}

    QString Wheel(const std::string& file, const std::string& text)
    {
        home.WriteWheel(file, text);
        return QString::fromStdString(home.wheel(file).string());
    }
    // The preview of that wheel, or none when it was refused.
    bm::app::frmPreview* Open(const QString& wheel)
    {
        rig.dialogs.QueueFile(wheel);
        rig.Click("cmdPreview");
        return rig.window->findChild<bm::app::frmPreview*>(QStringLiteral("frmPreview"));
    }

    ProgramHome home;
    MainWindowRig rig;
};

// The preview is driven by keys and buttons as a user would; every slip it shows carries the marks
// the whole job prints on that sheet, and its Print and Save PDF send exactly the slips chosen.
TEST_F(Preview, ShowsEachSlipAsTheJobPrintsItAndPrintsTheSlipsChosen)
{
    const QString wheel = Wheel("w.txt", "# five slips of LO649\r\n" + bmtest::Wheel(45));
    rig.dialogs.QueueFile(wheel);
    rig.Click("Command1");
    const auto whole = rig.printer.last().marks();
    ASSERT_EQ(rig.printer.last().sheets(), 5);

    QPointer<bm::app::frmPreview> preview = Open(wheel);
    ASSERT_TRUE(preview);
    ASSERT_EQ(rig.printer.jobs.size(), 1u);  // nothing printed to preview
    EXPECT_EQ(In<QLabel>(*preview, "lblSlip")->text(), QStringLiteral("Slip 1 of 5"));
    auto* plays = In<QListWidget>(*preview, "lstPlays");
    ASSERT_EQ(plays->count(), 10);
    EXPECT_TRUE(plays->item(0)->text().startsWith(QStringLiteral("Line 2: ")));
    EXPECT_EQ(Shown(*preview), Sheets(whole, 1, 1));

    const auto press = [&](Qt::Key key) { QTest::keyClick(plays, key); };
    const auto click = [&](const char* name) { QTest::mouseClick(In<QPushButton>(*preview, name), Qt::LeftButton); };
    const std::pair<std::function<void()>, long long> steps[] = {
        {[&] { press(Qt::Key_PageDown); }, 2},
        {[&] { press(Qt::Key_End); }, 5},
        {[&] { press(Qt::Key_PageDown); }, 5},
        {[&] { press(Qt::Key_Home); }, 1},
        {[&] { press(Qt::Key_PageUp); }, 1},
        {[&] { click("cmdNext"); }, 2},
        {[&] { click("cmdLast"); }, 5},
        {[&] { click("cmdPrev"); }, 4},
        {[&] { click("cmdFirst"); }, 1},
        {[&] {
             auto* go = In<QSpinBox>(*preview, "spnSlip");
             go->selectAll();
             QTest::keyClicks(go, QStringLiteral("3"));
             QTest::keyClick(go, Qt::Key_Enter);
         },
         3},
    };
    for (const auto& [step, slip] : steps) {
        step();
        ASSERT_EQ(preview->slip(), slip);
        EXPECT_EQ(Shown(*preview), Sheets(whole, int(slip), int(slip)));
    }
    EXPECT_EQ(plays->count(), 10);
    click("cmdLast");
    EXPECT_EQ(plays->count(), 5);
    EXPECT_FALSE(In<QPushButton>(*preview, "cmdNext")->isEnabled());

    // After a jam at slip 4: from the shown slip on, numbered as in the whole job.
    click("cmdPrev");
    QTest::mouseClick(In<QRadioButton>(*preview, "optFrom"), Qt::LeftButton);
    click("cmdPrint");
    ASSERT_EQ(rig.printer.jobs.size(), 2u);
    EXPECT_EQ(rig.printer.last().marks(), Sheets(whole, 4, 5));
    // Job Status tells the slips of this job, not the whole wheel's.
    EXPECT_EQ(rig.JobStatus(), "Printing 2 Of 5 Playslips / Processing Playslip / 5 / Processing Complete");

    // A range into a PDF, asked for although a printer is installed.
    In<QSpinBox>(*preview, "spnFrom")->setValue(3);
    In<QSpinBox>(*preview, "spnTo")->setValue(2);
    EXPECT_TRUE(In<QRadioButton>(*preview, "optRange")->isChecked());
    const QString pdf = QString::fromStdString((home.path() / "slips.pdf").string());
    rig.dialogs.QueueFile(pdf);
    click("cmdSavePdf");
    // The dialog is the preview's, not the main window's, and suggests the wheel's name.
    EXPECT_EQ(rig.dialogs.shown().back().parent, preview.data());
    EXPECT_TRUE(rig.dialogs.shown().back().folder.endsWith(QStringLiteral("/w.pdf")))
        << rig.dialogs.shown().back().folder.toStdString();
    ASSERT_EQ(rig.printer.pdfFiles.size(), 1u);
    EXPECT_EQ(rig.printer.pdfFiles.back().string(), pdf.toStdString());
    EXPECT_EQ(rig.printer.last().marks(), Sheets(whole, 2, 3));
    EXPECT_EQ(rig.JobStatus(), "Printing 2 Of 5 Playslips / Processing Playslip / 3 / Processing Complete");

    click("cmdFull");
    auto* view = In<bm::app::SlipView>(*preview, "picSlip");
    EXPECT_DOUBLE_EQ(view->scale(), view->RealSize());
    click("cmdFit");
    EXPECT_LT(view->scale(), view->RealSize());

    QTest::keyClick(plays, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(preview);
}

// A wheel that cannot print is refused before any preview opens, as Print Playslips refuses it.
TEST_F(Preview, RefusesWhatPrintingRefuses)
{
    EXPECT_FALSE(Open(Wheel("bad.txt", "1,2,3,4,5,6\r\n1,2,3,4,5,50\r\n")));
    EXPECT_NE(rig.dialogs.Said().find("line 2: 50 has no box on this slip (1 to 49)"), std::string::npos)
        << rig.dialogs.Said();
    EXPECT_TRUE(rig.printer.jobs.empty());
}

// The preview follows the offsets typed in the main window a moment later, so that it shows what
// Print now prints; offsets that cannot print leave nothing to print.
TEST_F(Preview, FollowsTheOffsetsAsTheyAreTyped)
{
    QPointer<bm::app::frmPreview> preview = Open(Wheel("w.txt", bmtest::Wheel(25)));
    ASSERT_TRUE(preview);
    const auto before = Shown(*preview);
    const auto retype = [&](const QString& text) {
        auto* top = rig.Child<QLineEdit>("txtTmarg");
        top->selectAll();
        QTest::keyClicks(top, text);
        const auto shown = Shown(*preview);
        const auto* view = In<bm::app::SlipView>(*preview, "picSlip");
        for (int waited = 0; waited < 300000 && Shown(*preview) == shown && view->note().isEmpty(); waited += 20)
            QTest::qWait(20);
    };
    retype(QStringLiteral("1.5"));
    const auto after = Shown(*preview);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_FLOAT_EQ(after[i].y1, before[i].y1 + 1.5f);
    QTest::mouseClick(In<QPushButton>(*preview, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(Sheets(rig.printer.last().marks(), 1, 1), after);

    // The box takes only numbers; one that puts the slip off its sheet cannot print.
    retype(QStringLiteral("400"));
    EXPECT_TRUE(In<bm::app::SlipView>(*preview, "picSlip")->note().contains(QStringLiteral("top offset is 400 mm")))
        << In<bm::app::SlipView>(*preview, "picSlip")->note().toStdString();
    EXPECT_FALSE(In<QPushButton>(*preview, "cmdPrint")->isEnabled());
}

// Printing a range from the preview asks about the slips chosen, not the whole wheel.
TEST_F(Preview, ABigRangeAsksAboutItsOwnSlips)
{
    auto* preview = Open(Wheel("big.txt", bmtest::Wheel(12345)));
    ASSERT_TRUE(preview);
    preview->ShowSlip(1130);
    QTest::mouseClick(In<QRadioButton>(*preview, "optFrom"), Qt::LeftButton);
    rig.dialogs.QueueAnswer(bm::app::Answer::No);
    QTest::mouseClick(In<QPushButton>(*preview, "cmdPrint"), Qt::LeftButton);
    const auto messages = rig.dialogs.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("The slips chosen are 106 playslips. Print them all?"));
    EXPECT_TRUE(rig.printer.last().marks().empty());
}

// A preview of 40 plays of six: 4 slips on LO649 (10 panels), 10 on CD649 (4 panels).
class PreviewFollows : public Preview {
protected:
    PreviewFollows()
    {
        home.AddDefinition("CD649.def", "CD649");
        rig.main().ReloadDefinitions();
        rig.Choose("LO649.def");
        preview = Open(Wheel("w.txt", bmtest::Wheel(40)));
    }
    template <typename T>
    T* In(const char* name) const
    {
        return preview->findChild<T*>(QString::fromLatin1(name));
    }

    QPointer<bm::app::frmPreview> preview;
};

// The window names the definition its slips are drawn for; another definition chosen in the main
// window shows there with the slips of the new job, the range's end at its new last slip.
TEST_F(PreviewFollows, TheDefinitionAndTheSlipRangeFollowTheMainWindow)
{
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->windowTitle().contains(QStringLiteral("LO649"))) << preview->windowTitle().toStdString();
    EXPECT_EQ(In<QLabel>("lblDefinition")->text(), QStringLiteral("LO649"));
    EXPECT_EQ(In<QSpinBox>("spnTo")->value(), 4);
    rig.Choose("CD649.def");
    QTRY_COMPARE_WITH_TIMEOUT(In<QLabel>("lblSlip")->text(), QStringLiteral("Slip 1 of 10"), bmtest::kHangLimitMs);
    EXPECT_TRUE(preview->windowTitle().contains(QStringLiteral("CD649"))) << preview->windowTitle().toStdString();
    EXPECT_EQ(In<QLabel>("lblDefinition")->text(), QStringLiteral("CD649"));
    EXPECT_EQ(In<QSpinBox>("spnTo")->maximum(), 10);
    EXPECT_EQ(In<QSpinBox>("spnTo")->value(), 10);
    EXPECT_EQ(preview->ChosenSlips(), "");
    // Back to fewer slips: the range shrinks with the job.
    rig.Choose("LO649.def");
    QTRY_COMPARE_WITH_TIMEOUT(In<QLabel>("lblSlip")->text(), QStringLiteral("Slip 1 of 4"), bmtest::kHangLimitMs);
    EXPECT_EQ(In<QSpinBox>("spnTo")->value(), 4);
}

// "Go To Slip" beyond the job goes to the last slip and says so; a slip within it says nothing.
TEST_F(PreviewFollows, GoingBeyondTheLastSlipSaysSo)
{
    ASSERT_TRUE(preview);
    auto* go = In<QSpinBox>("spnSlip");
    const auto goTo = [&](const char* typed) {
        go->setFocus();
        go->selectAll();
        QTest::keyClicks(go, QString::fromLatin1(typed));
        QTest::keyClick(go, Qt::Key_Enter);
    };
    goTo("200000");
    EXPECT_EQ(preview->slip(), 4);
    EXPECT_TRUE(In<QLabel>("lblGoToNote")->isVisibleTo(preview));
    EXPECT_EQ(In<QLabel>("lblGoToNote")->text(),
              QStringLiteral("There is no slip 200000: the job has 4. Went to the last slip."));
    EXPECT_EQ(go->value(), 4);
    goTo("2");
    EXPECT_EQ(preview->slip(), 2);
    EXPECT_FALSE(In<QLabel>("lblGoToNote")->isVisibleTo(preview));
}

// End and Home from a step button leave the focus on the button that steps back, not on
// whatever control follows the one that can step no further.
TEST_F(PreviewFollows, EndAndHomeLeaveTheFocusOnAStepButton)
{
    ASSERT_TRUE(preview);
    QApplication::setActiveWindow(preview);
    const struct {
        const char* from;
        Qt::Key key;
        long long slip;
        const char* focus;
    } cases[] = {
        {"cmdNext", Qt::Key_End, 4, "cmdPrev"},
        {"cmdPrev", Qt::Key_Home, 1, "cmdNext"},
    };
    for (const auto& c : cases) {
        auto* from = In<QPushButton>(c.from);
        from->setFocus();
        ASSERT_TRUE(from->hasFocus()) << c.from;
        QTest::keyClick(from, c.key);
        EXPECT_EQ(preview->slip(), c.slip);
        EXPECT_EQ(QApplication::focusWidget(), In<QWidget>(c.focus))
            << c.from << ": the focus is on "
            << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "nothing");
    }
}

}  // namespace
