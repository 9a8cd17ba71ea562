# The host the native tests, the native scenario driver, render_view and the
# fuzzer play; its frames are the reference host's coordinate frames. One
# definition for the native presets (tests/CMakeLists.txt) and the fuzz preset
# (tests/fuzz/CMakeLists.txt).
include_guard(GLOBAL)
add_library(fake_host STATIC ${CMAKE_SOURCE_DIR}/tests/fake_host.cpp)
target_link_libraries(fake_host PUBLIC plugin refhost_scenario PRIVATE tavimo_warnings)
