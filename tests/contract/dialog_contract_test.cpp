// What every platform layer's CDialog promises the pages, checked through
// the shared interface alone: the same cases run on Qt and on Win32.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UserActions.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "text/Cp1251.h"

namespace {

enum : int { kFrame = 10, kLine, kLines, kCombo, kList, kCheck, kButton, kTabs, kSecond, kMissing = 99 };

constexpr ControlSpec kLayout[] = {
    {kFrame, ControlKind::GroupBox, "Рамка"_cp, {4, 4, 200, 90}},
    {kLine, ControlKind::Edit, {}, {10, 16, 90, 12}, kStyleNone, 1},
    {kLines, ControlKind::MultiLineEdit, {}, {10, 32, 90, 30}, kStyleNone, 3},
    {kSecond, ControlKind::Edit, {}, {110, 16, 90, 12}, kStyleNone, 2},
    {kCombo, ControlKind::DropDownCombo, {}, {4, 100, 90, 60}, kStyleNone, 4},
    {kList, ControlKind::ListBox, {}, {100, 100, 100, 40}, kStyleNone, 5},
    {kCheck, ControlKind::CheckBox, "Флажок"_cp, {4, 150, 90, 10}, kStyleNone, 6},
    {kButton, ControlKind::PushButton, "Кнопка"_cp, {100, 150, 50, 14}},
    {kTabs, ControlKind::TabControl, {}, {4, 170, 200, 30}},
};

class Dialog : public CDialog {
public:
    Dialog() {
        EXPECT_TRUE(InitControls());
        EXPECT_TRUE(CreateTopLevel("Проверка"_cp, {0, 0, 210, 205}));
        CreateControls(kLayout);
        AddComboItems(kCombo, {"один"_cp, "два"_cp, "три"_cp});
        InsertTab(kTabs, 0, "Первая"_cp);
        InsertTab(kTabs, 1, "Вторая"_cp);
        OnChanged([this] { ++changed; });
    }
    using CDialog::OnClicked;
    using CDialog::OnSelChange;
    using CDialog::OnSelChanging;
    using CDialog::OnTextChange;

    int changed = 0;
};

TEST(DialogContract, TextsCrossAsWindows1251OrUtf8WithCrLfLineBreaks) {
    Dialog dialog;
    dialog.SetItemText(kLine, "Маяк у заводи"_cp);
    EXPECT_EQ(dialog.GetItemText(kLine), Text("Маяк у заводи"_cp));
    dialog.SetItemText(kLines, "a\nb\rc\r\nd"_cp);
    EXPECT_EQ(dialog.GetItemText(kLines), Text("a\r\nb\r\nc\r\nd"));
    dialog.SetItemUtf8(kLine, "日x");
    EXPECT_EQ(dialog.GetItemUtf8(kLine), "日x");
    EXPECT_EQ(dialog.GetItemText(kLine), Text("&#26085;x"));
    EXPECT_EQ(dialog.GetItemTextLength(kLine), 2);
    EXPECT_EQ(dialog.GetItemText(kButton), Text("Кнопка"_cp));

    dialog.SetItemText(kLines, "");
    dialog.ReplaceItemText(kLines, "набрано"_cp);
    EXPECT_EQ(dialog.GetItemText(kLines), Text("набрано"_cp));
    EXPECT_TRUE(dialog.CanUndo(kLines));
    dialog.EditItem(kLines, EditCommand::Undo);
    EXPECT_EQ(dialog.GetItemText(kLines), Text());

    // A page without the control: every access does nothing.
    dialog.SetItemText(kMissing, "x");
    dialog.SetCheck(kMissing, true);
    dialog.SetCurSel(kMissing, 1);
    EXPECT_EQ(dialog.GetDlgItem(kMissing), nullptr);
    EXPECT_EQ(dialog.GetItemText(kMissing), Text());
    EXPECT_FALSE(dialog.IsChecked(kMissing));
    EXPECT_EQ(dialog.GetCurSel(kMissing), -1);
}

TEST(DialogContract, TheProgramsSelectionsAndStatesRunNoHandler) {
    Dialog dialog;
    int handled = 0;
    for (int id : {kCombo, kTabs}) dialog.OnSelChange(id, [&handled] { ++handled; });
    dialog.OnClicked(kCheck, [&handled] { ++handled; });
    dialog.SetCurSel(kCombo, 2);
    EXPECT_EQ(dialog.GetCurSel(kCombo), 2);
    dialog.SetListItems(kList, {Text("один"_cp), Text("два"_cp), Text("три"_cp)});
    EXPECT_EQ(dialog.GetCurSel(kList), -1);
    dialog.SetCurSel(kList, 1);
    EXPECT_EQ(dialog.GetCurSel(kList), 1) << "a list box takes the program's selection";
    dialog.SetCurSel(kTabs, 1);
    EXPECT_EQ(dialog.GetCurSel(kTabs), 1);
    dialog.SetCheck(kCheck, true);
    EXPECT_TRUE(dialog.IsChecked(kCheck));
    dialog.EnableItem(kLine, false);
    EXPECT_FALSE(dialog.IsItemEnabled(kLine));
    EXPECT_EQ(handled, 0);
}

TEST(DialogContract, HandlersRunOnTheUsersClickAndChoice) {
    Dialog dialog;
    ShowActive(dialog);
    std::vector<std::string> told;
    dialog.OnClicked(kCheck, [&] { told.push_back("check " + std::to_string(dialog.IsChecked(kCheck))); });
    dialog.OnClicked(kButton, [&] { told.emplace_back("button"); });
    dialog.OnSelChange(kCombo, [&] { told.push_back("combo " + std::to_string(dialog.GetCurSel(kCombo))); });
    dialog.OnSelChanging(kTabs, [&] { told.push_back("changing " + std::to_string(dialog.GetCurSel(kTabs))); });
    dialog.OnSelChange(kTabs, [&] { told.push_back("tab " + std::to_string(dialog.GetCurSel(kTabs))); });
    ClickItem(dialog, kCheck);
    ClickItem(dialog, kButton);
    PickItem(dialog, kCombo, 1);
    dialog.ChooseTab(kTabs, 1);
    EXPECT_EQ(told, (std::vector<std::string>{"check 1", "button", "combo 1", "changing 0", "tab 1"}));
    EXPECT_GT(dialog.changed, 0) << "a check and a choice are changes of a value";
}

TEST(DialogContract, TextChangesRunForEveryEditsChangeAndNeverForAComboBox) {
    Dialog dialog;
    ShowActive(dialog);
    int line = 0, lines = 0, combo = 0;
    dialog.OnTextChange(kLine, [&line] { ++line; });
    dialog.OnTextChange(kLines, [&lines] { ++lines; });
    dialog.OnTextChange(kCombo, [&combo] { ++combo; });
    dialog.SetItemText(kLine, "12");
    dialog.SetItemText(kLines, "12");
    EXPECT_EQ(line, 1) << "the program's own change runs it";
    EXPECT_EQ(lines, 1) << "for a multi-line edit too";
    TypeInto(dialog, kLine, "ab");
    EXPECT_EQ(line, 3);
    const int changedBefore = dialog.changed;
    TypeInto(dialog, kCombo, "x");
    EXPECT_EQ(combo, 0) << "typing in a combo box is no text change";
    EXPECT_GT(dialog.changed, changedBefore) << "but a change of a value";
}

TEST(DialogContract, FocusAndTheTabOrderWithAnAddedStop) {
    Dialog dialog;
    dialog.AddTabStop(kButton, kLine);
    ShowActive(dialog);
    ASSERT_TRUE(dialog.FocusFirstTabStop());
    EXPECT_TRUE(dialog.HasFocus(kLine));
    PressTab(dialog);
    EXPECT_TRUE(dialog.HasFocus(kButton)) << "the added stop comes right after its control";
    PressTab(dialog);
    EXPECT_TRUE(dialog.HasFocus(kSecond)) << "then the layout's order goes on";
    PressTab(dialog);
    EXPECT_TRUE(dialog.HasFocus(kLines));
    dialog.FocusItem(kCheck);
    EXPECT_TRUE(dialog.HasFocus(kCheck));
}

TEST(DialogContract, DroppedFilesNameTheControlUnderThemNeverItsFrame) {
    Dialog dialog;
    ShowActive(dialog);
    std::vector<int> targets;
    std::vector<FilePath> files;
    dialog.OnDropFiles([&](const std::vector<FilePath>& dropped, int id) {
        files.insert(files.end(), dropped.begin(), dropped.end());
        targets.push_back(id);
    });
    dialog.LetDropsThrough(kLine);
    DropOn(dialog, kLine, "/shots/снимок.png");
    DropOn(dialog, kFrame, "/shots/b.png");
    ASSERT_TRUE(WaitFor([&] { return targets.size() == 2; }, 2000));
    EXPECT_EQ(targets, (std::vector<int>{kLine, kNoControlId}));
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0].find("снимок.png"), FilePath::npos);
    EXPECT_EQ(dialog.GetItemText(kLine), Text()) << "the file went to the handler, not into the text";
}

TEST(DialogContract, SingleShotTimersStartOverAndStop) {
    Dialog dialog;
    int fired = 0;
    dialog.StartSingleShot(7, 500, [&fired] { ++fired; });
    dialog.StartSingleShot(7, 20, [&fired] { fired += 10; });
    EXPECT_TRUE(dialog.IsTimerActive(7));
    ASSERT_TRUE(WaitFor([&] { return fired != 0; }, 2000));
    EXPECT_EQ(fired, 10) << "started again, only the new handler runs";
    EXPECT_FALSE(dialog.IsTimerActive(7));
    dialog.StartSingleShot(8, 10, [&fired] { ++fired; });
    dialog.StopTimer(8);
    EXPECT_FALSE(dialog.IsTimerActive(8));
    WaitFor([] { return false; }, 60);
    EXPECT_EQ(fired, 10);
}

}  // namespace
