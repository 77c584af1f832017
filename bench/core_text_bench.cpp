// ConvertTextToHtml against memcpy of the same bytes, its growth from 32 KiB
// to 1 MiB, and BuildReadmeHtml on a form whose every text is 32 KiB.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>

#include "BenchForms.h"
#include "readme/ReadmeHtml.h"
#include "readme/TextRoutines.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

using bench::EveryTextForm;
using bench::TypicalText;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Baseline and subject alternate inside every iteration, so a neighbour's
// load lands on both alike; the ratio of the sums is the figure.
void BM_ConvertVsMemcpy(benchmark::State& state) {
    const std::string text = TypicalText(static_cast<std::size_t>(state.range(0)));
    std::string copy(text.size(), '\0');
    double base = 0, subject = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::memcpy(copy.data(), text.data(), text.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        Text html = ConvertTextToHtml(text);
        benchmark::DoNotOptimize(html.data());
        const auto t2 = Clock::now();
        base += Seconds(t1 - t0);
        subject += Seconds(t2 - t1);
    }
    state.counters["ratio"] = subject / base;
    state.counters["goal"] = 4.0;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// 1 MiB against 32 runs of 32 KiB: linear growth gives 1.0.
void BM_ConvertGrowth(benchmark::State& state) {
    const std::string large = TypicalText(1024 * 1024);
    const std::string small = TypicalText(32 * 1024);
    double big = 0, pieces = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < 32; ++i) {
            Text html = ConvertTextToHtml(small);
            benchmark::DoNotOptimize(html.data());
        }
        const auto t1 = Clock::now();
        Text html = ConvertTextToHtml(large);
        benchmark::DoNotOptimize(html.data());
        const auto t2 = Clock::now();
        pieces += Seconds(t1 - t0);
        big += Seconds(t2 - t1);
    }
    state.counters["ratio"] = big / pieces;
    state.counters["goal"] = 1.2;
}

void BM_BuildReadmeHtml(benchmark::State& state) {
    TemplatePackage package;
    package.LoadBuiltIn();
    const ReadmeForm form = EveryTextForm(32 * 1024);
    for (auto _ : state) {
        Text html = BuildReadmeHtml(form, package);
        benchmark::DoNotOptimize(html.data());
    }
}

BENCHMARK(BM_ConvertVsMemcpy)->Arg(1024 * 1024)->Arg(32 * 1024);
BENCHMARK(BM_ConvertGrowth)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildReadmeHtml)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
