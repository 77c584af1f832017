#pragma once
// What the Win32 layer's controls need beyond CreateWindowEx: the rich-edit
// control's class, the tab control's strip and page area, rich text read by
// the control itself, and a picture drawn with a transparent colour.

#include <span>
#include <string_view>

#include "platform/Controls.h"
#include "platform/win32/Windows.h"

struct CBitmap::Native {
    HBITMAP bitmap = nullptr;
    PixelSize size;
};

// The class of Msftedit's rich-edit control, loaded the first time.
const wchar_t* RichEditClass();

// A tab control: its tabs, and where a page goes, in its parent's
// coordinates (below the strip, inside the frame).
void InsertTab(HWND tab, int index, std::string_view caption);
RECT TabPageRect(HWND tab);

// RTF bytes (a \ansicpg1251 document) into a rich-edit control, which reads
// RTF itself; the caret goes to the start.
bool StreamInRtf(HWND richEdit, std::span<const unsigned char> rtf);

// Draws the bitmap stretched to place, leaving out every pixel of exactly
// the transparent colour, as TransparentBlt does.
bool DrawTransparent(HDC dc, const CBitmap& bitmap, const RECT& place, COLORREF transparent);
