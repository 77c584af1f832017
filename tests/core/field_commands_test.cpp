// The field editor's commands apart from any window: which field each
// command fills, and that the menu offers every command once.

#include "pages/FieldCommands.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "text/Cp1251.h"

namespace {

class FakeTargets final : public FieldTargets {
public:
    Text GetFieldText(FormPage page, int controlId) override { return fields[{page, controlId}]; }
    void SetFieldText(FormPage page, int controlId, std::string_view text) override {
        fields[{page, controlId}] = Text(text);
        ++writes;
    }
    std::map<std::pair<FormPage, int>, Text> fields;
    int writes = 0;
};

TEST(FieldCommands, InsertReplacesAndAddAppendsToTheNamedField) {
    const struct {
        int command;
        FormPage page;
        int controlId;
        const char* before;
        const char* after;
    } cases[] = {
        {32778, FormPage::Plugin, 1025, "old", "passage"},       // insert: plug-in name
        {32795, FormPage::Plugin, 1025, "old ", "old passage"},  // add: plug-in name
        {32794, FormPage::Plugin, 1005, "", "passage"},          // add: description
        {32786, FormPage::Extras, 1035, "x", "passage"},         // insert: warning
        {32807, FormPage::Database, 1032, "http://", "http://passage"},
    };
    for (const auto& c : cases) {
        FakeTargets targets;
        targets.fields[{c.page, c.controlId}] = c.before;
        EXPECT_TRUE(RunFieldCommand(c.command, "passage", targets)) << c.command;
        EXPECT_EQ(targets.GetFieldText(c.page, c.controlId), c.after) << c.command;
        EXPECT_EQ(targets.writes, 1) << c.command;
    }
    FakeTargets targets;
    for (int other : {0, kIdEditCopy, 32777, 32808}) EXPECT_FALSE(RunFieldCommand(other, "x", targets));
    EXPECT_EQ(targets.writes, 0);
}

// Each field's two commands are distinct and each appears once in the menu,
// under the caption of its field.
TEST(FieldCommands, TheMenuOffersEveryCommandOnceUnderItsFieldsCaption) {
    std::map<int, std::string_view> captions;
    for (const MenuEntry& entry : FieldEditMenu())
        if (entry.kind == MenuEntryKind::Item && entry.id != 0 && entry.id < kIdEditCopy)
            EXPECT_TRUE(captions.emplace(entry.id, entry.caption).second) << entry.id;
    std::set<std::pair<FormPage, int>> fields;
    for (const FieldCommand& field : FieldCommands()) {
        EXPECT_NE(field.insertId, field.addId);
        EXPECT_EQ(captions[field.insertId], field.caption);
        EXPECT_EQ(captions[field.addId], field.caption);
        EXPECT_TRUE(fields.emplace(field.page, field.controlId).second) << field.controlId;
    }
    EXPECT_EQ(captions.size(), 2 * FieldCommands().size());
}

}  // namespace
