// Tab 0, "Просмотр": the text document, its field editor menu and Open.

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>
#include <fstream>
#include <map>

#include "UiTest.h"
#include "pages/CFieldEdit.h"
#include "platform/qt/Menus.h"
#include "text/Cp1251.h"

namespace {

// One line per menu entry: nested entries indented, "—" for a separator,
// "name:" for a cascade, the command id in brackets, " grey" when greyed.
QStringList Describe(const QMenu& menu, const QString& indent = {}) {
    QStringList lines;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            lines << indent + QString::fromUtf8("—");
            continue;
        }
        QString line = indent + action->text();
        if (action->menu()) line += QLatin1Char(':');
        if (const int id = MenuItemId(action)) line += QStringLiteral(" [%1]").arg(id);
        if (!action->isEnabled()) line += QStringLiteral(" grey");
        lines << line;
        if (QMenu* cascade = action->menu()) lines << Describe(*cascade, indent + QStringLiteral("  "));
    }
    return lines;
}

// The item with this command id, if the user can reach and choose it: it
// and every cascade on its way are enabled.
bool Choosable(const QMenu& menu, int id) {
    for (QAction* action : menu.actions()) {
        if (!action->isEnabled()) continue;
        if (QMenu* cascade = action->menu()) {
            if (Choosable(*cascade, id)) return true;
        } else if (MenuItemId(action) == id) {
            return true;
        }
    }
    return false;
}

// Answers pop-ups in place of a user: records each one as it was shown and
// chooses the next scripted command (0 or none left: the user presses Escape).
class FakeMenus final : public MenuSeam {
public:
    struct Shown {
        QString name;
        QStringList lines;
        QPoint point;
        QWidget* owner = nullptr;
    };

    int TrackPopupMenu(QMenu& menu, const QPoint& point, QWidget* owner) override {
        shown.push_back({menu.objectName(), Describe(menu), point, owner});
        if (choices.empty()) return 0;
        const int id = choices.front();
        choices.pop_front();
        if (id == 0) return 0;
        if (!Choosable(menu, id)) {
            refused.push_back(id);
            return 0;
        }
        return id;
    }

    std::vector<Shown> shown;
    std::deque<int> choices;
    std::vector<int> refused;  // scripted choices that were grey or absent
};

QStringList Lines(std::initializer_list<const char*> lines) {
    QStringList result;
    for (const char* line : lines) result << QString::fromUtf8(line);
    return result;
}

QStringList EditLines(bool canUndo) {
    return Lines({canUndo ? "Отменить [57643]" : "Отменить [57643] grey", "—", "Вырезать [57635]", "Копировать [57634]",
                  "Вставить [57637]", "—"});
}

QStringList MenuWithSelection(bool canUndo) {
    return EditLines(canUndo) + Lines({
                                    "Вставить в:",
                                    "  Ридми:",
                                    "    Название плагина [32778]",
                                    "    Описание плагина [32779]",
                                    "    Требует [32780]",
                                    "    Установка [32781]",
                                    "    Удаление [32782]",
                                    "    Как играть [32783]",
                                    "    Авторы [32784]",
                                    "    Примечание [32785]",
                                    "    Предупреждение [32786]",
                                    "  Бу:",
                                    "    Автор имя [32787]",
                                    "    Автор Email [32788]",
                                    "    Адаптор имя [32789]",
                                    "    Адаптор Email [32790]",
                                    "    Ссылка на оригинал [32791]",
                                    "Добавить в:",
                                    "  Ридми:",
                                    "    Название плагина [32795]",
                                    "    Описание плагина [32794]",
                                    "    Требует [32796]",
                                    "    Установка [32797]",
                                    "    Удаление [32798]",
                                    "    Как играть [32799]",
                                    "    Авторы [32800]",
                                    "    Примечание [32801]",
                                    "    Предупреждение [32802]",
                                    "  Бу:",
                                    "    Автор имя [32803]",
                                    "    Автор Email [32804]",
                                    "    Адаптор имя [32805]",
                                    "    Адаптор Email [32806]",
                                    "    Ссылка на оригинал [32807]",
                                });
}

QStringList MenuNoSelection(bool canUndo) { return EditLines(canUndo) + Lines({"Вставить в grey", "Добавить в grey"}); }

void WriteBytes(const QString& path, std::string_view bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class TextDocPageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetMenuSeamForTesting(&menus);
        ASSERT_TRUE(temp.isValid());
    }
    void TearDown() override {
        SetMenuSeamForTesting(nullptr);
        MainWindowTest::TearDown();
    }

    CTextDocPage& page() { return window->textDocPage(); }
    CFieldEdit& edit() { return page().edit(); }

    // The document's text as the program's texts hold it.
    Text Document() { return edit().GetWindowText(); }
    void SetDocument(const QString& text) {
        edit().setPlainText(text);
        edit().setFocus();
    }
    // Positions as the widget counts them: one per line break.
    void Select(int start, int end) {
        QTextCursor cursor = edit().textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        edit().setTextCursor(cursor);
    }
    void RightClick(int choice = 0) {
        menus.choices.push_back(choice);
        RightClickOn(edit().viewport());
    }
    // A right-click as the platform delivers it: the press, then the request
    // for a context menu at that point.
    static void RightClickOn(QWidget* target, QPoint pos = QPoint(30, 8)) {
        QTest::mousePress(target, Qt::RightButton, {}, pos);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
        QApplication::sendEvent(target, &event);
        QTest::mouseRelease(target, Qt::RightButton, {}, pos);
    }
    // Opens the file through the main window's Open button; a null path
    // cancels the dialog.
    void Open(const QString& path) {
        dialogs.answers.push_back(path);
        Click(*window, 1004);
    }

    // Every control state of the four pages the menu can reach, the
    // selected tab and the document's selection.
    std::map<std::string, std::string> Snapshot() {
        std::map<std::string, std::string> state;
        for (int tab : {0, 1, 2, 3}) {
            CDialog* page = window->PageOfTab(tab);
            for (QWidget* control : page->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^id\\d+$")))) {
                const int id = control->objectName().mid(2).toInt();
                const std::string key = std::to_string(tab) + "/" + std::to_string(id);
                state[key + " text"] = page->GetItemText(id);
                state[key + " enabled"] = page->IsItemEnabled(id) ? "yes" : "no";
                state[key + " checked"] = page->IsChecked(id) ? "yes" : "no";
                state[key + " list"] = std::to_string(page->GetCurSel(id));
            }
            state[std::to_string(tab) + " visible"] = page->isVisible() ? "yes" : "no";
        }
        state["tab"] = std::to_string(window->tabs()->GetCurSel());
        const QTextCursor cursor = edit().textCursor();
        state["document selection"] = std::to_string(cursor.anchor()) + "-" + std::to_string(cursor.position());
        return state;
    }
    static std::vector<std::string> Changed(const std::map<std::string, std::string>& before,
                                            const std::map<std::string, std::string>& after) {
        std::vector<std::string> keys;
        for (const auto& [key, value] : after) {
            const auto found = before.find(key);
            if (found == before.end() || found->second != value) keys.push_back(key);
        }
        if (before.size() != after.size()) keys.push_back("<controls came or went>");
        return keys;
    }

    FakeMenus menus;
    QTemporaryDir temp;
};

TEST_F(TextDocPageTest, TheEditSitsInsideTheFrameAndWrapsItsLines) {
    auto* frame = page().findChild<CGroupBox*>();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QString::fromUtf8("Текстовый документ"));
    EXPECT_EQ(frame->geometry(), page().MapDialogRect({4, 4, 424, 295}));
    EXPECT_EQ(page().size(), page().MapDialogRect({0, 0, 432, 302}).size());

    EXPECT_EQ(page().GetDlgItem(1039), &edit());
    EXPECT_EQ(edit().parentWidget(), &page());
    EXPECT_EQ(edit().geometry(), QRect(16, 24, page().width() - 34, page().height() - 40));
    EXPECT_TRUE(frame->geometry().contains(edit().geometry()));
    EXPECT_TRUE(edit().isVisible());
    EXPECT_FALSE(edit().isReadOnly());
    EXPECT_EQ(edit().lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(edit().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(edit().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(Document(), "");

    // Enter is the page's (which does nothing); Ctrl+Enter breaks the line.
    edit().setFocus();
    QTest::keyClicks(&edit(), "one");
    QTest::keyClick(&edit(), Qt::Key_Return);
    QTest::keyClick(&edit(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(&edit(), "two");
    EXPECT_EQ(Document(), "one\r\ntwo");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(TextDocPageTest, WithoutSelectionTheMenuHasGreyCascadesAndKeepsTheLastCapture) {
    SetDocument(QStringLiteral("first passage and the rest"));
    Select(0, 13);
    RightClick();  // Escape
    EXPECT_EQ(edit().selectedText(), "first passage");

    Select(4, 4);
    RightClick(32778);
    ASSERT_EQ(menus.shown.size(), 2u);
    EXPECT_EQ(menus.shown[0].name, QStringLiteral("editmenuadd"));
    EXPECT_EQ(menus.shown[1].name, QStringLiteral("editmenu"));
    EXPECT_EQ(menus.shown[1].lines, MenuNoSelection(false));
    // The old capture stays, but nothing can use it.
    EXPECT_EQ(edit().selectedText(), "first passage");
    EXPECT_EQ(menus.refused, std::vector<int>{32778});
    EXPECT_EQ(plugin().GetItemText(1025), "");
}

TEST_F(TextDocPageTest, WithASelectionTheMenuOffersBothCascadesAndCapturesThePassage) {
    SetDocument(QString::fromUtf8("Старый ридми\nВторая строка"));
    Select(7, 17);  // "ридми", the line break and "Втор"
    RightClick(32778);
    ASSERT_EQ(menus.shown.size(), 1u);
    EXPECT_EQ(menus.shown[0].name, QStringLiteral("editmenuadd"));
    EXPECT_EQ(menus.shown[0].lines, MenuWithSelection(false));
    EXPECT_EQ(menus.shown[0].owner, &edit());
    EXPECT_EQ(menus.shown[0].point, edit().viewport()->mapToGlobal(QPoint(30, 8)));
    EXPECT_EQ(edit().selectedText(), Text("ридми\r\nВтор"_cp));
    EXPECT_EQ(plugin().GetItemText(1025), Text("ридми\r\nВтор"_cp));
    // The right-click kept the selection.
    EXPECT_EQ(edit().textCursor().selectedText(), QString::fromUtf8("ридми\u2029Втор"));
}

TEST_F(TextDocPageTest, EachOfThe28CommandsWritesItsFieldWholeAndNothingElse) {
    const struct {
        int insertId, addId, tab, control;
    } rows[] = {
        {32778, 32795, 1, 1025}, {32779, 32794, 1, 1005}, {32780, 32796, 1, 1010}, {32781, 32797, 1, 1024},
        {32782, 32798, 1, 1030}, {32783, 32799, 2, 1019}, {32784, 32800, 2, 1031}, {32785, 32801, 2, 1032},
        {32786, 32802, 2, 1035}, {32787, 32803, 3, 1026}, {32788, 32804, 3, 1029}, {32789, 32805, 3, 1030},
        {32790, 32806, 3, 1031}, {32791, 32807, 3, 1032},
    };
    SetDocument(QString::fromUtf8("Заголовок\nпервая строка отрывка\nвторая & <b>строка</b>\nконец"));
    Select(10, 54);
    const Text captured = Text("первая строка отрывка\r\nвторая & <b>строка</b>"_cp);
    RightClick();
    ASSERT_EQ(edit().selectedText(), captured);

    for (const auto& row : rows) {
        CDialog* page = window->PageOfTab(row.tab);
        const std::string key = std::to_string(row.tab) + "/" + std::to_string(row.control) + " text";
        page->SetItemText(row.control, "old ");
        const bool enabled = page->IsItemEnabled(row.control);

        const struct {
            int id;
            Text expected;
        } steps[] = {
            {row.addId, "old " + captured},
            {row.insertId, captured},
            {row.addId, captured + captured},
        };
        for (const auto& step : steps) {
            const auto before = Snapshot();
            RightClick(step.id);
            EXPECT_EQ(page->GetItemText(row.control), step.expected) << step.id;
            EXPECT_EQ(Changed(before, Snapshot()), std::vector<std::string>{key}) << step.id;
        }
        EXPECT_EQ(page->IsItemEnabled(row.control), enabled) << row.control;
    }
    EXPECT_TRUE(menus.refused.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Document(), Text("Заголовок\r\nпервая строка отрывка\r\nвторая & <b>строка</b>\r\nконец"_cp));
}

TEST_F(TextDocPageTest, DisabledFieldsTakeTheTextAndTheirBoxesStayAsTheyAre) {
    ASSERT_TRUE(plugin().IsChecked(1013));
    ASSERT_FALSE(plugin().IsItemEnabled(1024));
    SetDocument(QStringLiteral("Copy the files to Data Files."));
    Select(0, 29);
    RightClick(32781);
    EXPECT_EQ(plugin().GetItemText(1024), "Copy the files to Data Files.");
    EXPECT_FALSE(plugin().IsItemEnabled(1024));
    EXPECT_TRUE(plugin().IsChecked(1013));
    EXPECT_FALSE(plugin().IsChecked(1014));
    EXPECT_EQ(window->tabs()->GetCurSel(), 0);

    // Checking "Другое" later shows what the field was given.
    SelectTab(1);
    Click(plugin(), 1014);
    EXPECT_TRUE(plugin().IsItemEnabled(1024));
    EXPECT_EQ(plugin().GetItemText(1024), "Copy the files to Data Files.");
}

TEST_F(TextDocPageTest, UndoFollowsTheControlAndTheEditItemsAlwaysStayEnabled) {
    RightClick();
    EXPECT_EQ(menus.shown.back().lines, MenuNoSelection(false));
    edit().setFocus();
    QTest::keyClicks(&edit(), "abcdef");
    RightClick();
    EXPECT_EQ(menus.shown.back().lines, MenuNoSelection(true));
    Select(0, 3);
    RightClick(kIdEditCopy);
    EXPECT_EQ(menus.shown.back().lines, MenuWithSelection(true));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("abc"));

    RightClick(kIdEditCut);
    EXPECT_EQ(Document(), "def");
    Select(3, 3);
    RightClick(kIdEditPaste);
    EXPECT_EQ(Document(), "defabc");
    RightClick(kIdEditUndo);
    EXPECT_EQ(Document(), "def");

    // Nothing to cut or copy: the items are there and do nothing.
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    RightClick(kIdEditCopy);
    RightClick(kIdEditCut);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
    EXPECT_EQ(Document(), "def");
    EXPECT_TRUE(menus.refused.empty());

    // A newly opened document has nothing to undo.
    const QString path = temp.filePath("a.txt");
    WriteBytes(path, "opened");
    Open(path);
    RightClick();
    EXPECT_EQ(menus.shown.back().lines, MenuNoSelection(false));
}

TEST_F(TextDocPageTest, MenuKeyAndShiftF10OpenTheMenuAtTheCaret) {
    SetDocument(QStringLiteral("some text\nand more"));
    Select(2, 12);
    const QRect caret = edit().cursorRect();
    const QPoint expected = edit().viewport()->mapToGlobal(caret.bottomLeft());
    QTest::keyClick(&edit(), Qt::Key_Menu);
    QTest::keyClick(&edit(), Qt::Key_F10, Qt::ShiftModifier);
    QTest::keyClick(&edit(), Qt::Key_F10);
    ASSERT_EQ(menus.shown.size(), 2u);
    for (const auto& shown : menus.shown) {
        EXPECT_EQ(shown.name, QStringLiteral("editmenuadd"));
        EXPECT_EQ(shown.point, expected);
        EXPECT_TRUE(QRect(edit().mapToGlobal(QPoint(0, 0)), edit().size()).contains(shown.point));
    }
    EXPECT_EQ(edit().selectedText(), Text("me text\r\nan"));

    // A keyboard request from the platform opens it at the caret too, never
    // at the corner of the screen.
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(-1, -1), QPoint(-1, -1));
    QApplication::sendEvent(&edit(), &event);
    ASSERT_EQ(menus.shown.size(), 3u);
    EXPECT_EQ(menus.shown[2].point, expected);
    EXPECT_EQ(Document(), "some text\r\nand more");
}

TEST_F(TextDocPageTest, TheScrollBarsRightClickOpensThisMenuToo) {
    QScrollBar* bar = edit().verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    RightClickOn(bar, QPoint(3, 20));
    ASSERT_EQ(menus.shown.size(), 1u);
    EXPECT_EQ(menus.shown[0].name, QStringLiteral("editmenu"));
    EXPECT_EQ(menus.shown[0].owner, &edit());
}

// The real pop-up, not the seam: ours opens (not the platform's edit menu)
// and a chosen item reaches the control.
TEST_F(TextDocPageTest, TheRealPopupIsOursAndItsChoiceReachesTheControl) {
    SetMenuSeamForTesting(nullptr);
    SetDocument(QStringLiteral("real menu"));
    Select(0, 4);
    QObject guard;
    QStringList seen;
    auto answer = [&](const char* actionName) {
        QTimer::singleShot(50, &guard, [&, actionName] {
            QWidget* popup = QApplication::activePopupWidget();
            if (!popup) return;
            seen << popup->objectName();
            auto* menu = qobject_cast<QMenu*>(popup);
            QAction* action = menu ? menu->findChild<QAction*>(QString::fromLatin1(actionName)) : nullptr;
            if (action) {
                menu->setActiveAction(action);
                QTest::keyClick(popup, Qt::Key_Return);
            } else {
                QTest::keyClick(popup, Qt::Key_Escape);
            }
        });
    };
    answer("none");
    RightClickOn(edit().viewport());
    answer("id57634");
    RightClickOn(edit().viewport());
    EXPECT_EQ(seen, QStringList({"editmenuadd", "editmenuadd"}));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("real"));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(TextDocPageTest, OpenAsksForATextFileAndCancellingChangesNothing) {
    SetDocument(QStringLiteral("kept"));
    const auto before = Snapshot();
    Open(QString());
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const FileDialogRequest& request = dialogs.requests[0];
    EXPECT_FALSE(request.save);
    const std::vector<FileFilter> filters = {{QString::fromUtf8("Текстовые файлы (*.txt)"), {"*.txt"}},
                                             {QString::fromUtf8("Все файлы (*.*)"), {"*"}}};
    EXPECT_EQ(request.filters, filters);
    EXPECT_TRUE(request.defaultExtension.isEmpty());
    EXPECT_TRUE(request.proposedName.isEmpty());
    EXPECT_EQ(dialogs.owners[0], window.get());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(dialogs.messages.empty());

    // What cannot be opened changes nothing and says nothing.
    ASSERT_TRUE(QDir(temp.path()).mkdir("folder.txt"));
    for (const QString& path : {temp.filePath("missing.txt"), temp.filePath("folder.txt")}) {
        Open(path);
        EXPECT_EQ(Snapshot(), before) << path.toStdString();
    }
    EXPECT_EQ(dialogs.requests.size(), 3u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Document(), "kept");
}

TEST_F(TextDocPageTest, OpenShowsTheFileAsWindows1251OrUtf8WithEveryLineBreak) {
    using namespace std::string_literals;
    std::string big(40000, 'x');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 23);
    const struct {
        std::string bytes;
        QString shown;  // as the control holds it
        Text document;  // as the program reads it back
        const char* why;
    } cases[] = {
        {Text("Привет,\r\nмир"_cp), QString::fromUtf8("Привет,\nмир"), Text("Привет,\r\nмир"_cp), "Windows-1251"},
        {"Привет — ünï 中\n", QString::fromUtf8("Привет — ünï 中\n"), Text("Привет — &#252;n&#239; &#20013;\r\n"_cp),
         "UTF-8"},
        {"one\ntwo\rthree\r\nfour\n\n", QStringLiteral("one\ntwo\nthree\nfour\n\n"),
         "one\r\ntwo\r\nthree\r\nfour\r\n\r\n", "line ends of every kind"},
        {"0123456789\0tail"s, QStringLiteral("0123456789"), "0123456789", "a zero byte at offset 10"},
        {big, QString::fromLatin1(big.substr(0, 32767).c_str()), big.substr(0, 32767), "40,000 bytes"},
        {"", QString(), "", "an empty file"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString path = temp.filePath(QStringLiteral("file%1.txt").arg(n++));
        WriteBytes(path, c.bytes);
        Open(path);
        EXPECT_EQ(edit().toPlainText(), c.shown) << c.why;
        EXPECT_EQ(Document(), c.document) << c.why;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// The document shows a UTF-8 file's characters as they are; a passage
// reaches the form in Windows-1251, with references for the rest.
TEST_F(TextDocPageTest, CharactersOutsideTheCodePageReachTheFormAsReferences) {
    const QString path = temp.filePath("utf8.txt");
    WriteBytes(path, "x 中文 😀 y\n");
    Open(path);
    EXPECT_EQ(edit().toPlainText(), QString::fromUtf8("x 中文 😀 y\n"));
    Select(3, 7);  // the emoji takes two positions
    RightClick(32778);
    EXPECT_EQ(plugin().GetItemText(1025), "&#25991; &#128512;");
    Select(8, 10);  // "y" and the line break
    RightClick(32795);
    EXPECT_EQ(plugin().GetItemText(1025), "&#25991; &#128512;y\r\n");
}

// A single-line field's typing limit (32,767 characters) does not cut what
// the commands write: a passage grows by its line breaks and references.
TEST_F(TextDocPageTest, LongPassagesReachSingleLineFieldsWhole) {
    SetDocument(QString(20000, QLatin1Char('\n')));
    edit().selectAll();
    RightClick(32787);
    Text expected;
    for (int i = 0; i < 20000; ++i) expected += "\r\n";
    EXPECT_EQ(database().GetItemText(1026), expected);
    RightClick(32803);
    EXPECT_EQ(database().GetItemText(1026).size(), 80000u);
    RightClick(32795);
    EXPECT_EQ(plugin().GetItemText(1025), expected);
}

// A passage from a Unix text file reaches the form as the same passage typed.
TEST_F(TextDocPageTest, APassageFromAnLfFileEqualsThePassageTyped) {
    const QString path = temp.filePath(QString::fromUtf8("заметки.txt"));
    WriteBytes(path, "Install:\nunpack to Data Files\n");
    Open(path);
    edit().selectAll();
    RightClick(32779);

    SelectTab(2);
    Type(extras(), 1031, QStringLiteral("Install:"));
    QTest::keyClick(extras().GetDlgItem(1031), Qt::Key_Return, Qt::ControlModifier);
    Type(extras(), 1031, QStringLiteral("unpack to Data Files"));
    QTest::keyClick(extras().GetDlgItem(1031), Qt::Key_Return, Qt::ControlModifier);

    EXPECT_EQ(plugin().GetItemText(1005), "Install:\r\nunpack to Data Files\r\n");
    EXPECT_EQ(plugin().GetItemText(1005), extras().GetItemText(1031));
}

TEST_F(TextDocPageTest, OpenNeverSwitchesTabsNorTouchesTheForm) {
    SelectTab(2);
    const QString path = temp.filePath("readme.txt");
    WriteBytes(path, "text of the file");
    auto before = Snapshot();
    Open(path);
    auto after = Snapshot();
    EXPECT_EQ(Changed(before, after), std::vector<std::string>{"0/1039 text"});
    EXPECT_EQ(window->tabs()->GetCurSel(), 2);
    EXPECT_TRUE(extras().isVisible());
    EXPECT_FALSE(page().isVisible());
    EXPECT_TRUE(window->Item<QLineEdit>(1003)->text().isEmpty());

    SelectTab(0);
    EXPECT_TRUE(edit().isVisible());
    EXPECT_EQ(Document(), "text of the file");

    // New leaves the document alone.
    Click(*window, 1000);
    EXPECT_EQ(Document(), "text of the file");
}

}  // namespace
