#include <gtest/gtest.h>

#include "printing/RecordingSurface.h"
#include "printing/qt/PdfSurface.h"
#include "printing/qt/PrintTestTools.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

constexpr int kDpi = 300;

// The same job once on a recording surface (where the marks belong) and once on `surface`.
JobOutcome RunBoth(const SlipDefinition& d, const std::string& wheel, bool testMode, PrintSurface& surface,
                   RecordingSurface& expected, long long escapeAtSlip = 0)
{
    TempDir dir;
    const auto file = WriteDefinition(dir, "HZ649", d);
    WriteBytes(dir / "w.txt", wheel);
    const auto request = RequestFor(file, d, testMode, "-1.25", "2.5");
    FakeStatus status;
    EscapeAtSlip never(status, 0);
    RunPrintJob(request, expected, status, never, [&] { return dir / "w.txt"; });
    FakeStatus shown;
    EscapeAtSlip escape(shown, escapeAtSlip);
    return RunPrintJob(request, surface, shown, escape, [&] { return dir / "w.txt"; });
}

// Every recorded mark is on its page within one pixel, and nothing else is dark.
void ExpectMarksOnPages(const std::vector<Raster>& pages, const RecordingSurface& expected)
{
    std::vector<double> area(pages.size(), 0), edge(pages.size(), 0);
    const double px = kDpi / 25.4;
    for (const auto& m : expected.marks()) {
        ASSERT_LE(m.sheet, static_cast<int>(pages.size()));
        EXPECT_EQ(FindMark(pages[m.sheet - 1], m.x1, m.y1, m.x2, m.y2, kDpi), "") << "sheet " << m.sheet;
        area[m.sheet - 1] += (m.x2 - m.x1) * px * (m.y2 - m.y1) * px;
        edge[m.sheet - 1] += 2 * ((m.x2 - m.x1) + (m.y2 - m.y1)) * px;
    }
    for (std::size_t i = 0; i < pages.size(); ++i)
        EXPECT_NEAR(static_cast<double>(pages[i].DarkCount()), area[i], edge[i] + 1) << "page " << i + 1;
}

TEST(PdfSurface, HorizontalJobGivesLandscapePagesWithEveryMarkInPlace)
{
    TempDir dir;
    PdfSurface pdf(dir / "slips.pdf");
    RecordingSurface expected;
    const auto outcome = RunBoth(Horizontal649(2), Wheel(23), false, pdf, expected);
    ASSERT_EQ(outcome.end, JobEnd::Completed) << outcome.message;
    std::string error;
    const auto pages = Rasterise(dir / "slips.pdf", kDpi, error);
    ASSERT_EQ(pages.size(), 3u) << error;
    for (const auto& page : pages) {
        EXPECT_NEAR(page.width, 297 * kDpi / 25.4, 2);  // A4 landscape
        EXPECT_NEAR(page.height, 210 * kDpi / 25.4, 2);
    }
    ExpectMarksOnPages(pages, expected);
}

TEST(PdfSurface, VerticalTestPatternGivesOnePortraitPage)
{
    SlipDefinition d = Horizontal649(3);
    d.Horizontal = false;
    d.PanelsAcross = 1;
    d.TotalPanels = 3;
    TempDir dir;
    PdfSurface pdf(dir / "pattern.pdf");
    RecordingSurface expected;
    ASSERT_EQ(RunBoth(d, "", true, pdf, expected).end, JobEnd::Completed);
    std::string error;
    const auto pages = Rasterise(dir / "pattern.pdf", kDpi, error);
    ASSERT_EQ(pages.size(), 1u) << error;
    EXPECT_GT(pages[0].height, pages[0].width);
    EXPECT_EQ(expected.marks().size(), 147u);
    ExpectMarksOnPages(pages, expected);
}

TEST(PdfSurface, AnAbandonedJobLeavesTheOldFileAndNoTemporaryOne)
{
    TempDir dir;
    WriteBytes(dir / "slips.pdf", "the previous file");
    {
        PdfSurface pdf(dir / "slips.pdf");
        RecordingSurface expected;
        const auto outcome = RunBoth(Horizontal649(1), Wheel(20), false, pdf, expected, 2);
        EXPECT_EQ(outcome.end, JobEnd::Aborted);
    }
    EXPECT_EQ(ReadBytes(dir / "slips.pdf"), "the previous file");
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
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

TEST(PdfSurface, TargetsThatCannotBeWrittenAreNamed)
{
    TempDir dir;
    EXPECT_TRUE(PdfSurface::CheckTarget(dir / "ok.pdf").ok());
    const auto missing = PdfSurface::CheckTarget(dir / "no-such-folder" / "x.pdf");
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().message.find("does not exist"), std::string::npos);
    EXPECT_FALSE(PdfSurface::CheckTarget(dir.path()).ok());

    PdfSurface pdf(dir / "no-such-folder" / "x.pdf");
    pdf.FillBox(1, 1, 2, 2);
    const Status end = pdf.EndDocument();
    ASSERT_FALSE(end.ok());
    EXPECT_NE(end.error().message.find("x.pdf"), std::string::npos);
}

}  // namespace
