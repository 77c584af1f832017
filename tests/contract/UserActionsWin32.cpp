#include "platform/win32/Windows.h"
// after windows.h
#include <shlobj.h>

#include <cstring>
#include <string>

#include "UserActions.h"
#include "platform/win32/Win32Dialog.h"
#include "text/Utf16.h"

namespace {

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace

void ShowActive(CDialog& dialog) {
    dialog.Show(true);
    ::SetForegroundWindow(Hwnd(dialog));
    Pump();
}

void ClickItem(CDialog& dialog, ItemId id) {
    if (const HWND button = ItemHwnd(dialog, id)) ::SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
}

void TypeInto(CDialog& dialog, ItemId id, std::string_view keys) {
    HWND control = ItemHwnd(dialog, id);
    if (!control) return;
    // A combo box types into the edit it holds.
    if (const HWND inner = ::GetWindow(control, GW_CHILD)) control = inner;
    ::SetFocus(control);
    for (const char key : keys) ::SendMessageW(control, WM_CHAR, static_cast<WPARAM>(key), 0);
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

void PressTab(CDialog& dialog) {
    MSG message{};
    message.hwnd = ::GetFocus();
    message.message = WM_KEYDOWN;
    message.wParam = VK_TAB;
    DispatchDialogMessage(dialog, message);
    Pump();
}

void DropOn(CDialog& dialog, ItemId id, const FilePath& file) {
    RECT place{};
    const HWND control = ItemHwnd(dialog, id);
    ::GetWindowRect(control ? control : Hwnd(dialog), &place);
    ::MapWindowPoints(nullptr, Hwnd(dialog), reinterpret_cast<POINT*>(&place), 2);
    std::u16string names = utf16::FromUtf8(file);
    names += u'\0';
    names += u'\0';
    const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(char16_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(char16_t));
    ::GlobalUnlock(memory);
    ::SendMessageW(Hwnd(dialog), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
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
