// The least a Qt Widgets program does to show a window: an empty one of the
// main window's size (WIDTH HEIGHT in pixels, from the bench). With a third
// argument "text" the window shows one line of text, which costs the font
// set-up that any window with text pays.

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstdlib>

#include "startup_signal.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) return 2;
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    int qtArgc = 1;
    char* qtArgs[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgs);
    FirstPaintSignal signal;
    app.installEventFilter(&signal);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Baseline"));
    window.setFixedSize(width, height);
    if (argc == 4) (new QLabel(QString::fromUtf8("Просмотр"), &window))->move(8, 8);
    window.show();
    return app.exec();
}
