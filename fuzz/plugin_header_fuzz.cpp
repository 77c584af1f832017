// The plug-in header's reader on any bytes: it answers with a header or a
// fault, never reads past the record, and the rule that fills a form from
// what it read changes nothing the second time.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "plugin/PluginFill.h"
#include "plugin/PluginHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const PluginHeaderRead read = ReadPluginHeader(bytes);
    if (!read.ok() && !(read.header == PluginHeader{})) std::abort();
    if (read.ok() != PluginFaultText(read.fault).empty()) std::abort();
    if (!read.ok()) return 0;
    // What follows the record is never read: the record alone reads the same.
    const std::uint32_t recordSize = static_cast<std::uint32_t>(data[4]) | static_cast<std::uint32_t>(data[5]) << 8 |
                                     static_cast<std::uint32_t>(data[6]) << 16 |
                                     static_cast<std::uint32_t>(data[7]) << 24;
    const PluginHeader alone = ReadPluginHeader(bytes.first(16 + std::size_t{recordSize})).header;
    // The version may be any float, NaN too: compared by its bits.
    if (std::bit_cast<std::uint32_t>(alone.version) != std::bit_cast<std::uint32_t>(read.header.version) ||
        alone.fileType != read.header.fileType || alone.author != read.header.author ||
        alone.description != read.header.description || alone.masters != read.header.masters)
        std::abort();
    if (read.header.author.size() > 32 || read.header.description.size() > 256) std::abort();
    for (const PluginMaster& master : read.header.masters)
        if (master.name.empty() || master.name.find('\0') != Text::npos) std::abort();

    FormFile once;
    const PluginFill fill = ApplyPluginHeader(once, read.header, "/mods/Mod.esp", size % 2 == 0);
    FormFile twice = once;
    ApplyPluginHeader(twice, read.header, "/mods/Mod.esp", false);
    if (!(twice == once)) std::abort();
    if (fill.required.size() > read.header.masters.size()) std::abort();
    (void)PluginFillNote(fill).size();
    return 0;
}
