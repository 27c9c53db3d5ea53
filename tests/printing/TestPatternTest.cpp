#include <gtest/gtest.h>

#include <algorithm>

#include "printing/BoxGeometry.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

std::unique_ptr<Run> RunPattern(const SlipDefinition& d, const std::string& top = "0")
{
    JobSetup s;
    s.def = d;
    s.testMode = true;
    s.top = top;
    return RunJob(s);
}

bool Marked(const RecordingSurface& s, const BoxRect& b)
{
    return std::find(s.marks().begin(), s.marks().end(), RecordingSurface::Mark{1, b.x1, b.y1, b.x2, b.y2}) !=
           s.marks().end();
}

TEST(TestPattern, MarksEveryBoxOnOneSheet)
{
    const struct {
        const char* what;
        int pool, rows, columns;
        std::size_t marks;
        int totalPanels = 10, pick = 6;
    } cases[] = {
        {"49 on 7 x 7", 49, 7, 7, 490},
        {"53 leaves the last box of each panel", 53, 7, 7, 480},
        {"52 on 6 x 9", 52, 6, 9, 540},
        {"53 on 6 x 9", 53, 6, 9, 530},
        {"56 on 4 x 14: the fourteenth column too", 56, 4, 14, 560},
        // The pattern helps to set up a definition the job cannot print plays with yet.
        {"3 Total Panels and pick 8", 49, 7, 7, 490, 3, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SlipDefinition d = Horizontal649(2);
        d.Pool = c.pool;
        d.RowsInPanel = c.rows;
        d.ColumnsInPanel = c.columns;
        d.TotalPanels = c.totalPanels;
        d.Pick = c.pick;
        d.RowFirstNumber.clear();
        for (int r = 0; r < c.rows; ++r)
            d.RowFirstNumber.push_back(static_cast<std::int16_t>(1 + r * c.columns));
        const auto run = RunPattern(d);
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        EXPECT_EQ(run->surface.marks().size(), c.marks);
        EXPECT_EQ(run->surface.sheets(), 1);
        EXPECT_EQ(std::count(run->surface.calls().begin(), run->surface.calls().end(), "NextPage"), 0);
        EXPECT_EQ(run->surface.orientation(), Orientation::Landscape);
        EXPECT_FALSE(run->asked);
        EXPECT_EQ(run->status.endMessage, "Printed 1 Test Playslip");
        EXPECT_TRUE(run->status.endShown);
        EXPECT_FALSE(run->status.countersShown);
        EXPECT_FALSE(run->status.busy);

        const BoxGeometry g(d, 0, 0);
        for (int m = 1; m <= 2; ++m)
            for (int p = 1; p <= 5; ++p) {
                EXPECT_EQ(Marked(run->surface, g.Rect(m, c.rows, p, c.columns)), c.pool != 53);
                EXPECT_TRUE(Marked(run->surface, g.Rect(m, c.rows, p, c.columns - 1)));
                EXPECT_TRUE(Marked(run->surface, g.Rect(m, 1, p, c.columns)));
                EXPECT_TRUE(Marked(run->surface, g.Rect(m, 1, p, 1)));
            }
    }
}

// The pattern is what offsets are calibrated with: each main panel moves by the top offset once.
TEST(TestPattern, VerticalDefinitionPrintsPortraitWithMainPanelsAtTheirPitch)
{
    SlipDefinition d = Horizontal649(3);
    d.Horizontal = false;
    d.PanelsAcross = 1;
    d.TotalPanels = 3;
    const auto run = RunPattern(d, "2");
    ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
    EXPECT_EQ(run->surface.orientation(), Orientation::Portrait);
    EXPECT_EQ(run->surface.marks().size(), 3u * 49);
    const float pitch = d.VerticalPanelGap - d.TopToFirstRow;
    EXPECT_FLOAT_EQ(run->surface.marks()[0].y1, d.TopToFirstRow + 2);
    EXPECT_FLOAT_EQ(run->surface.marks()[49].y1, d.VerticalPanelGap + 2);
    EXPECT_FLOAT_EQ(run->surface.marks()[98].y1, d.VerticalPanelGap + 2 + pitch);
}

}  // namespace
