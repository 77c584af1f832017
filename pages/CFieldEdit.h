#pragma once
// The text document's edit control. Its context menu offers the usual edit
// commands and two cascades that put the selected passage into one of
// fourteen fields of the form: "Вставить в" replaces the field's text,
// "Добавить в" appends to it.

#include "platform/Controls.h"
#include "platform/Menus.h"
#include "readme/Text.h"

class QMenu;
struct FieldCommand;

class CFieldEdit : public CMultiLineEdit {
    Q_OBJECT
public:
    // Command ids of the edit items, the same in both pop-ups.
    static constexpr int kIdEditUndo = 57643;
    static constexpr int kIdEditCut = 57635;
    static constexpr int kIdEditCopy = 57634;
    static constexpr int kIdEditPaste = 57637;

    explicit CFieldEdit(QWidget* parent = nullptr);

    // A context-menu request from window (this control); point is in screen
    // coordinates.
    void OnContextMenu(QWidget* window, const QPoint& point);
    // Runs the handler of a menu command; false for an id it has none for.
    bool OnCommand(int id);

    void OnEditUndo();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();

    // The whole text as the program's texts hold it: Windows-1251, CR LF.
    Text GetWindowText() const;
    // The selection as positions in GetWindowText.
    void GetSel(int& start, int& end) const;
    bool CanUndo() const;

    QMenu* menuWithSelection() const { return m_menuWithSelection; }
    QMenu* menuNoSelection() const { return m_menuNoSelection; }
    const Text& selectedText() const { return m_selectedText; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Where a menu asked for from the keyboard opens: at the caret, kept
    // inside the visible text.
    QPoint CaretPoint() const;
    void InsertInto(const FieldCommand& command);
    void AddTo(const FieldCommand& command);

    CMenu m_menu;
    QMenu* m_menuWithSelection = nullptr;  // "editmenuadd"
    QMenu* m_menuNoSelection = nullptr;    // "editmenu"
    int m_selStart = 0;
    int m_selEnd = 0;
    // The selection taken when the menu last opened with one; every insert
    // and add command uses it.
    Text m_selectedText;
};
