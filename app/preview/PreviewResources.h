#pragma once
// The files a readme refers to, answered from memory for the preview as
// Save's folder would hold them: the template's background pictures under
// "files/images/", the screenshots under "files/scrins/" by the names the
// readme gives them, read from the paths in the form.

#include <map>
#include <optional>
#include <string_view>

#include "app/preview/PreviewModule.h"
#include "readme/ReadmeForm.h"
#include "template/TemplatePackage.h"

class PreviewResources {
public:
    explicit PreviewResources(const TemplatePackage& package) : m_package(package) {}

    // The form whose screenshots are served; relative paths are taken
    // against baseFolder.
    void SetForm(const ReadmeForm& form, FilePath baseFolder);
    // By the path relative to the readme, as UTF-8; nothing for a file the
    // readme's folder would not hold.
    std::optional<preview::Resource> Find(std::string_view relativePath);

    preview::ResourceResolver Resolver() {
        return [this](std::string_view path) { return Find(path); };
    }

private:
    struct Cached {
        std::int64_t size = -1;
        std::int64_t modified = 0;
        std::string bytes;
    };
    std::optional<std::string> ReadScreenshot(const FilePath& path);

    const TemplatePackage& m_package;
    int m_screenshotCount = 0;
    std::array<FilePath, 3> m_screenshots;
    FilePath m_baseFolder;
    // Typing reloads the page often; a screenshot is read again only when
    // its file changes.
    std::map<FilePath, Cached> m_cache;
};
