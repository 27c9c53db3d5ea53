// Printing through the Windows spooler with GDI. The jobs that reach a printer run in
// gdi-print.sh, which gives them a private cupsd under Wine and measures what comes out.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "printing/RecordingSurface.h"
#include "printing/windows/GdiPrinterSurface.h"
#include "support/PrintJobSupport.h"
#include "support/TempDir.h"

namespace {

using namespace bmtest;

// Every call goes to the printer and to a recording of where each mark belongs.
class Both : public bm::PrintSurface {
public:
    Both(bm::PrintSurface& a, bm::RecordingSurface& b) : a_(a), b_(b) {}
    void UseMillimetres() override { a_.UseMillimetres(), b_.UseMillimetres(); }
    void SetOrientation(bm::Orientation o) override { a_.SetOrientation(o), b_.SetOrientation(o); }
    void FillBox(float x1, float y1, float x2, float y2) override
    {
        a_.FillBox(x1, y1, x2, y2);
        b_.FillBox(x1, y1, x2, y2);
    }
    void NextPage() override { a_.NextPage(), b_.NextPage(); }
    bm::Status EndDocument() override
    {
        [[maybe_unused]] const bm::Status recorded = b_.EndDocument();
        return a_.EndDocument();
    }
    void AbandonDocument() override { a_.AbandonDocument(), b_.AbandonDocument(); }

private:
    bm::PrintSurface& a_;
    bm::RecordingSurface& b_;
};

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Two jobs on the printer named in BM_GDI_PRINTER (the default when empty): an upright slip
// with two sheets of plays and a horizontal one printed landscape. Where each mark belongs goes
// to BM_GDI_EXPECTED.N, one "sheet x1 y1 x2 y2" line per mark after a line with the orientation.
TEST(GdiPrint, DISABLED_PrintsJobsForTheMeasuringScript)
{
    const std::string expected = Env("BM_GDI_EXPECTED");
    ASSERT_FALSE(expected.empty());
    TempDir dir;
    dir.makeProgramFolder();
    WriteBytes(dir / "wheel.txt", Wheel(14));
    const struct {
        bm::SlipDefinition definition;
        bool testMode;
    } jobs[] = {{Vertical649(2), false}, {Horizontal649(2), true}};
    int n = 0;
    for (const auto& job : jobs) {
        ++n;
        const auto file = WriteDefinition(dir / "Defs", "J" + std::to_string(n) + "649", job.definition);
        auto printer = bm::GdiPrinterSurface::Open(Env("BM_GDI_PRINTER"), "Brindlemark test " + std::to_string(n));
        ASSERT_TRUE(printer.ok()) << printer.error().message;
        EXPECT_EQ((*printer)->LaidOutOn(), bm::A4Paper());  // the queue's own paper
        bm::RecordingSurface recorded;
        Both both(**printer, recorded);
        const auto outcome =
            RunUnwatched(RequestFor(file, job.definition, job.testMode, "3.25", "7.5"), both, dir / "wheel.txt");
        ASSERT_EQ(outcome.end, bm::JobEnd::Completed) << outcome.message;
        ASSERT_GT(recorded.marks().size(), 10u);
        std::ofstream out(expected + "." + std::to_string(n), std::ios::binary);
        out << (recorded.orientation() == bm::Orientation::Landscape ? "landscape" : "portrait") << " "
            << recorded.sheets() << "\n";
        for (const auto& m : recorded.marks())
            out << m.sheet << " " << m.x1 << " " << m.y1 << " " << m.x2 << " " << m.y2 << "\n";
    }
}

// A printer that is not there is named with those that are, before anything is drawn.
TEST(GdiPrint, RefusesAPrinterThatIsNotThere)
{
    const auto printer = bm::GdiPrinterSurface::Open("no such printer here", "t");
    ASSERT_FALSE(printer.ok());
    EXPECT_TRUE(HasText(printer.error().message, "\"no such printer here\": no such printer"));
}

}  // namespace

#endif  // _WIN32
