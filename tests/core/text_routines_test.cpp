#include <gtest/gtest.h>

#include "readme/TextRoutines.h"
#include "text/Cp1251.h"

namespace {

struct Case {
    const char* input;
    const char* expected;
};

TEST(ConvertTextToHtml, LineBreakRuleTable) {
    const Case cases[] = {
        {"", ""},
        {"A\r\nB", "A B"},
        {"A\r\n\r\nB", "A<br>B"},
        {"A\r\n\r\n\r\nB", "A<br> B"},
        {"A\r\n\r\n\r\n\r\nB", "A<br><br>B"},
        {"A\r\n", "A"},
        {"A\r\n\r\n", "A<br>"},
        {"\r\nA", " A"},
        {"A\nB", "A B"},
        {"A\rB", "A B"},
        {"A\n\n\n\nB", "A<br>B"},
        {"A\r\n\rB", "A B"},
        {"\r\n\r\n", "<br>"},
        {"\n", ""},
        {"<b>&\tx</b>", "<b>&\tx</b>"},
    };
    for (const Case& c : cases) EXPECT_EQ(ConvertTextToHtml(c.input), c.expected) << "input: " << c.input;
}

// A run of k breaks between two bytes: k/4 "<br>" then a blank unless k%4 is 0;
// at the end of the text only the "<br>"s. Checked for every k up to 9 at the
// start, the middle and the end, where the fast scanner's 16-byte blocks
// begin and end at every offset.
TEST(ConvertTextToHtml, RunsOfEveryLengthAtEveryPlace) {
    for (std::size_t k = 1; k <= 9; ++k) {
        const std::string run(k, k % 2 ? '\n' : '\r');
        std::string brs;
        for (std::size_t i = 0; i < k / 4; ++i) brs += "<br>";
        const std::string gap = brs + (k % 4 ? " " : "");
        for (std::size_t pad = 0; pad < 20; ++pad) {
            const std::string a(pad, 'a');
            EXPECT_EQ(ConvertTextToHtml(run + "B"), gap + "B") << k;
            EXPECT_EQ(ConvertTextToHtml(a + "x" + run + "B" + a), a + "x" + gap + "B" + a) << k << ' ' << pad;
            EXPECT_EQ(ConvertTextToHtml(a + "x" + run), a + "x" + brs) << k << ' ' << pad;
        }
    }
}

TEST(ConvertTextToHtml, KeepsEveryOtherByteIncludingNulAndHighBytes) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n') all += static_cast<char>(b);
    EXPECT_EQ(ConvertTextToHtml(all), all);
    const std::string cyrillic = "Первая строка\r\nвторая"_cp.data();
    EXPECT_EQ(ConvertTextToHtml(cyrillic), std::string("Первая строка вторая"_cp));
}

// With the form's option: each break is one "<br>" where it stands, a CR LF
// pair counting as one; nothing joins and nothing at the ends is dropped.
TEST(ConvertTextKeepingBreaks, EveryBreakIsABrTable) {
    const Case cases[] = {
        {"", ""},
        {"A\r\nB", "A<br>B"},
        {"A\r\n\r\nB", "A<br><br>B"},
        {"A\r\n\r\n\r\nB", "A<br><br><br>B"},
        {"A\r\n", "A<br>"},
        {"\r\nA", "<br>A"},
        {"A\nB", "A<br>B"},
        {"A\rB", "A<br>B"},
        {"A\n\rB", "A<br><br>B"},
        {"A\r\n\rB", "A<br><br>B"},
        {"A\r\r\nB", "A<br><br>B"},
        {"\r", "<br>"},
        {"<b>&\tx</b>", "<b>&\tx</b>"},
    };
    for (const Case& c : cases) EXPECT_EQ(ConvertTextKeepingBreaks(c.input), c.expected) << "input: " << c.input;
    Text out = "head:";
    AppendTextKeepingBreaks(out, "a\r\nb");
    EXPECT_EQ(out, "head:a<br>b");
}

TEST(ConvertTextToHtml, AppendsAfterExistingText) {
    Text out = "head:";
    AppendTextAsHtml(out, "a\r\n\r\nb\r\n");
    EXPECT_EQ(out, "head:a<br>b");
}

TEST(ScreenshotFileName, TakesThePartAfterTheLastSeparator) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(ScreenshotFileName("home" + sep + "me" + sep + "shot 1.jpg"), "shot 1.jpg");
    EXPECT_EQ(ScreenshotFileName("shot.jpg"), "shot.jpg");
    EXPECT_EQ(ScreenshotFileName("dir" + sep), "");
    EXPECT_EQ(ScreenshotFileName(""), "");
    const char other = kPathSeparator == '/' ? '\\' : '/';
    const std::string foreign = std::string("a") + other + "b.jpg";
    EXPECT_EQ(ScreenshotFileName(foreign), foreign);
}

TEST(BsaArchiveName, ReplacesTheLastExtension) {
    EXPECT_EQ(BsaArchiveName("Mod.esp"), "Mod.bsa");
    EXPECT_EQ(BsaArchiveName("My.Mod.v2.esm"), "My.Mod.v2.bsa");
    EXPECT_EQ(BsaArchiveName("Mod"), "Mod.bsa");
    EXPECT_EQ(BsaArchiveName(".esp"), ".bsa");
    EXPECT_EQ(BsaArchiveName(""), ".bsa");
}

}  // namespace

namespace {

// The rule exactly as stated, one byte at a time: the witness for the fast path.
std::string Reference(std::string_view text) {
    std::string out;
    int counter = 0;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (++counter > 3) out += "<br>", counter = 0;
        } else {
            if (counter > 0) out += ' ';
            out += c;
            counter = 0;
        }
    }
    return out;
}

TEST(ConvertTextToHtml, AgreesWithTheByteRuleOnRandomTexts) {
    std::uint32_t seed = 12345;
    const auto next = [&]() { return seed = seed * 1664525u + 1013904223u; };
    const char alphabet[] = {'a', 'b', ' ', '\t', '\0', '\xE9', '\r', '\n'};
    for (int round = 0; round < 3000; ++round) {
        const std::size_t size = next() % 700;
        const unsigned breakShare = next() % 8;  // from no breaks at all to nearly all
        std::string text(size, 'x');
        for (char& c : text) c = (next() % 8 < breakShare) ? alphabet[6 + next() % 2] : alphabet[next() % 6];
        ASSERT_EQ(ConvertTextToHtml(text), Reference(text)) << "round " << round;
    }
}

}  // namespace

namespace {

// Found by fuzzing: a 64-byte block made only of breaks.
TEST(ConvertTextToHtml, LongRunsOfBlankLinesAtEveryAlignment) {
    for (std::size_t lead = 0; lead < 70; lead += 3) {
        for (std::size_t run : {63u, 64u, 65u, 128u, 200u}) {
            const std::string text = std::string(lead, 'a') + std::string(run, '\n') + std::string(130, 'b');
            ASSERT_EQ(ConvertTextToHtml(text), Reference(text)) << lead << ' ' << run;
            const std::string tail = std::string(lead, 'a') + std::string(run, '\r');
            ASSERT_EQ(ConvertTextToHtml(tail), Reference(tail)) << lead << ' ' << run;
        }
    }
}

}  // namespace
