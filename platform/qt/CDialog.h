#pragma once
// A dialog window or page built from a layout table, with its controls
// addressed by id, a number or a page's named id. Texts cross this boundary
// as Windows-1251 bytes.

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Layout.h"
#include "platform/qt/DialogUnits.h"
#include "readme/ControlValues.h"
#include "text/Text.h"

class CBitmap;
class QShortcut;
class QTimer;

// What the pages hold of a window: its parent, a file dialog's owner.
using WindowHandle = QWidget*;

class CDialog : public QWidget, public ControlValues {
    Q_OBJECT
public:
    explicit CDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    ~CDialog() override;

    WindowHandle GetSafeHwnd() const { return const_cast<CDialog*>(this); }
    // A page inside parent (none: placed later), at its layout's size.
    bool CreatePage(WindowHandle parent, const DluRect& size);
    // The program's window: a title in Windows-1251, the program's icon, a
    // title bar with close and minimise, at its layout's size; hidden until
    // shown.
    bool CreateTopLevel(std::string_view title, const DluRect& size);
    void Show(bool show) { setVisible(show); }
    // The active window, in front of the others.
    void BringToFront();

    // The control with this id, or nullptr: on a page that has no such
    // control every access below does nothing.
    QWidget* GetDlgItem(ItemId id) const;
    template <class T>
    T* Item(ItemId id) const {
        return qobject_cast<T*>(GetDlgItem(id));
    }

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
    // Index of the selected list item, -1 when there is none.
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
    void SetPicture(const CBitmap& bitmap, const PixelEdges& place, std::uint32_t transparent);
    // A tip shown when the pointer rests on the control; Windows-1251.
    void SetItemTip(ItemId id, std::string_view text);
    // A control the layout leaves out joins the Tab order, after the
    // control after (a tab control by its strip of tabs).
    void AddTabStop(ItemId id, ItemId after);
    // A list box's items, replacing those it had; none selected.
    void SetListItems(ItemId id, const std::vector<Text>& items);

    // A tab control's tabs.
    void InsertTab(ItemId id, int index, std::string_view caption);
    // Selects a tab as the user's click does: SelChanging and SelChange run.
    void ChooseTab(ItemId id, int index);
    // A page shown under a tab control of this dialog, in its page area.
    void PlacePage(CDialog& page, ItemId tabId);

    // Any control's value changed: text, check state or selection, by the
    // user or by the program.
    void OnChanged(std::function<void()> handler) { m_changedHandler = std::move(handler); }
    // A command from the keyboard, by its id.
    void OnCommand(int command, std::function<void()> handler);
    void SetAccelerators(std::span<const Accelerator> keys);
    // Runs handler once, ms from now; a timer started again starts over.
    void StartSingleShot(std::uintptr_t timer, unsigned ms, std::function<void()> handler);
    void StopTimer(std::uintptr_t timer);
    bool IsTimerActive(std::uintptr_t timer) const;
    // The Qt timer behind a timer id, made on first use: for benchmarks that
    // count its runs.
    QTimer& QtTimer(std::uintptr_t timer);

    // The same by a page's named id.

    const DialogBaseUnits& baseUnits() const { return m_units; }
    QRect MapDialogRect(const DluRect& rect) const;

signals:
    // Any control's value changed: text, check state or selection, by the
    // user or by the program.
    void Changed();

protected:
    // The dialog's Enter and Escape actions.
    virtual void OnOK() {}
    virtual void OnCancel() {}
    // The window is closing (top level only).
    virtual void OnClose() {}
    // What a page placed in pixels, placed again at another scale. Qt scales
    // the whole window itself: it never runs here.
    virtual void OnScaleChanged() {}

    // A window's size from its layout. Where the screen has less room, the
    // window takes what there is and its controls scroll; call it before
    // CreateControls.
    void SetWindowSize(const DluRect& rect);
    void CreateControls(std::span<const ControlSpec> layout);
    // A control the page makes itself rather than from its layout.
    void AttachItem(ItemId id, QWidget* widget);
    void AddComboItems(ItemId id, std::initializer_list<std::string_view> items);

    // Handlers for what only the user does: a click, a choice from a list.
    void OnClicked(ItemId id, std::function<void()> handler);
    void OnSelChange(ItemId id, std::function<void()> handler);
    // Runs on every change of the text, the program's own included.
    void OnTextChange(ItemId id, std::function<void()> handler);
    // The context menu of a multi-line edit, at a screen point
    // (kKeyboardPoint from the keyboard), in place of the system's own.
    void OnContextMenu(ItemId id, std::function<void(ScreenPoint)> handler);
    // Files dropped from a file manager, with the id of the control they
    // fell on (kNoControlId for the dialog itself).
    void OnDropFiles(std::function<void(const std::vector<FilePath>& files, int controlId)> handler);
    // Files dropped on this control go to OnDropFiles, not into its text.
    void LetDropsThrough(ItemId id);
    // A tab control's change is about to happen (the old tab still selected).
    void OnSelChanging(ItemId id, std::function<void()> handler);
    // A click on the control, or Enter while it has the focus: a read-only
    // box that opens what it names. While enabled it takes the focus.
    void OnActivate(ItemId id, std::function<void()> handler);

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* CreateControl(const ControlSpec& spec);

    DialogBaseUnits m_units;
    std::map<int, QWidget*> m_items;
    QWidget* m_surface = this;  // the controls' parent
    std::function<void(const std::vector<FilePath>&, int)> m_dropFiles;
    QImage m_picture;  // with its transparent colour left out
    QRect m_pictureRect;
    std::function<void()> m_changedHandler;
    std::map<int, std::function<void()>> m_commands;
    std::vector<QShortcut*> m_shortcuts;
    std::map<std::uintptr_t, std::unique_ptr<QTimer>> m_timers;
    std::map<std::uintptr_t, std::function<void()>> m_timerHandlers;
};

// The key as the system names it in a tip: "Ctrl+Shift+O".
std::string KeyText(const Accelerator& key);

// Runs the application until the last window closes.
int RunMessageLoop(const CDialog& window);
