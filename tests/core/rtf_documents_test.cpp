// The program's own user guide, licence and banner, as compiled in.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "rtf/EmbeddedDocuments.h"
#include "rtf/RtfReader.h"
#include "text/Text.h"

namespace {

std::string FileBytes(const std::string& relative) {
    std::ifstream in(std::string(QS_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string AsString(std::span<const unsigned char> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Headings are the paragraphs set wholly in bold and larger than the body.
std::vector<std::string> Headings(const rtf::Document& doc) {
    std::vector<std::string> headings;
    for (const rtf::Paragraph& p : doc.paragraphs) {
        bool heading = !p.runs.empty();
        for (const rtf::Run& run : p.runs) heading = heading && run.format.bold && run.format.halfPoints > 20;
        if (heading) headings.push_back(p.PlainText());
    }
    return headings;
}

// Positions of the needles in the text, which must all be there in this order.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& needles) {
    std::size_t from = 0;
    for (const std::string& needle : needles) {
        const std::size_t at = text.find(needle, from);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << needle;
        from = at + needle.size();
    }
}

void ExpectCleanText(const std::string& text) {
    for (const char* leak : {"\\", "{", "}", "rtf", "fonttbl", "colortbl", "ansicpg", "deflang", "Times New Roman",
                             "generator", "\\'", "\\par"})
        EXPECT_EQ(text.find(leak), std::string::npos) << "RTF leaked into the text: " << leak;
}

// Every web or mail address must be under a reserved example domain.
void ExpectOnlyExampleAddresses(const std::string& text) {
    const std::regex address(R"((https?://([^/\s]+))|([\w.-]+@([\w.-]*\w)))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), address); it != std::sregex_iterator(); ++it) {
        const std::string host = (*it)[2].matched ? (*it)[2].str() : (*it)[4].str();
        EXPECT_TRUE(std::regex_search(host, std::regex(R"((^|\.)example\.(org|com)$|\.example$)"))) << it->str();
    }
}

struct DocumentCase {
    const char* file;
    std::span<const unsigned char> embedded;
    std::vector<std::string> headings;
};

const std::vector<DocumentCase>& Documents() {
    static const std::vector<DocumentCase> documents = {
        {"resources/help.rtf",
         HelpRtfBytes(),
         {"Quillsmith 1.0.0", "Как пользоваться", "Кнопки", "Вкладка «Просмотр»", "Вкладка «Параметры 1»", "Плагин",
          "Требует", "Скриншоты", "Установка и удаление", "Вкладка «Параметры 2»", "Вкладка «База данных»"}},
        {"resources/license.rtf",
         LicenseRtfBytes(),
         {"Лицензионное соглашение", "1. Преамбула", "2. Условия использования и распространения", "3. Права Автора",
          "4. Отказ от гарантий и ответственности", "5. Благодарности"}},
    };
    return documents;
}

TEST(ReferenceDocuments, AreWindows1251RtfInRussianAndCompiledInUnchanged) {
    for (const DocumentCase& d : Documents()) {
        const std::string bytes = AsString(d.embedded);
        EXPECT_EQ(bytes, FileBytes(d.file)) << d.file;
        EXPECT_TRUE(bytes.starts_with("{\\rtf1\\ansi\\ansicpg1251")) << d.file;
        EXPECT_NE(bytes.find("\\deflang1049"), std::string::npos) << d.file;
        EXPECT_EQ(bytes.find('\0'), std::string::npos) << d.file;
        for (char c : bytes) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << d.file << ": Cyrillic must be escaped";
    }
}

TEST(ReferenceDocuments, ReadAsFormattedTextWithTheirHeadingsInOrder) {
    for (const DocumentCase& d : Documents()) {
        const rtf::Document doc = rtf::ReadRtf(d.embedded);
        EXPECT_EQ(Headings(doc), d.headings) << d.file;
        ExpectCleanText(doc.PlainText());
        ExpectOnlyExampleAddresses(doc.PlainText());
        ASSERT_FALSE(doc.paragraphs.empty());
        EXPECT_EQ(doc.paragraphs.front().alignment, rtf::Alignment::Center) << d.file;
        EXPECT_NE(doc.PlainText().find("\t"), std::string::npos) << d.file << ": lists use tabs";
    }
}

TEST(ReferenceDocuments, GuideCoversEveryPointInOrder) {
    const std::string text = rtf::ReadRtf(HelpRtfBytes()).PlainText();
    ExpectInOrder(text, {
                            "ReadMe.htm",
                            // how to use
                            "«Параметры 1»",
                            "«Параметры 2»",
                            "«База данных»",
                            "«Сохранить»",
                            // the buttons
                            "«Новый»",
                            "«Открыть»",
                            "«Сохранить»",
                            // the viewing tab and its menu
                            "правой кнопкой",
                            "«Вставить в»",
                            "«Добавить в»",
                            // first form page, group by group
                            "«Название»",
                            "«Имя файла»",
                            "Ctrl+Enter",
                            "<br>",
                            "«Архив BSA»",
                            "«Другое»",
                            "скриншот",
                            "«Стандартная»",
                            // second form page
                            "«Включить»",
                            "«Авторы»",
                            "«Предупреждение»",
                            "«Параметры записи»",
                            // the database page, with its captions
                            "«Создать запись базы данных»",
                            "«Название плагина (копия)»",
                            "«Тип плагина»",
                            "«Скриншот 200 х 150»",
                            "«Имя с расширением»",
                            "«Размер»",
                            "«Автор имя»",
                            "«Автор Email»",
                            "«Адаптор имя»",
                            "«Адаптор Email»",
                            "«Описание»",
                            "«Оценки»",
                            "«Ссылка на оригинал»",
                            "главной страницы сайта",
                        });
    EXPECT_NE(text.find(std::string(kSiteHomeUrl)), std::string::npos);
}

TEST(ReferenceDocuments, LicenceHasItsSectionsAndAClosingAuthorshipLine) {
    const rtf::Document doc = rtf::ReadRtf(LicenseRtfBytes());
    ExpectInOrder(doc.PlainText(), {"бесплатно", "«как есть»", "без каких-либо изменений", "материальной выгоды",
                                    "Все права", "коммерческих", "продавать", "прокат", "изменять",
                                    "обратная разработка", "гарантий", "ответственности", "благодарит"});
    const rtf::Paragraph& last = doc.paragraphs.back();
    EXPECT_EQ(last.alignment, rtf::Alignment::Center);
    EXPECT_NE(last.PlainText().find("© 2026 Hearthcove-Team"), std::string::npos);
}

// The banner: an uncompressed bottom-up BMP of 580 x 112 at 8 bits per pixel
// with its palette, on pure black, which the About page draws as transparent.
struct Bmp {
    std::int32_t width = 0, height = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0, colorsUsed = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::vector<std::uint8_t> pixels;    // top row first
};

std::uint32_t Le(const std::string& b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b.at(at + static_cast<std::size_t>(i)));
    return v;
}

Bmp ReadBmp(const std::string& b) {
    Bmp bmp;
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(Le(b, 2, 4), b.size());
    const std::uint32_t dataOffset = Le(b, 10, 4);
    const std::uint32_t headerSize = Le(b, 14, 4);
    EXPECT_EQ(headerSize, 40u) << "BMP3 header";
    bmp.width = static_cast<std::int32_t>(Le(b, 18, 4));
    bmp.height = static_cast<std::int32_t>(Le(b, 22, 4));
    EXPECT_EQ(Le(b, 26, 2), 1u);
    bmp.bitsPerPixel = static_cast<std::uint16_t>(Le(b, 28, 2));
    bmp.compression = Le(b, 30, 4);
    bmp.colorsUsed = Le(b, 46, 4);
    const std::uint32_t entries = bmp.colorsUsed ? bmp.colorsUsed : 256;
    for (std::uint32_t i = 0; i < entries; ++i) bmp.palette.push_back(Le(b, 14 + headerSize + 4 * i, 3));
    if (bmp.bitsPerPixel != 8 || bmp.width <= 0 || bmp.height <= 0) return bmp;
    const std::size_t stride = (static_cast<std::size_t>(bmp.width) + 3) / 4 * 4;
    const auto height = static_cast<std::size_t>(bmp.height), width = static_cast<std::size_t>(bmp.width);
    EXPECT_LE(dataOffset + stride * height, b.size());
    for (std::size_t row = height; row-- > 0;)
        for (std::size_t x = 0; x < width; ++x)
            bmp.pixels.push_back(static_cast<std::uint8_t>(b.at(dataOffset + row * stride + x)));
    return bmp;
}

TEST(ReferenceBanner, Is580By112At8BitsWithAPaletteOnPureBlack) {
    const std::string bytes = AsString(BannerBmpBytes());
    EXPECT_EQ(bytes, FileBytes("resources/banner.bmp"));
    const Bmp bmp = ReadBmp(bytes);
    ASSERT_EQ(bmp.width, 580);
    ASSERT_EQ(bmp.height, 112);
    ASSERT_EQ(bmp.bitsPerPixel, 8);
    EXPECT_EQ(bmp.compression, 0u);
    EXPECT_LE(bmp.colorsUsed, 256u);
    ASSERT_EQ(bmp.pixels.size(), 580u * 112u);

    auto color = [&](int x, int y) {
        const std::uint8_t index = bmp.pixels[static_cast<std::size_t>(y) * 580 + static_cast<std::size_t>(x)];
        return index < bmp.palette.size() ? bmp.palette[index] : 0xFFFFFFFFu;
    };
    // The frame of the picture is background everywhere.
    for (int x = 0; x < 580; ++x)
        for (int y : {0, 1, 110, 111}) ASSERT_EQ(color(x, y), 0u) << x << ',' << y;
    for (int y = 0; y < 112; ++y)
        for (int x : {0, 1, 578, 579}) ASSERT_EQ(color(x, y), 0u) << x << ',' << y;

    std::size_t black = 0, bright = 0;
    for (int y = 0; y < 112; ++y)
        for (int x = 0; x < 580; ++x) {
            const std::uint32_t c = color(x, y);
            black += c == 0;
            bright += ((c >> 16) & 0xFF) > 160;
        }
    EXPECT_GT(black, 580u * 112u * 6 / 10) << "mostly background";
    EXPECT_GT(bright, 1500u) << "lettering in gold";
}

}  // namespace
