#include "platform/win32/Win32Dialogs.h"
// after windows.h
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "output/FileIo.h"
#include "platform/DialogRules.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Text.h"
#include "text/LineBreaks.h"

namespace {

DialogSeam*& Seam() {
    static DialogSeam* seam = nullptr;
    return seam;
}

std::optional<std::wstring> RealFileDialog(HWND owner, const FileDialogRequest& request) {
    std::vector<wchar_t> path(32768, L'\0');
    request.proposedName.copy(path.data(), std::min(request.proposedName.size(), path.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = request.filter.empty() ? nullptr : request.filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = request.startFolder.empty() ? nullptr : request.startFolder.c_str();
    dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    // No OFN_NOCHANGEDIR: the record file relies on the chosen folder
    // becoming the current one.
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (request.overwritePrompt) dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (!request.save) dialog.Flags |= OFN_FILEMUSTEXIST;
    const BOOL chosen = request.save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (!chosen) return std::nullopt;
    return std::wstring(path.data());
}

}  // namespace

std::wstring WindowsFileFilter(std::string_view filter) {
    std::wstring out;
    for (const FileFilterPair& pair : SplitFileFilter(filter)) {
        out += ToWide(pair.display);
        out += L'\0';
        out += ToWide(pair.patterns);
        out += L'\0';
    }
    if (!out.empty()) out += L'\0';
    return out;
}

void SetDialogSeamForTesting(DialogSeam* seam) { Seam() = seam; }

void ShowMessageBox(WindowHandle ownerHandle, std::string_view text, MessageIcon icon) {
    const HWND owner = ToHwnd(ownerHandle);
    const std::wstring caption = ToWide(kApplicationTitle);
    const std::wstring message = ToWide(text);
    if (Seam()) return Seam()->MessageBox(owner, caption, message, icon);
    ::MessageBoxW(owner, message.c_str(), caption.c_str(),
                  MB_OK | (icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0u));
}

void DefaultBeep() {
    if (Seam()) return Seam()->Beep();
    ::MessageBeep(0);
}

std::optional<FilePath> AskFileDialog(WindowHandle ownerHandle, const FileDialogQuestion& question) {
    FileDialogRequest request;
    request.save = question.save;
    request.filter = WindowsFileFilter(question.filter);
    request.defaultExtension = ToWide(question.defaultExtension);
    request.proposedName = ToWide(question.proposedName);
    request.overwritePrompt = question.save;
    request.startFolder = WideFromUtf8(question.startFolder);
    const HWND owner = ToHwnd(ownerHandle);
    const std::optional<std::wstring> path =
        Seam() ? Seam()->FileDialog(owner, request) : RealFileDialog(owner, request);
    if (!path || path->empty()) return std::nullopt;
    // The seam's answers make the folder current as the dialog would.
    const std::size_t slash = path->find_last_of(L"\\/");
    if (question.save && Seam() && slash != std::wstring::npos) ::SetCurrentDirectoryW(path->substr(0, slash).c_str());
    return Utf8FromWide(*path);
}

std::optional<std::int64_t> FileLength(const ChosenFile& file) {
    fileio::InputFile input;
    if (!input.Open(file.path)) return std::nullopt;
    return static_cast<std::int64_t>(input.length());
}

bool OpenInBrowser(const FilePath& path) {
    const std::wstring wide = WideFromUtf8(path);
    if (Seam()) return Seam()->Open(wide);
    // Above 32 is success, as the function has always answered.
    return reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) >
           32;
}

bool SetClipboardText(WindowHandle owner, std::string_view utf8) {
    const std::wstring wide = WideFromUtf8(WithCrLf(utf8));
    // Another program may hold the clipboard for a moment.
    bool open = false;
    for (int tries = 0; tries < 10 && !(open = ::OpenClipboard(ToHwnd(owner))); ++tries) ::Sleep(10);
    if (!open) return false;
    ::EmptyClipboard();
    bool placed = false;
    if (const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t))) {
        if (auto* to = static_cast<wchar_t*>(::GlobalLock(memory))) {
            std::copy_n(wide.c_str(), wide.size() + 1, to);
            ::GlobalUnlock(memory);
            placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        // Once placed, the clipboard owns it.
        if (!placed) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return placed;
}
