#include "output/DatabaseRecord.h"

#include <algorithm>
#include <string>

#include "output/FileIo.h"
#include "text/Cp1251.h"

namespace {

using namespace record_text;

bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The site's database takes double-quoted strings in which a backslash
// escapes: a double quote would end the string and a lone backslash would
// eat the byte after it (the closing quote, for a value that ends in one).
void AppendQuoted(Text& out, std::string_view value) {
    Text safe(value);
    ReplaceDoubleQuotes(safe);
    out += '"';
    for (char c : safe) {
        if (c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    out += kLineEnd;
}

void AppendBare(Text& out, std::string_view value) {
    out += value;
    out += kLineEnd;
}

std::string_view Flag(bool set) { return set ? "1" : "0"; }

}  // namespace

DatabaseRecord NewDatabaseRecord() {
    DatabaseRecord record;
    record.originalLink = Text(kSiteHomeUrl);
    return record;
}

void ReplaceDoubleQuotes(Text& text) { std::replace(text.begin(), text.end(), '"', '\''); }

bool BuildDatabaseRecord(const DatabaseRecord& record, const ReadmeForm& form, Text& recordText,
                         const ShowMessage& show) {
    recordText.clear();
    if (!record.recordWanted) return true;

    if (record.archiveSize.empty()) {
        show(kSizeMissing, MessageIcon::Exclamation);
        return false;
    }
    if (!IsDigits(record.archiveSize)) {
        show(kSizeNotDigits, MessageIcon::Exclamation);
        return false;
    }
    for (int grade : record.grades) {
        if (grade < 0 || grade > 2) {
            show(kGradeInvalid, MessageIcon::Exclamation);
            return false;
        }
    }

    Text& out = recordText;
    out += kStatementHead;
    AppendQuoted(out, "");
    AppendBare(out, std::to_string(static_cast<long long>(record.categoryIndex) + 1));
    AppendQuoted(out, form.pluginName);
    AppendQuoted(out, cp1251::FromUtf8(record.archiveName));
    AppendQuoted(out, record.imageName);
    AppendQuoted(out, form.description);
    AppendQuoted(out, record.authorName);
    AppendQuoted(out, record.authorEmail);
    AppendQuoted(out, record.adapterName);
    AppendQuoted(out, record.adapterEmail);
    AppendQuoted(out, Flag(form.requiresTribunal));
    AppendQuoted(out, Flag(form.requiresBloodmoon));
    AppendBare(out, record.archiveSize);
    AppendQuoted(out, record.originalLink);
    out += kNowLine;
    for (int grade : record.grades) AppendQuoted(out, std::to_string(grade + 1));
    AppendQuoted(out, "1");
    out += kLastLine;
    return true;
}

RecordFileWrite WriteDatabaseRecord(const DatabaseRecord& record, std::string_view recordText,
                                    std::string_view readmeFolder, const ShowMessage& show) {
    if (!record.recordWanted) return {};
    FilePath name = record.archiveName;
    name += kRecordExtension;
    RecordFileWrite result{fileio::ResolveAgainst(readmeFolder, name), false, {}};
    result.written = fileio::WriteWholeFile(result.path, recordText);
    if (!result.written) {
        result.reason = fileio::SystemReason();
        show(kRecordNotCreated, MessageIcon::Exclamation);
    }
    return result;
}
