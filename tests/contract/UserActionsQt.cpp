#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "UserActions.h"
#include "platform/qt/QtDialog.h"

void ShowActive(CDialog& dialog) {
    QWidget* window = QtWidget(dialog);
    window->show();
    window->activateWindow();
    static_cast<void>(QTest::qWaitForWindowActive(window));
}

void ClickItem(CDialog& dialog, ItemId id) {
    // Near the left edge: a check box takes clicks on its box and caption only.
    if (auto* button = Item<QAbstractButton>(dialog, id))
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void TypeInto(CDialog& dialog, ItemId id, std::string_view keys) {
    QWidget* control = QtItem(dialog, id);
    if (auto* combo = qobject_cast<QComboBox*>(control)) control = combo->lineEdit();
    if (!control) return;
    control->setFocus();
    QTest::keyClicks(control, QString::fromLatin1(keys.data(), static_cast<qsizetype>(keys.size())));
}

void PickItem(CDialog& dialog, ItemId id, int index) {
    auto* combo = Item<QComboBox>(dialog, id);
    if (!combo) return;
    // What the list's click does: the index, then the user's signal.
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void PressTab(CDialog&) {
    if (QWidget* focus = QApplication::focusWidget()) QTest::keyClick(focus, Qt::Key_Tab);
}

void DropOn(CDialog& dialog, ItemId id, const FilePath& file) {
    QWidget* window = QtWidget(dialog);
    QWidget* control = QtItem(dialog, id);
    const QPoint at = control ? control->mapTo(window, control->rect().center()) : window->rect().center();
    // A file manager sends the name as text too, which an edit would take.
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(file));
    QMimeData data;
    data.setUrls({url});
    data.setText(url.toString());
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

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QTest::qWait(5);
    }
    return true;
}
