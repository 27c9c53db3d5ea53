// The check engine alone on the file of all 13,983,816 plays of 6 from 49, read in one piece and
// by workers side by side, and the sorting of plays into tiers on plays held in memory. The file
// is made by bench/check-all-combinations.sh (BRINDLEMARK_COMBINATIONS_FILE names another
// place); every run checks its counts against C(6,k) x C(43,6-k).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

#include "checking/CheckEngine.h"

namespace {

std::filesystem::path CombinationsFile()
{
    const char* env = std::getenv("BRINDLEMARK_COMBINATIONS_FILE");
    return env ? env : "/tmp/brindlemark-all-6-from-49.txt";
}

const bm::CheckGame& SixFromFortyNine()
{
    return bm::CheckerById("six").Game(false);
}

bm::DrawResult TheDraw()
{
    bm::DrawResult draw;
    draw.main = {3, 11, 19, 27, 35, 43};
    draw.mainCount = 6;
    return draw;
}

bool CountsAreCombinatorial(const bm::Tally& tally)
{
    const std::int64_t expected[] = {6096454, 5775588, 1851150, 246820, 13545, 258, 1};
    for (int k = 0; k <= 6; ++k)
        if (tally.count[k] != expected[k])
            return false;
    return true;
}

void CheckAllCombinations(benchmark::State& state)
{
    const auto file = CombinationsFile();
    if (!std::filesystem::exists(file)) {
        state.SkipWithError("no file of all combinations: run bench/check-all-combinations.sh first");
        return;
    }
    const int workers = static_cast<int>(state.range(0));
    std::int64_t plays = 0;
    for (auto _ : state) {
        bm::CheckRun run;
        const auto status =
            workers == 1
                ? bm::RunCheck(SixFromFortyNine(), 49, TheDraw(), file, bm::MonotonicClock(), run)
                : bm::RunCheckInParts(SixFromFortyNine(), 49, TheDraw(), file, bm::MonotonicClock(), run, workers);
        if (!status || !CountsAreCombinatorial(run.tally)) {
            state.SkipWithError(status ? "wrong counts" : status.error().message.c_str());
            return;
        }
        plays += run.playsRead;
    }
    state.counters["plays_per_s"] = benchmark::Counter(static_cast<double>(plays), benchmark::Counter::kIsRate);
}
BENCHMARK(CheckAllCombinations)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void ClassifyPlays(benchmark::State& state)
{
    std::mt19937 random(49);
    std::uniform_int_distribution<int> number(1, 49);
    std::vector<bm::Play> plays(1 << 16);
    for (auto& p : plays) {
        for (int k = 0; k < 6; ++k)
            p.numbers[k] = number(random);
        p.count = 6;
    }
    const auto& game = bm::CheckerById("six").Game(true);
    auto draw = TheDraw();
    draw.extra = 44;
    const bm::DrawMatcher matcher(game, draw, 49);
    std::int64_t sum = 0;
    for (auto _ : state)
        for (const auto& p : plays)
            sum += matcher.Classify(p);
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(plays.size()));
}
BENCHMARK(ClassifyPlays);

}  // namespace
