// The readme and record readers on any bytes: they answer with a form or a
// reason, never crash, and what they accept renders back to the bytes read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "output/DatabaseRecord.h"
#include "readme/ReadmeHtml.h"
#include "reopen/ReadingSupport.h"
#include "reopen/ReadmeReader.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

void CheckReason(const std::string& error) {
    if (!cp1251::IsValidUtf8(error)) std::abort();
    for (char c : error)
        if (static_cast<unsigned char>(c) < 0x20) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const ReadmeReading readme = ReadReadmeHtml(bytes);
    if (readme.ok()) {
        bool same = false;
        for (const TemplatePackage* package : ReadablePackages())
            same = same || BuildReadmeHtml(readme.form, *package) == bytes;
        if (!same) std::abort();
    } else {
        CheckReason(readme.error);
    }

    const RecordReading record = ReadDatabaseRecordFile(bytes, "fuzz.zip.sql");
    if (record.ok()) {
        ReadmeForm form = NewReadmeForm();
        form.pluginName = record.pluginName;
        form.description = record.description;
        form.requiresTribunal = record.requiresTribunal;
        form.requiresBloodmoon = record.requiresBloodmoon;
        Text again;
        if (!BuildDatabaseRecord(record.record, form, again, [](std::string_view, MessageIcon) {}) || again != bytes)
            std::abort();
    } else {
        CheckReason(record.error);
    }
    return 0;
}
