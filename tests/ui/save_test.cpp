// Save from the window: the record's refusal, the dialog, and the files it
// writes, compared with what the headless renderer writes for the same form.

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "UiTest.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/ReadmeHtml.h"
#include "text/Cp1251.h"

namespace {

std::string ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const QString& path, std::string_view bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

QStringList FilesUnder(const QString& folder) {
    QStringList files;
    QDir dir(folder);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        files << entry;
        if (QFileInfo(dir.filePath(entry)).isDir())
            for (const QString& inner : FilesUnder(dir.filePath(entry))) files << entry + "/" + inner;
    }
    return files;
}

class SaveTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(temp.isValid());
        out = temp.filePath("out");
        ASSERT_TRUE(QDir().mkpath(out));
    }

    void PressSave() { Click(*window, MainId::Save); }

    QTemporaryDir temp;
    QString out;
};

TEST_F(SaveTest, RecordWithoutArchiveSizeRefusesBeforeAnyDialog) {
    SelectTab(3);
    Click(database(), DatabaseId::CreateRecord);
    dialogs.answers.push_back(out + "/ReadMe.htm");
    PressSave();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Q("Не указан размер архива."_cp));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Quillsmith"));
    EXPECT_EQ(dialogs.messages[0].owner, QtWidget(*window));
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_TRUE(FilesUnder(out).isEmpty());
}

TEST_F(SaveTest, TheDialogProposesReadMeAndCancellingWritesNothing) {
    PressSave();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const FileDialogRequest& request = dialogs.requests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.filters, ParseFileFilter(" HTML (*.htm) |*.htm| Все файлы (*.*)| *.* ||"_cp));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("htm"));
    EXPECT_EQ(request.proposedName, QStringLiteral("ReadMe.htm"));
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_EQ(dialogs.owners[0], QtWidget(*window));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(FilesUnder(out).isEmpty());
}

TEST_F(SaveTest, FileErrorsAreShownWithoutIconAndTheRestGoesOn) {
    SelectTab(1);
    Choose(plugin(), PluginId::ScreenshotCount, 2);
    Type(plugin(), PluginId::Screenshot1, temp.filePath("missing.jpg"));
    WriteBytes(temp.filePath("present.jpg"), "JPEG");
    Type(plugin(), PluginId::Screenshot2, temp.filePath("present.jpg"));
    dialogs.answers.push_back(out + "/ReadMe.htm");
    PressSave();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Q("Ошибка открытия файла скриншота 1"_cp));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(ReadBytes(out + "/files/scrins/present.jpg"), "JPEG");
    EXPECT_TRUE(QFileInfo::exists(out + "/ReadMe.htm"));

    // A folder where the readme should go: nothing else is written.
    const QString blocked = temp.filePath("blocked");
    ASSERT_TRUE(QDir().mkpath(blocked + "/ReadMe.htm"));
    dialogs.messages.clear();
    dialogs.answers.push_back(blocked + "/ReadMe.htm");
    PressSave();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Q("Ошибка открытия файла для записи"_cp));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(FilesUnder(blocked), QStringList{"ReadMe.htm"});
}

TEST_F(SaveTest, SaveChangesNothingOnTheForm) {
    SelectTab(1);
    Type(plugin(), PluginId::Name, QStringLiteral("Name"));
    const ReadmeForm before = CaptureReadmeForm(plugin(), extras());
    const DatabaseRecord record = database().CaptureRecord();
    dialogs.answers.push_back(out + "/ReadMe.htm");
    PressSave();
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()), before);
    EXPECT_EQ(database().CaptureRecord(), record);
    EXPECT_EQ(Tabs(*window)->GetCurSel(), 1);
}

// The desktop's side, with no seam answering: a handler of file URLs
// stands in for the browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { opened.push_back(url); }

public:
    std::vector<QUrl> opened;
};

TEST(OpenInBrowser, WithoutASeamTheDesktopOpensTheFileUrl) {
    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "Open");
    const FilePath path = "/tmp/Маяк/ReadMe café.htm";
    EXPECT_TRUE(OpenInBrowser(path));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(QString::fromStdString(path)));
}

TEST_F(SaveTest, TheBoxShowsTheSavedReadmeOrWhichFileFailedAndWhy) {
    QLineEdit* box = Item<QLineEdit>(*window, MainId::ReadOnlyBox);
    const QString missing = temp.filePath(QStringLiteral("missing/ReadMe.htm"));
    const QString notWritten =
        QString::fromUtf8("Не записан ") + missing + QString::fromUtf8(": нет такого файла или папки");
    // No readme written: the box names it and why, and opens nothing.
    dialogs.answers.push_back(missing);
    PressSave();
    EXPECT_EQ(box->text(), notWritten);
    EXPECT_FALSE(box->isEnabled());

    const QString path = out + QString::fromUtf8("/ReadMe café.htm");
    dialogs.answers.push_back(path);
    PressSave();
    EXPECT_EQ(box->text(), path);
    ASSERT_TRUE(box->isEnabled());
    EXPECT_TRUE(box->isReadOnly());
    QTest::mouseClick(box, Qt::LeftButton);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(dialogs.opened.size(), 2u);
    EXPECT_EQ(dialogs.opened[0], path);
    EXPECT_EQ(dialogs.opened[1], path);

    // A failed Save after a good one never leaves the earlier path standing.
    dialogs.answers.push_back(missing);
    PressSave();
    EXPECT_EQ(box->text(), notWritten);
    EXPECT_FALSE(box->isEnabled());
    window->OpenSavedReadme();
    EXPECT_EQ(dialogs.opened.size(), 2u);
}

// The whole road as a user takes it: fill both form pages and the Database
// page, press Save, answer the dialog. The files must equal those the
// renderer writes for a form file holding the same values.
TEST_F(SaveTest, EndToEndWritesWhatTheRendererWritesForTheSameForm) {
    const QString shots = temp.filePath("shots");
    ASSERT_TRUE(QDir().mkpath(shots));
    std::string big(40000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    WriteBytes(shots + "/one.jpg", big);
    WriteBytes(shots + "/two.jpg", "second shot");
    WriteBytes(temp.filePath("Dawn Sword.zip"), std::string(3000, 'z'));

    SelectTab(1);
    Type(plugin(), PluginId::Name, QString::fromUtf8("Меч \"Рассвет\" & <b>"));
    dialogs.answers.push_back("/games/Data Files/Dawn Sword.esp");
    Click(plugin(), PluginId::BrowseFile);
    Type(plugin(), PluginId::Description, QString::fromUtf8("Первая строка"));
    QTest::keyClick(QtItem(plugin(), PluginId::Description), Qt::Key_Return, Qt::ControlModifier);
    Type(plugin(), PluginId::Description, QString::fromUtf8("вторая"));
    QTest::keyClick(QtItem(plugin(), PluginId::Description), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(QtItem(plugin(), PluginId::Description), Qt::Key_Return, Qt::ControlModifier);
    Type(plugin(), PluginId::Description, QString::fromUtf8("абзац"));
    Click(plugin(), PluginId::Tribunal);
    Click(plugin(), PluginId::BsaArchive);
    Click(plugin(), PluginId::RequiresOther);
    Type(plugin(), PluginId::OtherRequirements, QStringLiteral("Other req"));
    Choose(plugin(), PluginId::ScreenshotCount, 2);
    dialogs.answers.push_back(shots + "/one.jpg");
    Click(plugin(), PluginId::BrowseScreenshot1);
    Type(plugin(), PluginId::Screenshot2, shots + "/two.jpg");
    Click(plugin(), PluginId::InstallOther);
    Type(plugin(), PluginId::InstallText, QStringLiteral("Own install"));

    SelectTab(2);
    Click(extras(), ExtrasId::HowToPlayEnabled);
    Type(extras(), ExtrasId::HowToPlay, QStringLiteral("Play it"));
    Type(extras(), ExtrasId::Authors, QString::fromUtf8("Автор: Иван"));
    Click(extras(), ExtrasId::WarningOther);
    Type(extras(), ExtrasId::WarningText, QString::fromUtf8("Осторожно"));

    SelectTab(3);
    Click(database(), DatabaseId::CreateRecord);
    Choose(database(), DatabaseId::Category, 4);
    Choose(database(), DatabaseId::Grade1, 2);
    Choose(database(), DatabaseId::Grade2, 1);
    Type(database(), DatabaseId::AuthorName, QString::fromUtf8("Иван"));
    Type(database(), DatabaseId::AuthorEmail, QStringLiteral("ivan@example.org"));
    dialogs.answers.push_back(temp.filePath("Dawn Sword.zip"));
    Click(database(), DatabaseId::BrowseArchive);
    Click(database(), DatabaseId::SiteHomeLink);
    Item<QLineEdit>(database(), DatabaseId::OriginalLink)->selectAll();
    Type(database(), DatabaseId::OriginalLink, QStringLiteral("http://mods.example.com/dawn"));

    dialogs.answers.push_back(out + "/ReadMe.htm");
    PressSave();
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(dialogs.requests.size(), 4u);

    // The same values, written down independently of the pages.
    const std::string shotsUtf8 = shots.toStdString();
    const nlohmann::json form = {
        {"pluginName", "Меч \"Рассвет\" & <b>"},
        {"pluginFile", "Dawn Sword.esp"},
        {"description", "Первая строка\r\nвторая\r\n\r\nабзац"},
        {"requiresMorrowind", true},
        {"requiresTribunal", true},
        {"requiresBloodmoon", false},
        {"requiresBsaArchive", true},
        {"requiresOther", true},
        {"otherRequirements", "Other req"},
        {"screenshotCount", 2},
        {"screenshotPath", {shotsUtf8 + "/one.jpg", shotsUtf8 + "/two.jpg", ""}},
        {"installStandard", true},
        {"installOther", true},
        {"installText", "Own install"},
        {"uninstallStandard", true},
        {"uninstallOther", false},
        {"uninstallText", ""},
        {"howToPlayEnabled", true},
        {"howToPlay", "Play it"},
        {"authors", "Автор: Иван"},
        {"noteEnabled", false},
        {"note", ""},
        {"warningStandard", false},
        {"warningOther", true},
        {"warningText", "Осторожно"},
        {"writeBackgroundImages", true},
        {"copyScreenshots", true},
        {"database",
         {{"recordWanted", true},
          {"categoryIndex", 4},
          {"archiveName", "Dawn Sword.zip"},
          {"imageName", ""},
          {"authorName", "Иван"},
          {"authorEmail", "ivan@example.org"},
          {"adapterName", ""},
          {"adapterEmail", ""},
          {"archiveSize", "3000"},
          {"originalLink", "http://mods.example.com/dawn"},
          {"grades", {2, 1, 0}}}},
    };
    const QString rendered = temp.filePath("rendered");
    ASSERT_TRUE(QDir().mkpath(rendered));
    WriteBytes(temp.filePath("form.json"), form.dump());
    QProcess render;
    render.setWorkingDirectory(rendered);
    render.start(QStringLiteral(QS_RENDER_PROGRAM),
                 {"--form", temp.filePath("form.json"), "--output", rendered + "/ReadMe.htm"});
    ASSERT_TRUE(render.waitForFinished(20000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();

    const QStringList expected = {"Dawn Sword.zip.sql",
                                  "ReadMe.htm",
                                  "files",
                                  "files/images",
                                  "files/images/img_bk_0.jpg",
                                  "files/images/img_bk_1.jpg",
                                  "files/images/img_bk_2.jpg",
                                  "files/scrins",
                                  "files/scrins/one.jpg",
                                  "files/scrins/two.jpg"};
    EXPECT_EQ(FilesUnder(out), expected);
    EXPECT_EQ(FilesUnder(rendered), expected);
    for (const QString& file : expected) {
        if (QFileInfo(out + "/" + file).isDir()) continue;
        EXPECT_EQ(ReadBytes(out + "/" + file), ReadBytes(rendered + "/" + file)) << file.toStdString();
    }
    EXPECT_EQ(ReadBytes(out + "/files/scrins/one.jpg"), big);
    const std::string readme = ReadBytes(out + "/ReadMe.htm");
    EXPECT_NE(readme.find(std::string("Меч \"Рассвет\" & <b>"_cp)), std::string::npos);
    EXPECT_NE(readme.find("files/scrins/two.jpg"), std::string::npos);
    EXPECT_NE(ReadBytes(out + "/Dawn Sword.zip.sql").find("\"http://mods.example.com/dawn\",\r\n"), std::string::npos);
}

// The dialog's and the browse buttons' answers are names: characters outside
// Windows-1251 reach the file system as they are.
TEST_F(SaveTest, ChosenPathsReachTheFileSystemAsTheyWereChosen) {
    const QString folder = temp.filePath(QString::fromUtf8("Téléchargements"));
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteBytes(temp.filePath(QString::fromUtf8("café.jpg")), "pixels");

    SelectTab(1);
    Choose(plugin(), PluginId::ScreenshotCount, 1);
    dialogs.answers.push_back(temp.filePath(QString::fromUtf8("café.jpg")));
    Click(plugin(), PluginId::BrowseScreenshot1);

    dialogs.answers.push_back(folder + QString::fromUtf8("/ReadMe 日本.htm"));
    PressSave();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(ReadBytes(folder + QString::fromUtf8("/files/scrins/café.jpg")), "pixels");
    EXPECT_NE(ReadBytes(folder + QString::fromUtf8("/ReadMe 日本.htm")).find("files/scrins/caf&#233;.jpg"),
              std::string::npos);
}

}  // namespace

#include "save_test.moc"
