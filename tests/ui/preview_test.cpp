// The preview window: its control and key, the line it shows without the
// browser engine, the checks list that takes the focus to a field, the
// release's texts beside the page, and, with the engine, the page that
// follows typing.

#include <signal.h>
#include <unistd.h>

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "UiTest.h"
#include "app/preview/CPreviewWnd.h"
#include "app/preview/PreviewCaptions.h"
#include "app/preview/PreviewPlacement.h"
#include "app/preview/PreviewResources.h"
#include "formats/ReleaseTexts.h"

namespace {

// A real event loop, not QTest's waits: those sleep between slices, and the
// engine's work on this thread waits with them.
bool WaitFor(const std::function<bool()>& done, int ms) {
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer timer;
    timer.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || timer.elapsed() > ms) loop.quit();
    });
    poll.start(1);
    if (!done()) loop.exec();
    return done();
}

class Preview : public MainWindowTest {
protected:
    void SetUp() override {
        // A file that is not there stands for a machine without the engine.
        savedModule = qgetenv("QUILLSMITH_PREVIEW_MODULE");
        qputenv("QUILLSMITH_PREVIEW_MODULE", withEngine() ? savedModule : QByteArray("/nonexistent/preview.so"));
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        qputenv("QUILLSMITH_PREVIEW_MODULE", savedModule);
    }
    virtual bool withEngine() const { return false; }

    QPushButton* button() { return Item<QPushButton>(*window, MainId::Preview); }
    CPreviewWnd* preview() { return window->preview(); }

    QByteArray savedModule;
};

TEST_F(Preview, TheButtonSitsInTheBottomRowBesideTheOthersAndNamesItsKey) {
    ASSERT_NE(button(), nullptr);
    EXPECT_TRUE(button()->isVisible());
    EXPECT_EQ(button()->text(), QString::fromUtf8("Предпросмотр"));
    EXPECT_TRUE(button()->toolTip().contains(QStringLiteral("F5")));
    const QRect rect = button()->geometry();
    EXPECT_TRUE(button()->parentWidget()->rect().contains(rect));
    for (MainId other : {MainId::OpenForm, MainId::SaveForm, MainId::RestoreForm, MainId::Status, MainId::Tabs}) {
        const QRect theirs = QtItem(*window, other)->geometry();
        EXPECT_FALSE(rect.intersects(theirs)) << other;
    }
    EXPECT_EQ(rect.top(), QtItem(*window, MainId::OpenForm)->geometry().top());
}

TEST_F(Preview, TheButtonAndF5OpenAndCloseAWindowThatLeavesTheMainOneUsable) {
    EXPECT_EQ(preview(), nullptr);  // nothing of the preview before it is wanted
    Click(*window, MainId::Preview);
    ASSERT_NE(preview(), nullptr);
    EXPECT_TRUE(preview()->isVisible());
    EXPECT_EQ(preview()->windowTitle(), QString::fromUtf8("Предпросмотр"));
    EXPECT_FALSE(preview()->isModal());
    EXPECT_TRUE(QtWidget(*window)->isEnabled());
    // Wholly on the screen; beside the main window where there is room.
    const QRect area = QtWidget(*window)->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(preview()->frameGeometry())) << area.width() << " x " << area.height();
    if (area.width() >= QtWidget(*window)->frameGeometry().width() * 2 + kPreviewGap + 1) {
        EXPECT_FALSE(preview()->frameGeometry().intersects(QtWidget(*window)->frameGeometry()));
    }
    Click(*window, MainId::Preview);
    EXPECT_FALSE(preview()->isVisible());

    ASSERT_TRUE(QTest::qWaitForWindowActive(QtWidget(*window)));
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    EXPECT_TRUE(preview()->isVisible());
    // F5 works from the preview window too.
    preview()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(preview()));
    QTest::keyClick(preview(), Qt::Key_F5);
    EXPECT_FALSE(preview()->isVisible());
}

TEST_F(Preview, WithoutTheEngineOneLineSaysSoAndTheChecksStillWork) {
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    ASSERT_NE(preview(), nullptr);
    EXPECT_EQ(preview()->view(), nullptr);
    QLabel* line = preview()->engineLine();
    ASSERT_TRUE(line->isVisible());
    EXPECT_TRUE(line->text().startsWith(QString::fromUtf8("Предпросмотр недоступен")));
    EXPECT_FALSE(line->text().contains(QLatin1Char('\n')));
    EXPECT_TRUE(line->toolTip().contains(QStringLiteral("/nonexistent/preview.so")));
    // The form as New leaves it: no name, no description.
    QListWidget* list = preview()->checksList();
    ASSERT_TRUE(WaitFor([&] { return list->count() >= 2; }, CPreviewWnd::kMinIntervalMs + 100));
    EXPECT_TRUE(list->item(0)->text().startsWith(QString::fromUtf8("Название")));
    // And the program goes on: Save still works.
    QTemporaryDir out;
    dialogs.answers.push_back(out.filePath(QStringLiteral("ReadMe.htm")));
    Click(*window, MainId::Save);
    EXPECT_TRUE(QFile::exists(out.filePath(QStringLiteral("ReadMe.htm"))));
}

TEST_F(Preview, TheChecksFollowTypingOnEveryPageAfterTheInterval) {
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    QListWidget* list = preview()->checksList();
    const auto mentions = [&](const char* utf8) {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text().contains(QString::fromUtf8(utf8))) return true;
        return false;
    };
    WaitFor([] { return false; }, CPreviewWnd::kMinIntervalMs + 50);
    ASSERT_TRUE(mentions("Название: пусто"));
    SelectTab(1);
    Type(plugin(), PluginId::Name, QStringLiteral("Lighthouse"));
    EXPECT_TRUE(WaitFor([&] { return !mentions("Название: пусто"); }, CPreviewWnd::kMinIntervalMs + 100));
    SelectTab(2);
    Click(extras(), ExtrasId::NoteEnabled);
    Type(extras(), ExtrasId::Note, QStringLiteral("<b>bold"));
    EXPECT_TRUE(WaitFor([&] { return mentions("<b>"); }, CPreviewWnd::kMinIntervalMs + 100));
    SelectTab(3);
    Click(database(), DatabaseId::CreateRecord);
    Type(database(), DatabaseId::Archive, QStringLiteral("no-such-archive.zip"));
    EXPECT_TRUE(WaitFor([&] { return mentions("Архив для записи"); }, CPreviewWnd::kMinIntervalMs + 100));
}

TEST_F(Preview, AClickOnACheckTakesTheFocusToItsFieldOnItsTab) {
    SelectTab(2);
    Click(extras(), ExtrasId::NoteEnabled);
    Type(extras(), ExtrasId::Note, QStringLiteral("<i>open"));
    SelectTab(3);
    Click(database(), DatabaseId::CreateRecord);
    Type(database(), DatabaseId::Archive, QStringLiteral("missing.zip"));
    SelectTab(0);
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    preview()->UpdateNow();
    QListWidget* list = preview()->checksList();
    struct Case {
        const char* startsWith;
        int tab;
        CDialog* page;
        int id;
    };
    const Case cases[] = {
        {"Название", 1, &plugin(), ControlIdValue(PluginId::Name)},
        {"Описание", 1, &plugin(), ControlIdValue(PluginId::Description)},
        {"Примечание", 2, &extras(), ControlIdValue(ExtrasId::Note)},
        {"Архив для записи", 3, &database(), ControlIdValue(DatabaseId::Archive)},
    };
    for (const Case& c : cases) {
        QListWidgetItem* item = nullptr;
        for (int i = 0; i < list->count() && !item; ++i)
            if (list->item(i)->text().startsWith(QString::fromUtf8(c.startsWith))) item = list->item(i);
        ASSERT_NE(item, nullptr) << c.startsWith;
        SelectTab(0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        EXPECT_EQ(Tabs(*window)->GetCurSel(), c.tab) << c.startsWith;
        EXPECT_EQ(QtWidget(*window)->focusWidget(), QtItem(*c.page, c.id)) << c.startsWith;
    }
}

// The joined-lines check's offer: the button below the list turns the
// option on, the focus shows where it lives, and the checks it answered go.
TEST_F(Preview, TheJoinedLinesOfferTurnsTheOptionOnAndItsChecksGo) {
    SelectTab(1);
    Type(plugin(), PluginId::Description, QStringLiteral("one"));
    QTest::keyClick(QtItem(plugin(), PluginId::Description), Qt::Key_Return, Qt::ControlModifier);
    Type(plugin(), PluginId::Description, QStringLiteral("two"));
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    preview()->UpdateNow();
    QPushButton* offer = preview()->keepLineBreaksButton();
    ASSERT_NE(offer, nullptr);
    EXPECT_TRUE(offer->isVisible());
    EXPECT_EQ(offer->text(), QString::fromUtf8("Включить «Сохранять переносы строк»"));
    ASSERT_TRUE(offer->isEnabled());
    const auto offering = [&] {
        return std::count_if(preview()->checks().begin(), preview()->checks().end(),
                             [](const ReadmeCheck& check) { return check.offer == CheckOffer::KeepLineBreaks; });
    };
    EXPECT_EQ(offering(), 1);

    QTest::mouseClick(offer, Qt::LeftButton);
    EXPECT_TRUE(extras().IsChecked(ExtrasId::KeepLineBreaks));
    EXPECT_EQ(Tabs(*window)->GetCurSel(), 2);
    EXPECT_EQ(QtWidget(*window)->focusWidget(), QtItem(extras(), ExtrasId::KeepLineBreaks));
    ASSERT_TRUE(WaitFor([&] { return offering() == 0; }, CPreviewWnd::kMinIntervalMs + 100));
    EXPECT_FALSE(offer->isEnabled());
    // The other checks stay: the form still has no name.
    EXPECT_TRUE(preview()->checksList()->item(0)->text().startsWith(QString::fromUtf8("Название")));
}

// An archive chosen in its dialog is looked for where it was chosen, not
// beside the readme; a name typed over it is looked for beside the readme.
TEST_F(Preview, TheArchiveChosenInItsDialogIsCheckedAtItsPath) {
    QTemporaryDir elsewhere;
    const QString path = elsewhere.filePath(QStringLiteral("Lighthouse.zip"));
    QFile archive(path);
    ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
    archive.write("PK");
    archive.close();
    SelectTab(3);
    Click(database(), DatabaseId::CreateRecord);
    dialogs.answers.push_back(path);
    Click(database(), DatabaseId::BrowseArchive);
    EXPECT_EQ(database().GetItemText(DatabaseId::Archive), "Lighthouse.zip");
    EXPECT_EQ(window->CaptureFormFile().record.archivePath, path.toStdString());
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    const auto archiveChecked = [&] {
        preview()->UpdateNow();
        for (const ReadmeCheck& check : preview()->checks())
            if (check.field == CheckedField(DatabaseId::Archive)) return true;
        return false;
    };
    EXPECT_FALSE(archiveChecked());
    Type(database(), DatabaseId::Archive, QStringLiteral("x"));
    EXPECT_TRUE(archiveChecked());
    // New forgets the path with the name.
    window->OnNew();
    EXPECT_EQ(window->CaptureFormFile().record.archivePath, "");
}

// The release's texts on tabs beside the page: each tab shows its format of
// the snapshot's form, follows a change at the page's pace, keeps its place,
// and "Копировать" puts exactly what it shows on the clipboard.
TEST_F(Preview, EachTextTabShowsItsFormatFollowsTheFormAndCopiesWhatItShows) {
    TemplatePackage package;
    ASSERT_EQ(package.LoadBuiltIn(), kTemplateLoaded);
    ReadmeForm form = NewReadmeForm();
    form.pluginName = "Маяк"_cp;
    form.pluginFile = "Lighthouse.esp";
    for (int i = 0; i < 200; ++i) form.description += "Строка описания, довольно длинная.\r\n"_cp;
    CPreviewWnd wnd(
        package,
        [&form] {
            return PreviewSnapshot{form, {}, {}};
        },
        nullptr);
    wnd.resize(900, 600);
    wnd.show();
    wnd.UpdateNow();
    QTabBar* tabs = wnd.formatTabs();
    ASSERT_EQ(tabs->count(), 1 + static_cast<int>(std::size(kTextFormats)));
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("Страница"));
    EXPECT_EQ(wnd.copyButton()->text(), QString::fromUtf8("Копировать"));
    EXPECT_FALSE(wnd.copyButton()->isEnabled());
    // As a plain-text view reads back any line break: one LF.
    const auto Lines = [](QString text) {
        return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    };
    const auto expected = [&](std::size_t text) {
        return QString::fromStdString(ReleaseTextUtf8(kTextFormats[text].format, form, package));
    };
    for (std::size_t text = 0; text < std::size(kTextFormats); ++text) {
        const int tab = static_cast<int>(text) + 1;
        EXPECT_EQ(tabs->tabText(tab), ToQString(kTextFormats[text].caption));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
        QPlainTextEdit* view = wnd.textView(static_cast<int>(text));
        ASSERT_TRUE(view->isVisible()) << text;
        EXPECT_TRUE(view->isReadOnly());
        EXPECT_EQ(view->toPlainText(), Lines(expected(text))) << text;
        ASSERT_TRUE(wnd.copyButton()->isEnabled());
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(wnd.copyButton(), Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), expected(text)) << text;

        // Typing elsewhere: the shown text follows, read where it was.
        const int down = view->verticalScrollBar()->maximum() / 2;
        view->verticalScrollBar()->setValue(down);
        form.pluginName += "!";
        wnd.FormChanged();
        EXPECT_TRUE(
            WaitFor([&] { return view->toPlainText() == Lines(expected(text)); }, CPreviewWnd::kMinIntervalMs + 100))
            << text;
        EXPECT_EQ(view->verticalScrollBar()->value(), down) << text;
        QTest::mouseClick(wnd.copyButton(), Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), expected(text)) << text;
    }
    EXPECT_TRUE(QFontInfo(wnd.textView(0)->font()).fixedPitch());
    // Ctrl+Tab goes round the tabs from anywhere in the window.
    wnd.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wnd));
    QTest::keyClick(&wnd, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_FALSE(wnd.copyButton()->isEnabled());
    QTest::keyClick(&wnd, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_TRUE(wnd.textView(0)->isVisible());
}

// Right, else left, else over the main window; never off the screen.
TEST(PreviewPlacement, BesideWhereThereIsRoomOtherwiseOverTable) {
    struct Case {
        const char* what;
        ScreenRect main;
        ScreenRect area;
        ScreenRect expected;
    };
    const ScreenRect wide{0, 0, 1600, 1000};
    const Case cases[] = {
        {"room on the right", {10, 20, 786, 700}, wide, {804, 20, 786, 700}},
        {"just room on the right", {0, 0, 700, 500}, {0, 0, 1408, 900}, {708, 0, 700, 500}},
        {"room only on the left", {814, 30, 786, 700}, wide, {20, 30, 786, 700}},
        {"no room either side: over it", {407, 30, 786, 700}, wide, {407, 30, 786, 700}},
        {"at 150 %: over it", {200, 40, 530, 580}, {0, 0, 1067, 683}, {200, 40, 640, 580}},
        {"over it, moved back onto the screen", {500, 10, 786, 700}, {0, 0, 1067, 683}, {281, 0, 786, 683}},
        {"a narrow main window: the least width", {0, 0, 300, 400}, wide, {308, 0, 640, 400}},
        {"taller than the screen", {0, 0, 700, 1200}, wide, {708, 0, 700, 1000}},
        {"wider than the screen", {0, 0, 1700, 500}, wide, {0, 0, 1600, 500}},
        {"main window partly off the screen", {-300, -50, 786, 700}, wide, {494, 0, 786, 700}},
        {"an area that does not start at 0", {1700, 100, 786, 700}, {1600, 24, 1920, 1056}, {2494, 100, 786, 700}},
        {"second screen, left of the main", {2700, 100, 786, 700}, {1600, 24, 1920, 1056}, {1906, 100, 786, 700}},
    };
    for (const Case& c : cases) {
        const ScreenRect at = PlacePreview(c.main, c.area);
        EXPECT_EQ(at, c.expected) << c.what << ": " << at.x << ", " << at.y << ", " << at.width << " x " << at.height;
        EXPECT_TRUE(at.x >= c.area.x && at.y >= c.area.y && at.right() <= c.area.right() &&
                    at.bottom() <= c.area.bottom())
            << c.what;
    }
}

// With the engine: offscreen, as root, and given nothing of Chromium's
// flags: the program itself starts the engine as root can.
class PreviewWithEngine : public Preview {
protected:
    void SetUp() override {
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        Preview::SetUp();
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "Chromium inside the engine is not built for AddressSanitizer";
#endif
    }
    bool withEngine() const override { return true; }

    // The engine's render processes: forked by its zygote, a child of this
    // process, they keep the zygote's command line.
    static std::vector<pid_t> RenderProcesses() {
        const auto parentOf = [](pid_t pid) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly)) return pid_t{0};
            const QByteArray text = stat.readAll();
            const QList<QByteArray> after = text.mid(text.lastIndexOf(')') + 2).split(' ');
            return after.size() > 1 ? static_cast<pid_t>(after[1].toInt()) : pid_t{0};
        };
        std::vector<pid_t> found;
        for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool number = false;
            const pid_t pid = static_cast<pid_t>(name.toInt(&number));
            if (!number) continue;
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (!cmdline.open(QIODevice::ReadOnly) || !cmdline.readAll().contains("--type=zygote")) continue;
            if (parentOf(parentOf(pid)) == ::getpid()) found.push_back(pid);
        }
        return found;
    }

    // The page's visible text, as the engine shows it.
    QString PageText() {
        std::optional<std::string> text;
        preview()->view()->RunScript("document.body ? document.body.innerText : ''",
                                     [&text](std::string json) { text = std::move(json); });
        if (!WaitFor([&] { return text.has_value(); }, 5000)) return QStringLiteral("(no answer)");
        return QString::fromStdString(*text);
    }
};

TEST_F(PreviewWithEngine, TheShownPageIsTheReadmeSaveWritesAndFollowsTyping) {
    int loads = 0;
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    if (!preview()->view()) GTEST_SKIP() << "no preview engine: " << preview()->engineLine()->toolTip().toStdString();
    preview()->m_afterLoad = [&loads] { ++loads; };
    ASSERT_TRUE(WaitFor([&] { return loads > 0; }, 20000));

    SelectTab(1);
    Type(plugin(), PluginId::Name, QString::fromUtf8("Маяк"));
    // The first change after a quiet spell loads at once, the rest within
    // one interval after the load before them.
    QElapsedTimer timer;
    timer.start();
    bool shown = false;
    while (!shown && timer.elapsed() < 2 * CPreviewWnd::kMinIntervalMs + 2000)
        shown = PageText().contains(QString::fromUtf8("Маяк"));
    ASSERT_TRUE(shown);
    // Exactly the bytes Save writes.
    QTemporaryDir out;
    dialogs.answers.push_back(out.filePath(QStringLiteral("ReadMe.htm")));
    Click(*window, MainId::Save);
    QFile saved(out.filePath(QStringLiteral("ReadMe.htm")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_EQ(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())), preview()->shownHtml());
}

// A form's scripts never run in the preview, neither an element nor an
// event attribute, and the typing keeps the focus; the program's own script
// (what the page shows, asked here) still runs, and the checks name both.
TEST_F(PreviewWithEngine, ScriptsOfTheFormDoNotRunAndTheChecksNameThem) {
    int loads = 0;
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    if (!preview()->view()) GTEST_SKIP() << "no preview engine: " << preview()->engineLine()->toolTip().toStdString();
    preview()->m_afterLoad = [&loads] { ++loads; };
    ASSERT_TRUE(WaitFor([&] { return loads > 0; }, 20000));
    const qsizetype topLevels = QApplication::topLevelWidgets().size();
    // A dialog of the page's would wait for a click: it is counted and closed.
    int pageDialogs = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&pageDialogs] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++pageDialogs;
            modal->close();
        }
    });
    closer.start(20);
    SelectTab(2);
    Click(extras(), ExtrasId::NoteEnabled);
    Type(extras(), ExtrasId::Note,
         QStringLiteral("<script>document.body.setAttribute('data-ran', 'note')</script>"
                        "<img src=none onerror=\"document.body.setAttribute('data-ran', 'img')\">"
                        "<b onmouseover=x>Note</b> <input type=color id=colour> <input type=file id=file>"));
    SelectTab(1);
    Type(plugin(), PluginId::Name, QString::fromUtf8("<script>alert(1)</script>Башня"));
    QWidget* active = QApplication::activeWindow();
    ASSERT_EQ(QtWidget(*window)->focusWidget(), QtItem(plugin(), PluginId::Name));
    bool shown = false;
    QElapsedTimer timer;
    timer.start();
    while (!shown && timer.elapsed() < 10000) shown = PageText().contains(QString::fromUtf8("Башня"));
    ASSERT_TRUE(shown);
    WaitFor([] { return false; }, 300);  // an onerror would have run by now
    std::optional<std::string> ran;
    preview()->view()->RunScript("document.body.getAttribute('data-ran')", [&ran](std::string r) { ran = r; });
    ASSERT_TRUE(WaitFor([&] { return ran.has_value(); }, 5000));
    EXPECT_EQ(*ran, "null");
    // A click on a colour or a file field asks for a dialog of the system's.
    // The engine's view by its class name: the tests link no engine.
    QWidget* surface = nullptr;
    for (QWidget* child : preview()->view()->widget()->findChildren<QWidget*>())
        if (child->inherits("QWebEngineView")) surface = child->focusProxy();
    ASSERT_NE(surface, nullptr);
    for (const char* field : {"colour", "file"}) {
        std::optional<std::string> where;
        preview()->view()->RunScript(std::string("(() => { const r = document.getElementById('") + field +
                                         "').getBoundingClientRect();"
                                         " return Math.round(r.x + r.width / 2) + ' ' + Math.round(r.y + r.height / "
                                         "2); })()",
                                     [&where](std::string r) { where = r; });
        ASSERT_TRUE(WaitFor([&] { return where.has_value(); }, 5000));
        const QStringList xy = QString::fromStdString(*where).split(QLatin1Char(' '));
        ASSERT_EQ(xy.size(), 2) << *where;
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(xy[0].toInt(), xy[1].toInt()));
    }
    WaitFor([] { return false; }, 500);
    // No window of the page's came up and took the focus.
    EXPECT_EQ(QApplication::activeWindow(), active);
    EXPECT_EQ(QtWidget(*window)->focusWidget(), QtItem(plugin(), PluginId::Name));
    EXPECT_EQ(pageDialogs, 0);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), topLevels);

    preview()->UpdateNow();
    std::vector<std::string> scripts;
    for (const ReadmeCheck& check : preview()->checks())
        if (check.message.find(" скрипт "_cp) != std::string::npos) scripts.push_back(cp1251::ToUtf8(check.message));
    ASSERT_EQ(scripts.size(), 2u) << ::testing::PrintToString(scripts);
    EXPECT_EQ(scripts[0].rfind("Название: скрипт <script>", 0), 0u) << scripts[0];
    EXPECT_EQ(scripts[1].rfind("Примечание: скрипт <script>", 0), 0u) << scripts[1];
}

// The engine's process, gone (as when it crashes): one line says so, the
// form is as it was, and the next change brings the page back.
TEST_F(PreviewWithEngine, TheEnginesProcessEndingLeavesOneLineAndTheFormAsItWas) {
    int loads = 0;
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    if (!preview()->view()) GTEST_SKIP() << "no preview engine: " << preview()->engineLine()->toolTip().toStdString();
    preview()->m_afterLoad = [&loads] { ++loads; };
    ASSERT_TRUE(WaitFor([&] { return loads > 0; }, 20000));
    SelectTab(1);
    Type(plugin(), PluginId::Name, QStringLiteral("Lighthouse"));
    ASSERT_TRUE(WaitFor([&] { return PageText().contains(QStringLiteral("Lighthouse")); }, 10000));
    const FormFile before = window->CaptureFormFile();

    const std::vector<pid_t> renderers = RenderProcesses();
    ASSERT_FALSE(renderers.empty());
    for (pid_t pid : renderers) ::kill(pid, SIGKILL);
    QLabel* line = preview()->engineLine();
    ASSERT_TRUE(WaitFor([&] { return line->isVisible(); }, 10000));
    EXPECT_TRUE(line->text().startsWith(QString::fromUtf8("Предпросмотр остановился")));
    EXPECT_FALSE(line->text().contains(QLatin1Char('\n')));
    EXPECT_TRUE(line->toolTip().contains(QStringLiteral("killed"))) << line->toolTip().toStdString();
    EXPECT_TRUE(window->CaptureFormFile() == before);
    EXPECT_TRUE(QtWidget(*window)->isVisible());

    const int loadsBefore = loads;
    Type(plugin(), PluginId::Name, QStringLiteral(" Keeper"));
    // A script asked of a page whose process is gone never answers: the
    // new page first.
    ASSERT_TRUE(WaitFor([&] { return loads > loadsBefore; }, 20000));
    EXPECT_TRUE(WaitFor([&] { return PageText().contains(QStringLiteral("Lighthouse Keeper")); }, 20000));
    EXPECT_FALSE(line->isVisible());
}

// Without the engine's own process the engine would end the program: the
// window says so in one line instead.
TEST_F(PreviewWithEngine, WithoutTheEnginesProcessOneLineSaysSo) {
    qputenv("QTWEBENGINEPROCESS_PATH", "/nonexistent/QtWebEngineProcess");
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    qunsetenv("QTWEBENGINEPROCESS_PATH");
    ASSERT_NE(preview(), nullptr);
    EXPECT_EQ(preview()->view(), nullptr);
    EXPECT_TRUE(preview()->engineLine()->isVisible());
    EXPECT_TRUE(preview()->engineLine()->text().startsWith(QString::fromUtf8("Предпросмотр недоступен")));
    EXPECT_TRUE(preview()->engineLine()->toolTip().contains(QStringLiteral("QtWebEngineProcess")));
    EXPECT_TRUE(QtWidget(*window)->isVisible());
}

// For tests/scripts/preview_test.sh, under Xvfb: the page's visible text,
// every picture it shows, and how soon typing reaches it, written to
// $QS_PREVIEW_DUMP for the script to hold against Chromium.
TEST_F(PreviewWithEngine, WritesWhatItShowsForTheBrowserComparison) {
    const QString dump = qEnvironmentVariable("QS_PREVIEW_DUMP");
    if (dump.isEmpty()) GTEST_SKIP() << "run by tests/scripts/preview_test.sh";
    ASSERT_TRUE(window->OpenFormFile(qEnvironmentVariable("QS_PREVIEW_FORM").toStdString()));
    int loads = 0;
    QTest::keyClick(QtWidget(*window), Qt::Key_F5);
    ASSERT_NE(preview()->view(), nullptr) << preview()->engineLine()->toolTip().toStdString();
    preview()->m_afterLoad = [&loads] { ++loads; };
    ASSERT_TRUE(WaitFor([&] { return loads > 0; }, 20000));
    const auto write = [&](const char* name, const QString& text) {
        QFile file(dump + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    };
    write("preview.txt", PageText());

    // Each picture the page shows, loaded anew: its address and its width.
    std::optional<std::string> started;
    preview()->view()->RunScript(R"js((() => {
        window.qsPictures = null;
        const urls = [];
        const page = document.body.getAttribute('background');
        if (page) urls.push(new URL(page, document.baseURI).href);
        for (const cell of ['td.line_title', 'td.line_head']) {
            const el = document.querySelector(cell);
            const m = el && getComputedStyle(el).backgroundImage.match(/url\("?(.*?)"?\)/);
            if (m) urls.push(m[1]);
        }
        for (const img of document.images) urls.push(img.src);
        Promise.all(urls.map((u) => new Promise((done) => {
            const i = new Image();
            i.onload = () => done(u + ' ' + i.naturalWidth);
            i.onerror = () => done(u + ' 0');
            i.src = u;
        }))).then((v) => { window.qsPictures = v.join('\n'); });
        return urls.length;
    })())js",
                                 [&started](std::string json) { started = std::move(json); });
    ASSERT_TRUE(WaitFor([&] { return started.has_value(); }, 5000));
    std::optional<std::string> pictures;
    for (int tries = 0; tries < 200 && !pictures; ++tries) {
        std::optional<std::string> answer;
        preview()->view()->RunScript("window.qsPictures", [&answer](std::string json) { answer = std::move(json); });
        ASSERT_TRUE(WaitFor([&] { return answer.has_value(); }, 5000));
        if (*answer != "null" && !answer->empty())
            pictures = answer;
        else
            WaitFor([] { return false; }, 50);
    }
    ASSERT_TRUE(pictures.has_value());
    write("pictures.txt", QString::fromStdString(*pictures));

    // Typing reaches the page.
    SelectTab(2);
    QElapsedTimer timer;
    timer.start();
    Type(extras(), ExtrasId::Authors, QStringLiteral("Zq"));
    bool reached = false;
    while (!reached && timer.elapsed() < 5000) reached = PageText().contains(QStringLiteral("Zq"));
    ASSERT_TRUE(reached);
    write("typing-ms.txt", QString::number(timer.elapsed()));
}

// What the page's references resolve to: what Save's folder would hold,
// by the names the readme gives, never anything else.
TEST(PreviewResources, AnswerWhatSavesFolderWouldHoldTable) {
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(dir.filePath(QString::fromUtf8(name))).path());
        QFile file(dir.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    const QByteArray jpeg("\xFF\xD8\xFF\xE0 a jpeg", 12);
    const QByteArray png("\x89PNG\r\n\x1A\n a png", 14);
    write("снимок 1.jpg", jpeg);
    write("b.png", png);
    write("a/same.gif", "GIF89a first");
    write("b/same.gif", "GIF89a second");
    write("fourth.jpg", jpeg);
    TemplatePackage package;
    ASSERT_EQ(package.LoadBuiltIn(), kTemplateLoaded);
    ReadmeForm form = NewReadmeForm();
    form.screenshotCount = 3;
    form.screenshotPath = {dir.filePath(QString::fromUtf8("снимок 1.jpg")).toStdString(), "b.png", "a/same.gif"};
    PreviewResources resources(package);
    resources.SetForm(form, dir.path().toStdString());
    const auto entry = [&](const char* name) {
        const auto bytes = package.Entry(package.FindEntry(name)).bytes();
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    struct Case {
        const char* path;
        std::optional<std::string> bytes;  // nothing: not found
        const char* mimeType;
    };
    const Case cases[] = {
        {"files/images/img_bk_0.jpg", entry("img_bk_0.jpg"), "image/jpeg"},
        {"files/images/img_bk_2.jpg", entry("img_bk_2.jpg"), "image/jpeg"},
        {"Files/images/img_bk_0.jpg", std::nullopt, ""},  // names are exact, as on the disk
        {"files/images/htm_begin", std::nullopt, ""},     // a fragment is no file of the folder
        {"files/images/img_bk_9.jpg", std::nullopt, ""},
        {"files/scrins/снимок 1.jpg", jpeg.toStdString(), "image/jpeg"},
        {"files/scrins/b.png", png.toStdString(), "image/png"},  // relative: against the base folder
        {"files/scrins/same.gif", "GIF89a first", "image/gif"},
        {"files/scrins/fourth.jpg", std::nullopt, ""},  // no screenshot of the form's
        {"files/scrins/a/same.gif", std::nullopt, ""},
        {"ReadMe.htm", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        const std::optional<preview::Resource> found = resources.Find(c.path);
        ASSERT_EQ(found.has_value(), c.bytes.has_value()) << c.path;
        if (!found) continue;
        EXPECT_EQ(found->bytes, *c.bytes) << c.path;
        EXPECT_EQ(found->mimeType, c.mimeType) << c.path;
    }

    // Of two screenshots with one name, Save's copy of the later one stays.
    form.screenshotPath[1] = "b/same.gif";
    form.screenshotPath[2] = "a/same.gif";
    form.screenshotPath[0] = "b/same.gif";
    resources.SetForm(form, dir.path().toStdString());
    EXPECT_EQ(resources.Find("files/scrins/same.gif")->bytes, "GIF89a first");
    // A screenshot changed on the disk is read again.
    write("a/same.gif", "GIF89a changed, longer");
    EXPECT_EQ(resources.Find("files/scrins/same.gif")->bytes, "GIF89a changed, longer");
    QFile::remove(dir.filePath(QStringLiteral("a/same.gif")));
    EXPECT_FALSE(resources.Find("files/scrins/same.gif").has_value());
}

}  // namespace
