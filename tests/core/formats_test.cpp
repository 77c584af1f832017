#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <sstream>

#include "form/FormFile.h"
#include "formats/ReleaseTexts.h"
#include "readme/ReadmeHtml.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

constexpr ReleaseFormat kTexts[] = {ReleaseFormat::PlainText, ReleaseFormat::BBCode, ReleaseFormat::Markdown};

const TemplatePackage& BuiltIn() {
    static const TemplatePackage package = [] {
        TemplatePackage p;
        p.LoadBuiltIn();
        return p;
    }();
    return package;
}

// The first section's body, in UTF-8, from a form that has nothing else but
// the empty authors: typed is the description in UTF-8.
std::string Body(ReleaseFormat format, std::string_view typed) {
    ReadmeForm form;
    form.pluginName = "N";
    form.description = cp1251::FromUtf8(typed);
    const std::string text = ReleaseTextUtf8(format, form, BuiltIn());
    const std::string_view head = format == ReleaseFormat::PlainText ? "N\r\n=\r\n"
                                  : format == ReleaseFormat::BBCode  ? "[b]N[/b]\n"
                                                                     : "# N\n\n";
    const std::string_view tail = format == ReleaseFormat::PlainText ? "\r\nАвторы\r\n------\r\n"
                                  : format == ReleaseFormat::BBCode  ? "\n[b]Авторы[/b]\n"
                                                                     : "\n## Авторы\n\n";
    EXPECT_TRUE(text.starts_with(head) && text.ends_with(tail)) << text;
    if (text.size() < head.size() + tail.size()) return text;
    return text.substr(head.size(), text.size() - head.size() - tail.size());
}

std::string Repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

struct Case {
    std::string_view typed, text, bbcode, markdown;
};

void ExpectEach(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(Body(ReleaseFormat::PlainText, c.typed), c.text) << c.typed;
        EXPECT_EQ(Body(ReleaseFormat::BBCode, c.typed), c.bbcode) << c.typed;
        EXPECT_EQ(Body(ReleaseFormat::Markdown, c.typed), c.markdown) << c.typed;
    }
}

TEST(ReleaseTexts, TagsBecomeTheFormatsOwnOrAreDroppedKeepingTheirText) {
    ExpectEach({
        {"<b>a</b> <I>b</I> <u>c</u> <S>d</S>", "a b c d\r\n", "[b]a[/b] [i]b[/i] [u]c[/u] [s]d[/s]\n",
         "**a** *b* c d\n"},
        {"<strong>a</strong> <em>b</em> <strike>c</strike>", "a b c\r\n", "[b]a[/b] [i]b[/i] [s]c[/s]\n",
         "**a** *b* c\n"},
        {"<a href=\"http://x.example.org/?a=1&amp;b\">сайт</a>", "сайт (http://x.example.org/?a=1&b)\r\n",
         "[url=http://x.example.org/?a=1&b]сайт[/url]\n", "[сайт](http://x.example.org/?a=1&b)\n"},
        {"<A HREF='http://x.example.org/'>http://x.example.org/</A>", "http://x.example.org/\r\n",
         "[url=http://x.example.org/]http://x.example.org/[/url]\n",
         "[http://x.example.org/](http://x.example.org/)\n"},
        {"<img src='p q(1).jpg' border=0>", "p q(1).jpg\r\n", "[img]p%20q(1).jpg[/img]\n", "![](p%20q%281%29.jpg)\n"},
        {"a<br>b<BR/>c<br />d", "a\r\nb\r\nc\r\nd\r\n", "a\nb\nc\nd\n", "a\\\nb\\\nc\\\nd\n"},
        {"a<p>b</p>c", "a\r\n\r\nb\r\n\r\nc\r\n", "a\n\nb\n\nc\n", "a\n\nb\n\nc\n"},
        {"<ul><li>a<li>b</ul>c", "- a\r\n- b\r\nc\r\n", "[list]\n[*]a\n[*]b\n[/list]\nc\n", "- a\n- b\n\nc\n"},
        {"<ol><li>a</li><li>b</li></ol>", "1. a\r\n2. b\r\n", "[list]\n[*]a\n[*]b\n[/list]\n", "1. a\n2. b\n"},
        {"<ul><li><a href=x>a<li>b</ul>c", "- a (x)\r\n- b\r\nc\r\n", "[list]\n[*][url=x]a[/url]\n[*]b\n[/list]\nc\n",
         "- [a](x)\n- b\n\nc\n"},
        // The user's own look-alikes of the format's tags stay text.
        {"[b]x[/B] [Archives]", "[b]x[/B] [Archives]\r\n", "[\u200Bb]x[\u200B/B] [Archives]\n",
         "\\[b\\]x\\[/B\\] \\[Archives\\]\n"},
        {"<font color=red>x</font><span>y</span>", "xy\r\n", "xy\n", "xy\n"},
        // Malformed tags stay text; what is left open ends with the section.
        {"a <b c", "a <b c\r\n", "a <b c\n", "a \\<b c\n"},
        {"x < y > z <3", "x < y > z <3\r\n", "x < y > z <3\n", "x \\< y > z \\<3\n"},
        {"<b>open", "open\r\n", "[b]open[/b]\n", "**open**\n"},
        {"</i>stray", "stray\r\n", "stray\n", "stray\n"},
        {"<b>a<i>b</b>c</i>", "abc\r\n", "[b]a[i]b[/i][/b][i]c[/i]\n", "**a*b****c*\n"},
        // Emphasis that CommonMark would show as asterisks is left out.
        {"a<b> b</b>", "a b\r\n", "a[b] b[/b]\n", "a b\n"},
        {"<b>**</b>", "**\r\n", "[b]**[/b]\n", "\\*\\*\n"},
        {"<b></b>x", "x\r\n", "[b][/b]x\n", "x\n"},
    });
}

TEST(ReleaseTexts, TypedLineBreaksStayAsTyped) {
    ExpectEach({
        {"a\r\nb", "a\r\nb\r\n", "a\nb\n", "a\\\nb\n"},
        {"a\r\n\r\nb", "a\r\n\r\nb\r\n", "a\n\nb\n", "a\n\nb\n"},
        {"a\r\n\r\n\r\nb", "a\r\n\r\n\r\nb\r\n", "a\n\n\nb\n", "a\n\nb\n"},
        {"a\nb\rc", "a\r\nb\r\nc\r\n", "a\nb\nc\n", "a\\\nb\\\nc\n"},
        {"a  \r\n  b", "a\r\n  b\r\n", "a\n  b\n", "a\\\nb\n"},
        {"a\r\n", "a\r\n", "a\n", "a\n"},
    });
}

TEST(ReleaseTexts, EntitiesBecomeCharactersAndMalformedOnesStayText) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"&amp; &lt; &gt; &quot; &apos;", "& < > \" '"},
        {"&nbsp;&copy;&laquo;&raquo;&mdash;&ndash;&hellip;", "\u00A0©«»—–…"},
        {"&#1046;&#x416;&#X436;", "ЖЖж"},
        {"&amp &unknown; &AMP; &#; &#x; &#0; &#xD800; &#1114112; &#12a; & b;",
         "&amp &unknown; &AMP; &#; &#x; &#0; &#xD800; &#1114112; &#12a; & b;"},
        {"&lt;b&gt;", "<b>"},
    };
    for (const auto& [typed, shown] : cases)
        EXPECT_EQ(Body(ReleaseFormat::PlainText, typed), std::string(shown) + "\r\n") << typed;
    EXPECT_EQ(Body(ReleaseFormat::Markdown, "&lt;b&gt; &amp;amp;"), "\\<b> \\&amp;\n");
}

TEST(ReleaseTexts, PlainTextWrapsAt78CharactersOnWordBoundaries) {
    const std::string w77(77, 'a'), w78(78, 'a'), w100(100, 'a');
    const std::string cyr78 = Repeat("ж", 78);
    const std::pair<std::string, std::string> cases[] = {
        {w78, w78},
        {w77 + " b", w77 + "\r\nb"},
        {"b " + w77, "b\r\n" + w77},
        {cyr78, cyr78},
        {cyr78 + " ж", cyr78 + "\r\nж"},
        {"a " + w100 + " b", "a\r\n" + w100 + "\r\nb"},
        {w100, w100},
        {"x" + std::string(76, ' ') + " y", "x\r\ny"},
    };
    for (const auto& [typed, wrapped] : cases) EXPECT_EQ(Body(ReleaseFormat::PlainText, typed), wrapped + "\r\n");
}

TEST(ReleaseTexts, MarkdownEscapesWhatCouldBeMarkup) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"*a* _b_ `c` [d](e) \\ &x !", "\\*a\\* \\_b\\_ \\`c\\` \\[d\\](e) \\\\ \\&x !"},
        {"# h", "\\# h"},
        {"> q", "\\> q"},
        {"- l", "\\- l"},
        {"+ l", "\\+ l"},
        {"=", "\\="},
        {"~~~", "\\~~~"},
        {"1. n", "1\\. n"},
        {"12) n", "12\\) n"},
        {"    code", "code"},
        {"a # b - c + d 1. e > f", "a # b - c + d 1. e > f"},
        {"x\r\n# y\r\n\r\n1. z", "x\\\n\\# y\n\n1\\. z"},
    };
    for (const auto& [typed, escaped] : cases)
        EXPECT_EQ(Body(ReleaseFormat::Markdown, typed), std::string(escaped) + "\n") << typed;

    ReadmeForm form;
    form.pluginName = cp1251::FromUtf8("C# <b>и</b> #1");
    EXPECT_TRUE(BuildReadmeMarkdown(form, BuiltIn()).starts_with("# C\\# и \\#1\n\n"));
}

TEST(ReleaseTexts, PlainTextIsWindows1251UnlessACharacterHasNoByteThere) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    // The character may sit in a text, a heading, an address or a file name.
    const struct {
        std::string_view typed;
        bool utf8;
        std::string_view name = "", screenshot = "";
    } cases[] = {
        {"Жук € «»", false},
        {"&euro; &laquo;", false},
        {"&#26085;", true},
        {"&eacute;", true},
        {"", false},
        {"", true, "&#26085;"},
        {"", false, "Ёж &mdash;"},
        {"<a href=\"http://example.org/&#26085;\">x</a>", true},
        {"<a href=\"http://example.org/ё\">ё</a>", false},
        {"<img src=\"&#26085;.png\">", true},
        {"", true, "", "日.png"},
        {"", false, "", "ёж.png"},
        {"", true, "", "\xFF.png"},  // no UTF-8: stands as U+FFFD
    };
    for (const auto& c : cases) {
        ReadmeForm form;
        form.description = cp1251::FromUtf8(c.typed);
        form.pluginName = cp1251::FromUtf8(c.name);
        if (!c.screenshot.empty()) {
            form.screenshotCount = 1;
            form.screenshotPath[0] = std::string(c.screenshot);
        }
        const std::string bytes = BuildReadmeText(form, BuiltIn());
        const std::string utf8 = ReleaseTextUtf8(ReleaseFormat::PlainText, form, BuiltIn());
        EXPECT_FALSE(utf8.starts_with(kBom));
        if (c.utf8) {
            EXPECT_EQ(bytes, std::string(kBom) + utf8) << c.typed;
        } else {
            EXPECT_EQ(bytes, cp1251::FromUtf8(utf8)) << c.typed;
            EXPECT_EQ(cp1251::ToUtf8(bytes), utf8) << c.typed;
        }
    }
}

// Every heading of the readme, as often and in the same order, in each text.
std::vector<std::string> ReadmeHeadings(const ReadmeForm& form) {
    const std::string html = cp1251::ToUtf8(BuildReadmeHtml(form, BuiltIn()));
    std::vector<std::string> headings;
    const std::regex cell("<td class=\"line_head\">([^\r]*)\r\n");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), cell); it != std::sregex_iterator(); ++it)
        headings.push_back((*it)[1]);
    return headings;
}

std::vector<std::string> TextHeadings(ReleaseFormat format, const ReadmeForm& form) {
    const std::string text = ReleaseTextUtf8(format, form, BuiltIn());
    const std::regex line(format == ReleaseFormat::PlainText ? "(?:^|\n)([^\r\n]*)\r\n[=-]+\r\n"
                          : format == ReleaseFormat::BBCode  ? "(?:^|\n)\\[b\\](.*)\\[/b\\]\n"
                                                             : "(?:^|\n)#+ ?(.*)\n");
    std::vector<std::string> headings;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it)
        headings.push_back((*it)[1]);
    return headings;
}

ReadmeForm Everything() {
    ReadmeForm form = NewReadmeForm();
    form.pluginName = "Name";
    form.requiresTribunal = form.requiresBloodmoon = form.requiresBsaArchive = form.requiresOther = true;
    form.screenshotCount = 3;
    form.screenshotPath = {"a.jpg", "b.jpg", "c.jpg"};
    form.installOther = form.uninstallOther = form.howToPlayEnabled = form.noteEnabled = form.warningOther = true;
    return form;
}

TEST(ReleaseTexts, EachTextHasTheReadmesSectionsUnderItsConditions) {
    const std::pair<std::string_view, std::function<void(ReadmeForm&)>> changes[] = {
        {"everything", [](ReadmeForm&) {}},
        {"new form", [](ReadmeForm& f) { f = NewReadmeForm(); }},
        {"no requirement",
         [](ReadmeForm& f) {
             f.requiresMorrowind = f.requiresTribunal = f.requiresBloodmoon = f.requiresBsaArchive = false;
             f.requiresOther = false;
         }},
        {"only the own requirement",
         [](ReadmeForm& f) {
             f.requiresMorrowind = f.requiresTribunal = f.requiresBloodmoon = f.requiresBsaArchive = false;
         }},
        {"no screenshot", [](ReadmeForm& f) { f.screenshotCount = 0; }},
        {"screenshots unselected", [](ReadmeForm& f) { f.screenshotCount = -1; }},
        {"one screenshot", [](ReadmeForm& f) { f.screenshotCount = 1; }},
        {"no installation", [](ReadmeForm& f) { f.installStandard = f.installOther = false; }},
        {"own installation only", [](ReadmeForm& f) { f.installStandard = false; }},
        {"no removal", [](ReadmeForm& f) { f.uninstallStandard = f.uninstallOther = false; }},
        {"no how to play", [](ReadmeForm& f) { f.howToPlayEnabled = false; }},
        {"no note", [](ReadmeForm& f) { f.noteEnabled = false; }},
        {"no warning", [](ReadmeForm& f) { f.warningStandard = f.warningOther = false; }},
        {"own warning only", [](ReadmeForm& f) { f.warningStandard = false; }},
        {"empty name", [](ReadmeForm& f) { f.pluginName.clear(); }},
    };
    for (const auto& [what, change] : changes) {
        ReadmeForm form = Everything();
        change(form);
        const std::vector<std::string> expected = ReadmeHeadings(form);
        for (ReleaseFormat format : kTexts)
            EXPECT_EQ(TextHeadings(format, form), expected) << what << ", format " << static_cast<int>(format);
    }
    ReadmeForm one = Everything();
    one.screenshotCount = 1;
    for (ReleaseFormat format : kTexts) {
        const std::string text = ReleaseTextUtf8(format, one, BuiltIn());
        EXPECT_NE(text.find("files/scrins/a.jpg"), std::string::npos);
        EXPECT_EQ(text.find("b.jpg"), std::string::npos);
    }
}

std::string ReadSource(const std::string& relative) {
    std::ifstream in(std::string(QS_SOURCE_DIR) + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in) << relative;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ReadmeForm ExampleForm() {
    FormFileResult read = ReadFormFile(ReadSource("examples/example-form.json"));
    EXPECT_TRUE(read.ok()) << read.error;
    // The example's paths as this system spells them, so the names the
    // readme takes from them are the same everywhere.
    for (FilePath& path : read.file.form.screenshotPath) std::ranges::replace(path, '/', kPathSeparator);
    return read.file.form;
}

TEST(ReleaseTexts, TheExampleFormMatchesItsGoldensByteForByte) {
    const ReadmeForm form = ExampleForm();
    EXPECT_EQ(BuildReadmeHtml(form, BuiltIn()), ReadSource("tests/golden/example-ReadMe.htm"));
    EXPECT_EQ(BuildReadmeText(form, BuiltIn()), ReadSource("tests/golden/example-ReadMe.txt"));
    EXPECT_EQ(BuildReadmeBbcode(form, BuiltIn()), ReadSource("tests/golden/example-bbcode.txt"));
    EXPECT_EQ(BuildReadmeMarkdown(form, BuiltIn()), ReadSource("tests/golden/example-readme.md"));
}

std::vector<ReadmeForm> FormsToCheck() {
    ReadmeForm typed = Everything();
    typed.description = cp1251::FromUtf8("<b>открыт <i>и [не] закрыт\r\n\r\n<ul><li>пункт<li><a href=x>ссылка</ul>" +
                                         std::string(90, 'w') + " хвост " + Repeat("ж", 60) + " " + Repeat("ж", 60));
    typed.note = cp1251::FromUtf8("</b></url>[/b] <img src=\"]x[.jpg\">");
    ReadmeForm wide = Everything();
    wide.authors = cp1251::FromUtf8("日本 &#26085;");
    return {ExampleForm(), NewReadmeForm(), ReadmeForm{}, Everything(), typed, wide};
}

TEST(ReleaseTexts, BbcodeTagsAreBalancedAndFromTheList) {
    const std::regex tag(R"(\[(/?)(b|i|u|s|url|img|list|quote|\*)(?:=[^\]]*)?\])");
    for (const ReadmeForm& form : FormsToCheck()) {
        const std::string text = BuildReadmeBbcode(form, BuiltIn());
        EXPECT_TRUE(cp1251::IsValidUtf8(text));
        EXPECT_EQ(text.find('\r'), std::string::npos);
        std::vector<std::string> open;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator(); ++it) {
            const std::string name = (*it)[2];
            if (name == "*") {
                EXPECT_FALSE(open.empty() || open.back() != "list") << text;
            } else if ((*it)[1] == "") {
                open.push_back(name);
            } else {
                ASSERT_FALSE(open.empty()) << "[/" << name << "] without its opening in\n" << text;
                EXPECT_EQ(open.back(), name) << text;
                open.pop_back();
            }
        }
        EXPECT_TRUE(open.empty()) << text;
    }
}

TEST(ReleaseTexts, PlainTextHasCrLfOnlyAndNoLineOver78ButALongerWord) {
    for (const ReadmeForm& form : FormsToCheck()) {
        const std::string bytes = BuildReadmeText(form, BuiltIn());
        const bool utf8 = bytes.starts_with("\xEF\xBB\xBF");
        const std::string text = utf8 ? bytes.substr(3) : cp1251::ToUtf8(bytes);
        if (utf8) {
            EXPECT_TRUE(cp1251::IsValidUtf8(text));
        } else {
            EXPECT_EQ(bytes.find('\x98'), std::string::npos) << "a byte Windows-1251 leaves unassigned";
        }
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t cr = text.find('\r', start);
            ASSERT_NE(cr, std::string::npos) << "the text does not end with CR LF";
            ASSERT_EQ(text[cr + 1], '\n');
            const std::string line = text.substr(start, cr - start);
            EXPECT_EQ(line.find('\n'), std::string::npos) << line;
            const std::u32string chars = [&] {
                std::u32string out;
                char32_t cp = 0;
                for (std::size_t i = 0; i < line.size(); i += cp1251::DecodeUtf8(line, i, cp)) out += cp;
                return out;
            }();
            if (chars.size() > 78) {
                EXPECT_EQ(chars.find(U' '), std::u32string::npos) << line;
            }
            start = cr + 2;
        }
    }
}

TEST(ReleaseTexts, FormatsByName) {
    const std::pair<std::string_view, ReleaseFormat> names[] = {{"htm", ReleaseFormat::Readme},
                                                                {"txt", ReleaseFormat::PlainText},
                                                                {"bbcode", ReleaseFormat::BBCode},
                                                                {"md", ReleaseFormat::Markdown}};
    for (const auto& [name, expected] : names) {
        ReleaseFormat format = ReleaseFormat::Readme;
        EXPECT_TRUE(ReleaseFormatByName(name, format));
        EXPECT_EQ(format, expected);
        EXPECT_EQ(BuildRelease(format, ExampleForm(), BuiltIn()).empty(), false);
    }
    ReleaseFormat format = ReleaseFormat::BBCode;
    for (std::string_view bad : {"", "TXT", "html", "markdown"}) EXPECT_FALSE(ReleaseFormatByName(bad, format));
    EXPECT_EQ(format, ReleaseFormat::BBCode);
}

}  // namespace
