// The field editor's commands apart from any window: which field each
// command fills, and that the menu offers every command once.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "pages/FieldCommands.h"
#include "text/Cp1251.h"

namespace {

class FakeTargets final : public FieldTargets {
public:
    Text GetFieldText(FieldTarget field) override { return fields[field]; }
    void SetFieldText(FieldTarget field, std::string_view text) override {
        fields[field] = Text(text);
        ++writes;
    }
    std::map<FieldTarget, Text> fields;
    int writes = 0;
};

TEST(FieldCommands, InsertReplacesAndAddAppendsToTheNamedField) {
    using F = FieldMenuId;
    const struct {
        FieldMenuId command;
        FieldTarget field;
        const char* before;
        const char* after;
    } cases[] = {
        {F::InsertPluginName, PluginId::Name, "old", "passage"},
        {F::AddPluginName, PluginId::Name, "old ", "old passage"},
        {F::AddDescription, PluginId::Description, "", "passage"},
        {F::InsertWarningText, ExtrasId::WarningText, "x", "passage"},
        {F::AddOriginalLink, DatabaseId::OriginalLink, "http://", "http://passage"},
    };
    for (const auto& c : cases) {
        const int command = CommandId(c.command);
        FakeTargets targets;
        targets.fields[c.field] = c.before;
        EXPECT_TRUE(RunFieldCommand(command, "passage", targets)) << command;
        EXPECT_EQ(targets.GetFieldText(c.field), c.after) << command;
        EXPECT_EQ(targets.writes, 1) << command;
    }
    // An edit command, and the ids either side of the two runs of field commands.
    FakeTargets targets;
    for (int other : {0, kIdEditCopy, CommandId(F::InsertPluginName) - 1, CommandId(F::InsertOriginalLink) + 1,
                      CommandId(F::AddDescription) - 1, CommandId(F::AddOriginalLink) + 1})
        EXPECT_FALSE(RunFieldCommand(other, "x", targets)) << other;
    EXPECT_EQ(targets.writes, 0);
}

// Each field's two commands are distinct and each appears once in the menu,
// under the caption of its field.
TEST(FieldCommands, TheMenuOffersEveryCommandOnceUnderItsFieldsCaption) {
    std::map<int, std::string_view> captions;
    for (const MenuEntry& entry : FieldEditMenu()) {
        if (entry.kind == MenuEntryKind::Item && entry.id != 0 && entry.id < kIdEditCopy) {
            EXPECT_TRUE(captions.emplace(entry.id, entry.caption).second) << entry.id;
        }
    }
    std::set<FieldTarget> fields;
    for (const FieldCommand& field : FieldCommands()) {
        EXPECT_NE(field.insertId, field.addId);
        EXPECT_EQ(captions[CommandId(field.insertId)], field.caption);
        EXPECT_EQ(captions[CommandId(field.addId)], field.caption);
        EXPECT_TRUE(fields.insert(field.target).second) << field.target.control;
    }
    EXPECT_EQ(captions.size(), 2 * FieldCommands().size());
}

}  // namespace
