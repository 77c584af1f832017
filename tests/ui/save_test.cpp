// Save from the window: the record's refusal, the dialog, and the files it
// writes, compared with what the headless renderer writes for the same form.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "UiTest.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/Cp1251.h"
#include "readme/ReadmeHtml.h"

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
    for (const QString& entry :
         dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        files << entry;
        if (QFileInfo(dir.filePath(entry)).isDir())
            for (const QString& inner : FilesUnder(dir.filePath(entry)))
                files << entry + "/" + inner;
    }
    return files;
}

class SaveTest : public MainWindowTest {
protected:
    void SetUp() override {
#ifdef QS_PENDING_OUTPUT
        GTEST_SKIP() << "Save's file work is not merged yet";
#endif
        MainWindowTest::SetUp();
        ASSERT_TRUE(temp.isValid());
        out = temp.filePath("out");
        ASSERT_TRUE(QDir().mkpath(out));
    }

    void PressSave() { Click(*window, 1001); }

    QTemporaryDir temp;
    QString out;
};

TEST_F(SaveTest, RecordWithoutArchiveSizeRefusesBeforeAnyDialog) {
    SelectTab(3);
    Click(database(), 1006);
    dialogs.answers.push_back(out + "/ReadMe.htm");
    PressSave();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Q("Не указан размер архива."_cp));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(dialogs.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(dialogs.messages[0].owner, window.get());
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
    EXPECT_EQ(dialogs.owners[0], window.get());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(FilesUnder(out).isEmpty());
}

TEST_F(SaveTest, FileErrorsAreShownWithoutIconAndTheRestGoesOn) {
    SelectTab(1);
    Choose(plugin(), 1011, 2);
    Type(plugin(), 1012, temp.filePath("missing.jpg"));
    WriteBytes(temp.filePath("present.jpg"), "JPEG");
    Type(plugin(), 1020, temp.filePath("present.jpg"));
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
    Type(plugin(), 1025, QStringLiteral("Name"));
    const ReadmeForm before = CaptureReadmeForm(plugin(), extras());
    const DatabaseRecord record = database().CaptureRecord();
    dialogs.answers.push_back(out + "/ReadMe.htm");
    PressSave();
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()), before);
    EXPECT_EQ(database().CaptureRecord(), record);
    EXPECT_EQ(window->tabs()->GetCurSel(), 1);
    EXPECT_TRUE(window->Item<QLineEdit>(1003)->text().isEmpty());
}

}  // namespace
