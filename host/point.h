// A pointer position in a message's lParam, as Win32 packs it: x in the low
// 16 bits, y in the high 16, each a signed number. The plug-in unpacks with
// LowSigned and HighSigned (also the wheel's delta, the high half of wParam);
// the tests and the reference host pack with Point.
#pragma once

#include "platform/platform.h"

inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// Signed 16-bit halves of a message parameter, widened to 32 bits.
inline int LowSigned(LPARAM value) {
  return static_cast<short>(static_cast<WORD>(static_cast<DWORD_PTR>(value) & 0xFFFF));
}
inline int HighSigned(LPARAM value) {
  return static_cast<short>(static_cast<WORD>((static_cast<DWORD_PTR>(value) >> 16) & 0xFFFF));
}
