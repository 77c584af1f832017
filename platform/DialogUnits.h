#pragma once
// Dialog units as the Windows dialog manager computes them: the base units
// come from the dialog font, so every layout scales with the user's font.

#include <QRect>

class QFont;
class QWidget;

struct DialogBaseUnits {
    int x = 0;  // average width of the 52 Latin letters
    int y = 0;  // the font's height
};

// A rectangle in dialog units: x, y, width, height.
struct DluRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);

// a * b / c, rounded to the nearest integer (half away from zero).
int MulDiv(int a, int b, int c);

// Maps both edges, as MapDialogRect does, so adjacent controls stay adjacent.
QRect MapDialogRect(const DluRect& rect, const DialogBaseUnits& units);

// A length given in pixels at 96 DPI, as the widget's screen shows it. Qt
// keeps the device pixel ratio whole and leaves the rest of the screen's
// scale to the logical DPI, so fixed pixel lengths must follow that DPI as
// fonts, and with them dialog units, do.
int ScreenPixels(const QWidget& widget, int pixelsAt96Dpi);
