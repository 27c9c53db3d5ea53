#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"

namespace {

// A shortcut missed while the focus is in an offset box types letters: they are not taken, and
// the settings file keeps the number. Numbers, signed and with a point, are typed as before.
TEST(OffsetEntry, TakesOnlyWhatCanFormANumber)
{
    bmtest::ProgramHome home;
    bmtest::MainWindowRig rig(home);
    rig.Choose("LO649.def");
    struct Case {
        const char* box;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"txtTmarg", "hepv", nullptr},  // nothing taken: the box shows what it did
        {"txtTmarg", "-1.5", "-1.5"},
        {"txtLmarg", "2,5", "25"},
        {"txtLmarg", "+.75x", "+.75"},
        {"txtTmarg", "1.2.3", "1.23"},
    };
    for (const Case& c : cases) {
        auto* box = rig.Child<QLineEdit>(c.box);
        box->setFocus();
        box->selectAll();
        const QString before = box->text();
        QTest::keyClicks(box, QString::fromLatin1(c.typed));
        EXPECT_EQ(box->text(), c.shown ? QString::fromLatin1(c.shown) : before) << c.typed;
        EXPECT_EQ(bmtest::ReadBytes(home.settings("LO649")).find_first_of("hepvx,"), std::string::npos) << c.typed;
    }
    EXPECT_EQ(bmtest::ReadBytes(home.settings("LO649")), "\"1.23\"\r\n\"+.75\"\r\n");
}

}  // namespace
