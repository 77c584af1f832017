#pragma once
// Message boxes, the default beep and the common open and save dialogs,
// behind one seam so that tests answer them instead of a user.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FolderMemory.h"
#include "platform/win32/Windows.h"
#include "text/Messages.h"
#include "text/Text.h"

// A filter string written for the Windows file dialogs, "display|pattern|
// ...||" in Windows-1251, as the dialog takes it: each "|" a zero, the list
// ended by two. Ends early at a display text without its pattern.
std::wstring WindowsFileFilter(std::string_view filter);

struct FileDialogRequest {
    bool save = false;
    std::wstring filter;            // as WindowsFileFilter makes it
    std::wstring defaultExtension;  // appended when the typed name has none
    std::wstring proposedName;
    bool overwritePrompt = false;
    std::wstring startFolder;  // empty: where the system's dialog starts
};

// The full path and the name without folder, as UTF-8 FilePaths.
struct ChosenFile {
    FilePath path;
    FilePath fileName;
};

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    virtual void MessageBox(HWND owner, const std::wstring& caption, const std::wstring& text, MessageIcon icon) = 0;
    virtual void Beep() = 0;
    // The chosen full path, or nothing when cancelled.
    virtual std::optional<std::wstring> FileDialog(HWND owner, const FileDialogRequest& request) = 0;
    // A file to show in its program; true when it opened.
    virtual bool Open(const std::wstring&) { return true; }
};

// Tests install their own seam; nullptr brings back the real dialogs.
void SetDialogSeamForTesting(DialogSeam* seam);

// OK only, "Quillsmith" as caption.
void ShowMessageBox(HWND owner, std::string_view text, MessageIcon icon);
void DefaultBeep();

// Where file dialogs start; nullptr: nowhere remembered.
void SetFolderMemory(FolderMemory* memory);

// The length of a file in bytes, or nothing when it cannot be opened.
std::optional<std::int64_t> FileLength(const ChosenFile& file);

// Opens a file (the saved readme) in the program the system gives its type:
// the default browser for a .htm.
bool OpenInBrowser(const FilePath& path);

std::optional<ChosenFile> OpenFileDialog(HWND owner, std::string_view filter, const std::string& kind);
// A confirmed dialog leaves the chosen folder the current directory.
std::optional<ChosenFile> SaveFileDialog(HWND owner, std::string_view filter, std::string_view defaultExtension,
                                         std::string_view proposedName, const std::string& kind);
