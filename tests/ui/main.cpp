// The UI tests' entry: one QApplication for every test, offscreen, set up as
// the program sets up its own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "platform/qt/QtSetup.h"

int main(int argc, char** argv) {
    // The program's own state (drafts, last folders) goes to a folder of
    // this run's, never to the user's: a real draft would change what
    // windows start with.
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    ::testing::InitGoogleTest(&argc, argv);
    PrepareApplication();
    QApplication app(argc, argv);
    SetUpApplication(app);
    return RUN_ALL_TESTS();
}
