#include <gtest/gtest.h>

#include "printing/RecordingSurface.h"
#include "printing/qt/PrintTestTools.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

constexpr int kDpi = 300;

TEST(EndToEnd, PrintsTheSampleWheelToALandscapePdfWithEveryMarkInPlace)
{
    const std::string exe = BRINDLEMARK_EXE;
    if (exe.empty())
        GTEST_SKIP() << "the brindlemark executable is not built";
    // The sample program folder is copied beside the executable; it is the default home.
    const std::filesystem::path home_ = std::filesystem::path(exe).parent_path();
    TempDir dir;
    const auto pdf = dir / "LO649.pdf";
    const Ran ran = RunShell(Quoted(exe) + " print --definition LO649 --wheel LO649-sample.txt --top 0.5 --left -1 --pdf " +
                                 Quoted(pdf.string()), "QT_QPA_PLATFORM=offscreen");
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(ran.err, "Printing 12 Picks On 2 Playslips\nProcessing Complete\n");

    const auto def = ReadDefinitionFile(home_ / "Defs" / "LO649.def");
    ASSERT_TRUE(def.ok());
    RecordingSurface expected;
    FakeStatus status;
    EscapeAtSlip never(status, 0);
    RunPrintJob(RequestFor(home_ / "Defs" / "LO649.def", *def, false, "0.5", "-1"), expected, status, never,
                [&] { return home_ / "wheel" / "LO649-sample.txt"; });
    ASSERT_EQ(expected.marks().size(), 72u);

    std::string error;
    const auto pages = Rasterise(pdf, kDpi, error);
    ASSERT_EQ(pages.size(), 2u) << error;
    const auto [width, height] = PdfPageSize(pdf);
    EXPECT_NEAR(width, 297, 0.1);
    EXPECT_NEAR(height, 210, 0.1);
    for (const auto& m : expected.marks())
        EXPECT_EQ(FindMark(pages[m.sheet - 1], m.x1, m.y1, m.x2, m.y2, kDpi), "") << "sheet " << m.sheet;
}

}  // namespace
