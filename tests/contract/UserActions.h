#pragma once
// What a user does to a dialog, delivered as each system delivers it, and
// what the user sees that CDialog does not answer: the contract tests act
// through these and read back through CDialog wherever it can.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CDialog.h"
#include "platform/Menus.h"

// Shown, active and ready for the keyboard.
void ShowActive(CDialog& dialog);
// A left click near the left edge of a control (a check box's box).
void ClickItem(CDialog& dialog, ItemId id);
// UTF-8 text typed into an edit or a combo box's edit, which first takes the focus.
void TypeInto(CDialog& dialog, ItemId id, std::string_view keys);
// A combo box's item chosen from its list.
void PickItem(CDialog& dialog, ItemId id, int index);
// A list box's line clicked.
void ClickListLine(CDialog& dialog, ItemId id, int index);
// Characters from..to of an edit selected with Shift and the arrows, as
// many steps as the user makes: a line break is one; to -1 is the end.
void SelectText(CDialog& dialog, ItemId id, int from, int to);
// Tab or Enter pressed where the focus is.
void PressTab(CDialog& dialog);
void PressEnter(CDialog& dialog);
// A key as an Accelerator numbers it ('S', kKeyF5), with Ctrl and Shift,
// pressed where the focus is.
void PressKey(CDialog& dialog, unsigned short key, bool ctrl = false, bool shift = false);
// Files from a file manager dropped at a point of the dialog's client area,
// or on the middle of a control.
void DropAt(CDialog& dialog, int x, int y, const std::vector<FilePath>& files);
void DropOn(CDialog& dialog, ItemId id, const std::vector<FilePath>& files);
// Waits up to ms for done, running what the system has queued.
bool WaitFor(const std::function<bool()>& done, int ms);

// The title bar's text, UTF-8.
std::string TitleOf(const CDialog& dialog);
// A control's rectangle in pixels of the dialog's client area.
PixelEdges PlaceOf(const CDialog& dialog, ItemId id);
// Where a control shows its text (inside its frame and scroll bars), in
// screen pixels.
PixelEdges TextAreaOnScreen(const CDialog& dialog, ItemId id);
// The lines a multi-line edit holds, as wide as its text.
int LineCount(const CDialog& dialog, ItemId id);
// A list box's lines, UTF-8.
std::vector<std::string> ListLines(const CDialog& dialog, ItemId id);

// Where a text view stands, in its own characters: the caret, and the
// character at its top left.
struct ViewPosition {
    int caret = -1;
    int firstShown = -1;
};
ViewPosition ViewOf(const CDialog& dialog, ItemId id);

// A menu item as the user sees it, found by its command id in a pop-up or
// its cascades; the caption in UTF-8.
struct MenuItemSeen {
    bool found = false;
    bool enabled = false;
    std::string caption;
};
MenuItemSeen SeeMenuItem(MenuHandle menu, int id);
// Whether each item with this command id is enabled, cascades included, in
// the menu's order.
std::vector<bool> MenuItemStates(MenuHandle menu, int id);

// The next pop-up shown is answered by the user choosing the item with this
// command id; a greyed item or none closes the menu without a command.
void ChooseFromNextMenu(int command);
struct ShownMenu {
    MenuHandle menu = nullptr;
    ScreenPoint at;
};
// The last pop-up answered so, and where it opened.
ShownMenu LastMenuShown();
