#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "wheels/CoverageOracle.h"
#include "wheels/CoveringBounds.h"
#include "wheels/DesignConstructions.h"
#include "wheels/LottoBits.h"
#include "wheels/LottoStarts.h"
#include "wheels/LottoState.h"
#include "wheels/SubsetRanks.h"
#include "wheels/WheelSearch.h"

namespace bm::wheels {
namespace {

SearchLimits Rounds(std::int64_t rounds, std::uint64_t seed = 1)
{
    SearchLimits limits;
    limits.seed = seed;
    limits.maxRounds = rounds;
    return limits;
}

// keepGoing says no at its calls-th call: the search ends there with the best complete wheel
// it last told of.
void ExpectStopKeepsBestTold(const WheelShape& shape, int calls)
{
    int called = 0;
    std::size_t bestTold = 0;
    SearchLimits limits;
    limits.keepGoing = [&](const SearchProgress& progress) {
        bestTold = progress.bestPlays;
        return ++called < calls;
    };
    const SearchResult result = BuildWheel(shape, limits);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.rounds, calls);
    EXPECT_EQ(result.plays.size(), bestTold);
    ExpectSoundWheel(shape, result.plays);
}

TEST(SubsetRanks, RankAndUnrankRoundTripInColexOrder)
{
    const Binomials& c = Binomials::Table();
    std::uint64_t expected = 0;
    // colex order: by largest member, then the next...
    for (int d = 2; d < 9; ++d)
        for (int b = 1; b < d; ++b)
            for (int a = 0; a < b; ++a) {
                const int set[] = {a, b, d};
                EXPECT_EQ(RankOf(set, 3, c), expected);
                int back[3];
                UnrankInto(expected, 3, back, c);
                EXPECT_TRUE(std::equal(back, back + 3, set));
                ++expected;
            }
    EXPECT_EQ(expected, c(9, 3));
    EXPECT_EQ(c(128, 64), ~std::uint64_t{0}) << "too large to hold: saturates";
}

TEST(CoveringBounds, ShapesThatMakeNoSenseAreNamed)
{
    const struct {
        WheelShape shape;
        const char* says;
    } cases[] = {
        {{10, 3, 3, 4}, "the match 4 is more than the if 3"},
        {{10, 11, 3, 3}, "plays of 11 cannot be taken from 10 numbers"},
        {{10, 3, 11, 2}, "11 numbers cannot be drawn from 10"},
        {{10, 2, 4, 3}, "the match 3 is more than the 2 numbers of a play"},
        {{10, 3, 3, 0}, "the match must be at least 1"},
        {{0, 3, 3, 1}, "at least 1 number"},
        {{129, 6, 6, 3}, "at most 128 numbers"},
        {{10, 0, 3, 1}, "a play needs at least 1 number"},
    };
    for (const auto& c : cases)
        EXPECT_NE(ShapeProblem(c.shape).find(c.says), std::string::npos) << ShapeProblem(c.shape);
    EXPECT_EQ(ShapeProblem({49, 6, 6, 3}), "");
    EXPECT_EQ(ShapeProblem({6, 6, 6, 6}), "");
}

TEST(CoveringBounds, KnownLowerBounds)
{
    const struct {
        WheelShape shape;
        std::uint64_t plays;
        const char* reason;
    } cases[] = {
        {{7, 3, 2, 2}, 7, "Schonheim"},    {{10, 5, 4, 4}, 51, "proven optimum"},  // Schonheim says 50
        {{13, 6, 5, 5}, 245, "Schonheim"}, {{20, 6, 5, 5}, 2624, "Schonheim"},
        {{10, 4, 10, 1}, 1, "Turan"},      {{10, 3, 4, 1}, 3, "Turan"},  // 7 numbers must be played: ceil(7/3)
        {{6, 3, 3, 2}, 2, "Turan"},                                      // 2 triangles hold the 6 pairs needed
        {{49, 6, 6, 3}, 87, "Turan"},                                    // de Caen: 1,725 triples at least, 20 a play
        {{27, 6, 4, 3}, 47, "Turan"},      {{8, 8, 5, 2}, 1, "Turan"},
        {{10, 4, 4, 4}, 210, "Schonheim"},
    };
    for (const auto& c : cases) {
        const LowerBound bound = KnownLowerBound(c.shape);
        EXPECT_EQ(bound.plays, c.plays) << c.shape.v << " " << c.shape.k << " " << c.shape.m << " " << c.shape.t;
        EXPECT_EQ(bound.reason, c.reason) << c.shape.v << " " << c.shape.k << " " << c.shape.m << " " << c.shape.t;
    }
    EXPECT_EQ(SchonheimBound(10, 5, 4), 50u);
    EXPECT_EQ(TuranBound(10, 3, 2), 20u);  // the complement of the largest triangle-free graph
    EXPECT_EQ(TuranBound(9, 4, 2), 9u);
}

TEST(CoveringBounds, PublishedRecordsNeverBelowTheBound)
{
    for (int v = 2; v <= 49; ++v)
        for (int k = 1; k <= std::min(v, 8); ++k)
            for (int m = 1; m <= std::min(v, 8); ++m)
                for (int t = 1; t <= std::min(k, m); ++t) {
                    const WheelShape s{v, k, m, t};
                    const auto record = PublishedRecord(s);
                    if (!record)
                        continue;
                    const LowerBound bound = KnownLowerBound(s);
                    EXPECT_LE(bound.plays, record->plays) << v << " " << k << " " << m << " " << t;
                    if (record->provenOptimal) {
                        EXPECT_EQ(bound.plays, record->plays);
                    }
                }
    ASSERT_TRUE(PublishedRecord({49, 6, 6, 3}));
    EXPECT_EQ(PublishedRecord({49, 6, 6, 3})->plays, 163u);
    EXPECT_FALSE(PublishedRecord({15, 6, 5, 4}));
}

TEST(GuaranteeCheck, CountsTheSubsetsNoPlayMeets)
{
    EXPECT_EQ(CountUncoveredSets({4, 2, 2, 2}, {{0, 1}, {2, 3}}), 4u);
    EXPECT_EQ(CountUncoveredSets({4, 2, 2, 1}, {{0, 1}}), 1u);  // {2,3}
    EXPECT_EQ(CountUncoveredSets({6, 3, 3, 2}, {{0, 1, 2}, {3, 4, 5}}), 0u);
    EXPECT_EQ(CountUncoveredSets({6, 3, 3, 2}, {{0, 1, 2}}), 1u + 9u);  // 3,4,5 and two of them with one of 0..2
    EXPECT_EQ(CountUncoveredSets({5, 2, 2, 2}, {}), 10u);
}

TEST(DesignConstructions, PlanesOfPrimeOrderAreCoverings)
{
    const struct {
        WheelShape shape;
        std::size_t lines;
    } cases[] = {
        {{25, 5, 2, 2}, 30}, {{49, 7, 2, 2}, 56}, {{7, 3, 2, 2}, 7}, {{13, 4, 2, 2}, 13}, {{31, 6, 2, 2}, 31},
    };
    for (const auto& c : cases) {
        const auto lines = KnownConstruction(c.shape);
        EXPECT_EQ(lines.size(), c.lines);
        ExpectSoundWheel(c.shape, lines);
    }
    EXPECT_TRUE(KnownConstruction({36, 6, 2, 2}).empty()) << "no plane of order 6";
    EXPECT_TRUE(KnownConstruction({25, 5, 3, 3}).empty());
}

// Small shapes whose smallest wheel is known: the search must reach it and stop there.
TEST(WheelSearch, ReachesKnownOptimaAndStops)
{
    const struct {
        WheelShape shape;
        std::size_t optimum;
    } cases[] = {
        {{7, 3, 2, 2}, 7}, {{8, 3, 2, 2}, 11}, {{9, 3, 2, 2}, 12},   {{5, 4, 3, 3}, 4},   {{6, 4, 3, 3}, 6},
        {{7, 6, 5, 5}, 6}, {{8, 4, 3, 3}, 14}, {{9, 5, 4, 4}, 30},   {{10, 3, 4, 1}, 3},  {{6, 3, 3, 2}, 2},
        {{8, 4, 3, 2}, 2}, {{6, 6, 4, 2}, 1},  {{12, 6, 5, 5}, 132}, {{11, 7, 6, 6}, 84},
    };
    for (const auto& c : cases) {
        const SearchResult result = BuildWheel(c.shape, Rounds(2000));
        EXPECT_EQ(result.plays.size(), c.optimum)
            << c.shape.v << " " << c.shape.k << " " << c.shape.m << " " << c.shape.t;
        EXPECT_TRUE(result.reachedBound);
        EXPECT_FALSE(result.stopped);
        ExpectSoundWheel(c.shape, result.plays);
    }
    // Small shapes are not held up by a long look for a wheel of orbits first.
    for (const WheelShape shape : {WheelShape{10, 7, 6, 6}, WheelShape{11, 7, 6, 6}, WheelShape{10, 5, 4, 4}}) {
        const SearchResult result = BuildWheel(shape, Rounds(150));
        EXPECT_TRUE(result.reachedBound) << shape.v << " " << shape.k << ": " << result.plays.size();
    }
}

TEST(WheelSearch, TheSameSeedGivesTheSameWheel)
{
    const WheelShape shape{11, 6, 5, 5};  // record 100, the bound 92: ends by its budget
    const SearchResult a = BuildWheel(shape, Rounds(12, 7));
    const SearchResult b = BuildWheel(shape, Rounds(12, 7));
    EXPECT_EQ(a.rounds, 12);
    EXPECT_FALSE(a.reachedBound);
    EXPECT_EQ(a.plays, b.plays);
    ExpectSoundWheel(shape, a.plays);
    const SearchResult other = BuildWheel(shape, Rounds(12, 8));
    ExpectSoundWheel(shape, other.plays);
    // A longer budget goes on along the same way: never a larger wheel.
    const SearchResult longer = BuildWheel(shape, Rounds(40, 7));
    EXPECT_LE(longer.plays.size(), a.plays.size());
}

TEST(WheelSearch, StoppingKeepsTheBestCompleteWheel)
{
    ExpectStopKeepsBestTold({14, 6, 5, 5}, 20);

    // Stopped before the first wheel was complete: nothing.
    SearchLimits early;
    early.keepGoing = [](const SearchProgress&) { return false; };
    const SearchResult none = BuildWheel({20, 6, 5, 5}, early);
    EXPECT_TRUE(none.stopped);
    EXPECT_TRUE(none.plays.empty());
}

// Every phase of the search, the setting up of a large shape too, asks whether to go on at least
// once in a few rounds of work: a time limit or Ctrl+C is heard within them, never only once the
// set-up is done. Told as work (subsets looked at), not time. The largest single step allowed is
// a few rounds: a play of the greedy start, which meets some 3.3 million sets twice here.
TEST(WheelSearch, EveryPhaseAsksWhetherToGoOn)
{
    const struct {
        WheelShape shape;
        std::int64_t rounds;
    } cases[] = {
        // 7.7 million 11-sets, plays of one number: each play meets 3.3 million of them, and
        // setting up the descent looks at 85 million.
        {{26, 1, 11, 1}, 400},
        {{20, 5, 6, 3}, 20},
        {{18, 6, 5, 4}, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.shape.v) + " " + std::to_string(c.shape.k) + " " + std::to_string(c.shape.m) +
                     " " + std::to_string(c.shape.t));
        std::uint64_t last = 0, widest = 0;
        SearchLimits limits = Rounds(c.rounds);
        limits.keepGoing = [&](const SearchProgress& progress) {
            widest = std::max(widest, progress.work - last);
            last = progress.work;
            return true;
        };
        const SearchResult result = BuildWheel(c.shape, limits);
        widest = std::max(widest, result.work - last);
        EXPECT_GT(result.work, 0u);
        EXPECT_LE(widest, std::uint64_t{16} << 20) << "work done without asking";
    }
}

// "3 if 6" on 20 numbers: plays meet thousands of 6-sets each, so the search starts from two
// coverings of every 3 of 10 numbers (any 6 numbers put 3 in one half).
TEST(WheelSearch, StartsALottoDesignFromCoveringsOfItsParts)
{
    const WheelShape shape{20, 5, 6, 3};
    const SearchResult result = BuildWheel(shape, Rounds(3));
    ASSERT_FALSE(result.plays.empty());
    ExpectSoundWheel(shape, result.plays);
    EXPECT_LE(result.plays.size(), 2u * 50u) << "no larger than two greedy coverings C(10,5,3)";
    EXPECT_EQ(BuildWheel(shape, Rounds(3)).plays, result.plays);

    int calls = 0;
    SearchLimits early;
    early.keepGoing = [&calls](const SearchProgress&) { return ++calls < 2; };
    const SearchResult none = BuildWheel(shape, early);
    EXPECT_TRUE(none.stopped);
    EXPECT_TRUE(none.plays.empty());
}

// A seeded generator of indexes below n, the same on every machine.
struct Below {
    std::uint64_t seed;
    std::size_t operator()(std::size_t n)
    {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::size_t>((seed >> 33) % n);
    }
};

// A lotto state against a recount from its plays and against the oracle; a set it samples as
// uncovered is met by no play in t numbers.
template <typename State>
void ExpectAgreesWithARecount(State& state, const WheelShape& shape, Below& below, const std::string& name)
{
    ASSERT_TRUE(state.Consistent()) << name;
    std::vector<Play> plays;
    for (std::size_t q = 0; q < state.Plays(); ++q)
        plays.emplace_back(state.Elems(q), state.Elems(q) + shape.k);
    EXPECT_EQ(state.Uncovered(), CountUncoveredSets(shape, plays)) << name;
    if (state.Uncovered() == 0)
        return;
    int d[16];
    state.SampleUncovered(below, d);
    for (const Play& q : plays) {
        int common = 0;
        for (int i = 0; i < shape.m; ++i)
            common += std::count(q.begin(), q.end(), d[i]) != 0 ? 1 : 0;
        EXPECT_LT(common, shape.t) << name << ": sampled a covered set";
    }
}

std::string NameOf(const WheelShape& shape)
{
    return std::to_string(shape.v) + "/" + std::to_string(shape.k) + "/" + std::to_string(shape.m) + "/" +
           std::to_string(shape.t);
}

// Random swaps, removals and weighings on small lotto shapes: the price of every swap is what it
// changes, and the kept counts always agree with a recount from the plays and with the oracle.
TEST(LottoState, AgreesWithARecountAfterManyMoves)
{
    for (const WheelShape shape : {WheelShape{11, 5, 4, 3}, WheelShape{10, 4, 5, 2}, WheelShape{9, 3, 4, 1}}) {
        ASSERT_TRUE(LottoState::Fits(shape));
        LottoState state(shape);
        Below below{12345};
        std::vector<int> start;
        for (int p = 0; p < 7; ++p) {
            Play play;
            for (int e = 0; e < shape.v && static_cast<int>(play.size()) < shape.k; ++e)
                if (below(2) == 0 || shape.v - e == shape.k - static_cast<int>(play.size()))
                    play.push_back(e);
            if (p < 4)
                start.insert(start.end(), play.begin(), play.end());
            else if (p == 4)
                state.AddPlays(start);
            if (p >= 4)
                state.AddPlay(play.data());
        }
        ASSERT_TRUE(state.Consistent());
        for (int move = 0; move < 300; ++move) {
            const std::size_t p = below(state.Plays());
            int x = state.Elems(p)[below(static_cast<std::size_t>(shape.k))];
            int y = static_cast<int>(below(static_cast<std::size_t>(shape.v)));
            if (state.Holds(p, y))
                continue;
            const std::uint64_t before = state.Uncovered();
            const std::int64_t delta = state.SwapDelta(p, x, y);
            state.Swap(p, x, y);
            if (move < 100) {  // every weight still 1
                EXPECT_EQ(static_cast<std::int64_t>(state.Uncovered()) - static_cast<std::int64_t>(before), delta);
            }
            if (move >= 100 && state.Uncovered() > 0) {
                int d[16];
                state.SampleUncovered(below, d);
                state.WeighSet(d);
            }
            if (move % 50 == 49)
                ExpectAgreesWithARecount(state, shape, below, NameOf(shape) + " move " + std::to_string(move));
            if (move == 150) {
                state.RemovePlay(below(state.Plays()));
                ASSERT_TRUE(state.Consistent());
            }
        }
    }
    EXPECT_FALSE(LottoState::Fits({10, 4, 3, 3})) << "a covering";
}

// The "t if t+1" state under random plays, swaps and removals, up to the 64-number edge of its
// masks and past the size of its table of ranks (33^4): every swap's price is what it changes, a play's sets covered by it alone are what its
// removal uncovers, and the counts always agree with a recount and with the oracle.
TEST(LottoBits, AgreesWithARecountAfterManyMoves)
{
    for (const WheelShape shape : {WheelShape{11, 5, 4, 3}, WheelShape{9, 3, 2, 1}, WheelShape{13, 4, 3, 2},
                                   WheelShape{10, 3, 4, 3}, WheelShape{64, 5, 3, 2}, WheelShape{33, 6, 5, 4}}) {
        const std::string name = NameOf(shape);
        ASSERT_TRUE(LottoBits::Fits(shape)) << name;
        LottoBits state(shape);
        Below below{987654321};
        for (int p = 0; p < 8; ++p) {
            std::set<int> play;
            while (static_cast<int>(play.size()) < shape.k)
                play.insert(static_cast<int>(below(static_cast<std::size_t>(shape.v))));
            const std::vector<int> sorted(play.begin(), play.end());
            state.AddPlay(sorted.data());
        }
        ASSERT_TRUE(state.Consistent()) << name;
        for (int move = 0; move < 300; ++move) {
            const std::size_t p = below(state.Plays());
            const int x = state.Elems(p)[below(static_cast<std::size_t>(shape.k))];
            const int y = static_cast<int>(below(static_cast<std::size_t>(shape.v)));
            if (((state.Mask(p) >> y) & 1) != 0)
                continue;
            const std::uint64_t before = state.Uncovered();
            const std::int64_t delta = state.SwapDelta(p, x, y);
            state.Swap(p, x, y);
            ASSERT_EQ(static_cast<std::int64_t>(state.Uncovered()) - static_cast<std::int64_t>(before), delta)
                << name << " move " << move;
            ASSERT_TRUE(std::is_sorted(state.Elems(p), state.Elems(p) + shape.k)) << name;
            if (move % 50 == 49)
                ExpectAgreesWithARecount(state, shape, below, name + " move " + std::to_string(move));
            if (move % 100 == 99) {
                const std::size_t gone = below(state.Plays());
                const std::uint64_t only = state.OnlyBy(gone);
                const std::uint64_t uncovered = state.Uncovered();
                state.RemovePlay(gone);
                EXPECT_EQ(state.Uncovered(), uncovered + only) << name;
                ASSERT_TRUE(state.Consistent()) << name;
            }
        }
    }
    EXPECT_FALSE(LottoBits::Fits({11, 5, 5, 3})) << "m more than t+1";
    EXPECT_FALSE(LottoBits::Fits({65, 5, 4, 3})) << "more numbers than a mask holds";
    EXPECT_FALSE(LottoBits::Fits({10, 4, 3, 3})) << "a covering";
}

// Every m numbers meet the family in a triple, and it is far smaller than all triples.
TEST(LottoState, CyclicTripleFamilyMeetsEveryMSet)
{
    const Binomials& c = Binomials::Table();
    for (const WheelShape shape : {WheelShape{13, 5, 4, 3}, WheelShape{14, 6, 5, 3}, WheelShape{16, 6, 6, 3}}) {
        const std::vector<char> family = CyclicTripleFamily(shape);
        ASSERT_EQ(family.size(), c(shape.v, 3));
        EXPECT_LT(std::count(family.begin(), family.end(), 1), static_cast<std::ptrdiff_t>(family.size() / 2));
        int d[8];
        for (std::uint64_t r = 0; r < c(shape.v, shape.m); ++r) {
            UnrankInto(r, shape.m, d, c);
            bool met = false;
            ForEachSubset(d, shape.m, 3, [&](const int* q) {
                met = met || family[RankOf(q, 3, c)] != 0;
                return !met;
            });
            ASSERT_TRUE(met) << shape.v << " " << shape.m << " set " << r;
        }
        const std::vector<int> plays = CyclicPlays(shape, 2, shape.k, 1'000'000);
        ASSERT_FALSE(plays.empty());
        for (std::size_t p = 0; p < plays.size(); p += static_cast<std::size_t>(shape.k))
            ASSERT_TRUE(std::is_sorted(plays.begin() + static_cast<std::ptrdiff_t>(p),
                                       plays.begin() + static_cast<std::ptrdiff_t>(p) + shape.k));
    }
    EXPECT_TRUE(CyclicTripleFamily({20, 6, 6, 2}).empty());
}

// Lotto designs are searched through LottoState: what comes back covers, the same seed gives the
// same wheel, and keepGoing ends the search with the best complete wheel.
TEST(WheelSearch, LottoDesignsAreSoundRepeatableAndStoppable)
{
    for (const WheelShape shape : {WheelShape{12, 5, 4, 3}, WheelShape{14, 4, 5, 2}, WheelShape{16, 6, 5, 3}}) {
        const SearchResult a = BuildWheel(shape, Rounds(60, 3));
        ASSERT_FALSE(a.plays.empty()) << shape.v << " " << shape.k << " " << shape.m << " " << shape.t;
        ExpectSoundWheel(shape, a.plays);
        EXPECT_EQ(BuildWheel(shape, Rounds(60, 3)).plays, a.plays)
            << shape.v << " " << shape.k << " " << shape.m << " " << shape.t;
    }
    ExpectStopKeepsBestTold({27, 6, 4, 3}, 30);
}

TEST(WheelSearch, RefusesWhatItCannotHold)
{
    EXPECT_EQ(SearchSizeProblem({49, 6, 6, 3}), "");
    const std::string problem = SearchSizeProblem({90, 7, 7, 3});
    EXPECT_NE(problem.find("7471375560 subsets"), std::string::npos) << problem;
    EXPECT_TRUE(BuildWheel({90, 7, 7, 3}, Rounds(1)).plays.empty());
}

}  // namespace
}  // namespace bm::wheels
