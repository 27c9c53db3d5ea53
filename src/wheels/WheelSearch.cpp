#include "wheels/WheelSearch.h"

#include <algorithm>

#include "wheels/CoverSearch.h"
#include "wheels/DesignConstructions.h"

namespace bm::wheels::cover {

SearchResult CoverSearch::Run()
{
    SearchResult result;
    const auto finish = [&]() {
        result.rounds = rounds_;
        result.stopped = stopped_;
        result.work = work_ + partWork_;
        const std::size_t plays = best_.size() / static_cast<std::size_t>(k_);
        for (std::size_t p = 0; p < plays; ++p)
            result.plays.emplace_back(best_.begin() + static_cast<std::ptrdiff_t>(p * static_cast<std::size_t>(k_)),
                                      best_.begin() +
                                          static_cast<std::ptrdiff_t>((p + 1) * static_cast<std::size_t>(k_)));
        std::sort(result.plays.begin(), result.plays.end());
        result.plays.erase(std::unique(result.plays.begin(), result.plays.end()), result.plays.end());
        result.reachedBound = !result.plays.empty() && result.plays.size() <= stopAt_;
        return result;
    };
    auto built = KnownConstruction({v_, k_, m_, t_});
    if (limits_.startAtOnce && !limits_.start.empty() && (built.empty() || limits_.start.size() < built.size())) {
        built = limits_.start;
        result.fromStart = true;
    }
    if (built.empty())
        built = PartitionStart();
    if (stopped_)
        return finish();
    if (!built.empty() && !limits_.start.empty() && limits_.start.size() < built.size()) {
        built = limits_.start;
        result.fromStart = true;
    }
    const bool lotto = t_ < m_ && LottoState::Fits({v_, k_, m_, t_});
    if (!built.empty() && lotto) {
        std::vector<int> start;
        for (const Play& play : built)
            start.insert(start.end(), play.begin(), play.end());
        LottoDescend(start, !(limits_.startAtOnce && result.fromStart));
        return finish();
    }
    if (!built.empty()) {
        uncovered_ = count_.size();
        for (const Play& play : built)
            AddPlay(play.data());
    } else if (!Greedy()) {
        return finish();
    }
    DropRedundant();
    KeepIfBest();
    if (!limits_.start.empty() && limits_.start.size() < Plays()) {
        std::vector<int> flat;
        for (const Play& play : limits_.start)
            flat.insert(flat.end(), play.begin(), play.end());
        Restore(flat);
        KeepIfBest();
        result.fromStart = true;
    }
    if (!OrbitStart())
        return finish();
    if (lotto) {
        // At the bound already: the descent's set-up would be work for nothing.
        if (Plays() > stopAt_)
            LottoDescend(elems_);
        return finish();
    }
    // Far above what can be reached a size falls in few moves: then take away several plays at
    // once, and go back to one at a time (from the best wheel) as soon as that gets hard.
    std::size_t step = 1;
    constexpr std::uint64_t kEasy = 2000;
    while (Plays() > stopAt_ && Plays() > 1) {
        const std::size_t take = std::min<std::size_t>(step, Plays() - std::max<std::uint64_t>(stopAt_, 1));
        for (std::size_t i = 0; i < take; ++i)
            RemovePlay(LeastUsefulPlay());
        const std::uint64_t before = moves_;
        const Outcome outcome = Anneal(take > 1 ? kEasy * 4 * take : ~std::uint64_t{0});
        if (outcome == Outcome::Stopped)
            return finish();
        if (outcome == Outcome::OutOfMoves) {
            Restore(best_);
            step = 1;
            continue;
        }
        const std::uint64_t used = (moves_ - before) / take;
        if (used < kEasy)
            step = std::min<std::size_t>(step * 2, std::max<std::size_t>(Plays() / 64, 1));
        else if (used > 4 * kEasy)
            step = std::max<std::size_t>(step / 2, 1);
        DropRedundant();
        KeepIfBest();
    }
    return finish();
}

}  // namespace bm::wheels::cover

namespace bm::wheels {

std::string SearchSizeProblem(const WheelShape& s)
{
    const std::uint64_t sets = SetsToCover(s);
    if (sets <= kMaxSearchSets)
        return {};
    return "building this wheel would hold " + std::to_string(sets) + " subsets of " + std::to_string(s.m) +
           " numbers in memory, more than the " + std::to_string(kMaxSearchSets) + " it can";
}

SearchResult BuildWheel(const WheelShape& shape, const SearchLimits& limits)
{
    if (!ShapeProblem(shape).empty() || !SearchSizeProblem(shape).empty())
        return {};
    cover::CoverSearch search(shape, limits);
    return search.Run();
}

}  // namespace bm::wheels
