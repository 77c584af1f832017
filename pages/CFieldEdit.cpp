#include "pages/CFieldEdit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>
#include <array>
#include <string_view>

#include "app/desktop/CMainDlg.h"
#include "pages/TextDocRules.h"
#include "platform/QtText.h"
#include "readme/Cp1251.h"

enum class FormPage { Plugin, Extras, Database };

// One field that both cascades offer, under the same caption.
struct FieldCommand {
    std::string_view caption;  // Windows-1251
    int insertId;
    int addId;
    FormPage page;
    int controlId;
};

namespace {

// In display order: the first kReadmeFields under "Ридми", the rest under
// "Бу". In the "Добавить в" cascade the name (32795) comes before the
// description (32794).
constexpr FieldCommand kFieldCommands[] = {
    {"Название плагина"_cp, 32778, 32795, FormPage::Plugin, 1025},
    {"Описание плагина"_cp, 32779, 32794, FormPage::Plugin, 1005},
    {"Требует"_cp, 32780, 32796, FormPage::Plugin, 1010},
    {"Установка"_cp, 32781, 32797, FormPage::Plugin, 1024},
    {"Удаление"_cp, 32782, 32798, FormPage::Plugin, 1030},
    {"Как играть"_cp, 32783, 32799, FormPage::Extras, 1019},
    {"Авторы"_cp, 32784, 32800, FormPage::Extras, 1031},
    {"Примечание"_cp, 32785, 32801, FormPage::Extras, 1032},
    {"Предупреждение"_cp, 32786, 32802, FormPage::Extras, 1035},
    {"Автор имя"_cp, 32787, 32803, FormPage::Database, 1026},
    {"Автор Email"_cp, 32788, 32804, FormPage::Database, 1029},
    {"Адаптор имя"_cp, 32789, 32805, FormPage::Database, 1030},
    {"Адаптор Email"_cp, 32790, 32806, FormPage::Database, 1031},
    {"Ссылка на оригинал"_cp, 32791, 32807, FormPage::Database, 1032},
};
constexpr std::size_t kReadmeFields = 9;

using M = MenuEntryKind;

constexpr MenuEntry kEditItems[] = {
    {M::Item, "Отменить"_cp, CFieldEdit::kIdEditUndo},
    {M::Separator},
    {M::Item, "Вырезать"_cp, CFieldEdit::kIdEditCut},
    {M::Item, "Копировать"_cp, CFieldEdit::kIdEditCopy},
    {M::Item, "Вставить"_cp, CFieldEdit::kIdEditPaste},
    {M::Separator},
};

// A cascade opens and closes itself and its two sub-pop-ups around the fields.
constexpr std::size_t kCascadeRows = 3 * 2 + std::size(kFieldCommands);
constexpr std::size_t kMenu145Rows = (1 + std::size(kEditItems) + 2 * kCascadeRows + 1) +
                                     (1 + std::size(kEditItems) + 2 + 1);

// Menu 145: two pop-ups, "editmenuadd" for a selection and "editmenu"
// without one. The cascades of the first are made from kFieldCommands.
constexpr std::array<MenuEntry, kMenu145Rows> kMenu145 = [] {
    std::array<MenuEntry, kMenu145Rows> menu{};
    std::size_t row = 0;
    const auto add = [&](MenuEntry entry) { menu[row++] = entry; };
    const auto cascade = [&](std::string_view caption, bool insert) {
        add({M::Popup, caption});
        add({M::Popup, "Ридми"_cp});
        for (std::size_t i = 0; i < std::size(kFieldCommands); ++i) {
            if (i == kReadmeFields) {
                add({M::EndPopup});
                add({M::Popup, "Бу"_cp});
            }
            const FieldCommand& field = kFieldCommands[i];
            add({M::Item, field.caption, insert ? field.insertId : field.addId});
        }
        add({M::EndPopup});
        add({M::EndPopup});
    };

    add({M::Popup, "editmenuadd"});
    for (const MenuEntry& entry : kEditItems) add(entry);
    cascade("Вставить в"_cp, true);
    cascade("Добавить в"_cp, false);
    add({M::EndPopup});

    add({M::Popup, "editmenu"});
    for (const MenuEntry& entry : kEditItems) add(entry);
    add({M::Item, "Вставить в"_cp, 0, kMenuGrayed});
    add({M::Item, "Добавить в"_cp, 0, kMenuGrayed});
    add({M::EndPopup});
    return menu;
}();

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
