#pragma once
// The text document's edit control. Its context menu offers the usual edit
// commands and two cascades that put the selected passage into one of
// fourteen fields of the form: "Вставить в" replaces the field's text,
// "Добавить в" appends to it.

#include "pages/FieldCommands.h"
#include "platform/Controls.h"
#include "platform/Menus.h"
#include "text/Text.h"

class QMenu;

class CFieldEdit : public CMultiLineEdit {
    Q_OBJECT
public:
    explicit CFieldEdit(QWidget* parent = nullptr);

    // Where the insert and add commands write; without targets they do
    // nothing.
    void SetTargets(FieldTargets* targets) { m_targets = targets; }

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

    FieldTargets* m_targets = nullptr;
    CMenu m_menu;
    QMenu* m_menuWithSelection = nullptr;  // "editmenuadd"
    QMenu* m_menuNoSelection = nullptr;    // "editmenu"
    int m_selStart = 0;
    int m_selEnd = 0;
    // The selection taken when the menu last opened with one; every insert
    // and add command uses it.
    Text m_selectedText;
};
