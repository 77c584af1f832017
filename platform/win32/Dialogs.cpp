#include "platform/win32/Win32Dialogs.h"
// after windows.h
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "output/FileIo.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Text.h"

namespace {

DialogSeam*& Seam() {
    static DialogSeam* seam = nullptr;
    return seam;
}

FolderMemory*& Memory() {
    static FolderMemory* memory = nullptr;
    return memory;
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

std::optional<ChosenFile> RunFileDialog(HWND owner, FileDialogRequest request, const std::string& kind) {
    if (Memory()) request.startFolder = WideFromUtf8(Memory()->LastFolder(kind));
    const std::optional<std::wstring> path =
        Seam() ? Seam()->FileDialog(owner, request) : RealFileDialog(owner, request);
    if (!path || path->empty()) return std::nullopt;
    const std::size_t slash = path->find_last_of(L"\\/");
    ChosenFile file;
    file.path = Utf8FromWide(*path);
    file.fileName = Utf8FromWide(slash == std::wstring::npos ? *path : path->substr(slash + 1));
    if (Memory() && slash != std::wstring::npos) Memory()->Remember(kind, Utf8FromWide(path->substr(0, slash)));
    // The seam's answers make the folder current as the dialog would.
    if (request.save && Seam() && slash != std::wstring::npos) ::SetCurrentDirectoryW(path->substr(0, slash).c_str());
    return file;
}

}  // namespace

std::wstring WindowsFileFilter(std::string_view filter) {
    std::wstring out;
    std::size_t at = 0;
    while (at < filter.size()) {
        const std::size_t displayEnd = filter.find('|', at);
        if (displayEnd == std::string_view::npos || displayEnd == at) break;
        const std::size_t patternEnd = filter.find('|', displayEnd + 1);
        if (patternEnd == std::string_view::npos) break;
        out += ToWide(filter.substr(at, displayEnd - at));
        out += L'\0';
        out += ToWide(filter.substr(displayEnd + 1, patternEnd - displayEnd - 1));
        out += L'\0';
        at = patternEnd + 1;
    }
    if (!out.empty()) out += L'\0';
    return out;
}

void SetDialogSeamForTesting(DialogSeam* seam) { Seam() = seam; }
void SetFolderMemory(FolderMemory* memory) { Memory() = memory; }

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

std::optional<ChosenFile> OpenFileDialog(WindowHandle owner, std::string_view filter, const std::string& kind) {
    FileDialogRequest request;
    request.filter = WindowsFileFilter(filter);
    return RunFileDialog(ToHwnd(owner), std::move(request), kind);
}

std::optional<ChosenFile> SaveFileDialog(WindowHandle owner, std::string_view filter, std::string_view defaultExtension,
                                         std::string_view proposedName, const std::string& kind) {
    FileDialogRequest request;
    request.save = true;
    request.filter = WindowsFileFilter(filter);
    request.defaultExtension = ToWide(defaultExtension);
    request.proposedName = ToWide(proposedName);
    request.overwritePrompt = true;
    return RunFileDialog(ToHwnd(owner), std::move(request), kind);
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
