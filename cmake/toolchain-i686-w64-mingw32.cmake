# Debian's MinGW-w64 cross compiler for 32-bit Windows, win32 thread model:
# no std::thread or std::mutex, but also none of the XP/Vista imports the
# posix model's winpthreads brings, so the programs load on 98, NT 4 and 2000.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# ctest and gtest_discover_tests run the programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# This file alone configures the Windows build: no Qt programs (the Win32
# shell stands in for them), no benchmarks, and -O2 for Release (GCC 12's
# -O3 warns falsely, -Wrestrict, inside std::string for i686). A value given
# on the command line still wins.
set(VC_GUI OFF CACHE BOOL "Build the Qt desktop shell and the skin generator")
set(VC_BENCH OFF CACHE BOOL "Build the benchmarks")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags used by the CXX compiler during RELEASE builds.")
