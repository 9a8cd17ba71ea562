# The warning set of all our code, stated once: every target of ours links
# tavimo_warnings PRIVATE (so nothing leaks to whoever links it). Headers of
# stb, GoogleTest and the system come in as system includes and stay outside
# it. CMAKE_COMPILE_WARNING_AS_ERROR (ON in every preset) turns warnings into
# errors; `cmake --build --preset P --compile-no-warning-as-error` lets a
# local experiment through.
# Sign conversions stay quiet: sizes and indexes mix size_t and int throughout
# the Win32 interfaces, and each cast would add noise without finding a fault.
add_library(tavimo_warnings INTERFACE)
target_compile_options(tavimo_warnings INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion>)
