#pragma once
// What the program sets in Qt once, at start-up. The UI tests use the same
// calls, so they run with the program's settings.

class QApplication;

// Settings that Qt reads only while the application object is created:
// call before constructing QApplication.
void PrepareApplication();

// The rest, once the application object exists.
void SetUpApplication(QApplication& app);
