# Windows x64 from Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix): the
# posix thread model, which std::thread and std::mutex need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QS_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QS_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QS_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under Wine: ctest --preset windows.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../tools/wine-run)

# One file per program: the compiler's runtime (libstdc++, libgcc,
# winpthread) linked in, so only the system's DLLs are needed.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# nlohmann/json is header-only: the build machine's copy serves the target,
# through a package that exposes that one folder and no other of /usr/include.
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/packages/nlohmann_json CACHE PATH "")
