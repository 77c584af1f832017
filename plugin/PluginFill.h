#pragma once
// What a plug-in's header brings to a form: one rule, the same in the
// window and in the renderer.

#include <string_view>
#include <vector>

#include "form/FormFile.h"
#include "plugin/PluginHeader.h"
#include "text/Text.h"

// What the rule took, for the status line.
struct PluginFill {
    std::vector<Text> required;  // every master that the form now requires, in the header's order
    bool description = false;    // taken into an empty description
    bool author = false;         // taken into the empty authors or author name
    bool bsaArchive = false;     // the BSA beside the plug-in ticked its box

    bool operator==(const PluginFill&) const = default;
};

// Applies the header of the plug-in at pluginPath (UTF-8, as the user chose
// it) to form: pluginFile and pluginPath, the three master boxes, the other
// masters, the BSA box when bsaBeside, and the description and authors where
// empty. Nothing else changes.
PluginFill ApplyPluginHeader(FormFile& form, const PluginHeader& header, const FilePath& pluginPath, bool bsaBeside);

// Whether a file named BsaArchiveName(file name of pluginPath) lies beside
// the plug-in, the name compared without regard to case.
bool BsaBesidePlugin(const FilePath& pluginPath);

// The name 1004 gets for the plug-in at pluginPath: its file name, in
// Windows-1251.
Text PluginFileName(std::string_view pluginPath);
// Whether the requirements' text names the master: as a whole name, without
// regard to ASCII case.
bool RequirementsName(std::string_view text, std::string_view master);
// File names as Windows compares them in the Latin letters.
bool SameFileName(std::string_view a, std::string_view b);

// "Из заголовка плагина: требует Tribunal.esm, Bloodmoon.esm; описание;
// автор", Windows-1251; empty when nothing was taken.
Text PluginFillNote(const PluginFill& fill);
