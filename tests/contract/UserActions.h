#pragma once
// What a user does to a dialog, delivered as each system delivers it: the
// contract tests act through these and read back through CDialog alone.

#include <functional>
#include <string_view>

#include "platform/CDialog.h"

// Shown, active and ready for the keyboard.
void ShowActive(CDialog& dialog);
// A left click on a button or check box.
void ClickItem(CDialog& dialog, ItemId id);
// ASCII keys typed into an edit or a combo box's edit, which first takes the focus.
void TypeInto(CDialog& dialog, ItemId id, std::string_view keys);
// A combo box's item chosen from its list.
void PickItem(CDialog& dialog, ItemId id, int index);
// Tab pressed where the focus is.
void PressTab(CDialog& dialog);
// A file from a file manager dropped on the middle of the control.
void DropOn(CDialog& dialog, ItemId id, const FilePath& file);
// Waits up to ms for done, running what the system has queued.
bool WaitFor(const std::function<bool()>& done, int ms);
