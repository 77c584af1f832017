#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "rtf/RtfReader.h"

namespace {

using rtf::Alignment;
using rtf::Document;
using rtf::ReadRtf;

// A header like the program's documents have: two fonts, two colours.
const std::string kHead =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049"
    "{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}{\\f1\\froman\\fcharset204 Times New Roman;}}"
    "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";

Document Body(const std::string& body) { return ReadRtf(kHead + body + "}"); }

// The model in one line: paragraphs split by " / ", runs by "|", a run's
// format in braces when it is not the default (the default font is Arial).
std::string Describe(const Document& doc, const std::string& defaultFont = "Arial") {
    std::string out;
    for (std::size_t p = 0; p < doc.paragraphs.size(); ++p) {
        const rtf::Paragraph& para = doc.paragraphs[p];
        if (p > 0) out += " / ";
        if (para.alignment == Alignment::Center) out += "C:";
        if (para.alignment == Alignment::Right) out += "R:";
        if (para.alignment == Alignment::Justify) out += "J:";
        for (std::size_t r = 0; r < para.runs.size(); ++r) {
            const rtf::Run& run = para.runs[r];
            if (r > 0) out += "|";
            out += run.text;
            std::string f;
            auto add = [&f](const std::string& s) { f += (f.empty() ? "" : ",") + s; };
            if (run.format.bold) add("b");
            if (run.format.italic) add("i");
            if (run.format.underline) add("u");
            if (run.format.halfPoints != 24) add("fs" + std::to_string(run.format.halfPoints));
            if (run.format.fontName != defaultFont) add(run.format.fontName.empty() ? "nofont" : run.format.fontName);
            if (run.format.color) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "#%02x%02x%02x", run.format.color->red, run.format.color->green,
                              run.format.color->blue);
                add(hex);
            }
            if (!f.empty()) out += "{" + f + "}";
        }
    }
    return out;
}

struct Case {
    std::string body;
    std::string expected;
};

void Check(const std::vector<Case>& cases) {
    for (const Case& c : cases) EXPECT_EQ(Describe(Body(c.body)), c.expected) << "body: " << c.body;
}

TEST(RtfReader, CharacterFormatting) {
    Check({
        {"plain", "plain"},
        {"\\b bold\\b0  normal", "bold{b}| normal"},
        {"{\\i it}alic", "it{i}|alic"},
        {"\\ul u\\ulnone n\\ul u\\ul0 n", "u{u}|n|u{u}|n"},
        {"\\fs32 big\\fs small", "big{fs32}|small"},
        {"\\f1 serif\\f0 sans", "serif{Times New Roman}|sans"},
        {"\\f7 unknown font", "unknown font{nofont}"},
        {"\\cf1 red\\cf2 blue\\cf0 auto\\cf9 none", "red{#ff0000}|blue{#0000ff}|autonone"},
        {"\\b\\i\\ul\\fs30\\f1\\cf1 x\\plain y", "x{b,i,u,fs30,Times New Roman,#ff0000}|y"},
        {"{\\b a{\\i b}c}d", "a{b}|b{b,i}|c{b}|d"},
        {"\\b a\\b0\\b b", "ab{b}"},
        {"a\r\nb\rc\nd", "abcd"},
    });
}

TEST(RtfReader, CharactersAndEscapes) {
    Check({
        {"a\\tab b\\line c", "a\tb\nc"},
        {"\\'e0\\'c0\\'b8\\'a8\\'b9", "аАёЁ№"},
        {"\\'E0\\'4a", "аJ"},
        {"a\\'09b\\'0d\\'00c", "a\tbc"},
        {"\\{\\}\\\\", "{}\\"},
        {"\\~a\\_b\\-c", "\u00A0a\u2011bc"},
        {"\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote", "—–•‘’“”"},
        {"\\u1071?", "Я"},
        {"\\u1071\\'3f\\u1072\\'3fz", "Яаz"},
        {"\\uc2\\u1071??x", "Яx"},
        {"\\uc0\\u1071 x", "Яx"},
        {"{\\uc2\\u1071??}\\u1071??", "ЯЯ?"},
        {"\\u1071\\u1072", "Яа"},
        {"\\u-3913?", "\uF0B7"},
        {"\\u-10179?\\u-8704?", "😀"},
        {"\\u55357?x", "\uFFFDx"},
        {"\\u56832?x", "\uFFFDx"},
        {"\\u99999999 x", "\uFFFD"},
    });
}

TEST(RtfReader, SkipsDestinationsItDoesNotShow) {
    Check({
        {"{\\*\\unknown hidden {nested} text}shown", "shown"},
        {"{\\info{\\title T}{\\author A}}body", "body"},
        {"{\\stylesheet{\\s0 Normal;}}body", "body"},
        {"{\\pict\\wmetafile8\\picw10 0102ff{\\*\\blipuid 00}}x", "x"},
        {"{\\*\\generator Writer;}x", "x"},
        {"{\\field{\\*\\fldinst HYPERLINK \"a\"}{\\fldrslt link}}", "link"},
        {"{\\header head}{\\footer foot}text", "text"},
        {"\\bin3 {}}x", "x"},
        {"{\\pict\\bin4 }}}}x}y", "y"},
    });
}

TEST(RtfReader, Paragraphs) {
    Check({
        {"a\\par b", "a / b"},
        {"a\\par", "a"},
        {"a\\par\\par b", "a /  / b"},
        {"\\qc a\\par\\pard b", "C:a / b"},
        {"\\qr a\\par b", "R:a / R:b"},
        {"\\qj a\\par\\ql b", "J:a / b"},
        {"{\\qc a\\par}b", "C:a / b"},
        {"a\\sect b\\page c", "a / b / c"},
        {"a\\\nb\\\r\nc", "a / b / c"},
        {"\\b a\\par b", "a{b} / b{b}"},
    });
}

TEST(RtfReader, ParagraphGeometryAndTabStops) {
    const Document doc = Body("\\li720\\ri360\\fi-360\\sb120\\sa60\\tx720\\tx360\\tx720 a\\par\\pard b");
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    const rtf::Paragraph& p = doc.paragraphs[0];
    EXPECT_EQ(p.leftIndent, 720);
    EXPECT_EQ(p.rightIndent, 360);
    EXPECT_EQ(p.firstLineIndent, -360);
    EXPECT_EQ(p.spaceBefore, 120);
    EXPECT_EQ(p.spaceAfter, 60);
    EXPECT_EQ(p.tabStops, (std::vector<int>{360, 720}));
    EXPECT_EQ(doc.paragraphs[1].leftIndent, 0);
    EXPECT_TRUE(doc.paragraphs[1].tabStops.empty());
    EXPECT_EQ(ReadRtf("{\\rtf1\\deftab360 x}").defaultTabWidth, 360);
    EXPECT_EQ(ReadRtf("{\\rtf1 x}").defaultTabWidth, 720);
}

TEST(RtfReader, FontAndColourTables) {
    struct TableCase {
        std::string rtf;
        std::string expected;
    };
    const TableCase cases[] = {
        // Entries without groups, a panose group, a Cyrillic name, \deff.
        {"{\\rtf1\\deff1{\\fonttbl\\f0 Arial;\\f1\\fmodern Courier New;}x\\f0 y}", "x{Courier New}|y"},
        {"{\\rtf1{\\fonttbl{\\f0\\fswiss{\\*\\panose 020b0604}{\\*\\falt Helv}Arial;}}x}", "x"},
        {"{\\rtf1{\\fonttbl{\\f2\\fnil \\'cc\\'ee\\'e9 \\'f8\\'f0\\'e8\\'f4\\'f2;}}\\f2 x}", "x{Мой шрифт}"},
        {"{\\rtf1{\\fonttbl{\\f0 Unterminated}}\\f0 x}", "x{Unterminated}"},
        {"{\\rtf1{\\fonttbl{\\f0 \\u1071?\\u1041?\\u55357?;}}x}", "x{ЯБ\uFFFD}"},
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f5 x\\plain y}", "x{nofont}|y"},
        // The first entry is "auto"; an entry may name only some components.
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;\\blue9;}"
         "\\cf0 a\\cf1 b\\cf2 c\\plain d}",
         "a|b{#010203}|c{#000009}|d"},
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl\\red300\\green-4\\blue7;}\\cf0 a}", "a{#ff0007}"},
    };
    for (const TableCase& c : cases) EXPECT_EQ(Describe(ReadRtf(c.rtf)), c.expected) << c.rtf;

    const Document doc = ReadRtf("{\\rtf1{\\fonttbl{\\f0\\froman Times;}{\\f1\\fswiss Arial;}}a\\f1 b}");
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.fontFamily, rtf::FontFamily::Roman);
    EXPECT_EQ(doc.paragraphs[0].runs[1].format.fontFamily, rtf::FontFamily::Swiss);
}

TEST(RtfReader, TextThatIsNotRtfShowsAsPlainWindows1251Text) {
    const Case cases[] = {
        {"", ""},
        {"plain\r\ntext\rmore\nend", "plain / text / more / end"},
        {"a\r\n", "a"},
        {"a\r\n\r\nb", "a /  / b"},
        {"{\\rt", "{\\rt"},
        {" {\\rtf1 x}", " {\\rtf1 x}"},
        {std::string("\xcf\xf0\xe8\xe2\xe5\xf2\x00!", 8), "Привет!"},
    };
    for (const Case& c : cases) {
        const Document doc = ReadRtf(c.body);
        std::string text;
        for (std::size_t i = 0; i < doc.paragraphs.size(); ++i)
            text += (i ? " / " : "") + doc.paragraphs[i].PlainText();
        EXPECT_EQ(text, c.expected) << c.body;
    }
}

// Truncated and malformed documents give what could be read, never more.
TEST(RtfReader, MalformedAndTruncatedInput) {
    const Case cases[] = {
        {"{\\rtf1 abc", "abc"},
        {"{\\rtf1 abc\\", "abc"},
        {"{\\rtf1 \\b", ""},
        {"{\\rtf1 a\\'", "a"},
        {"{\\rtf1 a\\'e", "a"},
        {"{\\rtf1 a\\'zz", "azz"},
        {"{\\rtf1 a\\u", "a"},
        {"{\\rtf1 a\\u1071", "aЯ"},
        {"{\\rtf1 a\\u55357", "a\uFFFD"},
        {"{\\rtf1 {\\fonttbl{\\f0 Ari", ""},
        {"{\\rtf1 {\\colortbl\\red", ""},
        {"{\\rtf1 a}b{c}", "a"},
        {"{\\rtf1 {a}}}b", "a"},
        {"{\\rtf1 a\\bin", "a"},
        {"{\\rtf1 a\\bin-5 b}", "ab"},
        {"{\\rtf1 a\\b- b}", "a|- b{b}"},
        {"{\\rtf1 \\*a}", ""},
        {"{\\rtfx}", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Describe(ReadRtf(c.body), ""), c.expected) << c.body;
}

TEST(RtfReader, HugeParametersAreClamped) {
    const std::string nines(5000, '9');
    Check({
        {"\\fs" + nines + " a", "a{fs3276}"},
        {"\\fs99999999999999999999 a", "a{fs3276}"},
        {"\\fs-99999999999999999999 a", "a{fs2}"},
        {"\\fs0 a", "a{fs2}"},
        {"\\f99999999999999 a", "a{nofont}"},
        {"\\cf" + nines + " a", "a"},
        {"\\bin99999999999999999999 abc", ""},
        {"\\uc99999999999 \\u1071 abcdefghijklmnopqrstuvwxyz", "Яqrstuvwxyz"},
        {"\\uc-3 \\u1071 ab", "Яab"},
    });
    const Document doc = Body("\\li-99999999999\\ri" + nines + "\\sb-5\\sa999999 x\\par");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].leftIndent, -31680);
    EXPECT_EQ(doc.paragraphs[0].rightIndent, 31680);
    EXPECT_EQ(doc.paragraphs[0].spaceBefore, 0);
    EXPECT_EQ(doc.paragraphs[0].spaceAfter, 31680);
    EXPECT_EQ(ReadRtf("{\\rtf1\\deftab0 x}").defaultTabWidth, 20);
}

TEST(RtfReader, DeepNestingIsSkippedBeyondTheCap) {
    auto nested = [](std::size_t depth, const std::string& inner) {
        return "{\\rtf1 a" + std::string(depth, '{') + inner + std::string(depth, '}') + "b}";
    };
    // The document group is one level; the cap counts it.
    EXPECT_EQ(Describe(ReadRtf(nested(rtf::kMaxGroupDepth - 1, "\\b x")), ""), "a|x{b}|b");
    EXPECT_EQ(Describe(ReadRtf(nested(rtf::kMaxGroupDepth, "\\b x")), ""), "ab");
    EXPECT_EQ(Describe(ReadRtf(nested(1'000'000, "x")), ""), "ab");
    EXPECT_EQ(Describe(ReadRtf("{\\rtf1 a" + std::string(1'000'000, '{')), ""), "a");
    EXPECT_EQ(Describe(ReadRtf("{\\rtf1 a{\\*" + std::string(1'000'000, '{')), ""), "a");
}

// The reader keeps no unbounded copies: a long font name and many tab stops
// are cut, so runs and paragraphs that repeat them stay small.
TEST(RtfReader, RepeatedStateStaysSmall) {
    const Document fonts = ReadRtf("{\\rtf1{\\fonttbl{\\f0 " + std::string(100'000, 'N') + ";}}x{\\b y}z}");
    ASSERT_EQ(fonts.paragraphs.size(), 1u);
    for (const rtf::Run& run : fonts.paragraphs[0].runs) EXPECT_LE(run.format.fontName.size(), 96u);

    std::string tabs;
    for (int i = 1; i <= 1000; ++i) tabs += "\\tx" + std::to_string(i);
    const Document doc = Body(tabs + " a\\par b\\par");
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    EXPECT_EQ(doc.paragraphs[1].tabStops.size(), 32u);
}

TEST(RtfReader, LongControlWordsAndNumbersAreOneToken) {
    Check({
        {"\\" + std::string(100'000, 'a') + " x", "x"},
        {"\\b" + std::string(100'000, '0') + " x", "x"},
    });
}

bool IsValidDisplayUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        if (len == 1 && c < 0x20 && c != '\t' && c != '\n') return false;
        i += len;
    }
    return true;
}

// A cheap stand-in for the fuzzer: random mixtures of RTF's own tokens, and
// random bytes, always give valid UTF-8 with no control characters, in time
// linear in the input.
TEST(RtfReader, RandomInputGivesCleanTextQuickly) {
    const char* tokens[] = {"{",      "}",    "\\",        "\\b",        "\\b0",   "\\i",   "\\ul",
                            "\\fs",   "\\f",  "\\cf",      "\\par",      "\\pard", "\\qc",  "\\line",
                            "\\tab",  "\\'",  "\\'e0",     "\\'ff",      "\\u",    "\\u-",  "\\uc",
                            "\\bin",  "\\*",  "\\fonttbl", "\\colortbl", "\\red",  ";",     "\\info",
                            "\\pict", "\\tx", "\\li",      "\\plain",    " ",      "9",     "12",
                            "-",      "x",    "\xe0",      "\x00",       "\r\n",   "55357", "99999999999"};
    std::mt19937 random(1251);
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 3000; ++round) {
        std::string input = round % 3 == 0 ? "" : "{\\rtf1";
        const std::size_t length = random() % 400;
        for (std::size_t i = 0; i < length; ++i) {
            if (round % 5 == 0)
                input += static_cast<char>(random() & 0xFF);
            else
                input += tokens[random() % std::size(tokens)];
        }
        const Document doc = ReadRtf(input);
        for (const rtf::Paragraph& p : doc.paragraphs)
            for (const rtf::Run& run : p.runs) ASSERT_TRUE(IsValidDisplayUtf8(run.text)) << "input: " << input;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(RtfReader, LargeInputIsReadInLinearTime) {
    std::string big = "{\\rtf1{\\fonttbl{\\f0 " + std::string(90, 'F') + ";}}";
    while (big.size() < 2'000'000) big += "{\\b\\f0 \\'e0}\\u1071?\\tx100\\par";
    const auto start = std::chrono::steady_clock::now();
    const Document doc = ReadRtf(big);
    EXPECT_GT(doc.paragraphs.size(), 50'000u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
