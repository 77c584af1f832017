// The Extras page (tab 2): the Включить boxes, the warning pair, the write
// options.

#include "UiTest.h"
#include "readme/CaptureReadmeForm.h"
#include "text/Cp1251.h"

namespace {

class ExtrasPageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SelectTab(2);
        ASSERT_TRUE(extras().isVisible());
    }
    bool Enabled(int id) { return extras().IsItemEnabled(id); }
};

TEST_F(ExtrasPageTest, NewStateMatchesTheDefaults) {
    for (int id : {1033, 1016, 1017}) EXPECT_TRUE(extras().IsChecked(id)) << id;
    for (int id : {1020, 1018, 1034}) EXPECT_FALSE(extras().IsChecked(id)) << id;
    for (int id : {1019, 1031, 1032, 1035}) EXPECT_EQ(extras().GetItemText(id), "") << id;
    EXPECT_TRUE(Enabled(1031));
    for (int id : {1019, 1032, 1035}) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(ExtrasPageTest, EachIncludeBoxEnablesItsTextAndKeepsWhatWasTyped) {
    struct Case {
        int box, edit;
    } cases[] = {{1020, 1019}, {1018, 1032}};
    for (const Case& c : cases) {
        Click(extras(), c.box);
        EXPECT_TRUE(Enabled(c.edit)) << c.edit;
        Type(extras(), c.edit, QString::fromUtf8("Текст"));
        Click(extras(), c.box);
        EXPECT_FALSE(Enabled(c.edit)) << c.edit;
        EXPECT_EQ(extras().GetItemText(c.edit), Text("Текст"_cp));
    }
}

// 1033 "Стандартное" and 1034 "Другое": like radio buttons that may both be off.
TEST_F(ExtrasPageTest, WarningPairAllowsAtMostOneBox) {
    struct Step {
        int click;
        bool standard, other, textEnabled;
    };
    const std::vector<std::vector<Step>> sequences = {
        // Другое takes over from Стандартное, and back.
        {{1034, false, true, true}, {1033, true, false, false}},
        // Unchecking the only checked box leaves both off.
        {{1034, false, true, true}, {1034, false, false, false}, {1034, false, true, true}},
        {{1033, false, false, false}, {1033, true, false, false}},
        {{1033, false, false, false}, {1034, false, true, true}, {1033, true, false, false}},
    };
    for (std::size_t s = 0; s < sequences.size(); ++s) {
        window->OnNew();
        for (const Step& step : sequences[s]) {
            Click(extras(), step.click);
            EXPECT_EQ(extras().IsChecked(1033), step.standard)
                << "sequence " << s << " click " << step.click;
            EXPECT_EQ(extras().IsChecked(1034), step.other)
                << "sequence " << s << " click " << step.click;
            EXPECT_EQ(Enabled(1035), step.textEnabled)
                << "sequence " << s << " click " << step.click;
        }
    }
}

TEST_F(ExtrasPageTest, OwnWarningTextSurvivesTheSwitchBack) {
    Click(extras(), 1034);
    Type(extras(), 1035, QStringLiteral("Mind the gap"));
    Click(extras(), 1033);
    EXPECT_FALSE(Enabled(1035));
    EXPECT_EQ(extras().GetItemText(1035), "Mind the gap");
    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    EXPECT_TRUE(form.warningStandard);
    EXPECT_FALSE(form.warningOther);
    EXPECT_EQ(form.warningText, "Mind the gap");
}

TEST_F(ExtrasPageTest, WriteOptionsOnlyToggle) {
    Click(extras(), 1016);
    Click(extras(), 1017);
    const ReadmeForm form = CaptureReadmeForm(plugin(), extras());
    EXPECT_FALSE(form.writeBackgroundImages);
    EXPECT_FALSE(form.copyScreenshots);
    for (int id : {1019, 1032, 1035}) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(1031));
}

TEST_F(ExtrasPageTest, NewRestoresEverythingAfterEdits) {
    Click(extras(), 1020);
    Click(extras(), 1018);
    Click(extras(), 1034);
    Type(extras(), 1031, QStringLiteral("Authors"));
    Click(extras(), 1016);
    window->OnNew();
    ReadmeForm expected = NewReadmeForm();
    EXPECT_EQ(CaptureReadmeForm(plugin(), extras()), expected);
    for (int id : {1019, 1032, 1035}) EXPECT_FALSE(Enabled(id)) << id;
}

}  // namespace
