#pragma once
// Message boxes, the default beep and the open and save dialogs, behind one
// seam so that tests answer them instead of a user.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/FolderMemory.h"
#include "text/Messages.h"
#include "text/Text.h"

class QWidget;

// One entry of a filter string "display|patterns|...||".
struct FileFilter {
    QString display;
    QStringList patterns;  // "*.*" already widened to "*"

    bool operator==(const FileFilter&) const = default;
};

// Splits a filter string written as for the Windows file dialogs; a display
// text without its pattern ends the list.
std::vector<FileFilter> ParseFileFilter(std::string_view filter);

struct FileDialogRequest {
    bool save = false;
    std::vector<FileFilter> filters;
    QString defaultExtension;  // appended when the typed name has none
    QString proposedName;
    bool overwritePrompt = false;
    QString startFolder;  // empty: where the platform's dialog starts
};

// What a file dialog returns: the full path and the name without folder as
// FilePaths (UTF-8, never through the Windows-1251 codec), and the path as
// Qt knows it.
struct ChosenFile {
    FilePath path;
    FilePath fileName;
    QString nativePath;
};

struct ShownMessage {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    QWidget* owner = nullptr;
};

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    virtual void MessageBox(const ShownMessage& message) = 0;
    virtual void Beep() = 0;
    // The chosen full path, or nothing when cancelled.
    virtual std::optional<QString> FileDialog(QWidget* owner, const FileDialogRequest& request) = 0;
};

// Tests install their own seam; nullptr brings back the real dialogs.
void SetDialogSeamForTesting(DialogSeam* seam);

// OK only, the application's name as caption.
void ShowMessageBox(QWidget* owner, std::string_view text, MessageIcon icon);
void DefaultBeep();

// Where file dialogs start; nullptr: nowhere remembered.
void SetFolderMemory(FolderMemory* memory);

// kind names the dialog's kind of file for the folder memory.
std::optional<ChosenFile> OpenFileDialog(QWidget* owner, std::string_view filter, const std::string& kind);
// A confirmed dialog makes the chosen folder the current directory, as the
// Windows dialog does.
std::optional<ChosenFile> SaveFileDialog(QWidget* owner, std::string_view filter, std::string_view defaultExtension,
                                         std::string_view proposedName, const std::string& kind);

// The length of a file in bytes, or nothing when it cannot be opened.
std::optional<std::int64_t> FileLength(const ChosenFile& file);

// Opens a file (the saved readme) in the program the system gives its type:
// the default browser for a .htm.
bool OpenInBrowser(const FilePath& path);
