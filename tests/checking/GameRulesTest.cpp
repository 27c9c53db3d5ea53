#include <gtest/gtest.h>

#include "CheckTestSupport.h"
#include "checking/DrawEntry.h"
#include "checking/GameRules.h"
#include "printing/PlayRules.h"

namespace {

// Each rule of a draw, for every kind of extra number; the box named is the one to correct.
TEST(GameRules, DrawsThatCannotHappenNameTheirBox)
{
    const struct {
        const char* checker;
        bool bBon;
        std::vector<int> draw;
        int box;  // 0: the draw can happen
        const char* message;
    } cases[] = {
        {"six", true, {1, 2, 3, 4, 5, 49, 48}, 0, ""},
        {"six", true, {1, 2, 114, 4, 5, 6, 7}, 3, "Drawn number 3 is 114; the numbers of this game run from 1 to 49."},
        {"six", false, {0, 2, 3, 4, 5, 6}, 1, "Drawn number 1 is 0; the numbers of this game run from 1 to 49."},
        {"six",
         false,
         {1, 2, 3, 4, 2, 6},
         5,
         "Drawn number 5 is 2, the same as drawn number 2; no number is drawn twice."},
        {"six",
         true,
         {1, 2, 3, 4, 5, 6, 3},
         7,
         "The bonus number (box 7) is 3, the same as drawn number 3; the bonus is drawn from the numbers left."},
        {"six",
         true,
         {1, 2, 3, 4, 5, 6, 9988},
         7,
         "The bonus number (box 7) is 9988; the numbers of this game run from 1 to 49."},
        {"six", false, {1, 2, 3, 4, 5, 6, 6}, 0, ""},  // no bonus: the seventh box is not read
        {"seven",
         false,
         {1, 2, 3, 4, 5, 6, 7, 7},
         8,
         "The bonus number (box 8) is 7, the same as drawn number 7; the bonus is drawn from the numbers left."},
        {"five",
         true,
         {1, 2, 3, 4, 5, 0},
         6,
         "The bonus number (box 6) is 0; the numbers of this game run from 1 to 49."},
        // A powerball comes from a pool of its own.
        {"powerball", false, {1, 2, 3, 4, 5, 5}, 0, ""},
        {"powerball", false, {1, 2, 3, 4, 5, 60}, 0, ""},
        {"powerball", false, {1, 2, 3, 4, 5, 0}, 6, "The powerball number (box 6) is 0; a powerball is at least 1."},
        {"powerball",
         false,
         {1, 2, 3, 4, 50, 1},
         5,
         "Drawn number 5 is 50; the numbers of this game run from 1 to 49."},
    };
    for (const auto& c : cases) {
        const auto& game = bm::CheckerById(c.checker).Game(c.bBon);
        const auto refusal = bm::DrawRuleFault(game, 49, bmtest::Draw(game, c.draw));
        EXPECT_EQ(refusal ? std::to_string(refusal->box) + " " + refusal->message : "0 ",
                  std::to_string(c.box) + " " + c.message)
            << c.checker;
    }
}

// A play that is no play of the game is refused when the file is loaded and when it is checked,
// with the same words; a check writes no tally for such a file.
TEST(GameRules, PlaysThatCannotBeTicketsAreRefusedAtLoadingAndChecking)
{
    bmtest::TempDir dir;
    const struct {
        const char* checker;
        const char* play;
        const char* fault;  // nullptr: accepted
        int pool = 49;
    } cases[] = {
        {"five", "5,5,5,5,5", "5 is given twice"},
        {"six", "1,2,3,4,5,1", "1 is given twice"},
        {"six", "0,1,2,3,4,5", "0 is not a number of this game (1 to 49)"},
        {"six", "1,2,3,4,50,6", "50 is not a number of this game (1 to 49)"},
        {"seven", "1,2,3,4,5,6,-2147483648", "-2147483648 is not a number of this game (1 to 49)"},
        {"powerball", "1,2,3,4,5,0", "the powerball 0 is below 1"},
        {"powerball", "1,2,3,4,5,5", nullptr},   // the powerball may equal a main number
        {"powerball", "1,2,3,4,5,70", nullptr},  // and lie beyond the main pool
        {"six", "49,48,47,46,45,44", nullptr},
        // Pools beyond the one-bit-per-number way of telling repeats.
        {"six", "1,65,3,4,5,99", nullptr, 99},
        {"six", "1,70,3,4,5,70", "70 is given twice", 99},
        {"six", "1,2,3,4,5,100", "100 is not a number of this game (1 to 99)", 99},
        {"six", "1,200,3,4,5,300", nullptr, 300},
        {"six", "1,200,3,4,5,200", "200 is given twice", 300},
        {"powerball", "1,200,3,4,5,0", "the powerball 0 is below 1", 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.play);
        const auto& game = bm::CheckerById(c.checker).Game(false);
        bmtest::WriteBytes(dir / "w.txt", std::string("# method: test\r\n\r\n") + c.play + "\r\n");
        const std::string expected = c.fault ? (dir / "w.txt").string() + ": line 3: " + c.fault : "";
        bmtest::FakeClock clock;
        bm::CheckRun run;
        const auto checked =
            bm::RunCheck(game, c.pool, bmtest::Draw(game, {1, 2, 3, 4, 5, 6, 7, 8}), dir / "w.txt", clock, run);
        EXPECT_EQ(checked.ok() ? "" : checked.error().message, expected);
        EXPECT_EQ(run.playsRead, c.fault ? 0 : 1);
        const bm::PlayRule rule(game, c.pool);
        const auto loaded = bm::CountPlaysWithin(
            dir / "w.txt", game.numbersPerPlay, bm::NumberWidth::Bits32,
            [&](const bm::Play& p) { return rule.Accepts(p) ? std::nullopt : rule.Fault(p); }, false);
        EXPECT_EQ(loaded.ok() ? "" : loaded.error().message, expected);
    }
}

TEST(DrawEntry, BoxTextsAsWholeNumbers)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"\t+12 ", 12},
        {"-4", -4},
        {".6", 1},
        {"12.5", 12},
        {"13.5", 14},  // halves go to the even neighbour
        {"2147483647", 2147483647},
        {"-2147483648", -2147483648LL},
        {"2147483648", std::nullopt},
        {"", std::nullopt},
        {"1,5", std::nullopt},
        {"1e3", std::nullopt},
        {"inf", std::nullopt},
        {"4 5", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(bm::DrawNumber(text), value) << '"' << text << '"';
}

// Boxes a game does not use are never read.
TEST(DrawEntry, RefusalNamesTheBox)
{
    const struct {
        const char* checker;
        bool bBon;
        std::vector<std::string> texts;
        int box;
        const char* message;
    } cases[] = {
        {"six",
         true,
         {"1", "2", "", "4", "5", "6", "7"},
         3,
         "Drawn number 3 is empty. Type the number that was drawn."},
        {"six", true, {"1", "2", "3", "4", "5", "6", "x"}, 7, "The bonus number (box 7) \"x\" is not a number."},
        {"six", false, {"1", "2", "3", "4", "5", "6", "x"}, 0, ""},
        {"powerball",
         false,
         {"1", "2", "3", "4", "5", " "},
         6,
         "The powerball number (box 6) is empty. Type the number that was drawn."},
        {"seven",
         true,
         {"1", "99999999999", "3"},
         2,
         "Drawn number 2 \"99999999999\" is too large for a drawn number."},
        {"five",
         true,
         {"1", "2", "3", "4", "5"},
         6,
         "The bonus number (box 6) is empty. Type the number that was drawn."},
        // Beyond a float too: found by fuzzing, once said "is not a number".
        {"six",
         false,
         {"1", "2", "3", "-999999999999999999999999999999999999999999.5", "5", "6"},
         4,
         "Drawn number 4 \"-999999999999999999999999999999999999999999.5\" is too large for a drawn number."},
    };
    for (const auto& c : cases) {
        const auto r = bm::ReadDraw(bm::CheckerById(c.checker).Game(c.bBon), c.texts);
        EXPECT_EQ(std::to_string(r.badBox) + " " + r.message, std::to_string(c.box) + " " + c.message) << c.checker;
    }
}

}  // namespace
