#pragma once
// The values of the Plugin and Extras pages, captured once per Save.

#include <array>

#include "text/Text.h"

struct ReadmeForm {
    // Plugin page
    Text pluginName;
    Text pluginFile;
    Text description;
    bool requiresMorrowind = false;
    bool requiresTribunal = false;
    bool requiresBloodmoon = false;
    bool requiresBsaArchive = false;
    bool requiresOther = false;
    Text otherRequirements;
    int screenshotCount = 0;  // 0 none, 1 to 3, -1 nothing selected
    std::array<FilePath, 3> screenshotPath;
    bool installStandard = false;
    bool installOther = false;
    Text installText;
    bool uninstallStandard = false;
    bool uninstallOther = false;
    Text uninstallText;

    // Extras page
    bool howToPlayEnabled = false;
    Text howToPlay;
    Text authors;
    bool noteEnabled = false;
    Text note;
    bool warningStandard = false;
    bool warningOther = false;
    Text warningText;
    bool writeBackgroundImages = false;
    bool copyScreenshots = false;
    // Every line break of a multi-line text becomes "<br>", not a blank.
    bool keepLineBreaks = false;
    // Save writes the plain-text readme beside the readme too.
    bool writeReadmeText = false;

    // The plug-in chosen with 1027, as the user chose it (UTF-8): what the
    // checks read its header from. Never written into the readme or the record.
    FilePath pluginPath;

    bool operator==(const ReadmeForm&) const = default;
};

// The state the New command leaves the two pages in.
ReadmeForm NewReadmeForm();
