// The checks beside the preview: each rule by table, and the whole list for
// forms whose screenshots and archive are real files.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

#include "PluginBuilder.h"
#include "output/ImageHeader.h"
#include "output/ReadmeChecks.h"
#include "output_test_support.h"
#include "plugin/PluginChecks.h"
#include "text/Cp1251.h"

namespace {

using testing_output::ScratchFolder;
using testing_output::WriteFile;

std::string Be16(int v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string Le16(int v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Be32(int v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Le32(int v) { return Le16(v & 0xFFFF) + Le16((v >> 16) & 0xFFFF); }

std::string Png(int w, int h) {
    return std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + "IHDR" + Be32(w) + Be32(h) + "\x08\x02";
}
std::string Gif(int w, int h) { return "GIF89a" + Le16(w) + Le16(h) + "\x80"; }
std::string Bmp(int w, int h) { return "BM" + std::string(12, '\0') + Le32(40) + Le32(w) + Le32(h) + Le16(1); }
std::string BmpCore(int w, int h) { return "BM" + std::string(12, '\0') + Le32(12) + Le16(w) + Le16(h); }
// SOI, an APP segment of the given length, then a frame header.
std::string Jpeg(int w, int h, int appLength = 16, int frame = 0xC0) {
    std::string b("\xFF\xD8", 2);
    b += std::string("\xFF\xE1", 2) + Be16(appLength) + std::string(static_cast<std::size_t>(appLength - 2), 'x');
    b += std::string("\xFF", 1) + static_cast<char>(frame) + Be16(17) + "\x08" + Be16(h) + Be16(w) + "\x03";
    return b;
}

TEST(ReadImageHeader, KindAndSizeOfEachFormatTable) {
    struct Case {
        const char* what;
        std::string bytes;
        ImageHeader expected;
    };
    const std::string jpeg = Jpeg(640, 480);
    const Case cases[] = {
        {"PNG", Png(300, 225), {ImageKind::Png, 300, 225}},
        {"PNG cut before its size", Png(300, 225).substr(0, 20), {ImageKind::Png, 0, 0}},
        {"PNG whose first chunk is not IHDR", Png(1, 1).replace(12, 4, "IDAT"), {ImageKind::Png, 0, 0}},
        {"GIF", Gif(320, 200), {ImageKind::Gif, 320, 200}},
        {"GIF87a", "GIF87a" + Le16(5) + Le16(7), {ImageKind::Gif, 5, 7}},
        {"BMP", Bmp(800, 600), {ImageKind::Bmp, 800, 600}},
        {"BMP stored top down", Bmp(800, -600), {ImageKind::Bmp, 800, 600}},
        {"BMP with the old core header", BmpCore(64, 48), {ImageKind::Bmp, 64, 48}},
        {"BMP with a zero width", Bmp(0, 10), {ImageKind::Bmp, 0, 0}},
        {"JPEG baseline", jpeg, {ImageKind::Jpeg, 640, 480}},
        {"JPEG progressive", Jpeg(300, 225, 16, 0xC2), {ImageKind::Jpeg, 300, 225}},
        {"JPEG after a 60 KiB thumbnail", Jpeg(1920, 1080, 60000), {ImageKind::Jpeg, 1920, 1080}},
        {"JPEG: DHT is not a frame", Jpeg(9, 9, 16, 0xC4), {ImageKind::Jpeg, 0, 0}},
        {"JPEG cut in its frame header", jpeg.substr(0, jpeg.size() - 4), {ImageKind::Jpeg, 0, 0}},
        {"JPEG segment running past the end", std::string("\xFF\xD8\xFF\xE0\xFF\xFF", 6), {ImageKind::Jpeg, 0, 0}},
        {"JPEG with a zero segment length", std::string("\xFF\xD8\xFF\xE0\x00\x00", 6), {ImageKind::Jpeg, 0, 0}},
        {"JPEG whose data starts before a frame", std::string("\xFF\xD8\xFF\xDA\x00\x08", 6), {ImageKind::Jpeg, 0, 0}},
        {"text", "not a picture", {}},
        {"empty", "", {}},
        {"a lone BM", "BM", {ImageKind::Bmp, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadImageHeader(c.bytes), c.expected) << c.what;
}

TEST(UnbalancedTag, TagsOpenedAndClosedTable) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"", ""},
        {"plain text", ""},
        {"<b>bold</b> and <i>italic</i>", ""},
        {"<B>case</b>", ""},
        {"<b>not closed", "<b>"},
        {"closed</b> not open", "</b>"},
        {"<b><i>crossed</b></i>", "<i>"},
        {"<a href='x'>link</a>", ""},
        {"<font color=\"red\">red", "<font>"},
        {"line<br>break<BR><img src=\"a.jpg\"><hr/>", ""},
        {"<p>one<p>two<li>item", ""},
        {"<table><tr><td>cell</table>", ""},
        {"<span/>", ""},
        {"a < b and 3<4", ""},
        {"<!-- <b> in a comment -->", ""},
        {"<h1>title</h1><h2>sub", "<h2>"},
        {"<b>never ends", "<b>"},
        {"<b", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(UnbalancedTag(c.text), c.expected) << "text: " << c.text;
}

TEST(JoinsLines, SingleBreaksBetweenLinesTable) {
    struct Case {
        const char* text;
        bool joins;
    };
    const Case cases[] = {
        {"", false},
        {"one line", false},
        {"one\r\ntwo", true},
        {"one\ntwo", true},
        {"para\r\n\r\npara", false},
        {"para\r\n\r\n\r\ntwo empty lines", true},
        {"a\r\n\r\n\r\n\r\nb", false},
        {"ends with a break\r\n", false},
        {"\r\nstarts with one", false},
        {"a\r\n\r\nb\r\nc", true},
    };
    for (const Case& c : cases) EXPECT_EQ(JoinsLines(c.text), c.joins) << "text: " << c.text;
}

// Only what stands where a browser runs it: a script element, or an on...
// attribute inside a tag, however it is spelt.
TEST(ScriptInText, ScriptsAndEventAttributesInsideTagsTable) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"", ""},
        {"one=two, bonus=1, onload=3", ""},
        {"<b>bonus=1</b> <i>one=two</i>", ""},
        {"a < script > b", ""},
        {"<scripts>not one</scripts> <noscript>", ""},
        {"<!-- <script>alert(1)</script> <b onclick=x> -->", ""},
        {"<a title=\"x onclick=y\">quoted</a> <a title='<script>'>", ""},
        {"</a onclick=x> <b on>", ""},
        {"<script>alert(1)</script>Башня", "<script>"},
        {"text <SCRIPT src=x>", "<script>"},
        {"<script/src=x>", "<script>"},
        {"<b>x</b><script", "<script>"},
        {"<img src=x onerror=alert(1)>", "onerror="},
        {"<p OnMouseOver =go()>", "onmouseover="},
        {"<svg/onload=alert(1)>", "onload="},
        {"<a href=x/y title=\"z\"\tonclick\n=\n'go'>", "onclick="},
        {"<img src=\"a>b\" onerror=x>", "onerror="},
        {"<div title=\"open", ""},
        {"<div onclick=x", "onclick="},  // the tag goes on into the template
        {"<!-- unclosed <script>", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ScriptInText(c.text), c.expected) << c.text;
}

TEST(FarFromRecommendedSize, AQuarterEitherWayTable) {
    struct Case {
        int width, height;
        bool far;
    };
    const Case cases[] = {
        {300, 225, false}, {375, 281, false}, {225, 169, false},  {376, 225, true},
        {224, 225, true},  {300, 282, true},  {1920, 1080, true}, {32, 32, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FarFromRecommendedSize(c.width, c.height), c.far) << c.width << " x " << c.height;
}

class CheckReadmeTest : public ::testing::Test {
protected:
    ReadmeForm Form() {
        ReadmeForm form = NewReadmeForm();
        form.pluginName = "Name";
        form.pluginFile = "Mod.esp";
        form.description = "Description";
        return form;
    }
    std::vector<ReadmeCheck> Check(const ReadmeForm& form, const DatabaseRecord& record = NewDatabaseRecord()) {
        return CheckRelease(form, record, folder.path());
    }
    static std::vector<std::string> Messages(const std::vector<ReadmeCheck>& checks) {
        std::vector<std::string> out;
        for (const ReadmeCheck& check : checks) out.push_back(cp1251::ToUtf8(check.message));
        return out;
    }
    ScratchFolder folder;
};

TEST_F(CheckReadmeTest, AFilledFormHasNothingToSay) { EXPECT_TRUE(Check(Form()).empty()); }

TEST_F(CheckReadmeTest, EachProblemNamesItsFieldTable) {
    WriteFile(folder / "good.png", Png(300, 225));
    WriteFile(folder / "good.gif", Gif(320, 240));
    WriteFile(folder / "big.jpg", Jpeg(1920, 1080));
    WriteFile(folder / "notes.jpg", "not a picture at all");
    WriteFile(folder / "archive.zip", "PK");
    struct Case {
        const char* what;
        std::function<void(ReadmeForm&, DatabaseRecord&)> change;
        CheckedField field;
        const char* message;
    };
    const Case cases[] = {
        {"empty name", [](ReadmeForm& f, DatabaseRecord&) { f.pluginName.clear(); }, PluginId::Name,
         "Название: пусто, в readme будет пустое место"},
        {"empty description", [](ReadmeForm& f, DatabaseRecord&) { f.description.clear(); }, PluginId::Description,
         "Описание: пусто, в readme будет пустое место"},
        {"empty file name in the standard texts", [](ReadmeForm& f, DatabaseRecord&) { f.pluginFile.clear(); },
         PluginId::File, "Имя файла: пусто, в readme будет пустое место"},
        {"empty file name in the removal text only",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.pluginFile.clear();
             f.installStandard = false;
         },
         PluginId::File, "Имя файла: пусто, в readme будет пустое место"},
        {"empty file name in the archive note only",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.pluginFile.clear();
             f.installStandard = f.uninstallStandard = false;
             f.requiresBsaArchive = true;
         },
         PluginId::File, "Имя файла: пусто, в readme будет пустое место"},
        {"tag in the name", [](ReadmeForm& f, DatabaseRecord&) { f.pluginName = "<b>Name"; }, PluginId::Name,
         "Название: тег <b> открыт и не закрыт"},
        {"script in the name", [](ReadmeForm& f, DatabaseRecord&) { f.pluginName = "<script>alert(1)</script>Башня"; },
         PluginId::Name, "Название: скрипт <script> — браузер выполнит его, когда откроет readme"},
        {"event attribute in the plug-in's file",
         [](ReadmeForm& f, DatabaseRecord&) { f.pluginFile = "<img src=x onerror=alert(1)>.esp"; }, PluginId::File,
         "Имя файла: скрипт onerror= — браузер выполнит его, когда откроет readme"},
        {"event attribute in the note",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.noteEnabled = true;
             f.note = "<b OnMouseOver=\"go()\">Note</b>";
         },
         ExtrasId::Note, "Примечание: скрипт onmouseover= — браузер выполнит его, когда откроет readme"},
        {"single break", [](ReadmeForm& f, DatabaseRecord&) { f.description = "one\r\ntwo"; }, PluginId::Description,
         "Описание: одиночный перевод строки станет пробелом и строки сольются; абзац отделяйте пустой строкой"},
        {"closing tag in other requirements",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.requiresOther = true;
             f.otherRequirements = "MWSE</i>";
         },
         PluginId::OtherRequirements, "Требует, другое: тег </i> закрыт, но не открыт"},
        {"screenshot without a file",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.screenshotCount = 1;
             f.screenshotPath[0] = "";
         },
         PluginId::Screenshot1, "Скриншот 1: файл не указан"},
        {"screenshot that does not open",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.screenshotCount = 2;
             f.screenshotPath = {"good.png", "missing.jpg", ""};
         },
         PluginId::Screenshot2, "Скриншот 2: файл не открывается"},
        {"screenshot that is not a picture",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.screenshotCount = 3;
             f.screenshotPath = {"good.png", "good.gif", "notes.jpg"};
         },
         PluginId::Screenshot3, "Скриншот 3: не картинка (JPEG, PNG, BMP или GIF)"},
        {"screenshot far from 300 x 225",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.screenshotCount = 1;
             f.screenshotPath[0] = "big.jpg";
         },
         PluginId::Screenshot1, "Скриншот 1: размер 1920 x 1080, рекомендуется 300 x 225"},
        {"two screenshots with one name",
         [this](ReadmeForm& f, DatabaseRecord&) {
             f.screenshotCount = 2;
             f.screenshotPath = {"good.png", folder / "good.png", ""};
         },
         PluginId::Screenshot2, "Скриншот 2: то же имя файла, что у скриншота 1"},
        {"own installation text",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.installOther = true;
             f.installText = "<u>x";
         },
         PluginId::InstallText, "Установка: тег <u> открыт и не закрыт"},
        {"own removal text",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.uninstallOther = true;
             f.uninstallText = "a\nb";
         },
         PluginId::UninstallText,
         "Удаление: одиночный перевод строки станет пробелом и строки сольются; абзац отделяйте пустой строкой"},
        {"how to play",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.howToPlayEnabled = true;
             f.howToPlay = "<i>";
         },
         ExtrasId::HowToPlay, "Как играть: тег <i> открыт и не закрыт"},
        {"authors", [](ReadmeForm& f, DatabaseRecord&) { f.authors = "</b>"; }, ExtrasId::Authors,
         "Авторы: тег </b> закрыт, но не открыт"},
        {"note",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.noteEnabled = true;
             f.note = "<div>";
         },
         ExtrasId::Note, "Примечание: тег <div> открыт и не закрыт"},
        {"own warning",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.warningOther = true;
             f.warningText = "<s>";
         },
         ExtrasId::WarningText, "Предупреждение: тег <s> открыт и не закрыт"},
        {"record with a missing archive",
         [](ReadmeForm&, DatabaseRecord& r) {
             r.recordWanted = true;
             r.archiveName = "missing.zip";
         },
         DatabaseId::Archive, "Архив для записи: файл не найден"},
        {"record with a chosen archive gone from its folder",
         [this](ReadmeForm&, DatabaseRecord& r) {
             WriteFile(folder / "gone.zip", "PK");  // beside the readme does not count
             r.recordWanted = true;
             r.archiveName = "gone.zip";
             r.archivePath = (folder / "downloads") + kPathSeparator + "gone.zip";
         },
         DatabaseId::Archive, "Архив для записи: файл не найден"},
        {"record whose typed name is not the chosen archive's",
         [this](ReadmeForm&, DatabaseRecord& r) {
             WriteFile((folder / "downloads") + kPathSeparator + "chosen.zip", "PK");
             r.recordWanted = true;
             r.archiveName = "typed.zip";
             r.archivePath = (folder / "downloads") + kPathSeparator + "chosen.zip";
         },
         DatabaseId::Archive, "Архив для записи: файл не найден"},
        {"record with an archive that is a folder",
         [this](ReadmeForm&, DatabaseRecord& r) {
             r.recordWanted = true;
             r.archiveName = folder.path();
         },
         DatabaseId::Archive, "Архив для записи: файл не найден"},
    };
    for (const Case& c : cases) {
        ReadmeForm form = Form();
        DatabaseRecord record = NewDatabaseRecord();
        c.change(form, record);
        const std::vector<ReadmeCheck> checks = Check(form, record);
        ASSERT_EQ(checks.size(), 1u) << c.what << ": " << ::testing::PrintToString(Messages(checks));
        EXPECT_EQ(checks[0].field, c.field) << c.what;
        EXPECT_EQ(cp1251::ToUtf8(checks[0].message), c.message) << c.what;
    }
}

// A field that the readme leaves out is not checked, whatever it holds.
TEST_F(CheckReadmeTest, FieldsTheReadmeLeavesOutAreNotCheckedTable) {
    struct Case {
        const char* what;
        std::function<void(ReadmeForm&, DatabaseRecord&)> change;
    };
    const Case cases[] = {
        {"other requirements unchecked", [](ReadmeForm& f, DatabaseRecord&) { f.otherRequirements = "<b>"; }},
        {"third path beyond the count",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.screenshotCount = 0;
             f.screenshotPath[0] = "missing.jpg";
         }},
        {"count -1", [](ReadmeForm& f, DatabaseRecord&) { f.screenshotCount = -1; }},
        {"own install text unchecked", [](ReadmeForm& f, DatabaseRecord&) { f.installText = "<b>"; }},
        {"note disabled", [](ReadmeForm& f, DatabaseRecord&) { f.note = "a\r\nb"; }},
        {"script in a disabled note", [](ReadmeForm& f, DatabaseRecord&) { f.note = "<script>x</script>"; }},
        {"archive without a record", [](ReadmeForm&, DatabaseRecord& r) { r.archiveName = "missing.zip"; }},
        {"empty file name where no text uses it",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.pluginFile.clear();
             f.installStandard = f.uninstallStandard = false;
         }},
        {"single breaks kept by the option",
         [](ReadmeForm& f, DatabaseRecord&) {
             f.keepLineBreaks = true;
             f.description = "one\r\ntwo";
             f.authors = "a\nb";
         }},
        {"record with an archive chosen in another folder",
         [this](ReadmeForm&, DatabaseRecord& r) {
             WriteFile((folder / "downloads") + kPathSeparator + "mod.zip", "PK");
             r.recordWanted = true;
             r.archiveName = "mod.zip";
             r.archivePath = (folder / "downloads") + kPathSeparator + "mod.zip";
         }},
        {"record with an archive that is there",
         [this](ReadmeForm&, DatabaseRecord& r) {
             WriteFile(folder / "a.zip", "PK");
             r.recordWanted = true;
             r.archiveName = "a.zip";
         }},
    };
    for (const Case& c : cases) {
        ReadmeForm form = Form();
        DatabaseRecord record = NewDatabaseRecord();
        c.change(form, record);
        EXPECT_EQ(Messages(Check(form, record)), std::vector<std::string>{}) << c.what;
    }
}

// Only the joined lines offer the option; once it is on, they are gone and
// the rest of the text's checks stay.
TEST_F(CheckReadmeTest, JoinedLinesOfferToKeepTheBreaks) {
    ReadmeForm form = Form();
    form.description = "<b>one\r\ntwo";
    form.pluginName.clear();
    std::vector<ReadmeCheck> checks = Check(form);
    ASSERT_EQ(checks.size(), 3u) << ::testing::PrintToString(Messages(checks));
    EXPECT_EQ(checks[0].offer, CheckOffer::None);
    EXPECT_EQ(checks[1].offer, CheckOffer::None);
    EXPECT_EQ(checks[2].field, CheckedField(PluginId::Description));
    EXPECT_EQ(checks[2].offer, CheckOffer::KeepLineBreaks);
    form.keepLineBreaks = true;
    checks = Check(form);
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_EQ(cp1251::ToUtf8(checks[1].message), "Описание: тег <b> открыт и не закрыт");
}

TEST_F(CheckReadmeTest, SeveralProblemsComeInTheFormsOrder) {
    ReadmeForm form = Form();
    form.pluginName.clear();
    form.authors = "<b>a\r\nb";
    form.screenshotCount = 1;
    form.screenshotPath[0] = "none.png";
    const std::vector<ReadmeCheck> checks = Check(form);
    ASSERT_EQ(checks.size(), 4u);
    EXPECT_EQ(checks[0].field, CheckedField(PluginId::Name));
    EXPECT_EQ(checks[1].field, CheckedField(PluginId::Screenshot1));
    EXPECT_EQ(checks[2].field, CheckedField(ExtrasId::Authors));
    EXPECT_EQ(checks[3].field, CheckedField(ExtrasId::Authors));
}

// The chosen plug-in's header against the requirements, its archive and 1004.
TEST_F(CheckReadmeTest, ThePluginsHeaderAgainstTheFormTable) {
    WriteFile(folder / "Mod.esp",
              testing_plugin::Plugin("", "", {"morrowind.esm", "Tribunal.esm", "Tamriel_Data.esm"}));
    WriteFile(folder / "Bsa.esp", testing_plugin::Plugin("", ""));
    WriteFile(folder / "BSA.BSA", "BSA");
    WriteFile(folder / "text.esp", "not a plug-in");
    const std::string notNamed = "Требует, другое: плагин требует Tamriel_Data.esm, а здесь он не назван";
    const std::tuple<const char*, std::function<void(ReadmeForm&)>, std::vector<std::pair<CheckedField, std::string>>>
        cases[] = {
            {"every master named", [](ReadmeForm&) {}, {}},
            {"no plug-in chosen",
             [](ReadmeForm& f) {
                 f.pluginPath.clear();
                 f.requiresOther = false;
             },
             {}},
            {"a full path", [this](ReadmeForm& f) { f.pluginPath = folder / "Mod.esp"; }, {}},
            {"a box not ticked",
             [](ReadmeForm& f) { f.requiresTribunal = false; },
             {{PluginId::Tribunal, "Tribunal: плагин требует Tribunal.esm, а флажок не отмечен"}}},
            {"Other not ticked",
             [](ReadmeForm& f) { f.requiresOther = false; },
             {{PluginId::OtherRequirements, notNamed}}},
            {"the text names another",
             [](ReadmeForm& f) { f.otherRequirements = "Tamriel_Data.esm.bak"; },
             {{PluginId::OtherRequirements, notNamed}}},
            {"a BSA beside",
             [](ReadmeForm& f) {
                 f.pluginPath = f.pluginFile = "Bsa.esp";
                 f.requiresTribunal = false;
             },
             {{PluginId::BsaArchive, "Архив BSA: рядом с плагином лежит Bsa.bsa, а флажок не отмечен"}}},
            {"the file is gone",
             [](ReadmeForm& f) { f.pluginPath = "Gone.esp"; },
             {{PluginId::File, "Имя файла: файл плагина не найден"}}},
            {"1004 renamed",
             [](ReadmeForm& f) { f.pluginFile = "Other.esp"; },
             {{PluginId::File, "Имя файла: не то, что у выбранного файла плагина, Mod.esp"}}},
            {"not a plug-in",
             [](ReadmeForm& f) { f.pluginPath = f.pluginFile = "text.esp"; },
             {{PluginId::File, "Имя файла: заголовок плагина не прочитан, не плагин Morrowind"}}},
        };
    for (const auto& [what, change, expected] : cases) {
        ReadmeForm form = Form();
        form.pluginPath = "Mod.esp";
        form.requiresTribunal = form.requiresOther = true;
        form.otherRequirements = "TAMRIEL_DATA.ESM, MWSE";
        change(form);
        std::vector<std::pair<CheckedField, std::string>> got;
        for (const ReadmeCheck& check : Check(form)) got.emplace_back(check.field, cp1251::ToUtf8(check.message));
        EXPECT_EQ(got, expected) << what;
    }
}

}  // namespace
