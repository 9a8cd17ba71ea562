// How the view draws its ruler and grid: measures, pens and brushes by name,
// for the repaint and for anyone who must draw the same lines.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Ruler and grid appear from this zoom level up; below it a frame pixel is
// one window pixel or less and lines would cover the picture.
constexpr int kMinLinedLevel = 2;

constexpr int kRulerWidth = 8;  // both strips; ticks at 7 or less would fall in the other strip
constexpr int kLongTick = 8;    // at frame columns and rows that are multiples of kLongTickEvery
constexpr int kShortTick = 3;
constexpr int kLongTickEvery = 10;
constexpr int kRulerBrush = WHITE_BRUSH;  // stock brush of both strips
constexpr int kTickPen = BLACK_PEN;       // stock pen of the ticks

// The area around the image: FillRect takes a system colour index + 1 in place
// of a brush handle.
inline HBRUSH ViewBackground() { return reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_ACTIVEBORDER + 1)); }

// Stock pen of the grid: black for mode 1, white for any other mode above 0.
inline int GridPen(int gridMode) { return gridMode == 1 ? BLACK_PEN : WHITE_PEN; }

// Length of the tick at frame column or row frameIndex.
inline int TickLength(int64_t frameIndex) { return frameIndex % kLongTickEvery == 0 ? kLongTick : kShortTick; }

// Tick and grid positions: start + i x level, formed in 64 bits. For a view
// that shows frame pixels they lie within a level of the client area.
inline int LinePosition(int start, int64_t i, int level) {
  const int64_t v = start + i * level;
  if (v < INT32_MIN) return INT32_MIN;
  if (v > INT32_MAX) return INT32_MAX;
  return static_cast<int>(v);
}
