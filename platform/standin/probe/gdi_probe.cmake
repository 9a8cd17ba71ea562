# The GDI probe, one program built for either side: against the stand-in in
# the native presets (tests/CMakeLists.txt), against real GDI in the win32
# preset (tests/win32/CMakeLists.txt), whose test runs it under Wine and
# compares the two sides' lines (tests/win32/gdi_probe.sh).
include_guard(GLOBAL)
add_executable(gdi_probe ${CMAKE_CURRENT_LIST_DIR}/gdi_probe.cpp)
target_link_libraries(gdi_probe PRIVATE tavimo_warnings)
if(WIN32)
  target_include_directories(gdi_probe PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(gdi_probe PRIVATE -static -static-libgcc -static-libstdc++)
  target_link_libraries(gdi_probe PRIVATE gdi32 user32)
else()
  target_link_libraries(gdi_probe PRIVATE standin)
endif()
