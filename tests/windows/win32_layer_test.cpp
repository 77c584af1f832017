// The Win32 layer at its seams: texts between the controls' UTF-16 and the
// program's Windows-1251 and UTF-8, pages from layout tables, what runs a
// handler, menus from menu tables, and the dialogs' requests and answers.

#include <gtest/gtest.h>

#include "platform/win32/Windows.h"
// after windows.h
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/FieldCommands.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Menus.h"
#include "rtf/EmbeddedDocuments.h"
#include "text/Cp1251.h"
#include "text/Utf16.h"

namespace {

using K = ControlKind;

TEST(WindowsFileFilter, PairsBecomeZeroSeparatedAndAHalfPairEndsTheList) {
    const struct {
        std::string filter;
        std::wstring expected;
    } cases[] = {
        {std::string(" HTML (*.htm) |*.htm| Все файлы (*.*)| *.* ||"_cp),
         std::wstring(L" HTML (*.htm) \0*.htm\0 Все файлы (*.*)\0 *.* \0\0", 45)},
        {"Text|*.txt|Orphan|", std::wstring(L"Text\0*.txt\0\0", 12)},
        {"", L""},
        {"|*.txt||", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(WindowsFileFilter(c.filter), c.expected) << c.filter;
}

enum : int { kName = 10, kNotes = 11, kCheck = 12, kCombo = 13, kButton = 14, kMissing = 99 };

constexpr ControlSpec kLayout[] = {
    {kNoControlId, K::GroupBox, "Плагин"_cp, {4, 4, 200, 100}},
    {kButton, K::PushButton, "...", {150, 15, 14, 11}, kStyleNone, 4},
    {kName, K::Edit, {}, {47, 15, 100, 12}, kStyleNone, 1},
    {kCheck, K::CheckBox, "Другое"_cp, {10, 30, 41, 10}, kStyleDisabled, 3},
    {kNotes, K::MultiLineEdit, {}, {10, 44, 150, 36}, kStyleNone, 2},
    {kCombo, K::DropListCombo, {}, {10, 84, 30, 49}, kStyleNone, 5},
};

class TestPage : public CDialog {
public:
    TestPage() {
        EXPECT_TRUE(InitControls());
        EXPECT_TRUE(CreateTopLevel("test", {0, 0, 220, 140}));
        CreateControls(kLayout);
        AddComboItems(kCombo, {"0", "1", "2"});
        OnClicked(kButton, [this] { clicks.push_back(kButton); });
        OnClicked(kCheck, [this] { clicks.push_back(kCheck); });
        OnTextChange(kName, [this] { ++nameChanges; });
        OnSelChange(kCombo, [this] { clicks.push_back(kCombo); });
    }
    std::vector<int> clicks;
    int nameChanges = 0;
};

TEST(Win32Dialog, TextsCrossAsWindows1251OrUtf8AndLineBreaksAsCrLf) {
    TestPage page;
    page.SetItemText(kName, "Маяк №1"_cp);
    EXPECT_EQ(page.GetItemText(kName), "Маяк №1"_cp);
    EXPECT_EQ(page.GetItemUtf8(kName), "Маяк №1");
    EXPECT_EQ(page.GetItemTextLength(kName), 7);

    // What the user may type beyond the code page: a reference in texts, the
    // character itself in a file name.
    ::SetWindowTextW(ItemHwnd(page, kName), L"C:\\日本\\café.jpg");
    EXPECT_EQ(page.GetItemText(kName), "C:\\&#26085;&#26412;\\caf&#233;.jpg");
    EXPECT_EQ(page.GetItemUtf8(kName), "C:\\日本\\café.jpg");
    page.SetItemUtf8(kName, "Ёж.esp");
    EXPECT_EQ(page.GetItemText(kName), "Ёж.esp"_cp);

    page.SetItemText(kNotes, "a\nb\rc\r\nd");
    EXPECT_EQ(page.GetItemText(kNotes), "a\r\nb\r\nc\r\nd");

    EXPECT_EQ(page.GetItemText(kMissing), "");  // no such control: nothing happens
    page.SetItemText(kMissing, "x");
    EXPECT_FALSE(page.IsChecked(kMissing));
    EXPECT_EQ(page.GetCurSel(kMissing), -1);
}

TEST(Win32Dialog, StatesAndWhatRunsAHandler) {
    TestPage page;
    EXPECT_FALSE(page.IsItemEnabled(kCheck));
    page.EnableItem(kCheck, true);
    EXPECT_TRUE(page.IsItemEnabled(kCheck));

    page.SetCheck(kCheck, true);
    page.SetCurSel(kCombo, 2);
    EXPECT_TRUE(page.IsChecked(kCheck));
    EXPECT_EQ(page.GetCurSel(kCombo), 2);
    EXPECT_TRUE(page.clicks.empty()) << "the program's own changes run no handler";

    ::SendMessageW(ItemHwnd(page, kCheck), BM_CLICK, 0, 0);
    ::SendMessageW(ItemHwnd(page, kButton), BM_CLICK, 0, 0);
    EXPECT_FALSE(page.IsChecked(kCheck));
    EXPECT_EQ(page.clicks, (std::vector<int>{kCheck, kButton}));

    page.SetItemText(kName, "x");
    EXPECT_EQ(page.nameChanges, 1) << "text changes run it, the program's own included";
}

TEST(Win32Dialog, AnyValueChangeIsToldAndAReplacementIsOneUndoStep) {
    TestPage page;
    int changes = 0;
    page.OnChanged([&changes] { ++changes; });
    page.SetItemText(kName, "a");
    page.SetCheck(kCheck, true);
    page.SetCheck(kCheck, true);  // no change
    page.SetCurSel(kCombo, 1);
    EXPECT_EQ(changes, 3) << "the program's own changes count";
    page.EnableItem(kCheck, true);
    ::SendMessageW(ItemHwnd(page, kCheck), BM_CLICK, 0, 0);
    ::SendMessageW(ItemHwnd(page, kButton), BM_CLICK, 0, 0);
    EXPECT_EQ(changes, 4) << "a click on a check box changes a value, one on a button does not";

    page.SetItemText(kNotes, "old");
    page.ReplaceItemText(kNotes, "new\nline");
    EXPECT_EQ(page.GetItemText(kNotes), "new\r\nline");
    ::SendMessageW(ItemHwnd(page, kNotes), EM_UNDO, 0, 0);
    EXPECT_EQ(page.GetItemText(kNotes), "old");
}

// Runs the thread's messages until done says so or ms have passed.
template <class Done>
void Pump(Done done, DWORD ms = 1000) {
    const DWORD start = ::GetTickCount();
    MSG message{};
    while (!done() && ::GetTickCount() - start < ms) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::Sleep(5);
    }
}

TEST(Win32Dialog, SelectionCountsInTheProgramsTextAndTheCaretPointStaysInTheControl) {
    TestPage page;
    const HWND notes = ItemHwnd(page, kNotes);
    ::SetWindowTextW(notes, L"Маяк\r\n日x");
    const struct {
        int from, to;  // in the control's UTF-16 units
        int start, end;
    } cases[] = {
        {0, -1, 0, 15},  // "Маяк", CR LF, "&#26085;", "x"
        {7, 8, 14, 15},  // after 日
        {6, 7, 6, 14},   // 日 alone
        {2, 2, 2, 2},
    };
    for (const auto& c : cases) {
        ::SendMessageW(notes, EM_SETSEL, static_cast<WPARAM>(c.from), c.to);
        int start = -1, end = -1;
        page.GetSel(kNotes, start, end);
        EXPECT_EQ(start, c.start) << c.from;
        EXPECT_EQ(end, c.end) << c.from;
        RECT box{};
        ::GetWindowRect(notes, &box);
        const ScreenPoint at = page.CaretScreenPoint(kNotes);
        const POINT caret{at.x, at.y};
        EXPECT_TRUE(::PtInRect(&box, caret)) << c.from << ": " << caret.x << "," << caret.y;
    }
    EXPECT_EQ(page.GetItemText(kNotes).substr(14), "x");

    EXPECT_FALSE(page.CanUndo(kNotes));
    page.ReplaceItemText(kNotes, "typed");
    EXPECT_TRUE(page.CanUndo(kNotes));
}

// A control's place in its dialog's client area.
RECT PlaceIn(const CDialog& dialog, ItemId id) {
    RECT box{};
    ::GetWindowRect(ItemHwnd(dialog, id), &box);
    ::MapWindowPoints(nullptr, Hwnd(dialog), reinterpret_cast<POINT*>(&box), 2);
    return box;
}

// Files dropped as the shell drops them, at a point of the client area;
// names are zero-separated.
void DropFiles(const CDialog& dialog, POINT at, const std::wstring& names) {
    const std::wstring list = names + L'\0' + L'\0';
    const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    drop->fWide = TRUE;
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(drop + 1));
    ::GlobalUnlock(memory);
    ::SendMessageW(Hwnd(dialog), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

TEST(Win32Dialog, KeyboardCommandsTimersAndDroppedFilesReachTheirHandlers) {
    TestPage page;
    std::vector<int> commands;
    page.OnCommand(501, [&commands] { commands.push_back(501); });
    page.OnCommand(502, [&commands] { commands.push_back(502); });
    const Accelerator keys[] = {{'S', true, false, 501}, {'S', true, true, 502}};
    page.SetAccelerators(keys);
    ASSERT_NE(Accelerators(page), nullptr);
    BYTE state[256] = {};
    for (const bool shift : {false, true}) {
        state[VK_CONTROL] = 0x80;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(state);
        MSG key{Hwnd(page), WM_KEYDOWN, 'S', 1, 0, {}};
        EXPECT_TRUE(::TranslateAcceleratorW(Hwnd(page), Accelerators(page), &key));
    }
    state[VK_CONTROL] = state[VK_SHIFT] = 0;
    ::SetKeyboardState(state);
    EXPECT_EQ(commands, (std::vector<int>{501, 502}));

    // A timer started again starts over and runs once.
    int fired = 0;
    page.StartSingleShot(7, 200, [&fired] { ++fired; });
    page.StartSingleShot(7, 20, [&fired] { fired += 10; });
    EXPECT_TRUE(page.IsTimerActive(7));
    Pump([&] { return !page.IsTimerActive(7); });
    Pump([] { return false; }, 250);
    EXPECT_EQ(fired, 10);
    page.StartSingleShot(8, 10, [&fired] { ++fired; });
    page.StopTimer(8);
    Pump([] { return false; }, 250);
    EXPECT_EQ(fired, 10);

    // Two files, one with a Cyrillic name, dropped on the name box.
    std::vector<FilePath> dropped;
    int target = 0;
    page.OnDropFiles([&](const std::vector<FilePath>& files, int id) { dropped = files, target = id; });
    const RECT box = PlaceIn(page, kName);
    DropFiles(page, {box.left + 2, box.top + 2}, std::wstring(L"C:\\скрин 1.jpg") + L'\0' + L"D:\\b.png");
    EXPECT_EQ(dropped, (std::vector<FilePath>{"C:\\скрин 1.jpg", "D:\\b.png"}));
    EXPECT_EQ(target, kName);
}

TEST(Win32Dialog, ListsTakeTheirSelectionComboTypingIsNoTextChangeAndDropsFindTheControlInAFrame) {
    enum : int { kFrame = 30, kInFrame = 31, kList = 32, kTyped = 33 };
    constexpr ControlSpec kChoices[] = {
        {kFrame, K::GroupBox, "Снимки"_cp, {4, 4, 200, 40}},
        {kInFrame, K::Edit, {}, {10, 16, 100, 12}, kStyleNone, 1},
        {kList, K::ListBox, {}, {4, 50, 100, 40}, kStyleNone, 2},
        {kTyped, K::DropDownCombo, {}, {110, 50, 60, 50}, kStyleNone, 3},
    };
    class Page : public CDialog {
    public:
        explicit Page(std::span<const ControlSpec> layout) {
            EXPECT_TRUE(InitControls());
            EXPECT_TRUE(CreateTopLevel("test", {0, 0, 220, 140}));
            CreateControls(layout);
            OnSelChange(kList, [this] { ++handled; });
            OnTextChange(kTyped, [this] { ++handled; });
            OnChanged([this] { ++changed; });
            LetDropsThrough(kInFrame);
        }
        int handled = 0, changed = 0;
    } page(kChoices);
    page.SetListItems(kList, {Text("один"_cp), Text("два"_cp), Text("три"_cp)});
    page.SetCurSel(kList, 2);
    EXPECT_EQ(page.GetCurSel(kList), 2);
    EXPECT_EQ(page.handled, 0) << "the program's own selection runs no handler";

    const int changedBefore = page.changed;
    ::SendMessageW(::GetWindow(ItemHwnd(page, kTyped), GW_CHILD), WM_CHAR, 'x', 0);
    EXPECT_EQ(page.GetItemText(kTyped), "x");
    EXPECT_EQ(page.handled, 0) << "typing in a combo box is no text change";
    EXPECT_GT(page.changed, changedBefore) << "but a change of a value";

    int target = 0;
    page.OnDropFiles([&target](const std::vector<FilePath>&, int id) { target = id; });
    const RECT edit = PlaceIn(page, kInFrame), frame = PlaceIn(page, kFrame);
    DropFiles(page, {edit.left + 2, edit.top + 2}, L"C:\\a.jpg");
    EXPECT_EQ(target, kInFrame) << "the control in the frame, not the frame";
    DropFiles(page, {frame.right - 4, frame.bottom - 4}, L"C:\\a.jpg");
    EXPECT_EQ(target, kNoControlId) << "a frame is never the target";
}

TEST(Win32Dialog, ControlsSitWhereTheDialogUnitsSayInTheLayoutsTabOrder) {
    TestPage page;
    ASSERT_GT(page.baseUnits().x, 0);
    for (const ControlSpec& spec : kLayout) {
        if (spec.id == kNoControlId || spec.kind == K::DropListCombo) continue;
        RECT place{};
        ::GetWindowRect(ItemHwnd(page, spec.id), &place);
        ::MapWindowPoints(nullptr, Hwnd(page), reinterpret_cast<POINT*>(&place), 2);
        const PixelEdges expected = MapDialogUnits(spec.rect, page.baseUnits());
        EXPECT_EQ(place.left, expected.left) << spec.id;
        EXPECT_EQ(place.top, expected.top) << spec.id;
        EXPECT_EQ(place.right, expected.right) << spec.id;
        EXPECT_EQ(place.bottom, expected.bottom) << spec.id;
    }
    page.EnableItem(kCheck, true);
    std::vector<int> order;
    HWND control = ItemHwnd(page, kName);
    for (int i = 0; i < 5; ++i, control = ::GetNextDlgTabItem(Hwnd(page), control, FALSE))
        order.push_back(::GetDlgCtrlID(control));
    EXPECT_EQ(order, (std::vector<int>{kName, kNotes, kCheck, kButton, kCombo}));
}

TEST(Win32Dialog, RichTextIsReadByTheControlAndControlsMoveInPixels) {
    class TextPage : public CDialog {
    public:
        TextPage() {
            InitControls();
            CreateTopLevel("test", {0, 0, 220, 140});
            static constexpr ControlSpec kText[] = {{kNotes, K::RichEdit, {}, {4, 4, 200, 120}}};
            CreateControls(kText);
        }
    } page;
    page.SetItemRtf(kNotes, HelpRtfBytes());
    const Text shown = page.GetItemText(kNotes);
    EXPECT_NE(shown.find("Как пользоваться"_cp), Text::npos) << "the control reads the RTF itself";
    EXPECT_EQ(shown.find("\\rtf"), Text::npos);
    DWORD start = 1, end = 1;
    ::SendMessageW(ItemHwnd(page, kNotes), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u) << "read from the top";

    const PixelSize client = page.ClientSize();
    page.MoveItem(kNotes, {16, 24, client.width - 18, client.height - 16});
    RECT place{};
    ::GetWindowRect(ItemHwnd(page, kNotes), &place);
    ::MapWindowPoints(nullptr, Hwnd(page), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 16);
    EXPECT_EQ(place.top, 24);
    EXPECT_EQ(place.right, client.width - 18);
    EXPECT_EQ(place.bottom, client.height - 16);
}

TEST(Win32Dialogs, FileLengthOfAChosenFileByItsUtf8Name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"архив 日本.zip";
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    ::WriteFile(file, "12345", 5, &wrote, nullptr);
    ::CloseHandle(file);

    const std::u16string wide(path.begin(), path.end());
    EXPECT_EQ(FileLength({utf16::ToUtf8(wide), "архив 日本.zip"}), 5);
    EXPECT_EQ(FileLength({utf16::ToUtf8(wide) + ".missing", ""}), std::nullopt);
    EXPECT_EQ(FileLength({utf16::ToUtf8(std::u16string(temp, temp + ::lstrlenW(temp))), ""}), std::nullopt)
        << "a folder has no length";
    ::DeleteFileW(path.c_str());
}

// The pixels of a 32-bit drawing surface, 0x00RRGGBB.
struct Surface {
    Surface(int width, int height) : dc(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<std::uint32_t*>(bits);
        old = ::SelectObject(dc, bitmap);
    }
    ~Surface() {
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    std::uint32_t* pixels = nullptr;
};

TEST(Win32Banner, OnlyPureBlackIsLeftOut) {
    CBitmap banner;
    ASSERT_TRUE(banner.Load(BannerBmpBytes()));
    const int width = banner.size().width, height = banner.size().height;
    ASSERT_EQ(width, 580);
    ASSERT_EQ(height, 112);
    EXPECT_FALSE(CBitmap().Load(std::span<const unsigned char>(BannerBmpBytes().data(), 20)));

    Surface plain(width, height), drawn(width, height);
    ::BitBlt(plain.dc, 0, 0, width, height, nullptr, 0, 0, BLACKNESS);
    ASSERT_TRUE(DrawTransparent(plain.dc, banner, {0, 0, width, height}, RGB(255, 0, 255)));  // nothing left out
    constexpr std::uint32_t kBackground = 0x010203;
    std::fill_n(drawn.pixels, width * height, kBackground);
    ASSERT_TRUE(DrawTransparent(drawn.dc, banner, {0, 0, width, height}, RGB(0, 0, 0)));

    int black = 0, nearBlack = 0;
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t source = plain.pixels[i] & 0xFFFFFF;
        if (source == 0) {
            ++black;
            EXPECT_EQ(drawn.pixels[i] & 0xFFFFFF, kBackground) << i;
        } else {
            nearBlack += (source & 0xFF) < 48 && ((source >> 8) & 0xFF) < 48 && (source >> 16) < 48;
            EXPECT_EQ(drawn.pixels[i] & 0xFFFFFF, source) << i;
        }
    }
    EXPECT_GT(black, 0) << "the banner has a background to leave out";
    EXPECT_GT(nearBlack, 0) << "and dark colours that must show";
}

class AnsweringMenu : public MenuSeam {
public:
    int TrackPopupMenu(HMENU menu, POINT, HWND) override {
        shown = menu;
        return 4242;
    }
    HMENU shown = nullptr;
};

TEST(Win32Menu, FieldMenuFromItsTableWithItemsGreyedByCommand) {
    CMenu menu;
    menu.LoadMenu(FieldEditMenu());
    const MenuHandle withSelection = menu.GetSubMenu(kMenuWithSelection);
    ASSERT_NE(withSelection, nullptr);
    EXPECT_NE(menu.GetSubMenu(kMenuNoSelection), nullptr);
    EXPECT_EQ(menu.GetSubMenu(2), nullptr);

    // Every insert and add command is reachable by its id, in the cascades.
    for (const FieldCommand& command : FieldCommands()) {
        for (const int id : {static_cast<int>(command.insertId), static_cast<int>(command.addId)}) {
            EXPECT_NE(::GetMenuState(ToHmenu(withSelection), static_cast<UINT>(id), MF_BYCOMMAND), 0xFFFFFFFFu) << id;
            EnableMenuItem(withSelection, id, false);
            EXPECT_NE(::GetMenuState(ToHmenu(withSelection), static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED, 0u)
                << id;
        }
    }
    wchar_t caption[64] = {};
    ::GetMenuStringW(ToHmenu(withSelection), static_cast<UINT>(kIdEditCopy), caption, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(caption), L"Копировать");

    AnsweringMenu seam;
    SetMenuSeamForTesting(&seam);
    EXPECT_EQ(TrackPopupMenu(ToHmenu(withSelection), POINT{10, 10}, nullptr), 4242);
    EXPECT_EQ(seam.shown, ToHmenu(withSelection));
    SetMenuSeamForTesting(nullptr);
}

class AnsweringDialogs : public DialogSeam {
public:
    void MessageBox(HWND, const std::wstring& caption, const std::wstring& text, MessageIcon icon) override {
        shown.push_back(caption + L"|" + text + (icon == MessageIcon::Exclamation ? L"|!" : L""));
    }
    void Beep() override { shown.push_back(L"beep"); }
    std::optional<std::wstring> FileDialog(HWND, const FileDialogRequest& request) override {
        requests.push_back(request);
        return answer;
    }
    std::vector<std::wstring> shown;
    std::vector<FileDialogRequest> requests;
    std::optional<std::wstring> answer;
};

TEST(Win32Dialogs, MessagesAndTheSaveDialogAsTheSeamSeesThem) {
    AnsweringDialogs seam;
    SetDialogSeamForTesting(&seam);
    ShowMessageBox(nullptr, "Не указан размер архива."_cp, MessageIcon::Exclamation);
    ShowMessageBox(nullptr, "Ошибка"_cp, MessageIcon::None);
    DefaultBeep();
    EXPECT_EQ(seam.shown,
              (std::vector<std::wstring>{L"Quillsmith|Не указан размер архива.|!", L"Quillsmith|Ошибка", L"beep"}));

    wchar_t before[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, before);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"Остров";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    seam.answer = folder + L"\\ReadMe.htm";
    const auto chosen = SaveFileDialog(nullptr, " HTML (*.htm) |*.htm||", "htm", "ReadMe.htm", "readme");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->fileName, "ReadMe.htm");
    EXPECT_TRUE(chosen->path.ends_with("\\Остров\\ReadMe.htm")) << chosen->path;
    ASSERT_EQ(seam.requests.size(), 1u);
    EXPECT_TRUE(seam.requests[0].save);
    EXPECT_TRUE(seam.requests[0].overwritePrompt);
    EXPECT_EQ(seam.requests[0].defaultExtension, L"htm");
    EXPECT_EQ(seam.requests[0].proposedName, L"ReadMe.htm");
    wchar_t after[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(after), folder) << "the record file relies on it";

    seam.answer.reset();
    EXPECT_FALSE(OpenFileDialog(nullptr, "Text|*.txt||", "text"));
    ::SetCurrentDirectoryW(before);
    ::RemoveDirectoryW(folder.c_str());
    SetDialogSeamForTesting(nullptr);
}

TEST(Win32Dialog, ChosenTabsTellBeforeAndAfterAndKeysHaveTheirNames) {
    enum : int { kTabs = 20, kBox = 21 };
    constexpr ControlSpec kWindowLayout[] = {
        {kTabs, K::TabControl, {}, {4, 20, 200, 100}},
        {kBox, K::Edit, {}, {4, 4, 100, 12}, kStyleReadOnly},
    };
    class Window : public CDialog {
    public:
        explicit Window(std::span<const ControlSpec> layout) {
            EXPECT_TRUE(InitControls());
            EXPECT_TRUE(CreateTopLevel("Окно"_cp, {0, 0, 210, 124}));
            CreateControls(layout);
        }
        using CDialog::OnActivate;
        using CDialog::OnSelChange;
        using CDialog::OnSelChanging;
    } window(kWindowLayout);
    wchar_t title[16] = {};
    ::GetWindowTextW(Hwnd(window), title, 16);
    EXPECT_EQ(std::wstring(title), L"Окно");
    for (int i = 0; i < 3; ++i) window.InsertTab(kTabs, i, std::to_string(i));
    std::vector<std::string> told;
    window.OnSelChanging(kTabs, [&] { told.push_back("changing " + std::to_string(window.GetCurSel(kTabs))); });
    window.OnSelChange(kTabs, [&] { told.push_back("change " + std::to_string(window.GetCurSel(kTabs))); });
    window.ChooseTab(kTabs, 2);
    window.SetCurSel(kTabs, 1);
    EXPECT_EQ(window.GetCurSel(kTabs), 1);
    EXPECT_EQ(told, (std::vector<std::string>{"changing 0", "change 2"}));

    // A page over the tab control, after the window's own controls.
    class Page : public CDialog {
    public:
        explicit Page(WindowHandle parent) { CreatePage(parent, DluRect{0, 0, 100, 50}); }
    } page(window.GetSafeHwnd());
    window.PlacePage(page, kTabs);
    const HWND tabs = ItemHwnd(window, kTabs);
    EXPECT_EQ(::GetWindow(tabs, GW_HWNDPREV), Hwnd(page));
    EXPECT_EQ(::GetWindow(tabs, GW_HWNDNEXT), nullptr);
    const RECT area = TabPageRect(tabs);
    RECT placed{};
    ::GetWindowRect(Hwnd(page), &placed);
    ::MapWindowPoints(nullptr, Hwnd(window), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, area.left);
    EXPECT_EQ(placed.top, area.top);

    int opened = 0;
    window.OnActivate(kBox, [&opened] { ++opened; });
    const HWND box = ItemHwnd(window, kBox);
    ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ::SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(box, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(opened, 2);

    EXPECT_EQ(KeyText({'S', true, false, 1}), "Ctrl+S");
    EXPECT_EQ(KeyText({kKeyTab, true, true, 1}), "Ctrl+Shift+Tab");
    EXPECT_EQ(KeyText({kKeyPageDown, true, false, 1}), "Ctrl+PgDown");
    EXPECT_EQ(KeyText({kKeyF5, false, false, 1}), "F5");
}

}  // namespace
