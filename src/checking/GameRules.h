#pragma once

#include <optional>
#include <string>

#include "checking/DrawEntry.h"
#include "checking/GameVariants.h"
#include "printing/WheelFile.h"

namespace bm {

// A draw that cannot happen: the 1-based box at fault (as in txtN1) and what is wrong with it.
struct DrawRefusal {
    int box = 0;
    std::string message;
};

// The rules every draw of a game of `pool` numbers keeps: the main numbers distinct and from 1 to
// pool; a bonus from 1 to pool and none of the main numbers; a powerball at least 1 (it is drawn
// from a pool of its own, so it may equal a main number). Nothing when the draw keeps them.
std::optional<DrawRefusal> DrawRuleFault(const CheckGame& game, int pool, const DrawResult& draw);

// The plays a check takes: main numbers distinct and from 1 to pool, a powerball at least 1. A
// play that repeats a number would count each copy as a match.
class PlayRule {
public:
    PlayRule(const CheckGame& game, int pool);

    // Cheap enough for every play of a large file.
    bool Accepts(const Play& play) const
    {
        const auto limit = static_cast<std::uint32_t>(pool_);
        bool bad = false;
        for (int i = 0; i < mainPicks_; ++i) {
            const std::int32_t n = play.numbers[static_cast<std::size_t>(i)];
            bad |= static_cast<std::uint32_t>(n) - 1u >= limit;
            for (int j = 0; j < i; ++j)
                bad |= play.numbers[static_cast<std::size_t>(j)] == n;
        }
        if (powerball_)
            bad |= play.numbers[static_cast<std::size_t>(mainPicks_)] < 1;
        return !bad;
    }
    // Why the play is refused ("12 is given twice"); nothing when it is accepted.
    std::optional<std::string> Fault(const Play& play) const;

private:
    int mainPicks_;
    int pool_;
    bool powerball_;
};

}  // namespace bm
