#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>

#include "printing/BoxGeometry.h"
#include "printing/RecordingSurface.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

// The marks a job must make: slip after slip, main panel, row, panel across and column, the
// boxes whose numbers the panel's play holds (its first Pick numbers); panels past the last
// play stay empty.
std::vector<RecordingSurface::Mark> ExpectedMarks(const JobSetup& s)
{
    std::vector<std::set<int>> plays;
    std::istringstream lines(s.wheel);
    for (std::string line; std::getline(lines, line);) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream numbers(line);
        auto& play = plays.emplace_back();
        for (int n, k = 0; k < s.def.Pick && numbers >> n; ++k)
            play.insert(n);
    }
    const SlipDefinition& d = s.def;
    const BoxGeometry g(d, std::stof(s.top), std::stof(s.left));
    const std::size_t perSlip = static_cast<std::size_t>(d.MainPanels * d.PanelsAcross);
    std::vector<RecordingSurface::Mark> marks;
    for (std::size_t slip = 0; slip * perSlip < plays.size(); ++slip)
        for (int m = 1; m <= d.MainPanels; ++m)
            for (int r = 1; r <= d.RowsInPanel; ++r)
                for (int p = 1; p <= d.PanelsAcross; ++p)
                    for (int c = 1; c <= d.ColumnsInPanel; ++c) {
                        const std::size_t k = slip * perSlip + static_cast<std::size_t>((m - 1) * d.PanelsAcross + p);
                        if (const auto n = g.BoxNumber(r, c); n && k <= plays.size() && plays[k - 1].count(*n)) {
                            const BoxRect b = g.Rect(m, r, p, c);
                            marks.push_back({static_cast<int>(slip) + 1, b.x1, b.y1, b.x2, b.y2});
                        }
                    }
    return marks;
}

TEST(PrintJob, SlipCountFillsTheLastSlipAndFeedsNoEmptySheet)
{
    const struct {
        int plays, panels;
        const char* summary;
        int sheets;
        const char* addedOnceCounted = "";
    } cases[] = {
        {12, 1, "Printing 12 Picks On 3 Playslips", 3},  // 5 panels: 10 + 2 and 3 empty panels
        {10, 1, "Printing 10 Picks On 2 Playslips", 2},
        {0, 1, "Printing 0 Picks On 0 Playslips", 0},
        {11, 2, "Printing 11 Picks On 2 Playslips", 2},  // 10 panels per slip
        {1, 2, "Printing 1 Picks On 1 Playslips", 1},
        {12, 2, "Printing 12 Picks On 2 Playslips", 2, "\r\n   \r\n"},  // blank lines change no play
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.summary);
        JobSetup s;
        s.def = Horizontal649(c.panels);
        s.wheel = Wheel(c.plays);
        if (*c.addedOnceCounted)
            s.wheelOnceCounted = s.wheel + c.addedOnceCounted;
        const auto run = RunJob(s);
        EXPECT_EQ(run->outcome.end, JobEnd::Completed);
        EXPECT_EQ(run->status.summary, c.summary);
        EXPECT_EQ(run->surface.sheets(), c.sheets);
        EXPECT_EQ(run->surface.marks().size(), static_cast<std::size_t>(c.plays * 6));
        EXPECT_EQ(run->status.endMessage, "Processing Complete");
        EXPECT_TRUE(run->status.endShown);
        EXPECT_TRUE(run->status.countersShown);
        EXPECT_FALSE(run->status.busy);
        const auto& calls = run->surface.calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "NextPage"), c.sheets);
        EXPECT_EQ(calls.back(), "EndDocument");
    }
}

TEST(PrintJob, MarksTheBoxesOfEachPlayAndNoOther)
{
    const struct {
        const char* what;
        std::function<void(JobSetup&)> change;
    } cases[] = {
        {"plays fill the panels in wheel order, the last slip keeps empty panels",
         [](JobSetup& s) { s.def = Horizontal649(1); }},
        {"offsets move every mark on every main panel",
         [](JobSetup& s) {
             s.top = "1";
             s.left = "-0.5";
         }},
        {"two rows, the fewest a job prints (ten: the powerball slip below)",
         [](JobSetup& s) {
             s.def = Horizontal649(1);
             s.def.Pool = 14;
             s.def.RowsInPanel = 2;
             s.def.RowFirstNumber = {1, 8};
             s.wheel = "1,2,3,8,9,10\r\n14,13,12,11,7,6\r\n";
         }},
        {"powerball: five marks, never the sixth number",
         [](JobSetup& s) {
             s.def = Horizontal649(1);
             s.def.Pool = 69;
             s.def.Pick = 5;
             s.def.bPB = true;
             s.def.RowsInPanel = 10;
             s.def.RowFirstNumber = {1, 8, 15, 22, 29, 36, 43, 50, 57, 64};
             s.wheel = "5,12,23,34,45,7\r\n1 2 3 4 5 6\r\n";
         }},
        {"numbers in the fourteenth column are never marked",
         [](JobSetup& s) {
             s.def = Horizontal649(1);
             s.def.Pool = 56;
             s.def.ColumnsInPanel = 14;
             s.def.RowsInPanel = 4;
             s.def.RowFirstNumber = {1, 15, 29, 43};
             s.wheel = "13,14,28,1,2,3\r\n";
         }},
        {"empty panels stay empty where a box stands for zero",
         [](JobSetup& s) {
             s.def = Horizontal649(1);
             s.def.RowFirstNumber = {0, 7, 14, 21, 28, 35, 42};
             s.wheel = "0,1,2,3,4,5\r\n";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        JobSetup s;
        c.change(s);
        const auto run = RunJob(s);
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        const auto expected = ExpectedMarks(s);
        EXPECT_EQ(run->surface.marks(), expected);
        EXPECT_EQ(run->surface.sheets(), expected.back().sheet);
    }
}

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
        // The surface is set up before anything else.
        const auto& calls = run->surface.calls();
        ASSERT_GE(calls.size(), 2u);
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
