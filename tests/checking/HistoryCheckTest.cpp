#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>

#include "CheckTestSupport.h"
#include "checking/HistoryCheck.h"

namespace {

using bm::CheckerById;
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
    const auto& lotto = CheckerById("six").Game(true);
    const auto& pb = CheckerById("powerball").Game(false);
    const auto& five = CheckerById("five").Game(false);
    const struct {
        const bm::CheckGame* game;
        const char* line;
        const char* read;
        int pool = 49;
    } cases[] = {
        {&lotto, R"("PRODUCT","DRAW NUMBER","SEQUENCE NUMBER","DRAW DATE","NUMBER DRAWN 1","BONUS NUMBER")", "header"},
        {&lotto, R"("649",1,0,"1982-06-12",3,11,12,14,41,43,13)", "1982-06-12: 3 11 12 14 41 43 +13"},
        {&pb, "09/26/2020,11 21 27 36 62 24,3", "2020-09-26: 11 21 27 36 62 +24", 69},
        {&five, "  # drawn on Saturdays", "skip"},
        {&five, "Draw;Date;Numbers", "header"},
        {&five, "1.2.2001;\"4 8\";15;16;23", "2001-02-01: 4 8 15 16 23"},
        {&five, "2001/2/29;1;2;3;4;5",
         "fault: field 1 (\"2001/2/29\") is not a date; dates are read as YYYY-MM-DD, "
         "YYYY/MM/DD, M/D/YYYY (month first), D.M.YYYY, DD-Mon-YYYY, Month D YYYY or "
         "YYYYMMDD"},
        {&five, "19991231\t1\t2\t3\t4\t5", "1999-12-31: 1 2 3 4 5"},
        {&five, "4,8,15,16,23", ": 4 8 15 16 23"},
        {&five, "12/31/1999,4,8,15,16", "fault: holds 4 numbers after its date 1999-12-31; a draw of this game has 5"},
        {&five, "4 8 15 16 23 42", "fault: holds 6 numbers (4 8 15 16 23 42); a draw of this game has 5"},
        {&five, "2020-01-01,4,8,15,16,50",
         "fault: Drawn number 5 is 50; the numbers of this game run from 1 to 49. This draw "
         "needs a pool of at least 50 numbers (the definition has 49)."},
        {&pb, "1,2,3,4,5,0", "fault: The powerball number (box 6) is 0; a powerball is at least 1.", 69},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Line(*c.game, c.line, c.pool), c.read) << c.line;
}

TEST(HistoryCheck, CsvHeadingNamesTheTiersOfEachGame)
{
    EXPECT_EQ(bm::HistoryCsvHeader(CheckerById("six").Game(true)),
              "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins\n");
    EXPECT_EQ(bm::HistoryCsvHeader(CheckerById("five").Game(false)),
              "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Jackpot,Wins\n");
    EXPECT_EQ(bm::HistoryCsvHeader(CheckerById("powerball").Game(false)),
              "Date,Draw,Match 0,Match 0+,Match 1,Match 1+,Match 2,Match 2+,Match 3,Match 3+,Match 4,Match 4+,"
              "Match 5,Jackpot,Wins\n");
    EXPECT_EQ(bm::HistoryCsvHeader(CheckerById("seven").Game(true)),
              "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 3+,Match 4,Match 5,Match 6,Match 6+,Match 7,Wins\n");
}

TEST(HistoryCheck, RefusesPlaysThatCannotBeTicketsAndStopsWhenAsked)
{
    bmtest::TempDir dir;
    const auto& game = CheckerById("five").Game(false);
    const std::string name = (dir / "w.txt").string();
    bmtest::WriteBytes(dir / "w.txt", "1,2,3,4,5\n\n1,2,3,4,4\n");
    EXPECT_EQ(bmtest::Refusal(bm::CompactWheel::Read(dir / "w.txt", game, 39)), name + ": line 3: 4 is given twice");

    // A stop asked after the first batch keeps that batch's rows and marks the run stopped.
    bmtest::WriteBytes(dir / "w.txt", bmtest::Repeated("1,2,3,4,5\n", 20000));
    bmtest::WriteBytes(dir / "d.csv", bmtest::Repeated("1,2,3,4,5\n", 10000));
    auto big = bm::CompactWheel::Read(dir / "w.txt", game, 39);
    auto reader = bm::DrawsReader::Open(dir / "d.csv", game, 39);
    ASSERT_TRUE(big && reader);
    bm::HistoryRun run;
    FakeClock clock;
    std::int64_t rows = 0;
    ASSERT_TRUE(bm::RunHistory(
        game, *big, **reader, [&](const bm::HistoryRow&) { ++rows; }, run, clock, 2,
        [](std::int64_t done) { return done == 0; }));
    EXPECT_TRUE(run.aborted);
    EXPECT_EQ(rows, run.draws);
    EXPECT_LT(run.draws, 10000);
    EXPECT_EQ(run.total.count[static_cast<std::size_t>(game.IndexOf("cnt5"))], 20000 * run.draws);
}

// What a wheel read into 64-bit plays holds: the plays, or the fault.
std::vector<std::uint64_t> PackedPlays(const std::filesystem::path& file, const bm::CheckGame& game, int pool,
                                       std::string& fault)
{
    auto wheel = bm::CompactWheel::Read(file, game, pool);
    fault = wheel ? "" : wheel.error().message;
    std::vector<std::uint64_t> plays;
    for (std::size_t p = 0; wheel && p < wheel->size(); ++p)
        plays.push_back(wheel->Packed(p));
    return plays;
}

// The usual lines read 64 bytes at a time hold the plays the plain reading holds, in the same
// order, and leave every other line to it: odd lines at every offset within a block (the comment
// line starts the blocks, the blanks before the first usual line shift them), and a file large
// enough to be read in two halves.
TEST(HistoryCheck, TheQuickReadingOfAWheelHoldsWhatThePlainReadingHolds)
{
    const bm::CheckGame& six = CheckerById("six").Game(true);
    const std::vector<std::string> odd = {
        "3,11,19,27,35,43\n",       "\r\n",
        " \t3 11 19 27 35 43,\r\n", "3 ,11,19,27,35,7\n",
        "3,11,19,27,35,50\n",       "0,11,19,27,35,7\n",
        "64,11,19,27,35,7\n",       "3,11,19,27,35,3\n",
        "3,11,19,27,35\n",          "3,11,19,27,35,7,8\n",
        "3,11\r19,27,35,7\n",       "# note\n",
        "003,11,19,27,35,7\n",      "3,11,19,27,35,7",
    };
    bmtest::TempDir dir;
    std::mt19937 random(4210);
    const auto usual = [&](int lines) {
        std::string text;
        for (int l = 0; l < lines; ++l) {
            std::vector<int> n(49);
            std::iota(n.begin(), n.end(), 1);
            std::shuffle(n.begin(), n.end(), random);
            for (int i = 0; i < 6; ++i)
                text += std::to_string(n[static_cast<std::size_t>(i)]) + (i < 5 ? "," : random() % 2 ? "\r\n" : "\n");
        }
        return text;
    };
    std::vector<std::string> files;
    for (const auto& line : odd)
        for (int shift = 0; shift < 102; shift += 3)
            files.push_back("# plays\n" + std::string(static_cast<std::size_t>(shift % 51), ' ') +
                            usual(1 + 2 * (shift / 51)) + line + (line.back() == '\n' ? usual(9) : ""));
    files.push_back(usual(100000));
    files.push_back(files.back() + "3,11,19,27,35,3\n" + usual(3));
    for (const auto& text : files) {
        SCOPED_TRACE(text.substr(0, 120));
        std::filesystem::remove(dir / "w.txt");  // a file truncated and written again is flushed to the disk
        bmtest::WriteBytes(dir / "w.txt", text);
        std::string quickFault, plainFault;
        const auto quick = PackedPlays(dir / "w.txt", six, 49, quickFault);
        bm::AllowCheckInstructions(bm::CheckInstructions::Portable);
        const auto plain = PackedPlays(dir / "w.txt", six, 49, plainFault);
        bm::AllowCheckInstructions(bm::CheckInstructions::Widest);
        EXPECT_EQ(quickFault, plainFault);
        EXPECT_TRUE(quick == plain);
    }
}

// The tier of one play by the plain rule: count the play's main numbers among the drawn ones; the
// extra number is the bonus among the picks or the powerball against the last pick.
int PlainTier(const bm::CheckGame& game, const std::vector<int>& play, const std::vector<int>& draw)
{
    int matches = 0;
    for (int i = 0; i < game.mainPicks; ++i)
        matches += std::count(draw.begin(), draw.begin() + game.mainDrawn, play[static_cast<std::size_t>(i)]) > 0;
    int hit = 0;
    if (game.extraMatchesLastPick)
        hit = play.back() == draw.back();
    else if (game.extra == bm::ExtraNumber::Bonus)
        hit = std::count(play.begin(), play.begin() + game.mainPicks, draw.back()) > 0;
    return game.TierOf(matches, game.LooksAtHit(matches) ? hit : 0);
}

// Random wheels (with blank lines) and draws of every game, pools up to 127, powerballs too large
// for their field, wheels that end anywhere in a block, several batches and workers, each version
// of the counting: every draw's counts, wins and line are those of the plain rule, and the run's
// totals their sums.
TEST(HistoryCheck, CountsAsThePlainRuleOnRandomWheelsAndDraws)
{
    bmtest::TempDir dir;
    std::mt19937 random(2026);
    const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
    const int powerballs[] = {1, 2, 3, 126, 127, 128, 20000, (1 << 29) - 2, (1 << 29) - 1, 1 << 29, 999999999};
    for (int round = 0; round < 24; ++round) {
        const auto& variant = bm::CheckerVariants()[static_cast<std::size_t>(round % 4)];
        const auto& game = variant.Game(round / 4 % 2 == 0);
        const int pool = pick(game.mainDrawn + 2, 127);
        // Numbers from a few of the pool's, so that every tier is reached.
        std::vector<int> numbers(static_cast<std::size_t>(pool));
        std::iota(numbers.begin(), numbers.end(), 1);
        std::shuffle(numbers.begin(), numbers.end(), random);
        const auto few = static_cast<std::ptrdiff_t>(std::min(pool, game.mainDrawn + 7));
        const auto powerball = [&] { return powerballs[pick(0, round % 3 == 0 ? 10 : 2)]; };
        const auto someOf = [&](int count) {
            std::shuffle(numbers.begin(), numbers.begin() + few, random);
            return std::vector<int>(numbers.begin(), numbers.begin() + count);
        };

        const int playCount = round % 6 == 5 ? pick(0, 3) : pick(1, 20000);
        std::vector<std::vector<int>> plays;
        std::string wheelText;
        for (int p = 0; p < playCount; ++p) {
            auto play = someOf(game.mainPicks);
            if (game.extraMatchesLastPick)
                play.push_back(powerball());
            for (std::size_t i = 0; i < play.size(); ++i)
                wheelText += (i ? " " : "") + std::to_string(play[i]);
            wheelText += p % 1000 == 7 ? "\n\n" : "\n";  // blank lines count no play
            plays.push_back(std::move(play));
        }
        std::vector<std::vector<int>> drawn;
        std::string drawsText;
        for (int d = pick(1, 1100); d > 0; --d) {
            auto draw = someOf(game.mainDrawn + (game.extra == bm::ExtraNumber::Bonus ? 1 : 0));
            if (game.extraMatchesLastPick)
                draw.push_back(powerball());
            drawsText += "2001-01-01";
            for (int n : draw)
                drawsText += "," + std::to_string(n);
            drawsText += "\n";
            drawn.push_back(std::move(draw));
        }
        bmtest::WriteBytes(dir / "w.txt", wheelText);
        bmtest::WriteBytes(dir / "d.csv", drawsText);

        auto wheel = bm::CompactWheel::Read(dir / "w.txt", game, pool);
        ASSERT_TRUE(wheel) << wheel.error().message;
        auto reader = bm::DrawsReader::Open(dir / "d.csv", game, pool);
        ASSERT_TRUE(reader) << reader.error().message;
        std::vector<bm::HistoryRow> rows;
        bm::HistoryRun run;
        FakeClock clock;
        bm::AllowHistoryInstructions(static_cast<bm::HistoryInstructions>(round / 8));
        const bool ran = !!bm::RunHistory(
            game, *wheel, **reader, [&](const bm::HistoryRow& r) { rows.push_back(r); }, run, clock, pick(1, 3));
        bm::AllowHistoryInstructions(bm::HistoryInstructions::Widest);
        ASSERT_TRUE(ran);
        ASSERT_EQ(rows.size(), drawn.size());
        bm::Tally total;
        for (std::size_t d = 0; d < drawn.size(); ++d) {
            bm::Tally plain;
            for (const auto& play : plays)
                ++plain.count[static_cast<std::size_t>(PlainTier(game, play, drawn[d]))];
            ASSERT_EQ(rows[d].tally, plain) << "round " << round << ", " << game.name << ", instructions " << round / 8
                                            << ", pool " << pool << ", " << plays.size() << " plays, draw " << d;
            EXPECT_EQ(rows[d].wins, bm::TotalsOf(game, plain).wins);
            EXPECT_EQ(rows[d].draw.line, static_cast<std::int64_t>(d) + 1);
            for (std::size_t t = 0; t < game.tiers.size(); ++t)
                total.count[t] += plain.count[t];
        }
        EXPECT_EQ(run.total, total);
        EXPECT_EQ(run.wins, bm::TotalsOf(game, total).wins);
        EXPECT_EQ(run.draws, static_cast<std::int64_t>(drawn.size()));
        EXPECT_EQ(run.plays, static_cast<std::int64_t>(plays.size()));
        EXPECT_FALSE(run.aborted);
    }
}

// A powerball wheel of several blocks of the bit-sliced count, read block after block by one
// worker: each block's powerballs (small ones and ones too large for a row of their own) lie
// at other places than the block before's, so a row left over from that block shows at once.
// Every draw is counted as the plain rule counts it.
TEST(HistoryCheck, APowerballWheelOfManyBlocksCountsEachDrawAsTheSingleDrawCheck)
{
    const bm::CheckGame* powerballGame = nullptr;
    for (const auto& variant : bm::CheckerVariants())
        for (bool bonus : {false, true})
            if (variant.Game(bonus).extraMatchesLastPick && !powerballGame)
                powerballGame = &variant.Game(bonus);
    ASSERT_NE(powerballGame, nullptr);
    const bm::CheckGame& game = *powerballGame;
    constexpr int kPool = 49;
    constexpr int kBlock = 256 * 64;  // plays of one block
    std::mt19937 random(38);
    const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
    std::vector<std::vector<int>> plays;
    std::string wheelText;
    for (int i = 0; i < 3 * kBlock + 1000; ++i) {
        const int block = i / kBlock;
        std::vector<int> play;
        while (static_cast<int>(play.size()) < game.mainPicks) {
            const int n = pick(1, 12);  // few numbers, so that every tier is reached
            if (std::find(play.begin(), play.end(), n) == play.end())
                play.push_back(n);
        }
        // Block b holds the small powerballs 1 + 4b .. 4 + 4b and, at places that move from
        // block to block, the large ones 500 and 600 + b.
        const int place = (i + 97 * block) % 13;
        play.push_back(place == 0 ? 500 : place == 1 ? 600 + block : 1 + 4 * block + pick(0, 3));
        for (std::size_t k = 0; k < play.size(); ++k)
            wheelText += (k ? "," : "") + std::to_string(play[k]);
        wheelText += "\n";
        plays.push_back(std::move(play));
    }
    std::vector<std::vector<int>> drawn;
    std::string drawsText;
    const int drawPowerballs[] = {1, 3, 5, 7, 9, 11, 13, 16, 500, 600, 601, 602, 603, 500};
    for (int d = 0; d < 28; ++d) {
        std::vector<int> draw;
        while (static_cast<int>(draw.size()) < game.mainDrawn) {
            const int n = pick(1, 12);
            if (std::find(draw.begin(), draw.end(), n) == draw.end())
                draw.push_back(n);
        }
        draw.push_back(drawPowerballs[static_cast<std::size_t>(d) % std::size(drawPowerballs)]);
        drawsText += "2001-01-01";
        for (int n : draw)
            drawsText += "," + std::to_string(n);
        drawsText += "\n";
        drawn.push_back(std::move(draw));
    }
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "w.txt", wheelText);
    bmtest::WriteBytes(dir / "d.csv", drawsText);
    for (int instructions = 0; instructions < 3; ++instructions) {
        SCOPED_TRACE("instructions " + std::to_string(instructions));
        auto wheel = bm::CompactWheel::Read(dir / "w.txt", game, kPool);
        ASSERT_TRUE(wheel) << wheel.error().message;
        auto reader = bm::DrawsReader::Open(dir / "d.csv", game, kPool);
        ASSERT_TRUE(reader) << reader.error().message;
        std::vector<bm::HistoryRow> rows;
        bm::HistoryRun run;
        FakeClock clock;
        bm::AllowHistoryInstructions(static_cast<bm::HistoryInstructions>(instructions));
        const bool ran = !!bm::RunHistory(
            game, *wheel, **reader, [&](const bm::HistoryRow& r) { rows.push_back(r); }, run, clock, 1);
        bm::AllowHistoryInstructions(bm::HistoryInstructions::Widest);
        ASSERT_TRUE(ran);
        ASSERT_EQ(rows.size(), drawn.size());
        for (std::size_t d = 0; d < drawn.size(); ++d) {
            bm::Tally plain;
            for (const auto& play : plays)
                ++plain.count[static_cast<std::size_t>(PlainTier(game, play, drawn[d]))];
            EXPECT_EQ(rows[d].tally, plain) << "draw " << d << ", powerball " << drawn[d].back();
        }
    }
}

// The wheel is held at eight bytes a play, and a wheel larger than the memory free is refused
// with what it would take.
TEST(HistoryCheck, HoldsEightBytesAPlayAndRefusesWhatTheMachineCannotHold)
{
    bmtest::TempDir dir;
    const auto& game = CheckerById("powerball").Game(false);
    std::string text;
    for (int p = 0; p < 200001; ++p)
        text += "1 2 3 4 5 " + std::to_string(1 + p % 40) + "\n";
    bmtest::WriteBytes(dir / "w.txt", text);
    auto wheel = bm::CompactWheel::Read(dir / "w.txt", game, 69);
    ASSERT_TRUE(wheel) << wheel.error().message;
    EXPECT_EQ(wheel->size(), 200001u);
    EXPECT_EQ(wheel->BytesHeld(), 200001u * 8);

    // Read in two halves side by side: every play in its place, a powerball too large for its field
    // in either half kept with its play, and a fault in either half named at its line in the file.
    text += "1 2 3 4 5 700000000\n";
    for (int p = 0; p < 100000; ++p)
        text += "6 7 8 9 10 " + std::to_string(1 + p % 69) + "\n";
    bmtest::WriteBytes(dir / "w.txt", "1 2 3 4 5 600000000\n" + text);
    auto halves = bm::CompactWheel::Read(dir / "w.txt", game, 69);
    ASSERT_TRUE(halves) << halves.error().message;
    ASSERT_EQ(halves->size(), 300003u);
    EXPECT_EQ(halves->Powerball(0), 600000000);
    EXPECT_EQ(halves->Powerball(1), 1);
    EXPECT_EQ(halves->Powerball(200000), 40);
    EXPECT_EQ(halves->Powerball(200002), 700000000);
    EXPECT_EQ(halves->Powerball(300002), 1 + 99999 % 69);
    EXPECT_EQ(halves->Packed(250000) & bm::CompactWheel::kFieldMask, 6u);
    EXPECT_EQ(halves->BytesHeld(), 300003u * 8 + 2 * 16);
    for (const std::size_t at : {std::size_t{100}, text.size() - 100}) {
        std::string faulty = text;
        const std::size_t line = faulty.rfind('\n', at) + 1;
        faulty.replace(line, 1, "0");
        bmtest::WriteBytes(dir / "w.txt", faulty);
        const auto number = 1 + std::count(faulty.begin(), faulty.begin() + static_cast<std::ptrdiff_t>(line), '\n');
        EXPECT_EQ(bmtest::Refusal(bm::CompactWheel::Read(dir / "w.txt", game, 69)),
                  (dir / "w.txt").string() + ": line " + std::to_string(number) +
                      ": 0 is not a number of this game (1 to 69)");
    }
    bmtest::WriteBytes(dir / "w.txt", text.substr(0, 200001 * 12));
    EXPECT_EQ(bmtest::Refusal(bm::CompactWheel::Read(dir / "w.txt", game, 69, 1'000'000)),
              (dir / "w.txt").string() + ": line 65537: this machine cannot hold so many plays: 65536 plays take "
                                         "1 MB at 8 bytes a play, and only 0 MB of memory are free");
}

}  // namespace
