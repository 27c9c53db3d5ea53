#include <gtest/gtest.h>

#include "windowing/ScreenFit.h"

namespace {

using bm::Box;
using bm::FrameMargins;

TEST(ScreenFit, WindowsOpenWhollyOnTheFreeArea)
{
    const Box laptop{0, 0, 1366, 740};    // 1366x768 less a panel
    const Box second{1366, 0, 1280, 720}; // 2560x1440 at scale 2, right of it
    const FrameMargins frame{6, 34, 6, 6};
    struct Case {
        const char* what;
        Box area;
        int wantW, wantH, minW, minH;
        const Box* centre;
        Box expected;
    };
    const Box mainWindow{100, 100, 600, 420};
    const Box offRight{1200, 500, 600, 420};
    const Case cases[] = {
        {"small, centred on the area", laptop, 600, 400, 300, 200, nullptr, {383, 184, 600, 400}},
        {"wider than the area: as wide as it", laptop, 1362, 700, 500, 300, nullptr, {6, 34, 1354, 700}},
        {"taller than the area", laptop, 1020, 785, 500, 300, nullptr, {173, 34, 1020, 700}},
        {"centred on the window it came from", laptop, 400, 300, 100, 100, &mainWindow, {200, 174, 400, 300}},
        {"moved back onto the area", laptop, 400, 300, 100, 100, &offRight, {960, 434, 400, 300}},
        {"on the second screen", second, 2260, 1100, 600, 500, nullptr, {1372, 34, 1268, 680}},
        {"never below its minimum", laptop, 2000, 2000, 1500, 800, nullptr, {6, 34, 1500, 800}},
    };
    for (const Case& c : cases) {
        const Box got = bm::FitOnScreen(c.area, c.wantW, c.wantH, c.minW, c.minH, frame, c.centre);
        EXPECT_EQ(got, c.expected) << c.what << ": " << got.x << "," << got.y << " " << got.width << "x" << got.height;
    }
}

}  // namespace
