#include "platform/qt/RtfTextDocument.h"

#include <QChar>
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include "rtf/RtfReader.h"

namespace rtf {
namespace {

// Text documents lay out in pixels at 96 per inch; RTF counts 1440 twips.
qreal Pixels(int twips) { return twips / 15.0; }

Qt::Alignment ToQt(Alignment alignment) {
    switch (alignment) {
        case Alignment::Center:
            return Qt::AlignHCenter;
        case Alignment::Right:
            return Qt::AlignRight;
        case Alignment::Justify:
            return Qt::AlignJustify;
        case Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

QFont::StyleHint ToQt(FontFamily family) {
    switch (family) {
        case FontFamily::Roman:
            return QFont::Serif;
        case FontFamily::Swiss:
            return QFont::SansSerif;
        case FontFamily::Modern:
            return QFont::TypeWriter;
        case FontFamily::Script:
            return QFont::Cursive;
        case FontFamily::Decorative:
            return QFont::Decorative;
        case FontFamily::Technical:
        case FontFamily::Unknown:
            break;
    }
    return QFont::AnyStyle;
}

QTextBlockFormat BlockFormat(const Paragraph& p) {
    QTextBlockFormat format;
    format.setAlignment(ToQt(p.alignment));
    format.setLeftMargin(Pixels(p.leftIndent));
    format.setRightMargin(Pixels(p.rightIndent));
    format.setTextIndent(Pixels(p.firstLineIndent));
    format.setTopMargin(Pixels(p.spaceBefore));
    format.setBottomMargin(Pixels(p.spaceAfter));
    // RTF measures tab stops from the margin, Qt from where the line starts;
    // the first line's start keeps a hanging indent's text under its bullet.
    QList<QTextOption::Tab> tabs;
    for (int stop : p.tabStops) {
        const int fromLineStart = stop - (p.leftIndent + p.firstLineIndent);
        if (fromLineStart > 0) tabs.append(QTextOption::Tab(Pixels(fromLineStart), QTextOption::LeftTab));
    }
    if (!tabs.isEmpty()) format.setTabPositions(tabs);
    return format;
}

QTextCharFormat CharacterFormat(const CharFormat& c) {
    QTextCharFormat format;
    format.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(c.italic);
    format.setFontUnderline(c.underline);
    format.setFontPointSize(c.halfPoints / 2.0);
    if (!c.fontName.empty()) format.setFontFamilies({QString::fromStdString(c.fontName)});
    format.setFontStyleHint(ToQt(c.fontFamily));
    if (c.color) format.setForeground(QColor(c.color->red, c.color->green, c.color->blue));
    return format;
}

}  // namespace

void FillTextDocument(QTextDocument& target, const Document& document) {
    target.clear();
    QTextOption option = target.defaultTextOption();
    option.setTabStopDistance(Pixels(document.defaultTabWidth));
    target.setDefaultTextOption(option);

    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const Paragraph& paragraph : document.paragraphs) {
        const QTextBlockFormat block = BlockFormat(paragraph);
        const QTextCharFormat mark =
            paragraph.runs.empty() ? QTextCharFormat() : CharacterFormat(paragraph.runs.front().format);
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(mark);
        } else {
            cursor.insertBlock(block, mark);
        }
        first = false;
        for (const Run& run : paragraph.runs) {
            QString text = QString::fromStdString(run.text);
            text.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
            cursor.insertText(text, CharacterFormat(run.format));
        }
    }
    cursor.endEditBlock();
    target.clearUndoRedoStacks();
    target.setModified(false);
}

void SetRtf(QTextDocument& target, std::span<const unsigned char> bytes) { FillTextDocument(target, ReadRtf(bytes)); }

}  // namespace rtf
