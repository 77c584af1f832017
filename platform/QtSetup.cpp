#include "platform/QtSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

void PrepareApplication() {
    // A fractional device pixel ratio puts widget edges between device
    // pixels, and one-pixel frames drop out. Rounded down, the remaining
    // scale goes into the fonts' DPI, and dialog units follow the font.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
}

void SetUpApplication(QApplication& app) {
    // Qt's own texts (file dialogs, standard buttons and menus); without the
    // file they stay English.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);

    // Qt's file dialog writes its last folder and view to QtProject.conf in
    // the user's config folder; the program keeps no such state. No file can
    // be made under /dev/null, so that write fails quietly for any user.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}
