#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "printing/PrintJob.h"
#include "printing/RecordingSurface.h"
#include "slip/BoxGeometry.h"
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
    // Five marks, never the sixth number, which is no box of the slip: it may be anything.
    JobSetup powerball{.def = oneMain(69, 5, 7, {1, 8, 15, 22, 29, 36, 43, 50, 57, 64}),
                       .wheel = "5,12,23,34,45,5\r\n1 2 3 4 5 0\r\n"};
    powerball.def.bPB = true;
    const struct {
        JobSetup s;
        const char* summary;
        int sheets;
    } cases[] = {
        {{.def = Horizontal649(1)}, "Printing 12 Picks On 3 Playslips", 3},
        {{.def = Horizontal649(1), .wheel = Wheel(10)}, "Printing 10 Picks On 2 Playslips", 2},
        // Offsets move every mark on every main panel; blank lines written after counting change no play.
        {{.top = "1", .left = "-0.5", .wheelOnceCounted = Wheel(12) + "\r\n  \r\n"},
         "Printing 12 Picks On 2 Playslips",
         2},
        {{.def = oneMain(14, 6, 7, {1, 8}), .wheel = "1,2,3,8,9,10\r\n14,13,12,11,7,6\r\n"},  // the fewest rows
         "Printing 2 Picks On 1 Playslips",
         1},
        {powerball, "Printing 2 Picks On 1 Playslips", 1},  // the most rows
        // A 14th column leaves the boxes before it in place.
        {{.def = oneMain(56, 6, 14, {1, 15, 29, 43}), .wheel = "13,15,27,1,2,29\r\n"},
         "Printing 1 Picks On 1 Playslips",
         1},
    };
    for (const auto& [s, summary, sheets] : cases) {
        SCOPED_TRACE(summary);
        const auto run = RunJob(s);
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        EXPECT_EQ(run->surface.marks(), ExpectedMarks(s));
        EXPECT_EQ(run->status.summary, summary);
        const auto& calls = run->surface.calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "NextPage"), sheets);
        // Escape is read after every box position, marked or not.
        const SlipDefinition& d = s.def;
        EXPECT_EQ(run->surface.polls, sheets * d.MainPanels * d.RowsInPanel * d.PanelsAcross * d.ColumnsInPanel);
        EXPECT_EQ(calls.back(), "EndDocument");
        EXPECT_EQ(run->status.endMessage, "Processing Complete");
        EXPECT_TRUE(run->status.endShown && run->status.countersShown && !run->status.busy);
    }
}

// Where the marks land, worked out by hand from the measurements (not by the geometry the job
// uses), for each way of laying out a slip; marks are listed in the order the job walks the boxes.
TEST(PrintJob, MarksLandWhereTheMeasurementsPutThem)
{
    struct Case {
        const char* layout;
        JobSetup s;
        float width, height;
        std::vector<std::array<float, 3>> marks;  // sheet, left x, top y
    };
    // Numbers along the rows: row r holds 4r - 3 to 4r. Offsets top -1, left 2: rows at 49, 53.5
    // and 58 in main panel 1, at 90 - 1 = 89, 93.5 and 98 in main panel 2; columns at 12, 16, 20,
    // 24 in panel 1 and 40 further in panel 2.
    const SlipDefinition horizontal{.Pool = 12,
                                    .Pick = 5,
                                    .TotalPanels = 4,
                                    .SlipWidth = 190,
                                    .SlipHeight = 120,
                                    .TopToFirstRow = 50,
                                    .MainPanels = 2,
                                    .RowsInPanel = 3,
                                    .PanelsAcross = 2,
                                    .LeftIndent = 10,
                                    .ColumnsInPanel = 4,
                                    .BoxWidth = 3,
                                    .BoxHeight = 2,
                                    .HorizontalPanelGap = 40,
                                    .VerticalRowGap = 4.5f,
                                    .VerticalPanelGap = 90,
                                    .HorizontalBoxShift = 4,
                                    .RowFirstNumber = {1, 5, 9},
                                    .Horizontal = true};
    // One panel per main panel, 40 apart (60 - 20); row 1 holds 1 to 5, row 2 6 to 10. Top offset
    // 2: rows at 22 and 30, 62 and 70, 102 and 110; columns at 30, 36, 42, 48, 54.
    const SlipDefinition vertical{.Pool = 10,
                                  .Pick = 5,
                                  .TotalPanels = 3,
                                  .SlipWidth = 82,
                                  .SlipHeight = 190,
                                  .TopToFirstRow = 20,
                                  .MainPanels = 3,
                                  .RowsInPanel = 2,
                                  .PanelsAcross = 1,
                                  .LeftIndent = 30,
                                  .ColumnsInPanel = 5,
                                  .BoxWidth = 4,
                                  .BoxHeight = 3,
                                  .HorizontalPanelGap = 0,
                                  .VerticalRowGap = 8,
                                  .VerticalPanelGap = 60,
                                  .HorizontalBoxShift = 6,
                                  .RowFirstNumber = {1, 6},
                                  .Horizontal = false};
    // Numbers down the columns: row r holds r, r + 3, r + 6, r + 9. Rows at 10, 16, 22; columns at
    // 5, 10, 15, 20 in panel 1 and 35, 40, 45, 50 in panel 2.
    const SlipDefinition columns{.Pool = 12,
                                 .Pick = 6,
                                 .TotalPanels = 2,
                                 .SlipWidth = 100,
                                 .SlipHeight = 60,
                                 .TopToFirstRow = 10,
                                 .MainPanels = 1,
                                 .RowsInPanel = 3,
                                 .PanelsAcross = 2,
                                 .LeftIndent = 5,
                                 .ColumnsInPanel = 4,
                                 .BoxWidth = 2,
                                 .BoxHeight = 2,
                                 .HorizontalPanelGap = 30,
                                 .VerticalRowGap = 6,
                                 .VerticalPanelGap = 50,
                                 .HorizontalBoxShift = 5,
                                 .RowFirstNumber = {1, 2, 3},
                                 .Horizontal = true};
    const Case cases[] = {
        {"horizontal",
         {.def = horizontal,
          .wheel = "1,6,11,12,2\r\n4,5,9,3,10\r\n7,8,1,2,3\r\n12,11,10,9,8\r\n1,2,3,4,5\r\n",
          .top = "-1",
          .left = "2"},
         3,
         2,
         {{1, 12, 49},    {1, 16, 49},    {1, 60, 49},    {1, 64, 49},  // row 1: plays 1 and 2
          {1, 16, 53.5f}, {1, 52, 53.5f},                               // row 2
          {1, 20, 58},    {1, 24, 58},    {1, 52, 58},    {1, 56, 58},  // row 3
          {1, 12, 89},    {1, 16, 89},    {1, 20, 89},                  // main panel 2: plays 3 and 4
          {1, 20, 93.5f}, {1, 24, 93.5f}, {1, 64, 93.5f}, {1, 52, 98}, {1, 56, 98},   {1, 60, 98}, {1, 64, 98},
          {2, 12, 49},    {2, 16, 49},    {2, 20, 49},    {2, 24, 49}, {2, 12, 53.5f}}},  // play 5 on slip 2
        {"vertical",
         {.def = vertical, .wheel = "1,7,3,9,5\r\n6,7,8,9,10\r\n10,1,2,6,4\r\n2,4,6,8,10\r\n", .top = "2"},
         4,
         3,
         {{1, 30, 22},  {1, 42, 22}, {1, 54, 22}, {1, 36, 30},  {1, 48, 30},  {1, 30, 70},  {1, 36, 70},
          {1, 42, 70},  {1, 48, 70}, {1, 54, 70}, {1, 30, 102}, {1, 36, 102}, {1, 48, 102}, {1, 30, 110},
          {1, 54, 110}, {2, 36, 22}, {2, 48, 22}, {2, 30, 30},  {2, 42, 30},  {2, 54, 30}}},
        {"down the columns",
         {.def = columns, .wheel = "1,2,3,4,5,6\r\n10,2,9,4,6,11\r\n"},
         2,
         2,
         {{1, 5, 10},
          {1, 10, 10},
          {1, 40, 10},
          {1, 50, 10},
          {1, 5, 16},
          {1, 10, 16},
          {1, 35, 16},
          {1, 50, 16},
          {1, 5, 22},
          {1, 10, 22},
          {1, 40, 22},
          {1, 45, 22}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        std::vector<RecordingSurface::Mark> expected;
        for (const auto& [sheet, x, y] : c.marks)
            expected.push_back({static_cast<int>(sheet), x, y, x + c.width, y + c.height});
        const auto run = RunJob(c.s);
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        EXPECT_EQ(run->surface.marks(), expected);
    }
}

// The ways a job ends without printing: cancelled, refused before or after the wheel file is
// counted, stopped with Escape (the whole document is abandoned), or refused by the printer.
// Another program may write the wheel file between counting and reading (the summary is shown
// exactly then): the job must neither print a file it did not count nor claim it complete.
TEST(PrintJob, EveryEndWithoutPrintingPrintsNothingAndSaysWhy)
{
    const char* const kCounted12 = "Printing 12 Picks On 2 Playslips";
    // Escape turns true in slip 3 (245 box positions a slip) at the box of number 11 of its first play.
    const auto escape = JobSetup{.def = Horizontal649(1), .wheel = Wheel(25), .escapeAtPoll = 2 * 245 + 39};
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
        bool countersShown = true;    // with a summary
    } cases[] = {
        {{.cancel = true}, "", true, nullptr, JobEnd::Cancelled},
        {{.noDefinition = true}, "No slip definition is chosen"},
        {{.top = "abc"}, "top offset \"abc\" is not a number"},
        {{.left = "1,5"}, "left offset \"1,5\" is not a number"},
        {{.def = changed([](auto& d) {
              d.RowsInPanel = 1;
              d.RowFirstNumber = {1};
              d.ColumnsInPanel = 49;
          })},
         "21 lines (1 row); printing takes definitions of 22 to 30 lines"},
        {{.def = changed([](auto& d) {
              d.RowsInPanel = 11;
              d.RowFirstNumber.resize(11, 71);
          })},
         "31 lines (11 rows)"},
        {{.def = changed([](auto& d) { d.TotalPanels = 6; })}, "Total Panels is 6"},
        {{.wheel = "1,2,3,4,5,6\r\n1,2,3,4,5\r\n"}, "w.txt: line 2", true},
        // A wheel without a play has no slips to choose from.
        {{.wheel = "# only a comment\r\n\r\n", .slips = "1"},
         "--slips 1: ",
         true,
         "Printing 0 Picks On 0 Playslips",
         JobEnd::Refused,
         "",
         false},
        // Such a pick is counted, not read as plays.
        {{.def = changed([](auto& d) { d.Pick = 8; }), .wheel = "1,2,3,4,5,6,7,8\r\n\r\n1 2 3\r\nno play\r\n"},
         "Sorry. That lottery format is not supported in this version",
         true,
         "Printing 3 Picks On 1 Playslips"},
        {{.wheelOnceCounted = Wheel(15)},
         "w.txt: changed while it was being printed; it now holds more than 12 plays",
         true,
         kCounted12},
        {{.wheelOnceCounted = Wheel(7)},
         "w.txt: changed while it was being printed; it now holds 7 plays instead of",
         true,
         kCounted12},
        {{.wheelOnceCounted = Wheel(12) + "1,2,3\r\n"},
         "w.txt: line 13 holds 3 numbers; a play of this game has 6",
         true,
         kCounted12},
        // A play that would print with a mark missing, counted across the file; a comment line
        // keeps the line numbers physical.
        {{.wheel = "# 0-based\r\n0,1,2,3,4,5\r\n1,2,3,4,5,6\r\n48,49,0,1,2,3\r\n"},
         "w.txt: line 2: 0 has no box on this slip (1 to 49); 2 plays of this file have such a fault",
         true},
        {{.wheel = "1,2,3,4,5,6\r\n\r\n1,2,3,4,5,50\r\n"}, "w.txt: line 3: 50 has no box on this slip (1 to 49)", true},
        {{.wheel = "1,2,3,4,5,6\r\n1,2,3,4,5,5\r\n"}, "w.txt: line 2: 5 is given twice", true},
        {{.def = changed([](auto& d) {
              d.ColumnsInPanel = 14;
              d.RowsInPanel = 4;
              d.Pool = 56;
              d.RowFirstNumber = {1, 15, 29, 43};
          }),
          .wheel = "14,28,42,56,1,2\r\n"},
         "w.txt: line 1: 14 has no box on this slip that can be marked (its box lies beyond the 13th column",
         true},
        {{.def = changed([](auto& d) {
              d.RowsInPanel = 6;
              d.RowFirstNumber.resize(6);
          }),
          .wheel = "1,2,3,4,5,45\r\n"},
         "w.txt: line 1: 45 has no box on this slip (no box of its 6 rows is numbered 45)",
         true},
        {{.wheelOnceCounted = Wheel(11) + "1,1,2,3,4,5\r\n"}, "w.txt: line 12: 1 is given twice", true, kCounted12},
        {escape, "", true, "Printing 25 Picks On 5 Playslips", JobEnd::Aborted, "Print Job Aborted At Slip 3"},
        // Escape is heard while a large wheel is still being counted.
        {{.wheel = Wheel(20000), .escapeAtPoll = 1}, "", true, nullptr, JobEnd::Aborted, "Print Job Aborted At Slip 0"},
        {{.def = changed([](auto& d) { d.LeftIndent = 300; })}, "Left Margin Indent is 300 mm, beyond the A4 sheet"},
        {{.printerRefusal = "The printer did not take the job: not-accepting"},
         "not-accepting",
         true,
         kCounted12,
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
        EXPECT_EQ(run->status.countersShown, c.summary != nullptr && c.countersShown);
        // The surface is set up before anything else.
        const auto& calls = run->surface.calls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[0] + "; " + calls[1], "UseMillimetres; SetOrientation Landscape");
        EXPECT_TRUE(run->surface.marks().empty() && !run->surface.ended());
        EXPECT_EQ(run->status.endMessage, c.endMessage);
        EXPECT_EQ(run->status.endShown, *c.endMessage != '\0');
        EXPECT_TRUE(run->status.everBusy && !run->status.busy);
        // The job stops at the very poll that saw Escape: no box is filled after it.
        EXPECT_EQ(run->surface.Seen() ? run->surface.polls : 0, c.s.escapeAtPoll);
        EXPECT_EQ(run->surface.fillsAfterEscape, 0);
    }
}

// A wheel without a play prints nothing, not even a blank sheet, and the job is done.
TEST(PrintJob, AnEmptyWheelPrintsNothingAndCompletes)
{
    for (const char* wheel : {"", "# only a comment\r\n\r\n"}) {
        SCOPED_TRACE(wheel);
        const auto run = RunJob({.wheel = wheel});
        EXPECT_EQ(run->outcome.end, JobEnd::Completed);
        EXPECT_EQ(run->outcome.message, "");
        EXPECT_EQ(run->status.summary, "Printing 0 Picks On 0 Playslips");
        EXPECT_EQ(run->status.endMessage, "Processing Complete");
        EXPECT_TRUE(run->surface.marks().empty());
        EXPECT_FALSE(run->surface.ended());
        EXPECT_EQ(run->surface.sheets(), 0);
    }
}

// Every box on one sheet, moved by the offsets it calibrates; it also sets up definitions the job
// cannot print plays with yet (three panels, pick 8).
TEST(TestPattern, MarksEveryBoxOnOneSheet)
{
    const struct {
        int pool, rows, columns;
        bool horizontal;
        std::size_t marks;
    } cases[] = {
        {53, 7, 7, true, 480},   // leaves the last box of each panel
        {56, 4, 14, true, 560},  // the fourteenth column too
        {49, 7, 7, false, 147},  // portrait, three main panels
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pool);
        JobSetup s{.def = Horizontal649(c.horizontal ? 2 : 3), .top = "2", .left = "-1", .testMode = true};
        s.def.Pool = c.pool;
        s.def.Pick = 8;
        s.def.TotalPanels = 3;
        s.def.RowsInPanel = c.rows;
        s.def.ColumnsInPanel = c.columns;
        s.def.RowFirstNumber.clear();
        for (int r = 0; r < c.rows; ++r)
            s.def.RowFirstNumber.push_back(static_cast<std::int16_t>(1 + r * c.columns));
        s.def.Horizontal = c.horizontal;
        s.def.PanelsAcross = c.horizontal ? 5 : 1;
        const auto run = RunJob(s);
        ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
        const auto& marks = run->surface.marks();
        EXPECT_EQ(marks.size(), c.marks);
        EXPECT_EQ(std::count(run->surface.calls().begin(), run->surface.calls().end(), "NextPage"), 0);
        EXPECT_EQ(run->surface.orientation(), c.horizontal ? Orientation::Landscape : Orientation::Portrait);
        EXPECT_FALSE(run->asked || run->status.countersShown || run->status.busy);
        EXPECT_EQ(run->status.endMessage, "Printed 1 Test Playslip");
        const BoxGeometry g(s.def, 2, -1);
        const auto marked = [&](const BoxRect& b) {
            return std::count(marks.begin(), marks.end(), RecordingSurface::Mark{1, b.x1, b.y1, b.x2, b.y2}) == 1;
        };
        for (int m = 1; m <= s.def.MainPanels; ++m)
            for (int p = 1; p <= s.def.PanelsAcross; ++p) {
                EXPECT_EQ(marked(g.Rect(m, c.rows, p, c.columns)), c.pool != 53) << m << " " << p;
                EXPECT_TRUE(marked(g.Rect(m, 1, p, 1)) && marked(g.Rect(m, c.rows, p, c.columns - 1)));
            }
    }
}

// `count` plays of the definition's game after a comment line, so that a play's line is its index + 1;
// a powerball game gets its ball as a sixth number.
std::string CommentedWheel(const SlipDefinition& d, int count)
{
    std::string out = "# method: test\n";
    for (int i = 1; i <= count; ++i) {
        for (int k = 0; k < d.Pick; ++k)
            out += (k ? "," : "") + std::to_string((i * 5 + k * 9) % d.Pool + 1);
        out += d.bPB ? "," + std::to_string(i % 26 + 1) + "\n" : "\n";
    }
    return out;
}

std::vector<RecordingSurface::Mark> OfSheets(const std::vector<RecordingSurface::Mark>& marks, int first, int last)
{
    std::vector<RecordingSurface::Mark> kept;
    std::copy_if(marks.begin(), marks.end(), std::back_inserter(kept),
                 [&](const auto& m) { return m.sheet >= first && m.sheet <= last; });
    return kept;
}

}  // namespace

// Any slip drawn alone, from the nearest seek point, is the whole job's sheet of that number, mark
// for mark, with its plays and their lines; a range job prints exactly the whole job's sheets.
TEST(SlipRange, SlipsDrawnAloneAreTheWholeJobsSheets)
{
    const SlipDefinition vertical = Vertical649(2);
    SlipDefinition powerball = Horizontal649(1);
    powerball.Pool = 69;
    powerball.Pick = 5;
    powerball.bPB = true;
    powerball.RowsInPanel = 10;
    powerball.RowFirstNumber = {1, 8, 15, 22, 29, 36, 43, 50, 57, 64};
    const struct {
        const char* layout;
        SlipDefinition def;
        const char* range;
        int first, last;
    } cases[] = {{"horizontal", Horizontal649(1), "37-", 37, 40},
                 {"vertical", vertical, "99-100", 99, 100},
                 {"powerball", powerball, "2", 2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        JobSetup s{.def = c.def, .wheel = CommentedWheel(c.def, 200)};
        const auto whole = RunJob(s);
        ASSERT_EQ(whole->outcome.end, JobEnd::Completed) << whole->outcome.message;
        s.slips = c.range;
        const auto range = RunJob(s);
        ASSERT_EQ(range->outcome.end, JobEnd::Completed) << range->outcome.message;
        EXPECT_EQ(range->surface.marks(), OfSheets(whole->surface.marks(), c.first, c.last));
        EXPECT_EQ(range->status.slip, c.last);
        EXPECT_EQ(range->status.summary, whole->status.summary);

        TempDir dir;
        WriteBytes(dir / "w.txt", s.wheel);
        WatchedSurface never;
        FakeStatus status;
        const auto prepared = PrepareJob(RequestFor(WriteDefinition(dir.path(), "D", c.def), c.def), status, never,
                                         [&] { return dir / "w.txt"; });
        ASSERT_TRUE(prepared.job) << prepared.outcome.message;
        const PreparedJob& job = *prepared.job;
        ASSERT_GT(job.seek.size(), 1u);
        const int perSlip = job.geometry.PlaysPerSlip();
        for (long long n = 1; n <= job.slips; ++n) {
            WatchedSurface one;
            ASSERT_EQ(PrintPreparedSlips(job, {n, n}, false, one, status, never).end, JobEnd::Completed);
            ASSERT_EQ(one.marks(), OfSheets(whole->surface.marks(), int(n), int(n))) << "slip " << n;
            const auto plays = job.PlaysOf(n);
            ASSERT_TRUE(plays);
            ASSERT_EQ(plays->size(), std::size_t(std::min<long long>(perSlip, 200 - (n - 1) * perSlip)));
            EXPECT_EQ(plays->front().line, (n - 1) * perSlip + 2);
        }
    }
}

// A PDF for proofing outlines every box the geometry places, a 14th column included, on every sheet.
TEST(SlipRange, OutlinesEveryBoxOfEverySheet)
{
    SlipDefinition d = Horizontal649(1);
    d.Pool = 56;
    d.ColumnsInPanel = 14;
    d.RowsInPanel = 4;
    d.RowFirstNumber = {1, 15, 29, 43};
    TempDir dir;
    WriteBytes(dir / "w.txt", Repeated("1,2,3,4,5,6\n", 7));
    auto request = RequestFor(WriteDefinition(dir.path(), "D", d), d);
    request.outline = true;
    WatchedSurface surface;
    FakeStatus status;
    ASSERT_EQ(RunPrintJob(request, surface, status, surface, [&] { return dir / "w.txt"; }).end, JobEnd::Completed);
    const BoxGeometry g(d, 0, 0);
    const auto boxes = g.AllBoxes();
    ASSERT_EQ(boxes.size(), 5u * 4 * 14);
    EXPECT_EQ(boxes.back(), g.Rect(1, 4, 5, 14));
    ASSERT_EQ(surface.outlines().size(), 2 * boxes.size());
    for (std::size_t i = 0; i < surface.outlines().size(); ++i) {
        const auto& o = surface.outlines()[i];
        const BoxRect& b = boxes[i % boxes.size()];
        EXPECT_EQ(o, (RecordingSurface::Mark{int(i / boxes.size()) + 1, b.x1, b.y1, b.x2, b.y2}));
    }
}

TEST(SlipRange, RangesOutsideTheJobAreRefusedNamingItsSlips)
{
    EXPECT_EQ(*ParseSlipRange("3", 40), (SlipSpan{3, 3}));
    EXPECT_EQ(*ParseSlipRange("3-40", 40), (SlipSpan{3, 40}));
    EXPECT_EQ(*ParseSlipRange("007-", 40), (SlipSpan{7, 40}));
    for (const char* bad : {"0", "41", "5-4", "39-41", "x", "3-x", "-3", "3--", " 3", "1-2-3", "99999999999999"}) {
        const std::string said = Refusal(ParseSlipRange(bad, 40));
        EXPECT_TRUE(said.starts_with(std::string("--slips ") + bad + ": ") &&
                    HasText(said, "this wheel fills 40 playslips"))
            << said;
    }
}

// However many plays are noted, the index stays small and always answers with a point at or
// before the play asked for, the nearest one within its spacing.
TEST(SlipRange, SeekIndexStaysSmall)
{
    PlaySeekIndex index;
    for (std::int64_t play = 1; play <= 3'000'000; ++play)
        index.Note(play, std::uintmax_t(play) * 10, play + 1);
    EXPECT_LT(index.size(), 4096u);
    for (std::int64_t play : {1, 2, 64, 65, 1'234'567, 3'000'000}) {
        const SeekPoint p = index.Before(play);
        EXPECT_LE(p.play, play);
        EXPECT_GT(p.play + 2048, play);
        EXPECT_EQ(p.offset, std::uintmax_t(p.play) * 10);
        EXPECT_EQ(p.linesBefore, p.play + 1);
    }
}
