#pragma once
// A dialog window or page built from a layout table, with its controls
// addressed by id. Texts cross this boundary as Windows-1251 bytes.

#include <QWidget>
#include <functional>
#include <initializer_list>
#include <map>
#include <span>
#include <string_view>

#include "platform/qt/DialogUnits.h"
#include "platform/Layout.h"
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

    const DialogBaseUnits& baseUnits() const { return m_units; }
    QRect MapDialogRect(const DluRect& rect) const;

protected:
    // The dialog's Enter and Escape actions.
    virtual void OnOK() {}
    virtual void OnCancel() {}

    void CreateControls(std::span<const ControlSpec> layout);
    // A control the page makes itself rather than from its layout.
    void AttachItem(int id, QWidget* widget);
    void AddComboItems(int id, std::initializer_list<std::string_view> items);

    // Handlers for what only the user does: a click, a choice from a list.
    void OnClicked(int id, std::function<void()> handler);
    void OnSelChange(int id, std::function<void()> handler);
    // Runs on every change of the text, the program's own included.
    void OnTextChange(int id, std::function<void()> handler);

    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* CreateControl(const ControlSpec& spec);

    DialogBaseUnits m_units;
    std::map<int, QWidget*> m_items;
};
