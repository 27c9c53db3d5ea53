#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "checking/GameVariants.h"
#include "support/TempDir.h"
#include "wheels/WheelAnalysis.h"

namespace {

using bm::wheels::Analyze;
using bm::wheels::Binomial;
using bm::wheels::Coverage;
using bm::wheels::Play;

using Wheel = std::vector<Play>;

// Calls f with every k-subset of `from`, ascending.
template <typename F>
void ForEachSubset(const std::vector<int>& from, int k, F&& f)
{
    std::vector<int> pick(static_cast<std::size_t>(k));
    std::vector<int> index(static_cast<std::size_t>(k));
    std::iota(index.begin(), index.end(), 0);
    const int n = static_cast<int>(from.size());
    if (k > n)
        return;
    while (true) {
        for (int i = 0; i < k; ++i)
            pick[static_cast<std::size_t>(i)] = from[static_cast<std::size_t>(index[static_cast<std::size_t>(i)])];
        f(pick);
        int i = k - 1;
        while (i >= 0 && index[static_cast<std::size_t>(i)] == n - k + i)
            --i;
        if (i < 0)
            return;
        ++index[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < k; ++j)
            index[static_cast<std::size_t>(j)] = index[static_cast<std::size_t>(j) - 1] + 1;
    }
}

int BestMatch(const Wheel& wheel, const std::vector<int>& draw)
{
    int best = 0;
    for (const Play& play : wheel) {
        int m = 0;
        for (int n : play)
            m += std::count(draw.begin(), draw.end(), n) > 0 ? 1 : 0;
        best = std::max(best, m);
    }
    return best;
}

// Every draw against every play: labels 0..v-1 are the wheel's numbers, v..pool-1 the rest.
Coverage BruteForce(const Wheel& wheel, int v, int pool, int drawn)
{
    Coverage c;
    c.plays = static_cast<std::int64_t>(wheel.size());
    c.numbers = v;
    c.best.assign(static_cast<std::size_t>(drawn) + 1, 0);
    const int top = std::min(drawn, v);
    c.guaranteed.assign(static_cast<std::size_t>(top) + 1, drawn + 1);
    c.drawsWithin.assign(static_cast<std::size_t>(top) + 1, 0);
    std::vector<int> all(static_cast<std::size_t>(pool));
    std::iota(all.begin(), all.end(), 0);
    ForEachSubset(all, drawn, [&](const std::vector<int>& draw) {
        ++c.best[static_cast<std::size_t>(BestMatch(wheel, draw))];
        ++c.drawsWithin[static_cast<std::size_t>(
            std::count_if(draw.begin(), draw.end(), [&](int n) { return n < v; }))];
    });
    std::vector<int> u(all.begin(), all.begin() + v);
    for (int m = 0; m <= top; ++m)
        ForEachSubset(u, m, [&](const std::vector<int>& s) {
            int& g = c.guaranteed[static_cast<std::size_t>(m)];
            g = std::min(g, BestMatch(wheel, s));
        });
    return c;
}

Wheel RandomWheel(std::mt19937& rng, int v, int plays, int size)
{
    Wheel w;
    std::vector<int> labels(static_cast<std::size_t>(v));
    std::iota(labels.begin(), labels.end(), 0);
    for (int p = 0; p < plays; ++p) {
        std::shuffle(labels.begin(), labels.end(), rng);
        w.emplace_back(labels.begin(), labels.begin() + size);
    }
    return w;
}

// Plays taken from every k-subset of 0..v-1 in turn while they add an uncovered t-subset of a
// draw's m numbers: a greedy "t if m" covering on v numbers.
Wheel GreedyCovering(int v, int k, int t)
{
    std::vector<int> u(static_cast<std::size_t>(v));
    std::iota(u.begin(), u.end(), 0);
    std::vector<std::vector<int>> uncovered;
    ForEachSubset(u, t, [&](const std::vector<int>& s) { uncovered.push_back(s); });
    Wheel w;
    ForEachSubset(u, k, [&](const std::vector<int>& play) {
        const auto before = uncovered.size();
        std::erase_if(uncovered, [&](const std::vector<int>& s) {
            return std::all_of(s.begin(), s.end(), [&](int n) { return std::count(play.begin(), play.end(), n) > 0; });
        });
        if (uncovered.size() < before)
            w.push_back(play);
    });
    return w;
}

void ExpectSame(const Coverage& got, const Coverage& want, const std::string& what)
{
    EXPECT_EQ(got.plays, want.plays) << what;
    EXPECT_EQ(got.numbers, want.numbers) << what;
    EXPECT_EQ(got.guaranteed, want.guaranteed) << what;
    EXPECT_EQ(got.drawsWithin, want.drawsWithin) << what;
    EXPECT_EQ(got.best, want.best) << what;
}

TEST(WheelAnalysis, AgreesWithEveryDrawAgainstEveryPlay)
{
    std::mt19937 rng(2501);
    struct Game {
        int pool, drawn;
    };
    for (const Game game : {Game{15, 5}, Game{20, 6}}) {
        const int k = game.drawn;
        const struct {
            const char* name;
            Wheel wheel;
            int v;
        } wheels[] = {
            {"one play", {{0, 1, 2, 3, 4, 5}}, 6},
            {"random on 9", RandomWheel(rng, 9, 7, k), 9},
            {"random on 12", RandomWheel(rng, 12, 20, k), 12},
            {"random on the whole pool", RandomWheel(rng, game.pool, 30, k), game.pool},
            {"greedy 3 if 3 on 10", GreedyCovering(10, k, 3), 10},
            {"greedy 2 if 2 on 13", GreedyCovering(13, k, 2), 13},
            {"no plays", {}, 0},
            {"fewer numbers than drawn", {{0, 1, 2}, {1, 2, 3}}, 4},
        };
        for (const auto& w : wheels) {
            Wheel wheel = w.wheel;
            if (std::string(w.name) == "one play")
                wheel.front().resize(static_cast<std::size_t>(k));
            const int v = std::string(w.name) == "one play" ? k : w.v;
            const std::string what =
                std::string(w.name) + " in " + std::to_string(k) + " of " + std::to_string(game.pool);
            const auto got = Analyze(wheel, v, game.pool, k);
            ASSERT_TRUE(got.ok()) << what << ": " << got.error().message;
            ExpectSame(*got, BruteForce(wheel, v, game.pool, k), what);
            // Both tables count every possible draw once.
            const std::int64_t draws = Binomial(game.pool, k);
            EXPECT_EQ(std::accumulate(got->best.begin(), got->best.end(), std::int64_t{0}), draws) << what;
            EXPECT_EQ(std::accumulate(got->drawsWithin.begin(), got->drawsWithin.end(), std::int64_t{0}), draws)
                << what;
        }
    }
}

// Levels large enough to be walked on two threads, the stretches of each meeting anywhere in a
// run of subsets that differ in their smallest member; plays of five, six and seven numbers.
TEST(WheelAnalysis, AgreesWithEveryDrawOnLevelsWalkedByTwoThreads)
{
    std::mt19937 rng(649);
    for (const int size : {5, 6, 7}) {
        const int v = size == 6 ? 26 : 25;
        const Wheel wheel = RandomWheel(rng, v, 12, size);
        const std::string what = std::to_string(size) + " of " + std::to_string(v);
        const auto got = Analyze(wheel, v, v + 1, 6);
        ASSERT_TRUE(got.ok()) << what << ": " << got.error().message;
        ExpectSame(*got, BruteForce(wheel, v, v + 1, 6), what);
    }
}

TEST(WheelAnalysis, APlayLostBreaksTheGuarantee)
{
    // A greedy "3 if 3" wheel on 10 numbers for 5 of 15: every 3 numbers of the 10 lie in one play.
    Wheel wheel = GreedyCovering(10, 5, 3);
    const auto full = Analyze(wheel, 10, 15, 5);
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(full->guaranteed[3], 3);
    EXPECT_EQ(full->guaranteed[5], 3);
    // Each play of a greedy wheel was taken for a triple no earlier play held; without the first
    // play that triple is in no play, and a draw of it with two numbers outside the wheel matches 2.
    EXPECT_EQ(*bm::wheels::Guaranteed(wheel, 10, 3), 3);
    EXPECT_EQ(*bm::wheels::Guaranteed(wheel, 10, 5), full->guaranteed[5]);
    EXPECT_FALSE(bm::wheels::Guaranteed(wheel, 10, 11).ok());
    wheel.erase(wheel.begin());
    EXPECT_EQ(*bm::wheels::Guaranteed(wheel, 10, 3), 2);
    const auto lacking = Analyze(wheel, 10, 15, 5);
    ASSERT_TRUE(lacking.ok());
    EXPECT_EQ(lacking->guaranteed[3], 2);
    ExpectSame(*lacking, BruteForce(wheel, 10, 15, 5), "greedy wheel less its first play");
    EXPECT_GT(lacking->best[2], full->best[2]);
}

TEST(WheelAnalysis, AFullWheelMatchesWhatEveryDrawHoldsOfIt)
{
    // Every 5-subset of 8 numbers, 5 of 30: a draw matches all it holds of the 8, up to 5.
    std::vector<int> u(8);
    std::iota(u.begin(), u.end(), 0);
    Wheel wheel;
    ForEachSubset(u, 5, [&](const std::vector<int>& s) { wheel.push_back(s); });
    const auto got = Analyze(wheel, 8, 30, 5);
    ASSERT_TRUE(got.ok());
    EXPECT_EQ(got->guaranteed, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    for (int t = 0; t <= 5; ++t)
        EXPECT_EQ(got->best[static_cast<std::size_t>(t)], Binomial(8, t) * Binomial(22, 5 - t)) << t;
    EXPECT_EQ(bm::wheels::CoverageText(*got).substr(0, 36), "Plays,56\nNumbers,8\nIf,Guaranteed,Dra");
}

TEST(WheelAnalysis, TextIsTheContract)
{
    // Worked by hand: the pair 4 5 lies in no play, so m numbers holding it match m - 1 at best.
    const auto got = Analyze({{0, 1, 2, 3, 4}, {0, 1, 2, 3, 5}}, 6, 10, 5);
    ASSERT_TRUE(got.ok());
    EXPECT_EQ(bm::wheels::CoverageText(*got), "Plays,2\nNumbers,6\nIf,Guaranteed,Draws\n"
                                              "0,0,0\n1,1,6\n2,1,60\n3,2,120\n4,3,60\n5,4,6\n"
                                              "Best,Draws\n0,0\n1,10\n2,80\n3,120\n4,40\n5,2\n");
}

TEST(WheelAnalysis, RefusesWhatItCannotDo)
{
    const struct {
        Wheel wheel;
        int v, pool, drawn;
        const char* says;
    } cases[] = {
        {{{0, 1, 6}}, 6, 49, 6, "play 1: label 6 is not one of 0 to 5"},
        {{{0, 1, 1}}, 6, 49, 6, "play 1: label 1 is given twice"},
        {{}, 50, 49, 6, "a pool of 49 numbers cannot hold"},
        {{}, 10, 49, 0, "a draw of 0 numbers cannot be analysed"},
        // A wheel on 90 numbers of a 7-number game: billions of subsets, refused at once.
        {{}, 90, 90, 7, "takes 8140616224 subsets"},
    };
    for (const auto& c : cases) {
        const auto got = Analyze(c.wheel, c.v, c.pool, c.drawn);
        ASSERT_FALSE(got.ok()) << c.says;
        EXPECT_NE(got.error().message.find(c.says), std::string::npos) << got.error().message;
    }
    EXPECT_EQ(bm::wheels::SubsetCount(90, 7), 8140616224);
}

TEST(WheelAnalysis, StopsWhenAsked)
{
    std::mt19937 rng(7);
    const Wheel wheel = RandomWheel(rng, 40, 50, 6);
    int asked = 0;
    const auto stopped = Analyze(wheel, 40, 49, 6, [&](double done) {
        EXPECT_GE(done, 0.0);
        EXPECT_LE(done, 1.0);
        return ++asked < 2;
    });
    ASSERT_FALSE(stopped.ok());
    EXPECT_EQ(stopped.error().message, "");
    EXPECT_EQ(asked, 2);
    double last = 0;
    ASSERT_TRUE(Analyze(wheel, 40, 49, 6, [&](double done) {
                    EXPECT_GE(done, last);
                    last = done;
                    return true;
                }).ok());
    EXPECT_EQ(last, 1.0);
}

TEST(WheelAnalysis, ReadsAWheelFileByTheCheckersRules)
{
    bmtest::TempDir dir;
    const struct {
        const char* checker;
        bool bonus;
        const char* text;
        std::vector<int> numbers;
        Wheel plays;
        const char* refusal;
    } cases[] = {
        {"six",
         false,
         "# mine\r\n3,11,19,27,35,43\r\n\r\n43 11 5 6 7 8\r\n",
         {3, 5, 6, 7, 8, 11, 19, 27, 35, 43},
         {{0, 5, 6, 7, 8, 9}, {9, 5, 1, 2, 3, 4}},
         nullptr},
        // The powerball is not drawn from the main numbers: it plays no part.
        {"powerball", false, "1,2,3,4,5,26\r\n", {1, 2, 3, 4, 5}, {{0, 1, 2, 3, 4}}, nullptr},
        {"six", false, "1,2,3,4,5,50\r\n", {}, {}, "line 1: 50 is not a number of this game (1 to 49)"},
        {"six", false, "1,2,3,4,5,5\r\n", {}, {}, "line 1: 5 is given twice"},
        {"six", false, "1,2,3,4,5\r\n", {}, {}, "line 1 holds 5 numbers"},
    };
    for (const auto& c : cases) {
        const auto file = dir / "w.txt";
        bmtest::WriteBytes(file, c.text);
        const auto read = bm::wheels::ReadWheelForAnalysis(file, bm::CheckerById(c.checker).Game(c.bonus), 49);
        if (c.refusal) {
            ASSERT_FALSE(read.ok()) << c.text;
            EXPECT_NE(read.error().message.find(c.refusal), std::string::npos) << read.error().message;
            EXPECT_NE(read.error().message.find(file.string()), std::string::npos) << read.error().message;
            continue;
        }
        ASSERT_TRUE(read.ok()) << read.error().message;
        EXPECT_EQ(read->numbers, c.numbers);
        EXPECT_EQ(read->plays.Unpacked(), c.plays);
    }
}

}  // namespace
