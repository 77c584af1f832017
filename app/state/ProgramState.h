#pragma once
// The program's own files, apart from any window's draft (DraftStore.h): the
// folder last used for each kind of file. They live in the state folder
// ($XDG_STATE_HOME/quillsmith, else ~/.local/state/quillsmith; on Windows
// %LOCALAPPDATA%\Quillsmith), each written whole to a temporary file and
// renamed into place. A broken file never stops the program.

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/FolderMemory.h"
#include "text/Text.h"

// The folder, not yet created; empty when neither variable names a home.
FilePath StateFolder();

// How a write of a state file went.
struct StateWrite {
    bool ok = true;
    std::string reason;  // UTF-8, the system's own words
};
// The reason given when there is no state folder at all.
inline constexpr std::string_view kNoStateFolder = "нет папки для файлов программы (не задан HOME)";

// The last folder for each kind of file ("readme", "screenshots", "text",
// "forms"); a broken or missing file gives none. Several windows share the
// file: each change reads it again and changes only its own entry.
class RecentFolders : public FolderMemory {
public:
    explicit RecentFolders(FilePath folder);

    FilePath Get(const std::string& kind) const;
    // Remembers folder for kind and writes the file.
    StateWrite Set(const std::string& kind, const FilePath& folder);

    FilePath LastFolder(const std::string& kind) const override { return Get(kind); }
    void Remember(const std::string& kind, const FilePath& folder) override;

    // Told of every write Remember makes.
    std::function<void(const StateWrite&)> m_onWritten;

private:
    void ReadFile();

    FilePath m_folder;
    FilePath m_path;
    std::map<std::string, FilePath> m_folders;
};
