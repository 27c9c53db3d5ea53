#include "checking/HistoryCheck.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <thread>

#include "checking/GameRules.h"

namespace bm {

namespace {

// Draws taken from the file at a time: few enough to keep memory flat, enough that the plays
// are walked only once per batch.
constexpr std::size_t kBatch = 256;
// Plays compared with every draw of the batch before moving on, so they stay in the first-level cache.
constexpr std::size_t kBlock = 2048;
// A bin is matches * 2 + hit.
constexpr int kBins = 2 * (kMaxMatches + 1);

struct Target {
    std::uint64_t low = 0, high = 0;        // the main numbers drawn
    std::uint64_t bonusLow = 0, bonusHigh = 0;
    std::int32_t extra = 0;
};

using Bins = std::array<std::int64_t, kBins>;

void SetBit(std::uint64_t& low, std::uint64_t& high, std::int32_t n)
{
    if (n < 64)
        low |= std::uint64_t{1} << n;
    else
        high |= std::uint64_t{1} << (n - 64);
}

// The population count instruction, where the processor has it, is most of the speed: the
// portable build would count bits with a dozen instructions instead.
#if defined(__GNUC__) && defined(__x86_64__)
#define BM_FAST_POPCOUNT __attribute__((target("popcnt")))
#define BM_INLINE inline __attribute__((always_inline))
#define BM_INLINE_LAMBDA __attribute__((always_inline))
bool HasFastPopcount() { return __builtin_cpu_supports("popcnt"); }
#else
#define BM_FAST_POPCOUNT
#define BM_INLINE inline
#define BM_INLINE_LAMBDA
bool HasFastPopcount() { return false; }
#endif

// Counts plays [from, to) into the bins of every draw. `Wide`: numbers beyond 63 occur.
template <ExtraNumber E, bool Wide>
BM_INLINE void CountBody(const CompactWheel& w, std::size_t from, std::size_t to, const Target* targets,
                         std::size_t count, Bins* bins)
{
    const std::uint64_t* low = w.low_.data();
    const std::uint64_t* high = w.high_.data();
    const std::int32_t* extra = w.extra_.data();
    for (std::size_t d = 0; d < count; ++d) {
        const Target t = targets[d];
        // Four sets of counters, so that plays falling in the same bin do not wait on each other.
        std::uint32_t h[4][kBins] = {};
        std::size_t i = from;
        auto one = [&](std::size_t k, std::size_t lane) BM_INLINE_LAMBDA {
            int matches = std::popcount(low[k] & t.low);
            if constexpr (Wide)
                matches += std::popcount(high[k] & t.high);
            int hit = 0;
            if constexpr (E == ExtraNumber::Bonus) {
                if constexpr (Wide)
                    hit = ((low[k] & t.bonusLow) | (high[k] & t.bonusHigh)) != 0;
                else
                    hit = (low[k] & t.bonusLow) != 0;
            } else if constexpr (E == ExtraNumber::Powerball) {
                hit = extra[k] == t.extra;
            }
            ++h[lane][matches * 2 + hit];
        };
        for (; i + 4 <= to; i += 4) {
            one(i, 0);
            one(i + 1, 1);
            one(i + 2, 2);
            one(i + 3, 3);
        }
        for (; i < to; ++i)
            one(i, 0);
        for (int b = 0; b < kBins; ++b)
            bins[d][static_cast<std::size_t>(b)] += h[0][b] + h[1][b] + h[2][b] + h[3][b];
    }
}

template <ExtraNumber E, bool Wide>
BM_FAST_POPCOUNT void CountFast(const CompactWheel& w, std::size_t from, std::size_t to, const Target* targets,
                                std::size_t count, Bins* bins)
{
    CountBody<E, Wide>(w, from, to, targets, count, bins);
}

template <ExtraNumber E, bool Wide>
void CountPortable(const CompactWheel& w, std::size_t from, std::size_t to, const Target* targets, std::size_t count,
                   Bins* bins)
{
    CountBody<E, Wide>(w, from, to, targets, count, bins);
}

using BlockCounter = void (*)(const CompactWheel&, std::size_t, std::size_t, const Target*, std::size_t, Bins*);

template <ExtraNumber E>
BlockCounter CounterFor(bool wide)
{
    if (HasFastPopcount())
        return wide ? &CountFast<E, true> : &CountFast<E, false>;
    return wide ? &CountPortable<E, true> : &CountPortable<E, false>;
}

BlockCounter ChooseCounter(ExtraNumber extra, bool wide)
{
    switch (extra) {
    case ExtraNumber::Bonus: return CounterFor<ExtraNumber::Bonus>(wide);
    case ExtraNumber::Powerball: return CounterFor<ExtraNumber::Powerball>(wide);
    case ExtraNumber::None: break;
    }
    return CounterFor<ExtraNumber::None>(wide);
}

void CountRange(BlockCounter counter, const CompactWheel& w, std::size_t from, std::size_t to,
                const std::vector<Target>& targets, std::vector<Bins>& bins, std::atomic<bool>& stop,
                const HistoryPoll* poll, std::int64_t drawsDone)
{
    for (std::size_t b = from; b < to && !stop.load(std::memory_order_relaxed); b += kBlock) {
        counter(w, b, std::min(to, b + kBlock), targets.data(), targets.size(), bins.data());
        if (poll && *poll && !(*poll)(drawsDone))
            stop = true;
    }
}

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const auto& p : parts)
        text += "," + p;
    return text;
}

std::string Counts(const CheckGame& game, const Tally& tally, std::int64_t wins)
{
    std::string text;
    for (std::size_t i = 0; i < game.tiers.size(); ++i)
        text += "," + std::to_string(tally.count[i]);
    return text + "," + std::to_string(wins) + "\n";
}

}  // namespace

Result<CompactWheel> CompactWheel::Read(const std::filesystem::path& wheel, const CheckGame& game, int pool)
{
    if (const Status plain = CheckWheelIsFile(wheel); !plain)
        return plain.error();
    auto input = InputFile::Open(wheel);
    if (!input)
        return input.error();
    bool stopped = false;
    auto read = Read(*input, game, pool, {}, stopped);
    if (const Status same = (*input)->CheckUnchanged(); read && !same)
        return same.error();
    return read;
}

Result<CompactWheel> CompactWheel::Read(const std::shared_ptr<const InputFile>& wheel, const CheckGame& game, int pool,
                                        const std::function<bool()>& keepGoing, bool& stopped)
{
    if (pool < 1 || pool > kMaxPool)
        return Error{"a pool of " + std::to_string(pool) + " numbers cannot be checked against a history (1 to " +
                     std::to_string(kMaxPool) + ")"};
    auto reader = WheelReader::Open(wheel, game.numbersPerPlay, NumberWidth::Bits32);
    if (!reader)
        return reader.error();
    CompactWheel w;
    const PlayRule rule(game, pool);
    Play play;
    stopped = false;
    while ((*reader)->Next(play)) {
        if (keepGoing && (w.low_.size() & 0xFFFF) == 0xFFFF && !keepGoing()) {
            stopped = true;
            return w;
        }
        if (auto fault = rule.Accepts(play) ? std::nullopt : rule.Fault(play))
            return Error{wheel->path().string() + ": line " + std::to_string(play.line) + ": " + *fault};
        std::uint64_t low = 0, high = 0;
        for (int i = 0; i < game.mainPicks; ++i)
            SetBit(low, high, play.numbers[static_cast<std::size_t>(i)]);
        w.wide_ = w.wide_ || high != 0;
        w.low_.push_back(low);
        w.high_.push_back(high);
        if (game.extraMatchesLastPick)
            w.extra_.push_back(play.numbers[static_cast<std::size_t>(game.numbersPerPlay - 1)]);
    }
    if ((*reader)->error())
        return *(*reader)->error();
    return w;
}

Status RunHistory(const CheckGame& game, const CompactWheel& wheel, DrawsReader& draws,
                  const std::function<void(const HistoryRow&)>& row, HistoryRun& run, Clock& clock, int workers,
                  const HistoryPoll& poll)
{
    const std::int64_t start = clock.NowMs();
    run.plays = static_cast<std::int64_t>(wheel.size());
    // A play that matches few numbers is not asked about the extra one: its bin folds into hit 0.
    std::array<int, kBins> tierOfBin{};
    for (int m = 0; m <= kMaxMatches; ++m)
        for (int hit = 0; hit < 2; ++hit)
            tierOfBin[static_cast<std::size_t>(m * 2 + hit)] =
                m > game.mainPicks ? -1 : game.TierOf(m, game.LooksAtHit(m) ? hit : 0);
    const ExtraNumber extra = game.extraMatchesLastPick ? ExtraNumber::Powerball
                              : game.extra == ExtraNumber::Bonus ? ExtraNumber::Bonus
                                                                 : ExtraNumber::None;
    const BlockCounter counter = ChooseCounter(extra, wheel.wide_);
    workers = std::clamp(workers, 1, 8);
    if (wheel.size() < kBlock * 4)
        workers = 1;

    std::vector<HistoryDraw> batch;
    std::vector<Target> targets;
    std::vector<std::vector<Bins>> bins(static_cast<std::size_t>(workers));
    std::atomic<bool> stop{false};
    HistoryDraw next;
    bool more = true;
    while (more && !stop) {
        batch.clear();
        targets.clear();
        while (batch.size() < kBatch && (more = draws.Next(next))) {
            Target t;
            for (int j = 0; j < next.draw.mainCount; ++j)
                SetBit(t.low, t.high, next.draw.main[static_cast<std::size_t>(j)]);
            if (game.extra == ExtraNumber::Bonus)
                SetBit(t.bonusLow, t.bonusHigh, next.draw.extra);
            t.extra = next.draw.extra;
            targets.push_back(t);
            batch.push_back(std::move(next));
        }
        if (draws.error())
            break;
        for (auto& b : bins)
            b.assign(batch.size(), Bins{});
        const std::size_t n = wheel.size();
        std::vector<std::thread> threads;
        for (int k = 1; k < workers; ++k) {
            const std::size_t from = n / static_cast<std::size_t>(workers) * static_cast<std::size_t>(k);
            const std::size_t to = k + 1 == workers ? n : n / static_cast<std::size_t>(workers) * (k + 1);
            threads.emplace_back(CountRange, counter, std::cref(wheel), from, to, std::cref(targets),
                                 std::ref(bins[static_cast<std::size_t>(k)]), std::ref(stop), nullptr, run.draws);
        }
        CountRange(counter, wheel, 0, workers == 1 ? n : n / static_cast<std::size_t>(workers), targets, bins[0], stop,
                   &poll, run.draws);
        for (auto& t : threads)
            t.join();
        if (stop)
            break;
        for (std::size_t d = 0; d < batch.size(); ++d) {
            HistoryRow r;
            r.draw = std::move(batch[d]);
            for (const auto& b : bins)
                for (int bin = 0; bin < kBins; ++bin)
                    if (const int tier = tierOfBin[static_cast<std::size_t>(bin)]; tier >= 0)
                        r.tally.count[static_cast<std::size_t>(tier)] += b[d][static_cast<std::size_t>(bin)];
            r.wins = TotalsOf(game, r.tally).wins;
            for (std::size_t i = 0; i < game.tiers.size(); ++i)
                run.total.count[i] += r.tally.count[i];
            run.wins += r.wins;
            ++run.draws;
            row(r);
        }
        if (poll && !poll(run.draws))
            stop = true;
    }
    run.aborted = stop;
    run.elapsedMs = clock.NowMs() - start;
    run.drawsFile = draws.notes();
    if (draws.error() && !stop)
        return *draws.error();
    return Ok{};
}

std::vector<std::string> HistoryTierNames(const CheckGame& game)
{
    std::vector<std::string> names;
    for (const auto& tier : game.tiers) {
        std::string name = tier.summaryLabel;
        if (name.size() >= 3 && name.compare(name.size() - 3, 3, " - ") == 0)
            name.resize(name.size() - 3);
        names.push_back(name);
    }
    return names;
}

std::string HistoryDrawText(const CheckGame& game, const DrawResult& draw)
{
    std::string text;
    for (int i = 0; i < draw.mainCount; ++i)
        text += (i ? " " : "") + std::to_string(draw.main[static_cast<std::size_t>(i)]);
    if (game.extra != ExtraNumber::None)
        text += " +" + std::to_string(draw.extra);
    return text;
}

std::string HistoryCsvHeader(const CheckGame& game) { return "Date,Draw" + Joined(HistoryTierNames(game)) + ",Wins\n"; }

std::string HistoryCsvRow(const CheckGame& game, const HistoryRow& row)
{
    return row.draw.date + "," + HistoryDrawText(game, row.draw.draw) + Counts(game, row.tally, row.wins);
}

std::string HistoryCsvTotal(const CheckGame& game, const HistoryRun& run)
{
    return "Total," + Counts(game, run.total, run.wins);
}

}  // namespace bm
