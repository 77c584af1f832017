#pragma once
// The one place where the Win32 layer's UTF-16 meets the program's texts:
// Windows-1251 for what pages show and read, UTF-8 for file names. Through
// our own codec, so the system's ANSI code page never matters.

#include <string>
#include <string_view>

#include "text/Text.h"

std::wstring ToWide(std::string_view cp1251);
// Characters outside Windows-1251 become "&#N;".
Text FromWide(std::wstring_view text);

std::wstring WideFromUtf8(std::string_view utf8);
FilePath Utf8FromWide(std::wstring_view text);
