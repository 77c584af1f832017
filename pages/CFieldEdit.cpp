#include "pages/CFieldEdit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

#include "app/desktop/CMainDlg.h"
#include "pages/TextDocRules.h"
#include "platform/QtText.h"
#include "readme/Cp1251.h"

enum class FormPage { Plugin, Extras, Database };

// One field that both cascades offer.
struct FieldCommand {
    int insertId;
    int addId;
    FormPage page;
    int controlId;
};

namespace {

// In display order; in the "Добавить в" cascade the name (32795) comes
// before the description (32794).
constexpr FieldCommand kFieldCommands[] = {
    {32778, 32795, FormPage::Plugin, 1025},    // plug-in name
    {32779, 32794, FormPage::Plugin, 1005},    // description
    {32780, 32796, FormPage::Plugin, 1010},    // other requirements
    {32781, 32797, FormPage::Plugin, 1024},    // own installation text
    {32782, 32798, FormPage::Plugin, 1030},    // own removal text
    {32783, 32799, FormPage::Extras, 1019},    // how to play
    {32784, 32800, FormPage::Extras, 1031},    // authors
    {32785, 32801, FormPage::Extras, 1032},    // note
    {32786, 32802, FormPage::Extras, 1035},    // own warning text
    {32787, 32803, FormPage::Database, 1026},  // author's name
    {32788, 32804, FormPage::Database, 1029},  // author's e-mail
    {32789, 32805, FormPage::Database, 1030},  // adaptor's name
    {32790, 32806, FormPage::Database, 1031},  // adaptor's e-mail
    {32791, 32807, FormPage::Database, 1032},  // source plug-in's page
};

using M = MenuEntryKind;

// Menu 145: two pop-ups, "editmenuadd" for a selection and "editmenu"
// without one.
constexpr MenuEntry kMenu145[] = {
    {M::Popup, "editmenuadd"},
    {M::Item, "Отменить"_cp, CFieldEdit::kIdEditUndo},
    {M::Separator},
    {M::Item, "Вырезать"_cp, CFieldEdit::kIdEditCut},
    {M::Item, "Копировать"_cp, CFieldEdit::kIdEditCopy},
    {M::Item, "Вставить"_cp, CFieldEdit::kIdEditPaste},
    {M::Separator},
    {M::Popup, "Вставить в"_cp},
    {M::Popup, "Ридми"_cp},
    {M::Item, "Название плагина"_cp, 32778},
    {M::Item, "Описание плагина"_cp, 32779},
    {M::Item, "Требует"_cp, 32780},
    {M::Item, "Установка"_cp, 32781},
    {M::Item, "Удаление"_cp, 32782},
    {M::Item, "Как играть"_cp, 32783},
    {M::Item, "Авторы"_cp, 32784},
    {M::Item, "Примечание"_cp, 32785},
    {M::Item, "Предупреждение"_cp, 32786},
    {M::EndPopup},
    {M::Popup, "Бу"_cp},
    {M::Item, "Автор имя"_cp, 32787},
    {M::Item, "Автор Email"_cp, 32788},
    {M::Item, "Адаптор имя"_cp, 32789},
    {M::Item, "Адаптор Email"_cp, 32790},
    {M::Item, "Ссылка на оригинал"_cp, 32791},
    {M::EndPopup},
    {M::EndPopup},
    {M::Popup, "Добавить в"_cp},
    {M::Popup, "Ридми"_cp},
    {M::Item, "Название плагина"_cp, 32795},
    {M::Item, "Описание плагина"_cp, 32794},
    {M::Item, "Требует"_cp, 32796},
    {M::Item, "Установка"_cp, 32797},
    {M::Item, "Удаление"_cp, 32798},
    {M::Item, "Как играть"_cp, 32799},
    {M::Item, "Авторы"_cp, 32800},
    {M::Item, "Примечание"_cp, 32801},
    {M::Item, "Предупреждение"_cp, 32802},
    {M::EndPopup},
    {M::Popup, "Бу"_cp},
    {M::Item, "Автор имя"_cp, 32803},
    {M::Item, "Автор Email"_cp, 32804},
    {M::Item, "Адаптор имя"_cp, 32805},
    {M::Item, "Адаптор Email"_cp, 32806},
    {M::Item, "Ссылка на оригинал"_cp, 32807},
    {M::EndPopup},
    {M::EndPopup},
    {M::EndPopup},

    {M::Popup, "editmenu"},
    {M::Item, "Отменить"_cp, CFieldEdit::kIdEditUndo},
    {M::Separator},
    {M::Item, "Вырезать"_cp, CFieldEdit::kIdEditCut},
    {M::Item, "Копировать"_cp, CFieldEdit::kIdEditCopy},
    {M::Item, "Вставить"_cp, CFieldEdit::kIdEditPaste},
    {M::Separator},
    {M::Item, "Вставить в"_cp, 0, kMenuGrayed},
    {M::Item, "Добавить в"_cp, 0, kMenuGrayed},
    {M::EndPopup},
};

CDialog* TargetPage(FormPage page) {
    if (!g_pMainDlg) return nullptr;
    switch (page) {
        case FormPage::Plugin:
            return &g_pMainDlg->pluginPage();
        case FormPage::Extras:
            return &g_pMainDlg->extrasPage();
        case FormPage::Database:
            return &g_pMainDlg->databasePage();
    }
    return nullptr;
}

// The length in the program's text of the widget's first characters.
int TextPosition(const QString& text, int position) {
    return static_cast<int>(FromQStringMultiLine(text.left(position)).size());
}

}  // namespace

CFieldEdit::CFieldEdit(QWidget* parent) : CMultiLineEdit(parent) {
    m_menu.LoadMenu(kMenu145);
    m_menuWithSelection = m_menu.GetSubMenu(0);
    m_menuNoSelection = m_menu.GetSubMenu(1);
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
            break;
    }
    for (const FieldCommand& command : kFieldCommands) {
        if (id == command.insertId) {
            InsertInto(command);
            return true;
        }
        if (id == command.addId) {
            AddTo(command);
            return true;
        }
    }
    return false;
}

void CFieldEdit::OnEditUndo() { undo(); }

void CFieldEdit::OnEditCut() { cut(); }

void CFieldEdit::OnEditCopy() { copy(); }

void CFieldEdit::OnEditPaste() { paste(); }

// Enabled or not, the field takes the text; nothing else on its page changes.
void CFieldEdit::InsertInto(const FieldCommand& command) {
    if (CDialog* page = TargetPage(command.page)) page->SetItemText(command.controlId, InsertFieldText(m_selectedText));
}

void CFieldEdit::AddTo(const FieldCommand& command) {
    if (CDialog* page = TargetPage(command.page))
        page->SetItemText(command.controlId, AddFieldText(page->GetItemText(command.controlId), m_selectedText));
}

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
