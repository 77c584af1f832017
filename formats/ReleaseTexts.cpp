#include "formats/ReleaseTexts.h"

#include <algorithm>

#include "formats/ReleaseWriter.h"
#include "readme/ReadmeHtml.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

std::size_t CharCount(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return !IsUtf8Continuation(c); }));
}

void TrimBlanks(std::string& text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
}

// ReadMe.txt: headings underlined, "=" under the plug-in's name and "-"
// under the others; an empty line between sections; lines wrapped.
// Written in Windows-1251 when asked: the text's own bytes go over without
// a round trip through UTF-8, and Unencodable() tells when that was not enough.
class PlainTextWriter : public ReleaseWriter {
public:
    PlainTextWriter(const TemplatePackage& package, bool cp1251) : ReleaseWriter(package) { m_cp1251Runs = cp1251; }

    static constexpr std::size_t kWidth = 78;
    static constexpr std::string_view kEol = "\r\n";

    bool Unencodable() const { return m_unencodable; }

protected:
    void Heading(std::string_view text, bool first) override {
        if (!first) m_out += kEol;
        m_line.clear();
        AppendText(m_line, text);
        // An empty heading keeps a mark of its own, as the readme keeps its cell.
        const std::size_t width = std::clamp<std::size_t>(Wrap(), 1, kWidth);
        m_out.append(width, first ? '=' : '-');
        m_out += kEol;
    }
    void EndSection() override {
        if (!m_line.empty()) Wrap();
    }
    void Chars(std::string_view text) override { m_line += text; }
    void Breaks(int count, bool) override {
        Wrap();
        for (int i = 1; i < count; ++i) m_out += kEol;
    }
    void OpenInline(Inline kind, std::string_view) override {
        if (kind == Inline::Link) m_linkStart = m_line.size();
    }
    // A link shows its address after its text, unless the text is the address.
    void CloseInline(Inline kind, std::string_view target) override {
        if (kind != Inline::Link) return;
        std::string address;
        AppendText(address, target);
        if (m_linkStart <= m_line.size() && std::string_view(m_line).substr(m_linkStart) == address) return;
        m_line += " (";
        m_line += address;
        m_line += ')';
    }
    void Image(std::string_view source) override { AppendText(m_line, source); }
    void Item(bool ordered, int number) override { m_line += ordered ? std::to_string(number) + ". " : "- "; }

private:
    // A UTF-8 text in the writer's encoding.
    void AppendText(std::string& to, std::string_view utf8) {
        if (!m_cp1251Runs)
            to += utf8;
        else if (!cp1251::AppendStrictCp1251(to, utf8))
            m_unencodable = true;
    }
    bool StartsChar(char c) const { return m_cp1251Runs || !IsUtf8Continuation(c); }

    // Writes the line, wrapped on blanks, and empties it; the widest line's
    // length in characters.
    std::size_t Wrap() {
        TrimBlanks(m_line);
        const std::string_view line = m_line;
        if (line.empty()) m_out += kEol;
        // Most lines fit: counted at once, and written whole.
        if (const std::size_t count = m_cp1251Runs ? line.size() : CharCount(line); count <= kWidth && !line.empty()) {
            m_out += line;
            m_out += kEol;
            m_line.clear();
            return count;
        }
        std::size_t widest = 0;
        for (std::size_t start = 0; start < line.size();) {
            // The last blank that keeps the piece within the width, or the
            // first after a word that is longer on its own.
            std::size_t count = 0, cut = std::string_view::npos, cutCount = 0, i = start;
            for (; i < line.size(); ++i) {
                if (!StartsChar(line[i])) continue;
                if (line[i] == ' ' && i > start && line[i - 1] != ' ') {
                    if (count > kWidth) {
                        if (cut == std::string_view::npos) cut = i, cutCount = count;
                        break;
                    }
                    cut = i, cutCount = count;
                }
                ++count;
            }
            if ((i == line.size() && count <= kWidth) || cut == std::string_view::npos)
                cut = line.size(), cutCount = count;
            widest = std::max(widest, cutCount);
            m_out.append(line, start, cut - start);
            m_out += kEol;
            start = cut;
            while (start < line.size() && line[start] == ' ') ++start;
        }
        m_line.clear();
        return widest;
    }

    std::string m_line;
    std::size_t m_linkStart = 0;
};

// [b] headings on their own line, the other tags as the forums take them.
class BbcodeWriter : public ReleaseWriter {
public:
    using ReleaseWriter::ReleaseWriter;

protected:
    void Heading(std::string_view text, bool first) override {
        if (!first) m_out += '\n';
        m_out += "[b]";
        m_out += text;
        m_out += "[/b]\n";
    }
    void EndSection() override {
        TrimBlanks(m_out);
        if (!m_out.empty() && m_out.back() != '\n') m_out += '\n';
    }
    // A typed "[b]" would be read as a tag: a zero-width space after its
    // bracket keeps it text, and it still reads the same.
    void Chars(std::string_view text) override {
        for (std::size_t at; (at = text.find('[')) != std::string_view::npos;) {
            m_out.append(text.substr(0, at + 1));
            text.remove_prefix(at + 1);
            if (LooksLikeTag(text)) m_out += "\u200B";
        }
        m_out += text;
    }
    void Breaks(int count, bool) override {
        TrimBlanks(m_out);
        m_out.append(static_cast<std::size_t>(count), '\n');
    }
    void OpenInline(Inline kind, std::string_view target) override {
        if (kind == Inline::Link) {
            m_out += "[url=";
            AppendUrl(target);
            m_out += ']';
        } else {
            m_out += '[';
            m_out += Name(kind);
            m_out += ']';
        }
    }
    void CloseInline(Inline kind, std::string_view) override {
        m_out += "[/";
        m_out += Name(kind);
        m_out += ']';
    }
    void Image(std::string_view source) override {
        m_out += "[img]";
        AppendUrl(source);
        m_out += "[/img]";
    }
    void List(bool open) override { m_out += open ? "[list]" : "[/list]"; }
    bool ListTags() const override { return true; }
    void Item(bool, int) override { m_out += "[*]"; }

private:
    static bool LooksLikeTag(std::string_view after) {
        if (!after.empty() && after[0] == '/') after.remove_prefix(1);
        for (std::string_view name : {"b", "i", "u", "s", "url", "img", "list", "quote", "*"}) {
            if (after.size() <= name.size()) continue;
            bool same = true;
            for (std::size_t k = 0; k < name.size(); ++k) same = same && (after[k] | 0x20) == (name[k] | 0x20);
            const char next = after[name.size()];
            if (same && (next == ']' || next == '=')) return true;
        }
        return false;
    }
    static std::string_view Name(Inline kind) {
        switch (kind) {
            case Inline::Bold:
                return "b";
            case Inline::Italic:
                return "i";
            case Inline::Underline:
                return "u";
            case Inline::Strike:
                return "s";
            case Inline::Link:
                break;
        }
        return "url";
    }
    // Brackets and blanks would end the tag early.
    void AppendUrl(std::string_view url) { AppendPercentEncoded(m_out, url, "[]"); }
};

}  // namespace

namespace {

std::string PlainTextUtf8(const ReadmeForm& form, const TemplatePackage& package) {
    return PlainTextWriter(package, false).Build(form);
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

std::string BuildReadmeText(const ReadmeForm& form, const TemplatePackage& package) {
    PlainTextWriter writer(package, true);
    std::string bytes = writer.Build(form);
    if (!writer.Unencodable()) return bytes;
    bytes.assign(kUtf8Bom);
    bytes += PlainTextUtf8(form, package);
    return bytes;
}

std::string BuildReadmeBbcode(const ReadmeForm& form, const TemplatePackage& package) {
    return BbcodeWriter(package).Build(form);
}

std::string BuildReadmeMarkdown(const ReadmeForm& form, const TemplatePackage& package) {
    return BuildMarkdownUtf8(form, package);
}

std::string BuildRelease(ReleaseFormat format, const ReadmeForm& form, const TemplatePackage& package) {
    switch (format) {
        case ReleaseFormat::PlainText:
            return BuildReadmeText(form, package);
        case ReleaseFormat::BBCode:
            return BuildReadmeBbcode(form, package);
        case ReleaseFormat::Markdown:
            return BuildReadmeMarkdown(form, package);
        case ReleaseFormat::Readme:
            break;
    }
    return BuildReadmeHtml(form, package);
}

std::string ReleaseTextUtf8(ReleaseFormat format, const ReadmeForm& form, const TemplatePackage& package) {
    switch (format) {
        case ReleaseFormat::PlainText:
            return PlainTextUtf8(form, package);
        case ReleaseFormat::Readme:
            return cp1251::ToUtf8(BuildReadmeHtml(form, package));
        default:
            return BuildRelease(format, form, package);
    }
}

bool ReleaseFormatByName(std::string_view name, ReleaseFormat& format) {
    if (name == "htm")
        format = ReleaseFormat::Readme;
    else if (name == "txt")
        format = ReleaseFormat::PlainText;
    else if (name == "bbcode")
        format = ReleaseFormat::BBCode;
    else if (name == "md")
        format = ReleaseFormat::Markdown;
    else
        return false;
    return true;
}
