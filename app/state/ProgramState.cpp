#include "app/state/ProgramState.h"

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "output/FileIo.h"

namespace {

constexpr char kFoldersName[] = "folders.json";

// Far above a list of folders; a larger file is no state of ours.
constexpr std::uint64_t kMaxFoldersBytes = 1 << 20;

}  // namespace

#ifndef _WIN32  // StateFolderWin32.cpp
FilePath StateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return FilePath(state) + "/quillsmith";
    if (const char* home = std::getenv("HOME"); home && *home) return FilePath(home) + "/.local/state/quillsmith";
    return {};
}
#endif

RecentFolders::RecentFolders(FilePath folder) : m_folder(std::move(folder)) {
    if (m_folder.empty()) return;
    m_path = m_folder;
    m_path += kPathSeparator;
    m_path += kFoldersName;
    ReadFile();
}

void RecentFolders::ReadFile() {
    const fileio::WholeFile whole = fileio::ReadWholeFile(m_path, kMaxFoldersBytes);
    if (!whole.ok()) return;
    const nlohmann::json root = nlohmann::json::parse(whole.bytes, nullptr, false);
    if (!root.is_object()) return;
    for (auto item = root.begin(); item != root.end(); ++item)
        if (item.value().is_string()) m_folders[item.key()] = item.value().get<std::string>();
}

FilePath RecentFolders::Get(const std::string& kind) const {
    const auto found = m_folders.find(kind);
    return found == m_folders.end() ? FilePath() : found->second;
}

StateWrite RecentFolders::Set(const std::string& kind, const FilePath& folder) {
    // Another window's entries since this one last read the file stay.
    if (!m_folder.empty()) ReadFile();
    m_folders[kind] = folder;
    if (m_folder.empty()) return {false, std::string(kNoStateFolder)};
    if (!fileio::MakeFolders(m_folder, 0700)) return {false, fileio::SystemReason()};
    const nlohmann::json root(m_folders);
    if (!fileio::WriteWholeFile(m_path, root.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n"))
        return {false, fileio::SystemReason()};
    return {};
}

void RecentFolders::Remember(const std::string& kind, const FilePath& folder) {
    const StateWrite written = Set(kind, folder);
    if (m_onWritten) m_onWritten(written);
}
