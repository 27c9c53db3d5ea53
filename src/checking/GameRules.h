#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "checking/DrawEntry.h"
#include "checking/GameVariants.h"
#include "plays/WheelFile.h"

namespace bm {

// A draw that cannot happen: the 1-based box at fault (as in txtN1) and what is wrong with it.
struct DrawRefusal {
    int box = 0;
    std::string message;
};

// The rules every draw of a game of `pool` numbers keeps: the main numbers distinct and from 1 to
// pool; a bonus from 1 to pool and none of the main numbers; a powerball at least 1 (it is drawn
// from a pool of its own, so it may equal a main number) and, when `powerballPool` is given, at
// most that. Nothing when the draw keeps them.
std::optional<DrawRefusal> DrawRuleFault(const CheckGame& game, int pool, const DrawResult& draw,
                                         int powerballPool = 0);

// The plays a check takes: main numbers distinct and from 1 to pool, a powerball at least 1. A
// play that repeats a number would count each copy as a match.
class PlayRule {
public:
    PlayRule(const CheckGame& game, int pool);

    // Cheap enough for every play of a large file: in the usual pool of up to 128 numbers, a
    // bit per number, and a number whose bit is set already is a repeat.
    bool Accepts(const Play& play) const
    {
        const auto limit = static_cast<std::uint32_t>(pool_);
        bool bad = powerball_ && play.numbers[static_cast<std::size_t>(mainPicks_)] < 1;
        if (limit > 128)
            return !bad && !Repeats(play) && InPool(play);
        std::uint64_t low = 0, high = 0, again = 0;
        for (int i = 0; i < mainPicks_; ++i) {
            const std::uint32_t u = static_cast<std::uint32_t>(play.numbers[static_cast<std::size_t>(i)]) - 1u;
            bad |= u >= limit;
            const std::uint64_t bit = std::uint64_t{1} << (u & 63u);
            const std::uint64_t lowBit = u < 64 ? bit : 0;
            const std::uint64_t highBit = bit ^ lowBit;
            again |= (low & lowBit) | (high & highBit);
            low |= lowBit;
            high |= highBit;
        }
        return !bad && again == 0;
    }
    // Why the play is refused ("12 is given twice"); nothing when it is accepted.
    std::optional<std::string> Fault(const Play& play) const;

private:
    bool Repeats(const Play& play) const;
    bool InPool(const Play& play) const;

    int mainPicks_;
    int pool_;
    bool powerball_;
};

}  // namespace bm
