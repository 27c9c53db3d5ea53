#include "wheels/CoverSearch.h"

#include <queue>

namespace bm::wheels::cover {

bool CoverSearch::Greedy()
{
    uncovered_ = count_.size();
    const Binomials& c = Binomials::Table();
    const std::uint64_t candidates = c(v_, k_);
    const std::uint64_t perPlay = SetsOnePlayCovers({v_, k_, m_, t_});
    if (candidates <= 2'000'000 && SaturatingMul(candidates, perPlay) <= 20'000'000) {
        // Plays one number short of the sets to cover: start from the plays whose numbers sum
        // to a multiple of v. Each set of k-1 numbers lies in exactly one such play unless the
        // missing number is already among them, so these cover most sets with little overlap.
        if (m_ == t_ && t_ == k_ - 1 && v_ > k_ + 1) {
            int play[kMaxWheelNumbers];
            for (std::uint64_t r = 0; r < candidates; ++r) {
                UnrankInto(r, k_, play, c);
                int sum = 0;
                for (int i = 0; i < k_; ++i)
                    sum += play[i];
                if (sum % v_ == 0)
                    AddPlay(play);
            }
        }
        return LazyGreedy();
    }
    return SampledGreedy();
}

// Takes the play covering the most uncovered sets, again and again. Gains only fall, so a
// play's old gain is an upper bound: look again only at the top of the heap.
bool CoverSearch::LazyGreedy()
{
    const Binomials& c = Binomials::Table();
    const auto candidates = static_cast<std::uint32_t>(c(v_, k_));
    // Ties go by a seeded shuffle of the candidates.
    std::vector<std::uint32_t> order(candidates);
    for (std::uint32_t i = 0; i < candidates; ++i)
        order[i] = i;
    for (std::uint32_t i = candidates; i > 1; --i)
        std::swap(order[i - 1], order[static_cast<std::size_t>(rng_.Below(i))]);
    using Entry = std::pair<std::uint64_t, std::uint32_t>;  // gain, position in `order`
    std::priority_queue<Entry> heap;
    const std::uint64_t full = SetsOnePlayCovers({v_, k_, m_, t_});
    for (std::uint32_t i = 0; i < candidates; ++i)
        heap.emplace(full, candidates - 1 - i);
    int play[kMaxWheelNumbers];
    while (uncovered_ > 0 && !heap.empty()) {
        if (!Poll())
            return false;
        const auto [gain, pos] = heap.top();
        heap.pop();
        UnrankInto(order[candidates - 1 - pos], k_, play, c);
        std::uint64_t now = 0;
        ForEachCovered(play, [&](std::uint32_t r) { now += (count_[r] & kCountBits) == 0 ? 1 : 0; });
        if (now == 0)
            continue;
        if (!heap.empty() && now < heap.top().first) {
            heap.emplace(now, pos);
            continue;
        }
        AddPlay(play);
    }
    return uncovered_ == 0;
}

// For shapes with too many candidate plays: the lowest uncovered set, and of a few plays
// that cover it the one covering the most.
bool CoverSearch::SampledGreedy()
{
    const Binomials& c = Binomials::Table();
    const std::uint64_t perPlay = SetsOnePlayCovers({v_, k_, m_, t_});
    const int tries = static_cast<int>(std::clamp<std::uint64_t>(400'000 / std::max<std::uint64_t>(perPlay, 1), 1, 24));
    std::size_t next = 0;
    int d[kMaxWheelNumbers];
    int trial[kMaxWheelNumbers];
    int chosen[kMaxWheelNumbers];
    while (uncovered_ > 0) {
        if (!Poll())
            return false;
        while ((count_[next] & kCountBits) != 0)
            ++next;
        UnrankInto(next, m_, d, c);
        std::uint64_t bestGain = 0;
        for (int attempt = 0; attempt < tries; ++attempt) {
            // t members of the set, then numbers at random
            Mask in;
            int n = 0;
            int pool[kMaxWheelNumbers];
            std::copy(d, d + m_, pool);
            for (int i = 0; i < t_; ++i) {
                const auto j = static_cast<int>(rng_.Below(static_cast<std::uint64_t>(m_ - i))) + i;
                std::swap(pool[i], pool[j]);
                trial[n++] = pool[i];
                in.Set(pool[i]);
            }
            while (n < k_) {
                const auto e = static_cast<int>(rng_.Below(static_cast<std::uint64_t>(v_)));
                if (!in.Has(e)) {
                    in.Set(e);
                    trial[n++] = e;
                }
            }
            std::sort(trial, trial + k_);
            std::uint64_t gain = 0;
            ForEachCovered(trial, [&](std::uint32_t r) { gain += (count_[r] & kCountBits) == 0 ? 1 : 0; });
            if (gain > bestGain) {
                bestGain = gain;
                std::copy(trial, trial + k_, chosen);
            }
        }
        AddPlay(chosen);
    }
    return true;
}
}  // namespace bm::wheels::cover
