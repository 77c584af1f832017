#pragma once
// The built-in template package: named HTML fragments and background pictures.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "text/Text.h"

// One directory slot, with its offset already resolved against the package.
struct TemplateEntry {
    char name[16] = {};
    const unsigned char* data = nullptr;
    std::uint32_t size = 0;
    std::uint32_t reserved[2] = {0, 0};

    std::span<const unsigned char> bytes() const { return {data, size}; }
};

enum TemplateLoadResult : int {
    kTemplateLoaded = 0,
    kTemplateMissing = 2,
    kTemplateUnloadable = 3,
    kTemplateNoBytes = 4,
    kTemplateMalformed = 5,  // a required fragment is missing, or the bytes are damaged
};

class TemplatePackage {
public:
    static constexpr int kMaxEntries = 16;
    static constexpr std::size_t kHeaderSize = 32;
    static constexpr std::size_t kEntrySize = 32;
    static constexpr std::size_t kCountOffset = 20;
    static constexpr std::array<std::string_view, 11> kFragmentNames = {
        "htm_begin",       "htm_end",         "htm_title",       "htm_tab_01",      "htm_tab_02",      "htm_tab_03",
        "htm_txt_inst_01", "htm_txt_inst_02", "htm_txt_unst_01", "htm_txt_unst_02", "htm_txt_warn_01",
    };

    TemplatePackage() = default;
    // Entries point into the package bytes: a copy would point into the original's.
    TemplatePackage(const TemplatePackage&) = delete;
    TemplatePackage& operator=(const TemplatePackage&) = delete;
    TemplatePackage(TemplatePackage&&) = default;
    TemplatePackage& operator=(TemplatePackage&&) = default;

    // The package built into the program; never reads a file.
    TemplateLoadResult LoadBuiltIn();
    // Any bytes; they are copied, so the span need not outlive the package.
    TemplateLoadResult Load(std::span<const unsigned char> bytes);

    // Index of the first entry whose stored name equals name exactly, or -1.
    int FindEntry(const char* name) const;
    const TemplateEntry& Entry(int index) const { return m_entries[static_cast<std::size_t>(index)]; }
    int count() const { return m_count; }

    // The loaded text of one of the eleven fragments; empty when not loaded.
    const Text& Fragment(std::string_view name) const;

private:
    TemplateLoadResult Parse(std::span<const unsigned char> bytes);
    void Clear();

    std::vector<unsigned char> m_owned;  // bytes given to Load; the built-in ones stay static
    int m_count = 0;
    std::array<TemplateEntry, kMaxEntries> m_entries{};
    std::array<Text, kFragmentNames.size()> m_fragments;
};
