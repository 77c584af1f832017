#pragma once
// The main window's own controls, beside the tab pages.

enum class MainId : int {
    New = 1000,
    Save = 1001,
    Tabs = 1002,
    ReadOnlyBox = 1003,
    Open = 1004,
    // Below the tabs: forms as files, bringing back the form New cleared,
    // and a line about the draft.
    OpenForm = 1005,
    SaveForm = 1006,
    RestoreForm = 1007,
    Status = 1008,
    // Opens and closes the preview window.
    Preview = 1009,
};

// Lets CDialog and the layout rows take these ids.
constexpr bool IsControlId(MainId) { return true; }
