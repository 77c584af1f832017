// What the shared test helpers need of Windows itself.

#include <windows.h>

namespace testing_output {

int OpenDescriptorCount() {
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return static_cast<int>(count);
}

}  // namespace testing_output
