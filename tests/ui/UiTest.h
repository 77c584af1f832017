#pragma once
// What the UI tests share: a seam that answers file dialogs and records
// message boxes and beeps, and helpers that act as a user would.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "app/desktop/CMainDlg.h"
#include "app/desktop/QtMainDlg.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtText.h"

class FakeDialogs final : public DialogSeam {
public:
    void MessageBox(const ShownMessage& message) override { messages.push_back(message); }
    void Beep() override { ++beeps; }
    std::optional<QString> FileDialog(QWidget* owner, const FileDialogRequest& request) override {
        requests.push_back(request);
        owners.push_back(owner);
        if (answers.empty()) return std::nullopt;
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isNull()) return std::nullopt;
        return answer;
    }

    bool Open(const QString& path) override {
        opened.push_back(path);
        return true;
    }

    std::vector<ShownMessage> messages;
    std::vector<QString> opened;
    int beeps = 0;
    std::vector<FileDialogRequest> requests;
    std::vector<QWidget*> owners;
    std::deque<QString> answers;  // a null QString, or none left: the user cancels
};

// A Windows-1251 literal as the widgets show it.
inline QString Q(std::string_view cp1251) { return ToQString(cp1251); }

// The platform's pixel types as Qt's.
inline QRect ToQRect(const PixelEdges& edges) {
    return QRect(edges.left, edges.top, edges.right - edges.left, edges.bottom - edges.top);
}
inline QPoint ToQPoint(ScreenPoint point) { return QPoint(point.x, point.y); }
inline QSize ToQSize(PixelSize size) { return QSize(size.width, size.height); }

// A named control id in a failure message: its number.
template <ControlIdEnum E>
std::ostream& operator<<(std::ostream& out, E id) {
    return out << ControlIdValue(id);
}

// Every test gets the main window as start-up leaves it, shown offscreen,
// with the fake dialogs installed first.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Each test's window starts without the last one's draft.
        ASSERT_TRUE(stateHome.isValid());
        runStateHome = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", stateHome.path().toUtf8());
        SetDialogSeamForTesting(&dialogs);
        window = std::make_unique<CMainDlg>();
        window->Create();
        QtWidget(*window)->show();
        QtWidget(*window)->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(QtWidget(*window)));
    }
    void TearDown() override {
        window.reset();
        SetDialogSeamForTesting(nullptr);
        qputenv("XDG_STATE_HOME", runStateHome);
    }

    QTemporaryDir stateHome;
    QByteArray runStateHome;

    CPluginPage& plugin() { return window->pluginPage(); }
    CExtrasPage& extras() { return window->extrasPage(); }
    CDatabasePage& database() { return window->databasePage(); }

    void SelectTab(int index) {
        QTabBar* bar = Tabs(*window)->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    template <ControlIdEnum E>
    void Click(CDialog& page, E id) {
        auto* button = Item<QAbstractButton>(page, id);
        ASSERT_NE(button, nullptr) << id;
        ASSERT_TRUE(button->isVisible()) << id;
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    template <ControlIdEnum E>
    void Type(CDialog& page, E id, const QString& text) {
        QWidget* widget = QtItem(page, id);
        ASSERT_NE(widget, nullptr) << id;
        widget->setFocus();
        TypeInto(widget, text);
    }
    // QTest types only Latin-1; other characters go in as key events with text.
    static void TypeInto(QWidget* widget, const QString& text) {
        for (QChar ch : text) {
            if (ch.unicode() < 0x80) {
                QTest::keyClick(widget, static_cast<char>(ch.unicode()));
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &press);
            QApplication::sendEvent(widget, &release);
        }
    }
    // Moves the list selection with the arrow keys, as a user at the keyboard.
    template <ControlIdEnum E>
    void Choose(CDialog& page, E id, int index) {
        auto* combo = Item<QComboBox>(page, id);
        ASSERT_NE(combo, nullptr) << id;
        combo->setFocus();
        while (combo->currentIndex() < index) QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index) QTest::keyClick(combo, Qt::Key_Up);
    }

    FakeDialogs dialogs;
    std::unique_ptr<CMainDlg> window;
};
