#include <gtest/gtest.h>

#include "printing/qt/PdfSurface.h"
#include "printing/qt/PrintTestTools.h"

using namespace bm;
using namespace bmtest;

namespace {

constexpr int kDpi = 300;

// The same job once recorded (where the marks belong) and once on `surface`.
JobOutcome RunBoth(const SlipDefinition& d, const std::string& wheel, bool testMode, PrintSurface& surface,
                   RecordingSurface& expected, long long escapeAtSlip = 0)
{
    TempDir dir;
    const auto file = WriteDefinition(dir, "HZ649", d);
    WriteBytes(dir / "w.txt", wheel);
    expected = Recorded(file, d, testMode, "-1.25", "2.5", dir / "w.txt");
    FakeStatus shown;
    EscapeAtSlip escape(shown, escapeAtSlip);
    return RunPrintJob(RequestFor(file, d, testMode, "-1.25", "2.5"), surface, shown, escape,
                       [&] { return dir / "w.txt"; });
}

TEST(PdfSurface, JobsGivePagesOfTheirOrientationWithEveryMarkInPlaceAndNothingElse)
{
    SlipDefinition vertical = Horizontal649(3);
    vertical.Horizontal = false;
    vertical.PanelsAcross = 1;
    vertical.TotalPanels = 3;
    const struct {
        const char* what;
        SlipDefinition def;
        std::string wheel;
        bool testMode;
        std::size_t pages, marks;
    } cases[] = {
        {"horizontal job: A4 landscape", Horizontal649(2), Wheel(23), false, 3, 138},
        {"vertical test pattern: portrait", vertical, "", true, 1, 147},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        RecordingSurface expected;
        {
            PdfSurface pdf(dir / "slips.pdf");
            const auto outcome = RunBoth(c.def, c.wheel, c.testMode, pdf, expected);
            ASSERT_EQ(outcome.end, JobEnd::Completed) << outcome.message;
        }
        EXPECT_EQ(expected.marks().size(), c.marks);
        EXPECT_EQ(CheckMarks(dir / "slips.pdf", expected), "");
        std::string error;
        const auto pages = Rasterise(dir / "slips.pdf", kDpi, error);
        ASSERT_EQ(pages.size(), c.pages) << error;
        // Nothing is dark but the marks: the dark pixels are the marks' area, give or take their edges.
        const double px = kDpi / 25.4;
        std::vector<double> area(pages.size()), edge(pages.size());
        for (const auto& m : expected.marks()) {
            area[m.sheet - 1] += (m.x2 - m.x1) * px * (m.y2 - m.y1) * px;
            edge[m.sheet - 1] += 2 * ((m.x2 - m.x1) + (m.y2 - m.y1)) * px;
        }
        for (std::size_t i = 0; i < pages.size(); ++i) {
            EXPECT_NEAR(pages[i].width, (c.def.Horizontal ? 297 : 210) * px, 2) << "page " << i + 1;
            EXPECT_NEAR(pages[i].height, (c.def.Horizontal ? 210 : 297) * px, 2) << "page " << i + 1;
            EXPECT_NEAR(static_cast<double>(pages[i].DarkCount()), area[i], edge[i] + 1) << "page " << i + 1;
        }
    }
}

TEST(PdfSurface, AnAbandonedJobLeavesTheOldFileAndNoTemporaryOne)
{
    TempDir dir;
    WriteBytes(dir / "slips.pdf", "the previous file");
    {
        PdfSurface pdf(dir / "slips.pdf");
        RecordingSurface expected;
        EXPECT_EQ(RunBoth(Horizontal649(1), Wheel(20), false, pdf, expected, 2).end, JobEnd::Aborted);
    }
    EXPECT_EQ(ReadBytes(dir / "slips.pdf"), "the previous file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(PdfSurface, SheetsWithoutMarksStillBecomePagesButTheEndAddsNone)
{
    TempDir dir;
    {
        PdfSurface pdf(dir / "blank-middle.pdf");
        pdf.SetOrientation(Orientation::Portrait);
        pdf.FillBox(10, 10, 20, 20);
        pdf.NextPage();
        pdf.NextPage();  // a slip whose plays matched no box
        pdf.FillBox(30, 40, 35, 45);
        pdf.NextPage();
        ASSERT_TRUE(pdf.EndDocument().ok());
    }
    std::string error;
    const auto pages = Rasterise(dir / "blank-middle.pdf", kDpi, error);
    ASSERT_EQ(pages.size(), 3u) << error;
    EXPECT_EQ(FindMark(pages[0], 10, 10, 20, 20, kDpi), "");
    EXPECT_EQ(pages[1].DarkCount(), 0);
    EXPECT_EQ(FindMark(pages[2], 30, 40, 35, 45, kDpi), "");

    // No sheet at all: one blank page, so the named file always exists after success.
    PdfSurface empty(dir / "empty.pdf");
    ASSERT_TRUE(empty.EndDocument().ok());
    const auto blank = Rasterise(dir / "empty.pdf", kDpi, error);
    ASSERT_EQ(blank.size(), 1u) << error;
    EXPECT_EQ(blank[0].DarkCount(), 0);
}

}  // namespace
