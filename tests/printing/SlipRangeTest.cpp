#include <gtest/gtest.h>

#include <algorithm>

#include "printing/BoxGeometry.h"
#include "printing/PrintJob.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

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
    SlipDefinition vertical = Horizontal649(2);
    vertical.Horizontal = false;
    vertical.PanelsAcross = 1;
    vertical.TotalPanels = 2;
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
    std::string wheel;
    for (int i = 0; i < 7; ++i)
        wheel += "1,2,3,4,5,6\n";
    WriteBytes(dir / "w.txt", wheel);
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
        const auto range = ParseSlipRange(bad, 40);
        ASSERT_FALSE(range) << bad;
        EXPECT_EQ(range.error().message.rfind(std::string("--slips ") + bad + ": ", 0), 0u);
        EXPECT_NE(range.error().message.find("this wheel fills 40 playslips"), std::string::npos);
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
