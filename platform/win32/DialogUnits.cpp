#include "platform/win32/DialogUnits.h"

int WindowDpi(HWND window) {
    const HDC dc = ::GetDC(window);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

HFONT CreateDialogFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    // The metrics are at the system's DPI; a window on another screen scales.
    const int systemDpi = WindowDpi(nullptr);
    if (dpi != systemDpi) font.lfHeight = MulDiv(font.lfHeight, dpi, systemDpi);
    return ::CreateFontIndirectW(&font);
}

DialogBaseUnits BaseUnitsOf(HFONT font) {
    const HDC dc = ::GetDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, font);
    // The dialog manager's own measure: the 52 Latin letters' average width,
    // rounded, and the font's height.
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    ::GetTextExtentPoint32W(dc, kLetters, 52, &size);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return {(size.cx / 26 + 1) / 2, static_cast<int>(metrics.tmHeight)};
}

RECT MapDialogRect(const DluRect& rect, const DialogBaseUnits& units) {
    const PixelEdges edges = MapDialogUnits(rect, units);
    return {edges.left, edges.top, edges.right, edges.bottom};
}

int ScreenPixels(HWND window, int pixelsAt96Dpi) { return MulDiv(pixelsAt96Dpi, WindowDpi(window), 96); }
