// The Extras page (tab 2): the Включить boxes, the warning pair, the write
// options.

#include <QFile>
#include <QTemporaryDir>

#include "UiTest.h"
#include "formats/ReleaseTexts.h"
#include "readme/CaptureReadmeForm.h"
#include "text/Cp1251.h"

namespace {

// The texts a box enables; the authors' text has none.
constexpr ExtrasId kSwitchedTexts[] = {ExtrasId::HowToPlay, ExtrasId::Note, ExtrasId::WarningText};

class ExtrasPageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SelectTab(2);
        ASSERT_TRUE(QtWidget(extras())->isVisible());
    }
    bool Enabled(ExtrasId id) { return extras().IsItemEnabled(id); }
};

TEST_F(ExtrasPageTest, NewStateMatchesTheDefaults) {
    for (ExtrasId id : {ExtrasId::WarningStandard, ExtrasId::WriteBackgroundImages, ExtrasId::CopyScreenshots})
        EXPECT_TRUE(extras().IsChecked(id)) << id;
    for (ExtrasId id : {ExtrasId::HowToPlayEnabled, ExtrasId::NoteEnabled, ExtrasId::WarningOther})
        EXPECT_FALSE(extras().IsChecked(id)) << id;
    for (ExtrasId id : {ExtrasId::HowToPlay, ExtrasId::Authors, ExtrasId::Note, ExtrasId::WarningText})
        EXPECT_EQ(extras().GetItemText(id), "") << id;
    EXPECT_TRUE(Enabled(ExtrasId::Authors));
    for (ExtrasId id : kSwitchedTexts) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(ExtrasPageTest, EachIncludeBoxEnablesItsTextAndKeepsWhatWasTyped) {
    struct Case {
        ExtrasId box, edit;
    } cases[] = {{ExtrasId::HowToPlayEnabled, ExtrasId::HowToPlay}, {ExtrasId::NoteEnabled, ExtrasId::Note}};
    for (const Case& c : cases) {
        Click(extras(), c.box);
        EXPECT_TRUE(Enabled(c.edit)) << c.edit;
        Type(extras(), c.edit, QString::fromUtf8("Текст"));
        Click(extras(), c.box);
        EXPECT_FALSE(Enabled(c.edit)) << c.edit;
        EXPECT_EQ(extras().GetItemText(c.edit), Text("Текст"_cp));
    }
}

// "Стандартное" and "Другое": like radio buttons that may both be off.
TEST_F(ExtrasPageTest, WarningPairAllowsAtMostOneBox) {
    struct Step {
        ExtrasId click;
        bool standard, other, textEnabled;
    };
    constexpr ExtrasId kStandard = ExtrasId::WarningStandard, kOther = ExtrasId::WarningOther;
    const std::vector<std::vector<Step>> sequences = {
        // Другое takes over from Стандартное, and back.
        {{kOther, false, true, true}, {kStandard, true, false, false}},
        // Unchecking the only checked box leaves both off.
        {{kOther, false, true, true}, {kOther, false, false, false}, {kOther, false, true, true}},
        {{kStandard, false, false, false}, {kStandard, true, false, false}},
        {{kStandard, false, false, false}, {kOther, false, true, true}, {kStandard, true, false, false}},
    };
    for (std::size_t s = 0; s < sequences.size(); ++s) {
        window->OnNew();
        for (const Step& step : sequences[s]) {
            Click(extras(), step.click);
            EXPECT_EQ(extras().IsChecked(kStandard), step.standard) << "sequence " << s << " click " << step.click;
            EXPECT_EQ(extras().IsChecked(kOther), step.other) << "sequence " << s << " click " << step.click;
            EXPECT_EQ(Enabled(ExtrasId::WarningText), step.textEnabled) << "sequence " << s << " click " << step.click;
        }
    }
}

TEST_F(ExtrasPageTest, OwnWarningTextSurvivesTheSwitchBack) {
    Click(extras(), ExtrasId::WarningOther);
    Type(extras(), ExtrasId::WarningText, QStringLiteral("Mind the gap"));
    Click(extras(), ExtrasId::WarningStandard);
    EXPECT_FALSE(Enabled(ExtrasId::WarningText));
    EXPECT_EQ(extras().GetItemText(ExtrasId::WarningText), "Mind the gap");
    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    EXPECT_TRUE(form.warningStandard);
    EXPECT_FALSE(form.warningOther);
    EXPECT_EQ(form.warningText, "Mind the gap");
}

TEST_F(ExtrasPageTest, WriteOptionsOnlyToggle) {
    Click(extras(), ExtrasId::WriteBackgroundImages);
    Click(extras(), ExtrasId::CopyScreenshots);
    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    EXPECT_FALSE(form.writeBackgroundImages);
    EXPECT_FALSE(form.copyScreenshots);
    for (ExtrasId id : kSwitchedTexts) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(ExtrasId::Authors));
}

TEST_F(ExtrasPageTest, NewRestoresEverythingAfterEdits) {
    Click(extras(), ExtrasId::HowToPlayEnabled);
    Click(extras(), ExtrasId::NoteEnabled);
    Click(extras(), ExtrasId::WarningOther);
    Type(extras(), ExtrasId::Authors, QStringLiteral("Authors"));
    Click(extras(), ExtrasId::WriteBackgroundImages);
    Click(extras(), ExtrasId::KeepLineBreaks);
    window->OnNew();
    ReadmeForm expected = NewReadmeForm();
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()), expected);
    for (ExtrasId id : kSwitchedTexts) EXPECT_FALSE(Enabled(id)) << id;
}

// The option sits in the write options' frame beside them, off after New,
// and decides what a line typed with Ctrl+Enter becomes in the saved readme.
TEST_F(ExtrasPageTest, KeepLineBreaksBoxSitsBesideTheWriteOptionsAndDecidesTheReadmesBreaks) {
    auto* box = Item<QAbstractButton>(extras(), ExtrasId::KeepLineBreaks);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QString::fromUtf8("Сохранять переносы строк"));
    EXPECT_FALSE(extras().IsChecked(ExtrasId::KeepLineBreaks));
    EXPECT_TRUE(box->parentWidget()->rect().contains(box->geometry()));
    for (ExtrasId other : {ExtrasId::WriteBackgroundImages, ExtrasId::CopyScreenshots, ExtrasId::WarningText}) {
        const QRect theirs = QtItem(extras(), other)->geometry();
        EXPECT_FALSE(box->geometry().intersects(theirs)) << other;
    }
    EXPECT_EQ(box->geometry().top(), QtItem(extras(), ExtrasId::WriteBackgroundImages)->geometry().top());

    Type(extras(), ExtrasId::Authors, QStringLiteral("Ann"));
    QTest::keyClick(QtItem(extras(), ExtrasId::Authors), Qt::Key_Return, Qt::ControlModifier);
    Type(extras(), ExtrasId::Authors, QStringLiteral("Bob"));
    QTemporaryDir out;
    const auto saved = [&] {
        dialogs.answers.push_back(out.filePath(QStringLiteral("ReadMe.htm")));
        window->OnSave();
        QFile file(out.filePath(QStringLiteral("ReadMe.htm")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray joined = saved();
    EXPECT_TRUE(joined.contains("Ann Bob"));
    Click(extras(), ExtrasId::KeepLineBreaks);
    EXPECT_TRUE(CaptureReadmeForm(plugin(), extras()).keepLineBreaks);
    const QByteArray kept = saved();
    EXPECT_TRUE(kept.contains("Ann<br>Bob"));
    EXPECT_EQ(QByteArray(kept).replace("Ann<br>Bob", "Ann Bob"), joined);
    Click(extras(), ExtrasId::KeepLineBreaks);
    EXPECT_EQ(saved(), joined);
}

// Below the line-breaks box, off in a new form; Save writes the plain text
// beside the readme only while it is on.
TEST_F(ExtrasPageTest, ReadmeTextBoxSitsBelowTheBreaksBoxAndAddsTheTextToSave) {
    auto* box = Item<QAbstractButton>(extras(), ExtrasId::WriteReadmeText);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(box->parentWidget()->rect().contains(box->geometry()));
    const QRect breaks = QtItem(extras(), ExtrasId::KeepLineBreaks)->geometry();
    EXPECT_EQ(box->geometry().left(), breaks.left());
    EXPECT_EQ(box->geometry().top(), QtItem(extras(), ExtrasId::CopyScreenshots)->geometry().top());
    EXPECT_FALSE(box->geometry().intersects(QtItem(extras(), ExtrasId::CopyScreenshots)->geometry()));

    Type(extras(), ExtrasId::Authors, QStringLiteral("Ann"));
    QTemporaryDir out;
    const QString text = out.filePath(QStringLiteral("ReadMe.txt"));
    dialogs.answers.push_back(out.filePath(QStringLiteral("ReadMe.htm")));
    window->OnSave();
    EXPECT_FALSE(QFile::exists(text));
    Click(extras(), ExtrasId::WriteReadmeText);
    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    EXPECT_TRUE(form.writeReadmeText);
    dialogs.answers.push_back(out.filePath(QStringLiteral("ReadMe.htm")));
    window->OnSave();
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), BuildReadmeText(form, window->templatePackage()));
}

}  // namespace
