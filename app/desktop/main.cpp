// Quillsmith: `quillsmith [FORM]` opens the window, with the form file (or a
// readme this program wrote) FORM
// in it when one is given (as a file manager does on a double-click).
// `quillsmith --restore-draft ID` is how a start opens a further window for
// an orphaned draft.
// `quillsmith --version` prints the version.

#ifdef _WIN32
#include "platform/win32/Windows.h"
#else
#include <QApplication>
#endif
#include <iostream>
#include <string_view>

#include "app/desktop/CQuillsmithApp.h"
#include "app/state/Instances.h"
#include "platform/Controls.h"
#include "platform/Utf8Arguments.h"
#include "text/Version.h"
#ifndef _WIN32
#include "platform/qt/QtSetup.h"
#endif

namespace {

// The program itself, once the arguments are UTF-8.
int Run(int argc, char** argv) {
    // Answered before any window: no display needed.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "quillsmith " << kProgramVersion << '\n';
        return 0;
    }
#ifdef _WIN32
    if (!InitControls()) return 1;
#else
    // Qt sees only the program's name: nothing on the command line is an
    // option of Qt's.
    int qtArgc = 1;
    char* qtArgs[] = {argv[0], nullptr};
    PrepareApplication();
    QApplication qtApp(qtArgc, qtArgs);
    SetUpApplication(qtApp);
#endif
    CQuillsmithApp app;
    if (argc == 3 && std::string_view(argv[1]) == kRestoreDraftOption)
        app.m_draftId = argv[2];
    else if (argc > 1)
        app.m_formPath = argv[1];
    return app.InitInstance();
}

}  // namespace

#ifdef _WIN32
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    char** argv = nullptr;
    Utf8Arguments arguments(argc, argv);
    if (argc < 1) return 1;
    return Run(argc, argv);
}
#else
int main(int argc, char** argv) { return Run(argc, argv); }
#endif
