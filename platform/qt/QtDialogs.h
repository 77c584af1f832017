#pragma once
// The Qt layer's seam behind the message boxes, the beep, the file dialogs
// and the system's program for a file, so that tests answer them instead of
// a user.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"
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
    // A file to show in its program; true when it opened.
    virtual bool Open(const QString&) { return true; }
};

// Tests install their own seam; nullptr brings back the real dialogs.
void SetDialogSeamForTesting(DialogSeam* seam);
