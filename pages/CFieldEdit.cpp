#include "pages/CFieldEdit.h"

#include "textdoc/TextDocRules.h"

CFieldEdit::CFieldEdit(CDialog& dialog, int id) : m_dialog(dialog), m_id(id) {}

void CFieldEdit::LoadMenus() const {
    // Some sixty entries, made when first opened rather than before the
    // first paint.
    if (m_menuWithSelection || m_menuNoSelection) return;
    m_menu.LoadMenu(FieldEditMenu());
    m_menuWithSelection = m_menu.GetSubMenu(kMenuWithSelection);
    m_menuNoSelection = m_menu.GetSubMenu(kMenuNoSelection);
}

Text CFieldEdit::GetWindowText() const { return m_dialog.GetItemText(m_id); }

void CFieldEdit::GetSel(int& start, int& end) const { m_dialog.GetSel(m_id, start, end); }

bool CFieldEdit::CanUndo() const { return m_dialog.CanUndo(m_id); }

void CFieldEdit::OnContextMenu(ScreenPoint point) {
    if (point == kKeyboardPoint) point = m_dialog.CaretScreenPoint(m_id);
    LoadMenus();
    const bool canUndo = CanUndo();
    EnableMenuItem(m_menuWithSelection, kIdEditUndo, canUndo);
    EnableMenuItem(m_menuNoSelection, kIdEditUndo, canUndo);

    GetSel(m_selStart, m_selEnd);
    const TextSelection selection = NormaliseSelection(m_selStart, m_selEnd);
    m_selStart = selection.start;
    m_selEnd = selection.end;

    MenuHandle popup = m_menuNoSelection;
    if (!selection.empty()) {
        m_selectedText = CaptureSelection(GetWindowText(), m_selStart, m_selEnd);
        popup = m_menuWithSelection;
    }
    if (const int command = TrackPopupMenu(popup, point, m_dialog.GetDlgItem(m_id))) OnCommand(command);
}

bool CFieldEdit::OnCommand(int id) {
    switch (id) {
        case kIdEditUndo:
            OnEditUndo();
            return true;
        case kIdEditCut:
            OnEditCut();
            return true;
        case kIdEditCopy:
            OnEditCopy();
            return true;
        case kIdEditPaste:
            OnEditPaste();
            return true;
        default:
            return m_targets && RunFieldCommand(id, m_selectedText, *m_targets);
    }
}

void CFieldEdit::OnEditUndo() { m_dialog.EditItem(m_id, EditCommand::Undo); }

void CFieldEdit::OnEditCut() { m_dialog.EditItem(m_id, EditCommand::Cut); }

void CFieldEdit::OnEditCopy() { m_dialog.EditItem(m_id, EditCommand::Copy); }

void CFieldEdit::OnEditPaste() { m_dialog.EditItem(m_id, EditCommand::Paste); }
