// Prints where the main window's tabs are, one "x y" (window coordinates of
// the tab's centre) per line, for the screenshot script's clicks.

#include <QApplication>
#include <QTabBar>
#include <cstdio>

#include "app/desktop/CMainDlg.h"
#include "platform/Controls.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CMainDlg dialog;
    dialog.Create();
    QTabBar* bar = dialog.tabs()->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        const QPoint centre = bar->mapTo(&dialog, bar->tabRect(i).center());
        std::printf("%d %d\n", centre.x(), centre.y());
    }
    return 0;
}
