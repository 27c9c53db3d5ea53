#include "wheels/LottoStarts.h"

#include <algorithm>

#include "wheels/SubsetRanks.h"

namespace bm::wheels {

namespace {

int PartOf(const WheelShape& s, int e)
{
    return e * (s.m - 1) / s.v;
}

}  // namespace

std::vector<char> CyclicTripleFamily(const WheelShape& s)
{
    const int parts = s.m - 1;
    if (s.t != 3 || s.m < 4 || s.k < 4 || s.v / parts < 3)
        return {};
    const Binomials& c = Binomials::Table();
    std::vector<char> family(static_cast<std::size_t>(c(s.v, 3)), 0);
    int q[3];
    for (std::uint64_t r = 0; r < family.size(); ++r) {
        UnrankInto(r, 3, q, c);
        const int a = PartOf(s, q[0]);
        const int b = PartOf(s, q[1]);
        const int d = PartOf(s, q[2]);
        const auto next = [parts](int two, int one) { return (two + 1) % parts == one; };
        family[r] = static_cast<char>((a == b && b == d) || (a == b && next(a, d)) || (a == d && next(a, b)) ||
                                      (b == d && next(b, a)));
    }
    return family;
}

std::vector<int> CyclicPlays(const WheelShape& s, int from, int to, std::uint64_t most)
{
    const int parts = s.m - 1;
    const Binomials& c = Binomials::Table();
    std::vector<std::vector<int>> members(static_cast<std::size_t>(parts));
    for (int e = 0; e < s.v; ++e)
        members[static_cast<std::size_t>(PartOf(s, e))].push_back(e);
    std::uint64_t count = 0;
    for (int a = from; a <= to; ++a)
        for (int i = 0; i < parts; ++i)
            count = SaturatingAdd(
                count,
                SaturatingMul(c(static_cast<int>(members[static_cast<std::size_t>(i)].size()), a),
                              c(static_cast<int>(members[static_cast<std::size_t>((i + 1) % parts)].size()), s.k - a)));
    if (count > most)
        return {};
    std::vector<int> plays;
    for (int a = from; a <= to; ++a)
        for (int i = 0; i < parts; ++i) {
            const auto& here = members[static_cast<std::size_t>(i)];
            const auto& there = members[static_cast<std::size_t>((i + 1) % parts)];
            ForEachSubset(here.data(), static_cast<int>(here.size()), a, [&](const int* x) {
                return ForEachSubset(there.data(), static_cast<int>(there.size()), s.k - a, [&](const int* y) {
                    const std::size_t at = plays.size();
                    plays.insert(plays.end(), x, x + a);
                    plays.insert(plays.end(), y, y + (s.k - a));
                    // insertion sort: a few numbers
                    for (std::size_t j = at + 1; j < plays.size(); ++j)
                        for (std::size_t h = j; h > at && plays[h - 1] > plays[h]; --h)
                            std::swap(plays[h - 1], plays[h]);
                    return true;
                });
            });
        }
    return plays;
}

}  // namespace bm::wheels
