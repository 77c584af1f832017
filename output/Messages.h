#pragma once
// How the file work reports: the UI shows a message box, the renderer prints
// a line. Texts are Windows-1251.

#include <functional>
#include <string_view>

enum class MessageIcon { None, Exclamation };

using ShowMessage = std::function<void(std::string_view text, MessageIcon icon)>;

// Shown when the built-in template package cannot be loaded; the program
// goes on without it.
inline constexpr std::string_view kTemplateNotLoaded = "Error load template";
