#include <QTest>

#include <gtest/gtest.h>

#include "definitions/editor/EditorRig.h"
#include "printing/window/SlipView.h"

using bmtest::EditorRig;

// The drawing follows what is typed: rows, columns and box width change the boxes drawn, the
// entry with the focus has its measurement marked, and entries that cannot be drawn keep the
// last drawing with a note saying why.
TEST(GendefDrawing, FollowsTheEntriesAsTheyAreTyped)
{
    EditorRig rig;
    rig.AddDefinition("LO649", bmtest::kLO649);
    rig.Modify("LO649.def");
    const auto* view = rig.Child<bm::app::SlipView>("picSlip");
    ASSERT_TRUE(view);
    const auto boxes = [&] { return view->drawing().boxes.size(); };
    EXPECT_EQ(boxes(), 2u * 7 * 5 * 7);
    EXPECT_EQ(view->drawing().labels.size(), 2u * 10);
    EXPECT_EQ(view->drawing().labels.back().text, "49");

    rig.Retype(rig.M(7), QStringLiteral("6"));  // rows
    EXPECT_EQ(boxes(), 2u * 6 * 5 * 7);
    EXPECT_EQ(view->drawing().labels.back().text, "42");
    rig.Retype(rig.M(10), QStringLiteral("8"));  // columns
    EXPECT_EQ(boxes(), 2u * 6 * 5 * 8);
    EXPECT_FALSE(view->drawing().dimension);  // a count has no measurement

    rig.Retype(rig.M(11), QStringLiteral("4"));  // box width
    ASSERT_TRUE(view->drawing().dimension);
    EXPECT_EQ(view->drawing().dimension->text, "Number Box Width: 4 mm");
    const bm::BoxRect first = view->drawing().boxes.front();
    EXPECT_FLOAT_EQ(first.x2 - first.x1, 4);
    EXPECT_FLOAT_EQ(view->drawing().dimension->x2 - view->drawing().dimension->x1, 4);
    EXPECT_TRUE(view->note().isEmpty());

    rig.Retype(rig.M(11), QStringLiteral("x"));
    EXPECT_EQ(view->note(), QStringLiteral("Not drawn yet: Entry For Number Box Width Is Not A Number"));
    EXPECT_EQ(boxes(), 2u * 6 * 5 * 8);
    EXPECT_FLOAT_EQ(view->drawing().boxes.front().x2 - view->drawing().boxes.front().x1, 4);
}
