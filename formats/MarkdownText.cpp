// CommonMark in which every character of the user's shows as itself: what
// could be markup is escaped, emphasis that CommonMark would not take is
// left out rather than shown as asterisks.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "formats/ReleaseWriter.h"

namespace {

// ASCII punctuation and the typographic marks of Russian text: next to
// these, CommonMark's rules for "*" change.
bool IsPunctuation(std::string_view text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || c >= '{';
    for (const std::string_view mark : {"«", "»", "—", "–", "…", "„", "“", "”", "‘", "’"})
        if (text.substr(at, mark.size()) == mark) return true;
    return false;
}

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Inline markup, anywhere on a line.
constexpr std::array<bool, 256> kEscapedAnywhere = [] {
    std::array<bool, 256> table{};
    for (const char c : std::string_view("\\`*_[]<&")) table[static_cast<unsigned char>(c)] = true;
    return table;
}();
bool EscapedAnywhere(char c) { return kEscapedAnywhere[static_cast<unsigned char>(c)]; }
// Block markup, at a line's start only.
bool EscapedAtLineStart(char c) { return c == '#' || c == '>' || c == '-' || c == '+' || c == '=' || c == '~'; }

class MarkdownWriter : public ReleaseWriter {
public:
    using ReleaseWriter::ReleaseWriter;

protected:
    // "#" for the plug-in's name, "##" for the sections; a blank line after.
    void Heading(std::string_view text, bool first) override {
        if (!first) m_out += '\n';
        m_out += first ? "#" : "##";
        if (!text.empty()) {
            m_out += ' ';
            m_lineStart = true;
            m_inHeading = true;
            Chars(text);
            m_inHeading = false;
        }
        m_out += "\n\n";
        m_lineStart = true;
    }
    void EndSection() override {
        while (!m_out.empty() && m_out.back() == ' ') m_out.pop_back();
        if (!m_out.empty() && m_out.back() != '\n') m_out += '\n';
        m_lineStart = true;
    }
    void Chars(std::string_view text) override {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (m_lineStart) {
                if (c == ' ' || c == '\t') continue;  // four would make code
                m_lineStart = false;
                m_digits = c >= '0' && c <= '9';
                if (EscapedAtLineStart(c) || EscapedAnywhere(c)) {
                    m_out += '\\';
                    m_out += c;
                    continue;
                }
                m_out += c;
                continue;
            }
            if (m_digits && (c == '.' || c == ')')) {
                m_out += '\\';  // "1." would start a list
                m_digits = false;
            } else if (m_digits && !(c >= '0' && c <= '9')) {
                m_digits = false;
            }
            const bool escaped = EscapedAnywhere(c) || (m_inHeading && c == '#');
            if (!escaped && !m_digits) {
                const std::size_t end = PlainRunEnd(text, i + 1);
                m_out.append(text, i, end - i);
                i = end - 1;
                continue;
            }
            if (escaped) m_out += '\\';
            m_out += c;
        }
    }
    // One break: a hard line break; more: a new paragraph.
    void Breaks(int count, bool item) override {
        while (!m_out.empty() && m_out.back() == ' ') m_out.pop_back();
        m_out += count > 1 ? "\n\n" : (item ? "\n" : "\\\n");
        m_lineStart = true;
    }
    void OpenInline(Inline kind, std::string_view) override {
        m_open.push_back(m_out.size());
        if (kind == Inline::Link) m_out += '[';
        if (kind == Inline::Bold) m_out += "**";
        if (kind == Inline::Italic) m_out += '*';
    }
    void CloseInline(Inline kind, std::string_view target) override {
        const std::size_t at = m_open.back();
        m_open.pop_back();
        if (kind == Inline::Link) {
            m_out += "](";
            AppendDestination(target);
            m_out += ')';
            return;
        }
        if (kind != Inline::Bold && kind != Inline::Italic) return;
        const std::size_t mark = kind == Inline::Bold ? 2 : 1;
        const std::size_t first = at + mark;
        std::size_t last = m_out.size();
        while (last > first && IsUtf8Continuation(m_out[last - 1])) --last;
        if (last <= first) {
            m_out.erase(at, mark);
            return;
        }
        // Emphasis opens and closes only beside a letter here, or beside the
        // delimiter of an inner one (the user's own "*" is "\*").
        const bool innerOpens = m_out[first] == '*';
        const bool innerCloses = m_out[last - 1] == '*' && last - 1 > first && m_out[last - 2] != '\\';
        if (IsBlankByte(m_out[first]) || IsBlankByte(m_out[last - 1]) || (IsPunctuation(m_out, first) && !innerOpens) ||
            (IsPunctuation(m_out, last - 1) && !innerCloses)) {
            m_out.erase(at, mark);
            return;
        }
        m_out.append(mark, '*');
    }
    void Image(std::string_view source) override {
        m_out += "![](";
        AppendDestination(source);
        m_out += ')';
        m_lineStart = false;
    }
    void Item(bool ordered, int number) override {
        m_out += ordered ? std::to_string(number) + ". " : "- ";
        m_lineStart = true;
    }
    bool InlineEndsAtParagraph() const override { return true; }
    int ListGap() const override { return 2; }
    bool KeepsIndent() const override { return false; }

private:
    // Where the bytes that need no escape end: this is the writer's inner
    // loop, so sixteen bytes are compared at once in the compiler's vectors.
    std::size_t PlainRunEnd(std::string_view text, std::size_t at) const {
        const char hash = m_inHeading ? '#' : '\\';
        using Bytes = char __attribute__((vector_size(16)));
        for (; at + sizeof(Bytes) <= text.size(); at += sizeof(Bytes)) {
            Bytes v;
            std::memcpy(&v, text.data() + at, sizeof v);
            const Bytes hit = (v == '\\') | (v == '`') | (v == '*') | (v == '_') | (v == '[') | (v == ']') |
                              (v == '<') | (v == '&') | (v == hash);
            std::uint64_t halves[2];
            std::memcpy(halves, &hit, sizeof halves);
            if ((halves[0] | halves[1]) != 0) break;
        }
        while (at < text.size() && !EscapedAnywhere(text[at]) && text[at] != hash) ++at;
        return at;
    }

    // A link's or image's address, percent-encoded where CommonMark would
    // read it otherwise.
    void AppendDestination(std::string_view url) {
        AppendPercentEncoded(m_out, url, "<>()\\");
        m_lineStart = false;
    }

    std::vector<std::size_t> m_open;
    bool m_lineStart = true;
    bool m_digits = false;
    bool m_inHeading = false;
};

}  // namespace

std::string BuildMarkdownUtf8(const ReadmeForm& form, const TemplatePackage& package) {
    return MarkdownWriter(package).Build(form);
}
