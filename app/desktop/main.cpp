// Quillsmith: takes no command-line arguments and no settings.

#include <QApplication>

#include "app/desktop/CQuillsmithApp.h"
#include "platform/qt/QtSetup.h"

int main(int, char** argv) {
    // Only the program's own name reaches Qt: it becomes the application's
    // name, the caption of every message box.
    int argc = 1;
    char* args[] = {argv[0], nullptr};
    PrepareApplication();
    QApplication qtApp(argc, args);
    SetUpApplication(qtApp);
    CQuillsmithApp app;
    return app.InitInstance();
}
