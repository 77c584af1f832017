#include "platform/win32/Win32Controls.h"
// after windows.h
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/win32/Win32Text.h"

bool InitControls() {
    static const bool loaded = [] {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof controls;
        controls.dwICC = ICC_TAB_CLASSES | ICC_STANDARD_CLASSES;
        return ::InitCommonControlsEx(&controls) != 0;
    }();
    return loaded;
}

const wchar_t* RichEditClass() {
    // Loaded with the first rich-edit control, not at start: only the help
    // and about pages have one.
    static const bool loaded = ::LoadLibraryW(L"Msftedit.dll") != nullptr;
    (void)loaded;
    return MSFTEDIT_CLASS;
}

void InsertTab(HWND tab, int index, std::string_view caption) {
    std::wstring text = ToWide(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    ::SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

RECT TabPageRect(HWND tab) {
    RECT rect{};
    ::GetWindowRect(tab, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(tab), reinterpret_cast<POINT*>(&rect), 2);
    ::SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

namespace {

struct RtfSource {
    std::span<const unsigned char> bytes;
    std::size_t at = 0;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* got) {
    auto* source = reinterpret_cast<RtfSource*>(cookie);
    const std::size_t left = source->bytes.size() - source->at;
    const std::size_t count = std::min(left, static_cast<std::size_t>(size));
    std::copy_n(source->bytes.begin() + static_cast<std::ptrdiff_t>(source->at), count, buffer);
    source->at += count;
    *got = static_cast<LONG>(count);
    return 0;
}

}  // namespace

bool StreamInRtf(HWND richEdit, std::span<const unsigned char> rtf) {
    RtfSource source{rtf};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = &ReadRtf;
    ::SendMessageW(richEdit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    ::SendMessageW(richEdit, EM_SETSEL, 0, 0);
    return stream.dwError == 0;
}

CBitmap::CBitmap() : m_native(std::make_unique<Native>()) {}

CBitmap::~CBitmap() {
    if (m_native->bitmap) ::DeleteObject(m_native->bitmap);
}

bool CBitmap::isNull() const { return m_native->bitmap == nullptr; }
PixelSize CBitmap::size() const { return m_native->size; }

bool CBitmap::Load(std::span<const unsigned char> bmp) {
    if (m_native->bitmap) ::DeleteObject(m_native->bitmap);
    m_native->bitmap = nullptr;
    m_native->size = {};
    BITMAPFILEHEADER file{};
    if (bmp.size() < sizeof file + sizeof(BITMAPINFOHEADER)) return false;
    std::copy_n(bmp.begin(), sizeof file, reinterpret_cast<unsigned char*>(&file));
    if (file.bfType != 0x4D42 || file.bfOffBits >= bmp.size()) return false;  // "BM"
    // The header and its palette, copied so that they are aligned.
    std::vector<unsigned char> info(bmp.begin() + sizeof file, bmp.begin() + file.bfOffBits);
    const auto* header = reinterpret_cast<const BITMAPINFO*>(info.data());
    const HDC screen = ::GetDC(nullptr);
    const HBITMAP bitmap =
        ::CreateDIBitmap(screen, &header->bmiHeader, CBM_INIT, bmp.data() + file.bfOffBits, header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (!bitmap) return false;
    m_native->bitmap = bitmap;
    m_native->size = {static_cast<int>(header->bmiHeader.biWidth),
                      static_cast<int>(std::abs(header->bmiHeader.biHeight))};
    return true;
}

bool DrawTransparent(HDC dc, const CBitmap& bitmap, const RECT& place, COLORREF transparent) {
    if (bitmap.isNull()) return false;
    const HDC source = ::CreateCompatibleDC(dc);
    const HGDIOBJ old = ::SelectObject(source, bitmap.native().bitmap);
    const bool drawn =
        ::TransparentBlt(dc, place.left, place.top, place.right - place.left, place.bottom - place.top, source, 0, 0,
                         bitmap.size().width, bitmap.size().height, static_cast<UINT>(transparent)) != 0;
    ::SelectObject(source, old);
    ::DeleteDC(source);
    return drawn;
}
