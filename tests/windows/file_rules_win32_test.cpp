// Save's file rules on Windows: backslash paths, names in UTF-16 whatever
// the ANSI code page, what the system refuses, and sources that could wait.

#include <windows.h>
// after windows.h
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <thread>

#include "app/state/DraftStore.h"
#include "app/state/ProgramState.h"
#include "core/output_test_support.h"
#include "output/FileIo.h"
#include "output/LongPathWin32.h"
#include "output/SaveFiles.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"
#include "text/Utf16.h"

namespace {

using namespace testing_output;
using Files = std::vector<std::string>;

std::wstring Wide(const std::string& utf8) {
    const std::u16string text = utf16::FromUtf8(utf8);
    return {text.begin(), text.end()};
}

DWORD Attributes(const std::string& path) { return ::GetFileAttributesW(Wide(path).c_str()); }

// The tests' own way past MAX_PATH, whatever the process's settings.
std::string Extended(const std::string& path) { return "\\\\?\\" + path; }

class WindowsFiles : public ::testing::Test {
protected:
    void SetUp() override { m_handles = OpenDescriptorCount(); }
    void TearDown() override {
        EXPECT_EQ(OpenDescriptorCount(), m_handles) << "a handle stayed open";
        for (const std::string& file : FilesUnder(scratch.path()))
            EXPECT_EQ(file.find(".quillsmith-"), std::string::npos) << "temporary file left: " << file;
    }

    ScratchFolder scratch;
    std::array<char, kTextBufferSize> buffer{};

private:
    int m_handles = 0;
};

TEST_F(WindowsFiles, SaveWritesEveryOutputUnderBackslashPathsWithCyrillicNames) {
    TemplatePackage package;
    ASSERT_EQ(package.LoadBuiltIn(), kTemplateLoaded);
    const std::string mod = scratch / "Моды\\Остров";
    WriteFile(scratch / "Моды\\скрины\\вид 1.jpg", "first");
    WriteFile(scratch / "Моды\\скрины\\日本.jpg", "second");

    SaveFileWork work;
    work.readmePath = mod + "\\ReadMe.htm";
    work.readmeText = "<html>Остров</html>\r\n"_cp;
    work.writeBackgroundImages = true;
    work.copyScreenshots = true;
    work.screenshotCount = 2;
    // Relative to the readme's folder, as the spec of the form file says.
    work.screenshotPath = {"..\\скрины\\вид 1.jpg", scratch / "Моды\\скрины\\日本.jpg", ""};
    work.record.recordWanted = true;
    work.record.archiveName = "Остров.zip";
    work.recordText = "INSERT";
    std::filesystem::create_directories(PathOf(mod));

    MessageLog log;
    RunSaveFileWork(work, package, buffer, log.callback());
    EXPECT_TRUE(log.messages.empty()) << log.messages.front();
    EXPECT_EQ(FilesUnder(mod), (Files{"ReadMe.htm", "files/", "files/images/", "files/images/img_bk_0.jpg",
                                      "files/images/img_bk_1.jpg", "files/images/img_bk_2.jpg", "files/scrins/",
                                      "files/scrins/вид 1.jpg", "files/scrins/日本.jpg", "Остров.zip.sql"}))
        << "names as given, in UTF-16";
    EXPECT_EQ(ReadFile(mod + "\\ReadMe.htm"), work.readmeText.str());
    EXPECT_EQ(ReadFile(mod + "\\files\\scrins\\вид 1.jpg"), "first");
    EXPECT_EQ(ReadFile(mod + "\\files\\scrins\\日本.jpg"), "second");
    EXPECT_EQ(ReadFile(mod + "\\Остров.zip.sql"), "INSERT");
}

TEST_F(WindowsFiles, WhatTheSystemRefusesKeepsTheOldFile) {
    const std::string readOnly = scratch / "только чтение.htm";
    WriteFile(readOnly, "old");
    ASSERT_TRUE(::SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(fileio::WriteWholeFile(readOnly, "new"));
    // Save names each in the user's words, whatever the system's language.
    EXPECT_EQ(fileio::SystemReason(), "нет доступа");
    EXPECT_EQ(ReadFile(readOnly), "old");
    ::SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);

    // Another program holds the file and shares nothing.
    const std::string locked = scratch / "locked.htm";
    WriteFile(locked, "old");
    const HANDLE holder =
        ::CreateFileW(Wide(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(fileio::WriteWholeFile(locked, "new"));
    EXPECT_EQ(fileio::SystemReason(), "нет доступа");
    ::CloseHandle(holder);
    EXPECT_EQ(ReadFile(locked), "old");

    std::filesystem::create_directories(PathOf(scratch / "folder.htm"));
    EXPECT_FALSE(fileio::WriteWholeFile(scratch / "folder.htm", "new"));
    EXPECT_EQ(fileio::SystemReason(), "это папка");
    EXPECT_FALSE(fileio::WriteWholeFile(scratch / "missing\\ReadMe.htm", "new"));
    EXPECT_EQ(fileio::SystemReason(), "нет такого файла или папки");
}

TEST_F(WindowsFiles, ReplacedFileKeepsItsAttributesAndHardLinksStayOneFile) {
    const std::string hidden = scratch / "hidden.htm";
    WriteFile(hidden, std::string(5000, 'o'));
    ASSERT_TRUE(::SetFileAttributesW(Wide(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(fileio::WriteWholeFile(hidden, "new"));
    EXPECT_EQ(ReadFile(hidden), "new");
    EXPECT_NE(Attributes(hidden) & FILE_ATTRIBUTE_HIDDEN, 0u);

    const std::string original = scratch / "original.htm";
    const std::string link = scratch / "ссылка.htm";
    WriteFile(original, std::string(5000, 'o'));
    ASSERT_TRUE(::CreateHardLinkW(Wide(link).c_str(), Wide(original).c_str(), nullptr));
    EXPECT_TRUE(fileio::WriteWholeFile(link, "new"));
    EXPECT_EQ(ReadFile(original), "new") << "the link was written in place, shorter than before";
    EXPECT_EQ(ReadFile(link), "new");
}

TEST_F(WindowsFiles, SourcesThatWouldWaitAreNeverOpened) {
    const std::wstring pipeName = L"\\\\.\\pipe\\quillsmith-test-" + std::to_wstring(::GetCurrentProcessId());
    const HANDLE server = ::CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 2, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    const std::string pipe = utf16::ToUtf8(std::u16string(pipeName.begin(), pipeName.end()));
    for (const std::string& source : {pipe, std::string("CON"), std::string("NUL"), scratch.path(), std::string()}) {
        fileio::InputFile in;
        EXPECT_FALSE(in.Open(source)) << source;
    }
    ::CloseHandle(server);

    // A device as the target is written in place, as an open would.
    EXPECT_TRUE(fileio::WriteWholeFile("NUL", "discarded"));
}

TEST_F(WindowsFiles, StateFolderIsUnderLocalAppDataAndADraftLivesThere) {
    const DWORD size = ::GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    std::wstring saved(size, L'\0');
    ::GetEnvironmentVariableW(L"LOCALAPPDATA", saved.data(), size);
    saved.resize(size > 0 ? size - 1 : 0);

    const struct {
        const wchar_t* value;
        std::string expected;
    } cases[] = {
        {L"C:\\Users\\Автор\\AppData\\Local", "C:\\Users\\Автор\\AppData\\Local\\Quillsmith"},
        {L"\\\\server\\profiles\\a", "\\\\server\\profiles\\a\\Quillsmith"},
        {L"AppData\\Local", ""},  // relative: would move with the current folder
        {L"", ""},
        {nullptr, ""},
    };
    for (const auto& c : cases) {
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", c.value);
        EXPECT_EQ(StateFolder(), c.expected);
    }

    const std::wstring local = Wide(scratch / "Локальные");
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", local.c_str());
    DraftStore store(StateFolder());
    FormFile form;
    form.form.pluginName = "Маяк"_cp;
    form.form.screenshotPath[0] = "C:\\Скрины\\café.jpg";
    EXPECT_TRUE(store.Save(form).ok);
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", size > 0 ? saved.c_str() : nullptr);

    EXPECT_EQ(store.DraftPath(store.id()), scratch / ("Локальные\\Quillsmith\\draft-" + store.id() + ".json"));
    // Held: another window finds nothing; once let go, it is that window's.
    DraftStore other(scratch / "Локальные\\Quillsmith");
    EXPECT_FALSE(other.Claim().form);
    store.Close();
    const DraftStore::Claimed claimed = other.Claim();
    ASSERT_TRUE(claimed.form);
    EXPECT_EQ(*claimed.form, form);
    // A fresh form leaves no file behind, the lock's included.
    EXPECT_TRUE(other.Save(FormFile{}).ok);
    other.Close();
    EXPECT_TRUE(fileio::NamesIn(scratch / "Локальные\\Quillsmith").empty());
}

// Folders whose full paths run past MAX_PATH: the draft makes the whole
// chain, Save writes and copies into it, and a refused replacement still
// keeps the old file.
TEST_F(WindowsFiles, FoldersPastMaxPathHoldTheDraftTheReadmeAndItsCopy) {
    for (const std::size_t length : {300u, 600u}) {
        const std::string top = scratch / ("Глубоко " + std::to_string(length));
        std::string deep = top;
        for (int n = 0; Wide(deep).size() < length; ++n) deep += "\\Очень длинное имя папки " + std::to_string(n);
        DraftStore store(deep + "\\Quillsmith");
        FormFile form;
        form.form.pluginName = "Маяк"_cp;
        EXPECT_TRUE(store.Save(form).ok) << length;
        store.Close();
        EXPECT_EQ(DraftStore(deep + "\\Quillsmith").Claim().form, form);

        // The screenshot's ".." is taken out before the name is extended.
        WriteFile(Extended(deep.substr(0, deep.rfind('\\')) + "\\скрин.jpg"), "shot");
        SaveFileWork work;
        work.readmePath = deep + "\\ReadMe.htm";
        work.readmeText = "<html>Глубоко</html>"_cp;
        work.copyScreenshots = true;
        work.screenshotCount = 1;
        work.screenshotPath = {"..\\скрин.jpg", "", ""};
        MessageLog log;
        RunSaveFileWork(work, TemplatePackage(), buffer, log.callback());
        EXPECT_TRUE(log.messages.empty()) << log.messages.front();
        EXPECT_EQ(ReadFile(Extended(work.readmePath)), work.readmeText.str());
        EXPECT_EQ(ReadFile(Extended(deep + "\\files\\scrins\\скрин.jpg")), "shot");

        EXPECT_TRUE(fileio::WriteWholeFile(work.readmePath, "new"));
        const HANDLE holder = ::CreateFileW(Wide(Extended(work.readmePath)).c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_FALSE(fileio::WriteWholeFile(work.readmePath, "newer"));
        ::CloseHandle(holder);
        EXPECT_EQ(ReadFile(Extended(work.readmePath)), "new");
        EXPECT_EQ(fileio::NamesIn(deep + "\\Quillsmith").size(), 2u) << "the draft and its lock";
        // The whole tree goes, however deep: as a closed window's preview folder does.
        EXPECT_TRUE(fileio::RemoveTree(top));
        EXPECT_TRUE(fileio::IsMissing(top));
    }
}

TEST(WindowsLongPaths, TheSystemIsGivenExtendedNames) {
    std::wstring deep = LR"(C:)";
    while (deep.size() < 600) deep += L"\\Очень длинное имя папки";

    const std::wstring cases[][2] = {
        {LR"(C:\Моды\ReadMe.htm)", LR"(\\?\C:\Моды\ReadMe.htm)"},
        {LR"(\\server\share\ReadMe.htm)", LR"(\\?\UNC\server\share\ReadMe.htm)"},
        {LR"(C:/Моды/ReadMe.htm)", LR"(\\?\C:\Моды\ReadMe.htm)"},
        {LR"(C:\Моды\.\скрины\..\ReadMe.htm)", LR"(\\?\C:\Моды\ReadMe.htm)"},
        {LR"(\\?\C:\Моды\..\ReadMe.htm)", LR"(\\?\C:\Моды\..\ReadMe.htm)"},  // the caller's own
        {LR"(\\.\pipe\quillsmith)", LR"(\\.\pipe\quillsmith)"},
        {L"NUL", L"NUL"},  // the system maps a device's name
        {LR"(скрины\..\ReadMe.htm)", LR"(\\?\)" + (std::filesystem::current_path() / L"ReadMe.htm").wstring()},
        {deep, LR"(\\?\)" + deep},
    };
    for (const auto& [given, expected] : cases) EXPECT_EQ(fileio::SystemName(given), expected);
}

// A state folder on a share: folders are made below the share, never the
// server or the share itself.
TEST(WindowsLongPaths, FoldersAreMadeBelowTheDriveOrTheShare) {
    const std::wstring cases[][2] = {
        {LR"(C:\Users\Автор\AppData\Local\Quillsmith)", LR"(\\?\C:\)"},
        {LR"(\\server\share\Users\me\AppData\Local\Quillsmith)", LR"(\\?\UNC\server\share\)"},
        {LR"(\\?\UNC\server\share\Quillsmith)", LR"(\\?\UNC\server\share\)"},
        {LR"(\\server\share)", LR"(\\?\UNC\server\share)"},  // nothing to make
    };
    for (const auto& [folder, root] : cases) {
        const std::wstring name = fileio::SystemName(folder);
        EXPECT_EQ(name.substr(0, fileio::RootLength(name)), root);
    }
}

// Windows' own table of code page 1251 is a witness independent of ours.
TEST(WindowsCodePage, DecodesEveryAssignedByteAsWindowsDoes) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;  // unassigned: ours keeps it as U+0098
        const char byte = static_cast<char>(b);
        wchar_t wide = 0;
        ASSERT_EQ(::MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1), 1) << b;
        EXPECT_EQ(utf16::FromCp1251(std::string(1, byte)), std::u16string(1, static_cast<char16_t>(wide))) << b;
    }
}

}  // namespace
