#pragma once
// The program's own files, apart from any window: the draft of the form,
// kept after every change so that no session's typing is lost, and the
// folder last used for each kind of file. They live in the state folder
// ($XDG_STATE_HOME/quillsmith, else ~/.local/state/quillsmith; on Windows
// %LOCALAPPDATA%\Quillsmith), each
// written whole to a temporary file and renamed into place. A broken file
// never stops the program.

#include <map>
#include <optional>
#include <string>

#include "form/FormFile.h"
#include "platform/FolderMemory.h"
#include "text/Text.h"

// The folder, not yet created; empty when neither variable names a home.
FilePath StateFolder();

class DraftStore {
public:
    explicit DraftStore(FilePath folder);

    struct Loaded {
        std::optional<FormFile> form;  // nothing: no draft, or a broken one
        FilePath setAside;             // where a broken draft was moved
        std::string why;               // UTF-8: what was wrong with it
    };
    // The last session's form. A draft that cannot be read or is not a form
    // is renamed aside, never deleted.
    Loaded Load() const;
    // False when the folder or the file cannot be written.
    bool Save(const FormFile& form) const;

    const FilePath& path() const { return m_path; }

private:
    FilePath m_folder;
    FilePath m_path;
};

// The last folder for each kind of file ("readme", "screenshots", "text",
// "forms"); a broken or missing file gives none.
class RecentFolders : public FolderMemory {
public:
    explicit RecentFolders(FilePath folder);

    FilePath Get(const std::string& kind) const;
    // Remembers folder for kind and writes the file; false if it cannot.
    bool Set(const std::string& kind, const FilePath& folder);

    FilePath LastFolder(const std::string& kind) const override { return Get(kind); }
    void Remember(const std::string& kind, const FilePath& folder) override { Set(kind, folder); }

private:
    FilePath m_folder;
    FilePath m_path;
    std::map<std::string, FilePath> m_folders;
};
