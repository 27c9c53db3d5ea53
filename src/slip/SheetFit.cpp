#include "slip/SheetFit.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "common/Numbers.h"
#include "slip/BoxGeometry.h"

namespace bm {

namespace {

// Positions count from the printable area's corner, which lies inside the paper's margin.
constexpr float kMargin = 10;

std::string Mm(float v)
{
    return ShortestText(v) + " mm";
}

}  // namespace

std::optional<SheetFault> SheetRefusal(const SlipDefinition& d, float top, float left, const Paper& paper,
                                       const Scale& scale)
{
    const Sheet onSheet = SheetOf(paper, d.Horizontal);
    const float width = onSheet.width, height = onSheet.height, longest = std::max(width, height);
    const std::string sheet = SheetText(paper, d.Horizontal);
    const ScaleOnSheet stretch{scale, width, onSheet.landscape};
    const std::pair<Field, float> measures[] = {{Field::TopToFirstRow, d.TopToFirstRow},
                                                {Field::LeftIndent, d.LeftIndent},
                                                {Field::BoxWidth, d.BoxWidth},
                                                {Field::BoxHeight, d.BoxHeight},
                                                {Field::HorizontalPanelGap, d.HorizontalPanelGap},
                                                {Field::VerticalRowGap, d.VerticalRowGap},
                                                {Field::VerticalPanelGap, d.VerticalPanelGap},
                                                {Field::HorizontalBoxShift, d.HorizontalBoxShift}};
    for (const auto& [field, v] : measures)
        if (!std::isfinite(v) || std::fabs(v) > longest)
            return SheetFault{std::string(FieldLabel(field)) + " is " + Mm(v) + ", beyond " + sheet, field};
    for (const auto& [which, v] : {std::pair{"top", top}, std::pair{"left", left}})
        if (!std::isfinite(v) || std::fabs(v) > longest)
            return SheetFault{std::string("the ") + which + " offset is " + Mm(v) + ", beyond " + sheet, std::nullopt};
    for (const auto& [field, v] : {std::pair{Field::BoxWidth, d.BoxWidth}, {Field::BoxHeight, d.BoxHeight}})
        if (v <= 0)
            return SheetFault{std::string(FieldLabel(field)) + " is " + Mm(v) + "; a size must be more than 0 mm",
                              field};
    const auto across = static_cast<long long>(d.ColumnsInPanel) * d.PanelsAcross;
    if (across > static_cast<long long>(width))
        return SheetFault{std::to_string(d.PanelsAcross) + " panels across of " + std::to_string(d.ColumnsInPanel) +
                              " columns are more boxes than fit across " + sheet,
                          d.PanelsAcross > d.ColumnsInPanel ? Field::PanelsAcross : Field::ColumnsInPanel};
    const auto down = static_cast<long long>(d.MainPanels) * d.RowsInPanel;
    if (down > static_cast<long long>(height))
        return SheetFault{std::to_string(d.MainPanels) + " main panels of " + std::to_string(d.RowsInPanel) +
                              " rows are more boxes than fit down " + sheet,
                          Field::MainPanels};
    if (d.MainPanels <= 0 || d.PanelsAcross <= 0 || d.ColumnsInPanel <= 0 || d.RowsInPanel <= 0)
        return std::nullopt;  // no box is printed
    // Positions grow steadily with each index, so the outermost boxes are the first and last ones
    // (the second main panel of a horizontal slip has its own top, the third starts the pitch).
    const BoxGeometry g(d, top, left);
    for (int m : {1, std::min(2, d.MainPanels), std::min(3, d.MainPanels), d.MainPanels})
        for (int r : {1, d.RowsInPanel})
            for (int p : {1, d.PanelsAcross})
                for (int c : {1, d.ColumnsInPanel}) {
                    const BoxRect at = g.Rect(m, r, p, c);
                    const BoxRect b{stretch.X(at.x1), stretch.Y(at.y1), stretch.X(at.x2), stretch.Y(at.y2)};
                    if (OffSheet(d, at, paper, scale))
                        return SheetFault{"the box of row " + std::to_string(r) + ", column " + std::to_string(c) +
                                              " of panel " + std::to_string(p) + " in main panel " + std::to_string(m) +
                                              " would lie at " + Mm(b.x1) + " across, " + Mm(b.y1) + " down (offsets" +
                                              (scale.Identity() ? "" : " and calibration") + " included), off " + sheet,
                                          std::nullopt};
                }
    return std::nullopt;
}

std::optional<std::string> OffSheet(const SlipDefinition& d, const BoxRect& at, const Paper& paper, const Scale& scale)
{
    const Sheet onSheet = SheetOf(paper, d.Horizontal);
    const ScaleOnSheet stretch{scale, onSheet.width, onSheet.landscape};
    const BoxRect b{stretch.X(at.x1), stretch.Y(at.y1), stretch.X(at.x2), stretch.Y(at.y2)};
    const bool off = !(std::min(b.x1, b.x2) >= -kMargin && std::min(b.y1, b.y2) >= -kMargin &&
                       std::max(b.x1, b.x2) <= onSheet.width && std::max(b.y1, b.y2) <= onSheet.height);
    if (!off)
        return std::nullopt;
    return SheetText(paper, d.Horizontal);
}

}  // namespace bm
