#include "wheels/SecondPool.h"

#include <algorithm>

namespace bm::wheels {

namespace {

// Every set of `pick` of the chosen numbers (one or two), in the order given.
std::vector<std::vector<int>> Sets(const std::vector<int>& chosen, int pick)
{
    std::vector<std::vector<int>> sets;
    const std::size_t c = chosen.size();
    if (pick == 1) {
        for (const int n : chosen)
            sets.push_back({n});
        return sets;
    }
    for (std::size_t i = 0; i < c; ++i)
        for (std::size_t k = i + 1; k < c; ++k)
            sets.push_back({chosen[i], chosen[k]});
    return sets;
}

}  // namespace

SecondNumbersInTurn::SecondNumbersInTurn(const SecondChoice& choice, std::vector<std::vector<int>> sets)
    : numbers_(choice.numbers),
      pick_(choice.pick),
      all_(choice.all),
      sets_(std::move(sets))
{}

Result<SecondNumbersInTurn> SecondNumbersInTurn::For(const SecondChoice& choice, std::int64_t plays)
{
    const auto c = static_cast<int>(choice.numbers.size());
    if (choice.pick < 1 || choice.pick > 2)
        return Error{"a play takes one or two second-pool numbers, not " + std::to_string(choice.pick)};
    if (c < choice.pick)
        return Error{"--second holds " + std::to_string(c) + (c == 1 ? " number" : " numbers") + "; a play takes " +
                     std::to_string(choice.pick) + " second-pool numbers"};
    std::vector<std::vector<int>> sets;
    if (choice.all) {
        sets = Sets(choice.numbers, choice.pick);
        for (auto& set : sets)
            std::sort(set.begin(), set.end());
        const auto total = plays * static_cast<std::int64_t>(sets.size());
        if (total > kMostPlaysWithSecond)
            return Error{"--second-all would make " + std::to_string(total) + " plays (" + std::to_string(plays) +
                         " x " + std::to_string(sets.size()) + "); at most " + std::to_string(kMostPlaysWithSecond) +
                         " are written"};
    }
    return SecondNumbersInTurn(choice, std::move(sets));
}

void SecondNumbersInTurn::Lines(const std::vector<int>& play, std::vector<std::vector<int>>& lines)
{
    lines.clear();
    if (all_) {
        for (const auto& set : sets_) {
            std::vector<int> line = play;
            line.insert(line.end(), set.begin(), set.end());
            lines.push_back(std::move(line));
        }
        return;
    }
    std::vector<int> second;
    for (int i = 0; i < pick_; ++i) {
        second.push_back(numbers_[next_]);
        next_ = (next_ + 1) % numbers_.size();
    }
    std::sort(second.begin(), second.end());
    std::vector<int> line = play;
    line.insert(line.end(), second.begin(), second.end());
    lines.push_back(std::move(line));
}

Result<std::vector<std::vector<int>>> WithSecondNumbers(const std::vector<std::vector<int>>& plays,
                                                        const SecondChoice& choice)
{
    auto turn = SecondNumbersInTurn::For(choice, static_cast<std::int64_t>(plays.size()));
    if (!turn)
        return turn.error();
    std::vector<std::vector<int>> out;
    std::vector<std::vector<int>> lines;
    for (const auto& play : plays) {
        turn->Lines(play, lines);
        for (auto& line : lines)
            out.push_back(std::move(line));
    }
    return out;
}

std::vector<std::int64_t> SecondNumberCounts(const std::vector<std::vector<int>>& plays, int pick,
                                             const std::vector<int>& chosen)
{
    std::vector<std::int64_t> counts(chosen.size(), 0);
    for (const auto& play : plays) {
        const std::size_t first = play.size() >= static_cast<std::size_t>(pick) ? play.size() - pick : 0;
        for (std::size_t i = first; i < play.size(); ++i)
            for (std::size_t k = 0; k < chosen.size(); ++k)
                counts[k] += play[i] == chosen[k];
    }
    return counts;
}

std::string SecondCountsText(const std::vector<int>& chosen, const std::vector<std::int64_t>& counts)
{
    std::string text = "Second,Plays\n";
    for (std::size_t k = 0; k < chosen.size() && k < counts.size(); ++k)
        text += std::to_string(chosen[k]) + "," + std::to_string(counts[k]) + "\n";
    return text;
}

}  // namespace bm::wheels
