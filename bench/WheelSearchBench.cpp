#include <benchmark/benchmark.h>

#include "wheels/CoveringBounds.h"
#include "wheels/WheelSearch.h"

namespace {

// The wheel size a search reaches within a fixed number of rounds (a count of work, not of
// time), so that two versions of the search compare alike on a busy machine. Arguments: v, k,
// m, t, rounds, seed. Counters: the size reached and its ratio to the published record.
void BM_WheelSearchRounds(benchmark::State& state)
{
    const bm::wheels::WheelShape shape{static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                                       static_cast<int>(state.range(2)), static_cast<int>(state.range(3))};
    bm::wheels::SearchLimits limits;
    limits.maxRounds = state.range(4);
    limits.seed = static_cast<std::uint64_t>(state.range(5));
    std::size_t plays = 0;
    for (auto _ : state) {
        const auto result = bm::wheels::BuildWheel(shape, limits);
        plays = result.plays.size();
    }
    state.counters["plays"] = static_cast<double>(plays);
    if (const auto record = bm::wheels::PublishedRecord(shape))
        state.counters["ratio"] = static_cast<double>(plays) / record->plays;
}
// The rows furthest from their records, at a budget of about ten seconds on a quiet machine.
BENCHMARK(BM_WheelSearchRounds)
    ->ArgNames({"v", "k", "m", "t", "rounds", "seed"})
    ->Args({13, 4, 3, 3, 2000, 1})
    ->Args({16, 6, 5, 5, 2000, 1})
    ->Args({18, 6, 5, 5, 2000, 1})
    ->Args({20, 6, 5, 5, 2000, 1})
    ->Args({19, 6, 5, 5, 2000, 1})
    ->Args({22, 4, 3, 3, 2000, 1})
    ->Args({26, 4, 3, 3, 2000, 1})
    ->Args({28, 4, 3, 3, 2000, 1})
    ->Args({30, 4, 3, 3, 2000, 1})
    ->Args({27, 6, 4, 3, 2000, 1})
    ->Args({49, 6, 6, 3, 2000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
