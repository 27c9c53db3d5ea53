#include <functional>

#include <QApplication>

#include <gtest/gtest.h>

#include "definitions/editor/EditorRig.h"

namespace {

using bmtest::EditorRig;

void Set(QLineEdit* box, const char* text)
{
    box->setText(QString::fromLatin1(text));
}

// The messages and their order are the validation's own table; here one refusal for each kind
// of place the focus goes to, with nothing written and the editor left open.
TEST(GendefRefuses, WithGoBackAndTheFieldFocusedWritingNothing)
{
    const struct {
        std::function<void(EditorRig&)> change;
        const char* message;
        const char* focus;  // the entry focused afterwards; txtR11 had it before the click
    } cases[] = {
        {[](auto& r) { Set(r.Fn(), ""); }, "You Haven't Entered A Filename!", "txtR11"},
        {[](auto& r) { Set(r.Fn(), "abc"); }, "The Name Must Be 2 Letters From A To Z", "txtFn"},
        {[](auto& r) { Set(r.M(1), "8"); }, "This Version Only Supports Pick 5,6 or 7", "txtM1"},
        {[](auto& r) { Set(r.M(12), ""); Set(r.M(5), ""); }, "No Entry For 1 or More Measurements.", "txtM5"},
        {[](auto& r) { Set(r.R(0), "1.5"); }, "Entry For R1 Must Be A Whole Number", "txtR0"},
        {[](auto& r) {
             Set(r.M(7), "11");
             for (int i = 7; i < 11; ++i)
                 Set(r.R(i), "50");
         },
         "Rows In Each Panel Must Be From 2 To 10", "txtM7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EditorRig rig;
        rig.Make();
        rig.FillSample();
        c.change(rig);
        rig.R(11)->setFocus();
        rig.Save()->click();
        EXPECT_EQ(rig.dialogs.Said(), std::string("Go Back: ") + c.message);
        EXPECT_EQ(rig.FocusName(), QString::fromLatin1(c.focus));
        EXPECT_EQ(rig.DefinitionCount(), 0);
        EXPECT_EQ(rig.reloads, 0);
        EXPECT_TRUE(rig.editor().isVisible());
    }
}

// Rows beyond the panel's are neither tested nor written.
TEST(GendefRows, BeyondTheRowsInAPanelAreIgnored)
{
    EditorRig rig;
    rig.Make();
    rig.FillSample();
    Set(rig.M(7), "3");
    Set(rig.R(3), "");
    Set(rig.R(4), "junk");
    rig.Save()->click();
    EXPECT_EQ(rig.dialogs.Said(), "Done: Definition Saved");
    const std::string bytes = bmtest::ReadBytes(rig.def("AB649"));
    EXPECT_EQ(bytes.substr(bytes.find("4.5\r\n")), "4.5\r\n1\r\n8\r\n15\r\n 1 \r\n 0 \r\n 1 \r\n");
}

}  // namespace
