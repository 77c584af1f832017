#pragma once
// A dialog window or page built from a layout table, its controls addressed
// by id, a number or a page's named id: the Win32 layer's CDialog, with the
// Qt layer's names. Texts cross as Windows-1251 bytes, file names as UTF-8;
// the controls hold UTF-16.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Layout.h"
#include "platform/win32/DialogUnits.h"
#include "platform/win32/Windows.h"
#include "readme/ControlValues.h"
#include "text/Text.h"

class CBitmap;

// What the pages hold of a window: its parent, a file dialog's owner.
using WindowHandle = HWND;

class CDialog : public ControlValues {
public:
    CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog();

    // A top-level window (owner nullptr or a window) or a page inside
    // parent, at its layout size, hidden until shown.
    // A resizable one keeps its layout's size as its least.
    bool CreateTopLevel(std::wstring_view title, const DluRect& size, bool resizable = false);
    // The same with a title in Windows-1251.
    bool CreateTopLevel(std::string_view title, const DluRect& size, bool resizable = false);
    bool CreatePage(HWND parent, const RECT& place);
    // A page at the top left of parent, at its layout's size; without a
    // parent nothing is made.
    bool CreatePage(HWND parent, const DluRect& size);

    HWND hwnd() const { return m_hwnd; }
    WindowHandle GetSafeHwnd() const { return m_hwnd; }
    // The control with this id, or nullptr: on a page that has no such
    // control every access below does nothing.
    HWND GetDlgItem(ItemId id) const;

    // The whole text; a multi-line text with CR LF line breaks, as the
    // Windows edit control keeps it.
    Text GetItemText(int id) const override;
    Text GetItemText(ItemId id) const { return GetItemText(static_cast<int>(id)); }
    void SetItemText(ItemId id, std::string_view text);
    std::string GetItemUtf8(int id) const override;
    std::string GetItemUtf8(ItemId id) const { return GetItemUtf8(static_cast<int>(id)); }
    void SetItemUtf8(ItemId id, std::string_view utf8);
    // The whole text replaced as typing would: one step of the edit
    // control's own undo.
    void ReplaceItemText(ItemId id, std::string_view text);
    int GetItemTextLength(ItemId id) const;
    bool IsChecked(int id) const override;
    bool IsChecked(ItemId id) const { return IsChecked(static_cast<int>(id)); }
    void SetCheck(ItemId id, bool checked);
    bool IsItemEnabled(ItemId id) const;
    void EnableItem(ItemId id, bool enable);
    // Index of the selected list item or tab, -1 when there is none.
    int GetCurSel(int id) const override;
    int GetCurSel(ItemId id) const { return GetCurSel(static_cast<int>(id)); }
    void SetCurSel(ItemId id, int index);
    // An empty selection at pos, scrolled into view.
    void SetCaret(ItemId id, int pos);
    // An edit control's selection in positions of its Windows-1251 text
    // (GetItemText), where a character beyond the code page counts as its
    // "&#N;" and a line break as CR LF.
    void GetSel(ItemId id, int& start, int& end) const;
    bool CanUndo(ItemId id) const;
    void EditItem(ItemId id, EditCommand command);
    // Below the caret, inside the control, in screen coordinates: where a
    // context menu opened from the keyboard goes.
    ScreenPoint CaretScreenPoint(ItemId id) const;
    // RTF bytes into a rich-edit control, read from the top.
    void SetItemRtf(ItemId id, std::span<const unsigned char> rtf);
    // Places a control in pixels of this window's client area.
    void MoveItem(ItemId id, const PixelEdges& place);
    void FocusItem(ItemId id);
    bool HasFocus(ItemId id) const;
    // The focus to this page's first control that Tab stops at; false when
    // it has none.
    bool FocusFirstTabStop();
    PixelSize ClientSize() const;
    // A length given in pixels at 96 DPI, at this window's DPI.
    int ScreenPixels(int pixelsAt96Dpi) const;
    // Draws the bitmap at place under the controls, every pixel of exactly
    // the transparent colour (0xRRGGBB) left out. The bitmap must outlive
    // the window or the next call.
    void SetPicture(const CBitmap& bitmap, const PixelEdges& place, std::uint32_t transparent);
    // A tip shown when the pointer rests on the control; Windows-1251.
    void SetItemTip(ItemId id, std::string_view text);
    // A control the layout leaves out joins the Tab order. Here after the
    // controls of the pages that lie over it whatever after says: the
    // dialog manager follows the windows' stacking, and a tab control must
    // lie under its pages.
    void AddTabStop(ItemId id, ItemId after);
    // A list box's items, replacing those it had; none selected.
    void SetListItems(ItemId id, const std::vector<Text>& items);

    // The focus moved to control, inside this top-level window: it gets the
    // focus back when the window is activated again, and a window larger
    // than the screen's work area scrolls it wholly into view (its top, if
    // taller than the view). RunMessageLoop calls it whenever the focus moves.
    void FocusMovedTo(HWND control);
    bool Scrolls() const { return m_content.cx > 0; }

    // A tab control's tabs.
    void InsertTab(ItemId id, int index, std::string_view caption);
    // Selects a tab as the user's click does: SelChanging and SelChange run.
    void ChooseTab(ItemId id, int index);
    // A page shown under a tab control of this dialog, filling its page area.
    void PlacePage(CDialog& page, ItemId tabId);

    const DialogBaseUnits& baseUnits() const { return m_units; }
    RECT MapDialogRect(const DluRect& rect) const { return ::MapDialogRect(rect, m_units); }

    void Show(bool show);
    // The active window, in front of the others.
    void BringToFront() { ::SetForegroundWindow(m_hwnd); }

    // Any control's value changed: text, check state or selection, by the
    // user or by the program (the window keeps its draft by it).
    void OnChanged(std::function<void()> handler) { m_changed = std::move(handler); }

    // A command from a menu or the keyboard, by its id.
    void OnCommand(int command, std::function<void()> handler);
    // The window's keyboard commands; RunMessageLoop translates them.
    void SetAccelerators(std::span<const Accelerator> keys);
    HACCEL accelerators() const { return m_accelerators; }

    // Runs handler once, ms from now; a timer started again starts over
    // (the draft is written a while after the last change).
    void StartSingleShot(UINT_PTR timer, unsigned ms, std::function<void()> handler);
    void StopTimer(UINT_PTR timer);
    bool IsTimerActive(UINT_PTR timer) const { return m_timers.count(timer) != 0; }

    // Files dropped from the shell, with the id of the control they fell on
    // (kNoControlId for the window itself).
    void OnDropFiles(std::function<void(const std::vector<FilePath>& files, int controlId)> handler);
    // Files dropped on this control go to OnDropFiles: so it is on Windows,
    // where an edit control takes no files.
    void LetDropsThrough(ItemId) {}

protected:
    // The dialog's Enter and Escape actions.
    virtual void OnOK() {}
    virtual void OnCancel() {}
    // The window is closing (top level only).
    virtual void OnClose() { ::DestroyWindow(m_hwnd); }
    // The window moved to a screen of another scale and its layout's
    // controls are in place again: what a page placed in pixels, it places
    // again.
    virtual void OnScaleChanged() {}
    // A resizable top-level window's client area has a new size.
    virtual void OnResized(PixelSize) {}

    void CreateControls(std::span<const ControlSpec> layout);
    // A control the page makes itself rather than from its layout.
    void AttachItem(ItemId id, HWND control) { m_items[id] = control; }
    void AddComboItems(ItemId id, std::initializer_list<std::string_view> items);

    // Handlers for what only the user does: a click, a choice from a list
    // or a tab. Win32 sends neither for the program's own changes.
    void OnClicked(ItemId id, std::function<void()> handler);
    void OnSelChange(ItemId id, std::function<void()> handler);
    // Runs on every change of the text, the program's own included.
    void OnTextChange(ItemId id, std::function<void()> handler);
    // A tab control's change is about to happen (the old tab still selected).
    void OnSelChanging(ItemId id, std::function<void()> handler);
    // A click on the control, or Enter while it has the focus: a read-only
    // box that opens what it names. While enabled it takes the focus.
    void OnActivate(ItemId id, std::function<void()> handler);
    // The context menu of a control, at a screen point (kKeyboardPoint from
    // the keyboard), in place of the control's own.
    void OnContextMenu(ItemId id, std::function<void(ScreenPoint)> handler);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Create(DWORD exStyle, DWORD style, std::wstring_view title, HWND parent, const RECT& place);
    HWND CreateControl(const ControlSpec& spec);
    void ScrollTo(int bar, int position);
    // The top-level window at its layout's size, or scrolling where the
    // work area is smaller; at the point given, else where it stands.
    void FitWindow(const RECT& work, std::optional<POINT> at);
    // Not on top of another of our windows.
    void Cascade();
    // A list box's lines wrapped at its width, each as tall as it needs.
    void MeasureListItems(HWND list) const;
    // The dialog font and every layout control at another DPI.
    void Rescale(int dpi);

    HWND m_hwnd = nullptr;
    HFONT m_font = nullptr;
    DialogBaseUnits m_units;
    std::map<int, HWND> m_items;
    std::map<int, std::function<void()>> m_clicked, m_selChange, m_textChange, m_selChanging;
    std::map<int, std::function<void(ScreenPoint)>> m_contextMenu;
    std::map<int, std::function<void()>> m_activate;
    HWND m_tips = nullptr;
    std::function<void()> m_changed;
    std::map<int, std::function<void()>> m_commands;
    std::map<UINT_PTR, std::function<void()>> m_timers;
    std::function<void(const std::vector<FilePath>&, int)> m_dropFiles;
    HACCEL m_accelerators = nullptr;
    const CBitmap* m_picture = nullptr;
    RECT m_picturePlace{};
    COLORREF m_pictureTransparent = 0;
    int m_dpi = 96;
    DWORD m_style = 0;                  // a top-level window's
    DluRect m_layoutSize{};             // a top-level window's
    std::optional<DluRect> m_pageSize;  // a page's
    std::vector<std::pair<HWND, DluRect>> m_places;
    std::vector<std::pair<CDialog*, int>> m_pages;  // placed under a tab control
    HWND m_lastFocus = nullptr;
    SIZE m_content{};  // the whole layout of a window that scrolls
    POINT m_scroll{};
};

// The key as the system names it in a tip: "Ctrl+Shift+O".
std::string KeyText(const Accelerator& key);

// Runs the message loop until the last top-level window is gone, with the
// window's keyboard commands and the dialog keys (Tab, Enter, Escape).
int RunMessageLoop(CDialog& window);
// One message as that loop handles it: a test's own loop runs the same.
void DispatchDialogMessage(CDialog& window, MSG& message);

// Where top-level windows must fit, in screen pixels: the work area of the
// primary screen unless a test gives its own (nullptr: the screen's again).
void SetWorkAreaForTesting(const RECT* area);
