#pragma once
// What the program sets in Qt once, at start-up. The UI tests use the same
// calls, so they run with the program's settings.

// Settings that Qt reads only while the application object is created:
// call before constructing QApplication.
void PrepareApplication();
