// What every platform layer's CDialog and CMenu promise the pages, checked
// through the shared interface and what a user does and sees: the same
// cases run on Qt and on Win32.

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "UserActions.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Menus.h"
#include "platform/PendingControls.h"
#include "text/Cp1251.h"

namespace {

enum : int {
    kFrame = 10,
    kLine,
    kLines,
    kCombo,
    kList,
    kCheck,
    kButton,
    kTabs,
    kSecond,
    kChoice,
    kOption,
    kBox,
    kMissing = 99
};

constexpr ControlSpec kLayout[] = {
    {kFrame, ControlKind::GroupBox, "Рамка"_cp, {4, 4, 200, 90}},
    {kLine, ControlKind::Edit, {}, {10, 16, 90, 12}, kStyleNone, 1},
    {kLines, ControlKind::MultiLineEdit, {}, {10, 32, 90, 30}, kStyleNone, 3},
    {kSecond, ControlKind::Edit, {}, {110, 16, 90, 12}, kStyleNone, 2},
    {kBox, ControlKind::Edit, {}, {110, 32, 90, 12}, kStyleReadOnly},
    {kCombo, ControlKind::DropDownCombo, {}, {4, 100, 90, 60}, kStyleNone, 8},
    {kChoice, ControlKind::DropListCombo, {}, {4, 118, 90, 50}, kStyleNone, 6},
    {kOption, ControlKind::CheckBox, "Другое"_cp, {4, 136, 90, 10}, kStyleDisabled, 7},
    {kList, ControlKind::ListBox, {}, {100, 100, 100, 40}, kStyleNone, 4},
    {kCheck, ControlKind::CheckBox, "Флажок"_cp, {4, 150, 90, 10}, kStyleNone, 5},
    {kButton, ControlKind::PushButton, "Кнопка"_cp, {100, 150, 50, 14}},
    {kTabs, ControlKind::TabControl, {}, {4, 170, 200, 30}},
};

class Dialog : public CDialog {
public:
    // Without tabs, a dialog made when needed waits for its first need.
    explicit Dialog(bool tabs = true) {
        EXPECT_TRUE(InitControls());
        EXPECT_TRUE(CreateTopLevel("Проверка"_cp, {0, 0, 210, 205}));
        CreateControls(kLayout);
        AddComboItems(kCombo, {"один"_cp, "два"_cp, "три"_cp});
        AddComboItems(kChoice, {"0", "1", "2"});
        if (tabs) {
            InsertTab(kTabs, 0, "Первая"_cp);
            InsertTab(kTabs, 1, "Вторая"_cp);
            InsertTab(kTabs, 2, "Третья"_cp);
        }
        OnChanged([this] { ++changed; });
        OnTextChange(kLine, [this] { ++lineChanged; });
    }
    using CDialog::OnActivate;
    using CDialog::OnClicked;
    using CDialog::OnSelChange;
    using CDialog::OnSelChanging;
    using CDialog::OnTextChange;

    int changed = 0;
    int lineChanged = 0;
};

auto Edges(const PixelEdges& place) { return std::tuple(place.left, place.top, place.right, place.bottom); }

TEST(DialogContract, TextsCrossAsWindows1251OrUtf8WithCrLfLineBreaks) {
    Dialog dialog;
    ShowActive(dialog);
    EXPECT_EQ(TitleOf(dialog), "Проверка");
    dialog.SetItemText(kLine, "Маяк №1"_cp);
    EXPECT_EQ(dialog.GetItemText(kLine), Text("Маяк №1"_cp));
    EXPECT_EQ(dialog.GetItemUtf8(kLine), "Маяк №1");
    EXPECT_EQ(dialog.GetItemTextLength(kLine), 7);
    dialog.SetItemUtf8(kLine, "日x");
    EXPECT_EQ(dialog.GetItemUtf8(kLine), "日x");
    EXPECT_EQ(dialog.GetItemText(kLine), Text("&#26085;x"));
    EXPECT_EQ(dialog.GetItemTextLength(kLine), 2);
    EXPECT_EQ(dialog.GetItemText(kButton), Text("Кнопка"_cp));

    // What the user may type beyond the code page: a reference in texts, the
    // character itself in a file name.
    TypeInto(dialog, kSecond, "C:\\日本\\café.jpg");
    EXPECT_EQ(dialog.GetItemText(kSecond), Text("C:\\&#26085;&#26412;\\caf&#233;.jpg"));
    EXPECT_EQ(dialog.GetItemUtf8(kSecond), "C:\\日本\\café.jpg");
    dialog.SetItemUtf8(kSecond, "Ёж.esp");
    EXPECT_EQ(dialog.GetItemText(kSecond), Text("Ёж.esp"_cp));

    dialog.SetItemText(kLines, "a\nb\rc\r\nd"_cp);
    EXPECT_EQ(dialog.GetItemText(kLines), Text("a\r\nb\r\nc\r\nd"));
    dialog.SetItemUtf8(kLines, "первая\r\nвторая\r\n");
    EXPECT_EQ(dialog.GetItemText(kLines), Text("первая\r\nвторая\r\n"_cp));
    EXPECT_EQ(LineCount(dialog, kLines), 3) << "a CR LF is one line break";

    // A page without the control: every access does nothing.
    dialog.SetItemText(kMissing, "x");
    dialog.SetCheck(kMissing, true);
    dialog.SetCurSel(kMissing, 1);
    EXPECT_EQ(dialog.GetDlgItem(kMissing), nullptr);
    EXPECT_EQ(dialog.GetItemText(kMissing), Text());
    EXPECT_FALSE(dialog.IsChecked(kMissing));
    EXPECT_EQ(dialog.GetCurSel(kMissing), -1);
}

TEST(DialogContract, AReplacementIsOneUndoStepAndANewTextANewHistory) {
    Dialog dialog;
    EXPECT_FALSE(dialog.CanUndo(kLines));
    dialog.ReplaceItemText(kLines, "typed");
    ASSERT_TRUE(dialog.CanUndo(kLines));
    dialog.SetItemUtf8(kLines, "первая\r\nвторая\r\n");
    EXPECT_FALSE(dialog.CanUndo(kLines)) << "a new text starts a new history";

    dialog.SetItemText(kLines, "old");
    dialog.ReplaceItemText(kLines, "new\nline");
    EXPECT_EQ(dialog.GetItemText(kLines), Text("new\r\nline"));
    dialog.EditItem(kLines, EditCommand::Undo);
    EXPECT_EQ(dialog.GetItemText(kLines), Text("old"));
    dialog.ReplaceItemText(kLines, "one");
    dialog.ReplaceItemText(kLines, "two");
    dialog.EditItem(kLines, EditCommand::Undo);
    EXPECT_EQ(dialog.GetItemText(kLines), Text("one"));

    dialog.SetItemText(kLines, "");
    dialog.ReplaceItemText(kLines, "набрано"_cp);
    EXPECT_EQ(dialog.GetItemText(kLines), Text("набрано"_cp));
    EXPECT_TRUE(dialog.CanUndo(kLines));
    dialog.EditItem(kLines, EditCommand::Undo);
    EXPECT_EQ(dialog.GetItemText(kLines), Text());
}

TEST(DialogContract, SelectionsCountInTheProgramsTextAndTheCaretPointStaysInTheText) {
    Dialog dialog;
    ShowActive(dialog);
    dialog.SetItemUtf8(kLines, "Маяк\r\n日x");
    dialog.SetItemUtf8(kLine, "日x");
    // The user's steps against the Windows-1251 text: the line break is CR
    // LF, 日 is its eight-byte "&#26085;".
    const struct {
        int id, from, to, start, end;
    } cases[] = {
        {kLines, 0, -1, 0, 15}, {kLines, 0, 7, 0, 15}, {kLines, 6, 7, 14, 15}, {kLines, 5, 6, 6, 14},
        {kLines, 2, 2, 2, 2},   {kLine, 1, 2, 8, 9},   {kLine, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SelectText(dialog, c.id, c.from, c.to);
        int start = -1, end = -1;
        dialog.GetSel(c.id, start, end);
        EXPECT_EQ(std::pair(start, end), std::pair(c.start, c.end)) << c.id << ": " << c.from << "-" << c.to;
        // From the keyboard the menu goes below the caret, inside the text.
        const ScreenPoint caret = dialog.CaretScreenPoint(c.id);
        const PixelEdges area = TextAreaOnScreen(dialog, c.id);
        EXPECT_TRUE(caret.x >= area.left && caret.x < area.right && caret.y >= area.top && caret.y < area.bottom)
            << c.id << ": " << c.from << "-" << c.to << " at " << caret.x << "," << caret.y;
    }
    EXPECT_EQ(dialog.GetItemText(kLines).substr(14), "x");
}

TEST(DialogContract, TheProgramsChangesRunNoHandlerAndEachIsToldOnce) {
    Dialog dialog;
    int handled = 0;
    for (int id : {kCombo, kChoice, kTabs, kList}) dialog.OnSelChange(id, [&handled] { ++handled; });
    dialog.OnSelChanging(kTabs, [&handled] { ++handled; });
    dialog.OnClicked(kCheck, [&handled] { ++handled; });
    const int before = dialog.changed;
    dialog.SetItemText(kLine, "a");
    dialog.SetCheck(kCheck, true);
    dialog.SetCheck(kCheck, true);  // no change
    dialog.SetCurSel(kChoice, 1);
    EXPECT_EQ(dialog.changed - before, 3) << "the program's own changes count";
    EXPECT_TRUE(dialog.IsChecked(kCheck));
    EXPECT_EQ(dialog.GetCurSel(kChoice), 1);
    dialog.SetCurSel(kCombo, 2);
    EXPECT_EQ(dialog.GetCurSel(kCombo), 2);
    dialog.SetCurSel(kTabs, 1);
    EXPECT_EQ(dialog.GetCurSel(kTabs), 1);

    EXPECT_FALSE(dialog.IsItemEnabled(kOption)) << "disabled by its layout";
    dialog.EnableItem(kOption, true);
    EXPECT_TRUE(dialog.IsItemEnabled(kOption));
    dialog.EnableItem(kLine, false);
    EXPECT_FALSE(dialog.IsItemEnabled(kLine));
    EXPECT_EQ(handled, 0);
}

// What the program sets before the controls exist reads back as the
// system's own controls give it, is told as they tell it, and is what they
// show once made; what only they can answer makes them first.
TEST(DialogContract, ControlsMadeWhenNeededAnswerAsMadeOnesAndShowTheSameOnceMade) {
    const struct {
        const char* what;
        std::function<void(Dialog&)> set;
        bool waits;  // the controls are still not made after it
    } cases[] = {
        {"a line", [](Dialog& d) { d.SetItemText(kLine, "Маяк №1 \"Тихий\""_cp); }, true},
        {"lines with CR LF", [](Dialog& d) { d.SetItemText(kLines, "Первая\r\nвторая\r\n"_cp); }, true},
        {"UTF-8 outside the code page", [](Dialog& d) { d.SetItemUtf8(kLine, "日本 café"); }, true},
        {"a caret",
         [](Dialog& d) {
             d.SetItemText(kLine, "/shots/long.jpg");
             d.SetCaret(kLine, 9);
         },
         true},
        {"a check and a choice",
         [](Dialog& d) {
             d.SetCheck(kCheck, true);
             d.SetCurSel(kChoice, 2);
             d.SetCurSel(kCombo, 1);
         },
         true},
        {"an enabled state",
         [](Dialog& d) {
             d.EnableItem(kOption, true);
             d.EnableItem(kLine, false);
         },
         true},
        {"a lone line break", [](Dialog& d) { d.SetItemText(kLines, "a\nb\rc"); }, false},
        {"a tab and a no-break space",
         [](Dialog& d) {
             d.SetItemText(kLines,
                           "a\tb\xA0"
                           "c");
         },
         false},
        {"a reference", [](Dialog& d) { d.SetItemText(kLine, "&#26085;"); }, false},
        {"a character past the plane", [](Dialog& d) { d.SetItemUtf8(kLine, "\xF0\x9F\x98\x80"); }, false},
        {"a choice past the list", [](Dialog& d) { d.SetCurSel(kChoice, 7); }, false},
    };
    constexpr int kRead[] = {kLine, kLines, kCombo, kChoice, kCheck, kOption};
    for (const auto& c : cases) {
        Dialog made;
        std::unique_ptr<Dialog> later;
        {
            const ControlsWhenNeeded whenNeeded;
            later = std::make_unique<Dialog>(false);
        }
        ASSERT_FALSE(later->HasControls()) << c.what;
        c.set(made);
        c.set(*later);
        EXPECT_EQ(later->HasControls(), !c.waits) << c.what;
        const auto expectSame = [&](const char* when) {
            for (int id : kRead) {
                EXPECT_EQ(later->GetItemText(id), made.GetItemText(id)) << c.what << " " << when << " " << id;
                EXPECT_EQ(later->IsChecked(id), made.IsChecked(id)) << c.what << " " << id;
                EXPECT_EQ(later->IsItemEnabled(id), made.IsItemEnabled(id)) << c.what << " " << id;
                EXPECT_EQ(later->GetCurSel(id), made.GetCurSel(id)) << c.what << " " << id;
            }
            EXPECT_EQ(later->GetItemUtf8(kLine), made.GetItemUtf8(kLine)) << c.what << " " << when;
            EXPECT_EQ(later->GetItemTextLength(kLine), made.GetItemTextLength(kLine)) << c.what << " " << when;
            EXPECT_EQ(later->changed > 0, made.changed > 0) << c.what << " " << when;
            EXPECT_EQ(later->lineChanged, made.lineChanged) << c.what << " " << when;
        };
        expectSame("before");
        const int told = later->changed;
        later->CreateControlsNow();
        EXPECT_TRUE(later->HasControls());
        EXPECT_EQ(later->changed, told) << c.what << ": making the controls is no change";
        expectSame("made");
        int laterStart = 0, laterEnd = 0, madeStart = 0, madeEnd = 0;
        later->GetSel(kLine, laterStart, laterEnd);
        made.GetSel(kLine, madeStart, madeEnd);
        EXPECT_EQ(std::pair(laterStart, laterEnd), std::pair(madeStart, madeEnd)) << c.what;
        EXPECT_FALSE(later->CanUndo(kLine) || later->CanUndo(kLines)) << c.what;
    }
    // Shown, the handlers given meanwhile run on the user's click and typing.
    std::unique_ptr<Dialog> later;
    {
        const ControlsWhenNeeded whenNeeded;
        later = std::make_unique<Dialog>(false);
    }
    int clicks = 0;
    later->OnClicked(kCheck, [&clicks] { ++clicks; });
    ShowActive(*later);
    ClickItem(*later, kCheck);
    TypeInto(*later, kLine, "x");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(later->lineChanged, 1);
    EXPECT_EQ(later->GetItemText(kLine), Text("x"));
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
    const int before = dialog.changed;
    ClickItem(dialog, kCheck);
    EXPECT_EQ(dialog.changed - before, 1) << "a click on a check box changes a value";
    ClickItem(dialog, kButton);
    EXPECT_EQ(dialog.changed - before, 1) << "one on a button does not";
    ClickItem(dialog, kCheck);
    EXPECT_FALSE(dialog.IsChecked(kCheck));
    const int beforeChoice = dialog.changed;
    PickItem(dialog, kCombo, 1);
    EXPECT_GT(dialog.changed, beforeChoice) << "a choice is a change of a value";
    dialog.ChooseTab(kTabs, 2);
    dialog.SetCurSel(kTabs, 1);
    EXPECT_EQ(dialog.GetCurSel(kTabs), 1);
    EXPECT_EQ(told, (std::vector<std::string>{"check 1", "button", "check 0", "combo 1", "changing 0", "tab 2"}));
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
    EXPECT_EQ(dialog.GetItemText(kCombo), Text("x"));
    EXPECT_EQ(combo, 0) << "typing in a combo box is no text change";
    EXPECT_GT(dialog.changed, changedBefore) << "but a change of a value";
}

TEST(DialogContract, AListBoxShowsItsLinesAndTakesTheUsersOrTheProgramsChoice) {
    Dialog dialog;
    ShowActive(dialog);
    int handled = 0;
    dialog.OnSelChange(kList, [&handled] { ++handled; });
    dialog.SetListItems(kList, {Text("Название: пусто"_cp), Text("Описание: пусто"_cp), Text("три"_cp)});
    EXPECT_EQ(ListLines(dialog, kList), (std::vector<std::string>{"Название: пусто", "Описание: пусто", "три"}));
    EXPECT_EQ(dialog.GetCurSel(kList), -1);
    const int changedBefore = dialog.changed;
    dialog.SetCurSel(kList, 2);
    EXPECT_EQ(dialog.GetCurSel(kList), 2) << "a list box takes the program's selection";
    EXPECT_EQ(handled, 0) << "and runs no handler for it";
    EXPECT_EQ(dialog.changed - changedBefore, 1) << "but it is a change of a value";
    ClickListLine(dialog, kList, 1);
    EXPECT_EQ(dialog.GetCurSel(kList), 1);
    EXPECT_EQ(handled, 1) << "the user's choice runs it";
    EXPECT_EQ(dialog.changed - changedBefore, 2);
    dialog.SetListItems(kList, {Text("Замечаний нет"_cp)});
    EXPECT_EQ(ListLines(dialog, kList), std::vector<std::string>{"Замечаний нет"});
    EXPECT_EQ(dialog.GetCurSel(kList), -1);
}

TEST(DialogContract, ControlsSitWhereTheirDialogUnitsSayAndTabVisitsThemByNumber) {
    Dialog dialog;
    ASSERT_GT(dialog.baseUnits().x, 0);
    for (const ControlSpec& spec : kLayout) {
        // A combo box's height in the layout takes in its open list.
        if (spec.kind == ControlKind::DropDownCombo || spec.kind == ControlKind::DropListCombo) continue;
        EXPECT_EQ(Edges(PlaceOf(dialog, spec.id)), Edges(MapDialogUnits(spec.rect, dialog.baseUnits()))) << spec.id;
    }

    dialog.AddTabStop(kButton, kLine);
    dialog.EnableItem(kOption, true);
    ShowActive(dialog);
    ASSERT_TRUE(dialog.FocusFirstTabStop());
    const struct {
        int id;
        const char* why;
    } stops[] = {
        {kLine, "the first by number"},
        {kButton, "the added stop comes right after its control"},
        {kSecond, "then the layout's numbers go on"},
        {kLines, ""},
        {kList, ""},
        {kCheck, ""},
        {kChoice, ""},
        {kOption, "enabled, a control the layout disabled"},
        {kCombo, "a combo box, with the focus in its edit"},
    };
    for (const auto& stop : stops) {
        EXPECT_TRUE(dialog.HasFocus(stop.id)) << stop.id << " " << stop.why;
        PressTab(dialog);
    }
    dialog.FocusItem(kCheck);
    EXPECT_TRUE(dialog.HasFocus(kCheck));
}

TEST(DialogContract, DroppedFilesNameTheControlUnderThemNeverItsFrame) {
    Dialog dialog;
    ShowActive(dialog);
    std::vector<std::pair<std::vector<FilePath>, int>> drops;
    dialog.OnDropFiles([&drops](const std::vector<FilePath>& files, int id) { drops.emplace_back(files, id); });
    dialog.LetDropsThrough(kLine);
    dialog.LetDropsThrough(kLines);

    DropOn(dialog, kLine, {"/shots/скрин 1.jpg", "/shots/b.png"});
    ASSERT_TRUE(WaitFor([&] { return !drops.empty(); }, 2000));
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].first, (std::vector<FilePath>{"/shots/скрин 1.jpg", "/shots/b.png"}));
    EXPECT_EQ(drops[0].second, kLine) << "the control in the frame, not the frame";
    EXPECT_EQ(dialog.GetItemText(kLine), Text()) << "the files went to the handler, not into the text";

    const PixelEdges frame = PlaceOf(dialog, kFrame), lines = PlaceOf(dialog, kLines);
    const struct {
        int x, y, id;
    } cases[] = {
        {(lines.left + lines.right) / 2, (lines.top + lines.bottom) / 2, kLines},
        {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2, kNoControlId},  // a frame is never the target
        {frame.left + 2, frame.top + 2, kNoControlId},
        {frame.right - 4, frame.bottom - 4, kNoControlId},
        {1, 1, kNoControlId},
    };
    for (const auto& c : cases) {
        drops.clear();
        DropAt(dialog, c.x, c.y, {"/shots/снимок.png"});
        ASSERT_TRUE(WaitFor([&] { return !drops.empty(); }, 2000)) << c.x << "," << c.y;
        ASSERT_EQ(drops.size(), 1u);
        EXPECT_EQ(drops[0].first, std::vector<FilePath>{"/shots/снимок.png"});
        EXPECT_EQ(drops[0].second, c.id) << c.x << "," << c.y;
    }
}

TEST(DialogContract, KeyboardCommandsRunByTheirKeysWithCtrlAndShiftAsGiven) {
    Dialog dialog;
    ShowActive(dialog);
    dialog.FocusItem(kButton);
    std::vector<int> commands;
    for (int command : {501, 502, 503})
        dialog.OnCommand(command, [&commands, command] { commands.push_back(command); });
    const Accelerator keys[] = {
        {'S', true, false, 501}, {'S', true, true, 502}, {kKeyTab, true, true, 503}, {kKeyF5, false, false, 501}};
    dialog.SetAccelerators(keys);
    PressKey(dialog, 'S', true);
    PressKey(dialog, 'S', true, true);
    PressKey(dialog, kKeyTab, true, true);
    PressKey(dialog, kKeyF5);
    PressKey(dialog, 'S');  // no Ctrl: no command
    EXPECT_EQ(commands, (std::vector<int>{501, 502, 503, 501}));
}

TEST(DialogContract, SingleShotTimersStartOverAndStop) {
    Dialog dialog;
    int fired = 0;
    dialog.StartSingleShot(7, 200, [&fired] { ++fired; });
    dialog.StartSingleShot(7, 20, [&fired] { fired += 10; });
    EXPECT_TRUE(dialog.IsTimerActive(7));
    ASSERT_TRUE(WaitFor([&] { return fired != 0; }, 2000));
    EXPECT_EQ(fired, 10) << "started again, only the new handler runs";
    EXPECT_FALSE(dialog.IsTimerActive(7));
    dialog.StartSingleShot(8, 10, [&fired] { ++fired; });
    dialog.StopTimer(8);
    EXPECT_FALSE(dialog.IsTimerActive(8));
    WaitFor([] { return false; }, 250);
    EXPECT_EQ(fired, 10) << "and once; a stopped one never";
}

TEST(DialogContract, AnActivatedBoxOpensOnAClickOrEnterAndTakesTheFocus) {
    Dialog dialog;
    ShowActive(dialog);
    int opened = 0;
    dialog.OnActivate(kBox, [&opened] { ++opened; });
    ClickItem(dialog, kBox);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(dialog.HasFocus(kBox));
    PressEnter(dialog);
    EXPECT_EQ(opened, 2);
    PressKey(dialog, 'A');
    EXPECT_EQ(opened, 2) << "another key opens nothing";
}

TEST(DialogContract, RichTextShowsFromTheTopAndControlsMoveInPixels) {
    enum : int { kText = 40 };
    static constexpr ControlSpec kTextLayout[] = {{kText, ControlKind::RichEdit, {}, {4, 4, 200, 120}}};
    class Viewer : public CDialog {
    public:
        Viewer() {
            EXPECT_TRUE(InitControls());
            EXPECT_TRUE(CreateTopLevel("Текст"_cp, {0, 0, 220, 140}));
            CreateControls(kTextLayout);
        }
    } viewer;
    // Far longer than the view: read from the end, its top would not show.
    std::string rtf = R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0 Arial;}}\f0\fs20 )";
    for (int line = 1; line <= 80; ++line) rtf += std::string("Строка "_cp) + std::to_string(line) + "\\par\n";
    rtf += "}";
    viewer.SetItemRtf(kText, std::span(reinterpret_cast<const unsigned char*>(rtf.data()), rtf.size()));
    ShowActive(viewer);
    const ViewPosition view = ViewOf(viewer, kText);
    EXPECT_EQ(view.caret, 0) << "read from the top";
    EXPECT_EQ(view.firstShown, 0);

    const PixelSize client = viewer.ClientSize();
    viewer.MoveItem(kText, {16, 24, client.width - 18, client.height - 16});
    EXPECT_EQ(Edges(PlaceOf(viewer, kText)), std::tuple(16, 24, client.width - 18, client.height - 16));
}

enum : int { kUndo = 701, kName, kDeep, kCopy, kPaste, kTwice };

constexpr MenuEntry kMenus[] = {
    {MenuEntryKind::Popup, "Текст"_cp},
    {MenuEntryKind::Item, "Отменить"_cp, kUndo},
    {MenuEntryKind::Separator},
    {MenuEntryKind::Popup, "Вставить поле"_cp},
    {MenuEntryKind::Item, "Название"_cp, kName},
    {MenuEntryKind::Popup, "Ещё"_cp},
    {MenuEntryKind::Item, "Глубже"_cp, kDeep},
    {MenuEntryKind::Item, "Дважды"_cp, kTwice},
    {MenuEntryKind::EndPopup},
    {MenuEntryKind::EndPopup},
    {MenuEntryKind::Item, "Копировать"_cp, kCopy, kMenuGrayed},
    {MenuEntryKind::Item, "Дважды"_cp, kTwice},
    {MenuEntryKind::EndPopup},
    {MenuEntryKind::Popup, "Без выделения"_cp},
    {MenuEntryKind::Item, "Вставить"_cp, kPaste},
    {MenuEntryKind::EndPopup},
};

TEST(DialogContract, MenusComeFromTheirTableWithItemsGreyedByCommand) {
    CMenu menu;
    menu.LoadMenu(kMenus);
    const MenuHandle text = menu.GetSubMenu(0);
    ASSERT_NE(text, nullptr);
    EXPECT_NE(menu.GetSubMenu(1), nullptr);
    EXPECT_EQ(menu.GetSubMenu(2), nullptr);
    EXPECT_FALSE(SeeMenuItem(text, kPaste).found) << "another pop-up's item";
    EXPECT_TRUE(SeeMenuItem(menu.GetSubMenu(1), kPaste).found);

    const MenuItemSeen copy = SeeMenuItem(text, kCopy);
    ASSERT_TRUE(copy.found);
    EXPECT_EQ(copy.caption, "Копировать");
    EXPECT_FALSE(copy.enabled) << "greyed by its table";
    EnableMenuItem(text, kCopy, true);
    EXPECT_TRUE(SeeMenuItem(text, kCopy).enabled);
    // Every item by its id, in the cascades too.
    for (const int id : {kUndo, kName, kDeep}) {
        EXPECT_TRUE(SeeMenuItem(text, id).found) << id;
        EXPECT_TRUE(SeeMenuItem(text, id).enabled) << id;
        EnableMenuItem(text, id, false);
        EXPECT_TRUE(SeeMenuItem(text, id).found) << id;
        EXPECT_FALSE(SeeMenuItem(text, id).enabled) << id;
    }

    // An id the menu holds twice: both items follow it.
    EXPECT_EQ(MenuItemStates(text, kTwice), (std::vector<bool>{true, true}));
    EnableMenuItem(text, kTwice, false);
    EXPECT_EQ(MenuItemStates(text, kTwice), (std::vector<bool>{false, false}));

    ChooseFromNextMenu(kCopy);
    EXPECT_EQ(TrackPopupMenu(text, {10, 20}, nullptr), kCopy);
    EXPECT_EQ(LastMenuShown().menu, text);
    EXPECT_EQ(LastMenuShown().at, (ScreenPoint{10, 20}));
}

}  // namespace
