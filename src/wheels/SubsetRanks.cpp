#include "wheels/SubsetRanks.h"

#include <limits>

namespace bm::wheels {

namespace {
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
}

std::uint64_t SaturatingMul(std::uint64_t a, std::uint64_t b)
{
    if (a != 0 && b > kMax / a)
        return kMax;
    return a * b;
}

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b)
{
    return a > kMax - b ? kMax : a + b;
}

Binomials::Binomials() : c_(static_cast<std::size_t>(kMaxN + 1) * (kMaxN + 1), 0)
{
    const auto at = [](int n, int r) {
        return static_cast<std::size_t>(n) * (kMaxN + 1) + static_cast<std::size_t>(r);
    };
    for (int n = 0; n <= kMaxN; ++n) {
        c_[at(n, 0)] = 1;
        for (int r = 1; r <= n; ++r)
            c_[at(n, r)] = SaturatingAdd(c_[at(n - 1, r - 1)], r <= n - 1 ? c_[at(n - 1, r)] : 0);
    }
}

const Binomials& Binomials::Table()
{
    static const Binomials table;
    return table;
}

void UnrankInto(std::uint64_t rank, int r, int* sorted, const Binomials& c)
{
    // Largest member first: the greatest e with C(e, i+1) <= what is left of the rank.
    int e = Binomials::kMaxN;
    for (int i = r - 1; i >= 0; --i) {
        while (e > i && c(e, i + 1) > rank)
            --e;
        sorted[i] = e;
        rank -= c(e, i + 1);
        --e;
    }
}

}  // namespace bm::wheels
