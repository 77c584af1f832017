// Start-up of the whole process, from exec to the main window's first paint,
// and its peak memory, against a minimal Qt Widgets program that shows an
// empty window of the same size. Both run alternately in the same bench run;
// the counters report medians and their ratios (goals: time 1.25, memory 1.15).
// A third program, the same window with one line of text, shows how much of
// the difference is the font set-up that any text on screen costs.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFont>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/state/DraftStore.h"
#include "platform/qt/DialogUnits.h"

namespace {

struct Run {
    double milliseconds = 0;
    double peakMiB = 0;
};

// Starts the program with a pipe on descriptor 3 and waits for its byte, or
// for one from each of the windows it starts.
Run Launch(const std::vector<std::string>& command, int windows = 1) {
    // Close-on-exec, so the child keeps only descriptor 3: with the display's
    // socket closed, the pipe itself may land on 3.
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) std::abort();
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        if (pipeFds[1] == 3) {
            ::fcntl(3, F_SETFD, 0);
        } else {
            ::dup2(pipeFds[1], 3);
        }
        std::vector<char*> argv;
        for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char byte = 0;
    bool shown = true;
    for (int window = 0; window < windows && shown; ++window) shown = ::read(pipeFds[0], &byte, 1) == 1;
    const auto shownAt = std::chrono::steady_clock::now();
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (!shown || !WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    return {std::chrono::duration<double, std::milli>(shownAt - start).count(),
            static_cast<double>(usage.ru_maxrss) / 1024.0};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The main window's size in this font, as the program computes it.
std::pair<int, int> MainWindowSize() {
    int argc = 1;
    char name[] = "startup_bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    const QRect rect = MapDialogRect({0, 0, 448, 346}, BaseUnitsOf(QApplication::font()));
    return {rect.width(), rect.height()};
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    static const std::pair<int, int> size = MainWindowSize();
    const std::vector<std::string> quillsmith = {QS_STARTUP_PROBE};
    const std::vector<std::string> baseline = {QS_STARTUP_BASELINE, std::to_string(size.first),
                                               std::to_string(size.second)};
    std::vector<std::string> textBaseline = baseline;
    textBaseline.push_back("text");
    Launch(quillsmith);  // warm the file cache for all three
    Launch(baseline);
    Launch(textBaseline);
    std::vector<double> ourTime, baseTime, textTime, ourMemory, baseMemory, textMemory;
    for (auto _ : state) {
        const Run base = Launch(baseline);
        const Run ours = Launch(quillsmith);
        const Run text = Launch(textBaseline);
        state.SetIterationTime(ours.milliseconds / 1000.0);
        baseTime.push_back(base.milliseconds);
        ourTime.push_back(ours.milliseconds);
        textTime.push_back(text.milliseconds);
        baseMemory.push_back(base.peakMiB);
        ourMemory.push_back(ours.peakMiB);
        textMemory.push_back(text.peakMiB);
    }
    state.counters["quillsmith_ms"] = Median(ourTime);
    state.counters["baseline_ms"] = Median(baseTime);
    state.counters["time_ratio"] = Median(ourTime) / Median(baseTime);
    state.counters["quillsmith_MiB"] = Median(ourMemory);
    state.counters["baseline_MiB"] = Median(baseMemory);
    state.counters["memory_ratio"] = Median(ourMemory) / Median(baseMemory);
    state.counters["text_window_ms"] = Median(textTime);
    state.counters["text_window_MiB"] = Median(textMemory);
    // Against the window that shows one line of text (goals: 1.10 each).
    state.counters["text_time_ratio"] = Median(ourTime) / Median(textTime);
    state.counters["text_memory_ratio"] = Median(ourMemory) / Median(textMemory);
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);

// A state folder holding this many orphaned drafts, each a window's form.
std::string StateWithDrafts(int count) {
    char folder[] = "/tmp/qs-startup-drafts-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    const std::string state = std::string(folder) + "/quillsmith";
    for (int i = 0; i < count; ++i) {
        DraftStore ended(state);
        FormFile form;
        form.form.pluginName = "Lighthouse " + std::to_string(i);
        if (!ended.Save(form).ok) std::abort();
    }
    return folder;
}

// Start-up with eight orphaned drafts (eight windows, till the last one's
// first paint) against a start with none, in the same run.
void BM_StartupWithOrphanedDrafts(benchmark::State& state) {
    const std::vector<std::string> quillsmith = {QS_STARTUP_PROBE};
    const std::string none = StateWithDrafts(0), eight = StateWithDrafts(DraftStore::kMostWindows);
    const auto launchIn = [&](const std::string& folder, int windows) {
        ::setenv("XDG_STATE_HOME", folder.c_str(), 1);
        const Run run = Launch(quillsmith, windows);
        ::usleep(300 * 1000);  // the further windows end after their paint
        return run;
    };
    launchIn(eight, DraftStore::kMostWindows);
    std::vector<double> noneTime, eightTime;
    for (auto _ : state) {
        noneTime.push_back(launchIn(none, 1).milliseconds);
        eightTime.push_back(launchIn(eight, DraftStore::kMostWindows).milliseconds);
        state.SetIterationTime(eightTime.back() / 1000.0);
    }
    ::unsetenv("XDG_STATE_HOME");
    state.counters["no_drafts_ms"] = Median(noneTime);
    state.counters["eight_windows_ms"] = Median(eightTime);
    // At most 1 + 7 = 8 when each further window costs one window's own start.
    state.counters["ratio_to_one_start"] = Median(eightTime) / Median(noneTime);
}
// What the draft store adds to a start with no drafts (one look at the state
// folder), against the first paint of the minimal Qt window in the same run.
void BM_DraftStoreWithNoDrafts(benchmark::State& state) {
    static const std::pair<int, int> size = MainWindowSize();
    const std::string folder = StateWithDrafts(0) + "/quillsmith";
    std::vector<double> windowTimes;
    for (int i = 0; i < 5; ++i)
        windowTimes.push_back(
            Launch({QS_STARTUP_BASELINE, std::to_string(size.first), std::to_string(size.second)}).milliseconds);
    for (auto _ : state) {
        DraftStore store(folder);
        benchmark::DoNotOptimize(store.Claim());
    }
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) DraftStore(folder).Claim();
    const double claimMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count() / 1000;
    state.counters["claim_us"] = claimMs * 1000;
    state.counters["share_of_window_start"] = claimMs / Median(windowTimes);
}
BENCHMARK(BM_DraftStoreWithNoDrafts)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_StartupWithOrphanedDrafts)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Offscreen unless the caller chose a display platform.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
