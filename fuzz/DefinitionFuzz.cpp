// Definition files come from the editor, from other installations and from hand edits.
// Besides not crashing: whatever the reader accepts is a consistent definition, and the editor's
// Modify mode (entries from the definition, written again) gives a file that reads back the same,
// and what the editor would save fits its sheet.
#include <cmath>

#include "FuzzSupport.h"
#include "definitions/DefinitionFile.h"
#include "slip/SheetFit.h"

using namespace bm;
using bmfuzz::Require;

namespace {

bool Close(float a, float b)
{
    // The editor shows seven significant digits.
    return a == b || std::fabs(a - b) <= 1e-6f * std::fmax(std::fabs(a), std::fabs(b));
}

void CheckAccepted(const SlipDefinition& d, std::size_t lines)
{
    Require(d.RowsInPanel >= 1 && d.RowsInPanel <= kMaxRowFields, "row count outside 1 to 12 accepted");
    Require(d.RowFirstNumber.size() == static_cast<std::size_t>(d.RowsInPanel), "row list and row count disagree");
    Require(lines == static_cast<std::size_t>(kFieldCount + d.RowsInPanel + 3), "line count and row count disagree");
    for (int count : {d.Pool, d.Pick, d.TotalPanels, d.MainPanels, d.PanelsAcross, d.ColumnsInPanel})
        Require(count >= 0, "a negative count accepted");
}

void CheckRoundTrip(const SlipDefinition& d)
{
    const DefinitionEntries entries = EntriesFromDefinition("ZZ", d);
    bmfuzz::WriteScratch(DefinitionFileText(entries));
    const auto again = ReadDefinitionFile(bmfuzz::ScratchFile());
    Require(again.ok(), "the editor's text of an accepted definition is refused: " +
                            (again.ok() ? std::string() : again.error().message));
    const SlipDefinition& e = *again;
    Require(e.Pool == d.Pool && e.Pick == d.Pick && e.TotalPanels == d.TotalPanels && e.MainPanels == d.MainPanels &&
                e.RowsInPanel == d.RowsInPanel && e.PanelsAcross == d.PanelsAcross &&
                e.ColumnsInPanel == d.ColumnsInPanel && e.RowFirstNumber == d.RowFirstNumber,
            "a count or row number changed on the way through the editor");
    Require(e.bBon == d.bBon && e.bPB == d.bPB && e.Horizontal == d.Horizontal, "a flag changed");
    const float before[] = {d.SlipWidth,        d.SlipHeight,        d.TopToFirstRow,      d.LeftIndent,
                            d.BoxWidth,         d.BoxHeight,         d.HorizontalPanelGap, d.VerticalRowGap,
                            d.VerticalPanelGap, d.HorizontalBoxShift};
    const float after[] = {e.SlipWidth,        e.SlipHeight,        e.TopToFirstRow,      e.LeftIndent,
                           e.BoxWidth,         e.BoxHeight,         e.HorizontalPanelGap, e.VerticalRowGap,
                           e.VerticalPanelGap, e.HorizontalBoxShift};
    for (std::size_t i = 0; i < std::size(before); ++i)
        Require(Close(before[i], after[i]),
                "measurement " + std::to_string(i) + " changed on the way through the editor");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    bmfuzz::WriteScratch(bmfuzz::AsText(data, size));
    const auto values = ReadDefinitionValues(bmfuzz::ScratchFile());
    const auto definition = ReadDefinitionFile(bmfuzz::ScratchFile());
    if (values.ok()) {
        Require(values->size() >= kFieldCount + 4 && values->size() <= kFieldCount + kMaxRowFields + 3,
                "a line count no definition has was accepted");
        for (float v : *values)
            Require(std::isfinite(v), "a value that is not finite was accepted");
    } else {
        Require(!definition.ok(), "values refused but the definition accepted");
        Require(!values.error().message.empty(), "a refusal without a message");
    }
    if (definition.ok()) {
        CheckAccepted(*definition, values->size());
        CheckRoundTrip(*definition);
        // What the editor would save must also fit its sheet, and the sheet check never fails on a read definition.
        const auto offSheet = SheetRefusal(*definition, 0, 0);
        const DefinitionEntries entries = EntriesFromDefinition("ZZ", *definition);
        if (!ValidateDefinition(entries, EditorMode::Make) && offSheet)
            Require(false, "the editor accepts a definition that prints off its sheet: " + offSheet->message);
    } else {
        Require(definition.error().message.rfind(bmfuzz::ScratchFile().string(), 0) == 0,
                "a refusal that does not name the file: " + definition.error().message);
    }
    return 0;
}
