#pragma once
// Hand-built template packages for tests.

#include <string>
#include <utility>
#include <vector>

#include "template/TemplatePackage.h"
#include "template/TemplatePackageWriter.h"

namespace testpkg {

inline TemplateSourceEntry TextEntry(std::string name, std::string_view text) {
    return {std::move(name), {text.begin(), text.end()}, true};
}

// A package with the given text entries in order.
inline std::vector<unsigned char> Build(const std::vector<std::pair<std::string, std::string>>& texts) {
    std::vector<TemplateSourceEntry> entries;
    for (const auto& [name, text] : texts) entries.push_back(TextEntry(name, text));
    return WriteTemplatePackage(entries);
}

// Every fragment present, each holding its own name in brackets.
inline std::vector<std::pair<std::string, std::string>> AllFragmentsNamed() {
    std::vector<std::pair<std::string, std::string>> texts;
    for (std::string_view name : TemplatePackage::kFragmentNames)
        texts.emplace_back(std::string(name), "[" + std::string(name) + "]");
    return texts;
}

inline void PutU32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

inline std::size_t EntryOffsetField(int index) { return 32 + 32 * static_cast<std::size_t>(index) + 16; }
inline std::size_t EntrySizeField(int index) { return EntryOffsetField(index) + 4; }

}  // namespace testpkg
