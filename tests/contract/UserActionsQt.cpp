#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

#include "UserActions.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtMenus.h"

namespace {

// Where keys go: the focus if it is in this dialog's window, else the window.
QWidget* KeyTarget(CDialog& dialog) {
    QWidget* window = QtWidget(dialog);
    QWidget* focus = QApplication::focusWidget();
    return focus && focus->window() == window->window() ? focus : window;
}

// The widget that takes a scroll area's clicks and shows its text.
QWidget* Surface(QWidget* control) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) return area->viewport();
    return control;
}

PixelEdges Edges(const QPoint& topLeft, const QSize& size) {
    return {topLeft.x(), topLeft.y(), topLeft.x() + size.width(), topLeft.y() + size.height()};
}

}  // namespace

void ShowActive(CDialog& dialog) {
    QWidget* window = QtWidget(dialog);
    window->show();
    window->activateWindow();
    static_cast<void>(QTest::qWaitForWindowActive(window));
}

void ClickItem(CDialog& dialog, ItemId id) {
    // Near the left edge: a check box takes clicks on its box and caption only.
    if (QWidget* control = Surface(QtItem(dialog, id)))
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
}

void TypeInto(CDialog& dialog, ItemId id, std::string_view keys) {
    QWidget* control = QtItem(dialog, id);
    if (auto* combo = qobject_cast<QComboBox*>(control)) control = combo->lineEdit();
    if (!control) return;
    control->setFocus();
    // QTest::keyClicks would pass each character through Latin-1.
    for (const QChar c : QString::fromUtf8(keys.data(), static_cast<qsizetype>(keys.size()))) {
        const Qt::Key key = c.unicode() < 0x80 ? QTest::asciiToKey(static_cast<char>(c.unicode())) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, control, key, QString(c), Qt::NoModifier);
    }
}

void PickItem(CDialog& dialog, ItemId id, int index) {
    auto* combo = Item<QComboBox>(dialog, id);
    if (!combo) return;
    // What the list's click does: the index, then the user's signal.
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void ClickListLine(CDialog& dialog, ItemId id, int index) {
    auto* list = Item<QListWidget>(dialog, id);
    if (!list || !list->item(index)) return;
    list->scrollToItem(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(index)).center());
}

void SelectText(CDialog& dialog, ItemId id, int from, int to) {
    QWidget* control = QtItem(dialog, id);
    auto* lines = qobject_cast<QPlainTextEdit*>(control);
    auto* line = qobject_cast<QLineEdit*>(control);
    if (!lines && !line) return;
    control->setFocus();
    if (lines)
        lines->moveCursor(QTextCursor::Start);
    else
        line->setCursorPosition(0);
    for (int i = 0; i < from; ++i) QTest::keyClick(control, Qt::Key_Right);
    if (to < 0)
        QTest::keyClick(control, Qt::Key_End, lines ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ShiftModifier);
    for (int i = from; i < to; ++i) QTest::keyClick(control, Qt::Key_Right, Qt::ShiftModifier);
}

void PressTab(CDialog& dialog) { QTest::keyClick(KeyTarget(dialog), Qt::Key_Tab); }

void PressEnter(CDialog& dialog) { QTest::keyClick(KeyTarget(dialog), Qt::Key_Return); }

void PressKey(CDialog& dialog, unsigned short key, bool ctrl, bool shift) {
    Qt::Key qtKey = Qt::Key_unknown;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        qtKey = static_cast<Qt::Key>(key);
    else if (key == kKeyTab)
        qtKey = shift ? Qt::Key_Backtab : Qt::Key_Tab;  // as the X server sends Shift+Tab
    else if (key == kKeyPageUp)
        qtKey = Qt::Key_PageUp;
    else if (key == kKeyPageDown)
        qtKey = Qt::Key_PageDown;
    else if (key >= 0x70 && key <= 0x7B)
        qtKey = static_cast<Qt::Key>(Qt::Key_F1 + (key - 0x70));
    Qt::KeyboardModifiers modifiers;
    if (ctrl) modifiers |= Qt::ControlModifier;
    if (shift) modifiers |= Qt::ShiftModifier;
    QTest::keyClick(KeyTarget(dialog), qtKey, modifiers);
}

void DropAt(CDialog& dialog, int x, int y, const std::vector<FilePath>& files) {
    QWidget* window = QtWidget(dialog);
    const QPoint at(x, y);
    // A file manager sends the names as text too, which an edit would take.
    QList<QUrl> urls;
    QStringList names;
    for (const FilePath& file : files) {
        urls.push_back(QUrl::fromLocalFile(QString::fromStdString(file)));
        names.push_back(urls.back().toString());
    }
    QMimeData data;
    data.setUrls(urls);
    data.setText(names.join(QLatin1Char('\n')));
    // As Qt delivers a drag: to the widget under the point that takes
    // drops, else on up to its parents.
    QWidget* under = window->childAt(at);
    for (QWidget* target = under ? under : window; target; target = target->parentWidget()) {
        if (!target->acceptDrops()) continue;
        const QPoint local = target->mapFrom(window, at);
        QDragEnterEvent enter(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) continue;
        QDropEvent drop(QPointF(local), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return;
    }
}

void DropOn(CDialog& dialog, ItemId id, const std::vector<FilePath>& files) {
    QWidget* window = QtWidget(dialog);
    QWidget* control = QtItem(dialog, id);
    const QPoint at = control ? control->mapTo(window, control->rect().center()) : window->rect().center();
    DropAt(dialog, at.x(), at.y(), files);
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QTest::qWait(5);
    }
    return true;
}

std::string TitleOf(const CDialog& dialog) { return QtWidget(dialog)->windowTitle().toStdString(); }

PixelEdges PlaceOf(const CDialog& dialog, ItemId id) {
    QWidget* control = QtItem(dialog, id);
    if (!control) return {};
    return Edges(control->mapTo(QtWidget(dialog), QPoint(0, 0)), control->size());
}

PixelEdges TextAreaOnScreen(const CDialog& dialog, ItemId id) {
    QWidget* area = Surface(QtItem(dialog, id));
    if (!area) return {};
    return Edges(area->mapToGlobal(QPoint(0, 0)), area->size());
}

int LineCount(const CDialog& dialog, ItemId id) {
    if (auto* lines = Item<QPlainTextEdit>(dialog, id)) return lines->document()->blockCount();
    if (auto* view = Item<QTextEdit>(dialog, id)) return view->document()->blockCount();
    return 0;
}

std::vector<std::string> ListLines(const CDialog& dialog, ItemId id) {
    std::vector<std::string> lines;
    if (auto* list = Item<QListWidget>(dialog, id))
        for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
    return lines;
}

ViewPosition ViewOf(const CDialog& dialog, ItemId id) {
    if (auto* view = Item<QTextEdit>(dialog, id))
        return {view->textCursor().position(), view->cursorForPosition(QPoint(1, 1)).position()};
    if (auto* lines = Item<QPlainTextEdit>(dialog, id))
        return {lines->textCursor().position(), lines->cursorForPosition(QPoint(1, 1)).position()};
    return {};
}

MenuItemSeen SeeMenuItem(MenuHandle menu, int id) {
    if (!menu) return {};
    for (QAction* action : QtMenu(menu)->actions()) {
        if (QMenu* cascade = action->menu()) {
            if (MenuItemSeen inside = SeeMenuItem(HandleOf(cascade), id); inside.found) return inside;
        } else if (MenuItemId(action) == id) {
            return {true, action->isEnabled(), action->text().toStdString()};
        }
    }
    return {};
}

std::vector<bool> MenuItemStates(MenuHandle menu, int id) {
    std::vector<bool> states;
    if (!menu) return states;
    for (QAction* action : QtMenu(menu)->actions()) {
        if (QMenu* cascade = action->menu()) {
            const std::vector<bool> inside = MenuItemStates(HandleOf(cascade), id);
            states.insert(states.end(), inside.begin(), inside.end());
        } else if (MenuItemId(action) == id) {
            states.push_back(action->isEnabled());
        }
    }
    return states;
}

namespace {

class NextMenu final : public MenuSeam {
public:
    int TrackPopupMenu(QMenu& menu, const QPoint& at, QWidget*) override {
        SetMenuSeamForTesting(nullptr);
        shown = {HandleOf(&menu), {at.x(), at.y()}};
        const MenuItemSeen item = SeeMenuItem(shown.menu, command);
        return item.found && item.enabled ? command : 0;
    }
    int command = 0;
    ShownMenu shown;
};

NextMenu& Next() {
    static NextMenu seam;
    return seam;
}

}  // namespace

void ChooseFromNextMenu(int command) {
    Next().command = command;
    SetMenuSeamForTesting(&Next());
}

ShownMenu LastMenuShown() { return Next().shown; }
