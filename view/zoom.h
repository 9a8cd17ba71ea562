// Zoom steps and the window title.
#pragma once

// zoomLevel 1..24 magnifies by the level; 0 is 2/3; -1..-9 reduce to 1/k.
constexpr int kMinZoomLevel = -9;
constexpr int kMaxZoomLevel = 24;
constexpr int kTitleBufferSize = 1024;

// level pulled into kMinZoomLevel..kMaxZoomLevel.
int ClampZoomLevel(int level);
// Denominator k shown in the title for levels -1..-9 (2, 3, 4, 6, ... 32);
// levels outside that range are first pulled into it.
int ZoomDenominator(int level);
// Reduction divisor e for levels 0..-9: the view scales the frame by 2/e
// (3 for level 0, else 2k); levels outside 0..-9 are first pulled into it.
int ZoomDivisor(int level);
// Writes the title for level and the current lock into buffer (kTitleBufferSize
// bytes, Shift_JIS, zero-terminated); returns the number of bytes written.
int FormatTitle(char* buffer, int level);
