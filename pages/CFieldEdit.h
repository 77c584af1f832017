#pragma once
// The text document's edit control. Its context menu offers the usual edit
// commands and two cascades that put the selected passage into one of
// fourteen fields of the form: "Вставить в" replaces the field's text,
// "Добавить в" appends to it.

#include "pages/FieldCommands.h"
#include "platform/CDialog.h"
#include "platform/Menus.h"
#include "text/Text.h"

// The rules over a multi-line edit control that a dialog made: the control
// itself is the platform's own.
class CFieldEdit {
public:
    CFieldEdit(CDialog& dialog, int id);
    CFieldEdit(const CFieldEdit&) = delete;
    CFieldEdit& operator=(const CFieldEdit&) = delete;

    int id() const { return m_id; }

    // Where the insert and add commands write; without targets they do
    // nothing.
    void SetTargets(FieldTargets* targets) { m_targets = targets; }

    // A context-menu request at a screen point; kKeyboardPoint opens it
    // below the caret.
    void OnContextMenu(ScreenPoint point);
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

    MenuHandle menuWithSelection() const {
        LoadMenus();
        return m_menuWithSelection;
    }
    MenuHandle menuNoSelection() const {
        LoadMenus();
        return m_menuNoSelection;
    }
    const Text& selectedText() const { return m_selectedText; }

private:
    void LoadMenus() const;

    CDialog& m_dialog;
    int m_id;
    FieldTargets* m_targets = nullptr;
    mutable CMenu m_menu;
    mutable MenuHandle m_menuWithSelection = nullptr;  // "editmenuadd"
    mutable MenuHandle m_menuNoSelection = nullptr;    // "editmenu"
    int m_selStart = 0;
    int m_selEnd = 0;
    // The selection taken when the menu last opened with one; every insert
    // and add command uses it.
    Text m_selectedText;
};
