#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>

#include "wheels/WheelAnalysis.h"
#include "wheels/WheelDesign.h"

namespace {

// `plays` distinct-number plays of 6 on labels 0..v-1, the same every run.
std::vector<bm::wheels::Play> RandomDesign(int v, int plays)
{
    std::mt19937 rng(2025);
    std::vector<int> labels(static_cast<std::size_t>(v));
    std::iota(labels.begin(), labels.end(), 0);
    std::vector<bm::wheels::Play> design;
    for (int p = 0; p < plays; ++p) {
        std::shuffle(labels.begin(), labels.end(), rng);
        design.emplace_back(labels.begin(), labels.begin() + 6);
    }
    return design;
}

// A 163-play wheel on all 49 numbers of 6/49: every one of the 13,983,816 draws.
void BM_Analyze163On49(benchmark::State& state)
{
    const auto wheel = RandomDesign(49, 163);
    for (auto _ : state) {
        auto c = bm::wheels::Analyze(wheel, 49, 49, 6);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_Analyze163On49)->Unit(benchmark::kMillisecond);

// A 62,832-play design on 36 numbers applied to 36 numbers of 6/49.
void BM_Analyze62832On36Of49(benchmark::State& state)
{
    const auto wheel = RandomDesign(36, 62'832);
    for (auto _ : state) {
        auto c = bm::wheels::Analyze(wheel, 36, 49, 6);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_Analyze62832On36Of49)->Unit(benchmark::kMillisecond);

// Reading that design as text (1-based, blank-separated) and putting 36 numbers in its place.
void BM_Apply62832(benchmark::State& state)
{
    std::string text = "# 62,832 plays of 6 on 36 labels\n";
    for (const auto& play : RandomDesign(36, 62'832)) {
        for (int label : play)
            text += std::to_string(label + 1) + " ";
        text += "\n";
    }
    std::vector<int> numbers(36);
    std::iota(numbers.begin(), numbers.end(), 7);
    for (auto _ : state) {
        const auto design = bm::wheels::ParseDesign(text, "design.txt");
        const auto plays = bm::wheels::ApplyDesign(*design, numbers);
        auto out = bm::wheels::PlaysText(*plays);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Apply62832)->Unit(benchmark::kMillisecond);

}  // namespace
