#include "form/FormFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <random>

#include "text/Cp1251.h"

namespace {

TEST(ReadFormFile, MissingKeysTakeTheNewState) {
    for (const char* json : {"{}", " { } \n", "\xEF\xBB\xBF{}", "{\"database\": {}}"}) {
        const FormFileResult result = ReadFormFile(json);
        ASSERT_TRUE(result.ok()) << json << ": " << result.error;
        EXPECT_EQ(result.file.form, NewReadmeForm());
        EXPECT_EQ(result.file.record, NewDatabaseRecord());
        EXPECT_EQ(result.file.record.originalLink, "http://hearthcove.example.org/");
    }
}

TEST(ReadFormFile, EveryKeyReachesItsField) {
    const char* json = R"({
        "pluginName": "Имя", "pluginFile": "mod.esp", "description": "d",
        "requiresMorrowind": false, "requiresTribunal": true, "requiresBloodmoon": true,
        "requiresBsaArchive": true, "requiresOther": true, "otherRequirements": "o",
        "screenshotCount": 2, "screenshotPath": ["a.jpg", "b.jpg", "c.jpg"],
        "installStandard": false, "installOther": true, "installText": "i",
        "uninstallStandard": false, "uninstallOther": true, "uninstallText": "u",
        "howToPlayEnabled": true, "howToPlay": "h", "authors": "au",
        "noteEnabled": true, "note": "n",
        "warningStandard": false, "warningOther": true, "warningText": "w",
        "writeBackgroundImages": false, "copyScreenshots": false, "keepLineBreaks": true,
        "database": {
            "recordWanted": true, "categoryIndex": 13, "archiveName": "mod.zip", "imageName": "m.jpg",
            "authorName": "an", "authorEmail": "ae@example.org", "adapterName": "dn",
            "adapterEmail": "de@example.com", "archiveSize": "123", "originalLink": "http://mod.example/",
            "grades": [2, 1, 0], "archivePath": "/downloads/mod.zip"
        }
    })";
    ReadmeForm form;
    form.pluginName = std::string("Имя"_cp);
    form.pluginFile = "mod.esp";
    form.description = "d";
    form.requiresTribunal = form.requiresBloodmoon = form.requiresBsaArchive = form.requiresOther = true;
    form.otherRequirements = "o";
    form.screenshotCount = 2;
    form.screenshotPath = {"a.jpg", "b.jpg", "c.jpg"};
    form.installOther = true;
    form.installText = "i";
    form.uninstallOther = true;
    form.uninstallText = "u";
    form.howToPlayEnabled = true;
    form.howToPlay = "h";
    form.authors = "au";
    form.noteEnabled = true;
    form.note = "n";
    form.warningOther = true;
    form.warningText = "w";
    form.keepLineBreaks = true;
    DatabaseRecord record{true,      13,
                          "mod.zip", "m.jpg",
                          "an",      "ae@example.org",
                          "dn",      "de@example.com",
                          "123",     "http://mod.example/",
                          {2, 1, 0}, "/downloads/mod.zip"};

    const FormFileResult result = ReadFormFile(json);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.file.form, form);
    EXPECT_EQ(result.file.record, record);
}

TEST(ReadFormFile, StringsBecomeWindows1251ByteForByte) {
    const std::pair<const char*, std::string> cases[] = {
        {R"("Привет, Ёж")", "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6"},
        {R"("a\r\nb")", "a\r\nb"},
        {R"("a\nb\rc")", "a\nb\rc"},
        {R"("\t<b>&amp;</b> \"q\" \\")", "\t<b>&amp;</b> \"q\" \\"},
        {R"("\u0098\u00a0\u2116")", "\x98\xA0\xB9"},
        {R"("\u4e2d")", "&#20013;"},  // outside Windows-1251
        {R"("\ud83d\ude00")", "&#128512;"},
        {R"("")", ""},
    };
    for (const auto& [literal, expected] : cases) {
        const FormFileResult result = ReadFormFile(std::string("{\"note\": ") + literal + "}");
        ASSERT_TRUE(result.ok()) << literal << ": " << result.error;
        EXPECT_EQ(result.file.form.note, expected) << literal;
    }
}

TEST(ReadFormFile, ErrorsNameTheKey) {
    const std::pair<std::string, std::string> cases[] = {
        {"[]", "форма должна быть объектом JSON: {...}"},
        {"\"text\"", "форма должна быть объектом JSON: {...}"},
        {"{\"pluginname\": \"x\"}", "неизвестный ключ \"pluginname\""},
        {"{\"database\": {\"pluginName\": \"x\"}}", "неизвестный ключ \"database.pluginName\""},
        {"{\"Имя\": 1}", "неизвестный ключ \"Имя\""},
        // What the message box cannot show is not passed on as "&#N;".
        {"{\"\\u0007日本x\": 1}", "неизвестный ключ \"???x\""},
        {"{\"database\": []}", "значение \"database\" должно быть объектом"},
        {"{\"pluginName\": 5}", "значение \"pluginName\" должно быть строкой"},
        {"{\"pluginName\": null}", "значение \"pluginName\" должно быть строкой"},
        {"{\"copyScreenshots\": 1}", "значение \"copyScreenshots\" должно быть true или false"},
        {"{\"copyScreenshots\": \"true\"}", "значение \"copyScreenshots\" должно быть true или false"},
        {"{\"screenshotPath\": [\"a\", \"b\"]}", "значение \"screenshotPath\" должно быть массивом из 3 строк"},
        {"{\"screenshotPath\": [\"a\", \"b\", 3]}", "значение \"screenshotPath\" должно быть массивом из 3 строк"},
        {"{\"screenshotPath\": \"a\"}", "значение \"screenshotPath\" должно быть массивом из 3 строк"},
        {"{\"database\": {\"archiveSize\": 123}}", "значение \"database.archiveSize\" должно быть строкой"},
    };
    for (const auto& [json, expected] : cases) EXPECT_EQ(ReadFormFile(json).error, expected) << json;
}

// Line and column of the fault; the column counts characters, not bytes,
// and nothing of the file's bytes is echoed.
TEST(ReadFormFile, MalformedFilesAreDescribedInRussianWithLineAndColumn) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "строка 1, символ 1: файл пуст"},
        {" \r\n ", "строка 2, символ 2: файл пуст"},
        {"{", "строка 1, символ 2: форма обрывается, не закончившись"},
        {"{\n  \"note\": \"x\",\n  oops\n}",
         "строка 3, символ 3: неизвестное слово; значение пишется в кавычках, числом, "
         "true, false или null"},
        {"{\"note\": tru}",
         "строка 1, символ 10: неизвестное слово; значение пишется в кавычках, числом, true, false "
         "или null"},
        {"{\"note\": \"Жук\",\r\n\"authors\": #}", "строка 2, символ 12: недопустимый знак вне кавычек"},
        {"{\r\r\"note\" 1}", "строка 3, символ 8: после ключа нужно двоеточие"},
        {"\xEF\xBB\xBF{\"note\": \"ёж\" \"x\"}", "строка 1, символ 15: нужна запятая или закрывающая \"}\""},
        {"{\"a\": 1 true}", "строка 1, символ 9: нужна запятая или закрывающая \"}\""},
        {"[1 2]", "строка 1, символ 4: нужна запятая или закрывающая \"]\""},
        {"{\"a\": 1,}", "строка 1, символ 9: нужен ключ в кавычках"},
        {"{\"a\": }", "строка 1, символ 7: нужно значение"},
        {"{\"note\": \"x\"} trailing", "строка 1, символ 15: после конца формы лишний текст"},
        {"{} {}", "строка 1, символ 4: после конца формы лишний текст"},
        {"{\"note\": \"unterminated}", "строка 1, символ 24: текст в кавычках не закрыт"},
        {"{\"note\": \"a\nb\"}",
         "строка 1, символ 12: управляющий символ в тексте в кавычках (перевод строки пишется "
         "как \\n)"},
        {"{\"note\": \"\\q\"}", "строка 1, символ 12: после обратной косой черты недопустимый знак"},
        {"{\"note\": \"\\u12\"}", "строка 1, символ 15: после \\u нужны 4 шестнадцатеричные цифры"},
        {"{\"note\": \"\\ud800\"}", "строка 1, символ 17: \\u задаёт половину суррогатной пары без другой половины"},
        {"{\"note\": -}", "строка 1, символ 11: неверно записано число"},
        {"{\n\"note\": 7e999}", "строка 2, символ 9: число слишком велико"},
        {"\xEF\xBB", "строка 1, символ 3: испорчена метка порядка байтов в начале файла"},
        // Not UTF-8: Windows-1251 text, a bare lead byte, random bytes.
        {"{\"note\": \"\xCF\xF0\xE8\"}", "строка 1, символ 11: байты не в кодировке UTF-8"},
        {"{\"note\": \"\xC0\xAF\"}", "строка 1, символ 11: байты не в кодировке UTF-8"},
        {"\xFF\xFE\x01\x02", "строка 1, символ 1: байты не в кодировке UTF-8"},
        {"{\"я\": 1,\n\xD0", "строка 2, символ 1: байты не в кодировке UTF-8"},
    };
    for (const auto& [json, expected] : cases) EXPECT_EQ(ReadFormFile(json).error, expected) << json;
}

// A value outside the list it indexes would pick no item on the page or in
// the record; the ends of each list are read.
TEST(ReadFormFile, IndexesOutsideTheirListsAreRefusedNamingTheKey) {
    const std::string screenshots = "значение \"screenshotCount\" должно быть целым числом от -1 до 3";
    const std::string category = "значение \"database.categoryIndex\" должно быть целым числом от -1 до 13";
    const std::string grades = "значение \"database.grades\" должно быть массивом из 3 целых чисел от 0 до 2";
    const std::pair<std::string, std::string> refused[] = {
        {R"({"screenshotCount": 4})", screenshots},
        {R"({"screenshotCount": -2})", screenshots},
        {R"({"screenshotCount": 1.5})", screenshots},
        {R"({"screenshotCount": "2"})", screenshots},
        {R"({"screenshotCount": 2147483648})", screenshots},
        {R"({"screenshotCount": -2147483649})", screenshots},
        {R"({"screenshotCount": 18446744073709551615})", screenshots},
        {R"({"database": {"categoryIndex": 14}})", category},
        {R"({"database": {"categoryIndex": -2}})", category},
        {R"({"database": {"categoryIndex": true}})", category},
        {R"({"database": {"grades": [3, 0, 0]}})", grades},
        {R"({"database": {"grades": [0, -1, 0]}})", grades},
        {R"({"database": {"grades": [0, 0, 7]}})", grades},
        {R"({"database": {"grades": [0, 1]}})", grades},
        {R"({"database": {"grades": [0, 1, "2"]}})", grades},
    };
    for (const auto& [json, expected] : refused) EXPECT_EQ(ReadFormFile(json).error, expected) << json;

    const struct {
        const char* json;
        int screenshots, category;
        std::array<int, 3> grades;
    } accepted[] = {
        {R"({"screenshotCount": -1, "database": {"categoryIndex": -1, "grades": [0, 0, 0]}})", -1, -1, {0, 0, 0}},
        {R"({"screenshotCount": 3, "database": {"categoryIndex": 13, "grades": [2, 2, 2]}})", 3, 13, {2, 2, 2}},
        {R"({"screenshotCount": 0, "database": {"categoryIndex": 0, "grades": [2, 0, 1]}})", 0, 0, {2, 0, 1}},
    };
    for (const auto& c : accepted) {
        const FormFileResult result = ReadFormFile(c.json);
        ASSERT_TRUE(result.ok()) << c.json << ": " << result.error;
        EXPECT_EQ(result.file.form.screenshotCount, c.screenshots);
        EXPECT_EQ(result.file.record.categoryIndex, c.category);
        EXPECT_EQ(result.file.record.grades, c.grades);
    }
}

// Damaged files of every sort are turned down with a message, never a crash.
TEST(ReadFormFile, SurvivesDamagedInput) {
    const std::string seed =
        R"({"pluginName": "x", "screenshotPath": ["a", "b", "c"], "database": {"grades": [0, 1, 2], "recordWanted": true}})";
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = seed;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = random() % (bytes.size() + 1);
            switch (random() % 3) {
                case 0:
                    if (at < bytes.size()) bytes.erase(at, 1);
                    break;
                case 1:
                    bytes.insert(at, 1, static_cast<char>(random() % 256));
                    break;
                default:
                    if (at < bytes.size()) bytes[at] = "{}[]\",:0-e.\\ntf"[random() % 16];
            }
        }
        // What is not JSON at all is refused; what is read writes back to
        // the same form.
        const FormFileResult result = ReadFormFile(bytes);
        if (!nlohmann::json::accept(bytes)) {
            EXPECT_FALSE(result.ok()) << bytes;
            EXPECT_EQ(result.error.rfind("строка ", 0), 0u) << result.error;
        }
        // Whatever the bytes, the message is text a message box can show.
        EXPECT_TRUE(cp1251::IsValidUtf8(result.error)) << bytes;
        EXPECT_EQ(std::count_if(result.error.begin(), result.error.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
                  0)
            << result.error;
        if (result.ok()) {
            EXPECT_EQ(ReadFormFile(WriteFormFile(result.file)).file, result.file) << bytes;
        }
    }
    EXPECT_FALSE(ReadFormFile(std::string(100000, '[')).ok());
    // Found by fuzzing: a number too large for a double is refused, not thrown.
    for (const char* overflow : {"7e94999a}", "{\"screenshotCount\": 1e999}", "[-1e400]"}) {
        const FormFileResult result = ReadFormFile(overflow);
        EXPECT_FALSE(result.ok()) << overflow;
    }
}

// One writer, one reader: every field, odd bytes included, comes back.
TEST(WriteFormFile, EveryFieldRoundTripsByteForByte) {
    FormFile file;
    ReadmeForm& f = file.form;
    f.pluginName = "Меч \"Рассвет\" & <b>"_cp;
    f.pluginFile = "Dawn Sword.esp";
    f.description = std::string("line\r\nnext &#233; \x98 ") + std::string(1, '\0') + "end";
    f.requiresMorrowind = false;
    f.requiresBsaArchive = f.requiresOther = f.installOther = f.noteEnabled = true;
    f.otherRequirements = "other";
    f.screenshotCount = -1;
    f.screenshotPath = {"/shots/café 日本.jpg", "..\\win\\shot.jpg", ""};
    f.installText = "install";
    f.uninstallText = "uninstall";
    f.howToPlay = "play";
    f.authors = "Автор"_cp;
    f.note = "note";
    f.warningText = "warning";
    f.copyScreenshots = false;
    f.keepLineBreaks = true;
    f.writeReadmeText = true;
    f.pluginPath = "/моды/Маяк café.omwaddon";
    file.record.recordWanted = true;
    file.record.categoryIndex = 13;
    file.record.archiveName = "Остров café.zip";
    file.record.archiveSize = "1048576";
    file.record.grades = {2, 0, 1};
    file.record.originalLink = "http://mods.example.com/";
    file.record.archivePath = "C:\\Загрузки\\Остров café.zip";

    const std::string written = WriteFormFile(file);
    EXPECT_NE(written.find("\"formatVersion\": 1"), std::string::npos);
    const FormFileResult read = ReadFormFile(written);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.file, file);
    EXPECT_EQ(WriteFormFile(read.file), written);
}

// Files and drafts from before the two keys: the breaks joined as they always
// were, and the archive looked for by its name.
TEST(ReadFormFile, AFileWithoutTheNewerKeysReadsAsBefore) {
    FormFile file;
    file.form.description = "a\r\nb";
    file.form.keepLineBreaks = true;
    file.form.writeReadmeText = true;
    file.record.archiveName = "mod.zip";
    file.record.archivePath = "/downloads/mod.zip";
    file.form.pluginPath = "/mods/Mod.esp";
    nlohmann::json old = nlohmann::json::parse(WriteFormFile(file));
    old.erase("keepLineBreaks");
    old.erase("writeReadmeText");
    old.erase("pluginPath");
    old["database"].erase("archivePath");
    const FormFileResult read = ReadFormFile(old.dump());
    ASSERT_TRUE(read.ok()) << read.error;
    file.form.keepLineBreaks = false;
    file.form.writeReadmeText = false;
    file.record.archivePath.clear();
    file.form.pluginPath.clear();
    EXPECT_EQ(read.file, file);
    for (const char* bad :
         {R"({"keepLineBreaks": 1})", R"({"database": {"archivePath": false}})", R"({"pluginPath": 1})"})
        EXPECT_FALSE(ReadFormFile(bad).ok()) << bad;
}

TEST(ReadFormFile, VersionIsCheckedBeforeAnyField) {
    const struct {
        const char* bytes;
        const char* error;  // empty: read
    } cases[] = {
        {R"({"formatVersion": 1, "pluginName": "x"})", ""},
        {R"({"pluginName": "x"})", ""},
        {R"({"formatVersion": 2, "pluginName": "x"})",
         "форма записана более новой версией Quillsmith (\"formatVersion\" 2, эта читает до 1)"},
        {R"({"formatVersion": "1"})", "значение \"formatVersion\" должно быть целым числом от 1"},
        {R"({"formatVersion": 0})", "значение \"formatVersion\" должно быть целым числом от 1"},
        {R"({"database": {"formatVersion": 1}})", "неизвестный ключ \"database.formatVersion\""},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadFormFile(c.bytes).error, c.error) << c.bytes;
}

TEST(FormFileNameFor, ThePluginsNameAsAFileNameEveryFileSystemTakes) {
    const struct {
        const char* name;
        const char* file;
    } cases[] = {
        {"Маяк у заводи", "Маяк у заводи.qsform"},
        {"Мечи: <новые>/старые?", "Мечи_ _новые__старые_.qsform"},
        {"  Башня.  ", "Башня.qsform"},
        {"a\tb\\c*\"d|", "a_b_c__d_.qsform"},
        {"", ""},
        {" . ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(cp1251::ToUtf8(FormFileNameFor(cp1251::FromUtf8(c.name))), c.file) << c.name;
}

}  // namespace
