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
#include "platform/qt/QtMenus.h"
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

// "caption [id]", as Describe shows an item.
QString Command(const char* indent, const char* caption, int id) {
    return QString::fromUtf8(indent) + QString::fromUtf8(caption) + QStringLiteral(" [%1]").arg(id);
}

QStringList EditLines(bool canUndo) {
    QString undo = Command("", "Отменить", kIdEditUndo);
    if (!canUndo) undo += QStringLiteral(" grey");
    return {undo,
            QString::fromUtf8("—"),
            Command("", "Вырезать", kIdEditCut),
            Command("", "Копировать", kIdEditCopy),
            Command("", "Вставить", kIdEditPaste),
            QString::fromUtf8("—")};
}

QStringList MenuWithSelection(bool canUndo) {
    using F = FieldMenuId;
    const auto field = [](const char* caption, FieldMenuId id) { return Command("    ", caption, CommandId(id)); };
    return EditLines(canUndo) + QStringList{
                                    QString::fromUtf8("Вставить в:"),
                                    QString::fromUtf8("  Ридми:"),
                                    field("Название плагина", F::InsertPluginName),
                                    field("Описание плагина", F::InsertDescription),
                                    field("Требует", F::InsertOtherRequirements),
                                    field("Установка", F::InsertInstallText),
                                    field("Удаление", F::InsertUninstallText),
                                    field("Как играть", F::InsertHowToPlay),
                                    field("Авторы", F::InsertAuthors),
                                    field("Примечание", F::InsertNote),
                                    field("Предупреждение", F::InsertWarningText),
                                    QString::fromUtf8("  Бу:"),
                                    field("Автор имя", F::InsertAuthorName),
                                    field("Автор Email", F::InsertAuthorEmail),
                                    field("Адаптор имя", F::InsertAdapterName),
                                    field("Адаптор Email", F::InsertAdapterEmail),
                                    field("Ссылка на оригинал", F::InsertOriginalLink),
                                    QString::fromUtf8("Добавить в:"),
                                    QString::fromUtf8("  Ридми:"),
                                    field("Название плагина", F::AddPluginName),
                                    field("Описание плагина", F::AddDescription),
                                    field("Требует", F::AddOtherRequirements),
                                    field("Установка", F::AddInstallText),
                                    field("Удаление", F::AddUninstallText),
                                    field("Как играть", F::AddHowToPlay),
                                    field("Авторы", F::AddAuthors),
                                    field("Примечание", F::AddNote),
                                    field("Предупреждение", F::AddWarningText),
                                    QString::fromUtf8("  Бу:"),
                                    field("Автор имя", F::AddAuthorName),
                                    field("Автор Email", F::AddAuthorEmail),
                                    field("Адаптор имя", F::AddAdapterName),
                                    field("Адаптор Email", F::AddAdapterEmail),
                                    field("Ссылка на оригинал", F::AddOriginalLink),
                                };
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
    // The field editor's rules, and the platform's control they work on.
    CFieldEdit& field() { return page().edit(); }
    CMultiLineEdit& edit() { return *Item<CMultiLineEdit>(page(), TextDocId::Edit); }

    // The document's text as the program's texts hold it.
    Text Document() { return field().GetWindowText(); }
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
    void RightClick(FieldMenuId choice) { RightClick(CommandId(choice)); }
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
        Click(*window, MainId::Open);
    }

    // Every control state of the four pages the menu can reach, the
    // selected tab and the document's selection.
    std::map<std::string, std::string> Snapshot() {
        std::map<std::string, std::string> state;
        for (int tab : {0, 1, 2, 3}) {
            CDialog* page = window->PageOfTab(tab);
            for (QWidget* control :
                 QtWidget(*page)->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^id\\d+$")))) {
                const int id = control->objectName().mid(2).toInt();
                const std::string key = std::to_string(tab) + "/" + std::to_string(id);
                state[key + " text"] = page->GetItemText(id);
                state[key + " enabled"] = page->IsItemEnabled(id) ? "yes" : "no";
                state[key + " checked"] = page->IsChecked(id) ? "yes" : "no";
                state[key + " list"] = std::to_string(page->GetCurSel(id));
            }
            state[std::to_string(tab) + " visible"] = QtWidget(*page)->isVisible() ? "yes" : "no";
        }
        state["tab"] = std::to_string(Tabs(*window)->GetCurSel());
        const QTextCursor cursor = edit().textCursor();
        state["document selection"] = std::to_string(cursor.anchor()) + "-" + std::to_string(cursor.position());
        return state;
    }
    // Snapshot's key for the text of a tab's control.
    static std::string TextKey(int tab, int id) { return std::to_string(tab) + "/" + std::to_string(id) + " text"; }
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
    auto* frame = QtWidget(page())->findChild<CGroupBox*>();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QString::fromUtf8("Текстовый документ"));
    EXPECT_EQ(frame->geometry(), MapDialogRect(page(), {4, 4, 424, 295}));
    EXPECT_EQ(QtWidget(page())->size(), MapDialogRect(page(), {0, 0, 432, 302}).size());

    EXPECT_EQ(QtItem(page(), TextDocId::Edit), &edit());
    EXPECT_EQ(edit().parentWidget(), QtWidget(page()));
    EXPECT_EQ(edit().geometry(), QRect(16, 24, QtWidget(page())->width() - 34, QtWidget(page())->height() - 40));
    EXPECT_TRUE(frame->geometry().contains(edit().geometry()));
    EXPECT_TRUE(edit().isVisible());
    EXPECT_FALSE(edit().isReadOnly());
    EXPECT_EQ(edit().lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(edit().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(edit().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(Document(), "");

    // Enter and Ctrl+Enter each break the line; the window stays.
    edit().setFocus();
    QTest::keyClicks(&edit(), "one");
    QTest::keyClick(&edit(), Qt::Key_Return);
    QTest::keyClick(&edit(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(&edit(), "two");
    EXPECT_EQ(Document(), "one\r\n\r\ntwo");
    EXPECT_TRUE(QtWidget(*window)->isVisible());
}

TEST_F(TextDocPageTest, WithoutSelectionTheMenuHasGreyCascadesAndKeepsTheLastCapture) {
    SetDocument(QStringLiteral("first passage and the rest"));
    Select(0, 13);
    RightClick();  // Escape
    EXPECT_EQ(field().selectedText(), "first passage");

    Select(4, 4);
    RightClick(FieldMenuId::InsertPluginName);
    ASSERT_EQ(menus.shown.size(), 2u);
    EXPECT_EQ(menus.shown[0].name, QStringLiteral("editmenuadd"));
    EXPECT_EQ(menus.shown[1].name, QStringLiteral("editmenu"));
    EXPECT_EQ(menus.shown[1].lines, MenuNoSelection(false));
    // The old capture stays, but nothing can use it.
    EXPECT_EQ(field().selectedText(), "first passage");
    EXPECT_EQ(menus.refused, std::vector<int>{CommandId(FieldMenuId::InsertPluginName)});
    EXPECT_EQ(plugin().GetItemText(PluginId::Name), "");
}

TEST_F(TextDocPageTest, WithASelectionTheMenuOffersBothCascadesAndCapturesThePassage) {
    SetDocument(QString::fromUtf8("Старый ридми\nВторая строка"));
    Select(7, 17);  // "ридми", the line break and "Втор"
    RightClick(FieldMenuId::InsertPluginName);
    ASSERT_EQ(menus.shown.size(), 1u);
    EXPECT_EQ(menus.shown[0].name, QStringLiteral("editmenuadd"));
    EXPECT_EQ(menus.shown[0].lines, MenuWithSelection(false));
    EXPECT_EQ(menus.shown[0].owner, &edit());
    EXPECT_EQ(menus.shown[0].point, edit().viewport()->mapToGlobal(QPoint(30, 8)));
    EXPECT_EQ(field().selectedText(), Text("ридми\r\nВтор"_cp));
    EXPECT_EQ(plugin().GetItemText(PluginId::Name), Text("ридми\r\nВтор"_cp));
    // The right-click kept the selection.
    EXPECT_EQ(edit().textCursor().selectedText(), QString::fromUtf8("ридми\u2029Втор"));
}

TEST_F(TextDocPageTest, EachOfThe28CommandsWritesItsFieldWholeAndNothingElse) {
    using F = FieldMenuId;
    const struct {
        FieldMenuId insertId, addId;
        int tab;
        FieldTarget field;
    } rows[] = {
        {F::InsertPluginName, F::AddPluginName, 1, PluginId::Name},
        {F::InsertDescription, F::AddDescription, 1, PluginId::Description},
        {F::InsertOtherRequirements, F::AddOtherRequirements, 1, PluginId::OtherRequirements},
        {F::InsertInstallText, F::AddInstallText, 1, PluginId::InstallText},
        {F::InsertUninstallText, F::AddUninstallText, 1, PluginId::UninstallText},
        {F::InsertHowToPlay, F::AddHowToPlay, 2, ExtrasId::HowToPlay},
        {F::InsertAuthors, F::AddAuthors, 2, ExtrasId::Authors},
        {F::InsertNote, F::AddNote, 2, ExtrasId::Note},
        {F::InsertWarningText, F::AddWarningText, 2, ExtrasId::WarningText},
        {F::InsertAuthorName, F::AddAuthorName, 3, DatabaseId::AuthorName},
        {F::InsertAuthorEmail, F::AddAuthorEmail, 3, DatabaseId::AuthorEmail},
        {F::InsertAdapterName, F::AddAdapterName, 3, DatabaseId::AdapterName},
        {F::InsertAdapterEmail, F::AddAdapterEmail, 3, DatabaseId::AdapterEmail},
        {F::InsertOriginalLink, F::AddOriginalLink, 3, DatabaseId::OriginalLink},
    };
    SetDocument(QString::fromUtf8("Заголовок\nпервая строка отрывка\nвторая & <b>строка</b>\nконец"));
    Select(10, 54);
    const Text captured = Text("первая строка отрывка\r\nвторая & <b>строка</b>"_cp);
    RightClick();
    ASSERT_EQ(field().selectedText(), captured);

    for (const auto& row : rows) {
        CDialog* page = window->PageOfTab(row.tab);
        const int control = row.field.control;
        const std::string key = TextKey(row.tab, control);
        page->SetItemText(control, "old ");
        const bool enabled = page->IsItemEnabled(control);

        const struct {
            FieldMenuId id;
            Text expected;
        } steps[] = {
            {row.addId, "old " + captured},
            {row.insertId, captured},
            {row.addId, captured + captured},
        };
        for (const auto& step : steps) {
            const auto before = Snapshot();
            RightClick(step.id);
            EXPECT_EQ(page->GetItemText(control), step.expected) << CommandId(step.id);
            EXPECT_EQ(Changed(before, Snapshot()), std::vector<std::string>{key}) << CommandId(step.id);
        }
        EXPECT_EQ(page->IsItemEnabled(control), enabled) << control;
    }
    EXPECT_TRUE(menus.refused.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Document(), Text("Заголовок\r\nпервая строка отрывка\r\nвторая & <b>строка</b>\r\nконец"_cp));
}

TEST_F(TextDocPageTest, DisabledFieldsTakeTheTextAndTheirBoxesStayAsTheyAre) {
    ASSERT_TRUE(plugin().IsChecked(PluginId::InstallStandard));
    ASSERT_FALSE(plugin().IsItemEnabled(PluginId::InstallText));
    SetDocument(QStringLiteral("Copy the files to Data Files."));
    Select(0, 29);
    RightClick(FieldMenuId::InsertInstallText);
    EXPECT_EQ(plugin().GetItemText(PluginId::InstallText), "Copy the files to Data Files.");
    EXPECT_FALSE(plugin().IsItemEnabled(PluginId::InstallText));
    EXPECT_TRUE(plugin().IsChecked(PluginId::InstallStandard));
    EXPECT_FALSE(plugin().IsChecked(PluginId::InstallOther));
    EXPECT_EQ(Tabs(*window)->GetCurSel(), 0);

    // Checking "Другое" later shows what the field was given.
    SelectTab(1);
    Click(plugin(), PluginId::InstallOther);
    EXPECT_TRUE(plugin().IsItemEnabled(PluginId::InstallText));
    EXPECT_EQ(plugin().GetItemText(PluginId::InstallText), "Copy the files to Data Files.");
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
    EXPECT_EQ(field().selectedText(), Text("me text\r\nan"));

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
    auto answer = [&](const QString& actionName) {
        QTimer::singleShot(50, &guard, [&, actionName] {
            QWidget* popup = QApplication::activePopupWidget();
            if (!popup) return;
            seen << popup->objectName();
            auto* menu = qobject_cast<QMenu*>(popup);
            QAction* action = menu ? menu->findChild<QAction*>(actionName) : nullptr;
            if (action) {
                menu->setActiveAction(action);
                QTest::keyClick(popup, Qt::Key_Return);
            } else {
                QTest::keyClick(popup, Qt::Key_Escape);
            }
        });
    };
    answer(QStringLiteral("none"));
    RightClickOn(edit().viewport());
    answer(QStringLiteral("id%1").arg(kIdEditCopy));
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
    EXPECT_EQ(dialogs.owners[0], QtWidget(*window));
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
        // The buffer keeps its size; the status line says how much is shown.
        const char* note = c.bytes.size() > 32767 ? "Показаны первые 32 КБ из 40 КБ" : "";
        EXPECT_EQ(cp1251::ToUtf8(window->GetItemText(MainId::Status)), note) << c.why;
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
    RightClick(FieldMenuId::InsertPluginName);
    EXPECT_EQ(plugin().GetItemText(PluginId::Name), "&#25991; &#128512;");
    Select(8, 10);  // "y" and the line break
    RightClick(FieldMenuId::AddPluginName);
    EXPECT_EQ(plugin().GetItemText(PluginId::Name), "&#25991; &#128512;y\r\n");
}

// A single-line field's typing limit (32,767 characters) does not cut what
// the commands write: a passage grows by its line breaks and references.
TEST_F(TextDocPageTest, LongPassagesReachSingleLineFieldsWhole) {
    SetDocument(QString(20000, QLatin1Char('\n')));
    edit().selectAll();
    RightClick(FieldMenuId::InsertAuthorName);
    Text expected;
    for (int i = 0; i < 20000; ++i) expected += "\r\n";
    EXPECT_EQ(database().GetItemText(DatabaseId::AuthorName), expected);
    RightClick(FieldMenuId::AddAuthorName);
    EXPECT_EQ(database().GetItemText(DatabaseId::AuthorName).size(), 80000u);
    RightClick(FieldMenuId::AddPluginName);
    EXPECT_EQ(plugin().GetItemText(PluginId::Name), expected);
}

// A passage from a Unix text file reaches the form as the same passage typed.
TEST_F(TextDocPageTest, APassageFromAnLfFileEqualsThePassageTyped) {
    const QString path = temp.filePath(QString::fromUtf8("заметки.txt"));
    WriteBytes(path, "Install:\nunpack to Data Files\n");
    Open(path);
    edit().selectAll();
    RightClick(FieldMenuId::InsertDescription);

    SelectTab(2);
    Type(extras(), ExtrasId::Authors, QStringLiteral("Install:"));
    QTest::keyClick(QtItem(extras(), ExtrasId::Authors), Qt::Key_Return, Qt::ControlModifier);
    Type(extras(), ExtrasId::Authors, QStringLiteral("unpack to Data Files"));
    QTest::keyClick(QtItem(extras(), ExtrasId::Authors), Qt::Key_Return, Qt::ControlModifier);

    EXPECT_EQ(plugin().GetItemText(PluginId::Description), "Install:\r\nunpack to Data Files\r\n");
    EXPECT_EQ(plugin().GetItemText(PluginId::Description), extras().GetItemText(ExtrasId::Authors));
}

TEST_F(TextDocPageTest, OpenNeverSwitchesTabsNorTouchesTheForm) {
    SelectTab(2);
    const QString path = temp.filePath("readme.txt");
    WriteBytes(path, "text of the file");
    auto before = Snapshot();
    Open(path);
    auto after = Snapshot();
    EXPECT_EQ(Changed(before, after), std::vector<std::string>{TextKey(0, ControlIdValue(TextDocId::Edit))});
    EXPECT_EQ(Tabs(*window)->GetCurSel(), 2);
    EXPECT_TRUE(QtWidget(extras())->isVisible());
    EXPECT_FALSE(QtWidget(page())->isVisible());
    EXPECT_TRUE(Item<QLineEdit>(*window, MainId::ReadOnlyBox)->text().isEmpty());

    SelectTab(0);
    EXPECT_TRUE(edit().isVisible());
    EXPECT_EQ(Document(), "text of the file");

    // New leaves the document alone.
    Click(*window, MainId::New);
    EXPECT_EQ(Document(), "text of the file");
}

}  // namespace
