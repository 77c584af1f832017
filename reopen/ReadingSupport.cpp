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

FilePath DecodeFileName(std::string_view name) {
    FilePath path;
    path.reserve(name.size());
    std::size_t i = 0;
    while (i < name.size()) {
        if (name[i] == '&' && i + 3 < name.size() && name[i + 1] == '#' && name[i + 2] >= '1' && name[i + 2] <= '9') {
            std::size_t end = i + 2;
            char32_t cp = 0;
            while (end < name.size() && end - i < 10 && name[end] >= '0' && name[end] <= '9')
                cp = cp * 10 + static_cast<char32_t>(name[end++] - '0');
            const bool scalar = cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
            if (end < name.size() && name[end] == ';' && end - i <= 9 && scalar && cp1251::FromCodePoint(cp) < 0) {
                cp1251::AppendUtf8(path, cp);
                i = end + 1;
                continue;
            }
        }
        cp1251::AppendUtf8(path, cp1251::ToCodePoint(static_cast<unsigned char>(name[i])));
        ++i;
    }
    return path;
}
