#pragma once
// Dialog units on Windows: the base units of the dialog font, measured as
// the dialog manager does, and lengths fixed in pixels at the window's DPI.

#include "platform/DialogUnits.h"
#include "platform/win32/Windows.h"

// The font dialogs use: the system's message font (Segoe UI 9 pt on current
// Windows), at the DPI of the screen. The caller owns the font.
HFONT CreateDialogFont(int dpi);
DialogBaseUnits BaseUnitsOf(HFONT font);
RECT MapDialogRect(const DluRect& rect, const DialogBaseUnits& units);
// A length given in pixels at 96 DPI, at this window's DPI.
int ScreenPixels(HWND window, int pixelsAt96Dpi);
int WindowDpi(HWND window);
