#pragma once
// What the programs and the preview module share. The module links the
// browser engine (Qt WebEngine) and is loaded only when a preview is first
// wanted, so nothing here names the engine: the window and the renderer
// start, and work, without it.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace preview {

// A file the readme refers to, by its path relative to the readme.
struct Resource {
    std::string bytes;
    std::string mimeType;
};
using ResourceResolver = std::function<std::optional<Resource>(std::string_view relativePath)>;

// The page as the module shows it: the readme's bytes, as Save would write
// them (Windows-1251), and the files it refers to.
class View {
public:
    virtual ~View() = default;
    virtual QWidget* widget() = 0;
    // Replaces the page, keeping its scroll position.
    virtual void SetDocument(std::string html) = 0;
    virtual void SetResolver(ResourceResolver resolver) = 0;
    // After each page has loaded, with whether it did.
    virtual void SetLoadedCallback(std::function<void(bool ok)> loaded) = 0;
    // When the engine's process ends or never starts, with why; the page is
    // blank until the next SetDocument.
    virtual void SetFailedCallback(std::function<void(std::string why)> failed) = 0;
    // Runs the program's own script in the page (the page's own never runs)
    // and answers its result as text: a string as it is, a number or
    // true/false as written, "null" for none (tests and the benchmark ask
    // the page what it shows).
    virtual void RunScript(const std::string& script, std::function<void(std::string result)> answer) = 0;
};

// Bumped whenever View or the entries change, so an old module is refused.
inline constexpr int kInterfaceVersion = 2;

// The module's entries, found by name.
using CreateViewFunction = View* (*)(int interfaceVersion, QWidget* parent);
// Renders the page without a window and writes the whole page as a PNG;
// needs no QApplication of the caller's. False with why in error.
using WritePngFunction = bool (*)(int interfaceVersion, const std::string& html, const ResourceResolver& resolver,
                                  const std::string& pngPath, std::string& error);
inline constexpr const char* kCreateViewEntry = "quillsmith_preview_create_view";
inline constexpr const char* kWritePngEntry = "quillsmith_preview_write_png";

// The page's own address, and where its relative references resolve.
inline constexpr std::string_view kScheme = "quillsmith-preview";
inline constexpr std::string_view kDocumentUrl = "quillsmith-preview://readme/ReadMe.htm";

}  // namespace preview
