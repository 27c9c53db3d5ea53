#include "wheels/WheelSearch.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <queue>

#include "wheels/DesignConstructions.h"
#include "wheels/LottoStarts.h"
#include "wheels/LottoState.h"
#include "wheels/OrbitSearch.h"
#include "wheels/SubsetRanks.h"

namespace bm::wheels {

namespace {

// Numbers 0..127 as bits.
struct Mask {
    std::uint64_t w[2] = {0, 0};
    void Set(int i) { w[i >> 6] |= std::uint64_t{1} << (i & 63); }
    void Clear(int i) { w[i >> 6] &= ~(std::uint64_t{1} << (i & 63)); }
    bool Has(int i) const { return ((w[i >> 6] >> (i & 63)) & 1) != 0; }
};

int Common(const Mask& a, const Mask& b)
{
    return std::popcount(a.w[0] & b.w[0]) + std::popcount(a.w[1] & b.w[1]);
}

// xoshiro256**, seeded by splitmix64: the same numbers on every platform, unlike the standard
// library's distributions.
class Rng {
public:
    explicit Rng(std::uint64_t seed)
    {
        for (auto& word : s_) {
            seed += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
    }
    std::uint64_t Next()
    {
        const std::uint64_t result = std::rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = std::rotl(s_[3], 45);
        return result;
    }
    // Uniform in 0..n-1 (n > 0).
    std::uint64_t Below(std::uint64_t n) { return n <= 1 ? 0 : Next() % n; }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t s_[4];
};

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
        : RankTable(s.v, s.m + 1), v_(s.v), k_(s.k), m_(s.m), t_(s.t), limits_(limits), rng_(limits.seed)
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

    void AddPlay(const int* play)
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

    void RemovePlay(std::size_t p)
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
    std::int64_t Evaluate(std::size_t p, int x, int y)
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

    void Apply(std::size_t p, int x, int y)
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
    std::uint32_t SampleUncovered()
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
            SearchProgress progress{rounds_, bestPlays, lotto_ ? lotto_->Plays() : Plays(),
                                    lotto_ ? lotto_->Uncovered() : uncovered_, work_ + partWork_};
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
    void Restore(const std::vector<int>& plays);
    void LottoDescend(std::vector<int> start, bool tryFamily = true);
    bool LottoSearch(LottoState& lotto);
    std::vector<int> FamilyStart();
    void CountLottoWork()
    {
        work_ += lotto_->Work() - lottoWork_;
        lottoWork_ = lotto_->Work();
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
    std::uint64_t lottoWork_ = 0;
    std::vector<std::uint64_t> tabu_;  // play * v + number: the move until which it may not come back in
};

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

// "3 if m": plays holding every triple of CyclicTripleFamily (so a wheel), first greedily, then
// fewer one at a time by a weighted tabu search on the family alone, whose swaps cost a few
// lookups. Its smallest cover, or empty. Gives up on a size after a fixed count of moves.
std::vector<int> CoverSearch::FamilyStart()
{
    constexpr std::uint64_t kMostCandidates = 4'000'000;
    constexpr std::uint64_t kPatience = 2'000'000;
    const std::vector<char> family = CyclicTripleFamily({v_, k_, m_, t_});
    if (family.empty())
        return {};
    const auto rank3 = [this](const int* q) { return C(q[0], 1) + C(q[1], 2) + C(q[2], 3); };
    std::vector<std::uint32_t> held(family.size(), 0);
    std::vector<std::uint32_t> weight(family.size(), 1);
    std::uint64_t open = 0;
    for (const char f : family)
        open += static_cast<std::uint64_t>(f);
    // The sum over the triples of play (k numbers, ascending) the family has and none holds.
    const auto gain = [&](const int* play) {
        std::uint64_t g = 0;
        ForEachSubset(play, k_, 3, [&](const int* q) {
            const std::uint32_t r = rank3(q);
            g += family[r] != 0 && held[r] == 0 ? 1 : 0;
            return true;
        });
        work_ += C(k_, 3);
        return g;
    };
    std::vector<int> plays;
    const auto take = [&](const int* play) {
        ForEachSubset(play, k_, 3, [&](const int* q) {
            const std::uint32_t r = rank3(q);
            if (held[r]++ == 0 && family[r] != 0)
                --open;
            return true;
        });
        plays.insert(plays.end(), play, play + k_);
    };
    // Lazy greedy, first over the split of a play between Vi and V(i+1) holding the most pairs
    // of one with a number of the other, then over all splits.
    int widest = 2;
    for (int a = 2; a <= k_; ++a)
        if (a * (a - 1) * (k_ - a) > widest * (widest - 1) * (k_ - widest))
            widest = a;
    for (const bool onlyBest : {true, false}) {
        const std::vector<int> candidates = CyclicPlays({v_, k_, m_, t_}, onlyBest ? widest : 2, onlyBest ? widest : k_, kMostCandidates);
        const std::size_t n = candidates.size() / static_cast<std::size_t>(k_);
        using Entry = std::pair<std::uint64_t, std::uint64_t>;  // gain, a seeded tie-break and the index
        std::priority_queue<Entry> heap;
        for (std::size_t i = 0; i < n; ++i)
            if (const std::uint64_t g = gain(&candidates[i * static_cast<std::size_t>(k_)]); g > 0)
                heap.emplace(g, (rng_.Next() << 32) | i);
        while (open > 0 && !heap.empty()) {
            if (!Poll())
                return {};
            const auto [was, key] = heap.top();
            heap.pop();
            const int* play = &candidates[(key & 0xFFFFFFFFu) * static_cast<std::size_t>(k_)];
            const std::uint64_t now = gain(play);
            if (now == 0)
                continue;
            if (now < was && !heap.empty() && now < heap.top().first) {
                heap.emplace(now, key);
                continue;
            }
            take(play);
        }
    }
    if (open > 0)
        return {};
    // Every triple of the family held makes a wheel (see CyclicTripleFamily).
    const auto keep = [&]() {
        if (best_.empty() || plays.size() < best_.size())
            best_ = plays;
    };
    keep();
    std::vector<int> bestPlays = plays;
    const auto count = [&]() { return plays.size() / static_cast<std::size_t>(k_); };
    std::vector<std::uint64_t> masks;
    for (std::size_t p = 0; p < count(); ++p) {
        masks.push_back(0);
        masks.push_back(0);
        for (int i = 0; i < k_; ++i) {
            const int e = plays[p * static_cast<std::size_t>(k_) + static_cast<std::size_t>(i)];
            masks[p * 2 + static_cast<std::size_t>(e >> 6)] |= std::uint64_t{1} << (e & 63);
        }
    }
    const auto holds = [&](std::size_t p, int e) { return ((masks[p * 2 + static_cast<std::size_t>(e >> 6)] >> (e & 63)) & 1) != 0; };
    std::vector<std::uint32_t> openList;
    const auto v = static_cast<std::size_t>(v_);
    std::vector<std::uint64_t> tabu(count() * v, 0);
    // Calls fn(rank with x, rank with y) for the pairs of play p other than x.
    const auto forPairs = [&](std::size_t p, int x, int y, auto&& fn) {
        int rest[kMaxWheelNumbers];
        int n = 0;
        for (int i = 0; i < k_; ++i)
            if (const int e = plays[p * static_cast<std::size_t>(k_) + static_cast<std::size_t>(i)]; e != x)
                rest[n++] = e;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                int a[3] = {rest[i], rest[j], x};
                int b[3] = {rest[i], rest[j], y};
                for (int h = 2; h > 0 && a[h - 1] > a[h]; --h)
                    std::swap(a[h - 1], a[h]);
                for (int h = 2; h > 0 && b[h - 1] > b[h]; --h)
                    std::swap(b[h - 1], b[h]);
                fn(rank3(a), rank3(b));
            }
        work_ += static_cast<std::uint64_t>(n * (n - 1) / 2);
    };
    std::uint64_t step = 0;
    while (count() > stopAt_ && count() > 1) {
        // The play holding the lightest family triples no other play holds goes.
        std::size_t drop = 0;
        std::uint64_t fewest = ~std::uint64_t{0};
        for (std::size_t p = 0; p < count(); ++p) {
            std::uint64_t only = 0;
            ForEachSubset(&plays[p * static_cast<std::size_t>(k_)], k_, 3, [&](const int* q) {
                const std::uint32_t r = rank3(q);
                only += family[r] != 0 && held[r] == 1 ? weight[r] : 0;
                return true;
            });
            if (only < fewest) {
                fewest = only;
                drop = p;
            }
        }
        const std::size_t last = count() - 1;
        ForEachSubset(&plays[drop * static_cast<std::size_t>(k_)], k_, 3, [&](const int* q) {
            const std::uint32_t r = rank3(q);
            if (--held[r] == 0 && family[r] != 0) {
                ++open;
                openList.push_back(r);
            }
            return true;
        });
        std::copy(plays.begin() + static_cast<std::ptrdiff_t>(last * static_cast<std::size_t>(k_)), plays.end(),
                  plays.begin() + static_cast<std::ptrdiff_t>(drop * static_cast<std::size_t>(k_)));
        plays.resize(last * static_cast<std::size_t>(k_));
        masks[drop * 2] = masks[last * 2];
        masks[drop * 2 + 1] = masks[last * 2 + 1];
        masks.resize(last * 2);
        std::copy(tabu.begin() + static_cast<std::ptrdiff_t>(last * v), tabu.end(), tabu.begin() + static_cast<std::ptrdiff_t>(drop * v));
        tabu.resize(last * v);
        const std::uint64_t started = step;
        while (open > 0) {
            if (!Poll() || step - started >= kPatience)
                return bestPlays;
            ++step;
            // an open triple, stale entries dropped on the way
            std::size_t at = static_cast<std::size_t>(rng_.Below(openList.size()));
            while (held[openList[at]] != 0) {
                openList[at] = openList.back();
                openList.pop_back();
                at = static_cast<std::size_t>(rng_.Below(openList.size()));
            }
            int q[3];
            UnrankInto(openList[at], 3, q, Binomials::Table());
            std::uint64_t qmask[2] = {0, 0};
            for (const int e : q)
                qmask[e >> 6] |= std::uint64_t{1} << (e & 63);
            SwapChoice best;
            bool any = false;
            for (std::size_t p = 0; p < count(); ++p) {
                if (std::popcount(masks[p * 2] & qmask[0]) + std::popcount(masks[p * 2 + 1] & qmask[1]) != 2)
                    continue;
                any = true;
                const int y = !holds(p, q[0]) ? q[0] : !holds(p, q[1]) ? q[1] : q[2];
                if (tabu[p * v + static_cast<std::size_t>(y)] > step)
                    continue;
                for (int i = 0; i < k_; ++i) {
                    const int x = plays[p * static_cast<std::size_t>(k_) + static_cast<std::size_t>(i)];
                    if (((qmask[x >> 6] >> (x & 63)) & 1) != 0)
                        continue;
                    std::int64_t delta = 0;
                    forPairs(p, x, y, [&](std::uint32_t lost, std::uint32_t gained) {
                        if (family[lost] != 0 && held[lost] == 1)
                            delta += weight[lost];
                        if (family[gained] != 0 && held[gained] == 0)
                            delta -= weight[gained];
                    });
                    best.Offer(delta, p, x, y, rng_);
                }
            }
            if (best.x >= 0 && best.delta > 0) {
                ++weight[openList[at]];
                continue;
            }
            if (best.x < 0 && any)
                continue;  // every play holding two of it is tabu for it
            if (best.x < 0) {  // none holds two of it: any play one number closer
                best.p = static_cast<std::size_t>(rng_.Below(count()));
                const int* e = &plays[best.p * static_cast<std::size_t>(k_)];
                do
                    best.x = e[rng_.Below(static_cast<std::uint64_t>(k_))];
                while (((qmask[best.x >> 6] >> (best.x & 63)) & 1) != 0);
                do
                    best.y = q[rng_.Below(3)];
                while (holds(best.p, best.y));
            }
            forPairs(best.p, best.x, best.y, [&](std::uint32_t lost, std::uint32_t gained) {
                if (held[gained]++ == 0 && family[gained] != 0)
                    --open;
                if (--held[lost] == 0 && family[lost] != 0) {
                    ++open;
                    openList.push_back(lost);
                }
            });
            int* e = &plays[best.p * static_cast<std::size_t>(k_)];
            *std::find(e, e + k_, best.x) = best.y;
            for (int i = 1; i < k_; ++i)
                for (int h = i; h > 0 && e[h - 1] > e[h]; --h)
                    std::swap(e[h - 1], e[h]);
            masks[best.p * 2 + static_cast<std::size_t>(best.x >> 6)] &= ~(std::uint64_t{1} << (best.x & 63));
            masks[best.p * 2 + static_cast<std::size_t>(best.y >> 6)] |= std::uint64_t{1} << (best.y & 63);
            tabu[best.p * v + static_cast<std::size_t>(best.x)] = step + kTabuTenure + rng_.Below(kTabuTenure + 1);
        }
        bestPlays = plays;
        keep();
    }
    return bestPlays;
}

// Lotto designs: one play less at a time, then a tabu search at that size until it covers.
void CoverSearch::LottoDescend(std::vector<int> start, bool tryFamily)
{
    std::vector<int> family = tryFamily ? FamilyStart() : std::vector<int>{};
    const bool fromFamily = !family.empty() && family.size() < start.size();
    if (fromFamily)
        start = std::move(family);
    if (fromFamily && (stopped_ || (limits_.maxRounds >= 0 && rounds_ >= limits_.maxRounds)))
        return;  // its best is kept already
    LottoState lotto({v_, k_, m_, t_});
    lotto_ = &lotto;
    lottoWork_ = 0;
    // Setting up a large shape takes seconds: the time limit and Ctrl+C are heard meanwhile.
    const bool setUp = lotto.AddPlays(start, [this] {
        CountLottoWork();
        return Poll();
    });
    CountLottoWork();
    if (!setUp) {
        lotto_ = nullptr;
        return;
    }
    if (lotto.Uncovered() == 0 && (best_.empty() || lotto.AllElems().size() < best_.size()))
        best_ = lotto.AllElems();
    if (stopped_ || (limits_.maxRounds >= 0 && rounds_ >= limits_.maxRounds)) {
        lotto_ = nullptr;
        return;
    }
    // The counts by play are not needed from here on.
    std::vector<std::uint32_t>().swap(count_);
    std::vector<std::uint32_t>().swap(list_);
    std::vector<std::vector<std::uint32_t>>().swap(holders_);
    const auto v = static_cast<std::size_t>(v_);
    tabu_.assign(lotto.Plays() * v, 0);
    while (lotto.Plays() > stopAt_ && lotto.Plays() > 1) {
        // The play covering the fewest sets alone goes.
        std::size_t drop = 0;
        std::uint64_t fewest = ~std::uint64_t{0};
        const std::size_t plays = lotto.Plays();
        const auto from = static_cast<std::size_t>(rng_.Below(plays));
        for (std::size_t i = 0; i < plays; ++i) {
            const std::size_t p = (from + i) % plays;
            const std::uint64_t only = lotto.OnlyBy(p);
            if (only < fewest) {
                fewest = only;
                drop = p;
            }
        }
        lotto.RemovePlay(drop);
        std::copy(tabu_.begin() + static_cast<std::ptrdiff_t>((plays - 1) * v), tabu_.begin() + static_cast<std::ptrdiff_t>(plays * v),
                  tabu_.begin() + static_cast<std::ptrdiff_t>(drop * v));
        tabu_.resize((plays - 1) * v);
        if (!LottoSearch(lotto))
            break;
        best_ = lotto.AllElems();
    }
    lotto_ = nullptr;
}

// Weighted tabu search at a fixed size: for a random uncovered set, of all swaps that make a play
// cover it the one leaving the lightest uncovered sets, unless it brings back a number lately
// taken out of that play. When none makes things lighter, the set weighs more instead.
bool CoverSearch::LottoSearch(LottoState& lotto)
{
    int d[kMaxWheelNumbers];
    const auto v = static_cast<std::size_t>(v_);
    while (lotto.Uncovered() > 0) {
        CountLottoWork();
        if (!Poll())
            return false;
        lotto.SampleUncovered([this](std::size_t n) { return rng_.Below(n); }, d);
        std::uint64_t dmask[2] = {0, 0};
        for (int i = 0; i < m_; ++i)
            dmask[d[i] >> 6] |= std::uint64_t{1} << (d[i] & 63);
        const auto inD = [&](int e) { return ((dmask[e >> 6] >> (e & 63)) & 1) != 0; };
        SwapChoice best;
        for (std::size_t p = 0; p < lotto.Plays(); ++p) {
            if (lotto.Common(p, dmask) != t_ - 1)
                continue;
            const int* e = lotto.Elems(p);
            for (int i = 0; i < k_; ++i) {
                if (inD(e[i]))
                    continue;
                for (int j = 0; j < m_; ++j) {
                    if (lotto.Holds(p, d[j]))
                        continue;
                    if (tabu_[p * v + static_cast<std::size_t>(d[j])] > moves_)
                        continue;
                    const std::int64_t delta = lotto.SwapDelta(p, e[i], d[j]);
                    best.Offer(delta, p, e[i], d[j], rng_);
                }
            }
        }
        if (best.x >= 0 && best.delta >= 0) {
            // Nothing better for d: it weighs more, until covering it pays.
            lotto.WeighSet(d);
            ++moves_;
            work_ += kMoveOverhead;
            continue;
        }
        if (best.x < 0) {  // no play holds t-1 of d, or every swap is tabu: any play one number closer
            best.p = static_cast<std::size_t>(rng_.Below(lotto.Plays()));
            int xs[kMaxWheelNumbers] = {};
            int ys[kMaxWheelNumbers] = {};
            int nx = 0;
            int ny = 0;
            const int* e = lotto.Elems(best.p);
            for (int i = 0; i < k_; ++i)
                if (!inD(e[i]))
                    xs[nx++] = e[i];
            for (int j = 0; j < m_; ++j)
                if (!lotto.Holds(best.p, d[j]))
                    ys[ny++] = d[j];
            best.x = xs[rng_.Below(static_cast<std::uint64_t>(nx))];
            best.y = ys[rng_.Below(static_cast<std::uint64_t>(ny))];
        }
        lotto.Swap(best.p, best.x, best.y);
        tabu_[best.p * v + static_cast<std::size_t>(best.x)] = moves_ + kTabuTenure + rng_.Below(kTabuTenure + 1);
        ++moves_;
        work_ += kMoveOverhead;
    }
    return true;
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
                                      best_.begin() + static_cast<std::ptrdiff_t>((p + 1) * static_cast<std::size_t>(k_)));
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

}  // namespace

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
    CoverSearch search(shape, limits);
    return search.Run();
}

}  // namespace bm::wheels
