#include "wheels/CoverSearch.h"

#include "wheels/OrbitSearch.h"

namespace bm::wheels::cover {

// For "t if m" with m well above t, where plays cover so many m-sets that a greedy start is
// slow: split the numbers into p parts with p(t-1) < m, so that any m of them put t in one part,
// and cover every t numbers of each part. Small coverings, quickly built, and a wheel at once.
std::vector<Play> CoverSearch::PartitionStart()
{
    constexpr std::uint64_t kCheapEnough = 2'000;
    if (t_ < 2 || m_ == t_ || perPlay_ < kCheapEnough)
        return {};
    const int parts = (m_ - 1) / (t_ - 1);
    if (parts < 2 || v_ / parts < k_)
        return {};
    constexpr std::int64_t kPartRounds = 10;
    std::vector<Play> plays;
    for (int i = 0, first = 0; i < parts; ++i) {
        const int size = v_ / parts + (i < v_ % parts ? 1 : 0);
        SearchLimits part;
        part.seed = limits_.seed + static_cast<std::uint64_t>(i);
        // Its first wheel, then a few rounds to make it smaller.
        part.keepGoing = [this](const SearchProgress& progress) {
            if (limits_.keepGoing &&
                !limits_.keepGoing({rounds_, 0, Plays(), progress.uncovered, work_ + partWork_ + progress.work})) {
                stopped_ = true;
                return false;
            }
            return progress.bestPlays == 0 || progress.rounds < kPartRounds;
        };
        const SearchResult covering = BuildWheel({size, k_, t_, t_}, part);
        partWork_ += covering.work;
        if (stopped_ || covering.plays.empty())
            return {};
        for (Play play : covering.plays) {
            for (int& e : play)
                e += first;
            plays.push_back(std::move(play));
        }
        first += size;
    }
    return plays;
}

// Many of the smallest wheels known are unions of orbits under a group of the labels: a wheel
// of whole orbits, when smaller than the start so far, is where the annealing goes on from.
// Its share of work is fixed, so a seed still gives one sequence of wheels. False when stopped.
bool CoverSearch::OrbitStart()
{
    // Small shapes are settled sooner by the annealing itself: their orbit search gets a
    // share of work in proportion to the sets to cover.
    const std::uint64_t orbitRounds = std::clamp<std::uint64_t>(count_.size() / kSetsPerOrbitRound, 1, kOrbitRounds);
    if (Plays() <= stopAt_)
        return true;
    OrbitLimits orbit;
    orbit.seed = limits_.seed;
    orbit.workBudget = orbitRounds * kWorkPerRound;
    orbit.stopAtPlays = stopAt_;
    orbit.beat = Plays();
    orbit.tick = [this](std::uint64_t work, std::uint64_t bestPlays) {
        work_ += work;
        orbitBest_ = static_cast<std::size_t>(bestPlays);
        return Poll();
    };
    const OrbitResult found = OrbitWheel({v_, k_, m_, t_}, orbit);
    orbitBest_ = 0;
    if (!found.plays.empty() && found.plays.size() < Plays()) {
        std::vector<int> flat;
        for (const Play& play : found.plays)
            flat.insert(flat.end(), play.begin(), play.end());
        // Kept only once this search's own count says it covers, stopped or not.
        Restore(flat);
        KeepIfBest();
    }
    return !found.stopped;
}
}  // namespace bm::wheels::cover
