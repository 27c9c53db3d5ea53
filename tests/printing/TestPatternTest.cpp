#include <gtest/gtest.h>

#include <algorithm>

#include "printing/BoxGeometry.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

// Every box on one sheet, moved by the offsets it calibrates; it also sets up definitions the job
// cannot print plays with yet (three panels, pick 8).
TEST(TestPattern, MarksEveryBoxOnOneSheet)
{
    const struct {
        int pool, rows, columns;
        bool horizontal;
        std::size_t marks;
    } cases[] = {
        {53, 7, 7, true, 480},   // leaves the last box of each panel
        {56, 4, 14, true, 560},  // the fourteenth column too
        {49, 7, 7, false, 147},  // portrait, three main panels
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pool);
        JobSetup s{.def = Horizontal649(c.horizontal ? 2 : 3), .top = "2", .left = "-1", .testMode = true};
        s.def.Pool = c.pool;
        s.def.Pick = 8;
        s.def.TotalPanels = 3;
        s.def.RowsInPanel = c.rows;
        s.def.ColumnsInPanel = c.columns;
        s.def.RowFirstNumber.clear();
        for (int r = 0; r < c.rows; ++r)
            s.def.RowFirstNumber.push_back(static_cast<std::int16_t>(1 + r * c.columns));
        s.def.Horizontal = c.horizontal;
        s.def.PanelsAcross = c.horizontal ? 5 : 1;
        const auto run = RunJob(s);
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        const auto& marks = run->surface.marks();
        EXPECT_EQ(marks.size(), c.marks);
        EXPECT_EQ(std::count(run->surface.calls().begin(), run->surface.calls().end(), "NextPage"), 0);
        EXPECT_EQ(run->surface.orientation(), c.horizontal ? Orientation::Landscape : Orientation::Portrait);
        EXPECT_FALSE(run->asked || run->status.countersShown || run->status.busy);
        EXPECT_EQ(run->status.endMessage, "Printed 1 Test Playslip");
        const BoxGeometry g(s.def, 2, -1);
        const auto marked = [&](const BoxRect& b) {
            return std::count(marks.begin(), marks.end(), RecordingSurface::Mark{1, b.x1, b.y1, b.x2, b.y2}) == 1;
        };
        for (int m = 1; m <= s.def.MainPanels; ++m)
            for (int p = 1; p <= s.def.PanelsAcross; ++p) {
                EXPECT_EQ(marked(g.Rect(m, c.rows, p, c.columns)), c.pool != 53) << m << " " << p;
                EXPECT_TRUE(marked(g.Rect(m, 1, p, 1)) && marked(g.Rect(m, c.rows, p, c.columns - 1)));
            }
    }
}

}  // namespace
