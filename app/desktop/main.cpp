// Quillsmith: `quillsmith [FORM]` opens the window, with the form file FORM
// in it when one is given (as a file manager does on a double-click).
// `quillsmith --version` prints the version.

#include <QApplication>
#include <iostream>
#include <string_view>

#include "app/desktop/CQuillsmithApp.h"
#include "platform/qt/QtSetup.h"
#include "text/Version.h"

int main(int argc, char** argv) {
    // Answered before Qt starts: no window, and no display needed.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "quillsmith " << kProgramVersion << '\n';
        return 0;
    }
    // Qt sees only the program's name: nothing on the command line is an
    // option of Qt's.
    int qtArgc = 1;
    char* qtArgs[] = {argv[0], nullptr};
    PrepareApplication();
    QApplication qtApp(qtArgc, qtArgs);
    SetUpApplication(qtApp);
    CQuillsmithApp app;
    if (argc > 1) app.m_formPath = argv[1];
    return app.InitInstance();
}
