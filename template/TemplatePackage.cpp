#include "template/TemplatePackage.h"

#include <algorithm>
#include <cstring>

#include "template/BuiltInTemplate.h"

namespace {

std::uint32_t ReadU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

const Text kEmpty;

}  // namespace

void TemplatePackage::Clear() {
    m_count = 0;
    m_entries = {};
    for (Text& fragment : m_fragments) fragment.clear();
}

TemplateLoadResult TemplatePackage::LoadBuiltIn() {
    m_owned.clear();
    const std::span<const unsigned char> bytes = BuiltInTemplateBytes();
    if (bytes.empty()) {
        Clear();
        return kTemplateMissing;
    }
    return Parse(bytes);
}

TemplateLoadResult TemplatePackage::Load(std::span<const unsigned char> bytes) {
    m_owned.assign(bytes.begin(), bytes.end());
    return Parse(m_owned);
}

TemplateLoadResult TemplatePackage::Parse(std::span<const unsigned char> bytes) {
    Clear();
    if (bytes.size() < kHeaderSize) return kTemplateMalformed;

    // The package stores its entry count as a signed byte.
    const int stored = static_cast<signed char>(bytes[kCountOffset]);  // NOLINT(bugprone-signed-char-misuse)
    if (stored == 0) return kTemplateLoaded;
    const int count = std::clamp(stored, 0, kMaxEntries);

    // Outside bytes are checked whole before anything is catalogued: an entry
    // that points past the package would later be written out by Save.
    const std::size_t total = bytes.size();
    if (kHeaderSize + kEntrySize * static_cast<std::size_t>(count) > total) return kTemplateMalformed;
    for (int i = 0; i < count; ++i) {
        const unsigned char* raw = bytes.data() + kHeaderSize + kEntrySize * static_cast<std::size_t>(i);
        const std::uint32_t offset = ReadU32(raw + 16);
        const std::uint32_t size = ReadU32(raw + 20);
        if (offset > total || size > total - offset) return kTemplateMalformed;
    }
    for (int i = 0; i < count; ++i) {
        const unsigned char* raw = bytes.data() + kHeaderSize + kEntrySize * static_cast<std::size_t>(i);
        TemplateEntry& entry = m_entries[static_cast<std::size_t>(i)];
        std::memcpy(entry.name, raw, sizeof entry.name);
        entry.data = bytes.data() + ReadU32(raw + 16);
        entry.size = ReadU32(raw + 20);
    }
    m_count = count;

    const unsigned char* end = bytes.data() + total;
    for (std::size_t f = 0; f < kFragmentNames.size(); ++f) {
        const Text name(kFragmentNames[f]);
        const int index = FindEntry(name.c_str());
        if (index < 0) return kTemplateMalformed;
        const unsigned char* begin = Entry(index).data;
        const unsigned char* nul = std::find(begin, end, 0);
        if (nul == end) return kTemplateMalformed;
        m_fragments[f].assign(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(nul - begin));
    }
    return kTemplateLoaded;
}

int TemplatePackage::FindEntry(const char* name) const {
    for (int i = 0; i < m_count; ++i) {
        const char* stored = m_entries[static_cast<std::size_t>(i)].name;
        for (std::size_t k = 0; k < sizeof m_entries[0].name; ++k) {
            if (name[k] != stored[k]) break;
            if (name[k] == '\0') return i;
        }
    }
    return -1;
}

const Text& TemplatePackage::Fragment(std::string_view name) const {
    for (std::size_t f = 0; f < kFragmentNames.size(); ++f)
        if (kFragmentNames[f] == name) return m_fragments[f];
    return kEmpty;
}
