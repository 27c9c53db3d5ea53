#include <cctype>
#include <functional>

#include <QApplication>

#include <gtest/gtest.h>

#include "definitions/editor/EditorRig.h"

namespace {

using bm::app::Buttons;
using bm::app::Icon;
using bmtest::EditorRig;

struct Refusal {
    const char* what;
    std::function<void(EditorRig&)> change;
    const char* message;
    const char* focus;  // the entry focused afterwards; txtR11 had it before the click
};

class GendefRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(GendefRefuses, WithGoBackAndTheFieldFocusedWritingNothing)
{
    EditorRig rig;
    rig.Make();
    rig.FillSample();
    GetParam().change(rig);
    rig.R(11)->setFocus();
    rig.Save()->click();

    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    const auto said = rig.dialogs.messages()[0];  // a copy: messages() is a temporary
    EXPECT_EQ(said.title, QStringLiteral("Go Back"));
    EXPECT_EQ(said.text, QString::fromLatin1(GetParam().message));
    EXPECT_EQ(said.icon, Icon::Error);
    EXPECT_EQ(said.buttons, Buttons::Ok);
    EXPECT_EQ(rig.FocusName(), QString::fromLatin1(GetParam().focus));
    EXPECT_EQ(rig.DefinitionCount(), 0);
    EXPECT_EQ(rig.reloads, 0);
    EXPECT_TRUE(rig.editor().isVisible());
}

void Set(QLineEdit* box, const char* text)
{
    box->setText(QString::fromLatin1(text));
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, GendefRefuses,
    testing::Values(
        Refusal{"no name", [](auto& r) { Set(r.Fn(), ""); }, "You Haven't Entered A Filename!", "txtR11"},
        Refusal{"no pick", [](auto& r) { Set(r.M(1), ""); }, "No Entry For Pick", "txtM1"},
        Refusal{"no pool", [](auto& r) { Set(r.M(0), ""); }, "No Entry For Pool", "txtM0"},
        Refusal{"pick 9, no pool", [](auto& r) { Set(r.M(1), "9"); Set(r.M(0), ""); }, "No Entry For Pool", "txtM0"},
        Refusal{"pick 4", [](auto& r) { Set(r.M(1), "4"); }, "This Version Only Supports Pick 5,6 or 7", "txtM1"},
        Refusal{"pick 8", [](auto& r) { Set(r.M(1), "8"); }, "This Version Only Supports Pick 5,6 or 7", "txtM1"},
        Refusal{"measurements", [](auto& r) { Set(r.M(12), ""); Set(r.M(5), ""); },
                "No Entry For 1 or More Measurements.", "txtM5"},
        Refusal{"a blank counts as an entry, rows come next", [](auto& r) { Set(r.M(5), " "); Set(r.R(3), ""); },
                "No Entry For 1 or More Rows.", "txtR3"},
        Refusal{"three letters", [](auto& r) { Set(r.Fn(), "abc"); }, "The Name Must Be 2 Letters From A To Z", "txtFn"},
        Refusal{"not a number", [](auto& r) { Set(r.M(11), "3,5"); }, "Entry For Number Box Width Is Not A Number",
                "txtM11"},
        Refusal{"row not a number", [](auto& r) { Set(r.R(6), "x"); }, "Entry For R7 Is Not A Number", "txtR6"},
        Refusal{"panels not whole", [](auto& r) { Set(r.M(2), "2.5"); }, "Entry For Total Panels Must Be A Whole Number",
                "txtM2"},
        Refusal{"row not whole", [](auto& r) { Set(r.R(0), "1.5"); }, "Entry For R1 Must Be A Whole Number", "txtR0"},
        Refusal{"one row", [](auto& r) { Set(r.M(7), "1"); }, "Rows In Each Panel Must Be From 2 To 10", "txtM7"},
        Refusal{"eleven rows", [](auto& r) {
                    Set(r.M(7), "11");
                    for (int i = 7; i < 11; ++i)
                        Set(r.R(i), "50");
                }, "Rows In Each Panel Must Be From 2 To 10", "txtM7"},
        Refusal{"pool 100", [](auto& r) { Set(r.M(0), "100"); }, "Pool Must Be From 10 To 99", "txtM0"}),
    [](const auto& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

// Rows beyond the panel's are neither tested nor written.
TEST(GendefRows, BeyondTheRowsInAPanelAreIgnored)
{
    EditorRig rig;
    rig.Make();
    rig.FillSample();
    rig.M(7)->setText(QStringLiteral("3"));
    rig.R(3)->setText(QString());
    rig.R(4)->setText(QStringLiteral("junk"));
    rig.Save()->click();
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.messages()[0].text, QStringLiteral("Definition Saved"));
    const std::string bytes = bmtest::ReadBytes(rig.def("AB649"));
    EXPECT_EQ(bytes.substr(bytes.find("4.5\r\n")), "4.5\r\n1\r\n8\r\n15\r\n 1 \r\n 0 \r\n 1 \r\n");
}

}  // namespace
