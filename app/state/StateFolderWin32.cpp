// Where the program keeps its own files on Windows: %LOCALAPPDATA%\Quillsmith,
// the per-user folder of this machine (a draft belongs to this machine's
// session, not to a roaming profile).

#include <windows.h>

#include <string>

#include "app/state/ProgramState.h"
#include "text/Utf16.h"

FilePath StateFolder() {
    const DWORD needed = ::GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (needed <= 1) return {};
    std::wstring value(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), needed);
    if (length == 0 || length >= needed) return {};
    value.resize(length);
    // Only a full path: a relative one would move with the current folder.
    const bool absolute = (length >= 3 && value[1] == L':' && value[2] == L'\\') || value.rfind(L"\\\\", 0) == 0;
    if (!absolute) return {};
    return utf16::ToUtf8(std::u16string(value.begin(), value.end())) + "\\Quillsmith";
}
