#include "platform/win32/Windows.h"
// after windows.h
#include <richedit.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "UserActions.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Menus.h"
#include "platform/win32/Win32Text.h"

namespace {

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    ::GetClassNameW(window, found, 64);
    return ::lstrcmpiW(found, name) == 0;
}

// Ctrl and Shift as the controls and the accelerators read them, while a key goes down.
class HeldKeys {
public:
    HeldKeys(bool ctrl, bool shift) {
        BYTE state[256] = {};
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(state);
    }
    ~HeldKeys() {
        BYTE state[256] = {};
        ::SetKeyboardState(state);
    }
};

// A key pressed on the window with the focus, through the dialog's message loop.
void Press(CDialog& dialog, WPARAM key, bool ctrl, bool shift) {
    {
        const HeldKeys held(ctrl, shift);
        const HWND focus = ::GetFocus();
        MSG message{focus ? focus : Hwnd(dialog), WM_KEYDOWN, key, 1, 0, {}};
        DispatchDialogMessage(dialog, message);
    }
    Pump();
}

// A key sent straight to a control, as its own keyboard handling takes it.
void KeyTo(HWND control, WPARAM key, bool ctrl, bool shift) {
    const HeldKeys held(ctrl, shift);
    ::SendMessageW(control, WM_KEYDOWN, key, 1);
    ::SendMessageW(control, WM_KEYUP, key, 0xC0000001);
}

void ClickAt(HWND control, int x, int y) {
    ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
}

PixelEdges Edges(const RECT& box) { return {box.left, box.top, box.right, box.bottom}; }

}  // namespace

void ShowActive(CDialog& dialog) {
    dialog.Show(true);
    ::SetForegroundWindow(Hwnd(dialog));
    Pump();
}

void ClickItem(CDialog& dialog, ItemId id) {
    const HWND control = ItemHwnd(dialog, id);
    if (!control) return;
    if (IsClass(control, L"BUTTON")) {
        ::SendMessageW(control, BM_CLICK, 0, 0);
        Pump();
        return;
    }
    RECT client{};
    ::GetClientRect(control, &client);
    ClickAt(control, 6, client.bottom / 2);
}

void TypeInto(CDialog& dialog, ItemId id, std::string_view keys) {
    HWND control = ItemHwnd(dialog, id);
    if (!control) return;
    // A combo box types into the edit it holds.
    if (const HWND inner = ::GetWindow(control, GW_CHILD)) control = inner;
    ::SetFocus(control);
    for (const wchar_t key : WideFromUtf8(keys)) ::SendMessageW(control, WM_CHAR, static_cast<WPARAM>(key), 0);
    Pump();
}

void PickItem(CDialog& dialog, ItemId id, int index) {
    const HWND combo = ItemHwnd(dialog, id);
    if (!combo) return;
    // What the list's click does: the selection, then the user's notification.
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(::GetDlgCtrlID(combo)), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

void ClickListLine(CDialog& dialog, ItemId id, int index) {
    const HWND list = ItemHwnd(dialog, id);
    RECT line{};
    if (!list ||
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line)) == LB_ERR)
        return;
    ClickAt(list, (line.left + line.right) / 2, (line.top + line.bottom) / 2);
}

void SelectText(CDialog& dialog, ItemId id, int from, int to) {
    const HWND control = ItemHwnd(dialog, id);
    if (!control) return;
    ::SetFocus(control);
    ::SendMessageW(control, EM_SETSEL, 0, 0);
    for (int i = 0; i < from; ++i) KeyTo(control, VK_RIGHT, false, false);
    if (to < 0) KeyTo(control, VK_END, true, true);
    for (int i = from; i < to; ++i) KeyTo(control, VK_RIGHT, false, true);
    Pump();
}

void PressTab(CDialog& dialog) { Press(dialog, VK_TAB, false, false); }

void PressEnter(CDialog& dialog) { Press(dialog, VK_RETURN, false, false); }

void PressKey(CDialog& dialog, unsigned short key, bool ctrl, bool shift) { Press(dialog, key, ctrl, shift); }

void DropAt(CDialog& dialog, int x, int y, const std::vector<FilePath>& files) {
    // The shell's list: zero-separated names, two zeros at the end.
    std::wstring names;
    for (const FilePath& file : files) names += WideFromUtf8(file) + L'\0';
    names += L'\0';
    const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {x, y};
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    ::SendMessageW(Hwnd(dialog), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

void DropOn(CDialog& dialog, ItemId id, const std::vector<FilePath>& files) {
    const PixelEdges place = PlaceOf(dialog, id);
    DropAt(dialog, (place.left + place.right) / 2, (place.top + place.bottom) / 2, files);
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    while (!done()) {
        if (::GetTickCount64() > until) return false;
        Pump();
        ::Sleep(5);
    }
    return true;
}

std::string TitleOf(const CDialog& dialog) {
    wchar_t title[256] = {};
    ::GetWindowTextW(Hwnd(dialog), title, 256);
    return Utf8FromWide(title);
}

PixelEdges PlaceOf(const CDialog& dialog, ItemId id) {
    RECT box{};
    const HWND control = ItemHwnd(dialog, id);
    ::GetWindowRect(control ? control : Hwnd(dialog), &box);
    ::MapWindowPoints(nullptr, Hwnd(dialog), reinterpret_cast<POINT*>(&box), 2);
    return Edges(box);
}

PixelEdges TextAreaOnScreen(const CDialog& dialog, ItemId id) {
    const HWND control = ItemHwnd(dialog, id);
    if (!control) return {};
    RECT box{};
    ::GetClientRect(control, &box);
    ::MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&box), 2);
    return Edges(box);
}

int LineCount(const CDialog& dialog, ItemId id) {
    const HWND control = ItemHwnd(dialog, id);
    return control ? static_cast<int>(::SendMessageW(control, EM_GETLINECOUNT, 0, 0)) : 0;
}

std::vector<std::string> ListLines(const CDialog& dialog, ItemId id) {
    std::vector<std::string> lines;
    const HWND list = ItemHwnd(dialog, id);
    const int count = list ? static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        std::wstring line(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) + 1,
                          L'\0');
        line.resize(static_cast<std::size_t>(
            ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()))));
        lines.push_back(Utf8FromWide(line));
    }
    return lines;
}

ViewPosition ViewOf(const CDialog& dialog, ItemId id) {
    const HWND control = ItemHwnd(dialog, id);
    if (!control) return {};
    DWORD start = 0, end = 0;
    ::SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // The rich-edit control takes the point by address, the edit control packed.
    LRESULT first = 0;
    if (IsClass(control, RichEditClass())) {
        POINTL corner{1, 1};
        first = ::SendMessageW(control, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner));
    } else {
        first = LOWORD(::SendMessageW(control, EM_CHARFROMPOS, 0, MAKELPARAM(1, 1)));
    }
    return {static_cast<int>(start), static_cast<int>(first)};
}

MenuItemSeen SeeMenuItem(MenuHandle menu, int id) {
    const HMENU popup = ToHmenu(menu);
    // By command, the cascades are searched too.
    const UINT state = popup ? ::GetMenuState(popup, static_cast<UINT>(id), MF_BYCOMMAND) : 0xFFFFFFFFu;
    if (state == 0xFFFFFFFFu) return {};
    wchar_t caption[128] = {};
    ::GetMenuStringW(popup, static_cast<UINT>(id), caption, 128, MF_BYCOMMAND);
    return {true, (state & (MF_GRAYED | MF_DISABLED)) == 0, Utf8FromWide(caption)};
}

std::vector<bool> MenuItemStates(MenuHandle menu, int id) {
    std::vector<bool> states;
    const HMENU popup = ToHmenu(menu);
    if (!popup) return states;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
        if (const HMENU cascade = ::GetSubMenu(popup, i)) {
            const std::vector<bool> inside = MenuItemStates(ToHandle(cascade), id);
            states.insert(states.end(), inside.begin(), inside.end());
        } else if (::GetMenuItemID(popup, i) == static_cast<UINT>(id)) {
            const UINT state = ::GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION);
            states.push_back((state & (MF_GRAYED | MF_DISABLED)) == 0);
        }
    }
    return states;
}

namespace {

class NextMenu final : public MenuSeam {
public:
    int TrackPopupMenu(HMENU menu, POINT at, HWND) override {
        SetMenuSeamForTesting(nullptr);
        shown = {ToHandle(menu), {at.x, at.y}};
        const MenuItemSeen item = SeeMenuItem(shown.menu, command);
        return item.found && item.enabled ? command : 0;
    }
    int command = 0;
    ShownMenu shown;
};

NextMenu& Next() {
    static NextMenu seam;
    return seam;
}

}  // namespace

void ChooseFromNextMenu(int command) {
    Next().command = command;
    SetMenuSeamForTesting(&Next());
}

ShownMenu LastMenuShown() { return Next().shown; }
