#pragma once
// What only the Win32 layer, its tests and tools reach of a dialog: the
// windows behind it, its keyboard table, the focus and scrolling the
// message loop drives, and a test's own message loop and screen.

#include <functional>
#include <optional>

#include "platform/CDialog.h"
#include "platform/win32/Windows.h"

inline HWND ToHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }
inline WindowHandle ToHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

inline HWND Hwnd(const CDialog& dialog) { return ToHwnd(dialog.GetSafeHwnd()); }
// The control's window, or nullptr.
inline HWND ItemHwnd(const CDialog& dialog, ItemId id) { return ToHwnd(dialog.GetDlgItem(id)); }

// In pixels of this dialog's font.
RECT MapDialogRect(const CDialog& dialog, const DluRect& rect);

// The window's keyboard commands; RunMessageLoop translates them.
HACCEL Accelerators(const CDialog& window);

// The focus moved to control, inside this top-level window: it gets the
// focus back when the window is activated again, and a window larger than
// the screen's work area scrolls it wholly into view (its top, if taller
// than the view). RunMessageLoop calls it whenever the focus moves.
void FocusMovedTo(CDialog& window, HWND control);
// The window is larger than its screen's work area.
bool Scrolls(const CDialog& window);

// Sees each message of the dialog's window before the dialog does; an
// answer ends the message there. Once the window exists.
using MessageHook = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;
void SetMessageHook(CDialog& dialog, MessageHook hook);

// One message as RunMessageLoop handles it: a test's own loop runs the same.
void DispatchDialogMessage(CDialog& window, MSG& message);

// Where top-level windows must fit, in screen pixels: the work area of the
// primary screen unless a test gives its own (nullptr: the screen's again).
void SetWorkAreaForTesting(const RECT* area);
