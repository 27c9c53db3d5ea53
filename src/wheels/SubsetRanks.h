#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace bm::wheels {

// Binomial coefficients C(n, r) for n < 129, saturating at the largest 64-bit value, so that a
// count too large to hold still compares as too large.
class Binomials {
public:
    static constexpr int kMaxN = 128;
    static const Binomials& Table();

    std::uint64_t operator()(int n, int r) const
    {
        if (n < 0 || r < 0 || r > n || n > kMaxN)
            return 0;
        return c_[static_cast<std::size_t>(n) * (kMaxN + 1) + static_cast<std::size_t>(r)];
    }

private:
    Binomials();
    std::vector<std::uint64_t> c_;
};

// Product and sum that stick at the largest value instead of wrapping.
std::uint64_t SaturatingMul(std::uint64_t a, std::uint64_t b);
std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b);

// The rank of an r-subset of 0..n-1 in the combinatorial number system (colex order):
// sum of C(e_i, i+1) over its members e_0 < e_1 < ... . Ranks run 0 .. C(n, r)-1.
inline std::uint64_t RankOf(const int* sorted, int r, const Binomials& c)
{
    std::uint64_t rank = 0;
    for (int i = 0; i < r; ++i)
        rank += c(sorted[i], i + 1);
    return rank;
}

// The members of the subset of rank `rank`, ascending.
void UnrankInto(std::uint64_t rank, int r, int* sorted, const Binomials& c);

// Calls fn(const int* members) for every r-subset of `from` (size n), members in the order of
// `from`; returns false as soon as fn does.
template <typename Fn>
bool ForEachSubset(const int* from, int n, int r, Fn&& fn)
{
    if (r < 0 || r > n)
        return true;
    if (r == 0)  // also tells GCC that no member of an empty subset is read
        return fn(from);
    int idx[Binomials::kMaxN + 1];
    int chosen[Binomials::kMaxN + 1];
    for (int i = 0; i < r; ++i)
        idx[i] = i;
    for (;;) {
        for (int i = 0; i < r; ++i)
            chosen[i] = from[idx[i]];
        if (!fn(static_cast<const int*>(chosen)))
            return false;
        int i = r - 1;
        while (i >= 0 && idx[i] == n - r + i)
            --i;
        if (i < 0)
            return true;
        ++idx[i];
        for (int j = i + 1; j < r; ++j)
            idx[j] = idx[j - 1] + 1;
    }
}

// Binomials up to C(v, maxR) in a flat table sized for one search, with the colex rank of a
// sorted subset of the labels 0..v-1 and its inverse: the inner loops' own copy, 32 bits wide.
class RankTable {
public:
    RankTable(int v, int maxR) : v_(v)
    {
        const Binomials& c = Binomials::Table();
        for (int r = 0; r <= maxR; ++r)
            for (int n = 0; n <= v; ++n)
                binom_.push_back(static_cast<std::uint32_t>(std::min<std::uint64_t>(c(n, r), 0xFFFFFFFFu)));
    }
    std::uint32_t C(int n, int r) const
    {
        return binom_[static_cast<std::size_t>(r) * static_cast<std::size_t>(v_ + 1) + static_cast<std::size_t>(n)];
    }
    std::uint32_t Rank(const int* sorted, int r) const
    {
        std::uint32_t rank = 0;
        for (int i = 0; i < r; ++i)
            rank += C(sorted[i], i + 1);
        return rank;
    }
    void Unrank(std::uint32_t rank, int r, int* sorted) const
    {
        int e = v_ - 1;
        for (int i = r - 1; i >= 0; --i) {
            while (C(e, i + 1) > rank)
                --e;
            sorted[i] = e;
            rank -= C(e, i + 1);
            --e;
        }
    }

private:
    int v_;
    std::vector<std::uint32_t> binom_;
};

}  // namespace bm::wheels
