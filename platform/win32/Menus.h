#pragma once
// Pop-up menus built from menu tables, with items addressed by command id,
// and the one call that shows a pop-up, behind a seam that tests answer
// instead of a user. The Qt layer's names on Win32 menus.

#include <span>

#include "platform/DialogUnits.h"
#include "platform/MenuTable.h"
#include "platform/win32/Windows.h"

// A pop-up as CMenu::GetSubMenu answers it.
using MenuHandle = HMENU;

// A loaded menu. Its top-level entries are pop-ups, reached by position.
class CMenu {
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu() { DestroyMenu(); }

    void LoadMenu(std::span<const MenuEntry> table);
    void DestroyMenu();
    // nullptr outside the loaded pop-ups.
    HMENU GetSubMenu(int position) const;

private:
    HMENU m_menu = nullptr;
};

// Enables or greys every item with this command id, cascades included.
void EnableMenuItem(HMENU menu, int id, bool enable);

// Shows the pop-up with its top-left corner at screenPoint and answers the
// command the user chose, or 0 when the menu closed without one.
int TrackPopupMenu(HMENU menu, POINT screenPoint, HWND owner);
int TrackPopupMenu(HMENU menu, ScreenPoint screenPoint, HWND owner);

class MenuSeam {
public:
    virtual ~MenuSeam() = default;
    virtual int TrackPopupMenu(HMENU menu, POINT screenPoint, HWND owner) = 0;
};

// Tests install their own seam; nullptr brings back the real menus.
void SetMenuSeamForTesting(MenuSeam* seam);
