#pragma once
// The Save command's file work, after its dialog has answered: the readme,
// the background pictures, the screenshot copies and the record file.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "output/DatabaseRecord.h"
#include "text/Buffer.h"
#include "text/Messages.h"
#include "text/Text.h"

class TemplatePackage;

// A text the file work reads in place, never copies. It must outlive the
// work, so a temporary is refused where it is given.
class TextInPlace {
public:
    constexpr TextInPlace() = default;
    constexpr TextInPlace(const char* text) : m_text(text) {}
    constexpr TextInPlace(std::string_view text) : m_text(text) {}
    TextInPlace(const std::string& text) : m_text(text) {}
    TextInPlace(std::string&&) = delete;
    constexpr operator std::string_view() const { return m_text; }
    std::string str() const { return std::string(m_text); }

private:
    std::string_view m_text;
};

struct SaveFileWork {
    FilePath readmePath;  // as the save dialog returned it
    TextInPlace readmeText;
    bool writeReadmeText = false;
    std::string readmeTextFile;  // ReadMe.txt's bytes, when asked for
    bool writeBackgroundImages = false;
    bool copyScreenshots = false;
    int screenshotCount = 0;
    std::array<FilePath, 3> screenshotPath;
    DatabaseRecord record;  // written last, when wanted
    TextInPlace recordText;
};

// Save's work for a captured form, its readme and its record, once the
// readme's path is known: the window and the renderer fill it alike.
SaveFileWork MakeSaveFileWork(const ReadmeForm& form, const TemplatePackage& package, std::string_view readmeText,
                              const DatabaseRecord& record, std::string_view recordText, FilePath readmePath);

// The plain-text readme's path: the readme's with ".txt" for its extension.
// Empty when that would be the readme itself.
FilePath ReadmeTextPathFor(std::string_view readmePath);

// The characters of path before its last separator; empty without one.
FilePath FolderOfPath(std::string_view path);

// A file Save could not write, or a screenshot it could not read.
struct FileFault {
    FilePath path;
    bool reading = false;
    std::string reason;  // the system's, UTF-8; may be empty
};

// What the file work did: callers read this, never the messages' texts.
struct SaveFileResult {
    bool readmeWritten = false;
    std::vector<FilePath> written;  // every file, in the order written
    std::vector<FilePath> failed;   // a file not written, or a screenshot not read
    std::vector<FileFault> faults;  // the same files, each with why
    bool ok() const { return readmeWritten && failed.empty(); }
};

// buffer is the caller's working buffer of kTextBufferSize bytes; screenshots
// stream through it. Each failure is shown as it happens.
SaveFileResult RunSaveFileWork(const SaveFileWork& work, const TemplatePackage& package,
                               std::span<char, kTextBufferSize> buffer, const ShowMessage& show);
