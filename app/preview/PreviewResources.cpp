#include "app/preview/PreviewResources.h"

#include <algorithm>
#include <filesystem>

#include "output/FileIo.h"
#include "output/ImageHeader.h"
#include "readme/TextRoutines.h"

namespace {

constexpr std::string_view kPictures = "files/images/";
constexpr std::string_view kScreenshots = "files/scrins/";
// A screenshot larger than this is not shown: no reader's browser would.
constexpr std::uintmax_t kMaxScreenshotBytes = 64 * 1024 * 1024;

preview::Resource Picture(std::string bytes) {
    const ImageKind kind =
        ReadImageHeader(std::string_view(bytes).substr(0, std::min(bytes.size(), kImageHeaderBytes))).kind;
    const std::string_view mime = ImageMimeType(kind);
    return {std::move(bytes), mime.empty() ? "application/octet-stream" : std::string(mime)};
}

}  // namespace

void PreviewResources::SetForm(const ReadmeForm& form, FilePath baseFolder) {
    m_screenshotCount = std::clamp(form.screenshotCount, 0, 3);
    m_screenshots = form.screenshotPath;
    m_baseFolder = std::move(baseFolder);
    // Only the form's own screenshots stay read.
    std::erase_if(m_cache, [this](const auto& cached) {
        return std::none_of(m_screenshots.begin(), m_screenshots.end(), [&](const FilePath& path) {
            return fileio::ResolveAgainst(m_baseFolder, path) == cached.first;
        });
    });
}

std::optional<preview::Resource> PreviewResources::Find(std::string_view relativePath) {
    if (relativePath.starts_with(kPictures)) {
        const std::string name(relativePath.substr(kPictures.size()));
        if (name.find('/') != std::string::npos) return std::nullopt;
        const int entry = m_package.FindEntry(name.c_str());
        // The pictures alone: the fragments are no files of the readme's.
        if (entry < 0 || !name.ends_with(".jpg")) return std::nullopt;
        const auto bytes = m_package.Entry(entry).bytes();
        return Picture(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    if (relativePath.starts_with(kScreenshots)) {
        const std::string_view name = relativePath.substr(kScreenshots.size());
        // Save copies them in order, so of two with one name the last stays.
        for (int i = m_screenshotCount - 1; i >= 0; --i) {
            const FilePath& path = m_screenshots[static_cast<std::size_t>(i)];
            if (path.empty() || ScreenshotFileNameView(path) != name) continue;
            std::optional<std::string> bytes = ReadScreenshot(fileio::ResolveAgainst(m_baseFolder, path));
            if (!bytes) return std::nullopt;
            return Picture(std::move(*bytes));
        }
    }
    return std::nullopt;
}

std::optional<std::string> PreviewResources::ReadScreenshot(const FilePath& path) {
    std::error_code error;
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    const auto size = std::filesystem::file_size(file, error);
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error || size > kMaxScreenshotBytes) {
        m_cache.erase(path);
        return std::nullopt;
    }
    const std::int64_t stamp = modified.time_since_epoch().count();
    Cached& cached = m_cache[path];
    if (cached.size == static_cast<std::int64_t>(size) && cached.modified == stamp) return cached.bytes;
    fileio::WholeFile whole = fileio::ReadWholeFile(path, kMaxScreenshotBytes);
    if (!whole.ok()) {
        m_cache.erase(path);
        return std::nullopt;
    }
    cached = {static_cast<std::int64_t>(size), stamp, whole.bytes};
    return std::move(whole.bytes);
}
