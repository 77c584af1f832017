// Work that is never lost: forms saved and opened as files, the draft that
// comes back at start, New undone, and the keyboard's commands.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QUrl>
#include <fstream>
#include <iterator>

#include "UiTest.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/ReadmeHtml.h"
#include "text/Cp1251.h"

namespace {

std::string ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FormsAndDrafts : public MainWindowTest {
protected:
    // A form with a value in every kind of control on the three pages.
    void FillForm() {
        SelectTab(1);
        Type(plugin(), PluginId::Name, QString::fromUtf8("Маяк \"Тихий\""));
        Type(plugin(), PluginId::Description, QString::fromUtf8("Первая"));
        QTest::keyClick(QtItem(plugin(), PluginId::Description), Qt::Key_Return);
        Type(plugin(), PluginId::Description, QString::fromUtf8("вторая"));
        Click(plugin(), PluginId::Tribunal);
        Click(plugin(), PluginId::RequiresOther);
        Type(plugin(), PluginId::OtherRequirements, QStringLiteral("MWSE"));
        Choose(plugin(), PluginId::ScreenshotCount, 1);
        Type(plugin(), PluginId::Screenshot1, QString::fromUtf8("/shots/café.jpg"));
        SelectTab(2);
        Click(extras(), ExtrasId::NoteEnabled);
        Type(extras(), ExtrasId::Note, QString::fromUtf8("Заметка"));
        Click(extras(), ExtrasId::CopyScreenshots);
        SelectTab(3);
        Click(database(), DatabaseId::CreateRecord);
        Choose(database(), DatabaseId::Category, 4);
        Type(database(), DatabaseId::ArchiveSize, QStringLiteral("123"));
        Choose(database(), DatabaseId::Grade2, 2);
    }
    FormFile Form() const { return window->CaptureFormFile(); }
    // A file where the state folder should be takes no draft; the window is
    // made again to meet it.
    QString BlockStateFolder() {
        const QString folder = stateHome.filePath(QStringLiteral("quillsmith"));
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        window.reset();
        window = std::make_unique<CMainDlg>();
        window->Create();
        return folder;
    }

    QTemporaryDir temp;
};

TEST_F(FormsAndDrafts, AFormSavedAndOpenedComesBackWholeAndRendersAsTheWindowSaves) {
    FillForm();
    const FormFile filled = Form();
    const QString formPath = temp.filePath(QString::fromUtf8("форма.qsform"));
    dialogs.answers.push_back(formPath);
    QTest::keyClick(QtWidget(*window), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_TRUE(dialogs.requests[0].save);
    EXPECT_EQ(dialogs.requests[0].defaultExtension, QStringLiteral("qsform"));

    dialogs.answers.push_back(temp.filePath(QStringLiteral("ReadMe.htm")));
    Click(*window, MainId::Save);
    EXPECT_TRUE(dialogs.messages.empty());

    Click(*window, MainId::New);
    EXPECT_NE(Form(), filled);
    dialogs.answers.push_back(formPath);
    Click(*window, MainId::OpenForm);
    EXPECT_EQ(Form(), filled);
    // Fields are enabled as their check boxes and count say.
    EXPECT_TRUE(plugin().IsItemEnabled(PluginId::OtherRequirements));
    EXPECT_TRUE(plugin().IsItemEnabled(PluginId::Screenshot1));
    EXPECT_FALSE(plugin().IsItemEnabled(PluginId::Screenshot2));
    EXPECT_TRUE(extras().IsItemEnabled(ExtrasId::Note));
    EXPECT_TRUE(database().IsItemEnabled(DatabaseId::ArchiveSize));

    QProcess render;
    render.start(QStringLiteral(QS_RENDER_PROGRAM), {QStringLiteral("--form"), formPath, QStringLiteral("--output"),
                                                     temp.filePath(QStringLiteral("r.htm"))});
    ASSERT_TRUE(render.waitForFinished(20000));
    EXPECT_EQ(ReadBytes(temp.filePath(QStringLiteral("r.htm"))),
              ReadBytes(temp.filePath(QStringLiteral("ReadMe.htm"))));
}

TEST_F(FormsAndDrafts, AMalformedOrForeignFileNamesWhatIsWrongAndChangesNothing) {
    FillForm();
    const FormFile filled = Form();
    const struct {
        const char* bytes;
        const char* named;
    } cases[] = {
        {"{\"pluginName\": ", "строка 1, символ 16: форма обрывается"},
        {"{\"title\": \"a document of another program\"}", "неизвестный ключ \"title\""},
        {"{\"screenshotCount\": \"2\"}", "значение \"screenshotCount\" должно быть целым числом от -1 до 3"},
        {"{\"screenshotCount\": 4}", "значение \"screenshotCount\" должно быть целым числом от -1 до 3"},
        {"{\"formatVersion\": 9}", "более новой версией Quillsmith"},
    };
    for (const auto& c : cases) {
        const QString path = temp.filePath(QStringLiteral("bad.qsform"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        dialogs.messages.clear();
        dialogs.answers.push_back(path);
        QTest::keyClick(QtWidget(*window), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.bytes;
        EXPECT_TRUE(dialogs.messages[0].text.startsWith(QString::fromUtf8("Форма не открыта: ")));
        EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromUtf8(c.named))) << c.bytes;
        EXPECT_EQ(Form(), filled) << c.bytes;
    }
}

TEST_F(FormsAndDrafts, TheDraftComesBackInTheNextWindowAndABrokenOneIsSetAside) {
    const QDir state(stateHome.filePath(QStringLiteral("quillsmith")));
    const auto drafts = [&state](const char* pattern) {
        return state.entryList({QString::fromLatin1(pattern)}, QDir::Files);
    };
    FillForm();
    const FormFile filled = Form();
    // Written once the typing has paused about a second.
    QTRY_COMPARE_WITH_TIMEOUT(drafts("draft-*.json").size(), 1, 3000);
    QTest::qWait(1200);
    const QString title = QString::fromUtf8(cp1251::ToUtf8(filled.form.pluginName) + " — Quillsmith");
    EXPECT_EQ(QtWidget(*window)->windowTitle(), title);
    window.reset();
    window = std::make_unique<CMainDlg>();
    window->Create();
    EXPECT_EQ(Form(), filled);
    EXPECT_EQ(QtWidget(*window)->windowTitle(), title);

    window.reset();
    QFile draft(state.filePath(drafts("draft-*.json").at(0)));
    ASSERT_TRUE(draft.open(QIODevice::WriteOnly | QIODevice::Truncate));
    draft.write("{ broken");
    draft.close();
    window = std::make_unique<CMainDlg>();
    window->Create();
    EXPECT_EQ(Form(), FormFile{});
    EXPECT_EQ(QtWidget(*window)->windowTitle(), QStringLiteral("Quillsmith"));
    EXPECT_TRUE(window->GetItemText(MainId::Status).starts_with("Черновик не прочитан и отложен: "_cp));
    const QStringList kept = drafts("draft-*.json.broken-*");
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadBytes(state.filePath(kept[0])), "{ broken");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FormsAndDrafts, AFailedWriteIsSaidUntilOneSucceeds) {
    const QString folder = BlockStateFolder();
    plugin().SetItemText(PluginId::Name, "Маяк"_cp);
    window->WriteDraft();
    EXPECT_TRUE(window->GetItemText(MainId::Status).starts_with("Черновик не записан: "_cp));
    const auto saveForm = [this] {
        dialogs.answers.push_back(stateHome.filePath(QStringLiteral("form.qsform")));
        window->OnSaveForm();
    };
    saveForm();
    EXPECT_NE(window->GetItemText(MainId::Status).find("Последние папки не записаны: "_cp), Text::npos);

    ASSERT_TRUE(QFile::remove(folder));
    window->WriteDraft();
    saveForm();
    EXPECT_EQ(window->GetItemText(MainId::Status), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FormsAndDrafts, NewCanBeUndoneUntilTheNextEdit) {
    FillForm();
    const FormFile filled = Form();
    EXPECT_FALSE(window->IsItemEnabled(MainId::RestoreForm));
    QTest::keyClick(QtWidget(*window), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Form(), FormFile{});
    ASSERT_TRUE(window->IsItemEnabled(MainId::RestoreForm));
    Click(*window, MainId::RestoreForm);
    EXPECT_EQ(Form(), filled);
    EXPECT_FALSE(window->IsItemEnabled(MainId::RestoreForm));

    Click(*window, MainId::New);
    SelectTab(1);
    Type(plugin(), PluginId::Name, QStringLiteral("x"));
    EXPECT_FALSE(window->IsItemEnabled(MainId::RestoreForm));
}

TEST_F(FormsAndDrafts, FieldCommandsAreOneUndoStepEach) {
    SelectTab(1);
    Type(plugin(), PluginId::Name, QStringLiteral("typed"));
    window->SetFieldText(FieldTarget(PluginId::Name), "inserted");
    window->SetFieldText(FieldTarget(PluginId::Description), "first");
    window->SetFieldText(FieldTarget(PluginId::Description), "first and added");
    QTest::keyClick(QtItem(plugin(), PluginId::Name), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(plugin().GetItemText(PluginId::Name), "typed");
    QTest::keyClick(QtItem(plugin(), PluginId::Description), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(plugin().GetItemText(PluginId::Description), "first");
}

TEST_F(FormsAndDrafts, TheKeyboardSwitchesTabsAndTooltipsNameTheKeys) {
    const struct {
        QKeyCombination keys;
        int tab;
    } steps[] = {
        {Qt::CTRL | Qt::Key_Tab, 1},    {Qt::CTRL | Qt::Key_PageDown, 2},
        {Qt::CTRL | Qt::Key_PageUp, 1}, {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 0},
        {Qt::CTRL | Qt::Key_PageUp, 5},
    };
    for (const auto& step : steps) {
        QTest::keyClick(QtWidget(*window), step.keys.key(), step.keys.keyboardModifiers());
        EXPECT_EQ(Tabs(*window)->GetCurSel(), step.tab);
        EXPECT_TRUE(QtWidget(*window->PageOfTab(step.tab))->isVisible());
    }
    for (auto [id, keys] : {std::pair{MainId::New, "Ctrl+N"},
                            {MainId::Open, "Ctrl+O"},
                            {MainId::Save, "Ctrl+S"},
                            {MainId::OpenForm, "Ctrl+Shift+O"},
                            {MainId::SaveForm, "Ctrl+Shift+S"}})
        EXPECT_EQ(QtItem(*window, id)->toolTip(), QString::fromLatin1(keys)) << id;
}

TEST_F(FormsAndDrafts, EachKindOfFileDialogStartsWhereItsKindLastWent) {
    const QString texts = temp.filePath(QStringLiteral("texts")), forms = temp.filePath(QString::fromUtf8("формы"));
    dialogs.answers = {texts + QStringLiteral("/a.txt"), QString(), forms + QStringLiteral("/f.qsform")};
    Click(*window, MainId::Open);
    Click(*window, MainId::Open);
    Click(*window, MainId::SaveForm);
    ASSERT_EQ(dialogs.requests.size(), 3u);
    EXPECT_TRUE(dialogs.requests[0].startFolder.isEmpty());
    EXPECT_EQ(dialogs.requests[1].startFolder, texts);
    EXPECT_TRUE(dialogs.requests[2].startFolder.isEmpty());  // another kind

    // Remembered in the program's own file, for the next session too.
    window.reset();
    window = std::make_unique<CMainDlg>();
    window->Create();
    QtWidget(*window)->show();
    dialogs.requests.clear();
    Click(*window, MainId::OpenForm);
    Click(*window, MainId::Open);
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].startFolder, forms);
    EXPECT_EQ(dialogs.requests[1].startFolder, texts);
}

// A readme Save wrote opens back into the form through Open Form: the form
// renders the same bytes, the status line says what was read, one step
// undoes it, and the next Save proposes the readme itself.
TEST_F(FormsAndDrafts, AReadmeOpensBackIntoTheFormAsOneUndoStep) {
    FillForm();
    Type(database(), DatabaseId::Archive, QStringLiteral("QuietLighthouse.zip"));
    const QString readme = temp.filePath(QStringLiteral("ReadMe.htm"));
    dialogs.answers.push_back(readme);
    Click(*window, MainId::Save);
    const std::string saved = ReadBytes(readme);
    Click(*window, MainId::New);
    const FormFile fresh = Form();

    dialogs.messages.clear();
    dialogs.answers.push_back(readme);
    QTest::keyClick(QtWidget(*window), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(BuildReadmeHtml(Form().form, window->templatePackage()), saved);
    EXPECT_TRUE(database().IsChecked(DatabaseId::CreateRecord));
    EXPECT_TRUE(
        window->GetItemText(MainId::Status).starts_with("Форма прочитана из ReadMe.htm и QuietLighthouse.zip.sql"_cp));
    EXPECT_EQ(window->GetItemUtf8(MainId::ReadOnlyBox), readme.toStdString());

    dialogs.requests.clear();
    dialogs.answers.push_back(QString());
    Click(*window, MainId::Save);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].proposedName, QStringLiteral("ReadMe.htm"));
    EXPECT_EQ(dialogs.requests[0].startFolder, temp.path());

    ASSERT_TRUE(window->IsItemEnabled(MainId::RestoreForm));
    Click(*window, MainId::RestoreForm);
    EXPECT_EQ(Form(), fresh);

    // Not one of ours: said why, and the form stays as it is.
    FillForm();
    const FormFile filled = Form();
    const QString other = temp.filePath(QStringLiteral("other.htm"));
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html><body>Another page</body></html>");
    file.close();
    dialogs.answers.push_back(other);
    Click(*window, MainId::OpenForm);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QString::fromUtf8("Форма не открыта: не похоже на ReadMe")));
    EXPECT_EQ(Form(), filled);
}

// Files dropped as a file manager drops them: a list of file URLs.
void Drop(CDialog& page, QPoint at, const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(QtWidget(page), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(QtWidget(page), &drop);
}

TEST_F(FormsAndDrafts, DroppedScreenshotsFillTheBoxOrTheFreeSlotsAndRaiseTheCount) {
    SelectTab(1);
    const QPoint onSecond = QtItem(plugin(), PluginId::Screenshot2)->geometry().center();
    Drop(plugin(), onSecond, {QString::fromUtf8("/shots/второй café.jpg")});
    EXPECT_EQ(plugin().GetItemUtf8(PluginId::Screenshot2), "/shots/второй café.jpg");
    EXPECT_EQ(plugin().GetCurSel(PluginId::ScreenshotCount), 2);
    EXPECT_TRUE(plugin().IsItemEnabled(PluginId::Screenshot2));

    // Several files, anywhere on the page: the empty slots in order.
    Drop(plugin(), QPoint(5, 5),
         {QStringLiteral("/shots/a.png"), QStringLiteral("/shots/b.png"), QStringLiteral("/shots/c.png")});
    EXPECT_EQ(plugin().GetItemUtf8(PluginId::Screenshot1), "/shots/a.png");
    EXPECT_EQ(plugin().GetItemUtf8(PluginId::Screenshot2), "/shots/второй café.jpg");
    EXPECT_EQ(plugin().GetItemUtf8(PluginId::Screenshot3), "/shots/b.png");
    EXPECT_EQ(plugin().GetCurSel(PluginId::ScreenshotCount), 3);
    EXPECT_TRUE(plugin().IsItemEnabled(PluginId::BrowseScreenshot3));
}

// A readme dropped on the window, even on the Plugin page, opens as a form
// and fills no screenshot slot.
TEST_F(FormsAndDrafts, ADroppedReadmeOpensAsAForm) {
    plugin().SetItemText(PluginId::Name, "Маяк"_cp);
    const QString readme = temp.filePath(QStringLiteral("ReadMe.htm"));
    dialogs.answers.push_back(readme);
    Click(*window, MainId::Save);
    Click(*window, MainId::New);
    SelectTab(1);
    Drop(plugin(), QPoint(5, 5), {readme, QStringLiteral("/shots/a.png")});
    EXPECT_EQ(plugin().GetItemText(PluginId::Name), "Маяк"_cp);
    EXPECT_EQ(plugin().GetItemUtf8(PluginId::Screenshot1), "");
    Click(*window, MainId::New);
    Drop(*window, QPoint(5, 5), {readme});
    EXPECT_EQ(plugin().GetItemText(PluginId::Name), "Маяк"_cp);
}

// A form opened, or brought back, shows each long path's file name, as the
// browse buttons leave it.
TEST_F(FormsAndDrafts, LongScreenshotPathsShowTheirEndWhateverFilledThem) {
    FormFile file;
    file.form.screenshotCount = 1;
    file.form.screenshotPath[0] = "/home/author/" + std::string(200, 'd') + "/последний.jpg";
    window->ApplyFormFile(file);
    SelectTab(1);
    auto* box = Item<QLineEdit>(plugin(), PluginId::Screenshot1);
    EXPECT_EQ(box->cursorPosition(), box->text().size() - 1);
}

// Save Form proposes the plug-in's name, beside the last form, or the
// last readme before there is one.
TEST_F(FormsAndDrafts, SaveFormProposesThePluginsNameWhereTheReadmeWent) {
    const QString readmes = temp.filePath(QStringLiteral("readmes")), forms = temp.filePath(QStringLiteral("forms"));
    ASSERT_TRUE(QDir().mkpath(readmes) && QDir().mkpath(forms));
    plugin().SetItemText(PluginId::Name, "Маяк: у заводи"_cp);
    dialogs.answers = {readmes + QStringLiteral("/ReadMe.htm"), forms + QStringLiteral("/a.qsform"), QString()};
    Click(*window, MainId::Save);
    Click(*window, MainId::SaveForm);
    Click(*window, MainId::SaveForm);
    ASSERT_EQ(dialogs.requests.size(), 3u);
    EXPECT_EQ(dialogs.requests[1].proposedName, QString::fromUtf8("Маяк_ у заводи.qsform"));
    EXPECT_EQ(dialogs.requests[1].startFolder, readmes);
    EXPECT_EQ(dialogs.requests[2].startFolder, forms);
}

// A long note is cut in its middle, so both its start and its end show;
// the tooltip holds all of it.
TEST_F(FormsAndDrafts, TheStatusLineCutsALongNoteInItsMiddle) {
    const QString folder = BlockStateFolder();
    plugin().SetItemText(PluginId::Name, "Маяк"_cp);
    window->WriteDraft();
    dialogs.answers.push_back(stateHome.filePath(QStringLiteral("form.qsform")));
    window->OnSaveForm();
    auto* status = Item<QLabel>(*window, MainId::Status);
    const QString whole = status->text();
    ASSERT_GT(status->fontMetrics().horizontalAdvance(whole), status->contentsRect().width());
    EXPECT_EQ(status->toolTip(), whole);
    // Drawn as a label holding the text cut in the middle would be.
    QLabel cut(status->fontMetrics().elidedText(whole, Qt::ElideMiddle, status->contentsRect().width()));
    cut.setFont(status->font());
    cut.resize(status->size());
    EXPECT_TRUE(cut.text().startsWith(whole.left(3)) && cut.text().endsWith(whole.right(3)));
    const auto drawn = [](QWidget& label) {
        QImage image(label.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        label.render(&image, {}, {}, QWidget::RenderFlags());
        return image;
    };
    EXPECT_EQ(drawn(*status), drawn(cut));
    ASSERT_TRUE(QFile::remove(folder));
}

}  // namespace
