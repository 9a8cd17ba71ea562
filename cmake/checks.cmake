# Checks of the source itself, run by ctest (and so by make test): clang-tidy
# over this build's compile commands in the native and win32 presets (the
# latter reads the Win32-only programs, and the plug-in through the real
# <windows.h>), and in the native preset the format of every C++ file of ours.
# The native preset's .detects twins feed each check a file with a fault and
# expect the check to name it.
add_test(NAME lint COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/lint.sh ${CMAKE_BINARY_DIR})
# Two clang-tidy processes at a time: ctest counts them as two jobs.
set_tests_properties(lint PROPERTIES PROCESSORS 2 TIMEOUT 900)
if(WIN32)
  return()
endif()

set(TAVIMO_CHECK_SAMPLES ${CMAKE_BINARY_DIR}/check-samples)
file(WRITE ${TAVIMO_CHECK_SAMPLES}/unformatted.cpp "int  Twice( int x ){return 2*x;}\n")
# A comparison of a value with itself, and a C-style cast between pointer types.
file(WRITE ${TAVIMO_CHECK_SAMPLES}/tidy_faults.cpp
  "bool Same(int a) { return a == a; }\nconst char* Text(const int* p) { return (const char*)p; }\n")

add_test(NAME format COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/format.sh --check)
add_test(NAME format.detects
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/format.sh --check ${TAVIMO_CHECK_SAMPLES}/unformatted.cpp)
set_tests_properties(format.detects PROPERTIES PASS_REGULAR_EXPRESSION "FAIL [^\n]*unformatted.cpp is not formatted")

add_test(NAME lint.detects
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/lint.sh ${CMAKE_BINARY_DIR} ${TAVIMO_CHECK_SAMPLES}/tidy_faults.cpp)
set_tests_properties(lint.detects PROPERTIES PASS_REGULAR_EXPRESSION
  "tidy_faults.cpp:1:[0-9]+: error: [^\n]*misc-redundant-expression.*tidy_faults.cpp:2:[0-9]+: error: [^\n]*cppcoreguidelines-pro-type-cstyle-cast")
