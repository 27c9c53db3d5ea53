#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/EntryHelpers.h"
#include "app/Module1.h"
#include "checking/CheckTestSupport.h"

namespace {

using namespace bm::app;

TEST(IsFormLoaded, FindsAShownWindowByItsWholeNameInAnyCase)
{
    QWidget six, five;
    six.setObjectName(QStringLiteral("frmChkwhl"));
    five.setObjectName(QStringLiteral("frmChkwhl5"));
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmchkwhl")));
    six.show();
    five.show();
    for (const char* name : {"frmchkwhl", "FRMCHKWHL", "FrmChkWhl", "frmChkwhl5"})
        EXPECT_TRUE(IsFormLoaded(QString::fromLatin1(name))) << name;
    EXPECT_EQ(FindForm(QStringLiteral("frmchkwhl")), &six);
    // A prefix or a longer name is another window.
    for (const char* name : {"frmChk", "frmChkwhl7", "frmChkwhlPB", ""})
        EXPECT_FALSE(IsFormLoaded(QString::fromLatin1(name))) << name;
    six.close();
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmchkwhl")));
}

TEST(ShowForm, MakesAWindowOnceAndBringsItForwardAfter)
{
    int made = 0;
    const auto make = [&made] {
        ++made;
        return new QWidget;
    };
    QPointer<QWidget> first = ShowForm(QStringLiteral("frmChkwhlPB"), make);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->objectName(), QStringLiteral("frmChkwhlPB"));
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(ShowForm(QStringLiteral("frmchkwhlpb"), make), first.data());
    EXPECT_EQ(made, 1);

    // Closed, it is deleted, and the next opening makes a new one.
    first->close();
    QTRY_VERIFY(first.isNull());
    QPointer<QWidget> second = ShowForm(QStringLiteral("frmChkwhlPB"), make);
    EXPECT_EQ(made, 2);
    delete second.data();
}

TEST(Timers, RecordTheClockAtStartAndStop)
{
    bmtest::FakeClock c({5'000, 7'250, 0x7FFFF000LL, 0x80000800LL});
    SetTimerClock(&c);
    StartTimer();
    StopTimer();
    EXPECT_EQ(Timers().TimerStart, 5'000);
    EXPECT_EQ(Timers().TimerStop, 7'250);
    EXPECT_DOUBLE_EQ(Timers().ElapsedSeconds(), 2.25);
    // A run across the wrap of the 32-bit counts still takes its real time.
    StartTimer();
    StopTimer();
    EXPECT_LT(Timers().TimerStop, Timers().TimerStart);
    EXPECT_DOUBLE_EQ(Timers().ElapsedSeconds(), 0x1800 / 1000.0);
    SetTimerClock(nullptr);
}

// Three boxes in a row with the entry helpers, and a plain one after them.
TEST(EntryHelpers, EnterMovesOnLikeTabAndFocusSelectsTheWholeText)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    std::vector<QLineEdit*> boxes;
    for (const char* text : {"12.5", "", "-3", "plain"}) {
        boxes.push_back(new QLineEdit(QString::fromLatin1(text), &window));
        layout->addWidget(boxes.back());
    }
    QLineEdit* plain = boxes.back();
    for (int i = 0; i < 3; ++i)
        UseEntryHelpers(boxes[i]);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);

    boxes[0]->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(boxes[0], Qt::Key_End);
    QTest::keyClick(boxes[0], Qt::Key_Return);
    ASSERT_TRUE(boxes[1]->hasFocus());
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("12.5"));
    QTest::keyClick(boxes[1], Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_TRUE(boxes[2]->hasFocus());
    EXPECT_EQ(boxes[2]->selectedText(), QStringLiteral("-3"));
    QTest::keyClick(boxes[2], Qt::Key_Return);
    EXPECT_TRUE(plain->hasFocus());

    boxes[0]->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(boxes[0], Qt::Key_Tab);
    ASSERT_TRUE(boxes[1]->hasFocus());
    // An empty box: an empty selection at the start.
    EXPECT_EQ(boxes[1]->selectedText(), QString());
    EXPECT_EQ(boxes[1]->cursorPosition(), 0);

    // A click in the middle of the text still selects all of it, and typing replaces it.
    QTest::mouseClick(boxes[0], Qt::LeftButton, {}, QPoint(boxes[0]->width() / 2, boxes[0]->height() / 2));
    ASSERT_TRUE(boxes[0]->hasFocus());
    EXPECT_EQ(boxes[0]->selectedText(), QStringLiteral("12.5"));
    QTest::keyClicks(boxes[0], QStringLiteral("-7x"));
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("-7x"));

    // Once the box has the focus, a click places the cursor as usual.
    QTest::mouseClick(boxes[0], Qt::LeftButton, {}, QPoint(2, boxes[0]->height() / 2));
    EXPECT_FALSE(boxes[0]->hasSelectedText());
}

}  // namespace
