#include "wheels/WheelAnalysis.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <span>
#include <thread>

#include "checking/GameRules.h"
#include "plays/WheelFile.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
    std::int64_t operator()(int n, int k) const { return c[static_cast<std::size_t>(k)][static_cast<std::size_t>(n)]; }
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

// Both kinds of play list, play by play.
std::size_t PlayCount(const std::vector<Play>& plays)
{
    return plays.size();
}
std::size_t PlayCount(const PackedPlays& plays)
{
    return plays.count();
}
std::span<const int> PlayAt(const std::vector<Play>& plays, std::size_t p)
{
    return plays[p];
}
std::span<const std::uint8_t> PlayAt(const PackedPlays& plays, std::size_t p)
{
    return {plays.play(p), static_cast<std::size_t>(plays.size)};
}

// Calls `use` with the rank of every s-subset of each play (a subset two plays share, twice).
template <class Plays, class Use>
void ForEachPlaySubset(const Plays& plays, int s, Use&& use)
{
    const RankTable& rank = Ranks();
    std::array<int, kMaxNumbers> sorted{};
    std::array<int, kMaxDrawn + 1> pick{};
    for (std::size_t p = 0; p < PlayCount(plays); ++p) {
        const auto play = PlayAt(plays, p);
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
            use(r);
        } while (NextSubset(pick.data(), s, k));
    }
}

// Marks every s-subset of each play as matched in full.
template <class Plays>
void MarkPlaySubsets(const Plays& plays, int s, std::vector<std::uint8_t>& level)
{
    ForEachPlaySubset(plays, s,
                      [&](std::int64_t r) { level[static_cast<std::size_t>(r)] = static_cast<std::uint8_t>(s); });
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

namespace {

template <class Plays>
std::optional<std::string> FaultOf(const Plays& plays, int v, int pool, int drawn)
{
    if (drawn < 1 || drawn > kMaxDrawn)
        return "a draw of " + std::to_string(drawn) + " numbers cannot be analysed (1 to " + std::to_string(kMaxDrawn) +
               ")";
    if (v < 0 || v > kMaxNumbers)
        return "a wheel on " + std::to_string(v) + " numbers cannot be analysed (at most " +
               std::to_string(kMaxNumbers) + ")";
    if (pool < drawn || pool < v)
        return "a pool of " + std::to_string(pool) + " numbers cannot hold a draw of " + std::to_string(drawn) +
               " or the wheel's " + std::to_string(v) + " numbers";
    for (std::size_t p = 0; p < PlayCount(plays); ++p) {
        // A bit per label (v is at most kMaxNumbers): no allocation per play.
        std::array<std::uint64_t, (kMaxNumbers + 63) / 64> seen{};
        for (int label : PlayAt(plays, p)) {
            if (label < 0 || label >= v)
                return "play " + std::to_string(p + 1) + ": label " + std::to_string(label) + " is not one of 0 to " +
                       std::to_string(v - 1);
            std::uint64_t& word = seen[static_cast<std::size_t>(label) / 64];
            const std::uint64_t bit = std::uint64_t{1} << (label % 64);
            if (word & bit)
                return "play " + std::to_string(p + 1) + ": label " + std::to_string(label) + " is given twice";
            word |= bit;
        }
    }
    const std::int64_t subsets = SubsetCount(v, drawn);
    if (subsets > kMaxSubsets)
        return "a wheel on " + std::to_string(v) + " numbers in a " + std::to_string(drawn) + "-number draw takes " +
               std::to_string(subsets) + " subsets of its numbers to analyse, more than the " +
               std::to_string(kMaxSubsets) + " an analysis may take (a minute or two and 700 MB of memory)";
    // Every play also marks its own subsets of up to `drawn` numbers.
    std::int64_t marks = 0;
    for (std::size_t p = 0; p < PlayCount(plays); ++p)
        marks = std::min(kMaxSubsets + 1, marks + SubsetCount(static_cast<int>(PlayAt(plays, p).size()), drawn));
    if (marks > kMaxSubsets - subsets)
        return "the plays hold more than " + std::to_string(kMaxSubsets - subsets) + " subsets of up to " +
               std::to_string(drawn) + " numbers to mark, more than an analysis may take";
    return std::nullopt;
}

// The s-subset of colexicographic rank `r`, into c[0..s-1] ascending.
void UnrankSubset(std::int64_t r, int s, int* c)
{
    const RankTable& rank = Ranks();
    int n = kMaxNumbers;
    for (int i = s - 1; i >= 0; --i) {
        while (rank(n, i + 1) > r)
            --n;
        c[i] = n;
        r -= rank(n, i + 1);
    }
}

// The ranks of every s-subset a play holds in full, ascending: what the top level needs to know
// of the plays, without an array over all its subsets.
template <class Plays>
std::vector<std::int64_t> PlaySubsetRanks(const Plays& plays, int s)
{
    std::vector<std::int64_t> ranks;
    ForEachPlaySubset(plays, s, [&](std::int64_t r) { ranks.push_back(r); });
    std::sort(ranks.begin(), ranks.end());
    ranks.erase(std::unique(ranks.begin(), ranks.end()), ranks.end());
    return ranks;
}

// One stretch of a level's subsets, ranks [from, to): each subset's best match counted. `level`
// (when the level above needs it) holds the subsets a play holds in full, marked s, and gets
// every subset's best; without it `full` (ascending ranks) says which a play holds.
struct LevelWalk {
    int s = 0, v = 0;
    const std::vector<std::uint8_t>* below = nullptr;
    std::uint8_t* level = nullptr;
    const std::vector<std::int64_t>* full = nullptr;
};

// Bytes read past the end of a level: the walk below reads whole vectors and keeps what it needs.
constexpr std::size_t kLevelPadding = 16;

// The best of a run of subsets that differ only in their smallest member x, for x in [lo, end):
// the subset without x stands at one rank below for all of them (`same`), and the subset without
// any other member j at `base[j] + x`. `best` gets them at [lo, end).
void BestOfRun(const std::uint8_t* below, std::uint8_t same, const std::int64_t* base, int others, int lo, int end,
               std::uint8_t* best)
{
#ifdef __SSE2__
    for (int x = lo; x < end; x += 16) {
        __m128i b = _mm_set1_epi8(static_cast<char>(same));
        for (int j = 0; j < others; ++j)
            b = _mm_max_epu8(b, _mm_loadu_si128(reinterpret_cast<const __m128i*>(below + base[j] + x)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(best + x), b);
    }
#else
    for (int x = lo; x < end; ++x) {
        std::uint8_t b = same;
        for (int j = 0; j < others; ++j)
            b = std::max(b, below[base[j] + x]);
        best[x] = b;
    }
#endif
}

// Four tallies taken in turn: one alone would wait on its own last addition when neighbours share a best.
using RunTally = std::array<std::array<std::int64_t, kMaxDrawn + 1>, 4>;

void TallyRun(const std::uint8_t* best, int lo, int end, RunTally& tally)
{
    for (int x = lo; x < end; ++x)
        ++tally[static_cast<std::size_t>(x & 3)][best[x]];
}

// Walks ranks [from, to); `keepGoing` is asked every 2^20 subsets or so with the number walked
// so far in this stretch; false stops the walk (and returns false). In colexicographic order the
// subsets that differ only in their smallest member come one after another, and so do those one
// smaller that each of them holds but for another member: the walk takes such a run at a time,
// reading the level below in stretches instead of a subset at a time.
template <typename KeepGoing>
bool WalkLevel(const LevelWalk& w, std::int64_t from, std::int64_t to, std::vector<std::int64_t>& counts,
               KeepGoing&& keepGoing)
{
    if (from >= to)
        return true;
    const RankTable& rank = Ranks();
    const int s = w.s;
    std::array<int, kMaxDrawn> c{};
    UnrankSubset(from, s, c.data());
    const std::uint8_t* below = w.below->data();
    auto nextFull =
        w.full ? std::lower_bound(w.full->begin(), w.full->end(), from) : std::vector<std::int64_t>::const_iterator{};
    constexpr std::int64_t kAskEvery = 1 << 20;
    std::int64_t nextAsk = from + kAskEvery;
    // Counted on this thread's own stack: two threads adding to neighbouring words would fight
    // over their cache line at every subset.
    RunTally tally{};
    const auto handOver = [&] {
        for (std::size_t t = 0; t < counts.size() && t < tally[0].size(); ++t)
            counts[t] += tally[0][t] + tally[1][t] + tally[2][t] + tally[3][t];
    };
    alignas(16) std::array<std::uint8_t, kMaxNumbers + 16> best{};
    std::array<std::int64_t, kMaxDrawn> base{};
    for (std::int64_t r = from;;) {
        // The run: c[1..s-1] as they are, the smallest member from c[0] up to the next one.
        const int lo = c[0];
        const int top = s > 1 ? c[1] : w.v;
        const std::int64_t runStart = r - lo;  // the rank with 0 for the smallest member
        const int end = static_cast<int>(std::min<std::int64_t>(top, to - runStart));
        // Without the smallest member: the others one place lower. Without member j: those
        // below it where they stand, those above it one place lower.
        std::int64_t lower = 0;   // the members from 1 up to j, where they stand
        std::int64_t higher = 0;  // those above j, one place lower
        for (int i = 1; i < s; ++i)
            higher += rank(c[static_cast<std::size_t>(i)], i);
        const std::int64_t same = higher;
        for (int j = 1; j < s; ++j) {
            higher -= rank(c[static_cast<std::size_t>(j)], j);
            base[static_cast<std::size_t>(j - 1)] = lower + higher;
            lower += rank(c[static_cast<std::size_t>(j)], j + 1);
        }
        BestOfRun(below, below[same], base.data(), s - 1, lo, end, best.data());
        // Subsets that one play holds in full.
        if (w.level) {
            for (int x = lo; x < end; ++x) {
                std::uint8_t& at = w.level[runStart + x];
                at = at == s ? static_cast<std::uint8_t>(s) : best[static_cast<std::size_t>(x)];
                best[static_cast<std::size_t>(x)] = at;
            }
        } else {
            for (; nextFull != w.full->end() && *nextFull < runStart + end; ++nextFull)
                best[static_cast<std::size_t>(*nextFull - runStart)] = static_cast<std::uint8_t>(s);
        }
        TallyRun(best.data(), lo, end, tally);
        r = runStart + end;
        if (r >= to)
            break;
        if (r >= nextAsk) {
            nextAsk = r + kAskEvery;
            if (!keepGoing(r - from)) {
                handOver();
                return false;
            }
        }
        c[0] = top - 1;
        NextSubset(c.data(), s, w.v);
    }
    handOver();
    return true;
}

// Levels this small are walked on one thread: a second would cost more than it saves.
constexpr std::int64_t kLeastSplit = 1 << 16;

template <class Plays>
Result<Coverage> AnalyzeOf(const Plays& plays, int v, int pool, int drawn, const AnalysisProgress& progress)
{
    if (auto fault = FaultOf(plays, v, pool, drawn))
        return Error{*fault};
    const RankTable& rank = Ranks();
    const int top = std::min(drawn, v);
    const double total = static_cast<double>(SubsetCount(v, drawn));
    // histogram[s][t]: subsets of s numbers whose best play matches t of them.
    std::vector<std::vector<std::int64_t>> histogram(static_cast<std::size_t>(top) + 1,
                                                     std::vector<std::int64_t>(static_cast<std::size_t>(top) + 1));
    histogram[0][0] = 1;
    std::vector<std::uint8_t> below(1 + kLevelPadding, 0);
    std::int64_t walked = 1;
    const bool twoThreads = std::thread::hardware_concurrency() > 1;
    for (int s = 1; s <= top; ++s) {
        const std::int64_t count = rank(v, s);
        // The top level is needed by no level above it: its subsets are counted, not kept.
        std::vector<std::uint8_t> level;
        std::vector<std::int64_t> full;
        if (s < top) {
            level.assign(static_cast<std::size_t>(count) + kLevelPadding, 0);
            MarkPlaySubsets(plays, s, level);
        } else {
            full = PlaySubsetRanks(plays, s);
        }
        const LevelWalk walk{s, v, &below, s < top ? level.data() : nullptr, s < top ? nullptr : &full};
        std::vector<std::int64_t>& counts = histogram[static_cast<std::size_t>(s)];
        // The caller's thread walks the first half and alone asks `progress` (a window may only be
        // touched from its own thread); a second thread walks the other half and stops with it.
        const std::int64_t split = twoThreads && count >= kLeastSplit ? count / 2 : count;
        std::atomic<bool> stop{false};
        std::atomic<std::int64_t> otherWalked{0};
        std::vector<std::int64_t> otherCounts(counts.size(), 0);
        std::thread other;
        if (split < count)
            other = std::thread([&] {
                WalkLevel(walk, split, count, otherCounts, [&](std::int64_t n) {
                    otherWalked.store(n, std::memory_order_relaxed);
                    return !stop.load(std::memory_order_relaxed);
                });
            });
        const bool finished = WalkLevel(walk, 0, split, counts, [&](std::int64_t n) {
            const double done = static_cast<double>(walked + n + otherWalked.load(std::memory_order_relaxed)) / total;
            return !progress || progress(done);
        });
        stop = !finished;
        if (other.joinable())
            other.join();
        if (!finished)
            return Error::Stopped();
        for (std::size_t t = 0; t < counts.size(); ++t)
            counts[t] += otherCounts[t];
        walked += count;
        below = std::move(level);
    }
    if (progress && !progress(1.0))
        return Error::Stopped();

    Coverage cov;
    cov.plays = static_cast<std::int64_t>(PlayCount(plays));
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

}  // namespace

std::optional<std::string> AnalysisFault(const std::vector<Play>& plays, int v, int pool, int drawn)
{
    return FaultOf(plays, v, pool, drawn);
}

std::optional<std::string> AnalysisFault(const PackedPlays& plays, int v, int pool, int drawn)
{
    return FaultOf(plays, v, pool, drawn);
}

Result<Coverage> Analyze(const std::vector<Play>& plays, int v, int pool, int drawn, const AnalysisProgress& progress)
{
    return AnalyzeOf(plays, v, pool, drawn, progress);
}

Result<Coverage> Analyze(const PackedPlays& plays, int v, int pool, int drawn, const AnalysisProgress& progress)
{
    return AnalyzeOf(plays, v, pool, drawn, progress);
}

std::vector<Play> PackedPlays::Unpacked() const
{
    std::vector<Play> out;
    for (std::size_t p = 0; p < count(); ++p)
        out.emplace_back(play(p), play(p) + size);
    return out;
}

Result<int> Guaranteed(const std::vector<Play>& plays, int v, int m, const AnalysisProgress& progress)
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
    // The numbers as read, a byte each (a pool is at most two digits); put on labels at the end.
    WheelOnNumbers w;
    w.plays.size = game.mainPicks;
    std::vector<bool> used(static_cast<std::size_t>(pool) + 1, false);
    int numbersUsed = 0;
    // Each play marks its own subsets of up to `drawn` numbers: past the bound an analysis may
    // take, the rest of the file is not worth reading (nor holding).
    const std::int64_t marksPerPlay = SubsetCount(game.mainPicks, game.mainDrawn);
    std::int64_t marks = 0;
    bm::Play play;  // as read from the file, with its line
    while ((*reader)->Next(play)) {
        if (auto fault = rule.Accepts(play) ? std::nullopt : rule.Fault(play))
            return Error{(*reader)->name() + ": line " + std::to_string(play.line) + ": " + *fault};
        for (int i = 0; i < game.mainPicks; ++i) {
            const auto n = static_cast<std::size_t>(play.numbers[static_cast<std::size_t>(i)]);
            if (!used[n]) {
                used[n] = true;
                ++numbersUsed;
            }
            w.plays.labels.push_back(static_cast<std::uint8_t>(n));
        }
        marks += marksPerPlay;
        // Numbers with too many subsets of their own are refused at the end, with their count.
        const std::int64_t subsets = SubsetCount(numbersUsed, game.mainDrawn);
        const std::int64_t room = subsets <= kMaxSubsets ? kMaxSubsets - subsets : kMaxSubsets;
        if (marks > room)
            return Error{(*reader)->name() + ": line " + std::to_string(play.line) +
                         ": the plays up to this line hold " + std::to_string(marks) + " subsets of up to " +
                         std::to_string(game.mainDrawn) + " numbers to mark, more than the " + std::to_string(room) +
                         " an analysis may take"};
    }
    if ((*reader)->error())
        return *(*reader)->error();
    if (w.plays.labels.empty())
        return Error{(*reader)->name() + ": holds no plays (nothing but blank or comment lines); there is nothing "
                                         "to analyse"};
    std::vector<int> label(static_cast<std::size_t>(pool) + 1, -1);
    for (int n = 1; n <= pool; ++n) {
        if (used[static_cast<std::size_t>(n)]) {
            label[static_cast<std::size_t>(n)] = static_cast<int>(w.numbers.size());
            w.numbers.push_back(n);
        }
    }
    for (std::uint8_t& n : w.plays.labels)
        n = static_cast<std::uint8_t>(label[n]);
    w.plays.labels.shrink_to_fit();
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
