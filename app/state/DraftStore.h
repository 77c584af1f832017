#pragma once
// Each window's draft of its form, kept after every change so that no
// session's typing is lost, however it ends. A window owns the draft
// draft-ID.json in the state folder while it holds draft-ID.lock, a lock the
// system drops when the process ends; a draft whose lock no one holds is an
// orphan, and the next start brings it back. A window never writes a draft
// it does not hold. A draft equal to a fresh form is not kept.

#include <optional>
#include <string>
#include <vector>

#include "app/state/ProgramState.h"
#include "form/FormFile.h"
#include "output/FileIo.h"
#include "text/Text.h"

class DraftStore {
public:
    // Windows one start opens for orphaned drafts, its own included.
    static constexpr int kMostWindows = 8;

    // Holds nothing until Claim, Adopt or the first Save.
    explicit DraftStore(FilePath folder);
    ~DraftStore() { Close(); }
    DraftStore(const DraftStore&) = delete;
    DraftStore& operator=(const DraftStore&) = delete;

    struct Claimed {
        std::optional<FormFile> form;     // this window's: the first orphan
        std::vector<std::string> others;  // for windows of their own, not held
        int waiting = 0;                  // orphans left for a later start
        std::vector<FilePath> setAside;   // broken drafts, renamed aside
    };
    // At a window's start: every orphaned draft, in the order they were
    // made, the single draft.json of earlier versions first. ownFirst false
    // leaves this window its own new draft (it opens a form of its own).
    Claimed Claim(bool ownFirst = true);
    // A window started for one orphan takes it; nothing when another window
    // took it first or it is gone.
    std::optional<FormFile> Adopt(std::string_view id);

    // This window's form; a fresh form drops the draft instead.
    StateWrite Save(const FormFile& form);
    // The window closes: its draft stays for the next start, the lock goes.
    void Close();

    // Empty until the window has a draft of its own.
    const std::string& id() const { return m_id; }
    // This window's id, taken now if it has none yet: what names its other
    // files (Windows' preview folder). Empty when the folder takes no lock.
    const std::string& OwnId();
    // True while a running window holds id.
    bool IsHeld(std::string_view id) const;
    FilePath DraftPath(std::string_view id) const;

private:
    enum class Read { Form, Missing, Broken };
    Read Load(const FilePath& path, std::optional<FormFile>& form, std::vector<FilePath>& setAside) const;
    FilePath LockPath(std::string_view id) const;
    bool TakeNewId();

    FilePath m_folder;
    std::string m_id;
    fileio::FileLock m_lock;
    bool m_hasDraft = false;  // the file at DraftPath(m_id) is this window's
};

// True for what a draft's id may be: letters, digits and '-'.
bool IsDraftId(std::string_view id);
