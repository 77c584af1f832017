#pragma once
// A dialog window or page built from a layout table, with its controls
// addressed by id, a number or a page's named id. Texts cross this boundary
// as Windows-1251 bytes.

#include <QWidget>
#include <functional>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Layout.h"
#include "platform/qt/DialogUnits.h"
#include "readme/ControlValues.h"
#include "text/Text.h"

class CDialog : public QWidget, public ControlValues {
    Q_OBJECT
public:
    explicit CDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

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

    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* CreateControl(const ControlSpec& spec);

    DialogBaseUnits m_units;
    std::map<int, QWidget*> m_items;
    QWidget* m_surface = this;  // the controls' parent
};
