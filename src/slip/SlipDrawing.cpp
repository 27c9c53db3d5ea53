#include "slip/SlipDrawing.h"

#include "common/Numbers.h"

namespace bm {

namespace {

// Dimension lines stand this far off what they measure, so they do not cover the boxes.
constexpr float kClear = 2.5f;

}  // namespace

SlipDrawing DrawingOf(const SlipDefinition& def, float top, float left)
{
    SlipDrawing d;
    if (!def.Horizontal)
        std::swap(d.sheetWidth, d.sheetHeight);
    d.slip = {left, top, left + def.SlipWidth, top + def.SlipHeight};
    const BoxGeometry g(def, top, left);
    d.boxes = g.AllBoxes();
    const int rows = def.RowsInPanel, columns = def.ColumnsInPanel;
    if (rows < 1 || columns < 1 || static_cast<int>(def.RowFirstNumber.size()) < rows)
        return d;
    // The last box's number as the slip reads, also past the columns the job marks; a grid with
    // more cells than the pool ends at the last box the slip has.
    int lastColumn = columns;
    while (lastColumn > 1 && !g.OnSlip(rows, lastColumn))
        --lastColumn;
    const int last = def.RowFirstNumber[static_cast<std::size_t>(rows - 1)] + (lastColumn - 1) * g.Step();
    for (int m = 1; m <= def.MainPanels; ++m)
        for (int p = 1; p <= def.PanelsAcross; ++p) {
            d.labels.push_back({g.Rect(m, 1, p, 1), std::to_string(def.RowFirstNumber[0]), true});
            d.labels.push_back({g.Rect(m, rows, p, lastColumn), std::to_string(last), false});
        }
    return d;
}

std::optional<Dimension> DimensionOf(Field field, const SlipDefinition& def, float top, float left)
{
    const BoxGeometry g(def, top, left);
    const BoxRect box = g.Rect(1, 1, 1, 1);
    const std::string text = std::string(FieldLabel(field)) + ": ";
    const auto across = [&](float x1, float x2, float y, float value) {
        return Dimension{x1, y, x2, y, text + ShortestText(value) + " mm"};
    };
    const auto down = [&](float y1, float y2, float x, float value) {
        return Dimension{x, y1, x, y2, text + ShortestText(value) + " mm"};
    };
    switch (field) {
    case Field::SlipWidth: return across(left, left + def.SlipWidth, top - kClear, def.SlipWidth);
    case Field::SlipHeight: return down(top, top + def.SlipHeight, left - kClear, def.SlipHeight);
    case Field::TopToFirstRow: return down(top, box.y1, box.x1 - kClear, def.TopToFirstRow);
    case Field::LeftIndent: return across(left, box.x1, box.y1 - kClear, def.LeftIndent);
    case Field::BoxWidth: return across(box.x1, box.x2, box.y1 - kClear, def.BoxWidth);
    case Field::BoxHeight: return down(box.y1, box.y2, box.x1 - kClear, def.BoxHeight);
    case Field::HorizontalBoxShift:
        if (def.ColumnsInPanel < 2)
            return std::nullopt;
        return across(box.x1, g.ColumnLeft(1, 2), box.y1 - kClear, def.HorizontalBoxShift);
    case Field::HorizontalPanelGap:
        if (def.PanelsAcross < 2)
            return std::nullopt;
        return across(box.x1, g.PanelLeft(2), box.y1 - kClear, def.HorizontalPanelGap);
    case Field::VerticalRowGap:
        if (def.RowsInPanel < 2)
            return std::nullopt;
        return down(box.y1, g.RowTop(1, 2), box.x1 - kClear, def.VerticalRowGap);
    case Field::VerticalPanelGap:
        if (def.MainPanels < 2)
            return std::nullopt;
        return down(top, g.MainPanelTop(2), box.x1 - 2 * kClear, def.VerticalPanelGap);
    default: return std::nullopt;
    }
}

}  // namespace bm
