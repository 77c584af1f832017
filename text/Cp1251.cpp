#include "text/Cp1251.h"

namespace cp1251 {
namespace {

void AppendReference(std::string& out, char32_t cp) {
    out += "&#";
    out += std::to_string(static_cast<unsigned long>(cp));
    out += ';';
}

}  // namespace

std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp, bool* cutShort) {
    if (cutShort) *cutShort = false;
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    // The second byte's range rules out overlong forms, surrogates and code
    // points past U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0Fu;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07u;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k == text.size()) {
            if (cutShort) *cutShort = true;
            return 0;
        }
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF)) return 0;
        cp = (cp << 6) | (byte & 0x3Fu);
    }
    return length;
}

void AppendUtf8(std::string& out, char32_t cp) {
    // One append of the whole sequence: byte by byte costs most of a long text's conversion.
    char bytes[4];
    std::size_t length = 0;
    if (cp < 0x80) {
        bytes[length++] = static_cast<char>(cp);
    } else if (cp < 0x800) {
        bytes[length++] = static_cast<char>(0xC0 | (cp >> 6));
        bytes[length++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        bytes[length++] = static_cast<char>(0xE0 | (cp >> 12));
        bytes[length++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[length++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        bytes[length++] = static_cast<char>(0xF0 | (cp >> 18));
        bytes[length++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        bytes[length++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[length++] = static_cast<char>(0x80 | (cp & 0x3F));
    }
    out.append(bytes, length);
}

namespace {

// Each byte's UTF-8, looked up: a code point's encoding per byte costs most
// of a long text's conversion.
struct Utf8Of {
    char bytes[3];
    unsigned char length;
};
constexpr std::array<Utf8Of, 256> kUtf8Of = [] {
    std::array<Utf8Of, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char32_t cp = ToCodePoint(static_cast<unsigned char>(byte));
        Utf8Of& entry = table[byte];
        if (cp < 0x80) {
            entry = {{static_cast<char>(cp), 0, 0}, 1};
        } else if (cp < 0x800) {
            entry = {{static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F)), 0}, 2};
        } else {
            entry = {{static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                      static_cast<char>(0x80 | (cp & 0x3F))},
                     3};
        }
    }
    return table;
}();

// The byte of each code point below U+0800 (two bytes of UTF-8), -1 for none.
constexpr std::array<short, 0x800> kByteOfTwoByte = [] {
    std::array<short, 0x800> table{};
    for (char32_t cp = 0; cp < 0x800; ++cp) table[cp] = static_cast<short>(FromCodePoint(cp));
    return table;
}();

}  // namespace

void AppendToUtf8(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.resize(start + text.size() * 3);
    char* to = out.data() + start;
    for (const char c : text) {
        const Utf8Of& entry = kUtf8Of[static_cast<unsigned char>(c)];
        to[0] = entry.bytes[0];
        to[1] = entry.bytes[1];
        to[2] = entry.bytes[2];
        to += entry.length;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}

std::string ToUtf8(std::string_view text) {
    std::string out;
    AppendToUtf8(out, text);
    return out;
}

bool AppendStrictCp1251(std::string& out, std::string_view utf8) {
    const std::size_t start = out.size();
    out.resize(start + utf8.size());
    char* to = out.data() + start;
    auto stop = [&](bool whole) {
        out.resize(static_cast<std::size_t>(to - out.data()));
        return whole;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            *to++ = static_cast<char>(lead);
            ++i;
            continue;
        }
        // Cyrillic is two bytes: those go by the table, the rest decoded.
        if (lead >= 0xC2 && lead <= 0xDF && i + 1 < utf8.size() && (utf8[i + 1] & 0xC0) == 0x80) {
            const short byte =
                kByteOfTwoByte[((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu)];
            if (byte < 0) return stop(false);
            *to++ = static_cast<char>(byte);
            i += 2;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8(utf8, i, cp);
        const int byte = length > 0 ? FromCodePoint(cp) : -1;
        if (byte < 0) return stop(false);
        *to++ = static_cast<char>(byte);
        i += length;
    }
    return stop(true);
}

bool IsValidUtf8(std::string_view text) {
    char32_t cp = 0;
    for (std::size_t i = 0, len = 0; i < text.size(); i += len) {
        // ASCII and two-byte sequences, the bulk of a Russian text, checked here.
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            len = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF && i + 1 < text.size() && (text[i + 1] & 0xC0) == 0x80) {
            len = 2;
        } else if ((len = DecodeUtf8(text, i, cp)) == 0) {
            return false;
        }
    }
    return true;
}

std::string FromUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendFromUtf8(out, text);
    return out;
}

void AppendFromUtf8(std::string& out, std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp = 0;
        const std::size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            AppendReference(out, 0xFFFD);
            ++i;
            continue;
        }
        i += len;
        const int byte = FromCodePoint(cp);
        if (byte >= 0)
            out += static_cast<char>(byte);
        else
            AppendReference(out, cp);
    }
}

}  // namespace cp1251
