# make_test(TARGET [NAME name] [STATUS status] EXPECT regex [VARS VAR=VALUE...] [WINE] [NO_DISPLAY])
# runs `make TARGET VARS...` in the tree's top folder as README.md gives it
# (tests/readme/run_make.sh) and passes when make ends with STATUS (0 unless
# given) and prints a line matching EXPECT. The test carries the label
# make:TARGET, taken from the command it runs: readme.make_commands reads these
# labels to tell which of the README's commands a test runs. One make at a time
# in the tree (the build dirs are shared); WINE: it also takes Wine's lock;
# NO_DISPLAY: it runs with DISPLAY unset.
include_guard(GLOBAL)

function(make_test target)
  include(${CMAKE_SOURCE_DIR}/tests/e2e/failure_lines.cmake)
  cmake_parse_arguments(arg "WINE;NO_DISPLAY" "NAME;STATUS;EXPECT" "VARS" ${ARGN})
  if(NOT arg_NAME)
    set(arg_NAME make.${target})
  endif()
  if(NOT DEFINED arg_STATUS)
    set(arg_STATUS 0)
  endif()
  set(locks make_tree)
  if(arg_WINE)
    list(APPEND locks wine)
  endif()
  set(run)
  if(arg_NO_DISPLAY)
    set(run env -u DISPLAY)
  endif()
  add_test(NAME ${arg_NAME}
           COMMAND ${run} bash ${CMAKE_SOURCE_DIR}/tests/readme/run_make.sh ${CMAKE_SOURCE_DIR} ${arg_STATUS} "${arg_EXPECT}"
                   ${target} ${arg_VARS})
  set_tests_properties(${arg_NAME} PROPERTIES LABELS make:${target} RESOURCE_LOCK "${locks}" TIMEOUT 1800
                       FAIL_REGULAR_EXPRESSION "${E2E_FAILURE_LINES}")
endfunction()
