#include "printing/TestPattern.h"

namespace bm {

long long DrawTestPattern(const SlipDefinition& def, const BoxGeometry& geometry, PrintSurface& surface,
                          const PlacedMarks& marks)
{
    long long count = 0;
    for (int m = 1; m <= def.MainPanels; ++m) {
        for (int r = 1; r <= def.RowsInPanel; ++r) {
            for (int p = 1; p <= def.PanelsAcross; ++p) {
                for (int c = 1; c <= def.ColumnsInPanel; ++c) {
                    if ((def.Pool == 53 && r == def.RowsInPanel && c == def.ColumnsInPanel) || !geometry.OnSlip(r, c))
                        continue;
                    const BoxRect box = marks.Sized(geometry.Rect(m, r, p, c));
                    surface.FillBox(box.x1, box.y1, box.x2, box.y2);
                    ++count;
                }
            }
        }
    }
    // Both grids and every board box of every panel, in the order a job puts them.
    if (marks.second) {
        const SecondGrid& grid = *marks.second;
        for (int m = 1; m <= def.MainPanels; ++m)
            for (int row = 0; row < grid.Rows(); ++row)
                for (int p = 1; p <= def.PanelsAcross; ++p)
                    for (int column = 0; column < grid.columns && row * grid.columns + column < grid.pool; ++column) {
                        const BoxRect box = marks.Sized(SecondBoxAt(geometry, grid, m, p, row, column));
                        surface.FillBox(box.x1, box.y1, box.x2, box.y2);
                        ++count;
                    }
    }
    for (int m = 1; m <= def.MainPanels; ++m)
        for (int p = 1; p <= def.PanelsAcross; ++p)
            for (const BoardBox& b : marks.board) {
                const BoxRect box = BoardRect(geometry, b, m, p);
                surface.FillBox(box.x1, box.y1, box.x2, box.y2);
                ++count;
            }
    DrawExtraMarks(marks, surface);
    return count + static_cast<long long>(marks.extras.size());
}

}  // namespace bm
