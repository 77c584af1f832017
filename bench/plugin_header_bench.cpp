// Reading the header of an 80 MiB plug-in against a 1 KiB one with the same
// header: only the header is read, so the ratio stays near 1 (goal 1.1).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "PluginBuilder.h"
#include "output/FileIo.h"
#include "plugin/PluginHeader.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string PluginOfSize(std::size_t size) {
    std::string bytes =
        testing_plugin::Plugin("Bench", "A plug-in for the bench", {"Morrowind.esm", "Tribunal.esm", "Bloodmoon.esm"});
    // The records that follow: one long enough to make the file its size.
    return bytes + testing_plugin::Record(std::string(size - bytes.size() - 16, 'r'), "CELL");
}

// Baseline and subject alternate inside every iteration, so a neighbour's
// load lands on both alike; the ratio of the sums is the figure.
void BM_HeaderOf80MiBVs1KiB(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("qs-plugin-bench-" + std::to_string(std::rand()));
    std::filesystem::create_directories(folder);
    const std::string small = (folder / "Small.esp").string();
    const std::string big = (folder / "Big.esp").string();
    if (!fileio::WriteWholeFile(small, PluginOfSize(1024)) || !fileio::WriteWholeFile(big, PluginOfSize(80 << 20))) {
        state.SkipWithError("the plug-ins cannot be written");
        return;
    }
    double base = 0, subject = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        PluginHeaderRead a = ReadPluginHeaderFile(small);
        benchmark::DoNotOptimize(a);
        const auto t1 = Clock::now();
        PluginHeaderRead b = ReadPluginHeaderFile(big);
        benchmark::DoNotOptimize(b);
        const auto t2 = Clock::now();
        if (!a.ok() || !b.ok() || b.header.masters.size() != 3) state.SkipWithError("the header was not read");
        base += Seconds(t1 - t0);
        subject += Seconds(t2 - t1);
    }
    state.counters["ratio"] = subject / base;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_HeaderOf80MiBVs1KiB);

}  // namespace

BENCHMARK_MAIN();
