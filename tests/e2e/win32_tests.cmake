# End-to-end tests of the real DLL in the reference host under Wine (included
# from the top CMakeLists.txt in the win32 build). scripts/wine-run runs the
# host headless with code page 932. Every scenario runs in ONE host process, one
# after another, each from a fresh host with the plug-in loaded anew: a Wine
# start is the slow part. settings_first_run and settings_second_run share the
# INI file, so the second reads what the first stored.
set(E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)
include(${E2E_DIR}/failure_lines.cmake)
set(E2E_OUT ${CMAKE_BINARY_DIR}/e2e)
file(GLOB E2E_SCENARIOS CONFIGURE_DEPENDS ${E2E_DIR}/scenarios/*.txt)
list(SORT E2E_SCENARIOS)

set(script_args)
foreach(scenario ${E2E_SCENARIOS})
  list(APPEND script_args --script ${scenario})
endforeach()
# The same process then times the plug-in once on a small frame (no limits)
# and soaks it briefly (TAVIMO_SOAK_STEPS frames and events, cmake/budget.cmake);
# the tests after it read its log.
add_test(NAME e2e.wine.scenarios
         COMMAND bash -c "set -o pipefail; rm -rf \"$0\" && mkdir -p \"$0\" && \"$@\" 2>&1 | tee \"$0/run.log\""
                 ${E2E_OUT} ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:refhost>
                 ${script_args} --out ${E2E_OUT} --ini ${E2E_OUT}/refhost.ini --quiet
                 --bench --tiny --soak ${TAVIMO_SOAK_STEPS})
set_tests_properties(e2e.wine.scenarios PROPERTIES
  TIMEOUT 3600 RESOURCE_LOCK wine FIXTURES_SETUP wine_pictures
  FAIL_REGULAR_EXPRESSION "${E2E_FAILURE_LINES}")

# The pixel scenarios again natively (the stand-in, built in build/native), and
# their client-area pictures compared with the ones real GDI made above.
set(NATIVE_DRIVER ${CMAKE_SOURCE_DIR}/build/native/tests/e2e/native_driver)
file(GLOB E2E_DIFF_SCENARIOS CONFIGURE_DEPENDS ${E2E_DIR}/scenarios/diff_*.txt)
add_test(NAME e2e.differential_pixels
         COMMAND bash ${E2E_DIR}/differential.sh ${NATIVE_DRIVER} ${E2E_OUT} ${E2E_DIFF_SCENARIOS})
set_tests_properties(e2e.differential_pixels PROPERTIES
  FIXTURES_REQUIRED wine_pictures SKIP_RETURN_CODE 77 FAIL_REGULAR_EXPRESSION "${E2E_FAILURE_LINES}")

# The bench ran every row to the end and named its worst ratio, and the short
# soak kept GDI objects, USER objects and memory within their allowance, with
# no fault and no crash.
add_test(NAME perf.bench_smoke
         COMMAND bash -c "grep -E '^\\| (frame|drag step)' \"$0\" && grep -q '^bench: done' \"$0\" &&
                          grep -E '^bench: worst ratio against the required work [0-9]+\\.[0-9]{2} \\(.+\\)' \"$0\" &&
                          grep -E '^bench: worst ratio against the picture alone [0-9]+\\.[0-9]{2} \\(.+\\)' \"$0\""
                 ${E2E_OUT}/run.log)
# GDI used up, a refused largest frame and a destroyed window (the
# gdi_used_up scenario): it ran to its end with every check passed, after
# taking thousands of handles.
add_test(NAME e2e.wine.gdi_used_up
         COMMAND bash -c "run=$(sed -n '/^== gdi_used_up/,/ failed/p' \"$0\" | tr -d '\\r'); echo \"$run\";
                          grep -qE '^  gdi: [0-9]{4,} handles taken' <<<\"$run\" && grep -qE '^[0-9]+ passed, 0 failed$' <<<\"$run\""
                 ${E2E_OUT}/run.log)
add_test(NAME soak.short
         COMMAND bash -c "grep '^soak' \"$0\" && grep -qE '^soak: ${TAVIMO_SOAK_STEPS} frames and ${TAVIMO_SOAK_STEPS} events .*: ok[[:space:]]*$' \"$0\""
                 ${E2E_OUT}/run.log)
set_tests_properties(perf.bench_smoke soak.short e2e.wine.gdi_used_up PROPERTIES FIXTURES_REQUIRED wine_pictures)
