#pragma once
// Pop-up menus built from menu tables, as a menu resource lists them, with
// items addressed by command id, and the one call that shows a pop-up. Each
// system's folder defines them behind a seam its tests answer.

#include <memory>
#include <span>

#include "platform/CDialog.h"
#include "platform/DialogUnits.h"
#include "platform/MenuTable.h"

// A pop-up as the system knows it, opaque here.
struct NativeMenu;
using MenuHandle = NativeMenu*;

// A loaded menu. Its top-level entries are pop-ups, reached by position.
class CMenu {
public:
    CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu();

    void LoadMenu(std::span<const MenuEntry> table);
    void DestroyMenu();
    // nullptr outside the loaded pop-ups.
    MenuHandle GetSubMenu(int position) const;

    struct Native;

private:
    std::unique_ptr<Native> m_native;
};

// Enables or greys every item with this command id, cascades included.
void EnableMenuItem(MenuHandle menu, int id, bool enable);

// Shows the pop-up with its top-left corner at screenPoint and answers the
// command the user chose, or 0 when the menu closed without one.
int TrackPopupMenu(MenuHandle menu, ScreenPoint screenPoint, WindowHandle owner);
