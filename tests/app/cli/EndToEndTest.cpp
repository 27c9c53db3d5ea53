#include <gtest/gtest.h>

#include <algorithm>

#include "printing/BoxGeometry.h"
#include "printing/qt/PrintTestTools.h"

using namespace bmtest;

namespace {

TEST(EndToEnd, PrintsTheSampleWheelToALandscapePdfWithEveryMarkInPlace)
{
    const std::string exe = BRINDLEMARK_EXE;
    if (exe.empty())
        GTEST_SKIP() << "the brindlemark executable is not built";
    // The sample program folder is copied beside the executable; it is the default home.
    const std::filesystem::path home = std::filesystem::path(exe).parent_path();
    TempDir dir;
    const auto pdf = dir / "LO649.pdf";
    // Named relative to the working folder, said in full.
    const Ran ran = RunShell(Quoted(exe) + " print --definition LO649 --wheel LO649-sample.txt --top 0.5 --left -1" +
                                 " --pdf LO649.pdf",
                             "-C " + Quoted(dir.path().string()) + " QT_QPA_PLATFORM=offscreen");
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(ran.err, "Printing 12 Picks On 2 Playslips\nProcessing Complete\nSaved To " +
                           (std::filesystem::canonical(dir.path()) / "LO649.pdf").string() + "\n");

    const auto def = bm::ReadDefinitionFile(home / "Defs" / "LO649.def");
    ASSERT_TRUE(def.ok());
    const auto expected =
        Recorded(home / "Defs" / "LO649.def", *def, false, "0.5", "-1", home / "wheel" / "LO649-sample.txt");
    ASSERT_EQ(expected.marks().size(), 72u);
    ASSERT_EQ(expected.sheets(), 2);
    EXPECT_EQ(CheckMarks(pdf, expected), "");

    // A proof of slip 2 alone: the same marks, and every box outlined in grey around white.
    const Ran proof = RunShell(Quoted(exe) + " print --definition LO649 --wheel LO649-sample.txt --top 0.5 --left -1" +
                                   " --pdf proof.pdf --outline --slips 2",
                               "-C " + Quoted(dir.path().string()) + " QT_QPA_PLATFORM=offscreen");
    ASSERT_EQ(proof.status, 0) << proof.err;
    std::string error;
    const auto pages = Rasterise(dir / "proof.pdf", error);
    ASSERT_EQ(pages.size(), 1u) << error;
    std::vector<Box> sheet2;
    for (const auto& m : expected.marks())
        if (m.sheet == 2)
            sheet2.push_back({m.x1, m.y1, m.x2, m.y2});
    EXPECT_EQ(CheckPage(pages[0], sheet2), "");
    const double px = kDpi / 25.4;
    for (const bm::BoxRect& b : bm::BoxGeometry(*def, 0.5f, -1).AllBoxes()) {
        const int x = static_cast<int>((b.x1 + b.x2) / 2 * px), y = static_cast<int>(b.y1 * px);
        unsigned char edge = 255;
        for (int dy = -2; dy <= 2; ++dy)
            edge = std::min(edge, pages[0].pixels[static_cast<std::size_t>(y + dy) * pages[0].width + x]);
        const bool marked = pages[0].Dark(x, static_cast<int>((b.y1 + b.y2) / 2 * px));
        EXPECT_TRUE(marked || (edge > 100 && edge < 230)) << "no grey outline at " << b.x1 << ", " << b.y1;
    }
}

}  // namespace
