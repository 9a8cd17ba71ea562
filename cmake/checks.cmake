# The checks of the source itself run as the README gives them, `make format
# CHECK=1` and `make lint` (the ctests format and lint, tests/readme). Here,
# in the native preset, their .detects twins feed each check a file with a
# fault and expect the check to name it.
if(WIN32)
  return()
endif()

set(TAVIMO_CHECK_SAMPLES ${CMAKE_BINARY_DIR}/check-samples)
file(WRITE ${TAVIMO_CHECK_SAMPLES}/unformatted.cpp "int  Twice( int x ){return 2*x;}\n")
# A comparison of a value with itself, and a C-style cast between pointer types.
file(WRITE ${TAVIMO_CHECK_SAMPLES}/tidy_faults.cpp
  "bool Same(int a) { return a == a; }\nconst char* Text(const int* p) { return (const char*)p; }\n")

add_test(NAME format.detects
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/format.sh --check ${TAVIMO_CHECK_SAMPLES}/unformatted.cpp)
set_tests_properties(format.detects PROPERTIES PASS_REGULAR_EXPRESSION "FAIL [^\n]*unformatted.cpp is not formatted")

add_test(NAME lint.detects
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/lint.sh ${CMAKE_BINARY_DIR} ${TAVIMO_CHECK_SAMPLES}/tidy_faults.cpp)
set_tests_properties(lint.detects PROPERTIES PASS_REGULAR_EXPRESSION
  "tidy_faults.cpp:1:[0-9]+: error: [^\n]*misc-redundant-expression.*tidy_faults.cpp:2:[0-9]+: error: [^\n]*cppcoreguidelines-pro-type-cstyle-cast")
