#include <gtest/gtest.h>

#include "printing/qt/PdfSurface.h"
#include "printing/qt/PrintTestTools.h"

using namespace bm;
using namespace bmtest;

namespace {

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
    const auto pages = Rasterise(dir / "blank-middle.pdf", error);
    ASSERT_EQ(pages.size(), 3u) << error;
    EXPECT_LT(pages[0].width, pages[0].height);  // portrait, as set
    EXPECT_EQ(CheckPage(pages[0], {{10, 10, 20, 20}}), "");
    EXPECT_EQ(CheckPage(pages[1], {}), "");
    EXPECT_EQ(CheckPage(pages[2], {{30, 40, 35, 45}}), "");

    // No sheet at all: one blank page, so the named file always exists after success.
    PdfSurface empty(dir / "empty.pdf");
    ASSERT_TRUE(empty.EndDocument().ok());
    const auto blank = Rasterise(dir / "empty.pdf", error);
    ASSERT_EQ(blank.size(), 1u) << error;
    EXPECT_EQ(CheckPage(blank[0], {}), "");
}

}  // namespace
