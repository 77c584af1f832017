// The main window: start-up, tabs, New, Enter and Escape, closing.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>

#include "UiTest.h"
#include "readme/CaptureReadmeForm.h"
#include "template/BuiltInTemplate.h"
#include "text/Cp1251.h"

namespace {

using MainWindow = MainWindowTest;

// A page's controls by id, in the order given.
template <ControlIdEnum E, std::size_t N>
std::vector<QWidget*> Controls(const CDialog& page, const E (&ids)[N]) {
    std::vector<QWidget*> controls;
    for (E id : ids) controls.push_back(QtItem(page, id));
    return controls;
}

CDialog* VisiblePageOf(CMainDlg& window) {
    CDialog* shown = nullptr;
    for (int i = 0; i < CMainDlg::kTabCount; ++i) {
        if (!QtWidget(*window.PageOfTab(i))->isVisible()) continue;
        if (shown) return nullptr;  // two at once
        shown = window.PageOfTab(i);
    }
    return shown;
}

TEST_F(MainWindow, StartsOnTheFirstTabWithOnlyItsPageShown) {
    EXPECT_EQ(QtWidget(*window)->windowTitle(), QStringLiteral("Quillsmith"));
    EXPECT_EQ(Tabs(*window)->GetCurSel(), 0);
    EXPECT_EQ(VisiblePageOf(*window), &window->textDocPage());
    const char* captions[] = {"Просмотр", "Параметры 1", "Параметры 2", "База данных", "Справка", "О программе"};
    ASSERT_EQ(Tabs(*window)->GetItemCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Tabs(*window)->tabBar()->tabText(i), QString::fromUtf8(captions[i]));
        EXPECT_EQ(QtWidget(*window->PageOfTab(i))->parentWidget(), Tabs(*window)) << i;
    }
    EXPECT_EQ(window->PageOfTab(6), nullptr);
    EXPECT_EQ(window->PageOfTab(-1), nullptr);
    EXPECT_EQ(g_pMainDlg, window.get());
    EXPECT_EQ(QApplication::focusWidget(), QtItem(*window, MainId::New));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(window->templatePackage().count(), 16);
    // Gone with its window, so a later window's field editor never writes
    // into a destroyed one.
    window.reset();
    EXPECT_EQ(g_pMainDlg, nullptr);
}

TEST_F(MainWindow, OpensAtItsLayoutSizeNeverLessAndWithTheButtonsInPlace) {
    // 20 units taller than the tabs need: the form commands' row below them.
    EXPECT_EQ(QtWidget(*window)->size(), MapDialogRect(*window, {0, 0, 448, 366}).size());
    EXPECT_EQ(QtWidget(*window)->minimumSize(), QtWidget(*window)->size());
    EXPECT_GT(QtWidget(*window)->maximumSize().height(), QtWidget(*window)->height());
    EXPECT_TRUE(QtWidget(*window)->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(QtWidget(*window)->windowIcon().isNull());
    struct Button {
        MainId id;
        const char* caption;
        DluRect rect;
    } buttons[] = {{MainId::New, "Новый", {4, 4, 50, 14}},
                   {MainId::Open, "Открыть", {61, 4, 50, 14}},
                   {MainId::Save, "Сохранить", {119, 4, 50, 14}}};
    for (const Button& b : buttons) {
        auto* button = Item<QPushButton>(*window, b.id);
        ASSERT_NE(button, nullptr) << b.id;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(button->geometry(), MapDialogRect(*window, b.rect));
        EXPECT_FALSE(button->isDefault() || button->autoDefault());
    }
    auto* box = Item<QLineEdit>(*window, MainId::ReadOnlyBox);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isEnabled());
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_TRUE(box->text().isEmpty());
}

TEST_F(MainWindow, SwitchingTabsShowsExactlyTheSelectedPage) {
    for (int index : {1, 2, 3, 4, 5, 0, 3, 1}) {
        SelectTab(index);
        EXPECT_EQ(Tabs(*window)->GetCurSel(), index);
        EXPECT_EQ(VisiblePageOf(*window), window->PageOfTab(index)) << index;
    }
}

TEST_F(MainWindow, DatabaseTabCopiesNameAndDescriptionEachTimeItIsSelected) {
    SelectTab(1);
    Type(plugin(), PluginId::Name, QString::fromUtf8("Меч \"Рассвет\""));
    Type(plugin(), PluginId::Description, QStringLiteral("line one"));
    QTest::keyClick(QtItem(plugin(), PluginId::Description), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(QtItem(plugin(), PluginId::Description), Qt::Key_Return, Qt::ControlModifier);
    Type(plugin(), PluginId::Description, QStringLiteral("line two"));
    SelectTab(3);
    EXPECT_EQ(database().GetItemText(DatabaseId::NameMirror), Text("Меч \"Рассвет\""_cp));
    EXPECT_EQ(database().GetItemText(DatabaseId::DescriptionMirror), "line one\r\n\r\nline two");

    // Whatever the mirror held, the next visit replaces it.
    database().SetItemText(DatabaseId::NameMirror, "edited");
    SelectTab(1);
    Item<QLineEdit>(plugin(), PluginId::Name)->selectAll();
    Type(plugin(), PluginId::Name, QStringLiteral("Renamed"));
    SelectTab(3);
    EXPECT_EQ(database().GetItemText(DatabaseId::NameMirror), "Renamed");

    // Other tabs copy nothing.
    database().SetItemText(DatabaseId::NameMirror, "kept");
    SelectTab(2);
    SelectTab(0);
    EXPECT_EQ(database().GetItemText(DatabaseId::NameMirror), "kept");
}

TEST_F(MainWindow, NewResetsTheFormAndKeepsTheSelectedTab) {
    SelectTab(1);
    Type(plugin(), PluginId::Name, QStringLiteral("Name"));
    Click(plugin(), PluginId::RequiresOther);
    Choose(plugin(), PluginId::ScreenshotCount, 3);
    SelectTab(3);
    Click(database(), DatabaseId::CreateRecord);
    Type(database(), DatabaseId::ArchiveSize, QStringLiteral("12"));
    SelectTab(2);
    Click(extras(), ExtrasId::WarningOther);
    Click(*window, MainId::New);
    EXPECT_EQ(Tabs(*window)->GetCurSel(), 2);
    EXPECT_EQ(VisiblePageOf(*window), &extras());
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()), NewReadmeForm());
    EXPECT_EQ(database().CaptureRecord(), NewDatabaseRecord());
    for (PluginId id :
         {PluginId::OtherRequirements, PluginId::Screenshot1, PluginId::BrowseScreenshot1, PluginId::Screenshot2,
          PluginId::BrowseScreenshot2, PluginId::Screenshot3, PluginId::BrowseScreenshot3})
        EXPECT_FALSE(plugin().IsItemEnabled(id)) << id;
    EXPECT_FALSE(extras().IsItemEnabled(ExtrasId::WarningText));
    EXPECT_FALSE(database().IsItemEnabled(DatabaseId::ArchiveSize));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.requests.empty());
}

// Every focusable control of every page, and the window's own buttons.
TEST_F(MainWindow, EnterAndEscapeDoNothingAnywhere) {
    SelectTab(3);
    Click(database(), DatabaseId::CreateRecord);
    SelectTab(1);
    Choose(plugin(), PluginId::ScreenshotCount, 3);
    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    const DatabaseRecord record = database().CaptureRecord();
    int visited = 0;
    for (int tab = 0; tab < CMainDlg::kTabCount; ++tab) {
        SelectTab(tab);
        QList<QWidget*> targets = QtWidget(*window->PageOfTab(tab))->findChildren<QWidget*>();
        targets << QtItem(*window, MainId::New) << QtItem(*window, MainId::Save) << QtItem(*window, MainId::Open)
                << QtWidget(*window->PageOfTab(tab)) << QtWidget(*window);
        for (QWidget* target : targets) {
            if (!target->isVisible() || !target->isEnabled()) continue;
            if (target != QtWidget(*window) && target != QtWidget(*window->PageOfTab(tab)) &&
                target->focusPolicy() == Qt::NoFocus)
                continue;
            target->setFocus();
            // A multi-line field takes Enter as a line break (its own test).
            const bool multiLine = qobject_cast<CMultiLineEdit*>(target) != nullptr;
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                if (multiLine && key != Qt::Key_Escape) continue;
                QTest::keyClick(target, key);
                ASSERT_TRUE(QtWidget(*window)->isVisible()) << target->objectName().toStdString();
            }
            ++visited;
        }
        EXPECT_EQ(Tabs(*window)->GetCurSel(), tab);
    }
    EXPECT_GT(visited, 50);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()), form);
    EXPECT_EQ(database().CaptureRecord(), record);
}

TEST_F(MainWindow, ClosingAsksNothing) {
    EXPECT_TRUE(QtWidget(*window)->close());
    EXPECT_FALSE(QtWidget(*window)->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindow, TabMovesTheFocusInTheLayoutTablesOrder) {
    SelectTab(1);
    for (PluginId id : {PluginId::RequiresOther, PluginId::InstallOther, PluginId::UninstallOther}) Click(plugin(), id);
    Choose(plugin(), PluginId::ScreenshotCount, 3);
    SelectTab(2);
    for (ExtrasId id : {ExtrasId::HowToPlayEnabled, ExtrasId::NoteEnabled, ExtrasId::WarningOther}) Click(extras(), id);
    SelectTab(3);
    Click(database(), DatabaseId::CreateRecord);
    Click(database(), DatabaseId::SiteHomeLink);
    const PluginId pluginOrder[] = {PluginId::Name,
                                    PluginId::File,
                                    PluginId::BrowseFile,
                                    PluginId::Description,
                                    PluginId::Morrowind,
                                    PluginId::Tribunal,
                                    PluginId::Bloodmoon,
                                    PluginId::BsaArchive,
                                    PluginId::RequiresOther,
                                    PluginId::OtherRequirements,
                                    PluginId::ScreenshotCount,
                                    PluginId::Screenshot1,
                                    PluginId::BrowseScreenshot1,
                                    PluginId::Screenshot2,
                                    PluginId::BrowseScreenshot2,
                                    PluginId::Screenshot3,
                                    PluginId::BrowseScreenshot3,
                                    PluginId::InstallStandard,
                                    PluginId::InstallOther,
                                    PluginId::InstallText,
                                    PluginId::UninstallStandard,
                                    PluginId::UninstallOther,
                                    PluginId::UninstallText};
    const ExtrasId extrasOrder[] = {
        ExtrasId::HowToPlayEnabled, ExtrasId::HowToPlay,      ExtrasId::Authors,
        ExtrasId::NoteEnabled,      ExtrasId::Note,           ExtrasId::WarningStandard,
        ExtrasId::WarningOther,     ExtrasId::WarningText,    ExtrasId::WriteBackgroundImages,
        ExtrasId::CopyScreenshots,  ExtrasId::KeepLineBreaks, ExtrasId::WriteReadmeText};
    const DatabaseId databaseOrder[] = {
        DatabaseId::CreateRecord, DatabaseId::NameMirror,  DatabaseId::Category,    DatabaseId::DescriptionMirror,
        DatabaseId::Image,        DatabaseId::BrowseImage, DatabaseId::Archive,     DatabaseId::BrowseArchive,
        DatabaseId::ArchiveSize,  DatabaseId::AuthorName,  DatabaseId::AuthorEmail, DatabaseId::AdapterName,
        DatabaseId::AdapterEmail, DatabaseId::Grade1,      DatabaseId::Grade2,      DatabaseId::Grade3,
        DatabaseId::OriginalLink, DatabaseId::SiteHomeLink};
    const MainId windowOrder[] = {MainId::New,      MainId::Save,     MainId::Open,
                                  MainId::OpenForm, MainId::SaveForm, MainId::Preview};
    struct Case {
        int tab;
        std::vector<QWidget*> order;
    } cases[] = {
        {1, Controls(plugin(), pluginOrder)},
        {2, Controls(extras(), extrasOrder)},
        {3, Controls(database(), databaseOrder)},
        {0, Controls(*window, windowOrder)},
    };
    for (const Case& c : cases) {
        SelectTab(c.tab);
        c.order[0]->setFocus();
        for (std::size_t i = 1; i < c.order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            // An editable combo box holds the focus in its own line edit.
            if (focused && qobject_cast<QComboBox*>(focused->parentWidget())) focused = focused->parentWidget();
            EXPECT_EQ(focused, c.order[i]) << "after " << c.order[i - 1]->objectName().toStdString();
        }
        // And back with Shift+Tab, through every multi-line field too.
        for (std::size_t i = c.order.size() - 1; i > 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            QWidget* focused = QApplication::focusWidget();
            if (focused && qobject_cast<QComboBox*>(focused->parentWidget())) focused = focused->parentWidget();
            EXPECT_EQ(focused, c.order[i - 1]) << "Shift+Tab from " << c.order[i]->objectName().toStdString();
        }
        c.order.back()->setFocus();
    }
    // Then the tab bar, whose arrow keys switch the tabs.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Tabs(*window)->tabBar());
    EXPECT_EQ(QtItem(*window, MainId::ReadOnlyBox)->focusPolicy(), Qt::NoFocus);
}

// However the tab changes, the keys go on into the page shown, never into
// the one just hidden.
TEST_F(MainWindow, AfterEveryKindOfTabSwitchTypingLandsInTheShownPage) {
    const struct {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } switches[] = {{"Ctrl+Tab", Qt::Key_Tab, Qt::ControlModifier},
                    {"Ctrl+Shift+Tab", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
                    {"Ctrl+PgDown", Qt::Key_PageDown, Qt::ControlModifier},
                    {"Ctrl+PgUp", Qt::Key_PageUp, Qt::ControlModifier}};
    auto* name = Item<QLineEdit>(plugin(), PluginId::Name);
    for (const auto& change : switches) {
        SelectTab(1);
        name->setText(Q("Маяк"_cp));
        name->setFocus();
        name->selectAll();
        QTest::keyClick(name, change.key, change.modifiers);
        ASSERT_NE(Tabs(*window)->GetCurSel(), 1) << change.what;
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << change.what;
        EXPECT_TRUE(focused->isVisible()) << change.what << ": the focus is hidden";
        QTest::keyClick(focused, Qt::Key_X);
        EXPECT_EQ(name->text(), Q("Маяк"_cp)) << change.what;
    }
}

// Qt's line edit keeps 32,767 characters unless told otherwise.
TEST_F(MainWindow, AMegabytePastedOrSetIntoASingleLineFieldReadsBackWhole) {
    SelectTab(3);
    Click(database(), DatabaseId::CreateRecord);
    Click(database(), DatabaseId::SiteHomeLink);
    QString text;
    while (text.size() < (1 << 20)) text += Q("слово word "_cp);
    const std::pair<CDialog*, std::vector<int>> pages[] = {
        {&plugin(),
         {ControlIdValue(PluginId::Name), ControlIdValue(PluginId::File), ControlIdValue(PluginId::Screenshot1)}},
        {&database(),
         {ControlIdValue(DatabaseId::Image), ControlIdValue(DatabaseId::Archive),
          ControlIdValue(DatabaseId::AuthorName), ControlIdValue(DatabaseId::AuthorEmail),
          ControlIdValue(DatabaseId::AdapterName), ControlIdValue(DatabaseId::AdapterEmail),
          ControlIdValue(DatabaseId::OriginalLink)}},
    };
    Choose(plugin(), PluginId::ScreenshotCount, 1);
    QApplication::clipboard()->setText(text);
    for (const auto& [page, ids] : pages) {
        SelectTab(page == &plugin() ? 1 : 3);
        for (int id : ids) {
            auto* edit = Item<QLineEdit>(*page, id);
            ASSERT_NE(edit, nullptr) << id;
            edit->clear();
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(edit->text().size(), text.size()) << "pasted into " << id;
            page->SetItemText(id, "");
            page->SetItemText(id, cp1251::FromUtf8(text.toStdString()));
            EXPECT_EQ(page->GetItemText(id).size(), static_cast<std::size_t>(text.size())) << "set into " << id;
        }
    }
}

// Start-up with a damaged package: one message, then the window as usual.
TEST(MainWindowStartUp, DamagedTemplateShowsOneMessageAndStartUpGoesOn) {
    FakeDialogs dialogs;
    SetDialogSeamForTesting(&dialogs);
    const unsigned char damaged[64] = {'Q', 'S', 'H', 'T', 'e', 'm', 'p', 'l', 'a', 't', 'e',
                                       'F', 'i', 'l', 'e', 0,   1,   0,   0,   0,   0xF0};  // a negative entry count
    for (std::span<const unsigned char> bytes :
         {std::span<const unsigned char>(damaged, sizeof damaged), std::span<const unsigned char>()}) {
        dialogs.messages.clear();
        OverrideBuiltInTemplateForTesting(bytes);
        {
            CMainDlg window;
            window.Create();
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Error load template"));
            EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
            EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Quillsmith"));
            EXPECT_EQ(dialogs.messages[0].owner, QtWidget(window));
            EXPECT_EQ(CaptureReadmeForm(window.pluginPage(), window.extrasPage()), NewReadmeForm());
            EXPECT_EQ(window.databasePage().CaptureRecord(), NewDatabaseRecord());
        }
        OverrideBuiltInTemplateForTesting(std::nullopt);
    }
    SetDialogSeamForTesting(nullptr);
}

}  // namespace
