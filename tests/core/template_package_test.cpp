#include <gtest/gtest.h>

#include <cstring>

#include "TestPackages.h"
#include "template/BuiltInTemplate.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

using testpkg::AllFragmentsNamed;
using testpkg::Build;

std::string Bytes(const TemplateEntry& e) { return {reinterpret_cast<const char*>(e.data), e.size}; }

class BuiltInPackage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(package.LoadBuiltIn(), kTemplateLoaded); }
    TemplatePackage package;
};

TEST_F(BuiltInPackage, HasSixteenEntriesInTheTablesOrderAndLayout) {
    const char* names[] = {"img_bk_0.jpg",    "img_bk_1.jpg",    "img_bk_2.jpg",    "htm_begin",
                           "htm_end",         "htm_title",       "htm_tab_01",      "htm_tab_02",
                           "htm_tab_03",      "htm_txt_inst_01", "htm_txt_inst_02", "htm_txt_inst_03",
                           "htm_txt_unst_01", "htm_txt_unst_02", "htm_txt_unst_03", "htm_txt_warn_01"};
    ASSERT_EQ(package.count(), 16);
    const auto raw = BuiltInTemplateBytes();
    EXPECT_EQ(std::memcmp(raw.data(), "QSHTemplateFile\0", 16), 0);
    const unsigned char header[] = {1, 0, 0, 0, 16, 0, 0, 0};
    EXPECT_EQ(std::memcmp(raw.data() + 16, header, sizeof header), 0);
    EXPECT_EQ(raw[24] | raw[25] << 8 | raw[26] << 16 | raw[27] << 24, static_cast<int>(raw.size()));
    EXPECT_EQ(std::memcmp(raw.data() + 28, "\0\0\0\0", 4), 0);
    EXPECT_EQ(package.Entry(0).data, raw.data() + 544);

    const unsigned char* previousEnd = raw.data() + 544;
    for (int i = 0; i < 16; ++i) {
        const TemplateEntry& e = package.Entry(i);
        EXPECT_STREQ(e.name, names[i]);
        EXPECT_EQ((e.data - raw.data()) % 16, 0) << names[i];
        for (const unsigned char* p = previousEnd; p < e.data; ++p) EXPECT_EQ(*p, 0) << "gap before " << names[i];
        const bool text = std::strncmp(names[i], "htm_", 4) == 0 && i != 11 && i != 14;
        if (text) {
            EXPECT_EQ(e.data[e.size], 0) << "NUL after " << names[i];
        }
        previousEnd = e.data + e.size;
    }
    EXPECT_EQ(Bytes(package.Entry(11)), std::string(16, '\0'));
    EXPECT_EQ(Bytes(package.Entry(14)), std::string(16, '\0'));
}

TEST_F(BuiltInPackage, PicturesAreJpegsOfTheStatedSizes) {
    struct Picture {
        const char* name;
        int width, height, components;
    } pictures[] = {{"img_bk_0.jpg", 96, 96, 1}, {"img_bk_1.jpg", 24, 64, 3}, {"img_bk_2.jpg", 24, 24, 3}};
    for (const Picture& p : pictures) {
        const int index = package.FindEntry(p.name);
        ASSERT_GE(index, 0);
        const std::string jpeg = Bytes(package.Entry(index));
        ASSERT_GT(jpeg.size(), 4u);
        EXPECT_EQ(jpeg.substr(0, 3), "\xFF\xD8\xFF");
        EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
        // Start-of-frame: FF C0 (baseline) or FF C2 (progressive), then length,
        // precision, height, width, component count.
        std::size_t sof = jpeg.find("\xFF\xC0");
        if (sof == std::string::npos) sof = jpeg.find("\xFF\xC2");
        ASSERT_NE(sof, std::string::npos) << p.name;
        const auto at = [&](std::size_t i) { return static_cast<unsigned char>(jpeg[sof + i]); };
        EXPECT_EQ(at(5) << 8 | at(6), p.height) << p.name;
        EXPECT_EQ(at(7) << 8 | at(8), p.width) << p.name;
        EXPECT_EQ(at(9), p.components) << p.name;
    }
}

TEST_F(BuiltInPackage, FragmentsAreByteExact) {
    const std::string font = "\tfont-family : Verdana, Arial, Helvetica, sans-serif;\r\n";
    const std::string begin =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n<html>\r\n<head>\r\n"
        "<title>Hearthcove-Team</title>\r\n<style type=\"text/css\">\r\n<!--\r\n"
        ".line_title {\r\n" +
        font +
        "\tfont-size : 18px;\r\n\tbackground: #666666 url(files/images/img_bk_1.jpg);\r\n"
        "\tfont-weight : bold;\r\n\tcolor : #FFFFFF;\r\n}\r\n"
        ".line_head {\r\n" +
        font +
        "\tfont-size : 15px;\r\n\tbackground: #666666 url(files/images/img_bk_2.jpg);\r\n"
        "\tfont-weight : bold;\r\n\tcolor : #FFFFFF;\r\n}\r\n"
        ".line_body {\r\n" +
        font +
        "\tfont-size : 12px;\r\n\tbackground-color : #CCCCCC;\r\n\tcolor : #000000;\r\n}\r\n"
        ".line_bottom {\r\n" +
        font +
        "\tfont-size : 10px;\r\n\tfont-weight : bold;\r\n\tcolor : #000000;\r\n}\r\n"
        ".table_main {\r\n\twidth : 95%;\r\n\tbackground-color : #CCCCCC;\r\n\tpadding : 2;\r\n\twhite-space : "
        "2;\r\n}\r\n"
        "-->\r\n</style> \r\n</head>\r\n";
    EXPECT_EQ(begin.size(), 916u);
    EXPECT_EQ(package.Fragment("htm_begin"), begin);
    EXPECT_EQ(package.Fragment("htm_title"),
              "<body bgcolor=\"#B0B0B0\" background=\"files/images/img_bk_0.jpg\">\r\n"
              "<table class=\"table_main\" align=\"center\" border=\"1\">\r\n<tr>\r\n"
              "\t<td class=\"line_title\" align=\"center\">The Elder Scrolls III<br>MORROWIND\r\n\t</td>\r\n"
              "</tr>\r\n</table>\r\n<table height=\"4\"><tr><td></td></tr></table>\r\n");
    EXPECT_EQ(package.Fragment("htm_tab_01"),
              "<table class=\"table_main\" align=\"center\" border=\"1\">\r\n<tr>\r\n\t<td class=\"line_head\">");
    EXPECT_EQ(package.Fragment("htm_tab_02"), "\t</td>\r\n</tr>\r\n<tr>\r\n\t<td class=\"line_body\">");
    EXPECT_EQ(package.Fragment("htm_tab_03"),
              "\t</td>\r\n</tr>\r\n</table>\r\n<table height=\"4\"><tr><td></td></tr></table>\r\n");
    EXPECT_EQ(package.Fragment("htm_txt_inst_01"),
              "1. Скопировать папку Data Files из архива в папку с игрой<br>2. Запустить Morrowind (Morrowind "
              "Launcher.exe), выбрать 'Файлы', в появившемся списке два раза щёлкнуть на "_cp);
    EXPECT_EQ(package.Fragment("htm_txt_inst_02"),
              ", чтобы появилась отметка напротив.<br>3. Нажать 'OK', затем 'Игра', чтобы запустить игру."_cp);
    EXPECT_EQ(package.Fragment("htm_txt_unst_01"),
              "1. Запустить Morrowind (Morrowind Launcher.exe), выбрать 'Файлы', в появившемся списке, два раза "
              "щелкнуть на "_cp);
    EXPECT_EQ(package.Fragment("htm_txt_unst_02"),
              ", чтобы убрать отметку напротив.<br>2. Нажать 'OK', затем 'Игра', чтобы запустить игру.<br>3. Если "
              "загрузить любую игру, сохранённую без этого плагина или с другим набором плагинов, то игра выдаст "
              "предупреждение о несоответствии. Просто подтвердите дальнейшую загрузку.<br>4. Если теперь "
              "сохранить игру, а потом загрузить её заново, то все будет в порядке."_cp);

    const std::string site(kSiteHomeUrl);
    EXPECT_EQ(package.Fragment("htm_end"),
              "<table width=\"95%\" cellspacing=\"2\" cellpadding=\"2\" border=\"0\" align=\"center\">\r\n<tr>\r\n"
              "\t<td class=\"line_bottom\" align=\"left\"> " +
                  std::string("Дизайн: Ольга Вересова"_cp) +
                  " (design@hearthcove.example.org)\r\n\t</td>\r\n"
                  "\t<td class=\"line_bottom\" align=\"right\"> \xA9 Hearthcove-Team (" +
                  site +
                  ")\r\n\t</td>\r\n"
                  "</tr>\r\n</table>\r\n</body>\r\n</html>\r\n");
    const std::string admin = "Arvel (admin@hearthcove.example.org)";
    EXPECT_EQ(package.Fragment("htm_txt_warn_01"),
              std::string("Вы не можете распространять данный плагин без разрешения администрации сайта.<br>За "
                          "дополнительной информацией обращаться к "_cp) +
                  admin +
                  std::string(".<br>Если у Вас есть интересный собственный плагин или адаптация, и Вы хотите "
                              "разместить его на нашем сайте, то обращайтесь к "_cp) +
                  admin + std::string(" или другим членам команды "_cp) + "<a href=\"" + site +
                  "\">Hearthcove-Team</a>.\r\n");
}

TEST_F(BuiltInPackage, LooksUpNamesExactly) {
    EXPECT_EQ(package.FindEntry("img_bk_2.jpg"), 2);
    EXPECT_EQ(package.FindEntry("htm_txt_inst_03"), 11);
    EXPECT_EQ(package.FindEntry("IMG_BK_0.JPG"), -1);
    EXPECT_EQ(package.FindEntry("img_bk_0.jp"), -1);
    EXPECT_EQ(package.FindEntry("no such entry"), -1);
    EXPECT_EQ(package.FindEntry(""), -1);
    EXPECT_EQ(package.Fragment("htm_txt_inst_03"), "");
}

TEST(TemplatePackage, ConstructedEmpty) {
    TemplatePackage package;
    EXPECT_EQ(package.count(), 0);
    EXPECT_EQ(package.FindEntry("htm_begin"), -1);
    for (std::string_view name : TemplatePackage::kFragmentNames) EXPECT_EQ(package.Fragment(name), "");
}

TEST(TemplatePackage, CountByteRules) {
    auto bytes = Build(AllFragmentsNamed());
    TemplatePackage package;

    bytes[20] = 0;  // no entries: loaded, all empty
    EXPECT_EQ(package.Load(bytes), kTemplateLoaded);
    EXPECT_EQ(package.count(), 0);
    EXPECT_EQ(package.Fragment("htm_begin"), "");

    bytes[20] = 0xFF;  // negative: nothing catalogued, first fragment missing
    EXPECT_EQ(package.Load(bytes), kTemplateMalformed);
    EXPECT_EQ(package.count(), 0);

    // Only the low byte counts: 256 + 11 entries reads as 11.
    bytes[20] = 11;
    bytes[21] = 1;
    EXPECT_EQ(package.Load(bytes), kTemplateLoaded);
    EXPECT_EQ(package.Fragment("htm_txt_warn_01"), "[htm_txt_warn_01]");
}

TEST(TemplatePackage, OnlyTheFirstSixteenEntriesAreVisible) {
    auto texts = AllFragmentsNamed();
    for (int i = 0; i < 5; ++i) texts.emplace_back("extra" + std::to_string(i), "x");
    auto bytes = Build(texts);
    ASSERT_EQ(bytes[20], 16);
    // Claim 20 entries; the directory holds 16 and data follows it.
    bytes[20] = 20;
    TemplatePackage package;
    EXPECT_EQ(package.Load(bytes), kTemplateLoaded);
    EXPECT_EQ(package.count(), 16);
    EXPECT_EQ(package.FindEntry("extra4"), 15);
}

TEST(TemplatePackage, AMissingFragmentKeepsThoseLoadedBeforeIt) {
    auto texts = AllFragmentsNamed();
    std::erase_if(texts, [](const auto& t) { return t.first == "htm_tab_02"; });
    TemplatePackage package;
    EXPECT_EQ(package.Load(Build(texts)), kTemplateMalformed);
    for (const char* kept : {"htm_begin", "htm_end", "htm_title", "htm_tab_01"})
        EXPECT_EQ(package.Fragment(kept), "[" + std::string(kept) + "]");
    for (const char* empty : {"htm_tab_02", "htm_tab_03", "htm_txt_inst_01", "htm_txt_warn_01"})
        EXPECT_EQ(package.Fragment(empty), "");
    EXPECT_GE(package.FindEntry("htm_tab_03"), 0);  // still catalogued
}

TEST(TemplatePackage, FragmentsEndAtTheirFirstNulWhateverTheSize) {
    auto texts = AllFragmentsNamed();
    texts[0].second = "abc";
    auto bytes = Build(texts);
    const int begin = 0;
    TemplatePackage package;

    testpkg::PutU32(bytes, testpkg::EntrySizeField(begin), 1);  // smaller than the text
    EXPECT_EQ(package.Load(bytes), kTemplateLoaded);
    EXPECT_EQ(package.Fragment("htm_begin"), "abc");

    testpkg::PutU32(bytes, testpkg::EntrySizeField(begin), 10);  // larger
    EXPECT_EQ(package.Load(bytes), kTemplateLoaded);
    EXPECT_EQ(package.Fragment("htm_begin"), "abc");
}

TEST(TemplatePackage, TheFirstOfTwoEqualNamesWins) {
    auto texts = AllFragmentsNamed();
    texts.insert(texts.begin(), {"htm_end", "first"});
    TemplatePackage package;
    EXPECT_EQ(package.Load(Build(texts)), kTemplateLoaded);
    EXPECT_EQ(package.Fragment("htm_end"), "first");
    EXPECT_EQ(package.FindEntry("htm_end"), 0);
}

TEST(TemplatePackage, LoadedBytesOutliveTheCallersBuffer) {
    TemplatePackage package;
    {
        auto bytes = Build(AllFragmentsNamed());
        ASSERT_EQ(package.Load(bytes), kTemplateLoaded);
        std::fill(bytes.begin(), bytes.end(), 0xEE);
    }
    const TemplateEntry& e = package.Entry(package.FindEntry("htm_end"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(e.data), e.size), "[htm_end]");
}

// Damaged packages never make the loader read outside the bytes it was given
// (the sanitizer build checks that), and are refused.
TEST(TemplatePackage, DamagedPackagesAreRefused) {
    const auto good = Build(AllFragmentsNamed());
    struct Damage {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    std::vector<Damage> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"header cut", {good.begin(), good.begin() + 20}});
    cases.push_back({"header only", {good.begin(), good.begin() + 32}});
    cases.push_back({"directory cut", {good.begin(), good.begin() + 32 + 32 * 5}});
    {
        auto b = good;
        testpkg::PutU32(b, testpkg::EntryOffsetField(3), static_cast<std::uint32_t>(b.size() + 1));
        cases.push_back({"offset past the end", b});
    }
    {
        auto b = good;
        testpkg::PutU32(b, testpkg::EntrySizeField(3), 0xFFFFFFF0u);
        cases.push_back({"size past the end", b});
    }
    {
        auto b = good;
        testpkg::PutU32(b, testpkg::EntryOffsetField(3), 0xFFFFFFF0u);
        testpkg::PutU32(b, testpkg::EntrySizeField(3), 0x20u);
        cases.push_back({"offset plus size wraps", b});
    }
    {
        // The last fragment's NUL is the package's last byte; drop it.
        auto b = good;
        while (!b.empty() && b.back() == 0) b.pop_back();
        cases.push_back({"no NUL before the end", b});
    }
    for (const Damage& d : cases) {
        // A heap copy of exactly the damaged size lets the sanitizer see any overread.
        auto* copy = new unsigned char[d.bytes.size() + 1];
        std::copy(d.bytes.begin(), d.bytes.end(), copy);
        TemplatePackage package;
        EXPECT_EQ(package.Load({copy, d.bytes.size()}), kTemplateMalformed) << d.what;
        delete[] copy;
    }
}

TEST(TemplatePackage, EntriesPointingOutsideLeaveNothingCatalogued) {
    auto bytes = Build(AllFragmentsNamed());
    testpkg::PutU32(bytes, testpkg::EntryOffsetField(7), 0x7FFFFFFFu);
    TemplatePackage package;
    EXPECT_EQ(package.Load(bytes), kTemplateMalformed);
    EXPECT_EQ(package.count(), 0);
    EXPECT_EQ(package.FindEntry("htm_begin"), -1);
}

TEST(TemplatePackage, BuiltInSeamStandsForAMissingPackage) {
    OverrideBuiltInTemplateForTesting(std::span<const unsigned char>{});
    TemplatePackage package;
    EXPECT_NE(package.LoadBuiltIn(), kTemplateLoaded);
    EXPECT_EQ(package.count(), 0);
    OverrideBuiltInTemplateForTesting(std::nullopt);
    EXPECT_EQ(package.LoadBuiltIn(), kTemplateLoaded);
}

}  // namespace
