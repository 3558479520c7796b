# The Windows programs (i686, MinGW-w64, cmake/toolchain-i686-w64-mingw32.cmake),
# built to load on Windows 98, NT 4 and 2000; scripts/win-import-check.sh holds
# every program to that.
#
# For a program's CMake (the GUI shell's velocore.exe and velocore-sim.exe, in
# src/win32/shell/CMakeLists.txt, which src/win32/CMakeLists.txt adds when it
# is there, after velocore_launch and velocore_launch_sim exist):
#   add_executable(velocore WIN32 main.cpp ... resources.rc)
#   target_link_libraries(velocore PRIVATE velocore_launch velocore_win32_host ...)
#   vc_windows_program(velocore GUI)      # or CONSOLE, as vcctl is
# vc_windows_program links the program statically (no runtime DLLs beside the
# exe), marks its subsystem 4.0 (older systems refuse newer values), links the
# compat object (src/win32/compat_imports.c: replacements for the imports the
# runtime libraries drag in that 98 or NT 4 lack), and lists the program in
# windows-programs.txt, the list the import check goes through. .rc files in
# a target's sources go through windres. velocore_win32_host is this computer
# on Windows (src/host/win32: platform, processor, clock, the registry's Run
# value as the autorun store); velocore_host is the same library under the
# name the shared CMake links, so velocore_launch works unchanged. It also
# serves host::HostProcess (host/process/host_process.h: current folder,
# program path, and the instance counter in a named page that every copy of
# every program shares) and host::ExecutablePath().
# Not available to the programs: std::thread, std::mutex (win32 thread model),
# iostreams and <filesystem> (their imports fail the load check; use <cstdio>
# and core/base/file_io.h), and API calls newer than the three systems
# (WINVER 0x0400 hides most).

enable_language(C)
enable_language(RC)

add_compile_definitions(WINVER=0x0400 _WIN32_WINNT=0x0400 WIN32_LEAN_AND_MEAN NOMINMAX)
add_link_options(-static)
# Doubles in the x87 unit rounded to 53 bits, as on the systems the arithmetic
# was made for (MinGW's default keeps 64, and limits such as 110/100 <= 1.1
# then come out differently from every other build).
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=CRT_fp8.o
                OUTPUT_VARIABLE VC_CRT_FP8 OUTPUT_STRIP_TRAILING_WHITESPACE)
add_link_options(${VC_CRT_FP8})

add_library(vc_win32_compat OBJECT ${CMAKE_SOURCE_DIR}/src/win32/compat_imports.c)
target_compile_options(vc_win32_compat PRIVATE -Wall -Wextra $<$<BOOL:${VC_WERROR}>:-Werror>)

function(vc_windows_program target kind)
  if(kind STREQUAL "GUI")
    set(subsystem windows)
  elseif(kind STREQUAL "CONSOLE")
    set(subsystem console)
  else()
    message(FATAL_ERROR "vc_windows_program(${target} ${kind}): GUI or CONSOLE")
  endif()
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:vc_win32_compat>)
  target_link_options(${target} PRIVATE -static -Wl,--subsystem,${subsystem}:4.0
                      -Wl,--major-os-version,4,--minor-os-version,0)
  set_property(GLOBAL APPEND PROPERTY VC_WINDOWS_PROGRAMS ${target})
endfunction()

# windows-programs.txt: one program file name a line, written once every
# CMakeLists has had its say.
function(vc_write_windows_program_list)
  get_property(programs GLOBAL PROPERTY VC_WINDOWS_PROGRAMS)
  set(lines "")
  foreach(program ${programs})
    string(APPEND lines "$<TARGET_FILE_NAME:${program}>\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows-programs.txt CONTENT "${lines}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vc_write_windows_program_list)
