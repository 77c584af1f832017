#include "rtf/RtfReader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "text/Cp1251.h"

namespace rtf {
namespace {

constexpr std::string_view kSignature = "{\\rtf";

// Bounds on what the input may ask for; sizes and lengths as Word limits them.
constexpr std::size_t kMaxWordLength = 32;
constexpr std::int64_t kMaxParameter = 0x7FFFFFFF;
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxTwips = 31680;
constexpr int kMinTabWidth = 20;
constexpr int kMaxUnicodeSkip = 16;
constexpr std::size_t kMaxTabStops = 32;
// Runs copy the font name, so a long one must not multiply.
constexpr std::size_t kMaxFontNameBytes = 96;

constexpr char32_t kReplacement = 0xFFFD;

// Destinations this reader does not show. A group that starts with \* is
// skipped as well, whatever its word.
// clang-format off
constexpr std::string_view kSkippedDestinations[] = {
    "aftncn", "aftnsep", "aftnsepc", "annotation", "atnauthor", "atnid", "bkmkend",
    "bkmkstart", "colorschememapping", "datafield", "datastore", "docvar", "falt", "filetbl",
    "fldinst", "footer", "footerf", "footerl", "footerr", "footnote", "ftncn", "ftnsep",
    "ftnsepc", "generator", "header", "headerf", "headerl", "headerr", "info", "latentstyles",
    "listoverridetable", "listtable", "mmathPr", "nonshppict", "object", "objdata", "panose",
    "pgdsctbl", "pict", "pn", "private", "revtbl", "rsidtbl", "rxe", "shp", "shpinst",
    "stylesheet", "tc", "template", "themedata", "txe", "userprops", "xe", "xmlnstbl",
};
// clang-format on

enum class Destination { Text, FontTable, ColorTable, Skipped };

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int font = -1;   // -1: the document's default font (\deff)
    int color = -1;  // -1: no \cf, the view's colour
};

struct State {
    Destination destination = Destination::Text;
    CharState chars;
    Paragraph paragraph;  // formatting only; its runs stay empty
    int unicodeSkip = 1;
};

struct Font {
    std::string name;
    FontFamily family = FontFamily::Unknown;
};

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Control characters other than the tab have no place in displayed text.
bool IsShown(char32_t cp) { return cp >= 0x20 || cp == '\t'; }

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

class Reader {
public:
    explicit Reader(std::span<const unsigned char> in) : m_in(in) {}

    Document Read() {
        while (m_pos < m_in.size() && !m_done) {
            const unsigned char c = m_in[m_pos];
            if (c == '{') {
                ++m_pos;
                OpenGroup();
            } else if (c == '}') {
                ++m_pos;
                CloseGroup();
            } else if (c == '\\') {
                ReadControl();
            } else {
                ++m_pos;
                ReadByte(c);
            }
        }
        if (!m_done && !m_stack.empty()) EndDocument();
        return std::move(m_doc);
    }

private:
    State& Top() { return m_stack.back(); }

    bool Skipping() const {
        return m_skipDepth > 0 || m_stack.empty() || m_stack.back().destination == Destination::Skipped;
    }

    // Counting groups instead of pushing them keeps skipped and too deep
    // nesting at no cost.
    void OpenGroup() {
        m_pendingSkip = 0;
        m_formatChanged = true;
        if (m_stack.empty()) {
            m_stack.emplace_back();
        } else if (Skipping()) {
            ++m_skipDepth;
        } else if (m_stack.size() >= kMaxGroupDepth) {
            m_skipDepth = 1;
        } else {
            m_stack.push_back(Top());
        }
    }

    void CloseGroup() {
        m_pendingSkip = 0;
        m_formatChanged = true;
        if (m_skipDepth > 0) {
            --m_skipDepth;
            return;
        }
        if (m_stack.empty()) return;
        if (Top().destination == Destination::FontTable) CommitFont();
        if (m_stack.size() == 1) {
            EndDocument();
            return;
        }
        m_stack.pop_back();
    }

    void EndDocument() {
        if (!m_current.runs.empty()) EndParagraph();
        m_done = true;
    }

    void ReadControl() {
        ++m_pos;  // the backslash
        if (m_pos >= m_in.size()) return;
        const unsigned char c = m_in[m_pos];
        if (IsLetter(c)) {
            const std::size_t start = m_pos;
            while (m_pos < m_in.size() && IsLetter(m_in[m_pos])) ++m_pos;
            const std::string_view word(reinterpret_cast<const char*>(&m_in[start]), m_pos - start);
            bool negative = false;
            if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && IsDigit(m_in[m_pos + 1])) {
                negative = true;
                ++m_pos;
            }
            std::optional<std::int64_t> parameter;
            while (m_pos < m_in.size() && IsDigit(m_in[m_pos])) {
                const std::int64_t value = parameter.value_or(0) * 10 + (m_in[m_pos++] - '0');
                parameter = std::min(value, kMaxParameter);
            }
            if (parameter && negative) parameter = -*parameter;
            if (m_pos < m_in.size() && m_in[m_pos] == ' ') ++m_pos;
            if (word.size() <= kMaxWordLength) Word(word, parameter);
            return;
        }
        ++m_pos;
        if (c == '\'') {
            int value = 0, digits = 0;
            while (digits < 2 && m_pos < m_in.size() && HexValue(m_in[m_pos]) >= 0) {
                value = value * 16 + HexValue(m_in[m_pos++]);
                ++digits;
            }
            if (digits > 0) ReadByte(static_cast<unsigned char>(value), true);
            return;
        }
        Symbol(c);
    }

    // A byte of text, raw or from \'hh; only raw line ends are layout.
    void ReadByte(unsigned char b, bool escaped = false) {
        if (!escaped && (b == '\r' || b == '\n')) return;
        if (Skipping()) return;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        const char32_t cp = cp1251::ToCodePoint(b);
        switch (Top().destination) {
            case Destination::Text:
                AppendText(cp);
                break;
            case Destination::FontTable:
                if (cp == ';')
                    CommitFont();
                else
                    AppendFontName(cp);
                break;
            case Destination::ColorTable:
                if (cp == ';') CommitColor();
                break;
            case Destination::Skipped:
                break;
        }
    }

    void Symbol(unsigned char c) {
        if (Skipping()) return;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        switch (c) {
            case '\\':
            case '{':
            case '}':
                ReadByte(c, true);
                break;
            case '~':
                Special(0x00A0);
                break;
            case '_':
                Special(0x2011);
                break;
            case '*':
                Top().destination = Destination::Skipped;
                break;
            case '\r':
            case '\n':
                if (Top().destination == Destination::Text) EndParagraph();
                break;
            default:  // \- optional hyphen, \| \: index marks, and the unknown
                break;
        }
    }

    void Special(char32_t cp) {
        if (Top().destination == Destination::Text) AppendText(cp);
    }

    static int Clamp(std::optional<std::int64_t> p, int fallback, int lo, int hi) {
        return static_cast<int>(std::clamp<std::int64_t>(p.value_or(fallback), lo, hi));
    }

    void Word(std::string_view w, std::optional<std::int64_t> p) {
        if (w == "bin") {  // binary data is skipped wherever it stands
            SkipBinary(p.value_or(0));
            if (m_pendingSkip > 0) --m_pendingSkip;
            return;
        }
        if (Skipping()) return;
        // A \u without its fallback must not be taken for the previous one's.
        if (m_pendingSkip > 0 && w != "u") {
            --m_pendingSkip;
            return;
        }
        m_formatChanged = true;
        State& s = Top();
        CharState& ch = s.chars;
        Paragraph& para = s.paragraph;
        const bool on = p.value_or(1) != 0;

        if (w == "fonttbl") {
            s.destination = Destination::FontTable;
            m_entry = {};
            m_entryNumber = 0;
        } else if (w == "colortbl") {
            s.destination = Destination::ColorTable;
            m_entryColor = {};
            m_entryHasColor = false;
        } else if (std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), w) !=
                   std::end(kSkippedDestinations)) {
            s.destination = Destination::Skipped;
        } else if (s.destination == Destination::FontTable) {
            FontTableWord(w, p);
        } else if (s.destination == Destination::ColorTable) {
            if (w == "red") m_entryColor.red = static_cast<std::uint8_t>(Clamp(p, 0, 0, 255));
            if (w == "green") m_entryColor.green = static_cast<std::uint8_t>(Clamp(p, 0, 0, 255));
            if (w == "blue") m_entryColor.blue = static_cast<std::uint8_t>(Clamp(p, 0, 0, 255));
            if (w == "red" || w == "green" || w == "blue") m_entryHasColor = true;
        } else if (w == "par" || w == "sect" || w == "page" || w == "row") {
            EndParagraph();
        } else if (w == "line") {
            AppendRaw("\n");
        } else if (w == "tab" || w == "cell") {
            AppendRaw("\t");
        } else if (w == "u") {
            Unicode(p.value_or(0));
        } else if (w == "uc") {
            s.unicodeSkip = Clamp(p, 1, 0, kMaxUnicodeSkip);
        } else if (w == "b") {
            ch.bold = on;
        } else if (w == "i") {
            ch.italic = on;
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "ulth" || w == "uldash" ||
                   w == "ulwave") {
            ch.underline = on;
        } else if (w == "ulnone") {
            ch.underline = false;
        } else if (w == "fs") {
            ch.halfPoints = Clamp(p, 24, kMinHalfPoints, kMaxHalfPoints);
        } else if (w == "f") {
            ch.font = Clamp(p, 0, 0, kMaxParameter);
        } else if (w == "cf") {
            ch.color = Clamp(p, 0, 0, kMaxParameter);
        } else if (w == "plain") {
            ch = CharState{};
        } else if (w == "pard") {
            para = Paragraph{};
        } else if (w == "ql") {
            para.alignment = Alignment::Left;
        } else if (w == "qc") {
            para.alignment = Alignment::Center;
        } else if (w == "qr") {
            para.alignment = Alignment::Right;
        } else if (w == "qj") {
            para.alignment = Alignment::Justify;
        } else if (w == "li") {
            para.leftIndent = Clamp(p, 0, -kMaxTwips, kMaxTwips);
        } else if (w == "ri") {
            para.rightIndent = Clamp(p, 0, -kMaxTwips, kMaxTwips);
        } else if (w == "fi") {
            para.firstLineIndent = Clamp(p, 0, -kMaxTwips, kMaxTwips);
        } else if (w == "sb") {
            para.spaceBefore = Clamp(p, 0, 0, kMaxTwips);
        } else if (w == "sa") {
            para.spaceAfter = Clamp(p, 0, 0, kMaxTwips);
        } else if (w == "tx") {
            AddTabStop(para.tabStops, Clamp(p, 0, 0, kMaxTwips));
        } else if (w == "deff") {
            m_defaultFont = Clamp(p, 0, 0, kMaxParameter);
        } else if (w == "deftab") {
            m_doc.defaultTabWidth = Clamp(p, 720, kMinTabWidth, kMaxTwips);
        } else if (w == "emdash") {
            AppendText(0x2014);
        } else if (w == "endash") {
            AppendText(0x2013);
        } else if (w == "bullet") {
            AppendText(0x2022);
        } else if (w == "lquote") {
            AppendText(0x2018);
        } else if (w == "rquote") {
            AppendText(0x2019);
        } else if (w == "ldblquote") {
            AppendText(0x201C);
        } else if (w == "rdblquote") {
            AppendText(0x201D);
        } else if (w == "enspace") {
            AppendText(0x2002);
        } else if (w == "emspace") {
            AppendText(0x2003);
        }
    }

    void FontTableWord(std::string_view w, std::optional<std::int64_t> p) {
        static constexpr std::pair<std::string_view, FontFamily> kFamilies[] = {
            {"fnil", FontFamily::Unknown},    {"froman", FontFamily::Roman},   {"fswiss", FontFamily::Swiss},
            {"fmodern", FontFamily::Modern},  {"fscript", FontFamily::Script}, {"fdecor", FontFamily::Decorative},
            {"ftech", FontFamily::Technical},
        };
        if (w == "f") {
            m_entryNumber = Clamp(p, 0, 0, kMaxParameter);
        } else if (w == "u") {
            const char32_t cp = Unicode16(p.value_or(0));
            AppendFontName(cp >= 0xD800 && cp <= 0xDFFF ? kReplacement : cp);
            m_pendingSkip = Top().unicodeSkip;
        } else {
            for (const auto& [name, family] : kFamilies)
                if (w == name) m_entry.family = family;
        }
    }

    static void AddTabStop(std::vector<int>& stops, int position) {
        const auto at = std::lower_bound(stops.begin(), stops.end(), position);
        if (at != stops.end() && *at == position) return;
        if (stops.size() >= kMaxTabStops) return;
        stops.insert(at, position);
    }

    void SkipBinary(std::int64_t count) {
        const auto left = static_cast<std::int64_t>(m_in.size() - m_pos);
        m_pos += static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, left));
    }

    // \u takes a signed 16-bit value; a surrogate pair arrives as two \u.
    static char32_t Unicode16(std::int64_t value) {
        if (value < 0) value += 0x10000;
        if (value < 0 || value > 0xFFFF) return kReplacement;
        return static_cast<char32_t>(value);
    }

    void Unicode(std::int64_t value) {
        char32_t cp = Unicode16(value);
        const bool high = cp >= 0xD800 && cp <= 0xDBFF;
        const bool low = cp >= 0xDC00 && cp <= 0xDFFF;
        if (low && m_highSurrogate) {
            const char32_t pair = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (cp - 0xDC00);
            m_highSurrogate = 0;
            AppendText(pair);
        } else if (high) {
            FlushSurrogate();
            m_highSurrogate = cp;
        } else {
            AppendText(low ? kReplacement : cp);
        }
        m_pendingSkip = Top().unicodeSkip;
    }

    void AppendFontName(char32_t cp) {
        if (!IsShown(cp) || cp == '\t') return;
        std::string bytes;
        cp1251::AppendUtf8(bytes, cp);
        if (m_entry.name.size() + bytes.size() <= kMaxFontNameBytes) m_entry.name += bytes;
    }

    void CommitFont() {
        m_entry.name = Trim(m_entry.name);
        if (!m_entry.name.empty()) m_fonts[m_entryNumber] = m_entry;
        m_entry = {};
    }

    void CommitColor() {
        m_colors.push_back(m_entryHasColor ? std::optional<Color>(m_entryColor) : std::nullopt);
        m_entryColor = {};
        m_entryHasColor = false;
    }

    CharFormat CurrentFormat() const {
        const CharState& ch = m_stack.back().chars;
        CharFormat f;
        f.bold = ch.bold;
        f.italic = ch.italic;
        f.underline = ch.underline;
        f.halfPoints = ch.halfPoints;
        const auto font = m_fonts.find(ch.font >= 0 ? ch.font : m_defaultFont);
        if (font != m_fonts.end()) {
            f.fontName = font->second.name;
            f.fontFamily = font->second.family;
        }
        if (ch.color >= 0 && static_cast<std::size_t>(ch.color) < m_colors.size())
            f.color = m_colors[static_cast<std::size_t>(ch.color)];
        return f;
    }

    void AppendText(char32_t cp) {
        if (!IsShown(cp)) return;
        std::string bytes;
        cp1251::AppendUtf8(bytes, cp);
        AppendRaw(bytes);
    }

    // A high surrogate that no low one follows shows as the replacement.
    void FlushSurrogate() {
        if (!m_highSurrogate) return;
        m_highSurrogate = 0;
        AppendText(kReplacement);
    }

    // Text already checked; joins the last run while the format is unchanged.
    void AppendRaw(std::string_view utf8) {
        if (Top().destination != Destination::Text) return;
        FlushSurrogate();
        auto& runs = m_current.runs;
        if (runs.empty() || m_formatChanged) {
            CharFormat format = CurrentFormat();
            if (runs.empty() || !(runs.back().format == format)) runs.push_back(Run{{}, std::move(format)});
            m_formatChanged = false;
        }
        runs.back().text += utf8;
    }

    void EndParagraph() {
        FlushSurrogate();
        const Paragraph& format = Top().paragraph;
        m_current.alignment = format.alignment;
        m_current.leftIndent = format.leftIndent;
        m_current.rightIndent = format.rightIndent;
        m_current.firstLineIndent = format.firstLineIndent;
        m_current.spaceBefore = format.spaceBefore;
        m_current.spaceAfter = format.spaceAfter;
        m_current.tabStops = format.tabStops;
        m_doc.paragraphs.push_back(std::move(m_current));
        m_current = Paragraph{};
    }

    std::span<const unsigned char> m_in;
    std::size_t m_pos = 0;
    bool m_done = false;
    std::vector<State> m_stack;
    std::size_t m_skipDepth = 0;  // groups inside a skipped one, or too deep
    int m_pendingSkip = 0;        // fallback characters still to drop after \u
    char32_t m_highSurrogate = 0;
    bool m_formatChanged = true;

    std::map<int, Font> m_fonts;
    int m_defaultFont = 0;
    Font m_entry;
    int m_entryNumber = 0;
    std::vector<std::optional<Color>> m_colors;
    Color m_entryColor;
    bool m_entryHasColor = false;

    Document m_doc;
    Paragraph m_current;
};

// What a rich-edit control does with text that is not RTF: lines as
// paragraphs, bytes as Windows-1251.
Document ReadPlainText(std::span<const unsigned char> in) {
    Document doc;
    std::string line;
    bool pending = false;
    auto endLine = [&] {
        Paragraph p;
        if (!line.empty()) p.runs.push_back(Run{std::move(line), CharFormat{}});
        doc.paragraphs.push_back(std::move(p));
        line.clear();
        pending = false;
    };
    for (std::size_t i = 0; i < in.size(); ++i) {
        const unsigned char b = in[i];
        if (b == '\r' || b == '\n') {
            if (b == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
            endLine();
            continue;
        }
        const char32_t cp = cp1251::ToCodePoint(b);
        if (IsShown(cp)) cp1251::AppendUtf8(line, cp);
        pending = true;
    }
    if (pending) endLine();
    return doc;
}

}  // namespace

std::string Paragraph::PlainText() const {
    std::string text;
    for (const Run& run : runs) text += run.text;
    return text;
}

std::string Document::PlainText() const {
    std::string text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) text += '\n';
        text += paragraphs[i].PlainText();
    }
    return text;
}

Document ReadRtf(std::span<const unsigned char> bytes) {
    const std::string_view head(reinterpret_cast<const char*>(bytes.data()), std::min(bytes.size(), kSignature.size()));
    if (head != kSignature) return ReadPlainText(bytes);
    return Reader(bytes).Read();
}

Document ReadRtf(std::string_view bytes) {
    return ReadRtf(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

}  // namespace rtf
