#pragma once
// Pop-up menus built from menu tables, as a menu resource lists them, with
// items addressed by command id; and the one call that shows a pop-up,
// behind a seam that tests answer instead of a user.

#include <QPoint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/DialogUnits.h"
#include "platform/MenuTable.h"

class QAction;
class QMenu;
class QWidget;

// A pop-up as CMenu::GetSubMenu answers it.
using MenuHandle = QMenu*;

// A loaded menu. Its top-level entries are pop-ups, reached by position; each
// keeps the table's name (the caption of its Popup row) as object name.
class CMenu {
public:
    CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu();

    void LoadMenu(std::span<const MenuEntry> table);
    void DestroyMenu();
    // nullptr outside the loaded pop-ups.
    QMenu* GetSubMenu(int position) const;

private:
    std::vector<std::unique_ptr<QMenu>> m_popups;
};

// The command id an item carries; 0 for separators, cascades and items
// without a command.
int MenuItemId(const QAction* action);
// Enables or greys every item with this command id, cascades included.
void EnableMenuItem(QMenu* menu, int id, bool enable);

// Shows the pop-up with its top-left corner at screenPoint and answers the
// command the user chose, or 0 when the menu closed without one.
int TrackPopupMenu(QMenu* menu, const QPoint& screenPoint, QWidget* owner);
int TrackPopupMenu(QMenu* menu, ScreenPoint screenPoint, QWidget* owner);

class MenuSeam {
public:
    virtual ~MenuSeam() = default;
    virtual int TrackPopupMenu(QMenu& menu, const QPoint& screenPoint, QWidget* owner) = 0;
};

// Tests install their own seam; nullptr brings back the real menus.
void SetMenuSeamForTesting(MenuSeam* seam);
