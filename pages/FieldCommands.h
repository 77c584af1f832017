#pragma once
// What the text document's context menu does, apart from how a platform
// shows it: its table, the fourteen fields its two cascades fill, and the
// insert and add rules. The main window is the target of every command.

#include <span>
#include <string_view>

#include "platform/MenuTable.h"
#include "readme/DatabaseIds.h"
#include "readme/ExtrasIds.h"
#include "readme/PluginIds.h"
#include "text/Text.h"

enum class FormPage { Plugin, Extras, Database };

// A control of one of the three form pages. The page follows from the id's
// type, so a field cannot name one page and another page's control.
struct FieldTarget {
    FormPage page;
    int control;

    constexpr FieldTarget(PluginId id) : page(FormPage::Plugin), control(static_cast<int>(id)) {}
    constexpr FieldTarget(ExtrasId id) : page(FormPage::Extras), control(static_cast<int>(id)) {}
    constexpr FieldTarget(DatabaseId id) : page(FormPage::Database), control(static_cast<int>(id)) {}

    friend constexpr auto operator<=>(const FieldTarget&, const FieldTarget&) = default;
};

// The insert ("Вставить в") and add ("Добавить в") command of each field.
enum class FieldMenuId : int {
    InsertPluginName = 32778,
    InsertDescription = 32779,
    InsertOtherRequirements = 32780,
    InsertInstallText = 32781,
    InsertUninstallText = 32782,
    InsertHowToPlay = 32783,
    InsertAuthors = 32784,
    InsertNote = 32785,
    InsertWarningText = 32786,
    InsertAuthorName = 32787,
    InsertAuthorEmail = 32788,
    InsertAdapterName = 32789,
    InsertAdapterEmail = 32790,
    InsertOriginalLink = 32791,
    AddDescription = 32794,
    AddPluginName = 32795,
    AddOtherRequirements = 32796,
    AddInstallText = 32797,
    AddUninstallText = 32798,
    AddHowToPlay = 32799,
    AddAuthors = 32800,
    AddNote = 32801,
    AddWarningText = 32802,
    AddAuthorName = 32803,
    AddAuthorEmail = 32804,
    AddAdapterName = 32805,
    AddAdapterEmail = 32806,
    AddOriginalLink = 32807,
};

// As the menu table and the menu's choice carry it.
constexpr int CommandId(FieldMenuId id) { return static_cast<int>(id); }

// One field that both cascades offer, under the same caption.
struct FieldCommand {
    std::string_view caption;  // Windows-1251
    FieldMenuId insertId;
    FieldMenuId addId;
    FieldTarget target;
};

// The pages the commands write to; the main window provides them.
class FieldTargets {
public:
    virtual Text GetFieldText(FieldTarget field) = 0;
    // A single step of the field's undo history.
    virtual void SetFieldText(FieldTarget field, std::string_view text) = 0;

protected:
    ~FieldTargets() = default;
};

// Command ids of the edit items, the same in both pop-ups.
inline constexpr int kIdEditUndo = 57643;
inline constexpr int kIdEditCut = 57635;
inline constexpr int kIdEditCopy = 57634;
inline constexpr int kIdEditPaste = 57637;

std::span<const FieldCommand> FieldCommands();

// Two pop-ups: position 0 for a selection ("editmenuadd"), 1 without one
// ("editmenu"). The first one's cascades are made from FieldCommands.
std::span<const MenuEntry> FieldEditMenu();
inline constexpr int kMenuWithSelection = 0;
inline constexpr int kMenuNoSelection = 1;

// Runs an insert or add command on its field with the captured passage.
// False for an id that is neither.
bool RunFieldCommand(int id, std::string_view captured, FieldTargets& targets);
