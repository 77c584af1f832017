#pragma once
// The Help page's one control.

enum class HelpId : int {
    Guide = 1028,
};

// Lets CDialog and the layout rows take these ids.
constexpr bool IsControlId(HelpId) { return true; }
