// What only the Win32 layer does behind the shared interface (the contract
// tests hold the rest): file filters for the common dialogs, the keyboard
// table the system translates, the rich-edit control reading RTF itself,
// the stacking of a placed page, a file's length by its wide name, the
// banner's transparent colour, and the dialog seam's wide strings.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Windows.h"
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

enum : int { kName = 10, kNotes = 11 };

constexpr ControlSpec kLayout[] = {{kName, K::Edit, {}, {47, 15, 100, 12}, kStyleNone, 1}};

class TestPage : public CDialog {
public:
    TestPage() {
        EXPECT_TRUE(InitControls());
        EXPECT_TRUE(CreateTopLevel("test", {0, 0, 220, 140}));
        CreateControls(kLayout);
    }
};

TEST(Win32Dialog, TheKeyboardCommandsAreAnAcceleratorTableTheSystemTranslates) {
    TestPage page;
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
}

TEST(Win32Dialog, TheRichEditControlReadsTheRtfItself) {
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
    EXPECT_NE(shown.find("Как пользоваться"_cp), Text::npos);
    EXPECT_EQ(shown.find("\\rtf"), Text::npos);
}

TEST(Win32Dialog, APlacedPageLiesOnThePageAreaAboveTheTabControl) {
    enum : int { kTabs = 20 };
    constexpr ControlSpec kWindowLayout[] = {{kTabs, K::TabControl, {}, {4, 20, 200, 100}}};
    class Window : public CDialog {
    public:
        explicit Window(std::span<const ControlSpec> layout) {
            EXPECT_TRUE(InitControls());
            EXPECT_TRUE(CreateTopLevel("Окно"_cp, {0, 0, 210, 124}));
            CreateControls(layout);
        }
    } window(kWindowLayout);
    for (int i = 0; i < 3; ++i) window.InsertTab(kTabs, i, std::to_string(i));

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

}  // namespace
