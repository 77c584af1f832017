#pragma once
// The About page's one control; the banner is painted, no control.

enum class AboutId : int {
    Licence = 1029,
};

// Lets CDialog and the layout rows take these ids.
constexpr bool IsControlId(AboutId) { return true; }
