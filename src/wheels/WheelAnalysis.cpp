#include "wheels/WheelAnalysis.h"

#include <algorithm>
#include <array>
#include <limits>
#include <set>

#include "checking/GameRules.h"
#include "plays/WheelFile.h"

namespace bm::wheels {

namespace {

constexpr int kMaxNumbers = 128;
constexpr int kMaxDrawn = 12;

// C(n, k) for the ranks of subsets: n up to kMaxNumbers, k up to kMaxDrawn + 1.
struct RankTable {
    std::array<std::array<std::int64_t, kMaxNumbers + 1>, kMaxDrawn + 2> c{};
    RankTable()
    {
        for (int k = 0; k <= kMaxDrawn + 1; ++k)
            for (int n = 0; n <= kMaxNumbers; ++n)
                c[static_cast<std::size_t>(k)][static_cast<std::size_t>(n)] = Binomial(n, k);
    }
    std::int64_t operator()(int n, int k) const
    {
        return c[static_cast<std::size_t>(k)][static_cast<std::size_t>(n)];
    }
};

const RankTable& Ranks()
{
    static const RankTable table;
    return table;
}

// The next s-subset of 0..n-1 in colexicographic order, whose rank is one more; false after the last.
bool NextSubset(int* c, int s, int n)
{
    for (int i = 0; i < s; ++i) {
        const int limit = i + 1 < s ? c[i + 1] : n;
        if (c[i] + 1 < limit) {
            ++c[i];
            for (int j = 0; j < i; ++j)
                c[j] = j;
            return true;
        }
    }
    return false;
}

// Marks every s-subset of each play as matched in full.
void MarkPlaySubsets(const std::vector<LabelPlay>& plays, int s, std::vector<std::uint8_t>& level)
{
    const RankTable& rank = Ranks();
    std::array<int, kMaxNumbers> sorted{};
    std::array<int, kMaxDrawn + 1> pick{};
    for (const LabelPlay& play : plays) {
        const int k = static_cast<int>(play.size());
        if (k < s)
            continue;
        std::copy(play.begin(), play.end(), sorted.begin());
        std::sort(sorted.begin(), sorted.begin() + k);
        for (int i = 0; i < s; ++i)
            pick[static_cast<std::size_t>(i)] = i;
        do {
            std::int64_t r = 0;
            for (int i = 0; i < s; ++i)
                r += rank(sorted[static_cast<std::size_t>(pick[static_cast<std::size_t>(i)])], i + 1);
            level[static_cast<std::size_t>(r)] = static_cast<std::uint8_t>(s);
        } while (NextSubset(pick.data(), s, k));
    }
}

}  // namespace

std::int64_t Binomial(int n, int k)
{
    if (k < 0 || n < 0 || k > n)
        return 0;
    k = std::min(k, n - k);
    // Exact while it fits: C(n, i+1) = C(n, i) * (n - i) / (i + 1), each step a whole number.
    std::uint64_t r = 1;
    for (int i = 0; i < k; ++i) {
        const auto f = static_cast<std::uint64_t>(n - i);
        if (r > std::numeric_limits<std::uint64_t>::max() / f)
            return std::numeric_limits<std::int64_t>::max();
        r = r * f / static_cast<std::uint64_t>(i + 1);
        if (r > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return std::numeric_limits<std::int64_t>::max();
    }
    return static_cast<std::int64_t>(r);
}

std::int64_t SubsetCount(int v, int drawn)
{
    std::int64_t total = 0;
    for (int s = 0; s <= std::min(drawn, v); ++s) {
        const std::int64_t c = Binomial(v, s);
        if (c > std::numeric_limits<std::int64_t>::max() - total)
            return std::numeric_limits<std::int64_t>::max();
        total += c;
    }
    return total;
}

std::optional<std::string> AnalysisFault(const std::vector<LabelPlay>& plays, int v, int pool, int drawn)
{
    if (drawn < 1 || drawn > kMaxDrawn)
        return "a draw of " + std::to_string(drawn) + " numbers cannot be analysed (1 to " +
               std::to_string(kMaxDrawn) + ")";
    if (v < 0 || v > kMaxNumbers)
        return "a wheel on " + std::to_string(v) + " numbers cannot be analysed (at most " +
               std::to_string(kMaxNumbers) + ")";
    if (pool < drawn || pool < v)
        return "a pool of " + std::to_string(pool) + " numbers cannot hold a draw of " + std::to_string(drawn) +
               " or the wheel's " + std::to_string(v) + " numbers";
    for (std::size_t p = 0; p < plays.size(); ++p) {
        std::set<int> seen;
        for (int label : plays[p]) {
            if (label < 0 || label >= v)
                return "play " + std::to_string(p + 1) + ": label " + std::to_string(label) + " is not one of 0 to " +
                       std::to_string(v - 1);
            if (!seen.insert(label).second)
                return "play " + std::to_string(p + 1) + ": label " + std::to_string(label) + " is given twice";
        }
    }
    const std::int64_t subsets = SubsetCount(v, drawn);
    if (subsets > kMaxSubsets)
        return "a wheel on " + std::to_string(v) + " numbers in a " + std::to_string(drawn) +
               "-number draw takes " + std::to_string(subsets) + " subsets of its numbers to analyse, more than the " +
               std::to_string(kMaxSubsets) + " an analysis may take (a minute or two and 700 MB of memory)";
    // Every play also marks its own subsets of up to `drawn` numbers.
    std::int64_t marks = 0;
    for (const LabelPlay& play : plays)
        marks = std::min(kMaxSubsets + 1, marks + SubsetCount(static_cast<int>(play.size()), drawn));
    if (marks > kMaxSubsets - subsets)
        return "the plays hold more than " + std::to_string(kMaxSubsets - subsets) + " subsets of up to " +
               std::to_string(drawn) + " numbers to mark, more than an analysis may take";
    return std::nullopt;
}

Result<Coverage> Analyze(const std::vector<LabelPlay>& plays, int v, int pool, int drawn,
                         const AnalysisProgress& progress)
{
    if (auto fault = AnalysisFault(plays, v, pool, drawn))
        return Error{*fault};
    const RankTable& rank = Ranks();
    const int top = std::min(drawn, v);
    const double total = static_cast<double>(SubsetCount(v, drawn));
    // histogram[s][t]: subsets of s numbers whose best play matches t of them.
    std::vector<std::vector<std::int64_t>> histogram(static_cast<std::size_t>(top) + 1,
                                                     std::vector<std::int64_t>(static_cast<std::size_t>(top) + 1));
    histogram[0][0] = 1;
    std::vector<std::uint8_t> below{0};
    std::int64_t walked = 1;
    constexpr std::int64_t kAskEvery = 1 << 20;
    std::int64_t nextAsk = kAskEvery;
    std::array<int, kMaxDrawn> c{};
    std::array<std::int64_t, kMaxDrawn + 1> prefix{};
    for (int s = 1; s <= top; ++s) {
        const std::int64_t count = rank(v, s);
        std::vector<std::uint8_t> level(static_cast<std::size_t>(count), 0);
        MarkPlaySubsets(plays, s, level);
        std::vector<std::int64_t>& counts = histogram[static_cast<std::size_t>(s)];
        for (int i = 0; i < s; ++i)
            c[static_cast<std::size_t>(i)] = i;
        for (std::int64_t r = 0; r < count; ++r) {
            std::uint8_t& best = level[static_cast<std::size_t>(r)];
            if (best != s) {
                // Not in one play: the best of the subsets one smaller, s - 1 at most.
                prefix[0] = 0;
                for (int i = 0; i < s; ++i)
                    prefix[static_cast<std::size_t>(i) + 1] =
                        prefix[static_cast<std::size_t>(i)] + rank(c[static_cast<std::size_t>(i)], i + 1);
                std::int64_t suffix = 0;
                for (int j = s - 1; j >= 0 && best < s - 1; --j) {
                    const std::uint8_t b = below[static_cast<std::size_t>(prefix[static_cast<std::size_t>(j)] + suffix)];
                    best = std::max(best, b);
                    suffix += rank(c[static_cast<std::size_t>(j)], j);
                }
            }
            ++counts[best];
            NextSubset(c.data(), s, v);
            if (++walked == nextAsk) {
                nextAsk += kAskEvery;
                if (progress && !progress(static_cast<double>(walked) / total))
                    return Error::Stopped();
            }
        }
        below = std::move(level);
    }
    if (progress && !progress(1.0))
        return Error::Stopped();

    Coverage cov;
    cov.plays = static_cast<std::int64_t>(plays.size());
    cov.numbers = v;
    cov.pool = pool;
    cov.drawn = drawn;
    cov.best.assign(static_cast<std::size_t>(drawn) + 1, 0);
    for (int m = 0; m <= top; ++m) {
        const auto& counts = histogram[static_cast<std::size_t>(m)];
        const auto first = std::find_if(counts.begin(), counts.end(), [](std::int64_t n) { return n > 0; });
        cov.guaranteed.push_back(static_cast<int>(first - counts.begin()));
        const std::int64_t completions = Binomial(pool - v, drawn - m);
        cov.drawsWithin.push_back(Binomial(v, m) * completions);
        for (std::size_t t = 0; t < counts.size(); ++t)
            cov.best[t] += counts[t] * completions;
    }
    return cov;
}

Result<int> Guaranteed(const std::vector<LabelPlay>& plays, int v, int m, const AnalysisProgress& progress)
{
    if (m < 1 || m > v)
        return Error{"a guarantee for " + std::to_string(m) + " of " + std::to_string(v) + " numbers has no meaning"};
    auto coverage = Analyze(plays, v, v, m, progress);
    if (!coverage)
        return coverage.error();
    return coverage->guaranteed[static_cast<std::size_t>(m)];
}

Result<WheelOnNumbers> ReadWheelForAnalysis(const std::filesystem::path& wheel, const CheckGame& game, int pool)
{
    auto reader = WheelReader::Open(wheel, game.numbersPerPlay, NumberWidth::Bits32);
    if (!reader)
        return reader.error();
    const PlayRule rule(game, pool);
    std::vector<std::array<std::int32_t, kMaxNumbersPerPlay>> read;
    std::vector<bool> used(static_cast<std::size_t>(pool) + 1, false);
    Play play;
    while ((*reader)->Next(play)) {
        if (auto fault = rule.Accepts(play) ? std::nullopt : rule.Fault(play))
            return Error{(*reader)->name() + ": line " + std::to_string(play.line) + ": " + *fault};
        for (int i = 0; i < game.mainPicks; ++i)
            used[static_cast<std::size_t>(play.numbers[static_cast<std::size_t>(i)])] = true;
        read.push_back(play.numbers);
    }
    if ((*reader)->error())
        return *(*reader)->error();
    WheelOnNumbers w;
    std::vector<int> label(static_cast<std::size_t>(pool) + 1, -1);
    for (int n = 1; n <= pool; ++n) {
        if (used[static_cast<std::size_t>(n)]) {
            label[static_cast<std::size_t>(n)] = static_cast<int>(w.numbers.size());
            w.numbers.push_back(n);
        }
    }
    w.plays.reserve(read.size());
    for (const auto& numbers : read) {
        LabelPlay p;
        for (int i = 0; i < game.mainPicks; ++i)
            p.push_back(label[static_cast<std::size_t>(numbers[static_cast<std::size_t>(i)])]);
        w.plays.push_back(std::move(p));
    }
    return w;
}

std::string CoverageText(const Coverage& coverage)
{
    std::string text = "Plays," + std::to_string(coverage.plays) + "\nNumbers," + std::to_string(coverage.numbers) +
                       "\nIf,Guaranteed,Draws\n";
    for (std::size_t m = 0; m < coverage.guaranteed.size(); ++m)
        text += std::to_string(m) + "," + std::to_string(coverage.guaranteed[m]) + "," +
                std::to_string(coverage.drawsWithin[m]) + "\n";
    text += "Best,Draws\n";
    for (std::size_t t = 0; t < coverage.best.size(); ++t)
        text += std::to_string(t) + "," + std::to_string(coverage.best[t]) + "\n";
    return text;
}

}  // namespace bm::wheels
