// The Database page (tab 3): the record switch, the link box, the digit
// filter and the two browse buttons.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "UiTest.h"
#include "text/Cp1251.h"

namespace {

constexpr int kRecordFields[] = {1033, 1007, 1028, 1034, 1035, 1008, 1026,
                                 1029, 1030, 1031, 1012, 1014, 1013, 1009};

class DatabasePageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SelectTab(3);
        ASSERT_TRUE(database().isVisible());
    }
    bool Enabled(int id) { return database().IsItemEnabled(id); }
    QLineEdit* SizeEdit() { return database().Item<QLineEdit>(1008); }
};

TEST_F(DatabasePageTest, NewStateMatchesTheDefaults) {
    EXPECT_FALSE(database().IsChecked(1006));
    EXPECT_TRUE(database().IsChecked(1009));
    for (int id : kRecordFields) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(1032));
    EXPECT_EQ(database().GetItemText(1032), Text(kSiteHomeUrl));
    EXPECT_EQ(database().GetCurSel(1033), 0);
    EXPECT_EQ(database().Item<QComboBox>(1033)->currentText(), Q("Доспехи"_cp));
    for (int id : {1012, 1014, 1013}) {
        EXPECT_EQ(database().GetCurSel(id), 0) << id;
        EXPECT_EQ(database().Item<QComboBox>(id)->currentText(), Q("Бронза"_cp));
    }
    // The mirrors are never switched.
    EXPECT_TRUE(Enabled(1036));
    EXPECT_TRUE(Enabled(1037));
    EXPECT_EQ(database().CaptureRecord(), NewDatabaseRecord());
}

TEST_F(DatabasePageTest, ListsHoldTheCategoriesAndGradesAndTakeNoTypedText) {
    auto* category = database().Item<QComboBox>(1033);
    EXPECT_EQ(category->count(), 14);
    EXPECT_EQ(category->itemText(13), Q("Плагины ПАКЕТЫ"_cp));
    EXPECT_FALSE(category->isEditable());
    for (int id : {1012, 1014, 1013}) {
        auto* grades = database().Item<QComboBox>(id);
        EXPECT_FALSE(grades->isEditable());
        EXPECT_EQ(grades->count(), 3);
        EXPECT_EQ(grades->itemText(2), Q("Золото"_cp));
    }
}

TEST_F(DatabasePageTest, RecordSwitchAndLinkBox) {
    Click(database(), 1006);
    for (int id : kRecordFields) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(1032));

    Click(database(), 1009);
    EXPECT_TRUE(Enabled(1032));
    EXPECT_EQ(database().GetItemText(1032), Text(kSiteHomeUrl));
    database().Item<QLineEdit>(1032)->selectAll();
    Type(database(), 1032, QStringLiteral("http://mods.example.com/sword"));
    EXPECT_EQ(database().CaptureRecord().originalLink, "http://mods.example.com/sword");

    // Unchecking the switch disables the link whatever 1009 says.
    Click(database(), 1006);
    EXPECT_FALSE(Enabled(1032));
    EXPECT_FALSE(Enabled(1009));
    Click(database(), 1006);
    EXPECT_TRUE(Enabled(1032));
    EXPECT_EQ(database().GetItemText(1032), "http://mods.example.com/sword");

    Click(database(), 1009);
    EXPECT_FALSE(Enabled(1032));
    EXPECT_EQ(database().GetItemText(1032), Text(kSiteHomeUrl));
}

TEST_F(DatabasePageTest, SizeKeepsOnlyDigitsWithOneBeepPerCut) {
    Click(database(), 1006);
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
        Type(database(), 1008, c.typed);
        EXPECT_EQ(database().GetItemText(1008), c.expected) << c.typed.toStdString();
        EXPECT_EQ(dialogs.beeps, c.beeps) << c.typed.toStdString();
        EXPECT_EQ(SizeEdit()->cursorPosition(), static_cast<int>(c.expected.size()));
    }
}

TEST_F(DatabasePageTest, PastedSizeIsCutToItsDigitsAndEmptyingDoesNotBeep) {
    Click(database(), 1006);
    Type(database(), 1008, QStringLiteral("5"));
    SizeEdit()->setCursorPosition(0);
    // A paste lands as one insertion; the Russian locale groups digits with
    // narrow no-break spaces.
    SizeEdit()->insert(QString::fromUtf8("1\u202F048\u202F576 "));
    EXPECT_EQ(database().GetItemText(1008), "10485765");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(SizeEdit()->cursorPosition(), 8);
    SizeEdit()->selectAll();
    QTest::keyClick(SizeEdit(), Qt::Key_Delete);
    EXPECT_EQ(database().GetItemText(1008), "");
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

    Click(database(), 1006);
    dialogs.answers.push_back(path);
    Click(database(), 1035);
    const QString name = QString::fromUtf8("Новый меч café.zip");
    EXPECT_EQ(database().Item<QLineEdit>(1034)->text(), name);
    EXPECT_EQ(database().Item<QLineEdit>(1034)->cursorPosition(), name.size() - 1);
    EXPECT_EQ(database().CaptureRecord().archiveName, name.toStdString());
    EXPECT_EQ(database().GetItemText(1008), "1048576");
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(
        dialogs.requests.back().filters,
        ParseFileFilter(" Файлы архивов (*.rar; *.zip) |*.rar; *.zip| Все файлы (*.*)|*.*||"_cp));
    EXPECT_EQ(dialogs.owners.back(), &database());

    // An archive that cannot be opened leaves the size empty, silently.
    dialogs.answers.push_back(dir.filePath(QStringLiteral("missing.rar")));
    Click(database(), 1035);
    EXPECT_EQ(database().GetItemText(1034), "missing.rar");
    EXPECT_EQ(database().GetItemText(1008), "");
    EXPECT_TRUE(dialogs.messages.empty());

    // Cancelling keeps both texts.
    Type(database(), 1008, QStringLiteral("77"));
    dialogs.answers.push_back(QString());
    Click(database(), 1035);
    EXPECT_EQ(database().GetItemText(1034), "missing.rar");
    EXPECT_EQ(database().GetItemText(1008), "77");
}

TEST_F(DatabasePageTest, ImageBrowseKeepsOnlyTheNameWithTheCaretBeforeItsEnd) {
    Click(database(), 1006);
    dialogs.answers.push_back(QStringLiteral("/pictures/site/small_shot.jpg"));
    Click(database(), 1028);
    EXPECT_EQ(database().GetItemText(1007), "small_shot.jpg");
    EXPECT_EQ(database().Item<QLineEdit>(1007)->cursorPosition(), 13);
    EXPECT_EQ(
        dialogs.requests.back().filters,
        ParseFileFilter(
            " Файлы изображений (*.gif; *.jpg; *.jpeg) |*.gif; *.jpg; *.jpeg| Все файлы (*.*)|*.*||"_cp));
    dialogs.answers.push_back(QString());
    Click(database(), 1028);
    EXPECT_EQ(database().GetItemText(1007), "small_shot.jpg");
}

TEST_F(DatabasePageTest, CaptureReadsGradesInTheRecordsOrder) {
    Click(database(), 1006);
    Choose(database(), 1033, 13);
    Choose(database(), 1012, 2);
    Choose(database(), 1013, 0);
    Choose(database(), 1014, 1);
    Type(database(), 1026, QString::fromUtf8("Иван \"Кузнец\""));
    Type(database(), 1029, QStringLiteral("smith@example.org"));
    Type(database(), 1030, QStringLiteral("Adapter"));
    Type(database(), 1031, QStringLiteral("adapter@example.com"));
    Type(database(), 1008, QStringLiteral("42"));
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
