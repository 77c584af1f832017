#include "text/Cp1251.h"

#include <gtest/gtest.h>

#ifndef _WIN32  // no iconv there; Windows' own table is the witness in tests/windows/
#include <iconv.h>
#endif

namespace {

#ifndef _WIN32

// glibc's own table is an independent witness for every assigned byte.
std::string IconvToUtf8(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    const std::size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return "<unassigned>";
    return std::string(out, sizeof out - outLeft);
}

TEST(Cp1251, DecodesEveryAssignedByteAsGlibcDoes) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(cp1251::ToUtf8(byte), IconvToUtf8(static_cast<unsigned char>(b))) << "byte " << b;
    }
}
#endif

TEST(Cp1251, EveryByteSurvivesARoundTripIncludingTheUnassignedOne) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(cp1251::FromUtf8(cp1251::ToUtf8(all)), all);
    EXPECT_EQ(cp1251::ToUtf8("\x98"), "\xC2\x98");  // U+0098
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeNumericReferences) {
    const struct {
        const char* utf8;
        const char* expected;
        bool valid;  // well-formed UTF-8
    } cases[] = {
        {"", "", true},
        {"plain", "plain", true},
        {"&#65533;", "&#65533;", true},                        // a literal reference is text
        {"\xE2\x82\xAC", "\x88", true},                        // euro sign is in the code page
        {"\xC3\xA9", "&#233;", true},                          // e acute is not
        {"\xD0\x81\xD1\x91 \xC2\xA0", "\xA8\xB8 \xA0", true},  // two-byte ones that are
        {"\xC2\x98", "\x98", true},                            // the unassigned byte's own
        {"\xE4\xB8\xAD", "&#20013;", true},                    // CJK
        {"\xF0\x9F\x98\x80!", "&#128512;!", true},             // emoji, four bytes
        {"a\xFF"
         "b",
         "a&#65533;b", false},                                            // stray byte
        {"\xC0\xAF", "&#65533;&#65533;", false},                          // overlong slash
        {"\xED\xA0\x80", "&#65533;&#65533;&#65533;", false},              // surrogate
        {"\xE2\x82", "&#65533;&#65533;", false},                          // truncated at the end
        {"\xF4\x90\x80\x80", "&#65533;&#65533;&#65533;&#65533;", false},  // above U+10FFFF
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp1251::FromUtf8(c.utf8), c.expected) << c.utf8;
        EXPECT_EQ(cp1251::IsValidUtf8(c.utf8), c.valid) << c.utf8;
        // The strict form takes only what needs no reference, and says so.
        const bool referenced =
            std::string_view(c.expected).find("&#") != std::string_view::npos && std::string_view(c.utf8) != "&#65533;";
        std::string strict = "x";
        EXPECT_EQ(cp1251::AppendStrictCp1251(strict, c.utf8), !referenced) << c.utf8;
        if (!referenced) {
            EXPECT_EQ(strict, "x" + std::string(c.expected)) << c.utf8;
        }
    }
}

TEST(Cp1251, SourceLiteralsBecomeWindows1251AtCompileTime) {
    constexpr std::string_view word = "Привет, Ёж №1"_cp;
    EXPECT_EQ(word,
              "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6 \xB9"
              "1");
    static_assert("\r\n"_cp.size() == 2);
}

}  // namespace
