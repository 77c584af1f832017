#pragma once
// The Win32 layer's menus: a pop-up as an HMENU, and the seam that tests
// answer instead of a user.

#include "platform/Menus.h"
#include "platform/win32/Windows.h"

struct CMenu::Native {
    HMENU menu = nullptr;
};

inline HMENU ToHmenu(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }
inline MenuHandle ToHandle(HMENU menu) { return reinterpret_cast<MenuHandle>(menu); }

// TrackPopupMenu at a point in Windows' own terms.
int TrackPopupMenu(HMENU menu, POINT screenPoint, HWND owner);

class MenuSeam {
public:
    virtual ~MenuSeam() = default;
    virtual int TrackPopupMenu(HMENU menu, POINT screenPoint, HWND owner) = 0;
};

// Tests install their own seam; nullptr brings back the real menus.
void SetMenuSeamForTesting(MenuSeam* seam);
