#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "definitions/editor/EditorRig.h"

namespace {

using bmtest::EditorRig;

// Typing every entry in focus order, Enter after each, puts each value in its own field and
// types nothing itself.
TEST(GendefMake, AbSixFromFortyNineWritesTheFileByteForByte)
{
    EditorRig rig;
    auto& editor = rig.Make();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Generate Playslip File"));

    rig.Fn()->setFocus();
    const char* typed[] = {"ab", "6", "49", "10", "2", "5", "7", "7", "190", "82", "12", "15", "3", "2", "35",
                           "4.2", "45", "4.5", "1", "8", "15", "22", "29", "36", "43"};
    for (std::size_t i = 0; i < std::size(typed); ++i) {
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed[i]));
        // Enter on the main keys or on the keypad.
        QTest::keyClick(QApplication::focusWidget(), i % 2 ? Qt::Key_Enter : Qt::Key_Return,
                        i % 2 ? Qt::KeypadModifier : Qt::NoModifier);
    }
    EXPECT_EQ(rig.FocusName(), QStringLiteral("txtR7"));
    EXPECT_TRUE(rig.R(7)->text().isEmpty()) << "Enter typed nothing";
    QTest::mouseClick(rig.Bon(0), Qt::LeftButton);

    QTest::mouseClick(rig.Save(), Qt::LeftButton);
    EXPECT_EQ(bmtest::ReadBytes(rig.def("AB649")), bmtest::kLO649);
    EXPECT_EQ(rig.DefinitionCount(), 1);
    EXPECT_EQ(rig.dialogs.Said(), "Done: Definition Saved");
    EXPECT_EQ(rig.reloads, 1);
    EXPECT_FALSE(rig.editor().isVisible());
}

TEST(GendefMake, AWriteThatFailsSaysSoAndKeepsTheEditorOpen)
{
    EditorRig rig;
    // A folder where the file should go: the rename into place cannot succeed.
    std::filesystem::create_directory(rig.def("AB649"));
    rig.Make();
    rig.FillSample();
    rig.Save()->click();
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: The definition was not saved:\ncannot write " +
                                      rig.def("AB649").string() + ": a folder of that name is in the way\n\n"
                                      "A definition file of that name that was there before is unchanged.");
    EXPECT_TRUE(rig.editor().isVisible());
    EXPECT_EQ(rig.reloads, 0);
    EXPECT_TRUE(std::filesystem::is_directory(rig.def("AB649")));
}

// Only a Modify editor with unsaved changes asks (see GendefQuestions): a Make editor closes
// without a question or a file.
TEST(GendefClose, ClosesWithoutAQuestionOrAFile)
{
    EditorRig rig;
    rig.AddDefinition("LO649", bmtest::kLO649);
    rig.Make();
    rig.Retype(rig.M(11), QStringLiteral("4"));
    EXPECT_TRUE(rig.Save()->isVisible());
    QTest::mouseClick(rig.Close(), Qt::LeftButton);
    EXPECT_FALSE(rig.editor().isVisible());
    EXPECT_TRUE(rig.dialogs.shown().empty());
    EXPECT_EQ(rig.DefinitionCount(), 1);
    EXPECT_EQ(bmtest::ReadBytes(rig.def("LO649")), bmtest::kLO649);
}

}  // namespace
