#include "formats/HtmlText.h"

#include <array>
#include <utility>

#include "text/Cp1251.h"

namespace htmltext {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool EqualsLower(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (Lower(text[i]) != lower[i]) return false;
    return true;
}

constexpr std::pair<std::string_view, TagKind> kTags[] = {
    {"b", TagKind::Bold},         {"strong", TagKind::Bold}, {"i", TagKind::Italic},
    {"em", TagKind::Italic},      {"u", TagKind::Underline}, {"s", TagKind::Strike},
    {"strike", TagKind::Strike},  {"a", TagKind::Link},      {"img", TagKind::Image},
    {"br", TagKind::Break},       {"p", TagKind::Paragraph}, {"ul", TagKind::UnorderedList},
    {"ol", TagKind::OrderedList}, {"li", TagKind::ListItem},
};

// The named entities of HTML 4 that a Russian readme meets, and XML's apos.
constexpr std::pair<std::string_view, char32_t> kEntities[] = {
    {"amp", '&'},       {"lt", '<'},        {"gt", '>'},        {"quot", '"'},     {"apos", '\''},
    {"nbsp", 0xA0},     {"iexcl", 0xA1},    {"cent", 0xA2},     {"pound", 0xA3},   {"curren", 0xA4},
    {"yen", 0xA5},      {"brvbar", 0xA6},   {"sect", 0xA7},     {"uml", 0xA8},     {"copy", 0xA9},
    {"ordf", 0xAA},     {"laquo", 0xAB},    {"not", 0xAC},      {"shy", 0xAD},     {"reg", 0xAE},
    {"macr", 0xAF},     {"deg", 0xB0},      {"plusmn", 0xB1},   {"sup2", 0xB2},    {"sup3", 0xB3},
    {"acute", 0xB4},    {"micro", 0xB5},    {"para", 0xB6},     {"middot", 0xB7},  {"cedil", 0xB8},
    {"sup1", 0xB9},     {"ordm", 0xBA},     {"raquo", 0xBB},    {"frac14", 0xBC},  {"frac12", 0xBD},
    {"frac34", 0xBE},   {"iquest", 0xBF},   {"times", 0xD7},    {"divide", 0xF7},  {"eacute", 0xE9},
    {"ensp", 0x2002},   {"emsp", 0x2003},   {"thinsp", 0x2009}, {"ndash", 0x2013}, {"mdash", 0x2014},
    {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"sbquo", 0x201A},  {"ldquo", 0x201C}, {"rdquo", 0x201D},
    {"bdquo", 0x201E},  {"dagger", 0x2020}, {"Dagger", 0x2021}, {"bull", 0x2022},  {"hellip", 0x2026},
    {"permil", 0x2030}, {"lsaquo", 0x2039}, {"rsaquo", 0x203A}, {"euro", 0x20AC},  {"trade", 0x2122},
    {"larr", 0x2190},   {"uarr", 0x2191},   {"rarr", 0x2192},   {"darr", 0x2193},  {"harr", 0x2194},
    {"minus", 0x2212},  {"infin", 0x221E},  {"ne", 0x2260},     {"le", 0x2264},    {"ge", 0x2265},
};

// A quoted or bare attribute value at html[i]; false when malformed.
bool ReadValue(std::string_view html, std::size_t& i, std::string_view& value) {
    if (i >= html.size()) return false;
    const char quote = html[i];
    if (quote == '"' || quote == '\'') {
        const std::size_t end = html.find(quote, i + 1);
        if (end == std::string_view::npos) return false;
        value = html.substr(i + 1, end - i - 1);
        i = end + 1;
        return true;
    }
    const std::size_t start = i;
    while (i < html.size() && !IsSpace(html[i]) && html[i] != '>' && html[i] != '<' && html[i] != '"' &&
           html[i] != '\'' && html[i] != '=')
        ++i;
    value = html.substr(start, i - start);
    return i > start;
}

}  // namespace

Tag ReadTag(std::string_view html, std::size_t at) {
    Tag tag;
    std::size_t i = at + 1;
    if (i < html.size() && html[i] == '/') tag.closing = true, ++i;
    const std::size_t nameStart = i;
    if (i >= html.size() || !IsAlpha(html[i])) return {};
    while (i < html.size() && (IsAlpha(html[i]) || IsDigit(html[i]))) ++i;
    const std::string_view name = html.substr(nameStart, i - nameStart);
    for (const auto& [known, kind] : kTags)
        if (EqualsLower(name, known)) tag.kind = kind;
    const std::string_view wanted =
        tag.kind == TagKind::Link ? "href" : (tag.kind == TagKind::Image ? "src" : std::string_view());
    while (true) {
        const std::size_t before = i;
        while (i < html.size() && IsSpace(html[i])) ++i;
        if (i >= html.size()) return {};
        if (html[i] == '>') break;
        if (html[i] == '/' && i + 1 < html.size() && html[i + 1] == '>') {
            ++i;
            break;
        }
        if (i == before) return {};  // an attribute needs a blank before it
        const std::size_t attrStart = i;
        while (i < html.size() && !IsSpace(html[i]) && html[i] != '>' && html[i] != '/' && html[i] != '=' &&
               html[i] != '<' && html[i] != '"' && html[i] != '\'')
            ++i;
        if (i == attrStart) return {};
        const std::string_view attr = html.substr(attrStart, i - attrStart);
        std::size_t j = i;
        while (j < html.size() && IsSpace(html[j])) ++j;
        if (j < html.size() && html[j] == '=') {
            ++j;
            while (j < html.size() && IsSpace(html[j])) ++j;
            std::string_view value;
            if (!ReadValue(html, j, value)) return {};
            if (!wanted.empty() && EqualsLower(attr, wanted)) tag.target = value;
            i = j;
        }
    }
    tag.length = i + 1 - at;
    return tag;
}

std::size_t ReadEntity(std::string_view html, std::size_t at, char32_t& cp) {
    constexpr std::size_t kLongest = 10;
    const std::size_t end = html.find(';', at + 1);
    if (end == std::string_view::npos || end - at > kLongest || end == at + 1) return 0;
    const std::string_view body = html.substr(at + 1, end - at - 1);
    if (body[0] != '#') {
        for (const auto& [name, value] : kEntities)
            if (name == body) {
                cp = value;
                return end + 1 - at;
            }
        return 0;
    }
    const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    char32_t value = 0;
    for (const char c : digits) {
        unsigned digit = 0;
        if (IsDigit(c))
            digit = static_cast<unsigned>(c - '0');
        else if (hex && Lower(c) >= 'a' && Lower(c) <= 'f')
            digit = static_cast<unsigned>(Lower(c) - 'a' + 10);
        else
            return 0;
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) return 0;
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    cp = value;
    return end + 1 - at;
}

std::string PlainText(std::string_view html) {
    std::string out;
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        char32_t cp = 0;
        std::size_t length = 0;
        if (c == '<' && (length = ReadTag(html, i).length) > 0) {
            i += length;
            continue;
        }
        if (c == '&' && (length = ReadEntity(html, i, cp)) > 0) {
            cp1251::AppendUtf8(out, cp);
            i += length;
            continue;
        }
        cp1251::AppendUtf8(out, IsSpace(c) ? U' ' : cp1251::ToCodePoint(static_cast<unsigned char>(c)));
        ++i;
    }
    return out;
}

}  // namespace htmltext
