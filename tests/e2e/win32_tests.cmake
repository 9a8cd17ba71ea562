# End-to-end tests of the real DLL in the reference host under Wine (included
# from refhost/CMakeLists.txt in the win32 build). scripts/wine-run runs each
# one headless with code page 932; all share one Wine prefix, one at a time.
set(E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)
set(E2E_OUT ${CMAKE_BINARY_DIR}/e2e)
file(GLOB E2E_WINE_SCENARIOS CONFIGURE_DEPENDS ${E2E_DIR}/scenarios/*.txt)

foreach(scenario ${E2E_WINE_SCENARIOS})
  get_filename_component(name ${scenario} NAME_WE)
  # Pixel scenarios run in the differential test below, once per side.
  if(name MATCHES "^diff_")
    continue()
  endif()
  # The settings_ scenarios are successive runs of the host over one INI file.
  set(ini ${E2E_OUT}/${name}.ini)
  if(name MATCHES "^settings_")
    set(ini ${E2E_OUT}/settings.ini)
  endif()
  add_test(NAME e2e.wine.${name}
           COMMAND refhost --script ${scenario} --out ${E2E_OUT}/${name} --ini ${ini} --quiet)
  set_tests_properties(e2e.wine.${name} PROPERTIES TIMEOUT 900 RESOURCE_LOCK wine
                       FAIL_REGULAR_EXPRESSION "FAIL|error:")
endforeach()

# Settings across two runs of the host, through one INI file: the second run
# reads what the first stored.
if(TEST e2e.wine.settings_second_run)
  set_tests_properties(e2e.wine.settings_second_run PROPERTIES DEPENDS e2e.wine.settings_first_run)
endif()

# The same pixel scenarios natively (the stand-in, built in build/native) and
# under Wine (real GDI), then their client-area pictures compared.
set(NATIVE_DRIVER ${CMAKE_SOURCE_DIR}/build/native/tests/e2e/native_driver)
file(GLOB E2E_DIFF_SCENARIOS CONFIGURE_DEPENDS ${E2E_DIR}/scenarios/diff_*.txt)
add_test(NAME e2e.differential_pixels
         COMMAND bash ${E2E_DIR}/differential.sh ${NATIVE_DRIVER} ${CMAKE_SOURCE_DIR}/scripts/wine-run
                 $<TARGET_FILE:refhost> ${E2E_OUT}/differential ${E2E_DIFF_SCENARIOS})
set_tests_properties(e2e.differential_pixels PROPERTIES TIMEOUT 1200 RESOURCE_LOCK wine SKIP_RETURN_CODE 77)
