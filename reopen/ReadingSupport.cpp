#include "reopen/ReadingSupport.h"

#include <array>
#include <cstring>
#include <vector>

#include "template/BuiltInTemplate.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

constexpr std::string_view kFolder = "files/images/";
constexpr std::string_view kOldFolder = "Files/images/";

struct Packages {
    const unsigned char* source = nullptr;
    std::size_t size = 0;
    bool loaded = false;
    TemplatePackage builtIn;
    TemplatePackage oldSpelling;
    std::array<const TemplatePackage*, 2> both{};
};

// The other spelling has the same length, so the package's bytes change in
// place and every offset stays; only the text entries are touched.
std::vector<unsigned char> RespelledFolder(std::span<const unsigned char> bytes, const TemplatePackage& package) {
    std::vector<unsigned char> copy(bytes.begin(), bytes.end());
    for (int i = 0; i < package.count(); ++i) {
        const TemplateEntry& entry = package.Entry(i);
        if (std::strncmp(entry.name, "htm_", 4) != 0) continue;
        auto* begin = reinterpret_cast<char*>(copy.data() + (entry.data - bytes.data()));
        std::string_view text(begin, entry.size);
        for (std::size_t at = text.find(kFolder); at != std::string_view::npos; at = text.find(kFolder, at + 1))
            std::memcpy(begin + at, kOldFolder.data(), kOldFolder.size());
    }
    return copy;
}

}  // namespace

std::span<const TemplatePackage* const> ReadablePackages() {
    static Packages packages;
    const std::span<const unsigned char> bytes = BuiltInTemplateBytes();
    if (packages.source != bytes.data() || packages.size != bytes.size()) {
        packages.source = bytes.data();
        packages.size = bytes.size();
        packages.loaded = !bytes.empty() && packages.builtIn.LoadBuiltIn() == kTemplateLoaded &&
                          packages.oldSpelling.Load(RespelledFolder(bytes, packages.builtIn)) == kTemplateLoaded;
        packages.both = {&packages.builtIn, &packages.oldSpelling};
    }
    if (!packages.loaded) return {};
    return packages.both;
}

namespace {

bool InCodePage(char32_t cp) {
    if (cp < 0x80 || (cp >= 0x0410 && cp <= 0x044F)) return true;
    // The code page's other letters and signs all lie below U+2200.
    return cp < 0x2200 && cp1251::FromCodePoint(cp) >= 0;
}

// The reference "&#N;" at name[i], N the code point the encoder writes one
// for: with no leading zero, a character, none of the code page's.
std::size_t Reference(std::string_view name, std::size_t i, char32_t& cp) {
    if (name.substr(i, 2) != "&#" || i + 2 >= name.size() || name[i + 2] < '1' || name[i + 2] > '9') return 0;
    cp = 0;
    std::size_t end = i + 2;
    for (; end < name.size() && end - i < 10 && name[end] >= '0' && name[end] <= '9'; ++end)
        cp = cp * 10 + static_cast<char32_t>(name[end] - '0');
    const bool scalar = cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    if (end >= name.size() || name[end] != ';' || !scalar || InCodePage(cp)) return 0;
    return end + 1 - i;
}

// UTF-8 written whole rather than a byte at a time: names of thousands of
// references are read back as fast as they are written.
void AppendUtf8(FilePath& out, char32_t cp) {
    char bytes[4];
    std::size_t n = 0;
    if (cp < 0x80) {
        bytes[n++] = static_cast<char>(cp);
    } else if (cp < 0x800) {
        bytes[n++] = static_cast<char>(0xC0 | (cp >> 6));
        bytes[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        bytes[n++] = static_cast<char>(0xE0 | (cp >> 12));
        bytes[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        bytes[n++] = static_cast<char>(0xF0 | (cp >> 18));
        bytes[n++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    }
    out.append(bytes, n);
}

}  // namespace

FilePath DecodeFileName(std::string_view name) {
    FilePath path;
    path.reserve(name.size());
    std::size_t i = 0;
    while (i < name.size()) {
        // Runs of ASCII go across whole.
        std::size_t run = i;
        while (run < name.size() && name[run] != '&' && static_cast<unsigned char>(name[run]) < 0x80) ++run;
        path.append(name.substr(i, run - i));
        i = run;
        if (i == name.size()) break;
        char32_t cp = 0;
        if (const std::size_t length = Reference(name, i, cp)) {
            AppendUtf8(path, cp);
            i += length;
        } else {
            AppendUtf8(path, cp1251::ToCodePoint(static_cast<unsigned char>(name[i++])));
        }
    }
    return path;
}
