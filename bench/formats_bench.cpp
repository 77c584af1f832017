// Each of the release's other texts built from the form whose every text is
// 32 KiB, against BuildReadmeHtml of the same form, in the same run.

#include <benchmark/benchmark.h>

#include <chrono>

#include "BenchForms.h"
#include "formats/ReleaseTexts.h"
#include "readme/ReadmeHtml.h"
#include "template/TemplatePackage.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The two alternate inside every iteration, so a neighbour's load lands on
// both alike; the ratio of the sums is the figure.
void BM_FormatVsReadme(benchmark::State& state) {
    const auto format = static_cast<ReleaseFormat>(state.range(0));
    TemplatePackage package;
    package.LoadBuiltIn();
    const ReadmeForm form = bench::EveryTextForm(32 * 1024);
    double readme = 0, text = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        Text html = BuildReadmeHtml(form, package);
        benchmark::DoNotOptimize(html.data());
        const auto t1 = Clock::now();
        std::string built = BuildRelease(format, form, package);
        benchmark::DoNotOptimize(built.data());
        const auto t2 = Clock::now();
        readme += Seconds(t1 - t0);
        text += Seconds(t2 - t1);
    }
    state.counters["ratio"] = text / readme;
    state.counters["goal"] = 2.0;
}

BENCHMARK(BM_FormatVsReadme)
    ->ArgName("format")
    ->Arg(static_cast<int>(ReleaseFormat::PlainText))
    ->Arg(static_cast<int>(ReleaseFormat::BBCode))
    ->Arg(static_cast<int>(ReleaseFormat::Markdown))
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
