#include "platform/qt/QtMenus.h"

#include <QAction>
#include <QMenu>
#include <memory>
#include <vector>

#include "platform/qt/QtDialog.h"
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

struct CMenu::Native {
    std::vector<std::unique_ptr<QMenu>> popups;
};

CMenu::CMenu() : m_native(std::make_unique<Native>()) {}

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
        m_native->popups.push_back(std::move(popup));
    }
}

void CMenu::DestroyMenu() { m_native->popups.clear(); }

MenuHandle CMenu::GetSubMenu(int position) const {
    if (position < 0 || static_cast<std::size_t>(position) >= m_native->popups.size()) return nullptr;
    return HandleOf(m_native->popups[static_cast<std::size_t>(position)].get());
}

int MenuItemId(const QAction* action) {
    if (!action || action->menu() || action->isSeparator()) return 0;
    return action->property(kCommandProperty).toInt();
}

void EnableMenuItem(MenuHandle menu, int id, bool enable) {
    if (!menu || id == 0) return;
    for (QAction* action : QtMenu(menu)->actions()) {
        if (QMenu* cascade = action->menu())
            EnableMenuItem(HandleOf(cascade), id, enable);
        else if (MenuItemId(action) == id)
            action->setEnabled(enable);
    }
}

int TrackPopupMenu(MenuHandle menu, ScreenPoint screenPoint, WindowHandle owner) {
    if (!menu) return 0;
    const QPoint at(screenPoint.x, screenPoint.y);
    if (g_menuSeam) return g_menuSeam->TrackPopupMenu(*QtMenu(menu), at, QtWidget(owner));
    return MenuItemId(QtMenu(menu)->exec(at));
}

void SetMenuSeamForTesting(MenuSeam* seam) { g_menuSeam = seam; }
