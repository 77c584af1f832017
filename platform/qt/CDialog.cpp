#include "platform/CDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "platform/Controls.h"
#include "platform/DialogRules.h"
#include "platform/PendingControls.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Resources.h"
#include "platform/qt/RtfTextDocument.h"

namespace {

// An editable combo box whose typed text never picks or adds an item: only
// a choice from the list changes the selection.
class CDropDownCombo final : public QComboBox {
public:
    explicit CDropDownCombo(QWidget* parent) : QComboBox(parent) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
        lineEdit()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            // Enter would select the item that matches the typed text.
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                QCoreApplication::sendEvent(parentWidget(), event);
                return true;
            }
        }
        return QComboBox::eventFilter(watched, event);
    }
};

}  // namespace

// The dialog's own widget: what the system sends it reaches the CDialog.
struct CDialog::Native final : QWidget {
    explicit Native(CDialog& dialog) : owner(&dialog), units(BaseUnitsOf(font())) {}
    ~Native() override {
        // Deleted with its parent widget: the dialog must not delete it again.
        if (owner) static_cast<void>(owner->m_native.release());
    }

    QWidget* Find(ItemId id) const {
        const auto found = items.find(id);
        return found == items.end() ? nullptr : found->second;
    }
    template <class T>
    T* Get(ItemId id) const {
        return qobject_cast<T*>(Find(id));
    }
    void Changed() const {
        if (changed) changed();
    }
    void Attach(ItemId id, QWidget* widget) {
        widget->setObjectName(QStringLiteral("id%1").arg(id));
        items[id] = widget;
    }
    QTimer& Timer(std::uintptr_t timer);
    QWidget* CreateControl(const ControlSpec& spec);
    void SetWindowSize(const DluRect& rect, bool resizable);
    QRect Map(const DluRect& rect) const { return MapDialogRect(rect, units); }
    // The controls where the growth puts them in a dialog by pixels larger
    // than its layout, and the pages under its tab control after them.
    void Grow(PixelSize by);
    // What the screen leaves a top-level window's client area.
    QSize Room() const;
    // The size asked for, fitted to the room with the frame now known.
    void Refit();

    CDialog* owner;
    DialogBaseUnits units;
    std::map<int, QWidget*> items;
    QWidget* surface = this;  // the controls' parent
    std::function<void(const std::vector<FilePath>&, int)> dropFiles;
    QImage picture;  // with its transparent colour left out
    QRect pictureRect;
    std::function<void()> changed;
    std::map<int, std::function<void()>> commands;
    std::vector<QShortcut*> shortcuts;
    std::map<std::uintptr_t, std::unique_ptr<QTimer>> timers;
    std::map<std::uintptr_t, std::function<void()>> timerHandlers;
    bool topLevel = false;
    bool resizable = false;
    bool programSelects = false;  // SetCurSel is changing a list's line
    // The layout's rows, their widgets and the places they were made at
    // (a caption may have widened one, a combo's list is not its height).
    std::vector<ControlSpec> layout;
    std::vector<QWidget*> layoutWidgets;
    std::vector<QRect> madeAt;
    std::span<const GrowthRule> growth;
    QSize layoutSize;
    PixelSize extra;
    QSize requested;                              // a top-level window's
    bool fitted = false;                          // to the frame it really got
    std::vector<std::pair<CDialog*, int>> pages;  // placed under a tab control

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

CDialog::CDialog() : m_native(std::make_unique<Native>(*this)) {}

CDialog::~CDialog() {
    if (m_native) m_native->owner = nullptr;
}

QWidget* QtWidget(const CDialog& dialog) {
    // Whoever looks at the widget wants the controls in it.
    dialog.CreateControlsNow();
    return QtWidget(dialog.GetSafeHwnd());
}

WindowHandle CDialog::GetSafeHwnd() const { return HandleOf(m_native.get()); }

bool CDialog::CreateTopLevel(std::string_view title, const DluRect& size, bool resizable) {
    Native& n = *m_native;
    n.topLevel = true;
    n.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                     Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                     (resizable ? Qt::WindowMaximizeButtonHint : Qt::WindowFlags()));
    n.setWindowTitle(ToQString(title));
    n.setWindowIcon(ProgramIcon());
    n.SetWindowSize(size, resizable);
    return true;
}

bool CDialog::CreatePage(WindowHandle parent, const DluRect& size) {
    Native& n = *m_native;
    if (parent) {
        n.setParent(QtWidget(parent));
        n.units = BaseUnitsOf(n.font());
    }
    n.layoutSize = n.Map(size).size();
    n.resize(n.layoutSize);
    return true;
}

void CDialog::Show(bool show) {
    if (show) CreateControlsNow();
    m_native->setVisible(show);
}

void CDialog::SetTitle(std::string_view title) { m_native->setWindowTitle(ToQString(title)); }

bool CDialog::IsShown() const { return m_native->isVisible(); }

void CDialog::BringToFront() {
    m_native->activateWindow();
    m_native->raise();
}

const DialogBaseUnits& CDialog::baseUnits() const { return m_native->units; }

void CDialog::OnChanged(std::function<void()> handler) {
    if (m_pending) {
        m_pending->m_changed = std::move(handler);
        return;
    }
    m_native->changed = std::move(handler);
}

void CDialog::OnClose() {}

QWidget* CDialog::Native::CreateControl(const ControlSpec& spec) {
    const QString caption = ToQString(spec.caption);
    QWidget* widget = nullptr;
    switch (spec.kind) {
        case ControlKind::GroupBox:
            widget = new CGroupBox(caption, surface);
            break;
        case ControlKind::Label:
            if (spec.style & kStyleElideMiddle)
                widget = new CElidingLabel(caption, surface);
            else
                widget = new QLabel(caption, surface);
            break;
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(caption, surface);
            // Qt's default of 32,767 would cut a long paste without a word.
            edit->setMaxLength(std::numeric_limits<int>::max());
            edit->setReadOnly(spec.style & kStyleReadOnly);
            widget = edit;
            break;
        }
        case ControlKind::MultiLineEdit: {
            auto* edit = new CMultiLineEdit(surface);
            edit->setReadOnly(spec.style & kStyleReadOnly);
            widget = edit;
            break;
        }
        case ControlKind::CheckBox:
            widget = new QCheckBox(caption, surface);
            break;
        case ControlKind::PushButton: {
            auto* button = new QPushButton(caption, surface);
            button->setAutoDefault(false);
            widget = button;
            break;
        }
        case ControlKind::DropDownCombo: {
            auto* combo = new CDropDownCombo(surface);
            if (QLineEdit* edit = combo->lineEdit()) edit->setMaxLength(std::numeric_limits<int>::max());
            widget = combo;
            break;
        }
        case ControlKind::DropListCombo:
            widget = new QComboBox(surface);
            break;
        case ControlKind::TabControl:
            widget = new CTabCtrl(surface);
            break;
        case ControlKind::RichEdit:
            widget = new CRichEdit(surface);
            break;
        case ControlKind::ListBox:
            widget = new QListWidget(surface);
            break;
    }
    QRect rect = Map(spec.rect);
    switch (spec.kind) {
        case ControlKind::CheckBox:
        case ControlKind::Label:
            if (spec.style & kStyleElideMiddle) break;
            // A caption wider in this font than in the layout's keeps its
            // whole width rather than being cut.
            rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
            break;
        case ControlKind::DropDownCombo:
        case ControlKind::DropListCombo:
            // The layout's height includes the opened list.
            rect.setHeight(std::min(rect.height(), widget->sizeHint().height()));
            break;
        default:
            break;
    }
    widget->setGeometry(rect);
    if (spec.style & kStyleDisabled) widget->setEnabled(false);
    if (spec.style & kStyleReadOnly) {
        // As Windows draws a read-only edit: on the window's colour, so it
        // never looks as if it took typing.
        QPalette palette = widget->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Window));
        widget->setPalette(palette);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        QObject::connect(edit, &QLineEdit::textChanged, this, [this] { Changed(); });
    else if (auto* lines = qobject_cast<CMultiLineEdit*>(widget))
        QObject::connect(lines, &CMultiLineEdit::textChanged, this, [this] { Changed(); });
    else if (auto* box = qobject_cast<QCheckBox*>(widget))
        QObject::connect(box, &QCheckBox::toggled, this, [this] { Changed(); });
    else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(combo, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
        // Typed text is a value too, as the Windows combo box tells it.
        if (QLineEdit* typed = combo->lineEdit())
            QObject::connect(typed, &QLineEdit::textEdited, this, [this] { Changed(); });
    } else if (auto* list = qobject_cast<QListWidget*>(widget))
        QObject::connect(list, &QListWidget::currentRowChanged, this, [this] { Changed(); });
    // A view that is no tab stop still takes the focus when clicked, so its
    // text can be scrolled and copied from the keyboard.
    if (spec.tabOrder == 0) widget->setFocusPolicy(spec.kind == ControlKind::RichEdit ? Qt::ClickFocus : Qt::NoFocus);
    if (spec.id != kNoControlId) Attach(spec.id, widget);
    return widget;
}

QSize CDialog::Native::Room() const {
    // The window manager's frame is not known before the window shows: room
    // for a title bar and borders as a desktop draws them at this scale.
    const QSize frame =
        isVisible() ? frameGeometry().size() - size()
                    : QSize(2 * ::ScreenPixels(*this, 4), ::ScreenPixels(*this, 40) + 2 * ::ScreenPixels(*this, 4));
    return screen()->availableGeometry().size() - frame;
}

void CDialog::Native::SetWindowSize(const DluRect& rect, bool canResize) {
    const QSize wanted = Map(rect).size();
    layoutSize = requested = wanted;
    resizable = canResize;
    const QSize room = Room();
    if (wanted.width() <= room.width() && wanted.height() <= room.height()) {
        if (resizable) {
            setMinimumSize(wanted);
            resize(wanted);
        } else {
            setFixedSize(wanted);
        }
        return;
    }
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    surface = new QWidget;
    if (resizable) {
        // Never below the layout, larger as the window grows.
        surface->setMinimumSize(wanted);
        scroll->setWidgetResizable(true);
        surface->installEventFilter(this);
    } else {
        surface->setFixedSize(wanted);
    }
    scroll->setWidget(surface);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    const ScrollBarsNeeded bars = NeedScrollBars({wanted.width(), wanted.height()}, {room.width(), room.height()}, bar);
    const QSize whole = wanted + QSize(bars.vertical ? bar : 0, bars.horizontal ? bar : 0);
    if (!resizable) setMaximumSize(whole);
    resize(whole.boundedTo(room));
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(scroll);
    // The keyboard's focus brings its whole control into view (its top, if
    // taller than the view), not only the caret as Qt's own rule would.
    QObject::connect(qApp, &QApplication::focusChanged, scroll, [scroll, view = surface](QWidget*, QWidget* now) {
        if (!now || !view->isAncestorOf(now)) return;
        const QRect box(now->mapTo(view, QPoint(0, 0)), now->size());
        QScrollBar* across = scroll->horizontalScrollBar();
        QScrollBar* down = scroll->verticalScrollBar();
        across->setValue(ScrollToShow(box.left(), box.right(), scroll->viewport()->width(), across->value()));
        down->setValue(ScrollToShow(box.top(), box.bottom(), scroll->viewport()->height(), down->value()));
    });
}

void CDialog::CreateControls(std::span<const ControlSpec> layout) {
    if (DeferControls(layout)) return;
    std::vector<QWidget*> widgets;
    widgets.reserve(layout.size());
    for (const ControlSpec& spec : layout) {
        QWidget* widget = m_native->CreateControl(spec);
        widgets.push_back(widget);
        m_native->layout.push_back(spec);
        m_native->layoutWidgets.push_back(widget);
        m_native->madeAt.push_back(widget->geometry());
    }
    const std::vector<std::size_t> order = TabOrderOf(layout);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(widgets[order[i - 1]], widgets[order[i]]);
}

void CDialog::AddComboItemsFrom(ItemId id, std::span<const std::string_view> items) {
    if (auto* combo = m_native->Get<QComboBox>(id)) {
        for (std::string_view item : items) combo->addItem(ToQString(item));
        combo->setCurrentIndex(-1);
    }
}

WindowHandle CDialog::GetDlgItem(ItemId id) const {
    CreateControlsNow();
    return HandleOf(m_native->Find(id));
}

Text CDialog::GetItemText(int id) const {
    if (Text text; m_pending && m_pending->GetText(id, text)) return text;
    CreateControlsNow();
    QWidget* widget = m_native->Find(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return FromQString(edit->text());
    if (auto* edit = qobject_cast<CMultiLineEdit*>(widget)) return FromQStringMultiLine(edit->WindowText());
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return FromQString(combo->currentText());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return FromQString(button->text());
    if (auto* label = qobject_cast<QLabel*>(widget)) return FromQString(label->text());
    if (auto* group = qobject_cast<CGroupBox*>(widget)) return FromQString(group->title());
    return {};
}

namespace {

void SetLineEditText(QLineEdit& edit, const QString& value) {
    // The typing limit holds the user, not the program (as WM_SETTEXT).
    if (value.size() > edit.maxLength()) edit.setMaxLength(static_cast<int>(value.size()));
    edit.setText(value);
    edit.setCursorPosition(0);
}

}  // namespace

std::string CDialog::GetItemUtf8(int id) const {
    if (std::string utf8; m_pending && m_pending->GetUtf8(id, utf8)) return utf8;
    CreateControlsNow();
    auto* edit = m_native->Get<QLineEdit>(id);
    return edit ? edit->text().toStdString() : std::string();
}

void CDialog::SetItemUtf8(ItemId id, std::string_view utf8) {
    if (m_pending && m_pending->SetText(id, utf8, true)) return;
    CreateControlsNow();
    QString value = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QWidget* widget = m_native->Find(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        SetLineEditText(*edit, value);
    } else if (auto* lines = qobject_cast<CMultiLineEdit*>(widget)) {
        lines->setPlainText(value.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
}

void CDialog::ReplaceItemText(ItemId id, std::string_view text) {
    CreateControlsNow();
    QWidget* widget = m_native->Find(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        const QString value = ToQString(text);
        if (value.size() > edit->maxLength()) edit->setMaxLength(static_cast<int>(value.size()));
        edit->selectAll();
        edit->insert(value);
    } else if (auto* lines = qobject_cast<CMultiLineEdit*>(widget)) {
        QTextCursor cursor(lines->document());
        cursor.select(QTextCursor::Document);
        cursor.insertText(ToQStringMultiLine(text));
    }
}

int CDialog::GetItemTextLength(ItemId id) const {
    if (int length = 0; m_pending && m_pending->GetTextLength(id, length)) return length;
    CreateControlsNow();
    QWidget* widget = m_native->Find(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return static_cast<int>(edit->text().size());
    if (auto* edit = qobject_cast<CMultiLineEdit*>(widget)) return static_cast<int>(edit->WindowText().size());
    return 0;
}

void CDialog::SetItemText(ItemId id, std::string_view text) {
    if (m_pending && m_pending->SetText(id, text, false)) return;
    CreateControlsNow();
    QWidget* widget = m_native->Find(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        SetLineEditText(*edit, ToQString(text));
    } else if (auto* multiLine = qobject_cast<CMultiLineEdit*>(widget)) {
        multiLine->setPlainText(ToQStringMultiLine(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->isEditable()) combo->setEditText(ToQString(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(ToQString(text));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(ToQString(text));
    } else if (auto* group = qobject_cast<CGroupBox*>(widget)) {
        group->setTitle(ToQString(text));
    }
}

bool CDialog::IsChecked(int id) const {
    if (m_pending) {
        const PendingControl* control = m_pending->Find(id);
        return control && control->checked;
    }
    auto* button = m_native->Get<QAbstractButton>(id);
    return button && button->isChecked();
}

void CDialog::SetCheck(ItemId id, bool checked) {
    if (m_pending && m_pending->SetCheck(id, checked)) return;
    CreateControlsNow();
    if (auto* button = m_native->Get<QAbstractButton>(id)) button->setChecked(checked);
}

bool CDialog::IsItemEnabled(ItemId id) const {
    if (m_pending) {
        const PendingControl* control = m_pending->Find(id);
        return control && control->enabled;
    }
    QWidget* widget = m_native->Find(id);
    return widget && widget->isEnabledTo(m_native.get());
}

void CDialog::EnableItem(ItemId id, bool enable) {
    if (m_pending) {
        if (PendingControl* control = m_pending->Find(id)) control->enabled = enable;
        return;
    }
    if (QWidget* widget = m_native->Find(id)) widget->setEnabled(enable);
}

int CDialog::GetCurSel(int id) const {
    if (int index = -1; m_pending && m_pending->GetSelection(id, index)) return index;
    CreateControlsNow();
    if (auto* tabs = m_native->Get<CTabCtrl>(id)) return tabs->GetCurSel();
    if (auto* list = m_native->Get<QListWidget>(id)) return list->currentRow();
    auto* combo = m_native->Get<QComboBox>(id);
    return combo ? combo->currentIndex() : -1;
}

void CDialog::SetCurSel(ItemId id, int index) {
    if (m_pending && m_pending->SetSelection(id, index)) return;
    CreateControlsNow();
    if (auto* tabs = m_native->Get<CTabCtrl>(id)) tabs->SetCurSel(index);
    if (auto* combo = m_native->Get<QComboBox>(id)) combo->setCurrentIndex(index);
    if (auto* list = m_native->Get<QListWidget>(id)) {
        const QScopedValueRollback programs(m_native->programSelects, true);
        list->setCurrentRow(index);
    }
}

void CDialog::SetListItems(ItemId id, const std::vector<Text>& items) {
    CreateControlsNow();
    auto* list = m_native->Get<QListWidget>(id);
    if (!list) return;
    // New lines are no one's choice.
    const QSignalBlocker quiet(list);
    list->clear();
    for (const Text& item : items) list->addItem(ToQString(item));
    list->setCurrentRow(-1);
}

void CDialog::AddTabStop(ItemId id, ItemId after) {
    if (Later([=, this] { AddTabStop(id, after); })) return;
    QWidget* widget = m_native->Find(id);
    if (auto* tabs = qobject_cast<CTabCtrl*>(widget)) widget = tabs->tabBar();
    if (!widget) return;
    widget->setFocusPolicy(Qt::TabFocus);
    if (QWidget* before = m_native->Find(after)) QWidget::setTabOrder(before, widget);
}

void CDialog::SetCaret(ItemId id, int pos) {
    if (m_pending && m_pending->SetCaret(id, pos)) return;
    CreateControlsNow();
    // QLineEdit keeps its caret in view by itself.
    if (auto* edit = m_native->Get<QLineEdit>(id)) edit->setCursorPosition(std::max(0, pos));
}

namespace {

// The length in the program's text of a control's first characters.
int TextPosition(const QString& text, qsizetype position, bool multiLine) {
    const QString head = text.left(position);
    return static_cast<int>((multiLine ? FromQStringMultiLine(head) : FromQString(head)).size());
}

}  // namespace

void CDialog::GetSel(ItemId id, int& start, int& end) const {
    CreateControlsNow();
    start = end = 0;
    QWidget* widget = m_native->Find(id);
    if (auto* lines = qobject_cast<CMultiLineEdit*>(widget)) {
        const QString text = lines->WindowText();
        const QTextCursor cursor = lines->textCursor();
        start = TextPosition(text, cursor.selectionStart(), true);
        end = TextPosition(text, cursor.selectionEnd(), true);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        const int from = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        start = TextPosition(edit->text(), from, false);
        end = TextPosition(edit->text(), edit->hasSelectedText() ? edit->selectionEnd() : from, false);
    }
}

bool CDialog::CanUndo(ItemId id) const {
    CreateControlsNow();
    QWidget* widget = m_native->Find(id);
    if (auto* lines = qobject_cast<CMultiLineEdit*>(widget)) return lines->document()->isUndoAvailable();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->isUndoAvailable();
    return false;
}

void CDialog::EditItem(ItemId id, EditCommand command) {
    CreateControlsNow();
    QWidget* widget = m_native->Find(id);
    const auto run = [command](auto& edit) {
        switch (command) {
            case EditCommand::Undo:
                edit.undo();
                break;
            case EditCommand::Cut:
                edit.cut();
                break;
            case EditCommand::Copy:
                edit.copy();
                break;
            case EditCommand::Paste:
                edit.paste();
                break;
        }
    };
    if (auto* lines = qobject_cast<CMultiLineEdit*>(widget))
        run(*lines);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        run(*edit);
}

ScreenPoint CDialog::CaretScreenPoint(ItemId id) const {
    CreateControlsNow();
    if (auto* lines = m_native->Get<CMultiLineEdit>(id)) {
        const QPoint point = lines->CaretPoint();
        return {point.x(), point.y()};
    }
    QWidget* widget = m_native->Find(id);
    if (!widget) return {};
    const QPoint point = widget->mapToGlobal(QPoint(0, widget->height() - 1));
    return {point.x(), point.y()};
}

void CDialog::SetItemRtf(ItemId id, std::span<const unsigned char> rtf) {
    CreateControlsNow();
    if (auto* view = m_native->Get<CRichEdit>(id)) {
        rtf::SetRtf(*view->document(), rtf);
        view->moveCursor(QTextCursor::Start);  // read from the top, not the end
    }
}

void CDialog::MoveItem(ItemId id, const PixelEdges& place) {
    if (Later([=, this] { MoveItem(id, place); })) return;
    if (QWidget* widget = m_native->Find(id))
        widget->setGeometry(place.left, place.top, place.right - place.left, place.bottom - place.top);
}

void CDialog::FocusItem(ItemId id) {
    CreateControlsNow();
    if (QWidget* widget = m_native->Find(id)) widget->setFocus();
}

bool CDialog::HasFocus(ItemId id) const {
    CreateControlsNow();
    QWidget* widget = m_native->Find(id);
    if (auto* tabs = qobject_cast<CTabCtrl*>(widget)) widget = tabs->tabBar();
    return widget && widget->hasFocus();
}

bool CDialog::FocusFirstTabStop() {
    CreateControlsNow();
    // The page's controls in the order Tab visits them.
    QWidget* page = m_native.get();
    for (QWidget* widget = page->nextInFocusChain(); widget && widget != page; widget = widget->nextInFocusChain()) {
        if (page->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
            widget->isVisibleTo(page)) {
            widget->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

PixelSize CDialog::ClientSize() const { return {m_native->width(), m_native->height()}; }

int CDialog::ScreenPixels(int pixelsAt96Dpi) const { return ::ScreenPixels(*m_native, pixelsAt96Dpi); }

void CDialog::SetPicture(const CBitmap& bitmap, const PixelEdges& place, std::uint32_t transparent) {
    QImage image = bitmap.native().image;
    const auto isTransparent = [transparent](QRgb colour) { return (colour & 0xFFFFFFu) == (transparent & 0xFFFFFFu); };
    if (image.format() == QImage::Format_Indexed8) {
        QList<QRgb> palette = image.colorTable();
        for (QRgb& colour : palette)
            if (isTransparent(colour)) colour = qRgba(0, 0, 0, 0);
        image.setColorTable(palette);
    } else if (!image.isNull()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (isTransparent(line[x])) line[x] = qRgba(0, 0, 0, 0);
        }
    }
    m_native->picture = image;
    m_native->pictureRect = QRect(place.left, place.top, place.right - place.left, place.bottom - place.top);
    m_native->update();
}

void CDialog::Native::paintEvent(QPaintEvent* event) {
    if (picture.isNull()) {
        QWidget::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect, picture);
}

void CDialog::SetItemTip(ItemId id, std::string_view text) {
    if (Later([this, id, tip = std::string(text)] { SetItemTip(id, tip); })) return;
    if (QWidget* widget = m_native->Find(id)) {
        if (auto* tabs = qobject_cast<CTabCtrl*>(widget)) widget = tabs->tabBar();
        widget->setToolTip(ToQString(text));
    }
}

void CDialog::InsertTab(ItemId id, int index, std::string_view caption) {
    CreateControlsNow();
    if (auto* tabs = m_native->Get<CTabCtrl>(id)) tabs->InsertItem(index, ToQString(caption));
}

void CDialog::ChooseTab(ItemId id, int index) {
    CreateControlsNow();
    if (auto* tabs = m_native->Get<CTabCtrl>(id)) tabs->tabBar()->setCurrentIndex(index);
}

void CDialog::PlacePage(CDialog& page, ItemId tabId) {
    Native& n = *m_native;
    auto* tabs = n.Get<CTabCtrl>(tabId);
    if (!tabs) return;
    if (std::find(n.pages.begin(), n.pages.end(), std::pair{&page, static_cast<int>(tabId)}) == n.pages.end())
        n.pages.emplace_back(&page, tabId);
    page.m_native->setParent(tabs);
    page.m_native->move(tabs->PageOrigin());
    // The page grows as its tab control has grown beyond the layout.
    QSize grown;
    for (std::size_t i = 0; i < n.layout.size(); ++i)
        if (n.layout[i].id == tabId) grown = tabs->size() - n.madeAt[i].size();
    grown = grown.expandedTo(QSize(0, 0));
    if (page.m_native->size() == page.m_native->layoutSize + grown) return;
    page.m_native->resize(page.m_native->layoutSize + grown);
    page.m_native->Grow({grown.width(), grown.height()});
    // A page not made yet lays itself out when made.
    if (page.HasControls()) page.OnScaleChanged();
}

void CDialog::SetGrowth(std::span<const GrowthRule> rules) {
    if (Later([this, rules] { SetGrowth(rules); })) return;
    m_native->growth = rules;
    m_native->Grow(m_native->extra);
}

void CDialog::Native::Grow(PixelSize by) {
    extra = by;
    // Without rules the controls stay where the dialog itself put them.
    const std::vector<PixelEdges> places =
        growth.empty() ? std::vector<PixelEdges>() : GrowLayout(layout, growth, by, units);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const PixelEdges base = MapDialogUnits(layout[i].rect, units);
        layoutWidgets[i]->setGeometry(madeAt[i].adjusted(places[i].left - base.left, places[i].top - base.top,
                                                         places[i].right - base.right, places[i].bottom - base.bottom));
    }
    if (owner)
        for (const auto& [page, tabId] : std::vector(pages)) owner->PlacePage(*page, tabId);
}

PixelEdges CDialog::GrownPlace(ItemId id) const {
    CreateControlsNow();
    const Native& n = *m_native;
    const std::vector<PixelEdges> places = GrowLayout(n.layout, n.growth, n.extra, n.units);
    for (std::size_t i = 0; i < n.layout.size(); ++i)
        if (n.layout[i].id == id) return places[i];
    return {};
}

void CDialog::ResizeClient(PixelSize size) {
    Native& n = *m_native;
    if (!n.topLevel || !n.resizable) return;
    n.requested = QSize(size.width, size.height).expandedTo(n.layoutSize);
    n.Refit();
}

void CDialog::Native::Refit() {
    const QSize room = Room();
    // Scrolling only because the frame was guessed too large: the layout
    // whole, as when it fitted from the start.
    if (surface != this && layoutSize.width() <= room.width() && layoutSize.height() <= room.height()) {
        if (resizable)
            setMinimumSize(layoutSize);
        else
            setFixedSize(layoutSize);
    }
    if (resizable || surface != this) resize(requested.boundedTo(room).expandedTo(minimumSize()));
    fitted = isVisible();
}

void CDialog::OnCommand(int command, std::function<void()> handler) {
    m_native->commands[command] = std::move(handler);
}

namespace {

QKeyCombination QtKey(const Accelerator& key) {
    Qt::Key qtKey = Qt::Key_unknown;
    if ((key.key >= 'A' && key.key <= 'Z') || (key.key >= '0' && key.key <= '9'))
        qtKey = static_cast<Qt::Key>(key.key);
    else if (key.key == kKeyTab)
        qtKey = Qt::Key_Tab;
    else if (key.key == kKeyPageUp)
        qtKey = Qt::Key_PageUp;
    else if (key.key == kKeyPageDown)
        qtKey = Qt::Key_PageDown;
    else if (key.key >= kKeyF5 - 4 && key.key <= kKeyF5 + 7)
        qtKey = static_cast<Qt::Key>(Qt::Key_F1 + (key.key - (kKeyF5 - 4)));
    Qt::KeyboardModifiers modifiers;
    if (key.ctrl) modifiers |= Qt::ControlModifier;
    if (key.shift) modifiers |= Qt::ShiftModifier;
    return QKeyCombination(modifiers, qtKey);
}

}  // namespace

void CDialog::SetAccelerators(std::span<const Accelerator> keys) {
    for (QShortcut* shortcut : m_native->shortcuts) delete shortcut;
    m_native->shortcuts.clear();
    for (const Accelerator& key : keys) {
        std::vector<QKeyCombination> combinations{QtKey(key)};
        // Qt names Shift+Tab Backtab.
        if (key.key == kKeyTab && key.shift)
            combinations.push_back(QKeyCombination(QtKey(key).keyboardModifiers(), Qt::Key_Backtab));
        for (QKeyCombination combination : combinations) {
            auto* shortcut = new QShortcut(QKeySequence(combination), m_native.get());
            QObject::connect(shortcut, &QShortcut::activated, m_native.get(),
                             [n = m_native.get(), command = key.command] {
                                 const auto found = n->commands.find(command);
                                 if (found != n->commands.end() && found->second) found->second();
                             });
            m_native->shortcuts.push_back(shortcut);
        }
    }
}

QTimer& CDialog::Native::Timer(std::uintptr_t timer) {
    std::unique_ptr<QTimer>& slot = timers[timer];
    if (!slot) {
        slot = std::make_unique<QTimer>();
        slot->setSingleShot(true);
        QObject::connect(slot.get(), &QTimer::timeout, this, [this, timer] {
            const auto found = timerHandlers.find(timer);
            if (found != timerHandlers.end() && found->second) found->second();
        });
    }
    return *slot;
}

QTimer& QtTimer(CDialog& dialog, std::uintptr_t timer) {
    return static_cast<CDialog::Native*>(QtWidget(dialog))->Timer(timer);
}

void CDialog::StartSingleShot(std::uintptr_t timer, unsigned ms, std::function<void()> handler) {
    m_native->timerHandlers[timer] = std::move(handler);
    m_native->Timer(timer).start(static_cast<int>(ms));
}

void CDialog::StopTimer(std::uintptr_t timer) {
    if (const auto found = m_native->timers.find(timer); found != m_native->timers.end()) found->second->stop();
}

bool CDialog::IsTimerActive(std::uintptr_t timer) const {
    const auto found = m_native->timers.find(timer);
    return found != m_native->timers.end() && found->second->isActive();
}

void CDialog::OnSelChanging(ItemId id, std::function<void()> handler) {
    if (Later([this, id, handler] { OnSelChanging(id, handler); })) return;
    if (auto* tabs = m_native->Get<CTabCtrl>(id))
        QObject::connect(tabs, &CTabCtrl::SelChanging, m_native.get(), [handler = std::move(handler)] { handler(); });
}

namespace {

// A click, or Enter with the focus, on one control.
class ActivateFilter final : public QObject {
public:
    ActivateFilter(QObject* parent, std::function<void()> handler) : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) Arrange(*static_cast<QWidget*>(watched));
        const bool click =
            event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        const bool enter =
            event->type() == QEvent::KeyPress && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                                                  static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
        if (click || enter) {
            m_handler();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

public:
    // Enabled, it takes the focus and shows that a click does something.
    static void Arrange(QWidget& widget) {
        if (!widget.isEnabled()) return;
        widget.setFocusPolicy(Qt::StrongFocus);
        widget.setCursor(Qt::PointingHandCursor);
    }

private:
    std::function<void()> m_handler;
};

}  // namespace

void CDialog::OnActivate(ItemId id, std::function<void()> handler) {
    if (Later([this, id, handler] { OnActivate(id, handler); })) return;
    QWidget* widget = m_native->Find(id);
    if (!widget) return;
    widget->installEventFilter(new ActivateFilter(widget, std::move(handler)));
    ActivateFilter::Arrange(*widget);
}

int RunMessageLoop(CDialog&) { return QApplication::exec(); }

void CDialog::Native::closeEvent(QCloseEvent* event) {
    if (owner && topLevel) owner->OnClose();
    QWidget::closeEvent(event);
}

void CDialog::Native::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The user's size is the one to keep when the window shows again.
    if (topLevel && fitted) requested = size();
    if (topLevel && surface == this)
        Grow({std::max(0, width() - layoutSize.width()), std::max(0, height() - layoutSize.height())});
    if (owner && topLevel) owner->OnResized({width(), height()});
}

bool CDialog::Native::eventFilter(QObject* watched, QEvent* event) {
    // A scrolling window's controls grow with the view beyond the layout.
    if (watched == surface && surface != this && event->type() == QEvent::Resize)
        Grow(
            {std::max(0, surface->width() - layoutSize.width()), std::max(0, surface->height() - layoutSize.height())});
    return QWidget::eventFilter(watched, event);
}

void CDialog::Native::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The frame is the window manager's, known once it has taken the window.
    if (topLevel && !event->spontaneous()) QTimer::singleShot(0, this, [this] { Refit(); });
}

void CDialog::OnContextMenu(ItemId id, std::function<void(ScreenPoint)> handler) {
    if (Later([this, id, handler] { OnContextMenu(id, handler); })) return;
    if (auto* lines = m_native->Get<CMultiLineEdit>(id)) lines->SetContextMenuHandler(std::move(handler));
}

void CDialog::OnDropFiles(std::function<void(const std::vector<FilePath>&, int)> handler) {
    m_native->dropFiles = std::move(handler);
    m_native->setAcceptDrops(m_native->dropFiles != nullptr);
}

void CDialog::LetDropsThrough(ItemId id) {
    if (Later([this, id] { LetDropsThrough(id); })) return;
    if (QWidget* widget = m_native->Find(id)) widget->setAcceptDrops(false);
}

void CDialog::Native::dragEnterEvent(QDragEnterEvent* event) {
    if (dropFiles && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        QWidget::dragEnterEvent(event);
}

void CDialog::Native::dropEvent(QDropEvent* event) {
    if (!dropFiles) {
        QWidget::dropEvent(event);
        return;
    }
    std::vector<FilePath> files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    if (files.empty()) return;
    event->acceptProposedAction();
    const QPoint dropped = event->position().toPoint();
    const QPoint at = surface == this ? dropped : surface->mapFrom(this, dropped);
    std::vector<DropCandidate> controls;
    controls.reserve(items.size());
    for (const auto& [itemId, widget] : items) {
        const QRect box = widget->geometry();
        controls.push_back({itemId,
                            {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()},
                            !widget->isHidden(),
                            qobject_cast<CGroupBox*>(widget) != nullptr});
    }
    dropFiles(files, DropTargetAt(controls, at.x(), at.y()));
}

void CDialog::OnClicked(ItemId id, std::function<void()> handler) {
    if (Later([this, id, handler] { OnClicked(id, handler); })) return;
    if (auto* button = m_native->Get<QAbstractButton>(id))
        QObject::connect(button, &QAbstractButton::clicked, m_native.get(),
                         [handler = std::move(handler)] { handler(); });
}

void CDialog::OnSelChange(ItemId id, std::function<void()> handler) {
    if (Later([this, id, handler] { OnSelChange(id, handler); })) return;
    if (auto* tabs = m_native->Get<CTabCtrl>(id))
        QObject::connect(tabs, &CTabCtrl::SelChange, m_native.get(), [handler = std::move(handler)] { handler(); });
    else if (auto* combo = m_native->Get<QComboBox>(id))
        QObject::connect(combo, &QComboBox::activated, m_native.get(), [handler = std::move(handler)] { handler(); });
    else if (auto* list = m_native->Get<QListWidget>(id))
        QObject::connect(list, &QListWidget::currentRowChanged, m_native.get(),
                         [n = m_native.get(), handler = std::move(handler)] {
                             if (!n->programSelects) handler();
                         });
}

void CDialog::OnTextChange(ItemId id, std::function<void()> handler) {
    if (LaterTextChange(id, handler)) return;
    if (auto* edit = m_native->Get<QLineEdit>(id))
        QObject::connect(edit, &QLineEdit::textChanged, m_native.get(), [handler = std::move(handler)] { handler(); });
    else if (auto* lines = m_native->Get<CMultiLineEdit>(id))
        QObject::connect(lines, &CMultiLineEdit::textChanged, m_native.get(),
                         [handler = std::move(handler)] { handler(); });
}

void CDialog::Native::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (owner) owner->OnOK();
            event->accept();
            return;
        case Qt::Key_Escape:
            if (owner) owner->OnCancel();
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

QRect MapDialogRect(const CDialog& dialog, const DluRect& rect) { return MapDialogRect(rect, dialog.baseUnits()); }
