#include "platform/qt/QtControls.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>
#include <QTextDocument>
#include <algorithm>
#include <climits>

#include "platform/qt/DialogUnits.h"
#include "platform/qt/Resources.h"

CMultiLineEdit::CMultiLineEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

QString CMultiLineEdit::WindowText() const {
    // toPlainText would turn no-break spaces (byte 0xA0) into blanks.
    return document()->toRawText();
}

void CMultiLineEdit::SetContextMenuHandler(std::function<void(ScreenPoint)> handler) {
    const bool first = !m_contextMenu;
    m_contextMenu = std::move(handler);
    if (!first) return;
    // The scroll bar belongs to the control, so its right-click opens this
    // menu too rather than the scroll bar's own.
    verticalScrollBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(verticalScrollBar(), &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QPoint global = verticalScrollBar()->mapToGlobal(pos);
        if (m_contextMenu) m_contextMenu({global.x(), global.y()});
    });
}

QPoint CMultiLineEdit::CaretPoint() const {
    const QRect area = viewport()->rect();
    QPoint point = cursorRect().bottomLeft();
    point.setX(std::clamp(point.x(), area.left(), area.right()));
    point.setY(std::clamp(point.y(), area.top(), area.bottom()));
    return viewport()->mapToGlobal(point);
}

void CMultiLineEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_contextMenu) {
        QPlainTextEdit::contextMenuEvent(event);
        return;
    }
    // Always the program's menu, never Qt's own one for edit controls.
    const QPoint global = event->globalPos();
    event->accept();
    m_contextMenu(event->reason() == QContextMenuEvent::Keyboard ? kKeyboardPoint
                                                                 : ScreenPoint{global.x(), global.y()});
}

void CMultiLineEdit::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool menuKey = event->key() == Qt::Key_Menu && modifiers == Qt::NoModifier;
    const bool shiftF10 = event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    if (m_contextMenu && (menuKey || shiftF10)) {
        event->accept();
        m_contextMenu(kKeyboardPoint);
        return;
    }
    // Enter, as Ctrl+Enter, breaks the line: in a text field people expect
    // it to, and the dialog's own Enter action does nothing anyway.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !isReadOnly()) {
        insertPlainText(QStringLiteral("\n"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

CRichEdit::CRichEdit(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

void CElidingLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, static_cast<int>(alignment()) | Qt::TextSingleLine,
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
}

CGroupBox::CGroupBox(const QString& title, QWidget* parent) : QWidget(parent), m_title(title) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CGroupBox::setTitle(const QString& title) {
    m_title = title;
    update();
}

void CGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2;
    const QRect frame = rect().adjusted(0, top, -1, -1);
    // An etched line: dark, with a light one below and to the right.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    if (m_title.isEmpty()) return;
    const int left = metrics.averageCharWidth() * 3 / 2;
    const QRect caption(left, 0, metrics.horizontalAdvance(m_title) + 4, metrics.height());
    painter.fillRect(caption, palette().color(backgroundRole()));
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, m_title);
}

CBitmap::CBitmap() : m_native(std::make_unique<Native>()) {}

CBitmap::~CBitmap() = default;

bool CBitmap::Load(std::span<const unsigned char> bmp) {
    m_native->image = ImageFromBytes(bmp, "bmp");
    return !m_native->image.isNull();
}

bool CBitmap::isNull() const { return m_native->image.isNull(); }

PixelSize CBitmap::size() const { return {m_native->image.width(), m_native->image.height()}; }

// Qt needs nothing before the first window but the application itself.
bool InitControls() { return true; }

CTabCtrl::CTabCtrl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)), m_panel(new QFrame(this)) {
    m_panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_panel->lower();
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setFocusPolicy(Qt::NoFocus);
    connect(m_bar, &QTabBar::currentChanged, this, &CTabCtrl::OnBarChanged);
}

void CTabCtrl::InsertItem(int index, const QString& caption) {
    m_programChange = true;
    m_bar->insertTab(index, caption);
    m_programChange = false;
    m_current = m_bar->currentIndex();
    Arrange();
}

void CTabCtrl::SetCurSel(int index) {
    m_programChange = true;
    m_bar->setCurrentIndex(index);
    m_programChange = false;
    m_current = m_bar->currentIndex();
}

int CTabCtrl::GetItemCount() const { return m_bar->count(); }

QPoint CTabCtrl::PageOrigin() const {
    return QPoint(ScreenPixels(*this, 4), std::max(ScreenPixels(*this, 22), m_bar->sizeHint().height() + 2));
}

void CTabCtrl::OnBarChanged(int index) {
    if (m_programChange) return;
    emit SelChanging();
    m_current = index;
    emit SelChange();
}

void CTabCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

void CTabCtrl::Arrange() {
    const int barHeight = m_bar->sizeHint().height();
    m_bar->setGeometry(0, 0, std::min(width(), m_bar->sizeHint().width()), barHeight);
    m_panel->setGeometry(0, barHeight - 1, width(), height() - barHeight + 1);
}
