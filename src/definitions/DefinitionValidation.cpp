#include <algorithm>

#include "common/Numbers.h"
#include "definitions/DefinitionFile.h"
#include "slip/SheetFit.h"

namespace bm {

namespace {

FocusTarget OnField(Field f)
{
    return {FocusTarget::Kind::Field, static_cast<int>(f)};
}

FocusTarget OnRow(int r)
{
    return {FocusTarget::Kind::Row, r};
}

bool IsTwoLetters(const std::string& s)
{
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return s.size() == 2 && letter(s[0]) && letter(s[1]);
}

bool AllDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Game numbers and counts are 16-bit in the print job.
bool IsWhole16(const std::string& s)
{
    const auto v = ParseWhole(s);
    return v && *v >= -32768 && *v <= 32767;
}

std::string RowLabel(int r)
{
    return "R" + std::to_string(r + 1);
}

// Only once every entry is known to be a number of its kind.
SlipDefinition SlipFromEntries(const DefinitionEntries& e)
{
    const auto number = [&](Field x) { return *ParseFloat(e.fields[static_cast<int>(x)]); };
    const auto count = [&](Field x) { return static_cast<int>(*ParseWhole(e.fields[static_cast<int>(x)])); };
    SlipDefinition d;
    d.Pool = count(Field::Pool);
    d.Pick = count(Field::Pick);
    d.TotalPanels = count(Field::TotalPanels);
    d.SlipWidth = number(Field::SlipWidth);
    d.SlipHeight = number(Field::SlipHeight);
    d.TopToFirstRow = number(Field::TopToFirstRow);
    d.MainPanels = count(Field::MainPanels);
    d.RowsInPanel = count(Field::RowsInPanel);
    d.PanelsAcross = count(Field::PanelsAcross);
    d.LeftIndent = number(Field::LeftIndent);
    d.ColumnsInPanel = count(Field::ColumnsInPanel);
    d.BoxWidth = number(Field::BoxWidth);
    d.BoxHeight = number(Field::BoxHeight);
    d.HorizontalPanelGap = number(Field::HorizontalPanelGap);
    d.VerticalRowGap = number(Field::VerticalRowGap);
    d.VerticalPanelGap = number(Field::VerticalPanelGap);
    d.HorizontalBoxShift = number(Field::HorizontalBoxShift);
    for (int r = 0; r < d.RowsInPanel; ++r)
        d.RowFirstNumber.push_back(static_cast<std::int16_t>(*ParseWhole(e.rows[r])));
    d.bBon = e.bBon;
    d.bPB = e.bPB;
    d.Horizontal = e.Horizontal;
    return d;
}

std::string Mm(double v)
{
    return ShortestText(static_cast<float>(v)) + " mm";
}

// Panels placed so that their boxes would print over those of the panel beside or above them.
// Boxes that only touch are allowed; a hundredth of a millimetre is below any printer's step.
std::optional<ValidationFailure> PanelOverlap(const SlipDefinition& d)
{
    constexpr double kTolerance = 0.01;
    if (d.MainPanels >= 2) {
        const double firstEnds =
            double(d.TopToFirstRow) + (d.RowsInPanel - 1) * double(d.VerticalRowGap) + double(d.BoxHeight);
        if (double(d.VerticalPanelGap) + kTolerance < firstEnds)
            return ValidationFailure{std::string(FieldLabel(Field::VerticalPanelGap)) + " (" + Mm(d.VerticalPanelGap) +
                                         ") puts the second main panel inside the first, whose boxes run from " +
                                         FieldLabel(Field::TopToFirstRow) + " (" + Mm(d.TopToFirstRow) + ") down to " +
                                         Mm(firstEnds) + ": their boxes would overlap. " +
                                         FieldLabel(Field::VerticalPanelGap) + " must be at least " + Mm(firstEnds) +
                                         ".",
                                     OnField(Field::VerticalPanelGap)};
    }
    if (d.PanelsAcross >= 2) {
        const double panelWidth = (d.ColumnsInPanel - 1) * double(d.HorizontalBoxShift) + double(d.BoxWidth);
        if (double(d.HorizontalPanelGap) + kTolerance < panelWidth)
            return ValidationFailure{
                std::string(FieldLabel(Field::HorizontalPanelGap)) + " (" + Mm(d.HorizontalPanelGap) +
                    ") is less than the width of a panel's boxes, " + Mm(panelWidth) + " from " +
                    std::to_string(d.ColumnsInPanel) + " columns at " + FieldLabel(Field::HorizontalBoxShift) + " (" +
                    Mm(d.HorizontalBoxShift) + "): the boxes of panels side by side would overlap. " +
                    FieldLabel(Field::HorizontalPanelGap) + " must be at least " + Mm(panelWidth) + ".",
                OnField(Field::HorizontalPanelGap)};
    }
    return std::nullopt;
}

// Every check but the overlap of panels, which the drawing shows rather than refuses.
std::optional<ValidationFailure> ValidateEntries(const DefinitionEntries& e, EditorMode mode)
{
    const auto& f = e.fields;
    const auto text = [&](Field x) -> const std::string& { return f[static_cast<int>(x)]; };

    // The editor's original checks, in their order and with their texts.
    if (e.name.empty())
        return ValidationFailure{"You Haven't Entered A Filename!", {}};
    if (text(Field::Pick).empty())
        return ValidationFailure{"No Entry For Pick", OnField(Field::Pick)};
    if (text(Field::Pool).empty())
        return ValidationFailure{"No Entry For Pool", OnField(Field::Pool)};
    const auto pick = ParseFloat(text(Field::Pick));
    if (!pick || (*pick != 5 && *pick != 6 && *pick != 7))
        return ValidationFailure{"This Version Only Supports Pick 5,6 or 7", OnField(Field::Pick)};
    for (int i = static_cast<int>(Field::TotalPanels); i < kFieldCount; ++i)
        if (f[i].empty())
            return ValidationFailure{"No Entry For 1 or More Measurements.", OnField(Field(i))};
    const auto rowsValue = ParseFloat(text(Field::RowsInPanel)).value_or(0);
    const int rows = static_cast<int>(std::clamp(rowsValue, 0.0f, float(kMaxRowFields)));
    for (int r = 0; r < rows; ++r)
        if (e.rows[r].empty())
            return ValidationFailure{"No Entry For 1 or More Rows.", OnRow(r)};

    // Further checks, so that no file is written that no reader could use.
    if (!IsTwoLetters(NameLetters(e, mode)))
        return ValidationFailure{"The Name Must Be 2 Letters From A To Z", {FocusTarget::Kind::Name, 0}};
    for (int i = 0; i < kFieldCount; ++i)
        if (!ParseFloat(f[i]))
            return ValidationFailure{std::string("Entry For ") + FieldLabel(Field(i)) + " Is Not A Number",
                                     OnField(Field(i))};
    for (int r = 0; r < rows; ++r)
        if (!ParseFloat(e.rows[r]))
            return ValidationFailure{"Entry For " + RowLabel(r) + " Is Not A Number", OnRow(r)};
    // Pick and pool also form the file name, so they must be plain digits.
    for (Field x : {Field::Pool, Field::Pick})
        if (!AllDigits(text(x)) || (x == Field::Pick && text(x).size() != 1))
            return ValidationFailure{std::string("Entry For ") + FieldLabel(x) + " Must Be A Whole Number", OnField(x)};
    for (int i = 0; i < kFieldCount; ++i)
        if (IsWholeField(Field(i)) && !IsWhole16(f[i]))
            return ValidationFailure{std::string("Entry For ") + FieldLabel(Field(i)) + " Must Be A Whole Number",
                                     OnField(Field(i))};
    for (int r = 0; r < rows; ++r)
        if (!IsWhole16(e.rows[r]))
            return ValidationFailure{"Entry For " + RowLabel(r) + " Must Be A Whole Number", OnRow(r)};
    // Counts as the reader takes them: never negative.
    for (int i = 0; i < kFieldCount; ++i)
        if (IsWholeField(Field(i)) && *ParseWhole(f[i]) < 0)
            return ValidationFailure{std::string("Entry For ") + FieldLabel(Field(i)) + " Cannot Be Negative",
                                     OnField(Field(i))};
    const auto rowCount = *ParseWhole(text(Field::RowsInPanel));
    if (rowCount < 2 || rowCount > 10)
        return ValidationFailure{"Rows In Each Panel Must Be From 2 To 10", OnField(Field::RowsInPanel)};
    const auto pool = *ParseWhole(text(Field::Pool));
    if (pool < 10 || pool > 99 || text(Field::Pool).size() != 2)
        return ValidationFailure{"Pool Must Be From 10 To 99", OnField(Field::Pool)};
    // The slip's outline is drawn from its size, though no mark is placed by it.
    for (const Field field : {Field::SlipWidth, Field::SlipHeight})
        if (const auto size = ParseFloat(text(field)); size && *size <= 0)
            return ValidationFailure{std::string(FieldLabel(field)) + " is " + ShortestText(*size) +
                                         " mm; a size must be more than 0 mm",
                                     OnField(field)};
    // A slip that would print off its sheet, before any offsets.
    if (const auto off = SheetRefusal(SlipFromEntries(e), 0, 0))
        return ValidationFailure{off->message, off->field ? OnField(*off->field) : FocusTarget{}};
    return std::nullopt;
}

}  // namespace

std::optional<ValidationFailure> ValidateDefinition(const DefinitionEntries& e, EditorMode mode)
{
    if (auto failure = ValidateEntries(e, mode))
        return failure;
    return PanelOverlap(SlipFromEntries(e));
}

}  // namespace bm

namespace bm {

Result<SlipDefinition> DrawableDefinition(DefinitionEntries entries)
{
    entries.name = "AA";  // the drawing does not depend on the name
    // Panels that overlap are drawn, so that the overlap is seen.
    if (const auto failure = ValidateEntries(entries, EditorMode::Make))
        return Error{failure->message};
    return SlipFromEntries(entries);
}

}  // namespace bm
