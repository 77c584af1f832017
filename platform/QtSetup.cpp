#include "platform/QtSetup.h"

#include <QApplication>
#include <QLibraryInfo>
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
}
