#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Result.h"

namespace bm::wheels {

// More plays than this from --second-all is a typing slip, not a wheel anyone plays.
inline constexpr std::int64_t kMostPlaysWithSecond = 10'000'000;

// The second-pool numbers chosen for a wheel, and how they are given to its plays.
struct SecondChoice {
    std::vector<int> numbers;  // as given
    int pick = 0;              // second-pool numbers per play
    bool all = false;          // every play with every choice of `pick` of them, else in turn
    std::string text;          // the numbers as given, read once the game is known
};

// The plays with their second numbers after the main ones. In turn: the chosen numbers go to the
// plays one after another, round and round, so each is used as evenly as the play count allows;
// all: every play once with every set of `pick` chosen numbers (in the order given), the plays
// multiplied. A play's second numbers are ascending. Refused when `all` would make more than
// kMostPlaysWithSecond plays, or fewer numbers are chosen than a play takes.
Result<std::vector<std::vector<int>>> WithSecondNumbers(const std::vector<std::vector<int>>& plays,
                                                        const SecondChoice& choice);

// The second numbers given a play at a time, for a wheel that is streamed rather than held.
class SecondNumbersInTurn {
public:
    // Refused as WithSecondNumbers refuses, for a wheel of `plays` plays.
    static Result<SecondNumbersInTurn> For(const SecondChoice& choice, std::int64_t plays);

    // The next play's lines, its second numbers after `play`: one line, or one per set with `all`.
    void Lines(const std::vector<int>& play, std::vector<std::vector<int>>& lines);

private:
    SecondNumbersInTurn(const SecondChoice& choice, std::vector<std::vector<int>> sets);

    std::vector<int> numbers_;
    int pick_ = 0;
    bool all_ = false;
    std::vector<std::vector<int>> sets_;
    std::size_t next_ = 0;
};

// Per chosen second number, in the order given: how many plays hold it among their last
// `pick` numbers.
std::vector<std::int64_t> SecondNumberCounts(const std::vector<std::vector<int>>& plays, int pick,
                                             const std::vector<int>& chosen);

// "Second,Plays" and a line "S,COUNT" per chosen number, in the CSV of wheel analyze.
std::string SecondCountsText(const std::vector<int>& chosen, const std::vector<std::int64_t>& counts);

}  // namespace bm::wheels
