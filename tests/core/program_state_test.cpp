// The program's own files: where they live, the draft's round trip, and
// what a broken file leads to.

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/state/ProgramState.h"
#include "core/output_test_support.h"
#include "text/Cp1251.h"

namespace {

using namespace testing_output;

class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(StateFolder, FollowsXdgStateHomeElseHome) {
    const struct {
        const char* state;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/var/state", "/home/a", "/var/state/quillsmith"},
        {nullptr, "/home/a", "/home/a/.local/state/quillsmith"},
        {"relative/state", "/home/a", "/home/a/.local/state/quillsmith"},  // not absolute: ignored
        {"", "/home/a", "/home/a/.local/state/quillsmith"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        const ScopedVariable state("XDG_STATE_HOME", c.state);
        const ScopedVariable home("HOME", c.home);
        EXPECT_EQ(StateFolder(), c.expected);
    }
}

TEST(DraftStore, KeepsTheFormWholeAndCreatesItsFolder) {
    ScratchFolder scratch;
    const DraftStore store(scratch / "deep/state");
    EXPECT_FALSE(store.Load().form);
    EXPECT_TRUE(store.Load().setAside.empty());

    FormFile form;
    form.form.pluginName = "Маяк"_cp;
    form.form.screenshotPath[0] = "/shots/café.jpg";
    form.record.recordWanted = true;
    ASSERT_TRUE(store.Save(form));
    const DraftStore::Loaded loaded = store.Load();
    ASSERT_TRUE(loaded.form);
    EXPECT_EQ(*loaded.form, form);
    EXPECT_EQ(FilesUnder(scratch / "deep/state"), std::vector<std::string>{"draft.json"});
}

TEST(DraftStore, ABrokenDraftIsSetAsideWithItsBytes) {
    for (const std::string& bytes :
         {std::string("{\"pluginName\": "), std::string("[1, 2]"), std::string("{\"someOtherProgram\": true}")}) {
        ScratchFolder scratch;
        WriteFile(scratch / "draft.json", bytes);
        const DraftStore::Loaded loaded = DraftStore(scratch.path()).Load();
        EXPECT_FALSE(loaded.form) << bytes;
        EXPECT_FALSE(loaded.why.empty()) << bytes;
        ASSERT_FALSE(loaded.setAside.empty()) << bytes;
        EXPECT_EQ(ReadFile(loaded.setAside), bytes);
        EXPECT_FALSE(Exists(scratch / "draft.json"));
    }
    // A folder where the draft should be cannot be read: set aside too.
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch / "draft.json");
    const DraftStore::Loaded loaded = DraftStore(scratch.path()).Load();
    EXPECT_FALSE(loaded.form);
    EXPECT_TRUE(std::filesystem::is_directory(loaded.setAside));
}

TEST(DraftStore, AStateFolderThatCannotBeMadeFailsQuietly) {
    ScratchFolder scratch;
    WriteFile(scratch / "state", "a file where the folder should be");
    EXPECT_FALSE(DraftStore(scratch / "state/quillsmith").Save(FormFile{}));
    EXPECT_FALSE(DraftStore(FilePath()).Save(FormFile{}));
    EXPECT_FALSE(DraftStore(FilePath()).Load().form);
}

TEST(RecentFolders, RememberedAcrossSessionsAndNothingFromABrokenFile) {
    ScratchFolder scratch;
    {
        RecentFolders folders(scratch.path());
        EXPECT_EQ(folders.Get("readme"), "");
        EXPECT_TRUE(folders.Set("readme", "/home/a/Мод"));
        EXPECT_TRUE(folders.Set("forms", "/home/a/forms"));
    }
    const RecentFolders again(scratch.path());
    EXPECT_EQ(again.Get("readme"), "/home/a/Мод");
    EXPECT_EQ(again.Get("forms"), "/home/a/forms");
    EXPECT_EQ(again.Get("text"), "");

    WriteFile(scratch / "folders.json", "{ not json");
    EXPECT_EQ(RecentFolders(scratch.path()).Get("readme"), "");
}

}  // namespace
