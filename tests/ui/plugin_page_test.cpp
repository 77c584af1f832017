// The Plugin page (tab 1) as a user meets it.

#include "UiTest.h"
#include "readme/CaptureReadmeForm.h"
#include "text/Cp1251.h"

namespace {

class PluginPageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SelectTab(1);
        ASSERT_TRUE(plugin().isVisible());
    }
    bool Enabled(int id) { return plugin().IsItemEnabled(id); }
};

TEST_F(PluginPageTest, NewStateMatchesTheDefaults) {
    for (int id : {1006, 1013, 1028}) EXPECT_TRUE(plugin().IsChecked(id)) << id;
    for (int id : {1007, 1008, 1038, 1009, 1014, 1029}) EXPECT_FALSE(plugin().IsChecked(id)) << id;
    EXPECT_EQ(plugin().GetCurSel(1011), 0);
    EXPECT_EQ(plugin().Item<QComboBox>(1011)->currentText(), Q("Нет"_cp));
    for (int id : {1025, 1004, 1005, 1010, 1012, 1020, 1022, 1024, 1030})
        EXPECT_EQ(plugin().GetItemText(id), "") << id;
    for (int id : {1025, 1004, 1005, 1027}) EXPECT_TRUE(Enabled(id)) << id;
    for (int id : {1010, 1012, 1026, 1020, 1021, 1022, 1023, 1024, 1030})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()), NewReadmeForm());
}

TEST_F(PluginPageTest, EachOtherBoxEnablesItsTextAndKeepsWhatWasTyped) {
    struct Case {
        int box, edit;
    } cases[] = {{1009, 1010}, {1014, 1024}, {1029, 1030}};
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
    Click(plugin(), 1014);
    Click(plugin(), 1029);
    EXPECT_TRUE(plugin().IsChecked(1013));
    EXPECT_TRUE(plugin().IsChecked(1028));
    Click(plugin(), 1013);
    EXPECT_FALSE(plugin().IsChecked(1013));
    EXPECT_TRUE(plugin().IsChecked(1014));
    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    EXPECT_FALSE(form.installStandard);
    EXPECT_TRUE(form.installOther);
    EXPECT_TRUE(form.uninstallStandard && form.uninstallOther);
    // Boxes without a handler only toggle.
    for (int id : {1006, 1007, 1008, 1038}) {
        const bool before = plugin().IsChecked(id);
        Click(plugin(), id);
        EXPECT_NE(plugin().IsChecked(id), before) << id;
    }
}

TEST_F(PluginPageTest, ScreenshotCountEnablesItsControls) {
    const int controls[] = {1012, 1026, 1020, 1021, 1022, 1023};
    struct Case {
        int index;
        int enabledCount;
    } cases[] = {{2, 4}, {3, 6}, {1, 2}, {0, 0}, {2, 4}};
    for (const Case& c : cases) {
        Choose(plugin(), 1011, c.index);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Enabled(controls[i]), i < c.enabledCount)
                << "count " << c.index << " control " << controls[i];
    }
}

TEST_F(PluginPageTest, LoweringTheCountKeepsThePaths) {
    Choose(plugin(), 1011, 2);
    Type(plugin(), 1020, QStringLiteral("second.jpg"));
    Choose(plugin(), 1011, 1);
    EXPECT_FALSE(Enabled(1020));
    EXPECT_EQ(plugin().GetItemText(1020), "second.jpg");
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()).screenshotCount, 1);
}

TEST_F(PluginPageTest, TypingIntoTheCountChangesNoSelection) {
    auto* combo = plugin().Item<QComboBox>(1011);
    combo->lineEdit()->selectAll();
    Type(plugin(), 1011, QStringLiteral("3"));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->currentText(), QStringLiteral("3"));
    for (int id : {1012, 1026, 1020, 1021, 1022, 1023}) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()).screenshotCount, 0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(PluginPageTest, ScreenshotBrowsePutsTheFullPathWithTheCaretBeforeItsEnd) {
    struct Case {
        int button, edit;
    } cases[] = {{1026, 1012}, {1021, 1020}, {1023, 1022}};
    Choose(plugin(), 1011, 3);
    const QString path = QStringLiteral("/home/author/very/long/folder/name/for/pictures/") +
                         QString::fromUtf8("снимок экрана café 日本.jpg");
    for (const Case& c : cases) {
        dialogs.answers.push_back(path);
        Click(plugin(), c.button);
        // A name, not text: no "&#233;" in the box.
        EXPECT_EQ(plugin().Item<QLineEdit>(c.edit)->text(), path);
        EXPECT_EQ(plugin().Item<QLineEdit>(c.edit)->cursorPosition(), path.size() - 1);
        EXPECT_FALSE(plugin().Item<QLineEdit>(c.edit)->hasSelectedText());
    }
    ASSERT_EQ(dialogs.requests.size(), 3u);
    for (const FileDialogRequest& request : dialogs.requests) {
        EXPECT_FALSE(request.save);
        EXPECT_EQ(request.filters,
                  ParseFileFilter(
                      " Файлы изображений (*.gif; *.jpg; *.jpeg; *.png) |*.gif; *.jpg; *.jpeg; *.png| "
                      "Все файлы (*.*)|*.*||"_cp));
        EXPECT_TRUE(request.defaultExtension.isEmpty());
        EXPECT_TRUE(request.proposedName.isEmpty());
    }
    EXPECT_EQ(dialogs.owners.front(), &plugin());
}

TEST_F(PluginPageTest, PluginBrowseKeepsOnlyTheNameAndCancelChangesNothing) {
    Type(plugin(), 1025, QStringLiteral("Name"));
    dialogs.answers.push_back(QStringLiteral("/games/Data Files/My Mod.esp"));
    Click(plugin(), 1027);
    EXPECT_EQ(plugin().GetItemText(1004), "My Mod.esp");
    EXPECT_EQ(plugin().GetItemText(1025), "Name");
    EXPECT_EQ(
        dialogs.requests.back().filters,
        ParseFileFilter(" Файлы плагинов (*.esp; *.esm) |*.esp; *.esm| Все файлы (*.*)|*.*||"_cp));

    dialogs.answers.push_back(QString());
    Click(plugin(), 1027);
    Choose(plugin(), 1011, 1);
    dialogs.answers.push_back(QString());
    Click(plugin(), 1026);
    EXPECT_EQ(plugin().GetItemText(1004), "My Mod.esp");
    EXPECT_EQ(plugin().GetItemText(1012), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PluginPageTest, CaptureTakesEveryControlByteForByte) {
    Type(plugin(), 1025, QString::fromUtf8("Новый меч"));
    Type(plugin(), 1004, QStringLiteral("sword.esp"));
    Type(plugin(), 1005, QString::fromUtf8("Строка <b>&amp;"));
    QTest::keyClick(plugin().GetDlgItem(1005), Qt::Key_Return, Qt::ControlModifier);
    Type(plugin(), 1005, QStringLiteral("\tnext"));
    Click(plugin(), 1009);
    Type(plugin(), 1010, QStringLiteral("Other"));
    Choose(plugin(), 1011, 2);
    Type(plugin(), 1012, QStringLiteral("a.jpg"));
    Type(plugin(), 1020, QStringLiteral("b.jpg"));
    SelectTab(2);
    Click(extras(), 1020);
    Type(extras(), 1019, QStringLiteral("Play"));

    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    EXPECT_EQ(form.pluginName, Text("Новый меч"_cp));
    EXPECT_EQ(form.pluginFile, "sword.esp");
    // Tab moves the focus, so the tab character never reaches the text.
    EXPECT_EQ(form.description, Text("Строка <b>&amp;\r\nnext"_cp));
    EXPECT_TRUE(form.requiresOther);
    EXPECT_EQ(form.otherRequirements, "Other");
    EXPECT_EQ(form.screenshotCount, 2);
    EXPECT_EQ(form.screenshotPath, (std::array<Text, 3>{"a.jpg", "b.jpg", ""}));
    // Id 1020 names a path on one page and a check box on the other.
    EXPECT_TRUE(form.howToPlayEnabled);
    EXPECT_EQ(form.howToPlay, "Play");
}

TEST_F(PluginPageTest, NoSelectionInTheCountIsCapturedAsMinusOne) {
    plugin().SetCurSel(1011, -1);
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()).screenshotCount, -1);
}

}  // namespace
