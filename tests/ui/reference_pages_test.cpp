// The help and about pages: the documents appear formatted and from the top,
// the banner is drawn with exactly pure black left out, and the licence stays
// below it.

#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdint>
#include <vector>

#include "UiTest.h"
#include "rtf/EmbeddedDocuments.h"

namespace {

// An 8-bit bottom-up BMP with a palette, rows padded to four bytes.
std::vector<unsigned char> IndexedBmp(int width, int height, const std::vector<QRgb>& palette,
                                      const std::vector<std::uint8_t>& pixels) {
    const int stride = (width + 3) & ~3;
    const int bitsOffset = 14 + 40 + 4 * 256;
    const int fileSize = bitsOffset + stride * height;
    std::vector<unsigned char> bmp;
    auto put = [&bmp](std::int64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) bmp.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    bmp.push_back('B');
    bmp.push_back('M');
    put(fileSize, 4);
    put(0, 4);
    put(bitsOffset, 4);
    put(40, 4);
    put(width, 4);
    put(height, 4);
    put(1, 2);
    put(8, 2);
    put(0, 4);
    put(stride * height, 4);
    put(2835, 4);
    put(2835, 4);
    put(256, 4);
    put(0, 4);
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : 0;
        put(qBlue(colour), 1);
        put(qGreen(colour), 1);
        put(qRed(colour), 1);
        put(0, 1);
    }
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < stride; ++x) put(x < width ? pixels[static_cast<std::size_t>(y * width + x)] : 0, 1);
    return bmp;
}

QRgb PixelAt(const QImage& image, QPoint at) { return image.pixel(at) & 0xFFFFFFu; }

class ReferencePagesTest : public MainWindowTest {
protected:
    QImage Render(CAboutPage& page) { return QtWidget(page)->grab().toImage(); }
};

TEST_F(ReferencePagesTest, ViewsSitAtTheirPlacesAndAreReadOnlyTabStopsAsLaidOut) {
    CHelpPage& help = window->helpPage();
    CAboutPage& about = window->aboutPage();
    CRichEdit* guide = Item<CRichEdit>(help, HelpId::Guide);
    CRichEdit* licence = Item<CRichEdit>(about, AboutId::Licence);
    ASSERT_NE(guide, nullptr);
    ASSERT_NE(licence, nullptr);
    EXPECT_EQ(guide->geometry(), MapDialogRect(help, {4, 4, 424, 295}));
    EXPECT_EQ(licence->geometry(), MapDialogRect(about, {4, 83, 424, 216}));
    for (CRichEdit* view : {guide, licence}) {
        EXPECT_TRUE(view->isReadOnly());
        EXPECT_TRUE(view->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    }
    EXPECT_EQ(guide->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(licence->focusPolicy(), Qt::StrongFocus);
}

TEST_F(ReferencePagesTest, DocumentsShowFormattedFromTheTop) {
    SelectTab(4);
    ASSERT_TRUE(QtWidget(window->helpPage())->isVisible());
    for (CRichEdit* view :
         {Item<CRichEdit>(window->helpPage(), HelpId::Guide), Item<CRichEdit>(window->aboutPage(), AboutId::Licence)}) {
        ASSERT_NE(view, nullptr);
        const QString text = view->document()->toPlainText();
        EXPECT_FALSE(text.contains(QStringLiteral("\\rtf"))) << "RTF source shown";
        EXPECT_FALSE(text.contains(QStringLiteral("\\'"))) << "escapes left unread";
        EXPECT_GT(text.size(), 1000);
        EXPECT_EQ(view->textCursor().position(), 0);
        EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    }
    const QString help = Item<CRichEdit>(window->helpPage(), HelpId::Guide)->document()->toPlainText();
    // The guide's points in their order.
    qsizetype at = 0;
    for (const char* heading : {"Как пользоваться", "Новый", "Открыть", "Сохранить", "Просмотр", "Параметры 1",
                                "Параметры 2", "База данных"}) {
        const qsizetype found = help.indexOf(QString::fromUtf8(heading), at);
        EXPECT_GE(found, at) << heading;
        if (found >= 0) at = found;
    }
    // Some of it is bold: formatting reached the view.
    bool bold = false;
    for (QTextBlock block = Item<CRichEdit>(window->helpPage(), HelpId::Guide)->document()->begin();
         block.isValid() && !bold; block = block.next())
        for (auto fragment = block.begin(); !fragment.atEnd() && !bold; ++fragment)
            bold = fragment.fragment().charFormat().fontWeight() >= QFont::Bold;
    EXPECT_TRUE(bold);
}

TEST_F(ReferencePagesTest, TypingIntoTheViewsChangesNothing) {
    SelectTab(5);
    CRichEdit* view = Item<CRichEdit>(window->aboutPage(), AboutId::Licence);
    const QString before = view->document()->toPlainText();
    view->setFocus();
    QTest::keyClicks(view, "abc");
    QTest::keyClick(view, Qt::Key_Delete);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(view->document()->toPlainText(), before);
    EXPECT_TRUE(QtWidget(*window)->isVisible());
}

TEST_F(ReferencePagesTest, BannerLeavesOutExactlyPureBlack) {
    CAboutPage& page = window->aboutPage();
    // Columns: black, RGB(1, 0, 0), white, and black again.
    const std::vector<std::uint8_t> pixels = {0, 1, 2, 0, 0, 1, 2, 0};
    page.LoadBanner(IndexedBmp(4, 2, {qRgb(0, 0, 0), qRgb(1, 0, 0), qRgb(255, 255, 255)}, pixels));
    const QImage image = Render(page);
    const QPoint origin = ToQPoint(CAboutPage::kBannerOrigin);
    const QRgb background = PixelAt(image, {5, 5});
    ASSERT_NE(background, 0u);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(PixelAt(image, origin + QPoint(0, y)), background);
        EXPECT_EQ(PixelAt(image, origin + QPoint(1, y)), qRgb(1, 0, 0) & 0xFFFFFFu);
        EXPECT_EQ(PixelAt(image, origin + QPoint(2, y)), 0xFFFFFFu);
        EXPECT_EQ(PixelAt(image, origin + QPoint(3, y)), background);
    }
    // Nothing outside the bitmap, nothing stretched.
    EXPECT_EQ(PixelAt(image, origin + QPoint(1, 2)), background);
    EXPECT_EQ(PixelAt(image, origin + QPoint(5, 0)), background);
}

TEST_F(ReferencePagesTest, BuiltInBannerIsDrawnAtItsPlaceAndBadBytesDrawNothing) {
    CAboutPage& page = window->aboutPage();
    ASSERT_EQ(ToQSize(page.banner().size()), QSize(580, 112));
    QImage image = Render(page);
    const QRgb background = PixelAt(image, {5, 5});
    // The banner's corner is black: the page shows through.
    EXPECT_EQ(PixelAt(image, ToQPoint(CAboutPage::kBannerOrigin)), background);
    int drawn = 0;
    for (int y = 10; y < 122; ++y)
        for (int x = 32; x < 612; ++x) drawn += PixelAt(image, {x, y}) != background;
    EXPECT_GT(drawn, 2000);

    const std::vector<unsigned char> truncated(BannerBmpBytes().begin(), BannerBmpBytes().begin() + 100);
    for (const std::vector<unsigned char>& bytes :
         {std::vector<unsigned char>{}, truncated, std::vector<unsigned char>(4000, 0x42)}) {
        page.LoadBanner(bytes);
        EXPECT_TRUE(page.banner().isNull());
        image = Render(page);
        EXPECT_EQ(PixelAt(image, ToQPoint(CAboutPage::kBannerOrigin) + QPoint(300, 50)), background);
    }
}

TEST_F(ReferencePagesTest, LicenceStaysBelowTheBannerWithASmallFont) {
    const QFont normal = QApplication::font();
    QFont small = normal;
    small.setPointSize(5);
    QApplication::setFont(small);
    CAboutPage page;
    QApplication::setFont(normal);
    ASSERT_LT(page.baseUnits().y, 10);

    const QRect banner = ToQRect(page.BannerRect());
    ASSERT_EQ(banner, QRect(ToQPoint(CAboutPage::kBannerOrigin), ToQSize(page.banner().size())));
    const QRect box = QtItem(page, AboutId::Licence)->geometry();
    EXPECT_GT(box.top(), banner.bottom());
    // Still ending where the layout puts it, inside the page.
    EXPECT_EQ(box.bottom(), MapDialogRect(page, {4, 83, 424, 216}).bottom());
    EXPECT_LE(box.bottom(), QtWidget(page)->height());
}

}  // namespace
