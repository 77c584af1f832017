#pragma once
// What the RTF reader makes of a document: paragraphs of formatted runs, for
// display. Texts are UTF-8. Lengths are in twips (1/20 point), as in RTF.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rtf {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Color&) const = default;
};

// The font table's generic family (\froman, \fswiss ...): a hint for a view
// that lacks the named font.
enum class FontFamily { Unknown, Roman, Swiss, Modern, Script, Decorative, Technical };

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;   // \fs
    std::string fontName;  // empty: the view's default font
    FontFamily fontFamily = FontFamily::Unknown;
    std::optional<Color> color;  // none: the view's text colour
    bool operator==(const CharFormat&) const = default;
};

// In a run's text '\t' stands for a tab and '\n' for a line break that does
// not end the paragraph (\line).
struct Run {
    std::string text;
    CharFormat format;
    bool operator==(const Run&) const = default;
};

enum class Alignment { Left, Center, Right, Justify };

struct Paragraph {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;  // relative to leftIndent; negative for a hanging indent
    int spaceBefore = 0;
    int spaceAfter = 0;
    std::vector<int> tabStops;  // ascending positions from the left margin
    std::vector<Run> runs;

    std::string PlainText() const;
};

struct Document {
    std::vector<Paragraph> paragraphs;
    int defaultTabWidth = 720;  // \deftab

    // The paragraphs' texts joined by '\n'.
    std::string PlainText() const;
};

}  // namespace rtf
