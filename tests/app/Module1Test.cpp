#include <QPointer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

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

}  // namespace
