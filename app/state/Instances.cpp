#include "app/state/Instances.h"

#ifdef _WIN32
#include <windows.h>

#include <string>

#include "text/Utf16.h"

bool StartWindowForDraft(std::string_view id) {
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length == 0) return false;
        if (length < program.size()) {
            program.resize(length);
            break;
        }
        program.resize(program.size() * 2);
    }
    // An id is letters, digits and dashes: nothing in it needs quoting.
    const std::u16string idText = utf16::FromUtf8(id);
    std::wstring command = L"\"" + program + L"\" ";
    command.append(kRestoreDraftOption.begin(), kRestoreDraftOption.end());
    command += L' ';
    command.append(idText.begin(), idText.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

#else
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

bool StartWindowForDraft(std::string_view id) {
    std::string program(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", program.data(), program.size() - 1);
    if (length <= 0) return false;
    program.resize(static_cast<std::size_t>(length));
    std::string option(kRestoreDraftOption), idText(id);
    char* argv[] = {program.data(), option.data(), idText.data(), nullptr};
    // Twice forked, so the window is no child of this one's: it never waits
    // for this one to reap it.
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        if (::fork() == 0) {
            ::execv(argv[0], argv);
        }
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}
#endif
