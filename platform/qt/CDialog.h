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
    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* Item(int id) const {
        return qobject_cast<T*>(GetDlgItem(id));
    }

    // The whole text; a multi-line text with CR LF line breaks.
    Text GetItemText(int id) const override;
    void SetItemText(int id, std::string_view text);
    // A single-line edit's text as UTF-8, never through the Windows-1251
    // codec: file names, and texts whose other characters must not turn
    // into "&#N;" references.
    std::string GetItemUtf8(int id) const override;
    void SetItemUtf8(int id, std::string_view utf8);
    // The whole text replaced as typing would: one step of the control's own
    // undo history.
    void ReplaceItemText(int id, std::string_view text);
    // In the control's own characters, as the caret counts them.
    int GetItemTextLength(int id) const;
    bool IsChecked(int id) const override;
    void SetCheck(int id, bool checked);
    bool IsItemEnabled(int id) const;
    void EnableItem(int id, bool enable);
    // Index of the selected list item, -1 when there is none.
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index);
    // An empty selection at pos, scrolled into view.
    void SetCaret(int id, int pos);
    // An edit control's selection in positions of its Windows-1251 text
    // (GetItemText), where a character beyond the code page counts as its
    // "&#N;" and a line break as CR LF.
    void GetSel(int id, int& start, int& end) const;
    bool CanUndo(int id) const;
    void EditItem(int id, EditCommand command);
    // Below the caret, inside the control, in screen coordinates: where a
    // context menu opened from the keyboard goes.
    ScreenPoint CaretScreenPoint(int id) const;
    // RTF bytes into a rich-text view, read from the top.
    void SetItemRtf(int id, std::span<const unsigned char> rtf);
    // Places a control in pixels of the dialog.
    void MoveItem(int id, const PixelEdges& place);
    void FocusItem(int id);
    PixelSize ClientSize() const;
    // A length given in pixels at 96 DPI, as this dialog's screen shows it.
    int ScreenPixels(int pixelsAt96Dpi) const;
    // Draws the bitmap at place under the controls, every pixel of exactly
    // the transparent colour (0xRRGGBB) left out; an empty bitmap, nothing.
    void SetPicture(const CBitmap& bitmap, const PixelEdges& place, std::uint32_t transparent);
    // A tip shown when the pointer rests on the control; Windows-1251.
    void SetItemTip(int id, std::string_view text);
    // A control the layout leaves out joins the Tab order, after the
    // control after (a tab control by its strip of tabs).
    void AddTabStop(int id, int after);
    // A list box's items, replacing those it had; none selected.
    void SetListItems(int id, const std::vector<Text>& items);

    // A tab control's tabs.
    void InsertTab(int id, int index, std::string_view caption);
    // Selects a tab as the user's click does: SelChanging and SelChange run.
    void ChooseTab(int id, int index);
    // A page shown under a tab control of this dialog, in its page area.
    void PlacePage(CDialog& page, int tabId);

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
    template <ControlIdEnum E>
    QWidget* GetDlgItem(E id) const {
        return GetDlgItem(ControlIdValue(id));
    }
    template <class T, ControlIdEnum E>
    T* Item(E id) const {
        return Item<T>(ControlIdValue(id));
    }
    template <ControlIdEnum E>
    Text GetItemText(E id) const {
        return GetItemText(ControlIdValue(id));
    }
    template <ControlIdEnum E>
    void SetItemText(E id, std::string_view text) {
        SetItemText(ControlIdValue(id), text);
    }
    template <ControlIdEnum E>
    std::string GetItemUtf8(E id) const {
        return GetItemUtf8(ControlIdValue(id));
    }
    template <ControlIdEnum E>
    void SetItemUtf8(E id, std::string_view utf8) {
        SetItemUtf8(ControlIdValue(id), utf8);
    }
    template <ControlIdEnum E>
    int GetItemTextLength(E id) const {
        return GetItemTextLength(ControlIdValue(id));
    }
    template <ControlIdEnum E>
    bool IsChecked(E id) const {
        return IsChecked(ControlIdValue(id));
    }
    template <ControlIdEnum E>
    void SetCheck(E id, bool checked) {
        SetCheck(ControlIdValue(id), checked);
    }
    template <ControlIdEnum E>
    bool IsItemEnabled(E id) const {
        return IsItemEnabled(ControlIdValue(id));
    }
    template <ControlIdEnum E>
    void EnableItem(E id, bool enable) {
        EnableItem(ControlIdValue(id), enable);
    }
    template <ControlIdEnum E>
    int GetCurSel(E id) const {
        return GetCurSel(ControlIdValue(id));
    }
    template <ControlIdEnum E>
    void SetCurSel(E id, int index) {
        SetCurSel(ControlIdValue(id), index);
    }
    template <ControlIdEnum E>
    void SetCaret(E id, int pos) {
        SetCaret(ControlIdValue(id), pos);
    }
    template <ControlIdEnum E>
    void SetItemRtf(E id, std::span<const unsigned char> rtf) {
        SetItemRtf(ControlIdValue(id), rtf);
    }
    template <ControlIdEnum E>
    void MoveItem(E id, const PixelEdges& place) {
        MoveItem(ControlIdValue(id), place);
    }
    template <ControlIdEnum E>
    void FocusItem(E id) {
        FocusItem(ControlIdValue(id));
    }

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

    // A window's size from its layout. Where the screen has less room, the
    // window takes what there is and its controls scroll; call it before
    // CreateControls.
    void SetWindowSize(const DluRect& rect);
    void CreateControls(std::span<const ControlSpec> layout);
    // A control the page makes itself rather than from its layout.
    void AttachItem(int id, QWidget* widget);
    void AddComboItems(int id, std::initializer_list<std::string_view> items);

    // Handlers for what only the user does: a click, a choice from a list.
    void OnClicked(int id, std::function<void()> handler);
    void OnSelChange(int id, std::function<void()> handler);
    // Runs on every change of the text, the program's own included.
    void OnTextChange(int id, std::function<void()> handler);
    // The context menu of a multi-line edit, at a screen point
    // (kKeyboardPoint from the keyboard), in place of the system's own.
    void OnContextMenu(int id, std::function<void(ScreenPoint)> handler);
    // Files dropped from a file manager, with the id of the control they
    // fell on (kNoControlId for the dialog itself).
    void OnDropFiles(std::function<void(const std::vector<FilePath>& files, int controlId)> handler);
    // Files dropped on this control go to OnDropFiles, not into its text.
    void LetDropsThrough(int id);
    // A tab control's change is about to happen (the old tab still selected).
    void OnSelChanging(int id, std::function<void()> handler);
    // A click on the control, or Enter while it has the focus: a read-only
    // box that opens what it names. While enabled it takes the focus.
    void OnActivate(int id, std::function<void()> handler);

    template <ControlIdEnum E>
    void AttachItem(E id, QWidget* widget) {
        AttachItem(ControlIdValue(id), widget);
    }
    template <ControlIdEnum E>
    void AddComboItems(E id, std::initializer_list<std::string_view> items) {
        AddComboItems(ControlIdValue(id), items);
    }
    template <ControlIdEnum E>
    void OnClicked(E id, std::function<void()> handler) {
        OnClicked(ControlIdValue(id), std::move(handler));
    }
    template <ControlIdEnum E>
    void OnSelChange(E id, std::function<void()> handler) {
        OnSelChange(ControlIdValue(id), std::move(handler));
    }
    template <ControlIdEnum E>
    void OnTextChange(E id, std::function<void()> handler) {
        OnTextChange(ControlIdValue(id), std::move(handler));
    }
    template <ControlIdEnum E>
    void OnContextMenu(E id, std::function<void(ScreenPoint)> handler) {
        OnContextMenu(ControlIdValue(id), std::move(handler));
    }
    template <ControlIdEnum E>
    void LetDropsThrough(E id) {
        LetDropsThrough(ControlIdValue(id));
    }

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
