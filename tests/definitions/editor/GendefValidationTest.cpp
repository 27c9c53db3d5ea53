#include <QApplication>

#include <gtest/gtest.h>

#include "definitions/editor/EditorRig.h"

namespace {

using bmtest::EditorRig;

void Set(QLineEdit* box, const char* text)
{
    box->setText(QString::fromLatin1(text));
}

// The messages and their order are the validation's own table; here one refusal: said, the
// field focused, nothing written, the editor left open. Rows beyond the panel's are then neither
// tested nor written.
TEST(GendefRefuses, WithGoBackAndTheFieldFocusedWritingNothing)
{
    EditorRig rig;
    rig.Make();
    rig.FillSample();
    Set(rig.R(0), "1.5");
    rig.R(11)->setFocus();
    rig.Save()->click();
    EXPECT_EQ(rig.dialogs.Said(), "Go Back: Entry For R1 Must Be A Whole Number");
    EXPECT_EQ(rig.FocusName(), QStringLiteral("txtR0"));
    EXPECT_EQ(rig.DefinitionCount(), 0);
    EXPECT_EQ(rig.reloads, 0);
    EXPECT_TRUE(rig.editor().isVisible());

    rig.dialogs.Clear();
    Set(rig.R(0), "1");
    Set(rig.M(7), "3");
    Set(rig.R(3), "");
    Set(rig.R(4), "junk");
    rig.Save()->click();
    EXPECT_EQ(rig.dialogs.Said(), "Done: Definition Saved");
    const std::string bytes = bmtest::ReadBytes(rig.def("AB649"));
    EXPECT_EQ(bytes.substr(bytes.find("4.5\r\n")), "4.5\r\n1\r\n8\r\n15\r\n 1 \r\n 0 \r\n 1 \r\n");
}

}  // namespace
