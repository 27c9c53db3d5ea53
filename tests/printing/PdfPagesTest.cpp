#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "printing/PdfPages.h"
#include "support/PrintTestTools.h"
#include "support/TempDir.h"

using namespace bm;
using namespace bmtest;

namespace {

// The bytes a document handed over, and the pieces they came in.
struct Collected {
    std::string bytes;
    std::size_t largestPiece = 0;
    int pieces = 0;
    int refuseAfter = -1;  // pieces taken before every later one is refused
    PdfPages::Sink Sink()
    {
        return [this](std::string_view piece) {
            if (refuseAfter >= 0 && pieces >= refuseAfter)
                return false;
            bytes.append(piece);
            largestPiece = std::max(largestPiece, piece.size());
            ++pieces;
            return true;
        };
    }
};

// A field of pdfinfo's listing, such as "Pages": its value after the colon and blanks.
std::string InfoField(const std::string& listing, const std::string& name)
{
    const auto at = listing.find("\n" + name + ":");
    if (at == std::string::npos && listing.rfind(name + ":", 0) != 0)
        return "(no " + name + ")";
    std::size_t from = at == std::string::npos ? name.size() + 1 : at + name.size() + 2;
    from = listing.find_first_not_of(' ', from);
    return listing.substr(from, listing.find('\n', from) - from);
}

std::string QpdfCheck(const std::filesystem::path& pdf)
{
    const Ran ran = RunShell("qpdf --check " + Quoted(pdf.string()));
    return ran.status == 0 ? "" : "qpdf --check (" + std::to_string(ran.status) + "): " + ran.out + ran.err;
}

// Every kind of document the program writes is a sound PDF as qpdf reads it, with the pages,
// page size and title meant: blank, one sheet, many sheets with blank ones between, landscape,
// outlines, marks beyond the page, a title that is not ASCII.
TEST(PdfPages, EveryDocumentPassesQpdfWithItsPagesSizeAndTitle)
{
    const struct {
        const char* name;
        Orientation orientation;
        PaperArea paper;
        std::string title;
        int sheets;        // each with a mark, an outline; every third blank
        const char* size;  // as pdfinfo gives it
    } cases[] = {
        {"blank", Orientation::Portrait, {}, "blank.pdf", 0, "595.276 x 841.89 pts (A4)"},
        {"one", Orientation::Portrait, {}, "one (1).pdf", 1, "595.276 x 841.89 pts (A4)"},
        {"landscape", Orientation::Landscape, {}, "wide\\slips.pdf", 7, "841.89 x 595.276 pts (A4)"},
        {"small", Orientation::Portrait, {82, 190, 1, 2, 3, 4}, "Lottó ✓.pdf", 40, "232.441 x 538.583 pts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Collected collected;
        PdfPages pages(collected.Sink(), c.paper, c.title);
        pages.SetOrientation(c.orientation);
        for (int sheet = 0; sheet < c.sheets; ++sheet) {
            if (sheet % 3 != 2) {
                pages.Fill(10, 10, 20, 15);
                pages.Outline(30, 30, 25, 40);                                         // corners in any order
                pages.Fill(-5, 200, 300, 210);                                         // beyond the page's edges
                pages.Fill(-1e30f, 1e30f, std::numeric_limits<float>::infinity(), 5);  // nowhere near it
            }
            pages.NextPage();
        }
        ASSERT_TRUE(pages.Finish(true));
        const auto file = dir / "out.pdf";
        WriteBytes(file, collected.bytes);
        EXPECT_EQ(QpdfCheck(file), "");
        const Ran info = RunShell("pdfinfo " + Quoted(file.string()));
        ASSERT_EQ(info.status, 0) << info.err;
        EXPECT_EQ(InfoField(info.out, "Pages"), std::to_string(std::max(1, c.sheets)));
        EXPECT_EQ(InfoField(info.out, "Page size"), c.size);
        EXPECT_EQ(InfoField(info.out, "Title"), c.title);
    }
}

// An outline is a thin light-grey line on the box's edges, the box's inside left white; fills
// over it are black. Measured on the page as poppler draws it.
TEST(PdfPages, OutlinesAreThinGreyLinesOnTheBoxEdges)
{
    TempDir dir;
    Collected collected;
    PdfPages pages(collected.Sink(), PaperArea{}, "outline");
    pages.Outline(20, 20, 60, 40);
    pages.Fill(30, 25, 35, 30);
    ASSERT_TRUE(pages.Finish(true));
    WriteBytes(dir / "o.pdf", collected.bytes);
    std::string error;
    const auto raster = Rasterise(dir / "o.pdf", error);
    ASSERT_EQ(raster.size(), 1u) << error;
    const Raster& page = raster[0];
    const auto at = [&](double xmm, double ymm) {
        return static_cast<int>(page.pixels[static_cast<std::size_t>(ymm * kDpi / 25.4) * page.width +
                                            static_cast<std::size_t>(xmm * kDpi / 25.4)]);
    };
    const auto darkestAcross = [&](double xmm, double ymm, bool vertical) {
        int darkest = 255;
        for (double d = -0.3; d <= 0.3; d += 0.02)
            darkest = std::min(darkest, vertical ? at(xmm + d, ymm) : at(xmm, ymm + d));
        return darkest;
    };
    for (const auto& [x, y, vertical] : {std::tuple{20.0, 30.0, true}, std::tuple{60.0, 30.0, true},
                                         std::tuple{40.0, 20.0, false}, std::tuple{40.0, 40.0, false}}) {
        const int grey = darkestAcross(x, y, vertical);
        EXPECT_GE(grey, 120) << x << "," << y;
        EXPECT_LE(grey, 215) << x << "," << y;
    }
    EXPECT_EQ(at(45, 35), 255);                          // inside the outline
    EXPECT_LT(at(32.5, 27.5), 128);                      // the fill
    EXPECT_EQ(at(20, 45), 255);                          // below it
    EXPECT_EQ(CheckPage(page, {{30, 25, 35, 30}}), "");  // nothing else is dark
}

// Finished sheets leave at once in pieces of a bounded size, so a long job holds one sheet;
// a sink that stops taking bytes fails the document instead of leaving half a PDF unsaid.
TEST(PdfPages, SheetsLeaveAsTheyAreDoneAndAFailedWriteFailsTheDocument)
{
    Collected collected;
    {
        PdfPages pages(collected.Sink(), PaperArea{}, "long");
        for (int sheet = 0; sheet < 3000; ++sheet) {
            for (int i = 0; i < 30; ++i)
                pages.Fill(static_cast<float>(i), 10, static_cast<float>(i) + 0.5f, 12);
            pages.NextPage();
            if (sheet == 1500) {
                EXPECT_GT(collected.bytes.size(), 1000000u);  // already handed over
            }
        }
        ASSERT_TRUE(pages.Finish(true));
    }
    EXPECT_LE(collected.largestPiece, std::size_t{(1 << 16) + 4096});

    Collected refusing;
    refusing.refuseAfter = 2;
    PdfPages pages(refusing.Sink(), PaperArea{}, "refused");
    for (int sheet = 0; sheet < 3000; ++sheet) {
        pages.Fill(1, 1, 2, 2);
        pages.NextPage();
    }
    EXPECT_FALSE(pages.Finish(true));

    // Nothing drawn and no blank page asked for: no PDF at all.
    Collected none;
    PdfPages empty(none.Sink(), PaperArea{}, "empty");
    EXPECT_TRUE(empty.Finish(false));
    EXPECT_EQ(none.bytes, "");
}

}  // namespace
