#include "reopen/ReadmeReader.h"

// Placeholder until the reader is written: nothing is taken.
namespace {
constexpr std::string_view kNotYet = "не похоже на ReadMe, созданный Quillsmith";
}

ReadmeReading ReadReadmeHtml(std::string_view) { return {NewReadmeForm(), std::string(kNotYet)}; }

RecordReading ReadDatabaseRecordFile(std::string_view, std::string_view) {
    return {NewDatabaseRecord(), std::string(kNotYet)};
}

ReleaseReading ReadRelease(const FilePath&) { return {{}, {}, {}, std::string(kNotYet)}; }

std::string ReleaseReadingSummary(const ReleaseReading&, const FilePath&) { return {}; }
