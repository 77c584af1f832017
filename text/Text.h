#pragma once
// Every text of the core is a Windows-1251 byte string with an explicit length.

#include <string>
#include <string_view>

using Text = std::string;

// A file-system name exactly as the user gave it: UTF-8 on every system. It
// never passes through the Windows-1251 codec, so a name the code page cannot
// hold still opens; where a name shows in a readme or record, it is converted
// like any other text.
using FilePath = std::string;

// The directory separator of the platform, used wherever a path is split or
// joined (screenshot names, the output folder layout).
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The window's title and every message box's caption.
inline constexpr std::string_view kApplicationTitle = "Quillsmith";

// The community site's main page: the readme's footer, its warning and
// archive note, and the Database page's default link all name it.
inline constexpr std::string_view kSiteHomeUrl = "http://hearthcove.example.org/";
