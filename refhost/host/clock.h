// The host's clock, for the bench, the soak and the time GDI takes to use up:
// QueryPerformanceCounter ticks, and a number of them in milliseconds.
#pragma once

#include <windows.h>

namespace refhost {

inline LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

inline double Ms(LONGLONG ticks) {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency);
}

}  // namespace refhost
