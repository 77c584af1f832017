// The Qt layer's primitives that the pages share with the Win32 layer:
// selections counted in the program's text, multi-line UTF-8, the program's
// context menu and dropped files by control.

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
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

TEST(QtLayer, SelectionsCountInTheProgramsText) {
    TestDialog dialog;
    auto* lines = Item<CMultiLineEdit>(dialog, kLines);
    lines->setPlainText(QString::fromUtf8("Маяк\n日x"));
    auto* line = Item<QLineEdit>(dialog, kLine);
    line->setText(QString::fromUtf8("日x"));
    // Widget positions against the Windows-1251 text: CR LF is two, 日 is
    // its eight-byte "&#26085;".
    const struct {
        int id, from, to, start, end;
    } cases[] = {
        {kLines, 0, 7, 0, 15}, {kLines, 6, 7, 14, 15}, {kLines, 5, 6, 6, 14},
        {kLines, 2, 2, 2, 2},  {kLine, 1, 2, 8, 9},    {kLine, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        if (c.id == kLines) {
            QTextCursor cursor = lines->textCursor();
            cursor.setPosition(c.from);
            cursor.setPosition(c.to, QTextCursor::KeepAnchor);
            lines->setTextCursor(cursor);
        } else {
            line->setSelection(c.from, c.to - c.from);
        }
        int start = -1, end = -1;
        dialog.GetSel(c.id, start, end);
        EXPECT_EQ(std::pair(start, end), std::pair(c.start, c.end)) << c.id << ": " << c.from << "-" << c.to;
    }
    EXPECT_EQ(dialog.GetItemText(kLines).substr(14), "x");
}

TEST(QtLayer, MultiLineUtf8ReplacesTextAndUndo) {
    TestDialog dialog;
    dialog.ReplaceItemText(kLines, "typed");
    ASSERT_TRUE(dialog.CanUndo(kLines));
    dialog.SetItemUtf8(kLines, "первая\r\nвторая\r\n");
    EXPECT_EQ(dialog.GetItemText(kLines), Text("первая\r\nвторая\r\n"_cp));
    EXPECT_EQ(Item<CMultiLineEdit>(dialog, kLines)->document()->blockCount(), 3);
    EXPECT_FALSE(dialog.CanUndo(kLines)) << "a new document starts a new history";

    dialog.ReplaceItemText(kLines, "one");
    dialog.ReplaceItemText(kLines, "two");
    dialog.EditItem(kLines, EditCommand::Undo);
    EXPECT_EQ(dialog.GetItemText(kLines), "one");
}

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
    // From the keyboard the menu goes below the caret, inside the text.
    const QPoint caret = ToQPoint(dialog.CaretScreenPoint(kLines));
    EXPECT_TRUE(QRect(lines->viewport()->mapToGlobal(QPoint(0, 0)), lines->viewport()->size()).contains(caret));
}

TEST(QtLayer, DroppedFilesNameTheControlUnderThePoint) {
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
    const QUrl file = QUrl::fromLocalFile(QString::fromUtf8("/shots/снимок.png"));
    const struct {
        QPoint at;
        int id;
    } cases[] = {
        {QtItem(dialog, kLine)->geometry().center(), kLine},
        {QtItem(dialog, kLines)->geometry().center(), kLines},
        {QtItem(dialog, kFrame)->geometry().topLeft() + QPoint(2, 2), kNoControlId},  // the frame is no target
        {QPoint(1, 1), kNoControlId},
    };
    for (const auto& c : cases) {
        drops.clear();
        EXPECT_TRUE(drop(c.at, {file}));
        ASSERT_EQ(drops.size(), 1u);
        EXPECT_EQ(drops[0].first, std::vector<FilePath>{"/shots/снимок.png"});
        EXPECT_EQ(drops[0].second, c.id);
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
        for (int i = 0; i < 3; ++i) InsertTab(kTabs, i, std::to_string(i));
    }
    using CDialog::OnActivate;
    using CDialog::OnSelChange;
    using CDialog::OnSelChanging;
};

TEST(QtLayer, ChosenTabsTellBeforeAndAfterAndProgramChangesDoNot) {
    TestWindow window;
    std::vector<std::string> told;
    window.OnSelChanging(kTabs, [&] { told.push_back("changing " + std::to_string(window.GetCurSel(kTabs))); });
    window.OnSelChange(kTabs, [&] { told.push_back("change " + std::to_string(window.GetCurSel(kTabs))); });
    window.ChooseTab(kTabs, 2);
    window.SetCurSel(kTabs, 1);
    EXPECT_EQ(window.GetCurSel(kTabs), 1);
    EXPECT_EQ(told, (std::vector<std::string>{"changing 0", "change 2"}));
    EXPECT_EQ(QtWidget(window)->windowTitle(), QString::fromUtf8("Окно"));
    EXPECT_FALSE(QtWidget(window)->windowIcon().isNull());
}

TEST(QtLayer, AListBoxTakesItsLinesInWindows1251AndTellsTheChosenOne) {
    constexpr int kList = 30;
    static constexpr ControlSpec kListLayout[] = {{kList, ControlKind::ListBox, {}, {4, 4, 120, 60}, kStyleNone, 1}};
    struct ListDialog : CDialog {
        ListDialog() {
            CreatePage({}, DluRect{0, 0, 130, 70});
            CreateControls(kListLayout);
        }
    } dialog;
    dialog.SetListItems(kList, {Text("Название: пусто"_cp), Text("Описание: пусто"_cp)});
    auto* list = Item<QListWidget>(dialog, kList);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), QString::fromUtf8("Описание: пусто"));
    EXPECT_EQ(dialog.GetCurSel(kList), -1);
    list->setCurrentRow(1);
    EXPECT_EQ(dialog.GetCurSel(kList), 1);
    dialog.SetListItems(kList, {Text("Замечаний нет"_cp)});
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(dialog.GetCurSel(kList), -1);
}

TEST(QtLayer, KeyboardCommandsTimersAndActivation) {
    TestWindow window;
    QtWidget(window)->show();
    QtWidget(window)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(QtWidget(window)));
    std::vector<int> commands;
    window.OnCommand(501, [&commands] { commands.push_back(501); });
    window.OnCommand(502, [&commands] { commands.push_back(502); });
    const Accelerator keys[] = {{'S', true, false, 501}, {kKeyTab, true, true, 502}, {kKeyF5, false, false, 501}};
    window.SetAccelerators(keys);
    QTest::keyClick(QtWidget(window), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(QtWidget(window), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(QtWidget(window), Qt::Key_F5);
    QTest::keyClick(QtWidget(window), Qt::Key_S);  // no Ctrl: no command
    EXPECT_EQ(commands, (std::vector<int>{501, 502, 501}));
    EXPECT_EQ(KeyText(keys[0]), "Ctrl+S");
    EXPECT_EQ(KeyText(keys[1]), "Ctrl+Shift+Tab");
    EXPECT_EQ(KeyText(keys[2]), "F5");

    int fired = 0, counted = 0;
    // A benchmark's own count of the runs survives the restarts.
    QObject::connect(&QtTimer(window, 7), &QTimer::timeout, [&counted] { ++counted; });
    window.StartSingleShot(7, 200, [&fired] { ++fired; });
    window.StartSingleShot(7, 20, [&fired] { fired += 10; });  // starts over, with its new handler
    EXPECT_TRUE(window.IsTimerActive(7));
    QTRY_COMPARE(fired, 10);
    EXPECT_EQ(counted, 1);
    EXPECT_FALSE(window.IsTimerActive(7));
    window.StartSingleShot(8, 10, [&fired] { ++fired; });
    window.StopTimer(8);
    QTest::qWait(40);
    EXPECT_EQ(fired, 10);

    int opened = 0;
    QWidget* box = QtItem(window, kBox);
    // Disabled, the box is no stop for the keyboard; enabled, it is.
    window.EnableItem(kBox, false);
    window.OnActivate(kBox, [&opened] { ++opened; });
    EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
    window.EnableItem(kBox, true);
    EXPECT_EQ(box->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(box->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(box, Qt::LeftButton);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_A);
    EXPECT_EQ(opened, 2);
}

}  // namespace
