#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <functional>

#include "core/output_test_support.h"
#include "output/FileIo.h"
#include "output/SaveFiles.h"
#include "template/TemplatePackage.h"
#include "template/TemplatePackageWriter.h"
#include "text/Cp1251.h"

namespace {

using namespace testing_output;
using Files = std::vector<std::string>;

constexpr std::string_view kReadmeNotCreated = "Ошибка открытия файла для записи"_cp;
constexpr std::string_view kRecordNotCreated = "Не удалось создать файл для записи базы данных."_cp;

Message Plain(std::string_view text) { return {std::string(text), MessageIcon::None}; }
Message PictureNotCreated(int n) {
    return Plain(std::string("Ошибка открытия файла img_bk_"_cp) + std::to_string(n) + ".jpg");
}
Message ScreenshotNotOpened(int i) {
    return Plain(std::string("Ошибка открытия файла скриншота "_cp) + std::to_string(i));
}
Message ScreenshotNotCreated(int i) {
    return Plain(std::string("Ошибка открытия файла для записи скриншота "_cp) + std::to_string(i));
}

const TemplatePackage& BuiltIn() {
    static TemplatePackage package = [] {
        TemplatePackage p;
        EXPECT_EQ(p.LoadBuiltIn(), kTemplateLoaded);
        return p;
    }();
    return package;
}

std::string EntryBytes(const TemplatePackage& package, const char* name) {
    const auto bytes = package.Entry(package.FindEntry(name)).bytes();
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Distinct bytes, so a copy that skips or repeats a block shows.
std::string Pattern(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + seed * 7 + i / 251) & 0xFF);
    return bytes;
}

class SaveFilesTest : public ::testing::Test {
protected:
    void SetUp() override { m_descriptors = OpenDescriptorCount(); }
    void TearDown() override {
        fileio::SetReadFunctionForTesting(nullptr);
        EXPECT_EQ(OpenDescriptorCount(), m_descriptors) << "a file stayed open";
        for (const std::string& file : FilesUnder(scratch.path()))
            EXPECT_EQ(file.find(".quillsmith-"), std::string::npos) << "temporary file left: " << file;
    }

    // A readme in scratch/out with both options off and no record.
    SaveFileWork Work() {
        std::filesystem::create_directories(out());
        SaveFileWork work;
        work.readmePath = out() + "/ReadMe.htm";
        work.readmeText = "<html>readme</html>\r\n";
        return work;
    }
    void WantRecord(SaveFileWork& work) {
        work.record = NewDatabaseRecord();
        work.record.recordWanted = true;
        work.record.archiveName = "mod.zip";
        work.recordText = "INSERT INTO plugs VALUES (\r\n...";
    }
    void WithScreenshots(SaveFileWork& work, int count) {
        work.copyScreenshots = true;
        work.screenshotCount = count;
        for (int i = 0; i < 3; ++i) {
            const std::string path =
                scratch / ("shots" + std::to_string(i + 1) + "/shot" + std::to_string(i + 1) + ".jpg");
            WriteFile(path, Pattern(1000 + static_cast<std::size_t>(i), static_cast<unsigned>(i)));
            work.screenshotPath[static_cast<std::size_t>(i)] = path;
        }
    }
    std::vector<Message> Run(const SaveFileWork& work, const TemplatePackage& package = BuiltIn()) {
        MessageLog log;
        RunSaveFileWork(work, package, buffer, log.callback());
        return log.messages;
    }
    std::vector<Message> RunLimited(const SaveFileWork& work, rlim_t limit) {
        return RunWithFileSizeLimit(limit,
                                    [&](const ShowMessage& show) { RunSaveFileWork(work, BuiltIn(), buffer, show); });
    }
    std::string out() const { return scratch / "out"; }
    Files OutFiles() const { return FilesUnder(out()); }

    ScratchFolder scratch;
    std::array<char, kTextBufferSize> buffer{};

private:
    int m_descriptors = 0;
};

const Files kEverything = {"ReadMe.htm",
                           "files/",
                           "files/images/",
                           "files/images/img_bk_0.jpg",
                           "files/images/img_bk_1.jpg",
                           "files/images/img_bk_2.jpg",
                           "files/scrins/",
                           "files/scrins/shot1.jpg",
                           "files/scrins/shot2.jpg",
                           "files/scrins/shot3.jpg",
                           "mod.zip.sql"};

TEST(FolderOfPath, IsThePathBeforeItsLastSeparator) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/author/mod/ReadMe.htm", "/home/author/mod"},
        {"/ReadMe.htm", ""},  // the root, as "C:" is on the desktop
        {"ReadMe.htm", ""},
        {"", ""},
        {"a/b/", "a/b"},
        {"./ReadMe.htm", "."},
        {"dir.with.dots/file", "dir.with.dots"},
        {"a\\b/c", "a\\b"},
    };
    for (const auto& [path, folder] : cases) EXPECT_EQ(FolderOfPath(path), folder) << path;
}

TEST(ReadmeTextPathFor, TakesTheReadmesNameWithTxtUnlessThatIsTheReadme) {
    const std::pair<std::string, std::string> cases[] = {
        {"/mod/ReadMe.htm", "/mod/ReadMe.txt"},
        {"/mod/Quiet Lighthouse.html", "/mod/Quiet Lighthouse.txt"},
        {"/mod/ReadMe", "/mod/ReadMe.txt"},
        {"/mod.v2/ReadMe", "/mod.v2/ReadMe.txt"},  // a dot in a folder is no extension
        {"/mod/ReadMe.txt", ""},
        {"/mod/README.TXT", ""},
    };
    for (const auto& [readme, text] : cases) EXPECT_EQ(ReadmeTextPathFor(readme), text) << readme;
}

// The one whole-file read: a fault by name, a limit that refuses before
// reading, and short reads joined up.
TEST_F(SaveFilesTest, AWholeFileIsReadOrNamesWhyNot) {
    using Fault = fileio::WholeFile::Fault;
    WriteFile(scratch / "ten", "0123456789");
    WriteFile(scratch / "empty", "");
    std::filesystem::create_directories(scratch / "folder");
    const struct {
        std::string name;
        std::uint64_t limit;
        Fault fault;
        std::string bytes;
    } cases[] = {
        {"ten", 10, Fault::None, "0123456789"}, {"ten", 9, Fault::TooLarge, ""},       {"empty", 0, Fault::None, ""},
        {"missing", 10, Fault::Missing, ""},    {"folder", 10, Fault::Unreadable, ""},
    };
    for (const auto& c : cases) {
        const fileio::WholeFile read = fileio::ReadWholeFile(scratch / c.name, c.limit);
        EXPECT_EQ(read.fault, c.fault) << c.name << " at " << c.limit;
        EXPECT_EQ(read.bytes, c.bytes) << c.name << " at " << c.limit;
    }
    // One byte a call is still the whole file; an error is no half file.
    fileio::SetReadFunctionForTesting(
        [](int fd, char* data, std::size_t) -> std::ptrdiff_t { return ::read(fd, data, 1); });
    EXPECT_EQ(fileio::ReadWholeFile(scratch / "ten", 10).bytes, "0123456789");
    fileio::SetReadFunctionForTesting([](int, char*, std::size_t) -> std::ptrdiff_t {
        errno = EIO;
        return -1;
    });
    EXPECT_EQ(fileio::ReadWholeFile(scratch / "ten", 10).fault, Fault::Unreadable);
    EXPECT_TRUE(fileio::ReadWholeFile(scratch / "ten", 10).bytes.empty());
}

// What the work tells its caller, as values: the window opens the readme it
// wrote and names the files that failed without reading a message text.
TEST_F(SaveFilesTest, TellsWhatItWroteAndWhatFailedAsValues) {
    struct Case {
        const char* what;
        std::function<void(SaveFileWork&)> prepare;
        bool readmeWritten;
        std::vector<std::string> written, failed;  // under out/, or as given
        std::vector<std::string> reasons;          // of each failed; "<" before one not read
    };
    const std::string missing = scratch / "gone.jpg";
    const Case cases[] = {
        {"the readme alone", [](SaveFileWork&) {}, true, {"ReadMe.htm"}, {}, {}},
        {"everything",
         [this](SaveFileWork& work) {
             work.writeBackgroundImages = true;
             WithScreenshots(work, 1);
             WantRecord(work);
         },
         true,
         {"ReadMe.htm", "files/images/img_bk_0.jpg", "files/images/img_bk_1.jpg", "files/images/img_bk_2.jpg",
          "files/scrins/shot1.jpg", "mod.zip.sql"},
         {},
         {}},
        {"a screenshot that cannot be read",
         [&](SaveFileWork& work) {
             WithScreenshots(work, 2);
             work.screenshotPath[1] = missing;
         },
         true,
         {"ReadMe.htm", "files/scrins/shot1.jpg"},
         {missing},
         {"<нет такого файла или папки"}},
        {"a record that cannot be written",
         [this](SaveFileWork& work) {
             WantRecord(work);
             std::filesystem::create_directories(out() + "/mod.zip.sql");
         },
         true,
         {"ReadMe.htm"},
         {"mod.zip.sql"},
         {"это папка"}},
        {"a readme that cannot be written",
         [this](SaveFileWork& work) {
             std::filesystem::create_directories(work.readmePath);
             WantRecord(work);
         },
         false,
         {},
         {"ReadMe.htm"},
         {"это папка"}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(out());
        SaveFileWork work = Work();
        c.prepare(work);
        MessageLog log;
        const SaveFileResult result = RunSaveFileWork(work, BuiltIn(), buffer, log.callback());
        const auto paths = [this](const std::vector<std::string>& names) {
            std::vector<FilePath> full;
            for (const std::string& name : names) full.push_back(name.front() == '/' ? name : out() + "/" + name);
            return full;
        };
        EXPECT_EQ(result.readmeWritten, c.readmeWritten) << c.what;
        EXPECT_EQ(result.written, paths(c.written)) << c.what;
        EXPECT_EQ(result.failed, paths(c.failed)) << c.what;
        EXPECT_EQ(result.ok(), c.failed.empty()) << c.what;
        EXPECT_EQ(log.messages.empty(), c.failed.empty()) << c.what;
        std::vector<std::string> reasons;
        for (const FileFault& fault : result.faults) reasons.push_back((fault.reading ? "<" : "") + fault.reason);
        EXPECT_EQ(reasons, c.reasons) << c.what;
    }
}

TEST_F(SaveFilesTest, WritesEveryOutputInItsPlace) {
    SaveFileWork work = Work();
    work.writeBackgroundImages = true;
    WithScreenshots(work, 3);
    WantRecord(work);
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(OutFiles(), kEverything);
    EXPECT_EQ(ReadFile(out() + "/ReadMe.htm"), work.readmeText.str());
    EXPECT_EQ(ReadFile(out() + "/mod.zip.sql"), work.recordText.str());
    for (int n = 0; n < 3; ++n) {
        const std::string name = "img_bk_" + std::to_string(n) + ".jpg";
        EXPECT_EQ(ReadFile(out() + "/files/images/" + name), EntryBytes(BuiltIn(), name.c_str()));
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReadFile(out() + "/files/scrins/shot" + std::to_string(i + 1) + ".jpg"),
                  ReadFile(work.screenshotPath[static_cast<std::size_t>(i)]));
}

TEST_F(SaveFilesTest, BothOptionsOffWritesOnlyTheReadmeAndRecord) {
    SaveFileWork work = Work();
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(OutFiles(), Files{"ReadMe.htm"});
    WantRecord(work);
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "mod.zip.sql"}));
}

TEST_F(SaveFilesTest, ScreenshotCountBoundsTheCopies) {
    const std::pair<int, Files> cases[] = {
        {-1, {"ReadMe.htm", "files/", "files/scrins/"}},
        {0, {"ReadMe.htm", "files/", "files/scrins/"}},
        {1, {"ReadMe.htm", "files/", "files/scrins/", "files/scrins/shot1.jpg"}},
        {2, {"ReadMe.htm", "files/", "files/scrins/", "files/scrins/shot1.jpg", "files/scrins/shot2.jpg"}},
    };
    for (const auto& [count, files] : cases) {
        std::filesystem::remove_all(out());
        SaveFileWork work = Work();
        WithScreenshots(work, count);
        work.screenshotPath[2] = "";  // ignored below a count of 3
        EXPECT_TRUE(Run(work).empty()) << count;
        EXPECT_EQ(OutFiles(), files) << count;
    }
}

// The plain text is an extra: written right after the readme when asked,
// and a failure to write it stops nothing after it.
TEST_F(SaveFilesTest, ReadmeTextWhenAskedAndItsFailureEndsNothing) {
    SaveFileWork work = Work();
    WantRecord(work);
    work.readmeTextFile = "text\r\n";
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "mod.zip.sql"}));

    work.writeReadmeText = true;
    MessageLog log;
    const SaveFileResult saved = RunSaveFileWork(work, BuiltIn(), buffer, log.callback());
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(saved.written,
              (std::vector<FilePath>{out() + "/ReadMe.htm", out() + "/ReadMe.txt", out() + "/mod.zip.sql"}));
    EXPECT_EQ(ReadFile(out() + "/ReadMe.txt"), "text\r\n");

    std::filesystem::remove_all(out());
    std::filesystem::create_directories(out() + "/ReadMe.txt");
    EXPECT_EQ(Run(work), std::vector<Message>{Plain(std::string("Ошибка открытия файла "_cp) + out() + "/ReadMe.txt")});
    EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "ReadMe.txt/", "mod.zip.sql"}));

    work.readmePath = out() + "/ReadMe.TXT";
    const SaveFileResult refused = RunSaveFileWork(work, BuiltIn(), buffer, log.callback());
    EXPECT_EQ(refused.failed, std::vector<FilePath>{work.readmePath});
    EXPECT_TRUE(refused.readmeWritten);
    EXPECT_EQ(ReadFile(work.readmePath), work.readmeText.str());
}

TEST_F(SaveFilesTest, ReadmeThatCannotBeWrittenEndsTheCommand) {
    SaveFileWork work = Work();
    work.writeBackgroundImages = true;
    WithScreenshots(work, 3);
    WantRecord(work);
    std::filesystem::create_directories(out() + "/ReadMe.htm");
    EXPECT_EQ(Run(work), std::vector<Message>{Plain(kReadmeNotCreated)});
    EXPECT_EQ(OutFiles(), Files{"ReadMe.htm/"});

    work.readmePath = scratch / "missing/ReadMe.htm";
    EXPECT_EQ(Run(work), std::vector<Message>{Plain(kReadmeNotCreated)});
    EXPECT_FALSE(Exists(scratch / "missing"));
}

TEST_F(SaveFilesTest, FolderThatCannotBeCreatedFailsTheFirstFileInIt) {
    SaveFileWork work = Work();
    work.writeBackgroundImages = true;
    WithScreenshots(work, 1);
    WantRecord(work);
    WriteFile(out() + "/files", "a file where the folder should be");
    EXPECT_EQ(Run(work), std::vector<Message>{PictureNotCreated(0)});
    EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "files"}));

    work.writeBackgroundImages = false;
    EXPECT_EQ(Run(work), std::vector<Message>{ScreenshotNotCreated(1)});
    EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "files", "mod.zip.sql"}));
}

TEST_F(SaveFilesTest, PictureThatCannotBeCreatedEndsTheCommand) {
    for (int n = 0; n < 3; ++n) {
        std::filesystem::remove_all(out());
        SaveFileWork work = Work();
        work.writeBackgroundImages = true;
        WithScreenshots(work, 3);
        WantRecord(work);
        const std::string blocked = "files/images/img_bk_" + std::to_string(n) + ".jpg";
        std::filesystem::create_directories(out() + "/" + blocked);
        EXPECT_EQ(Run(work), std::vector<Message>{PictureNotCreated(n)});
        Files expected = {"ReadMe.htm", "files/", "files/images/"};
        for (int k = 0; k < 3; ++k)
            expected.push_back("files/images/img_bk_" + std::to_string(k) + ".jpg" + (k == n ? "/" : ""));
        std::erase_if(expected,
                      [&](const std::string& f) { return f > "files/images/img_bk_" + std::to_string(n) + ".jpg/"; });
        EXPECT_EQ(OutFiles(), expected) << n;
    }
}

TEST_F(SaveFilesTest, MissingTemplateEntryGivesAnEmptyPicture) {
    std::vector<TemplateSourceEntry> entries;
    for (std::string_view name : TemplatePackage::kFragmentNames) entries.push_back({std::string(name), {'x'}, true});
    entries.push_back({"img_bk_0.jpg", {1, 2, 3}, false});
    entries.push_back({"img_bk_2.jpg", {4, 5}, false});
    TemplatePackage package;
    ASSERT_EQ(package.Load(WriteTemplatePackage(entries)), kTemplateLoaded);

    SaveFileWork work = Work();
    work.writeBackgroundImages = true;
    EXPECT_TRUE(Run(work, package).empty());
    EXPECT_EQ(ReadFile(out() + "/files/images/img_bk_0.jpg"), std::string("\1\2\3"));
    EXPECT_EQ(ReadFile(out() + "/files/images/img_bk_1.jpg"), "");
    EXPECT_EQ(ReadFile(out() + "/files/images/img_bk_2.jpg"), std::string("\4\5"));
}

TEST_F(SaveFilesTest, ScreenshotFailuresSkipOnlyThatScreenshot) {
    struct Case {
        int slot;
        bool blockTarget;  // else the source is missing
    };
    for (const Case c : {Case{1, false}, Case{2, false}, Case{3, false}, Case{1, true}, Case{2, true}, Case{3, true}}) {
        std::filesystem::remove_all(out());
        SaveFileWork work = Work();
        WithScreenshots(work, 3);
        WantRecord(work);
        const std::string name = "shot" + std::to_string(c.slot) + ".jpg";
        if (c.blockTarget)
            std::filesystem::create_directories(out() + "/files/scrins/" + name);
        else
            work.screenshotPath[static_cast<std::size_t>(c.slot - 1)] += ".missing";
        const Message expected = c.blockTarget ? ScreenshotNotCreated(c.slot) : ScreenshotNotOpened(c.slot);
        EXPECT_EQ(Run(work), std::vector<Message>{expected});
        for (int i = 1; i <= 3; ++i) {
            const std::string copy = out() + "/files/scrins/shot" + std::to_string(i) + ".jpg";
            if (i == c.slot)
                EXPECT_EQ(Exists(copy), c.blockTarget);
            else
                EXPECT_EQ(ReadFile(copy), ReadFile(work.screenshotPath[static_cast<std::size_t>(i - 1)]));
        }
        EXPECT_EQ(ReadFile(out() + "/mod.zip.sql"), work.recordText.str());
    }
}

TEST_F(SaveFilesTest, ScreenshotSourceThatIsAFolderOrEmptyPathCannotBeOpened) {
    SaveFileWork work = Work();
    WithScreenshots(work, 3);
    work.screenshotPath[0] = scratch / "shots1";
    work.screenshotPath[1] = "";
    EXPECT_EQ(Run(work), (std::vector<Message>{ScreenshotNotOpened(1), ScreenshotNotOpened(2)}));
    EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "files/", "files/scrins/", "files/scrins/shot3.jpg"}));
}

TEST_F(SaveFilesTest, RecordFailureIsTheLastMessage) {
    SaveFileWork work = Work();
    WithScreenshots(work, 1);
    WantRecord(work);
    std::filesystem::create_directories(out() + "/mod.zip.sql");
    EXPECT_EQ(Run(work), (std::vector<Message>{{std::string(kRecordNotCreated), MessageIcon::Exclamation}}));
    EXPECT_TRUE(Exists(out() + "/files/scrins/shot1.jpg"));
}

TEST_F(SaveFilesTest, LaterScreenshotWithTheSameNameReplacesTheEarlier) {
    SaveFileWork work = Work();
    WithScreenshots(work, 2);
    WriteFile(scratch / "a/same.jpg", "first");
    WriteFile(scratch / "b/same.jpg", "second");
    work.screenshotPath = {scratch / "a/same.jpg", scratch / "b/same.jpg", ""};
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "files/", "files/scrins/", "files/scrins/same.jpg"}));
    EXPECT_EQ(ReadFile(out() + "/files/scrins/same.jpg"), "second");
}

TEST_F(SaveFilesTest, RelativeScreenshotPathsResolveAgainstTheReadmeFolder) {
    SaveFileWork work = Work();
    WithScreenshots(work, 3);
    WriteFile(out() + "/shot.jpg", "beside the readme");
    WriteFile(out() + "/pictures/deep.jpg", "in a subfolder");
    WriteFile(scratch / "up.jpg", "one level up");
    work.screenshotPath = {"shot.jpg", "pictures/deep.jpg", "../up.jpg"};
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(ReadFile(out() + "/files/scrins/shot.jpg"), "beside the readme");
    EXPECT_EQ(ReadFile(out() + "/files/scrins/deep.jpg"), "in a subfolder");
    EXPECT_EQ(ReadFile(out() + "/files/scrins/up.jpg"), "one level up");
}

// Paths are names, not readme text: characters outside Windows-1251 reach
// the file system as they are, never as "&#N;".
TEST_F(SaveFilesTest, NamesReachTheFileSystemExactlyAsGiven) {
    for (const std::string folder : {"Мод", "Téléchargements", "日本"}) {
        std::filesystem::create_directories(scratch / folder);
        WriteFile(scratch / "Снимки/café 日本.jpg", "pixels");
        SaveFileWork work;
        work.readmePath = scratch / (folder + "/ReadMe 日本.htm");
        work.readmeText = "text";
        work.copyScreenshots = true;
        work.screenshotCount = 1;
        work.screenshotPath[0] = scratch / "Снимки/café 日本.jpg";
        work.record.recordWanted = true;
        work.record.archiveName = "Остров café.zip";
        work.recordText = "INSERT";
        EXPECT_TRUE(Run(work).empty()) << folder;
        EXPECT_EQ(ReadFile(scratch / (folder + "/ReadMe 日本.htm")), "text");
        EXPECT_EQ(ReadFile(scratch / (folder + "/files/scrins/café 日本.jpg")), "pixels");
        EXPECT_EQ(ReadFile(scratch / (folder + "/Остров café.zip.sql")), "INSERT");
    }
}

TEST_F(SaveFilesTest, SavingTwiceReplacesEveryFile) {
    SaveFileWork work = Work();
    work.writeBackgroundImages = true;
    WithScreenshots(work, 3);
    WantRecord(work);
    ASSERT_TRUE(Run(work).empty());
    for (const std::string& f : OutFiles())
        if (f.back() != '/') WriteFile(out() + "/" + f, std::string(70000, 'z'));  // longer than every new file
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(OutFiles(), kEverything);
    EXPECT_EQ(ReadFile(out() + "/ReadMe.htm"), work.readmeText.str());
    EXPECT_EQ(ReadFile(out() + "/files/images/img_bk_1.jpg"), EntryBytes(BuiltIn(), "img_bk_1.jpg"));
    EXPECT_EQ(ReadFile(out() + "/files/scrins/shot2.jpg"), ReadFile(work.screenshotPath[1]));
    EXPECT_EQ(ReadFile(out() + "/mod.zip.sql"), work.recordText.str());
}

// A screenshot chosen from the output's own scrins folder is copied onto
// itself; it must survive.
TEST_F(SaveFilesTest, ScreenshotCopiedOntoItselfSurvives) {
    SaveFileWork work = Work();
    WithScreenshots(work, 1);
    const std::string own = out() + "/files/scrins/own.jpg";
    WriteFile(own, Pattern(100000, 9));
    work.screenshotPath[0] = own;
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(ReadFile(own), Pattern(100000, 9));
}

TEST_F(SaveFilesTest, CopiesStreamThroughTheBufferInWholeBlocks) {
    const std::pair<std::size_t, std::vector<std::size_t>> cases[] = {
        {0, {}},
        {1, {1}},
        {32767, {32767}},
        {32768, {32768}},
        {32769, {32768, 1}},
        {3 * 32768 + 5, {32768, 32768, 32768, 5}},
    };
    for (const auto& [size, reads] : cases) {
        std::filesystem::remove_all(out());
        SaveFileWork work = Work();
        WithScreenshots(work, 1);
        WriteFile(work.screenshotPath[0], Pattern(size, 3));
        std::vector<std::size_t> seen;
        fileio::SetReadFunctionForTesting([&](int fd, char* data, std::size_t want) -> std::ptrdiff_t {
            EXPECT_EQ(data, buffer.data());
            const ssize_t got = ::read(fd, data, want);
            if (got > 0) seen.push_back(static_cast<std::size_t>(got));
            return got;
        });
        EXPECT_TRUE(Run(work).empty()) << size;
        fileio::SetReadFunctionForTesting(nullptr);
        EXPECT_EQ(seen, reads) << size;
        EXPECT_EQ(ReadFile(out() + "/files/scrins/shot1.jpg"), Pattern(size, 3)) << size;
    }
}

TEST_F(SaveFilesTest, SourceThatShrinksWhileCopiedEndsTheCopy) {
    SaveFileWork work = Work();
    WithScreenshots(work, 2);
    WriteFile(work.screenshotPath[0], Pattern(100000, 4));
    bool shrunk = false;
    int calls = 0;
    fileio::SetReadFunctionForTesting([&](int fd, char* data, std::size_t want) -> std::ptrdiff_t {
        if (++calls > 100) {  // a copy that waits for the lost bytes forever
            ADD_FAILURE() << "the copy does not end";
            errno = EIO;
            return -1;
        }
        if (!shrunk) {
            shrunk = true;
            std::filesystem::resize_file(work.screenshotPath[0], 40000);
        }
        return ::read(fd, data, want);
    });
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(ReadFile(out() + "/files/scrins/shot1.jpg"), Pattern(100000, 4).substr(0, 40000));
    struct stat copy {};
    ASSERT_EQ(::stat((out() + "/files/scrins/shot1.jpg").c_str(), &copy), 0);
    EXPECT_LT(copy.st_blocks * 512, 90000) << "the room set aside for the lost bytes was kept";
    EXPECT_EQ(ReadFile(out() + "/files/scrins/shot2.jpg"), ReadFile(work.screenshotPath[1]));
}

TEST_F(SaveFilesTest, ReadErrorIsReportedLikeAnUnopenedSource) {
    SaveFileWork work = Work();
    WithScreenshots(work, 3);
    WantRecord(work);
    WriteFile(work.screenshotPath[1], Pattern(100000, 5));
    WriteFile(out() + "/files/scrins/shot2.jpg", "previous copy");
    int reads = 0;
    fileio::SetReadFunctionForTesting([&](int fd, char* data, std::size_t want) -> std::ptrdiff_t {
        if (want == 32768 && ++reads == 2) {  // the second block of screenshot 2
            errno = EIO;
            return -1;
        }
        return ::read(fd, data, want);
    });
    EXPECT_EQ(Run(work), std::vector<Message>{ScreenshotNotOpened(2)});
    EXPECT_EQ(ReadFile(out() + "/files/scrins/shot2.jpg"), "previous copy");
    EXPECT_TRUE(Exists(out() + "/files/scrins/shot3.jpg"));
    EXPECT_TRUE(Exists(out() + "/mod.zip.sql"));
}

// A full disk: every write that fails after its file was opened has the
// consequences of that file's open failure, and what stood there stays whole.
TEST_F(SaveFilesTest, ReadmeWriteFailureEndsTheCommandAndKeepsTheOldReadme) {
    SaveFileWork work = Work();
    work.writeBackgroundImages = true;
    WantRecord(work);
    const std::string readme = Pattern(50000, 1);
    work.readmeText = readme;
    WriteFile(out() + "/ReadMe.htm", "old readme");
    EXPECT_EQ(RunLimited(work, 20000), std::vector<Message>{Plain(kReadmeNotCreated)});
    EXPECT_EQ(OutFiles(), Files{"ReadMe.htm"});
    EXPECT_EQ(ReadFile(out() + "/ReadMe.htm"), "old readme");
}

TEST_F(SaveFilesTest, PictureWriteFailureEndsTheCommand) {
    const std::size_t largest =
        std::max({EntryBytes(BuiltIn(), "img_bk_0.jpg").size(), EntryBytes(BuiltIn(), "img_bk_1.jpg").size(),
                  EntryBytes(BuiltIn(), "img_bk_2.jpg").size()});
    ASSERT_GT(largest, 2u);
    SaveFileWork work = Work();
    work.writeBackgroundImages = true;
    WithScreenshots(work, 1);
    WantRecord(work);
    work.readmeText = "r";
    // img_bk_0.jpg is the largest picture: it is the one cut short.
    ASSERT_EQ(EntryBytes(BuiltIn(), "img_bk_0.jpg").size(), largest);
    EXPECT_EQ(RunLimited(work, largest - 1), std::vector<Message>{PictureNotCreated(0)});
    EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "files/", "files/images/"}));
}

TEST_F(SaveFilesTest, ScreenshotWriteFailureSkipsThatScreenshot) {
    SaveFileWork work = Work();
    WithScreenshots(work, 3);
    WantRecord(work);
    WriteFile(work.screenshotPath[1], Pattern(200000, 6));
    WriteFile(out() + "/files/scrins/shot2.jpg", "previous copy");
    EXPECT_EQ(RunLimited(work, 100000), std::vector<Message>{ScreenshotNotCreated(2)});
    EXPECT_EQ(ReadFile(out() + "/files/scrins/shot2.jpg"), "previous copy");
    EXPECT_EQ(ReadFile(out() + "/files/scrins/shot3.jpg"), ReadFile(work.screenshotPath[2]));
    EXPECT_EQ(ReadFile(out() + "/mod.zip.sql"), work.recordText.str());
}

TEST_F(SaveFilesTest, RecordWriteFailureIsReported) {
    SaveFileWork work = Work();
    WantRecord(work);
    const std::string record = Pattern(30000, 7);
    work.recordText = record;
    EXPECT_EQ(RunLimited(work, 10000),
              (std::vector<Message>{{std::string(kRecordNotCreated), MessageIcon::Exclamation}}));
    EXPECT_EQ(OutFiles(), Files{"ReadMe.htm"});
}

TEST_F(SaveFilesTest, ReplacedFilesKeepTheirPermissions) {
    SaveFileWork work = Work();
    WriteFile(out() + "/ReadMe.htm", "old");
    std::filesystem::permissions(out() + "/ReadMe.htm", std::filesystem::perms(0640));
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(std::filesystem::status(out() + "/ReadMe.htm").permissions(), std::filesystem::perms(0640));
}

// Replacing a file keeps the file system's rules. Run as "nobody", since
// no mode bit refuses root.
class FileRulesTest : public SaveFilesTest {
protected:
    void SetUp() override {
        SaveFilesTest::SetUp();
        std::filesystem::permissions(scratch.path(), std::filesystem::perms(0755));
        std::filesystem::create_directories(out());
    }
    // Made by root, handed to nobody with the given mode.
    void Own(const std::string& path, unsigned mode) {
        ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
        std::filesystem::permissions(path, std::filesystem::perms(mode));
    }
    std::vector<Message> RunUnprivileged(const SaveFileWork& work) {
        return RunAsNobody([&](const ShowMessage& show) { RunSaveFileWork(work, BuiltIn(), buffer, show); });
    }
};

TEST_F(FileRulesTest, FileThisUserMayNotWriteGetsItsMessageAndStaysUnchanged) {
    SaveFileWork work = Work();
    work.writeBackgroundImages = true;
    WithScreenshots(work, 1);
    WantRecord(work);
    Own(out(), 0755);
    WriteFile(out() + "/ReadMe.htm", "old readme");
    Own(out() + "/ReadMe.htm", 0444);
    EXPECT_EQ(RunUnprivileged(work), std::vector<Message>{Plain(kReadmeNotCreated)});
    EXPECT_EQ(ReadFile(out() + "/ReadMe.htm"), "old readme");
    EXPECT_EQ(OutFiles(), Files{"ReadMe.htm"});

    std::filesystem::remove(out() + "/ReadMe.htm");
    std::filesystem::create_directories(out() + "/files/images");
    Own(out() + "/files", 0755);
    Own(out() + "/files/images", 0755);
    WriteFile(out() + "/files/images/img_bk_0.jpg", "old picture");
    Own(out() + "/files/images/img_bk_0.jpg", 0444);
    EXPECT_EQ(RunUnprivileged(work), std::vector<Message>{PictureNotCreated(0)});
    EXPECT_EQ(ReadFile(out() + "/files/images/img_bk_0.jpg"), "old picture");
    EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "files/", "files/images/", "files/images/img_bk_0.jpg"}));
}

TEST_F(FileRulesTest, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    SaveFileWork work = Work();
    WriteFile(out() + "/ReadMe.htm", "a longer old readme than the new one");
    Own(out() + "/ReadMe.htm", 0644);
    Own(out(), 0555);
    EXPECT_TRUE(RunUnprivileged(work).empty());
    EXPECT_EQ(ReadFile(out() + "/ReadMe.htm"), work.readmeText.str());

    // A new file in that folder still cannot be made.
    work.readmePath = out() + "/Other.htm";
    EXPECT_EQ(RunUnprivileged(work), std::vector<Message>{Plain(kReadmeNotCreated)});
    Own(out(), 0755);
}

TEST_F(FileRulesTest, SymlinkIsWrittenThroughAndHardLinksStayOneFile) {
    SaveFileWork work = Work();
    WriteFile(scratch / "real/ReadMe.htm", "old");
    std::filesystem::create_symlink(scratch / "real/ReadMe.htm", out() + "/ReadMe.htm");
    EXPECT_TRUE(Run(work).empty());
    EXPECT_TRUE(std::filesystem::is_symlink(out() + "/ReadMe.htm"));
    EXPECT_EQ(ReadFile(scratch / "real/ReadMe.htm"), work.readmeText.str());

    // A dangling link: the file it names is created.
    std::filesystem::remove(scratch / "real/ReadMe.htm");
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(ReadFile(scratch / "real/ReadMe.htm"), work.readmeText.str());

    std::filesystem::remove(out() + "/ReadMe.htm");
    WriteFile(out() + "/ReadMe.htm", "old and longer than the new readme is");
    std::filesystem::create_hard_link(out() + "/ReadMe.htm", scratch / "linked.htm");
    EXPECT_TRUE(Run(work).empty());
    EXPECT_EQ(ReadFile(scratch / "linked.htm"), work.readmeText.str());
    EXPECT_EQ(std::filesystem::hard_link_count(out() + "/ReadMe.htm"), 2u);
}

// A pipe, a device or a socket would hang the open or the read: each is a
// source that cannot be opened, and the next screenshot and the record
// follow. The child's ten-second alarm turns a hang into a failure.
TEST_F(FileRulesTest, SourcesThatWouldBlockAreUnopenable) {
    const std::string fifo = scratch / "shot.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string socketPath = scratch / "shot.socket";
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    for (const std::string& source : {fifo, std::string("/dev/zero"), socketPath}) {
        std::filesystem::remove_all(out());
        SaveFileWork work = Work();
        WithScreenshots(work, 2);
        WantRecord(work);
        work.screenshotPath[0] = source;
        const std::vector<Message> messages =
            RunInChild([] {}, [&](const ShowMessage& show) { RunSaveFileWork(work, BuiltIn(), buffer, show); });
        EXPECT_EQ(messages, std::vector<Message>{ScreenshotNotOpened(1)}) << source;
        EXPECT_EQ(OutFiles(), (Files{"ReadMe.htm", "files/", "files/scrins/", "files/scrins/shot2.jpg", "mod.zip.sql"}))
            << source;
    }
    ::close(listening);

    // A readme path that is a pipe nobody reads fails at once.
    SaveFileWork work = Work();
    work.readmePath = fifo;
    const std::vector<Message> messages =
        RunInChild([] {}, [&](const ShowMessage& show) { RunSaveFileWork(work, BuiltIn(), buffer, show); });
    EXPECT_EQ(messages, std::vector<Message>{Plain(kReadmeNotCreated)});
}

}  // namespace
