#include <gtest/gtest.h>

#include "printing/BoxGeometry.h"

using namespace bm;

namespace {

SlipDefinition WorkedExample()
{
    SlipDefinition d;
    d.Pool = 49;
    d.Pick = 6;
    d.TotalPanels = 10;
    d.TopToFirstRow = 50;
    d.LeftIndent = 10;
    d.MainPanels = 2;
    d.RowsInPanel = 7;
    d.PanelsAcross = 5;
    d.ColumnsInPanel = 7;
    d.BoxWidth = 3;
    d.BoxHeight = 2;
    d.HorizontalPanelGap = 40;
    d.VerticalRowGap = 5;
    d.VerticalPanelGap = 90;
    d.HorizontalBoxShift = 4;
    d.RowFirstNumber = {1, 8, 15, 22, 29, 36, 43};
    d.Horizontal = true;
    return d;
}

TEST(BoxGeometry, WorkedExample)
{
    const auto d = WorkedExample();
    BoxGeometry g(d, -1, 2);
    EXPECT_EQ(g.Step(), 1);
    EXPECT_EQ(g.BoxNumber(3, 3), 17);
    EXPECT_EQ(g.Rect(1, 3, 2, 3), (BoxRect{60, 59, 63, 61}));
}

TEST(BoxGeometry, ZeroOffsetsPutTheFirstBoxAtTheIndents)
{
    BoxGeometry g(WorkedExample(), 0, 0);
    EXPECT_EQ(g.Rect(1, 1, 1, 1), (BoxRect{10, 50, 13, 52}));
}

struct StepCase {
    std::vector<std::int16_t> rows;
    int columns;
    std::int16_t step;
};

class NumberStepRule : public testing::TestWithParam<StepCase> {};

TEST_P(NumberStepRule, FollowsTheFirstTwoRows)
{
    SlipDefinition d;
    d.RowFirstNumber = GetParam().rows;
    d.RowsInPanel = static_cast<int>(d.RowFirstNumber.size());
    d.ColumnsInPanel = GetParam().columns;
    EXPECT_EQ(NumberStep(d), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(Rules, NumberStepRule,
                         testing::Values(StepCase{{1, 8, 15, 22, 29, 36, 43}, 7, 1},   // along the rows
                                         StepCase{{1, 2, 3, 4, 5, 6, 7}, 7, 7},        // down the columns
                                         StepCase{{1, 2, 3, 4, 5}, 1, 5},              // one column: down wins
                                         StepCase{{1, 5, 9}, 7, 0},                    // no scheme
                                         StepCase{{3, 3, 3}, 7, 0}));                  // same first numbers

TEST(BoxGeometry, NumbersStopAfterTenRowsAndThirteenColumns)
{
    auto d = WorkedExample();
    d.ColumnsInPanel = 14;
    d.RowFirstNumber = {1, 15, 29};
    d.RowsInPanel = 3;
    BoxGeometry g(d, 0, 0);
    EXPECT_EQ(g.BoxNumber(2, 13), 27);
    EXPECT_FALSE(g.BoxNumber(2, 14).has_value());
    EXPECT_FALSE(g.BoxNumber(11, 1).has_value());
    // The fourteenth column still has its place.
    EXPECT_FLOAT_EQ(g.Rect(1, 1, 1, 14).x1, 10 + 13 * 4.0f);
}

TEST(BoxGeometry, PositionsAreSummedInSinglePrecision)
{
    auto d = WorkedExample();
    d.VerticalRowGap = 4.2f;
    d.HorizontalBoxShift = 4.1f;
    BoxGeometry g(d, 0.3f, 0.7f);
    float y = 50.0f + 0.3f;
    for (int i = 1; i < 7; ++i)
        y += 4.2f;
    float x = 10.0f + 0.7f;
    for (int i = 1; i < 7; ++i)
        x += 4.1f;
    EXPECT_EQ(g.RowTop(1, 7), y);  // exact: the same float steps, not a product
    EXPECT_EQ(g.ColumnLeft(1, 7), x);
}

TEST(BoxGeometry, OffsetsMoveEveryMainPanelOnce)
{
    auto d = WorkedExample();
    BoxGeometry plain(d, 0, 0), moved(d, 1, -2);
    for (int m = 1; m <= 2; ++m) {
        const auto a = plain.Rect(m, 4, 3, 5), b = moved.Rect(m, 4, 3, 5);
        EXPECT_FLOAT_EQ(b.y1 - a.y1, 1) << "main panel " << m;
        EXPECT_FLOAT_EQ(b.x1 - a.x1, -2) << "main panel " << m;
    }
    EXPECT_FLOAT_EQ(moved.MainPanelTop(2), 91);  // VerticalPanelGap + top offset
}

TEST(BoxGeometry, VerticalMainPanelsRepeatAtTheSecondOnesPitch)
{
    auto d = WorkedExample();
    d.Horizontal = false;
    d.MainPanels = 4;
    d.PanelsAcross = 1;
    d.TopToFirstRow = 20;
    d.VerticalPanelGap = 62;
    BoxGeometry g(d, 2, 0);
    EXPECT_FLOAT_EQ(g.MainPanelTop(1), 22);
    EXPECT_FLOAT_EQ(g.MainPanelTop(2), 64);
    EXPECT_FLOAT_EQ(g.MainPanelTop(3), 64 + 42);
    // Horizontal layouts with a third main panel follow the same pitch.
    d.Horizontal = true;
    BoxGeometry h(d, 2, 0);
    EXPECT_FLOAT_EQ(h.MainPanelTop(2), 64);
    EXPECT_FLOAT_EQ(h.MainPanelTop(3), 106);
}

TEST(BoxGeometry, PlaysFillPanelsInOrderAcrossSlips)
{
    BoxGeometry h(WorkedExample(), 0, 0);
    EXPECT_EQ(h.PlaysPerSlip(), 10);
    EXPECT_EQ(h.PlayIndex(1, 1, 1), 1);
    EXPECT_EQ(h.PlayIndex(1, 1, 5), 5);
    EXPECT_EQ(h.PlayIndex(1, 2, 1), 6);
    EXPECT_EQ(h.PlayIndex(1, 2, 5), 10);
    EXPECT_EQ(h.PlayIndex(2, 1, 1), 11);
    EXPECT_EQ(h.PlayIndex(2, 2, 5), 20);

    auto d = WorkedExample();
    d.Horizontal = false;
    d.MainPanels = 4;
    d.PanelsAcross = 1;
    BoxGeometry v(d, 0, 0);
    EXPECT_EQ(v.PlaysPerSlip(), 4);
    EXPECT_EQ(v.PlayIndex(1, 1, 1), 1);
    EXPECT_EQ(v.PlayIndex(1, 4, 1), 4);
    EXPECT_EQ(v.PlayIndex(3, 2, 1), 10);
}

TEST(PrintRefusal, ExplainsDefinitionsThatCannotPrintPlays)
{
    EXPECT_FALSE(PrintRefusal(WorkedExample()).has_value());

    auto noScheme = WorkedExample();
    noScheme.RowFirstNumber[1] = 10;
    ASSERT_TRUE(PrintRefusal(noScheme).has_value());
    EXPECT_NE(PrintRefusal(noScheme)->find("fit no numbering"), std::string::npos);

    auto verticalAcross = WorkedExample();
    verticalAcross.Horizontal = false;
    verticalAcross.TotalPanels = 2;
    ASSERT_TRUE(PrintRefusal(verticalAcross).has_value());
    EXPECT_NE(PrintRefusal(verticalAcross)->find("one panel across"), std::string::npos);

    auto zero = WorkedExample();
    zero.TotalPanels = 0;
    ASSERT_TRUE(PrintRefusal(zero).has_value());
    EXPECT_NE(PrintRefusal(zero)->find("Total Panels is 0"), std::string::npos);

    auto mismatch = WorkedExample();
    mismatch.TotalPanels = 8;
    ASSERT_TRUE(PrintRefusal(mismatch).has_value());
    EXPECT_NE(PrintRefusal(mismatch)->find("fills 10 panels per slip"), std::string::npos);
}

}  // namespace
