#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "wheels/CoveringBounds.h"
#include "wheels/SubsetRanks.h"

namespace bm::wheels {

// The coverage of a lotto design ("t if m" with t < m) kept through the t-sets its plays hold:
// an m-set is covered when one of its t-subsets lies in some play. Besides how many held t-sets
// each m-set contains, every t-set knows the weight of the m-sets above it that contain no held
// t-set (what holding it would gain) and of those that contain it as their only held one (what
// letting it go would lose), so a swap is priced by a few lookups however many m-sets it
// touches; only an applied swap walks the m-sets above the t-sets that change. Weights start
// at 1, so that until one is raised prices are counts of uncovered sets.
class LottoState : private RankTable {
public:
    explicit LottoState(const WheelShape& shape);
    // Whether the shape is a lotto design this can hold.
    static bool Fits(const WheelShape& shape);

    std::size_t Plays() const { return elems_.size() / static_cast<std::size_t>(k_); }
    // The numbers of play p, ascending.
    const int* Elems(std::size_t p) const { return &elems_[p * static_cast<std::size_t>(k_)]; }
    const std::vector<int>& AllElems() const { return elems_; }
    bool Holds(std::size_t p, int e) const { return ((masks_[p * 2 + (e >> 6)] >> (e & 63)) & 1) != 0; }
    // How many of the n numbers (a bit mask of two words) play p holds.
    int Common(std::size_t p, const std::uint64_t* mask) const;
    std::uint64_t Uncovered() const { return uncovered_; }
    // Subsets looked at so far: the measure of work.
    std::uint64_t Work() const { return work_; }

    void AddPlay(const int* sorted);
    // Many plays (k numbers each, ascending, one after another) at once into a state with none:
    // one pass over the m-sets in order, much faster than adding them one by one.
    // `keepGoing`, when given, is asked every so many sets of the set-up (a large shape takes
    // seconds); false stops it, and the state is then of no use.
    bool AddPlays(const std::vector<int>& plays, const std::function<bool()>& keepGoing = {});
    // The last play takes p's place.
    void RemovePlay(std::size_t p);
    // The change in the weight of the uncovered m-sets if x leaves play p and y comes in (in
    // uncovered sets while every weight is 1).
    std::int64_t SwapDelta(std::size_t p, int x, int y) const;
    void Swap(std::size_t p, int x, int y);
    // The weight of the m-sets only play p covers, or a lower bound on it.
    std::uint64_t OnlyBy(std::size_t p) const;
    // The uncovered m-set d (ascending) weighs one more: the search is pushed to cover the sets
    // it keeps missing.
    void WeighSet(const int* d);

    // An uncovered m-set (there must be one) as its members, ascending: `below(n)` gives a
    // uniform index below n.
    template <typename Below>
    void SampleUncovered(Below&& below, int* sorted)
    {
        if (stale_)
            Relist();
        for (;;) {
            const std::size_t i = static_cast<std::size_t>(below(list_.size()));
            const std::uint32_t r = list_[i];
            if ((count_[r] & kCountBits) == 0) {
                Unrank(r, m_, sorted);
                return;
            }
            count_[r] &= ~kListed;
            list_[i] = list_.back();
            list_.pop_back();
        }
    }

    // Everything kept, recounted from the plays: true when it all agrees.
    bool Consistent() const;

private:
    // An m-set's word: how many of its t-subsets are held, whether it is listed, and its weight
    // (saturating), together so that walking m-sets misses the cache once each.
    static constexpr std::uint32_t kCountBits = 0x7Fu;
    static constexpr std::uint32_t kListed = 0x80u;
    static constexpr int kWeightShift = 8;
    static constexpr std::uint32_t kMaxWeight = 0xFFFFFFu;
    static std::uint64_t WeightOf(std::uint32_t word) { return word >> kWeightShift; }

    // The rank of the t members of d at the positions `at`.
    std::uint32_t RankIn(const int* d, const std::uint8_t* at) const
    {
        std::uint32_t rank = 0;
        for (int i = 0; i < t_; ++i)
            rank += C(d[at[i]], i + 1);
        return rank;
    }
    // The rank of sorted (r members) with z put in its place.
    std::uint32_t RankWith(const int* sorted, int r, int z) const;
    template <typename Fn>
    void ForEachAbove(const int* tset, Fn&& fn);
    void Hold(const int* tset);
    void Release(const int* tset);
    // The one held t-subset of m-set d other than `except`: priv_ and privUp_ follow it.
    void MoveAlone(const int* d, std::uint32_t except, bool gains, std::uint64_t by);
    void ListIfUncovered(std::uint32_t rank);
    void Relist();

    int v_, k_, m_, t_;
    std::vector<std::uint8_t> tOfM_;  // the positions of every t-subset of an m-set, one after another
    std::vector<int> elems_;
    std::vector<std::uint64_t> masks_;  // two words a play
    std::vector<std::uint32_t> held_;   // a t-set: the plays holding it
    // Sums of the weights of m-sets:
    std::vector<std::uint64_t> free_;     // a t-set: above it, with no held t-set
    std::vector<std::uint64_t> alone_;    // a t-set: above it, with it as their only held one
    std::vector<std::uint64_t> aloneUp_;  // a (t+1)-set: above it, whose only held t-set is in it
    // An m-set: its held t-subsets, kListed, and its weight: 1, and more the longer it stayed
    // uncovered.
    std::vector<std::uint32_t> count_;
    std::vector<int> batchSets_, batchRest_;
    std::vector<std::uint32_t> list_;  // uncovered m-sets, and some covered since
    std::uint64_t uncovered_ = 0;
    bool stale_ = true;  // the list does not yet hold the sets uncovered from the start
    mutable std::uint64_t work_ = 0;
};

}  // namespace bm::wheels
