#pragma once

#include <cstdint>
#include <vector>

#include "wheels/CoveringBounds.h"
#include "wheels/SubsetRanks.h"

namespace bm::wheels {

// A lotto design "t if t+1" on at most 64 numbers, kept play by play: for every m-set how many
// plays cover it (hold t of its numbers), and for every t-set T, as masks over the numbers z,
// the m-sets T+z that no play covers and those exactly one play covers. A swap is then priced by
// two mask counts for each (t-1)-subset of the play's other numbers, whatever v is; only an
// applied swap walks the m-sets it changes.
class LottoBits : private RankTable {
public:
    explicit LottoBits(const WheelShape& shape);
    static bool Fits(const WheelShape& shape);

    std::size_t Plays() const { return masks_.size(); }
    // The numbers of play p, ascending.
    const int* Elems(std::size_t p) const { return &elems_[p * static_cast<std::size_t>(k_)]; }
    const std::vector<int>& AllElems() const { return elems_; }
    std::uint64_t Mask(std::size_t p) const { return masks_[p]; }
    std::uint64_t Uncovered() const { return list_.size(); }
    // Subsets looked at so far: the measure of work.
    std::uint64_t Work() const { return work_; }

    void AddPlay(const int* sorted);
    // The last play takes p's place.
    void RemovePlay(std::size_t p);
    // The change in the number of uncovered m-sets if x leaves play p and y comes in.
    std::int64_t SwapDelta(std::size_t p, int x, int y) const;
    void Swap(std::size_t p, int x, int y);
    // The m-sets only play p covers.
    std::uint64_t OnlyBy(std::size_t p) const;
    // An uncovered m-set (there must be one), ascending: `below(n)` gives a uniform index below n.
    template <typename Below>
    void SampleUncovered(Below&& below, int* sorted) const
    {
        Unrank(list_[static_cast<std::size_t>(below(list_.size()))], t_ + 1, sorted);
    }
    // Everything kept, recounted from the plays: true when it all agrees.
    bool Consistent() const;

private:
    static constexpr std::uint32_t kNotListed = 0xFFFFFFFFu;
    // Calls fn(sorted m-set) for every m-set play `sorted` covers.
    template <typename Fn>
    void ForEachCovered(const int* sorted, std::uint64_t mask, Fn&& fn) const;
    // The m-set `sorted` is covered by one play more (+1) or one less (-1).
    void Change(const int* sorted, int by);
    // The rank of the sorted r-set `sorted` with e put in its place.
    std::uint32_t RankWith(const int* sorted, int r, int e) const;
    // The rank of the t-set q (t-1 numbers in any order) with e.
    std::uint32_t TRank(const int* q, int e) const;

    int v_, k_, t_;
    std::uint64_t all_;
    std::vector<int> elems_;
    std::vector<std::uint64_t> masks_;
    std::vector<std::uint32_t> count_;  // an m-set: the plays covering it
    std::vector<std::uint64_t> zeros_;  // a t-set: the z whose m-set T+z no play covers
    std::vector<std::uint64_t> ones_;   // a t-set: the z whose m-set T+z one play covers
    std::vector<std::uint32_t> list_;   // the uncovered m-sets
    std::vector<std::uint32_t> at_;     // an m-set: its place in list_, or kNotListed
    // Where v^t is small, the rank of every t-set by its numbers in any order, as digits base v:
    // the inner loops' ranks then cost one lookup.
    std::vector<std::uint32_t> dense_;
    mutable std::uint64_t work_ = 0;
};

}  // namespace bm::wheels
