#include "text/Utf16.h"

#include "text/Cp1251.h"

namespace utf16 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void Append(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
        return;
    }
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
}

// The code point at text[i] and how many units it takes; an unpaired
// surrogate is one unit of U+FFFD.
char32_t Next(std::u16string_view text, std::size_t& i) {
    const char16_t unit = text[i++];
    if (unit < 0xD800 || unit > 0xDFFF) return unit;
    if (unit <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
        const char16_t low = text[i++];
        return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00u);
    }
    return kReplacement;
}

}  // namespace

std::u16string FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = cp1251::DecodeUtf8(utf8, i, cp);
        Append(out, length == 0 ? kReplacement : cp);
        i += length == 0 ? 1 : length;
    }
    return out;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size();) cp1251::AppendUtf8(out, Next(text, i));
    return out;
}

std::u16string FromCp1251(std::string_view cp1251) {
    std::u16string out;
    out.reserve(cp1251.size());
    for (char c : cp1251) out += static_cast<char16_t>(cp1251::ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string ToCp1251(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = Next(text, i);
        const int byte = cp1251::FromCodePoint(cp);
        if (byte >= 0) {
            out += static_cast<char>(byte);
        } else {
            out += "&#";
            out += std::to_string(static_cast<unsigned long>(cp));
            out += ';';
        }
    }
    return out;
}

}  // namespace utf16
