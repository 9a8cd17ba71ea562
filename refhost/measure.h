// What the bench and the soak share: the clock, and points for the messages
// they send.
#pragma once

#include <windows.h>

#include "host/point.h"

namespace refhost {

// QueryPerformanceCounter ticks, and a number of them in milliseconds.
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

using ::Point;  // host/point.h

}  // namespace refhost
