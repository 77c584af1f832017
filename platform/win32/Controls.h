#pragma once
// The controls a layout makes that need more than CreateWindowEx: the common
// controls and the rich-edit control, loaded once; the tab control's strip
// and page area; rich text read by the control itself.

#include <span>
#include <string_view>

#include "platform/DialogUnits.h"
#include "platform/win32/Windows.h"

// Common controls 6 (the manifest asks for them) and Msftedit.dll; false
// when either is missing.
bool InitControls();
// The class of Msftedit's rich-edit control.
const wchar_t* RichEditClass();

// A tab control: its tabs, and where a page goes, in its parent's
// coordinates (below the strip, inside the frame).
void InsertTab(HWND tab, int index, std::string_view caption);
RECT TabPageRect(HWND tab);

// RTF bytes (a \ansicpg1251 document) into a rich-edit control, which reads
// RTF itself; the caret goes to the start.
bool StreamInRtf(HWND richEdit, std::span<const unsigned char> rtf);

// A picture from the bytes of a BMP file, for drawing.
class CBitmap {
public:
    CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    ~CBitmap();

    // False, and no picture, for bytes that are not a BMP file.
    bool Load(std::span<const unsigned char> bmp);
    HBITMAP handle() const { return m_bitmap; }
    bool isNull() const { return m_bitmap == nullptr; }
    PixelSize size() const { return m_size; }

private:
    HBITMAP m_bitmap = nullptr;
    PixelSize m_size{};
};

// Draws the bitmap stretched to place, leaving out every pixel of exactly
// the transparent colour, as TransparentBlt does.
bool DrawTransparent(HDC dc, const CBitmap& bitmap, const RECT& place, COLORREF transparent);
