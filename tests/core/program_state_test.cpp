// The program's own files: where they live, the draft's round trip, and
// what a broken file leads to.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/state/DraftStore.h"
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

FormFile Named(const std::string& name) {
    FormFile form;
    form.form.pluginName = cp1251::FromUtf8(name);
    return form;
}

std::string NameOf(const FormFile& form) { return cp1251::ToUtf8(form.form.pluginName); }

// The drafts' files in a folder, sorted, with the ids cut to "ID".
std::vector<std::string> DraftFiles(const std::string& folder) {
    std::vector<std::string> files;
    for (const std::string& name : FilesUnder(folder)) {
        std::string kind = name;
        if (name.starts_with("draft-"))
            kind = name.find(".broken-") != std::string::npos ? "draft-ID.json.broken"
                                                              : "draft-ID" + name.substr(name.rfind('.'));
        files.push_back(kind);
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(DraftStore, EachWindowWritesOnlyItsOwnDraft) {
    ScratchFolder scratch;
    const std::string folder = scratch / "deep/state";
    DraftStore first(folder), second(folder);
    EXPECT_TRUE(first.Save(Named("Маяк")).ok);
    EXPECT_TRUE(second.Save(Named("Башня")).ok);
    EXPECT_NE(first.id(), second.id());
    EXPECT_TRUE(first.Save(Named("Маяк у заводи")).ok);

    DraftStore third(folder);
    EXPECT_FALSE(third.Claim().form) << "both are held";
    second.Close();
    const DraftStore::Claimed claimed = third.Claim();
    ASSERT_TRUE(claimed.form);
    EXPECT_EQ(NameOf(*claimed.form), "Башня");
    EXPECT_EQ(third.id(), second.id()) << "the window now owns that draft";
    EXPECT_TRUE(claimed.others.empty());

    // New: a fresh form is not kept, and a window without a draft leaves no file at all.
    EXPECT_TRUE(first.Save(FormFile{}).ok);
    first.Close();
    third.Close();
    EXPECT_EQ(DraftFiles(folder), (std::vector<std::string>{"draft-ID.json", "draft-ID.lock"}));
    DraftStore fourth(folder);
    EXPECT_EQ(NameOf(*fourth.Claim().form), "Башня");
}

TEST(DraftStore, AStartClaimsOrphansInOrderAndLeavesTheRestForLater) {
    const struct Case {
        const char* what;
        int orphans;    // drafts "A", "B", … of windows that ended
        int held;       // of windows still running
        bool oldDraft;  // an earlier version's draft.json, "old"
        bool fresh;     // a draft of a fresh form
        bool broken;    // a draft that is no form
        bool ownFirst;
        const char* mine;  // this window's form, "" for none
        std::size_t others;
        int waiting;
        std::size_t setAside;
    } cases[] = {
        {"one orphan", 1, 0, false, false, false, true, "A", 0, 0, 0},
        {"held drafts are not touched", 0, 2, false, false, false, true, "", 0, 0, 0},
        {"the old draft comes first", 2, 1, true, false, false, true, "old", 2, 0, 0},
        {"a fresh draft is dropped", 0, 0, false, true, false, true, "", 0, 0, 0},
        {"a broken draft is set aside", 1, 0, false, false, true, true, "A", 0, 0, 1},
        {"eight windows at most", 10, 0, false, false, false, true, "A", 7, 2, 0},
        {"a window opening a form keeps it", 2, 0, false, false, false, false, "", 2, 0, 0},
        {"... and counts as one of the eight", 9, 0, false, false, false, false, "", 7, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        std::vector<std::unique_ptr<DraftStore>> running;
        for (int i = 0; i < c.held; ++i) {
            running.push_back(std::make_unique<DraftStore>(scratch.path()));
            ASSERT_TRUE(running.back()->Save(Named("held")).ok);
        }
        for (int i = 0; i < c.orphans; ++i) {
            DraftStore ended(scratch.path());
            ASSERT_TRUE(ended.Save(Named(std::string(1, static_cast<char>('A' + i)))).ok);
            // Made in order, as the ids' time stamps order them.
            std::filesystem::rename(PathOf(ended.DraftPath(ended.id())),
                                    PathOf(ended.DraftPath("0-" + std::to_string(10 + i))));
        }
        if (c.oldDraft) WriteFile(scratch / "draft.json", WriteFormFile(Named("old")));
        if (c.fresh) WriteFile(scratch / "draft-1-fresh.json", WriteFormFile(FormFile{}));
        if (c.broken) WriteFile(scratch / "draft-0-0.json", "{ broken");

        DraftStore store(scratch.path());
        const DraftStore::Claimed claimed = store.Claim(c.ownFirst);
        EXPECT_EQ(claimed.form ? NameOf(*claimed.form) : "", c.mine);
        EXPECT_EQ(claimed.others.size(), c.others);
        EXPECT_EQ(claimed.waiting, c.waiting);
        ASSERT_EQ(claimed.setAside.size(), c.setAside);
        if (c.broken) {
            EXPECT_EQ(ReadFile(claimed.setAside[0]), "{ broken");
        }
        EXPECT_FALSE(Exists(scratch / "draft.json")) << "taken over once";
        EXPECT_FALSE(Exists(scratch / "draft-1-fresh.json"));

        // Each further window takes its own; a second try at one finds it taken.
        for (const std::string& id : claimed.others) {
            DraftStore& window = *running.emplace_back(std::make_unique<DraftStore>(scratch.path()));
            const std::optional<FormFile> adopted = window.Adopt(id);
            ASSERT_TRUE(adopted) << id;
            EXPECT_NE(NameOf(*adopted), "held");
            EXPECT_FALSE(DraftStore(scratch.path()).Adopt(id));
        }
        // What waits is there for the next start; nothing of the held ones is.
        const DraftStore::Claimed next = DraftStore(scratch.path()).Claim(false);
        EXPECT_EQ(static_cast<int>(next.others.size()) + next.waiting, c.waiting);
    }
}

TEST(DraftStore, AdoptTakesOnlyAnOrphanByAnIdOfOurs) {
    ScratchFolder scratch;
    {
        DraftStore ended(scratch.path());
        ASSERT_TRUE(ended.Save(Named("Маяк")).ok);
        WriteFile(scratch / "elsewhere.json", WriteFormFile(Named("чужой")));
    }
    for (const char* id : {"", "../elsewhere", "missing-1", "a/b"})
        EXPECT_FALSE(DraftStore(scratch.path()).Adopt(id)) << id;
    EXPECT_EQ(FilesUnder(scratch.path()).size(), 3u) << "a failed adoption leaves no file behind";
}

TEST(DraftStore, AFailedWriteSaysWhyAndKeepsTheLastDraft) {
    ScratchFolder scratch;
    WriteFile(scratch / "state", "a file where the folder should be");
    const StateWrite blocked = DraftStore(scratch / "state/quillsmith").Save(Named("Маяк"));
    EXPECT_FALSE(blocked.ok);
    EXPECT_FALSE(blocked.reason.empty());
    EXPECT_FALSE(DraftStore(FilePath()).Save(Named("Маяк")).ok);
    EXPECT_FALSE(DraftStore(FilePath()).Claim().form);
#ifndef _WIN32
    // A full disk: the draft written before the limit stays whole.
    const std::string folder = scratch / "full";
    DraftStore store(folder);
    ASSERT_TRUE(store.Save(Named("Маяк")).ok);
    const std::string before = *ReadFile(store.DraftPath(store.id()));
    FormFile large = Named("Маяк");
    large.form.description.assign(64 * 1024, 'x');
    const std::vector<Message> full = RunWithFileSizeLimit(4096, [&](const ShowMessage& show) {
        const StateWrite written = store.Save(large);
        show(written.ok ? "written" : written.reason, MessageIcon::None);
    });
    ASSERT_EQ(full.size(), 1u);
    EXPECT_EQ(full[0].text, "файл слишком велик");
    EXPECT_EQ(ReadFile(store.DraftPath(store.id())), before);

    // A state folder that became read-only: said, and the draft there stays.
    std::filesystem::permissions(PathOf(folder),
                                 std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                     std::filesystem::perms::others_read | std::filesystem::perms::group_exec |
                                     std::filesystem::perms::others_exec);
    const std::vector<Message> readOnly = RunAsNobody([&](const ShowMessage& show) {
        DraftStore other(folder);
        const StateWrite written = other.Save(Named("Башня"));
        show(written.ok ? "written" : written.reason, MessageIcon::None);
    });
    ASSERT_EQ(readOnly.size(), 1u);
    EXPECT_EQ(readOnly[0].text, "нет доступа");
    EXPECT_EQ(ReadFile(store.DraftPath(store.id())), before);
#endif
}

TEST(RecentFolders, RememberedAcrossSessionsAndNothingFromABrokenFile) {
    ScratchFolder scratch;
    {
        RecentFolders folders(scratch.path());
        EXPECT_EQ(folders.Get("readme"), "");
        EXPECT_TRUE(folders.Set("readme", "/home/a/Мод").ok);
        EXPECT_TRUE(folders.Set("forms", "/home/a/forms").ok);
    }
    const RecentFolders again(scratch.path());
    EXPECT_EQ(again.Get("readme"), "/home/a/Мод");
    EXPECT_EQ(again.Get("forms"), "/home/a/forms");
    EXPECT_EQ(again.Get("text"), "");

    // Two windows: each change keeps the other's entries.
    RecentFolders first(scratch.path()), second(scratch.path());
    EXPECT_TRUE(first.Set("text", "/home/a/тексты").ok);
    EXPECT_TRUE(second.Set("forms", "/home/b/forms").ok);
    EXPECT_TRUE(first.Set("readme", "/home/a/new").ok);
    const RecentFolders both(scratch.path());
    EXPECT_EQ(both.Get("text"), "/home/a/тексты");
    EXPECT_EQ(both.Get("forms"), "/home/b/forms");
    EXPECT_EQ(both.Get("readme"), "/home/a/new");

    WriteFile(scratch / "folders.json", "{ not json");
    EXPECT_EQ(RecentFolders(scratch.path()).Get("readme"), "");
}

}  // namespace
