#pragma once
// A dialog window or page built from a layout table, its controls addressed
// by id, a number or a page's named id. Texts cross as Windows-1251 bytes,
// file names as UTF-8. Each system's folder defines these members; what only
// one system needs is in that folder's header (qt/QtDialog.h,
// win32/Win32Dialog.h).

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Growth.h"
#include "platform/Layout.h"
#include "readme/ControlValues.h"
#include "text/Text.h"

class CBitmap;
class PendingControls;

// A window or control as the system knows it, opaque here: a page's parent,
// a file dialog's or a menu's owner.
struct NativeWindow;
using WindowHandle = NativeWindow*;

class CDialog : public ControlValues {
public:
    CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog();

    // The program's window: a title in Windows-1251, the program's icon,
    // close and minimise, at its layout's size and never on top of another
    // of ours; hidden until shown. A resizable one keeps its layout's size
    // as its least.
    bool CreateTopLevel(std::string_view title, const DluRect& size, bool resizable = false);
    // A top-level window's title, in Windows-1251.
    void SetTitle(std::string_view title);
    // A resizable top-level window's client area at size: never below its
    // layout, and fitted to the screen once the window's frame is known.
    void ResizeClient(PixelSize size);
    // A page at the top left of parent, at its layout's size.
    bool CreatePage(WindowHandle parent, const DluRect& size);
    WindowHandle GetSafeHwnd() const;
    void Show(bool show);
    bool IsShown() const;
    // The active window, in front of the others.
    void BringToFront();

    // The control with this id, or nullptr: on a page that has no such
    // control every access below does nothing.
    WindowHandle GetDlgItem(ItemId id) const;

    // The whole text; a multi-line text with CR LF line breaks.
    Text GetItemText(int id) const override;
    Text GetItemText(ItemId id) const { return GetItemText(static_cast<int>(id)); }
    void SetItemText(ItemId id, std::string_view text);
    // A single-line edit's text as UTF-8, never through the Windows-1251
    // codec: file names, and texts whose other characters must not turn
    // into "&#N;" references.
    std::string GetItemUtf8(int id) const override;
    std::string GetItemUtf8(ItemId id) const { return GetItemUtf8(static_cast<int>(id)); }
    void SetItemUtf8(ItemId id, std::string_view utf8);
    // The whole text replaced as typing would: one step of the control's own
    // undo history.
    void ReplaceItemText(ItemId id, std::string_view text);
    // In the control's own characters, as the caret counts them.
    int GetItemTextLength(ItemId id) const;
    bool IsChecked(int id) const override;
    bool IsChecked(ItemId id) const { return IsChecked(static_cast<int>(id)); }
    void SetCheck(ItemId id, bool checked);
    bool IsItemEnabled(ItemId id) const;
    void EnableItem(ItemId id, bool enable);
    // Index of the selected list item or tab, -1 when there is none.
    int GetCurSel(int id) const override;
    int GetCurSel(ItemId id) const { return GetCurSel(static_cast<int>(id)); }
    // Selects a combo box's or list box's item or a tab; no handler runs.
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
    // RTF bytes into a rich-text view, read from the top.
    void SetItemRtf(ItemId id, std::span<const unsigned char> rtf);
    // Places a control in pixels of the dialog.
    void MoveItem(ItemId id, const PixelEdges& place);
    void FocusItem(ItemId id);
    bool HasFocus(ItemId id) const;
    // The focus to this page's first control that Tab stops at; false when
    // it has none.
    bool FocusFirstTabStop();
    PixelSize ClientSize() const;
    // A length given in pixels at 96 DPI, as this dialog's screen shows it.
    int ScreenPixels(int pixelsAt96Dpi) const;
    // Draws the bitmap at place under the controls, every pixel of exactly
    // the transparent colour (0xRRGGBB) left out; an empty bitmap, nothing.
    // The bitmap must outlive the dialog or the next call.
    void SetPicture(const CBitmap& bitmap, const PixelEdges& place, std::uint32_t transparent);
    // A tip shown when the pointer rests on the control; Windows-1251.
    void SetItemTip(ItemId id, std::string_view text);
    // A control the layout leaves out joins the Tab order, right after the
    // control after (a tab control by its strip of tabs).
    void AddTabStop(ItemId id, ItemId after);
    // A list box's items, replacing those it had; none selected.
    void SetListItems(ItemId id, const std::vector<Text>& items);

    // A tab control's tabs.
    void InsertTab(ItemId id, int index, std::string_view caption);
    // Selects a tab as the user's click does: SelChanging and SelChange run.
    void ChooseTab(ItemId id, int index);
    // A page shown under a tab control of this dialog, filling its page area.
    void PlacePage(CDialog& page, ItemId tabId);

    const DialogBaseUnits& baseUnits() const;

    // How the layout's controls follow the dialog when it is larger than
    // its layout; pages under its tab control grow as that does. The rules
    // outlive the dialog (a table beside its layout).
    void SetGrowth(std::span<const GrowthRule> rules);
    // Where the growth puts a layout control now, in pixels of the dialog.
    PixelEdges GrownPlace(ItemId id) const;

    // Any control's value changed: text, check state or selection, by the
    // user or by the program (the window keeps its draft by it).
    void OnChanged(std::function<void()> handler);
    // A command from the keyboard, by its id.
    void OnCommand(int command, std::function<void()> handler);
    void SetAccelerators(std::span<const Accelerator> keys);
    // Runs handler once, ms from now; a timer started again starts over.
    void StartSingleShot(std::uintptr_t timer, unsigned ms, std::function<void()> handler);
    void StopTimer(std::uintptr_t timer);
    bool IsTimerActive(std::uintptr_t timer) const;

    // Files dropped from a file manager, with the id of the control they
    // fell on (kNoControlId for the dialog itself).
    void OnDropFiles(std::function<void(const std::vector<FilePath>& files, int controlId)> handler);
    // Files dropped on this control go to OnDropFiles, not into its text.
    void LetDropsThrough(ItemId id);

    // The controls exist: always, but for a page made while a
    // ControlsWhenNeeded lived (platform/PendingControls.h), until it first
    // needs them. Meanwhile its values read back as the controls would give
    // them, and what it asked of them waits.
    bool HasControls() const { return !m_pending; }
    // Makes them now, with every value and handler given meanwhile.
    void CreateControlsNow() const;
    // Runs now, or once the controls are made: what only they show.
    void WhenControlsMade(std::function<void()> run);

    // What each system keeps of a dialog (its folder defines it).
    struct Native;

protected:
    // The dialog's Enter and Escape actions.
    virtual void OnOK() {}
    virtual void OnCancel() {}
    // The window is closing (top level only); by default it goes.
    virtual void OnClose();
    // What a page placed in pixels, placed again at another scale or size.
    virtual void OnScaleChanged() {}
    // A resizable top-level window's client area has a new size.
    virtual void OnResized(PixelSize) {}

    void CreateControls(std::span<const ControlSpec> layout);
    void AddComboItems(ItemId id, std::initializer_list<std::string_view> items);

    // Handlers for what only the user does: a click, a choice from a list
    // or a tab; never for the program's own changes.
    void OnClicked(ItemId id, std::function<void()> handler);
    void OnSelChange(ItemId id, std::function<void()> handler);
    // An edit's text changed, by the user or by the program.
    void OnTextChange(ItemId id, std::function<void()> handler);
    // A tab control's change is about to happen (the old tab still selected).
    void OnSelChanging(ItemId id, std::function<void()> handler);
    // A click on the control, or Enter while it has the focus: a read-only
    // box that opens what it names. While enabled it takes the focus.
    void OnActivate(ItemId id, std::function<void()> handler);
    // The context menu of a multi-line edit, at a screen point
    // (kKeyboardPoint from the keyboard), in place of the system's own.
    void OnContextMenu(ItemId id, std::function<void(ScreenPoint)> handler);

private:
    friend struct Native;
    // While the controls wait: the layout kept, and true.
    bool DeferControls(std::span<const ControlSpec> layout);
    // While the controls wait: the call kept for them, and true.
    bool Later(std::function<void()> call);
    bool LaterTextChange(ItemId id, const std::function<void()>& handler);
    void AddComboItemsFrom(ItemId id, std::span<const std::string_view> items);

    std::unique_ptr<Native> m_native;
    mutable std::unique_ptr<PendingControls> m_pending;
};

// The key as the system names it in a tip: "Ctrl+Shift+O".
std::string KeyText(const Accelerator& key);

// Runs until the last top-level window is gone, with the window's keyboard
// commands and the dialog keys (Tab, Enter, Escape).
int RunMessageLoop(CDialog& window);
