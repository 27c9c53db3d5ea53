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

// Plays fill the panels in wheel order, slip after slip; the last slip keeps its empty panels and
// no empty sheet is fed.
TEST(PrintJob, MarksTheBoxesOfEachPlayAndNoOther)
{
    const auto oneMain = [](int pool, int pick, int columns, std::vector<std::int16_t> rows) {
        auto d = Horizontal649(1);
        d.Pool = pool;
        d.Pick = pick;
        d.ColumnsInPanel = columns;
        d.RowsInPanel = static_cast<int>(rows.size());
        d.RowFirstNumber = std::move(rows);
        return d;
    };
    JobSetup powerball{.def = oneMain(69, 5, 7, {1, 8, 15, 22, 29, 36, 43, 50, 57, 64}),
                       .wheel = "5,12,23,34,45,7\r\n1 2 3 4 5 6\r\n"};  // five marks, never the sixth number
    powerball.def.bPB = true;
    const struct {
        JobSetup s;
        const char* summary;
        int sheets;
    } cases[] = {
        {{.def = Horizontal649(1)}, "Printing 12 Picks On 3 Playslips", 3},
        {{.def = Horizontal649(1), .wheel = Wheel(10)}, "Printing 10 Picks On 2 Playslips", 2},
        {{.wheel = ""}, "Printing 0 Picks On 0 Playslips", 0},
        // Offsets move every mark on every main panel; blank lines written after counting change no play.
        {{.top = "1", .left = "-0.5", .wheelOnceCounted = Wheel(12) + "\r\n  \r\n"},
         "Printing 12 Picks On 2 Playslips", 2},
        {{.def = oneMain(14, 6, 7, {1, 8}), .wheel = "1,2,3,8,9,10\r\n14,13,12,11,7,6\r\n"},  // the fewest rows
         "Printing 2 Picks On 1 Playslips", 1},
        {powerball, "Printing 2 Picks On 1 Playslips", 1},  // the most rows
        {{.def = oneMain(56, 6, 14, {1, 15, 29, 43}), .wheel = "13,14,28,1,2,3\r\n"},  // no 14th column marks
         "Printing 1 Picks On 1 Playslips", 1},
        {{.def = oneMain(49, 6, 7, {0, 7, 14, 21, 28, 35, 42}), .wheel = "0,1,2,3,4,5\r\n"},  // a box for zero
         "Printing 1 Picks On 1 Playslips", 1},
    };
    for (const auto& [s, summary, sheets] : cases) {
        SCOPED_TRACE(summary);
        const auto run = RunJob(s);
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        EXPECT_EQ(run->surface.marks(), ExpectedMarks(s));
        EXPECT_EQ(run->status.summary, summary);
        const auto& calls = run->surface.calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "NextPage"), sheets);
        EXPECT_EQ(calls.back(), "EndDocument");
        EXPECT_EQ(run->status.endMessage, "Processing Complete");
        EXPECT_TRUE(run->status.endShown && run->status.countersShown && !run->status.busy);
    }
}

// The ways a job ends without printing: cancelled, refused before or after the wheel file is
// counted, stopped with Escape (the whole document is abandoned), or refused by the printer.
// Another program may write the wheel file between counting and reading (the summary is shown
// exactly then): the job must neither print a file it did not count nor claim it complete.
TEST(PrintJob, EveryEndWithoutPrintingPrintsNothingAndSaysWhy)
{
    const char* const kCounted12 = "Printing 12 Picks On 2 Playslips";
    const auto escape = JobSetup{.def = Horizontal649(1), .wheel = Wheel(25), .escapeAtSlip = 3};
    const auto changed = [](auto change) {
        auto d = Horizontal649();
        change(d);
        return d;
    };
    const struct {
        JobSetup s;
        const char* message;  // part of it
        bool asksForWheel = false;
        const char* summary = nullptr;  // nullptr: the last job's summary stays
        JobEnd end = JobEnd::Refused;
        const char* endMessage = "";  // shown when there is one; never "Processing Complete"
    } cases[] = {
        {{.cancel = true}, "", true, nullptr, JobEnd::Cancelled},
        {{.noDefinition = true}, "No slip definition is chosen"},
        {{.top = "abc"}, "top offset \"abc\" is not a number"},
        {{.left = "1,5"}, "left offset \"1,5\" is not a number"},
        {{.def = changed([](auto& d) { d.RowsInPanel = 1; d.RowFirstNumber = {1}; d.ColumnsInPanel = 49; })},
         "21 lines (1 row); printing takes definitions of 22 to 30 lines"},
        {{.def = changed([](auto& d) { d.RowsInPanel = 11; d.RowFirstNumber.resize(11, 71); })}, "31 lines (11 rows)"},
        {{.def = changed([](auto& d) { d.TotalPanels = 6; })}, "Total Panels is 6"},
        {{.wheel = "1,2,3,4,5,6\r\n1,2,3,4,5\r\n"}, "w.txt: line 2", true},
        // Such a pick is counted, not read as plays.
        {{.def = changed([](auto& d) { d.Pick = 8; }), .wheel = "1,2,3,4,5,6,7,8\r\n\r\n1 2 3\r\nno play\r\n"},
         "Sorry. That lottery format is not supported in this version", true, "Printing 3 Picks On 1 Playslips"},
        {{.wheelOnceCounted = Wheel(15)}, "w.txt: changed while it was being printed; it now holds more than 12 plays",
         true, kCounted12},
        {{.wheelOnceCounted = Wheel(7)}, "w.txt: changed while it was being printed; it now holds 7 plays instead of",
         true, kCounted12},
        {{.wheelOnceCounted = Wheel(12) + "1,2,3\r\n"}, "w.txt: line 13 holds 3 numbers; a play of this game has 6",
         true, kCounted12},
        {escape, "", true, "Printing 25 Picks On 5 Playslips", JobEnd::Aborted, "Print Job Aborted At Slip 3"},
        // Escape is heard while a large wheel is still being counted.
        {{.wheel = Wheel(20000), .escapeAtSlip = -1}, "", true, nullptr, JobEnd::Aborted, "Print Job Aborted At Slip 0"},
        {{.def = changed([](auto& d) { d.LeftIndent = 300; })}, "Left Margin Indent is 300 mm, beyond the A4 sheet"},
        {{.printerRefusal = "The printer did not take the job: not-accepting"}, "not-accepting", true, kCounted12,
         JobEnd::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const auto run = RunJob(c.s);
        EXPECT_EQ(run->outcome.end, c.end);
        EXPECT_NE(run->outcome.message.find(c.message), std::string::npos) << run->outcome.message;
        EXPECT_EQ(run->outcome.message.empty(), c.end == JobEnd::Cancelled || c.end == JobEnd::Aborted);
        EXPECT_EQ(run->asked, c.asksForWheel);
        EXPECT_EQ(run->status.summary, c.summary ? c.summary : "(untouched)");
        EXPECT_EQ(run->status.countersShown, c.summary != nullptr);
        // The surface is set up before anything else.
        const auto& calls = run->surface.calls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[0] + "; " + calls[1], "UseMillimetres; SetOrientation Landscape");
        EXPECT_TRUE(run->surface.marks().empty() && !run->surface.ended());
        EXPECT_EQ(run->status.endMessage, c.endMessage);
        EXPECT_EQ(run->status.endShown, *c.endMessage != '\0');
        EXPECT_TRUE(run->status.everBusy && !run->status.busy);
    }
}

}  // namespace
