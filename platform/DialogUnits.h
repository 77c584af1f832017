#pragma once
// Dialog units as the Windows dialog manager computes them: the base units
// come from the dialog font, so every layout scales with the user's font.
// The arithmetic is every platform's; measuring the font is each one's own.

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

// A rectangle in pixels by its edges.
struct PixelEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const PixelEdges&) const = default;
};

// A point on the screen, in pixels. {-1, -1} asks for a context menu from
// the keyboard, as WM_CONTEXTMENU does.
struct ScreenPoint {
    int x = 0;
    int y = 0;

    bool operator==(const ScreenPoint&) const = default;
};
inline constexpr ScreenPoint kKeyboardPoint{-1, -1};

struct PixelSize {
    int width = 0;
    int height = 0;

    bool operator==(const PixelSize&) const = default;
};

// a * b / c, rounded to the nearest integer (half away from zero).
int MulDiv(int a, int b, int c);

// Maps both edges, as MapDialogRect does, so adjacent controls stay adjacent.
PixelEdges MapDialogUnits(const DluRect& rect, const DialogBaseUnits& units);
