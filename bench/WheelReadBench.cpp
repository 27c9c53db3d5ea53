#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "plays/WheelFile.h"

namespace {

// A 1,000,000-line 6-number wheel, comma separated with CR LF ends, made once per run.
const std::filesystem::path& MillionLineWheel()
{
    static const std::filesystem::path file = [] {
        auto p = std::filesystem::temp_directory_path() / "brindlemark-bench-wheel.txt";
        std::FILE* f = std::fopen(p.string().c_str(), "wb");
        std::mt19937 rng(42);
        std::uniform_int_distribution<int> n(1, 49);
        for (int i = 0; i < 1'000'000; ++i)
            std::fprintf(f, "%d,%d,%d,%d,%d,%d\r\n", n(rng), n(rng), n(rng), n(rng), n(rng), n(rng));
        std::fclose(f);
        return p;
    }();
    return file;
}

void BM_ReadWheel(benchmark::State& state)
{
    const auto& file = MillionLineWheel();
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(file));
    std::int64_t sum = 0;
    for (auto _ : state) {
        auto reader = bm::WheelReader::Open(file, 6, bm::NumberWidth::Bits32);
        bm::Play play;
        while ((*reader)->Next(play))
            sum += play.numbers[0];
        if ((*reader)->error())
            state.SkipWithError((*reader)->error()->message.c_str());
    }
    benchmark::DoNotOptimize(sum);
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ReadWheel)->Unit(benchmark::kMillisecond);

void BM_CountPlays(benchmark::State& state)
{
    const auto& file = MillionLineWheel();
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(file));
    for (auto _ : state) {
        auto count = bm::CountPlays(file, 6, bm::NumberWidth::Bits16);
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_CountPlays)->Unit(benchmark::kMillisecond);

}  // namespace
