# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64, posix threads, so
# that std::thread and std::mutex are there). Test programs run under Wine (wine64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VEDO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VEDO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEDO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VEDO_MINGW_PREFIX}-windres)

# Packages for the target come only from the roots below. A toolkit built for Windows outside
# them (scripts/windows-qt.sh's cache, given as CMAKE_PREFIX_PATH) is a root of its own: were it
# not, its prefix would be looked for under /usr/${VEDO_MINGW_PREFIX} and not found.
set(CMAKE_FIND_ROOT_PATH /usr/${VEDO_MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libstdc++, libgcc and winpthread linked in, so that a program runs without DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Each test program runs through Wine in a prefix inside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
