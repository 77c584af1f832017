#pragma once
// Message boxes, the default beep, the open and save dialogs and the
// system's program for a file. Each system's folder defines them behind a
// seam that its tests answer instead of a user (qt/QtDialogs.h,
// win32/Win32Dialogs.h).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CDialog.h"
#include "platform/FolderMemory.h"
#include "text/Messages.h"
#include "text/Text.h"

// What a file dialog returns: the full path and the name without folder,
// UTF-8, never through the Windows-1251 codec.
struct ChosenFile {
    FilePath path;
    FilePath fileName;
};

// OK only, "Quillsmith" as caption.
void ShowMessageBox(WindowHandle owner, std::string_view text, MessageIcon icon);
void DefaultBeep();

// Where file dialogs start; nullptr: nowhere remembered.
void SetFolderMemory(FolderMemory* memory);

// filter is written as for the Windows file dialogs, "display|patterns|
// ...||" in Windows-1251; kind names the dialog's kind of file for the
// folder memory.
std::optional<ChosenFile> OpenFileDialog(WindowHandle owner, std::string_view filter, const std::string& kind);
// A confirmed dialog makes the chosen folder the current directory, as the
// Windows dialog does. Until its own kind has a folder, it starts in
// fallbackKind's.
std::optional<ChosenFile> SaveFileDialog(WindowHandle owner, std::string_view filter, std::string_view defaultExtension,
                                         std::string_view proposedName, const std::string& kind,
                                         const std::string& fallbackKind = {});

// What a file dialog asks, as each layer's dialog (or its tests' seam)
// takes it.
struct FileDialogQuestion {
    bool save = false;  // a save dialog also asks before replacing a file
    std::string_view filter;
    std::string_view defaultExtension;  // appended when the typed name has none
    std::string_view proposedName;
    FilePath startFolder;  // empty: where the system's dialog starts
};
// Each layer's: the chosen full path, or nothing when cancelled. A confirmed
// save makes the chosen folder the current one, as the Windows dialog does.
std::optional<FilePath> AskFileDialog(WindowHandle owner, const FileDialogQuestion& question);

// The length of a file in bytes, or nothing when it cannot be opened.
std::optional<std::int64_t> FileLength(const ChosenFile& file);

// Opens a file (the saved readme) in the program the system gives its type:
// the default browser for a .htm.
bool OpenInBrowser(const FilePath& path);

// The system's clipboard holds this text (UTF-8) as Unicode text, owned by
// the window; on Windows with CR LF line ends, as its programs paste them.
// False when the clipboard could not be had.
bool SetClipboardText(WindowHandle owner, std::string_view utf8);
