// The Plugin page (tab 1) as a user meets it.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "UiTest.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/TextRoutines.h"
#include "text/Cp1251.h"

namespace {

// A plug-in's first record, as the game writes it: TES3, HEDR, then MAST and
// DATA for each master.
std::string PluginBytes(std::string_view author, std::string_view description,
                        const std::vector<std::string>& masters) {
    const auto u32 = [](std::uint32_t v) {
        std::string b(4, '\0');
        for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
        return b;
    };
    std::string hedr(300, '\0');
    const float version = 1.3F;
    std::memcpy(hedr.data(), &version, 4);
    hedr.replace(8, author.size(), author);
    hedr.replace(40, description.size(), description);
    std::string data = "HEDR" + u32(300) + hedr;
    for (const std::string& master : masters)
        data += "MAST" + u32(static_cast<std::uint32_t>(master.size() + 1)) + master + '\0' + "DATA" + u32(8) + u32(1) +
                u32(0);
    return "TES3" + u32(static_cast<std::uint32_t>(data.size())) + u32(0) + u32(0) + data + "TES3 beyond the header";
}

// In the order the count enables them, two per shot.
constexpr PluginId kScreenshotControls[] = {PluginId::Screenshot1, PluginId::BrowseScreenshot1,
                                            PluginId::Screenshot2, PluginId::BrowseScreenshot2,
                                            PluginId::Screenshot3, PluginId::BrowseScreenshot3};

class PluginPageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SelectTab(1);
        ASSERT_TRUE(QtWidget(plugin())->isVisible());
    }
    bool Enabled(PluginId id) { return plugin().IsItemEnabled(id); }
};

TEST_F(PluginPageTest, NewStateMatchesTheDefaults) {
    for (PluginId id : {PluginId::Morrowind, PluginId::InstallStandard, PluginId::UninstallStandard})
        EXPECT_TRUE(plugin().IsChecked(id)) << id;
    for (PluginId id : {PluginId::Tribunal, PluginId::Bloodmoon, PluginId::BsaArchive, PluginId::RequiresOther,
                        PluginId::InstallOther, PluginId::UninstallOther})
        EXPECT_FALSE(plugin().IsChecked(id)) << id;
    EXPECT_EQ(plugin().GetCurSel(PluginId::ScreenshotCount), 0);
    EXPECT_EQ(Item<QComboBox>(plugin(), PluginId::ScreenshotCount)->currentText(), Q("Нет"_cp));
    for (PluginId id :
         {PluginId::Name, PluginId::File, PluginId::Description, PluginId::OtherRequirements, PluginId::Screenshot1,
          PluginId::Screenshot2, PluginId::Screenshot3, PluginId::InstallText, PluginId::UninstallText})
        EXPECT_EQ(plugin().GetItemText(id), "") << id;
    for (PluginId id : {PluginId::Name, PluginId::File, PluginId::Description, PluginId::BrowseFile})
        EXPECT_TRUE(Enabled(id)) << id;
    for (PluginId id : {PluginId::OtherRequirements, PluginId::Screenshot1, PluginId::BrowseScreenshot1,
                        PluginId::Screenshot2, PluginId::BrowseScreenshot2, PluginId::Screenshot3,
                        PluginId::BrowseScreenshot3, PluginId::InstallText, PluginId::UninstallText})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()), NewReadmeForm());
}

TEST_F(PluginPageTest, EachOtherBoxEnablesItsTextAndKeepsWhatWasTyped) {
    struct Case {
        PluginId box, edit;
    } cases[] = {{PluginId::RequiresOther, PluginId::OtherRequirements},
                 {PluginId::InstallOther, PluginId::InstallText},
                 {PluginId::UninstallOther, PluginId::UninstallText}};
    for (const Case& c : cases) {
        Click(plugin(), c.box);
        EXPECT_TRUE(plugin().IsChecked(c.box));
        EXPECT_TRUE(Enabled(c.edit)) << c.edit;
        Type(plugin(), c.edit, QStringLiteral("own text"));
        Click(plugin(), c.box);
        EXPECT_FALSE(Enabled(c.edit)) << c.edit;
        EXPECT_EQ(plugin().GetItemText(c.edit), "own text");
        Click(plugin(), c.box);
        EXPECT_TRUE(Enabled(c.edit));
        EXPECT_EQ(plugin().GetItemText(c.edit), "own text");
    }
}

TEST_F(PluginPageTest, PairsAreIndependentBoxes) {
    Click(plugin(), PluginId::InstallOther);
    Click(plugin(), PluginId::UninstallOther);
    EXPECT_TRUE(plugin().IsChecked(PluginId::InstallStandard));
    EXPECT_TRUE(plugin().IsChecked(PluginId::UninstallStandard));
    Click(plugin(), PluginId::InstallStandard);
    EXPECT_FALSE(plugin().IsChecked(PluginId::InstallStandard));
    EXPECT_TRUE(plugin().IsChecked(PluginId::InstallOther));
    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    EXPECT_FALSE(form.installStandard);
    EXPECT_TRUE(form.installOther);
    EXPECT_TRUE(form.uninstallStandard && form.uninstallOther);
    // Boxes without a handler only toggle.
    for (PluginId id : {PluginId::Morrowind, PluginId::Tribunal, PluginId::Bloodmoon, PluginId::BsaArchive}) {
        const bool before = plugin().IsChecked(id);
        Click(plugin(), id);
        EXPECT_NE(plugin().IsChecked(id), before) << id;
    }
}

TEST_F(PluginPageTest, ScreenshotCountEnablesItsControls) {
    struct Case {
        int index;
        int enabledCount;
    } cases[] = {{2, 4}, {3, 6}, {1, 2}, {0, 0}, {2, 4}};
    for (const Case& c : cases) {
        Choose(plugin(), PluginId::ScreenshotCount, c.index);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Enabled(kScreenshotControls[i]), i < c.enabledCount)
                << "count " << c.index << " control " << kScreenshotControls[i];
    }
}

TEST_F(PluginPageTest, LoweringTheCountKeepsThePaths) {
    Choose(plugin(), PluginId::ScreenshotCount, 2);
    Type(plugin(), PluginId::Screenshot2, QStringLiteral("second.jpg"));
    Choose(plugin(), PluginId::ScreenshotCount, 1);
    EXPECT_FALSE(Enabled(PluginId::Screenshot2));
    EXPECT_EQ(plugin().GetItemText(PluginId::Screenshot2), "second.jpg");
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()).screenshotCount, 1);
}

TEST_F(PluginPageTest, TypingIntoTheCountChangesNoSelection) {
    auto* combo = Item<QComboBox>(plugin(), PluginId::ScreenshotCount);
    combo->lineEdit()->selectAll();
    Type(plugin(), PluginId::ScreenshotCount, QStringLiteral("3"));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->currentText(), QStringLiteral("3"));
    for (PluginId id : kScreenshotControls) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()).screenshotCount, 0);
    EXPECT_TRUE(QtWidget(*window)->isVisible());
}

TEST_F(PluginPageTest, ScreenshotBrowsePutsTheFullPathWithTheCaretBeforeItsEnd) {
    struct Case {
        PluginId button, edit;
    } cases[] = {{PluginId::BrowseScreenshot1, PluginId::Screenshot1},
                 {PluginId::BrowseScreenshot2, PluginId::Screenshot2},
                 {PluginId::BrowseScreenshot3, PluginId::Screenshot3}};
    Choose(plugin(), PluginId::ScreenshotCount, 3);
    const QString path = QStringLiteral("/home/author/very/long/folder/name/for/pictures/") +
                         QString::fromUtf8("снимок экрана café 日本.jpg");
    for (const Case& c : cases) {
        dialogs.answers.push_back(path);
        Click(plugin(), c.button);
        // A name, not text: no "&#233;" in the box.
        EXPECT_EQ(Item<QLineEdit>(plugin(), c.edit)->text(), path);
        EXPECT_EQ(Item<QLineEdit>(plugin(), c.edit)->cursorPosition(), path.size() - 1);
        EXPECT_FALSE(Item<QLineEdit>(plugin(), c.edit)->hasSelectedText());
    }
    ASSERT_EQ(dialogs.requests.size(), 3u);
    for (const FileDialogRequest& request : dialogs.requests) {
        EXPECT_FALSE(request.save);
        EXPECT_EQ(request.filters,
                  ParseFileFilter(" Файлы изображений (*.gif; *.jpg; *.jpeg; *.png) |*.gif; *.jpg; *.jpeg; *.png| "
                                  "Все файлы (*.*)|*.*||"_cp));
        EXPECT_TRUE(request.defaultExtension.isEmpty());
        EXPECT_TRUE(request.proposedName.isEmpty());
    }
    EXPECT_EQ(dialogs.owners.front(), QtWidget(plugin()));
}

TEST_F(PluginPageTest, PluginBrowseKeepsOnlyTheNameAndCancelChangesNothing) {
    Type(plugin(), PluginId::Name, QStringLiteral("Name"));
    dialogs.answers.push_back(QStringLiteral("/games/Data Files/My Mod.esp"));
    Click(plugin(), PluginId::BrowseFile);
    EXPECT_EQ(plugin().GetItemText(PluginId::File), "My Mod.esp");
    EXPECT_EQ(plugin().GetItemText(PluginId::Name), "Name");
    EXPECT_EQ(dialogs.requests.back().filters,
              ParseFileFilter(
                  " Файлы плагинов (*.esp; *.esm; *.omwaddon) |*.esp; *.esm; *.omwaddon| Все файлы (*.*)|*.*||"_cp));
    // No such file: the name alone, and the status line says why.
    EXPECT_EQ(cp1251::ToUtf8(window->GetItemText(MainId::Status)),
              "Из заголовка плагина ничего не взято: файл не открывается");

    dialogs.answers.push_back(QString());
    Click(plugin(), PluginId::BrowseFile);
    Choose(plugin(), PluginId::ScreenshotCount, 1);
    dialogs.answers.push_back(QString());
    Click(plugin(), PluginId::BrowseScreenshot1);
    EXPECT_EQ(plugin().GetItemText(PluginId::File), "My Mod.esp");
    EXPECT_EQ(plugin().GetItemText(PluginId::Screenshot1), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PluginPageTest, CaptureTakesEveryControlByteForByte) {
    Type(plugin(), PluginId::Name, QString::fromUtf8("Новый меч"));
    Type(plugin(), PluginId::File, QStringLiteral("sword.esp"));
    Type(plugin(), PluginId::Description, QString::fromUtf8("Строка <b>&amp;"));
    QTest::keyClick(QtItem(plugin(), PluginId::Description), Qt::Key_Return, Qt::ControlModifier);
    Type(plugin(), PluginId::Description, QStringLiteral("\tnext"));
    Click(plugin(), PluginId::RequiresOther);
    Type(plugin(), PluginId::OtherRequirements, QStringLiteral("Other"));
    Choose(plugin(), PluginId::ScreenshotCount, 2);
    Type(plugin(), PluginId::Screenshot1, QStringLiteral("a.jpg"));
    Type(plugin(), PluginId::Screenshot2, QStringLiteral("b.jpg"));
    SelectTab(2);
    Click(extras(), ExtrasId::HowToPlayEnabled);
    Type(extras(), ExtrasId::HowToPlay, QStringLiteral("Play"));

    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    EXPECT_EQ(form.pluginName, Text("Новый меч"_cp));
    EXPECT_EQ(form.pluginFile, "sword.esp");
    // Tab moves the focus, so the tab character never reaches the text.
    EXPECT_EQ(form.description, Text("Строка <b>&amp;\r\nnext"_cp));
    EXPECT_TRUE(form.requiresOther);
    EXPECT_EQ(form.otherRequirements, "Other");
    EXPECT_EQ(form.screenshotCount, 2);
    EXPECT_EQ(form.screenshotPath, (std::array<Text, 3>{"a.jpg", "b.jpg", ""}));
    // PluginId::Screenshot2 and ExtrasId::HowToPlayEnabled share a number: each
    // is read from its own page.
    EXPECT_TRUE(form.howToPlayEnabled);
    EXPECT_EQ(form.howToPlay, "Play");
}

TEST_F(PluginPageTest, NoSelectionInTheCountIsCapturedAsMinusOne) {
    plugin().SetCurSel(PluginId::ScreenshotCount, -1);
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()).screenshotCount, -1);
}

// The header fills what it knows, the status line says what it took, and
// "Вернуть форму" brings back the form as it was, in one step.
TEST_F(PluginPageTest, APickedPluginFillsTheFormFromItsHeaderAndOneStepUndoesIt) {
    QTemporaryDir folder;
    const Text file("Маяк.esp"_cp);
    const QString path = folder.filePath(QString::fromUtf8(cp1251::ToUtf8(file)));
    QFile plugin(path);
    ASSERT_TRUE(plugin.open(QIODevice::WriteOnly));
    plugin.write(QByteArray::fromStdString(
        PluginBytes("Смотритель"_cp, "Маяк\nна берегу"_cp, {"Morrowind.esm", "tribunal.ESM", "Tamriel_Data.esm"})));
    plugin.close();
    QFile bsa(folder.filePath(QString::fromUtf8(cp1251::ToUtf8(BsaArchiveName(file)))));
    ASSERT_TRUE(bsa.open(QIODevice::WriteOnly));
    bsa.close();
    Type(this->plugin(), PluginId::Name, QStringLiteral("Name"));
    Click(this->plugin(), PluginId::Bloodmoon);
    const FormFile before = window->CaptureFormFile();

    dialogs.answers.push_back(path);
    Click(this->plugin(), PluginId::BrowseFile);
    CPluginPage& page = this->plugin();
    EXPECT_EQ(page.GetItemText(PluginId::File), file);
    for (const auto& [box, checked] : {std::pair{PluginId::Morrowind, true},
                                       {PluginId::Tribunal, true},
                                       {PluginId::Bloodmoon, false},
                                       {PluginId::BsaArchive, true},
                                       {PluginId::RequiresOther, true}})
        EXPECT_EQ(page.IsChecked(box), checked) << ControlIdValue(box);
    EXPECT_EQ(page.GetItemText(PluginId::OtherRequirements), "Tamriel_Data.esm");
    EXPECT_EQ(page.GetItemText(PluginId::Description), "Маяк\r\nна берегу"_cp);
    EXPECT_EQ(extras().GetItemText(ExtrasId::Authors), "Смотритель"_cp);
    EXPECT_EQ(database().GetItemText(DatabaseId::AuthorName), "Смотритель"_cp);
    EXPECT_EQ(page.GetItemText(PluginId::Name), "Name");
    EXPECT_EQ(window->CaptureFormFile().form.pluginPath, path.toStdString());
    const std::string status = cp1251::ToUtf8(window->GetItemText(MainId::Status));
    EXPECT_TRUE(status.starts_with("Из заголовка плагина: требует ")) << status;
    EXPECT_NE(status.find("Tamriel_Data.esm"), std::string::npos) << status;
    EXPECT_TRUE(dialogs.messages.empty());

    ASSERT_TRUE(window->IsItemEnabled(MainId::RestoreForm));
    Click(*window, MainId::RestoreForm);
    EXPECT_EQ(window->CaptureFormFile(), before);

    // Dropped on the page, an OpenMW plug-in is taken as if chosen.
    const QString addon = folder.filePath(QStringLiteral("Lighthouse.omwaddon"));
    ASSERT_TRUE(QFile::copy(path, addon));
    page.OnDropFiles({addon.toStdString()}, kNoControlId);
    EXPECT_EQ(page.GetItemText(PluginId::File), "Lighthouse.omwaddon");
    EXPECT_TRUE(page.IsChecked(PluginId::Tribunal));
}

}  // namespace
