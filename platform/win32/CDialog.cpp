#include "platform/win32/CDialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/win32/Controls.h"
#include "platform/win32/Win32Text.h"

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

// A lone CR or LF counts as one line break; the edit control shows only CR LF.
std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
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

// The window of ours that a window belongs to, or nullptr.
CDialog* DialogOf(HWND window) {
    const HWND root = window ? ::GetAncestor(window, GA_ROOT) : nullptr;
    return root && IsClass(root, kDialogClass) ? reinterpret_cast<CDialog*>(::GetWindowLongPtrW(root, GWLP_USERDATA))
                                               : nullptr;
}

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

}  // namespace

CDialog::~CDialog() {
    if (m_accelerators) ::DestroyAcceleratorTable(m_accelerators);
    if (m_hwnd) {
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hwnd);
    }
    if (m_font) ::DeleteObject(m_font);
}

bool CDialog::Create(DWORD exStyle, DWORD style, std::wstring_view title, HWND parent, const RECT& place) {
    RegisterDialogClass();
    const std::wstring caption(title);
    m_hwnd = ::CreateWindowExW(exStyle | WS_EX_CONTROLPARENT, kDialogClass, caption.c_str(), style, place.left,
                               place.top, place.right - place.left, place.bottom - place.top, parent, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd) return false;
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDialog::WindowProc));
    ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    return true;
}

bool CDialog::CreateTopLevel(std::wstring_view title, const DluRect& size, bool resizable) {
    m_dpi = WindowDpi(nullptr);
    m_font = CreateDialogFont(m_dpi);
    m_units = BaseUnitsOf(m_font);
    m_layoutSize = size;
    m_style = resizable ? kResizableStyle : kTopLevelStyle;
    const RECT frame = FrameAround(MapDialogRect({0, 0, size.width, size.height}), m_style, m_dpi);
    const RECT place{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + frame.right - frame.left,
                     CW_USEDEFAULT + frame.bottom - frame.top};
    if (!Create(0, m_style, title, nullptr, place)) return false;
    FitWindow(WorkArea(), std::nullopt);
    Cascade();
    return true;
}

void CDialog::Cascade() {
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

void CDialog::FitWindow(const RECT& work, std::optional<POINT> at) {
    const RECT client = MapDialogRect({0, 0, m_layoutSize.width, m_layoutSize.height});
    const RECT frame = FrameAround(client, m_style, m_dpi);
    LONG width = frame.right - frame.left;
    LONG height = frame.bottom - frame.top;
    const LONG roomWidth = work.right - work.left;
    const LONG roomHeight = work.bottom - work.top;
    RECT now{};
    ::GetWindowRect(m_hwnd, &now);
    POINT origin = at.value_or(POINT{now.left, now.top});
    bool tall = false, wide = false;
    if (width > roomWidth || height > roomHeight) {
        // A bar across one side takes room from the other.
        const int bar = MulDiv(::GetSystemMetrics(SM_CXVSCROLL), m_dpi, WindowDpi(nullptr));
        tall = height > roomHeight;
        wide = width > roomWidth;
        if (tall && width + bar > roomWidth) wide = true;
        if (wide && height + bar > roomHeight) tall = true;
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
    for (const auto& [bar, shown, whole, length] :
         {std::tuple{SB_HORZ, wide, m_content.cx, view.right}, std::tuple{SB_VERT, tall, m_content.cy, view.bottom}}) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        if (shown) {
            info.fMask |= SIF_DISABLENOSCROLL;
            info.nMax = static_cast<int>(whole) - 1;
            info.nPage = static_cast<UINT>(std::max<LONG>(length, 1));
        }
        ::SetScrollInfo(m_hwnd, bar, &info, TRUE);
    }
}

void CDialog::Rescale(int dpi) {
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
    OnScaleChanged();
    ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CDialog::ScrollTo(int bar, int position) {
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

void CDialog::FocusMovedTo(HWND control) {
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
    const auto show = [this](int bar, LONG first, LONG last, LONG length, LONG now) {
        // Positions in the view: the control's end inside it, then its start.
        LONG target = now;
        if (last > length) target += last - length;
        if (first - (target - now) < 0) target = now + first;
        ScrollTo(bar, static_cast<int>(target));
    };
    show(SB_HORZ, box.left, box.right, view.right, m_scroll.x);
    show(SB_VERT, box.top, box.bottom, view.bottom, m_scroll.y);
}

bool CDialog::CreateTopLevel(std::string_view title, const DluRect& size, bool resizable) {
    return CreateTopLevel(std::wstring_view(ToWide(title)), size, resizable);
}

bool CDialog::CreatePage(HWND parent, const DluRect& size) {
    if (!parent) return false;
    m_pageSize = size;
    return CreatePage(parent, RECT{});
}

bool CDialog::CreatePage(HWND parent, const RECT& place) {
    // The parent's scale: after a move to another screen it is no longer the system's.
    const CDialog* holder = DialogOf(parent);
    m_dpi = holder ? holder->m_dpi : WindowDpi(parent);
    m_font = CreateDialogFont(m_dpi);
    m_units = BaseUnitsOf(m_font);
    RECT at = place;
    if (m_pageSize) at = MapDialogRect({0, 0, m_pageSize->width, m_pageSize->height});
    return Create(0, WS_CHILD | WS_CLIPSIBLINGS, L"", parent, at);
}

void CDialog::Show(bool show) {
    ::ShowWindow(m_hwnd, show ? SW_SHOW : SW_HIDE);
    if (show) ::UpdateWindow(m_hwnd);
}

HWND CDialog::CreateControl(const ControlSpec& spec) {
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
            style |= SS_LEFT | SS_NOPREFIX;
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
    std::vector<std::pair<int, HWND>> tabStops;
    for (const ControlSpec& spec : layout) {
        const HWND control = CreateControl(spec);
        if (!control) continue;
        if (spec.id != kNoControlId) m_items[spec.id] = control;
        m_places.emplace_back(control, spec.rect);
        if (spec.tabOrder > 0) tabStops.emplace_back(spec.tabOrder, control);
    }
    // Tab goes through the controls in their layout's tab order: the
    // dialog manager follows the z-order.
    std::stable_sort(tabStops.begin(), tabStops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [order, control] : tabStops)
        ::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND CDialog::GetDlgItem(ItemId id) const {
    const auto found = m_items.find(id);
    return found == m_items.end() ? nullptr : found->second;
}

Text CDialog::GetItemText(int id) const {
    const HWND control = GetDlgItem(id);
    return control ? FromWide(WindowText(control)) : Text();
}

void CDialog::SetItemText(ItemId id, std::string_view text) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    const std::wstring wide = ToWide(IsMultiLine(control) ? WithCrLf(text) : std::string(text));
    ::SetWindowTextW(control, wide.c_str());
}

std::string CDialog::GetItemUtf8(int id) const {
    const HWND control = GetDlgItem(id);
    return control ? Utf8FromWide(WindowText(control)) : std::string();
}

void CDialog::SetItemUtf8(ItemId id, std::string_view utf8) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    const std::wstring wide = WideFromUtf8(IsMultiLine(control) ? WithCrLf(utf8) : std::string(utf8));
    ::SetWindowTextW(control, wide.c_str());
}

void CDialog::ReplaceItemText(ItemId id, std::string_view text) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    const std::wstring wide = ToWide(IsMultiLine(control) ? WithCrLf(text) : std::string(text));
    ::SendMessageW(control, EM_SETSEL, 0, -1);
    ::SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

int CDialog::GetItemTextLength(ItemId id) const {
    const HWND control = GetDlgItem(id);
    return control ? ::GetWindowTextLengthW(control) : 0;
}

bool CDialog::IsChecked(int id) const {
    const HWND control = GetDlgItem(id);
    return control && ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CDialog::SetCheck(ItemId id, bool checked) {
    const HWND control = GetDlgItem(id);
    if (!control || IsChecked(id) == checked) return;
    ::SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (m_changed) m_changed();
}

bool CDialog::IsItemEnabled(ItemId id) const {
    const HWND control = GetDlgItem(id);
    return control && ::IsWindowEnabled(control);
}

void CDialog::EnableItem(ItemId id, bool enable) {
    if (const HWND control = GetDlgItem(id)) ::EnableWindow(control, enable);
}

int CDialog::GetCurSel(int id) const {
    const HWND control = GetDlgItem(id);
    if (!control) return -1;
    if (IsClass(control, WC_TABCONTROLW)) return static_cast<int>(::SendMessageW(control, TCM_GETCURSEL, 0, 0));
    if (IsClass(control, L"LISTBOX")) return static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0));
    return static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
}

void CDialog::SetCurSel(ItemId id, int index) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    if (GetCurSel(id) == index) return;
    const bool tab = IsClass(control, WC_TABCONTROLW);
    const auto wParam = static_cast<WPARAM>(static_cast<INT_PTR>(index));
    ::SendMessageW(control, tab ? TCM_SETCURSEL : CB_SETCURSEL, wParam, 0);
    if (!tab && m_changed) m_changed();
}

void CDialog::SetCaret(ItemId id, int pos) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    const auto at = static_cast<WPARAM>(std::max(pos, 0));
    ::SendMessageW(control, EM_SETSEL, at, static_cast<LPARAM>(at));
    ::SendMessageW(control, EM_SCROLLCARET, 0, 0);
}

void CDialog::GetSel(ItemId id, int& start, int& end) const {
    start = end = 0;
    const HWND control = GetDlgItem(id);
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
    const HWND control = GetDlgItem(id);
    return control && ::SendMessageW(control, EM_CANUNDO, 0, 0) != 0;
}

void CDialog::EditItem(ItemId id, EditCommand command) {
    const HWND control = GetDlgItem(id);
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
    const HWND control = GetDlgItem(id);
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
    if (const HWND control = GetDlgItem(id)) StreamInRtf(control, rtf);
}

void CDialog::MoveItem(ItemId id, const PixelEdges& place) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    ::MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
    if (IsClass(control, L"LISTBOX")) MeasureListItems(control);
}

void CDialog::FocusItem(ItemId id) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    ::SetFocus(control);
    if (CDialog* window = DialogOf(control)) window->FocusMovedTo(control);
}

bool CDialog::HasFocus(ItemId id) const {
    const HWND control = GetDlgItem(id);
    return control && ::GetFocus() == control;
}

bool CDialog::FocusFirstTabStop() {
    // The controls in the order Tab visits them: their stacking.
    for (HWND child = m_hwnd ? ::GetWindow(m_hwnd, GW_CHILD) : nullptr; child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
            ::SetFocus(child);
            if (CDialog* window = DialogOf(child)) window->FocusMovedTo(child);
            return true;
        }
    }
    return false;
}

void CDialog::AddTabStop(ItemId id, ItemId) {
    if (const HWND control = GetDlgItem(id))
        ::SetWindowLongPtrW(control, GWL_STYLE, ::GetWindowLongPtrW(control, GWL_STYLE) | WS_TABSTOP);
}

void CDialog::SetListItems(ItemId id, const std::vector<Text>& items) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    ::SendMessageW(control, LB_RESETCONTENT, 0, 0);
    for (const Text& item : items)
        ::SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
    MeasureListItems(control);
}

namespace {

constexpr UINT kListTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

std::wstring ListItemText(HWND list, int index) {
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(
        0, ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())))));
    return text;
}

}  // namespace

void CDialog::MeasureListItems(HWND list) const {
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
    ::GetClientRect(m_hwnd, &client);
    return {client.right, client.bottom};
}

void CDialog::SetItemTip(ItemId id, std::string_view text) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    if (!m_tips)
        m_tips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    if (!m_tips) return;
    std::wstring wide = ToWide(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();
    ::SendMessageW(m_tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CDialog::InsertTab(ItemId id, int index, std::string_view caption) {
    if (const HWND tab = GetDlgItem(id)) ::InsertTab(tab, index, caption);
}

void CDialog::ChooseTab(ItemId id, int index) {
    const HWND tab = GetDlgItem(id);
    if (!tab || GetCurSel(id) == index) return;
    if (const auto found = m_selChanging.find(id); found != m_selChanging.end() && found->second) found->second();
    ::SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (const auto found = m_selChange.find(id); found != m_selChange.end() && found->second) found->second();
}

void CDialog::PlacePage(CDialog& page, ItemId tabId) {
    const HWND tab = GetDlgItem(tabId);
    if (!tab || !page.hwnd()) return;
    // Placed again when the window moves to a screen of another scale.
    if (std::find(m_pages.begin(), m_pages.end(), std::pair{&page, static_cast<int>(tabId)}) == m_pages.end())
        m_pages.emplace_back(&page, tabId);
    const RECT area = TabPageRect(tab);
    // The tab control last in the z-order and the page just above it: the
    // page shows over the control's frame, and Tab reaches it after the
    // window's own buttons. It covers the whole page area, which is larger
    // than the page's layout: no band of the tab control's white shows.
    ::SetWindowPos(tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const HWND above = ::GetWindow(tab, GW_HWNDPREV);
    const UINT keep = above == page.hwnd() ? SWP_NOZORDER : 0u;
    ::SetWindowPos(page.hwnd(), above ? above : HWND_TOP, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOACTIVATE | keep);
    // What the page placed in pixels, it places again in its new size.
    page.OnScaleChanged();
}

std::string KeyText(const Accelerator& key) {
    std::string text;
    if (key.ctrl) text += "Ctrl+";
    if (key.shift) text += "Shift+";
    if ((key.key >= 'A' && key.key <= 'Z') || (key.key >= '0' && key.key <= '9'))
        text += static_cast<char>(key.key);
    else if (key.key == kKeyTab)
        text += "Tab";
    else if (key.key == kKeyPageUp)
        text += "PgUp";
    else if (key.key == kKeyPageDown)
        text += "PgDown";
    else if (key.key >= VK_F1 && key.key <= VK_F12)
        text += "F" + std::to_string(key.key - VK_F1 + 1);
    return text;
}

int CDialog::ScreenPixels(int pixelsAt96Dpi) const { return MulDiv(pixelsAt96Dpi, m_dpi, 96); }

void CDialog::SetPicture(const CBitmap& bitmap, const PixelEdges& place, std::uint32_t transparent) {
    m_picture = &bitmap;
    m_picturePlace = {place.left, place.top, place.right, place.bottom};
    // 0xRRGGBB to COLORREF's 0x00BBGGRR.
    m_pictureTransparent = RGB((transparent >> 16) & 0xFF, (transparent >> 8) & 0xFF, transparent & 0xFF);
    if (m_hwnd) ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CDialog::AddComboItems(ItemId id, std::initializer_list<std::string_view> items) {
    const HWND control = GetDlgItem(id);
    if (!control) return;
    for (std::string_view item : items)
        ::SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
}

void CDialog::OnCommand(int command, std::function<void()> handler) { m_commands[command] = std::move(handler); }

void CDialog::SetAccelerators(std::span<const Accelerator> keys) {
    std::vector<ACCEL> table;
    for (const Accelerator& key : keys) {
        const auto flags = static_cast<BYTE>(FVIRTKEY | (key.ctrl ? FCONTROL : 0) | (key.shift ? FSHIFT : 0));
        table.push_back({flags, key.key, static_cast<WORD>(key.command)});
    }
    if (m_accelerators) ::DestroyAcceleratorTable(m_accelerators);
    m_accelerators = table.empty() ? nullptr : ::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

void CDialog::StartSingleShot(UINT_PTR timer, unsigned ms, std::function<void()> handler) {
    m_timers[timer] = std::move(handler);
    ::SetTimer(m_hwnd, timer, ms, nullptr);
}

void CDialog::StopTimer(UINT_PTR timer) {
    ::KillTimer(m_hwnd, timer);
    m_timers.erase(timer);
}

void CDialog::OnDropFiles(std::function<void(const std::vector<FilePath>&, int)> handler) {
    m_dropFiles = std::move(handler);
    ::DragAcceptFiles(m_hwnd, m_dropFiles != nullptr);
}

void CDialog::OnClicked(ItemId id, std::function<void()> handler) { m_clicked[id] = std::move(handler); }
void CDialog::OnSelChange(ItemId id, std::function<void()> handler) { m_selChange[id] = std::move(handler); }
void CDialog::OnTextChange(ItemId id, std::function<void()> handler) { m_textChange[id] = std::move(handler); }
void CDialog::OnSelChanging(ItemId id, std::function<void()> handler) { m_selChanging[id] = std::move(handler); }
namespace {

// An edit control shows its own context menu: this one's goes to the
// dialog instead, as WM_CONTEXTMENU from any other control does.
LRESULT CALLBACK ForwardContextMenu(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CONTEXTMENU)
        return ::SendMessageW(::GetParent(control), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), lParam);
    return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

namespace {

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

void CDialog::OnActivate(ItemId id, std::function<void()> handler) {
    m_activate[id] = std::move(handler);
    const HWND control = GetDlgItem(id);
    if (!control) return;
    ::SetWindowSubclass(control, &ActivateOnClick, 2, 0);
    ::SetWindowLongPtrW(control, GWL_STYLE, ::GetWindowLongPtrW(control, GWL_STYLE) | WS_TABSTOP);
}

void CDialog::OnContextMenu(ItemId id, std::function<void(ScreenPoint)> handler) {
    m_contextMenu[id] = std::move(handler);
    if (const HWND control = GetDlgItem(id)) ::SetWindowSubclass(control, &ForwardContextMenu, 1, 0);
}

LRESULT CALLBACK CDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!dialog) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return dialog->HandleMessage(message, wParam, lParam);
}

LRESULT CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = m_hwnd;
    const auto run = [](const auto& handlers, int id) {
        const auto found = handlers.find(id);
        if (found == handlers.end() || !found->second) return false;
        found->second();
        return true;
    };
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            const bool checkBox =
                code == BN_CLICKED && lParam != 0 &&
                (::GetWindowLongPtrW(reinterpret_cast<HWND>(lParam), GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
            if (m_changed && (checkBox || code == EN_CHANGE || code == CBN_SELCHANGE || code == CBN_EDITCHANGE))
                m_changed();
            if (lParam == 0 || id == IDOK || id == IDCANCEL) {
                if (id == IDOK) OnOK();
                if (id == IDCANCEL) OnCancel();
                if (id == IDOK || id == IDCANCEL) return 0;
                if (lParam == 0 && run(m_commands, id)) return 0;
            }
            if (code == BN_CLICKED && lParam != 0 && run(m_activate, id)) return 0;
            if ((code == BN_CLICKED && run(m_clicked, id)) || (code == CBN_SELCHANGE && run(m_selChange, id)) ||
                (code == EN_CHANGE && run(m_textChange, id)) || (code == CBN_EDITCHANGE && run(m_textChange, id)))
                return 0;
            break;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            const int id = static_cast<int>(header->idFrom);
            if (header->code == TCN_SELCHANGING) {
                run(m_selChanging, id);
                return FALSE;  // the change goes ahead
            }
            if (header->code == TCN_SELCHANGE && run(m_selChange, id)) return 0;
            break;
        }
        case WM_CONTEXTMENU: {
            const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
            const auto found = m_contextMenu.find(id);
            if (found != m_contextMenu.end() && found->second) {
                found->second(ScreenPoint{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
                return 0;
            }
            break;
        }
        case WM_TIMER: {
            const auto found = m_timers.find(wParam);
            if (found == m_timers.end()) break;
            ::KillTimer(hwnd, wParam);
            const std::function<void()> handler = std::move(found->second);
            m_timers.erase(found);
            if (handler) handler();
            return 0;
        }
        case WM_DROPFILES: {
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
            // The control under the point, not the group box around it.
            int id = kNoControlId;
            for (const auto& [itemId, control] : m_items) {
                RECT place{};
                ::GetWindowRect(control, &place);
                ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&place), 2);
                const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
                const bool groupBox = IsClass(control, L"BUTTON") && (style & BS_TYPEMASK) == BS_GROUPBOX;
                if ((style & WS_VISIBLE) != 0 && !groupBox && ::PtInRect(&place, at)) id = itemId;
            }
            if (m_dropFiles) m_dropFiles(files, id);
            return 0;
        }
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus has it again,
            // not the window's frame.
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && m_lastFocus && ::IsChild(hwnd, m_lastFocus) &&
                ::IsWindowVisible(m_lastFocus) && ::IsWindowEnabled(m_lastFocus)) {
                ::SetFocus(m_lastFocus);
                return 0;
            }
            break;
        case WM_DPICHANGED: {
            // Moved to a screen of another scale: the layout again in the
            // dialog font at that scale, where Windows suggests.
            ScrollTo(SB_HORZ, 0);
            ScrollTo(SB_VERT, 0);
            const int dpi = HIWORD(wParam);
            Rescale(dpi);
            ::EnumChildWindows(
                hwnd,
                [](HWND child, LPARAM scale) -> BOOL {
                    if (IsClass(child, kDialogClass))
                        if (auto* page = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(child, GWLP_USERDATA)))
                            page->Rescale(static_cast<int>(scale));
                    return TRUE;
                },
                dpi);
            for (const auto& [page, tabId] : std::vector(m_pages)) PlacePage(*page, tabId);
            const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
            FitWindow(WorkAreaAt(suggested), POINT{suggested.left, suggested.top});
            return 0;
        }
        case WM_VSCROLL:
        case WM_HSCROLL: {
            const int bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
            SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
            if (!Scrolls() || !::GetScrollInfo(hwnd, bar, &info)) break;
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
        case WM_MOUSEWHEEL:
            if (!Scrolls() || !(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VSCROLL)) break;
            ScrollTo(SB_VERT, m_scroll.y - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * ScreenPixels(16) / WHEEL_DELTA);
            return 0;
        case WM_PAINT: {
            if (!m_picture || !m_picture->handle()) break;
            PAINTSTRUCT paint{};
            const HDC dc = ::BeginPaint(hwnd, &paint);
            RECT place = m_picturePlace;
            ::OffsetRect(&place, -m_scroll.x, -m_scroll.y);
            DrawTransparent(dc, *m_picture, place, m_pictureTransparent);
            ::EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_CLOSE:
            // A page never goes before its window, whoever asks.
            if (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) return 0;
            OnClose();
            return 0;
        case WM_MEASUREITEM: {
            // Measured again by MeasureListItems once the text is in.
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (item->CtlType != ODT_LISTBOX) break;
            item->itemHeight = static_cast<UINT>(MulDiv(m_units.y, 5, 4));
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlType != ODT_LISTBOX) break;
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
        case WM_GETMINMAXINFO:
            // A window that grows never shrinks below its layout.
            if (m_style & WS_THICKFRAME) {
                const RECT frame =
                    FrameAround(MapDialogRect({0, 0, m_layoutSize.width, m_layoutSize.height}), m_style, m_dpi);
                auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
                limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
                return 0;
            }
            break;
        case WM_SIZE:
            if ((m_style & WS_THICKFRAME) && wParam != SIZE_MINIMIZED) OnResized({LOWORD(lParam), HIWORD(lParam)});
            break;
        case WM_DESTROY:
            if (!(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) ::PostQuitMessage(0);
            break;
        case WM_NCDESTROY:
            m_hwnd = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void DispatchDialogMessage(CDialog& window, MSG& message) {
    // The main window's keys work from every window of the program; the
    // dialog keys are each window's own.
    const HWND dialog = window.hwnd();
    CDialog* own = DialogOf(message.hwnd);
    if (!(dialog && window.accelerators() && ::TranslateAcceleratorW(dialog, window.accelerators(), &message)) &&
        !(own && own->hwnd() && ::IsDialogMessageW(own->hwnd(), &message))) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    static HWND focus = nullptr;
    if (const HWND now = ::GetFocus(); now != focus) {
        focus = now;
        if (CDialog* holder = DialogOf(now)) holder->FocusMovedTo(now);
    }
}

int RunMessageLoop(CDialog& window) {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) DispatchDialogMessage(window, message);
    return static_cast<int>(message.wParam);
}

void SetWorkAreaForTesting(const RECT* area) { WorkAreaOverride() = area ? std::optional<RECT>(*area) : std::nullopt; }
