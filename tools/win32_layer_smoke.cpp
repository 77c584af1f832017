// A proof of the Win32 layer, apart from the program: a window titled
// "Quillsmith" at the main window's size in dialog units, a tab control with
// part of the Plugin page's form, the user guide and the licence read by the
// rich-edit control from the embedded RTF, and the field editor's menu from
// its own table on a right click in the description.
//
//   quillsmith-win32-smoke.exe [--tab N] [--menu] [--close-after MS]
//
// Built with the windows preset (platform/win32/CMakeLists.txt).

#include "platform/win32/Windows.h"
// after windows.h
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "pages/FieldCommands.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Menus.h"
#include "rtf/EmbeddedDocuments.h"
#include "text/Cp1251.h"

namespace {

using K = ControlKind;

constexpr int kTabs = 1000;
constexpr int kName = 1001;
constexpr int kDescription = 1003;
constexpr int kRichText = 1100;
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kShowMenu = WM_APP + 1;

constexpr ControlSpec kMainLayout[] = {
    {kTabs, K::TabControl, {}, {4, 24, 440, 320}, kStyleNone, 1},
};
constexpr DluRect kWindowRect = {0, 0, 448, 366};
// A page's layout size; PlacePage makes it fill the tab control's page area.
constexpr DluRect kPageRect = {0, 0, 432, 302};

constexpr ControlSpec kFormLayout[] = {
    {kNoControlId, K::GroupBox, "Плагин"_cp, {4, 4, 424, 71}},
    {kNoControlId, K::Label, "Название"_cp, {10, 17, 34, 8}},
    {kName, K::Edit, {}, {47, 15, 150, 12}, kStyleNone, 1},
    {kNoControlId, K::Label, "Имя файла"_cp, {208, 18, 39, 8}},
    {1002, K::Edit, {}, {252, 15, 151, 12}, kStyleNone, 2},
    {kDescription, K::MultiLineEdit, {}, {10, 34, 409, 36}, kStyleNone, 3},
    {kNoControlId, K::GroupBox, "Требует"_cp, {4, 78, 424, 40}},
    {1004, K::CheckBox, "Morrowind", {10, 87, 49, 10}, kStyleNone, 4},
    {1005, K::CheckBox, "Tribunal", {61, 87, 41, 10}, kStyleNone, 5},
    {1006, K::CheckBox, "Архив BSA"_cp, {104, 87, 52, 10}, kStyleNone, 6},
    {1007, K::DropListCombo, {}, {10, 100, 60, 60}, kStyleNone, 7},
};

constexpr ControlSpec kTextLayout[] = {
    {kRichText, K::RichEdit, {}, {4, 4, 424, 295}},
};
// The about page: the banner at a place in pixels, the licence below it.
constexpr ControlSpec kAboutLayout[] = {
    {kRichText, K::RichEdit, {}, {4, 83, 424, 216}},
};
constexpr POINT kBannerOrigin = {32, 10};

class CSmokePage : public CDialog {
public:
    void CreateForm(WindowHandle parent) {
        CreatePage(parent, kPageRect);
        CreateControls(kFormLayout);
        AddComboItems(1007, {"0", "1", "2", "3"});
        SetCurSel(1007, 3);
        SetCheck(1004, true);
        SetItemText(kName, "Маяк у Тихой заводи"_cp);
        SetItemText(kDescription, "Старый маяк снова горит.\nПравый щелчок: меню полей."_cp);
        OnContextMenu(kDescription, [this](ScreenPoint at) { ShowFieldMenu({at.x, at.y}); });
    }
    void CreateText(WindowHandle parent, std::span<const unsigned char> rtf) {
        CreatePage(parent, kPageRect);
        CreateControls(kTextLayout);
        SetItemRtf(kRichText, rtf);
    }
    void CreateAbout(WindowHandle parent) {
        CreatePage(parent, kPageRect);
        CreateControls(kAboutLayout);
        SetItemRtf(kRichText, LicenseRtfBytes());
        if (!m_banner.Load(BannerBmpBytes())) return;
        m_bannerPlace = {ScreenPixels(kBannerOrigin.x), ScreenPixels(kBannerOrigin.y),
                         ScreenPixels(kBannerOrigin.x + m_banner.size().width),
                         ScreenPixels(kBannerOrigin.y + m_banner.size().height)};
        // As far below the banner as the box stands in from the page's edge.
        RECT box = MapDialogRect(*this, kAboutLayout[0].rect);
        box.top = std::max(box.top, m_bannerPlace.bottom + MapDialogRect(*this, {0, 0, 4, 0}).right);
        ::MoveWindow(ItemHwnd(*this, kRichText), box.left, box.top, box.right - box.left, box.bottom - box.top, FALSE);
        SetMessageHook(*this, [this](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message != WM_PAINT) return std::nullopt;
            PAINTSTRUCT paint{};
            const HDC dc = ::BeginPaint(Hwnd(*this), &paint);
            DrawTransparent(dc, m_banner, m_bannerPlace, RGB(0, 0, 0));
            ::EndPaint(Hwnd(*this), &paint);
            return 0;
        });
    }
    void ShowFieldMenu(POINT at) {
        if (at.x == -1 && at.y == -1) {
            RECT rect{};
            ::GetWindowRect(ItemHwnd(*this, kDescription), &rect);
            at = {rect.left + 20, rect.top + 20};
        }
        CMenu menu;
        menu.LoadMenu(FieldEditMenu());
        const int command = TrackPopupMenu(ToHmenu(menu.GetSubMenu(kMenuWithSelection)), at, Hwnd(*this));
        if (command != 0)
            ShowMessageBox(GetSafeHwnd(), std::string("Команда "_cp) + std::to_string(command), MessageIcon::None);
    }

private:
    CBitmap m_banner;
    RECT m_bannerPlace{};
};

class CSmokeWindow : public CDialog {
public:
    bool Create(int tab) {
        if (!CreateTopLevel("Quillsmith", kWindowRect)) return false;
        CreateControls(kMainLayout);
        InsertTab(kTabs, 0, "Параметры 1"_cp);
        InsertTab(kTabs, 1, "Справка"_cp);
        InsertTab(kTabs, 2, "О программе"_cp);
        m_pages[0].CreateForm(GetSafeHwnd());
        m_pages[1].CreateText(GetSafeHwnd(), HelpRtfBytes());
        m_pages[2].CreateAbout(GetSafeHwnd());
        // Pages lie over the tab control's panel, above it in the z-order.
        for (CSmokePage& page : m_pages) PlacePage(page, kTabs);
        SetMessageHook(*this, [this](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_TIMER && wParam == kCloseTimer) {
                ::DestroyWindow(Hwnd(*this));
                return 0;
            }
            if (message == kShowMenu) {
                page(0).ShowFieldMenu({-1, -1});
                return 0;
            }
            return std::nullopt;
        });
        SetCurSel(kTabs, tab);
        ShowTab(tab);
        OnSelChange(kTabs, [this] { ShowTab(GetCurSel(kTabs)); });
        return true;
    }
    CSmokePage& page(int index) { return m_pages[static_cast<std::size_t>(index)]; }

private:
    void ShowTab(int tab) {
        for (int i = 0; i < static_cast<int>(m_pages.size()); ++i) page(i).Show(i == tab);
    }
    std::array<CSmokePage, 3> m_pages;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    int tab = 0, closeAfter = 0;
    bool menu = false;
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; args && i < count; ++i) {
        const std::wstring arg = args[i];
        if (arg == L"--tab" && i + 1 < count) tab = std::stoi(args[++i]);
        if (arg == L"--close-after" && i + 1 < count) closeAfter = std::stoi(args[++i]);
        if (arg == L"--menu") menu = true;
    }
    ::LocalFree(args);

    if (!InitControls()) return 1;
    const auto window = std::make_unique<CSmokeWindow>();
    if (!window->Create(tab)) return 1;
    ::ShowWindow(Hwnd(*window), show);
    ::UpdateWindow(Hwnd(*window));
    if (closeAfter > 0) ::SetTimer(Hwnd(*window), kCloseTimer, static_cast<UINT>(closeAfter), nullptr);
    if (menu) ::PostMessageW(Hwnd(*window), kShowMenu, 0, 0);
    return RunMessageLoop(*window);
}
