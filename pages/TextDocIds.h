#pragma once
// The text document page's one control: the page makes it itself.

enum class TextDocId : int {
    Edit = 1039,
};

// Lets CDialog and the layout rows take these ids.
constexpr bool IsControlId(TextDocId) { return true; }
