#include "platform/qt/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QWidget>

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

QRect MapDialogRect(const DluRect& rect, const DialogBaseUnits& units) {
    const PixelEdges edges = MapDialogUnits(rect, units);
    return QRect(edges.left, edges.top, edges.right - edges.left, edges.bottom - edges.top);
}

int ScreenPixels(const QWidget& widget, int pixelsAt96Dpi) {
    return qRound(pixelsAt96Dpi * widget.logicalDpiY() / 96.0);
}
