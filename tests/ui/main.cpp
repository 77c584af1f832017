// The UI tests' entry: one QApplication for every test, offscreen, set up as
// the program sets up its own.

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/QtSetup.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    ::testing::InitGoogleTest(&argc, argv);
    PrepareApplication();
    QApplication app(argc, argv);
    SetUpApplication(app);
    return RUN_ALL_TESTS();
}
