#pragma once
// What the text document's context menu does, apart from how a platform
// shows it: its table, the fourteen fields its two cascades fill, and the
// insert and add rules. The main window is the target of every command.

#include <span>
#include <string_view>

#include "platform/MenuTable.h"
#include "text/Text.h"

enum class FormPage { Plugin, Extras, Database };

// One field that both cascades offer, under the same caption.
struct FieldCommand {
    std::string_view caption;  // Windows-1251
    int insertId;
    int addId;
    FormPage page;
    int controlId;
};

// The pages the commands write to, by page and control id; the main window
// provides them.
class FieldTargets {
public:
    virtual Text GetFieldText(FormPage page, int controlId) = 0;
    // A single step of the field's undo history.
    virtual void SetFieldText(FormPage page, int controlId, std::string_view text) = 0;

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
