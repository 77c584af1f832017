// From choosing each tab to its page painted, in milliseconds: the first
// time, with the page still to be made (a window of its own for each tab,
// shown and painted, before its pages are made when idle), and again, made.
// Prints "tab N first MS again MS" for tabs 1 to 5 (bench/tab_paint.sh).

#include <chrono>
#include <cstdio>
#include <memory>

#include "app/desktop/CMainDlg.h"
#include "platform/Controls.h"
#ifdef _WIN32
#include "platform/win32/Windows.h"
#else
#include <QApplication>

#include "platform/qt/QtDialog.h"
#endif

namespace {

// Everything that waits to be painted, painted now.
void PaintNow(CDialog& window) {
#ifdef _WIN32
    ::RedrawWindow(reinterpret_cast<HWND>(window.GetSafeHwnd()), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
#else
    QtWidget(window)->repaint();
#endif
}

double ChooseAndPaint(CMainDlg& window, int tab) {
    const auto start = std::chrono::steady_clock::now();
    window.ChooseTab(MainId::Tabs, tab);
    PaintNow(window);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

int Run() {
    for (int tab = 1; tab < CMainDlg::kTabCount; ++tab) {
        auto window = std::make_unique<CMainDlg>();
        window->Create();
        window->Show(true);
        PaintNow(*window);
        const double first = ChooseAndPaint(*window, tab);
        ChooseAndPaint(*window, 0);
        const double again = ChooseAndPaint(*window, tab);
        std::printf("tab %d first %.2f again %.2f\n", tab, first, again);
    }
    return 0;
}

}  // namespace

#ifdef _WIN32
int wmain() {
    if (!InitControls()) return 1;
    return Run();
}
#else
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return Run();
}
#endif
