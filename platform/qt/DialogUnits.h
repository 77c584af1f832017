#pragma once
// Dialog units measured in Qt: the base units of a font, and rectangles and
// fixed lengths as a widget's screen shows them.

#include <QRect>

#include "platform/DialogUnits.h"

class QFont;
class QWidget;

DialogBaseUnits BaseUnitsOf(const QFont& font);

QRect MapDialogRect(const DluRect& rect, const DialogBaseUnits& units);

// A length given in pixels at 96 DPI, as the widget's screen shows it. Qt
// keeps the device pixel ratio whole and leaves the rest of the screen's
// scale to the logical DPI, so fixed pixel lengths must follow that DPI as
// fonts, and with them dialog units, do.
int ScreenPixels(const QWidget& widget, int pixelsAt96Dpi);
