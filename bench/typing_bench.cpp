// Keystroke to idle in the main window while the user types, with the draft
// written as the program does (about once a second) and with the draft's
// writes switched off, in one run. Keys come on a fixed schedule, so a key
// that falls due while a draft is being written waits for it, and that wait
// counts. Prints the medians, the 99th percentiles, the worst keys and the
// process's CPU time, and their ratios (with drafts / without).
//
//   QT_QPA_PLATFORM=offscreen build/default/bench/typing_bench [KEYS] [MS_BETWEEN]

#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/desktop/CMainDlg.h"
#include "app/desktop/QtMainDlg.h"
#include "platform/qt/QtSetup.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    double p50 = 0, p99 = 0, worst = 0, cpuMs = 0;
    int drafts = 0;
};

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

Figures Type(bool drafts, int keys, int gapMs) {
    CMainDlg window;
    window.Create();
    window.OpenFormFile(QS_SOURCE_DIR "/examples/example-form.json");
    QtWidget(window)->show();
    int written = 0;
    if (drafts)
        QObject::connect(&DraftTimer(window), &QTimer::timeout, [&written] { ++written; });
    else
        QObject::disconnect(&DraftTimer(window), &QTimer::timeout, nullptr, nullptr);
    Tabs(window)->tabBar()->setCurrentIndex(1);
    QWidget* field = QtItem(window.pluginPage(), PluginId::Description);
    field->setFocus();
    QApplication::processEvents();

    std::vector<double> waits;
    const double cpuBefore = CpuMs();
    const Clock::time_point start = Clock::now();
    for (int key = 0; key < keys; ++key) {
        const Clock::time_point due = start + std::chrono::milliseconds(gapMs) * key;
        // Whatever falls due before the key (a draft's write among it) runs
        // first; the loop sleeps between events rather than spinning.
        const auto ahead = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
        if (ahead > 0) {
            QEventLoop loop;
            QTimer::singleShot(static_cast<int>(ahead), Qt::PreciseTimer, &loop, &QEventLoop::quit);
            loop.exec();
        }
        QTest::keyClick(field, static_cast<char>('a' + key % 26));
        QApplication::processEvents();
        waits.push_back(std::chrono::duration<double, std::milli>(Clock::now() - due).count());
    }
    Figures figures;
    figures.cpuMs = CpuMs() - cpuBefore;
    figures.drafts = written;
    std::sort(waits.begin(), waits.end());
    figures.p50 = waits[waits.size() / 2];
    figures.p99 = waits[waits.size() * 99 / 100];
    figures.worst = waits.back();
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    const int keys = argc > 1 ? std::atoi(argv[1]) : 600;
    const int gapMs = argc > 2 ? std::atoi(argv[2]) : 20;
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    PrepareApplication();
    QApplication app(argc, argv);
    SetUpApplication(app);
    // Alternated, so that a slow moment of the machine falls on both.
    Figures with, without;
    for (int round = 0; round < 2; ++round) {
        const Figures a = Type(true, keys / 2, gapMs);
        const Figures b = Type(false, keys / 2, gapMs);
        with = {with.p50 + a.p50 / 2, with.p99 + a.p99 / 2, std::max(with.worst, a.worst), with.cpuMs + a.cpuMs,
                with.drafts + a.drafts};
        without = {without.p50 + b.p50 / 2, without.p99 + b.p99 / 2, std::max(without.worst, b.worst),
                   without.cpuMs + b.cpuMs, without.drafts + b.drafts};
    }
    // One draft's write on its own: the capture, the JSON and the atomic replace.
    std::vector<double> writes;
    {
        CMainDlg window;
        window.Create();
        window.OpenFormFile(QS_SOURCE_DIR "/examples/example-form.json");
        for (int i = 0; i < 50; ++i) {
            const Clock::time_point start = Clock::now();
            window.WriteDraft();
            writes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::sort(writes.begin(), writes.end());
    }
    std::printf("one draft write: median %.3f ms, worst %.3f ms\n", writes[writes.size() / 2], writes.back());
    std::printf("%d keys, one every %d ms, in the example form's description\n", keys, gapMs);
    std::printf("%-16s %9s %9s %9s %9s %7s\n", "", "p50 ms", "p99 ms", "worst ms", "CPU ms", "written");
    for (auto [name, f] : {std::pair{"with drafts", with}, std::pair{"without drafts", without}})
        std::printf("%-16s %9.3f %9.3f %9.3f %9.1f %7d\n", name, f.p50, f.p99, f.worst, f.cpuMs, f.drafts);
    std::printf("ratio            %9.2f %9.2f %9.2f %9.2f\n", with.p50 / without.p50, with.p99 / without.p99,
                with.worst / without.worst, with.cpuMs / without.cpuMs);
    return 0;
}
