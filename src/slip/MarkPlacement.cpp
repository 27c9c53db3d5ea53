#include "slip/MarkPlacement.h"

#include <algorithm>
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
                                        const Paper& paper, const Scale& scale, int markWidth, int markHeight)
{
    const std::string name = "extra mark \"" + ShownText(extra.name) + "\"";
    const BoxRect placed = ExtraRect(extra, top, left);
    if (const auto sheet = OffSheet(def, placed, paper, scale)) {
        // Where it would print: the calibration stretches it after the offsets.
        const Sheet onSheet = SheetOf(paper, def.Horizontal);
        const ScaleOnSheet stretch{scale, onSheet.width, onSheet.landscape};
        const float x = std::min(stretch.X(placed.x1), stretch.X(placed.x2));
        const float y = std::min(stretch.Y(placed.y1), stretch.Y(placed.y2));
        const std::string included = !scale.Identity()      ? " (offsets and calibration included)"
                                     : top != 0 || left != 0 ? " (offsets included)"
                                                             : "";
        return name + " would lie at " + Mm(x) + " across, " + Mm(y) + " down" + included + ", off " + *sheet;
    }
    // Offsets move boxes and extra marks alike: the overlap is judged where they were measured.
    // Marks that only touch share no ink.
    const BoxRect measured = ExtraRect(extra, 0, 0);
    // The boxes are every row by every column: the first box over the mark, in the job's order,
    // is the first row and the first column it reaches into.
    const BoxGeometry g(def, 0, 0);
    std::optional<std::pair<int, int>> row, column;
    // Judged against the marks as they print: a reduced mark leaves the rest of its box bare.
    for (int m = 1; m <= def.MainPanels && !row; ++m)
        for (int r = 1; r <= def.RowsInPanel && !row; ++r) {
            const BoxRect b = SizedMark(g.Rect(m, r, 1, 1), markWidth, markHeight);
            if (measured.y1 < b.y2 && b.y1 < measured.y2)
                row = {m, r};
        }
    for (int p = 1; p <= def.PanelsAcross && row && !column; ++p)
        for (int c = 1; c <= def.ColumnsInPanel && !column; ++c) {
            const BoxRect b = SizedMark(g.Rect(1, 1, p, c), markWidth, markHeight);
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
        if (const auto fault = ExtraRefusal(def, extra, top, left, paper, scale, marks->width, marks->height))
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
