#include "pages/CFieldEdit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

#include "pages/TextDocRules.h"
#include "platform/NativeText.h"

namespace {

// The length in the program's text of the widget's first characters.
int TextPosition(const QString& text, int position) {
    return static_cast<int>(FromQStringMultiLine(text.left(position)).size());
}

}  // namespace

CFieldEdit::CFieldEdit(QWidget* parent) : CMultiLineEdit(parent) {
    m_menu.LoadMenu(FieldEditMenu());
    m_menuWithSelection = m_menu.GetSubMenu(kMenuWithSelection);
    m_menuNoSelection = m_menu.GetSubMenu(kMenuNoSelection);
    // The scroll bar belongs to the control, so its right-click opens this
    // menu too rather than the scroll bar's own.
    verticalScrollBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(verticalScrollBar(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { OnContextMenu(this, verticalScrollBar()->mapToGlobal(pos)); });
}

Text CFieldEdit::GetWindowText() const { return FromQStringMultiLine(WindowText()); }

void CFieldEdit::GetSel(int& start, int& end) const {
    const QString text = WindowText();
    const QTextCursor cursor = textCursor();
    start = TextPosition(text, cursor.selectionStart());
    end = TextPosition(text, cursor.selectionEnd());
}

bool CFieldEdit::CanUndo() const { return document()->isUndoAvailable(); }

void CFieldEdit::OnContextMenu(QWidget* window, const QPoint& point) {
    const bool canUndo = CanUndo();
    EnableMenuItem(m_menuWithSelection, kIdEditUndo, canUndo);
    EnableMenuItem(m_menuNoSelection, kIdEditUndo, canUndo);

    GetSel(m_selStart, m_selEnd);
    const TextSelection selection = NormaliseSelection(m_selStart, m_selEnd);
    m_selStart = selection.start;
    m_selEnd = selection.end;

    QMenu* popup = m_menuNoSelection;
    if (!selection.empty()) {
        m_selectedText = CaptureSelection(GetWindowText(), m_selStart, m_selEnd);
        popup = m_menuWithSelection;
    }
    if (const int command = TrackPopupMenu(popup, point, window)) OnCommand(command);
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

void CFieldEdit::OnEditUndo() { undo(); }

void CFieldEdit::OnEditCut() { cut(); }

void CFieldEdit::OnEditCopy() { copy(); }

void CFieldEdit::OnEditPaste() { paste(); }

void CFieldEdit::contextMenuEvent(QContextMenuEvent* event) {
    // Always this menu, never the platform's own one for edit controls.
    const QPoint point = event->reason() == QContextMenuEvent::Keyboard ? CaretPoint() : event->globalPos();
    event->accept();
    OnContextMenu(this, point);
}

void CFieldEdit::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool menuKey = event->key() == Qt::Key_Menu && modifiers == Qt::NoModifier;
    const bool shiftF10 = event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    if (menuKey || shiftF10) {
        event->accept();
        OnContextMenu(this, CaretPoint());
        return;
    }
    CMultiLineEdit::keyPressEvent(event);
}

QPoint CFieldEdit::CaretPoint() const {
    const QRect area = viewport()->rect();
    QPoint point = cursorRect().bottomLeft();
    point.setX(std::clamp(point.x(), area.left(), area.right()));
    point.setY(std::clamp(point.y(), area.top(), area.bottom()));
    return viewport()->mapToGlobal(point);
}
