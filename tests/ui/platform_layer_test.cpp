// What only the Qt layer does behind the shared interface (the contract
// tests hold the rest): the multi-line edit's own context-menu keys and
// scroll bar, drops as Qt's widgets take them, Shift+Tab as Qt names it,
// the Qt timer behind a timer id, an activated box's focus policy and
// cursor, and the program's icon from Qt's resources.

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <string>
#include <utility>

#include "UiTest.h"
#include "text/Cp1251.h"

namespace {

constexpr int kLines = 1;
constexpr int kLine = 2;
constexpr int kFrame = 3;
constexpr int kOther = 4;

constexpr ControlSpec kLayout[] = {
    {kFrame, ControlKind::GroupBox, "Frame", {4, 4, 200, 100}},
    {kLines, ControlKind::MultiLineEdit, {}, {10, 14, 120, 40}, kStyleNone, 1},
    {kLine, ControlKind::Edit, {}, {10, 60, 120, 12}, kStyleNone, 2},
    {kOther, ControlKind::Edit, {}, {140, 60, 50, 12}, kStyleNone, 3},
};

class TestDialog : public CDialog {
public:
    TestDialog() {
        CreatePage({}, DluRect{0, 0, 210, 110});
        CreateControls(kLayout);
    }
    using CDialog::LetDropsThrough;
    using CDialog::OnContextMenu;
    using CDialog::OnDropFiles;
};

TEST(QtLayer, TheProgramsContextMenuComesFromMouseScrollBarAndKeyboard) {
    TestDialog dialog;
    QtWidget(dialog)->show();
    std::vector<ScreenPoint> asked;
    dialog.OnContextMenu(kLines, [&asked](ScreenPoint point) { asked.push_back(point); });
    auto* lines = Item<CMultiLineEdit>(dialog, kLines);

    const QPoint at(5, 6);
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, at, lines->viewport()->mapToGlobal(at));
    QApplication::sendEvent(lines->viewport(), &mouse);
    QTest::keyClick(lines, Qt::Key_Menu);
    QTest::keyClick(lines, Qt::Key_F10, Qt::ShiftModifier);
    QTest::keyClick(lines, Qt::Key_F10);  // F10 alone is no menu key
    QScrollBar* bar = lines->verticalScrollBar();
    emit bar->customContextMenuRequested(QPoint(2, 3));

    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(ToQPoint(asked[0]), lines->viewport()->mapToGlobal(at));
    EXPECT_EQ(asked[1], kKeyboardPoint);
    EXPECT_EQ(asked[2], kKeyboardPoint);
    EXPECT_EQ(ToQPoint(asked[3]), bar->mapToGlobal(QPoint(2, 3)));
}

TEST(QtLayer, DropsReachTheDialogPastTheControlsLetThroughAndOnlyAsLocalFiles) {
    TestDialog dialog;
    std::vector<std::pair<std::vector<FilePath>, int>> drops;
    dialog.OnDropFiles([&drops](const std::vector<FilePath>& files, int id) { drops.emplace_back(files, id); });
    dialog.LetDropsThrough(kLine);
    EXPECT_TRUE(QtWidget(dialog)->acceptDrops());
    EXPECT_FALSE(QtItem(dialog, kLine)->acceptDrops());
    EXPECT_TRUE(QtItem(dialog, kOther)->acceptDrops()) << "only the controls named let drops through";

    const auto drop = [&dialog](QPoint at, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(QtWidget(dialog), &enter);
        QDropEvent event(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(QtWidget(dialog), &event);
        return enter.isAccepted();
    };
    // Straight to the dialog's widget, past any control in the way.
    const QUrl file = QUrl::fromLocalFile(QString::fromUtf8("/shots/снимок.png"));
    for (const QPoint at : {QtItem(dialog, kLine)->geometry().center(), QtItem(dialog, kLines)->geometry().center(),
                            QtItem(dialog, kFrame)->geometry().topLeft() + QPoint(2, 2), QPoint(1, 1)}) {
        drops.clear();
        EXPECT_TRUE(drop(at, {file})) << at.x() << "," << at.y();
        EXPECT_EQ(drops.size(), 1u) << at.x() << "," << at.y();
    }
    // Only local files count.
    drops.clear();
    drop(QPoint(1, 1), {QUrl(QStringLiteral("https://example.org/a.png"))});
    EXPECT_TRUE(drops.empty());
}

constexpr int kTabs = 5;
constexpr int kBox = 6;
constexpr ControlSpec kWindowLayout[] = {
    {kTabs, ControlKind::TabControl, {}, {4, 20, 200, 100}},
    {kBox, ControlKind::Edit, {}, {4, 4, 100, 12}, kStyleReadOnly},
};

class TestWindow : public CDialog {
public:
    TestWindow() {
        CreateTopLevel("Окно"_cp, {0, 0, 210, 124});
        CreateControls(kWindowLayout);
    }
    using CDialog::OnActivate;
};

TEST(QtLayer, ATopLevelWindowShowsTheProgramsIconFromTheResources) {
    TestWindow window;
    EXPECT_FALSE(QtWidget(window)->windowIcon().isNull());
}

// Only a guess of the frame makes it scroll before it shows; the frame it
// really gets leaves room for the whole layout.
TEST(QtLayer, AWindowShowsItsWholeLayoutWhenItFitsWithTheFrameItReallyGets) {
    for (const bool resizable : {false, true}) {
        class Tall : public CDialog {
        public:
            explicit Tall(bool canResize) {
                const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
                const int height = (room.height() - 4) * 8 / baseUnits().y;
                CreateTopLevel("Окно"_cp, {0, 0, 210, height}, canResize);
                CreateControls(kWindowLayout);
                layout = MapDialogRect(*this, {0, 0, 210, height}).size();
            }
            QSize layout;
        } window(resizable);
        QWidget* widget = QtWidget(window);
        ASSERT_LT(widget->height(), window.layout.height()) << "the guess leaves room for a title bar";
        widget->show();
        for (int tries = 0; tries < 50 && widget->size() != window.layout; ++tries) QTest::qWait(20);
        EXPECT_EQ(widget->size(), window.layout) << resizable;
        EXPECT_EQ(widget->minimumSize(), window.layout) << resizable;
        QApplication::processEvents();
        for (QScrollBar* bar : widget->findChildren<QScrollBar*>()) EXPECT_FALSE(bar->isVisible()) << resizable;
    }
}

TEST(QtLayer, ShiftTabIsBacktabToQtAndEitherRunsTheCommand) {
    TestWindow window;
    QtWidget(window)->show();
    QtWidget(window)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(QtWidget(window)));
    int run = 0;
    window.OnCommand(502, [&run] { ++run; });
    const Accelerator keys[] = {{kKeyTab, true, true, 502}};
    window.SetAccelerators(keys);
    QTest::keyClick(QtWidget(window), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(QtWidget(window), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(run, 2);
}

TEST(QtLayer, ATimerRestartedRunsItsQTimerOnce) {
    TestWindow window;
    int fired = 0, counted = 0;
    // A benchmark's own count of the runs survives the restarts.
    QObject::connect(&QtTimer(window, 7), &QTimer::timeout, [&counted] { ++counted; });
    window.StartSingleShot(7, 200, [&fired] { ++fired; });
    window.StartSingleShot(7, 20, [&fired] { fired += 10; });
    QTRY_COMPARE(fired, 10);
    EXPECT_EQ(counted, 1);
}

TEST(QtLayer, AnActivatedBoxIsAKeyboardStopOnlyWhileEnabledAndShowsAPointingHand) {
    TestWindow window;
    QWidget* box = QtItem(window, kBox);
    window.EnableItem(kBox, false);
    window.OnActivate(kBox, [] {});
    EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
    window.EnableItem(kBox, true);
    EXPECT_EQ(box->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(box->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
