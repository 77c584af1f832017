#pragma once
// The application object: creates the main window and runs it to its end.

#include <string>

#include "text/Text.h"

class CQuillsmithApp {
public:
    // Returns the process's exit code once the window has closed.
    int InitInstance();

    // A form file to open in the window, as given on the command line.
    FilePath m_formPath;
    // An orphaned draft to bring back in this window.
    std::string m_draftId;
};
