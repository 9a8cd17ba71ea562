# Real hands (included from the top CMakeLists.txt in the win32 build): the
# interactive reference host with the real DLL under Wine, on the Wine
# session's screen (scripts/wine-run --session), driven only by X input
# events (xdotool) and checked by the window title and screen pixels (xwd). e2e.hands runs the named gestures,
# e2e.hands.monkey a short seeded run of random gestures on a playing folder.
# A failure keeps its screenshots in build/win32/hands*/.
include(${CMAKE_SOURCE_DIR}/tests/e2e/failure_lines.cmake)
set(HANDS_DIR ${CMAKE_SOURCE_DIR}/tests/hands)
set(HANDS_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run --session python3 ${HANDS_DIR}/hands.py
    --wine-run ${CMAKE_SOURCE_DIR}/scripts/wine-run --refhost $<TARGET_FILE:refhost> --attempts 2)
add_test(NAME e2e.hands COMMAND ${HANDS_RUN} --out ${CMAKE_BINARY_DIR}/hands)
# One Wine test at a time: the bench in e2e.wine.scenarios times the machine.
set_tests_properties(e2e.hands PROPERTIES
  TIMEOUT 900 RESOURCE_LOCK wine FAIL_REGULAR_EXPRESSION "${E2E_FAILURE_LINES}")
# The monkey is README.md's make hands, short (build/win32/hands-long).
include(${CMAKE_SOURCE_DIR}/tests/readme/make_test.cmake)
make_test(hands NAME e2e.hands.monkey VARS N=120 SEED=1 ATTEMPTS=2 EXPECT "^hands: monkey: 120 gestures" WINE)
# Listed, and reported as not run, where Wine runs under qemu (cmake/budget.cmake).
if(NOT TAVIMO_REAL_INPUT)
  set_tests_properties(e2e.hands e2e.hands.monkey PROPERTIES DISABLED TRUE)
endif()
