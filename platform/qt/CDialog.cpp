#include "platform/qt/CDialog.h"

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
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <vector>

#include "platform/qt/Controls.h"
#include "platform/qt/DialogUnits.h"
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

CDialog::CDialog(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), m_units(BaseUnitsOf(font())) {
    connect(this, &CDialog::Changed, this, [this] {
        if (m_changedHandler) m_changedHandler();
    });
}

CDialog::~CDialog() = default;

bool CDialog::CreateTopLevel(std::string_view title, const DluRect& size) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ToQString(title));
    setWindowIcon(ProgramIcon());
    SetWindowSize(size);
    return true;
}

QRect CDialog::MapDialogRect(const DluRect& rect) const { return ::MapDialogRect(rect, m_units); }

bool CDialog::CreatePage(WindowHandle parent, const DluRect& size) {
    if (parent) {
        setParent(parent);
        m_units = BaseUnitsOf(font());
    }
    resize(MapDialogRect(size).size());
    return true;
}

QWidget* CDialog::CreateControl(const ControlSpec& spec) {
    const QString caption = ToQString(spec.caption);
    QWidget* widget = nullptr;
    switch (spec.kind) {
        case ControlKind::GroupBox:
            widget = new CGroupBox(caption, m_surface);
            break;
        case ControlKind::Label:
            widget = new QLabel(caption, m_surface);
            break;
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(caption, m_surface);
            // Qt's default of 32,767 would cut a long paste without a word.
            edit->setMaxLength(std::numeric_limits<int>::max());
            edit->setReadOnly(spec.style & kStyleReadOnly);
            widget = edit;
            break;
        }
        case ControlKind::MultiLineEdit: {
            auto* edit = new CMultiLineEdit(m_surface);
            edit->setReadOnly(spec.style & kStyleReadOnly);
            widget = edit;
            break;
        }
        case ControlKind::CheckBox:
            widget = new QCheckBox(caption, m_surface);
            break;
        case ControlKind::PushButton: {
            auto* button = new QPushButton(caption, m_surface);
            button->setAutoDefault(false);
            widget = button;
            break;
        }
        case ControlKind::DropDownCombo: {
            auto* combo = new CDropDownCombo(m_surface);
            if (QLineEdit* edit = combo->lineEdit()) edit->setMaxLength(std::numeric_limits<int>::max());
            widget = combo;
            break;
        }
        case ControlKind::DropListCombo:
            widget = new QComboBox(m_surface);
            break;
        case ControlKind::TabControl:
            widget = new CTabCtrl(m_surface);
            break;
        case ControlKind::RichEdit:
            widget = new CRichEdit(m_surface);
            break;
        case ControlKind::ListBox:
            widget = new QListWidget(m_surface);
            break;
    }
    QRect rect = MapDialogRect(spec.rect);
    switch (spec.kind) {
        case ControlKind::CheckBox:
        case ControlKind::Label:
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
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        connect(edit, &QLineEdit::textChanged, this, &CDialog::Changed);
    else if (auto* lines = qobject_cast<CMultiLineEdit*>(widget))
        connect(lines, &CMultiLineEdit::textChanged, this, &CDialog::Changed);
    else if (auto* box = qobject_cast<QCheckBox*>(widget))
        connect(box, &QCheckBox::toggled, this, &CDialog::Changed);
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        connect(combo, &QComboBox::currentIndexChanged, this, &CDialog::Changed);
    // A view that is no tab stop still takes the focus when clicked, so its
    // text can be scrolled and copied from the keyboard.
    if (spec.tabOrder == 0) widget->setFocusPolicy(spec.kind == ControlKind::RichEdit ? Qt::ClickFocus : Qt::NoFocus);
    if (spec.id != kNoControlId) AttachItem(spec.id, widget);
    return widget;
}

void CDialog::SetWindowSize(const DluRect& rect) {
    const QSize wanted = MapDialogRect(rect).size();
    // The window manager's frame is not known before the window shows: room
    // for a title bar and borders as a desktop draws them at this scale.
    const QSize room = screen()->availableGeometry().size() -
                       QSize(2 * ::ScreenPixels(*this, 4), ::ScreenPixels(*this, 40) + 2 * ::ScreenPixels(*this, 4));
    if (wanted.width() <= room.width() && wanted.height() <= room.height()) {
        setFixedSize(wanted);
        return;
    }
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    m_surface = new QWidget;
    m_surface->setFixedSize(wanted);
    scroll->setWidget(m_surface);
    // A bar across one side takes room from the other.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    bool tall = wanted.height() > room.height();
    bool wide = wanted.width() > room.width();
    if (tall && wanted.width() + bar > room.width()) wide = true;
    if (wide && wanted.height() + bar > room.height()) tall = true;
    const QSize whole = wanted + QSize(tall ? bar : 0, wide ? bar : 0);
    setMaximumSize(whole);
    resize(whole.boundedTo(room));
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(scroll);
    // The keyboard's focus brings its whole control into view (its top, if
    // taller than the view), not only the caret as Qt's own rule would.
    connect(qApp, &QApplication::focusChanged, scroll, [scroll, surface = m_surface](QWidget*, QWidget* now) {
        if (!now || !surface->isAncestorOf(now)) return;
        const QRect box(now->mapTo(surface, QPoint(0, 0)), now->size());
        auto show = [](QScrollBar* scrollBar, int first, int last, int length) {
            if (last >= scrollBar->value() + length) scrollBar->setValue(last - length + 1);
            if (first < scrollBar->value()) scrollBar->setValue(first);
        };
        show(scroll->horizontalScrollBar(), box.left(), box.right(), scroll->viewport()->width());
        show(scroll->verticalScrollBar(), box.top(), box.bottom(), scroll->viewport()->height());
    });
}

void CDialog::CreateControls(std::span<const ControlSpec> layout) {
    std::vector<std::pair<int, QWidget*>> tabStops;
    for (const ControlSpec& spec : layout) {
        QWidget* widget = CreateControl(spec);
        if (spec.tabOrder > 0) tabStops.emplace_back(spec.tabOrder, widget);
    }
    std::sort(tabStops.begin(), tabStops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabStops.size(); ++i) setTabOrder(tabStops[i - 1].second, tabStops[i].second);
}

void CDialog::AttachItem(ItemId id, QWidget* widget) {
    widget->setObjectName(QStringLiteral("id%1").arg(id));
    m_items[id] = widget;
}

void CDialog::AddComboItems(ItemId id, std::initializer_list<std::string_view> items) {
    if (auto* combo = Item<QComboBox>(id)) {
        for (std::string_view item : items) combo->addItem(ToQString(item));
        combo->setCurrentIndex(-1);
    }
}

QWidget* CDialog::GetDlgItem(ItemId id) const {
    const auto found = m_items.find(id);
    return found == m_items.end() ? nullptr : found->second;
}

Text CDialog::GetItemText(int id) const {
    QWidget* widget = GetDlgItem(id);
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
    auto* edit = Item<QLineEdit>(id);
    return edit ? edit->text().toStdString() : std::string();
}

void CDialog::SetItemUtf8(ItemId id, std::string_view utf8) {
    QString value = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QWidget* widget = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        SetLineEditText(*edit, value);
    } else if (auto* lines = qobject_cast<CMultiLineEdit*>(widget)) {
        lines->setPlainText(value.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
}

void CDialog::ReplaceItemText(ItemId id, std::string_view text) {
    QWidget* widget = GetDlgItem(id);
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
    QWidget* widget = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return static_cast<int>(edit->text().size());
    if (auto* edit = qobject_cast<CMultiLineEdit*>(widget)) return static_cast<int>(edit->WindowText().size());
    return 0;
}

void CDialog::SetItemText(ItemId id, std::string_view text) {
    QWidget* widget = GetDlgItem(id);
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
    auto* button = Item<QAbstractButton>(id);
    return button && button->isChecked();
}

void CDialog::SetCheck(ItemId id, bool checked) {
    if (auto* button = Item<QAbstractButton>(id)) button->setChecked(checked);
}

bool CDialog::IsItemEnabled(ItemId id) const {
    QWidget* widget = GetDlgItem(id);
    return widget && widget->isEnabledTo(this);
}

void CDialog::EnableItem(ItemId id, bool enable) {
    if (QWidget* widget = GetDlgItem(id)) widget->setEnabled(enable);
}

int CDialog::GetCurSel(int id) const {
    if (auto* tabs = Item<CTabCtrl>(id)) return tabs->GetCurSel();
    if (auto* list = Item<QListWidget>(id)) return list->currentRow();
    auto* combo = Item<QComboBox>(id);
    return combo ? combo->currentIndex() : -1;
}

void CDialog::SetCurSel(ItemId id, int index) {
    if (auto* tabs = Item<CTabCtrl>(id)) tabs->SetCurSel(index);
    if (auto* combo = Item<QComboBox>(id)) combo->setCurrentIndex(index);
}

void CDialog::SetListItems(ItemId id, const std::vector<Text>& items) {
    auto* list = Item<QListWidget>(id);
    if (!list) return;
    list->clear();
    for (const Text& item : items) list->addItem(ToQString(item));
    list->setCurrentRow(-1);
}

void CDialog::AddTabStop(ItemId id, ItemId after) {
    QWidget* widget = GetDlgItem(id);
    if (auto* tabs = qobject_cast<CTabCtrl*>(widget)) widget = tabs->tabBar();
    if (!widget) return;
    widget->setFocusPolicy(Qt::TabFocus);
    if (QWidget* before = GetDlgItem(after)) setTabOrder(before, widget);
}

void CDialog::SetCaret(ItemId id, int pos) {
    // QLineEdit keeps its caret in view by itself.
    if (auto* edit = Item<QLineEdit>(id)) edit->setCursorPosition(std::max(0, pos));
}

namespace {

// The length in the program's text of a control's first characters.
int TextPosition(const QString& text, qsizetype position, bool multiLine) {
    const QString head = text.left(position);
    return static_cast<int>((multiLine ? FromQStringMultiLine(head) : FromQString(head)).size());
}

}  // namespace

void CDialog::GetSel(ItemId id, int& start, int& end) const {
    start = end = 0;
    QWidget* widget = GetDlgItem(id);
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
    QWidget* widget = GetDlgItem(id);
    if (auto* lines = qobject_cast<CMultiLineEdit*>(widget)) return lines->document()->isUndoAvailable();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->isUndoAvailable();
    return false;
}

void CDialog::EditItem(ItemId id, EditCommand command) {
    QWidget* widget = GetDlgItem(id);
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
    if (auto* lines = Item<CMultiLineEdit>(id)) {
        const QPoint point = lines->CaretPoint();
        return {point.x(), point.y()};
    }
    QWidget* widget = GetDlgItem(id);
    if (!widget) return {};
    const QPoint point = widget->mapToGlobal(QPoint(0, widget->height() - 1));
    return {point.x(), point.y()};
}

void CDialog::SetItemRtf(ItemId id, std::span<const unsigned char> rtf) {
    if (auto* view = Item<CRichEdit>(id)) {
        rtf::SetRtf(*view->document(), rtf);
        view->moveCursor(QTextCursor::Start);  // read from the top, not the end
    }
}

void CDialog::MoveItem(ItemId id, const PixelEdges& place) {
    if (QWidget* widget = GetDlgItem(id))
        widget->setGeometry(place.left, place.top, place.right - place.left, place.bottom - place.top);
}

void CDialog::FocusItem(ItemId id) {
    if (QWidget* widget = GetDlgItem(id)) widget->setFocus();
}

bool CDialog::HasFocus(ItemId id) const {
    QWidget* widget = GetDlgItem(id);
    if (auto* tabs = qobject_cast<CTabCtrl*>(widget)) widget = tabs->tabBar();
    return widget && widget->hasFocus();
}

bool CDialog::FocusFirstTabStop() {
    // The page's controls in the order Tab visits them.
    for (QWidget* widget = nextInFocusChain(); widget && widget != this; widget = widget->nextInFocusChain()) {
        if (isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
            widget->isVisibleTo(this)) {
            widget->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

PixelSize CDialog::ClientSize() const { return {width(), height()}; }

int CDialog::ScreenPixels(int pixelsAt96Dpi) const { return ::ScreenPixels(*this, pixelsAt96Dpi); }

void CDialog::SetPicture(const CBitmap& bitmap, const PixelEdges& place, std::uint32_t transparent) {
    QImage image = bitmap.image();
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
    m_picture = image;
    m_pictureRect = QRect(place.left, place.top, place.right - place.left, place.bottom - place.top);
    update();
}

void CDialog::paintEvent(QPaintEvent* event) {
    if (m_picture.isNull()) {
        QWidget::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(m_pictureRect, m_picture);
}

void CDialog::SetItemTip(ItemId id, std::string_view text) {
    if (QWidget* widget = GetDlgItem(id)) {
        if (auto* tabs = qobject_cast<CTabCtrl*>(widget)) widget = tabs->tabBar();
        widget->setToolTip(ToQString(text));
    }
}

void CDialog::InsertTab(ItemId id, int index, std::string_view caption) {
    if (auto* tabs = Item<CTabCtrl>(id)) tabs->InsertItem(index, ToQString(caption));
}

void CDialog::ChooseTab(ItemId id, int index) {
    if (auto* tabs = Item<CTabCtrl>(id)) tabs->tabBar()->setCurrentIndex(index);
}

void CDialog::PlacePage(CDialog& page, ItemId tabId) {
    auto* tabs = Item<CTabCtrl>(tabId);
    if (!tabs) return;
    page.setParent(tabs);
    page.move(tabs->PageOrigin());
}

void CDialog::OnCommand(int command, std::function<void()> handler) { m_commands[command] = std::move(handler); }

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
    for (QShortcut* shortcut : m_shortcuts) delete shortcut;
    m_shortcuts.clear();
    for (const Accelerator& key : keys) {
        std::vector<QKeyCombination> combinations{QtKey(key)};
        // Qt names Shift+Tab Backtab.
        if (key.key == kKeyTab && key.shift)
            combinations.push_back(QKeyCombination(QtKey(key).keyboardModifiers(), Qt::Key_Backtab));
        for (QKeyCombination combination : combinations) {
            auto* shortcut = new QShortcut(QKeySequence(combination), this);
            connect(shortcut, &QShortcut::activated, this, [this, command = key.command] {
                const auto found = m_commands.find(command);
                if (found != m_commands.end() && found->second) found->second();
            });
            m_shortcuts.push_back(shortcut);
        }
    }
}

std::string KeyText(const Accelerator& key) {
    return QKeySequence(QtKey(key)).toString(QKeySequence::NativeText).toStdString();
}

QTimer& CDialog::QtTimer(std::uintptr_t timer) {
    std::unique_ptr<QTimer>& slot = m_timers[timer];
    if (!slot) {
        slot = std::make_unique<QTimer>();
        slot->setSingleShot(true);
        connect(slot.get(), &QTimer::timeout, this, [this, timer] {
            const auto found = m_timerHandlers.find(timer);
            if (found != m_timerHandlers.end() && found->second) found->second();
        });
    }
    return *slot;
}

void CDialog::StartSingleShot(std::uintptr_t timer, unsigned ms, std::function<void()> handler) {
    m_timerHandlers[timer] = std::move(handler);
    QtTimer(timer).start(static_cast<int>(ms));
}

void CDialog::StopTimer(std::uintptr_t timer) {
    if (const auto found = m_timers.find(timer); found != m_timers.end()) found->second->stop();
}

bool CDialog::IsTimerActive(std::uintptr_t timer) const {
    const auto found = m_timers.find(timer);
    return found != m_timers.end() && found->second->isActive();
}

void CDialog::OnSelChanging(ItemId id, std::function<void()> handler) {
    if (auto* tabs = Item<CTabCtrl>(id))
        connect(tabs, &CTabCtrl::SelChanging, this, [handler = std::move(handler)] { handler(); });
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
    QWidget* widget = GetDlgItem(id);
    if (!widget) return;
    widget->installEventFilter(new ActivateFilter(widget, std::move(handler)));
    ActivateFilter::Arrange(*widget);
}

void CDialog::BringToFront() {
    activateWindow();
    raise();
}

int RunMessageLoop(const CDialog&) { return QApplication::exec(); }

void CDialog::closeEvent(QCloseEvent* event) {
    OnClose();
    QWidget::closeEvent(event);
}

void CDialog::OnContextMenu(ItemId id, std::function<void(ScreenPoint)> handler) {
    if (auto* lines = Item<CMultiLineEdit>(id)) lines->SetContextMenuHandler(std::move(handler));
}

void CDialog::OnDropFiles(std::function<void(const std::vector<FilePath>&, int)> handler) {
    m_dropFiles = std::move(handler);
    setAcceptDrops(m_dropFiles != nullptr);
}

void CDialog::LetDropsThrough(ItemId id) {
    if (QWidget* widget = GetDlgItem(id)) widget->setAcceptDrops(false);
}

void CDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (m_dropFiles && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        QWidget::dragEnterEvent(event);
}

void CDialog::dropEvent(QDropEvent* event) {
    if (!m_dropFiles) {
        QWidget::dropEvent(event);
        return;
    }
    std::vector<FilePath> files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    if (files.empty()) return;
    event->acceptProposedAction();
    // The control under the point, not the group box around it.
    const QPoint dropped = event->position().toPoint();
    const QPoint at = m_surface == this ? dropped : m_surface->mapFrom(this, dropped);
    int id = kNoControlId;
    for (const auto& [itemId, widget] : m_items)
        if (!widget->isHidden() && !qobject_cast<CGroupBox*>(widget) && widget->geometry().contains(at)) id = itemId;
    m_dropFiles(files, id);
}

void CDialog::OnClicked(ItemId id, std::function<void()> handler) {
    if (auto* button = Item<QAbstractButton>(id))
        connect(button, &QAbstractButton::clicked, this, [handler = std::move(handler)] { handler(); });
}

void CDialog::OnSelChange(ItemId id, std::function<void()> handler) {
    if (auto* tabs = Item<CTabCtrl>(id))
        connect(tabs, &CTabCtrl::SelChange, this, [handler = std::move(handler)] { handler(); });
    else if (auto* combo = Item<QComboBox>(id))
        connect(combo, &QComboBox::activated, this, [handler = std::move(handler)] { handler(); });
}

void CDialog::OnTextChange(ItemId id, std::function<void()> handler) {
    if (auto* edit = Item<QLineEdit>(id))
        connect(edit, &QLineEdit::textChanged, this, [handler = std::move(handler)] { handler(); });
}

void CDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            OnOK();
            event->accept();
            return;
        case Qt::Key_Escape:
            OnCancel();
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}
