// Prints where the main window's tabs are, one "x y" (window coordinates of
// the tab's centre) per line, for the screenshot script's clicks. With the
// argument "open": the Open button's centre, then the text document's top left.
// With "fields": "name tab x y" of the fields the typing test fills.

#include <QApplication>
#include <QTabBar>
#include <cstdio>

#include "app/desktop/CMainDlg.h"
#include "app/desktop/QtMainDlg.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtSetup.h"

int main(int argc, char** argv) {
    // Line by line: a leak report at exit (sanitizer builds, X11) ends the
    // process without flushing stdio.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    PrepareApplication();
    QApplication app(argc, argv);
    SetUpApplication(app);
    CMainDlg dialog;
    dialog.Create();
    if (argc > 1 && QByteArrayView(argv[1]) == "open") {
        const QWidget* button = QtItem(dialog, MainId::Open);
        const QPoint open = button->mapTo(QtWidget(dialog), button->rect().center());
        const QWidget* text = QtItem(dialog.textDocPage(), TextDocId::Edit);
        const QPoint corner = text->mapTo(QtWidget(dialog), QPoint(0, 0));
        std::printf("%d %d\n%d %d\n", open.x(), open.y(), corner.x(), corner.y());
        return 0;
    }
    if (argc > 1 && QByteArrayView(argv[1]) == "fields") {
        auto print = [&](const char* name, int tab, const QWidget* field) {
            const QPoint centre = field->mapTo(QtWidget(dialog), field->rect().center());
            std::printf("%s %d %d %d\n", name, tab, centre.x(), centre.y());
        };
        CPluginPage& plugin = dialog.pluginPage();
        print("name", 1, QtItem(plugin, PluginId::Name));
        print("file", 1, QtItem(plugin, PluginId::File));
        print("description", 1, QtItem(plugin, PluginId::Description));
        print("tribunal", 1, QtItem(plugin, PluginId::Tribunal));
        print("authors", 2, QtItem(dialog.extrasPage(), ExtrasId::Authors));
        return 0;
    }
    QTabBar* bar = Tabs(dialog)->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        const QPoint centre = bar->mapTo(QtWidget(dialog), bar->tabRect(i).center());
        std::printf("%d %d\n", centre.x(), centre.y());
    }
    return 0;
}
