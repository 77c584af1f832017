#include "pages/FieldCommands.h"

#include <array>

#include "text/Cp1251.h"
#include "textdoc/TextDocRules.h"

namespace {

// In display order: the first kReadmeFields under "Ридми", the rest under
// "Бу". In the "Добавить в" cascade the name comes before the description
// though its id is the higher.
using F = FieldMenuId;
constexpr FieldCommand kFieldCommands[] = {
    {"Название плагина"_cp, F::InsertPluginName, F::AddPluginName, PluginId::Name},
    {"Описание плагина"_cp, F::InsertDescription, F::AddDescription, PluginId::Description},
    {"Требует"_cp, F::InsertOtherRequirements, F::AddOtherRequirements, PluginId::OtherRequirements},
    {"Установка"_cp, F::InsertInstallText, F::AddInstallText, PluginId::InstallText},
    {"Удаление"_cp, F::InsertUninstallText, F::AddUninstallText, PluginId::UninstallText},
    {"Как играть"_cp, F::InsertHowToPlay, F::AddHowToPlay, ExtrasId::HowToPlay},
    {"Авторы"_cp, F::InsertAuthors, F::AddAuthors, ExtrasId::Authors},
    {"Примечание"_cp, F::InsertNote, F::AddNote, ExtrasId::Note},
    {"Предупреждение"_cp, F::InsertWarningText, F::AddWarningText, ExtrasId::WarningText},
    {"Автор имя"_cp, F::InsertAuthorName, F::AddAuthorName, DatabaseId::AuthorName},
    {"Автор Email"_cp, F::InsertAuthorEmail, F::AddAuthorEmail, DatabaseId::AuthorEmail},
    {"Адаптор имя"_cp, F::InsertAdapterName, F::AddAdapterName, DatabaseId::AdapterName},
    {"Адаптор Email"_cp, F::InsertAdapterEmail, F::AddAdapterEmail, DatabaseId::AdapterEmail},
    {"Ссылка на оригинал"_cp, F::InsertOriginalLink, F::AddOriginalLink, DatabaseId::OriginalLink},
};
constexpr std::size_t kReadmeFields = 9;

using M = MenuEntryKind;

constexpr MenuEntry kEditItems[] = {
    {M::Item, "Отменить"_cp, kIdEditUndo},  {M::Separator},
    {M::Item, "Вырезать"_cp, kIdEditCut},   {M::Item, "Копировать"_cp, kIdEditCopy},
    {M::Item, "Вставить"_cp, kIdEditPaste}, {M::Separator},
};

// A cascade opens and closes itself and its two sub-pop-ups around the fields.
constexpr std::size_t kCascadeRows = 3 * 2 + std::size(kFieldCommands);
constexpr std::size_t kMenuRows =
    (1 + std::size(kEditItems) + 2 * kCascadeRows + 1) + (1 + std::size(kEditItems) + 2 + 1);

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
            add({M::Item, field.caption, CommandId(insert ? field.insertId : field.addId)});
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
        if (id == CommandId(command.insertId)) {
            targets.SetFieldText(command.target, InsertFieldText(captured));
            return true;
        }
        if (id == CommandId(command.addId)) {
            targets.SetFieldText(command.target, AddFieldText(targets.GetFieldText(command.target), captured));
            return true;
        }
    }
    return false;
}
