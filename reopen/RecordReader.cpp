#include <array>
#include <charconv>
#include <climits>
#include <string>

#include "reopen/ReadmeReader.h"
#include "text/Cp1251.h"

// The record is twenty lines in a fixed order. A quoted value holds no double
// quote (the record made each an apostrophe) and every backslash doubled, so
// each line reads one way only; the apostrophes stay apostrophes.

namespace {

using namespace record_text;

#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/";
#else
constexpr std::string_view kSeparators = "/";
#endif

constexpr std::string_view kNotRecord = "не похоже на запись для сайта, созданную Quillsmith: ";

class Lines {
public:
    explicit Lines(std::string_view bytes) : m_rest(bytes) {}

    bool Literal(std::string_view bytes) {
        if (!m_rest.starts_with(bytes)) return false;
        m_rest.remove_prefix(bytes.size());
        ++m_line;
        return true;
    }

    bool Quoted(Text& value) {
        if (!m_rest.starts_with('"')) return false;
        const std::size_t close = m_rest.find('"', 1);
        if (close == std::string_view::npos || !m_rest.substr(close + 1).starts_with(kLineEnd)) return false;
        const std::string_view escaped = m_rest.substr(1, close - 1);
        value.clear();
        for (std::size_t i = 0; i < escaped.size(); ++i) {
            if (escaped[i] == '\\' && (++i == escaped.size() || escaped[i] != '\\')) return false;
            value += escaped[i];
        }
        m_rest.remove_prefix(close + 1 + kLineEnd.size());
        ++m_line;
        return true;
    }

    bool Bare(Text& value) {
        const std::size_t end = m_rest.find(kLineEnd);
        if (end == std::string_view::npos) return false;
        value = Text(m_rest.substr(0, end));
        m_rest.remove_prefix(end + kLineEnd.size());
        ++m_line;
        return true;
    }

    bool Flag(bool& set) {
        Text value;
        if (!Quoted(value) || (value != "0" && value != "1")) return false;
        set = value == "1";
        return true;
    }

    bool atEnd() const { return m_rest.empty(); }
    int line() const { return m_line; }

private:
    std::string_view m_rest;
    int m_line = 0;
};

// The decimal the record writes for an index, and nothing else.
bool CanonicalNumber(std::string_view text, long long& number) {
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), number);
    return fault == std::errc() && end == text.data() + text.size() && std::to_string(number) == text;
}

bool Digits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

RecordReading ReadDatabaseRecordFile(std::string_view bytes, std::string_view fileName) {
    RecordReading reading;
    DatabaseRecord& record = reading.record;
    record.recordWanted = true;
    Lines lines(bytes);
    Text value, archive;
    long long category = 0;
    std::array<Text, 3> grades;
    const bool read = lines.Literal(kStatementHead) && lines.Quoted(value) && value.empty() && lines.Bare(value) &&
                      CanonicalNumber(value, category) && category - 1 >= INT_MIN && category - 1 <= INT_MAX &&
                      lines.Quoted(reading.pluginName) && lines.Quoted(archive) && lines.Quoted(record.imageName) &&
                      lines.Quoted(reading.description) && lines.Quoted(record.authorName) &&
                      lines.Quoted(record.authorEmail) && lines.Quoted(record.adapterName) &&
                      lines.Quoted(record.adapterEmail) && lines.Flag(reading.requiresTribunal) &&
                      lines.Flag(reading.requiresBloodmoon) && lines.Bare(record.archiveSize) &&
                      Digits(record.archiveSize) && lines.Quoted(record.originalLink) && lines.Literal(kNowLine) &&
                      lines.Quoted(grades[0]) && lines.Quoted(grades[1]) && lines.Quoted(grades[2]) &&
                      lines.Quoted(value) && value == "1" && lines.Literal(kLastLine) && lines.atEnd();
    if (!read) {
        reading.error = Text(kNotRecord);
        reading.error += lines.atEnd() && lines.line() < 21
                             ? "файл обрезан"
                             : "строка " + std::to_string(lines.line() + 1) + " не такая, какую пишет программа";
        reading.record = NewDatabaseRecord();
        return reading;
    }
    for (std::size_t i = 0; i < grades.size(); ++i) {
        if (grades[i].size() != 1 || grades[i][0] < '1' || grades[i][0] > '3') {
            reading.error = Text(kNotRecord) + "оценка " + std::to_string(i + 1) + " не 1, 2 или 3";
            reading.record = NewDatabaseRecord();
            return reading;
        }
        record.grades[i] = grades[i][0] - '1';
    }
    record.categoryIndex = static_cast<int>(category - 1);
    // The file's own name keeps what the record's line lost (a double quote,
    // a character outside the code page) unless the two disagree.
    record.archiveName = cp1251::ToUtf8(archive);
    fileName = fileName.substr(fileName.find_last_of(kSeparators) + 1);
    if (fileName.ends_with(kRecordExtension)) {
        Text fromName = cp1251::FromUtf8(fileName.substr(0, fileName.size() - kRecordExtension.size()));
        ReplaceDoubleQuotes(fromName);
        if (fromName == archive) record.archiveName = FilePath(fileName.substr(0, fileName.size() - 4));
    }
    return reading;
}
