// Reading back the readme of the form whose every text is 32 KiB against
// BuildReadmeHtml of the same form, in the same run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "BenchForms.h"
#include "readme/ReadmeHtml.h"
#include "reopen/ReadmeReader.h"
#include "template/TemplatePackage.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The two alternate inside every iteration, so a neighbour's load lands on
// both alike; the ratio of the sums is the figure.
void BM_ReadReadmeVsBuild(benchmark::State& state) {
    TemplatePackage package;
    package.LoadBuiltIn();
    const ReadmeForm form = bench::EveryTextForm(32 * 1024);
    const Text readme = BuildReadmeHtml(form, package);
    if (!ReadReadmeHtml(readme).ok()) std::abort();
    double build = 0, read = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        Text html = BuildReadmeHtml(form, package);
        benchmark::DoNotOptimize(html.data());
        const auto t1 = Clock::now();
        ReadmeReading reading = ReadReadmeHtml(readme);
        benchmark::DoNotOptimize(reading.form.authors.data());
        const auto t2 = Clock::now();
        build += Seconds(t1 - t0);
        read += Seconds(t2 - t1);
    }
    state.counters["ratio"] = read / build;
    state.counters["goal"] = 3.0;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(readme.size()));
}

BENCHMARK(BM_ReadReadmeVsBuild)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
