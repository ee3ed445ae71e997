# Cross-compiles the Windows build (Korvedex.exe) with MinGW-w64 for x86_64 on a Linux host.
# The posix-thread variant of the compiler is used because its C++ library is the complete one
# (std::thread, std::mutex); its winpthread runtime is linked statically with the rest, so the
# program still needs no DLL beyond the system's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVEDEX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVEDEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVEDEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVEDEX_MINGW_TRIPLE}-windres)

# Look for libraries and headers only in the cross environment, for programs only on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVEDEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
