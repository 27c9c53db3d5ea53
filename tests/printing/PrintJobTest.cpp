#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "printing/BoxGeometry.h"
#include "printing/RecordingSurface.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

// The sheets' marks keyed by (panel across, main panel) from their position on the slip.
int PanelAcrossOf(const SlipDefinition& d, const RecordingSurface::Mark& m)
{
    return static_cast<int>((m.x1 - d.LeftIndent) / d.HorizontalPanelGap) + 1;
}

TEST(PrintJob, SlipCountFillsTheLastSlipAndFeedsNoEmptySheet)
{
    const struct {
        int plays, panels;
        const char* summary;
        int sheets;
        const char* addedOnceCounted = "";
    } cases[] = {
        {12, 1, "Printing 12 Picks On 3 Playslips", 3},  // 5 panels: 10 + 2 and 3 empty panels
        {10, 1, "Printing 10 Picks On 2 Playslips", 2},
        {0, 1, "Printing 0 Picks On 0 Playslips", 0},
        {11, 2, "Printing 11 Picks On 2 Playslips", 2},  // 10 panels per slip
        {1, 2, "Printing 1 Picks On 1 Playslips", 1},
        {12, 2, "Printing 12 Picks On 2 Playslips", 2, "\r\n   \r\n"},  // blank lines change no play
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.summary);
        JobSetup s;
        s.def = Horizontal649(c.panels);
        s.wheel = Wheel(c.plays);
        if (*c.addedOnceCounted)
            s.wheelOnceCounted = s.wheel + c.addedOnceCounted;
        const auto run = RunJob(s);
        EXPECT_EQ(run->outcome.end, JobEnd::Completed);
        EXPECT_EQ(run->status.summary, c.summary);
        EXPECT_EQ(run->surface.sheets(), c.sheets);
        EXPECT_EQ(run->surface.marks().size(), static_cast<std::size_t>(c.plays * 6));
        EXPECT_EQ(run->status.endMessage, "Processing Complete");
        EXPECT_TRUE(run->status.endShown);
        EXPECT_TRUE(run->status.countersShown);
        EXPECT_FALSE(run->status.busy);
        const auto& calls = run->surface.calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "NextPage"), c.sheets);
        EXPECT_EQ(calls.back(), "EndDocument");
    }
}

TEST(PrintJob, PlaysFillThePanelsInWheelOrderAndTheLastSlipKeepsEmptyPanels)
{
    JobSetup s;
    s.def = Horizontal649(1);
    const auto run = RunJob(s);
    ASSERT_EQ(run->surface.sheets(), 3);
    // Play i holds the number i in row 1 (i <= 7) or further down; every play marks 6 boxes in its panel.
    std::map<std::pair<int, int>, int> perPanel;  // (sheet, panel) -> marks
    for (const auto& m : run->surface.marks())
        ++perPanel[{m.sheet, PanelAcrossOf(s.def, m)}];
    for (int sheet = 1; sheet <= 3; ++sheet)
        for (int p = 1; p <= 5; ++p)
            EXPECT_EQ((perPanel[{sheet, p}]), sheet < 3 || p <= 2 ? 6 : 0) << "sheet " << sheet << " panel " << p;
    // Play 11 (sheet 3, panel 1) holds 11: row 2, column 4.
    const BoxGeometry g(s.def, 0, 0);
    const BoxRect r = g.Rect(1, 2, 1, 4);
    EXPECT_NE(std::find(run->surface.marks().begin(), run->surface.marks().end(),
                        RecordingSurface::Mark{3, r.x1, r.y1, r.x2, r.y2}),
              run->surface.marks().end());
}

TEST(PrintJob, EscapeAbandonsTheWholeDocumentAndSaysAtWhichSlip)
{
    JobSetup s;
    s.def = Horizontal649(1);
    s.wheel = Wheel(25);
    s.escapeAtSlip = 3;
    const auto run = RunJob(s);
    EXPECT_EQ(run->outcome.end, JobEnd::Aborted);
    EXPECT_EQ(run->outcome.slip, 3);
    EXPECT_EQ(run->status.endMessage, "Print Job Aborted At Slip 3");
    EXPECT_TRUE(run->status.endShown);
    EXPECT_TRUE(run->surface.abandoned());
    EXPECT_FALSE(run->surface.ended());
    EXPECT_EQ(run->surface.sheets(), 0);
    EXPECT_TRUE(run->surface.marks().empty());
    EXPECT_FALSE(run->status.busy);
}

// Exactly the boxes of each panel's play, in drawing order: row by row, panel by panel, column by column.
TEST(PrintJob, MarksTheBoxesOfEachPlayAndNoOther)
{
    const struct {
        const char* what;
        std::function<void(SlipDefinition&)> change;
        const char* wheel;
        std::vector<std::set<int>> panels;  // the numbers marked in each panel of the slip
    } cases[] = {
        {"powerball: five marks, never the sixth number",
         [](SlipDefinition& d) {
             d.Pool = 69;
             d.Pick = 5;
             d.bPB = true;
             d.RowsInPanel = 10;
             d.RowFirstNumber = {1, 8, 15, 22, 29, 36, 43, 50, 57, 64};
         },
         "5,12,23,34,45,7\r\n1 2 3 4 5 6\r\n", {{5, 12, 23, 34, 45}, {1, 2, 3, 4, 5}}},
        {"numbers in the fourteenth column are never marked",
         [](SlipDefinition& d) {
             d.Pool = 56;
             d.ColumnsInPanel = 14;
             d.RowsInPanel = 4;
             d.RowFirstNumber = {1, 15, 29, 43};
         },
         "13,14,28,1,2,3\r\n", {{13, 1, 2, 3}}},
        {"empty panels stay empty where a box stands for zero",
         [](SlipDefinition& d) { d.RowFirstNumber = {0, 7, 14, 21, 28, 35, 42}; }, "0,1,2,3,4,5\r\n",
         {{0, 1, 2, 3, 4, 5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        JobSetup s;
        s.def = Horizontal649(1);
        c.change(s.def);
        s.wheel = c.wheel;
        const auto run = RunJob(s);
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        const BoxGeometry g(s.def, 0, 0);
        std::vector<RecordingSurface::Mark> expected;
        for (int r = 1; r <= s.def.RowsInPanel; ++r)
            for (std::size_t p = 1; p <= c.panels.size(); ++p)
                for (int col = 1; col <= s.def.ColumnsInPanel; ++col)
                    if (const auto n = g.BoxNumber(r, col); n && c.panels[p - 1].count(*n)) {
                        const BoxRect b = g.Rect(1, r, static_cast<int>(p), col);
                        expected.push_back({1, b.x1, b.y1, b.x2, b.y2});
                    }
        EXPECT_EQ(run->surface.marks(), expected);
    }
}

TEST(PrintJob, OffsetsMoveEveryMarkAndAreReadAtEveryStart)
{
    JobSetup s;
    const auto before = RunJob(s);
    s.top = "1";
    s.left = "-0.5";
    const auto after = RunJob(s);
    const auto& a = before->surface.marks();
    const auto& b = after->surface.marks();
    ASSERT_EQ(a.size(), b.size());
    ASSERT_FALSE(a.empty());
    std::set<float> tops;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(b[i].y1 - a[i].y1, 1.0f, 1e-4);
        EXPECT_NEAR(b[i].y2 - a[i].y2, 1.0f, 1e-4);
        EXPECT_NEAR(b[i].x1 - a[i].x1, -0.5f, 1e-4);
        tops.insert(a[i].y1);
    }
    EXPECT_TRUE(std::any_of(tops.begin(), tops.end(), [](float y) { return y >= 45; }))
        << "the second main panel is covered";
}

TEST(PrintJob, SetsUpTheSurfaceFromTheCallersFlagsBeforeAnything)
{
    for (bool horizontal : {true, false}) {
        TempDir dir;
        SlipDefinition d = Horizontal649(1);
        const auto file = WriteDefinition(dir, "HZ649", d);  // the file says horizontal
        d.Horizontal = horizontal;
        RecordingSurface surface;
        FakeStatus status;
        EscapeAtSlip never(status, 0);
        RunPrintJob(RequestFor(file, d), surface, status, never, [] { return std::filesystem::path(); });
        ASSERT_GE(surface.calls().size(), 2u);
        EXPECT_EQ(surface.calls()[0], "UseMillimetres");
        EXPECT_EQ(surface.calls()[1], horizontal ? "SetOrientation Landscape" : "SetOrientation Portrait");
    }
}

}  // namespace
