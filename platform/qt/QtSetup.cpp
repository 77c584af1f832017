#include "platform/qt/QtSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>
#include <algorithm>
#include <cmath>

void PrepareApplication() {
    // A fractional device pixel ratio puts widget edges between device
    // pixels, and one-pixel frames drop out. Rounded down, the remaining
    // scale goes into the fonts' DPI, and dialog units follow the font.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);

    // A scale asked for with QT_SCALE_FACTOR is applied after that rounding:
    // its whole part stays Qt's, and the rest goes to the fonts' DPI too.
    bool isNumber = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&isNumber);
    const double whole = std::max(1.0, std::floor(factor));
    if (!isNumber || factor <= 0 || factor == whole) return;
    bool hasDpi = false;
    double dpi = qEnvironmentVariable("QT_FONT_DPI").toDouble(&hasDpi);
    if (!hasDpi || dpi <= 0) dpi = 96;
    qputenv("QT_SCALE_FACTOR", QByteArray::number(whole));
    qputenv("QT_FONT_DPI", QByteArray::number(qRound(dpi * factor / whole)));
}

void SetUpApplication(QApplication& app) {
    // Qt's own texts (file dialogs, standard buttons and menus); without the
    // file they stay English.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);

    // Qt's file dialog writes its last folder and view to QtProject.conf in
    // the user's config folder; the program keeps no such state. No file can
    // be made under /dev/null, so that write fails quietly for any user.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}
