#include "plugin/PluginChecks.h"

#include <algorithm>
#include <iterator>

#include "output/FileIo.h"
#include "plugin/PluginFill.h"
#include "plugin/PluginHeader.h"
#include "readme/TextRoutines.h"

namespace {

constexpr std::string_view kPluginFile = "Имя файла"_cp;
constexpr std::string_view kOtherRequirements = "Требует, другое"_cp;
constexpr std::string_view kPluginMissing = ": файл плагина не найден"_cp;
constexpr std::string_view kPluginUnread = ": заголовок плагина не прочитан, "_cp;
constexpr std::string_view kOtherName = ": не то, что у выбранного файла плагина, "_cp;
constexpr std::string_view kMasterNotNamed = ": плагин требует "_cp;
constexpr std::string_view kBoxNotTicked = ", а флажок не отмечен"_cp;
constexpr std::string_view kNotInText = ", а здесь он не назван"_cp;
constexpr std::string_view kBsaBeside = ": рядом с плагином лежит "_cp;
constexpr std::string_view kBsaArchive = "Архив BSA"_cp;

}  // namespace

void AddPluginChecks(std::vector<ReadmeCheck>& checks, const ReadmeForm& form, std::string_view baseFolder) {
    if (form.pluginPath.empty()) return;
    const FilePath path = fileio::ResolveAgainst(baseFolder, form.pluginPath);
    if (fileio::IsMissing(path)) {
        AddCheck(checks, PluginId::File, Text(kPluginFile), kPluginMissing);
        return;
    }
    const Text chosenName = PluginFileName(path);
    if (chosenName != form.pluginFile) AddCheck(checks, PluginId::File, Text(kPluginFile), kOtherName, chosenName);
    const PluginHeaderRead read = ReadPluginHeaderFile(path);
    if (!read.ok()) {
        AddCheck(checks, PluginId::File, Text(kPluginFile), kPluginUnread, PluginFaultText(read.fault));
        return;
    }
    // The game's masters have their boxes, named by their captions; any
    // other master belongs in the text.
    struct Box {
        std::string_view master;
        PluginId id;
        std::string_view caption;
        bool ReadmeForm::*ticked;
    };
    constexpr Box kBoxes[] = {
        {"Morrowind.esm", PluginId::Morrowind, "Morrowind", &ReadmeForm::requiresMorrowind},
        {"Tribunal.esm", PluginId::Tribunal, "Tribunal", &ReadmeForm::requiresTribunal},
        {"Bloodmoon.esm", PluginId::Bloodmoon, "BloodMoon", &ReadmeForm::requiresBloodmoon},
    };
    for (const PluginMaster& master : read.header.masters) {
        const auto box = std::find_if(std::begin(kBoxes), std::end(kBoxes),
                                      [&](const Box& b) { return SameFileName(b.master, master.name); });
        if (box != std::end(kBoxes)) {
            if (!(form.*(box->ticked)))
                AddCheck(checks, box->id, Text(box->caption), kMasterNotNamed, master.name + Text(kBoxNotTicked));
        } else if (!form.requiresOther || !RequirementsName(form.otherRequirements, master.name)) {
            AddCheck(checks, PluginId::OtherRequirements, Text(kOtherRequirements), kMasterNotNamed,
                     master.name + Text(kNotInText));
        }
    }
    if (!form.requiresBsaArchive && BsaBesidePlugin(path))
        AddCheck(checks, PluginId::BsaArchive, Text(kBsaArchive), kBsaBeside,
                 BsaArchiveName(chosenName) + Text(kBoxNotTicked));
}

std::vector<ReadmeCheck> CheckRelease(const ReadmeForm& form, const DatabaseRecord& record,
                                      std::string_view baseFolder) {
    std::vector<ReadmeCheck> checks = CheckReadme(form, record, baseFolder);
    AddPluginChecks(checks, form, baseFolder);
    return checks;
}
