#include "formats/ReleaseWriter.h"

#include <algorithm>

#include "readme/ReadmeHtml.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

using htmltext::TagKind;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// Neither markup, an entity, a line break nor a tab; a blank after the
// run's first byte is text.
bool IsPlainByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= ' ' && c != '<' && c != '&';
}

Inline InlineOf(TagKind kind) {
    switch (kind) {
        case TagKind::Bold:
            return Inline::Bold;
        case TagKind::Italic:
            return Inline::Italic;
        case TagKind::Underline:
            return Inline::Underline;
        case TagKind::Strike:
            return Inline::Strike;
        default:
            return Inline::Link;
    }
}

}  // namespace

std::string ReleaseWriter::Build(const ReadmeForm& form) {
    // UTF-8 takes two bytes for a Cyrillic letter, and the markup goes.
    m_out.reserve(ReadmeSizeEstimate(form, m_package) * 2);
    WriteReadmeSections(form, *this);
    return std::move(m_out);
}

void ReleaseWriter::Open(std::string_view heading) {
    Heading(htmltext::PlainText(heading), m_first);
    m_first = false;
    m_pending = 0;
    m_started = false;
    m_itemPending = false;
}

void ReleaseWriter::Close() {
    // Whatever the user left open ends with the section, so that every
    // format's marks stay balanced.
    while (!m_inline.empty()) {
        CloseInline(m_inline.back().kind, m_inline.back().target);
        m_inline.pop_back();
    }
    while (!m_lists.empty()) {
        m_lists.pop_back();
        List(false);
    }
    EndSection();
}

void ReleaseWriter::Fragment(std::string_view name) { Convert(m_package.Fragment(name), false); }

void ReleaseWriter::Screenshot(int index, std::string_view name) {
    if (index > 0) AtLeast(1);
    Flush();
    std::string source = "files/scrins/";
    // A file name is UTF-8; what is not stands as U+FFFD, as in the readme.
    if (cp1251::IsValidUtf8(name)) {
        source += name;
    } else {
        for (std::size_t i = 0; i < name.size();) {
            char32_t cp = 0;
            const std::size_t length = cp1251::DecodeUtf8(name, i, cp);
            if (length == 0) {
                cp1251::AppendUtf8(source, 0xFFFD);
                ++i;
            } else {
                source.append(name, i, length);
                i += length;
            }
        }
    }
    Image(source);
}

void ReleaseWriter::AtLeast(int breaks) {
    if (m_started) m_pending = std::max(m_pending, breaks);
}

void ReleaseWriter::Flush() {
    if (m_pending > 0) {
        const bool reopen = m_pending > 1 && InlineEndsAtParagraph() && !m_inline.empty();
        if (reopen)
            for (auto it = m_inline.rbegin(); it != m_inline.rend(); ++it) CloseInline(it->kind, it->target);
        Breaks(m_pending, m_itemPending);
        if (reopen)
            for (const OpenInlineTag& open : m_inline) OpenInline(open.kind, open.target);
        m_pending = 0;
    }
    if (m_itemPending) {
        m_itemPending = false;
        OpenList& list = m_lists.back();
        Item(list.ordered, list.next++);
    }
    m_started = true;
}

void ReleaseWriter::Text(std::string_view utf8) {
    if (utf8.empty()) return;
    Flush();
    Chars(utf8);
}

// Closes the innermost open tag of this kind, and opens again what was
// opened inside it, so that badly nested tags still come out nested.
void ReleaseWriter::CloseDownTo(Inline kind) {
    auto match = std::find_if(m_inline.rbegin(), m_inline.rend(), [&](const auto& o) { return o.kind == kind; });
    if (match == m_inline.rend()) return;
    const std::size_t at = m_inline.size() - 1 - static_cast<std::size_t>(match - m_inline.rbegin());
    for (std::size_t i = m_inline.size(); i-- > at;) CloseInline(m_inline[i].kind, m_inline[i].target);
    m_inline.erase(m_inline.begin() + static_cast<std::ptrdiff_t>(at));
    for (std::size_t i = at; i < m_inline.size(); ++i) OpenInline(m_inline[i].kind, m_inline[i].target);
}

// An item or a list ends what was opened in it, as a browser ends it.
void ReleaseWriter::CloseInsideList() {
    const std::size_t depth = std::min(m_lists.back().inlineDepth, m_inline.size());
    while (m_inline.size() > depth) {
        CloseInline(m_inline.back().kind, m_inline.back().target);
        m_inline.pop_back();
    }
}

void ReleaseWriter::Tag(const htmltext::Tag& tag) {
    switch (tag.kind) {
        case TagKind::Other:
            return;
        case TagKind::Break:
            if (!tag.closing) {
                // A break counts even at a body's start, where text follows.
                if (!m_started) Flush();
                ++m_pending;
            }
            return;
        case TagKind::Paragraph:
            AtLeast(2);
            return;
        case TagKind::Image:
            if (!tag.closing && !tag.target.empty()) {
                Flush();
                Image(htmltext::PlainText(tag.target));
            }
            return;
        case TagKind::UnorderedList:
        case TagKind::OrderedList:
            m_itemPending = false;
            if (tag.closing && m_lists.empty()) return;
            if (!ListTags()) {
                AtLeast(ListGap());
                if (tag.closing) {
                    CloseInsideList();
                    m_lists.pop_back();
                } else {
                    m_lists.push_back({tag.kind == TagKind::OrderedList, 1, m_inline.size()});
                }
                return;
            }
            AtLeast(1);
            if (m_started || tag.closing) Flush();
            if (tag.closing) {
                CloseInsideList();
                m_lists.pop_back();
                List(false);
            } else {
                m_lists.push_back({tag.kind == TagKind::OrderedList, 1, m_inline.size()});
                List(true);
            }
            m_started = true;
            AtLeast(1);
            return;
        case TagKind::ListItem:
            if (!tag.closing && !m_lists.empty()) {
                CloseInsideList();
                AtLeast(1);
                m_itemPending = true;
            }
            return;
        default:
            break;
    }
    const Inline kind = InlineOf(tag.kind);
    if (tag.closing) {
        CloseDownTo(kind);
        return;
    }
    // A link inside a link has no meaning in any of the formats.
    if (kind == Inline::Link && (tag.target.empty() || std::any_of(m_inline.begin(), m_inline.end(), [](const auto& o) {
                                     return o.kind == Inline::Link;
                                 })))
        return;
    Flush();
    m_inline.push_back({kind, kind == Inline::Link ? htmltext::PlainText(tag.target) : std::string()});
    OpenInline(kind, m_inline.back().target);
}

void ReleaseWriter::Convert(std::string_view html, bool typed) {
    const bool keepIndent = typed && KeepsIndent();
    m_run.clear();
    auto text = [&] {
        Text(m_run);
        m_run.clear();
    };
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '\r' || c == '\n') {
            if (typed) {
                text();
                if (!m_started) Flush();
                ++m_pending;
                i += (c == '\r' && i + 1 < html.size() && html[i + 1] == '\n') ? 2u : 1u;
                continue;
            }
        }
        // Blanks that would start a line are the markup's layout, not text.
        if ((IsBlank(c) || c == '\r' || c == '\n') && m_run.empty() && (!m_started || m_pending > 0) && !keepIndent) {
            ++i;
            continue;
        }
        if (c == '<') {
            const htmltext::Tag tag = htmltext::ReadTag(html, i);
            if (tag.length > 0) {
                text();
                Tag(tag);
                i += tag.length;
                continue;
            }
        }
        char32_t cp = 0;
        if (c == '&') {
            const std::size_t length = htmltext::ReadEntity(html, i, cp);
            if (length > 0) {
                if (!m_cp1251Runs)
                    cp1251::AppendUtf8(m_run, cp);
                else if (const int byte = cp1251::FromCodePoint(cp); byte >= 0)
                    m_run += static_cast<char>(byte);
                else
                    m_unencodable = true;
                i += length;
                continue;
            }
        }
        if (!typed && (c == '\r' || c == '\n' || c == '\t')) {
            m_run += ' ';
            ++i;
            continue;
        }
        // The run of bytes that need nothing but their UTF-8, converted whole.
        std::size_t end = i + 1;
        while (end < html.size() && IsPlainByte(html[end])) ++end;
        if (m_cp1251Runs)
            m_run.append(html, i, end - i);
        else
            cp1251::AppendToUtf8(m_run, html.substr(i, end - i));
        i = end;
    }
    text();
}
