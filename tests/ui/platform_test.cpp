// The platform layer: dialog units, filter strings, text conversion and the
// controls' keyboard rules.

#include <QApplication>
#include <QKeyEvent>

#include "UiTest.h"
#include "platform/qt/DialogUnits.h"
#include "text/Cp1251.h"

namespace {

TEST(DialogUnits, MulDivRoundsToNearestLikeWindows) {
    struct Case {
        int a, b, c, expected;
    } cases[] = {
        {448, 6, 4, 672}, {346, 13, 8, 562}, {1, 6, 4, 2},    {3, 7, 4, 5},  {5, 14, 8, 9},
        {0, 7, 4, 0},     {-3, 7, 4, -5},    {10, 10, 0, -1}, {2, 13, 8, 3}, {7, 1, 2, 4},
    };
    for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(DialogUnits, MapsBothEdgesSoNeighboursStayAdjacent) {
    const DialogBaseUnits units{7, 15};
    const QRect left = MapDialogRect({10, 17, 34, 8}, units);
    const QRect right = MapDialogRect({44, 17, 30, 8}, units);
    EXPECT_EQ(left.x(), 18);  // 17.5 rounds up
    EXPECT_EQ(left.y(), 32);  // 31.875
    EXPECT_EQ(left.right() + 1, right.x());
    EXPECT_EQ(MapDialogRect({0, 0, 448, 346}, {6, 13}).size(), QSize(672, 562));
}

TEST(DialogUnits, BaseUnitsFollowTheFont) {
    QFont small = QApplication::font();
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(20);
    const DialogBaseUnits a = BaseUnitsOf(small);
    const DialogBaseUnits b = BaseUnitsOf(large);
    EXPECT_GT(a.x, 0);
    EXPECT_GT(b.x, a.x);
    EXPECT_GT(b.y, a.y);
    EXPECT_EQ(a.y, QFontMetrics(small).height());
}

TEST(FileFilter, SplitsTheFilterStringsAsWritten) {
    struct Case {
        std::string_view filter;
        std::vector<FileFilter> expected;
    } cases[] = {
        {" HTML (*.htm) |*.htm| Все файлы (*.*)| *.* ||"_cp,
         {{"HTML (*.htm)", {"*.htm"}}, {Q("Все файлы (*.*)"_cp), {"*"}}}},
        {" Файлы изображений (*.gif; *.jpg; *.jpeg) |*.gif; *.jpg; *.jpeg| Все файлы (*.*)|*.*||"_cp,
         {{Q("Файлы изображений (*.gif; *.jpg; *.jpeg)"_cp), {"*.gif", "*.jpg", "*.jpeg"}},
          {Q("Все файлы (*.*)"_cp), {"*"}}}},
        {" Файлы архивов (*.rar; *.zip) |*.rar; *.zip| Все файлы (*.*)|*.*||"_cp,
         {{Q("Файлы архивов (*.rar; *.zip)"_cp), {"*.rar", "*.zip"}}, {Q("Все файлы (*.*)"_cp), {"*"}}}},
        {"", {}},
        {"||", {}},
        {"Dangling|", {}},
        {"Text|*.txt", {}},
        {"Text|*.txt|Rest", {{"Text", {"*.txt"}}}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseFileFilter(c.filter), c.expected) << cp1251::ToUtf8(c.filter);
}

TEST(QtText, MultiLineTextsKeepCrLfAndEveryByte) {
    const std::string_view texts[] = {
        "",
        "one line",
        "two\r\nlines",
        "\r\n\r\nblank lines\r\n",
        "tab\there & <b>",
        "Привет, мир\r\nвторая"_cp,
        "no\xA0"
        "break",
        "\x98",
        "€‚„"_cp,
    };
    for (std::string_view text : texts) {
        CMultiLineEdit edit;
        edit.setPlainText(ToQStringMultiLine(text));
        EXPECT_EQ(FromQStringMultiLine(edit.WindowText()), Text(text)) << cp1251::ToUtf8(text);
    }
    // A lone LF or CR from elsewhere still reads back as one line break.
    EXPECT_EQ(FromQStringMultiLine(ToQStringMultiLine("a\nb\rc")), "a\r\nb\r\nc");
}

TEST(QtText, CharactersOutsideTheCodePageBecomeReferences) {
    EXPECT_EQ(FromQString(QString::fromUtf8("日本")), "&#26085;&#26412;");
    EXPECT_EQ(FromQString(QString::fromUtf8("Ёж")), Text("Ёж"_cp));
    EXPECT_EQ(ToQString("Ёж"_cp), QString::fromUtf8("Ёж"));
}

TEST(MultiLineEdit, EnterAndCtrlEnterBreakTheLine) {
    CMultiLineEdit edit;
    edit.show();
    edit.setFocus();
    QTest::keyClicks(&edit, "ab");
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Enter);
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&edit, "c");
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(&edit, "d");
    EXPECT_EQ(FromQStringMultiLine(edit.WindowText()), "ab\r\n\r\n\r\nc\r\nd");
    // A read-only view takes no line break.
    edit.setReadOnly(true);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(FromQStringMultiLine(edit.WindowText()), "ab\r\n\r\n\r\nc\r\nd");
}

TEST(MultiLineEdit, LongLinesWrapAndTabMovesTheFocus) {
    QWidget parent;
    auto* edit = new CMultiLineEdit(&parent);
    auto* next = new QLineEdit(&parent);
    parent.show();
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(FromQStringMultiLine(edit->WindowText()), "");
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

}  // namespace
