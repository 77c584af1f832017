#include "app/state/ProgramState.h"

#include <cstdlib>
#include <ctime>
#include <nlohmann/json.hpp>

#include "output/FileIo.h"

namespace {

constexpr char kDraftName[] = "draft.json";
constexpr char kFoldersName[] = "folders.json";

// Far above any form typed by hand; a larger file is no state of ours.
constexpr std::uint64_t kMaxStateFileBytes = std::uint64_t{1} << 30;

std::optional<std::string> ReadFile(const FilePath& path, bool& missing) {
    fileio::WholeFile whole = fileio::ReadWholeFile(path, kMaxStateFileBytes);
    missing = whole.fault == fileio::WholeFile::Fault::Missing;
    if (!whole.ok()) return std::nullopt;
    return std::move(whole.bytes);
}

FilePath InFolder(const FilePath& folder, std::string_view name) {
    FilePath path = folder;
    path += kPathSeparator;
    path += name;
    return path;
}

}  // namespace

#ifndef _WIN32  // StateFolderWin32.cpp
FilePath StateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return FilePath(state) + "/quillsmith";
    if (const char* home = std::getenv("HOME"); home && *home) return FilePath(home) + "/.local/state/quillsmith";
    return {};
}
#endif

DraftStore::DraftStore(FilePath folder) : m_folder(std::move(folder)), m_path(InFolder(m_folder, kDraftName)) {}

DraftStore::Loaded DraftStore::Load() const {
    Loaded loaded;
    if (m_folder.empty()) return loaded;
    bool missing = false;
    const std::optional<std::string> bytes = ReadFile(m_path, missing);
    if (missing) return loaded;
    if (bytes) {
        FormFileResult read = ReadFormFile(*bytes);
        if (read.ok()) {
            loaded.form = std::move(read.file);
            return loaded;
        }
        loaded.why = read.error;
    } else {
        loaded.why = "the file cannot be read";
    }
    // Kept aside under a name of its own, so the next draft cannot replace it.
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    loaded.setAside = m_path + ".broken-" + stamp;
    if (!fileio::RenameFile(m_path, loaded.setAside)) loaded.setAside.clear();
    return loaded;
}

bool DraftStore::Save(const FormFile& form) const {
    return !m_folder.empty() && fileio::MakeFolders(m_folder, 0700) &&
           fileio::WriteWholeFile(m_path, WriteFormFile(form));
}

RecentFolders::RecentFolders(FilePath folder) : m_folder(std::move(folder)), m_path(InFolder(m_folder, kFoldersName)) {
    bool missing = false;
    if (m_folder.empty()) return;
    const std::optional<std::string> bytes = ReadFile(m_path, missing);
    if (!bytes) return;
    const nlohmann::json root = nlohmann::json::parse(*bytes, nullptr, false);
    if (!root.is_object()) return;
    for (auto item = root.begin(); item != root.end(); ++item)
        if (item.value().is_string()) m_folders[item.key()] = item.value().get<std::string>();
}

FilePath RecentFolders::Get(const std::string& kind) const {
    const auto found = m_folders.find(kind);
    return found == m_folders.end() ? FilePath() : found->second;
}

bool RecentFolders::Set(const std::string& kind, const FilePath& folder) {
    m_folders[kind] = folder;
    if (m_folder.empty() || !fileio::MakeFolders(m_folder, 0700)) return false;
    const nlohmann::json root(m_folders);
    return fileio::WriteWholeFile(m_path, root.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
}
