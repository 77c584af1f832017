// Writes one of the program's RTF documents (the user guide, the licence)
// from a readable UTF-8 source:
//   rtf_compose INPUT.txt OUTPUT.rtf
//
// The source is line-based; blank lines are dropped.
//   # text      title, centred
//   ## text     section heading
//   ### text    sub-heading
//   - text      bulleted item
//   12. text    numbered item, the number as written
//   > text      centred line
//   >> text     centred closing line, set apart from what precedes it
//     text      (two spaces) paragraph indented like a list item's text
//   text        paragraph
// Inside a line: **bold**, *italic*, <address> as an underlined link, and
// \* \< \\ for the characters themselves; any other backslash is literal.
//
// The output is Windows-1251 RTF with Russian as the default language;
// Cyrillic becomes \'hh escapes, anything outside the code page \uN with a
// question mark for readers that lack Unicode.

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "text/Cp1251.h"

namespace {

constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049"
    "{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}{\\f1\\froman\\fcharset204 Times New Roman;}}\r\n"
    "{\\colortbl ;\\red112\\green72\\blue16;\\red16\\green64\\blue144;}\r\n"
    "{\\*\\generator Quillsmith rtf_compose;}\\viewkind4\\uc1\r\n";

constexpr std::string_view kBody = "\\plain\\f0\\fs20 ";
constexpr std::string_view kListItem = "\\pard\\li567\\fi-340\\tx567\\sa40";
constexpr std::size_t kLineWidth = 100;

class Writer {
public:
    // Control words and escapes start on a fresh line when the current one is
    // full; RTF ignores the line ends between them.
    void Token(std::string_view token) {
        if (m_column > 0 && m_column + token.size() > kLineWidth && token.front() == '\\') {
            m_out += "\r\n";
            m_column = 0;
        }
        m_out += token;
        m_column += token.size();
    }
    void EndParagraph() {
        m_out += "\\par\r\n";
        m_column = 0;
    }
    void Raw(std::string_view text) { m_out += text; }
    const std::string& Out() const { return m_out; }

    void Character(char32_t cp) {
        if (cp == '\\' || cp == '{' || cp == '}') return Token(std::string{'\\', static_cast<char>(cp)});
        if (cp == '\t') return Token("\\tab ");
        if (cp >= 0x20 && cp < 0x80) return Token(std::string(1, static_cast<char>(cp)));
        const int byte = cp1251::FromCodePoint(cp);
        if (byte >= 0) {
            static constexpr char kHex[] = "0123456789abcdef";
            return Token(std::string{'\\', '\'', kHex[byte >> 4], kHex[byte & 15]});
        }
        if (cp > 0xFFFF) {
            Unicode(0xD800 + ((cp - 0x10000) >> 10));
            return Unicode(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
        Unicode(cp);
    }

private:
    void Unicode(char32_t unit) {
        const int value = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
        Token("\\u" + std::to_string(value) + "?");
    }

    std::string m_out;
    std::size_t m_column = 0;
};

// Decodes the UTF-8 source; the sources are ours, so a malformed byte is an error.
bool NextCodePoint(std::string_view s, std::size_t& i, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t extra = 0;
    if (lead >= 0xF0 && lead <= 0xF4)
        extra = 3;
    else if (lead >= 0xE0 && lead < 0xF0)
        extra = 2;
    else if (lead >= 0xC2 && lead < 0xE0)
        extra = 1;
    else if (lead >= 0x80)
        return false;
    if (s.size() - i <= extra) return false;
    cp = extra == 0 ? lead : static_cast<char32_t>(lead & (0x3F >> extra));
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    i += extra + 1;
    return true;
}

bool Inline(Writer& w, std::string_view text) {
    bool bold = false, italic = false, link = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view rest = text.substr(i);
        if (rest.size() >= 2 && rest[0] == '\\' && (rest[1] == '*' || rest[1] == '<' || rest[1] == '\\')) {
            w.Character(static_cast<unsigned char>(rest[1]));
            i += 2;
        } else if (rest.starts_with("**")) {
            w.Token((bold = !bold) ? "\\b " : "\\b0 ");
            i += 2;
        } else if (rest[0] == '*') {
            w.Token((italic = !italic) ? "\\i " : "\\i0 ");
            ++i;
        } else if (rest[0] == '<' && !link) {
            w.Token("{\\ul\\cf2 ");
            link = true;
            ++i;
        } else if (rest[0] == '>' && link) {
            w.Token("}");
            link = false;
            ++i;
        } else {
            char32_t cp = 0;
            if (!NextCodePoint(text, i, cp)) return false;
            w.Character(cp);
        }
    }
    return !bold && !italic && !link;
}

bool Line(Writer& w, std::string_view line) {
    auto starts = [&](std::string_view p) { return line.starts_with(p); };
    std::size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;

    if (starts("### ")) {
        w.Token("\\pard\\sb160\\sa60\\plain\\f0\\fs22\\b ");
        line.remove_prefix(4);
    } else if (starts("## ")) {
        w.Token("\\pard\\sb280\\sa100\\plain\\f0\\fs26\\b\\cf1 ");
        line.remove_prefix(3);
    } else if (starts("# ")) {
        w.Token("\\pard\\qc\\sb60\\sa200\\plain\\f1\\fs36\\b\\cf1 ");
        line.remove_prefix(2);
    } else if (starts("- ")) {
        w.Token(std::string(kListItem) + std::string(kBody) + "\\'95\\tab ");
        line.remove_prefix(2);
    } else if (digits > 0 && line.substr(digits).starts_with(". ")) {
        w.Token(std::string(kListItem) + std::string(kBody) + std::string(line.substr(0, digits)) + ".\\tab ");
        line.remove_prefix(digits + 2);
    } else if (starts(">> ")) {
        w.Token("\\pard\\qc\\sb360\\sa80" + std::string(kBody));
        line.remove_prefix(3);
    } else if (starts("> ")) {
        w.Token("\\pard\\qc\\sb120\\sa80" + std::string(kBody));
        line.remove_prefix(2);
    } else if (starts("  ")) {
        w.Token("\\pard\\li567\\sa80" + std::string(kBody));
        line.remove_prefix(2);
    } else {
        w.Token("\\pard\\sb60\\sa100" + std::string(kBody));
    }
    if (!Inline(w, line)) return false;
    w.EndParagraph();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: rtf_compose INPUT.txt OUTPUT.rtf\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "rtf_compose: cannot read " << argv[1] << '\n';
        return 1;
    }
    const std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    Writer w;
    w.Raw(kHeader);
    std::size_t number = 0;
    for (std::size_t start = 0; start < source.size();) {
        std::size_t end = source.find('\n', start);
        if (end == std::string::npos) end = source.size();
        std::string_view line(source.data() + start, end - start);
        start = end + 1;
        ++number;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.find_first_not_of(' ') == std::string_view::npos) continue;
        if (!Line(w, line)) {
            std::cerr << "rtf_compose: " << argv[1] << ':' << number << ": bad UTF-8 or unclosed ** * <\n";
            return 1;
        }
    }
    w.Raw("}\r\n");

    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << w.Out();
    if (!out.flush()) {
        std::cerr << "rtf_compose: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
