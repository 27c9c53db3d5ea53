#include <gtest/gtest.h>

#include <functional>

#include "printing/RecordingSurface.h"
#include "printing/TestPattern.h"
#include "slip/BoxGeometry.h"
#include "slip/MarkPlacement.h"
#include "slip/SlipDrawing.h"

using namespace bm;

namespace {

SlipDefinition WorkedExample()
{
    return {.Pool = 49,
            .Pick = 6,
            .TotalPanels = 10,
            .TopToFirstRow = 50,
            .MainPanels = 2,
            .RowsInPanel = 7,
            .PanelsAcross = 5,
            .LeftIndent = 10,
            .ColumnsInPanel = 7,
            .BoxWidth = 3,
            .BoxHeight = 2,
            .HorizontalPanelGap = 40,
            .VerticalRowGap = 5,
            .VerticalPanelGap = 90,
            .HorizontalBoxShift = 4,
            .RowFirstNumber = {1, 8, 15, 22, 29, 36, 43},
            .Horizontal = true};
}

SlipDefinition Vertical(int mainPanels)
{
    auto d = WorkedExample();
    d.Horizontal = false;
    d.MainPanels = d.TotalPanels = mainPanels;
    d.PanelsAcross = 1;
    return d;
}

// Offsets move every main panel once: the second starts at its gap plus the top offset.
TEST(BoxGeometry, WorkedExampleWithAndWithoutOffsets)
{
    const BoxGeometry plain(WorkedExample(), 0, 0), moved(WorkedExample(), -1, 2);
    EXPECT_EQ(plain.BoxNumber(3, 3), 17);  // numbered along the rows
    EXPECT_EQ(plain.Rect(1, 1, 1, 1), (BoxRect{10, 50, 13, 52}));
    EXPECT_EQ(moved.Rect(1, 3, 2, 3), (BoxRect{60, 59, 63, 61}));
    EXPECT_EQ(moved.Rect(2, 3, 2, 3), (BoxRect{60, 99, 63, 101}));
    // Plays fill the panels across, then the main panels, then the slips; a vertical slip down its main panels.
    EXPECT_EQ(plain.PlaysPerSlip(), 10);
    EXPECT_EQ(plain.PlayIndex(2, 2, 4), 19);
    EXPECT_EQ(BoxGeometry(Vertical(4), 0, 0).PlayIndex(3, 2, 1), 10);
}

// Down the columns where the second row starts one on; one column: down wins.
TEST(BoxGeometry, NumberStepFollowsTheFirstTwoRows)
{
    EXPECT_EQ(NumberStep({.RowsInPanel = 7, .ColumnsInPanel = 7, .RowFirstNumber = {1, 2, 3, 4, 5, 6, 7}}), 7);
    EXPECT_EQ(NumberStep({.RowsInPanel = 3, .ColumnsInPanel = 7, .RowFirstNumber = {1, 5, 9}}), 0);  // no scheme
    EXPECT_EQ(NumberStep({.RowsInPanel = 5, .ColumnsInPanel = 1, .RowFirstNumber = {1, 2, 3, 4, 5}}), 5);
}

TEST(BoxGeometry, NumbersStopAfterTenRowsAndThirteenColumns)
{
    auto d = WorkedExample();
    d.ColumnsInPanel = 14;
    d.RowFirstNumber = {1, 15, 29};
    d.RowsInPanel = 3;
    BoxGeometry g(d, 0, 0);
    EXPECT_EQ(g.BoxNumber(2, 13), 27);
    EXPECT_FALSE(g.BoxNumber(2, 14).has_value() || g.BoxNumber(11, 1).has_value());
    // The fourteenth column still has its place.
    EXPECT_FLOAT_EQ(g.Rect(1, 1, 1, 14).x1, 10 + 13 * 4.0f);
}

TEST(BoxGeometry, PositionsAreSummedInSinglePrecision)
{
    auto d = WorkedExample();
    d.VerticalRowGap = 4.2f;
    d.HorizontalBoxShift = 4.1f;
    BoxGeometry g(d, 0.3f, 0.7f);
    float y = 50.0f + 0.3f, x = 10.0f + 0.7f;
    for (int i = 1; i < 7; ++i) {
        y += 4.2f;
        x += 4.1f;
    }
    EXPECT_EQ(g.RowTop(1, 7), y);  // exact: the same float steps, not a product
    EXPECT_EQ(g.ColumnLeft(1, 7), x);
}

// From the second main panel on they repeat at the second one's pitch, vertical or not.
TEST(BoxGeometry, MainPanelsRepeatAtTheSecondOnesPitch)
{
    for (bool horizontal : {false, true}) {
        auto d = Vertical(4);
        d.Horizontal = horizontal;
        d.TopToFirstRow = 20;
        d.VerticalPanelGap = 62;
        BoxGeometry g(d, 2, 0);
        EXPECT_FLOAT_EQ(g.MainPanelTop(1), 22) << horizontal;
        EXPECT_FLOAT_EQ(g.MainPanelTop(2), 64) << horizontal;
        EXPECT_FLOAT_EQ(g.MainPanelTop(3), 64 + 42) << horizontal;
    }
}

TEST(PrintRefusal, ExplainsDefinitionsThatCannotPrintPlays)
{
    EXPECT_FALSE(PrintRefusal(WorkedExample()).has_value() || PrintRefusal(Vertical(4)).has_value());
    const std::pair<std::function<void(SlipDefinition&)>, const char*> cases[] = {
        {[](SlipDefinition& d) { d.RowFirstNumber[1] = 10; }, "fit no numbering"},
        {[](SlipDefinition& d) {
             d.Horizontal = false;
             d.TotalPanels = 2;
         },
         "one panel across"},
        {[](SlipDefinition& d) { d.TotalPanels = 0; }, "Total Panels is 0"},
        {[](SlipDefinition& d) { d.TotalPanels = 8; }, "fills 10 panels per slip"},
    };
    for (const auto& [change, message] : cases) {
        auto d = WorkedExample();
        change(d);
        EXPECT_NE(PrintRefusal(d).value_or("(none)").find(message), std::string::npos) << message;
    }
}

// A grid with more cells than the pool (69 numbers in 10 rows of 7) has no box for the last cell:
// it is neither drawn, outlined nor marked by the test pattern, and the drawing's last label reads 69.
TEST(BoxGeometry, ACellBeyondThePoolIsNoBox)
{
    SlipDefinition d = WorkedExample();
    d.Pool = 69;
    d.Pick = 5;
    d.RowsInPanel = 10;
    d.RowFirstNumber = {1, 8, 15, 22, 29, 36, 43, 50, 57, 64};
    const BoxGeometry g(d, 0, 0);
    EXPECT_TRUE(g.OnSlip(10, 6));
    EXPECT_FALSE(g.OnSlip(10, 7));
    const int panels = d.MainPanels * d.PanelsAcross;
    EXPECT_EQ(g.AllBoxes().size(), static_cast<std::size_t>(69 * panels));
    RecordingSurface surface;
    EXPECT_EQ(DrawTestPattern(d, g, surface, PlacedMarks{}), 69 * panels);
    EXPECT_EQ(surface.marks().size(), static_cast<std::size_t>(69 * panels));
    const SlipDrawing drawing = DrawingOf(d);
    EXPECT_EQ(drawing.boxes.size(), static_cast<std::size_t>(69 * panels));
    ASSERT_FALSE(drawing.labels.empty());
    EXPECT_EQ(drawing.labels[1].text, "69");
    // A full grid keeps every box.
    d.Pool = 70;
    EXPECT_EQ(BoxGeometry(d, 0, 0).AllBoxes().size(), static_cast<std::size_t>(70 * panels));
}

}  // namespace
