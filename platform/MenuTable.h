#pragma once
// A menu as a menu resource lists it: rows of items, separators and
// cascades, with items addressed by command id. Every platform draws it.

#include <string_view>

enum class MenuEntryKind {
    Item,
    Separator,
    Popup,  // a cascade: the entries up to its EndPopup
    EndPopup,
};

enum MenuEntryFlags : unsigned {
    kMenuNone = 0,
    kMenuGrayed = 1u << 0,
};

struct MenuEntry {
    MenuEntryKind kind = MenuEntryKind::Item;
    std::string_view caption = {};  // Windows-1251
    int id = 0;                     // 0: the item carries no command
    unsigned flags = kMenuNone;
};
