// Placeholders for Save's file work until it is merged.
#include "output/DatabaseRecord.h"
#include "output/SaveFiles.h"

DatabaseRecord NewDatabaseRecord() {
    DatabaseRecord record;
    record.originalLink = Text(kSiteHomeUrl);
    return record;
}
void ReplaceDoubleQuotes(Text&) {}
bool BuildDatabaseRecord(const DatabaseRecord&, const ReadmeForm&, Text& recordText,
                         const ShowMessage&) {
    recordText.clear();
    return true;
}
void WriteDatabaseRecord(const DatabaseRecord&, const Text&, std::string_view, const ShowMessage&) {
}
Text FolderOfPath(std::string_view) { return {}; }
void RunSaveFileWork(const SaveFileWork&, const TemplatePackage&, std::span<char, kTextBufferSize>,
                     const ShowMessage&) {}
