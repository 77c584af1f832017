#include "pages/FieldCommands.h"

#include <array>

#include "pages/TextDocRules.h"
#include "text/Cp1251.h"

namespace {

// In display order: the first kReadmeFields under "Ридми", the rest under
// "Бу". In the "Добавить в" cascade the name (32795) comes before the
// description (32794).
constexpr FieldCommand kFieldCommands[] = {
    {"Название плагина"_cp, 32778, 32795, FormPage::Plugin, 1025},
    {"Описание плагина"_cp, 32779, 32794, FormPage::Plugin, 1005},
    {"Требует"_cp, 32780, 32796, FormPage::Plugin, 1010},
    {"Установка"_cp, 32781, 32797, FormPage::Plugin, 1024},
    {"Удаление"_cp, 32782, 32798, FormPage::Plugin, 1030},
    {"Как играть"_cp, 32783, 32799, FormPage::Extras, 1019},
    {"Авторы"_cp, 32784, 32800, FormPage::Extras, 1031},
    {"Примечание"_cp, 32785, 32801, FormPage::Extras, 1032},
    {"Предупреждение"_cp, 32786, 32802, FormPage::Extras, 1035},
    {"Автор имя"_cp, 32787, 32803, FormPage::Database, 1026},
    {"Автор Email"_cp, 32788, 32804, FormPage::Database, 1029},
    {"Адаптор имя"_cp, 32789, 32805, FormPage::Database, 1030},
    {"Адаптор Email"_cp, 32790, 32806, FormPage::Database, 1031},
    {"Ссылка на оригинал"_cp, 32791, 32807, FormPage::Database, 1032},
};
constexpr std::size_t kReadmeFields = 9;

using M = MenuEntryKind;

constexpr MenuEntry kEditItems[] = {
    {M::Item, "Отменить"_cp, kIdEditUndo},
    {M::Separator},
    {M::Item, "Вырезать"_cp, kIdEditCut},
    {M::Item, "Копировать"_cp, kIdEditCopy},
    {M::Item, "Вставить"_cp, kIdEditPaste},
    {M::Separator},
};

// A cascade opens and closes itself and its two sub-pop-ups around the fields.
constexpr std::size_t kCascadeRows = 3 * 2 + std::size(kFieldCommands);
constexpr std::size_t kMenuRows = (1 + std::size(kEditItems) + 2 * kCascadeRows + 1) +
                                  (1 + std::size(kEditItems) + 2 + 1);

constexpr std::array<MenuEntry, kMenuRows> kFieldEditMenu = [] {
    std::array<MenuEntry, kMenuRows> menu{};
    std::size_t row = 0;
    const auto add = [&](MenuEntry entry) { menu[row++] = entry; };
    const auto cascade = [&](std::string_view caption, bool insert) {
        add({M::Popup, caption});
        add({M::Popup, "Ридми"_cp});
        for (std::size_t i = 0; i < std::size(kFieldCommands); ++i) {
            if (i == kReadmeFields) {
                add({M::EndPopup});
                add({M::Popup, "Бу"_cp});
            }
            const FieldCommand& field = kFieldCommands[i];
            add({M::Item, field.caption, insert ? field.insertId : field.addId});
        }
        add({M::EndPopup});
        add({M::EndPopup});
    };

    add({M::Popup, "editmenuadd"});
    for (const MenuEntry& entry : kEditItems) add(entry);
    cascade("Вставить в"_cp, true);
    cascade("Добавить в"_cp, false);
    add({M::EndPopup});

    add({M::Popup, "editmenu"});
    for (const MenuEntry& entry : kEditItems) add(entry);
    add({M::Item, "Вставить в"_cp, 0, kMenuGrayed});
    add({M::Item, "Добавить в"_cp, 0, kMenuGrayed});
    add({M::EndPopup});
    return menu;
}();

}  // namespace

std::span<const FieldCommand> FieldCommands() { return kFieldCommands; }

std::span<const MenuEntry> FieldEditMenu() { return kFieldEditMenu; }

// Enabled or not, the field takes the text; nothing else on its page changes.
bool RunFieldCommand(int id, std::string_view captured, FieldTargets& targets) {
    for (const FieldCommand& command : kFieldCommands) {
        if (id == command.insertId) {
            targets.SetFieldText(command.page, command.controlId, InsertFieldText(captured));
            return true;
        }
        if (id == command.addId) {
            targets.SetFieldText(command.page, command.controlId,
                                 AddFieldText(targets.GetFieldText(command.page, command.controlId), captured));
            return true;
        }
    }
    return false;
}
