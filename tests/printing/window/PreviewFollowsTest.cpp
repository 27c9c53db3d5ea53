#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "printing/window/frmPreview.h"
#include "support/PrintJobSupport.h"

namespace {

// A preview of 40 plays of six: 4 slips on LO649 (10 panels), 10 on CD649 (4 panels).
class PreviewFollows : public ::testing::Test {
protected:
    PreviewFollows() : rig(home)
    {
        home.WriteWheel("w.txt", bmtest::Wheel(40));
        rig.Choose("LO649.def");
        rig.dialogs.QueueFile(home.wheel("w.txt"));
        rig.Click("cmdPreview");
        preview = rig.window->findChild<bm::app::frmPreview*>(QStringLiteral("frmPreview"));
    }
    template <typename T>
    T* In(const char* name) const
    {
        return preview->findChild<T*>(QString::fromLatin1(name));
    }

    bmtest::ProgramHome home{{"LO649", "CD649"}};
    bmtest::MainWindowRig rig;
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
    QTRY_COMPARE(In<QLabel>("lblSlip")->text(), QStringLiteral("Slip 1 of 10"));
    EXPECT_TRUE(preview->windowTitle().contains(QStringLiteral("CD649"))) << preview->windowTitle().toStdString();
    EXPECT_EQ(In<QLabel>("lblDefinition")->text(), QStringLiteral("CD649"));
    EXPECT_EQ(In<QSpinBox>("spnTo")->maximum(), 10);
    EXPECT_EQ(In<QSpinBox>("spnTo")->value(), 10);
    EXPECT_EQ(preview->ChosenSlips(), "");
    // Back to fewer slips: the range shrinks with the job.
    rig.Choose("LO649.def");
    QTRY_COMPARE(In<QLabel>("lblSlip")->text(), QStringLiteral("Slip 1 of 4"));
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
    EXPECT_EQ(In<QLabel>("lblGoToNote")->text(), QStringLiteral("There is no slip 200000: the job has 4. Went to the last slip."));
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
