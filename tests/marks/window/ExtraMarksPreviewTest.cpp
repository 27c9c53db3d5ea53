#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "common/AtomicFile.h"
#include "printing/window/SlipView.h"
#include "printing/window/frmPreview.h"
#include "support/PrintJobSupport.h"

namespace {

using bmtest::MainWindowRig;
using bmtest::ProgramHome;

const bm::SlipDrawing& DrawingOf(bm::app::frmPreview& preview)
{
    return preview.findChild<bm::app::SlipView*>(QStringLiteral("picSlip"))->drawing();
}

// The preview shows the extra marks where the job prints them, named and in their colour, after
// the slip's number marks, and follows a marks file changed while it is open.
TEST(ExtraMarksPreview, ShowsTheExtrasAndFollowsTheMarksFile)
{
    ProgramHome home;
    bmtest::WriteBytes(home.defs() / "LO649.marks", "[Mark]\r\nWidth=60\r\n[Extra]\r\nDraws 2=20 76 4 2.5\r\nYes=150 3 5 3\r\n");
    home.WriteWheel("w.txt", bmtest::Wheel(12));
    MainWindowRig rig(home);
    rig.Choose("LO649.def");
    rig.Child<QLineEdit>("txtTmarg")->setText(QStringLiteral("1"));
    rig.dialogs.QueueFile(home.wheel("w.txt"));
    rig.Click("cmdPreview");
    auto* preview = rig.window->findChild<bm::app::frmPreview*>(QStringLiteral("frmPreview"));
    ASSERT_TRUE(preview) << rig.dialogs.Said();

    const auto& drawing = DrawingOf(*preview);
    ASSERT_EQ(drawing.extras.size(), 2u);
    EXPECT_EQ(drawing.extras[0].text, "Draws 2");
    EXPECT_EQ(drawing.extras[0].box, (bm::BoxRect{20, 77, 24, 79.5f}));
    ASSERT_EQ(drawing.marks.size(), 60u + 2u);
    EXPECT_EQ(drawing.marks[60], drawing.extras[0].box);
    EXPECT_EQ(drawing.marks[61], drawing.extras[1].box);
    EXPECT_NEAR(drawing.marks[0].x2 - drawing.marks[0].x1, 1.8, 1e-5);

    // The editor (or another program saving as careful editors do) rewrites the marks: the
    // preview shows them a moment later.
    ASSERT_TRUE(bm::WriteFileAtomically(home.defs() / "LO649.marks", "[Extra]\r\nYes=150 3 5 3\r\n").ok());
    for (int waited = 0; waited < 5000 && DrawingOf(*preview).extras.size() != 1; waited += 20)
        QTest::qWait(20);
    ASSERT_EQ(DrawingOf(*preview).extras.size(), 1u);
    EXPECT_EQ(DrawingOf(*preview).marks.size(), 60u + 1u);
    EXPECT_NEAR(DrawingOf(*preview).marks[0].x2 - DrawingOf(*preview).marks[0].x1, 3.0, 1e-5);
}

// A marks file the job would refuse refuses its definition when it is chosen, as a broken .def
// does; the definition chosen before stays.
TEST(ExtraMarksPreview, MainWindowRefusesADefinitionWithABrokenMarksFile)
{
    ProgramHome home;
    bmtest::WriteBytes(home.defs() / "PB569.marks", "[Mark]\r\nSize=60\r\n");
    MainWindowRig rig(home);
    rig.Choose("LO649.def");
    rig.dialogs.Clear();
    rig.Choose("PB569.def");
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: The slip definition PB569.def cannot be used:\n" +
                                      (home.defs() / "PB569.marks").string() +
                                      ": line 2: unknown key \"Size\" in [Mark]; it takes Width and Height\n\n"
                                      "LO649.def stays the chosen definition.");
}

}  // namespace
