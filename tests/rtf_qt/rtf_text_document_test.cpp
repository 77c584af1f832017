// The RTF adapter: what the reader read reaches a QTextDocument as formats,
// so a read-only text view shows it formatted.

#include <gtest/gtest.h>

#include <QFont>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <string_view>
#include <vector>

#include "platform/qt/RtfTextDocument.h"
#include "rtf/EmbeddedDocuments.h"

namespace {

std::span<const unsigned char> Bytes(std::string_view s) {
    return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

std::vector<QTextBlock> Blocks(const QTextDocument& doc) {
    std::vector<QTextBlock> blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) blocks.push_back(b);
    return blocks;
}

QTextCharFormat FirstFormat(const QTextBlock& block) { return block.begin().fragment().charFormat(); }

constexpr std::string_view kSample =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deftab360{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman "
    "Times New "
    "Roman;}}{\\colortbl;\\red200\\green16\\blue0;}"
    "\\qc\\b\\fs32\\f1\\cf1 \\'c7\\'e0\\'e3\\'ee\\'eb\\'ee\\'e2\\'ee\\'ea\\par"
    "\\pard\\li567\\fi-340\\tx567\\plain\\i body\\tab x\\line y\\par"
    "\\pard\\qr\\plain\\ul right\\par}";

TEST(RtfTextDocument, FormatsReachTheDocument) {
    QTextDocument doc;
    rtf::SetRtf(doc, Bytes(kSample));
    const auto blocks = Blocks(doc);
    ASSERT_EQ(blocks.size(), 3u);

    EXPECT_EQ(blocks[0].text(), QString::fromUtf8("Заголовок"));
    EXPECT_EQ(blocks[0].blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextCharFormat title = FirstFormat(blocks[0]);
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 16.0);
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{QStringLiteral("Times New Roman")});
    EXPECT_EQ(title.foreground().color(), QColor(200, 16, 0));

    const QTextCharFormat body = FirstFormat(blocks[1]);
    EXPECT_EQ(body.fontWeight(), QFont::Normal);
    EXPECT_TRUE(body.fontItalic());
    EXPECT_EQ(body.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    EXPECT_EQ(blocks[1].text(), QStringLiteral("body\tx") + QChar(QChar::LineSeparator) + QLatin1Char('y'));
    EXPECT_GT(blocks[1].blockFormat().leftMargin(), 30.0);
    EXPECT_LT(blocks[1].blockFormat().textIndent(), -20.0);
    ASSERT_EQ(blocks[1].blockFormat().tabPositions().size(), 1);
    // The stop at the indent, counted from the first line's start as Qt does.
    EXPECT_DOUBLE_EQ(blocks[1].blockFormat().tabPositions()[0].position, 340 / 15.0);
    EXPECT_DOUBLE_EQ(doc.defaultTextOption().tabStopDistance(), 360 / 15.0);

    EXPECT_EQ(blocks[2].blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_TRUE(FirstFormat(blocks[2]).fontUnderline());
}

TEST(RtfTextDocument, ReplacesTheWholeContentAndLeavesNothingToUndo) {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("old text"));
    rtf::SetRtf(doc, Bytes("{\\rtf1 new}"));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("new"));
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_FALSE(doc.isModified());
    rtf::SetRtf(doc, Bytes(""));
    EXPECT_EQ(doc.toPlainText(), "");
}

TEST(RtfTextDocument, TextThatIsNotRtfShowsAsItsText) {
    QTextDocument doc;
    rtf::SetRtf(doc, Bytes("line one\r\n\xd1\xf2\xf0\xee\xea\xe0"));
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("line one\nСтрока"));
}

TEST(RtfTextDocument, ProgramDocumentsShowFormattedNeverAsSource) {
    for (const auto bytes : {HelpRtfBytes(), LicenseRtfBytes()}) {
        QTextDocument doc;
        rtf::SetRtf(doc, bytes);
        const QString text = doc.toPlainText();
        EXPECT_FALSE(text.contains(QStringLiteral("\\rtf")));
        EXPECT_FALSE(text.contains(QLatin1Char('\\')));
        EXPECT_FALSE(text.contains(QStringLiteral("fonttbl")));
        EXPECT_GT(doc.blockCount(), 15);

        const auto blocks = Blocks(doc);
        EXPECT_EQ(FirstFormat(blocks.front()).fontWeight(), QFont::Bold);
        EXPECT_EQ(blocks.front().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        int bold = 0, plain = 0;
        for (const QTextBlock& b : blocks) (FirstFormat(b).fontWeight() == QFont::Bold ? bold : plain)++;
        EXPECT_GE(bold, 5);
        EXPECT_GT(plain, bold);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The tests need no screen; a plain ctest run may have none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
