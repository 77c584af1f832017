#include "form/FormFile.h"

#include <gtest/gtest.h>

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

TEST(ReadFormFile, ErrorsNameTheKeyOrTheLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "line 1, column 1"},
        {"{\n  \"note\": \"x\",\n  oops\n}", "line 3, column 3"},
        {"{\"note\": \"x\"} trailing", "line 1, column 17"},
        {"{\"note\": \"unterminated}", "line 1"},
        {"{\"note\": \"\xC0\xAF\"}", "line 1"},  // not UTF-8
        {"[]", "must be a JSON object"},
        {"\"text\"", "must be a JSON object"},
        {"{\"pluginname\": \"x\"}", "unknown key \"pluginname\""},
        {"{\"database\": {\"pluginName\": \"x\"}}", "unknown key \"database.pluginName\""},
        {"{\"database\": []}", "\"database\" must be an object"},
        {"{\"pluginName\": 5}", "\"pluginName\" must be a string"},
        {"{\"pluginName\": null}", "\"pluginName\" must be a string"},
        {"{\"copyScreenshots\": 1}", "\"copyScreenshots\" must be true or false"},
        {"{\"copyScreenshots\": \"true\"}", "\"copyScreenshots\" must be true or false"},
        {"{\"screenshotCount\": 1.5}", "\"screenshotCount\" must be a whole number"},
        {"{\"screenshotCount\": \"2\"}", "\"screenshotCount\" must be a whole number"},
        {"{\"screenshotCount\": 2147483648}", "\"screenshotCount\" must be a whole number"},
        {"{\"screenshotCount\": -2147483649}", "\"screenshotCount\" must be a whole number"},
        {"{\"screenshotCount\": 18446744073709551615}", "\"screenshotCount\" must be a whole number"},
        {"{\"screenshotPath\": [\"a\", \"b\"]}", "\"screenshotPath\" must be an array of 3 strings"},
        {"{\"screenshotPath\": [\"a\", \"b\", 3]}", "\"screenshotPath\" must be an array of 3 strings"},
        {"{\"screenshotPath\": \"a\"}", "\"screenshotPath\" must be an array of 3 strings"},
        {"{\"database\": {\"grades\": [0, 1]}}", "\"database.grades\" must be an array of 3 whole numbers"},
        {"{\"database\": {\"grades\": [0, 1, \"2\"]}}", "\"database.grades\" must be an array of 3 whole numbers"},
        {"{\"database\": {\"archiveSize\": 123}}", "\"database.archiveSize\" must be a string"},
    };
    for (const auto& [json, needle] : cases) {
        const FormFileResult result = ReadFormFile(json);
        EXPECT_FALSE(result.ok()) << json;
        EXPECT_NE(result.error.find(needle), std::string::npos) << json << " gave: " << result.error;
    }
}

TEST(ReadFormFile, ExtremeWholeNumbersFit) {
    const FormFileResult result = ReadFormFile(
        R"({"screenshotCount": -2147483648, "database": {"categoryIndex": 2147483647, "grades": [-1, 0, 7]}})");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.file.form.screenshotCount, -2147483647 - 1);
    EXPECT_EQ(result.file.record.categoryIndex, 2147483647);
    EXPECT_EQ(result.file.record.grades, (std::array<int, 3>{-1, 0, 7}));
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
        }
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
    file.record.archiveName = "mod.zip";
    file.record.archivePath = "/downloads/mod.zip";
    nlohmann::json old = nlohmann::json::parse(WriteFormFile(file));
    old.erase("keepLineBreaks");
    old["database"].erase("archivePath");
    const FormFileResult read = ReadFormFile(old.dump());
    ASSERT_TRUE(read.ok()) << read.error;
    file.form.keepLineBreaks = false;
    file.record.archivePath.clear();
    EXPECT_EQ(read.file, file);
    for (const char* bad : {R"({"keepLineBreaks": 1})", R"({"database": {"archivePath": false}})"})
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
         "the form was written by a newer Quillsmith (\"formatVersion\" 2; this one reads up to 1)"},
        {R"({"formatVersion": "1"})", "\"formatVersion\" must be a whole number from 1"},
        {R"({"formatVersion": 0})", "\"formatVersion\" must be a whole number from 1"},
        {R"({"database": {"formatVersion": 1}})", "unknown key \"database.formatVersion\""},
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
