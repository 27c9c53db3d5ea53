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
    DrawExtraMarks(marks, surface);
    return count + static_cast<long long>(marks.extras.size());
}

}  // namespace bm
