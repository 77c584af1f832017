#pragma once
// What the three other texts share: the readme's markup read as breaks,
// marks, links, images and lists, and a typed text's every line break kept.
// Each format says how it writes those; the sections come from the readme's
// own walk.

#include <string>
#include <string_view>
#include <vector>

#include "formats/HtmlText.h"
#include "readme/ReadmeSections.h"

class TemplatePackage;

inline bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// An address with the bytes a format would misread as %XX: controls and
// blanks always, and those named.
inline void AppendPercentEncoded(std::string& out, std::string_view url, std::string_view named) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    auto encoded = [&](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= ' ' || byte == 0x7F || named.find(c) != std::string_view::npos;
    };
    for (std::size_t i = 0; i < url.size();) {
        // Names are long and mostly need nothing: those runs go whole.
        std::size_t end = i;
        while (end < url.size() && (static_cast<unsigned char>(url[end]) >= 0x80 || !encoded(url[end]))) ++end;
        out.append(url, i, end - i);
        if (end == url.size()) break;
        const auto byte = static_cast<unsigned char>(url[end]);
        const char escape[] = {'%', kHex[byte >> 4], kHex[byte & 15]};
        out.append(escape, 3);
        i = end + 1;
    }
}

enum class Inline { Bold, Italic, Underline, Strike, Link };

class ReleaseWriter : public SectionWriter {
public:
    explicit ReleaseWriter(const TemplatePackage& package) : m_package(package) {}

    void Open(std::string_view heading) override;
    void Close() override;
    void Markup(std::string_view html) override { Convert(html, false); }
    void Fragment(std::string_view name) override;
    void UserText(std::string_view text) override { Convert(text, true); }
    void Screenshot(int index, std::string_view name) override;

    // The form's text in this format, UTF-8.
    std::string Build(const ReadmeForm& form);

protected:
    // Each appends to m_out. Text is UTF-8 throughout, but for Chars' below.
    virtual void Heading(std::string_view text, bool first) = 0;
    virtual void EndSection() = 0;
    virtual void Chars(std::string_view text) = 0;
    // count >= 1 line breaks; item: a list item's mark follows.
    virtual void Breaks(int count, bool item) = 0;
    virtual void OpenInline(Inline kind, std::string_view target) = 0;
    virtual void CloseInline(Inline kind, std::string_view target) = 0;
    virtual void Image(std::string_view source) = 0;
    // Only where ListTags() says the format writes its lists' own tags.
    virtual void List(bool open) { (void)open; }
    virtual void Item(bool ordered, int number) = 0;

    // Markdown: emphasis and links end at an empty line, and a list stands
    // apart from the text around it.
    virtual bool InlineEndsAtParagraph() const { return false; }
    virtual int ListGap() const { return 1; }
    virtual bool ListTags() const { return false; }
    // Blanks at a line's start, as the user typed them.
    virtual bool KeepsIndent() const { return true; }

    std::string m_out;
    // Runs of text reach Chars in Windows-1251 rather than UTF-8, and a
    // character that has no byte there sets m_unencodable instead.
    bool m_cp1251Runs = false;
    bool m_unencodable = false;

private:
    struct OpenInlineTag {
        Inline kind;
        std::string target;
    };
    struct OpenList {
        bool ordered;
        int next;
        std::size_t inlineDepth;  // what was open outside the list
    };

    void Convert(std::string_view html, bool typed);
    void Tag(const htmltext::Tag& tag);
    void Text(std::string_view utf8);
    void AtLeast(int breaks);
    void Flush();
    void CloseDownTo(Inline kind);
    void CloseInsideList();

    const TemplatePackage& m_package;
    std::vector<OpenInlineTag> m_inline;
    std::vector<OpenList> m_lists;
    int m_pending = 0;
    bool m_started = false;
    bool m_itemPending = false;
    bool m_first = true;
    std::string m_run;
};

// Markdown's writer lives in a file of its own.
std::string BuildMarkdownUtf8(const ReadmeForm& form, const TemplatePackage& package);
