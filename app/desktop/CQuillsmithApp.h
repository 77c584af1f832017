#pragma once
// The application object: creates the main window and runs it to its end.

class CQuillsmithApp {
public:
    // Returns the process's exit code once the window has closed.
    int InitInstance();
};
