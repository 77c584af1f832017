#include "platform/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QWidget>
#include <cstdlib>

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long magnitude =
        (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

QRect MapDialogRect(const DluRect& rect, const DialogBaseUnits& units) {
    const int left = MulDiv(rect.x, units.x, 4);
    const int top = MulDiv(rect.y, units.y, 8);
    const int right = MulDiv(rect.x + rect.width, units.x, 4);
    const int bottom = MulDiv(rect.y + rect.height, units.y, 8);
    return QRect(left, top, right - left, bottom - top);
}

int ScreenPixels(const QWidget& widget, int pixelsAt96Dpi) {
    return qRound(pixelsAt96Dpi * widget.logicalDpiY() / 96.0);
}
