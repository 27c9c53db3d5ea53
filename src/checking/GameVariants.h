#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "checking/NumberPatterns.h"
#include "slip/SlipDefinition.h"

namespace bm {

inline constexpr int kMaxTiers = 12;
inline constexpr int kMaxMatches = 7;
inline constexpr int kAnyHit = -1;

// One prize tier of a game: which plays it counts, how it is shown and reported.
struct Tier {
    int matches;                  // main numbers matched
    int hit;                      // 0 or 1 for the bonus / powerball hit, kAnyHit when it plays no part
    const char* counter;          // "cnt5b"; the checker windows name their labels after it
    const char* caption;          // "Match 5+"
    const char* summaryLabel;     // "Match 5+ - "
    bool losing;                  // counts into the total losses
    bool hiddenWhileRunning;      // count label hidden from the start of a run until its end
    std::optional<Pattern> live;  // count label updated during the run, in this pattern
    Pattern final;                // count label at the end of a run (completed or aborted)
    const char* reportLine;       // text before the line number of a play in this tier; nullptr: none
    float probability;            // chance in a 6-from-49 draw; used only where the game has expected figures
};

enum class ExtraNumber { None, Bonus, Powerball };

// One way of checking: the draw, what is compared with what, and the tiers.
struct CheckGame {
    std::string_view name;        // for messages: "6-number game with bonus"
    int numbersPerPlay;           // numbers of one play in the wheel file
    int mainPicks;                // the first numbers of a play, compared with the main drawn numbers
    int mainDrawn;                // main numbers of the draw
    ExtraNumber extra;            // the draw's last number
    bool extraMatchesLastPick;    // powerball: compared with the play's last number only, else with every pick
    const char* heading;          // what the draw boxes are for
    std::span<const Tier> tiers;  // in summary order, which is also the order of the rows
    int summaryBreak;             // the summary's empty line stands before tiers[summaryBreak]
    bool expectedFor49;           // "Expected is" figures when the pool is 49
    bool tierLineEndsInBlank;     // tier lines without expected figures end in a blank

    int DrawSize() const { return mainDrawn + (extra == ExtraNumber::None ? 0 : 1); }
    // The tier of a play with `matches` main matches and the given hit, -1 if none (cannot happen).
    int TierOf(int matches, int hit) const { return tierOf[matches][hit]; }
    // Whether the extra number is compared at all for this many main matches.
    bool LooksAtHit(int matches) const { return (hitMask >> matches) & 1u; }
    int IndexOf(std::string_view counter) const;

    std::array<std::array<signed char, 2>, kMaxMatches + 1> tierOf{};
    unsigned hitMask = 0;
};

// One way of checking tickets, as one checker window shows it: the numbers drawn and the game
// or games it checks.
struct CheckerVariant {
    const char* id;  // "six", "five", "seven", "powerball"
    int drawBoxes;   // the most numbers a draw of its games holds
    const CheckGame* withBonus;
    const CheckGame* withoutBonus;

    // The game the window checks under the definition's bonus flag; read at load and every run.
    const CheckGame& Game(bool bBon) const { return bBon ? *withBonus : *withoutBonus; }
    // The rows of the window: every tier either game has, in row order.
    const CheckGame& AllRows() const { return *withBonus; }
};

std::span<const CheckerVariant> CheckerVariants();
const CheckerVariant& CheckerById(std::string_view id);

// The window that "Check Tickets" opens for a game: pick 5 (powerball or not), 6 or 7.
const CheckerVariant* ChooseChecker(const GameFormat& game);
// The same for a definition: the pick from the third character of its name, the flags from it.
const CheckerVariant* ChooseChecker(std::string_view definitionName, const SlipDefinition& definition);

inline constexpr const char* kCheckerCaption = "Brindlemark - Check Tickets For Winners";

}  // namespace bm
