#pragma once
// The header of a Morrowind plug-in (.esp, .esm, .omwaddon): its first
// record, TES3, read from the file's first bytes and never further.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "text/Text.h"

struct PluginMaster {
    Text name;  // as the file holds it: Windows-1251 for Russian plug-ins
    std::uint64_t size = 0;

    bool operator==(const PluginMaster&) const = default;
};

struct PluginHeader {
    float version = 0;
    std::uint32_t fileType = 0;  // 0 esp, 1 esm
    Text author;                 // NUL padding cut; otherwise as stored
    Text description;
    std::vector<PluginMaster> masters;  // in the header's order

    bool operator==(const PluginHeader&) const = default;
};

enum class PluginFault {
    None,
    Unreadable,           // the file cannot be opened or read
    NotAPlugin,           // no TES3 record at its start
    CutShort,             // the file ends inside the header
    SubrecordPastRecord,  // a subrecord runs past its record
    SizeMakesNoSense,     // a record or subrecord size no header has (over the limit, HEDR not 300, ...)
};

struct PluginHeaderRead {
    PluginHeader header;
    PluginFault fault = PluginFault::None;
    bool ok() const { return fault == PluginFault::None; }
};

// A TES3 record larger than this is refused, not read.
inline constexpr std::uint32_t kMaxPluginHeaderBytes = 1024 * 1024;

// Any bytes: never throws. bytes may be longer than the header.
PluginHeaderRead ReadPluginHeader(std::span<const std::uint8_t> bytes);
// Reads at most the TES3 record's own bytes from the file at path (UTF-8).
PluginHeaderRead ReadPluginHeaderFile(const FilePath& path);

// The fault in Russian, Windows-1251, for the status line and standard error.
Text PluginFaultText(PluginFault fault);
