#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "definitions/DefinitionFile.h"
#include "slip/SheetFit.h"
#include "support/TempDir.h"

using namespace bm;

namespace {

DefinitionEntries Valid()
{
    return {"ab",
            {"49", "6", "10", "190", "82", "12", "2", "7", "5", "15", "7", "3", "2", "35", "4.2", "45", "4.5"},
            {"1", "8", "15", "22", "29", "36", "43"}};
}

using FT = FocusTarget;
using enum Field;
FT On(Field f)
{
    return {FT::Kind::Field, static_cast<int>(f)};
}
FT OnRow(int r)
{
    return {FT::Kind::Row, r};
}
const FT kOnName{FT::Kind::Name, 0};
const std::string kBadName = "The Name Must Be 2 Letters From A To Z",
                  kPick = "This Version Only Supports Pick 5,6 or 7", kRows = "Rows In Each Panel Must Be From 2 To 10",
                  kPool = "Pool Must Be From 10 To 99";

// Refusals in the order the checks run, each with its message and the entry that gets the focus.
TEST(ValidateDefinition, RefusesWithItsMessageAndFocus)
{
    const struct {
        std::function<void(DefinitionEntries&)> change;
        std::string message;
        FT focus;
        EditorMode mode = EditorMode::Make;
    } cases[] = {
        {[](auto& e) { e.name = ""; }, "You Haven't Entered A Filename!", FT{}},
        {[](auto& e) {
             e.fields[1] = "";
             e.fields[0] = "";
         },
         "No Entry For Pick", On(Pick)},  // before pool
        {[](auto& e) {
             e.fields[1] = "9";
             e.fields[0] = "";
         },
         "No Entry For Pool", On(Pool)},  // before range
        {[](auto& e) { e.fields[1] = "4"; }, kPick, On(Pick)},
        {[](auto& e) { e.fields[1] = "8"; }, kPick, On(Pick)},
        {[](auto& e) {
             e.fields[9] = "";
             e.fields[12] = "";
         },
         "No Entry For 1 or More Measurements.", On(LeftIndent)},
        {[](auto& e) { e.rows[4] = ""; }, "No Entry For 1 or More Rows.", OnRow(4)},
        {[](auto& e) { e.name = "a"; }, kBadName, kOnName},
        {[](auto& e) { e.name = "a1"; }, kBadName, kOnName},
        {[](auto& e) { e.name = "1B649"; }, kBadName, kOnName, EditorMode::Modify},
        {[](auto& e) { e.fields[11] = "3mm"; }, "Entry For Number Box Width Is Not A Number", On(BoxWidth)},
        {[](auto& e) { e.rows[2] = "x"; }, "Entry For R3 Is Not A Number", OnRow(2)},
        {[](auto& e) { e.fields[2] = "2.5"; }, "Entry For Total Panels Must Be A Whole Number", On(TotalPanels)},
        {[](auto& e) { e.rows[1] = "8.5"; }, "Entry For R2 Must Be A Whole Number", OnRow(1)},
        {[](auto& e) { e.fields[7] = "1"; }, kRows, On(RowsInPanel)},
        {[](auto& e) {
             e.fields[7] = "11";
             e.rows.fill("1");
         },
         kRows, On(RowsInPanel)},
        {[](auto& e) { e.fields[0] = "9"; }, kPool, On(Pool)},
        {[](auto& e) { e.fields[0] = "100"; }, kPool, On(Pool)},
        // Counts and measurements the reader refuses or no sheet holds.
        {[](auto& e) { e.fields[8] = "-5"; }, "Entry For Panels Across Cannot Be Negative", On(PanelsAcross)},
        {[](auto& e) { e.fields[2] = "-1"; }, "Entry For Total Panels Cannot Be Negative", On(TotalPanels)},
        {[](auto& e) { e.fields[11] = "1000000000000000000000000000000"; },
         "Number Box Width is 1000000000000000000000000000000 mm, beyond the A4 sheet (landscape, 297 x 210 mm)",
         On(BoxWidth)},
        {[](auto& e) { e.fields[3] = "-190"; }, "Overall Width Of Slip is -190 mm; a size must be more than 0 mm",
         On(SlipWidth)},
        {[](auto& e) {
             e.fields[6] = "32767";
             e.fields[8] = "32767";
         },
         "32767 panels across of 7 columns are more boxes than fit across the A4 sheet (landscape, 297 x 210 mm)",
         On(PanelsAcross)},
        {[](auto& e) { e.fields[13] = "70"; },
         "the box of row 1, column 1 of panel 5 in main panel 1 would lie at 295 mm across, 12 mm down (offsets "
         "included), off the A4 sheet (landscape, 297 x 210 mm)",
         FT{}},
        // Panels whose boxes would print over each other's: the first main panel runs from 25 to
        // 25 + 6 x 4.2 + 2 = 52.2 mm, past the second's top at 45 mm; five panels of 7 columns at
        // 4.5 mm are 30 mm wide each, wider than their 29 mm pitch.
        {[](auto& e) { e.fields[5] = "25"; },
         "Vertical Gap Between Panels (45 mm) puts the second main panel inside the first, whose boxes run from Top "
         "Of Slip To Top Of 1st Row (25 mm) down to 52.2 mm: their boxes would overlap. Vertical Gap Between Panels "
         "must be at least 52.2 mm.",
         On(VerticalPanelGap)},
        {[](auto& e) {
             e.Horizontal = false;
             e.fields[5] = "25";
             e.fields[3] = "82";
             e.fields[4] = "190";
         },
         "Vertical Gap Between Panels (45 mm) puts the second main panel inside the first, whose boxes run from Top "
         "Of Slip To Top Of 1st Row (25 mm) down to 52.2 mm: their boxes would overlap. Vertical Gap Between Panels "
         "must be at least 52.2 mm.",
         On(VerticalPanelGap)},
        {[](auto& e) { e.fields[13] = "29"; },
         "Horizontal Panel Gap (29 mm) is less than the width of a panel's boxes, 30 mm from 7 columns at Horizontal "
         "Shift Between Boxes In Panel (4.5 mm): the boxes of panels side by side would overlap. Horizontal Panel Gap "
         "must be at least 30 mm.",
         On(HorizontalPanelGap)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        auto e = Valid();
        c.change(e);
        const auto failure = ValidateDefinition(e, c.mode);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->message, c.message);
        EXPECT_EQ(failure->focus, c.focus);
    }
}

TEST(ValidateDefinition, AcceptsAGoodDefinitionAndIgnoresRowsBeyondThePanel)
{
    auto e = Valid();
    for (const char* pick : {"5", "6", "7"}) {
        e.fields[1] = pick;
        EXPECT_FALSE(ValidateDefinition(e, EditorMode::Make).has_value()) << pick;
    }
    // Panels whose boxes only touch: the second main panel starts where the first one's boxes end,
    // the next panel across where the last column's boxes end.
    e.fields[15] = "39.2";
    e.fields[13] = "30";
    EXPECT_FALSE(ValidateDefinition(e, EditorMode::Make).has_value());
    e.fields[7] = "3";
    e.rows[3] = "";
    e.rows[5] = "junk";
    e.name = "AB649";
    EXPECT_FALSE(ValidateDefinition(e, EditorMode::Modify).has_value());
}

// Whatever the editor accepts, the reader reads back and the print job prints on the sheet.
TEST(ValidateDefinition, EverythingItAcceptsReadsBack)
{
    const char* const figures[] = {"0",
                                   "1",
                                   "2",
                                   "7",
                                   "-3",
                                   "12.5",
                                   "-0.5",
                                   "45",
                                   "190",
                                   "300",
                                   "-32768",
                                   "32767",
                                   "1000000000000000000000000000000",
                                   "-1000000000000000000000000000000",
                                   "0.001",
                                   "100000",
                                   "297"};
    std::mt19937 rng(20240611);
    bmtest::TempDir dir;
    int accepted = 0;
    for (int round = 0; round < 2000; ++round) {
        auto e = Valid();
        for (int k = std::uniform_int_distribution<int>(1, 3)(rng); k > 0; --k)
            e.fields[std::uniform_int_distribution<int>(2, kFieldCount - 1)(rng)] =
                figures[std::uniform_int_distribution<std::size_t>(0, std::size(figures) - 1)(rng)];
        e.Horizontal = round % 3 != 0;
        if (ValidateDefinition(e, EditorMode::Make))
            continue;
        ++accepted;
        bmtest::WriteBytes(dir / "AB649.def", DefinitionFileText(e));
        const auto read = ReadDefinitionFile(dir / "AB649.def");
        ASSERT_TRUE(read.ok()) << read.error().message;
        EXPECT_FALSE(SheetRefusal(*read, 0, 0).has_value()) << DefinitionFileText(e);
    }
    EXPECT_GT(accepted, 50);
}

// The editor's drawing shows panels that overlap, so the user sees what the refusal is about.
TEST(ValidateDefinition, OverlappingPanelsAreRefusedYetDrawn)
{
    auto e = Valid();
    e.fields[5] = "25";
    EXPECT_TRUE(ValidateDefinition(e, EditorMode::Make).has_value());
    const auto drawn = DrawableDefinition(e);
    ASSERT_TRUE(drawn.ok()) << drawn.error().message;
    EXPECT_FLOAT_EQ(drawn->TopToFirstRow, 25.f);
}

}  // namespace
