// The text document's rules on byte strings: the captured selection, insert
// and add, and Open's reading and decoding of a file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <climits>

#include "output_test_support.h"
#include "text/Cp1251.h"
#include "textdoc/TextDocRules.h"

namespace {

using testing_output::ScratchFolder;
using testing_output::WriteFile;

TEST(TextDocSelection, BadBoundsCountAsNoSelectionAndTheRestIsClipped) {
    const std::string_view text = "Hello, world";
    const struct {
        int start, end;
        TextSelection normalised;
        const char* captured;
    } cases[] = {
        {0, 5, {0, 5}, "Hello"},
        {7, 12, {7, 12}, "world"},
        {0, 12, {0, 12}, "Hello, world"},
        {3, 3, {3, 3}, ""},
        {-1, 5, {0, 0}, ""},
        {5, -1, {0, 0}, ""},
        {INT_MIN, INT_MAX, {0, 0}, ""},
        {8, 4, {0, 0}, ""},
        {7, 100, {7, 100}, "world"},
        {0, INT_MAX, {0, INT_MAX}, "Hello, world"},
        {12, 20, {12, 20}, ""},
        {20, 25, {20, 25}, ""},
        {INT_MAX, INT_MAX, {INT_MAX, INT_MAX}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormaliseSelection(c.start, c.end), c.normalised) << c.start << ".." << c.end;
        EXPECT_EQ(CaptureSelection(text, c.start, c.end), c.captured) << c.start << ".." << c.end;
    }
    EXPECT_TRUE(NormaliseSelection(-3, 4).empty());
    EXPECT_FALSE(NormaliseSelection(1, 2).empty());
}

TEST(TextDocSelection, KeepsLineBreaksAndEveryByteOfThePassage) {
    const Text text = Text("Первая строка\r\nвторая\r\n"_cp) + "\x98\xA0\t<b>&amp;</b>";
    EXPECT_EQ(CaptureSelection("one\r\ntwo", 1, 6), "ne\r\nt");
    EXPECT_EQ(CaptureSelection(text, 7, 21), Text("строка\r\nвторая"_cp));
    EXPECT_EQ(CaptureSelection(text, 23, static_cast<int>(text.size())), "\x98\xA0\t<b>&amp;</b>");
    EXPECT_EQ(CaptureSelection("", 0, 4), "");
}

TEST(TextDocFieldRules, InsertReplacesAndAddAppendsWithNothingBetween) {
    const struct {
        const char* field;
        const char* captured;
        const char* inserted;
        const char* added;
    } cases[] = {
        {"abc", "def", "def", "abcdef"},
        {"", "def", "def", "def"},
        {"abc", "", "", "abc"},
        {"", "", "", ""},
        {"line\r\n", "one\r\ntwo", "one\r\ntwo", "line\r\none\r\ntwo"},
        {"name ", " tail ", " tail ", "name  tail "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InsertFieldText(c.captured), c.inserted) << c.field << "|" << c.captured;
        EXPECT_EQ(AddFieldText(c.field, c.captured), c.added) << c.field << "|" << c.captured;
    }
}

std::string Bytes(std::string_view text) { return std::string(text); }

TEST(TextDocOpen, DecodesTheBytesAndMakesEveryLineBreakCrLf) {
    using namespace std::string_literals;
    const std::string privetCp1251 = Bytes("Привет"_cp);
    const struct {
        std::string bytes;
        bool cut;
        std::string expected;  // UTF-8
        const char* why;
    } cases[] = {
        {"", false, "", "empty file"},
        {"plain ASCII", false, "plain ASCII", "ASCII reads the same either way"},
        {privetCp1251, false, "Привет", "Windows-1251"},
        {"Привет", false, "Привет", "UTF-8"},
        {"a\r\nb\nc\rd", false, "a\r\nb\r\nc\r\nd", "mixed line ends"},
        {"\r\r\n\n\n\r", false, "\r\n\r\n\r\n\r\n\r\n", "five breaks in a row"},
        {privetCp1251 + "\n", false, "Привет\r\n", "LF after Windows-1251"},
        {"строка\nещё\r", false, "строка\r\nещё\r\n", "LF and CR in UTF-8"},
        {"abc\0def"s, false, "abc", "cut at the first zero"},
        {"\0abc"s, false, "", "zero first"},
        {"abc\0Привет"s, false, "abc", "UTF-8 after the zero counts for nothing"},
        {privetCp1251 + "\0Привет"s, false, "Привет", "Windows-1251 before the zero"},
        {"\xC0\xAF", false, "АЇ", "overlong form: not UTF-8"},
        {"\xED\xA0\x80", false, "н\u00A0Ђ", "surrogate: not UTF-8"},
        {"\xF4\x90\x80\x80", false, "фђЂЂ", "past U+10FFFF: not UTF-8"},
        {"\xF8\x88\x80\x80\x80", false, "ш€ЂЂЂ", "five-byte form: not UTF-8"},
        {"\x80", false, "Ђ", "stray continuation byte"},
        {"Привет\xFF", false, cp1251::ToUtf8("Привет\xFF"), "one bad byte makes the whole file Windows-1251"},
        {"smile \xF0\x9F\x98\x80", false, "smile \xF0\x9F\x98\x80", "four-byte character"},
        {"\xEF\xBB\xBF"
         "abc",
         false, "abc", "byte-order mark dropped"},
        {"\xEF\xBB\xBF", false, "", "byte-order mark alone"},
        {"a\xEF\xBB\xBF", false, "a\xEF\xBB\xBF", "U+FEFF later on is text"},
        {"ab\xD0", false, "abР", "short at the end of a whole file: not UTF-8"},
        {"ab\xD0", true, "ab", "character cut by the limit is dropped"},
        {"п\xE2\x82", true, "п", "three-byte character cut by the limit"},
        {"abc\xF0\x9F\x98", true, "abc", "four-byte character cut by the limit"},
        {"ab\xD0\0x"s, true, "abР", "a zero, not the limit, ended the text"},
        {"ab\xD0\xD0", true, "abРР", "bad before the cut: Windows-1251"},
        {"\xFF\xFE\x1F\x04\x40\x04\n\0\x38\x04"s, false, "Пр\r\nи", "UTF-16 LE with its mark"},
        {"\xFE\xFF\x04\x1F\x04\x40\0\r\0\n"s, false, "Пр\r\n", "UTF-16 BE with its mark"},
        {"\xFF\xFE\x3D\xD8\x00\xDE!\0"s, false, "\xF0\x9F\x98\x80!", "UTF-16 surrogate pair"},
        {"\xFF\xFE\x00\xDE"
         "a\0"s,
         false, "\uFFFDa", "UTF-16 unpaired low surrogate"},
        {"\xFF\xFE"
         "a\0\0\0b\0"s,
         false, "a", "UTF-16 ends at its first zero character"},
        {"\xFF\xFE"
         "a\0\x3D\xD8"s,
         true, "a", "UTF-16 pair cut by the limit"},
        {"\xFF\xFE"
         "a\0b"s,
         true, "a", "UTF-16 odd byte cut by the limit"},
    };
    for (const auto& c : cases) EXPECT_EQ(DocumentText(c.bytes, c.cut), c.expected) << c.why;
}

TEST(TextDocOpen, EveryByteButZeroCrAndLfIsKept) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') all += static_cast<char>(b);
    const std::string text = DocumentText(all, false);
    EXPECT_EQ(text, cp1251::ToUtf8(all));
    EXPECT_EQ(cp1251::FromUtf8(text), all);
}

class TextDocFileRead : public ::testing::Test {
protected:
    void SetUp() override { buffer.fill('x'); }

    bool BufferUntouched() const {
        return std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == 'x'; });
    }

    ScratchFolder folder;
    std::array<char, kTextBufferSize> buffer{};
};

TEST_F(TextDocFileRead, ReadsAtMost32767BytesAndZeroesTheRest) {
    const struct {
        std::size_t length;
        TextFileRead expected;
    } cases[] = {
        {0, {0, false}},         {10, {10, false}},      {32766, {32766, false}},
        {32767, {32767, false}}, {32768, {32767, true}}, {40000, {32767, true}},
    };
    for (const auto& c : cases) {
        std::string bytes(c.length, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 26);
        const std::string path = folder / ("f" + std::to_string(c.length) + ".txt");
        WriteFile(path, bytes);
        buffer.fill('x');
        const std::optional<TextFileRead> read = ReadTextFile(path, buffer);
        ASSERT_TRUE(read) << c.length;
        EXPECT_EQ(*read, c.expected) << c.length;
        EXPECT_EQ(std::string_view(buffer.data(), read->size), std::string_view(bytes).substr(0, read->size));
        EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(read->size), buffer.end(), [](char b) {
            return b == '\0';
        })) << c.length;
    }
}

TEST_F(TextDocFileRead, WhatCannotBeOpenedLeavesTheBufferAlone) {
#ifdef _WIN32
    const std::string fifo = "CON";  // the console, whose read would wait for a key
#else
    const std::string fifo = folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
#endif
    std::filesystem::create_directory(folder / "folder.txt");
    for (const std::string& path : {folder / "missing.txt", folder / "folder.txt", fifo, std::string()}) {
        EXPECT_FALSE(ReadTextFile(path, buffer)) << path;
        EXPECT_TRUE(BufferUntouched()) << path;
    }
}

#ifndef _WIN32  // a symbolic link on Windows needs a privilege tests do not have
TEST_F(TextDocFileRead, FollowsALinkAndKeepsTheBytesAfterAZero) {
    WriteFile(folder / "zero.txt", std::string("0123456789\0after", 16));
    std::filesystem::create_symlink(folder / "zero.txt", folder / "link.txt");
    const std::optional<TextFileRead> read = ReadTextFile(folder / "link.txt", buffer);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, (TextFileRead{16, false}));
    EXPECT_EQ(DocumentText(std::string_view(buffer.data(), read->size), read->cut), "0123456789");
}
#endif

// From the file to the document's text, as Open goes.
TEST_F(TextDocFileRead, ALongUtf8FileCutInTheMiddleOfACharacterStaysUtf8) {
    std::string cyrillic;
    while (cyrillic.size() < 40000) cyrillic += "ж";  // two bytes each: 32767 cuts one in half
    WriteFile(folder / "long.txt", cyrillic);
    const std::optional<TextFileRead> read = ReadTextFile(folder / "long.txt", buffer);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->cut);
    const std::string text = DocumentText(std::string_view(buffer.data(), read->size), read->cut);
    EXPECT_EQ(text, cyrillic.substr(0, 32766));
}

TEST(DocumentCutNote, ShownToTheNearestKilobyteTheWholeRoundedUpAndNeverTheSame) {
    const struct {
        std::size_t shown;
        std::uint64_t length;
        const char* note;
    } cases[] = {
        {32767, 40 * 1024, "Показаны первые 32 КБ из 40 КБ"},
        {32767, 32768, "Показаны первые 32 КБ из 33 КБ"},
        {32767, 5'000'000, "Показаны первые 32 КБ из 4883 КБ"},
        {100, 3000, "Показаны первые 1 КБ из 3 КБ"},
    };
    for (const auto& c : cases) EXPECT_EQ(cp1251::ToUtf8(DocumentCutNote(c.shown, c.length)), c.note) << c.length;
}

}  // namespace
