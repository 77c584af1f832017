#pragma once
// The Qt layer's menus: a pop-up's QMenu, the command id an action carries,
// and the seam that tests answer instead of a user.

#include <QPoint>

#include "platform/Menus.h"

class QAction;
class QMenu;
class QWidget;

inline QMenu* QtMenu(MenuHandle menu) { return reinterpret_cast<QMenu*>(menu); }
inline MenuHandle HandleOf(QMenu* menu) { return reinterpret_cast<MenuHandle>(menu); }

// The command id an item carries; 0 for separators, cascades and items
// without a command.
int MenuItemId(const QAction* action);

class MenuSeam {
public:
    virtual ~MenuSeam() = default;
    virtual int TrackPopupMenu(QMenu& menu, const QPoint& screenPoint, QWidget* owner) = 0;
};

// Tests install their own seam; nullptr brings back the real menus.
void SetMenuSeamForTesting(MenuSeam* seam);
