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
    std::int64_t NowMs() override { return times_[next_ + 1 < times_.size() ? next_++ : next_]; }

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

// A 6-from-49 bonus game's wheel with a blank line, and its whole report for the draw
// 1 2 3 4 5 6 and bonus 7 with the lottery LO649 and the file name w.txt.
inline constexpr const char* kLottoWheel = "1,2,3,10,11,12\r\n\r\n1,2,3,4,5,7\r\n20,21,22,23,24,25\r\n6,5,4,3,2,1\r\n";
inline constexpr const char* kLottoReport =
    "Lottery: LO649\nTicket File: w.txt\nDraw: 1 2 3 4 5 6 Bonus 7\nChecking 4 Picks Against Above Draw Results\n\n"
    "Match-3 For This Draw At Line 1\nMATCH-5 + Bonus For This Draw At Line 3\n"
    "***MATCH-6*** For This Draw At Line 5\n\n"
    "Match 0 - 1 Expected is 1.744\nMatch 1 - 0 Expected is 1.652\nMatch 2 - 0 Expected is 0.530\n\n"
    "Match 3 - 1 Expected is 0.071\nMatch 4 - 0 Expected is 0.004\nMatch 5 - 0 Expected is 0.000\n"
    "Match 5+ - 1 Expected is 0.000\nMatch 6 - 1 Expected is 0.000\n\n"
    "Total Plays - 4\nTotal Losses - 1\nTotal Wins - 3\n\n";

// The text with CR LF line ends, as a summary file holds it.
inline std::string CrLf(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

}  // namespace bmtest
