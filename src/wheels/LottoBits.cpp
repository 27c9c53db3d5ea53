#include "wheels/LottoBits.h"

#include <algorithm>
#include <bit>

namespace bm::wheels {

namespace {

// Kept small enough that the counts, the list and the masks stay within a few hundred MB.
constexpr std::uint64_t kMaxSets = 8'000'000;
constexpr std::uint64_t kMaxTSets = 4'000'000;
constexpr std::uint64_t kMaxDense = std::uint64_t{1} << 20;

// Set bits by halves, quarters and so on: std::popcount is a library call on the baseline x86-64
// the program is built for, and it was a tenth of a search's time.
int Ones(std::uint64_t x)
{
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

}  // namespace

bool LottoBits::Fits(const WheelShape& s)
{
    const Binomials& c = Binomials::Table();
    return s.t >= 1 && s.m == s.t + 1 && s.k >= s.t && s.k < s.v && s.v <= 64 && c(s.v, s.m) <= kMaxSets &&
           c(s.v, s.t) <= kMaxTSets;
}

LottoBits::LottoBits(const WheelShape& s)
    : RankTable(s.v, s.t + 1),
      v_(s.v),
      k_(s.k),
      t_(s.t),
      all_(s.v == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << s.v) - 1)
{
    const std::uint32_t sets = C(v_, t_ + 1);
    count_.assign(sets, 0);
    at_.resize(sets);
    list_.resize(sets);
    for (std::uint32_t r = 0; r < sets; ++r) {
        list_[r] = r;
        at_[r] = r;
    }
    // With no plays every m-set above a t-set is uncovered: each of its other numbers.
    zeros_.resize(C(v_, t_));
    int tset[Binomials::kMaxN];
    for (std::uint32_t r = 0; r < zeros_.size(); ++r) {
        Unrank(r, t_, tset);
        std::uint64_t in = 0;
        for (int i = 0; i < t_; ++i)
            in |= std::uint64_t{1} << tset[i];
        zeros_[r] = all_ & ~in;
    }
    ones_.assign(zeros_.size(), 0);
    std::uint64_t cells = 1;
    for (int i = 0; i < t_ && cells <= kMaxDense; ++i)
        cells *= static_cast<std::uint64_t>(v_);
    if (cells <= kMaxDense) {
        dense_.assign(cells, 0);
        for (std::uint32_t r = 0; r < zeros_.size(); ++r) {
            Unrank(r, t_, tset);
            do {
                std::uint64_t at = 0;
                for (int i = 0; i < t_; ++i)
                    at = at * static_cast<std::uint64_t>(v_) + static_cast<std::uint64_t>(tset[i]);
                dense_[at] = r;
            } while (std::next_permutation(tset, tset + t_));
        }
    }
}

std::uint32_t LottoBits::TRank(const int* q, int e) const
{
    if (dense_.empty()) {
        int sorted[Binomials::kMaxN];
        std::copy(q, q + t_ - 1, sorted);
        std::sort(sorted, sorted + t_ - 1);
        return RankWith(sorted, t_ - 1, e);
    }
    std::uint32_t at = 0;
    for (int i = 0; i < t_ - 1; ++i)
        at = at * static_cast<std::uint32_t>(v_) + static_cast<std::uint32_t>(q[i]);
    return dense_[at * static_cast<std::uint32_t>(v_) + static_cast<std::uint32_t>(e)];
}

std::uint32_t LottoBits::RankWith(const int* sorted, int r, int e) const
{
    std::uint32_t rank = 0;
    int i = 0;
    int at = 1;
    for (; i < r && sorted[i] < e; ++i, ++at)
        rank += C(sorted[i], at);
    rank += C(e, at++);
    for (; i < r; ++i, ++at)
        rank += C(sorted[i], at);
    return rank;
}

template <typename Fn>
void LottoBits::ForEachCovered(const int* sorted, std::uint64_t mask, Fn&& fn) const
{
    // m-sets inside the play, and t of its numbers with one from outside.
    ForEachSubset(sorted, k_, t_ + 1, [&](const int* s) {
        fn(s);
        return true;
    });
    int set[Binomials::kMaxN];
    ForEachSubset(sorted, k_, t_, [&](const int* s) {
        for (std::uint64_t out = all_ & ~mask; out != 0; out &= out - 1) {
            const int z = std::countr_zero(out);
            int i = t_;
            for (; i > 0 && s[i - 1] > z; --i)
                set[i] = s[i - 1];
            set[i] = z;
            std::copy(s, s + i, set);
            fn(static_cast<const int*>(set));
        }
        return true;
    });
}

void LottoBits::Change(const int* sorted, int by)
{
    const std::uint32_t rank = Rank(sorted, t_ + 1);
    const std::uint32_t before = count_[rank];
    const std::uint32_t after = by > 0 ? before + 1 : before - 1;
    count_[rank] = after;
    ++work_;
    if (before > 1 && after > 1)
        return;
    // Each of its t-subsets T sees it as T + the number left out.
    for (int leave = 0; leave <= t_; ++leave) {
        std::uint32_t r = 0;
        if (dense_.empty()) {
            for (int i = 0, at = 1; i <= t_; ++i)
                if (i != leave)
                    r += C(sorted[i], at++);
        } else {
            for (int i = 0; i <= t_; ++i)
                if (i != leave)
                    r = r * static_cast<std::uint32_t>(v_) + static_cast<std::uint32_t>(sorted[i]);
            r = dense_[r];
        }
        const std::uint64_t bit = std::uint64_t{1} << sorted[leave];
        if (before == 0)
            zeros_[r] &= ~bit;
        else if (before == 1)
            ones_[r] &= ~bit;
        if (after == 0)
            zeros_[r] |= bit;
        else if (after == 1)
            ones_[r] |= bit;
    }
    if (before == 0) {
        const std::uint32_t at = at_[rank];
        list_[at] = list_.back();
        at_[list_[at]] = at;
        list_.pop_back();
        at_[rank] = kNotListed;
    } else if (after == 0) {
        at_[rank] = static_cast<std::uint32_t>(list_.size());
        list_.push_back(rank);
    }
}

void LottoBits::AddPlay(const int* sorted)
{
    std::uint64_t mask = 0;
    for (int i = 0; i < k_; ++i)
        mask |= std::uint64_t{1} << sorted[i];
    elems_.insert(elems_.end(), sorted, sorted + k_);
    masks_.push_back(mask);
    ForEachCovered(sorted, mask, [&](const int* s) { Change(s, +1); });
}

void LottoBits::RemovePlay(std::size_t p)
{
    const auto k = static_cast<std::size_t>(k_);
    const std::vector<int> gone(elems_.begin() + static_cast<std::ptrdiff_t>(p * k),
                                elems_.begin() + static_cast<std::ptrdiff_t>((p + 1) * k));
    ForEachCovered(gone.data(), masks_[p], [&](const int* s) { Change(s, -1); });
    const std::size_t last = masks_.size() - 1;
    std::copy(elems_.begin() + static_cast<std::ptrdiff_t>(last * k), elems_.end(),
              elems_.begin() + static_cast<std::ptrdiff_t>(p * k));
    elems_.resize(last * k);
    masks_[p] = masks_[last];
    masks_.pop_back();
}

std::int64_t LottoBits::SwapDelta(std::size_t p, int x, int y) const
{
    // Lost: x, t-1 of the play's others and a number from outside the new play, covered by
    // this play alone. Gained: the same with y, covered by none.
    int rest[Binomials::kMaxN];
    int n = 0;
    const int* e = Elems(p);
    for (int i = 0; i < k_; ++i)
        if (e[i] != x)
            rest[n++] = e[i];
    const std::uint64_t outside = all_ & ~masks_[p] & ~(std::uint64_t{1} << y);
    std::int64_t delta = 0;
    ForEachSubset(rest, n, t_ - 1, [&](const int* q) {
        delta += Ones(ones_[TRank(q, x)] & outside);
        delta -= Ones(zeros_[TRank(q, y)] & outside);
        return true;
    });
    work_ += Binomials::Table()(k_ - 1, t_ - 1);
    return delta;
}

void LottoBits::Swap(std::size_t p, int x, int y)
{
    const auto k = static_cast<std::size_t>(k_);
    int* e = &elems_[p * k];
    int rest[Binomials::kMaxN];
    int n = 0;
    for (int i = 0; i < k_; ++i)
        if (e[i] != x)
            rest[n++] = e[i];
    const std::uint64_t outside = all_ & ~masks_[p] & ~(std::uint64_t{1} << y);
    int set[Binomials::kMaxN];
    const auto walk = [&](int in, int by) {
        ForEachSubset(rest, n, t_ - 1, [&](const int* q) {
            for (std::uint64_t out = outside; out != 0; out &= out - 1) {
                std::copy(q, q + t_ - 1, set);
                set[t_ - 1] = in;
                set[t_] = std::countr_zero(out);
                std::sort(set, set + t_ + 1);
                Change(set, by);
            }
            return true;
        });
    };
    walk(x, -1);
    walk(y, +1);
    masks_[p] = (masks_[p] & ~(std::uint64_t{1} << x)) | (std::uint64_t{1} << y);
    rest[n++] = y;
    std::sort(rest, rest + n);
    std::copy(rest, rest + n, e);
}

std::uint64_t LottoBits::OnlyBy(std::size_t p) const
{
    std::uint64_t only = 0;
    ForEachCovered(Elems(p), masks_[p], [&](const int* s) {
        only += count_[Rank(s, t_ + 1)] == 1 ? 1 : 0;
        ++work_;
    });
    return only;
}

bool LottoBits::Consistent() const
{
    std::vector<std::uint32_t> count(count_.size(), 0);
    for (std::size_t p = 0; p < Plays(); ++p)
        ForEachCovered(Elems(p), masks_[p], [&](const int* s) { ++count[Rank(s, t_ + 1)]; });
    if (count != count_)
        return false;
    std::vector<std::uint64_t> zeros(zeros_.size(), 0);
    std::vector<std::uint64_t> ones(ones_.size(), 0);
    std::uint64_t uncovered = 0;
    int s[Binomials::kMaxN];
    for (std::uint32_t r = 0; r < count.size(); ++r) {
        if (count[r] > 1)
            continue;
        uncovered += count[r] == 0 ? 1 : 0;
        if (count[r] == 0 && (at_[r] == kNotListed || list_[at_[r]] != r))
            return false;
        Unrank(r, t_ + 1, s);
        for (int leave = 0; leave <= t_; ++leave) {
            std::uint32_t tr = 0;
            for (int i = 0, at = 1; i <= t_; ++i)
                if (i != leave)
                    tr += C(s[i], at++);
            (count[r] == 0 ? zeros : ones)[tr] |= std::uint64_t{1} << s[leave];
        }
    }
    return uncovered == list_.size() && zeros == zeros_ && ones == ones_;
}

}  // namespace bm::wheels
