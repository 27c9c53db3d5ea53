#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "checking/CheckEngine.h"
#include "support/TempDir.h"

namespace bmtest {

// Hands out the times it was given, then keeps the last one.
class FakeClock final : public bm::Clock {
public:
    explicit FakeClock(std::vector<std::int64_t> times = {0}) : times_(std::move(times)) {}
    std::int64_t NowMs() override
    {
        const auto t = times_[next_];
        if (next_ + 1 < times_.size())
            ++next_;
        return t;
    }

private:
    std::vector<std::int64_t> times_;
    std::size_t next_ = 0;
};

// The draw of a game from its numbers, main numbers first and the extra number last.
inline bm::DrawResult Draw(const bm::CheckGame& game, const std::vector<int>& numbers)
{
    std::vector<std::string> texts;
    for (int n : numbers)
        texts.push_back(std::to_string(n));
    return bm::ReadDraw(game, texts).draw;
}

// The count of a tier by its counter name ("cnt5b").
inline std::int64_t Count(const bm::CheckGame& game, const bm::Tally& tally, const char* counter)
{
    const int i = game.IndexOf(counter);
    return i < 0 ? -1 : tally.count[i];
}

}  // namespace bmtest
