#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "core/output_test_support.h"
#include "output/DatabaseRecord.h"
#include "text/Cp1251.h"

namespace {

using namespace testing_output;

constexpr std::string_view kSizeMissing = "Не указан размер архива."_cp;
constexpr std::string_view kSizeNotDigits = "Размер архива должен состоять только из цифр."_cp;
constexpr std::string_view kGradeInvalid = "Не выбрана оценка."_cp;
constexpr std::string_view kRecordNotCreated = "Не удалось создать файл для записи базы данных."_cp;

DatabaseRecord WantedRecord() {
    DatabaseRecord record = NewDatabaseRecord();
    record.recordWanted = true;
    record.archiveSize = "1";
    return record;
}

// The twenty value lines of WantedRecord() over an empty form, without their
// ",\r\n" (and the fixed lines without theirs).
std::array<std::string, 20> WantedRecordLines() {
    return {"\"\"",  "1",     "\"\"",  "\"\"",  "\"\"",  "\"\"",  "\"\"",
            "\"\"",  "\"\"",  "\"\"",  "\"0\"", "\"0\"", "1",     "\"http://hearthcove.example.org/\"",
            "NOW()", "\"1\"", "\"1\"", "\"1\"", "\"1\"", "NOW())"};
}

std::string Statement(const std::array<std::string, 20>& lines) {
    std::string text = "INSERT INTO plugs VALUES (\r\n";
    for (std::size_t i = 0; i < lines.size(); ++i) text += lines[i] + (i + 1 < lines.size() ? ",\r\n" : ";\r\n");
    return text;
}

std::string Build(const DatabaseRecord& record, const ReadmeForm& form, MessageLog& log, bool expectBuilt = true) {
    Text text = "stale";
    EXPECT_EQ(BuildDatabaseRecord(record, form, text, log.callback()), expectBuilt);
    return text;
}

TEST(BuildDatabaseRecord, WritesTheStatementByteForByte) {
    ReadmeForm form;
    form.pluginName = std::string("Остров \"Вварденфелл\""_cp);
    form.description = std::string("Строка 1\r\nСтрока 2"_cp);
    form.requiresTribunal = true;
    DatabaseRecord record = NewDatabaseRecord();
    record.recordWanted = true;
    record.categoryIndex = 3;
    record.archiveName = "island.zip";
    record.imageName = "island.jpg";
    record.authorName = std::string("Аэлин Тарвен"_cp);
    record.authorEmail = "aelin@example.org";
    record.archiveSize = "1048576";
    record.grades = {2, 0, 1};

    const std::string expected =
        "INSERT INTO plugs VALUES (\r\n"
        "\"\",\r\n"
        "4,\r\n"
        "\"Остров 'Вварденфелл'\",\r\n"
        "\"island.zip\",\r\n"
        "\"island.jpg\",\r\n"
        "\"Строка 1\r\nСтрока 2\",\r\n"
        "\"Аэлин Тарвен\",\r\n"
        "\"aelin@example.org\",\r\n"
        "\"\",\r\n"
        "\"\",\r\n"
        "\"1\",\r\n"
        "\"0\",\r\n"
        "1048576,\r\n"
        "\"http://hearthcove.example.org/\",\r\n"
        "NOW(),\r\n"
        "\"3\",\r\n"
        "\"1\",\r\n"
        "\"2\",\r\n"
        "\"1\",\r\n"
        "NOW());\r\n"_cp.data();
    MessageLog log;
    EXPECT_EQ(Build(record, form, log), expected);
    EXPECT_TRUE(log.messages.empty());
}

// Every quoted text value, the archive name, picture name and link included:
// a double quote would end the string, and a backslash would escape the byte
// after it.
TEST(BuildDatabaseRecord, QuotedValuesCannotLeaveTheirString) {
    using Setter = std::function<void(DatabaseRecord&, ReadmeForm&, const std::string&)>;
    const std::pair<int, Setter> fields[] = {
        {3, [](DatabaseRecord&, ReadmeForm& f, const std::string& v) { f.pluginName = v; }},
        {4, [](DatabaseRecord& r, ReadmeForm&, const std::string& v) { r.archiveName = v; }},
        {5, [](DatabaseRecord& r, ReadmeForm&, const std::string& v) { r.imageName = v; }},
        {6, [](DatabaseRecord&, ReadmeForm& f, const std::string& v) { f.description = v; }},
        {7, [](DatabaseRecord& r, ReadmeForm&, const std::string& v) { r.authorName = v; }},
        {8, [](DatabaseRecord& r, ReadmeForm&, const std::string& v) { r.authorEmail = v; }},
        {9, [](DatabaseRecord& r, ReadmeForm&, const std::string& v) { r.adapterName = v; }},
        {10, [](DatabaseRecord& r, ReadmeForm&, const std::string& v) { r.adapterEmail = v; }},
        {14, [](DatabaseRecord& r, ReadmeForm&, const std::string& v) { r.originalLink = v; }},
    };
    const std::pair<std::string, std::string> values[] = {
        {"say \"hi\"", "say 'hi'"},
        {"\"", "'"},
        {"it's", "it's"},
        {"C:\\new", "C:\\\\new"},
        {"ends in \\", "ends in \\\\"},
        {"a\\\"b", "a\\\\'b"},
        {"\\\\", "\\\\\\\\"},
        {"two\r\nlines", "two\r\nlines"},
        {"x\"); DROP TABLE plugs; -- # /*", "x'); DROP TABLE plugs; -- # /*"},
        {"", ""},
    };
    for (const auto& [line, set] : fields) {
        for (const auto& [input, stored] : values) {
            DatabaseRecord record = WantedRecord();
            ReadmeForm form;
            set(record, form, input);
            auto lines = WantedRecordLines();
            lines[static_cast<std::size_t>(line - 1)] = "\"" + stored + "\"";
            MessageLog log;
            EXPECT_EQ(Build(record, form, log), Statement(lines)) << "line " << line << ", value " << input;
        }
    }
}

TEST(BuildDatabaseRecord, CategoryFlagsAndGrades) {
    struct Case {
        int category;
        bool tribunal, bloodmoon;
        std::array<int, 3> grades;  // 1012, 1014, 1013
        std::string line2, line11, line12, line16, line17, line18;
    };
    const Case cases[] = {
        {0, false, false, {0, 0, 0}, "1", "\"0\"", "\"0\"", "\"1\"", "\"1\"", "\"1\""},
        {13, true, false, {2, 1, 0}, "14", "\"1\"", "\"0\"", "\"3\"", "\"2\"", "\"1\""},
        {-1, false, true, {1, 2, 2}, "0", "\"0\"", "\"1\"", "\"2\"", "\"3\"", "\"3\""},
        {2147483647, true, true, {0, 2, 1}, "2147483648", "\"1\"", "\"1\"", "\"1\"", "\"3\"", "\"2\""},
    };
    for (const Case& c : cases) {
        DatabaseRecord record = WantedRecord();
        record.categoryIndex = c.category;
        record.grades = c.grades;
        ReadmeForm form;
        form.requiresTribunal = c.tribunal;
        form.requiresBloodmoon = c.bloodmoon;
        auto lines = WantedRecordLines();
        lines[1] = c.line2, lines[10] = c.line11, lines[11] = c.line12;
        lines[15] = c.line16, lines[16] = c.line17, lines[17] = c.line18;
        MessageLog log;
        EXPECT_EQ(Build(record, form, log), Statement(lines)) << "category " << c.category;
    }
}

TEST(BuildDatabaseRecord, SizeIsWrittenBareOnlyWhenItIsDigits) {
    const std::pair<std::string, std::string_view> refused[] = {
        {"", kSizeMissing},
        {"12a3", kSizeNotDigits},
        {" 12", kSizeNotDigits},
        {"12 ", kSizeNotDigits},
        {"-1", kSizeNotDigits},
        {"1e3", kSizeNotDigits},
        {"0x10", kSizeNotDigits},
        {"1,2", kSizeNotDigits},
        {"1); DROP TABLE plugs; --", kSizeNotDigits},
        {std::string("\xB3\xB2"), kSizeNotDigits},  // Cyrillic letters, not digits
    };
    for (const auto& [size, message] : refused) {
        DatabaseRecord record = WantedRecord();
        record.archiveSize = size;
        MessageLog log;
        EXPECT_EQ(Build(record, ReadmeForm{}, log, false), "") << size;
        EXPECT_EQ(log.messages, (std::vector<Message>{{std::string(message), MessageIcon::Exclamation}})) << size;
    }
    for (const std::string size : {"0", "007", "2147483648", "99999999999999999999"}) {
        DatabaseRecord record = WantedRecord();
        record.archiveSize = size;
        auto lines = WantedRecordLines();
        lines[12] = size;
        MessageLog log;
        EXPECT_EQ(Build(record, ReadmeForm{}, log), Statement(lines)) << size;
        EXPECT_TRUE(log.messages.empty());
    }
}

TEST(BuildDatabaseRecord, GradeOutsideItsListIsRefusedNotDropped) {
    for (const std::array<int, 3> grades : {std::array{-1, 0, 0}, std::array{0, 3, 0}, std::array{0, 0, 99}}) {
        DatabaseRecord record = WantedRecord();
        record.grades = grades;
        MessageLog log;
        EXPECT_EQ(Build(record, ReadmeForm{}, log, false), "");
        EXPECT_EQ(log.messages, (std::vector<Message>{{std::string(kGradeInvalid), MessageIcon::Exclamation}}));
    }
}

TEST(BuildDatabaseRecord, NotWantedBuildsNothingAndNeverRefuses) {
    DatabaseRecord record = NewDatabaseRecord();
    record.archiveSize = "";
    record.grades = {7, 7, 7};
    MessageLog log;
    EXPECT_EQ(Build(record, ReadmeForm{}, log), "");
    EXPECT_TRUE(log.messages.empty());
}

TEST(DatabaseRecord, NewStateIsTheDatabasePagesReset) {
    DatabaseRecord expected;
    expected.recordWanted = false;
    expected.categoryIndex = 0;
    expected.grades = {0, 0, 0};
    expected.originalLink = "http://hearthcove.example.org/";
    EXPECT_EQ(NewDatabaseRecord(), expected);
}

TEST(ReplaceDoubleQuotes, ChangesOnlyDoubleQuotes) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"\"\"\"", "'''"},
        {"a \"b\" c", "a 'b' c"},
        {"\\\"'`\r\n", "\\''`\r\n"},
        {std::string("\"Ё\"\x98\x22"), std::string("'Ё'\x98'")},
    };
    for (auto [input, expected] : cases) {
        ReplaceDoubleQuotes(input);
        EXPECT_EQ(input, expected);
    }
}

// The writer's file placement: a name without a folder (or with a relative
// one) lands beside the readme, as the desktop's current directory made it.
TEST(WriteDatabaseRecord, PlacesTheFileByItsArchiveName) {
    ScratchFolder scratch;
    const std::string readmeFolder = scratch / "site";
    std::filesystem::create_directories(readmeFolder + "/sub");
    std::filesystem::create_directories(scratch / "elsewhere");
    struct Case {
        std::string archiveName, expectedFile;
    };
    const Case cases[] = {
        {"mod.zip", readmeFolder + "/mod.zip.sql"},
        {"", readmeFolder + "/.sql"},
        {"sub/mod.rar", readmeFolder + "/sub/mod.rar.sql"},
        {scratch / "elsewhere/mod.zip", scratch / "elsewhere/mod.zip.sql"},
        {"Остров.zip", readmeFolder + "/Остров.zip.sql"},
        {"café 日本.zip", readmeFolder + "/café 日本.zip.sql"},
    };
    for (const Case& c : cases) {
        DatabaseRecord record = WantedRecord();
        record.archiveName = c.archiveName;
        MessageLog log;
        WriteDatabaseRecord(record, "INSERT\r\n", readmeFolder, log.callback());
        EXPECT_EQ(ReadFile(c.expectedFile), "INSERT\r\n") << c.expectedFile;
        EXPECT_TRUE(log.messages.empty());
    }
}

TEST(WriteDatabaseRecord, NotWantedWritesNothing) {
    ScratchFolder scratch;
    DatabaseRecord record = NewDatabaseRecord();
    record.archiveName = "mod.zip";
    MessageLog log;
    WriteDatabaseRecord(record, "text", scratch.path(), log.callback());
    EXPECT_TRUE(FilesUnder(scratch.path()).empty());
    EXPECT_TRUE(log.messages.empty());
}

TEST(WriteDatabaseRecord, ReplacesAnExistingFileWithoutAQuestion) {
    ScratchFolder scratch;
    WriteFile(scratch / "mod.zip.sql", std::string(100000, 'x'));
    DatabaseRecord record = WantedRecord();
    record.archiveName = "mod.zip";
    MessageLog log;
    WriteDatabaseRecord(record, "new", scratch.path(), log.callback());
    EXPECT_EQ(ReadFile(scratch / "mod.zip.sql"), "new");
    EXPECT_TRUE(log.messages.empty());
}

TEST(WriteDatabaseRecord, FailureShowsItsMessageAndKeepsThePreviousFile) {
    const Message failed{std::string(kRecordNotCreated), MessageIcon::Exclamation};
    {  // a directory stands where the file should go
        ScratchFolder scratch;
        std::filesystem::create_directories(scratch / "mod.zip.sql");
        DatabaseRecord record = WantedRecord();
        record.archiveName = "mod.zip";
        MessageLog log;
        WriteDatabaseRecord(record, "text", scratch.path(), log.callback());
        EXPECT_EQ(log.messages, std::vector<Message>{failed});
    }
    {  // the folder is missing
        ScratchFolder scratch;
        DatabaseRecord record = WantedRecord();
        record.archiveName = "missing/mod.zip";
        MessageLog log;
        WriteDatabaseRecord(record, "text", scratch.path(), log.callback());
        EXPECT_EQ(log.messages, std::vector<Message>{failed});
    }
    // A file size limit needs POSIX's setrlimit.
#ifndef _WIN32
    {  // the disk fills up half way: the old record stays whole
        ScratchFolder scratch;
        WriteFile(scratch / "mod.zip.sql", "old record");
        DatabaseRecord record = WantedRecord();
        record.archiveName = "mod.zip";
        const auto messages = RunWithFileSizeLimit(1000, [&](const ShowMessage& show) {
            WriteDatabaseRecord(record, std::string(5000, 'r'), scratch.path(), show);
        });
        EXPECT_EQ(messages, std::vector<Message>{failed});
        EXPECT_EQ(ReadFile(scratch / "mod.zip.sql"), "old record");
        EXPECT_EQ(FilesUnder(scratch.path()), std::vector<std::string>{"mod.zip.sql"});
    }
#endif
}

}  // namespace
