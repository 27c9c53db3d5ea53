#include "wheels/CoveringBounds.h"

#include <algorithm>
#include <limits>

#include "wheels/SubsetRanks.h"

namespace bm::wheels {

namespace {

constexpr std::uint64_t kHuge = std::numeric_limits<std::uint64_t>::max();

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

}  // namespace

std::string ShapeProblem(const WheelShape& s)
{
    const auto n = [](int x) { return std::to_string(x); };
    if (s.v < 1)
        return "a wheel needs at least 1 number, not " + n(s.v);
    if (s.v > kMaxWheelNumbers)
        return "a wheel is built on at most " + n(kMaxWheelNumbers) + " numbers, not " + n(s.v);
    if (s.k < 1)
        return "a play needs at least 1 number, not " + n(s.k);
    if (s.k > s.v)
        return "plays of " + n(s.k) + " cannot be taken from " + n(s.v) + " numbers";
    if (s.m < 1)
        return "the numbers drawn (if) must be at least 1, not " + n(s.m);
    if (s.m > s.v)
        return n(s.m) + " numbers cannot be drawn from " + n(s.v);
    if (s.t < 1)
        return "the match must be at least 1, not " + n(s.t);
    if (s.t > s.m)
        return "the match " + n(s.t) + " is more than the if " + n(s.m);
    if (s.t > s.k)
        return "the match " + n(s.t) + " is more than the " + n(s.k) + " numbers of a play";
    return {};
}

std::uint64_t SetsToCover(const WheelShape& s)
{
    return Binomials::Table()(s.v, s.m);
}

std::uint64_t SetsOnePlayCovers(const WheelShape& s)
{
    const Binomials& c = Binomials::Table();
    std::uint64_t total = 0;
    for (int i = s.t; i <= std::min(s.k, s.m); ++i)
        total = SaturatingAdd(total, SaturatingMul(c(s.k, i), c(s.v - s.k, s.m - i)));
    return total;
}

std::uint64_t SchonheimBound(int v, int k, int t)
{
    if (t <= 0)
        return 1;
    const std::uint64_t inner = SchonheimBound(v - 1, k - 1, t - 1);
    const std::uint64_t product = SaturatingMul(static_cast<std::uint64_t>(v), inner);
    return product == kHuge ? kHuge : CeilDiv(product, static_cast<std::uint64_t>(k));
}

std::uint64_t TuranBound(int v, int m, int t)
{
    const Binomials& c = Binomials::Table();
    if (t < 1 || m < t || v < m)
        return 0;
    if (t == 2) {
        // The fewest pairs meeting every m-set: m-1 cliques as equal in size as can be.
        const auto parts = static_cast<std::uint64_t>(m - 1);
        const std::uint64_t q = static_cast<std::uint64_t>(v) / parts;
        const std::uint64_t bigger = static_cast<std::uint64_t>(v) % parts;
        return bigger * (q + 1) * q / 2 + (parts - bigger) * q * (q - 1) / 2;
    }
    const std::uint64_t top = SaturatingMul(static_cast<std::uint64_t>(v - m + 1), c(v, t));
    const std::uint64_t bottom = SaturatingMul(static_cast<std::uint64_t>(v - t + 1), c(m - 1, t - 1));
    if (top == kHuge || bottom == kHuge)
        return 0;  // too large to say anything useful
    return CeilDiv(top, bottom);
}

LowerBound KnownLowerBound(const WheelShape& s)
{
    if (!ShapeProblem(s).empty())
        return {};
    LowerBound best{0, "counting"};
    const auto consider = [&best](std::uint64_t plays, const char* reason) {
        if (plays != kHuge && plays > best.plays)
            best = {plays, reason};
    };
    if (s.m == s.t) {
        consider(SchonheimBound(s.v, s.k, s.t), "Schonheim");
    } else {
        const std::uint64_t tSets = TuranBound(s.v, s.m, s.t);
        consider(CeilDiv(tSets, Binomials::Table()(s.k, s.t)), "Turan");
    }
    const std::uint64_t perPlay = SetsOnePlayCovers(s);
    if (perPlay != kHuge && SetsToCover(s) != kHuge)
        consider(CeilDiv(SetsToCover(s), perPlay), "counting");
    if (const auto published = PublishedRecord(s); published && published->provenOptimal)
        consider(published->plays, "proven optimum");
    return best;
}

}  // namespace bm::wheels
