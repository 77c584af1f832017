#pragma once
// The form file, read by the headless renderer and written and read by the
// window: a UTF-8 JSON object whose keys are the fields of ReadmeForm and,
// under "database", those of DatabaseRecord, with "formatVersion". A missing
// key keeps the value a fresh form shows; a file without a version is read
// as version 1.

#include <string>
#include <string_view>

#include "output/DatabaseRecord.h"
#include "readme/ReadmeForm.h"

struct FormFile {
    ReadmeForm form = NewReadmeForm();
    DatabaseRecord record = NewDatabaseRecord();

    bool operator==(const FormFile&) const = default;
};

struct FormFileResult {
    FormFile file;
    std::string error;  // Russian in UTF-8, naming the key or the line and column; empty when read

    bool ok() const { return error.empty(); }
};

inline constexpr int kFormFileVersion = 1;

// Any bytes: never throws, never reads a file.
FormFileResult ReadFormFile(std::string_view bytes);

// Every field, so that reading it back gives the same form whatever the
// defaults become.
std::string WriteFormFile(const FormFile& file);

// The name Save Form proposes: the plug-in's name (Windows-1251) with what
// no file system takes replaced by "_", and the form file's extension;
// empty when the name leaves nothing.
Text FormFileNameFor(std::string_view pluginName);
