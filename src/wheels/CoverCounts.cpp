#include "wheels/CoverSearch.h"

namespace bm::wheels::cover {

void CoverSearch::AddPlay(const int* play)
{
    const auto p = static_cast<std::uint32_t>(Plays());
    elems_.insert(elems_.end(), play, play + k_);
    Mask mask;
    for (int i = 0; i < k_; ++i)
        mask.Set(play[i]);
    masks_.push_back(mask);
    ForEachCovered(play, [this](std::uint32_t r) { Cover(r); });
    if (useHolders_)
        ForEachHolderKey(play, [&](std::uint32_t key) { holders_[key].push_back(p); });
}

void CoverSearch::RemovePlay(std::size_t p)
{
    const std::size_t last = Plays() - 1;
    ForEachCovered(Elems(p), [this](std::uint32_t r) { Uncover(r); });
    if (useHolders_) {
        ForEachHolderKey(Elems(p), [&](std::uint32_t key) { HolderRemove(key, static_cast<std::uint32_t>(p)); });
        if (p != last)
            ForEachHolderKey(Elems(last), [&](std::uint32_t key) {
                auto& list = holders_[key];
                *std::find(list.begin(), list.end(), static_cast<std::uint32_t>(last)) = static_cast<std::uint32_t>(p);
            });
    }
    if (p != last) {
        std::copy(Elems(last), Elems(last) + k_, Elems(p));
        masks_[p] = masks_[last];
    }
    elems_.resize(last * static_cast<std::size_t>(k_));
    masks_.pop_back();
}

// The change in uncovered sets if x leaves play p and y comes in; the ranks are kept for Apply.
std::int64_t CoverSearch::Evaluate(std::size_t p, int x, int y)
{
    lost_.clear();
    gained_.clear();
    std::int64_t delta = 0;
    ForEachSwapped(Elems(p), x, y, [&](std::uint32_t lost, std::uint32_t gained) {
        lost_.push_back(lost);
        gained_.push_back(gained);
        if ((count_[lost] & kCountBits) == 1)
            ++delta;
        if ((count_[gained] & kCountBits) == 0)
            --delta;
    });
    return delta;
}

void CoverSearch::Apply(std::size_t p, int x, int y)
{
    for (const std::uint32_t r : gained_)
        Cover(r);
    for (const std::uint32_t r : lost_)
        Uncover(r);
    int* e = Elems(p);
    if (useHolders_ && t_ >= 2) {
        int rest[kMaxWheelNumbers];
        int n = 0;
        for (int i = 0; i < k_; ++i)
            if (e[i] != x)
                rest[n++] = e[i];
        int key[kMaxWheelNumbers];
        ForEachSubset(rest, n, t_ - 2, [&](const int* q) {
            for (const auto& [out, in] : {std::pair{x, true}, std::pair{y, false}}) {
                // q plus `out`, ascending
                int j = 0;
                int w = 0;
                for (; j < t_ - 2 && q[j] < out; ++j)
                    key[w++] = q[j];
                key[w++] = out;
                for (; j < t_ - 2; ++j)
                    key[w++] = q[j];
                const std::uint32_t rank = Rank(key, t_ - 1);
                if (in)
                    HolderRemove(rank, static_cast<std::uint32_t>(p));
                else
                    holders_[rank].push_back(static_cast<std::uint32_t>(p));
            }
            return true;
        });
    }
    // Keep the play ascending: x out, y in.
    int* end = std::remove(e, e + k_, x);
    *(end) = y;
    std::sort(e, e + k_);
    masks_[p].Clear(x);
    masks_[p].Set(y);
}

// A uniformly chosen uncovered m-subset; stale list entries are dropped on the way.
std::uint32_t CoverSearch::SampleUncovered()
{
    for (;;) {
        const std::size_t i = static_cast<std::size_t>(rng_.Below(list_.size()));
        const std::uint32_t r = list_[i];
        if ((count_[r] & kCountBits) == 0)
            return r;
        count_[r] &= ~kListed;
        list_[i] = list_.back();
        list_.pop_back();
    }
}

void CoverSearch::KeepIfBest()
{
    if (uncovered_ != 0)
        return;
    if (best_.empty() || elems_.size() < best_.size())
        best_ = elems_;
}

// Plays whose every covered set is covered by another play too add nothing.
void CoverSearch::DropRedundant()
{
    if (SaturatingMul(perPlay_, Plays()) > kThoroughWork)
        return;  // too dear each time; the final wheel loses its repeated plays anyway
    for (std::size_t p = Plays(); p-- > 0;) {
        bool needed = false;
        ForEachCovered(Elems(p), [&](std::uint32_t r) { needed = needed || (count_[r] & kCountBits) == 1; });
        if (!needed)
            RemovePlay(p);
    }
}

std::size_t CoverSearch::LeastUsefulPlay()
{
    std::size_t bestPlay = 0;
    std::uint64_t fewest = ~std::uint64_t{0};
    // Where plays cover many sets each, a few plays at random stand for all of them.
    const bool sample = SaturatingMul(perPlay_, Plays()) > kThoroughWork;
    for (std::size_t i = 0; i < (sample ? kSampledPlays : Plays()); ++i) {
        const std::size_t p = sample ? static_cast<std::size_t>(rng_.Below(Plays())) : i;
        std::uint64_t only = 0;
        ForEachCovered(Elems(p), [&](std::uint32_t r) { only += (count_[r] & kCountBits) == 1 ? 1 : 0; });
        if (only < fewest) {
            fewest = only;
            bestPlay = p;
        }
    }
    return bestPlay;
}

void CoverSearch::Restore(const std::vector<int>& plays)
{
    while (Plays() > 0)
        RemovePlay(Plays() - 1);
    list_.clear();
    std::fill(count_.begin(), count_.end(), 0);
    uncovered_ = count_.size();
    for (std::size_t p = 0; p < plays.size(); p += static_cast<std::size_t>(k_))
        AddPlay(&plays[p]);
}
}  // namespace bm::wheels::cover
