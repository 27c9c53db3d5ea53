#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "checking/Clock.h"
#include "checking/NumberPatterns.h"
#include "common/InputFile.h"
#include "common/Result.h"
#include "plays/WheelFile.h"
#include "slip/SlipDefinition.h"
#include "slip/SlipMarks.h"

namespace bm {

// A game of two pools checked by tiers (m, j): m main numbers and j second-pool numbers matched.
struct TwoPoolGame {
    int pool = 0, pick = 0;                      // main numbers: pick of 1..pool
    int secondPool = 0, secondPick = 0;          // second numbers: secondPick of 1..secondPool
    std::vector<bool> wins;                      // by tier index
    std::vector<std::optional<double>> amounts;  // by tier index; what a winning play pays, when known

    int Tiers() const { return (pick + 1) * (secondPick + 1); }
    int TierOf(int main, int second) const { return main * (secondPick + 1) + second; }
    int MainOf(int tier) const { return tier / (secondPick + 1); }
    int SecondOf(int tier) const { return tier % (secondPick + 1); }
    int NumbersPerPlay() const { return pick + secondPick; }
    bool HasAmounts() const;
};

// Whether a definition with these marks is checked by tiers (m, j): it has a second pool and is
// not a powerball definition, which keeps the powerball checker.
bool ChecksByTiers(const GameFormat& game);

// The game of a definition with a second pool; [Prizes] names the tiers that win, else the
// default ones. A [Prizes] tier the game cannot have is refused, naming the marks file's line.
Result<TwoPoolGame> TwoPoolGameOf(const GameFormat& game, const SlipMarks& marks, const std::string& marksFile);

// The tiers that win without [Prizes].
bool WinsByDefault(int pick, int secondPick, int main, int second);

struct TwoPoolDraw {
    std::vector<std::int32_t> main, second;
};

// The draw as numbers separated by blanks and/or commas, the main ones first; it must be one
// that can happen. `lottery` names the definition in messages.
Result<TwoPoolDraw> ParseTwoPoolDraw(const std::string& text, const TwoPoolGame& game, const std::string& lottery);
// Why the numbers cannot be a draw of the game; nothing when they can.
std::optional<std::string> TwoPoolDrawFault(const TwoPoolGame& game, const TwoPoolDraw& draw);

// Why a play is no play of the game: main numbers distinct within 1..pool, second ones distinct
// within 1..secondPool (they may equal a main number).
std::optional<std::string> TwoPoolPlayFault(const TwoPoolGame& game, const Play& play);

// The tier of a play that the game takes.
int TwoPoolTier(const TwoPoolGame& game, const TwoPoolDraw& draw, const Play& play);

struct TwoPoolRun {
    std::vector<std::int64_t> tally;  // by tier index
    std::int64_t playsRead = 0;
    bool aborted = false;
    std::int64_t elapsedMs = 0;
};

// Checks every play of the wheel; `reportLine` gets each winning play's line of the report in
// file order. `keepGoing` is asked every few thousand plays. A malformed line or a play that is
// no play of the game ends the run with the file and line.
Status RunTwoPoolCheck(const TwoPoolGame& game, const TwoPoolDraw& draw, const std::shared_ptr<const InputFile>& wheel,
                       Clock& clock, TwoPoolRun& run, const std::function<void(const std::string&)>& reportLine,
                       const std::function<bool()>& keepGoing = {});

// "Match-3+1 For This Draw At Line 12"
std::string TwoPoolReportLine(int main, int second, std::int64_t line);
// "Draw: 3 11 19 27 35 + 4 9"
std::string TwoPoolDrawLine(const TwoPoolDraw& draw);
// The expected count of a tier among `plays` plays: the chance of m main and j second matches.
double TwoPoolExpected(const TwoPoolGame& game, int tier, std::int64_t plays);
// "Match m+j - COUNT Expected is E" for every tier, then the totals (and the money won when the
// prize table has amounts), each line ending in "\n".
std::string TwoPoolSummary(const TwoPoolGame& game, const std::vector<std::int64_t>& tally,
                           const NumberSeparators& separators);
// A wheel held in memory for checking it against many draws: a byte per number (pools stay below
// 100), numbers of one play side by side.
struct TwoPoolWheel {
    std::vector<std::uint8_t> numbers;
    std::int64_t plays = 0;
};
// More plays than this are not held (some 150 MB for a 7 + 2 game).
inline constexpr std::int64_t kMostHeldPlays = 16'000'000;
// Reads every play of the wheel, refusing as RunTwoPoolCheck does; `keepGoing` is asked every few
// thousand plays (false: an empty wheel and `stopped`).
Result<TwoPoolWheel> ReadTwoPoolWheel(const TwoPoolGame& game, const std::shared_ptr<const InputFile>& wheel,
                                      const std::function<bool()>& keepGoing, bool& stopped);
// The tier counts of every play of the wheel for one draw.
std::vector<std::int64_t> TwoPoolTally(const TwoPoolGame& game, const TwoPoolWheel& wheel, const TwoPoolDraw& draw);

// The history CSV: "Date,Draw,Match 0+0,...,Match k+s,Wins" (",Won" when the prizes have
// amounts); a row per draw ("3 11 19 27 35 +4 +9" as its draw); the total row.
std::string TwoPoolCsvHeader(const TwoPoolGame& game);
std::string TwoPoolCsvRow(const TwoPoolGame& game, const std::string& date, const TwoPoolDraw& draw,
                          const std::vector<std::int64_t>& tally);
std::string TwoPoolCsvTotal(const TwoPoolGame& game, const std::vector<std::int64_t>& total);

// What the plays of a tally won by the prize table's amounts; nothing when it has none.
std::optional<double> TwoPoolWon(const TwoPoolGame& game, const std::vector<std::int64_t>& tally);

}  // namespace bm
