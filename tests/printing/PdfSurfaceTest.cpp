#include <gtest/gtest.h>

#include "printing/PdfSurface.h"
#include "printing/PrinterSurface.h"
#include "support/PrintTestTools.h"
#include "support/TempDir.h"

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

// A spooler with printers made up by the test; it keeps a copy of every submitted document.
class FakeSpooler final : public Spooler {
public:
    std::vector<std::string> printers = {"office", "slips"};
    std::string defaultPrinter = "office";
    PaperArea paper;
    std::string refusal;
    Result<PrinterState> state = PrinterState{};
    std::vector<std::string> submittedTo;
    TempDir kept;

    std::vector<std::string> Printers() override { return printers; }
    std::string DefaultPrinter() override { return defaultPrinter; }
    std::optional<PaperArea> Paper(const std::string&) override { return paper; }
    Result<PrinterState> State(const std::string&) override { return state; }
    Result<int> Submit(const std::string& printer, const std::filesystem::path& pdf, const std::string&,
                       const PaperChoice&) override
    {
        submittedTo.push_back(printer);
        std::filesystem::copy_file(pdf, kept / ("job" + std::to_string(submittedTo.size()) + ".pdf"));
        if (!refusal.empty())
            return Error{refusal};
        return static_cast<int>(submittedTo.size());
    }
};

TEST(PrinterSurface, HandsTheSheetsOverOnlyAtTheEndMeasuredFromThePrintableArea)
{
    auto spooler = std::make_shared<FakeSpooler>();
    spooler->paper = PaperArea{210, 297, 4, 6, 4, 8};  // margins left 4, top 6, bottom 8
    for (Orientation o : {Orientation::Portrait, Orientation::Landscape}) {
        auto surface = PrinterSurface::Open("slips", spooler).value();
        surface->SetOrientation(o);
        surface->FillBox(10, 20, 13, 22);
        surface->NextPage();
        surface->FillBox(50, 60, 53, 62);
        surface->NextPage();
        const auto submittedBefore = spooler->submittedTo.size();
        ASSERT_TRUE(surface->EndDocument().ok());
        ASSERT_EQ(spooler->submittedTo.size(), submittedBefore + 1);

        std::string error;
        const auto pages = Rasterise(spooler->kept / ("job" + std::to_string(submittedBefore + 1) + ".pdf"), error);
        ASSERT_EQ(pages.size(), 2u) << error;
        // A landscape page is the paper turned: its top margin is the paper's left one, its left the bottom one.
        const double dx = o == Orientation::Portrait ? 4 : 8;
        const double dy = o == Orientation::Portrait ? 6 : 4;
        EXPECT_EQ(pages[0].width > pages[0].height, o == Orientation::Landscape);
        EXPECT_EQ(CheckPage(pages[0], {{10 + dx, 20 + dy, 13 + dx, 22 + dy}}), "");
        EXPECT_EQ(CheckPage(pages[1], {{50 + dx, 60 + dy, 53 + dx, 62 + dy}}), "");
    }
}

// The printer chosen by name or by default, or a refusal naming why; documents abandoned, empty
// or dropped reach no printer, and a printer's refusal fails the document.
TEST(PrinterSurface, ChoosesAPrinterAndSubmitsOnlyAFinishedDocument)
{
    auto spooler = std::make_shared<FakeSpooler>();
    EXPECT_EQ(PrinterSurface::Open("", spooler).value()->printer(), "office");
    EXPECT_EQ(PrinterSurface::Open("nope", spooler).error().message,
              "There is no printer named \"nope\"; installed: office, slips");
    const auto open = [&] { return PrinterSurface::Open("slips", spooler).value(); };
    auto abandoned = open();
    abandoned->FillBox(10, 20, 13, 22);
    abandoned->AbandonDocument();
    EXPECT_TRUE(open()->EndDocument().ok());  // empty
    open()->FillBox(10, 20, 13, 22);          // dropped without an end
    EXPECT_TRUE(spooler->submittedTo.empty());

    spooler->refusal = "The printer \"slips\" did not take the job: server-error-not-accepting-jobs";
    auto surface = open();
    surface->FillBox(10, 20, 13, 22);
    EXPECT_EQ(Refusal(surface->EndDocument()), spooler->refusal);

    // A printer the spooler says would not print is refused before anything is drawn, with its reason.
    const struct {
        Result<PrinterState> state;
        std::string refusal;
    } notReady[] = {
        {PrinterState{true, true, true, "Jammed at tray 2"},
         "The printer \"slips\" is stopped (Jammed at tray 2), so nothing was sent to it. Start it again, or choose "
         "another printer."},
        {PrinterState{true, false, false, ""},
         "The printer \"slips\" does not accept jobs, so nothing was sent to it. Start it again, or choose another "
         "printer."},
        {PrinterState{false, false, false, ""}, "There is no printer named \"slips\" any more; choose another one"},
        {Error{"The printing system could not say whether the printer \"slips\" is ready: Connection refused"},
         "The printing system could not say whether the printer \"slips\" is ready: Connection refused"},
    };
    for (const auto& c : notReady) {
        spooler->state = c.state;
        EXPECT_EQ(Refusal(PrinterSurface::Open("slips", spooler)), c.refusal);
    }
    spooler->state = PrinterState{};
    EXPECT_EQ(open()->HandedTo().name, "slips");

    spooler->defaultPrinter.clear();
    EXPECT_NE(PrinterSurface::Open("", spooler).error().message.find("No printer is set as the default"),
              std::string::npos);
    spooler->printers.clear();
    EXPECT_NE(PrinterSurface::Open("", spooler).error().message.find("No printer is installed"), std::string::npos);
}

}  // namespace
