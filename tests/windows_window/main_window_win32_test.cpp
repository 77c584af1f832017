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
#include "core/output_test_support.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Dialogs.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/ReadmeHtml.h"
#include "text/Cp1251.h"
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
    std::optional<std::wstring> FileDialog(HWND, const FileDialogRequest&) override { return std::nullopt; }
    bool Open(const std::wstring& path) override {
        opened.push_back(path);
        return true;
    }
    std::vector<std::wstring> shown, opened;
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
    void Open(RECT workArea) {
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
        window->Show(true);
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
        const HWND first = window->GetDlgItem(MainId::New);
        for (HWND at = first; at && stops.size() < 200;) {
            stops.push_back(at);
            at = ::GetNextDlgTabItem(window->hwnd(), at, FALSE);
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
    EXPECT_FALSE(window->Scrolls());
    const RECT expected = window->MapDialogRect({0, 0, 448, 366});
    RECT client{};
    ::GetClientRect(window->hwnd(), &client);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    const DialogBaseUnits& units = window->baseUnits();
    std::printf("   client %ldx%ld px = 448x366 DLU of a font %dx%d\n", client.right, client.bottom, units.x, units.y);
    wchar_t title[64] = {};
    ::GetWindowTextW(window->hwnd(), title, 64);
    EXPECT_STREQ(title, L"Quillsmith");
}

TEST_F(MainWindow, TheTabStripIsAKeyboardStopAfterTheButtons) {
    Open({0, 0, 4000, 3000});
    const std::vector<HWND> stops = TabStops();
    const auto at = [&stops](HWND control) { return std::find(stops.begin(), stops.end(), control) - stops.begin(); };
    const auto tabs = at(window->GetDlgItem(MainId::Tabs));
    ASSERT_LT(tabs, static_cast<long long>(stops.size())) << "the tab strip is no tab stop";
    for (MainId button : {MainId::New, MainId::Save, MainId::Open, MainId::OpenForm, MainId::SaveForm, MainId::Preview})
        EXPECT_LT(at(window->GetDlgItem(button)), tabs) << ControlIdValue(button);
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
    for (const auto& [button, tip] : tips) EXPECT_EQ(TipOf(window->hwnd(), window->GetDlgItem(button)), tip);
}

TEST_F(MainWindow, OnASmallScreenItScrollsAndEveryFocusedControlIsInView) {
    const RECT work{0, 0, 640, 420};
    Open(work);
    ASSERT_TRUE(window->Scrolls());
    RECT frame{};
    ::GetWindowRect(window->hwnd(), &frame);
    EXPECT_GE(frame.left, work.left);
    EXPECT_GE(frame.top, work.top);
    EXPECT_LE(frame.right, work.right);
    EXPECT_LE(frame.bottom, work.bottom);
    for (int tab = 0; tab < CMainDlg::kTabCount; ++tab) {
        window->ChooseTab(ControlIdValue(MainId::Tabs), tab);
        for (HWND control : TabStops()) {
            ::SetFocus(control);
            window->FocusMovedTo(control);
            RECT box{};
            ::GetWindowRect(control, &box);
            const RECT view = ClientOnScreen(window->hwnd());
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
    const HWND name = plugin.GetDlgItem(PluginId::Name);
    const RECT nameBefore = PlaceIn(name, plugin.hwnd());
    const DialogBaseUnits before = window->baseUnits();

    RECT frame{};
    ::GetWindowRect(window->hwnd(), &frame);
    const RECT suggested{frame.left + 10, frame.top + 10, frame.left + 10 + (frame.right - frame.left) * 3 / 2,
                         frame.top + 10 + (frame.bottom - frame.top) * 3 / 2};
    ::SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    const DialogBaseUnits after = window->baseUnits();
    EXPECT_GE(after.y * 4, before.y * 5) << "the font did not grow";
    EXPECT_EQ(plugin.baseUnits().y, after.y);
    RECT client{};
    ::GetClientRect(window->hwnd(), &client);
    const RECT expected = window->MapDialogRect({0, 0, 448, 366});
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    ::GetWindowRect(window->hwnd(), &frame);
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.top, suggested.top);

    // A page's control where its dialog units now fall: as far as the
    // units grew, give or take the rounding.
    const RECT nameAfter = PlaceIn(name, plugin.hwnd());
    EXPECT_NEAR(nameAfter.left, nameBefore.left * after.x / before.x, 2);
    EXPECT_NEAR(nameAfter.bottom, nameBefore.bottom * after.y / before.y, 2);
    // What a page placed in pixels is placed again at the new scale.
    CTextDocPage& text = window->textDocPage();
    const RECT edit = PlaceIn(text.GetDlgItem(TextDocId::Edit), text.hwnd());
    EXPECT_EQ(edit.left, 24);
    EXPECT_EQ(text.ClientSize().width - edit.right, 27);
    // The page still fills the tab control's page area.
    const RECT page = PlaceIn(plugin.hwnd(), window->hwnd());
    const RECT tabs = PlaceIn(window->GetDlgItem(MainId::Tabs), window->hwnd());
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
    const std::string folder = scratch / "temp\\Quillsmith preview";
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
    const HWND list = ::GetNextDlgTabItem(preview->hwnd(), nullptr, FALSE);
    ::SendMessageW(list, LB_SETCURSEL, row, 0);
    ::SendMessageW(preview->hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), BN_CLICKED),
                   reinterpret_cast<LPARAM>(list));
    PumpFor(300);
    EXPECT_EQ(window->GetCurSel(MainId::Tabs), 1);
    EXPECT_EQ(::GetFocus(), plugin.GetDlgItem(PluginId::Screenshot1));
    ::SetCurrentDirectoryW(Wide(scratch.path()).c_str());
}

}  // namespace
