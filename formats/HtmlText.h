#pragma once
// Reading the readme's HTML as the other texts need it: a tag's kind and its
// one attribute that matters, and the character an entity stands for. Both
// take a piece of Windows-1251 markup and a position, and say how much they
// read; 0 means the text there is no tag or entity and stays text.

#include <cstddef>
#include <string>
#include <string_view>

namespace htmltext {

enum class TagKind {
    Other,  // dropped, its text kept
    Bold,
    Italic,
    Underline,
    Strike,
    Link,
    Image,
    Break,
    Paragraph,
    UnorderedList,
    OrderedList,
    ListItem,
};

struct Tag {
    std::size_t length = 0;  // 0: no well-formed tag at this position
    TagKind kind = TagKind::Other;
    bool closing = false;
    // href of a link, src of an image, as written (entities not yet decoded).
    std::string_view target;
};

// The tag that starts at html[at], a '<'. Names and attributes are taken
// case-insensitively; a tag is whole only up to its '>'.
Tag ReadTag(std::string_view html, std::size_t at);

// The character reference or named entity at html[at], an '&', with its ';':
// the characters read (0 when none), cp set to its code point.
std::size_t ReadEntity(std::string_view html, std::size_t at, char32_t& cp);

// Markup as plain text in UTF-8: tags dropped, entities decoded, CR, LF and
// TAB as blanks. For headings and attribute values.
std::string PlainText(std::string_view html);

}  // namespace htmltext
