#include <gtest/gtest.h>

#include <functional>

#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

// The ways a job ends without printing: cancelled, refused before or after the wheel file is
// counted, stopped with Escape (the whole document is abandoned), or refused by the printer.
// The wheel file is counted, then read while the slips are printed; another program may write it
// in between (the summary is shown exactly then): the job must neither print a file it did not
// count nor claim "Processing Complete" over plays it left out.
TEST(PrintJob, EveryEndWithoutPrintingPrintsNothingAndSaysWhy)
{
    const char* const kCounted12 = "Printing 12 Picks On 2 Playslips";
    const struct {
        const char* what;
        std::function<void(JobSetup&)> change;
        const char* message;  // part of it
        bool asksForWheel = false;
        const char* summary = nullptr;  // nullptr: the last job's summary stays
        JobEnd end = JobEnd::Refused;
        const char* endMessage = "";  // shown when there is one; never "Processing Complete"
    } cases[] = {
        {"cancelled", [](JobSetup& s) { s.cancel = true; }, "", true, nullptr, JobEnd::Cancelled},
        {"no definition", [](JobSetup& s) { s.noDefinition = true; }, "No slip definition is chosen"},
        {"top offset", [](JobSetup& s) { s.top = "abc"; }, "top offset \"abc\" is not a number"},
        {"left offset", [](JobSetup& s) { s.left = "1,5"; }, "left offset \"1,5\" is not a number"},
        {"one row", [](JobSetup& s) { s.def.RowsInPanel = 1; s.def.RowFirstNumber = {1}; s.def.ColumnsInPanel = 49; },
         "21 lines (1 row); printing takes definitions of 22 to 30 lines"},
        {"eleven rows",
         [](JobSetup& s) { s.def.RowsInPanel = 11; s.def.RowFirstNumber = {1, 8, 15, 22, 29, 36, 43, 50, 57, 64, 71}; },
         "31 lines (11 rows)"},
        {"panels disagree", [](JobSetup& s) { s.def.TotalPanels = 6; }, "Total Panels is 6"},
        {"short play", [](JobSetup& s) { s.wheel = Wheel(2) + "1,2,3,4,5\r\n" + Wheel(3); }, "w.txt: line 3", true},
        // Such a pick is counted, not read as plays.
        {"pick 8", [](JobSetup& s) { s.def.Pick = 8; s.wheel = "1,2,3,4,5,6,7,8\r\n\r\n1 2 3 4 5 6\r\nno play\r\n"; },
         "Sorry. That lottery format is not supported in this version", true, "Printing 3 Picks On 1 Playslips"},
        {"plays added", [](JobSetup& s) { s.wheelOnceCounted = Wheel(15); },
         "w.txt: changed while it was being printed; it now holds more than 12 plays", true, kCounted12},
        {"plays removed", [](JobSetup& s) { s.wheelOnceCounted = Wheel(7); },
         "w.txt: changed while it was being printed; it now holds 7 plays instead of 12", true, kCounted12},
        {"a bad line added", [](JobSetup& s) { s.wheelOnceCounted = Wheel(12) + "1,2,3\r\n"; },
         "w.txt: line 13 holds 3 numbers; a play of this game has 6", true, kCounted12},
        {"escape at slip 3",
         [](JobSetup& s) {
             s.def = Horizontal649(1);
             s.wheel = Wheel(25);
             s.escapeAtSlip = 3;
         },
         "", true, "Printing 25 Picks On 5 Playslips", JobEnd::Aborted, "Print Job Aborted At Slip 3"},
        {"printer refuses", [](JobSetup& s) { s.printerRefusal = "The printer did not take the job: not-accepting"; },
         "not-accepting", true, kCounted12, JobEnd::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        JobSetup s;
        c.change(s);
        const auto run = RunJob(s);
        EXPECT_EQ(run->outcome.end, c.end);
        EXPECT_NE(run->outcome.message.find(c.message), std::string::npos) << run->outcome.message;
        EXPECT_EQ(run->outcome.message.empty(), c.end == JobEnd::Cancelled || c.end == JobEnd::Aborted);
        EXPECT_EQ(run->asked, c.asksForWheel);
        EXPECT_EQ(run->status.summary, c.summary ? c.summary : "(untouched)");
        EXPECT_EQ(run->status.countersShown, c.summary != nullptr);
        // The surface is set up before anything else, from the caller's flags.
        const auto& calls = run->surface.calls();
        EXPECT_EQ(std::vector(calls.begin(), calls.begin() + 2),
                  (std::vector<std::string>{"UseMillimetres", "SetOrientation Landscape"}));
        EXPECT_TRUE(run->surface.marks().empty());
        EXPECT_FALSE(run->surface.ended());
        EXPECT_EQ(run->status.endMessage, c.endMessage);
        EXPECT_EQ(run->status.endShown, *c.endMessage != '\0');
        EXPECT_TRUE(run->status.everBusy);
        EXPECT_FALSE(run->status.busy);
    }
}

}  // namespace
