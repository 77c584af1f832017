// ConvertTextToHtml against memcpy of the same bytes, its growth from 32 KiB
// to 1 MiB, and BuildReadmeHtml on a form whose every text is 32 KiB.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>

#include "readme/ReadmeHtml.h"
#include "readme/TextRoutines.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

// Lines of about 60 characters, an empty line after every fifth.
std::string TypicalText(std::size_t size) {
    const std::string_view words[] = {"Морровинд"_cp, "плагин", "Balmora", "квест"_cp, "the",
                                      "добавляет"_cp, "new",    "дом"_cp,  "armor",    "в"_cp};
    std::string text;
    std::size_t line = 0, lines = 0, w = 0;
    while (text.size() < size) {
        const std::string_view word = words[w++ % std::size(words)];
        text += word;
        line += word.size();
        if (line >= 58) {
            text += "\r\n";
            line = 0;
            if (++lines % 5 == 0) text += "\r\n";
        } else {
            text += ' ';
        }
    }
    text.resize(size);
    return text;
}

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
    ReadmeForm form = NewReadmeForm();
    const std::string text = TypicalText(32 * 1024);
    for (Text* t : {&form.pluginName, &form.pluginFile, &form.description, &form.otherRequirements, &form.installText,
                    &form.uninstallText, &form.howToPlay, &form.authors, &form.note, &form.warningText})
        *t = text;
    form.requiresTribunal = form.requiresBloodmoon = form.requiresBsaArchive = form.requiresOther = true;
    form.installOther = form.uninstallOther = form.howToPlayEnabled = form.noteEnabled = form.warningOther = true;
    form.screenshotCount = 3;
    form.screenshotPath = {text, text, text};
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
