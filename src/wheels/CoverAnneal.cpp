#include "wheels/CoverSearch.h"

#include <cmath>

namespace bm::wheels::cover {

// Simulated annealing at a fixed size: a move makes a random uncovered set covered by
// swapping one number of a play that already holds t-1 of its members.
CoverSearch::Outcome CoverSearch::Anneal(std::uint64_t maxMoves)
{
    // The temperature falls slowly from hot to cold and then starts hot again; it carries on
    // from one size to the next. Both ends are in units of a typical rise in cost, learnt from
    // the first moves, so the schedule fits coverings and lotto designs alike.
    constexpr double kHot = 0.3;
    constexpr double kCold = 0.02;
    constexpr double kCooling = 0.999997;
    constexpr std::uint64_t kLearningMoves = 64;
    const std::uint64_t start = moves_;
    int d[kMaxWheelNumbers];
    int key[kMaxWheelNumbers];
    int xs[kMaxWheelNumbers];
    int ys[kMaxWheelNumbers];
    while (uncovered_ > 0) {
        if (!Poll())
            return Outcome::Stopped;
        if (moves_ - start >= maxMoves)
            return Outcome::OutOfMoves;
        const std::uint32_t r = SampleUncovered();
        Unrank(r, m_, d);
        Mask dmask;
        for (int i = 0; i < m_; ++i)
            dmask.Set(d[i]);
        // A play holding t-1 members of d (no play holds more): one swap makes it cover d.
        std::size_t p = 0;
        std::size_t total = 0;
        if (useHolders_) {
            keys_.clear();
            ForEachSubset(d, m_, t_ - 1, [&](const int* q) {
                std::copy(q, q + t_ - 1, key);
                keys_.push_back(Rank(key, t_ - 1));
                total += holders_[keys_.back()].size();
                return true;
            });
            if (total > 0) {
                std::size_t at = static_cast<std::size_t>(rng_.Below(total));
                for (const std::uint32_t h : keys_) {
                    if (at < holders_[h].size()) {
                        p = holders_[h][at];
                        break;
                    }
                    at -= holders_[h].size();
                }
            }
        } else {
            for (std::size_t i = 0; i < Plays(); ++i)
                if (Common(masks_[i], dmask) == t_ - 1 && rng_.Below(++total) == 0)
                    p = i;
            work_ += Plays() / 8;
        }
        if (total == 0)  // none: bring some play one number closer
            p = static_cast<std::size_t>(rng_.Below(Plays()));
        int nx = 0;
        int ny = 0;
        const int* e = Elems(p);
        for (int i = 0; i < k_; ++i)
            if (!dmask.Has(e[i]))
                xs[nx++] = e[i];
        for (int i = 0; i < m_; ++i)
            if (!masks_[p].Has(d[i]))
                ys[ny++] = d[i];
        const int x = xs[rng_.Below(static_cast<std::uint64_t>(nx))];
        const int y = ys[rng_.Below(static_cast<std::uint64_t>(ny))];
        const std::int64_t delta = Evaluate(p, x, y);
        ++moves_;
        if (scale_ == 0.0) {
            if (delta > 0) {
                ++rises_;
                riseSum_ += delta;
            }
            if (delta <= 0)
                Apply(p, x, y);
            if (moves_ >= kLearningMoves) {
                scale_ = rises_ > 0 ? static_cast<double>(riseSum_) / static_cast<double>(rises_) : 1.0;
                temperature_ = kHot * scale_;
            }
            continue;
        }
        if (delta <= 0 || rng_.Unit() < std::exp(-static_cast<double>(delta) / temperature_))
            Apply(p, x, y);
        temperature_ *= kCooling;
        if (temperature_ < kCold * scale_)
            temperature_ = kHot * scale_;
    }
    return Outcome::Covered;
}
}  // namespace bm::wheels::cover
