// FillRect and 1-pixel cosmetic lines (MoveToEx / LineTo).
#include <algorithm>
#include <cstdlib>

#include "platform/standin/internal.h"

namespace standin::detail {
namespace {

// The highest system-colour brush value FillRect accepts in place of a brush
// (COLOR_MENUBAR + 1).
constexpr uintptr_t kLastSysColourBrush = 31;

void FillBox(Surface& s, const Box& box, uint32_t rgb) {
  rgb = Painted(s, rgb);
  for (int64_t y = box.top; y < box.bottom; ++y) {
    uint32_t* row = s.Row(static_cast<int>(y));
    std::fill(row + box.left, row + box.right, rgb);
  }
}

// Rows and columns a blit of (x, y, width, height) touches: a negative extent
// counts back from the start point, which stays included (GDI's bounding rule).
Box BoundingBox(int64_t x, int64_t y, int64_t width, int64_t height) {
  Box b{x, y, x + width, y + height};
  if (b.left > b.right) b = {b.right + 1, b.top, b.left + 1, b.bottom};
  if (b.top > b.bottom) b = {b.left, b.bottom + 1, b.right, b.top + 1};
  return b;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Draws a cosmetic line from (x0, y0) towards (x1, y1), leaving the end point
// unpainted. Horizontal and vertical lines cover the half-open span; others
// follow the Bresenham walk of the reference DIB engine: the error starts at
// 2 * minor - major and a step moves the minor axis when err + bias > 0, the
// bias being 1 in octants 3, 5, 6 and 8. Step i then sits at minor offset
// floor((2 * minor * i + major + bias - 1) / (2 * major)), which lets the walk
// visit only the steps inside the visible box.
void DrawLine(Surface& s, const Box& vis, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t rgb) {
  rgb = Painted(s, rgb);
  if (y0 == y1) {
    Box b = x0 <= x1 ? Box{x0, y0, x1, y0 + 1} : Box{x1 + 1, y0, x0 + 1, y0 + 1};
    b = Intersect(b, vis);
    if (!b.Empty()) FillBox(s, b, rgb);
    return;
  }
  if (x0 == x1) {
    Box b = y0 <= y1 ? Box{x0, y0, x0 + 1, y1} : Box{x0, y1 + 1, x0 + 1, y0 + 1};
    b = Intersect(b, vis);
    if (!b.Empty()) FillBox(s, b, rgb);
    return;
  }
  const int64_t dx = x1 - x0, dy = y1 - y0;
  const int octant =
      dy > 0 ? (dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3)) : (dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7));
  const int64_t bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  const bool xMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
  const int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy);
  const int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
  const int64_t majorInc = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const int64_t minorInc = (xMajor ? dy : dx) > 0 ? 1 : -1;
  const int64_t a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
  const int64_t lo = xMajor ? vis.left : vis.top, hi = xMajor ? vis.right : vis.bottom;
  // Steps i in [0, major) whose major coordinate lies in [lo, hi).
  int64_t first = majorInc > 0 ? lo - a0 : a0 - (hi - 1);
  int64_t last = majorInc > 0 ? hi - 1 - a0 : a0 - lo;
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, major - 1);
  for (int64_t i = first; i <= last; ++i) {
    const int64_t a = a0 + majorInc * i;
    const int64_t b = b0 + minorInc * FloorDiv(2 * minor * i + major + bias - 1, 2 * major);
    const int64_t x = xMajor ? a : b, y = xMajor ? b : a;
    if (x >= vis.left && x < vis.right && y >= vis.top && y < vis.bottom) s.Row(static_cast<int>(y))[x] = rgb;
  }
}

}  // namespace
}  // namespace standin::detail

using namespace standin;
using namespace standin::detail;

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  const Opened o =
      lprc ? Open(Fn::FillRect, {I(hDC), lprc->left, lprc->top, lprc->right, lprc->bottom, I(hbr)}, hDC, Kind::Dc)
           : Open(Fn::FillRect, {I(hDC), I(hbr)}, hDC, Kind::Dc);
  if (o.fails || !o.object) return 0;
  Object* dc = o.object;
  uint32_t rgb = 0;
  const uintptr_t value = reinterpret_cast<uintptr_t>(hbr);
  if (value == COLOR_ACTIVEBORDER + 1) {
    rgb = kViewBackgroundRgb;
  } else if (value <= kLastSysColourBrush) {
    // Other system colours are not modelled: a wrong index shows as unpainted.
    CountBadHandle();
    return 0;
  } else {
    Object* brush = FindKind(hbr, Kind::Brush);
    if (!brush) {
      CountBadHandle();
      return 0;
    }
    rgb = brush->rgb;
  }
  if (!lprc) return 0;
  Surface* s = DcSurface(*dc);
  if (!s) {
    CountBadHandle();
    return 0;
  }
  // FillRect is a pattern blit of (left, top, right - left, bottom - top): an
  // inverted rectangle fills the columns right + 1 .. left (rows likewise).
  Box b = BoundingBox(lprc->left, lprc->top, int64_t{lprc->right} - lprc->left, int64_t{lprc->bottom} - lprc->top);
  b = Intersect(b, DcVisible(*dc, *s));
  if (!b.Empty()) FillBox(*s, b, rgb);
  return 1;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  const Opened o = Open(Fn::MoveToEx, {I(hdc), x, y, lppt ? 1 : 0}, hdc, Kind::Dc);
  if (o.fails || !o.object) return FALSE;
  Object* dc = o.object;
  if (lppt) *lppt = dc->position;
  dc->position = {x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  const Opened o = Open(Fn::LineTo, {I(hdc), x, y}, hdc, Kind::Dc);
  if (o.fails || !o.object) return FALSE;
  Object* dc = o.object;
  Surface* s = DcSurface(*dc);
  if (!s) {
    CountBadHandle();
    return FALSE;
  }
  const POINT from = dc->position;
  dc->position = {x, y};
  Object* pen = FindKind(dc->pen, Kind::Pen);
  if (pen) DrawLine(*s, DcVisible(*dc, *s), from.x, from.y, x, y, pen->rgb);
  return TRUE;
}

namespace standin::detail {
Box BlitBoundingBox(int64_t x, int64_t y, int64_t width, int64_t height) { return BoundingBox(x, y, width, height); }
}  // namespace standin::detail
