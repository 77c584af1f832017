#pragma once
// The Extras page's controls. The values are the form's own: another page
// may use the same number for a different control.

enum class ExtrasId : int {
    HowToPlayEnabled = 1020,
    HowToPlay = 1019,
    Authors = 1031,
    NoteEnabled = 1018,
    Note = 1032,
    WarningStandard = 1033,
    WarningOther = 1034,
    WarningText = 1035,
    WriteBackgroundImages = 1016,
    CopyScreenshots = 1017,
    KeepLineBreaks = 1036,
    WriteReadmeText = 1037,
};

// Lets CDialog and the layout rows take these ids.
constexpr bool IsControlId(ExtrasId) { return true; }
