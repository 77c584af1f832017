// The pages the first paint does not show make their controls when first
// needed; whatever the window does before that gives what it gives with
// every page made, and a page made later shows what it would have shown.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <fstream>
#include <functional>
#include <iterator>

#include "UiTest.h"
#include "app/state/DraftStore.h"
#include "core/PluginBuilder.h"
#include "output/ReadmeChecks.h"
#include "readme/ReadmeHtml.h"
#include "text/Cp1251.h"

namespace {

constexpr int kFormTabs[] = {1, 2, 3};

// A value in every kind of control, and texts the controls keep as given.
FormFile PlainForm() {
    FormFile file;
    file.form = NewReadmeForm();
    file.form.pluginName = "Маяк \"Тихий\""_cp;
    file.form.pluginFile = "Lighthouse.esp";
    file.form.description = "Первая строка\r\nвторая"_cp;
    file.form.requiresTribunal = file.form.requiresOther = true;
    file.form.otherRequirements = "MWSE";
    file.form.screenshotCount = 2;
    file.form.screenshotPath = {"/shots/café.jpg", "/shots/b.png", ""};
    file.form.installStandard = false;
    file.form.installOther = true;
    file.form.installText = "Распакуйте"_cp;
    file.form.noteEnabled = true;
    file.form.note = "Заметка"_cp;
    file.form.copyScreenshots = false;
    file.record.recordWanted = true;
    file.record.categoryIndex = 4;
    file.record.archiveName = "Маяк.zip";
    file.record.archiveSize = "12345";
    file.record.grades = {0, 2, 1};
    return file;
}

// Texts only the made controls can say how they keep: lone line breaks,
// tabs, a no-break space, a reference, a size with a blank in it.
FormFile OddForm() {
    FormFile file = PlainForm();
    file.form.installText = "шаг 1\nшаг 2\rшаг\t3"_cp;
    file.form.authors = "Автор\xA0&#26085;"_cp;
    file.form.pluginName = "Маяк\tТихий"_cp;
    file.record.archiveSize = "12 345";
    return file;
}

std::unique_ptr<CMainDlg> Window(bool pagesMade) {
    auto window = std::make_unique<CMainDlg>();
    window->Create();
    if (pagesMade)
        for (int tab = 0; tab < CMainDlg::kTabCount; ++tab) window->PageOfTab(tab)->CreateControlsNow();
    return window;
}

bool AnyFormPageMade(const CMainDlg& window) {
    auto& w = const_cast<CMainDlg&>(window);
    return w.pluginPage().HasControls() || w.extrasPage().HasControls() || w.databasePage().HasControls();
}

// Every control of the form pages, as the user would see it.
void ExpectSamePages(CMainDlg& later, CMainDlg& made, const std::string& what) {
    for (int tab : kFormTabs) {
        CDialog& page = *later.PageOfTab(tab);
        CDialog& other = *made.PageOfTab(tab);
        const auto controls = QtWidget(other)->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^id\\d+$")));
        ASSERT_FALSE(controls.isEmpty());
        for (QWidget* control : controls) {
            const int id = control->objectName().mid(2).toInt();
            EXPECT_EQ(page.GetItemText(id), other.GetItemText(id)) << what << " " << id;
            EXPECT_EQ(page.IsChecked(id), other.IsChecked(id)) << what << " " << id;
            EXPECT_EQ(page.IsItemEnabled(id), other.IsItemEnabled(id)) << what << " " << id;
            EXPECT_EQ(page.GetCurSel(id), other.GetCurSel(id)) << what << " " << id;
            EXPECT_FALSE(page.CanUndo(id)) << what << " " << id;
        }
    }
}

class PagesWhenNeeded : public MainWindowTest {
protected:
    QTemporaryDir temp;
};

TEST_F(PagesWhenNeeded, EachActionOnPagesNotYetMadeGivesWhatMadePagesGive) {
    const QString readme = QStringLiteral(QS_SOURCE_DIR "/tests/golden/example-ReadMe.htm");
    const QString pluginPath = QDir(temp.path()).filePath(QStringLiteral("Lighthouse.esp"));
    {
        QFile plugin(pluginPath);
        ASSERT_TRUE(plugin.open(QIODevice::WriteOnly));
        const std::string bytes = testing_plugin::Plugin("Смотритель", "Маяк у заводи", {"Morrowind.esm"});
        plugin.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    const struct {
        const char* what;
        std::function<void(CMainDlg&)> act;
        bool pagesWait;  // no page needed its controls for it
    } cases[] = {
        {"a form applied", [](CMainDlg& w) { w.ApplyFormFile(PlainForm()); }, true},
        {"a form with odd texts", [](CMainDlg& w) { w.ApplyFormFile(OddForm()); }, false},
        {"New after a form",
         [](CMainDlg& w) {
             w.ApplyFormFile(PlainForm());
             w.OnNew();
         },
         true},
        {"New undone",
         [](CMainDlg& w) {
             w.ApplyFormFile(PlainForm());
             w.OnNew();
             w.OnRestoreForm();
         },
         true},
        {"a readme opened", [&](CMainDlg& w) { ASSERT_TRUE(w.OpenFormFile(readme.toStdString())); }, true},
        {"a plug-in chosen",
         [&](CMainDlg& w) {
             w.pluginPage().m_onPluginChosen({pluginPath.toStdString(), "Lighthouse.esp"});
         },
         true},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<CMainDlg> later = Window(false), made = Window(true);
        ASSERT_FALSE(AnyFormPageMade(*later));
        c.act(*later);
        c.act(*made);
        if (c.pagesWait) {
            EXPECT_FALSE(AnyFormPageMade(*later)) << c.what;
        }
        const FormFile form = later->CaptureFormFile();
        EXPECT_EQ(form, made->CaptureFormFile()) << c.what;
        EXPECT_EQ(BuildReadmeHtml(form.form, later->templatePackage()),
                  BuildReadmeHtml(made->CaptureFormFile().form, made->templatePackage()))
            << c.what;
        EXPECT_EQ(CheckReadme(form.form, form.record, temp.path().toStdString()),
                  CheckReadme(made->CaptureFormFile().form, made->CaptureFormFile().record, temp.path().toStdString()))
            << c.what;
        EXPECT_EQ(QtWidget(*later)->windowTitle(), QtWidget(*made)->windowTitle()) << c.what;
        EXPECT_EQ(later->IsItemEnabled(MainId::RestoreForm), made->IsItemEnabled(MainId::RestoreForm)) << c.what;
        ExpectSamePages(*later, *made, c.what);
    }
}

TEST_F(PagesWhenNeeded, ADraftRestoredAtStartReachesSaveWithoutThePagesMade) {
    window.reset();
    const FormFile draft = OddForm();
    {
        DraftStore ended(stateHome.filePath(QStringLiteral("quillsmith")).toStdString());
        ASSERT_TRUE(ended.Save(draft).ok);
    }
    window = Window(false);
    const QString path = QDir(temp.path()).filePath(QStringLiteral("ReadMe.htm"));
    dialogs.answers.push_back(path);
    window->OnSave();
    std::ifstream in(path.toStdString(), std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::unique_ptr<CMainDlg> made = Window(true);
    made->ApplyFormFile(draft);
    EXPECT_EQ(saved, BuildReadmeHtml(made->CaptureFormFile().form, made->templatePackage()));
    for (int tab : kFormTabs) EXPECT_FALSE(window->PageOfTab(tab)->IsShown()) << tab;
}

TEST_F(PagesWhenNeeded, APageIsMadeWhenItsTabShowsOrItsFieldIsWrittenAndTheRestWhenIdle) {
    const std::unique_ptr<CMainDlg> later = Window(false);
    EXPECT_TRUE(later->textDocPage().HasControls()) << "tab 0 is the first paint's";
    // Placing a page in its tab is no reason to make it.
    for (int tab = 1; tab < CMainDlg::kTabCount; ++tab) EXPECT_FALSE(later->PageOfTab(tab)->HasControls()) << tab;
    later->ChooseTab(MainId::Tabs, 3);
    EXPECT_TRUE(later->databasePage().HasControls());
    EXPECT_EQ(later->databasePage().GetItemText(DatabaseId::NameMirror),
              later->pluginPage().GetItemText(PluginId::Name));
    EXPECT_FALSE(later->extrasPage().HasControls());
    // The field editor's replacement is a step of the control's own undo.
    later->SetFieldText(ExtrasId::Authors, "Автор"_cp);
    EXPECT_TRUE(later->extrasPage().HasControls());
    EXPECT_TRUE(later->extrasPage().CanUndo(ExtrasId::Authors));
    EXPECT_FALSE(later->helpPage().HasControls());
    QTRY_VERIFY_WITH_TIMEOUT(
        later->helpPage().HasControls() && later->aboutPage().HasControls() && later->pluginPage().HasControls(), 3000);
}

}  // namespace
