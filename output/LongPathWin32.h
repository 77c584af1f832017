#pragma once
// The names FileIoWin32.cpp gives the system. Only these change: the UTF-8
// paths the program keeps, shows and compares stay as the user gave them.

#include <cstddef>
#include <string>
#include <string_view>

namespace fileio {

// The extended form of path, which has no MAX_PATH limit: "C:\a" becomes
// "\\?\C:\a" and "\\server\share\a" "\\?\UNC\server\share\a", after the
// system has made it absolute, turned "/" into "\" and taken out "." and ".."
// (it does none of that for an extended name). A name already extended or
// for a device ("\\?\", "\\.\", "NUL", "CON") is given as it is, as is a
// path the system cannot resolve.
std::wstring SystemName(std::wstring_view path);

// How much of a name as SystemName gives it is the root that is there or not
// but never made: "\\?\C:\", "\\?\UNC\server\share\".
std::size_t RootLength(std::wstring_view name);

}  // namespace fileio
