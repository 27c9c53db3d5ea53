#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "CheckTestSupport.h"
#include "checking/HistoryCheck.h"

namespace {

using bm::CheckerByName;
using bm::DrawsLine;
using bmtest::FakeClock;

std::string Line(const bm::CheckGame& game, std::string_view text, int pool = 49)
{
    const DrawsLine read = bm::ReadDrawsLine(text, game, pool);
    switch (read.kind) {
    case DrawsLine::Kind::Skip: return "skip";
    case DrawsLine::Kind::Header: return "header";
    case DrawsLine::Kind::Fault: return "fault: " + read.fault;
    case DrawsLine::Kind::Draw: break;
    }
    return read.draw.date + ": " + bm::HistoryDrawText(game, read.draw.draw);
}

TEST(DrawsFile, ReadsTheShapesOfRealResultsFiles)
{
    const auto& lotto = CheckerByName("frmChkwhl").Game(true);
    const auto& seven = CheckerByName("frmChkwhl7").Game(true);
    const auto& pb = CheckerByName("frmChkwhlPB").Game(false);
    const auto& five = CheckerByName("frmChkwhl5").Game(false);
    const struct {
        const bm::CheckGame* game;
        const char* line;
        const char* read;
        int pool = 49;
    } cases[] = {
        {&lotto, R"("PRODUCT","DRAW NUMBER","SEQUENCE NUMBER","DRAW DATE","NUMBER DRAWN 1","BONUS NUMBER")", "header"},
        {&lotto, R"("649",1,0,"1982-06-12",3,11,12,14,41,43,13)", "1982-06-12: 3 11 12 14 41 43 +13"},
        {&pb, "09/26/2020,11 21 27 36 62 24,3", "2020-09-26: 11 21 27 36 62 +24", 69},
        {&seven, R"("609","20051018","39","9","12","30","33","45","5","7","19","$0.00","$15,781.85")",
         "2005-10-18: 39 9 12 30 33 45 5 +7"},
        {&five, "  # drawn on Saturdays", "skip"},
        {&five, "Draw;Date;Numbers", "header"},
        {&five, "1.2.2001;\"4 8\";15;16;23", "2001-02-01: 4 8 15 16 23"},
        {&five, "2001/2/29;1;2;3;4;5", "fault: field 1 (\"2001/2/29\") is not a date; dates are read as YYYY-MM-DD, "
                                        "YYYY/MM/DD, M/D/YYYY (month first), D.M.YYYY or YYYYMMDD"},
        {&five, "19991231\t1\t2\t3\t4\t5", "1999-12-31: 1 2 3 4 5"},
        {&five, "4,8,15,16,23", ": 4 8 15 16 23"},
        {&five, "12/31/1999,4,8,15,16", "fault: holds 4 numbers after its date 1999-12-31; a draw of this game has 5"},
        {&five, "4 8 15 16 23 42", "fault: holds 6 numbers (4 8 15 16 23 42); a draw of this game has 5"},
        {&five, "2020-01-01,4,8,15,16,50", "fault: Drawn number 5 is 50; the numbers of this game run from 1 to 49."},
        {&pb, "1,2,3,4,5,0", "fault: The powerball number (box 6) is 0; a powerball is at least 1.", 69},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Line(*c.game, c.line, c.pool), c.read) << c.line;
}

TEST(DrawsFile, RefusalsNameTheFileAndLine)
{
    bmtest::TempDir dir;
    const auto& game = CheckerByName("frmChkwhl5").Game(false);
    const auto read = [&](std::string_view bytes) {
        bmtest::WriteBytes(dir / "d.csv", bytes);
        auto reader = bm::DrawsReader::Open(dir / "d.csv", game, 39);
        if (!reader)
            return reader.error().message;
        bm::HistoryDraw draw;
        std::string seen;
        while ((*reader)->Next(draw))
            seen += std::to_string(draw.line) + " ";
        return seen + ((*reader)->error() ? (*reader)->error()->message : "ok");
    };
    const std::string name = (dir / "d.csv").string();
    EXPECT_EQ(read("\xEF\xBB\xBF# list\r\nDate,Numbers\r\n\r\n2020-01-01,1 2 3 4 5\r\n1,2,3,4,6\r\n"), "4 5 ok");
    EXPECT_EQ(read("1,2,3,4,5\n1,2,3,4,40\n"), "1 " + name + ": line 2: Drawn number 5 is 40; the numbers of this game run from 1 to 39.");
    EXPECT_EQ(read("Date,Numbers\n# none yet\n"), name + ": holds no draw");
    EXPECT_EQ(read("1,2,3,4,5\r6,7,8,9,10\n"), name + ": line 1 holds a carriage return inside the line");
    EXPECT_EQ(read(std::string(5000, '1')), name + ": line 1 is too long for a line of draws");
    EXPECT_EQ(read(std::string_view("\xFF\xFE" "1\0,\0", 6)), name + ": is UTF-16 text; save it as plain text (ANSI or UTF-8)");
}

// A wheel of random plays of the game, some of them the draw's own numbers.
std::string RandomWheel(const bm::CheckGame& game, int pool, int plays, std::mt19937& random)
{
    std::string text;
    std::vector<int> numbers(static_cast<std::size_t>(pool));
    for (int p = 0; p < plays; ++p) {
        std::iota(numbers.begin(), numbers.end(), 1);
        // Few numbers to choose from, so that every tier is reached.
        std::shuffle(numbers.begin(), numbers.begin() + 12, random);
        for (int i = 0; i < game.numbersPerPlay; ++i) {
            const int n = i < game.mainPicks ? numbers[static_cast<std::size_t>(i)]
                                             : 1 + static_cast<int>(random() % 3);  // the powerball
            text += (i ? "," : "") + std::to_string(n);
        }
        text += p % 1000 == 7 ? "\n\n" : "\n";
    }
    return text;
}

// The history's counts are, draw for draw, those of single checks of the same wheel; with two
// workers, a wheel that is not a whole number of blocks, and more draws than one batch.
TEST(HistoryCheck, EqualsSingleChecksDrawForDrawInEveryGame)
{
    bmtest::TempDir dir;
    std::mt19937 random(11);
    const struct {
        const char* window;
        bool bBon;
        int pool;
    } games[] = {{"frmChkwhl", true, 49}, {"frmChkwhl5", true, 39}, {"frmChkwhl7", true, 50}, {"frmChkwhlPB", false, 69}};
    for (const auto& g : games) {
        const auto& game = CheckerByName(g.window).Game(g.bBon);
        bmtest::WriteBytes(dir / "w.txt", RandomWheel(game, g.pool, 9001, random));
        std::string draws = "Date,Numbers\n";
        std::vector<bm::DrawResult> expected;
        for (int d = 0; d < 300; ++d) {
            std::vector<int> n(12);
            std::iota(n.begin(), n.end(), 1);
            std::shuffle(n.begin(), n.end(), random);
            n.resize(static_cast<std::size_t>(game.DrawSize()));
            if (game.extra == bm::ExtraNumber::Powerball)
                n.back() = 1 + static_cast<int>(random() % 3);
            std::string line = "2001-01-01";
            for (int x : n)
                line += "," + std::to_string(x);
            draws += line + "\n";
            expected.push_back(bmtest::Draw(game, n));
        }
        bmtest::WriteBytes(dir / "d.csv", draws);

        auto wheel = bm::CompactWheel::Read(dir / "w.txt", game, g.pool);
        ASSERT_TRUE(wheel) << wheel.error().message;
        auto reader = bm::DrawsReader::Open(dir / "d.csv", game, g.pool);
        ASSERT_TRUE(reader);
        std::vector<bm::HistoryRow> rows;
        bm::HistoryRun run;
        FakeClock clock;
        ASSERT_TRUE(bm::RunHistory(game, *wheel, **reader, [&](const bm::HistoryRow& r) { rows.push_back(r); }, run,
                                   clock, 2));
        ASSERT_EQ(rows.size(), expected.size()) << g.window;
        bm::Tally total;
        for (std::size_t d = 0; d < rows.size(); ++d) {
            bm::CheckRun single;
            ASSERT_TRUE(bm::RunCheck(game, g.pool, expected[d], dir / "w.txt", clock, single));
            ASSERT_EQ(rows[d].tally, single.tally) << g.window << " draw " << d;
            EXPECT_EQ(rows[d].wins, bm::TotalsOf(game, single.tally).wins);
            EXPECT_EQ(rows[d].draw.line, static_cast<std::int64_t>(d) + 2);
            for (std::size_t t = 0; t < game.tiers.size(); ++t)
                total.count[t] += single.tally.count[t];
        }
        EXPECT_EQ(run.total, total);
        EXPECT_EQ(run.draws, 300);
        EXPECT_EQ(run.plays, 9001);
        EXPECT_FALSE(run.aborted);
    }
}

TEST(HistoryCheck, CsvHeadingNamesTheTiersOfEachGame)
{
    EXPECT_EQ(bm::HistoryCsvHeader(CheckerByName("frmChkwhl").Game(true)),
              "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins\n");
    EXPECT_EQ(bm::HistoryCsvHeader(CheckerByName("frmChkwhl5").Game(false)),
              "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Jackpot,Wins\n");
    EXPECT_EQ(bm::HistoryCsvHeader(CheckerByName("frmChkwhlPB").Game(false)),
              "Date,Draw,Match 0,Match 0+,Match 1,Match 1+,Match 2,Match 2+,Match 3,Match 3+,Match 4,Match 4+,"
              "Match 5,Jackpot,Wins\n");
    EXPECT_EQ(bm::HistoryCsvHeader(CheckerByName("frmChkwhl7").Game(true)),
              "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 3+,Match 4,Match 5,Match 6,Match 6+,Match 7,Wins\n");
}

TEST(HistoryCheck, RefusesPlaysThatCannotBeTicketsAndStopsWhenAsked)
{
    bmtest::TempDir dir;
    const auto& game = CheckerByName("frmChkwhl5").Game(false);
    const std::string name = (dir / "w.txt").string();
    bmtest::WriteBytes(dir / "w.txt", "1,2,3,4,5\n\n1,2,3,4,4\n");
    auto wheel = bm::CompactWheel::Read(dir / "w.txt", game, 39);
    ASSERT_FALSE(wheel);
    EXPECT_EQ(wheel.error().message, name + ": line 3: 4 is given twice");

    // A stop asked after the first batch keeps that batch's rows and marks the run stopped.
    std::string wheelText, draws;
    for (int i = 0; i < 20000; ++i)
        wheelText += "1,2,3,4,5\n";
    for (int i = 0; i < 600; ++i)
        draws += "1,2,3,4,5\n";
    bmtest::WriteBytes(dir / "w.txt", wheelText);
    bmtest::WriteBytes(dir / "d.csv", draws);
    auto big = bm::CompactWheel::Read(dir / "w.txt", game, 39);
    auto reader = bm::DrawsReader::Open(dir / "d.csv", game, 39);
    ASSERT_TRUE(big && reader);
    bm::HistoryRun run;
    FakeClock clock;
    std::int64_t rows = 0;
    ASSERT_TRUE(bm::RunHistory(game, *big, **reader, [&](const bm::HistoryRow&) { ++rows; }, run, clock, 2,
                               [](std::int64_t done) { return done == 0; }));
    EXPECT_TRUE(run.aborted);
    EXPECT_EQ(rows, run.draws);
    EXPECT_LT(run.draws, 600);
    EXPECT_EQ(run.total.count[static_cast<std::size_t>(game.IndexOf("cnt5"))], 20000 * run.draws);
}

}  // namespace
