#include <gtest/gtest.h>

#include <functional>

#include "printing/RecordingSurface.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

// The ways a job ends without printing: cancelled, refused, or refused by the printer.
TEST(PrintJob, CancellingTheDialogEndsQuietly)
{
    JobSetup s;
    s.cancel = true;
    const auto run = RunJob(s);
    EXPECT_TRUE(run->asked);
    EXPECT_EQ(run->outcome.end, JobEnd::Cancelled);
    EXPECT_EQ(run->status.summary, "(untouched)");  // the previous job's summary stays
    EXPECT_FALSE(run->status.endShown);
    EXPECT_EQ(run->status.endMessage, "");
    EXPECT_TRUE(run->status.everBusy);
    EXPECT_FALSE(run->status.busy);
    EXPECT_TRUE(run->surface.marks().empty());
    EXPECT_FALSE(run->surface.ended());
}

TEST(PrintJob, AnUnsupportedPickIsRefusedAfterTheCount)
{
    JobSetup s;
    s.def.Pick = 8;
    s.wheel = "1,2,3,4,5,6,7,8\r\n\r\n1 2 3 4 5 6\r\nnot a play\r\n";
    const auto run = RunJob(s);
    EXPECT_EQ(run->outcome.end, JobEnd::Refused);
    EXPECT_EQ(run->outcome.message, "Sorry. That lottery format is not supported in this version");
    EXPECT_EQ(run->status.summary, "Printing 3 Picks On 1 Playslips");
    EXPECT_TRUE(run->status.countersShown);
    EXPECT_FALSE(run->status.endShown);
    EXPECT_FALSE(run->status.busy);
    EXPECT_TRUE(run->surface.marks().empty());
    EXPECT_FALSE(run->surface.ended());
}

TEST(PrintJob, RefusesBadInputBeforeAnythingIsPrinted)
{
    struct Case {
        const char* what;
        std::function<void(JobSetup&)> change;
        const char* messagePart;
        bool asksForWheel;
    } cases[] = {
        {"top offset", [](JobSetup& s) { s.top = "abc"; }, "top offset \"abc\" is not a number", false},
        {"left offset", [](JobSetup& s) { s.left = "1,5"; }, "left offset \"1,5\" is not a number", false},
        {"one row", [](JobSetup& s) { s.def.RowsInPanel = 1; s.def.RowFirstNumber = {1}; s.def.ColumnsInPanel = 49; },
         "21 lines (1 row); printing takes definitions of 22 to 30 lines", false},
        {"eleven rows",
         [](JobSetup& s) {
             s.def.RowsInPanel = 11;
             s.def.RowFirstNumber = {1, 8, 15, 22, 29, 36, 43, 50, 57, 64, 71};
         },
         "31 lines (11 rows)", false},
        {"panels disagree", [](JobSetup& s) { s.def.TotalPanels = 6; }, "Total Panels is 6", false},
        {"no numbering", [](JobSetup& s) { s.def.RowFirstNumber[1] = 9; }, "fit no numbering", false},
        {"short play", [](JobSetup& s) { s.wheel = Wheel(2) + "1,2,3,4,5\r\n" + Wheel(3); },
         "w.txt: line 3", true},
        {"not a number", [](JobSetup& s) { s.wheel = Wheel(4) + "1,2,x,4,5,6\r\n"; }, "w.txt: line 5",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        JobSetup s;
        c.change(s);
        const auto run = RunJob(s);
        EXPECT_EQ(run->outcome.end, JobEnd::Refused);
        EXPECT_NE(run->outcome.message.find(c.messagePart), std::string::npos) << run->outcome.message;
        EXPECT_EQ(run->asked, c.asksForWheel);
        EXPECT_EQ(run->status.summary, "(untouched)");
        EXPECT_TRUE(run->surface.marks().empty());
        EXPECT_FALSE(run->surface.ended());
        EXPECT_FALSE(run->status.endShown);
        EXPECT_FALSE(run->status.busy);
    }
}

TEST(PrintJob, AcceptsTwoToTenRows)
{
    for (int rows : {2, 10}) {
        JobSetup s;
        s.def = Horizontal649(1);
        s.def.Pool = rows * 7;
        s.def.RowsInPanel = rows;
        s.def.RowFirstNumber.clear();
        for (int r = 0; r < rows; ++r)
            s.def.RowFirstNumber.push_back(static_cast<std::int16_t>(1 + 7 * r));
        s.wheel = "1,2,3,4,5,6\r\n";
        const auto run = RunJob(s);
        EXPECT_EQ(run->outcome.end, JobEnd::Completed) << rows << " rows: " << run->outcome.message;
    }
}

TEST(PrintJob, NoDefinitionChosenIsRefused)
{
    RecordingSurface surface;
    FakeStatus status;
    EscapeAtSlip never(status, 0);
    PrintJobRequest request;
    const auto outcome = RunPrintJob(request, surface, status, never, [] { return std::filesystem::path("x"); });
    EXPECT_EQ(outcome.end, JobEnd::Refused);
    EXPECT_NE(outcome.message.find("No slip definition is chosen"), std::string::npos);
}

TEST(PrintJob, APrinterRefusingTheDocumentIsAFailureNotCompletion)
{
    TempDir dir;
    const SlipDefinition d = Horizontal649();
    const auto file = WriteDefinition(dir, "HZ649", d);
    WriteBytes(dir / "w.txt", Wheel(3));
    RecordingSurface surface;
    surface.RefuseDocument("The printer \"slips\" did not take the job: server-error-not-accepting-jobs");
    FakeStatus status;
    EscapeAtSlip never(status, 0);
    const auto outcome = RunPrintJob(RequestFor(file, d), surface, status, never, [&] { return dir / "w.txt"; });
    EXPECT_EQ(outcome.end, JobEnd::Failed);
    EXPECT_NE(outcome.message.find("not-accepting-jobs"), std::string::npos);
    EXPECT_NE(status.endMessage, "Processing Complete");
    EXPECT_FALSE(status.endShown);
    EXPECT_FALSE(status.busy);
}

}  // namespace
