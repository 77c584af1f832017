// UTF-16, the Windows system calls' text, to and from UTF-8 names and
// Windows-1251 texts. Runs everywhere: the codec is ours, not the system's.

#include "text/Utf16.h"

#include <gtest/gtest.h>

#include "text/Cp1251.h"
#include "text/LineBreaks.h"

namespace {

TEST(Utf16, Utf8NamesCrossBothWays) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"ReadMe.htm", u"ReadMe.htm"},
        {"C:\\Моды\\Остров\\скрин 1.jpg", u"C:\\Моды\\Остров\\скрин 1.jpg"},
        {"café 日本.zip", u"café 日本.zip"},
        {"\xF0\x9F\x8F\xB0.jpg", u"\xD83C\xDFF0.jpg"},         // U+1F3F0: a surrogate pair
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},                 // the last code point
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},  // a zero is a character like any other
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf16::FromUtf8(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(utf16::ToUtf8(c.utf16), c.utf8) << c.utf8;
    }
}

TEST(Utf16, WhatTheOtherSideCannotHoldBecomesAReplacementCharacter) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } fromUtf8[] = {
        {"a\xFF"
         "b",
         u"a\xFFFD"
         "b"},                                    // a byte no UTF-8 starts with
        {"\xD0", u"\xFFFD"},                      // cut short
        {"\xC0\xAF", u"\xFFFD\xFFFD"},            // overlong "/": never a separator
        {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},  // an encoded surrogate
    };
    for (const auto& c : fromUtf8) EXPECT_EQ(utf16::FromUtf8(c.utf8), c.utf16) << c.utf8;

    // Windows names may hold lone surrogates; they never become invalid UTF-8.
    EXPECT_EQ(utf16::ToUtf8(u"a\xD800"), "a\xEF\xBF\xBD");
    EXPECT_EQ(utf16::ToUtf8(u"\xDC00"
                            "b"),
              "\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(utf16::ToUtf8(u"\xD800\xD800\xDC00"), "\xEF\xBF\xBD\xF0\x90\x80\x80");
}

TEST(Utf16, Windows1251TextsAgreeWithTheUtf8Codec) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::u16string wide = utf16::FromCp1251(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(utf16::ToUtf8(wide), cp1251::ToUtf8(all));
    EXPECT_EQ(utf16::ToCp1251(wide), all);

    EXPECT_EQ(utf16::ToCp1251(u"Маяк №1 — «ок»"), "Маяк №1 — «ок»"_cp);
    // Outside the code page: the same reference cp1251::FromUtf8 writes.
    EXPECT_EQ(utf16::ToCp1251(u"日\xD83C\xDFF0"), "&#26085;&#127984;");
    EXPECT_EQ(utf16::ToCp1251(u"\xDC00"), "&#65533;");
}

TEST(LineBreaks, EveryBreakBecomesCrLfOnce) {
    const struct {
        std::string_view in, out;
    } cases[] = {
        {"", ""},
        {"a", "a"},
        {"a\nb", "a\r\nb"},
        {"a\rb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"\n\r", "\r\n\r\n"},
        {"\r\r\n", "\r\n\r\n"},
        {"a\n", "a\r\n"},
        {"\xC0\n\xFF", "\xC0\r\n\xFF"},  // bytes of any code page pass
    };
    for (const auto& c : cases) EXPECT_EQ(WithCrLf(c.in), c.out) << testing::PrintToString(std::string(c.in));
}

}  // namespace
