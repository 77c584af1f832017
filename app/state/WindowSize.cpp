#include "app/state/WindowSize.h"

#include <nlohmann/json.hpp>

#include "output/FileIo.h"

namespace {

constexpr char kWindowName[] = "window.json";
constexpr std::uint64_t kMaxWindowBytes = 4096;
// Far beyond any screen, in dialog units; a larger number is no size of ours.
constexpr int kMaxSide = 20000;

}  // namespace

WindowSizeFile::WindowSizeFile(FilePath folder) : m_folder(std::move(folder)) {
    if (m_folder.empty()) return;
    m_path = m_folder;
    m_path += kPathSeparator;
    m_path += kWindowName;
}

std::optional<WindowSize> WindowSizeFile::Read() const {
    if (m_path.empty()) return std::nullopt;
    const fileio::WholeFile whole = fileio::ReadWholeFile(m_path, kMaxWindowBytes);
    if (!whole.ok()) return std::nullopt;
    const nlohmann::json root = nlohmann::json::parse(whole.bytes, nullptr, false);
    if (!root.is_object()) return std::nullopt;
    const auto side = [&root](const char* name) -> std::optional<int> {
        const auto found = root.find(name);
        if (found == root.end() || !found->is_number_integer()) return std::nullopt;
        const auto value = found->get<long long>();
        if (value <= 0 || value > kMaxSide) return std::nullopt;
        return static_cast<int>(value);
    };
    const std::optional<int> width = side("width"), height = side("height");
    if (!width || !height) return std::nullopt;
    return WindowSize{*width, *height};
}

StateWrite WindowSizeFile::Write(WindowSize size) const {
    if (m_folder.empty()) return {false, std::string(kNoStateFolder)};
    if (!fileio::MakeFolders(m_folder, 0700)) return {false, fileio::SystemReason()};
    const nlohmann::json root{{"width", size.width}, {"height", size.height}};
    if (!fileio::WriteWholeFile(m_path, root.dump(2) + "\n")) return {false, fileio::SystemReason()};
    return {};
}
