#pragma once
// UTF-16, the text of the Windows system calls, to and from the program's
// two encodings: FilePath's UTF-8 and the core's Windows-1251. Our own code,
// so nothing depends on the system's ANSI code page.
//
// What one side cannot hold never vanishes: malformed UTF-8 bytes and
// unpaired surrogates become U+FFFD, and a character outside Windows-1251
// becomes "&#N;" as in cp1251::FromUtf8.

#include <string>
#include <string_view>

namespace utf16 {

std::u16string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view text);

std::u16string FromCp1251(std::string_view cp1251);
std::string ToCp1251(std::u16string_view text);

}  // namespace utf16
