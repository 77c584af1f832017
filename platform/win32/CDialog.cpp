#include "platform/win32/Windows.h"
// after windows.h
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/DialogRules.h"
#include "platform/PendingControls.h"
#include "platform/win32/DialogUnits.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Text.h"
#include "text/LineBreaks.h"

// The window behind a dialog and everything the dialog keeps of it.
struct CDialog::Native {
    explicit Native(CDialog& owner) : self(owner) {}

    // A friend's own: the layer's free functions reach a dialog through it.
    static Native& Of(const CDialog& dialog) { return *dialog.m_native; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // One per message; nothing: the system's default handling.
    std::optional<LRESULT> OnCommandMessage(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnNotify(LPARAM lParam);
    std::optional<LRESULT> OnContextMenu(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnTimer(WPARAM wParam);
    std::optional<LRESULT> OnDropFiles(WPARAM wParam);
    std::optional<LRESULT> OnActivate(WPARAM wParam);
    std::optional<LRESULT> OnDpiChanged(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnScroll(int bar, WPARAM wParam);
    std::optional<LRESULT> OnMouseWheel(WPARAM wParam);
    std::optional<LRESULT> OnPaint();
    std::optional<LRESULT> OnClose();
    std::optional<LRESULT> OnMeasureItem(LPARAM lParam) const;
    std::optional<LRESULT> OnDrawItem(LPARAM lParam) const;
    LRESULT DrawElidingLabel(const DRAWITEMSTRUCT& item) const;
    std::optional<LRESULT> OnGetMinMaxInfo(LPARAM lParam) const;
    std::optional<LRESULT> OnSize(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnDestroy() const;

    bool Create(DWORD exStyle, DWORD style, std::wstring_view title, HWND parent, const RECT& place);
    HWND CreateControl(const ControlSpec& spec);
    HWND Item(int id) const;
    void ScrollTo(int bar, int position);
    // The top-level window at its layout's size, or scrolling where the
    // work area is smaller; at the point given, else where it stands.
    void FitWindow(const RECT& work, std::optional<POINT> at);
    // Not on top of another of our windows.
    void Cascade();
    // A list box's lines wrapped at its width, each as tall as it needs.
    void MeasureListItems(HWND list) const;
    // The dialog font and every layout control at another DPI.
    void Rescale(int dpi);
    void FocusMovedTo(HWND control);
    // The controls where the growth puts them in a dialog by pixels larger
    // than its layout, and the pages under its tab control after them.
    void Grow(PixelSize by);
    bool Scrolls() const { return m_content.cx > 0; }
    // The frame this window really has around its client area, in pixels.
    SIZE FrameExtra() const;
    RECT MapDialogRect(const DluRect& rect) const { return ::MapDialogRect(rect, m_units); }
    int ScreenPixels(int pixelsAt96Dpi) const { return MulDiv(pixelsAt96Dpi, m_dpi, 96); }
    // A handler of the map for this id ran.
    template <class Handlers>
    static bool Run(const Handlers& handlers, int id) {
        const auto found = handlers.find(id);
        if (found == handlers.end() || !found->second) return false;
        found->second();
        return true;
    }

    CDialog& self;
    HWND m_hwnd = nullptr;
    HFONT m_font = nullptr;
    DialogBaseUnits m_units;
    std::map<int, HWND> m_items;
    std::vector<int> m_itemOrder;  // the layout's order
    std::map<int, std::function<void()>> m_clicked, m_selChange, m_textChange, m_selChanging;
    std::map<int, std::function<void(ScreenPoint)>> m_contextMenu;
    std::map<int, std::function<void()>> m_activate;
    HWND m_tips = nullptr;
    // Tips given before a top-level window first shows, by control id.
    std::map<int, std::string> m_tipsWhenShown;
    HWND m_focusWhenShown = nullptr;
    // A top-level window that has not shown yet: its tips and first focus wait.
    bool WaitsToShow() const { return !::GetParent(m_hwnd) && !::IsWindowVisible(m_hwnd); }
    std::function<void()> m_changed;
    std::map<int, std::function<void()>> m_commands;
    std::map<UINT_PTR, std::function<void()>> m_timers;
    std::function<void(const std::vector<FilePath>&, int)> m_dropFiles;
    HACCEL m_accelerators = nullptr;
    MessageHook m_hook;
    const CBitmap* m_picture = nullptr;
    RECT m_picturePlace{};
    COLORREF m_pictureTransparent = 0;
    int m_dpi = 96;
    DWORD m_style = 0;                  // a top-level window's
    DluRect m_layoutSize{};             // a top-level window's
    std::optional<DluRect> m_pageSize;  // a page's
    std::vector<std::pair<HWND, DluRect>> m_places;
    std::vector<ControlSpec> m_layout;  // every row, with its control or none
    std::vector<HWND> m_layoutControls;
    std::span<const GrowthRule> m_growth;
    PixelSize m_extra{};
    std::vector<std::pair<CDialog*, int>> m_pages;  // placed under a tab control
    std::map<HWND, HWND> m_tabAfter;                // AddTabStop's: the control Tab reaches it from
    HWND m_lastFocus = nullptr;
    SIZE m_content{};  // the whole layout of a window that scrolls
    POINT m_scroll{};
};

namespace {

constexpr wchar_t kDialogClass[] = L"QuillsmithDialog";

std::optional<RECT>& WorkAreaOverride() {
    static std::optional<RECT> area;
    return area;
}

RECT WorkArea() {
    if (WorkAreaOverride()) return *WorkAreaOverride();
    RECT area{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return area;
}

void RegisterDialogClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = ::DefWindowProcW;  // replaced on creation
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        windowClass.hIcon = ::LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
        windowClass.lpszClassName = kDialogClass;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

bool IsMultiLine(HWND window) { return (::GetWindowLongPtrW(window, GWL_STYLE) & ES_MULTILINE) != 0; }

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    ::GetClassNameW(window, found, 64);
    return ::lstrcmpiW(found, name) == 0;
}

constexpr DWORD kTopLevelStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kResizableStyle = kTopLevelStyle | WS_THICKFRAME | WS_MAXIMIZEBOX;

// The window around a client area at a DPI: the system's own measure where
// it has one (Windows 10), else the system DPI's.
RECT FrameAround(RECT client, DWORD style, int dpi) {
    using ForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto forDpi = reinterpret_cast<ForDpi>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!forDpi || !forDpi(&client, style, FALSE, 0, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&client, style, FALSE, 0);
    return client;
}

// The work area of the screen that holds most of place.
RECT WorkAreaAt(const RECT& place) {
    if (WorkAreaOverride()) return *WorkAreaOverride();
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &info)) return WorkArea();
    return info.rcWork;
}

// A window of our class's dialog, or nullptr.
CDialog::Native* NativeOf(HWND window) {
    return window && IsClass(window, kDialogClass)
               ? reinterpret_cast<CDialog::Native*>(::GetWindowLongPtrW(window, GWLP_USERDATA))
               : nullptr;
}

// The window of ours that a window belongs to, or nullptr.
CDialog::Native* DialogOf(HWND window) { return NativeOf(window ? ::GetAncestor(window, GA_ROOT) : nullptr); }

// A multi-line edit asks for every key, and then Tab never leaves it and
// Escape sends WM_CLOSE to its page. Those two keys are the dialog's, as
// in a single-line field; Enter still breaks the line.
LRESULT CALLBACK LeaveDialogKeys(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_GETDLGCODE && lParam != 0) {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const bool dialogKey = (key->message == WM_KEYDOWN || key->message == WM_CHAR) &&
                               (key->wParam == VK_TAB || key->wParam == VK_ESCAPE) && ::GetKeyState(VK_CONTROL) >= 0;
        const LRESULT wants = ::DefSubclassProc(control, message, wParam, lParam);
        return dialogKey ? wants & ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB) : wants;
    }
    // Outside a dialog's keys (a message sent straight to the control).
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_ESCAPE) return 0;
    return ::DefSubclassProc(control, message, wParam, lParam);
}

constexpr UINT kListTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

std::wstring ListItemText(HWND list, int index) {
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(
        0, ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())))));
    return text;
}

// An edit control shows its own context menu: this one's goes to the
// dialog instead, as WM_CONTEXTMENU from any other control does.
LRESULT CALLBACK ForwardContextMenu(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CONTEXTMENU)
        return ::SendMessageW(::GetParent(control), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), lParam);
    return ::DefSubclassProc(control, message, wParam, lParam);
}

// A click, or Enter with the focus, on a control that OnActivate named.
LRESULT CALLBACK ActivateOnClick(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const bool enter = message == WM_KEYDOWN && wParam == VK_RETURN;
    if (message == WM_GETDLGCODE && lParam != 0 && reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
        return ::DefSubclassProc(control, message, wParam, lParam) | DLGC_WANTMESSAGE;
    if (message == WM_LBUTTONUP || enter) {
        ::SendMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), BN_CLICKED),
                       reinterpret_cast<LPARAM>(control));
        if (enter) return 0;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

CDialog::CDialog() : m_native(std::make_unique<Native>(*this)) {}

CDialog::~CDialog() {
    Native& n = *m_native;
    if (n.m_accelerators) ::DestroyAcceleratorTable(n.m_accelerators);
    if (n.m_hwnd) {
        ::SetWindowLongPtrW(n.m_hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(n.m_hwnd);
    }
    if (n.m_font) ::DeleteObject(n.m_font);
}

bool CDialog::Native::Create(DWORD exStyle, DWORD style, std::wstring_view title, HWND parent, const RECT& place) {
    RegisterDialogClass();
    const std::wstring caption(title);
    m_hwnd = ::CreateWindowExW(exStyle | WS_EX_CONTROLPARENT, kDialogClass, caption.c_str(), style, place.left,
                               place.top, place.right - place.left, place.bottom - place.top, parent, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd) return false;
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Native::WindowProc));
    ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    return true;
}

bool CDialog::CreateTopLevel(std::string_view title, const DluRect& size, bool resizable) {
    Native& n = *m_native;
    n.m_dpi = WindowDpi(nullptr);
    n.m_font = CreateDialogFont(n.m_dpi);
    n.m_units = BaseUnitsOf(n.m_font);
    n.m_layoutSize = size;
    n.m_style = resizable ? kResizableStyle : kTopLevelStyle;
    const RECT frame = FrameAround(n.MapDialogRect({0, 0, size.width, size.height}), n.m_style, n.m_dpi);
    const RECT place{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + frame.right - frame.left,
                     CW_USEDEFAULT + frame.bottom - frame.top};
    if (!n.Create(0, n.m_style, ToWide(title), nullptr, place)) return false;
    n.FitWindow(WorkArea(), std::nullopt);
    n.Cascade();
    return true;
}

void CDialog::Native::Cascade() {
    if (Scrolls()) return;
    // Another of our windows where this one stands, in any process: one
    // title bar further down and right, as the system cascades windows.
    const auto taken = [this](POINT at) {
        struct Look {
            HWND self;
            POINT at;
            bool found;
        } look{m_hwnd, at, false};
        ::EnumWindows(
            [](HWND other, LPARAM data) -> BOOL {
                auto* l = reinterpret_cast<Look*>(data);
                RECT place{};
                if (other != l->self && ::IsWindowVisible(other) && IsClass(other, kDialogClass) &&
                    ::GetWindowRect(other, &place) && place.left == l->at.x && place.top == l->at.y)
                    l->found = true;
                return !l->found;
            },
            reinterpret_cast<LPARAM>(&look));
        return look.found;
    };
    RECT now{};
    ::GetWindowRect(m_hwnd, &now);
    const RECT work = WorkAreaAt(now);
    const int step = ScreenPixels(::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYFRAME));
    POINT at{now.left, now.top};
    for (int tries = 0; tries < 32 && taken(at); ++tries) {
        at.x += step;
        at.y += step;
        // Off the work area: start again from its corner.
        if (at.x + (now.right - now.left) > work.right || at.y + (now.bottom - now.top) > work.bottom)
            at = {work.left, work.top};
    }
    if (at.x != now.left || at.y != now.top)
        ::SetWindowPos(m_hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::Native::FitWindow(const RECT& work, std::optional<POINT> at) {
    const RECT client = MapDialogRect({0, 0, m_layoutSize.width, m_layoutSize.height});
    const RECT frame = FrameAround(client, m_style, m_dpi);
    LONG width = frame.right - frame.left;
    LONG height = frame.bottom - frame.top;
    const LONG roomWidth = work.right - work.left;
    const LONG roomHeight = work.bottom - work.top;
    RECT now{};
    ::GetWindowRect(m_hwnd, &now);
    POINT origin = at.value_or(POINT{now.left, now.top});
    const int bar = MulDiv(::GetSystemMetrics(SM_CXVSCROLL), m_dpi, WindowDpi(nullptr));
    const ScrollBarsNeeded bars = NeedScrollBars({static_cast<int>(width), static_cast<int>(height)},
                                                 {static_cast<int>(roomWidth), static_cast<int>(roomHeight)}, bar);
    const bool wide = bars.horizontal, tall = bars.vertical;
    if (tall || wide) {
        if (tall) width += bar;
        if (wide) height += bar;
        width = std::min(width, roomWidth);
        height = std::min(height, roomHeight);
        origin = {work.left, work.top};
    }
    m_content = tall || wide ? SIZE{client.right - client.left, client.bottom - client.top} : SIZE{};
    ::ShowScrollBar(m_hwnd, SB_HORZ, wide);
    ::ShowScrollBar(m_hwnd, SB_VERT, tall);
    ::SetWindowPos(m_hwnd, nullptr, origin.x, origin.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT view{};
    ::GetClientRect(m_hwnd, &view);
    // The frame the system drew may not be the one it measured (a scale
    // not yet applied to the title bar): the client area decides.
    if (!Scrolls() && (view.right != client.right || view.bottom != client.bottom)) {
        width += client.right - view.right;
        height += client.bottom - view.bottom;
        ::SetWindowPos(m_hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& [which, shown, whole, length] :
         {std::tuple{SB_HORZ, wide, m_content.cx, view.right}, std::tuple{SB_VERT, tall, m_content.cy, view.bottom}}) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        if (shown) {
            info.fMask |= SIF_DISABLENOSCROLL;
            info.nMax = static_cast<int>(whole) - 1;
            info.nPage = static_cast<UINT>(std::max<LONG>(length, 1));
        }
        ::SetScrollInfo(m_hwnd, which, &info, TRUE);
    }
}

void CDialog::Native::Rescale(int dpi) {
    const HFONT font = CreateDialogFont(dpi);
    if (!font) return;
    m_dpi = dpi;
    m_units = BaseUnitsOf(font);
    ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const auto& [control, rect] : m_places) {
        // A rich-edit control would take the font for its whole text, over
        // the document's own.
        if (!IsClass(control, RichEditClass()))
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        const RECT place = MapDialogRect(rect);
        ::SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_pageSize) {
        const RECT size = MapDialogRect({0, 0, m_pageSize->width, m_pageSize->height});
        ::SetWindowPos(m_hwnd, nullptr, 0, 0, size.right, size.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::DeleteObject(std::exchange(m_font, font));
    self.OnScaleChanged();
    ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CDialog::Native::ScrollTo(int bar, int position) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    if (!Scrolls() || !::GetScrollInfo(m_hwnd, bar, &info)) return;
    const int last = std::max(0, info.nMax - static_cast<int>(info.nPage) + 1);
    position = std::clamp(position, 0, last);
    LONG& now = bar == SB_VERT ? m_scroll.y : m_scroll.x;
    if (position == now) return;
    const int by = now - position;
    now = position;
    info.fMask = SIF_POS;
    info.nPos = position;
    ::SetScrollInfo(m_hwnd, bar, &info, TRUE);
    ::ScrollWindowEx(m_hwnd, bar == SB_HORZ ? by : 0, bar == SB_VERT ? by : 0, nullptr, nullptr, nullptr, nullptr,
                     SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

void CDialog::Native::FocusMovedTo(HWND control) {
    if (!control || !::IsChild(m_hwnd, control)) return;
    m_lastFocus = control;
    if (!Scrolls()) return;
    // A combo box's edit field stands for its combo box.
    if (const HWND parent = ::GetParent(control); parent && IsClass(parent, L"ComboBox")) control = parent;
    RECT box{};
    ::GetWindowRect(control, &box);
    ::MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&box), 2);
    RECT view{};
    ::GetClientRect(m_hwnd, &view);
    // The box is in view coordinates, the scroll position in the layout's.
    const auto show = [this](int bar, LONG first, LONG end, LONG length, LONG now) {
        ScrollTo(bar, ScrollToShow(static_cast<int>(now + first), static_cast<int>(now + end - 1),
                                   static_cast<int>(length), static_cast<int>(now)));
    };
    show(SB_HORZ, box.left, box.right, view.right, m_scroll.x);
    show(SB_VERT, box.top, box.bottom, view.bottom, m_scroll.y);
}

bool CDialog::CreatePage(WindowHandle parentHandle, const DluRect& size) {
    const HWND parent = ToHwnd(parentHandle);
    if (!parent) return false;
    Native& n = *m_native;
    n.m_pageSize = size;
    // The parent's scale: after a move to another screen it is no longer the system's.
    const Native* holder = DialogOf(parent);
    n.m_dpi = holder ? holder->m_dpi : WindowDpi(parent);
    n.m_font = CreateDialogFont(n.m_dpi);
    n.m_units = BaseUnitsOf(n.m_font);
    return n.Create(0, WS_CHILD | WS_CLIPSIBLINGS, L"", parent, n.MapDialogRect({0, 0, size.width, size.height}));
}

WindowHandle CDialog::GetSafeHwnd() const { return ToHandle(m_native->m_hwnd); }

void CDialog::Show(bool show) {
    if (show) CreateControlsNow();
    ::ShowWindow(m_native->m_hwnd, show ? SW_SHOW : SW_HIDE);
    if (show) ::UpdateWindow(m_native->m_hwnd);
    if (!show || m_native->WaitsToShow()) return;
    if (const HWND focus = std::exchange(m_native->m_focusWhenShown, nullptr); focus && ::IsWindow(focus)) {
        ::SetFocus(focus);
        if (Native* window = DialogOf(focus)) window->FocusMovedTo(focus);
    }
    for (const auto& [id, tip] : std::exchange(m_native->m_tipsWhenShown, {})) SetItemTip(id, tip);
}

void CDialog::SetTitle(std::string_view title) {
    if (m_native->m_hwnd) ::SetWindowTextW(m_native->m_hwnd, ToWide(title).c_str());
}

bool CDialog::IsShown() const { return m_native->m_hwnd && ::IsWindowVisible(m_native->m_hwnd); }

void CDialog::BringToFront() { ::SetForegroundWindow(m_native->m_hwnd); }

HWND CDialog::Native::CreateControl(const ControlSpec& spec) {
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    // A combo box's height, as in a dialog template, takes in its open list.
    const DluRect& rect = spec.rect;
    switch (spec.kind) {
        case ControlKind::GroupBox:
            windowClass = L"BUTTON", style |= BS_GROUPBOX;
            break;
        case ControlKind::Label:
            // Drawn by the window: the system's path ellipsis keeps only a
            // text's end, and Wine's cuts both ends.
            style |= (spec.style & kStyleElideMiddle) ? SS_OWNERDRAW : SS_LEFT | SS_NOPREFIX;
            break;
        case ControlKind::Edit:
            windowClass = L"EDIT", style |= ES_AUTOHSCROLL, exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::MultiLineEdit:
            windowClass = L"EDIT", exStyle = WS_EX_CLIENTEDGE;
            style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
            break;
        case ControlKind::CheckBox:
            windowClass = L"BUTTON", style |= BS_AUTOCHECKBOX;
            break;
        case ControlKind::PushButton:
            windowClass = L"BUTTON", style |= BS_PUSHBUTTON;
            break;
        case ControlKind::DropDownCombo:
        case ControlKind::DropListCombo:
            windowClass = L"COMBOBOX", style |= WS_VSCROLL;
            style |= spec.kind == ControlKind::DropDownCombo ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
            break;
        case ControlKind::TabControl:
            windowClass = WC_TABCONTROLW, style |= WS_CLIPSIBLINGS;
            break;
        case ControlKind::RichEdit:
            windowClass = RichEditClass(), exStyle = WS_EX_CLIENTEDGE;
            style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL;
            break;
        case ControlKind::ListBox:
            // Drawn here, so that a long line wraps rather than being cut.
            windowClass = L"LISTBOX", exStyle = WS_EX_CLIENTEDGE;
            style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
            break;
    }
    if ((spec.style & kStyleDisabled) != 0) style |= WS_DISABLED;
    if ((spec.style & kStyleReadOnly) != 0) style |= ES_READONLY;
    if (spec.tabOrder > 0) style |= WS_TABSTOP;

    const RECT place = MapDialogRect(rect);
    const std::wstring caption = ToWide(spec.caption);
    const HWND control =
        ::CreateWindowExW(exStyle, windowClass, caption.c_str(), style, place.left, place.top, place.right - place.left,
                          place.bottom - place.top, m_hwnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id == kNoControlId ? 0xFFFF : spec.id)),
                          ::GetModuleHandleW(nullptr), nullptr);
    if (!control) return nullptr;
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    // The system's default limit would cut a long paste without a word.
    if (spec.kind == ControlKind::Edit || spec.kind == ControlKind::MultiLineEdit)
        ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    if (spec.kind == ControlKind::DropDownCombo) ::SendMessageW(control, CB_LIMITTEXT, 0, 0);
    if (spec.kind == ControlKind::MultiLineEdit) ::SetWindowSubclass(control, &LeaveDialogKeys, 3, 0);
    return control;
}

void CDialog::CreateControls(std::span<const ControlSpec> layout) {
    if (DeferControls(layout)) return;
    Native& n = *m_native;
    std::vector<HWND> controls;
    for (const ControlSpec& spec : layout) {
        const HWND control = n.CreateControl(spec);
        controls.push_back(control);
        n.m_layout.push_back(spec);
        n.m_layoutControls.push_back(control);
        if (!control) continue;
        if (spec.id != kNoControlId && n.m_items.insert_or_assign(spec.id, control).second)
            n.m_itemOrder.push_back(spec.id);
        n.m_places.emplace_back(control, spec.rect);
    }
    // Tab goes through the controls in their layout's tab order: the
    // dialog manager follows the z-order.
    for (const std::size_t stop : TabOrderOf(layout))
        if (controls[stop])
            ::SetWindowPos(controls[stop], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

WindowHandle CDialog::GetDlgItem(ItemId id) const {
    CreateControlsNow();
    return ToHandle(m_native->Item(id));
}

HWND CDialog::Native::Item(int id) const {
    const auto found = m_items.find(id);
    return found == m_items.end() ? nullptr : found->second;
}

Text CDialog::GetItemText(int id) const {
    if (Text text; m_pending && m_pending->GetText(id, text)) return text;
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    return control ? FromWide(WindowText(control)) : Text();
}

namespace {

// A multi-line edit sends no EN_CHANGE for WM_SETTEXT: it is sent here, so
// a program's change is told as on a single-line edit.
void SetEditText(HWND control, const std::wstring& text) {
    ::SetWindowTextW(control, text.c_str());
    if (!IsMultiLine(control)) return;
    ::SendMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(::GetDlgCtrlID(control)), EN_CHANGE),
                   reinterpret_cast<LPARAM>(control));
}

}  // namespace

void CDialog::SetItemText(ItemId id, std::string_view text) {
    if (m_pending && m_pending->SetText(id, text, false)) return;
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return;
    SetEditText(control, ToWide(IsMultiLine(control) ? WithCrLf(text) : std::string(text)));
}

std::string CDialog::GetItemUtf8(int id) const {
    if (std::string utf8; m_pending && m_pending->GetUtf8(id, utf8)) return utf8;
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    return control ? Utf8FromWide(WindowText(control)) : std::string();
}

void CDialog::SetItemUtf8(ItemId id, std::string_view utf8) {
    if (m_pending && m_pending->SetText(id, utf8, true)) return;
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return;
    SetEditText(control, WideFromUtf8(IsMultiLine(control) ? WithCrLf(utf8) : std::string(utf8)));
}

void CDialog::ReplaceItemText(ItemId id, std::string_view text) {
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return;
    const std::wstring wide = ToWide(IsMultiLine(control) ? WithCrLf(text) : std::string(text));
    ::SendMessageW(control, EM_SETSEL, 0, -1);
    ::SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

int CDialog::GetItemTextLength(ItemId id) const {
    if (int length = 0; m_pending && m_pending->GetTextLength(id, length)) return length;
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    return control ? ::GetWindowTextLengthW(control) : 0;
}

bool CDialog::IsChecked(int id) const {
    if (m_pending) {
        const PendingControl* control = m_pending->Find(id);
        return control && control->checked;
    }
    const HWND control = m_native->Item(id);
    return control && ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CDialog::SetCheck(ItemId id, bool checked) {
    if (m_pending && m_pending->SetCheck(id, checked)) return;
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control || IsChecked(id) == checked) return;
    ::SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (m_native->m_changed) m_native->m_changed();
}

bool CDialog::IsItemEnabled(ItemId id) const {
    if (m_pending) {
        const PendingControl* control = m_pending->Find(id);
        return control && control->enabled;
    }
    const HWND control = m_native->Item(id);
    return control && ::IsWindowEnabled(control);
}

void CDialog::EnableItem(ItemId id, bool enable) {
    if (m_pending) {
        if (PendingControl* control = m_pending->Find(id)) control->enabled = enable;
        return;
    }
    if (const HWND control = m_native->Item(id)) ::EnableWindow(control, enable);
}

int CDialog::GetCurSel(int id) const {
    if (int index = -1; m_pending && m_pending->GetSelection(id, index)) return index;
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return -1;
    if (IsClass(control, WC_TABCONTROLW)) return static_cast<int>(::SendMessageW(control, TCM_GETCURSEL, 0, 0));
    if (IsClass(control, L"LISTBOX")) return static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0));
    return static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
}

void CDialog::SetCurSel(ItemId id, int index) {
    if (m_pending && m_pending->SetSelection(id, index)) return;
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return;
    if (GetCurSel(id) == index) return;
    const bool tab = IsClass(control, WC_TABCONTROLW);
    const UINT message = tab ? TCM_SETCURSEL : IsClass(control, L"LISTBOX") ? LB_SETCURSEL : CB_SETCURSEL;
    ::SendMessageW(control, message, static_cast<WPARAM>(static_cast<INT_PTR>(index)), 0);
    if (!tab && m_native->m_changed) m_native->m_changed();
}

void CDialog::SetCaret(ItemId id, int pos) {
    if (m_pending && m_pending->SetCaret(id, pos)) return;
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return;
    const auto at = static_cast<WPARAM>(std::max(pos, 0));
    ::SendMessageW(control, EM_SETSEL, at, static_cast<LPARAM>(at));
    ::SendMessageW(control, EM_SCROLLCARET, 0, 0);
}

void CDialog::GetSel(ItemId id, int& start, int& end) const {
    CreateControlsNow();
    start = end = 0;
    const HWND control = m_native->Item(id);
    if (!control) return;
    DWORD from = 0, to = 0;
    ::SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const std::wstring text = WindowText(control);
    const auto position = [&text](DWORD units) {
        return static_cast<int>(FromWide(std::wstring_view(text).substr(0, units)).size());
    };
    start = position(from);
    end = position(to);
}

bool CDialog::CanUndo(ItemId id) const {
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    return control && ::SendMessageW(control, EM_CANUNDO, 0, 0) != 0;
}

void CDialog::EditItem(ItemId id, EditCommand command) {
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return;
    UINT message = WM_UNDO;
    switch (command) {
        case EditCommand::Undo:
            break;
        case EditCommand::Cut:
            message = WM_CUT;
            break;
        case EditCommand::Copy:
            message = WM_COPY;
            break;
        case EditCommand::Paste:
            message = WM_PASTE;
            break;
    }
    ::SendMessageW(control, message, 0, 0);
}

ScreenPoint CDialog::CaretScreenPoint(ItemId id) const {
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return {};
    DWORD from = 0, to = 0;
    ::SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    RECT client{};
    ::GetClientRect(control, &client);
    POINT point{client.left, client.top};
    // Past the last character the control answers nothing: the one before.
    const auto length = static_cast<DWORD>(::GetWindowTextLengthW(control));
    const DWORD at = to < length ? to : (length > 0 ? length - 1 : 0);
    const LRESULT found = ::SendMessageW(control, EM_POSFROMCHAR, at, 0);
    if (found != -1) {
        TEXTMETRICW metrics{};
        const HDC dc = ::GetDC(control);
        const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        point = {static_cast<short>(LOWORD(found)), static_cast<short>(HIWORD(found)) + metrics.tmHeight};
    }
    point.x = std::clamp(point.x, client.left, std::max(client.left, client.right - 1));
    point.y = std::clamp(point.y, client.top, std::max(client.top, client.bottom - 1));
    ::ClientToScreen(control, &point);
    return {point.x, point.y};
}

void CDialog::SetItemRtf(ItemId id, std::span<const unsigned char> rtf) {
    CreateControlsNow();
    if (const HWND control = m_native->Item(id)) StreamInRtf(control, rtf);
}

void CDialog::MoveItem(ItemId id, const PixelEdges& place) {
    if (Later([=, this] { MoveItem(id, place); })) return;
    const HWND control = m_native->Item(id);
    if (!control) return;
    ::MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
    if (IsClass(control, L"LISTBOX")) m_native->MeasureListItems(control);
}

void CDialog::FocusItem(ItemId id) {
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return;
    // As Qt does: a window not shown yet gives the focus when it shows.
    // Activating it now would cost its first show as much again.
    if (m_native->WaitsToShow()) {
        m_native->m_focusWhenShown = control;
        return;
    }
    ::SetFocus(control);
    if (Native* window = DialogOf(control)) window->FocusMovedTo(control);
}

bool CDialog::HasFocus(ItemId id) const {
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    const HWND focus = ::GetFocus();
    // A combo box holds the focus in the edit inside it.
    return control && focus && (focus == control || ::IsChild(control, focus));
}

bool CDialog::FocusFirstTabStop() {
    CreateControlsNow();
    // The controls in the order Tab visits them: their stacking.
    for (HWND child = m_native->m_hwnd ? ::GetWindow(m_native->m_hwnd, GW_CHILD) : nullptr; child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
            ::SetFocus(child);
            if (Native* window = DialogOf(child)) window->FocusMovedTo(child);
            return true;
        }
    }
    return false;
}

void CDialog::AddTabStop(ItemId id, ItemId after) {
    if (Later([=, this] { AddTabStop(id, after); })) return;
    Native& n = *m_native;
    const HWND control = n.Item(id);
    if (!control) return;
    ::SetWindowLongPtrW(control, GWL_STYLE, ::GetWindowLongPtrW(control, GWL_STYLE) | WS_TABSTOP);
    const HWND before = n.Item(after);
    if (!before) return;
    // The dialog manager's Tab follows the stacking.
    n.m_tabAfter[control] = before;
    ::SetWindowPos(control, before, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (const auto& [page, tabId] : std::vector(n.m_pages))
        if (n.Item(tabId) == control) PlacePage(*page, tabId);
}

void CDialog::SetListItems(ItemId id, const std::vector<Text>& items) {
    CreateControlsNow();
    const HWND control = m_native->Item(id);
    if (!control) return;
    ::SendMessageW(control, LB_RESETCONTENT, 0, 0);
    for (const Text& item : items)
        ::SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
    m_native->MeasureListItems(control);
}

void CDialog::Native::MeasureListItems(HWND list) const {
    RECT client{};
    ::GetClientRect(list, &client);
    const int pad = ScreenPixels(2);
    const HDC dc = ::GetDC(list);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    const auto count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const std::wstring text = ListItemText(list, i);
        RECT box{0, 0, std::max<LONG>(client.right - 2 * pad, 1), 0};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kListTextFormat | DT_CALCRECT);
        // The list box keeps an item's height in a byte.
        const int height = std::clamp(static_cast<int>(box.bottom) + 2 * pad, 1, 255);
        ::SendMessageW(list, LB_SETITEMHEIGHT, static_cast<WPARAM>(i), height);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    ::InvalidateRect(list, nullptr, TRUE);
}

PixelSize CDialog::ClientSize() const {
    RECT client{};
    ::GetClientRect(m_native->m_hwnd, &client);
    return {client.right, client.bottom};
}

void CDialog::SetItemTip(ItemId id, std::string_view text) {
    if (Later([this, id, tip = std::string(text)] { SetItemTip(id, tip); })) return;
    const HWND control = m_native->Item(id);
    if (!control) return;
    // No tip shows before its window does, and under Wine the program's
    // first tooltip window costs as much as a dozen controls: it waits.
    if (m_native->WaitsToShow()) {
        m_native->m_tipsWhenShown.insert_or_assign(static_cast<int>(id), std::string(text));
        return;
    }
    if (!m_native->m_tips)
        m_native->m_tips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                             m_native->m_hwnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_native->m_tips) return;
    std::wstring wide = ToWide(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_native->m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();
    ::SendMessageW(m_native->m_tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_native->m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CDialog::InsertTab(ItemId id, int index, std::string_view caption) {
    CreateControlsNow();
    if (const HWND tab = m_native->Item(id)) ::InsertTab(tab, index, caption);
}

void CDialog::ChooseTab(ItemId id, int index) {
    CreateControlsNow();
    const HWND tab = m_native->Item(id);
    if (!tab || GetCurSel(id) == index) return;
    if (const auto found = m_native->m_selChanging.find(id); found != m_native->m_selChanging.end() && found->second)
        found->second();
    ::SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (const auto found = m_native->m_selChange.find(id); found != m_native->m_selChange.end() && found->second)
        found->second();
}

void CDialog::PlacePage(CDialog& page, ItemId tabId) {
    const HWND tab = m_native->Item(tabId);
    const HWND pageWindow = page.m_native->m_hwnd;
    if (!tab || !pageWindow) return;
    // Placed again when the window moves to a screen of another scale.
    if (std::find(m_native->m_pages.begin(), m_native->m_pages.end(), std::pair{&page, static_cast<int>(tabId)}) ==
        m_native->m_pages.end())
        m_native->m_pages.emplace_back(&page, tabId);
    const RECT area = TabPageRect(tab);
    // The page grows as its tab control has grown beyond the layout.
    RECT tabNow{};
    ::GetWindowRect(tab, &tabNow);
    PixelSize grown{};
    for (std::size_t i = 0; i < m_native->m_layout.size(); ++i)
        if (m_native->m_layout[i].id == tabId) {
            const RECT made = m_native->MapDialogRect(m_native->m_layout[i].rect);
            grown = {std::max(0, static_cast<int>((tabNow.right - tabNow.left) - (made.right - made.left))),
                     std::max(0, static_cast<int>((tabNow.bottom - tabNow.top) - (made.bottom - made.top)))};
        }
    // The page covers the whole page area, which is larger than the page's
    // layout: no band of the tab control's white shows.
    const auto place = [&](HWND insertAfter, UINT keep) {
        ::SetWindowPos(pageWindow, insertAfter, area.left, area.top, area.right - area.left, area.bottom - area.top,
                       SWP_NOACTIVATE | keep);
    };
    if (const auto placed = m_native->m_tabAfter.find(tab); placed != m_native->m_tabAfter.end()) {
        // The tab control where AddTabStop put it and its pages right after
        // it, in the stacking Tab follows: they lie under the tab control,
        // whose window leaves their area out so that they show.
        place(tab, 0);
        RECT frame{};
        ::GetWindowRect(tab, &frame);
        ::MapWindowPoints(nullptr, m_native->m_hwnd, reinterpret_cast<POINT*>(&frame), 2);
        const HRGN shape = ::CreateRectRgn(0, 0, frame.right - frame.left, frame.bottom - frame.top);
        const HRGN hole = ::CreateRectRgn(area.left - frame.left, area.top - frame.top, area.right - frame.left,
                                          area.bottom - frame.top);
        ::CombineRgn(shape, shape, hole, RGN_DIFF);
        ::DeleteObject(hole);
        // Every page has the same hole: set once, not again for each page,
        // as a new region repaints the tab control.
        const HRGN current = ::CreateRectRgn(0, 0, 0, 0);
        const bool same = ::GetWindowRgn(tab, current) != ERROR && ::EqualRgn(current, shape);
        ::DeleteObject(current);
        if (same)
            ::DeleteObject(shape);
        else
            ::SetWindowRgn(tab, shape, TRUE);  // the system owns it now
    } else {
        // The tab control last in the z-order and the page just above it:
        // the page shows over the control's frame, and Tab reaches it after
        // the window's own buttons.
        ::SetWindowPos(tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        const HWND above = ::GetWindow(tab, GW_HWNDPREV);
        place(above ? above : HWND_TOP, above == pageWindow ? SWP_NOZORDER : 0u);
    }
    page.m_native->Grow(grown);
    // What the page placed in pixels, it places again in its new size; a
    // page not made yet lays itself out when made.
    if (page.HasControls()) page.OnScaleChanged();
}

void CDialog::SetGrowth(std::span<const GrowthRule> rules) {
    if (Later([this, rules] { SetGrowth(rules); })) return;
    m_native->m_growth = rules;
    m_native->Grow(m_native->m_extra);
}

void CDialog::Native::Grow(PixelSize by) {
    m_extra = by;
    if (!m_growth.empty()) {
        const std::vector<PixelEdges> places = GrowLayout(m_layout, m_growth, by, m_units);
        for (std::size_t i = 0; i < places.size(); ++i)
            if (const HWND control = m_layoutControls[i])
                ::SetWindowPos(control, nullptr, places[i].left - m_scroll.x, places[i].top - m_scroll.y,
                               places[i].right - places[i].left, places[i].bottom - places[i].top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& [page, tabId] : std::vector(m_pages)) self.PlacePage(*page, tabId);
}

PixelEdges CDialog::GrownPlace(ItemId id) const {
    CreateControlsNow();
    const Native& n = *m_native;
    const std::vector<PixelEdges> places = GrowLayout(n.m_layout, n.m_growth, n.m_extra, n.m_units);
    for (std::size_t i = 0; i < n.m_layout.size(); ++i)
        if (n.m_layout[i].id == id) return places[i];
    return {};
}

void CDialog::ResizeClient(PixelSize size) {
    Native& n = *m_native;
    if (!n.m_hwnd || !(n.m_style & WS_THICKFRAME) || n.Scrolls()) return;
    const RECT layout = n.MapDialogRect({0, 0, n.m_layoutSize.width, n.m_layoutSize.height});
    // The frame this window really has, and no larger than the work area.
    const SIZE frame = n.FrameExtra();
    RECT now{};
    ::GetWindowRect(n.m_hwnd, &now);
    const RECT work = WorkAreaAt(now);
    const LONG width =
        std::min(std::max(static_cast<LONG>(size.width), layout.right) + frame.cx, work.right - work.left);
    const LONG height =
        std::min(std::max(static_cast<LONG>(size.height), layout.bottom) + frame.cy, work.bottom - work.top);
    // Kept inside the work area when it grows past its edge.
    const LONG left = std::max(work.left, std::min(now.left, work.right - width));
    const LONG top = std::max(work.top, std::min(now.top, work.bottom - height));
    ::SetWindowPos(n.m_hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int CDialog::ScreenPixels(int pixelsAt96Dpi) const { return m_native->ScreenPixels(pixelsAt96Dpi); }

void CDialog::SetPicture(const CBitmap& bitmap, const PixelEdges& place, std::uint32_t transparent) {
    m_native->m_picture = &bitmap;
    m_native->m_picturePlace = {place.left, place.top, place.right, place.bottom};
    // 0xRRGGBB to COLORREF's 0x00BBGGRR.
    m_native->m_pictureTransparent = RGB((transparent >> 16) & 0xFF, (transparent >> 8) & 0xFF, transparent & 0xFF);
    if (m_native->m_hwnd) ::InvalidateRect(m_native->m_hwnd, nullptr, TRUE);
}

void CDialog::AddComboItemsFrom(ItemId id, std::span<const std::string_view> items) {
    const HWND control = m_native->Item(id);
    if (!control) return;
    for (std::string_view item : items)
        ::SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
}

void CDialog::OnCommand(int command, std::function<void()> handler) {
    m_native->m_commands[command] = std::move(handler);
}

void CDialog::SetAccelerators(std::span<const Accelerator> keys) {
    std::vector<ACCEL> table;
    for (const Accelerator& key : keys) {
        const auto flags = static_cast<BYTE>(FVIRTKEY | (key.ctrl ? FCONTROL : 0) | (key.shift ? FSHIFT : 0));
        table.push_back({flags, key.key, static_cast<WORD>(key.command)});
    }
    if (m_native->m_accelerators) ::DestroyAcceleratorTable(m_native->m_accelerators);
    m_native->m_accelerators =
        table.empty() ? nullptr : ::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

void CDialog::StartSingleShot(std::uintptr_t timer, unsigned ms, std::function<void()> handler) {
    m_native->m_timers[timer] = std::move(handler);
    ::SetTimer(m_native->m_hwnd, timer, ms, nullptr);
}

void CDialog::StopTimer(std::uintptr_t timer) {
    ::KillTimer(m_native->m_hwnd, timer);
    m_native->m_timers.erase(timer);
}

void CDialog::OnDropFiles(std::function<void(const std::vector<FilePath>&, int)> handler) {
    m_native->m_dropFiles = std::move(handler);
    ::DragAcceptFiles(m_native->m_hwnd, m_native->m_dropFiles != nullptr);
}

void CDialog::OnClicked(ItemId id, std::function<void()> handler) {
    if (Later([this, id, handler] { OnClicked(id, handler); })) return;
    m_native->m_clicked[id] = std::move(handler);
}
void CDialog::OnSelChange(ItemId id, std::function<void()> handler) {
    if (Later([this, id, handler] { OnSelChange(id, handler); })) return;
    m_native->m_selChange[id] = std::move(handler);
}
void CDialog::OnTextChange(ItemId id, std::function<void()> handler) {
    if (LaterTextChange(id, handler)) return;
    m_native->m_textChange[id] = std::move(handler);
}
void CDialog::OnSelChanging(ItemId id, std::function<void()> handler) {
    if (Later([this, id, handler] { OnSelChanging(id, handler); })) return;
    m_native->m_selChanging[id] = std::move(handler);
}
void CDialog::OnActivate(ItemId id, std::function<void()> handler) {
    if (Later([this, id, handler] { OnActivate(id, handler); })) return;
    m_native->m_activate[id] = std::move(handler);
    const HWND control = m_native->Item(id);
    if (!control) return;
    ::SetWindowSubclass(control, &ActivateOnClick, 2, 0);
    ::SetWindowLongPtrW(control, GWL_STYLE, ::GetWindowLongPtrW(control, GWL_STYLE) | WS_TABSTOP);
}

void CDialog::OnContextMenu(ItemId id, std::function<void(ScreenPoint)> handler) {
    if (Later([this, id, handler] { OnContextMenu(id, handler); })) return;
    m_native->m_contextMenu[id] = std::move(handler);
    if (const HWND control = m_native->Item(id)) ::SetWindowSubclass(control, &ForwardContextMenu, 1, 0);
}

const DialogBaseUnits& CDialog::baseUnits() const { return m_native->m_units; }

void CDialog::OnChanged(std::function<void()> handler) {
    if (m_pending) {
        m_pending->m_changed = std::move(handler);
        return;
    }
    m_native->m_changed = std::move(handler);
}

bool CDialog::IsTimerActive(std::uintptr_t timer) const { return m_native->m_timers.count(timer) != 0; }

void CDialog::LetDropsThrough(ItemId id) {
    if (Later([this, id] { LetDropsThrough(id); })) return;
    // The dialog's window takes the drop; a control that took files itself
    // would keep them.
    if (const HWND control = m_native->Item(id))
        ::SetWindowLongPtrW(control, GWL_EXSTYLE, ::GetWindowLongPtrW(control, GWL_EXSTYLE) & ~WS_EX_ACCEPTFILES);
}

void CDialog::OnClose() { ::DestroyWindow(m_native->m_hwnd); }

LRESULT CALLBACK CDialog::Native::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* native = reinterpret_cast<Native*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!native) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return native->HandleMessage(message, wParam, lParam);
}

LRESULT CDialog::Native::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = m_hwnd;
    if (m_hook)
        if (const std::optional<LRESULT> answer = m_hook(message, wParam, lParam)) return *answer;
    if (const std::optional<LRESULT> answer = Dispatch(message, wParam, lParam)) return *answer;
    if (message == WM_NCDESTROY) m_hwnd = nullptr;
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

std::optional<LRESULT> CDialog::Native::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return OnCommandMessage(wParam, lParam);
        case WM_NOTIFY:
            return OnNotify(lParam);
        case WM_CONTEXTMENU:
            return OnContextMenu(wParam, lParam);
        case WM_TIMER:
            return OnTimer(wParam);
        case WM_DROPFILES:
            return OnDropFiles(wParam);
        case WM_ACTIVATE:
            return OnActivate(wParam);
        case WM_DPICHANGED:
            return OnDpiChanged(wParam, lParam);
        case WM_VSCROLL:
            return OnScroll(SB_VERT, wParam);
        case WM_HSCROLL:
            return OnScroll(SB_HORZ, wParam);
        case WM_MOUSEWHEEL:
            return OnMouseWheel(wParam);
        case WM_PAINT:
            return OnPaint();
        case WM_CLOSE:
            return OnClose();
        case WM_MEASUREITEM:
            return OnMeasureItem(lParam);
        case WM_DRAWITEM:
            return OnDrawItem(lParam);
        case WM_GETMINMAXINFO:
            return OnGetMinMaxInfo(lParam);
        case WM_SIZE:
            return OnSize(wParam, lParam);
        case WM_DESTROY:
            return OnDestroy();
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> CDialog::Native::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const bool checkBox =
        code == BN_CLICKED && lParam != 0 &&
        (::GetWindowLongPtrW(reinterpret_cast<HWND>(lParam), GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    if (m_changed && (checkBox || code == EN_CHANGE || code == CBN_SELCHANGE || code == CBN_EDITCHANGE)) m_changed();
    if (lParam == 0 || id == IDOK || id == IDCANCEL) {
        if (id == IDOK) self.OnOK();
        if (id == IDCANCEL) self.OnCancel();
        if (id == IDOK || id == IDCANCEL) return 0;
        if (lParam == 0 && Run(m_commands, id)) return 0;
    }
    if (code == BN_CLICKED && lParam != 0 && Run(m_activate, id)) return 0;
    // A combo box's typing is its change, not a text change.
    if ((code == BN_CLICKED && Run(m_clicked, id)) || (code == CBN_SELCHANGE && Run(m_selChange, id)) ||
        (code == EN_CHANGE && Run(m_textChange, id)))
        return 0;
    return std::nullopt;
}

std::optional<LRESULT> CDialog::Native::OnNotify(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    const int id = static_cast<int>(header->idFrom);
    if (header->code == TCN_SELCHANGING) {
        Run(m_selChanging, id);
        return FALSE;  // the change goes ahead
    }
    if (header->code == TCN_SELCHANGE && Run(m_selChange, id)) return 0;
    return std::nullopt;
}

std::optional<LRESULT> CDialog::Native::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
    const auto found = m_contextMenu.find(id);
    if (found == m_contextMenu.end() || !found->second) return std::nullopt;
    found->second(ScreenPoint{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnTimer(WPARAM wParam) {
    const auto found = m_timers.find(wParam);
    if (found == m_timers.end()) return std::nullopt;
    ::KillTimer(m_hwnd, wParam);
    const std::function<void()> handler = std::move(found->second);
    m_timers.erase(found);
    if (handler) handler();
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnDropFiles(WPARAM wParam) {
    const auto drop = reinterpret_cast<HDROP>(wParam);
    std::vector<FilePath> files;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(::DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        files.push_back(Utf8FromWide(name));
    }
    POINT at{};
    ::DragQueryPoint(drop, &at);
    ::DragFinish(drop);
    std::vector<DropCandidate> candidates;
    for (const int id : m_itemOrder) {
        const HWND control = Item(id);
        RECT place{};
        ::GetWindowRect(control, &place);
        ::MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&place), 2);
        const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
        candidates.push_back({id,
                              {place.left, place.top, place.right, place.bottom},
                              (style & WS_VISIBLE) != 0,
                              IsClass(control, L"BUTTON") && (style & BS_TYPEMASK) == BS_GROUPBOX});
    }
    if (m_dropFiles) m_dropFiles(files, DropTargetAt(candidates, at.x, at.y));
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnActivate(WPARAM wParam) {
    // As a dialog does: the control that had the focus has it again, not
    // the window's frame.
    if (LOWORD(wParam) == WA_INACTIVE || HIWORD(wParam) || !m_lastFocus || !::IsChild(m_hwnd, m_lastFocus) ||
        !::IsWindowVisible(m_lastFocus) || !::IsWindowEnabled(m_lastFocus))
        return std::nullopt;
    ::SetFocus(m_lastFocus);
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    // Moved to a screen of another scale: the layout again in the dialog
    // font at that scale, where Windows suggests.
    ScrollTo(SB_HORZ, 0);
    ScrollTo(SB_VERT, 0);
    const int dpi = HIWORD(wParam);
    Rescale(dpi);
    ::EnumChildWindows(
        m_hwnd,
        [](HWND child, LPARAM scale) -> BOOL {
            if (Native* page = NativeOf(child)) page->Rescale(static_cast<int>(scale));
            return TRUE;
        },
        dpi);
    for (const auto& [page, tabId] : std::vector(m_pages)) self.PlacePage(*page, tabId);
    const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
    FitWindow(WorkAreaAt(suggested), POINT{suggested.left, suggested.top});
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnScroll(int bar, WPARAM wParam) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    if (!Scrolls() || !::GetScrollInfo(m_hwnd, bar, &info)) return std::nullopt;
    const int line = ScreenPixels(16);
    int position = info.nPos;
    switch (LOWORD(wParam)) {
        case SB_LINEUP:
            position -= line;
            break;
        case SB_LINEDOWN:
            position += line;
            break;
        case SB_PAGEUP:
            position -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            position += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = info.nTrackPos;
            break;
        case SB_TOP:
            position = 0;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        default:
            break;
    }
    ScrollTo(bar, position);
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnMouseWheel(WPARAM wParam) {
    if (!Scrolls() || !(::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_VSCROLL)) return std::nullopt;
    ScrollTo(SB_VERT, m_scroll.y - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * ScreenPixels(16) / WHEEL_DELTA);
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnPaint() {
    if (!m_picture || m_picture->isNull()) return std::nullopt;
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_hwnd, &paint);
    RECT place = m_picturePlace;
    ::OffsetRect(&place, -m_scroll.x, -m_scroll.y);
    DrawTransparent(dc, *m_picture, place, m_pictureTransparent);
    ::EndPaint(m_hwnd, &paint);
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnClose() {
    // A page never goes before its window, whoever asks.
    if (!(::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_CHILD)) self.OnClose();
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnMeasureItem(LPARAM lParam) const {
    // Measured again by MeasureListItems once the text is in.
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_LISTBOX) return std::nullopt;
    item->itemHeight = static_cast<UINT>(MulDiv(m_units.y, 5, 4));
    return TRUE;
}

LRESULT CDialog::Native::DrawElidingLabel(const DRAWITEMSTRUCT& item) const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(item.hwndItem)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(item.hwndItem, text.data(), static_cast<int>(text.size()))));
    RECT box = item.rcItem;
    ::FillRect(item.hDC, &box, ::GetSysColorBrush(COLOR_3DFACE));
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(::IsWindowEnabled(item.hwndItem) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    const HGDIOBJ before =
        ::SelectObject(item.hDC, reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    const auto measure = [&item](const std::wstring& line) {
        SIZE size{};
        ::GetTextExtentPoint32W(item.hDC, line.c_str(), static_cast<int>(line.size()), &size);
        return static_cast<int>(size.cx);
    };
    const std::wstring shown = ElideMiddle(text, static_cast<int>(box.right - box.left), measure, L'\u2026');
    ::DrawTextW(item.hDC, shown.c_str(), static_cast<int>(shown.size()), &box, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(item.hDC, before);
    return TRUE;
}

std::optional<LRESULT> CDialog::Native::OnDrawItem(LPARAM lParam) const {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType == ODT_STATIC) return DrawElidingLabel(*item);
    if (item->CtlType != ODT_LISTBOX) return std::nullopt;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item->itemID != static_cast<UINT>(-1)) {
        const std::wstring text = ListItemText(item->hwndItem, static_cast<int>(item->itemID));
        RECT box = item->rcItem;
        ::InflateRect(&box, -ScreenPixels(2), -ScreenPixels(2));
        ::SetBkMode(item->hDC, TRANSPARENT);
        ::SetTextColor(item->hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::DrawTextW(item->hDC, text.c_str(), static_cast<int>(text.size()), &box, kListTextFormat);
    }
    if (item->itemState & ODS_FOCUS) ::DrawFocusRect(item->hDC, &item->rcItem);
    return TRUE;
}

SIZE CDialog::Native::FrameExtra() const {
    RECT window{}, client{};
    if (m_hwnd && ::GetWindowRect(m_hwnd, &window) && ::GetClientRect(m_hwnd, &client) && client.right > 0)
        return {(window.right - window.left) - client.right, (window.bottom - window.top) - client.bottom};
    const RECT frame = FrameAround({0, 0, 0, 0}, m_style, m_dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

std::optional<LRESULT> CDialog::Native::OnGetMinMaxInfo(LPARAM lParam) const {
    // A window that grows never shrinks below its layout; one that scrolls
    // has a screen too small for it.
    if (!(m_style & WS_THICKFRAME) || Scrolls()) return std::nullopt;
    // The frame as drawn, which may not be the one measured at this scale.
    const RECT client = MapDialogRect({0, 0, m_layoutSize.width, m_layoutSize.height});
    const SIZE frame = FrameExtra();
    auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
    limits->ptMinTrackSize = {client.right + frame.cx, client.bottom + frame.cy};
    return 0;
}

std::optional<LRESULT> CDialog::Native::OnSize(WPARAM wParam, LPARAM lParam) {
    if ((m_style & WS_THICKFRAME) && wParam != SIZE_MINIMIZED && !Scrolls()) {
        const RECT layout = MapDialogRect({0, 0, m_layoutSize.width, m_layoutSize.height});
        Grow({std::max(0, LOWORD(lParam) - static_cast<int>(layout.right)),
              std::max(0, HIWORD(lParam) - static_cast<int>(layout.bottom))});
    }
    if ((m_style & WS_THICKFRAME) && wParam != SIZE_MINIMIZED) self.OnResized({LOWORD(lParam), HIWORD(lParam)});
    return std::nullopt;
}

std::optional<LRESULT> CDialog::Native::OnDestroy() const {
    if (!(::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_CHILD)) ::PostQuitMessage(0);
    return std::nullopt;
}

RECT MapDialogRect(const CDialog& dialog, const DluRect& rect) { return MapDialogRect(rect, dialog.baseUnits()); }

HACCEL Accelerators(const CDialog& window) { return CDialog::Native::Of(window).m_accelerators; }

void FocusMovedTo(CDialog& window, HWND control) { CDialog::Native::Of(window).FocusMovedTo(control); }

bool Scrolls(const CDialog& window) { return CDialog::Native::Of(window).Scrolls(); }

void SetMessageHook(CDialog& dialog, MessageHook hook) { CDialog::Native::Of(dialog).m_hook = std::move(hook); }

void DispatchDialogMessage(CDialog& window, MSG& message) {
    // The main window's keys work from every window of the program; the
    // dialog keys are each window's own.
    const HWND dialog = Hwnd(window);
    const HACCEL keys = Accelerators(window);
    CDialog::Native* own = DialogOf(message.hwnd);
    if (!(dialog && keys && ::TranslateAcceleratorW(dialog, keys, &message)) &&
        !(own && own->m_hwnd && ::IsDialogMessageW(own->m_hwnd, &message))) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    static HWND focus = nullptr;
    if (const HWND now = ::GetFocus(); now != focus) {
        focus = now;
        if (CDialog::Native* holder = DialogOf(now)) holder->FocusMovedTo(now);
    }
}

int RunMessageLoop(CDialog& window) {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) DispatchDialogMessage(window, message);
    return static_cast<int>(message.wParam);
}

void SetWorkAreaForTesting(const RECT* area) { WorkAreaOverride() = area ? std::optional<RECT>(*area) : std::nullopt; }
