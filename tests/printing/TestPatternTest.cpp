#include <gtest/gtest.h>

#include <algorithm>

#include "printing/BoxGeometry.h"
#include "printing/RecordingSurface.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

struct Pattern {
    JobOutcome outcome;
    RecordingSurface surface;
    FakeStatus status;
    bool asked = false;
};

std::unique_ptr<Pattern> RunPattern(const SlipDefinition& d, const std::string& top = "0")
{
    TempDir dir;
    const auto file = WriteDefinition(dir, "HZ649", d);
    auto run = std::make_unique<Pattern>();
    run->status.countersShown = true;
    EscapeAtSlip escape(run->status, 1);  // held all along: the pattern never polls it
    run->outcome = RunPrintJob(RequestFor(file, d, true, top), run->surface, run->status, escape, [&] {
        run->asked = true;
        return std::filesystem::path();
    });
    return run;
}

bool Marked(const RecordingSurface& s, const BoxRect& b)
{
    return std::find(s.marks().begin(), s.marks().end(), RecordingSurface::Mark{1, b.x1, b.y1, b.x2, b.y2}) !=
           s.marks().end();
}

TEST(TestPattern, MarksEveryBoxOnOneSheet)
{
    struct Case {
        const char* what;
        int pool, rows, columns;
        std::size_t marks;
    } cases[] = {
        {"49 on 7 x 7", 49, 7, 7, 490},
        {"53 leaves the last box of each panel", 53, 7, 7, 480},
        {"52 on 6 x 9", 52, 6, 9, 540},
        {"53 on 6 x 9", 53, 6, 9, 530},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SlipDefinition d = Horizontal649(2);
        d.Pool = c.pool;
        d.RowsInPanel = c.rows;
        d.ColumnsInPanel = c.columns;
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
                EXPECT_TRUE(Marked(run->surface, g.Rect(m, 1, p, 1)));
            }
    }
}

TEST(TestPattern, MarksTheFourteenthColumn)
{
    SlipDefinition d = Horizontal649(1);
    d.Pool = 56;
    d.ColumnsInPanel = 14;
    d.RowsInPanel = 4;
    d.RowFirstNumber = {1, 15, 29, 43};
    const auto run = RunPattern(d);
    ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
    EXPECT_EQ(run->surface.marks().size(), 5u * 4 * 14);
    const BoxGeometry g(d, 0, 0);
    for (int p = 1; p <= 5; ++p)
        for (int r = 1; r <= 4; ++r)
            EXPECT_TRUE(Marked(run->surface, g.Rect(1, r, p, 14)));
}

TEST(TestPattern, ATopOffsetOfOneMovesEveryMarkOneMillimetreDown)
{
    const SlipDefinition d = Horizontal649(2);
    const auto zero = RunPattern(d, "0");
    const auto one = RunPattern(d, "+1");
    const auto& a = zero->surface.marks();
    const auto& b = one->surface.marks();
    ASSERT_EQ(a.size(), 490u);
    ASSERT_EQ(b.size(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(b[i].y1, a[i].y1 + 1, 1e-4) << i;
        EXPECT_NEAR(b[i].y2, a[i].y2 + 1, 1e-4) << i;
        EXPECT_EQ(b[i].x1, a[i].x1) << i;
    }
    EXPECT_NEAR(b.back().y1, d.VerticalPanelGap + 1 + 6 * d.VerticalRowGap, 1e-4);  // second main panel too
}

TEST(TestPattern, PrintsDefinitionsThePrintJobRefusesButNotUnreadableOnes)
{
    SlipDefinition odd = Horizontal649(2);
    odd.TotalPanels = 3;  // disagrees with the layout
    odd.Pick = 8;
    const auto printed = RunPattern(odd);
    EXPECT_EQ(printed.get()->outcome.end, JobEnd::Completed) << printed->outcome.message;
    EXPECT_EQ(printed->surface.marks().size(), 490u);

    SlipDefinition oneRow = Horizontal649(2);
    oneRow.RowsInPanel = 1;
    oneRow.ColumnsInPanel = 49;
    oneRow.RowFirstNumber = {1};
    const auto refused = RunPattern(oneRow);
    EXPECT_EQ(refused->outcome.end, JobEnd::Refused);
    EXPECT_NE(refused->outcome.message.find("22 to 30 lines"), std::string::npos);
    EXPECT_TRUE(refused->surface.marks().empty());
    EXPECT_FALSE(refused->surface.ended());
}

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
    EXPECT_FLOAT_EQ(run->surface.marks()[49].y1, d.VerticalPanelGap + 2);
    EXPECT_FLOAT_EQ(run->surface.marks()[98].y1, d.VerticalPanelGap + 2 + pitch);
}

}  // namespace
