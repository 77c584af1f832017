#pragma once
// The form file of the headless renderer: a UTF-8 JSON object whose keys are
// the fields of ReadmeForm and, under "database", those of DatabaseRecord.
// A missing key keeps the value a fresh form shows.

#include <string>
#include <string_view>

#include "output/DatabaseRecord.h"
#include "readme/ReadmeForm.h"

struct FormFile {
    ReadmeForm form = NewReadmeForm();
    DatabaseRecord record = NewDatabaseRecord();
};

struct FormFileResult {
    FormFile file;
    std::string error;  // UTF-8, naming the key or the line; empty when read

    bool ok() const { return error.empty(); }
};

// Any bytes: never throws, never reads a file.
FormFileResult ReadFormFile(std::string_view bytes);
