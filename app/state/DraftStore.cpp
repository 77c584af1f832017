#include "app/state/DraftStore.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>

namespace {

constexpr std::string_view kOldDraftName = "draft.json";
constexpr std::string_view kPrefix = "draft-";
constexpr std::string_view kDraftSuffix = ".json";
constexpr std::string_view kLockSuffix = ".lock";

// Far above any form typed by hand; a larger file is no draft of ours.
constexpr std::uint64_t kMaxDraftBytes = std::uint64_t{1} << 30;

FilePath InFolder(const FilePath& folder, std::string_view name) {
    FilePath path = folder;
    path += kPathSeparator;
    path += name;
    return path;
}

std::string Stamp(const char* format) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, format, std::localtime(&now));
    return stamp;
}

// Sorts in the order drafts were made; the random part keeps two windows
// started in one second apart.
std::string NewId() {
    static std::random_device device;
    char random[9];
    std::snprintf(random, sizeof random, "%08x", static_cast<unsigned>(device()));
    return Stamp("%Y%m%d-%H%M%S-") + random;
}

}  // namespace

bool IsDraftId(std::string_view id) {
    return !id.empty() && id.size() <= 64 && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
    });
}

DraftStore::DraftStore(FilePath folder) : m_folder(std::move(folder)) {}

FilePath DraftStore::DraftPath(std::string_view id) const {
    return InFolder(m_folder, std::string(kPrefix) + std::string(id) + std::string(kDraftSuffix));
}

FilePath DraftStore::LockPath(std::string_view id) const {
    return InFolder(m_folder, std::string(kPrefix) + std::string(id) + std::string(kLockSuffix));
}

DraftStore::Read DraftStore::Load(const FilePath& path, std::optional<FormFile>& form,
                                  std::vector<FilePath>& setAside) const {
    const fileio::WholeFile whole = fileio::ReadWholeFile(path, kMaxDraftBytes);
    if (whole.fault == fileio::WholeFile::Fault::Missing) return Read::Missing;
    if (whole.ok()) {
        FormFileResult read = ReadFormFile(whole.bytes);
        if (read.ok()) {
            form = std::move(read.file);
            return Read::Form;
        }
    }
    // Kept aside under a name of its own, never deleted: it may be all that
    // is left of someone's work.
    const FilePath aside = path + ".broken-" + Stamp("%Y%m%d-%H%M%S");
    if (fileio::RenameFile(path, aside)) setAside.push_back(aside);
    return Read::Broken;
}

bool DraftStore::TakeNewId() {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string id = NewId();
        if (!fileio::IsMissing(DraftPath(id))) continue;
        if (!m_lock.TryLock(LockPath(id))) return false;
        m_id = id;
        return true;
    }
    return false;
}

DraftStore::Claimed DraftStore::Claim(bool ownFirst) {
    Claimed claimed;
    if (m_folder.empty()) return claimed;
    std::vector<std::string> names = fileio::NamesIn(m_folder);
    if (names.empty()) return claimed;
    std::sort(names.begin(), names.end());

    // This window counts as one of the windows opened for orphans.
    int windows = ownFirst ? 0 : 1;
    const auto place = [&](const std::string& id, fileio::FileLock& lock, FormFile form) {
        if (ownFirst && windows == 0) {
            m_id = id;
            m_lock = std::move(lock);
            m_hasDraft = true;
            claimed.form = std::move(form);
        } else if (windows < kMostWindows) {
            claimed.others.push_back(id);
        } else {
            ++claimed.waiting;
        }
        ++windows;
        lock.Unlock();
    };
    const auto drop = [&](const std::string& id, fileio::FileLock& lock) { lock.UnlockAndRemove(LockPath(id)); };

    // Earlier versions kept one draft for every window: it becomes the first
    // orphan, under an id of its own.
    if (std::binary_search(names.begin(), names.end(), std::string(kOldDraftName))) {
        const FilePath old = InFolder(m_folder, kOldDraftName);
        DraftStore taker(m_folder);
        std::optional<FormFile> form;
        if (taker.TakeNewId()) {
            const Read read = Load(old, form, claimed.setAside);
            if (read == Read::Form && *form != FormFile{}) {
                // Where it cannot be renamed it is still shown, and still
                // there for the next start: nothing is lost either way.
                fileio::RenameFile(old, DraftPath(taker.m_id));
                place(taker.m_id, taker.m_lock, std::move(*form));
            } else {
                if (read == Read::Form && *form == FormFile{}) fileio::RemoveFile(old);
                drop(taker.m_id, taker.m_lock);
            }
        }
    }

    for (const std::string& name : names) {
        if (!name.starts_with(kPrefix) || !name.ends_with(kDraftSuffix)) continue;
        const std::string id = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kDraftSuffix.size());
        if (!IsDraftId(id) || id == m_id) continue;
        fileio::FileLock lock;
        // Held: a running window's own.
        if (!lock.TryLock(LockPath(id))) continue;
        std::optional<FormFile> form;
        const Read read = Load(DraftPath(id), form, claimed.setAside);
        if (read == Read::Form && *form != FormFile{}) {
            place(id, lock, std::move(*form));
            continue;
        }
        if (read == Read::Form) fileio::RemoveFile(DraftPath(id));
        drop(id, lock);
    }
    return claimed;
}

std::optional<FormFile> DraftStore::Adopt(std::string_view id) {
    if (m_folder.empty() || !IsDraftId(id) || m_lock.held()) return std::nullopt;
    const std::string own(id);
    if (!m_lock.TryLock(LockPath(own))) return std::nullopt;
    std::optional<FormFile> form;
    std::vector<FilePath> setAside;
    const Read read = Load(DraftPath(own), form, setAside);
    if (read == Read::Form && *form != FormFile{}) {
        m_id = own;
        m_hasDraft = true;
        return form;
    }
    if (read == Read::Form) fileio::RemoveFile(DraftPath(own));
    m_lock.UnlockAndRemove(LockPath(own));
    return std::nullopt;
}

StateWrite DraftStore::Save(const FormFile& form) {
    if (form == FormFile{}) {
        if (!m_hasDraft) return {};
        if (!fileio::RemoveFile(DraftPath(m_id))) return {false, fileio::SystemReason()};
        m_hasDraft = false;
        return {};
    }
    if (m_folder.empty()) return {false, std::string(kNoStateFolder)};
    if (!fileio::MakeFolders(m_folder, 0700)) return {false, fileio::SystemReason()};
    // The lock comes before the file, so no start ever sees this draft unheld.
    if (!m_lock.held() && (m_id.empty() ? !TakeNewId() : !m_lock.TryLock(LockPath(m_id))))
        return {false, fileio::SystemReason()};
    if (!fileio::WriteWholeFile(DraftPath(m_id), WriteFormFile(form))) return {false, fileio::SystemReason()};
    m_hasDraft = true;
    return {};
}

const std::string& DraftStore::OwnId() {
    if (m_id.empty() && !m_folder.empty() && fileio::MakeFolders(m_folder, 0700)) TakeNewId();
    return m_id;
}

bool DraftStore::IsHeld(std::string_view id) const {
    if (id == m_id) return m_lock.held();
    if (m_folder.empty() || !IsDraftId(id)) return false;
    fileio::FileLock probe;
    if (!probe.TryLock(LockPath(id))) return !fileio::IsMissing(LockPath(id));
    // The probe made the file when it was missing: a lock without a draft goes.
    if (fileio::IsMissing(DraftPath(id))) probe.UnlockAndRemove(LockPath(id));
    return false;
}

void DraftStore::Close() {
    if (!m_lock.held()) return;
    // A window that leaves no draft leaves no lock file either.
    if (m_hasDraft)
        m_lock.Unlock();
    else
        m_lock.UnlockAndRemove(LockPath(m_id));
}
