#pragma once

// The search behind BuildWheel, shared by the files that hold its parts: the counts it keeps by
// m-set (CoverCounts.cpp), greedy starts (CoverGreedy.cpp), annealing (CoverAnneal.cpp), the other
// starts (CoverStarts.cpp, FamilyStart.cpp), the lotto descent (LottoDescent.cpp) and the run
// itself (WheelSearch.cpp).

#include <algorithm>
#include <cstdint>
#include <vector>

#include "wheels/LottoBits.h"
#include "wheels/LottoState.h"
#include "wheels/PlayMask.h"
#include "wheels/SearchRng.h"
#include "wheels/SubsetRanks.h"
#include "wheels/WheelSearch.h"

namespace bm::wheels::cover {

constexpr std::uint32_t kListed = 0x80000000u;  // the set sits in the uncovered list
constexpr std::uint32_t kCountBits = 0x7FFFFFFFu;
// Work counted per move besides the subsets it looks at.
constexpr std::uint64_t kMoveOverhead = 24;
constexpr std::uint64_t kWorkPerRound = std::uint64_t{1} << 20;
// Work above which the whole wheel is not looked over after every size.
constexpr std::uint64_t kThoroughWork = 8'000'000;
constexpr std::size_t kSampledPlays = 8;
// The orbit search's rounds: at most this many, and one per so many sets to cover.
constexpr std::uint64_t kOrbitRounds = 400;
constexpr std::uint64_t kSetsPerOrbitRound = 8;
// Moves for which a number taken out of a play may not come back (and as many again at random).
constexpr std::uint64_t kTabuTenure = 30;
// The same for the plain tabu search of "t if t+1" designs (and a quarter again at random).
constexpr std::uint64_t kPlainTenure = 10;
// Moves the plain tabu search gets at a size before it starts again (twice as many each time).
constexpr std::uint64_t kPlainPatience = 200'000;

// The swap with the lowest delta offered so far; among equals each is kept with the same chance.
struct SwapChoice {
    std::size_t p = 0;
    int x = -1;  // -1: none offered yet
    int y = -1;
    std::int64_t delta = 0;
    std::uint64_t ties = 0;

    template <typename Rng>
    void Offer(std::int64_t d, std::size_t play, int out, int in, Rng& rng)
    {
        if (x < 0 || d < delta)
            ties = 1;
        else if (d > delta || rng.Below(++ties) != 0)
            return;
        p = play;
        x = out;
        y = in;
        delta = d;
    }
};

class CoverSearch : private RankTable {
public:
    CoverSearch(const WheelShape& s, const SearchLimits& limits)
        : RankTable(s.v, s.m + 1),
          v_(s.v),
          k_(s.k),
          m_(s.m),
          t_(s.t),
          limits_(limits),
          rng_(limits.seed)
    {
        const Binomials& c = Binomials::Table();
        count_.assign(static_cast<std::size_t>(c(v_, m_)), 0);
        const std::uint64_t holderSets = c(v_, t_ - 1);
        useHolders_ = holderSets <= (std::uint64_t{1} << 20);
        if (useHolders_)
            holders_.resize(static_cast<std::size_t>(holderSets));
        perPlay_ = SetsOnePlayCovers(s);
        stopAt_ = limits.stopAtPlays != 0 ? limits.stopAtPlays : KnownLowerBound(s).plays;
    }

    SearchResult Run();

private:
    // The rank of R (m-1 members, ascending) with z put in its place.
    std::uint32_t RankWith(const int* r, int z) const
    {
        std::uint32_t rank = 0;
        int i = 0;
        for (; i < m_ - 1 && r[i] < z; ++i)
            rank += C(r[i], i + 1);
        rank += C(z, i + 1);
        for (; i < m_ - 1; ++i)
            rank += C(r[i], i + 2);
        return rank;
    }
    const int* Elems(std::size_t p) const { return &elems_[p * static_cast<std::size_t>(k_)]; }
    int* Elems(std::size_t p) { return &elems_[p * static_cast<std::size_t>(k_)]; }
    std::size_t Plays() const { return masks_.size(); }

    // Calls fn(rank) for every m-subset the play covers.
    template <typename Fn>
    void ForEachCovered(const int* play, Fn&& fn)
    {
        int outside[kMaxWheelNumbers];
        int n = 0;
        for (int e = 0, j = 0; e < v_; ++e) {
            if (j < k_ && play[j] == e)
                ++j;
            else
                outside[n++] = e;
        }
        int merged[kMaxWheelNumbers];
        for (int i = t_; i <= std::min(k_, m_); ++i) {
            ForEachSubset(play, k_, i, [&](const int* a) {
                return ForEachSubset(outside, n, m_ - i, [&](const int* b) {
                    std::merge(a, a + i, b, b + (m_ - i), merged);
                    fn(Rank(merged, m_));
                    return true;
                });
            });
        }
        work_ += perPlay_ + kMoveOverhead;
    }

    // Calls fn(rank with x, rank with y) for every m-subset R + x the play loses and R + y it
    // gains when x leaves it and y comes in: R holds t-1 of the play's other numbers and m-t
    // numbers from outside it other than y.
    template <typename Fn>
    void ForEachSwapped(const int* play, int x, int y, Fn&& fn)
    {
        int inside[kMaxWheelNumbers];
        int outside[kMaxWheelNumbers];
        int ni = 0;
        int no = 0;
        for (int e = 0, j = 0; e < v_; ++e) {
            if (j < k_ && play[j] == e) {
                ++j;
                if (e != x)
                    inside[ni++] = e;
            } else if (e != y) {
                outside[no++] = e;
            }
        }
        int merged[kMaxWheelNumbers];
        std::uint64_t looked = 0;
        ForEachSubset(inside, ni, t_ - 1, [&](const int* a) {
            return ForEachSubset(outside, no, m_ - t_, [&](const int* b) {
                std::merge(a, a + (t_ - 1), b, b + (m_ - t_), merged);
                fn(RankWith(merged, x), RankWith(merged, y));
                ++looked;
                return true;
            });
        });
        work_ += looked + kMoveOverhead;
    }

    void Cover(std::uint32_t rank)
    {
        std::uint32_t& c = count_[rank];
        if ((c & kCountBits) == 0)
            --uncovered_;
        ++c;
    }
    void Uncover(std::uint32_t rank)
    {
        std::uint32_t& c = count_[rank];
        --c;
        if ((c & kCountBits) == 0) {
            ++uncovered_;
            if ((c & kListed) == 0) {
                c |= kListed;
                list_.push_back(rank);
            }
        }
    }

    template <typename Fn>
    void ForEachHolderKey(const int* play, Fn&& fn)
    {
        ForEachSubset(play, k_, t_ - 1, [&](const int* q) {
            fn(Rank(q, t_ - 1));
            return true;
        });
    }
    void HolderRemove(std::uint32_t key, std::uint32_t p)
    {
        auto& list = holders_[key];
        const auto at = std::find(list.begin(), list.end(), p);
        *at = list.back();
        list.pop_back();
    }

    void AddPlay(const int* play);
    void RemovePlay(std::size_t p);
    // The change in uncovered sets if x leaves play p and y comes in; the ranks are kept for Apply.
    std::int64_t Evaluate(std::size_t p, int x, int y);
    void Apply(std::size_t p, int x, int y);
    // A uniformly chosen uncovered m-subset; stale list entries are dropped on the way.
    std::uint32_t SampleUncovered();
    bool RoundDone()
    {
        if (work_ < nextRound_)
            return false;
        nextRound_ = work_ + kWorkPerRound;
        ++rounds_;
        return true;
    }
    // Once a round: the budget and the caller's say. False ends the search.
    bool Poll()
    {
        if (!RoundDone())
            return true;
        if (limits_.maxRounds >= 0 && rounds_ >= limits_.maxRounds)
            return false;
        if (limits_.keepGoing) {
            std::size_t bestPlays = best_.size() / static_cast<std::size_t>(k_);
            if (orbitBest_ != 0 && (bestPlays == 0 || orbitBest_ < bestPlays))
                bestPlays = orbitBest_;
            SearchProgress progress{rounds_, bestPlays, lotto_ ? lotto_->Plays() : (bits_ ? bits_->Plays() : Plays()),
                                    lotto_ ? lotto_->Uncovered() : (bits_ ? bits_->Uncovered() : uncovered_),
                                    work_ + partWork_};
            if (!limits_.keepGoing(progress)) {
                stopped_ = true;
                return false;
            }
        }
        return true;
    }

    bool Greedy();
    std::vector<Play> PartitionStart();
    bool OrbitStart();
    bool LazyGreedy();
    bool SampledGreedy();
    void KeepIfBest();
    void DropRedundant();
    std::size_t LeastUsefulPlay();
    enum class Outcome { Covered, OutOfMoves, Stopped };
    Outcome Anneal(std::uint64_t maxMoves);
    // A plain tabu search at bits' size for at most `patience` moves.
    Outcome BitsSearch(LottoBits& bits, std::uint64_t patience);
    void Restore(const std::vector<int>& plays);
    void LottoDescend(std::vector<int> start, bool tryFamily = true);
    bool LottoSearch(LottoState& lotto);
    void BitsDescend(const std::vector<int>& start);
    std::vector<int> FamilyStart(std::size_t toBeat = 0);
    void CountLottoWork()
    {
        const std::uint64_t lottoWork = lotto_ ? lotto_->Work() : bits_->Work();
        work_ += lottoWork - lottoWork_;
        lottoWork_ = lottoWork;
    }

    int v_, k_, m_, t_;
    SearchLimits limits_;
    Rng rng_;
    std::uint64_t stopAt_ = 0;
    std::uint64_t perPlay_ = 0;
    std::vector<std::uint32_t> count_;
    std::vector<std::uint32_t> list_;
    std::uint64_t uncovered_ = 0;
    std::vector<int> elems_;
    std::vector<Mask> masks_;
    bool useHolders_ = false;
    std::vector<std::vector<std::uint32_t>> holders_;
    std::vector<std::uint32_t> lost_, gained_;
    std::vector<int> best_;  // the best complete wheel, plays one after another
    std::uint64_t work_ = 0;
    std::uint64_t partWork_ = 0;  // the work of the coverings of the parts, told apart from the rounds'
    std::uint64_t nextRound_ = kWorkPerRound;
    std::int64_t rounds_ = 0;
    bool stopped_ = false;
    std::size_t orbitBest_ = 0;  // the orbit search's best while it runs
    double temperature_ = 0.0;
    double scale_ = 0.0;
    std::uint64_t rises_ = 0;
    std::int64_t riseSum_ = 0;
    std::uint64_t moves_ = 0;
    std::vector<std::uint32_t> keys_;
    LottoState* lotto_ = nullptr;
    LottoBits* bits_ = nullptr;
    std::uint64_t lottoWork_ = 0;
    std::vector<std::uint64_t> tabu_;  // play * v + number: the move until which it may not come back in
};

}  // namespace bm::wheels::cover
