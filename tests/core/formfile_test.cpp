#include "output/FormFile.h"

#include <gtest/gtest.h>

#include <random>

#include "readme/Cp1251.h"

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
        "writeBackgroundImages": false, "copyScreenshots": false,
        "database": {
            "recordWanted": true, "categoryIndex": 13, "archiveName": "mod.zip", "imageName": "m.jpg",
            "authorName": "an", "authorEmail": "ae@example.org", "adapterName": "dn",
            "adapterEmail": "de@example.com", "archiveSize": "123", "originalLink": "http://mod.example/",
            "grades": [2, 1, 0]
        }
    })";
    ReadmeForm form;
    form.pluginName = std::string("Имя"_cp);
    form.pluginFile = "mod.esp";
    form.description = "d";
    form.requiresTribunal = form.requiresBloodmoon = form.requiresBsaArchive = form.requiresOther =
        true;
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
    DatabaseRecord record{true,      13,
                          "mod.zip", "m.jpg",
                          "an",      "ae@example.org",
                          "dn",      "de@example.com",
                          "123",     "http://mod.example/",
                          {2, 1, 0}};

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
        {"{\"screenshotCount\": 18446744073709551615}",
         "\"screenshotCount\" must be a whole number"},
        {"{\"screenshotPath\": [\"a\", \"b\"]}",
         "\"screenshotPath\" must be an array of 3 strings"},
        {"{\"screenshotPath\": [\"a\", \"b\", 3]}",
         "\"screenshotPath\" must be an array of 3 strings"},
        {"{\"screenshotPath\": \"a\"}", "\"screenshotPath\" must be an array of 3 strings"},
        {"{\"database\": {\"grades\": [0, 1]}}",
         "\"database.grades\" must be an array of 3 whole numbers"},
        {"{\"database\": {\"grades\": [0, 1, \"2\"]}}",
         "\"database.grades\" must be an array of 3 whole numbers"},
        {"{\"database\": {\"archiveSize\": 123}}", "\"database.archiveSize\" must be a string"},
    };
    for (const auto& [json, needle] : cases) {
        const FormFileResult result = ReadFormFile(json);
        EXPECT_FALSE(result.ok()) << json;
        EXPECT_NE(result.error.find(needle), std::string::npos)
            << json << " gave: " << result.error;
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
        const FormFileResult result = ReadFormFile(bytes);
        EXPECT_TRUE(result.ok() || !result.error.empty());
    }
    EXPECT_FALSE(ReadFormFile(std::string(100000, '[')).ok());
}

}  // namespace
