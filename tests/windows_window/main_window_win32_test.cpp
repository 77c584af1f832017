// The whole window on the Win32 layer: its size in dialog units, the Tab
// order, a screen too small for it, and the preview that opens in the
// browser with its checks beside it.

#include "platform/win32/Windows.h"
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/desktop/CMainDlg.h"
#include "app/desktop/PreviewWin32.h"
#include "app/preview/PreviewCaptions.h"
#include "core/output_test_support.h"
#include "formats/ReleaseTexts.h"
#include "output/FileIo.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Text.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/ReadmeHtml.h"
#include "text/Cp1251.h"
#include "text/LineBreaks.h"
#include "text/Utf16.h"

namespace testing_output {
int OpenDescriptorCount() { return 0; }
}  // namespace testing_output

namespace {

using namespace testing_output;

std::wstring Wide(const std::string& utf8) {
    const std::u16string text = utf16::FromUtf8(utf8);
    return {text.begin(), text.end()};
}

class Answers : public DialogSeam {
public:
    void MessageBox(HWND, const std::wstring&, const std::wstring& text, MessageIcon) override {
        shown.push_back(text);
    }
    void Beep() override {}
    std::optional<std::wstring> FileDialog(HWND, const FileDialogRequest&) override {
        if (saveAs.empty()) return std::nullopt;
        return std::exchange(saveAs, std::wstring());
    }
    bool Open(const std::wstring& path) override {
        opened.push_back(path);
        return true;
    }
    std::vector<std::wstring> shown, opened;
    std::wstring saveAs;  // the next file dialog's answer, once; empty: cancelled
};

void PumpFor(DWORD ms) {
    const DWORD until = ::GetTickCount() + ms;
    while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
}

RECT ClientOnScreen(HWND window) {
    RECT rect{};
    ::GetClientRect(window, &rect);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A window with its state and temporary files in a scratch folder, on a
// screen of the given work area.
class MainWindow : public ::testing::Test {
protected:
    void Open(RECT workArea, bool show = true) {
        ASSERT_TRUE(InitControls());
        for (const wchar_t* name : {L"LOCALAPPDATA", L"TMP", L"TEMP"}) {
            std::wstring value(::GetEnvironmentVariableW(name, nullptr, 0), L'\0');
            value.resize(::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
            m_saved.emplace_back(name, value);
        }
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", Wide(scratch / "local").c_str());
        ::SetEnvironmentVariableW(L"TMP", Wide(scratch / "temp").c_str());
        ::SetEnvironmentVariableW(L"TEMP", Wide(scratch / "temp").c_str());
        ::CreateDirectoryW(Wide(scratch / "temp").c_str(), nullptr);
        SetWorkAreaForTesting(&workArea);
        SetDialogSeamForTesting(&answers);
        window = std::make_unique<CMainDlg>();
        window->Create();
        if (show) window->Show(true);
    }
    void TearDown() override {
        // Under Wine without a window manager each shown window takes 2 s to go.
        window.reset();
        SetDialogSeamForTesting(nullptr);
        SetWorkAreaForTesting(nullptr);
        for (const auto& [name, value] : m_saved) ::SetEnvironmentVariableW(name.c_str(), value.c_str());
    }

    // Every control Tab reaches from New, in order, once round.
    std::vector<HWND> TabStops() const {
        std::vector<HWND> stops;
        const HWND first = ItemHwnd(*window, MainId::New);
        for (HWND at = first; at && stops.size() < 200;) {
            stops.push_back(at);
            at = ::GetNextDlgTabItem(Hwnd(*window), at, FALSE);
            if (at == first) break;
        }
        return stops;
    }

    ScratchFolder scratch;
    Answers answers;
    std::unique_ptr<CMainDlg> window;

private:
    std::vector<std::pair<std::wstring, std::wstring>> m_saved;
};

TEST_F(MainWindow, IsItsLayoutInDialogUnitsWhenTheScreenHasRoom) {
    Open({0, 0, 4000, 3000});
    EXPECT_FALSE(Scrolls(*window));
    const RECT expected = MapDialogRect(*window, {0, 0, 448, 366});
    RECT client{};
    ::GetClientRect(Hwnd(*window), &client);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    const DialogBaseUnits& units = window->baseUnits();
    std::printf("   client %ldx%ld px = 448x366 DLU of a font %dx%d\n", client.right, client.bottom, units.x, units.y);
    wchar_t title[64] = {};
    ::GetWindowTextW(Hwnd(*window), title, 64);
    EXPECT_STREQ(title, L"Quillsmith");
}

TEST_F(MainWindow, TheTabStripIsAKeyboardStopAfterTheButtons) {
    Open({0, 0, 4000, 3000});
    const std::vector<HWND> stops = TabStops();
    const auto at = [&stops](HWND control) { return std::find(stops.begin(), stops.end(), control) - stops.begin(); };
    const auto tabs = at(ItemHwnd(*window, MainId::Tabs));
    ASSERT_LT(tabs, static_cast<long long>(stops.size())) << "the tab strip is no tab stop";
    for (MainId button : {MainId::New, MainId::Save, MainId::Open, MainId::OpenForm, MainId::SaveForm, MainId::Preview})
        EXPECT_LT(at(ItemHwnd(*window, button)), tabs) << ControlIdValue(button);
}

// The tip the pointer shows over a control of the window.
std::wstring TipOf(HWND window, HWND control) {
    struct Found {
        HWND owner, tips;
    } found{window, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND candidate, LPARAM data) -> BOOL {
            auto* look = reinterpret_cast<Found*>(data);
            wchar_t name[32] = {};
            ::GetClassNameW(candidate, name, 32);
            if (::lstrcmpiW(name, TOOLTIPS_CLASSW) != 0 || ::GetWindow(candidate, GW_OWNER) != look->owner) return TRUE;
            look->tips = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (!found.tips) return {};
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    ::SendMessageW(found.tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST_F(MainWindow, ButtonsNameTheirKeysInTheirTips) {
    Open({0, 0, 4000, 3000});
    const std::pair<MainId, const wchar_t*> tips[] = {
        {MainId::New, L"Ctrl+N"}, {MainId::SaveForm, L"Ctrl+Shift+S"}, {MainId::Preview, L"F5"}};
    for (const auto& [button, tip] : tips) EXPECT_EQ(TipOf(Hwnd(*window), ItemHwnd(*window, button)), tip);
}

TEST_F(MainWindow, OnTheFirstPaintOnlyTheFirstTabsPageIsMadeAndTheTipsAndFocusComeWithTheWindow) {
    Open({0, 0, 4000, 3000}, false);
    for (int tab = 1; tab < CMainDlg::kTabCount; ++tab) EXPECT_FALSE(window->PageOfTab(tab)->HasControls()) << tab;
    EXPECT_EQ(TipOf(Hwnd(*window), ItemHwnd(*window, MainId::New)), L"") << "no tip before the window shows";
    window->Show(true);
    EXPECT_EQ(TipOf(Hwnd(*window), ItemHwnd(*window, MainId::New)), L"Ctrl+N");
    EXPECT_EQ(::GetFocus(), ItemHwnd(*window, MainId::New)) << "the first tab stop, as a dialog's";
}

TEST_F(MainWindow, OnASmallScreenItScrollsAndEveryFocusedControlIsInView) {
    const RECT work{0, 0, 640, 420};
    Open(work);
    ASSERT_TRUE(Scrolls(*window));
    RECT frame{};
    ::GetWindowRect(Hwnd(*window), &frame);
    EXPECT_GE(frame.left, work.left);
    EXPECT_GE(frame.top, work.top);
    EXPECT_LE(frame.right, work.right);
    EXPECT_LE(frame.bottom, work.bottom);
    for (int tab = 0; tab < CMainDlg::kTabCount; ++tab) {
        window->ChooseTab(ControlIdValue(MainId::Tabs), tab);
        for (HWND control : TabStops()) {
            ::SetFocus(control);
            FocusMovedTo(*window, control);
            RECT box{};
            ::GetWindowRect(control, &box);
            const RECT view = ClientOnScreen(Hwnd(*window));
            EXPECT_GE(box.top, view.top) << "tab " << tab << ", control " << ::GetDlgCtrlID(control);
            EXPECT_GE(box.left, view.left) << "tab " << tab << ", control " << ::GetDlgCtrlID(control);
            if (box.bottom - box.top <= view.bottom - view.top) {
                EXPECT_LE(box.bottom, view.bottom) << "tab " << tab << ", control " << ::GetDlgCtrlID(control);
            }
            if (box.right - box.left <= view.right - view.left) {
                EXPECT_LE(box.right, view.right) << "tab " << tab << ", control " << ::GetDlgCtrlID(control);
            }
        }
    }
}

RECT PlaceIn(HWND control, HWND parent) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(MainWindow, OnAScreenOfAnotherScaleTheLayoutFollowsInDialogUnits) {
    Open({0, 0, 4000, 3000});
    CPluginPage& plugin = window->pluginPage();
    const HWND name = ItemHwnd(plugin, PluginId::Name);
    const RECT nameBefore = PlaceIn(name, Hwnd(plugin));
    const DialogBaseUnits before = window->baseUnits();

    RECT frame{};
    ::GetWindowRect(Hwnd(*window), &frame);
    const RECT suggested{frame.left + 10, frame.top + 10, frame.left + 10 + (frame.right - frame.left) * 3 / 2,
                         frame.top + 10 + (frame.bottom - frame.top) * 3 / 2};
    ::SendMessageW(Hwnd(*window), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    const DialogBaseUnits after = window->baseUnits();
    EXPECT_GE(after.y * 4, before.y * 5) << "the font did not grow";
    EXPECT_EQ(plugin.baseUnits().y, after.y);
    RECT client{};
    ::GetClientRect(Hwnd(*window), &client);
    const RECT expected = MapDialogRect(*window, {0, 0, 448, 366});
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    ::GetWindowRect(Hwnd(*window), &frame);
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.top, suggested.top);

    // A page's control where its dialog units now fall: as far as the
    // units grew, give or take the rounding.
    const RECT nameAfter = PlaceIn(name, Hwnd(plugin));
    EXPECT_NEAR(nameAfter.left, nameBefore.left * after.x / before.x, 2);
    EXPECT_NEAR(nameAfter.bottom, nameBefore.bottom * after.y / before.y, 2);
    // What a page placed in pixels is placed again at the new scale.
    CTextDocPage& text = window->textDocPage();
    const RECT edit = PlaceIn(ItemHwnd(text, TextDocId::Edit), Hwnd(text));
    EXPECT_EQ(edit.left, 24);
    EXPECT_EQ(text.ClientSize().width - edit.right, 27);
    // The page still fills the tab control's page area.
    const RECT page = PlaceIn(Hwnd(plugin), Hwnd(*window));
    const RECT tabs = PlaceIn(ItemHwnd(*window, MainId::Tabs), Hwnd(*window));
    EXPECT_GT(page.top, tabs.top);
    EXPECT_LE(page.right, tabs.right);
    EXPECT_LE(page.bottom, tabs.bottom);
}

TEST_F(MainWindow, PreviewWritesTheReadmeForTheBrowserAndItsChecksLeadToTheField) {
    Open({0, 0, 4000, 3000});
    // A relative screenshot is found where Save finds it: here, before any
    // Save, against the current folder.
    WriteFile(scratch / "work\\shots\\вид.jpg", "not a picture");
    ASSERT_TRUE(::SetCurrentDirectoryW(Wide(scratch / "work").c_str()));
    CPluginPage& plugin = window->pluginPage();
    ReadmeForm form = NewReadmeForm();
    form.pluginName = "Маяк"_cp;
    form.description = "Остров и маяк."_cp;
    form.screenshotCount = 1;
    form.screenshotPath[0] = "shots\\вид.jpg";
    plugin.ApplyForm(form);

    window->TogglePreview();
    CPreview* preview = window->preview();
    ASSERT_NE(preview, nullptr);
    // The window's own folder, named by its draft's id.
    ASSERT_FALSE(window->drafts().id().empty());
    const std::string folder = scratch / ("temp\\Quillsmith preview " + window->drafts().id());
    const Text expected = BuildReadmeHtml(CaptureReadmeForm(plugin, window->extrasPage()), window->templatePackage());
    EXPECT_EQ(ReadFile(folder + "\\ReadMe.htm"), std::optional<std::string>(expected));
    EXPECT_EQ(ReadFile(folder + "\\files\\scrins\\вид.jpg"), std::optional<std::string>("not a picture"));
    EXPECT_TRUE(answers.shown.empty()) << "a message box at a preview";
    ASSERT_EQ(answers.opened.size(), 1u);
    EXPECT_EQ(answers.opened[0], Wide(folder + "\\ReadMe.htm"));

    // Again: the files written anew, no second browser tab.
    plugin.SetItemText(PluginId::Name, "Маяк II"_cp);
    window->TogglePreview();
    EXPECT_EQ(answers.opened.size(), 1u);
    EXPECT_NE(ReadFile(folder + "\\ReadMe.htm")->find("Маяк II"_cp), std::string::npos);

    // The checks name the screenshot that is no picture, and follow typing.
    const auto names = [preview](auto field) {
        for (const ReadmeCheck& check : preview->checks())
            if (check.field == CheckedField(field)) return true;
        return false;
    };
    EXPECT_TRUE(names(PluginId::Screenshot1));
    EXPECT_FALSE(names(PluginId::Name));
    plugin.SetItemText(PluginId::Name, "");
    PumpFor(600);
    EXPECT_TRUE(names(PluginId::Name));

    // A click on a check shows its tab with the focus in the field.
    std::size_t row = 0;
    while (row < preview->checks().size() && !(preview->checks()[row].field == CheckedField(PluginId::Screenshot1)))
        ++row;
    const HWND list = ::GetNextDlgTabItem(Hwnd(*preview), nullptr, FALSE);
    ::SendMessageW(list, LB_SETCURSEL, row, 0);
    ::SendMessageW(Hwnd(*preview), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), BN_CLICKED),
                   reinterpret_cast<LPARAM>(list));
    PumpFor(300);
    EXPECT_EQ(window->GetCurSel(MainId::Tabs), 1);
    EXPECT_EQ(::GetFocus(), ItemHwnd(plugin, PluginId::Screenshot1));
    ::SetCurrentDirectoryW(Wide(scratch.path()).c_str());

    // A second window previews into a folder of its own; each goes with its
    // window, and what a window that ended left is removed by a later start.
    auto second = std::make_unique<CMainDlg>();
    second->Create();
    second->TogglePreview();
    const std::string secondFolder = scratch / ("temp\\Quillsmith preview " + second->drafts().id());
    EXPECT_NE(secondFolder, folder);
    EXPECT_TRUE(ReadFile(secondFolder + "\\ReadMe.htm"));
    second.reset();
    EXPECT_TRUE(fileio::IsMissing(secondFolder));
    const std::string leftover = scratch / "temp\\Quillsmith preview 20260101-000000-deadbeef";
    ASSERT_TRUE(fileio::MakeFolders(leftover + "\\files"));
    WriteFile(leftover + "\\files\\ReadMe.htm", "of a crashed window");
    RemoveLeftoverPreviews(window->drafts());
    EXPECT_TRUE(fileio::IsMissing(leftover));
    EXPECT_TRUE(ReadFile(folder + "\\ReadMe.htm")) << "a running window's folder stays";
}

// Keys as the user presses them: through the system's input queue and the
// program's own message loop, modifiers included.
void PumpDialog(CDialog& window, DWORD ms = 60) {
    const DWORD until = ::GetTickCount() + ms;
    while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchDialogMessage(window, message);
        ::Sleep(5);
    }
}

void Press(CDialog& window, WORD key, bool ctrl = false, bool shift = false) {
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD code, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (ctrl) add(VK_CONTROL, false);
    if (shift) add(VK_SHIFT, false);
    add(key, false);
    add(key, true);
    if (shift) add(VK_SHIFT, true);
    if (ctrl) add(VK_CONTROL, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    PumpDialog(window);
}

void ClickAt(CDialog& window, POINT at) {
    ::SetCursorPos(at.x, at.y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
    PumpDialog(window, 150);
}

// A form that enables every field, with a text in each.
FormFile EveryFieldForm() {
    FormFile file;
    ReadmeForm& form = file.form;
    form.pluginName = "Маяк у заводи"_cp;
    form.pluginFile = "Lighthouse.esp";
    form.description = "Остров.\r\nМаяк."_cp;
    form.requiresMorrowind = form.requiresOther = true;
    form.otherRequirements = "Tamriel_Data.esm";
    form.screenshotCount = 3;
    form.screenshotPath = {"a.jpg", "b.jpg", "c.jpg"};
    form.installOther = form.uninstallOther = true;
    form.installText = "В Data Files."_cp;
    form.uninstallText = "Удалить."_cp;
    form.howToPlayEnabled = form.noteEnabled = form.warningOther = true;
    form.howToPlay = "Идти на маяк."_cp;
    form.authors = "Смотритель"_cp;
    form.note = "Примечание."_cp;
    form.warningText = "Осторожно."_cp;
    file.record.recordWanted = true;
    file.record.archiveName = "Lighthouse.zip";
    file.record.archiveSize = "120";
    file.record.originalLink = "https://mods.example.org/lighthouse";
    return file;
}

bool IsPageOf(HWND control, const CDialog& page) { return control && ::IsChild(Hwnd(page), control); }

// Each form page's controls in the order Tab visits them, as the layouts give it.
struct PageOrder {
    int tab;
    CDialog* page;
    std::vector<int> order;
};

std::vector<PageOrder> TabOrders(CMainDlg& window) {
    const auto ids = [](auto... id) { return std::vector<int>{ControlIdValue(id)...}; };
    using P = PluginId;
    using E = ExtrasId;
    using D = DatabaseId;
    return {
        {0, &window.textDocPage(), ids(TextDocId::Edit)},
        {1, &window.pluginPage(),
         ids(P::Name, P::File, P::BrowseFile, P::Description, P::Morrowind, P::Tribunal, P::Bloodmoon, P::BsaArchive,
             P::RequiresOther, P::OtherRequirements, P::ScreenshotCount, P::Screenshot1, P::BrowseScreenshot1,
             P::Screenshot2, P::BrowseScreenshot2, P::Screenshot3, P::BrowseScreenshot3, P::InstallStandard,
             P::InstallOther, P::InstallText, P::UninstallStandard, P::UninstallOther, P::UninstallText)},
        {2, &window.extrasPage(),
         ids(E::HowToPlayEnabled, E::HowToPlay, E::Authors, E::NoteEnabled, E::Note, E::WarningStandard,
             E::WarningOther, E::WarningText, E::WriteBackgroundImages, E::CopyScreenshots, E::KeepLineBreaks,
             E::WriteReadmeText)},
        {3, &window.databasePage(),
         ids(D::CreateRecord, D::NameMirror, D::Category, D::DescriptionMirror, D::Image, D::BrowseImage, D::Archive,
             D::BrowseArchive, D::ArchiveSize, D::AuthorName, D::AuthorEmail, D::AdapterName, D::AdapterEmail,
             D::Grade1, D::Grade2, D::Grade3, D::OriginalLink, D::SiteHomeLink)},
    };
}

bool IsEdit(HWND control, LONG_PTR style) {
    wchar_t name[16] = {};
    ::GetClassNameW(control, name, 16);
    return ::lstrcmpiW(name, L"EDIT") == 0 && (::GetWindowLongPtrW(control, GWL_STYLE) & style) == style;
}

TEST_F(MainWindow, EscapeInEveryMultiLineFieldKeepsEveryPageAndValue) {
    Open({0, 0, 4000, 3000});
    FormFile every = EveryFieldForm();
    for (FilePath& path : every.form.screenshotPath) {
        path = scratch / path;
        WriteFile(path, "not a picture");
    }
    window->ApplyFormFile(every);
    window->BringToFront();
    answers.saveAs = Wide(scratch / "before\\ReadMe.htm");
    ::CreateDirectoryW(Wide(scratch / "before").c_str(), nullptr);
    window->OnSave();
    const FormFile before = window->CaptureFormFile();
    int fields = 0;
    for (const PageOrder& page : TabOrders(*window)) {
        for (int id : page.order) {
            if (!IsEdit(ItemHwnd(*page.page, id), ES_MULTILINE)) continue;
            ++fields;
            window->ChooseTab(ControlIdValue(MainId::Tabs), page.tab);
            page.page->FocusItem(id);
            ASSERT_EQ(::GetFocus(), ItemHwnd(*page.page, id)) << id;
            Press(*window, VK_ESCAPE);
            for (int tab = 0; tab < CMainDlg::kTabCount; ++tab)
                ASSERT_TRUE(::IsWindow(Hwnd(*window->PageOfTab(tab)))) << "Escape in " << id << " took tab " << tab;
            ASSERT_TRUE(::IsWindowVisible(Hwnd(*page.page))) << id;
        }
    }
    EXPECT_EQ(fields, 10);
    ASSERT_TRUE(::IsWindow(Hwnd(*window)));
    EXPECT_EQ(window->CaptureFormFile(), before);
    answers.saveAs = Wide(scratch / "after\\ReadMe.htm");
    ::CreateDirectoryW(Wide(scratch / "after").c_str(), nullptr);
    window->OnSave();
    for (const std::wstring& message : answers.shown) ADD_FAILURE() << Utf8FromWide(message);
    const std::optional<std::string> readme = ReadFile(scratch / "before\\ReadMe.htm");
    ASSERT_TRUE(readme);
    EXPECT_NE(readme->find("Маяк у заводи"_cp), std::string::npos);
    EXPECT_EQ(ReadFile(scratch / "after\\ReadMe.htm"), readme);
    EXPECT_EQ(ReadFile(scratch / "after\\Lighthouse.zip.sql"), ReadFile(scratch / "before\\Lighthouse.zip.sql"));
}

TEST_F(MainWindow, TabAndShiftTabFollowEachPagesOrderThroughMultiLineFields) {
    Open({0, 0, 4000, 3000});
    window->ApplyFormFile(EveryFieldForm());
    window->BringToFront();
    // A combo box's edit field stands for its combo box.
    const auto focused = [] {
        HWND now = ::GetFocus();
        if (const HWND parent = ::GetParent(now); parent && ::GetDlgCtrlID(now) == 1001) now = parent;
        return now;
    };
    for (const PageOrder& page : TabOrders(*window)) {
        window->ChooseTab(ControlIdValue(MainId::Tabs), page.tab);
        for (std::size_t i = 0; i < page.order.size(); ++i) {
            page.page->FocusItem(page.order[i]);
            Press(*window, VK_TAB);
            if (i + 1 < page.order.size())
                EXPECT_EQ(::GetDlgCtrlID(focused()), page.order[i + 1]) << "Tab from " << page.order[i];
            else
                EXPECT_FALSE(IsPageOf(focused(), *page.page)) << "Tab from the last stop stays in tab " << page.tab;
            page.page->FocusItem(page.order[i]);
            ASSERT_EQ(focused(), ItemHwnd(*page.page, page.order[i]));
            Press(*window, VK_TAB, false, true);
            if (i > 0)
                EXPECT_EQ(::GetDlgCtrlID(focused()), page.order[i - 1]) << "Shift+Tab from " << page.order[i];
            else
                EXPECT_FALSE(IsPageOf(focused(), *page.page))
                    << "Shift+Tab from the first stop stays in tab " << page.tab;
        }
    }
}

TEST_F(MainWindow, AfterEveryKindOfTabSwitchTypingLandsInTheShownPage) {
    Open({0, 0, 4000, 3000});
    window->BringToFront();
    CPluginPage& plugin = window->pluginPage();
    struct Switch {
        const char* what;
        WORD key;
        bool shift;
    };
    const Switch switches[] = {{"Ctrl+Tab", VK_TAB, false},
                               {"Ctrl+Shift+Tab", VK_TAB, true},
                               {"Ctrl+PgDn", VK_NEXT, false},
                               {"Ctrl+PgUp", VK_PRIOR, false}};
    for (const Switch& change : switches) {
        window->ChooseTab(ControlIdValue(MainId::Tabs), 1);
        plugin.SetItemText(PluginId::Name, "Маяк"_cp);
        plugin.FocusItem(PluginId::Name);
        ::SendMessageW(ItemHwnd(plugin, PluginId::Name), EM_SETSEL, 0, -1);
        Press(*window, change.key, true, change.shift);
        ASSERT_NE(window->GetCurSel(ControlIdValue(MainId::Tabs)), 1) << change.what;
        const HWND now = ::GetFocus();
        EXPECT_TRUE(now && ::IsWindowVisible(now)) << change.what << ": the focus is hidden";
        EXPECT_FALSE(IsPageOf(now, plugin)) << change.what;
        Press(*window, 'X');
        EXPECT_EQ(plugin.GetItemText(PluginId::Name), "Маяк"_cp) << change.what;
    }
    // A click on the strip keeps the focus there, as in a Windows dialog.
    window->ChooseTab(ControlIdValue(MainId::Tabs), 1);
    plugin.FocusItem(PluginId::Name);
    const HWND tabs = ItemHwnd(*window, MainId::Tabs);
    RECT tab{};
    ::SendMessageW(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&tab));
    POINT at{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    ::ClientToScreen(tabs, &at);
    ClickAt(*window, at);
    EXPECT_EQ(window->GetCurSel(ControlIdValue(MainId::Tabs)), 2);
    EXPECT_EQ(::GetFocus(), tabs);
    Press(*window, 'X');
    EXPECT_EQ(plugin.GetItemText(PluginId::Name), "Маяк"_cp);
}

TEST_F(MainWindow, AMegabyteSetOrPastedIntoAnyFieldReadsBackWhole) {
    Open({0, 0, 4000, 3000});
    window->ApplyFormFile(EveryFieldForm());
    window->BringToFront();
    std::string line, lines, digits;
    while (line.size() < (1u << 20)) line += "слово word "_cp;
    while (lines.size() < (1u << 20)) lines += "строка в поле, line in a field\r\n"_cp;
    // A size takes digits only, and Wine's edit control needs minutes for a
    // megabyte without a blank: past the old limit is what this one asks.
    while (digits.size() < 40000) digits += "1234567890";
    int fields = 0;
    for (const PageOrder& page : TabOrders(*window)) {
        for (int id : page.order) {
            const HWND control = ItemHwnd(*page.page, id);
            if (!IsEdit(control, 0) || IsEdit(control, ES_READONLY)) continue;
            ++fields;
            const std::string& text = IsEdit(control, ES_MULTILINE)                   ? lines
                                      : id == ControlIdValue(DatabaseId::ArchiveSize) ? digits
                                                                                      : line;
            page.page->SetItemText(id, "");
            page.page->SetItemText(id, text);
            EXPECT_TRUE(page.page->GetItemText(id) == text) << "set into " << id;
            // Pasted with Ctrl+V.
            const std::wstring wide = Wide(cp1251::ToUtf8(text));
            ASSERT_TRUE(::OpenClipboard(Hwnd(*window)));
            ::EmptyClipboard();
            const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
            std::copy_n(wide.c_str(), wide.size() + 1, static_cast<wchar_t*>(::GlobalLock(memory)));
            ::GlobalUnlock(memory);
            ::SetClipboardData(CF_UNICODETEXT, memory);
            ::CloseClipboard();
            window->ChooseTab(ControlIdValue(MainId::Tabs), page.tab);
            page.page->SetItemText(id, "");
            page.page->FocusItem(id);
            ASSERT_EQ(::GetFocus(), control) << id;
            Press(*window, 'V', true);
            const Text pasted = page.page->GetItemText(id);
            EXPECT_EQ(pasted.size(), text.size()) << "pasted into " << id;
            EXPECT_TRUE(pasted == text) << "pasted into " << id;
        }
    }
    EXPECT_EQ(fields, 22);
}

// The window's frame on the screen.
RECT FrameOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

TEST_F(MainWindow, ASecondWindowDoesNotOpenOnTopOfTheFirst) {
    Open({0, 0, 4000, 3000});
    CDialog second;
    ASSERT_TRUE(second.CreateTopLevel("Quillsmith", DluRect{0, 0, 448, 366}, true));
    second.Show(true);
    const RECT first = FrameOf(Hwnd(*window)), other = FrameOf(Hwnd(second));
    EXPECT_TRUE(first.left != other.left || first.top != other.top);
    EXPECT_EQ(other.right - other.left, first.right - first.left);
    EXPECT_LE(other.bottom, 3000);
}

TEST_F(MainWindow, EachPageFillsTheTabControlsPageAreaAtEveryScale) {
    Open({0, 0, 4000, 3000});
    const auto check = [this](const char* when) {
        const RECT area = TabPageRect(ItemHwnd(*window, MainId::Tabs));
        for (int tab = 0; tab < CMainDlg::kTabCount; ++tab) {
            const RECT page = PlaceIn(Hwnd(*window->PageOfTab(tab)), Hwnd(*window));
            EXPECT_TRUE(::EqualRect(&page, &area))
                << when << ", tab " << tab << ": " << page.left << "," << page.top << " " << page.right << ","
                << page.bottom << " in " << area.left << "," << area.top << " " << area.right << "," << area.bottom;
        }
    };
    check("at 96 DPI");
    RECT frame = FrameOf(Hwnd(*window));
    const RECT suggested{frame.left, frame.top, frame.left + (frame.right - frame.left) * 3 / 2,
                         frame.top + (frame.bottom - frame.top) * 3 / 2};
    ::SendMessageW(Hwnd(*window), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    check("at 144 DPI");
}

// The button below the checks takes the joined-lines offer: the option on,
// its box in view with the focus, and the button idle once nothing offers.
TEST_F(MainWindow, TheChecksWindowsOfferTurnsOnKeepingLineBreaks) {
    Open({0, 0, 4000, 3000});
    ReadmeForm form = NewReadmeForm();
    form.pluginName = "Маяк"_cp;
    form.pluginFile = "Lighthouse.esp";
    form.description = "одна строка\r\nдругая"_cp;
    window->pluginPage().ApplyForm(form);
    window->TogglePreview();
    CPreview* preview = window->preview();
    ASSERT_NE(preview, nullptr);
    const HWND offer =
        ::FindWindowExW(Hwnd(*preview), nullptr, L"Button", Wide(cp1251::ToUtf8(kKeepLineBreaksOffer)).c_str());
    ASSERT_NE(offer, nullptr);
    ASSERT_TRUE(::IsWindowEnabled(offer));
    ::SendMessageW(Hwnd(*preview), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(offer), BN_CLICKED),
                   reinterpret_cast<LPARAM>(offer));
    PumpFor(600);
    EXPECT_TRUE(window->extrasPage().IsChecked(ExtrasId::KeepLineBreaks));
    EXPECT_EQ(window->GetCurSel(MainId::Tabs), 2);
    EXPECT_EQ(::GetFocus(), ItemHwnd(window->extrasPage(), ExtrasId::KeepLineBreaks));
    EXPECT_FALSE(::IsWindowEnabled(offer));
    for (const ReadmeCheck& check : preview->checks()) EXPECT_EQ(check.offer, CheckOffer::None);
}

TEST_F(MainWindow, TheChecksWindowGrowsAndShowsEachWholeLine) {
    Open({0, 0, 4000, 3000});
    ReadmeForm form = NewReadmeForm();
    form.pluginName = "Маяк"_cp;
    form.description = "Первая строка описания,\r\nвторая строка: одиночный перевод строки станет пробелом."_cp;
    window->pluginPage().ApplyForm(form);
    window->TogglePreview();
    CPreview* preview = window->preview();
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(::GetWindowLongPtrW(Hwnd(*preview), GWL_STYLE) & WS_THICKFRAME) << "it cannot be resized";
    const HWND list = ::GetNextDlgTabItem(Hwnd(*preview), nullptr, FALSE);
    const auto count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    ASSERT_GT(count, 0);
    // Every line as tall as its whole text wrapped at the list's width.
    const auto wrappedHeight = [list](int index) {
        std::wstring text(
            static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()))));
        RECT client{};
        ::GetClientRect(list, &client);
        RECT box{0, 0, client.right - 4, 0};
        const HDC dc = ::GetDC(list);
        const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                    DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_CALCRECT);
        ::SelectObject(dc, old);
        ::ReleaseDC(list, dc);
        return box.bottom;
    };
    int tallest = 0;
    for (int i = 0; i < count; ++i) {
        const auto height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(i), 0));
        EXPECT_GE(height, wrappedHeight(i)) << "line " << i << " is cut";
        tallest = std::max(tallest, height);
    }
    EXPECT_GT(tallest, window->baseUnits().y * 2) << "no line wrapped";
    // Wider: the list follows, and its lines need no more height than before.
    RECT listBefore = FrameOf(list);
    RECT frame = FrameOf(Hwnd(*preview));
    ::SetWindowPos(Hwnd(*preview), nullptr, 0, 0, frame.right - frame.left + 300, frame.bottom - frame.top + 200,
                   SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(100);
    const RECT listAfter = FrameOf(list);
    EXPECT_EQ(listAfter.right - listAfter.left, listBefore.right - listBefore.left + 300);
    // The list and the text below it share the height.
    EXPECT_EQ(listAfter.bottom - listAfter.top, listBefore.bottom - listBefore.top + 100);
    for (int i = 0; i < count; ++i)
        EXPECT_GE(static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(i), 0)), wrappedHeight(i))
            << "line " << i;
}

// The checks window's formats: the chosen one's text shown, following the
// form, and "Копировать" puts exactly it on the clipboard, with CR LF.
TEST_F(MainWindow, TheChecksWindowShowsTheChosenFormatAndCopiesIt) {
    Open({0, 0, 4000, 3000});
    ReadmeForm form = NewReadmeForm();
    form.pluginName = "Маяк"_cp;
    form.pluginFile = "Lighthouse.esp";
    form.description = "одна строка\r\nдругая"_cp;
    window->pluginPage().ApplyForm(form);
    window->TogglePreview();
    CPreview* preview = window->preview();
    ASSERT_NE(preview, nullptr);
    const HWND formats = ::FindWindowExW(Hwnd(*preview), nullptr, L"ComboBox", nullptr);
    const HWND copy = ::FindWindowExW(Hwnd(*preview), nullptr, L"Button", Wide(cp1251::ToUtf8(kCopyText)).c_str());
    const HWND text = ::FindWindowExW(Hwnd(*preview), nullptr, L"Edit", nullptr);
    ASSERT_TRUE(formats && copy && text);
    EXPECT_TRUE(::GetWindowLongPtrW(text, GWL_STYLE) & ES_READONLY);
    ASSERT_EQ(::SendMessageW(formats, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(std::size(kTextFormats)));
    const auto clipboard = [&] {
        std::wstring got = L"(nothing)";
        if (!::OpenClipboard(Hwnd(*preview))) return got;
        if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            got = static_cast<const wchar_t*>(::GlobalLock(data));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        return got;
    };
    for (std::size_t at = 0; at < std::size(kTextFormats); ++at) {
        ::SendMessageW(formats, CB_SETCURSEL, at, 0);
        ::SendMessageW(Hwnd(*preview), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(formats), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(formats));
        // Typing in the main window: the text follows a moment later.
        form.pluginName += "!";
        window->pluginPage().SetItemText(PluginId::Name, form.pluginName);
        PumpFor(600);
        const std::string expected =
            ReleaseTextUtf8(kTextFormats[at].format, window->CaptureFormFile().form, window->templatePackage());
        EXPECT_EQ(preview->shownText(), expected) << at;
        std::wstring shown(static_cast<std::size_t>(::GetWindowTextLengthW(text)) + 1, L'\0');
        shown.resize(static_cast<std::size_t>(::GetWindowTextW(text, shown.data(), static_cast<int>(shown.size()))));
        EXPECT_EQ(shown, Wide(WithCrLf(expected))) << at;
        ::SendMessageW(Hwnd(*preview), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(copy), BN_CLICKED),
                       reinterpret_cast<LPARAM>(copy));
        EXPECT_EQ(clipboard(), Wide(WithCrLf(expected))) << at;
        // The plain text's columns line up; the others read in the dialog's font.
        const HDC dc = ::GetDC(text);
        const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(text, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, old);
        ::ReleaseDC(text, dc);
        const bool fixedPitch = (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;  // the bit says variable
        EXPECT_EQ(fixedPitch, kTextFormats[at].format == ReleaseFormat::PlainText) << at;
    }
}

// Comparable, and shown as its four edges.
PixelEdges Edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

TEST_F(MainWindow, MadeLargerItsTextsAndPagesGrowTheButtonsStayAndTheLayoutComesBack) {
    Open({0, 0, 4000, 3000});
    const HWND main = Hwnd(*window);
    CDialog& plugin = window->pluginPage();
    struct Watched {
        HWND control;
        HWND parent;
        RECT at;
    };
    std::vector<Watched> watched;
    for (ItemId id : {MainId::New, MainId::Open, MainId::Save, MainId::Preview, MainId::Tabs})
        watched.push_back({ItemHwnd(*window, id), main, {}});
    for (ItemId id : {PluginId::Description, PluginId::UninstallText, PluginId::BrowseFile, PluginId::Screenshot2})
        watched.push_back({ItemHwnd(plugin, id), Hwnd(plugin), {}});
    watched.push_back({ItemHwnd(window->textDocPage(), TextDocId::Edit), Hwnd(window->textDocPage()), {}});
    for (Watched& w : watched) w.at = PlaceIn(w.control, w.parent);
    const RECT frame = FrameOf(main);

    // Through the message loop, as a drag of the frame sends it.
    ::SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left + 240, frame.bottom - frame.top + 160,
                   SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(100);
    const auto now = [&watched](std::size_t i) { return Edges(PlaceIn(watched[i].control, watched[i].parent)); };
    const auto moved = [](const RECT& r, int left, int top, int right, int bottom) {
        return PixelEdges{r.left + left, r.top + top, r.right + right, r.bottom + bottom};
    };
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(now(i), Edges(watched[i].at)) << "button " << i;
    EXPECT_EQ(now(3), moved(watched[3].at, 240, 160, 240, 160));
    EXPECT_EQ(now(4), moved(watched[4].at, 0, 0, 240, 160));
    // Four texts share the height on the Plugin page.
    EXPECT_EQ(now(5), moved(watched[5].at, 0, 0, 240, 40));
    EXPECT_EQ(now(6), moved(watched[6].at, 0, 120, 240, 160));
    EXPECT_EQ(now(7), moved(watched[7].at, 240, 0, 240, 0));
    EXPECT_EQ(now(8), moved(watched[8].at, 80, 80, 160, 80));
    EXPECT_EQ(now(9), moved(watched[9].at, 0, 0, 240, 160));
    const RECT area = TabPageRect(ItemHwnd(*window, MainId::Tabs));
    for (int tab = 0; tab < CMainDlg::kTabCount; ++tab)
        EXPECT_EQ(Edges(PlaceIn(Hwnd(*window->PageOfTab(tab)), main)), Edges(area)) << "tab " << tab;

    // Never smaller than the layout.
    MINMAXINFO limits{};
    ::SendMessageW(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, frame.right - frame.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, frame.bottom - frame.top);

    ::SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(100);
    for (std::size_t i = 0; i < watched.size(); ++i) EXPECT_EQ(now(i), Edges(watched[i].at)) << i;
}

TEST_F(MainWindow, TheSizeComesBackAtTheNextStartAndABrokenFileChangesNothing) {
    Open({0, 0, 4000, 3000});
    RECT layout{};
    ::GetClientRect(Hwnd(*window), &layout);
    const RECT frame = FrameOf(Hwnd(*window));
    ::SetWindowPos(Hwnd(*window), nullptr, 0, 0, frame.right - frame.left + 120, frame.bottom - frame.top + 90,
                   SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(50);
    ::SendMessageW(Hwnd(*window), WM_CLOSE, 0, 0);
    window.reset();
    window = std::make_unique<CMainDlg>();
    window->Create();
    RECT client{};
    ::GetClientRect(Hwnd(*window), &client);
    // Kept in dialog units: back within a unit's rounding.
    EXPECT_NEAR(client.right, layout.right + 120, 2);
    EXPECT_NEAR(client.bottom, layout.bottom + 90, 2);

    window.reset();
    ASSERT_TRUE(fileio::WriteWholeFile(scratch / "local\\Quillsmith\\window.json", "{ broken"));
    window = std::make_unique<CMainDlg>();
    window->Create();
    ::GetClientRect(Hwnd(*window), &client);
    EXPECT_EQ(Edges(client), Edges(layout));
    EXPECT_TRUE(answers.shown.empty());
}

}  // namespace

namespace {

// Picked through 1027's dialog, through the message loop: the header fills
// the form under Windows paths too, and one step undoes it.
TEST_F(MainWindow, APickedPluginFillsTheFormFromItsHeader) {
    Open({0, 0, 4000, 3000});
    const auto u32 = [](std::uint32_t v) {
        std::string b(4, '\0');
        for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
        return b;
    };
    std::string hedr(300, '\0');
    hedr.replace(8, 10, "Смотритель"_cp);
    std::string data = "HEDR" + u32(300) + hedr;
    for (const std::string master : {"Morrowind.esm", "Bloodmoon.esm", "Tamriel_Data.esm"})
        data += "MAST" + u32(static_cast<std::uint32_t>(master.size() + 1)) + master + '\0' + "DATA" + u32(8) + u32(0) +
                u32(0);
    const std::string path = scratch / "Маяк.esp";
    ASSERT_TRUE(
        fileio::WriteWholeFile(path, "TES3" + u32(static_cast<std::uint32_t>(data.size())) + u32(0) + u32(0) + data));
    const FormFile before = window->CaptureFormFile();

    window->ChooseTab(ControlIdValue(MainId::Tabs), 1);
    answers.saveAs = Wide(path);
    CPluginPage& page = window->pluginPage();
    ::SendMessageW(Hwnd(page), WM_COMMAND, MAKEWPARAM(ControlIdValue(PluginId::BrowseFile), BN_CLICKED),
                   reinterpret_cast<LPARAM>(ItemHwnd(page, PluginId::BrowseFile)));
    PumpFor(50);
    EXPECT_EQ(page.GetItemText(PluginId::File), "Маяк.esp"_cp);
    EXPECT_TRUE(page.IsChecked(PluginId::Morrowind));
    EXPECT_FALSE(page.IsChecked(PluginId::Tribunal));
    EXPECT_TRUE(page.IsChecked(PluginId::Bloodmoon));
    EXPECT_EQ(page.GetItemText(PluginId::OtherRequirements), "Tamriel_Data.esm");
    EXPECT_EQ(window->databasePage().GetItemText(DatabaseId::AuthorName), "Смотритель"_cp);
    EXPECT_TRUE(window->GetItemText(MainId::Status).starts_with("Из заголовка плагина: требует "_cp));
    ASSERT_TRUE(window->IsItemEnabled(MainId::RestoreForm));
    ::SendMessageW(Hwnd(*window), WM_COMMAND, MAKEWPARAM(ControlIdValue(MainId::RestoreForm), BN_CLICKED),
                   reinterpret_cast<LPARAM>(ItemHwnd(*window, MainId::RestoreForm)));
    EXPECT_EQ(window->CaptureFormFile(), before);
    EXPECT_TRUE(answers.shown.empty());
}

// A readme Save wrote, opened through Open Form's dialog and the message
// loop: the form renders the same bytes, the status line says so under a
// Windows path, and one step undoes it.
TEST_F(MainWindow, AReadmeOpenedThroughOpenFormFillsThePagesAndCanBeUndone) {
    Open({0, 0, 4000, 3000});
    FormFile file;
    file.form.pluginName = "Маяк"_cp;
    file.form.pluginFile = "Маяк.esp"_cp;
    file.form.description = "Первая\r\n\r\nвторая"_cp;
    file.form.noteEnabled = true;
    file.form.note = "<b>Заметка</b> & всё"_cp;
    window->ApplyFormFile(file);
    const std::string readme = scratch / "ReadMe.htm";
    answers.saveAs = Wide(readme);
    window->OnSave();
    const fileio::WholeFile saved = fileio::ReadWholeFile(readme, 1 << 20);
    ASSERT_TRUE(saved.ok());
    window->OnNew();
    const FormFile fresh = window->CaptureFormFile();

    answers.saveAs = Wide(readme);
    ::SendMessageW(Hwnd(*window), WM_COMMAND, MAKEWPARAM(ControlIdValue(MainId::OpenForm), BN_CLICKED),
                   reinterpret_cast<LPARAM>(ItemHwnd(*window, MainId::OpenForm)));
    PumpFor(50);
    for (const std::wstring& message : answers.shown) ADD_FAILURE() << Utf8FromWide(message);
    EXPECT_EQ(BuildReadmeHtml(window->CaptureFormFile().form, window->templatePackage()), saved.bytes);
    EXPECT_EQ(window->pluginPage().GetItemText(PluginId::Name), "Маяк"_cp);
    EXPECT_TRUE(window->extrasPage().IsChecked(ExtrasId::NoteEnabled));
    EXPECT_TRUE(window->GetItemText(MainId::Status).starts_with("Форма прочитана из ReadMe.htm"_cp));
    ASSERT_TRUE(window->IsItemEnabled(MainId::RestoreForm));
    ::SendMessageW(Hwnd(*window), WM_COMMAND, MAKEWPARAM(ControlIdValue(MainId::RestoreForm), BN_CLICKED),
                   reinterpret_cast<LPARAM>(ItemHwnd(*window, MainId::RestoreForm)));
    EXPECT_EQ(window->CaptureFormFile(), fresh);
}

}  // namespace
