# The tests that need only core and sim, cross-built for i686 Windows and run
# through Wine (scripts/win-test.sh), plus the Windows host's own (tests/win32).
# The rest test Linux programs: cli (vcctl as a Linux process), helper, host,
# layers (reads the source tree, nothing platform-bound) and qt.

# GoogleTest from Debian's sources, built with the cross compiler. The win32
# thread model has no std::mutex: gtest must be told it is not thread-safe
# (the tests are single-threaded), and gtest-port.h forces death tests on for
# MinGW, which then need the thread-safe parts: a copy with that made optional.
set(VC_GTEST_SRC ${CMAKE_BINARY_DIR}/googletest-src)
if(NOT EXISTS ${VC_GTEST_SRC}/CMakeLists.txt)
  file(COPY /usr/src/googletest/ DESTINATION ${VC_GTEST_SRC})
  set(port ${VC_GTEST_SRC}/googletest/include/gtest/internal/gtest-port.h)
  file(READ ${port} text)
  string(REPLACE "#define GTEST_HAS_DEATH_TEST 1"
                 "#ifndef GTEST_HAS_DEATH_TEST\n#define GTEST_HAS_DEATH_TEST 1\n#endif" text "${text}")
  file(WRITE ${port} "${text}")
endif()
# The tests are not import-checked, and gtest's own Windows code wants more
# than the programs' WINVER 0x0400: the system's headers as they come here.
get_directory_property(VC_TEST_DEFINITIONS COMPILE_DEFINITIONS)
list(FILTER VC_TEST_DEFINITIONS EXCLUDE REGEX "^(WINVER|_WIN32_WINNT)=")
set_directory_properties(PROPERTIES COMPILE_DEFINITIONS "${VC_TEST_DEFINITIONS}")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${VC_GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gmock)
  target_compile_definitions(${lib} PUBLIC GTEST_IS_THREADSAFE=0 GTEST_HAS_DEATH_TEST=0)
endforeach()
include(GoogleTest)

file(GLOB_RECURSE VC_TEST_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_CURRENT_SOURCE_DIR}/core/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/sim/*.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/win32/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/driver/*.cpp)
# Test sources that need POSIX processes: saves killed by a signal from a
# forked child.
set(VC_POSIX_ONLY_SOURCES ".*/core/state/killed_saves_test\\.cpp$")
list(FILTER VC_TEST_SOURCES EXCLUDE REGEX "${VC_POSIX_ONLY_SOURCES}")
vc_test_folders(VC_TEST_DIRS ${VC_TEST_SOURCES})

# Tests that hold only on Linux, each with its reason.
set(VC_LINUX_ONLY_TESTS
  # Symbolic links: 98, NT 4 and 2000 have none.
  AtomicFileTest.LinkToAMissingFolderOrALoopFailsAndStaysALink
)
list(JOIN VC_LINUX_ONLY_TESTS ":" VC_TEST_EXCLUDE)

set(VC_WINDOWS_TESTS "")
foreach(dir ${VC_TEST_DIRS})
  file(RELATIVE_PATH rel ${CMAKE_CURRENT_SOURCE_DIR} ${dir})
  string(REPLACE "/" "_" name "test_${rel}")
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "${VC_POSIX_ONLY_SOURCES}")
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE velocore_sim velocore_core GTest::gtest GTest::gmock GTest::gtest_main
                        vc_warnings)
  if(rel STREQUAL "win32")
    target_link_libraries(${name} PRIVATE velocore_win32_host)
  endif()
  target_compile_definitions(${name} PRIVATE VC_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                       TEST_FILTER "-${VC_TEST_EXCLUDE}")
  string(APPEND VC_WINDOWS_TESTS "$<TARGET_FILE_NAME:${name}>\n")
endforeach()
# For scripts/win-test.sh, which counts the tests each program holds.
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows-tests.txt CONTENT "${VC_WINDOWS_TESTS}")
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows-test-filter.txt CONTENT "-${VC_TEST_EXCLUDE}\n")
