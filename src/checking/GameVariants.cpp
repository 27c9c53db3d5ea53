#include "checking/GameVariants.h"

#include <stdexcept>

namespace bm {

namespace {

constexpr auto G = Pattern::Grouped;
constexpr auto P = Pattern::Plain;
constexpr std::optional<Pattern> kNone;
constexpr int A = kAnyHit;

// Columns: matches, hit, counter, caption, summary label, losing,
// hidden while running, live pattern, final pattern, report line, 6-from-49 probability.
constexpr Tier kSixBonus[] = {
    {0, A, "cnt0", "Match 0", "Match 0 - ", true, true, kNone, G, nullptr, 0.43596497f},
    {1, A, "cnt1", "Match 1", "Match 1 - ", true, true, kNone, G, nullptr, 0.41301945f},
    {2, A, "cnt2", "Match 2", "Match 2 - ", true, true, kNone, G, nullptr, 0.13237803f},
    {3, A, "cnt3", "Match 3", "Match 3 - ", false, false, P, G, "Match-3 For This Draw At Line ", 0.017650403f},
    {4, A, "cnt4", "Match 4", "Match 4 - ", false, false, P, G, "Match-4 For This Draw At Line ", 0.0009686197f},
    {5, 0, "cnt5", "Match 5", "Match 5 - ", false, false, G, G, "MATCH-5 For This Draw At Line ", 1.8020832e-5f},
    {5, 1, "cnt5b", "Match 5+", "Match 5+ - ", false, false, G, G, "MATCH-5 + Bonus For This Draw At Line ",
     4.2906743e-7f},
    {6, A, "cnt6", "Jackpot!", "Match 6 - ", false, false, P, P, "***MATCH-6*** For This Draw At Line ", 7.151124e-8f},
};

constexpr Tier kSixPlain[] = {
    kSixBonus[0],
    kSixBonus[1],
    kSixBonus[2],
    kSixBonus[3],
    kSixBonus[4],
    {5, A, "cnt5", "Match 5", "Match 5 - ", false, false, G, G, "MATCH-5 For This Draw At Line ", 1.84499e-5f},
    kSixBonus[7],
};

constexpr Tier kSeven[] = {
    {0, A, "cnt0", "Match 0", "Match 0 - ", true, true, kNone, G, nullptr, 0},
    {1, A, "cnt1", "Match 1", "Match 1 - ", true, true, kNone, G, nullptr, 0},
    {2, A, "cnt2", "Match 2", "Match 2 - ", true, true, kNone, G, nullptr, 0},
    {3, 0, "cnt3", "Match 3", "Match 3 - ", false, false, G, G, "Match-3 For This Draw At Line ", 0},
    {3, 1, "cnt3b", "Match 3+", "Match 3+ - ", false, false, G, G, "Match-3 + Bonus For This Draw At Line ", 0},
    {4, A, "cnt4", "Match 4", "Match 4 - ", false, false, P, G, "Match-4 For This Draw At Line ", 0},
    {5, A, "cnt5", "Match 5", "Match 5 - ", false, false, G, G, "MATCH-5 For This Draw At Line ", 0},
    {6, 0, "cnt6", "Match 6", "Match 6 - ", false, false, G, G, "MATCH-6 For This Draw At Line ", 0},
    {6, 1, "cnt6b", "Match 6+", "Match 6+ - ", false, false, G, G, "***MATCH-6 + Bonus*** For This Draw At Line ", 0},
    {7, A, "cnt7", "Jackpot!", "Match 7 - ", false, false, P, P, "***MATCH-7*** For This Draw At Line ", 0},
};

constexpr Tier kFiveBonus[] = {
    {0, 0, "cnt0", "Match 0", "Match 0 - ", true, true, kNone, G, nullptr, 0},
    {0, 1, "cnt0b", "Match 0+", "Match 0+ - ", false, true, kNone, G, "Match-0+Bonus For This Draw At Line ", 0},
    {1, 0, "cnt1", "Match 1", "Match 1 - ", true, true, kNone, G, nullptr, 0},
    {1, 1, "cnt1b", "Match 1+", "Match 1+ - ", false, true, kNone, G, "Match-1+Bonus For This Draw At Line ", 0},
    {2, 0, "cnt2", "Match 2", "Match 2 - ", true, true, kNone, G, nullptr, 0},
    {2, 1, "cnt2b", "Match 2+", "Match 2+ - ", false, true, kNone, G, "Match-2+Bonus For This Draw At Line ", 0},
    {3, 0, "cnt3", "Match 3", "Match 3 - ", false, false, kNone, G, "Match-3 For This Draw At Line ", 0},
    {3, 1, "cnt3b", "Match 3+", "Match 3+ - ", false, false, kNone, G, "Match-3+Bonus For This Draw At Line ", 0},
    {4, 0, "cnt4", "Match 4", "Match 4 - ", false, false, kNone, G, "Match-4 For This Draw At Line ", 0},
    {4, 1, "cnt4b", "Match 4+", "Match 4+ - ", false, false, kNone, G, "Match-4+Bonus For This Draw At Line ", 0},
    {5, A, "cnt5", "Jackpot!", "Jackpot - ", false, false, kNone, P, "***JACKPOT*** For This Draw At Line ", 0},
};

constexpr Tier kFivePlain[] = {
    {0, A, "cnt0", "Match 0", "Match 0 - ", true, true, kNone, G, nullptr, 0},
    {1, A, "cnt1", "Match 1", "Match 1 - ", true, true, kNone, G, nullptr, 0},
    {2, A, "cnt2", "Match 2", "Match 2 - ", true, true, kNone, G, nullptr, 0},
    {3, A, "cnt3", "Match 3", "Match 3 - ", false, false, P, G, "Match-3 For This Draw At Line ", 0},
    {4, A, "cnt4", "Match 4", "Match 4 - ", false, false, P, G, "Match-4 For This Draw At Line ", 0},
    {5, A, "cnt5", "Jackpot!", "Jackpot - ", false, false, P, P, "***JACKPOT*** For This Draw At Line ", 0},
};

constexpr Tier kPowerball[] = {
    {0, 0, "cnt0", "Match 0", "Match 0 - ", true, true, kNone, G, nullptr, 0},
    {0, 1, "cnt0b", "Match 0+", "Match 0+ - ", false, true, kNone, G, "Match-0+PB For This Draw At Line ", 0},
    {1, 0, "cnt1", "Match 1", "Match 1 - ", true, true, kNone, G, nullptr, 0},
    {1, 1, "cnt1b", "Match 1+", "Match 1+ - ", false, true, kNone, G, "Match-1+PB For This Draw At Line ", 0},
    {2, 0, "cnt2", "Match 2", "Match 2 - ", true, true, kNone, G, nullptr, 0},
    {2, 1, "cnt2b", "Match 2+", "Match 2+ - ", false, true, kNone, G, "Match-2+PB For This Draw At Line ", 0},
    {3, 0, "cnt3", "Match 3", "Match 3 - ", false, false, P, G, "Match-3 For This Draw At Line ", 0},
    {3, 1, "cnt3b", "Match 3+", "Match 3+ - ", false, false, P, G, "Match-3+PB For This Draw At Line ", 0},
    {4, 0, "cnt4", "Match 4", "Match 4 - ", false, false, G, G, "MATCH-4 For This Draw At Line ", 0},
    {4, 1, "cnt4b", "Match 4+", "Match 4+ - ", false, false, G, G, "*MATCH-4+PB* For This Draw At Line ", 0},
    {5, 0, "cnt5", "Match 5", "Match 5 - ", false, false, G, G, "**MATCH-5** For This Draw At Line ", 0},
    {5, 1, "cnt5b", "Jackpot!", "Jackpot - ", false, false, G, P, "***JACKPOT!*** For This Draw At Line ", 0},
};

// Fills the lookup from main matches and hit to the tier; a gap or overlap in a table is a
// programming fault, caught the first time the tables are used.
CheckGame Make(CheckGame game)
{
    for (auto& row : game.tierOf)
        row = {-1, -1};
    for (std::size_t i = 0; i < game.tiers.size(); ++i) {
        const Tier& t = game.tiers[i];
        for (int hit = 0; hit < 2; ++hit) {
            if (t.hit != kAnyHit && t.hit != hit)
                continue;
            if (game.tierOf[t.matches][hit] != -1)
                throw std::logic_error("two tiers for one result in " + std::string(game.name));
            game.tierOf[t.matches][hit] = static_cast<signed char>(i);
        }
        if (t.hit != kAnyHit)
            game.hitMask |= 1u << t.matches;
    }
    for (int m = 0; m <= game.mainPicks; ++m)
        if (game.tierOf[m][0] == -1 || game.tierOf[m][1] == -1)
            throw std::logic_error("no tier for " + std::to_string(m) + " matches in " + std::string(game.name));
    return game;
}

struct Games {
    CheckGame sixBonus = Make({"6-number game with bonus", 6, 6, 6, ExtraNumber::Bonus, false,
                               "Enter 7 Drawn Numbers Below", kSixBonus, 3, true, true});
    CheckGame sixPlain = Make(
        {"6-number game", 6, 6, 6, ExtraNumber::None, false, "Enter 6 Drawn Numbers Below", kSixPlain, 3, true, true});
    CheckGame seven = Make(
        {"7-number game", 7, 7, 7, ExtraNumber::Bonus, false, "Enter 8 Drawn Numbers Below", kSeven, 3, false, false});
    CheckGame fiveBonus = Make({"5-number game with bonus", 5, 5, 5, ExtraNumber::Bonus, false,
                                "Enter 6 Drawn Numbers Below", kFiveBonus, 6, false, false});
    CheckGame fivePlain = Make({"5-number game", 5, 5, 5, ExtraNumber::None, false, "Enter 5 Drawn Numbers Below",
                                kFivePlain, 3, false, false});
    CheckGame powerball = Make({"powerball game", 6, 5, 5, ExtraNumber::Powerball, true, "Enter 6 Drawn Numbers Below",
                                kPowerball, 6, false, false});
    std::array<CheckerVariant, 4> variants{{
        {"six", 7, &sixBonus, &sixPlain},
        {"five", 6, &fiveBonus, &fivePlain},
        {"seven", 8, &seven, &seven},
        {"powerball", 6, &powerball, &powerball},
    }};
};

const Games& TheGames()
{
    static const Games games;
    return games;
}

}  // namespace

int CheckGame::IndexOf(std::string_view counter) const
{
    for (std::size_t i = 0; i < tiers.size(); ++i)
        if (counter == tiers[i].counter)
            return static_cast<int>(i);
    return -1;
}

std::span<const CheckerVariant> CheckerVariants()
{
    return TheGames().variants;
}

const CheckerVariant& CheckerById(std::string_view id)
{
    for (const auto& v : CheckerVariants())
        if (id == v.id)
            return v;
    throw std::invalid_argument("no checker " + std::string(id));
}

const CheckerVariant* ChooseChecker(const GameFormat& game)
{
    // The rules of "Check Tickets", tested one after another.
    const auto& v = TheGames().variants;
    if (game.Pick == 5 && !game.bPB)
        return &v[1];
    if (game.Pick == 5 && game.bPB)
        return &v[3];
    if (game.Pick == 6)
        return &v[0];
    if (game.Pick == 7)
        return &v[2];
    return nullptr;
}

const CheckerVariant* ChooseChecker(std::string_view definitionName, const SlipDefinition& definition)
{
    GameFormat game = definition.Game();
    const char digit = definitionName.size() >= 3 ? definitionName[2] : '\0';
    game.Pick = digit >= '0' && digit <= '9' ? digit - '0' : 0;
    return ChooseChecker(game);
}

}  // namespace bm
