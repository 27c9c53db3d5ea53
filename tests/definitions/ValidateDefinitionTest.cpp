#include <gtest/gtest.h>

#include <functional>

#include "definitions/DefinitionFile.h"

using namespace bm;

namespace {

DefinitionEntries Valid()
{
    return {"ab", {"49", "6", "10", "190", "82", "12", "2", "7", "5", "15", "7", "3", "2", "35", "4.2", "45", "4.5"},
            {"1", "8", "15", "22", "29", "36", "43"}};
}

using FT = FocusTarget;
using enum Field;
FT On(Field f) { return {FT::Kind::Field, static_cast<int>(f)}; }
FT OnRow(int r) { return {FT::Kind::Row, r}; }
const FT kOnName{FT::Kind::Name, 0};
const std::string kBadName = "The Name Must Be 2 Letters From A To Z",
                  kPick = "This Version Only Supports Pick 5,6 or 7",
                  kRows = "Rows In Each Panel Must Be From 2 To 10", kPool = "Pool Must Be From 10 To 99";

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
        {[](auto& e) { e.fields[1] = ""; e.fields[0] = ""; }, "No Entry For Pick", On(Pick)},  // before pool
        {[](auto& e) { e.fields[1] = "9"; e.fields[0] = ""; }, "No Entry For Pool", On(Pool)},  // before range
        {[](auto& e) { e.fields[1] = "4"; }, kPick, On(Pick)},
        {[](auto& e) { e.fields[1] = "8"; }, kPick, On(Pick)},
        {[](auto& e) { e.fields[9] = ""; e.fields[12] = ""; }, "No Entry For 1 or More Measurements.", On(LeftIndent)},
        {[](auto& e) { e.rows[4] = ""; }, "No Entry For 1 or More Rows.", OnRow(4)},
        {[](auto& e) { e.name = "a"; }, kBadName, kOnName},
        {[](auto& e) { e.name = "a1"; }, kBadName, kOnName},
        {[](auto& e) { e.name = "1B649"; }, kBadName, kOnName, EditorMode::Modify},
        {[](auto& e) { e.fields[11] = "3mm"; }, "Entry For Number Box Width Is Not A Number", On(BoxWidth)},
        {[](auto& e) { e.rows[2] = "x"; }, "Entry For R3 Is Not A Number", OnRow(2)},
        {[](auto& e) { e.fields[2] = "2.5"; }, "Entry For Total Panels Must Be A Whole Number", On(TotalPanels)},
        {[](auto& e) { e.rows[1] = "8.5"; }, "Entry For R2 Must Be A Whole Number", OnRow(1)},
        {[](auto& e) { e.fields[7] = "1"; }, kRows, On(RowsInPanel)},
        {[](auto& e) { e.fields[7] = "11"; e.rows.fill("1"); }, kRows, On(RowsInPanel)},
        {[](auto& e) { e.fields[0] = "9"; }, kPool, On(Pool)},
        {[](auto& e) { e.fields[0] = "100"; }, kPool, On(Pool)},
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
    e.fields[7] = "3";
    e.rows[3] = "";
    e.rows[5] = "junk";
    e.name = "AB649";
    EXPECT_FALSE(ValidateDefinition(e, EditorMode::Modify).has_value());
}

}  // namespace
