#pragma once
// The Win32 layer's dialogs behind one seam, so that tests answer them
// instead of a user, and the filter string as the file dialogs take it.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Dialogs.h"
#include "platform/win32/Windows.h"

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
