#include "platform/QtSetup.h"

#include <QGuiApplication>

void PrepareApplication() {
    // A fractional device pixel ratio puts widget edges between device
    // pixels, and one-pixel frames drop out. Rounded down, the remaining
    // scale goes into the fonts' DPI, and dialog units follow the font.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
}
