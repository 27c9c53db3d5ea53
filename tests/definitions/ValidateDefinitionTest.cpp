#include <gtest/gtest.h>

#include <functional>

#include "definitions/DefinitionFile.h"

using namespace bm;

namespace {

DefinitionEntries Valid()
{
    DefinitionEntries e;
    e.name = "ab";
    e.fields = {"49", "6", "10", "190", "82", "12", "2", "7", "5", "15", "7", "3", "2", "35", "4.2", "45", "4.5"};
    e.rows = {"1", "8", "15", "22", "29", "36", "43"};
    return e;
}

using FT = FocusTarget;
using enum Field;
FT OnField(Field f) { return {FT::Kind::Field, static_cast<int>(f)}; }
FT OnRow(int r) { return {FT::Kind::Row, r}; }
const FT kOnName{FT::Kind::Name, 0};
const std::string kBadName = "The Name Must Be 2 Letters From A To Z";

// Refusals in the order the checks run, each with its message and the entry that gets the focus.
TEST(ValidateDefinition, RefusesWithItsMessageAndFocus)
{
    const struct {
        const char* what;
        std::function<void(DefinitionEntries&)> change;
        std::string message;
        FT focus;
        EditorMode mode = EditorMode::Make;
    } cases[] = {
        {"no name", [](auto& e) { e.name = ""; }, "You Haven't Entered A Filename!", FT{}},
        {"no pick", [](auto& e) { e.fields[1] = ""; }, "No Entry For Pick", OnField(Pick)},
        {"no pool", [](auto& e) { e.fields[0] = ""; }, "No Entry For Pool", OnField(Pool)},
        // The pool check comes before the range check of the pick.
        {"pick 9 and no pool", [](auto& e) { e.fields[1] = "9"; e.fields[0] = ""; }, "No Entry For Pool",
         OnField(Pool)},
        {"pick 4", [](auto& e) { e.fields[1] = "4"; }, "This Version Only Supports Pick 5,6 or 7", OnField(Pick)},
        {"pick 8", [](auto& e) { e.fields[1] = "8"; }, "This Version Only Supports Pick 5,6 or 7", OnField(Pick)},
        {"first empty measurement", [](auto& e) { e.fields[9] = ""; e.fields[12] = ""; },
         "No Entry For 1 or More Measurements.", OnField(LeftIndent)},
        {"empty row", [](auto& e) { e.rows[4] = ""; }, "No Entry For 1 or More Rows.", OnRow(4)},
        {"one letter", [](auto& e) { e.name = "a"; }, kBadName, kOnName},
        {"digit in name", [](auto& e) { e.name = "a1"; }, kBadName, kOnName},
        {"modify with a bad name", [](auto& e) { e.name = "1B649"; }, kBadName, kOnName, EditorMode::Modify},
        {"letters in a measurement", [](auto& e) { e.fields[11] = "3mm"; },
         "Entry For Number Box Width Is Not A Number", OnField(BoxWidth)},
        {"a blank measurement", [](auto& e) { e.fields[11] = " "; }, "Entry For Number Box Width Is Not A Number",
         OnField(BoxWidth)},
        {"letters in a row", [](auto& e) { e.rows[2] = "x"; }, "Entry For R3 Is Not A Number", OnRow(2)},
        {"fractional panels", [](auto& e) { e.fields[2] = "2.5"; }, "Entry For Total Panels Must Be A Whole Number",
         OnField(TotalPanels)},
        {"pick 6.0", [](auto& e) { e.fields[1] = "6.0"; }, "Entry For Pick Must Be A Whole Number", OnField(Pick)},
        {"fractional row", [](auto& e) { e.rows[1] = "8.5"; }, "Entry For R2 Must Be A Whole Number", OnRow(1)},
        {"one row", [](auto& e) { e.fields[7] = "1"; }, "Rows In Each Panel Must Be From 2 To 10",
         OnField(RowsInPanel)},
        {"eleven rows", [](auto& e) { e.fields[7] = "11"; e.rows.fill("1"); },
         "Rows In Each Panel Must Be From 2 To 10", OnField(RowsInPanel)},
        {"pool 9", [](auto& e) { e.fields[0] = "9"; }, "Pool Must Be From 10 To 99", OnField(Pool)},
        {"pool 100", [](auto& e) { e.fields[0] = "100"; }, "Pool Must Be From 10 To 99", OnField(Pool)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
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
    EXPECT_FALSE(ValidateDefinition(e, EditorMode::Make).has_value());
    for (const char* pick : {"5", "7"}) {
        e.fields[1] = pick;
        EXPECT_FALSE(ValidateDefinition(e, EditorMode::Make).has_value()) << pick;
    }
    e.fields[7] = "3";
    e.rows[3] = "";
    e.rows[5] = "junk";
    EXPECT_FALSE(ValidateDefinition(e, EditorMode::Make).has_value());
    e.name = "AB649";
    EXPECT_FALSE(ValidateDefinition(e, EditorMode::Modify).has_value());
}

}  // namespace
