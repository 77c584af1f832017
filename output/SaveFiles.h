#pragma once
// The Save command's file work, after its dialog has answered: the readme,
// the background pictures, the screenshot copies and the record file.

#include <array>
#include <span>
#include <vector>

#include "output/DatabaseRecord.h"
#include "text/Buffer.h"
#include "text/Messages.h"
#include "text/Text.h"

class TemplatePackage;

struct SaveFileWork {
    FilePath readmePath;  // as the save dialog returned it
    Text readmeText;
    bool writeBackgroundImages = false;
    bool copyScreenshots = false;
    int screenshotCount = 0;
    std::array<FilePath, 3> screenshotPath;
    DatabaseRecord record;  // written last, when wanted
    Text recordText;
};

// Save's work for a captured form, its readme and its record, once the
// readme's path is known: the window and the renderer fill it alike.
SaveFileWork MakeSaveFileWork(const ReadmeForm& form, Text readmeText, const DatabaseRecord& record, Text recordText,
                              FilePath readmePath);

// The characters of path before its last separator; empty without one.
FilePath FolderOfPath(std::string_view path);

// What the file work did: callers read this, never the messages' texts.
struct SaveFileResult {
    bool readmeWritten = false;
    std::vector<FilePath> written;  // every file, in the order written
    std::vector<FilePath> failed;   // a file not written, or a screenshot not read
    bool ok() const { return readmeWritten && failed.empty(); }
};

// buffer is the caller's working buffer of kTextBufferSize bytes; screenshots
// stream through it. Each failure is shown as it happens.
SaveFileResult RunSaveFileWork(const SaveFileWork& work, const TemplatePackage& package,
                               std::span<char, kTextBufferSize> buffer, const ShowMessage& show);
