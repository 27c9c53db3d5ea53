#include "checking/DrawRules.h"

namespace bm {

namespace {

std::string Range(int pool) { return " is not from 1 to " + std::to_string(pool); }

}  // namespace

std::optional<std::string> DrawRuleFault(const CheckGame& game, int pool, const DrawResult& draw)
{
    for (int i = 0; i < draw.mainCount; ++i) {
        const auto n = draw.main[static_cast<std::size_t>(i)];
        if (n < 1 || n > pool)
            return "drawn number " + std::to_string(n) + Range(pool);
        for (int j = 0; j < i; ++j)
            if (draw.main[static_cast<std::size_t>(j)] == n)
                return "drawn number " + std::to_string(n) + " is given twice";
    }
    if (game.extra == ExtraNumber::Powerball && draw.extra < 1)
        return "the powerball " + std::to_string(draw.extra) + " is not a number of at least 1";
    if (game.extra == ExtraNumber::Bonus) {
        if (draw.extra < 1 || draw.extra > pool)
            return "the bonus number " + std::to_string(draw.extra) + Range(pool);
        for (int j = 0; j < draw.mainCount; ++j)
            if (draw.main[static_cast<std::size_t>(j)] == draw.extra)
                return "the bonus number " + std::to_string(draw.extra) + " is also a main number";
    }
    return std::nullopt;
}

std::optional<std::string> PlayRuleFault(const CheckGame& game, int pool, const Play& play)
{
    for (int i = 0; i < game.mainPicks; ++i) {
        const auto n = play.numbers[static_cast<std::size_t>(i)];
        if (n < 1 || n > pool)
            return std::to_string(n) + Range(pool);
        for (int j = 0; j < i; ++j)
            if (play.numbers[static_cast<std::size_t>(j)] == n)
                return std::to_string(n) + " is given twice";
    }
    if (game.extraMatchesLastPick && play.numbers[static_cast<std::size_t>(game.numbersPerPlay - 1)] < 1)
        return "the powerball " + std::to_string(play.numbers[static_cast<std::size_t>(game.numbersPerPlay - 1)]) +
               " is not a number of at least 1";
    return std::nullopt;
}

}  // namespace bm
