#include <algorithm>

#include "output/FileIo.h"
#include "output/SaveFiles.h"
#include "readme/TextRoutines.h"
#include "reopen/ReadmeReader.h"
#include "text/Cp1251.h"

namespace {

constexpr std::uint64_t kMaxReadmeBytes = 64 * 1024 * 1024;
constexpr std::uint64_t kMaxRecordBytes = 16 * 1024 * 1024;
constexpr std::string_view kRecordHead = "INSERT INTO plugs VALUES (";
using record_text::kRecordExtension;

constexpr std::string_view kBreaksLost = "переносы строк внутри абзацев не сохраняются в ReadMe";
constexpr std::string_view kReadFrom = "Форма прочитана из ";

#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/";
#else
constexpr std::string_view kSeparators = "/";
#endif

std::string_view BaseName(std::string_view path) { return path.substr(path.find_last_of(kSeparators) + 1); }

FilePath Join(std::string_view folder, std::initializer_list<std::string_view> names) {
    FilePath path(folder.empty() ? std::string_view(".") : folder);
    for (std::string_view name : names) {
        path += kPathSeparator;
        path += name;
    }
    return path;
}

bool EndsWithRecordExtension(std::string_view name) {
    if (name.size() <= kRecordExtension.size()) return false;
    const std::string_view tail = name.substr(name.size() - kRecordExtension.size());
    return std::equal(tail.begin(), tail.end(), kRecordExtension.begin(),
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

std::size_t Occurrences(std::string_view bytes, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = bytes.find(what); at != std::string_view::npos; at = bytes.find(what, at + 1)) ++count;
    return count;
}

std::string ReasonOf(const fileio::WholeFile& whole) {
    std::string reason = fileio::SystemReason();
    if (!reason.empty()) return reason;
    if (whole.fault == fileio::WholeFile::Fault::TooLarge) return "файл слишком велик для ReadMe";
    if (whole.fault == fileio::WholeFile::Fault::Missing)
        return std::string(fileio::CommonFaultWords(fileio::CommonFault::Missing));
    return "файл не читается";
}

// Every blank of a converted text may have been a single line break.
bool MayHaveLostBreaks(const ReadmeForm& form, bool descriptionWhole) {
    const auto blank = [](const Text& text) { return text.find(' ') != Text::npos; };
    return (!descriptionWhole && blank(form.description)) || (form.requiresOther && blank(form.otherRequirements)) ||
           (form.installOther && blank(form.installText)) || (form.uninstallOther && blank(form.uninstallText)) ||
           (form.howToPlayEnabled && blank(form.howToPlay)) || blank(form.authors) ||
           (form.noteEnabled && blank(form.note)) || (form.warningOther && blank(form.warningText));
}

// The record keeps the description as typed, line breaks and all: where it
// is the readme's own up to them, it is the better text. Returns whether the
// record agrees with the readme on what it took from the form.
bool TakeRecordsForm(ReadmeForm& form, const RecordReading& read, bool& descriptionWhole) {
    Text name = form.pluginName;
    ReplaceDoubleQuotes(name);
    if (name != read.pluginName || form.requiresTribunal != read.requiresTribunal ||
        form.requiresBloodmoon != read.requiresBloodmoon)
        return false;
    Text description = form.description;
    ReplaceDoubleQuotes(description);
    if (ConvertTextToHtml(description) != ConvertTextToHtml(read.description)) return false;
    if (form.description.find('"') == Text::npos) {
        form.description = read.description;
        descriptionWhole = true;
    }
    return true;
}

void ReadRecordBeside(ReleaseReading& reading, const FilePath& folder, bool& descriptionWhole) {
    std::vector<std::string> names = fileio::NamesIn(folder.empty() ? std::string_view(".") : folder);
    std::sort(names.begin(), names.end());
    std::vector<std::pair<std::string, std::string>> records;
    for (const std::string& name : names) {
        if (!EndsWithRecordExtension(name)) continue;
        fileio::WholeFile whole = fileio::ReadWholeFile(Join(folder, {name}), kMaxRecordBytes);
        if (whole.ok() && Occurrences(whole.bytes, kRecordHead) == 1)
            records.emplace_back(name, std::move(whole.bytes));
    }
    if (records.empty()) return;
    if (records.size() > 1) {
        std::string list;
        for (const auto& [name, bytes] : records) list += (list.empty() ? "" : ", ") + name;
        reading.notes.push_back("рядом с ReadMe несколько записей для сайта (" + list + "), ни одна не взята");
        return;
    }
    const auto& [name, bytes] = records.front();
    const RecordReading read = ReadDatabaseRecordFile(bytes, name);
    if (!read.ok()) {
        reading.notes.push_back("запись для сайта " + name + " не прочитана: " + read.error);
        return;
    }
    reading.file.record = read.record;
    reading.recordPath = Join(folder, {name});
    if (!TakeRecordsForm(reading.file.form, read, descriptionWhole))
        reading.notes.push_back("запись для сайта " + name +
                                " расходится с ReadMe в названии, описании или требованиях: взяты из ReadMe");
}

}  // namespace

ReleaseReading ReadRelease(const FilePath& readmePath) {
    ReleaseReading reading;
    const fileio::WholeFile whole = fileio::ReadWholeFile(readmePath, kMaxReadmeBytes);
    if (!whole.ok()) {
        reading.error = "файл не открывается: " + ReasonOf(whole);
        return reading;
    }
    ReadmeReading read = ReadReadmeHtml(whole.bytes);
    if (!read.ok()) {
        reading.error = std::move(read.error);
        return reading;
    }
    ReadmeForm& form = reading.file.form;
    form = std::move(read.form);
    reading.notes = std::move(read.notes);

    const FilePath folder = FolderOfPath(readmePath);
    form.writeBackgroundImages = !fileio::IsMissing(Join(folder, {"files", "images", "img_bk_0.jpg"}));
    // With no screenshot, the folder Save would have made.
    form.copyScreenshots = !fileio::IsMissing(Join(folder, {"files", "scrins"}));
    for (int i = 0; i < form.screenshotCount; ++i)
        form.copyScreenshots = form.copyScreenshots &&
                               !fileio::IsMissing(fileio::ResolveAgainst(
                                   folder.empty() ? "." : folder, form.screenshotPath[static_cast<std::size_t>(i)]));

    bool descriptionWhole = false;
    ReadRecordBeside(reading, folder, descriptionWhole);
    if (MayHaveLostBreaks(form, descriptionWhole)) reading.notes.emplace_back(kBreaksLost);
    return reading;
}

std::string ReleaseReadingSummary(const ReleaseReading& reading, const FilePath& readmePath) {
    if (!reading.ok()) return std::string(BaseName(readmePath)) + " не прочитан: " + reading.error;
    std::string summary(kReadFrom);
    summary += BaseName(readmePath);
    if (!reading.recordPath.empty()) {
        summary += " и ";
        summary += BaseName(reading.recordPath);
    }
    for (const std::string& note : reading.notes) summary += "; " + note;
    return summary;
}
