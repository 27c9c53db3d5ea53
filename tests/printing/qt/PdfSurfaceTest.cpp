#include <gtest/gtest.h>

#include "printing/qt/PdfSurface.h"
#include "printing/qt/PrintTestTools.h"

using namespace bm;
using namespace bmtest;

namespace {

constexpr int kDpi = 300;

TEST(PdfSurface, AnAbandonedJobLeavesTheOldFileAndNoTemporaryOne)
{
    TempDir dir;
    WriteBytes(dir / "slips.pdf", "the previous file");
    {
        PdfSurface pdf(dir / "slips.pdf");
        pdf.FillBox(10, 10, 20, 20);
        pdf.NextPage();
        pdf.AbandonDocument();
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
