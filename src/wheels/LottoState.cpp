#include "wheels/LottoState.h"

#include <algorithm>
#include <bit>

#include "wheels/SubsetRanks.h"
#include "wheels/WheelSearch.h"

namespace bm::wheels {

namespace {

// The numbers 0..v-1 not in `sorted` (n members).
int Outside(int v, const int* sorted, int n, int* out)
{
    int no = 0;
    for (int e = 0, j = 0; e < v; ++e) {
        if (j < n && sorted[j] == e)
            ++j;
        else
            out[no++] = e;
    }
    return no;
}

}  // namespace

bool LottoState::Fits(const WheelShape& s)
{
    if (s.t < 1 || s.t >= s.m || s.m > s.v || s.k > s.v || s.v > kMaxWheelNumbers)
        return false;
    const Binomials& c = Binomials::Table();
    return c(s.m, s.t) <= kCountBits && c(s.v, s.m) <= kMaxSearchSets && c(s.v, s.t + 1) <= kMaxSearchSets;
}

LottoState::LottoState(const WheelShape& s) : RankTable(s.v, s.m + 1), v_(s.v), k_(s.k), m_(s.m), t_(s.t)
{
    held_.assign(C(v_, t_), 0);
    free_.assign(C(v_, t_), C(v_ - t_, m_ - t_));
    alone_.assign(C(v_, t_), 0);
    aloneUp_.assign(C(v_, t_ + 1), 0);
    count_.assign(C(v_, m_), std::uint32_t{1} << kWeightShift);
    uncovered_ = count_.size();
    int all[kMaxWheelNumbers];
    for (int i = 0; i < m_; ++i)
        all[i] = i;
    ForEachSubset(all, m_, t_, [&](const int* subset) {
        for (int i = 0; i < t_; ++i)
            tOfM_.push_back(static_cast<std::uint8_t>(subset[i]));
        return true;
    });
}

int LottoState::Common(std::size_t p, const std::uint64_t* mask) const
{
    return std::popcount(masks_[p * 2] & mask[0]) + std::popcount(masks_[p * 2 + 1] & mask[1]);
}

std::uint32_t LottoState::RankWith(const int* sorted, int r, int z) const
{
    std::uint32_t rank = 0;
    int i = 0;
    for (; i < r && sorted[i] < z; ++i)
        rank += C(sorted[i], i + 1);
    rank += C(z, i + 1);
    for (; i < r; ++i)
        rank += C(sorted[i], i + 2);
    return rank;
}

void LottoState::ListIfUncovered(std::uint32_t rank)
{
    std::uint32_t& c = count_[rank];
    if ((c & kCountBits) == 0 && (c & kListed) == 0) {
        c |= kListed;
        list_.push_back(rank);
    }
}

void LottoState::Relist()
{
    stale_ = false;
    if (uncovered_ == 0)
        return;
    for (std::size_t r = 0; r < count_.size(); ++r)
        ListIfUncovered(static_cast<std::uint32_t>(r));
    work_ += count_.size();
}

void LottoState::MoveAlone(const int* d, std::uint32_t except, bool gains, std::uint64_t by)
{
    for (std::size_t at = 0; at < tOfM_.size(); at += static_cast<std::size_t>(t_)) {
        const std::uint32_t rank = RankIn(d, &tOfM_[at]);
        if (rank == except || held_[rank] == 0)
            continue;
        int s[kMaxWheelNumbers];
        for (int i = 0; i < t_; ++i)
            s[i] = d[tOfM_[at + static_cast<std::size_t>(i)]];
        alone_[rank] = gains ? alone_[rank] + by : alone_[rank] - by;
        for (int i = 0, j = 0; i < m_; ++i) {
            if (j < t_ && s[j] == d[i]) {
                ++j;
            } else {
                std::uint64_t& up = aloneUp_[RankWith(s, t_, d[i])];
                up = gains ? up + by : up - by;
            }
        }
        break;
    }
    work_ += static_cast<std::uint64_t>(C(m_, t_));
}

// Calls fn(rank, members, members outside tset) for every m-set above tset. They come in
// batches whose words are fetched ahead: walking them is bound by the cache misses.
template <typename Fn>
void LottoState::ForEachAbove(const int* tset, Fn&& fn)
{
    constexpr std::size_t kBatch = 64;
    int outside[kMaxWheelNumbers];
    const int no = Outside(v_, tset, t_, outside);
    const auto m = static_cast<std::size_t>(m_);
    const auto rest = static_cast<std::size_t>(m_ - t_);
    batchSets_.resize(kBatch * m);
    batchRest_.resize(kBatch * rest);
    std::uint32_t ranks[kBatch];
    std::size_t n = 0;
    const auto flush = [&]() {
        for (std::size_t i = 0; i < n; ++i)
            fn(ranks[i], &batchSets_[i * m], &batchRest_[i * rest]);
        n = 0;
    };
    ForEachSubset(outside, no, m_ - t_, [&](const int* b) {
        int* d = &batchSets_[n * m];
        std::merge(tset, tset + t_, b, b + (m_ - t_), d);
        std::copy(b, b + (m_ - t_), &batchRest_[n * rest]);
        ranks[n] = Rank(d, m_);
        __builtin_prefetch(&count_[ranks[n]], 1);
        if (++n == kBatch)
            flush();
        return true;
    });
    flush();
}

// held_[rank of tset] has just become 1: the m-sets above it gain a held t-set.
void LottoState::Hold(const int* tset)
{
    const std::uint32_t trank = Rank(tset, t_);
    std::uint64_t looked = 0;
    ForEachAbove(tset, [&](std::uint32_t r, const int* d, const int* b) {
        const std::uint32_t c = count_[r] & kCountBits;
        const std::uint64_t w = WeightOf(++count_[r]);
        ++looked;
        if (c == 0) {
            --uncovered_;
            for (std::size_t at = 0; at < tOfM_.size(); at += static_cast<std::size_t>(t_))
                free_[RankIn(d, &tOfM_[at])] -= w;
            alone_[trank] += w;
            for (int i = 0; i < m_ - t_; ++i)
                aloneUp_[RankWith(tset, t_, b[i])] += w;
            looked += C(m_, t_);
        } else if (c == 1) {
            MoveAlone(d, trank, false, w);
        }
    });
    work_ += looked;
}

// held_[rank of tset] has just become 0: the m-sets above it lose a held t-set.
void LottoState::Release(const int* tset)
{
    const std::uint32_t trank = Rank(tset, t_);
    std::uint64_t looked = 0;
    ForEachAbove(tset, [&](std::uint32_t r, const int* d, const int* b) {
        const std::uint32_t word = --count_[r];
        const std::uint32_t c = word & kCountBits;
        const std::uint64_t w = WeightOf(word);
        ++looked;
        if (c == 0) {
            ++uncovered_;
            ListIfUncovered(r);
            for (std::size_t at = 0; at < tOfM_.size(); at += static_cast<std::size_t>(t_))
                free_[RankIn(d, &tOfM_[at])] += w;
            alone_[trank] -= w;
            for (int i = 0; i < m_ - t_; ++i)
                aloneUp_[RankWith(tset, t_, b[i])] -= w;
            looked += C(m_, t_);
        } else if (c == 1) {
            MoveAlone(d, trank, true, w);
        }
    });
    work_ += looked;
}

void LottoState::AddPlay(const int* sorted)
{
    elems_.insert(elems_.end(), sorted, sorted + k_);
    masks_.push_back(0);
    masks_.push_back(0);
    const std::size_t p = Plays() - 1;
    for (int i = 0; i < k_; ++i)
        masks_[p * 2 + static_cast<std::size_t>(sorted[i] >> 6)] |= std::uint64_t{1} << (sorted[i] & 63);
    ForEachSubset(sorted, k_, t_, [&](const int* s) {
        if (held_[Rank(s, t_)]++ == 0)
            Hold(s);
        return true;
    });
}

bool LottoState::AddPlays(const std::vector<int>& plays, const std::function<bool()>& keepGoing)
{
    for (std::size_t at = 0; at < plays.size(); at += static_cast<std::size_t>(k_)) {
        const int* play = &plays[at];
        elems_.insert(elems_.end(), play, play + k_);
        masks_.push_back(0);
        masks_.push_back(0);
        const std::size_t p = Plays() - 1;
        for (int i = 0; i < k_; ++i)
            masks_[p * 2 + static_cast<std::size_t>(play[i] >> 6)] |= std::uint64_t{1} << (play[i] & 63);
        ForEachSubset(play, k_, t_, [&](const int* s) {
            ++held_[Rank(s, t_)];
            return true;
        });
    }
    // Every m-set in colex order, so that its rank is its place.
    int d[kMaxWheelNumbers];
    for (int i = 0; i < m_; ++i)
        d[i] = i;
    std::uint32_t ranks[kMaxWheelNumbers];  // C(m, t) < 128
    uncovered_ = 0;
    constexpr std::size_t kAskEvery = std::size_t{1} << 16;
    const std::uint64_t perSet = tOfM_.size() / static_cast<std::size_t>(t_);
    for (std::size_t r = 0; r < count_.size(); ++r) {
        if (r % kAskEvery == 0 && r > 0) {
            work_ += kAskEvery * perSet;
            if (keepGoing && !keepGoing())
                return false;
        }
        std::uint32_t held = 0;
        std::uint32_t only = 0;
        std::size_t n = 0;
        for (std::size_t at = 0; at < tOfM_.size(); at += static_cast<std::size_t>(t_), ++n) {
            ranks[n] = RankIn(d, &tOfM_[at]);
            if (held_[ranks[n]] > 0) {
                ++held;
                only = static_cast<std::uint32_t>(at);
            }
        }
        const std::uint64_t w = WeightOf(count_[r]);
        // The state starts with every set uncovered and free above every t-set.
        count_[r] += held;
        if (held == 0) {
            ++uncovered_;
        } else {
            for (std::size_t i = 0; i < n; ++i)
                free_[ranks[i]] -= w;
            if (held == 1) {
                int s[kMaxWheelNumbers];
                for (int i = 0; i < t_; ++i)
                    s[i] = d[tOfM_[only + static_cast<std::size_t>(i)]];
                alone_[Rank(s, t_)] += w;
                for (int i = 0, j = 0; i < m_; ++i) {
                    if (j < t_ && s[j] == d[i])
                        ++j;
                    else
                        aloneUp_[RankWith(s, t_, d[i])] += w;
                }
            }
        }
        // the next m-set in colex order
        int i = 0;
        while (i + 1 < m_ && d[i] + 1 == d[i + 1])
            ++i;
        ++d[i];
        for (int j = 0; j < i; ++j)
            d[j] = j;
    }
    work_ += (count_.size() - (count_.size() - 1) / kAskEvery * kAskEvery) * perSet;
    return true;
}

void LottoState::RemovePlay(std::size_t p)
{
    ForEachSubset(Elems(p), k_, t_, [&](const int* s) {
        if (--held_[Rank(s, t_)] == 0)
            Release(s);
        return true;
    });
    const std::size_t last = Plays() - 1;
    if (p != last) {
        std::copy(Elems(last), Elems(last) + k_, &elems_[p * static_cast<std::size_t>(k_)]);
        masks_[p * 2] = masks_[last * 2];
        masks_[p * 2 + 1] = masks_[last * 2 + 1];
    }
    elems_.resize(last * static_cast<std::size_t>(k_));
    masks_.resize(last * 2);
}

std::int64_t LottoState::SwapDelta(std::size_t p, int x, int y) const
{
    // Lost: m-sets whose only held t-set is S+x (which only p holds), unless they hold y as
    // well (then S+y covers them). Gained: m-sets with no held t-set above a new S+y. Neither
    // kind is counted twice, since two such t-sets in one m-set put t of p's numbers in it.
    int rest[kMaxWheelNumbers];
    int n = 0;
    for (const int* e = Elems(p); e != Elems(p) + k_; ++e)
        if (*e != x)
            rest[n++] = *e;
    std::int64_t delta = 0;
    int up[kMaxWheelNumbers];
    ForEachSubset(rest, n, t_ - 1, [&](const int* s) {
        const std::uint32_t lost = RankWith(s, t_ - 1, x);
        if (held_[lost] == 1) {
            int w = 0;
            for (int i = 0; i < t_ - 1 && s[i] < x; ++i, ++w)
                up[w] = s[i];
            up[w] = x;
            for (int i = w; i < t_ - 1; ++i)
                up[i + 1] = s[i];
            delta += static_cast<std::int64_t>(alone_[lost]) - static_cast<std::int64_t>(aloneUp_[RankWith(up, t_, y)]);
        }
        const std::uint32_t gained = RankWith(s, t_ - 1, y);
        if (held_[gained] == 0)
            delta -= static_cast<std::int64_t>(free_[gained]);
        return true;
    });
    work_ += 2 * static_cast<std::uint64_t>(C(k_ - 1, t_ - 1));
    return delta;
}

void LottoState::Swap(std::size_t p, int x, int y)
{
    int rest[kMaxWheelNumbers];
    int n = 0;
    for (const int* e = Elems(p); e != Elems(p) + k_; ++e)
        if (*e != x)
            rest[n++] = *e;
    int tset[kMaxWheelNumbers];
    const auto with = [&](const int* s, int z) {
        int w = 0;
        int i = 0;
        for (; i < t_ - 1 && s[i] < z; ++i)
            tset[w++] = s[i];
        tset[w++] = z;
        for (; i < t_ - 1; ++i)
            tset[w++] = s[i];
    };
    // Gains first, so that sets both lost and gained are never counted uncovered on the way.
    ForEachSubset(rest, n, t_ - 1, [&](const int* s) {
        with(s, y);
        if (held_[Rank(tset, t_)]++ == 0)
            Hold(tset);
        return true;
    });
    ForEachSubset(rest, n, t_ - 1, [&](const int* s) {
        with(s, x);
        if (--held_[Rank(tset, t_)] == 0)
            Release(tset);
        return true;
    });
    // x out, y in, ascending
    int* e = &elems_[p * static_cast<std::size_t>(k_)];
    int w = 0;
    bool placed = false;
    for (int i = 0; i < n; ++i) {
        if (!placed && y < rest[i]) {
            e[w++] = y;
            placed = true;
        }
        e[w++] = rest[i];
    }
    if (!placed)
        e[w] = y;
    masks_[p * 2 + static_cast<std::size_t>(x >> 6)] &= ~(std::uint64_t{1} << (x & 63));
    masks_[p * 2 + static_cast<std::size_t>(y >> 6)] |= std::uint64_t{1} << (y & 63);
}

std::uint64_t LottoState::OnlyBy(std::size_t p) const
{
    std::uint64_t only = 0;
    ForEachSubset(Elems(p), k_, t_, [&](const int* s) {
        const std::uint32_t r = Rank(s, t_);
        if (held_[r] == 1)
            only += alone_[r];
        return true;
    });
    work_ += C(k_, t_);
    return only;
}

void LottoState::WeighSet(const int* d)
{
    const std::uint32_t r = Rank(d, m_);
    if ((count_[r] & kCountBits) != 0 || WeightOf(count_[r]) >= kMaxWeight)
        return;
    count_[r] += std::uint32_t{1} << kWeightShift;
    for (std::size_t at = 0; at < tOfM_.size(); at += static_cast<std::size_t>(t_))
        ++free_[RankIn(d, &tOfM_[at])];
    work_ += C(m_, t_);
}

bool LottoState::Consistent() const
{
    std::vector<std::uint32_t> held(held_.size(), 0);
    for (std::size_t p = 0; p < Plays(); ++p)
        ForEachSubset(Elems(p), k_, t_, [&](const int* s) {
            ++held[Rank(s, t_)];
            return true;
        });
    if (held != held_)
        return false;
    std::vector<std::uint64_t> freeSets(free_.size(), 0);
    std::vector<std::uint64_t> alone(alone_.size(), 0);
    std::vector<std::uint64_t> aloneUp(aloneUp_.size(), 0);
    std::vector<bool> listed(count_.size(), false);
    for (const std::uint32_t r : list_)
        listed[r] = true;
    std::uint64_t uncovered = 0;
    int d[kMaxWheelNumbers];
    for (std::uint32_t r = 0; r < count_.size(); ++r) {
        Unrank(r, m_, d);
        std::uint32_t count = 0;
        const int* only = nullptr;
        int one[kMaxWheelNumbers];
        ForEachSubset(d, m_, t_, [&](const int* s) {
            if (held[Rank(s, t_)] > 0) {
                ++count;
                std::copy(s, s + t_, one);
                only = one;
            }
            return true;
        });
        if ((count_[r] & kCountBits) != count || ((count_[r] & kListed) != 0) != listed[r])
            return false;
        if (count == 0) {
            ++uncovered;
            if (!stale_ && !listed[r])
                return false;
            ForEachSubset(d, m_, t_, [&](const int* s) {
                freeSets[Rank(s, t_)] += WeightOf(count_[r]);
                return true;
            });
        } else if (count == 1) {
            alone[Rank(only, t_)] += WeightOf(count_[r]);
            for (int i = 0; i < m_; ++i)
                if (std::find(only, only + t_, d[i]) == only + t_)
                    aloneUp[RankWith(only, t_, d[i])] += WeightOf(count_[r]);
        }
    }
    return uncovered == uncovered_ && freeSets == free_ && alone == alone_ && aloneUp == aloneUp_;
}

}  // namespace bm::wheels
