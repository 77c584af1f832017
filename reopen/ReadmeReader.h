#pragma once
// Reads a readme this program's template assembled back into the form it
// came from, and the site record beside it. Whatever a reading accepts
// renders to the same readme and the same record, byte for byte.

#include <string>
#include <string_view>
#include <vector>

#include "form/FormFile.h"

struct ReadmeReading {
    ReadmeForm form = NewReadmeForm();
    std::string error;               // Russian in UTF-8, naming why; empty when read
    std::vector<std::string> notes;  // Russian in UTF-8: what was guessed

    bool ok() const { return error.empty(); }
};

// Any bytes; never reads a file. What the readme does not hold keeps the
// fresh form's value.
ReadmeReading ReadReadmeHtml(std::string_view bytes);

struct RecordReading {
    DatabaseRecord record = NewDatabaseRecord();
    // What the record took from the form, its double quotes already
    // apostrophes; BuildDatabaseRecord of record with a form holding these
    // gives the bytes read.
    Text pluginName;
    Text description;
    bool requiresTribunal = false;
    bool requiresBloodmoon = false;
    std::string error;  // Russian in UTF-8; empty when read

    bool ok() const { return error.empty(); }
};

// The bytes of a record file and the file's name (the archive name is the
// name without ".sql").
RecordReading ReadDatabaseRecordFile(std::string_view bytes, std::string_view fileName);

// A readme on disk with what lies beside it: the write options from the
// files that exist, the one record file if there is exactly one.
struct ReleaseReading {
    FormFile file;
    FilePath recordPath;             // the record file read, or empty
    std::vector<std::string> notes;  // Russian in UTF-8: what could not come back
    std::string error;               // Russian in UTF-8; empty when read

    bool ok() const { return error.empty(); }
};

ReleaseReading ReadRelease(const FilePath& readmePath);

// "Форма прочитана из ReadMe.htm и QuietLighthouse.zip.sql", then the notes.
std::string ReleaseReadingSummary(const ReleaseReading& reading, const FilePath& readmePath);
