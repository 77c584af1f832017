#include "plugin/PluginHeader.h"

#include <bit>
#include <optional>
#include <string_view>

#include "output/FileIo.h"
#include "text/Cp1251.h"

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::string_view kRecordName = "TES3";
constexpr std::size_t kRecordHeaderBytes = 16;
constexpr std::size_t kRecordSizeAt = 4;
constexpr std::size_t kSubrecordHeaderBytes = 8;

constexpr std::size_t kHedrBytes = 300;
constexpr std::size_t kHedrTypeAt = 4;
constexpr std::size_t kHedrAuthorAt = 8;
constexpr std::size_t kHedrAuthorBytes = 32;
constexpr std::size_t kHedrDescriptionAt = 40;
constexpr std::size_t kHedrDescriptionBytes = 256;
constexpr std::size_t kMasterSizeBytes = 8;

constexpr std::string_view kUnreadable = "файл не открывается"_cp;
constexpr std::string_view kNotAPlugin = "не плагин Morrowind"_cp;
constexpr std::string_view kCutShort = "заголовок обрывается"_cp;
constexpr std::string_view kPastRecord = "подзапись выходит за пределы записи"_cp;
constexpr std::string_view kNoSense = "размер в заголовке не имеет смысла"_cp;

// Callers have checked that the bytes are there.
std::uint32_t U32(Bytes bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}
std::uint64_t U64(Bytes bytes, std::size_t at) {
    return static_cast<std::uint64_t>(U32(bytes, at)) | static_cast<std::uint64_t>(U32(bytes, at + 4)) << 32;
}

bool NameIs(Bytes bytes, std::size_t at, std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i)
        if (bytes[at + i] != static_cast<std::uint8_t>(name[i])) return false;
    return true;
}

// Up to the first NUL: the game leaves whatever follows it in the padding.
Text FixedString(Bytes bytes) {
    Text text;
    for (std::uint8_t byte : bytes) {
        if (byte == 0) break;
        text += static_cast<char>(byte);
    }
    return text;
}

PluginHeaderRead Fault(PluginFault fault) { return {{}, fault}; }

PluginFault ReadHedr(Bytes data, PluginHeader& header) {
    if (data.size() != kHedrBytes) return PluginFault::SizeMakesNoSense;
    header.version = std::bit_cast<float>(U32(data, 0));
    header.fileType = U32(data, kHedrTypeAt);
    header.author = FixedString(data.subspan(kHedrAuthorAt, kHedrAuthorBytes));
    header.description = FixedString(data.subspan(kHedrDescriptionAt, kHedrDescriptionBytes));
    return PluginFault::None;
}

// The name must end inside its subrecord; a master without a name is no master.
PluginFault ReadMast(Bytes data, PluginHeader& header) {
    std::size_t end = 0;
    while (end < data.size() && data[end] != 0) ++end;
    if (end == data.size() || end == 0) return PluginFault::SizeMakesNoSense;
    header.masters.push_back({FixedString(data.first(end)), 0});
    return PluginFault::None;
}

}  // namespace

PluginHeaderRead ReadPluginHeader(std::span<const std::uint8_t> bytes) {
    const std::size_t named = std::min(bytes.size(), kRecordName.size());
    if (named == 0 || !NameIs(bytes, 0, kRecordName.substr(0, named))) return Fault(PluginFault::NotAPlugin);
    if (bytes.size() < kRecordHeaderBytes) return Fault(PluginFault::CutShort);
    const std::uint32_t recordSize = U32(bytes, kRecordSizeAt);
    if (recordSize > kMaxPluginHeaderBytes) return Fault(PluginFault::SizeMakesNoSense);
    if (bytes.size() - kRecordHeaderBytes < recordSize) return Fault(PluginFault::CutShort);

    const Bytes record = bytes.subspan(kRecordHeaderBytes, recordSize);
    PluginHeaderRead read;
    bool hedrSeen = false;
    bool masterBefore = false;  // DATA belongs to the MAST right before it
    for (std::size_t at = 0; at < record.size();) {
        if (record.size() - at < kSubrecordHeaderBytes) return Fault(PluginFault::SubrecordPastRecord);
        const std::uint32_t size = U32(record, at + 4);
        const std::size_t dataAt = at + kSubrecordHeaderBytes;
        if (record.size() - dataAt < size) return Fault(PluginFault::SubrecordPastRecord);
        const Bytes data = record.subspan(dataAt, size);
        PluginFault fault = PluginFault::None;
        const bool mast = NameIs(record, at, "MAST");
        if (NameIs(record, at, "HEDR") && !hedrSeen) {
            hedrSeen = true;
            fault = ReadHedr(data, read.header);
        } else if (mast) {
            fault = ReadMast(data, read.header);
        } else if (NameIs(record, at, "DATA") && masterBefore) {
            if (data.size() != kMasterSizeBytes)
                fault = PluginFault::SizeMakesNoSense;
            else
                read.header.masters.back().size = U64(data, 0);
        }
        if (fault != PluginFault::None) return Fault(fault);
        masterBefore = mast;
        at = dataAt + size;
    }
    if (!hedrSeen) return Fault(PluginFault::NotAPlugin);
    return read;
}

PluginHeaderRead ReadPluginHeaderFile(const FilePath& path) {
    fileio::InputFile file;
    if (!file.Open(path)) return Fault(PluginFault::Unreadable);
    std::string bytes(kRecordHeaderBytes, '\0');
    const std::ptrdiff_t head = file.ReadUpTo(bytes.data(), bytes.size());
    if (head < 0) return Fault(PluginFault::Unreadable);
    bytes.resize(static_cast<std::size_t>(head));
    const auto view = [&bytes] { return std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()); };
    if (bytes.size() == kRecordHeaderBytes) {
        // The size is checked before a byte more is read.
        const std::uint32_t recordSize = U32(view(), kRecordSizeAt);
        if (recordSize > kMaxPluginHeaderBytes || !NameIs(view(), 0, kRecordName)) return ReadPluginHeader(view());
        bytes.resize(kRecordHeaderBytes + recordSize);
        const std::ptrdiff_t got = file.ReadUpTo(bytes.data() + kRecordHeaderBytes, recordSize);
        if (got < 0) return Fault(PluginFault::Unreadable);
        bytes.resize(kRecordHeaderBytes + static_cast<std::size_t>(got));
    }
    return ReadPluginHeader(view());
}

Text PluginFaultText(PluginFault fault) {
    switch (fault) {
        case PluginFault::None:
            return {};
        case PluginFault::Unreadable:
            return Text(kUnreadable);
        case PluginFault::NotAPlugin:
            return Text(kNotAPlugin);
        case PluginFault::CutShort:
            return Text(kCutShort);
        case PluginFault::SubrecordPastRecord:
            return Text(kPastRecord);
        case PluginFault::SizeMakesNoSense:
            return Text(kNoSense);
    }
    return {};
}
