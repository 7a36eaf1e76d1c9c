# Cross toolchain for the Windows build: mingw-w64 x86_64, run under Wine by the
# emulator wrapper. The thread model is posix unless KORVANI_THREAD_MODEL says win32:
# GoogleTest needs std::mutex, which only the posix model has, so the test tree uses
# posix. The release build (scripts/build) asks for win32: the programs have one thread,
# and the win32 model spares them the posix model's thread library, some 26 KB.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(KORVANI_THREAD_MODEL posix CACHE STRING "thread model of the mingw-w64 compilers, posix or win32 (read when a tree is first configured)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KORVANI_THREAD_MODEL)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-${KORVANI_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-${KORVANI_THREAD_MODEL})
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
