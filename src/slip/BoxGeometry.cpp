#include "slip/BoxGeometry.h"

namespace bm {

std::int16_t NumberStep(const SlipDefinition& def)
{
    if (def.RowFirstNumber.size() < 2)
        return 0;
    const int d = def.RowFirstNumber[1] - def.RowFirstNumber[0];
    std::int16_t step = 0;
    if (def.ColumnsInPanel == d)
        step = 1;
    // Tested second on purpose: a one-column panel whose rows rise by 1 runs down the column.
    if (d == 1)
        step = static_cast<std::int16_t>(def.RowsInPanel);
    return step;
}

BoxGeometry::BoxGeometry(const SlipDefinition& def, float topOffset, float leftOffset)
    : def_(def),
      top_(topOffset),
      step_(NumberStep(def)),
      firstRowY_(def.TopToFirstRow + topOffset),
      firstBoxX_(def.LeftIndent + leftOffset)
{}

std::optional<std::int16_t> BoxGeometry::BoxNumber(int r, int c) const
{
    if (r < 1 || c < 1 || r > kMaxNumberedRows || c > kMaxNumberedColumns ||
        r > static_cast<int>(def_.RowFirstNumber.size()))
        return std::nullopt;
    // 16-bit arithmetic as the slip's numbering has always used.
    return static_cast<std::int16_t>(def_.RowFirstNumber[r - 1] + (c - 1) * step_);
}

float BoxGeometry::MainPanelTop(int m) const
{
    if (m <= 1)
        return firstRowY_;
    if (m == 2 && def_.Horizontal)
        return def_.VerticalPanelGap + top_;
    // Later main panels repeat at the pitch the second one sets, in both layouts.
    const float pitch = def_.VerticalPanelGap - def_.TopToFirstRow;
    return firstRowY_ + static_cast<float>(m - 1) * pitch;
}

float BoxGeometry::PanelLeft(int p) const
{
    return firstBoxX_ + static_cast<float>(p - 1) * def_.HorizontalPanelGap;
}

float BoxGeometry::RowTop(int m, int r) const
{
    float y = MainPanelTop(m);
    for (int i = 1; i < r; ++i)
        y += def_.VerticalRowGap;
    return y;
}

float BoxGeometry::ColumnLeft(int p, int c) const
{
    float x = PanelLeft(p);
    for (int i = 1; i < c; ++i)
        x += def_.HorizontalBoxShift;
    return x;
}

BoxRect BoxGeometry::Rect(int m, int r, int p, int c) const
{
    const float x = ColumnLeft(p, c);
    const float y = RowTop(m, r);
    return {x, y, x + def_.BoxWidth, y + def_.BoxHeight};
}

std::vector<BoxRect> BoxGeometry::AllBoxes() const
{
    std::vector<BoxRect> boxes;
    for (int m = 1; m <= def_.MainPanels; ++m)
        for (int r = 1; r <= def_.RowsInPanel; ++r)
            for (int p = 1; p <= def_.PanelsAcross; ++p)
                for (int c = 1; c <= def_.ColumnsInPanel; ++c)
                    if (OnSlip(r, c))
                        boxes.push_back(Rect(m, r, p, c));
    return boxes;
}

bool BoxGeometry::OnSlip(int r, int c) const
{
    const auto number = BoxNumber(r, c);
    return !number || def_.Pool <= 0 || *number <= def_.Pool;
}

int BoxGeometry::PlaysPerSlip() const
{
    return def_.Horizontal ? def_.MainPanels * def_.PanelsAcross : def_.MainPanels;
}

std::int64_t BoxGeometry::PlayIndex(std::int64_t s, int m, int p) const
{
    // The base grows by PanelsAcross per main panel horizontally, by 1 vertically.
    const std::int64_t perMain = def_.Horizontal ? def_.PanelsAcross : 1;
    const std::int64_t base = (s - 1) * def_.MainPanels * perMain + static_cast<std::int64_t>(m - 1) * perMain;
    return base + p;
}

std::optional<std::string> PrintRefusal(const SlipDefinition& def)
{
    if (NumberStep(def) == 0)
        return "the first numbers of rows 1 and 2 (" +
               std::to_string(def.RowFirstNumber.size() > 0 ? def.RowFirstNumber[0] : 0) + " and " +
               std::to_string(def.RowFirstNumber.size() > 1 ? def.RowFirstNumber[1] : 0) +
               ") fit no numbering: along the rows they differ by the columns across the panel (" +
               std::to_string(def.ColumnsInPanel) + "), down the columns by 1";
    if (!def.Horizontal && def.PanelsAcross > 1)
        return "a vertical layout takes one panel across, this definition has " + std::to_string(def.PanelsAcross) +
               "; neighbouring main panels would print the same plays";
    const int perSlip = def.Horizontal ? def.MainPanels * def.PanelsAcross : def.MainPanels;
    if (def.TotalPanels <= 0)
        return "Total Panels is " + std::to_string(def.TotalPanels) + "; a slip must take at least one play";
    if (def.TotalPanels != perSlip)
        return "Total Panels is " + std::to_string(def.TotalPanels) + " but the layout fills " +
               std::to_string(perSlip) + " panels per slip (" +
               (def.Horizontal
                    ? std::to_string(def.MainPanels) + " main panels x " + std::to_string(def.PanelsAcross) + " across"
                    : std::to_string(def.MainPanels) + " main panels") +
               "); plays would be skipped or printed twice";
    return std::nullopt;
}

}  // namespace bm
