#include "platform/qt/Menus.h"

#include <QAction>
#include <QMenu>

#include "platform/qt/QtText.h"

namespace {

MenuSeam* g_menuSeam = nullptr;

constexpr const char* kCommandProperty = "commandId";

// Fills menu with the entries from position until its EndPopup (or the
// table's end); returns the position after it.
std::size_t FillMenu(QMenu& menu, std::span<const MenuEntry> table, std::size_t position) {
    while (position < table.size()) {
        const MenuEntry& entry = table[position++];
        switch (entry.kind) {
            case MenuEntryKind::EndPopup:
                return position;
            case MenuEntryKind::Separator:
                menu.addSeparator();
                break;
            case MenuEntryKind::Popup: {
                QMenu* cascade = menu.addMenu(ToQString(entry.caption));
                cascade->menuAction()->setEnabled(!(entry.flags & kMenuGrayed));
                position = FillMenu(*cascade, table, position);
                break;
            }
            case MenuEntryKind::Item: {
                QAction* action = menu.addAction(ToQString(entry.caption));
                action->setProperty(kCommandProperty, entry.id);
                if (entry.id != 0) action->setObjectName(QStringLiteral("id%1").arg(entry.id));
                action->setEnabled(!(entry.flags & kMenuGrayed));
                break;
            }
        }
    }
    return position;
}

}  // namespace

CMenu::CMenu() = default;

CMenu::~CMenu() { DestroyMenu(); }

void CMenu::LoadMenu(std::span<const MenuEntry> table) {
    DestroyMenu();
    std::size_t position = 0;
    while (position < table.size()) {
        const MenuEntry& entry = table[position++];
        if (entry.kind != MenuEntryKind::Popup) continue;
        auto popup = std::make_unique<QMenu>();
        popup->setObjectName(ToQString(entry.caption));
        position = FillMenu(*popup, table, position);
        m_popups.push_back(std::move(popup));
    }
}

void CMenu::DestroyMenu() { m_popups.clear(); }

QMenu* CMenu::GetSubMenu(int position) const {
    if (position < 0 || static_cast<std::size_t>(position) >= m_popups.size()) return nullptr;
    return m_popups[static_cast<std::size_t>(position)].get();
}

int MenuItemId(const QAction* action) {
    if (!action || action->menu() || action->isSeparator()) return 0;
    return action->property(kCommandProperty).toInt();
}

void EnableMenuItem(QMenu* menu, int id, bool enable) {
    if (!menu || id == 0) return;
    for (QAction* action : menu->actions()) {
        if (QMenu* cascade = action->menu())
            EnableMenuItem(cascade, id, enable);
        else if (MenuItemId(action) == id)
            action->setEnabled(enable);
    }
}

int TrackPopupMenu(QMenu* menu, const QPoint& screenPoint, QWidget* owner) {
    if (!menu) return 0;
    if (g_menuSeam) return g_menuSeam->TrackPopupMenu(*menu, screenPoint, owner);
    return MenuItemId(menu->exec(screenPoint));
}

int TrackPopupMenu(QMenu* menu, ScreenPoint screenPoint, QWidget* owner) {
    return TrackPopupMenu(menu, QPoint(screenPoint.x, screenPoint.y), owner);
}

void SetMenuSeamForTesting(MenuSeam* seam) { g_menuSeam = seam; }
