#pragma once
// The main window's size as the last window to close left it, in the state
// folder beside the other program files (ProgramState.h). Kept in dialog
// units, so that it holds at another scale or font.

#include <optional>

#include "app/state/ProgramState.h"
#include "text/Text.h"

struct WindowSize {
    int width = 0;
    int height = 0;

    bool operator==(const WindowSize&) const = default;
};

class WindowSizeFile {
public:
    explicit WindowSizeFile(FilePath folder);

    // Nothing when the file is missing, broken or names no sensible size.
    std::optional<WindowSize> Read() const;
    StateWrite Write(WindowSize size) const;

private:
    FilePath m_folder;
    FilePath m_path;
};
