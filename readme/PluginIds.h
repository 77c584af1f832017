#pragma once
// The Plugin page's controls. The values are the form's own: another page
// may use the same number for a different control.

enum class PluginId : int {
    Name = 1025,
    File = 1004,
    BrowseFile = 1027,
    Description = 1005,
    Morrowind = 1006,
    Tribunal = 1007,
    Bloodmoon = 1008,
    BsaArchive = 1038,
    RequiresOther = 1009,
    OtherRequirements = 1010,
    ScreenshotCount = 1011,
    Screenshot1 = 1012,
    BrowseScreenshot1 = 1026,
    Screenshot2 = 1020,
    BrowseScreenshot2 = 1021,
    Screenshot3 = 1022,
    BrowseScreenshot3 = 1023,
    InstallStandard = 1013,
    InstallOther = 1014,
    InstallText = 1024,
    UninstallStandard = 1028,
    UninstallOther = 1029,
    UninstallText = 1030,
};

// Lets CDialog and the layout rows take these ids.
constexpr bool IsControlId(PluginId) { return true; }
