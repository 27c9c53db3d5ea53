#include "wheels/OrbitSearch.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "wheels/DesignConstructions.h"
#include "wheels/SubsetRanks.h"

namespace bm::wheels {

namespace {

// Every m-subset and k-subset gets an orbit number of four bytes: beyond this many the tables
// would outgrow what a start is worth.
constexpr std::uint64_t kMaxOrbitSets = 4'000'000;
// Pairs (k-orbit, m-subset it covers) looked at to build the cover table; bounds its memory too.
constexpr std::uint64_t kMaxIncidences = 30'000'000;
constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint64_t kTickWork = std::uint64_t{1} << 14;
// Steps without a smaller cover after which a group is given up: in the first look at every
// group, and when the best are searched again.
constexpr std::uint64_t kFirstPatience = 200'000;
constexpr std::uint64_t kAgainPatience = 1'500'000;
// The work of one fresh start on the tables of the translations of an affine space, by when its
// search has mostly settled (27 numbers "3 if 4": 90 plays within a few dozen such starts, where
// one long start mostly stays at 99 or 108).
constexpr std::uint64_t kTranslationStartWork = 6'000'000;

// splitmix64: small, and the same on every platform.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : s_(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t Below(std::uint64_t n) { return n <= 1 ? 0 : Next() % n; }

private:
    std::uint64_t s_;
};

// Counts work and hands it to the caller's tick in lumps. A step of the cover search is a few
// table look-ups, far cheaper than a subset looked at (ranked and counted) by the wheel search:
// kOpsPerSubset of them count as one, so that a round takes about as long here as there.
constexpr std::uint64_t kOpsPerSubset = 8;
class Ticker {
public:
    explicit Ticker(const std::function<bool(std::uint64_t, std::uint64_t)>& tick) : tick_(tick) {}
    bool AddOps(std::uint64_t ops)
    {
        ops_ += ops;
        if (ops_ >= kTickWork * kOpsPerSubset)
            Flush();
        return !stopped_;
    }
    bool AddSubsets(std::uint64_t subsets) { return AddOps(subsets * kOpsPerSubset); }
    void Flush()
    {
        const std::uint64_t work = ops_ / kOpsPerSubset;
        ops_ %= kOpsPerSubset;
        total_ += work;
        if (work > 0 && tick_ && !tick_(work, best_))
            stopped_ = true;
    }
    // The smallest wheel found so far, told with the work.
    void Found(std::uint64_t plays) { best_ = best_ == 0 ? plays : std::min(best_, plays); }
    bool Stopped() const { return stopped_; }
    // Subsets' worth of work told so far.
    std::uint64_t Total() const { return total_ + ops_ / kOpsPerSubset; }

private:
    const std::function<bool(std::uint64_t, std::uint64_t)>& tick_;
    std::uint64_t best_ = 0;
    std::uint64_t ops_ = 0;
    std::uint64_t total_ = 0;
    bool stopped_ = false;
};

void SortSmall(int* a, int n)
{
    for (int i = 1; i < n; ++i) {
        const int x = a[i];
        int j = i;
        for (; j > 0 && a[j - 1] > x; --j)
            a[j] = a[j - 1];
        a[j] = x;
    }
}

// Gives every r-subset of 0..v-1 the number of its orbit (in `id`) and returns one member of
// each orbit and the orbit's size. False when stopped.
bool NumberOrbits(int v, int r, const LabelGroup& group, std::vector<std::uint32_t>& id,
                  std::vector<std::uint32_t>& reps, std::vector<std::uint32_t>& sizes, Ticker& ticker)
{
    const Binomials& c = Binomials::Table();
    const auto n = static_cast<std::uint32_t>(c(v, r));
    id.assign(n, kNone);
    std::vector<std::uint32_t> stack;
    int set[kMaxWheelNumbers];
    int image[kMaxWheelNumbers];
    const auto gens = static_cast<std::uint64_t>(group.generators.size());
    for (std::uint32_t start = 0; start < n; ++start) {
        if (id[start] != kNone)
            continue;
        const auto orbit = static_cast<std::uint32_t>(reps.size());
        id[start] = orbit;
        stack.assign(1, start);
        std::uint32_t size = 0;
        while (!stack.empty()) {
            const std::uint32_t x = stack.back();
            stack.pop_back();
            ++size;
            UnrankInto(x, r, set, c);
            for (const auto& gen : group.generators) {
                for (int i = 0; i < r; ++i)
                    image[i] = gen[static_cast<std::size_t>(set[i])];
                SortSmall(image, r);
                const auto y = static_cast<std::uint32_t>(RankOf(image, r, c));
                if (id[y] == kNone) {
                    id[y] = orbit;
                    stack.push_back(y);
                }
            }
        }
        reps.push_back(start);
        sizes.push_back(size);
        if (!ticker.AddSubsets(size * gens))
            return false;
    }
    return true;
}

// The set-cover problem on orbits: columns are k-orbits (cost: their size), rows m-orbits.
struct OrbitTables {
    std::vector<std::uint32_t> kId;
    std::vector<std::uint32_t> cost;
    std::vector<std::uint32_t> colStart, colRows;
    std::vector<std::uint32_t> rowStart, rowCols;
    std::size_t Cols() const { return cost.size(); }
    std::size_t Rows() const { return rowStart.size() - 1; }
};

bool PermutesTheLabels(int v, const LabelGroup& group)
{
    for (const auto& gen : group.generators) {
        if (gen.size() != static_cast<std::size_t>(v))
            return false;
        std::vector<char> seen(gen.size(), 0);
        for (const int x : gen) {
            if (x < 0 || x >= v || seen[static_cast<std::size_t>(x)] != 0)
                return false;
            seen[static_cast<std::size_t>(x)] = 1;
        }
    }
    return !group.generators.empty();
}

// Work to build the tables, or 0 when they would be too large to hold (or the group is no
// group of the labels).
std::uint64_t TableWork(const WheelShape& s, const LabelGroup& group)
{
    if (!PermutesTheLabels(s.v, group))
        return 0;
    const Binomials& c = Binomials::Table();
    const std::uint64_t kSets = c(s.v, s.k);
    const std::uint64_t mSets = c(s.v, s.m);
    if (kSets > kMaxOrbitSets || mSets > kMaxOrbitSets || group.order < 2)
        return 0;
    // Most orbits are full sized; a few short ones change little.
    const std::uint64_t incidences = SaturatingMul(kSets / group.order + 1, SetsOnePlayCovers(s));
    if (incidences > kMaxIncidences)
        return 0;
    const auto gens = static_cast<std::uint64_t>(group.generators.size());
    return (kSets * static_cast<std::uint64_t>(s.k) + mSets * static_cast<std::uint64_t>(s.m)) * gens + incidences;
}

bool BuildTables(const WheelShape& s, const LabelGroup& group, OrbitTables& t, Ticker& ticker)
{
    const Binomials& c = Binomials::Table();
    std::vector<std::uint32_t> mId, mReps, mSizes, kReps;
    if (!NumberOrbits(s.v, s.m, group, mId, mReps, mSizes, ticker))
        return false;
    if (!NumberOrbits(s.v, s.k, group, t.kId, kReps, t.cost, ticker))
        return false;
    const std::size_t rows = mReps.size();
    std::vector<std::uint32_t> stamp(rows, kNone);
    t.colStart.assign(1, 0);
    int play[kMaxWheelNumbers];
    int outside[kMaxWheelNumbers];
    int merged[kMaxWheelNumbers];
    for (std::uint32_t col = 0; col < kReps.size(); ++col) {
        UnrankInto(kReps[col], s.k, play, c);
        int n = 0;
        for (int e = 0, j = 0; e < s.v; ++e) {
            if (j < s.k && play[j] == e)
                ++j;
            else
                outside[n++] = e;
        }
        std::uint64_t looked = 0;
        for (int i = s.t; i <= std::min(s.k, s.m); ++i) {
            ForEachSubset(play, s.k, i, [&](const int* a) {
                return ForEachSubset(outside, n, s.m - i, [&](const int* b) {
                    std::merge(a, a + i, b, b + (s.m - i), merged);
                    const std::uint32_t row = mId[static_cast<std::size_t>(RankOf(merged, s.m, c))];
                    if (stamp[row] != col) {
                        stamp[row] = col;
                        t.colRows.push_back(row);
                    }
                    ++looked;
                    return true;
                });
            });
        }
        t.colStart.push_back(static_cast<std::uint32_t>(t.colRows.size()));
        if (!ticker.AddSubsets(looked))
            return false;
    }
    t.rowStart.assign(rows + 1, 0);
    for (const std::uint32_t row : t.colRows)
        ++t.rowStart[row + 1];
    for (std::size_t r = 0; r < rows; ++r)
        t.rowStart[r + 1] += t.rowStart[r];
    t.rowCols.resize(t.colRows.size());
    std::vector<std::uint32_t> fill(t.rowStart.begin(), t.rowStart.end() - 1);
    for (std::uint32_t col = 0; col < t.Cols(); ++col)
        for (std::uint32_t i = t.colStart[col]; i < t.colStart[col + 1]; ++i)
            t.rowCols[fill[t.colRows[i]]++] = col;
    return ticker.AddOps(t.colRows.size() * 2);
}

// Weighted local search for the cheapest cover: the chosen columns are kept just under the best
// cost found; each step drops the column that loses least per play and adds, for a random
// uncovered row, the column that gains most per play. Rows left uncovered grow heavier, which
// steers the search out of the places where it is stuck.
class OrbitCover {
public:
    OrbitCover(const OrbitTables& t, std::uint64_t seed)
        : t_(t),
          rng_(seed),
          score_(t.Cols(), 0),
          age_(t.Cols(), 0),
          free_(t.Cols(), 1),
          solPos_(t.Cols(), kNone),
          cnt_(t.Rows(), 0),
          xr_(t.Rows(), 0),
          w_(t.Rows(), 1),
          uncPos_(t.Rows(), kNone)
    {
        for (std::uint32_t r = 0; r < t.Rows(); ++r) {
            uncPos_[r] = static_cast<std::uint32_t>(unc_.size());
            unc_.push_back(r);
        }
        for (std::uint32_t j = 0; j < t.Cols(); ++j)
            score_[j] = static_cast<std::int64_t>(t.colStart[j + 1] - t.colStart[j]);
    }

    // Searches until the work budget is spent, the search stalls, or a cover of at most stopAt
    // plays is found. False when stopped.
    // It gives up after `patience` steps (times the table's columns / 10'000, at least once)
    // without a smaller cover, or as many as it took to find the last one if more.
    bool Run(std::uint64_t budget, std::uint64_t stopAt, std::uint64_t patience, Ticker& ticker);

    const std::vector<std::uint32_t>& Best() const { return best_; }
    std::uint64_t BestCost() const { return bestCost_; }

private:
    std::int64_t Cost(std::uint32_t j) const { return static_cast<std::int64_t>(t_.cost[j]); }
    // a is better than b per play; ties go to the one left alone longer.
    bool Better(std::uint32_t a, std::uint32_t b) const
    {
        const std::int64_t l = score_[a] * Cost(b);
        const std::int64_t r = score_[b] * Cost(a);
        return l != r ? l > r : age_[a] < age_[b];
    }
    void Add(std::uint32_t j);
    void Remove(std::uint32_t j);
    std::uint32_t PickRemoval(std::uint32_t tabu);
    std::uint32_t PickAddition(std::uint32_t row, std::uint32_t tabu);
    void Uncovered(std::uint32_t r)
    {
        uncPos_[r] = static_cast<std::uint32_t>(unc_.size());
        unc_.push_back(r);
    }
    void Covered(std::uint32_t r)
    {
        const std::uint32_t at = uncPos_[r];
        unc_[at] = unc_.back();
        uncPos_[unc_[at]] = at;
        unc_.pop_back();
        uncPos_[r] = kNone;
    }

    const OrbitTables& t_;
    Rng rng_;
    std::vector<std::int64_t> score_;  // chosen: minus the weight only it covers; else the weight it would add
    std::vector<std::uint64_t> age_;
    // Configuration checking: a column taken out may come back only once a row of it changed
    // between covered and uncovered, which keeps the search from going round in circles.
    std::vector<std::uint8_t> free_;
    std::vector<std::uint32_t> solPos_;
    std::vector<std::uint32_t> sol_;
    std::vector<std::uint32_t> cnt_;
    std::vector<std::uint32_t> xr_;  // xor of the chosen columns covering the row: the one when cnt is 1
    std::vector<std::int64_t> w_;
    std::vector<std::uint32_t> uncPos_;
    std::vector<std::uint32_t> unc_;
    std::uint64_t cost_ = 0;
    std::uint64_t step_ = 0;
    std::uint64_t work_ = 0;
    std::vector<std::uint32_t> best_;
    std::uint64_t bestCost_ = std::numeric_limits<std::uint64_t>::max();
};

void OrbitCover::Add(std::uint32_t j)
{
    solPos_[j] = static_cast<std::uint32_t>(sol_.size());
    sol_.push_back(j);
    cost_ += t_.cost[j];
    age_[j] = step_;
    std::int64_t loss = 0;
    for (std::uint32_t i = t_.colStart[j]; i < t_.colStart[j + 1]; ++i) {
        const std::uint32_t r = t_.colRows[i];
        if (cnt_[r] == 0) {
            for (std::uint32_t q = t_.rowStart[r]; q < t_.rowStart[r + 1]; ++q) {
                score_[t_.rowCols[q]] -= w_[r];
                free_[t_.rowCols[q]] = 1;
            }
            work_ += t_.rowStart[r + 1] - t_.rowStart[r];
            Covered(r);
            loss += w_[r];
        } else if (cnt_[r] == 1) {
            score_[xr_[r]] += w_[r];
        }
        ++cnt_[r];
        xr_[r] ^= j;
    }
    score_[j] = -loss;
    work_ += t_.colStart[j + 1] - t_.colStart[j];
}

void OrbitCover::Remove(std::uint32_t j)
{
    const std::uint32_t at = solPos_[j];
    sol_[at] = sol_.back();
    solPos_[sol_[at]] = at;
    sol_.pop_back();
    solPos_[j] = kNone;
    cost_ -= t_.cost[j];
    age_[j] = step_;
    std::int64_t gain = 0;
    for (std::uint32_t i = t_.colStart[j]; i < t_.colStart[j + 1]; ++i) {
        const std::uint32_t r = t_.colRows[i];
        --cnt_[r];
        xr_[r] ^= j;
        if (cnt_[r] == 0) {
            for (std::uint32_t q = t_.rowStart[r]; q < t_.rowStart[r + 1]; ++q) {
                score_[t_.rowCols[q]] += w_[r];
                free_[t_.rowCols[q]] = 1;
            }
            work_ += t_.rowStart[r + 1] - t_.rowStart[r];
            Uncovered(r);
            gain += w_[r];
        } else if (cnt_[r] == 1) {
            score_[xr_[r]] -= w_[r];
        }
    }
    score_[j] = gain;
    free_[j] = 0;
    work_ += t_.colStart[j + 1] - t_.colStart[j];
}

std::uint32_t OrbitCover::PickRemoval(std::uint32_t tabu)
{
    std::uint32_t pick = kNone;
    for (const std::uint32_t j : sol_)
        if ((j != tabu || sol_.size() == 1) && (pick == kNone || Better(j, pick)))
            pick = j;
    work_ += sol_.size();
    return pick;
}

std::uint32_t OrbitCover::PickAddition(std::uint32_t row, std::uint32_t tabu)
{
    std::uint32_t pick = kNone;
    const std::uint32_t from = t_.rowStart[row];
    const std::uint32_t to = t_.rowStart[row + 1];
    for (std::uint32_t q = from; q < to; ++q) {
        const std::uint32_t j = t_.rowCols[q];
        if (j != tabu && free_[j] != 0 && (pick == kNone || Better(j, pick)))
            pick = j;
    }
    // None free: the best of all.
    if (pick == kNone)
        for (std::uint32_t q = from; q < to; ++q)
            if (pick == kNone || Better(t_.rowCols[q], pick))
                pick = t_.rowCols[q];
    work_ += to - from;
    return pick;
}

bool OrbitCover::Run(std::uint64_t budget, std::uint64_t stopAt, std::uint64_t patience, Ticker& ticker)
{
    // A greedy start: rows in random order, each covered by the column gaining most per play.
    std::vector<std::uint32_t> order(unc_);
    for (std::size_t i = order.size(); i > 1; --i)
        std::swap(order[i - 1], order[static_cast<std::size_t>(rng_.Below(i))]);
    for (const std::uint32_t r : order)
        if (cnt_[r] == 0)
            Add(PickAddition(r, kNone));
    for (std::size_t i = sol_.size(); i-- > 0;)
        if (i < sol_.size() && score_[sol_[i]] == 0)
            Remove(sol_[i]);
    // Only its own covers bound it, so that it comes down gradually from the greedy start.
    std::uint64_t target = std::numeric_limits<std::uint64_t>::max();
    patience = SaturatingMul(std::max<std::uint64_t>(1, t_.Cols() / 10'000), patience);
    std::uint64_t lastGain = 0;
    std::uint32_t added = kNone;
    const std::uint64_t endAt = ticker.Total() + budget;
    while (ticker.Total() < endAt) {
        if (!ticker.AddOps(work_))
            return false;
        work_ = 0;
        if (unc_.empty()) {
            if (cost_ < target) {
                best_ = sol_;
                bestCost_ = cost_;
                ticker.Found(cost_);
                target = cost_;
                lastGain = step_;
                if (cost_ <= stopAt)
                    return true;
            }
            Remove(PickRemoval(kNone));
            continue;
        }
        if (step_ - lastGain > std::max(patience, lastGain))
            return true;
        if (cost_ >= target && !sol_.empty()) {
            Remove(PickRemoval(added));
            continue;
        }
        ++step_;
        const std::uint32_t dropped = sol_.empty() ? kNone : PickRemoval(added);
        if (dropped != kNone)
            Remove(dropped);
        const std::uint32_t row = unc_[static_cast<std::size_t>(rng_.Below(unc_.size()))];
        added = PickAddition(row, dropped);
        Add(added);
        for (const std::uint32_t r : unc_) {
            ++w_[r];
            for (std::uint32_t q = t_.rowStart[r]; q < t_.rowStart[r + 1]; ++q)
                ++score_[t_.rowCols[q]];
            work_ += t_.rowStart[r + 1] - t_.rowStart[r];
        }
    }
    return true;
}

std::vector<Play> Expand(const WheelShape& s, const OrbitTables& t, const std::vector<std::uint32_t>& cols)
{
    const Binomials& c = Binomials::Table();
    std::vector<char> in(t.Cols(), 0);
    for (const std::uint32_t j : cols)
        in[j] = 1;
    std::vector<Play> plays;
    Play play(static_cast<std::size_t>(s.k));
    for (std::uint32_t r = 0; r < t.kId.size(); ++r)
        if (in[t.kId[r]] != 0) {
            UnrankInto(r, s.k, play.data(), c);
            plays.push_back(play);
        }
    std::sort(plays.begin(), plays.end());
    return plays;
}

struct GroupOutcome {
    std::vector<Play> plays;
    bool stopped = false;
};

// Searches the group's tables; with `again`, starts afresh with another seed each time the
// search gives up (or has had `startWork`, when not 0), until the budget is spent.
GroupOutcome SearchGroup(const WheelShape& s, const LabelGroup& group, std::uint64_t seed, std::uint64_t budget,
                         std::uint64_t stopAt, std::uint64_t patience, bool again, Ticker& ticker,
                         std::uint64_t startWork = 0)
{
    GroupOutcome outcome;
    const std::uint64_t tableWork = TableWork(s, group);
    // Tables that would eat most of the share leave too little for the search.
    if (tableWork == 0 || tableWork > budget / 2)
        return outcome;
    const std::uint64_t endAt = ticker.Total() + budget;
    OrbitTables tables;
    if (!BuildTables(s, group, tables, ticker)) {
        outcome.stopped = true;
        return outcome;
    }
    std::vector<std::uint32_t> best;
    std::uint64_t bestCost = std::numeric_limits<std::uint64_t>::max();
    for (std::uint64_t start = 0; ticker.Total() < endAt && (start == 0 || again); ++start) {
        OrbitCover cover(tables, seed + start * 0x9E3779B97F4A7C15ull);
        const std::uint64_t left = endAt - ticker.Total();
        outcome.stopped = !cover.Run(startWork != 0 ? std::min(left, startWork) : left, stopAt, patience, ticker);
        if (!cover.Best().empty() && cover.BestCost() < bestCost) {
            best = cover.Best();
            bestCost = cover.BestCost();
        }
        if (outcome.stopped || bestCost <= stopAt)
            break;
    }
    if (!best.empty())
        outcome.plays = Expand(s, tables, best);
    return outcome;
}

int Power(int a, int e, int p)
{
    int r = 1;
    for (int i = 0; i < e; ++i)
        r = r * a % p;
    return r;
}

std::uint64_t SeedFor(std::uint64_t seed, std::size_t group)
{
    return seed * 0x9E3779B97F4A7C15ull + static_cast<std::uint64_t>(group) * 0xD1B54A32D192ED03ull;
}

OrbitResult Beating(OrbitResult result, std::uint64_t beat)
{
    if (beat != 0 && result.plays.size() >= beat) {
        result.plays.clear();
        result.group.clear();
    }
    return result;
}

}  // namespace

std::vector<LabelGroup> CandidateGroups(int v)
{
    std::vector<LabelGroup> groups;
    for (int fixed = 0; fixed <= 2; ++fixed) {
        const int moved = v - fixed;
        for (int n = moved; n >= 3; --n) {
            if (moved % n != 0)
                continue;
            const int cycles = moved / n;
            std::vector<int> gen(static_cast<std::size_t>(v));
            for (int x = 0; x < v; ++x)
                gen[static_cast<std::size_t>(x)] = x < moved ? (x / n) * n + (x % n + 1) % n : x;
            LabelGroup g;
            g.generators.push_back(std::move(gen));
            g.order = static_cast<std::uint64_t>(n);
            g.name = (cycles > 1 ? std::to_string(cycles) + " x " : std::string()) + std::to_string(n) + "-cycle" +
                     (fixed > 0 ? " + " + std::to_string(fixed) : std::string());
            groups.push_back(std::move(g));
        }
        const int p = moved;
        if (!IsPrime(p) || p < 5)
            continue;
        // x -> ax + b with a in the subgroup of order d of the units mod p.
        int root = 2;
        while (true) {
            bool primitive = true;
            for (int q = 2; q < p - 1 && primitive; ++q)
                if ((p - 1) % q == 0 && IsPrime(q) && Power(root, (p - 1) / q, p) == 1)
                    primitive = false;
            if (primitive)
                break;
            ++root;
        }
        for (int d = 2; d <= p - 1; ++d) {
            if ((p - 1) % d != 0)
                continue;
            const int a = Power(root, (p - 1) / d, p);
            std::vector<int> shift(static_cast<std::size_t>(v));
            std::vector<int> times(static_cast<std::size_t>(v));
            for (int x = 0; x < v; ++x) {
                shift[static_cast<std::size_t>(x)] = x < p ? (x + 1) % p : x;
                times[static_cast<std::size_t>(x)] = x < p ? x * a % p : x;
            }
            LabelGroup g;
            g.generators = {std::move(shift), std::move(times)};
            g.order = static_cast<std::uint64_t>(p) * static_cast<std::uint64_t>(d);
            g.name = "x -> " + std::to_string(a) + "x + b on Z" + std::to_string(p) +
                     (fixed > 0 ? " + " + std::to_string(fixed) : std::string());
            groups.push_back(std::move(g));
        }
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const LabelGroup& a, const LabelGroup& b) { return a.order > b.order; });
    return groups;
}

OrbitResult OrbitWheel(const WheelShape& shape, const LabelGroup& group, const OrbitLimits& limits)
{
    OrbitResult result;
    if (!ShapeProblem(shape).empty())
        return result;
    Ticker ticker(limits.tick);
    GroupOutcome found = SearchGroup(shape, group, SeedFor(limits.seed, 0), limits.workBudget, limits.stopAtPlays,
                                     std::numeric_limits<std::uint64_t>::max() / 2, false, ticker);
    ticker.Flush();
    result.plays = std::move(found.plays);
    result.group = group.name;
    result.stopped = found.stopped || ticker.Stopped();
    return Beating(std::move(result), limits.beat);
}

std::optional<LabelGroup> TranslationGroup(int v)
{
    if (v > kMaxWheelNumbers)
        return std::nullopt;
    for (int p = 2; p * p <= v; ++p) {
        if (!IsPrime(p))
            continue;
        int n = 0;
        std::int64_t power = 1;
        while (power < v) {
            power *= p;
            ++n;
        }
        if (power != v)
            continue;
        LabelGroup g;
        // Label x has the digits of x in base p as its coordinates; generator i adds 1 to digit i.
        for (int i = 0, unit = 1; i < n; ++i, unit *= p) {
            std::vector<int> gen(static_cast<std::size_t>(v));
            for (int x = 0; x < v; ++x)
                gen[static_cast<std::size_t>(x)] = x - (x / unit % p) * unit + (x / unit % p + 1) % p * unit;
            g.generators.push_back(std::move(gen));
        }
        g.order = static_cast<std::uint64_t>(v);
        g.name = "translations of Z" + std::to_string(p) + "^" + std::to_string(n);
        return g;
    }
    return std::nullopt;
}

OrbitResult OrbitWheel(const WheelShape& shape, const OrbitLimits& limits)
{
    OrbitResult result;
    if (!ShapeProblem(shape).empty())
        return result;
    const std::vector<LabelGroup> groups = CandidateGroups(shape.v);
    if (groups.empty())
        return result;
    Ticker ticker(limits.tick);
    const auto done = [&]() {
        return result.stopped || (!result.plays.empty() && result.plays.size() <= limits.stopAtPlays) ||
               ticker.Total() >= limits.workBudget;
    };
    const auto searchWith = [&](const LabelGroup& group, std::uint64_t seed, std::uint64_t budget,
                                std::uint64_t patience, bool again, std::uint64_t startWork) {
        GroupOutcome found =
            SearchGroup(shape, group, seed, budget, limits.stopAtPlays, patience, again, ticker, startWork);
        const std::size_t plays = found.plays.size();
        if (plays > 0 && (result.plays.empty() || plays < result.plays.size())) {
            result.plays = std::move(found.plays);
            result.group = group.name;
        }
        result.stopped = found.stopped || ticker.Stopped();
        return plays;
    };
    const auto search = [&](std::size_t i, std::uint64_t budget, std::uint64_t patience, bool again) {
        return searchWith(groups[i], SeedFor(limits.seed, i), budget, patience, again, 0);
    };
    // Lotto designs on p^n numbers: the points of an affine space, whose translations make far
    // better orbits than cycles do (27 numbers "3 if 4": 90 plays against 100 at best). The size
    // reached hangs on the start, so half the budget goes to many short fresh starts on one set of
    // tables, before the other groups. Coverings keep the groups and shares they were tuned with.
    // Under any group holding the translations a wheel is a sum of 27s and 9s (90, then 81).
    // Smaller groups allow 87 but this search does far worse on them: 105-108 plays under Z3^2
    // or 3 x 9-cycle, 99 under x -> 3x + b on two Z11, and a 90-play wheel given as the start
    // under Z3^2 (or Z3, past the table limits here) stays at 90. The group-free tabu descent that
    // follows (BitsDescend) is what goes below 90.
    std::uint64_t rest = limits.workBudget;
    if (const auto translations = shape.t < shape.m ? TranslationGroup(shape.v) : std::nullopt) {
        const std::uint64_t share = limits.workBudget / 2;
        searchWith(*translations, SeedFor(limits.seed, groups.size()), share,
                   std::numeric_limits<std::uint64_t>::max() / 2, true, kTranslationStartWork);
        rest = limits.workBudget > ticker.Total() ? limits.workBudget - ticker.Total() : 0;
    }
    // A first look at every group with a quarter of the budget, then the two that went furthest
    // once more with the rest: the same seed retraces the first look and then goes on, and
    // fresh starts follow when it gives up.
    std::vector<std::pair<std::size_t, std::size_t>> tried;  // plays, group
    const std::uint64_t first = rest / 4 / groups.size();
    for (std::size_t i = 0; i < groups.size() && !done(); ++i)
        if (const std::size_t plays = search(i, first, kFirstPatience, false); plays > 0)
            tried.emplace_back(plays, i);
    std::stable_sort(tried.begin(), tried.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const std::size_t again = std::min<std::size_t>(tried.size(), 2);
    for (std::size_t n = 0; n < again && !done(); ++n)
        search(tried[n].second, (limits.workBudget - ticker.Total()) / (again - n), kAgainPatience, true);
    ticker.Flush();
    result.stopped = result.stopped || ticker.Stopped();
    return Beating(std::move(result), limits.beat);
}

}  // namespace bm::wheels
