#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "wheels/CoverageOracle.h"
#include "wheels/OrbitSearch.h"
#include "wheels/WheelSearch.h"

namespace bm::wheels {
namespace {

constexpr std::uint64_t kRound = std::uint64_t{1} << 20;

OrbitLimits Budget(std::uint64_t rounds, std::uint64_t stopAt, std::uint64_t seed = 1)
{
    OrbitLimits limits;
    limits.seed = seed;
    limits.workBudget = rounds * kRound;
    limits.stopAtPlays = stopAt;
    return limits;
}

TEST(OrbitSearch, GroupsArePermutationsOfTheLabels)
{
    const std::vector<LabelGroup> groups = CandidateGroups(14);
    ASSERT_FALSE(groups.empty());
    bool affine = false;
    bool cycle = false;
    for (const LabelGroup& g : groups) {
        for (std::vector<int> gen : g.generators) {
            ASSERT_EQ(gen.size(), 14u) << g.name;
            std::sort(gen.begin(), gen.end());
            for (int x = 0; x < 14; ++x)
                EXPECT_EQ(gen[static_cast<std::size_t>(x)], x) << g.name;
        }
        affine = affine || (g.name == "x -> 2x + b on Z13 + 1" && g.order == 13 * 12);
        cycle = cycle || (g.name == "2 x 7-cycle" && g.order == 7);
    }
    EXPECT_TRUE(affine);
    EXPECT_TRUE(cycle);
    EXPECT_TRUE(std::is_sorted(groups.begin(), groups.end(),
                               [](const LabelGroup& a, const LabelGroup& b) { return a.order > b.order; }));
}

// v = p^n (n >= 2): n commuting translations of order p that move 0 to every label; no group for
// other v.
TEST(OrbitSearch, TranslationsOfAnAffineSpace)
{
    const struct {
        int v;
        std::size_t generators;
        int p;
    } cases[] = {{27, 3, 3}, {9, 2, 3},  {16, 4, 2}, {25, 2, 5}, {49, 2, 7}, {8, 3, 2},   {128, 7, 2},
                 {13, 0, 0}, {12, 0, 0}, {2, 0, 0},  {26, 0, 0}, {1, 0, 0},  {256, 0, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        const auto group = TranslationGroup(c.v);
        ASSERT_EQ(group.has_value(), c.generators > 0) << c.v;
        if (!group)
            continue;
        EXPECT_EQ(group->generators.size(), c.generators) << c.v;
        EXPECT_EQ(group->order, static_cast<std::uint64_t>(c.v));
        std::set<int> reached{0};
        std::vector<int> frontier{0};
        for (const auto& g : group->generators) {
            std::vector<int> sorted = g;
            std::sort(sorted.begin(), sorted.end());
            for (int x = 0; x < c.v; ++x)
                ASSERT_EQ(sorted[static_cast<std::size_t>(x)], x) << c.v << ": not a permutation";
            for (int x = 0; x < c.v; ++x) {
                int y = x;
                for (int i = 0; i < c.p; ++i)
                    y = g[static_cast<std::size_t>(y)];
                EXPECT_EQ(y, x) << c.v << ": a translation has order p";
                EXPECT_NE(g[static_cast<std::size_t>(x)], x) << c.v << ": and moves every label";
            }
            for (const auto& h : group->generators)
                for (int x = 0; x < c.v; ++x)
                    EXPECT_EQ(g[static_cast<std::size_t>(h[static_cast<std::size_t>(x)])],
                              h[static_cast<std::size_t>(g[static_cast<std::size_t>(x)])])
                        << c.v << ": translations commute";
        }
        while (!frontier.empty()) {
            const int x = frontier.back();
            frontier.pop_back();
            for (const auto& g : group->generators)
                if (reached.insert(g[static_cast<std::size_t>(x)]).second)
                    frontier.push_back(g[static_cast<std::size_t>(x)]);
        }
        EXPECT_EQ(reached.size(), static_cast<std::size_t>(c.v)) << c.v << ": 0 is moved to every label";
    }
}

// Under the translations of Z3^3 the lotto design "3 if 4" on 27 numbers comes in far fewer plays
// than under any cycle (100 at best before they were tried), within a fixed budget of work: one
// start gives 99, many short ones on the same tables 90.
TEST(OrbitSearch, ALottoDesignOnAnAffineSpaceIsMadeOfTranslates)
{
    const WheelShape shape{27, 6, 4, 3};
    const OrbitResult alone = OrbitWheel(shape, *TranslationGroup(27), Budget(40, 0));
    ASSERT_FALSE(alone.plays.empty());
    EXPECT_LE(alone.plays.size(), 99u);
    ExpectSoundWheel(shape, alone.plays);

    SearchLimits limits;
    limits.maxRounds = 220;
    const SearchResult built = BuildWheel(shape, limits);
    ASSERT_FALSE(built.plays.empty());
    EXPECT_LE(built.plays.size(), 90u);
    ExpectSoundWheel(shape, built.plays);

    // With more rounds the group-free descent that follows goes below any sum of orbits.
    limits.maxRounds = 1000;
    const SearchResult below = BuildWheel(shape, limits);
    EXPECT_LE(below.plays.size(), 89u);
    ExpectSoundWheel(shape, below.plays);
}

// Optimal coverings that are unions of orbits: found within a few rounds, checked by the oracle.
TEST(OrbitSearch, FindsOptimalCoveringsMadeOfOrbits)
{
    const struct {
        WheelShape shape;
        std::size_t plays;
    } cases[] = {
        {{14, 4, 3, 3}, 91},                                               // Steiner quadruple systems
        {{16, 4, 3, 3}, 140}, {{20, 4, 3, 3}, 285}, {{12, 6, 5, 5}, 132},  // optimal
        {{14, 6, 5, 5}, 371},                                              // the record
    };
    for (const auto& c : cases) {
        // The search ends where it reaches the size asked for: no work is counted after it is told.
        std::uint64_t after = 0;
        bool reached = false;
        OrbitLimits limits = Budget(60, c.plays);
        limits.tick = [&](std::uint64_t done, std::uint64_t best) {
            if (reached)
                after += done;
            reached = reached || (best != 0 && best <= c.plays);
            return true;
        };
        const OrbitResult found = OrbitWheel(c.shape, limits);
        EXPECT_EQ(found.plays.size(), c.plays) << c.shape.v << " " << c.shape.k << " " << found.group;
        EXPECT_FALSE(found.stopped);
        EXPECT_TRUE(reached);
        EXPECT_LT(after, kRound / 8) << c.shape.v << " " << c.shape.k << ": work done after the size was reached";
        ExpectSoundWheel(c.shape, found.plays);
    }
}

TEST(OrbitSearch, TheSameSeedGivesTheSameWheelAndTickStopsIt)
{
    const WheelShape shape{17, 6, 5, 5};
    const OrbitResult a = OrbitWheel(shape, Budget(20, 0, 3));
    const OrbitResult b = OrbitWheel(shape, Budget(20, 0, 3));
    ASSERT_FALSE(a.plays.empty());
    EXPECT_EQ(a.plays, b.plays);
    EXPECT_EQ(a.group, b.group);
    ExpectSoundWheel(shape, a.plays);
    ExpectSoundWheel(shape, OrbitWheel(shape, Budget(20, 0, 4)).plays);

    // A one-group search asked to beat a size it cannot reach returns nothing rather than a
    // larger wheel.
    const LabelGroup cycle = CandidateGroups(17).back();
    OrbitLimits tight = Budget(2, 0);
    tight.beat = 10;
    EXPECT_TRUE(OrbitWheel(shape, cycle, tight).plays.empty());
    LabelGroup broken = cycle;
    broken.generators[0][3] = broken.generators[0][4];
    EXPECT_TRUE(OrbitWheel(shape, broken, Budget(2, 0)).plays.empty()) << "no permutation: nothing";

    std::uint64_t told = 0;
    OrbitLimits stopping = Budget(100, 0);
    stopping.tick = [&told](std::uint64_t work, std::uint64_t) {
        told += work;
        return told < 3 * kRound;
    };
    const OrbitResult stopped = OrbitWheel(shape, stopping);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_LT(told, 3 * kRound + kRound / 8) << "stops within a few thousand subsets of being told";
    if (!stopped.plays.empty())
        ExpectSoundWheel(shape, stopped.plays);
}

// The wheel search starts from the orbit wheel where it is smaller: a Steiner quadruple system
// meets the bound, so the search ends there at once.
TEST(OrbitSearch, WheelSearchStartsFromIt)
{
    const WheelShape shape{20, 4, 3, 3};
    SearchLimits limits;
    limits.maxRounds = 400;
    const SearchResult result = BuildWheel(shape, limits);
    EXPECT_EQ(result.plays.size(), 285u);
    EXPECT_TRUE(result.reachedBound);
    EXPECT_LT(result.rounds, limits.maxRounds) << "ended at the bound, not by its budget";
    ExpectSoundWheel(shape, result.plays);
}

}  // namespace
}  // namespace bm::wheels
