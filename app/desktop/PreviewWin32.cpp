// The preview on Windows, where no browser engine is built in: the readme
// and its pictures written into a temporary folder and opened in the
// default browser, beside a small window with the checks and the release's
// other texts, which follow the form as it changes. F5 writes the files
// again; the browser's own refresh then shows them, so no second tab opens
// for each.

#include "app/desktop/PreviewWin32.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "app/desktop/CMainDlg.h"
#include "app/preview/PreviewCaptions.h"
#include "formats/ReleaseTexts.h"
#include "output/FileIo.h"
#include "platform/Dialogs.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Text.h"
#include "readme/ReadmeHtml.h"
#include "text/Cp1251.h"

namespace {

// Clear of IDOK and IDCANCEL, which the dialog keys send.
enum class PreviewId : int { Heading = 101, Checks, Where, Refresh, OpenInBrowser, KeepLineBreaks, Format, Copy, Text };
constexpr bool IsControlId(PreviewId) { return true; }

using K = ControlKind;

constexpr std::string_view kWritten = "Записан заново; обновите страницу в браузере (F5): "_cp;
constexpr std::string_view kOpened = "Открыт в браузере: "_cp;
constexpr std::string_view kNotOpened = "Браузер не открылся; файл записан: "_cp;

constexpr ControlSpec kLayout[] = {
    {PreviewId::Heading, K::Label, kChecksTitle, {6, 6, 248, 8}},
    {PreviewId::Checks, K::ListBox, {}, {6, 16, 248, 112}, kStyleNone, 1},
    {PreviewId::Where, K::Label, {}, {6, 132, 248, 24}},
    {PreviewId::Refresh, K::PushButton, "Обновить"_cp, {6, 160, 70, 14}, kStyleNone, 2},
    {PreviewId::OpenInBrowser, K::PushButton, "Открыть в браузере"_cp, {82, 160, 90, 14}, kStyleNone, 3},
    {PreviewId::KeepLineBreaks, K::PushButton, kKeepLineBreaksOffer, {6, 178, 166, 14}, kStyleDisabled, 4},
    {PreviewId::Format, K::DropListCombo, {}, {6, 197, 80, 60}, kStyleNone, 5},
    {PreviewId::Copy, K::PushButton, kCopyText, {92, 196, 70, 14}, kStyleNone, 6},
    {PreviewId::Text, K::MultiLineEdit, {}, {6, 214, 248, 110}, kStyleReadOnly, 7},
};
constexpr DluRect kWindowRect = {0, 0, 260, 330};
// The list and the text share what the window grows by; the rest moves.
constexpr GrowthRule kGrowth[] = {
    {PreviewId::Heading, kWidens},
    {PreviewId::Checks, kWidens, 1},
    {PreviewId::Where, kWidens},
    {PreviewId::Text, kWidens, 1},
};

// Checks run this long after the last change, not on every key.
constexpr UINT_PTR kChecksTimer = 1;
constexpr unsigned kChecksDelayMs = 200;

constexpr std::string_view kFolderPrefix = "Quillsmith preview ";

// The system's folder for temporary files, with its "\" at the end.
FilePath SystemTemporaryFolder() {
    std::wstring temp(MAX_PATH + 1, L'\0');
    DWORD length = ::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    if (length > temp.size()) {  // a longer path: the size it needs
        temp.resize(length);
        length = ::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    }
    temp.resize(length < temp.size() ? length : 0);
    return Utf8FromWide(temp);
}

// Each window's own, named by its draft's id, so that two windows never show
// each other's readme and a start can tell whose a leftover folder was.
FilePath TemporaryFolder(std::string_view windowId) {
    const FilePath folder = SystemTemporaryFolder() + std::string(kFolderPrefix) +
                            (windowId.empty() ? "p" + std::to_string(::GetCurrentProcessId()) : std::string(windowId));
    fileio::MakeFolders(folder);
    return folder + "\\";
}

// A fixed-pitch font of the dialog font's size, for the plain text's
// columns. One for each size, kept while the program runs.
HFONT FixedFontLike(HFONT font) {
    LOGFONTW shape{};
    if (!font || !::GetObjectW(font, sizeof shape, &shape)) return font;
    static std::vector<std::pair<LONG, HFONT>> made;
    for (const auto& [height, fixed] : made)
        if (height == shape.lfHeight) return fixed;
    shape.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::fill(std::begin(shape.lfFaceName), std::end(shape.lfFaceName), L'\0');
    std::wstring_view(L"Courier New").copy(shape.lfFaceName, LF_FACESIZE - 1);
    const HFONT fixed = ::CreateFontIndirectW(&shape);
    if (!fixed) return font;
    made.emplace_back(shape.lfHeight, fixed);
    return fixed;
}

}  // namespace

void RemoveLeftoverPreviews(const DraftStore& drafts) {
    const FilePath temp = SystemTemporaryFolder();
    if (temp.empty()) return;
    for (const std::string& name : fileio::NamesIn(temp)) {
        if (!name.starts_with(kFolderPrefix)) continue;
        const std::string_view id = std::string_view(name).substr(kFolderPrefix.size());
        // A window that ended, however it ended, no longer holds its id.
        if (IsDraftId(id) && id != drafts.id() && !drafts.IsHeld(id)) fileio::RemoveTree(temp + name);
    }
}

CPreview::CPreview(PreviewCapture capture, const TemplatePackage& package, std::span<char, kTextBufferSize> buffer,
                   std::string_view windowId)
    : m_capture(std::move(capture)), m_template(package), m_buffer(buffer), m_folder(TemporaryFolder(windowId)) {
    CreateTopLevel(kPreviewTitle, kWindowRect, true);
    CreateControls(kLayout);
    OnActivate(PreviewId::Checks, [this] { ChooseCheck(); });
    OnClicked(PreviewId::Refresh, [this] { Write(false); });
    OnClicked(PreviewId::OpenInBrowser, [this] { Write(true); });
    OnClicked(PreviewId::KeepLineBreaks, [this] {
        if (m_onOfferTaken) m_onOfferTaken(CheckOffer::KeepLineBreaks);
    });
    SetGrowth(kGrowth);
    static_assert(std::size(kTextFormats) == 3);
    AddComboItems(PreviewId::Format, {kTextFormats[0].caption, kTextFormats[1].caption, kTextFormats[2].caption});
    SetCurSel(PreviewId::Format, 0);
    OnSelChange(PreviewId::Format, [this] { ShowText(m_capture().form); });
    OnClicked(PreviewId::Copy, [this] { SetClipboardText(GetSafeHwnd(), m_shownText); });
}

CPreview::~CPreview() { fileio::RemoveTree(m_folder.substr(0, m_folder.size() - 1)); }

void CPreview::Write(bool openBrowser) {
    PreviewSnapshot now = m_capture();
    const Text readme = BuildReadmeHtml(now.form, m_template);
    now.form.writeReadmeText = false;  // the browser reads the readme alone
    SaveFileWork work = MakeSaveFileWork(now.form, m_template, readme, DatabaseRecord{}, Text(), readmePath());
    // The screenshots where Save would find them, not in the temporary folder.
    for (FilePath& path : work.screenshotPath) path = fileio::ResolveAgainst(now.baseFolder, path);
    // A missing screenshot is in the checks already: no message box at every refresh.
    const ShowMessage quiet = [](std::string_view, MessageIcon) {};
    if (!RunSaveFileWork(work, m_template, m_buffer, quiet).readmeWritten) {
        ShowMessageBox(GetSafeHwnd(), kReadmeNotCreated, MessageIcon::Exclamation);
        return;
    }
    std::string_view where = m_openedOnce && !openBrowser ? kWritten : kOpened;
    if (openBrowser || !m_openedOnce) {
        m_openedOnce = OpenInBrowser(readmePath());
        if (!m_openedOnce) where = kNotOpened;
    }
    // The path as UTF-8: a name beyond the code page stays whole.
    SetItemUtf8(PreviewId::Where, cp1251::ToUtf8(where) + readmePath());
    ShowChecks(now);
    ShowText(now.form);
}

void CPreview::FormChanged() {
    if (!IsShown()) return;
    StartSingleShot(kChecksTimer, kChecksDelayMs, [this] {
        const PreviewSnapshot now = m_capture();
        ShowChecks(now);
        ShowText(now.form);
    });
}

void CPreview::ShowChecks(const PreviewSnapshot& now) {
    m_checks.Update(now);
    SetListItems(PreviewId::Checks, m_checks.Lines());
    EnableItem(PreviewId::KeepLineBreaks, m_checks.Offers(CheckOffer::KeepLineBreaks));
}

void CPreview::ShowText(const ReadmeForm& form) {
    const int chosen = GetCurSel(PreviewId::Format);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= std::size(kTextFormats)) return;
    const ReleaseFormat format = kTextFormats[static_cast<std::size_t>(chosen)].format;
    const HWND view = ItemHwnd(*this, PreviewId::Text);
    // The dialog's own font is the list's, which no format changes.
    const auto dialogFont =
        reinterpret_cast<HFONT>(::SendMessageW(ItemHwnd(*this, PreviewId::Checks), WM_GETFONT, 0, 0));
    const HFONT font = format == ReleaseFormat::PlainText ? FixedFontLike(dialogFont) : dialogFont;
    if (reinterpret_cast<HFONT>(::SendMessageW(view, WM_GETFONT, 0, 0)) != font)
        ::SendMessageW(view, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    std::string text = ReleaseTextUtf8(format, form, m_template);
    if (text == m_shownText) return;  // the selection and the place stay
    // The line the user read at, as near as the new text has it.
    const LRESULT line = ::SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0);
    SetItemUtf8(PreviewId::Text, text);
    ::SendMessageW(view, EM_LINESCROLL, 0, line);
    m_shownText = std::move(text);
}

void CPreview::ChooseCheck() {
    const CheckedField* field = m_checks.FieldOfLine(GetCurSel(PreviewId::Checks));
    if (field && m_onFieldChosen) m_onFieldChosen(*field);
}

void PreviewDeleter::operator()(CPreview* preview) const { delete preview; }

void CMainDlg::PreviewFormChanged() {
    if (m_preview) m_preview->FormChanged();
}

void CMainDlg::TogglePreview() {
    if (!m_preview) {
        m_preview.reset(new CPreview([this] { return CapturePreview(); }, m_template, m_textBuffer, m_drafts.OwnId()));
        m_preview->m_onFieldChosen = [this](const CheckedField& field) { FocusField(field); };
        m_preview->m_onOfferTaken = [this](CheckOffer offer) { TakeOffer(offer); };
        // Beside the main window where there is room, else over its right edge.
        RECT main{}, work{};
        ::GetWindowRect(Hwnd(*this), &main);
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT own{};
        ::GetWindowRect(Hwnd(*m_preview), &own);
        const LONG width = own.right - own.left;
        const LONG x = main.right + width <= work.right ? main.right : std::max(work.left, work.right - width);
        ::SetWindowPos(Hwnd(*m_preview), nullptr, x, main.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Shown first, so that a message about the file has its window.
    m_preview->Show(true);
    m_preview->Write(false);
}

CPreview* CMainDlg::preview() const { return m_preview.get(); }
