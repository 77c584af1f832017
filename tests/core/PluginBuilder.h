#pragma once
// Plug-ins made in the tests and the bench: the TES3 record as the game
// writes it, and the pieces to break it with.

#include <cstdint>
#include <string>
#include <vector>

namespace testing_plugin {

inline std::string Le32(std::uint64_t v) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((v >> shift) & 0xFF);
    return bytes;
}
inline std::string Subrecord(const std::string& name, const std::string& data) {
    return name + Le32(data.size()) + data;
}
inline std::string Record(const std::string& subrecords, const std::string& name = "TES3") {
    return name + Le32(subrecords.size()) + Le32(0) + Le32(0) + subrecords;
}
// Each master's size, above 4 GiB so that both halves are read.
inline std::uint64_t MasterSize(const std::string& name) { return (std::uint64_t{1} << 32) + name.size(); }

inline std::string Hedr(std::string author, std::string description, std::uint32_t fileType = 0) {
    author.resize(32, '\0');
    description.resize(256, '\0');
    return Subrecord("HEDR", Le32(0x3F99999A) /* 1.2f */ + Le32(fileType) + author + description + Le32(0));
}
inline std::string Plugin(const std::string& author, const std::string& description,
                          const std::vector<std::string>& masters = {}, bool formFirst = false) {
    std::string subrecords = formFirst ? Subrecord("FORM", Le32(1)) : std::string();
    subrecords += Hedr(author, description);
    for (const std::string& master : masters) {
        const std::uint64_t size = MasterSize(master);
        subrecords += Subrecord("MAST", master + '\0') + Subrecord("DATA", Le32(size) + Le32(size >> 32));
    }
    return Record(subrecords);
}

}  // namespace testing_plugin
