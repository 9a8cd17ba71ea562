// The view's background colour, defined once for everything that draws or
// checks it. The plug-in fills with the system colour COLOR_ACTIVEBORDER; the
// stand-in draws that colour as this value, and the reference host and the GDI
// probe set it with SetSysColors under Wine, so that pictures compare. The
// real-input driver (tests/hands/hands.py) reads the value from this file.
#pragma once

#include <cstdint>

// COLOR_ACTIVEBORDER as Windows 10 draws it: (180, 180, 180), as 0xRRGGBB.
constexpr uint32_t kViewBackgroundRgb = 0xB4B4B4;

// The same colour as a COLORREF (0x00BBGGRR), for SetSysColors.
constexpr uint32_t kViewBackgroundColorref =
    ((kViewBackgroundRgb & 0xFFu) << 16) | (kViewBackgroundRgb & 0xFF00u) | ((kViewBackgroundRgb >> 16) & 0xFFu);
