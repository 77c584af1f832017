// The Database page (tab 3): the record switch, the link box, the digit
// filter and the two browse buttons.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "UiTest.h"
#include "text/Cp1251.h"

namespace {

// What the record switch enables, the original link apart.
constexpr DatabaseId kRecordFields[] = {
    DatabaseId::Category,      DatabaseId::Image,        DatabaseId::BrowseImage, DatabaseId::Archive,
    DatabaseId::BrowseArchive, DatabaseId::ArchiveSize,  DatabaseId::AuthorName,  DatabaseId::AuthorEmail,
    DatabaseId::AdapterName,   DatabaseId::AdapterEmail, DatabaseId::Grade1,      DatabaseId::Grade2,
    DatabaseId::Grade3,        DatabaseId::SiteHomeLink,
};
constexpr DatabaseId kGrades[] = {DatabaseId::Grade1, DatabaseId::Grade2, DatabaseId::Grade3};

class DatabasePageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SelectTab(3);
        ASSERT_TRUE(QtWidget(database())->isVisible());
    }
    bool Enabled(DatabaseId id) { return database().IsItemEnabled(id); }
    QLineEdit* SizeEdit() { return Item<QLineEdit>(database(), DatabaseId::ArchiveSize); }
};

TEST_F(DatabasePageTest, NewStateMatchesTheDefaults) {
    EXPECT_FALSE(database().IsChecked(DatabaseId::CreateRecord));
    EXPECT_TRUE(database().IsChecked(DatabaseId::SiteHomeLink));
    for (DatabaseId id : kRecordFields) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(DatabaseId::OriginalLink));
    EXPECT_EQ(database().GetItemText(DatabaseId::OriginalLink), Text(kSiteHomeUrl));
    EXPECT_EQ(database().GetCurSel(DatabaseId::Category), 0);
    EXPECT_EQ(Item<QComboBox>(database(), DatabaseId::Category)->currentText(), Q("Доспехи"_cp));
    for (DatabaseId id : kGrades) {
        EXPECT_EQ(database().GetCurSel(id), 0) << id;
        EXPECT_EQ(Item<QComboBox>(database(), id)->currentText(), Q("Бронза"_cp));
    }
    // The mirrors are never switched.
    EXPECT_TRUE(Enabled(DatabaseId::NameMirror));
    EXPECT_TRUE(Enabled(DatabaseId::DescriptionMirror));
    // They take no typing, and say so by their colour, as Windows draws them.
    for (const DatabaseId id : {DatabaseId::NameMirror, DatabaseId::DescriptionMirror}) {
        const QPalette& colours = QtItem(database(), id)->palette();
        EXPECT_EQ(colours.color(QPalette::Base), colours.color(QPalette::Window)) << id;
    }
    EXPECT_EQ(database().CaptureRecord(), NewDatabaseRecord());
}

TEST_F(DatabasePageTest, ListsHoldTheCategoriesAndGradesAndTakeNoTypedText) {
    auto* category = Item<QComboBox>(database(), DatabaseId::Category);
    EXPECT_EQ(category->count(), 14);
    EXPECT_EQ(category->itemText(13), Q("Плагины ПАКЕТЫ"_cp));
    EXPECT_FALSE(category->isEditable());
    for (DatabaseId id : kGrades) {
        auto* grades = Item<QComboBox>(database(), id);
        EXPECT_FALSE(grades->isEditable());
        EXPECT_EQ(grades->count(), 3);
        EXPECT_EQ(grades->itemText(2), Q("Золото"_cp));
    }
}

TEST_F(DatabasePageTest, RecordSwitchAndLinkBox) {
    Click(database(), DatabaseId::CreateRecord);
    for (DatabaseId id : kRecordFields) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(DatabaseId::OriginalLink));

    Click(database(), DatabaseId::SiteHomeLink);
    EXPECT_TRUE(Enabled(DatabaseId::OriginalLink));
    EXPECT_EQ(database().GetItemText(DatabaseId::OriginalLink), Text(kSiteHomeUrl));
    Item<QLineEdit>(database(), DatabaseId::OriginalLink)->selectAll();
    Type(database(), DatabaseId::OriginalLink, QStringLiteral("http://mods.example.com/sword"));
    EXPECT_EQ(database().CaptureRecord().originalLink, "http://mods.example.com/sword");

    // Unchecking the switch disables the link whatever the home-page box says.
    Click(database(), DatabaseId::CreateRecord);
    EXPECT_FALSE(Enabled(DatabaseId::OriginalLink));
    EXPECT_FALSE(Enabled(DatabaseId::SiteHomeLink));
    Click(database(), DatabaseId::CreateRecord);
    EXPECT_TRUE(Enabled(DatabaseId::OriginalLink));
    EXPECT_EQ(database().GetItemText(DatabaseId::OriginalLink), "http://mods.example.com/sword");

    Click(database(), DatabaseId::SiteHomeLink);
    EXPECT_FALSE(Enabled(DatabaseId::OriginalLink));
    EXPECT_EQ(database().GetItemText(DatabaseId::OriginalLink), Text(kSiteHomeUrl));
}

TEST_F(DatabasePageTest, SizeKeepsOnlyDigitsWithOneBeepPerCut) {
    Click(database(), DatabaseId::CreateRecord);
    struct Case {
        QString typed;
        Text expected;
        int beeps;
    } cases[] = {
        {QStringLiteral("12a3"), "123", 1},
        {QStringLiteral("1048576"), "1048576", 0},
        {QString::fromUtf8("9 ж-1"), "91", 3},
        // Only digits the user typed: "&#8239;" must not bring its own.
        {QString::fromUtf8("1\u202F048\u202F576"), "1048576", 2},
        {QString::fromUtf8("2\u00A0048"), "2048", 1},
    };
    for (const Case& c : cases) {
        SizeEdit()->clear();
        dialogs.beeps = 0;
        Type(database(), DatabaseId::ArchiveSize, c.typed);
        EXPECT_EQ(database().GetItemText(DatabaseId::ArchiveSize), c.expected) << c.typed.toStdString();
        EXPECT_EQ(dialogs.beeps, c.beeps) << c.typed.toStdString();
        EXPECT_EQ(SizeEdit()->cursorPosition(), static_cast<int>(c.expected.size()));
    }
}

TEST_F(DatabasePageTest, PastedSizeIsCutToItsDigitsAndEmptyingDoesNotBeep) {
    Click(database(), DatabaseId::CreateRecord);
    Type(database(), DatabaseId::ArchiveSize, QStringLiteral("5"));
    SizeEdit()->setCursorPosition(0);
    // A paste lands as one insertion; the Russian locale groups digits with
    // narrow no-break spaces.
    SizeEdit()->insert(QString::fromUtf8("1\u202F048\u202F576 "));
    EXPECT_EQ(database().GetItemText(DatabaseId::ArchiveSize), "10485765");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(SizeEdit()->cursorPosition(), 8);
    SizeEdit()->selectAll();
    QTest::keyClick(SizeEdit(), Qt::Key_Delete);
    EXPECT_EQ(database().GetItemText(DatabaseId::ArchiveSize), "");
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(DatabasePageTest, ArchiveBrowseFillsNameAndSizeFromTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QString::fromUtf8("Новый меч café.zip"));
    QFile archive(path);
    ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
    ASSERT_TRUE(archive.resize(1048576));
    archive.close();

    Click(database(), DatabaseId::CreateRecord);
    dialogs.answers.push_back(path);
    Click(database(), DatabaseId::BrowseArchive);
    const QString name = QString::fromUtf8("Новый меч café.zip");
    EXPECT_EQ(Item<QLineEdit>(database(), DatabaseId::Archive)->text(), name);
    EXPECT_EQ(Item<QLineEdit>(database(), DatabaseId::Archive)->cursorPosition(), name.size() - 1);
    EXPECT_EQ(database().CaptureRecord().archiveName, name.toStdString());
    EXPECT_EQ(database().GetItemText(DatabaseId::ArchiveSize), "1048576");
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(dialogs.requests.back().filters,
              ParseFileFilter(" Файлы архивов (*.rar; *.zip) |*.rar; *.zip| Все файлы (*.*)|*.*||"_cp));
    EXPECT_EQ(dialogs.owners.back(), QtWidget(database()));

    // An archive that cannot be opened leaves the size empty, silently.
    dialogs.answers.push_back(dir.filePath(QStringLiteral("missing.rar")));
    Click(database(), DatabaseId::BrowseArchive);
    EXPECT_EQ(database().GetItemText(DatabaseId::Archive), "missing.rar");
    EXPECT_EQ(database().GetItemText(DatabaseId::ArchiveSize), "");
    EXPECT_TRUE(dialogs.messages.empty());

    // Cancelling keeps both texts.
    Type(database(), DatabaseId::ArchiveSize, QStringLiteral("77"));
    dialogs.answers.push_back(QString());
    Click(database(), DatabaseId::BrowseArchive);
    EXPECT_EQ(database().GetItemText(DatabaseId::Archive), "missing.rar");
    EXPECT_EQ(database().GetItemText(DatabaseId::ArchiveSize), "77");
}

TEST_F(DatabasePageTest, ImageBrowseKeepsOnlyTheNameWithTheCaretBeforeItsEnd) {
    Click(database(), DatabaseId::CreateRecord);
    dialogs.answers.push_back(QStringLiteral("/pictures/site/small_shot.jpg"));
    Click(database(), DatabaseId::BrowseImage);
    EXPECT_EQ(database().GetItemText(DatabaseId::Image), "small_shot.jpg");
    EXPECT_EQ(Item<QLineEdit>(database(), DatabaseId::Image)->cursorPosition(), 13);
    EXPECT_EQ(
        dialogs.requests.back().filters,
        ParseFileFilter(" Файлы изображений (*.gif; *.jpg; *.jpeg) |*.gif; *.jpg; *.jpeg| Все файлы (*.*)|*.*||"_cp));
    dialogs.answers.push_back(QString());
    Click(database(), DatabaseId::BrowseImage);
    EXPECT_EQ(database().GetItemText(DatabaseId::Image), "small_shot.jpg");
}

TEST_F(DatabasePageTest, CaptureReadsGradesInTheRecordsOrder) {
    Click(database(), DatabaseId::CreateRecord);
    Choose(database(), DatabaseId::Category, 13);
    Choose(database(), DatabaseId::Grade1, 2);
    Choose(database(), DatabaseId::Grade3, 0);
    Choose(database(), DatabaseId::Grade2, 1);
    Type(database(), DatabaseId::AuthorName, QString::fromUtf8("Иван \"Кузнец\""));
    Type(database(), DatabaseId::AuthorEmail, QStringLiteral("smith@example.org"));
    Type(database(), DatabaseId::AdapterName, QStringLiteral("Adapter"));
    Type(database(), DatabaseId::AdapterEmail, QStringLiteral("adapter@example.com"));
    Type(database(), DatabaseId::ArchiveSize, QStringLiteral("42"));
    const DatabaseRecord record = database().CaptureRecord();
    EXPECT_TRUE(record.recordWanted);
    EXPECT_EQ(record.categoryIndex, 13);
    EXPECT_EQ(record.grades, (std::array<int, 3>{2, 1, 0}));
    EXPECT_EQ(record.authorName, Text("Иван \"Кузнец\""_cp));
    EXPECT_EQ(record.authorEmail, "smith@example.org");
    EXPECT_EQ(record.adapterName, "Adapter");
    EXPECT_EQ(record.adapterEmail, "adapter@example.com");
    EXPECT_EQ(record.archiveSize, "42");
    EXPECT_EQ(record.originalLink, Text(kSiteHomeUrl));
}

}  // namespace
