# What a Windows machine with mingw i686 does differently from this one, and no
# more: the system is Windows and the compiler is the i686 one. CMake finds the
# rest (windres) beside the compiler, as it does there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
