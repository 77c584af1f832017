#include <gtest/gtest.h>

#include "TestPackages.h"
#include "readme/ReadmeHtml.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

// Expected documents are written against a package whose fragments are their
// own names in brackets, so every byte of the structure is visible.
class ReadmeHtml : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(package.Load(testpkg::Build(testpkg::AllFragmentsNamed())), kTemplateLoaded); }

    static std::string Section(std::string_view heading, std::string_view body) {
        return "[htm_tab_01]" + std::string(heading) + "[htm_tab_02]" + std::string(body) + "\r\n[htm_tab_03]";
    }
    static std::string Document(std::string_view sections) {
        return "[htm_begin][htm_title]" + std::string(sections) + "[htm_end]";
    }
    // A form with nothing switched on: only the first table and the authors.
    static ReadmeForm Bare() { return ReadmeForm{}; }

    static std::string FirstAndAuthors(std::string_view middle = "") {
        return Section("\r\n", "") + std::string(middle) + Section("Авторы\r\n"_cp, "");
    }

    TemplatePackage package;
};

constexpr std::string_view kInstall = "Установка\r\n"_cp;
constexpr std::string_view kUninstall = "Удаление\r\n"_cp;
constexpr std::string_view kRequires = "Требует\r\n"_cp;
constexpr std::string_view kWarning = "Предупреждение\r\n"_cp;

TEST_F(ReadmeHtml, NewStateWithTheBuiltInPackage) {
    TemplatePackage builtIn;
    ASSERT_EQ(builtIn.LoadBuiltIn(), kTemplateLoaded);
    const auto F = [&](const char* name) { return builtIn.Fragment(name); };
    const auto section = [&](std::string_view heading, const std::string& body) {
        return F("htm_tab_01") + std::string(heading) + F("htm_tab_02") + body + "\r\n" + F("htm_tab_03");
    };
    const std::string expected = F("htm_begin") + F("htm_title") + section("\r\n", "") +
                                 section(kRequires, "Morrowind.esm") +
                                 section(kInstall, F("htm_txt_inst_01") + F("htm_txt_inst_02")) +
                                 section(kUninstall, F("htm_txt_unst_01") + F("htm_txt_unst_02")) +
                                 section("Авторы\r\n"_cp, "") + section(kWarning, F("htm_txt_warn_01")) + F("htm_end");
    EXPECT_EQ(BuildReadmeHtml(NewReadmeForm(), builtIn), expected);

    // The empty authors section exactly as a reader sees it.
    const std::string authors =
        F("htm_tab_01") + std::string("Авторы\r\n"_cp) + F("htm_tab_02") + "\r\n" + F("htm_tab_03");
    EXPECT_NE(expected.find(authors), std::string::npos);
}

TEST_F(ReadmeHtml, FirstTableTakesTheNameAsTypedAndTheDescriptionConverted) {
    ReadmeForm form = Bare();
    form.pluginName = "<b>Мой & плагин</b>"_cp;
    form.description = "line one\r\nline two\r\n\r\nnext";
    EXPECT_EQ(BuildReadmeHtml(form, package),
              Document(Section(form.pluginName + "\r\n", "line one line two<br>next") + Section("Авторы\r\n"_cp, "")));
}

TEST_F(ReadmeHtml, RequirementItemsAreJoinedInTheirFixedOrder) {
    struct Case {
        bool mw, tr, bm, other;
        const char* body;
    } cases[] = {
        {false, true, false, false, "Tribunal.esm"},
        {true, false, true, false, "Morrowind.esm<br>Bloodmoon.esm"},
        {true, true, true, true, "Morrowind.esm<br>Tribunal.esm<br>Bloodmoon.esm<br>own text"},
        {false, false, false, true, "own text"},
    };
    for (const Case& c : cases) {
        ReadmeForm form = Bare();
        form.requiresMorrowind = c.mw, form.requiresTribunal = c.tr, form.requiresBloodmoon = c.bm;
        form.requiresOther = c.other;
        form.otherRequirements = "own\r\ntext";
        EXPECT_EQ(BuildReadmeHtml(form, package), Document(FirstAndAuthors(Section(kRequires, c.body)))) << c.body;
    }
    ReadmeForm none = Bare();
    none.otherRequirements = "ignored while its box is clear";
    EXPECT_EQ(BuildReadmeHtml(none, package), Document(FirstAndAuthors()));
}

TEST_F(ReadmeHtml, ArchiveNoteNamesTheArchiveTwice) {
    const auto note = [](std::string_view archive) {
        const std::string a = "<b>" + std::string(archive) + "</b>";
        const std::string site(kSiteHomeUrl);
        return std::string("Важно!!!<br>Для регистрации игрового архива "_cp) + a +
               std::string(
                   ", содержащего модели и текстуры воспользуйтесь программой <b>BSAReg</b> (скачать "
                   "можно например с сайта"_cp) +
               "<a href='" + site + "' target='_blank'>" + site + "</a>)" +
               std::string(
                   "или откройте в блокноте файл <b>morrowind.ini</b> и в блоке <b>[Archives]</b>, "
                   "который обычно расположен в самом конце файла перед блоком <b>[Game Files]</b>, и "
                   "впишите его вручную."_cp) +
               std::string(
                   "<br>Пример из файла Morrowind.ini:<br>[Archives]<br>Archive 0=Tribunal.bsa<br>Archive "
                   "1=Bloodmoon.bsa<br>Archive 2=BetterBodies2.0_1C.bsa<br>Archive 3="_cp) +
               a;
    };
    ReadmeForm form = Bare();
    form.requiresBsaArchive = true;
    form.pluginFile = "Tel Uvirith.esp";
    EXPECT_EQ(BuildReadmeHtml(form, package), Document(FirstAndAuthors(Section(kRequires, note("Tel Uvirith.bsa")))));

    form.pluginFile.clear();
    form.requiresMorrowind = form.requiresTribunal = form.requiresBloodmoon = form.requiresOther = true;
    form.otherRequirements = "x";
    EXPECT_EQ(BuildReadmeHtml(form, package),
              Document(FirstAndAuthors(
                  Section(kRequires, "Morrowind.esm<br>Tribunal.esm<br>Bloodmoon.esm<br>" + note(".bsa") + "<br>x"))));
}

TEST_F(ReadmeHtml, ScreenshotRowCentresItsCellAndNamesOnlyTheCountedFiles) {
    const std::string sep(1, kPathSeparator);
    ReadmeForm form = Bare();
    form.screenshotPath = {"shots" + sep + "one.jpg", "two.jpg", "dir" + sep + "three.png"};
    const std::string open = "[htm_tab_01]" + std::string("Скриншоты\r\n"_cp) + "[htm_tab_02";  // last byte replaced
    const std::string img1 = "<img src=\"files/scrins/one.jpg\" border=\"0\">";
    const std::string img2 = "<img src=\"files/scrins/two.jpg\" border=\"0\">";
    const std::string img3 = "<img src=\"files/scrins/three.png\" border=\"0\">";
    const std::string close = "\r\n[htm_tab_03]";
    const struct {
        int count;
        std::string section;
    } cases[] = {
        {-1, ""},
        {0, ""},
        {1, open + " align=\"center\">" + img1 + close},
        {2, open + " align=\"center\">" + img1 + "&nbsp;&nbsp;" + img2 + close},
        {3, open + " align=\"center\">" + img1 + "&nbsp;&nbsp;" + img2 + "&nbsp;&nbsp;" + img3 + close},
        {4, ""},
    };
    for (const auto& c : cases) {
        form.screenshotCount = c.count;
        EXPECT_EQ(BuildReadmeHtml(form, package), Document(FirstAndAuthors(c.section))) << c.count;
    }
}

TEST_F(ReadmeHtml, ScreenshotRowWithTheBuiltInPackageCarriesTheCentringAttribute) {
    TemplatePackage builtIn;
    ASSERT_EQ(builtIn.LoadBuiltIn(), kTemplateLoaded);
    ReadmeForm form = Bare();
    form.screenshotCount = 1;
    form.screenshotPath[0] = "a.jpg";
    EXPECT_NE(BuildReadmeHtml(form, builtIn)
                  .find("\t<td class=\"line_body\" align=\"center\"><img src=\"files/scrins/a.jpg\" border=\"0\">\r\n"),
              std::string::npos);
}

TEST_F(ReadmeHtml, InstallationAndRemovalShareOneTableEach) {
    const struct {
        bool standard, other;
        std::string install, uninstall;
    } cases[] = {
        {true, false, "[htm_txt_inst_01]Mod.esp[htm_txt_inst_02]", "[htm_txt_unst_01]Mod.esp[htm_txt_unst_02]"},
        {false, true, "own a own b", "own a own b"},
        {true, true, "[htm_txt_inst_01]Mod.esp[htm_txt_inst_02]<BR>own a own b",
         "[htm_txt_unst_01]Mod.esp[htm_txt_unst_02]<BR>own a own b"},
    };
    for (const auto& c : cases) {
        ReadmeForm form = Bare();
        form.pluginFile = "Mod.esp";
        form.installStandard = form.uninstallStandard = c.standard;
        form.installOther = form.uninstallOther = c.other;
        form.installText = form.uninstallText = "own a\r\nown b";
        EXPECT_EQ(BuildReadmeHtml(form, package),
                  Document(FirstAndAuthors(Section(kInstall, c.install) + Section(kUninstall, c.uninstall))));
    }
}

TEST_F(ReadmeHtml, EverySectionSwitchedOnInOrder) {
    ReadmeForm form;
    form.pluginName = "Name";
    form.pluginFile = "Mod.esm";
    form.description = "Desc";
    form.requiresMorrowind = true;
    form.screenshotCount = 1;
    form.screenshotPath[0] = "s.jpg";
    form.installStandard = form.uninstallOther = true;
    form.uninstallText = "U";
    form.howToPlayEnabled = true;
    form.howToPlay = "Play\r\n\r\n\r\n\r\nhard";
    form.authors = "Me\r\nYou";
    form.noteEnabled = true;
    form.note = "N";
    form.warningStandard = form.warningOther = true;
    form.warningText = "W";
    const std::string expected =
        Document(Section("Name\r\n", "Desc") + Section(kRequires, "Morrowind.esm") + "[htm_tab_01]" +
                 std::string("Скриншоты\r\n"_cp) +
                 "[htm_tab_02 align=\"center\"><img src=\"files/scrins/s.jpg\" border=\"0\">\r\n[htm_tab_03]" +
                 Section(kInstall, "[htm_txt_inst_01]Mod.esm[htm_txt_inst_02]") + Section(kUninstall, "U") +
                 Section("Как играть\r\n"_cp, "Play<br><br>hard") + Section("Авторы\r\n"_cp, "Me You") +
                 Section("Примечание\r\n"_cp, "N") + Section(kWarning, "[htm_txt_warn_01]") + Section(kWarning, "W"));
    EXPECT_EQ(BuildReadmeHtml(form, package), expected);
}

TEST_F(ReadmeHtml, DisabledSectionsIgnoreTheirTexts) {
    ReadmeForm form = Bare();
    form.howToPlay = form.note = form.warningText = form.installText = form.uninstallText = "hidden";
    EXPECT_EQ(BuildReadmeHtml(form, package).find("hidden"), std::string::npos);
}

TEST_F(ReadmeHtml, LineBreakRunsInsideADescription) {
    for (std::size_t k = 1; k <= 9; ++k) {
        const std::string run = std::string(k / 2, '\r') + std::string(k - k / 2, '\n');
        std::string brs;
        for (std::size_t i = 0; i < k / 4; ++i) brs += "<br>";
        const std::string gap = brs + (k % 4 ? " " : "");
        const struct {
            std::string text, body;
        } cases[] = {{run + "a", gap + "a"}, {"a" + run + "b", "a" + gap + "b"}, {"a" + run, "a" + brs}};
        for (const auto& c : cases) {
            ReadmeForm form = Bare();
            form.description = c.text;
            EXPECT_EQ(BuildReadmeHtml(form, package), Document(Section("\r\n", c.body) + Section("Авторы\r\n"_cp, "")))
                << k;
        }
    }
}

// Every multi-line field with a single break and an empty line: off, the
// readme is the one the line-break rule has always made; on, each break is a
// "<br>". Nothing else in the document moves.
TEST_F(ReadmeHtml, KeepingLineBreaksChangesOnlyTheConvertedTextsTable) {
    ReadmeForm form;
    form.pluginName = "Name\r\nstays";
    form.pluginFile = "Mod\r\n.esp";
    form.description = form.otherRequirements = form.installText = form.uninstallText = form.howToPlay = form.authors =
        form.note = form.warningText = "a\r\nb\r\n\r\nc\r\n";
    form.requiresOther = form.installStandard = form.installOther = form.uninstallOther = true;
    form.howToPlayEnabled = form.noteEnabled = form.warningOther = true;
    const auto expected = [](std::string_view body) {
        const std::string b(body);
        return Document(Section("Name\r\nstays\r\n", b) + Section(kRequires, b) +
                        Section(kInstall, "[htm_txt_inst_01]Mod\r\n.esp[htm_txt_inst_02]<BR>" + b) +
                        Section(kUninstall, b) + Section("Как играть\r\n"_cp, b) + Section("Авторы\r\n"_cp, b) +
                        Section("Примечание\r\n"_cp, b) + Section(kWarning, b));
    };
    const struct {
        bool keep;
        std::string body;
    } cases[] = {{false, "a b<br>c"}, {true, "a<br>b<br><br>c<br>"}};
    for (const auto& c : cases) {
        form.keepLineBreaks = c.keep;
        EXPECT_EQ(BuildReadmeHtml(form, package), expected(c.body)) << c.keep;
    }
    // With the built-in package too, off is the document of a form that never had the option.
    TemplatePackage builtIn;
    ASSERT_EQ(builtIn.LoadBuiltIn(), kTemplateLoaded);
    form.keepLineBreaks = false;
    Text today = BuildReadmeHtml(form, builtIn);
    form.description = form.authors = "a b<br>c";  // already converted: no breaks left
    form.otherRequirements = form.installText = form.uninstallText = form.howToPlay = form.note = form.warningText =
        form.description;
    EXPECT_EQ(today, BuildReadmeHtml(form, builtIn));
    form.keepLineBreaks = true;
    EXPECT_EQ(today, BuildReadmeHtml(form, builtIn));
}

TEST(ReadmeHtmlWithoutPackage, HeadingsAndTextsOnlyAndTheScreenshotRuleEatsTheLf) {
    TemplatePackage empty;
    ReadmeForm form = NewReadmeForm();
    form.pluginName = "P";
    form.screenshotCount = 2;
    form.screenshotPath = {"a.jpg", "b.jpg", "c.jpg"};
    const std::string expected = std::string("P\r\n\r\n") + std::string("Требует\r\n"_cp) + "Morrowind.esm\r\n" +
                                 std::string("Скриншоты\r"_cp) + " align=\"center\">" +
                                 "<img src=\"files/scrins/a.jpg\" border=\"0\">&nbsp;&nbsp;"
                                 "<img src=\"files/scrins/b.jpg\" border=\"0\">\r\n" +
                                 std::string(kInstall) + "\r\n" + std::string(kUninstall) + "\r\n" +
                                 std::string("Авторы\r\n"_cp) + "\r\n" + std::string(kWarning) + "\r\n";
    EXPECT_EQ(BuildReadmeHtml(form, empty), expected);
}

TEST_F(ReadmeHtml, EqualFormsGiveEqualDocuments) {
    ReadmeForm form = NewReadmeForm();
    form.description = "x\r\ny";
    EXPECT_EQ(BuildReadmeHtml(form, package), BuildReadmeHtml(form, package));
}

}  // namespace
