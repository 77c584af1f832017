#include "platform/win32/Win32Menus.h"
// after windows.h
#include <memory>
#include <vector>

#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Text.h"

namespace {

MenuSeam*& Seam() {
    static MenuSeam* seam = nullptr;
    return seam;
}

}  // namespace

CMenu::CMenu() : m_native(std::make_unique<Native>()) {}

CMenu::~CMenu() { DestroyMenu(); }

void CMenu::LoadMenu(std::span<const MenuEntry> table) {
    DestroyMenu();
    m_native->menu = ::CreateMenu();
    // The menu being filled, innermost last; the bar itself at the bottom.
    std::vector<HMENU> open{m_native->menu};
    for (const MenuEntry& entry : table) {
        const std::wstring caption = ToWide(entry.caption);
        const UINT grayed = (entry.flags & kMenuGrayed) != 0 ? MF_GRAYED : 0u;
        switch (entry.kind) {
            case MenuEntryKind::Item:
                ::AppendMenuW(open.back(), MF_STRING | grayed, static_cast<UINT_PTR>(entry.id), caption.c_str());
                break;
            case MenuEntryKind::Separator:
                ::AppendMenuW(open.back(), MF_SEPARATOR, 0, nullptr);
                break;
            case MenuEntryKind::Popup: {
                const HMENU popup = ::CreatePopupMenu();
                ::AppendMenuW(open.back(), MF_POPUP | grayed, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
                open.push_back(popup);
                break;
            }
            case MenuEntryKind::EndPopup:
                if (open.size() > 1) open.pop_back();
                break;
        }
    }
}

void CMenu::DestroyMenu() {
    if (m_native->menu) ::DestroyMenu(m_native->menu);
    m_native->menu = nullptr;
}

MenuHandle CMenu::GetSubMenu(int position) const {
    return m_native->menu ? ToHandle(::GetSubMenu(m_native->menu, position)) : nullptr;
}

void EnableMenuItem(MenuHandle menu, int id, bool enable) {
    const HMENU popup = ToHmenu(menu);
    if (!popup || id == 0) return;
    // MF_BYCOMMAND would stop at the first item with the id: each is walked.
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const auto position = static_cast<UINT>(i);
        if (const HMENU cascade = ::GetSubMenu(popup, i))
            EnableMenuItem(ToHandle(cascade), id, enable);
        else if (::GetMenuItemID(popup, i) == static_cast<UINT>(id))
            ::EnableMenuItem(popup, position, MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED));
    }
}

int TrackPopupMenu(HMENU menu, POINT screenPoint, HWND owner) {
    if (!menu) return 0;
    if (Seam()) return Seam()->TrackPopupMenu(menu, screenPoint, owner);
    return static_cast<int>(::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                             screenPoint.x, screenPoint.y, 0, owner, nullptr));
}

int TrackPopupMenu(MenuHandle menu, ScreenPoint screenPoint, WindowHandle owner) {
    return TrackPopupMenu(ToHmenu(menu), POINT{screenPoint.x, screenPoint.y}, ToHwnd(owner));
}

void SetMenuSeamForTesting(MenuSeam* seam) { Seam() = seam; }
