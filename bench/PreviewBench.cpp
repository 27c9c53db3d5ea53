#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <string>

#include "printing/PrintJob.h"
#include "printing/RecordingSurface.h"

// The preview's costs on a 1,000,000-play wheel and the sample 6/49 definition (100,000 slips):
// opening it (the whole wheel counted and checked, then slip 1 drawn) and going to a far slip.
// The resident memory after visiting every 10th slip is reported against that after the first.

namespace {

using Quiet = bm::UnwatchedJob;

const std::filesystem::path& MillionPlays()
{
    static const std::filesystem::path file = [] {
        auto p = std::filesystem::temp_directory_path() / "brindlemark-bench-preview.txt";
        std::FILE* f = std::fopen(p.string().c_str(), "wb");
        std::mt19937 rng(649);
        std::array<int, 49> pool{};
        std::iota(pool.begin(), pool.end(), 1);
        for (int i = 0; i < 1'000'000; ++i) {
            std::shuffle(pool.begin(), pool.end(), rng);
            std::fprintf(f, "%d,%d,%d,%d,%d,%d\r\n", pool[0], pool[1], pool[2], pool[3], pool[4], pool[5]);
        }
        std::fclose(f);
        return p;
    }();
    return file;
}

bm::PrintJobRequest SampleRequest()
{
    bm::PrintJobRequest request;
    request.definitionFile = std::filesystem::path(SAMPLE_DIR) / "Defs" / "LO649.def";
    request.offsets = {"0", "0"};
    return request;
}

void ShowSlip(const bm::PreparedJob& job, long long slip, Quiet& quiet)
{
    bm::RecordingSurface marks;
    benchmark::DoNotOptimize(bm::PrintPreparedSlips(job, {slip, slip}, false, marks, quiet, quiet));
    benchmark::DoNotOptimize(job.PlaysOf(slip));
}

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void BM_PreviewOpen(benchmark::State& state)
{
    const auto& wheel = MillionPlays();
    Quiet quiet;
    for (auto _ : state) {
        auto prepared = bm::PrepareJob(SampleRequest(), quiet, quiet, [&] { return wheel; });
        if (!prepared.job) {
            state.SkipWithError(prepared.outcome.message.c_str());
            return;
        }
        ShowSlip(*prepared.job, 1, quiet);
    }
}
BENCHMARK(BM_PreviewOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PreviewGoToSlip(benchmark::State& state)
{
    Quiet quiet;
    auto prepared = bm::PrepareJob(SampleRequest(), quiet, quiet, [&] { return MillionPlays(); });
    if (!prepared.job) {
        state.SkipWithError(prepared.outcome.message.c_str());
        return;
    }
    const long long slip = state.range(0);
    for (auto _ : state)
        ShowSlip(*prepared.job, slip, quiet);
}
BENCHMARK(BM_PreviewGoToSlip)->Arg(90'000)->Arg(99'999)->Unit(benchmark::kMillisecond);

void BM_PreviewMemoryOverVisits(benchmark::State& state)
{
    Quiet quiet;
    auto prepared = bm::PrepareJob(SampleRequest(), quiet, quiet, [&] { return MillionPlays(); });
    if (!prepared.job) {
        state.SkipWithError(prepared.outcome.message.c_str());
        return;
    }
    ShowSlip(*prepared.job, 1, quiet);
    const long before = ResidentKb();
    for (auto _ : state)
        for (long long slip = 1; slip <= prepared.job->slips; slip += 10)
            ShowSlip(*prepared.job, slip, quiet);
    state.counters["rss_kb_after_first"] = static_cast<double>(before);
    state.counters["rss_kb_growth"] = static_cast<double>(ResidentKb() - before);
}
BENCHMARK(BM_PreviewMemoryOverVisits)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
