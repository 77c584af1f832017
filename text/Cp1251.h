#pragma once
// Windows-1251 at the program's boundaries. The core keeps every text as
// Windows-1251 bytes; only the UI, the form file and the file system see
// Unicode, and they convert here.
//
// Decoding is total: byte 0x98, unassigned in Windows-1251, maps to U+0098
// and back, so every byte string survives a round trip.
// Encoding never drops a character: one that Windows-1251 cannot hold becomes
// the HTML reference "&#N;" (N its decimal code point), and each byte of
// malformed UTF-8 becomes "&#65533;".

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cp1251 {

// Code points of bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F.
inline constexpr std::array<char16_t, 64> kHighTable = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

constexpr char32_t ToCodePoint(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return static_cast<char32_t>(0x0410 + (byte - 0xC0));
    return kHighTable[byte - 0x80];
}

// The byte for a code point, or -1 when Windows-1251 has none.
constexpr int FromCodePoint(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
    for (std::size_t i = 0; i < kHighTable.size(); ++i)
        if (kHighTable[i] == cp) return static_cast<int>(0x80 + i);
    return -1;
}

// One code point (at most U+10FFFF) appended as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);
// Strict UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF): the
// length of the sequence at text[i], with cp set; 0 when it is malformed.
// cutShort, if given, tells a sequence that is well-formed as far as the
// text goes and only ends too soon.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp, bool* cutShort = nullptr);

// Windows-1251 bytes to UTF-8.
std::string ToUtf8(std::string_view cp1251);
// The same, appended to out.
void AppendToUtf8(std::string& out, std::string_view cp1251);
// UTF-8 to Windows-1251 when every character has a byte there; false, with
// out as far as it got, at the first that has none or at malformed bytes.
bool AppendStrictCp1251(std::string& out, std::string_view utf8);
// UTF-8 to Windows-1251 bytes, with the replacement rule above.
std::string FromUtf8(std::string_view utf8);
// True when every byte belongs to a well-formed UTF-8 sequence.
bool IsValidUtf8(std::string_view text);
// The same, appended to out.
void AppendFromUtf8(std::string& out, std::string_view utf8);

// Compile-time conversion of a UTF-8 source literal, so Russian texts read
// as Russian in the code and still reach the output as Windows-1251 bytes.
template <std::size_t N>
struct Literal {
    char bytes[N]{};
    std::size_t size = 0;

    consteval Literal(const char (&utf8)[N]) {
        std::size_t i = 0;
        while (i + 1 < N) {
            const auto lead = static_cast<unsigned char>(utf8[i]);
            char32_t cp = lead;
            std::size_t extra = 0;
            if (lead >= 0xF0)
                cp = lead & 0x07, extra = 3;
            else if (lead >= 0xE0)
                cp = lead & 0x0F, extra = 2;
            else if (lead >= 0xC0)
                cp = lead & 0x1F, extra = 1;
            for (std::size_t k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
            i += extra + 1;
            const int byte = FromCodePoint(cp);
            if (byte < 0) throw std::logic_error("character outside Windows-1251");
            bytes[size++] = static_cast<char>(byte);
        }
    }
    constexpr std::string_view view() const { return {bytes, size}; }
};

}  // namespace cp1251

template <cp1251::Literal L>
constexpr std::string_view operator""_cp() {
    return L.view();
}
