#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "platform/Utf8Arguments.h"
#include "text/Utf16.h"

Utf8Arguments::Utf8Arguments(int& argc, char**& argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return;
    for (int i = 0; i < count; ++i) {
        const std::wstring_view arg(wide[i]);
        m_values.push_back(utf16::ToUtf8(std::u16string(arg.begin(), arg.end())));
    }
    ::LocalFree(wide);
    for (std::string& value : m_values) m_pointers.push_back(value.data());
    m_pointers.push_back(nullptr);
    argc = count;
    argv = m_pointers.data();
    // Messages are printed as UTF-8; a console shows them so only when told.
    ::SetConsoleOutputCP(CP_UTF8);
}

std::FILE* OpenUtf8(const std::string& path, const char* mode) {
    const std::u16string wide = utf16::FromUtf8(path);
    const std::string_view narrowMode(mode);
    return ::_wfopen(std::wstring(wide.begin(), wide.end()).c_str(),
                     std::wstring(narrowMode.begin(), narrowMode.end()).c_str());
}
