#pragma once
// Plug-in files made in the tests, the fuzz seeds and the bench: the TES3
// record as the game writes it, and the pieces to break it with.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testing_plugin {

inline std::string Le32(std::uint32_t v) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((v >> shift) & 0xFF);
    return bytes;
}
inline std::string Le64(std::uint64_t v) {
    return Le32(static_cast<std::uint32_t>(v)) + Le32(static_cast<std::uint32_t>(v >> 32));
}

inline std::string Subrecord(const std::string& name, const std::string& data) {
    return name + Le32(static_cast<std::uint32_t>(data.size())) + data;
}
inline std::string Record(const std::string& subrecords, const std::string& name = "TES3") {
    return name + Le32(static_cast<std::uint32_t>(subrecords.size())) + Le32(0) + Le32(0) + subrecords;
}

// A NUL-padded field of the HEDR, cut to fit as the editor cuts it.
inline std::string Padded(const std::string& text, std::size_t size) {
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    return field;
}

class PluginBuilder {
public:
    PluginBuilder& Type(std::uint32_t fileType) { return Set(m_fileType, fileType); }
    PluginBuilder& Author(std::string author) { return Set(m_author, std::move(author)); }
    PluginBuilder& Description(std::string description) { return Set(m_description, std::move(description)); }
    PluginBuilder& Master(std::string name, std::uint64_t size) {
        m_masters.emplace_back(std::move(name), size);
        return *this;
    }
    // As OpenMW writes it.
    PluginBuilder& FormFirst() { return Set(m_formFirst, true); }
    // The records that follow the header.
    PluginBuilder& After(std::string records) { return Set(m_after, std::move(records)); }

    std::string Hedr() const {
        return Subrecord("HEDR", Le32(0x3F99999A) /* 1.2f */ + Le32(m_fileType) + Padded(m_author, 32) +
                                     Padded(m_description, 256) + Le32(0));
    }
    std::string Subrecords() const {
        std::string subrecords = m_formFirst ? Subrecord("FORM", Le32(1)) : std::string();
        subrecords += Hedr();
        for (const auto& [name, size] : m_masters)
            subrecords += Subrecord("MAST", name + '\0') + Subrecord("DATA", Le64(size));
        return subrecords;
    }
    std::string Bytes() const { return Record(Subrecords()) + m_after; }

private:
    template <class T, class V>
    PluginBuilder& Set(T& member, V value) {
        member = std::move(value);
        return *this;
    }

    std::uint32_t m_fileType = 0;
    std::string m_author;
    std::string m_description;
    std::vector<std::pair<std::string, std::uint64_t>> m_masters;
    bool m_formFirst = false;
    std::string m_after;
};

}  // namespace testing_plugin
