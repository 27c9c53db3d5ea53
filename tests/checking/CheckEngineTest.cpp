#include <algorithm>
#include <map>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "CheckTestSupport.h"
#include "checking/CheckEngine.h"
#include "checking/GameVariants.h"
#include "common/ShownText.h"

namespace {

using bmtest::Count;
using bmtest::Draw;
using bmtest::FakeClock;

struct VariantCase {
    const char* checker;
    bool bBon;
    std::vector<int> draw;                                   // numbers beyond the game's boxes are never read
    std::vector<std::pair<const char*, const char*>> plays;  // and the tier each counts in
    int pool = 49;
};

// Every tier of every game, with the bonus and powerball rules at their edges.
const VariantCase kCases[] = {
    {"six",
     true,
     {1, 2, 3, 4, 5, 6, 7},
     {
         {"10,11,12,13,14,15", "cnt0"},
         {"7,11,12,13,14,15", "cnt0"},
         {"1,11,12,13,14,15", "cnt1"},
         {"1,2,12,13,14,7", "cnt2"},
         {"1,2,3,13,14,15", "cnt3"},
         {"1,2,3,4,14,7", "cnt4"},  // the bonus counts with five only
         {"1,2,3,4,5,15", "cnt5"},
         {"7,5,4,3,2,1", "cnt5b"},
         {"6,5,4,3,2,1", "cnt6"},
     }},
    // A pool beyond the table of small numbers: numbers that share a table slot with 1 and 2.
    {"six", true, {1, 2, 3, 4, 5, 6, 7}, {{"257,258,12,13,14,15", "cnt0"}, {"257,258,1,2,3,4", "cnt4"}}, 300},
    // The seventh number given is no bonus here.
    {"six",
     false,
     {1, 2, 3, 4, 5, 6, 7},
     {
         {"21,22,23,24,25,26", "cnt0"},
         {"1,11,12,13,14,15", "cnt1"},
         {"21,22,23,24,1,2", "cnt2"},
         {"1,2,3,13,14,15", "cnt3"},
         {"1,2,3,4,14,15", "cnt4"},
         {"1,2,3,4,5,7", "cnt5"},
         {"1,2,3,4,5,6", "cnt6"},
     }},
    // Drawn numbers beyond any table of small numbers.
    {"six",
     true,
     {300, 5, 1, 255, 256, 32767, 32766},
     {
         {"300,5,1,255,256,32767", "cnt6"},
         {"300,5,1,255,256,32766", "cnt5b"},
         {"300,5,1,255,44,45", "cnt4"},
         {"44,2,254,257,4,32765", "cnt0"},
     },
     32767},
    {"seven",
     false,
     {1, 2, 3, 4, 5, 6, 7, 8},
     {
         {"8,11,12,13,14,15,16", "cnt0"},
         {"1,8,12,13,14,15,16", "cnt1"},
         {"1,2,8,13,14,15,16", "cnt2"},
         {"1,2,3,13,14,15,16", "cnt3"},
         {"1,2,3,8,14,15,16", "cnt3b"},
         {"1,2,3,4,8,15,16", "cnt4"},
         {"1,2,3,4,5,8,16", "cnt5"},
         {"1,2,3,4,5,6,16", "cnt6"},
         {"1,2,3,4,5,6,8", "cnt6b"},
         {"7,6,5,4,3,2,1", "cnt7"},
     }},
    {"five",
     true,
     {1, 2, 3, 4, 5, 6},
     {
         {"10,11,12,13,14", "cnt0"},
         {"6,11,12,13,14", "cnt0b"},
         {"1,11,12,13,14", "cnt1"},
         {"1,6,12,13,14", "cnt1b"},
         {"1,2,12,13,14", "cnt2"},
         {"1,2,6,13,14", "cnt2b"},
         {"1,2,3,13,14", "cnt3"},
         {"1,2,3,6,14", "cnt3b"},
         {"1,2,3,4,14", "cnt4"},
         {"1,2,3,4,6", "cnt4b"},
         {"5,4,3,2,1", "cnt5"},
     }},
    {"five",
     false,
     {1, 2, 3, 4, 5, 6},
     {
         {"6,11,12,13,14", "cnt0"},
         {"1,6,12,13,14", "cnt1"},
         {"1,2,12,13,14", "cnt2"},
         {"1,2,3,13,14", "cnt3"},
         {"1,2,3,4,14", "cnt4"},
         {"1,2,3,4,5", "cnt5"},
     }},
    // The powerball among the main picks is no hit; the sixth pick is never a main match.
    {"powerball",
     false,
     {1, 2, 3, 4, 5, 6},
     {
         {"10,11,12,13,14,15", "cnt0"},
         {"6,11,12,13,14,15", "cnt0"},
         {"10,11,12,13,14,1", "cnt0"},
         {"10,11,12,13,14,6", "cnt0b"},
         {"1,11,12,13,14,15", "cnt1"},
         {"1,11,12,13,14,6", "cnt1b"},
         {"1,2,12,13,14,15", "cnt2"},
         {"1,2,12,13,14,6", "cnt2b"},
         {"1,2,3,13,14,15", "cnt3"},
         {"1,2,3,13,14,6", "cnt3b"},
         {"1,2,3,4,14,15", "cnt4"},
         {"1,2,3,4,14,6", "cnt4b"},
         {"1,2,3,4,5,15", "cnt5"},
         {"5,4,3,2,1,6", "cnt5b"},
     }},
};

// Each play's tier is counted and, where the tier has one, its report line names the play's line.
TEST(CheckEngine, EveryTierAndReportLineOfEveryGame)
{
    bmtest::TempDir dir;
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.checker) + (c.bBon ? " with bonus" : ""));
        const auto& game = bm::CheckerById(c.checker).Game(c.bBon);
        // Blank lines between the plays: report lines carry the physical line numbers.
        std::string file = "\r\n", report;
        std::map<std::string, std::int64_t> expected;
        for (std::size_t i = 0; i < c.plays.size(); ++i) {
            const auto& [play, counter] = c.plays[i];
            file += std::string(play) + "\r\n  \r\n";
            ++expected[counter];
            ASSERT_GE(game.IndexOf(counter), 0) << counter;
            if (const char* line = game.tiers[game.IndexOf(counter)].reportLine)
                report += line + std::to_string(2 * i + 2) + "\n";
        }
        bmtest::WriteBytes(dir / "wheel.txt", file);
        FakeClock clock({1000, 3500});
        bm::CheckRun run;
        const auto status = bm::RunCheck(game, c.pool, Draw(game, c.draw), dir / "wheel.txt", clock, run);
        ASSERT_TRUE(status.ok()) << status.error().message;
        EXPECT_EQ(bm::ReportLines(game, run.reported), report);
        EXPECT_EQ(run.playsRead, static_cast<std::int64_t>(c.plays.size()));
        EXPECT_FALSE(run.aborted);
        EXPECT_EQ(run.elapsedMs, 2500);
        for (const auto& tier : game.tiers)
            EXPECT_EQ(Count(game, run.tally, tier.counter), expected[tier.counter]) << tier.counter;
    }
}

// The words of every report line, and no line for the other tiers (the counts above take the
// words from the game's tiers, so they are pinned here once). Every play that counts as a win is
// listed with its line, in every game: a summary whose "Total Wins" exceeds the listed lines leaves
// the player hunting for the winning tickets.
TEST(CheckEngine, ReportLineWordsOfEveryGame)
{
    const std::map<std::string, std::map<std::string, std::string>> games = {
        {"six+",
         {{"cnt3", "Match-3"},
          {"cnt4", "Match-4"},
          {"cnt5", "MATCH-5"},
          {"cnt5b", "MATCH-5 + Bonus"},
          {"cnt6", "***MATCH-6***"}}},
        {"six", {{"cnt3", "Match-3"}, {"cnt4", "Match-4"}, {"cnt5", "MATCH-5"}, {"cnt6", "***MATCH-6***"}}},
        {"seven+",
         {{"cnt3", "Match-3"},
          {"cnt3b", "Match-3 + Bonus"},
          {"cnt4", "Match-4"},
          {"cnt5", "MATCH-5"},
          {"cnt6", "MATCH-6"},
          {"cnt6b", "***MATCH-6 + Bonus***"},
          {"cnt7", "***MATCH-7***"}}},
        {"five+",
         {{"cnt0b", "Match-0+Bonus"},
          {"cnt1b", "Match-1+Bonus"},
          {"cnt2b", "Match-2+Bonus"},
          {"cnt3", "Match-3"},
          {"cnt3b", "Match-3+Bonus"},
          {"cnt4", "Match-4"},
          {"cnt4b", "Match-4+Bonus"},
          {"cnt5", "***JACKPOT***"}}},
        {"five", {{"cnt3", "Match-3"}, {"cnt4", "Match-4"}, {"cnt5", "***JACKPOT***"}}},
        {"powerball",
         {{"cnt0b", "Match-0+PB"},
          {"cnt1b", "Match-1+PB"},
          {"cnt2b", "Match-2+PB"},
          {"cnt3", "Match-3"},
          {"cnt3b", "Match-3+PB"},
          {"cnt4", "MATCH-4"},
          {"cnt4b", "*MATCH-4+PB*"},
          {"cnt5", "**MATCH-5**"},
          {"cnt5b", "***JACKPOT!***"}}},
    };
    std::size_t worded = 0;
    for (const char* name : {"six", "five", "seven", "powerball"})
        for (const bool bBon : {false, true}) {
            const std::string window = std::string(name) + (bBon ? "+" : "");
            const auto game = games.find(window);
            worded += game != games.end();
            for (const auto& tier : bm::CheckerById(name).Game(bBon).tiers) {
                EXPECT_EQ(tier.reportLine != nullptr, !tier.losing) << window << " " << tier.counter;
                if (game == games.end())
                    continue;
                const auto w = game->second.find(tier.counter);
                const std::string expected = w == game->second.end() ? "" : w->second + " For This Draw At Line ";
                EXPECT_EQ(tier.reportLine ? tier.reportLine : "", expected) << window << " " << tier.counter;
            }
        }
    EXPECT_EQ(worded, games.size());
}

// What a run counts, numbers and refuses.
struct Outcome {
    std::string fault;
    bm::Tally tally;
    std::vector<bm::ReportedPlay> reported;
    std::int64_t plays = 0;
    bool operator==(const Outcome&) const = default;
};

// The plain reading, play by play, as the oracle of the engine's quicker one.
Outcome PlainCheck(const bm::CheckGame& game, int pool, const bm::DrawResult& draw, const std::filesystem::path& file)
{
    auto reader = bm::WheelReader::Open(file, game.numbersPerPlay, bm::NumberWidth::Bits32);
    const bm::DrawMatcher matcher(game, draw, pool);
    Outcome o;
    bm::Play play;
    while ((*reader)->Next(play)) {
        const int tier = matcher.Classify(play);
        if (tier == bm::DrawMatcher::kNotAPlay) {
            o.fault = file.string() + ": line " + std::to_string(play.line) + ": " + *matcher.rule().Fault(play);
            return o;
        }
        ++o.tally.count[tier];
        ++o.plays;
        if (game.tiers[tier].reportLine)
            o.reported.push_back({tier, play.line});
    }
    if ((*reader)->error())
        o.fault = (*reader)->error()->message;
    return o;
}

// Each line shape, standing among usual lines, is counted, numbered and refused as the plain
// reading does it, whether the quick reading takes it or leaves it to the plain one.
TEST(CheckEngine, EveryLineShapeReadsAsThePlainReading)
{
    struct Shape {
        const char* checker;
        int pool;
        const char* line;
        bool accepted;
    };
    const Shape shapes[] = {
        {"six", 49, "3, 11, 19, 27, 35, 7", true},
        {"six", 49, "\t3\t11 19  27,35,7,", true},
        {"six", 49, "03,11,19,27,35,07", true},
        {"six", 49, "3 ,11,19,27,35,7", true},
        {"six", 49, "003,11,19,27,35,7", true},
        {"six", 49, "3,11,19,27,35,100", false},
        {"six", 49, "+3,11,19,27,35,7", true},
        {"six", 49, "# a comment", true},
        {"six", 49, "", true},
        {"six", 49, "3,   11,   19,   27,   35,    7", true},  // no line end in the first 32 bytes
        {"six", 49, ",3,11,19,27,35,7", false},
        {"six", 49, "3,,11,19,27,35,7", false},
        {"six", 49, "3,11,19,27,35", false},
        {"six", 49, "3,11,19,27,35,7,8", false},
        {"six", 49, "3,11,19,27,35,50", false},
        {"six", 49, "0,11,19,27,35,7", false},
        {"six", 49, "3,11,19,27,35,3", false},
        {"six", 49, "3,11\r19,27,35,7", false},
        {"six", 49, "3,11,19,27,35,7x", false},
        {"six", 49, "3;11;19;27;35;7", false},
        {"six", 64, "64,11,19,27,35,43", true},
        {"five", 63, "63,11,19,27,35", true},
        {"five", 63, "64,11,19,27,35", false},
        {"seven", 49, "3, 11, 19, 27, 35, 43, 44", true},
        {"powerball", 49, "3,11,19,27,35,43", true},
        {"powerball", 49, "3,11,19,27,35,99", true},
        {"powerball", 49, "3,11,19,27,35,3", true},
        {"powerball", 49, "3,11,19,27,35,0", false},
    };
    bmtest::TempDir dir;
    for (const auto& s : shapes) {
        SCOPED_TRACE(std::string(s.checker) + ": " + s.line);
        const auto& game = bm::CheckerById(s.checker).Game(true);
        const std::vector<int> drawn{3, 11, 19, 27, 35, 43, 7, 1};
        const auto draw = Draw(game, drawn);
        // Usual lines around it, with wins of every kind, and both line ends.
        std::string file;
        for (int k = 0; k < 7; ++k) {
            if (k == 3) {
                file += std::string(s.line) + "\r\n";
                continue;
            }
            for (int i = 0; i < game.numbersPerPlay; ++i)
                file += std::to_string(i < game.numbersPerPlay - k ? drawn[static_cast<std::size_t>(i)] : 40 + i) +
                        (i + 1 < game.numbersPerPlay ? ","
                         : k % 2                     ? "\n"
                                                     : "\r\n");
        }
        bmtest::WriteBytes(dir / "w.txt", file);
        bm::CheckRun run;
        FakeClock clock;
        const auto status = bm::RunCheck(game, s.pool, draw, dir / "w.txt", clock, run);
        const Outcome quick{status ? "" : status.error().message, run.tally, run.reported, run.playsRead};
        const Outcome plain = PlainCheck(game, s.pool, draw, dir / "w.txt");
        EXPECT_EQ(plain.fault.empty(), s.accepted) << plain.fault;
        EXPECT_EQ(quick.fault, plain.fault);
        EXPECT_TRUE(quick == plain);
    }
}

// Usual lines of a game, made the same way on every run: numbers of one and two digits in any
// order, commas or blanks, LF or CR LF, a winner now and then.
std::string UsualLines(const bm::CheckGame& game, int pool, int lines, std::mt19937& random)
{
    std::string text;
    for (int l = 0; l < lines; ++l) {
        std::vector<int> numbers;
        for (int n = 1; n <= pool; ++n)
            numbers.push_back(n);
        std::shuffle(numbers.begin(), numbers.end(), random);
        // Now and then the draw's first numbers, so that every tier comes up.
        const int drawn = static_cast<int>(random() % 8);
        for (int i = 0; i < drawn && i < game.numbersPerPlay && 3 + 8 * i <= pool; ++i)
            std::iter_swap(std::find(numbers.begin(), numbers.end(), 3 + 8 * i), numbers.begin() + i);
        for (int i = 0; i < game.numbersPerPlay; ++i) {
            text += std::to_string(numbers[static_cast<std::size_t>(i)]);
            if (i + 1 < game.numbersPerPlay)
                text += random() % 4 == 0 ? ", " : ",";
        }
        text += random() % 2 ? "\r\n" : "\n";
    }
    return text;
}

// What the engine's run found: counts, report lines and the fault, as the plain reading finds them.
Outcome QuickCheck(const bm::CheckGame& game, int pool, const bm::DrawResult& draw, const std::filesystem::path& file,
                   int workers)
{
    bm::CheckRun run;
    FakeClock clock;
    const auto status = workers > 1 ? bm::RunCheckInParts(game, pool, draw, file, clock, run, workers)
                                    : bm::RunCheck(game, pool, draw, file, clock, run);
    return {status ? "" : status.error().message, run.tally, run.reported, run.playsRead};
}

// Every version of the quick reading (64 bytes at a time, a line at a time, none) reads each odd
// line as the plain reading does, wherever it stands in a block of 64 bytes. The blocks start
// after the comment line, which the plain reading takes; the usual lines after it, the first with
// up to 50 blanks before its numbers, shift the odd line by every offset.
TEST(CheckEngine, EveryQuickReadingTakesOddLinesAtEveryOffsetAsThePlainReading)
{
    const std::string longLine = "3," + std::string(70, ' ') + "11,19,27,35,43\n";
    const std::string tooLong = std::string(70000, ' ') + "3,11,19,27,35,43\n";
    const std::vector<std::string> odd = {
        "3,11,19,27,35,43\n",
        "3,11,19,27,35,43\r\n",
        "\r\n",
        "\n",
        " \t \r\n",
        "\t3\t11 19  27,35,43,\r\n",
        "  3,11,19,27,35,49\n",
        "03,11,19,27,35,07\n",
        "003,11,19,27,35,7\n",
        "3 ,11,19,27,35,7\n",
        "3,11,19,27,35,50\n",
        "0,11,19,27,35,7\n",
        "64,11,19,27,35,7\n",
        "99,11,19,27,35,7\n",
        "100,11,19,27,35,7\n",
        "3,11,19,27,35,3\n",
        "43,11,19,27,35,43\n",
        "3,11,19,27,35\n",
        "3,11,19,27,35,7,8\n",
        "3,11\r19,27,35,7\n",
        "3,11,19,27,35,7\r\r\n",
        "3,11,19,27,35,7\r",
        "# a comment\r\n",
        ",3,11,19,27,35,7\n",
        "3,,11,19,27,35,7\n",
        "+3,11,19,27,35,7\n",
        "-3,11,19,27,35,7\n",
        "3,11,19,27,35,7x\n",
        "3;11;19;27;35;7\n",
        "3,11,19,27,35,\xff\n",
        std::string("3,11,19,\0,35,7\n", 15),
        longLine,
        tooLong,
        "3,11,19,27,35,7",  // the last: no line end, at the end of the file
    };
    const bm::CheckGame& six = bm::CheckerById("six").Game(true);
    const auto draw = Draw(six, {3, 11, 19, 27, 35, 43, 7});
    bmtest::TempDir dir;
    std::mt19937 random(649);
    for (const auto& line : odd) {
        for (int shift = 0; shift < 102; ++shift) {
            SCOPED_TRACE(bm::ShownText(line.substr(0, 40)) + " after " + std::to_string(shift));
            std::string file = "# plays\n" + std::string(static_cast<std::size_t>(shift % 51), ' ') +
                               UsualLines(six, 49, 1 + 2 * (shift / 51), random) + line;
            if (line.back() == '\n')
                file += UsualLines(six, 49, 12, random);
            // A new file each time: one truncated and written again is flushed to the disk.
            std::filesystem::remove(dir / "w.txt");
            bmtest::WriteBytes(dir / "w.txt", file);
            const Outcome plain = PlainCheck(six, 49, draw, dir / "w.txt");
            for (const auto instructions :
                 {bm::CheckInstructions::Widest, bm::CheckInstructions::LineAtATime, bm::CheckInstructions::Portable}) {
                bm::AllowCheckInstructions(instructions);
                const Outcome quick = QuickCheck(six, 49, draw, dir / "w.txt", 1);
                bm::AllowCheckInstructions(bm::CheckInstructions::Widest);
                EXPECT_EQ(quick.fault, plain.fault) << static_cast<int>(instructions);
                EXPECT_TRUE(quick == plain) << static_cast<int>(instructions);
            }
        }
    }
}

// Games of five and seven numbers, and pools up to 63, the largest with a bit for every number;
// a large file read in parts on two threads, with odd lines at the edges of the readers' buffers.
TEST(CheckEngine, EveryQuickReadingTakesEveryGameAndLargeFilesAsThePlainReading)
{
    struct GameCase {
        const char* checker;
        bool bonus;
        int pool;
        std::vector<int> draw;
    };
    const GameCase games[] = {
        {"five", true, 63, {3, 11, 19, 27, 35, 63}},
        {"five", false, 39, {3, 11, 19, 27, 35, 36}},
        {"seven", false, 49, {3, 11, 19, 27, 35, 43, 2, 8}},
        {"six", false, 64, {3, 11, 19, 27, 35, 43, 64}},
    };
    const std::vector<std::string> odd = {"\r\n",
                                          "# note\n",
                                          "\t3 11 19 27 35 63\n",
                                          "63,62,61,60,59,58,57\n",
                                          "64,11,19,27,35\n",
                                          "3,11,19,27,35,3,4\n",
                                          "1,2,3,4,5,6,7,8\n"};
    bmtest::TempDir dir;
    std::mt19937 random(36);
    for (const auto& g : games) {
        SCOPED_TRACE(std::string(g.checker) + " of " + std::to_string(g.pool));
        const bm::CheckGame& game = bm::CheckerById(g.checker).Game(g.bonus);
        const auto draw = Draw(game, g.draw);
        for (const auto& line : odd) {
            std::string file = UsualLines(game, g.pool, 30, random) + line + UsualLines(game, g.pool, 30, random);
            bmtest::WriteBytes(dir / "w.txt", file);
            const Outcome plain = PlainCheck(game, g.pool, draw, dir / "w.txt");
            for (const auto instructions : {bm::CheckInstructions::Widest, bm::CheckInstructions::LineAtATime}) {
                bm::AllowCheckInstructions(instructions);
                const Outcome quick = QuickCheck(game, g.pool, draw, dir / "w.txt", 1);
                bm::AllowCheckInstructions(bm::CheckInstructions::Widest);
                EXPECT_TRUE(quick == plain) << bm::ShownText(line) << quick.fault << plain.fault;
            }
        }
    }
    // Some 3 MB: odd lines that every reading takes near each multiple of 64 KB, where the
    // buffers of the parts end; then one it refuses near the end.
    const bm::CheckGame& six = bm::CheckerById("six").Game(true);
    const auto draw = Draw(six, {3, 11, 19, 27, 35, 43, 7});
    std::string file;
    const std::vector<std::string> taken = {"\r\n", "# note\n", "\t3 11 19 27 35 43\n", "03, 11, 19, 27, 35, 43, \r\n",
                                            "  1,2,3,4,5,6\n"};
    while (file.size() < 3u << 20) {
        const std::size_t edge = (file.size() / 65536 + 1) * 65536 - random() % 200;
        while (file.size() < edge)
            file += UsualLines(six, 49, 1, random);
        file += taken[random() % taken.size()];
    }
    for (const bool refused : {false, true}) {
        if (refused)
            file += UsualLines(six, 49, 100, random) + "3,11,19,27,35,50\n" + UsualLines(six, 49, 5, random);
        bmtest::WriteBytes(dir / "big.txt", file);
        const Outcome plain = PlainCheck(six, 49, draw, dir / "big.txt");
        EXPECT_EQ(plain.fault.empty(), !refused) << plain.fault;
        for (const auto instructions :
             {bm::CheckInstructions::Widest, bm::CheckInstructions::LineAtATime, bm::CheckInstructions::Portable}) {
            bm::AllowCheckInstructions(instructions);
            const Outcome quick = QuickCheck(six, 49, draw, dir / "big.txt", 2);
            bm::AllowCheckInstructions(bm::CheckInstructions::Widest);
            EXPECT_EQ(quick.fault, plain.fault);
            EXPECT_TRUE(quick == plain) << static_cast<int>(instructions);
        }
    }
}

class StopAt final : public bm::CheckProgress {
public:
    explicit StopAt(int polls) : left_(polls) {}
    bool Poll(const bm::CheckRun& run) override
    {
        seen.push_back(run.playsRead);
        return --left_ > 0;
    }
    std::vector<std::int64_t> seen;

private:
    int left_;
};

// A stop keeps what was counted: the play during which it came, nothing after it.
TEST(CheckEngine, PollsEveryGivenNumberOfPlaysAndAStopKeepsWhatWasCounted)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "w.txt", "1,2,3,9,10,11\n1,2,3,4,9,10\n1,9,10,11,12,13\n1,2,3,9,10,11\n1,2,3,4,5,6\n");
    const auto& game = bm::CheckerById("six").Game(false);
    for (const int every : {2, 1}) {
        StopAt stop(every == 1 ? 3 : 1000);
        FakeClock clock({100, 350});
        bm::CheckRun run;
        ASSERT_TRUE(
            bm::RunCheck(game, 49, Draw(game, {1, 2, 3, 4, 5, 6}), dir / "w.txt", clock, run, &stop, every).ok());
        EXPECT_EQ(stop.seen, (every == 1 ? std::vector<std::int64_t>{1, 2, 3} : std::vector<std::int64_t>{2, 4}));
        EXPECT_EQ(run.aborted, every == 1);
        EXPECT_EQ(bm::TotalsOf(game, run.tally).plays, every == 1 ? 3 : 5);
        EXPECT_EQ(run.playsRead, every == 1 ? 3 : 5);
        EXPECT_EQ(run.reported.size(), every == 1 ? 2u : 4u);
        EXPECT_EQ(run.elapsedMs, 250);
    }
}

TEST(GameVariants, CheckTicketsChoosesTheWindowByPickAndPowerball)
{
    const struct {
        int pick;
        bool bBon, bPB;
        const char* checker;  // "": none opens
    } cases[] = {
        {5, true, false, "five"},  {5, true, true, "powerball"}, {6, true, true, "six"},
        {7, false, true, "seven"}, {4, false, false, ""},        {8, true, true, ""},
    };
    for (const auto& c : cases) {
        const auto* v = bm::ChooseChecker({49, c.pick, c.bBon, c.bPB});
        EXPECT_STREQ(v ? v->id : "", c.checker) << c.pick << c.bBon << c.bPB;
    }
}

// Every tier of both games of a variant has a counter of its own (the windows name its row after
// it), and every tier of the game without bonus is a row of the variant.
TEST(GameVariants, EveryTierHasACounterOfItsOwn)
{
    for (const auto& v : bm::CheckerVariants()) {
        std::set<std::string> counters;
        for (const auto& t : v.AllRows().tiers)
            counters.insert(t.counter);
        EXPECT_EQ(counters.size(), v.AllRows().tiers.size()) << v.id;
        for (const auto& t : v.Game(false).tiers)
            EXPECT_GE(v.AllRows().IndexOf(t.counter), 0) << v.id << " " << t.counter;
    }
}

}  // namespace
