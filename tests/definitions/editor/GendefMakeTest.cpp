#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include "definitions/editor/EditorRig.h"

namespace {

using bm::app::Buttons;
using bm::app::Icon;
using bmtest::EditorRig;

TEST(GendefMake, OpensEmptyWithItsCaptionsAndTips)
{
    EditorRig rig;
    auto& editor = rig.Make();
    EXPECT_EQ(editor.objectName(), QStringLiteral("frmGendef"));
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Generate Playslip File"));
    EXPECT_EQ(rig.Save()->text(), QStringLiteral("Make"));
    EXPECT_TRUE(rig.Save()->isVisible());
    EXPECT_TRUE(rig.Fn()->text().isEmpty());
    for (int i = 0; i < bm::kFieldCount; ++i)
        EXPECT_TRUE(rig.M(i)->text().isEmpty()) << i;
    for (int r = 0; r < bm::kMaxRowFields; ++r)
        EXPECT_TRUE(rig.R(r)->text().isEmpty()) << r;
    EXPECT_FALSE(rig.Bon(0)->isChecked());
    EXPECT_FALSE(rig.Bon(1)->isChecked());
    EXPECT_TRUE(rig.Lay(0)->isChecked());

    const struct {
        const char* name;
        const char* caption;
        const char* tip;
    } labels[] = {
        {"lblFn", "Name Of File", "Enter 2 letters. Lowercase is OK."},
        {"lblM0", "Pool", "Enter total numbers in game such as 49,51,53 etc."},
        {"lblM1", "Pick", "Enter how many numbers you select from 5 to 7."},
        {"lblM2", "Total Panels", "Enter Total Number Of Selection Panels On Slip."},
        {"lblM3", "Overall Width Of Slip", ""},
        {"lblM6", "Number Of Main Panels", "Enter Number Of Main Panels (usually 1 or 2)."},
        {"lblM7", "Rows In Each Panel", "Enter Number Of Rows Of Number Boxes In A Panel."},
        {"lblM8", "Panels Across", "Enter Number Of Panels Across The Slip."},
        {"lblM10", "Columns Across Panel", "Enter Number Of Columns Of Number Boxes In A Panel."},
        {"lblM15", "Vertical Gap Between Panels ", ""},
        {"lblM16", "Horizontal Shift Between Boxes In Panel", ""},
        {"lblR0", "R1", ""},
        {"lblR11", "R12", ""},
        {"lblLayout", "Layout Is", "Choose Whether Slip Layout Is Horizontal Or Vertical."},
        {"lblMeasurements", "Enter All Measurements In Millimeters (mm)", ""},
        {"lblRows", "Enter 1st Number In Each Row Where Applicable", ""},
    };
    for (const auto& l : labels) {
        auto* label = rig.Child<QLabel>(l.name);
        ASSERT_NE(label, nullptr) << l.name;
        EXPECT_EQ(label->text(), QString::fromLatin1(l.caption)) << l.name;
        EXPECT_EQ(label->toolTip(), QString::fromLatin1(l.tip)) << l.name;
    }
    EXPECT_EQ(rig.Fn()->toolTip(), QStringLiteral("Enter 2 letters. Lowercase is OK."));
    EXPECT_EQ(rig.Bon(0)->text(), QStringLiteral("Draws Bonus Number"));
    EXPECT_EQ(rig.Bon(0)->toolTip(), QStringLiteral("Check If A Bonus Number Is Drawn."));
    EXPECT_EQ(rig.Bon(1)->text(), QStringLiteral("Powerball"));
    EXPECT_EQ(rig.Bon(1)->toolTip(), QStringLiteral("Check If This is A Powerball Game."));
    EXPECT_EQ(rig.Lay(0)->text(), QStringLiteral("Horizontal"));
    EXPECT_EQ(rig.Lay(1)->text(), QStringLiteral("Vertical"));
    EXPECT_EQ(rig.Close()->text(), QStringLiteral("Close"));
    EXPECT_EQ(rig.Close()->toolTip(), QStringLiteral("Close This Window"));
}

// Typing every entry in focus order, Enter after each, puts each value in its own field.
TEST(GendefMake, AbSixFromFortyNineWritesTheFileByteForByte)
{
    EditorRig rig;
    rig.Make();
    rig.Fn()->setFocus();
    const char* typed[] = {"ab", "6", "49", "10", "2", "5", "7", "7", "190", "82", "12", "15", "3", "2", "35",
                           "4.2", "45", "4.5", "1", "8", "15", "22", "29", "36", "43"};
    for (const char* text : typed) {
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_EQ(rig.FocusName(), QStringLiteral("txtR7"));
    EXPECT_TRUE(rig.R(7)->text().isEmpty()) << "Enter typed nothing";
    QTest::mouseClick(rig.Bon(0), Qt::LeftButton);

    QTest::mouseClick(rig.Save(), Qt::LeftButton);
    EXPECT_EQ(bmtest::ReadBytes(rig.def("AB649")), bmtest::kLO649);
    EXPECT_EQ(rig.DefinitionCount(), 1);
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    const auto done = rig.dialogs.messages()[0];  // a copy: messages() is a temporary
    EXPECT_EQ(done.title, QStringLiteral("Done"));
    EXPECT_EQ(done.text, QStringLiteral("Definition Saved"));
    EXPECT_EQ(done.icon, Icon::None);
    EXPECT_EQ(done.buttons, Buttons::Ok);
    EXPECT_EQ(rig.reloads, 1);
    EXPECT_FALSE(rig.editor().isVisible());
    EXPECT_FALSE(rig.bonus.has_value()) << "a save leaves the main window's flags alone";
}

TEST(GendefMake, TabWalksTheEntriesInTheirOrder)
{
    EditorRig rig;
    rig.Make();
    rig.Fn()->setFocus();
    QStringList walked{rig.FocusName()};
    for (int i = 0; i < 33; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << rig.FocusName();
    }
    QStringList expected{"txtFn", "txtM1", "txtM0", "txtM2", "txtM6", "txtM8", "txtM7", "txtM10", "txtM3",
                         "txtM4", "txtM5", "txtM9", "txtM11", "txtM12", "txtM13", "txtM14", "txtM15", "txtM16"};
    for (int r = 0; r < bm::kMaxRowFields; ++r)
        expected << QStringLiteral("txtR%1").arg(r);
    expected << "chkBon0" << "chkBon1" << "optLay0" << "cmdreset";
    EXPECT_EQ(walked, expected);
}

TEST(GendefMake, CloseButtonClosesAtOnceWhateverWasTyped)
{
    EditorRig rig;
    rig.Make();
    rig.Retype(rig.M(0), QStringLiteral("49"));
    QTest::mouseClick(rig.Close(), Qt::LeftButton);
    EXPECT_FALSE(rig.editor().isVisible());
    EXPECT_TRUE(rig.dialogs.shown().empty());
    EXPECT_EQ(rig.DefinitionCount(), 0);
}

TEST(GendefMake, SavingOverAnExistingDefinitionReplacesItWithoutAQuestion)
{
    EditorRig rig;
    rig.AddDefinition("AB649", "old");
    rig.Make();
    rig.FillSample();
    rig.Save()->click();
    EXPECT_EQ(bmtest::ReadBytes(rig.def("AB649")), bmtest::kLO649);
    EXPECT_EQ(rig.dialogs.messages().size(), 1u);
}

TEST(GendefMake, AWriteThatFailsSaysSoAndKeepsTheEditorOpen)
{
    EditorRig rig;
    // A folder where the file should go: the rename into place cannot succeed.
    std::filesystem::create_directory(rig.def("AB649"));
    rig.Make();
    rig.FillSample();
    rig.Save()->click();
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    const auto said = rig.dialogs.messages()[0];  // a copy: messages() is a temporary
    EXPECT_EQ(said.icon, Icon::Error);
    EXPECT_TRUE(said.text.contains(QStringLiteral("AB649.def"))) << said.text.toStdString();
    EXPECT_TRUE(said.text.contains(QStringLiteral("not saved"))) << said.text.toStdString();
    EXPECT_TRUE(rig.editor().isVisible());
    EXPECT_EQ(rig.reloads, 0);
    EXPECT_TRUE(std::filesystem::is_directory(rig.def("AB649")));
}

}  // namespace
