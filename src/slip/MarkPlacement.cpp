#include "slip/MarkPlacement.h"

#include <utility>

#include "common/Numbers.h"
#include "common/ShownText.h"
#include "slip/SheetFit.h"

namespace bm {

namespace {

// Both sides of one axis pulled in by the same amount, so the mark stays centred.
void Shrink(float& low, float& high, int percent)
{
    if (percent == kFullMark)
        return;
    const double inset = (static_cast<double>(high) - low) * (kFullMark - percent) / (2.0 * kFullMark);
    const double a = low + inset, b = high - inset;
    low = static_cast<float>(a);
    high = static_cast<float>(b);
}

std::string Mm(float v)
{
    return ShortestText(v) + " mm";
}

}  // namespace

BoxRect SizedMark(const BoxRect& box, int widthPercent, int heightPercent)
{
    BoxRect sized = box;
    Shrink(sized.x1, sized.x2, widthPercent);
    Shrink(sized.y1, sized.y2, heightPercent);
    return sized;
}

BoxRect ExtraRect(const ExtraMark& extra, float topOffset, float leftOffset)
{
    const float x = extra.left + leftOffset;
    const float y = extra.top + topOffset;
    return {x, y, x + extra.width, y + extra.height};
}

PlacedMarks PlaceMarks(const SlipMarks& marks, float topOffset, float leftOffset)
{
    PlacedMarks placed{marks.width, marks.height, {}};
    for (const ExtraMark& extra : marks.extras)
        placed.extras.push_back(ExtraRect(extra, topOffset, leftOffset));
    return placed;
}

void DrawExtraMarks(const PlacedMarks& marks, PrintSurface& surface)
{
    for (const BoxRect& r : marks.extras)
        surface.FillBox(r.x1, r.y1, r.x2, r.y2);
}

std::optional<std::string> ExtraRefusal(const SlipDefinition& def, const ExtraMark& extra, float top, float left,
                                        const Paper& paper, const Scale& scale)
{
    const std::string name = "extra mark \"" + ShownText(extra.name) + "\"";
    const BoxRect placed = ExtraRect(extra, top, left);
    if (const auto sheet = OffSheet(def, placed, paper, scale))
        return name + " would lie at " + Mm(placed.x1) + " across, " + Mm(placed.y1) + " down" +
               (top != 0 || left != 0 ? " (offsets included)" : "") + ", off " + *sheet;
    // Offsets move boxes and extra marks alike: the overlap is judged where they were measured.
    // Marks that only touch share no ink.
    const BoxRect measured = ExtraRect(extra, 0, 0);
    // Beyond the slip's edge a mark lands on the platen or the printer's rollers, not the slip.
    constexpr float kEdgeSlack = 0.001f;  // what float sums of millimetres miss by
    if (measured.x1 < -kEdgeSlack || measured.y1 < -kEdgeSlack || measured.x2 > def.SlipWidth + kEdgeSlack ||
        measured.y2 > def.SlipHeight + kEdgeSlack)
        return name + " lies at " + ShortestText(measured.x1) + " to " + Mm(measured.x2) + " across, " +
               ShortestText(measured.y1) + " to " + Mm(measured.y2) + " down, beyond the " +
               ShortestText(def.SlipWidth) + " x " + Mm(def.SlipHeight) + " slip; keep extra marks on the slip";
    // The boxes are every row by every column: the first box over the mark, in the job's order,
    // is the first row and the first column it reaches into.
    const BoxGeometry g(def, 0, 0);
    std::optional<std::pair<int, int>> row, column;
    for (int m = 1; m <= def.MainPanels && !row; ++m)
        for (int r = 1; r <= def.RowsInPanel && !row; ++r) {
            const BoxRect b = g.Rect(m, r, 1, 1);
            if (measured.y1 < b.y2 && b.y1 < measured.y2)
                row = {m, r};
        }
    for (int p = 1; p <= def.PanelsAcross && row && !column; ++p)
        for (int c = 1; c <= def.ColumnsInPanel && !column; ++c) {
            const BoxRect b = g.Rect(1, 1, p, c);
            if (measured.x1 < b.x2 && b.x1 < measured.x2)
                column = {p, c};
        }
    if (row && column) {
        const auto [m, r] = *row;
        const auto [p, c] = *column;
        const auto number = g.BoxNumber(r, c);
        return name + " lies over the number box of row " + std::to_string(r) + ", column " + std::to_string(c) +
               " of panel " + std::to_string(p) + " in main panel " + std::to_string(m) +
               (number ? " (number " + std::to_string(*number) + ")" : "") + "; it would print as that number played";
    }
    return std::nullopt;
}

Result<SlipMarks> ReadMarksFor(const std::filesystem::path& definitionFile, const SlipDefinition& def, float top,
                               float left, const Paper& paper, const Scale& scale)
{
    const std::filesystem::path file = MarksFileOf(definitionFile);
    auto marks = ReadSlipMarks(file);
    if (!marks)
        return marks;
    for (const ExtraMark& extra : marks->extras)
        if (const auto fault = ExtraRefusal(def, extra, top, left, paper, scale))
            return Error{file.string() + ": line " + std::to_string(extra.line) + ": " + *fault};
    return marks;
}

void AddExtrasToDrawing(SlipDrawing& drawing, const SlipMarks& marks, float top, float left, int markedExtra)
{
    for (const ExtraMark& extra : marks.extras)
        drawing.extras.push_back({ExtraRect(extra, top, left), extra.name, true});
    drawing.markedExtra = markedExtra;
}

std::vector<BoxRect> SampleMarks(const SlipDefinition& def, const SlipMarks& marks)
{
    std::vector<BoxRect> sample;
    const BoxGeometry g(def, 0, 0);
    for (int r = 1; r <= def.RowsInPanel; ++r)
        for (int c = 1; c <= def.ColumnsInPanel; ++c)
            sample.push_back(SizedMark(g.Rect(1, r, 1, c), marks.width, marks.height));
    return sample;
}

}  // namespace bm
