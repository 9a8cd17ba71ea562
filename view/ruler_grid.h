// How the view draws its ruler and grid: measures, pens and brushes by name,
// for the repaint and for anyone who must draw the same lines.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "view/geometry.h"

// Ruler and grid appear from this zoom level up; below it a frame pixel is
// one window pixel or less and lines would cover the picture.
constexpr int kMinLinedLevel = 2;

inline bool RulerShown(int rulerOn, int level) { return rulerOn != 0 && level >= kMinLinedLevel; }
inline bool GridShown(int gridMode, int level) { return gridMode > 0 && level >= kMinLinedLevel; }

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
inline int LinePosition(int start, int64_t i, int level) { return ToInt(start + i * level); }

// Receives one line from (x0, y0) to (x1, y1), drawn as MoveToEx and LineTo
// (which leaves the end point unpainted); context is the caller's own.
using LineProc = void (*)(int x0, int y0, int x1, int y1, void* context);

// A tick on every frame column and row edge of the image that lies outside
// the corner where the strips meet: a long tick covers 8 pixels, a short one 3.
inline void RulerTicks(const ViewGeometry& g, int level, LineProc line, void* context) {
  for (int64_t i = 0; i <= g.srcWidth; ++i) {
    const int x = LinePosition(g.destX, i, level);
    if (x >= kRulerWidth) line(x, 0, x, TickLength(g.srcX + i), context);
  }
  for (int64_t j = 0; j <= g.srcHeight; ++j) {
    const int y = LinePosition(g.destY, j, level);
    if (y >= kRulerWidth) line(0, y, TickLength(g.srcY + j), y, context);
  }
}

// A line on the left (top) edge of every drawn frame column (row), across the
// whole client area; none after the last column (row).
inline void GridLines(const RECT& client, const ViewGeometry& g, int level, LineProc line, void* context) {
  for (int64_t i = 0; i < g.srcWidth; ++i) {
    const int x = LinePosition(g.destX, i, level);
    line(x, 0, x, client.bottom, context);
  }
  for (int64_t j = 0; j < g.srcHeight; ++j) {
    const int y = LinePosition(g.destY, j, level);
    line(0, y, client.right, y, context);
  }
}
