#include "checking/GameRules.h"

namespace bm {

namespace {

std::string Range(int pool)
{
    return "the numbers of this game run from 1 to " + std::to_string(pool);
}

}  // namespace

std::optional<DrawRefusal> DrawRuleFault(const CheckGame& game, int pool, const DrawResult& draw, int powerballPool)
{
    for (int box = 1; box <= game.mainDrawn; ++box) {
        const std::int32_t n = draw.main[static_cast<std::size_t>(box - 1)];
        const std::string name = DrawBoxName(game, box);
        if (n < 1 || n > pool)
            return DrawRefusal{box, name + " is " + std::to_string(n) + "; " + Range(pool) + "."};
        for (int earlier = 1; earlier < box; ++earlier)
            if (draw.main[static_cast<std::size_t>(earlier - 1)] == n)
                return DrawRefusal{box, name + " is " + std::to_string(n) + ", the same as drawn number " +
                                            std::to_string(earlier) + "; no number is drawn twice."};
    }
    const int box = game.mainDrawn + 1;
    if (game.extra == ExtraNumber::Powerball && draw.extra < 1)
        return DrawRefusal{box, DrawBoxName(game, box) + " is " + std::to_string(draw.extra) +
                                    "; a powerball is at least 1."};
    if (game.extra == ExtraNumber::Powerball && powerballPool > 0 && draw.extra > powerballPool)
        return DrawRefusal{box, DrawBoxName(game, box) + " is " + std::to_string(draw.extra) +
                                    "; the powerballs of this game run from 1 to " + std::to_string(powerballPool) +
                                    "."};
    if (game.extra == ExtraNumber::Bonus) {
        const std::string name = DrawBoxName(game, box) + " is " + std::to_string(draw.extra);
        if (draw.extra < 1 || draw.extra > pool)
            return DrawRefusal{box, name + "; " + Range(pool) + "."};
        for (int k = 1; k <= game.mainDrawn; ++k)
            if (draw.main[static_cast<std::size_t>(k - 1)] == draw.extra)
                return DrawRefusal{box, name + ", the same as drawn number " + std::to_string(k) +
                                            "; the bonus is drawn from the numbers left."};
    }
    return std::nullopt;
}

PlayRule::PlayRule(const CheckGame& game, int pool)
    : mainPicks_(game.mainPicks),
      pool_(pool < 0 ? 0 : pool),
      powerball_(game.extra == ExtraNumber::Powerball)
{}

bool PlayRule::Repeats(const Play& play) const
{
    for (int i = 0; i < mainPicks_; ++i)
        for (int j = 0; j < i; ++j)
            if (play.numbers[static_cast<std::size_t>(j)] == play.numbers[static_cast<std::size_t>(i)])
                return true;
    return false;
}

bool PlayRule::InPool(const Play& play) const
{
    for (int i = 0; i < mainPicks_; ++i)
        if (play.numbers[static_cast<std::size_t>(i)] < 1 || play.numbers[static_cast<std::size_t>(i)] > pool_)
            return false;
    return true;
}

std::optional<std::string> PlayRule::Fault(const Play& play) const
{
    for (int i = 0; i < mainPicks_; ++i) {
        const std::int32_t n = play.numbers[static_cast<std::size_t>(i)];
        if (n < 1 || n > pool_)
            return std::to_string(n) + " is not a number of this game (1 to " + std::to_string(pool_) + ")";
        for (int j = 0; j < i; ++j)
            if (play.numbers[static_cast<std::size_t>(j)] == n)
                return std::to_string(n) + " is given twice";
    }
    if (powerball_ && play.numbers[static_cast<std::size_t>(mainPicks_)] < 1)
        return "the powerball " + std::to_string(play.numbers[static_cast<std::size_t>(mainPicks_)]) + " is below 1";
    return std::nullopt;
}

}  // namespace bm
