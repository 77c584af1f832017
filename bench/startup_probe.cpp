// Quillsmith's own start-up, ended at the main window's first paint.

#include <QApplication>

#include "app/desktop/CQuillsmithApp.h"
#include "startup_signal.h"

int main(int, char** argv) {
    int argc = 1;
    char* args[] = {argv[0], nullptr};
    QApplication qtApp(argc, args);
    FirstPaintSignal signal;
    qtApp.installEventFilter(&signal);
    CQuillsmithApp app;
    return app.InitInstance();
}
