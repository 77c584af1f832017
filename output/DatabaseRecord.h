#pragma once
// The site database record: one INSERT statement for the community site.

#include <array>

#include "readme/ReadmeForm.h"
#include "text/Messages.h"
#include "text/Text.h"

struct DatabaseRecord {
    bool recordWanted = false;
    int categoryIndex = 0;  // -1 when nothing is selected
    FilePath archiveName;   // also the record file's name on disk
    Text imageName;
    Text authorName;
    Text authorEmail;
    Text adapterName;
    Text adapterEmail;
    Text archiveSize;
    Text originalLink;
    std::array<int, 3> grades = {0, 0, 0};  // the three grades in the record's order
    // Where the archive browse found it; the record itself names only archiveName.
    FilePath archivePath;

    bool operator==(const DatabaseRecord&) const = default;
};

// The record's fixed pieces, for its writer and its reader alike.
namespace record_text {
inline constexpr std::string_view kStatementHead = "INSERT INTO plugs VALUES (\r\n";
inline constexpr std::string_view kLineEnd = ",\r\n";
inline constexpr std::string_view kNowLine = "NOW(),\r\n";
inline constexpr std::string_view kLastLine = "NOW());\r\n";
inline constexpr std::string_view kRecordExtension = ".sql";
}  // namespace record_text

// The state the New command leaves the Database page in.
DatabaseRecord NewDatabaseRecord();

// Every double quote becomes an apostrophe.
void ReplaceDoubleQuotes(Text& text);

// Empties recordText and, when a record is wanted, fills it. Returns false
// (after showing why) when the record cannot be written.
bool BuildDatabaseRecord(const DatabaseRecord& record, const ReadmeForm& form, Text& recordText,
                         const ShowMessage& show);

// Writes recordText to archiveName + ".sql" when a record is wanted; a name
// without a folder lands in readmeFolder.
// The record file's path, or empty when no record is wanted; written says
// whether it was.
struct RecordFileWrite {
    FilePath path;
    bool written = false;
    std::string reason;  // why not, UTF-8
};
RecordFileWrite WriteDatabaseRecord(const DatabaseRecord& record, std::string_view recordText,
                                    std::string_view readmeFolder, const ShowMessage& show);
