// A readme and its record read back: what is read renders the same bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/output_test_support.h"
#include "form/FormFile.h"
#include "output/SaveFiles.h"
#include "readme/ReadmeHtml.h"
#include "reopen/ReadingSupport.h"
#include "reopen/ReadmeReader.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

using testing_output::ReadFile;
using testing_output::ScratchFolder;
using testing_output::WriteFile;

const TemplatePackage& Package() {
    static TemplatePackage package = [] {
        TemplatePackage p;
        p.LoadBuiltIn();
        return p;
    }();
    return package;
}

// Its screenshot paths in the system's own spelling.
FormFile ExampleForm() {
    FormFile file = ReadFormFile(*ReadFile(std::string(QS_SOURCE_DIR) + "/examples/example-form.json")).file;
    for (FilePath& path : file.form.screenshotPath) std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return file;
}

// Texts made of what a reading could mistake for the readme's own bytes.
class Texts {
public:
    explicit Texts(unsigned seed) : m_random(seed) {}

    int Below(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    Text Multiline() {
        static const std::vector<std::string_view> pieces = {"a",
                                                             "Маяк"_cp,
                                                             " ",
                                                             "\t",
                                                             "&",
                                                             "<br>",
                                                             "<BR>",
                                                             "<b>x</b>",
                                                             "&#8364;",
                                                             "&nbsp;&nbsp;",
                                                             "Morrowind.esm",
                                                             "Tribunal.esm",
                                                             "Предупреждение\r\n"_cp,
                                                             Package().Fragment("htm_tab_01"),
                                                             Package().Fragment("htm_tab_03"),
                                                             Package().Fragment("htm_txt_warn_01"),
                                                             Package().Fragment("htm_txt_inst_01")};
        return Made(pieces, true);
    }
    // A single-line value may hold anything but a section's opening table.
    Text Value() {
        static const std::vector<std::string_view> pieces = {"b",
                                                             "Лодка"_cp,
                                                             " ",
                                                             "&",
                                                             ".",
                                                             ".esp",
                                                             "<br>",
                                                             "\r\n",
                                                             "\"",
                                                             "\\",
                                                             Package().Fragment("htm_tab_02"),
                                                             Package().Fragment("htm_tab_03"),
                                                             Package().Fragment("htm_txt_inst_02"),
                                                             Package().Fragment("htm_txt_unst_02"),
                                                             "\" border=\"0\">",
                                                             "&nbsp;&nbsp;<img src=\"files/scrins/",
                                                             ".bsa</b>"};
        return Made(pieces, false);
    }
    // UTF-8, with letters Windows-1251 lacks and references typed as such.
    FilePath ScreenshotName() {
        static const std::vector<std::string_view> pieces = {
            "shot", " ", "снимок", "ā", "日本", "&#257;", "&#65;", "&#0257;", "&#55296;", "\xC3", ".jpg", "\"", "&"};
        return Made(pieces, false);
    }

private:
    Text Made(const std::vector<std::string_view>& pieces, bool breaks) {
        Text text;
        const int count = Below(4) == 0 ? 0 : Below(12);
        for (int i = 0; i < count; ++i) {
            if (breaks && Below(3) == 0)
                for (int run = Below(10); run > 0; --run) text += Below(2) ? '\r' : '\n';
            else
                text += pieces[static_cast<std::size_t>(Below(static_cast<int>(pieces.size())))];
        }
        return text;
    }

    std::mt19937 m_random;
};

TEST(ReadmeReader, EveryFormReadBackRendersTheSameReadme) {
    Texts texts(20240611);
    const std::array<bool ReadmeForm::*, 13> flags = {
        &ReadmeForm::requiresMorrowind,  &ReadmeForm::requiresTribunal,  &ReadmeForm::requiresBloodmoon,
        &ReadmeForm::requiresBsaArchive, &ReadmeForm::requiresOther,     &ReadmeForm::installStandard,
        &ReadmeForm::installOther,       &ReadmeForm::uninstallStandard, &ReadmeForm::uninstallOther,
        &ReadmeForm::howToPlayEnabled,   &ReadmeForm::noteEnabled,       &ReadmeForm::warningStandard,
        &ReadmeForm::warningOther};
    for (unsigned combination = 0; combination < (1u << flags.size()); ++combination) {
        ReadmeForm form = NewReadmeForm();
        for (std::size_t f = 0; f < flags.size(); ++f) form.*flags[f] = (combination >> f & 1) != 0;
        form.pluginName = texts.Value();
        form.pluginFile = texts.Value();
        for (Text* text : {&form.description, &form.otherRequirements, &form.installText, &form.uninstallText,
                           &form.howToPlay, &form.authors, &form.note, &form.warningText})
            *text = texts.Multiline();
        form.screenshotCount = static_cast<int>(combination % 5) - 1;
        for (FilePath& path : form.screenshotPath)
            path = "shots" + std::string(1, kPathSeparator) + texts.ScreenshotName();
        form.keepLineBreaks = texts.Below(2) == 0;

        const Text html = BuildReadmeHtml(form, Package());
        const ReadmeReading read = ReadReadmeHtml(html);
        ASSERT_TRUE(read.ok()) << combination << ": " << read.error;
        ASSERT_EQ(BuildReadmeHtml(read.form, Package()), html) << combination;
    }
}

TEST(ReadmeReader, ReadsTheExampleAsItWasFilled) {
    const ReadmeForm example = ExampleForm().form;
    const ReadmeReading read = ReadReadmeHtml(BuildReadmeHtml(example, Package()));
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.form.pluginFile, example.pluginFile);
    EXPECT_EQ(read.form.screenshotPath[1],
              "files" + std::string(1, kPathSeparator) + "scrins" + std::string(1, kPathSeparator) + "keeper-room.jpg");
    EXPECT_EQ(read.form.installText, example.installText);
    EXPECT_EQ(read.form.authors, "Идея и скрипты: Ильмар Северянин Модели: Лета Корн"_cp);
    EXPECT_TRUE(read.notes.empty());

    // The folder of the older packages' spelling reads as well.
    Text old = BuildReadmeHtml(example, Package());
    for (std::size_t at = old.find("files/images/"); at != Text::npos; at = old.find("files/images/", at + 1))
        old[at] = 'F';
    const ReadmeReading oldRead = ReadReadmeHtml(old);
    ASSERT_TRUE(oldRead.ok()) << oldRead.error;
    EXPECT_EQ(oldRead.form, read.form);
}

// Only what the readme's encoder writes for a character it lacks is a character.
TEST(ReadmeReader, ScreenshotNamesComeBackAsTheirFileNames) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"\xF1\xED\xE8\xEC\xEE\xEA.jpg", "снимок.jpg"},
        {"&#257;&#26085;.jpg", "ā日.jpg"},
        {"&#65533;", "\xEF\xBF\xBD"},
        {"&#65;&#0257;&#55296;&#1114112;", "&#65;&#0257;&#55296;&#1114112;"},
        {"&#257", "&#257"},
        {"a&#&#257;\x98", "a&#ā\xC2\x98"},
    };
    for (const auto& [name, file] : cases) {
        EXPECT_EQ(DecodeFileName(name), file) << name;
        EXPECT_EQ(cp1251::FromUtf8(DecodeFileName(name)), name);
    }
}

TEST(ReadmeReader, AFileNameOnlyTheArchiveNotesGuessesThePlugin) {
    ReadmeForm form = NewReadmeForm();
    form.installStandard = form.uninstallStandard = false;
    form.requiresBsaArchive = true;
    form.pluginFile = "Маяк.v2.esm"_cp;
    const ReadmeReading read = ReadReadmeHtml(BuildReadmeHtml(form, Package()));
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.form.pluginFile, "Маяк.v2.esp"_cp);
    ASSERT_EQ(read.notes.size(), 1u);
    EXPECT_EQ(read.notes[0], "имя файла плагина взято из имени архива: Маяк.v2.esp");
}

TEST(ReadmeReader, WhatIsNotOursIsRefusedWithWhy) {
    const Text readme = BuildReadmeHtml(ExampleForm().form, Package());
    const std::string open = Package().Fragment("htm_tab_01");
    const auto section = [&](std::string_view heading) {
        const std::size_t at = readme.find(open + Text(heading));
        return std::pair(at, readme.find(open, at + 1) - at);
    };
    const auto [install, installSize] = section("Установка"_cp);
    const auto [uninstall, uninstallSize] = section("Удаление"_cp);
    const auto [authors, authorsSize] = section("Авторы"_cp);
    const auto [note, noteSize] = section("Примечание"_cp);
    Text swapped = readme.substr(0, install) + readme.substr(uninstall, uninstallSize) +
                   readme.substr(install, installSize) + readme.substr(uninstall + uninstallSize);
    Text unknown = readme;
    unknown.replace(note + open.size(), 10, "Заметки"_cp);

    const std::pair<Text, std::string_view> cases[] = {
        {"<html><head><title>Другая</title></head><body>Привет</body></html>", "страница сделана не по его шаблону"},
        {Text("Маяк у Тихой заводи\r\nПлагин для Morrowind.\r\n"_cp), "это не HTML-страница"},
        {"", "это не HTML-страница"},
        {swapped, "раздел «Установка» не на своём месте"},
        {readme.substr(0, authors) + readme.substr(authors + authorsSize), "нет раздела «Авторы»"},
        {unknown, "неизвестный раздел «Заметки»"},
        {readme.substr(0, install) + readme.substr(install + 2), "после раздела «Скриншоты» текст не из шаблона"},
    };
    for (const auto& [bytes, why] : cases)
        EXPECT_EQ(ReadReadmeHtml(bytes).error, "не похоже на ReadMe, созданный Quillsmith: " + std::string(why))
            << cp1251::ToUtf8(bytes.substr(0, 80));
    // Cut at each section, and inside the last.
    for (std::size_t at = readme.find(open); at != Text::npos; at = readme.find(open, at + 1))
        EXPECT_EQ(ReadReadmeHtml(readme.substr(0, at)).error,
                  "не похоже на ReadMe, созданный Quillsmith: файл обрезан: нет конца страницы");
    EXPECT_FALSE(ReadReadmeHtml(readme.substr(0, readme.size() - 1)).ok());
}

TEST(RecordReader, EveryRecordReadBackWritesTheSameRecord) {
    Texts texts(7);
    for (int i = 0; i < 2000; ++i) {
        DatabaseRecord record = NewDatabaseRecord();
        record.recordWanted = true;
        record.categoryIndex = texts.Below(16) - 1;
        record.archiveName = texts.ScreenshotName() + ".zip";
        for (Text* text : {&record.imageName, &record.authorName, &record.authorEmail, &record.adapterName,
                           &record.adapterEmail, &record.originalLink})
            *text = texts.Value();
        record.archiveSize = std::to_string(texts.Below(1 << 30));
        record.grades = {texts.Below(3), texts.Below(3), texts.Below(3)};
        ReadmeForm form = NewReadmeForm();
        form.pluginName = texts.Value();
        form.description = texts.Multiline();
        form.requiresTribunal = texts.Below(2) == 0;
        form.requiresBloodmoon = texts.Below(2) == 0;
        Text bytes;
        ASSERT_TRUE(BuildDatabaseRecord(record, form, bytes, [](std::string_view, MessageIcon) {}));

        const RecordReading read = ReadDatabaseRecordFile(bytes, record.archiveName + ".sql");
        ASSERT_TRUE(read.ok()) << i << ": " << read.error;
        ReadmeForm readForm = NewReadmeForm();
        readForm.pluginName = read.pluginName;
        readForm.description = read.description;
        readForm.requiresTribunal = read.requiresTribunal;
        readForm.requiresBloodmoon = read.requiresBloodmoon;
        Text again;
        ASSERT_TRUE(BuildDatabaseRecord(read.record, readForm, again, [](std::string_view, MessageIcon) {}));
        ASSERT_EQ(again, bytes) << i;
        EXPECT_EQ(read.record.archiveName, record.archiveName) << i;
        EXPECT_EQ(read.record.categoryIndex, record.categoryIndex);
    }
}

TEST(RecordReader, RefusesWhatTheRecordNeverWrites) {
    Text good;
    DatabaseRecord record = NewDatabaseRecord();
    record.recordWanted = true;
    record.archiveSize = "10";
    BuildDatabaseRecord(record, NewReadmeForm(), good, [](std::string_view, MessageIcon) {});
    const auto with = [&](std::string_view from, std::string_view to) {
        Text bytes = good;
        bytes.replace(bytes.find(from), from.size(), to);
        return bytes;
    };
    for (const Text& bytes :
         {good.substr(0, good.size() - 3), with("\"1\",\r\nNOW());", "\"2\",\r\nNOW());"), with("\r\n10,", "\r\n1O,"),
          with("\r\n1,", "\r\n01,"), with("\"\",\r\n1,", "\"\\\",\r\n1,"), good + "\r\n", Text("DROP TABLE plugs;")})
        EXPECT_FALSE(ReadDatabaseRecordFile(bytes, "x.sql").ok()) << bytes;
}

// Saved, read back from its folder, saved again into the same folder.
TEST(ReleaseReader, ReadsASavedReleaseAndSavesItBackWhole) {
    ScratchFolder folder;
    FormFile example = ExampleForm();
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string shot = folder / ("shot" + std::to_string(i) + ".jpg");
        WriteFile(shot, std::string(70000 + i, static_cast<char>('a' + i)));
        example.form.screenshotPath[i] = shot;
    }
    const auto save = [&](const FormFile& file) {
        const Text html = BuildReadmeHtml(file.form, Package());
        Text record;
        BuildDatabaseRecord(file.record, file.form, record, [](std::string_view, MessageIcon) {});
        static std::array<char, kTextBufferSize> buffer;
        return RunSaveFileWork(MakeSaveFileWork(file.form, Package(), html, file.record, record, folder / "ReadMe.htm"),
                               Package(), buffer, [](std::string_view, MessageIcon) {});
    };
    ASSERT_TRUE(save(example).ok());
    const std::string scrins = folder / "files" + kPathSeparator + "scrins" + kPathSeparator;
    const std::string shotBytes = *ReadFile(scrins + "shot1.jpg");

    ReleaseReading read = ReadRelease(folder / "ReadMe.htm");
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_TRUE(read.file.form.writeBackgroundImages && read.file.form.copyScreenshots);
    EXPECT_EQ(read.file.form.description, example.form.description);  // the record kept its breaks
    EXPECT_EQ(read.recordPath, folder / "QuietLighthouse.zip.sql");
    example.record.archivePath.clear();
    EXPECT_EQ(read.file.record, example.record);
    EXPECT_EQ(ReleaseReadingSummary(read, folder / "ReadMe.htm"),
              "Форма прочитана из ReadMe.htm и QuietLighthouse.zip.sql; "
              "переносы строк внутри абзацев не сохраняются в ReadMe");

    // The screenshots are their own sources now.
    const std::string readme = *ReadFile(folder / "ReadMe.htm");
    ASSERT_TRUE(save(read.file).ok());
    EXPECT_EQ(*ReadFile(folder / "ReadMe.htm"), readme);
    EXPECT_EQ(*ReadFile(scrins + "shot1.jpg"), shotBytes);

    // A second record beside it: neither is taken. A screenshot gone: no copying.
    WriteFile(folder / "Other.zip.sql", *ReadFile(folder / "QuietLighthouse.zip.sql"));
    std::filesystem::remove(testing_output::PathOf(scrins + "shot2.jpg"));
    read = ReadRelease(folder / "ReadMe.htm");
    ASSERT_TRUE(read.ok());
    EXPECT_FALSE(read.file.form.copyScreenshots);
    EXPECT_TRUE(read.recordPath.empty());
    EXPECT_FALSE(read.file.record.recordWanted);
    EXPECT_EQ(read.notes.front(),
              "рядом с ReadMe несколько записей для сайта (Other.zip.sql, QuietLighthouse.zip.sql), ни одна не взята");

    EXPECT_FALSE(ReadRelease(folder / "Нет.htm").ok());
    EXPECT_FALSE(ReadRelease(folder / "Other.zip.sql").ok());
}

}  // namespace
