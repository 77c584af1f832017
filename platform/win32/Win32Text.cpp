#include "platform/win32/Win32Text.h"

#include "text/Utf16.h"

namespace {

std::wstring AsWide(const std::u16string& text) { return {text.begin(), text.end()}; }
std::u16string AsU16(std::wstring_view text) { return {text.begin(), text.end()}; }

}  // namespace

std::wstring ToWide(std::string_view cp1251) { return AsWide(utf16::FromCp1251(cp1251)); }
Text FromWide(std::wstring_view text) { return utf16::ToCp1251(AsU16(text)); }
std::wstring WideFromUtf8(std::string_view utf8) { return AsWide(utf16::FromUtf8(utf8)); }
FilePath Utf8FromWide(std::wstring_view text) { return utf16::ToUtf8(AsU16(text)); }
