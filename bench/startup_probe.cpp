// Quillsmith's own start-up, ended at the main window's first paint.

#include <QApplication>
#include <string_view>

#include "app/desktop/CQuillsmithApp.h"
#include "app/state/Instances.h"
#include "startup_signal.h"

int main(int argc, char** argv) {
    const bool restoring = argc == 3 && std::string_view(argv[1]) == kRestoreDraftOption;
    int qtArgc = 1;
    char* args[] = {argv[0], nullptr};
    QApplication qtApp(qtArgc, args);
    FirstPaintSignal signal;
    qtApp.installEventFilter(&signal);
    CQuillsmithApp app;
    // A further window for an orphaned draft, as the program starts one.
    if (restoring) app.m_draftId = argv[2];
    return app.InitInstance();
}
