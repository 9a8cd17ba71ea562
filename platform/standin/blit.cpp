// StretchBlt and SetDIBitsToDevice.
//
// StretchBlt follows the reference DIB engine (the Wine dibdrv path our
// differential tests compare against) step by step, so that every destination
// pixel takes the same source pixel:
//  1. Visible rectangles: the destination's bounding rectangle cut by the
//     surface and clip region; the source's cut by its surface. Either empty:
//     nothing is drawn and the call succeeds.
//  2. When stretching, each visible rectangle is mapped into the other's space
//     with truncating division, widened by one pixel on each side ("rounding
//     errors") and intersected, as intersect_vis_rectangles does.
//  3. A one-pixel-wide (high) destination takes one source column (row) less.
//  4. Each axis is a Bresenham line from (src start, dst start) to (src end,
//     dst end), end point excluded, clipped to both visible ranges. The longer
//     axis is walked; the error starts at 3 * short - 2 * long and grows by
//     2 * short per step, moving the short axis when it is positive. Step i of
//     the long axis then sits at short offset floor((2 * short * i + short - 1)
//     / (2 * long)), which is what Axis() evaluates per destination pixel.
//  5. Reduction with COLORONCOLOR (delete scans): horizontally each destination
//     pixel keeps the LAST visible source column of its run (the row shrinker
//     copies every column over the previous one); vertically it keeps the FIRST
//     visible source row (later rows of the run are skipped). BLACKONWHITE ANDs
//     and WHITEONBLACK ORs the whole run. HALFTONE (4) is taken as COLORONCOLOR.
// probe/gdi_probe.cpp runs the same blits through Wine and through this file;
// the outputs are identical pixel for pixel.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/standin/internal.h"

namespace standin::detail {
namespace {

struct Coords {
  int64_t x, y, width, height;
  Box vis;
};

Box Offset(Box b, int64_t dx, int64_t dy) { return {b.left + dx, b.top + dy, b.right + dx, b.bottom + dy}; }

Box Ordered(Box b) {
  if (b.left > b.right) std::swap(b.left, b.right);
  if (b.top > b.bottom) std::swap(b.top, b.bottom);
  return b;
}

// Step 2 above.
bool IntersectVisible(Coords& dst, Coords& src) {
  if (src.width == dst.width && src.height == dst.height) {
    Box r = Intersect(Offset(src.vis, dst.x - src.x, dst.y - src.y), dst.vis);
    if (r.Empty()) return false;
    dst.vis = r;
    src.vis = Offset(r, src.x - dst.x, src.y - dst.y);
    return true;
  }
  Box r = Offset(src.vis, -src.x - (src.width < 0 ? 1 : 0), -src.y - (src.height < 0 ? 1 : 0));
  r = Ordered({r.left * dst.width / src.width, r.top * dst.height / src.height, r.right * dst.width / src.width,
               r.bottom * dst.height / src.height});
  // A flipped source that does not fit its surface leaves the destination unflipped.
  if (src.width < 0 && dst.width > 0 && (src.x + src.width + 1 < src.vis.left || src.x > src.vis.right))
    dst.x += (dst.width - r.right) - r.left;
  else if (src.width > 0 && dst.width < 0 && (src.x < src.vis.left || src.x + src.width > src.vis.right))
    dst.x -= r.right - (dst.width - r.left);
  if (src.height < 0 && dst.height > 0 && (src.y + src.height + 1 < src.vis.top || src.y > src.vis.bottom))
    dst.y += (dst.height - r.bottom) - r.top;
  else if (src.height > 0 && dst.height < 0 && (src.y < src.vis.top || src.y + src.height > src.vis.bottom))
    dst.y -= r.bottom - (dst.height - r.top);
  r = Offset(r, dst.x, dst.y);
  r = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  dst.vis = Intersect(r, dst.vis);
  if (dst.vis.Empty()) return false;

  r = Offset(dst.vis, -dst.x - (dst.width < 0 ? 1 : 0), -dst.y - (dst.height < 0 ? 1 : 0));
  r = Ordered({src.x + r.left * src.width / dst.width, src.y + r.top * src.height / dst.height,
               src.x + r.right * src.width / dst.width, src.y + r.bottom * src.height / dst.height});
  r = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  src.vis = Intersect(r, src.vis);
  return !src.vis.Empty();
}

int64_t CeilDiv(int64_t a, int64_t b) {  // b > 0
  return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// The source run one destination pixel takes along one axis, in line order.
struct Run {
  int64_t first = 0, last = 0;
  bool ok = false;
};

// Step 4 above, for destination positions dv0..dv1-1, into runs (reused
// between calls, so that a warmed-up blit allocates nothing).
void Axis(int64_t d0, int64_t dl, int64_t dv0, int64_t dv1, int64_t s0, int64_t sl, int64_t sv0, int64_t sv1,
          bool* shrink, std::vector<Run>& runs) {
  const size_t n = static_cast<size_t>(std::max<int64_t>(dv1 - dv0, 0));
  if (runs.capacity() < n) runs.reserve(std::max<size_t>({n, 2 * runs.capacity(), 4096}));
  runs.assign(n, Run{});
  const int64_t dx = sl < 0 ? -sl : sl, dy = dl < 0 ? -dl : dl;
  const int64_t sinc = sl < 0 ? -1 : 1, dinc = dl < 0 ? -1 : 1;
  *shrink = dx > dy;
  if (dx == 0 || dy == 0) return;
  // Source steps i whose pixel s0 + sinc * i lies in [sv0, sv1).
  const int64_t iLo = sinc > 0 ? sv0 - s0 : s0 - sv1 + 1;
  const int64_t iHi = sinc > 0 ? sv1 - s0 : s0 - sv0 + 1;  // exclusive
  for (int64_t d = dv0; d < dv1; ++d) {
    const int64_t k = (d - d0) * dinc;  // destination step
    Run& run = runs[static_cast<size_t>(d - dv0)];
    if (k < 0 || k >= dy) continue;
    if (*shrink) {
      // Source steps whose destination step is k: D(i) = floor((2dy*i + dy - 1) / 2dx) == k.
      int64_t i0 = std::max<int64_t>(CeilDiv(2 * dx * k - dy + 1, 2 * dy), 0);
      int64_t i1 = std::min<int64_t>(CeilDiv(2 * dx * (k + 1) - dy + 1, 2 * dy), dx);
      i0 = std::max(i0, iLo);
      i1 = std::min(i1, iHi);
      if (i0 >= i1) continue;
      run = {s0 + sinc * i0, s0 + sinc * (i1 - 1), true};
    } else {
      const int64_t i = (2 * dx * k + dx - 1) / (2 * dy);
      if (i < iLo || i >= iHi) continue;
      run = {s0 + sinc * i, s0 + sinc * i, true};
    }
  }
}

uint32_t Combine(const Surface& s, const Run& rows, const Run& cols, bool and_) {
  uint32_t v = and_ ? 0xFFFFFFu : 0u;
  const int64_t y0 = std::min(rows.first, rows.last), y1 = std::max(rows.first, rows.last);
  const int64_t x0 = std::min(cols.first, cols.last), x1 = std::max(cols.first, cols.last);
  for (int64_t y = y0; y <= y1; ++y) {
    const uint32_t* row = s.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(s.width);
    for (int64_t x = x0; x <= x1; ++x) v = and_ ? (v & row[x]) : (v | row[x]);
  }
  return v;
}

// The DIBs GDI takes (its header check): a header of at least 40 bytes,
// planes not 0, a positive width, a height not 0, a row and an image whose
// sizes in bits and bytes fit 32 bits, and a colour use of RGB values, palette
// entries or palette indices. Of the formats it takes, the stand-in draws the
// two the plug-in can hand over, 24 and 32 bits uncompressed; it refuses the
// rest so an unmodelled one shows.
bool AcceptedDib(const BITMAPINFOHEADER& bih, UINT colourUse) {
  if (bih.biSize < sizeof(BITMAPINFOHEADER) || bih.biPlanes == 0 || colourUse > 2) return false;
  if (bih.biWidth <= 0 || bih.biHeight == 0 || bih.biCompression != BI_RGB) return false;
  if (bih.biBitCount != 24 && bih.biBitCount != 32) return false;
  const uint64_t rowBits = uint64_t{static_cast<uint32_t>(bih.biWidth)} * bih.biBitCount;
  const uint64_t stride = (rowBits + 31) / 32 * 4;
  return rowBits <= UINT32_MAX && stride * static_cast<uint64_t>(std::abs(int64_t{bih.biHeight})) <= UINT32_MAX;
}

}  // namespace
}  // namespace standin::detail

using namespace standin;
using namespace standin::detail;

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
  const Opened o =
      Open(Fn::StretchBlt, {I(hdcDest), xDest, yDest, wDest, hDest, I(hdcSrc), xSrc, ySrc, wSrc, hSrc, rop}, hdcDest,
           Kind::Dc);
  if (o.fails || !o.object) return FALSE;
  Object* dstDc = o.object;
  Object* srcDc = FindDc(hdcSrc);
  if (!srcDc) return FALSE;
  if (rop != SRCCOPY) return FALSE;  // the only raster operation the stand-in draws
  Surface* ds = DcSurface(*dstDc);
  Surface* ss = DcSurface(*srcDc);
  if (!ds || !ss) {
    CountBadHandle();
    return FALSE;
  }
  const int mode = dstDc->stretchMode;

  // Step 1.
  Coords dst{xDest, yDest, wDest, hDest, {}};
  Coords src{xSrc, ySrc, wSrc, hSrc, {}};
  dst.vis = Intersect(BlitBoundingBox(dst.x, dst.y, dst.width, dst.height), DcVisible(*dstDc, *ds));
  src.vis = Intersect(BlitBoundingBox(src.x, src.y, src.width, src.height), Box{0, 0, ss->width, ss->height});
  if (src.vis.Empty() || dst.vis.Empty()) return TRUE;
  if (!IntersectVisible(dst, src)) return TRUE;  // step 2
  // Step 3.
  if (dst.width == 1 && src.width > 1) --src.width;
  if (dst.height == 1 && src.height > 1) --src.height;

  // A blit within one surface reads the pixels as they were before it.
  const Surface* from = ss;
  Surface before;
  if (ss == ds) {
    before = *ss;
    from = &before;
  }

  if (src.width == dst.width && src.height == dst.height) {
    for (int64_t y = dst.vis.top; y < dst.vis.bottom; ++y) {
      const int64_t sy = src.vis.top + (y - dst.vis.top);
      if (sy < 0 || sy >= from->height) continue;
      for (int64_t x = dst.vis.left; x < dst.vis.right; ++x) {
        const int64_t sx = src.vis.left + (x - dst.vis.left);
        if (sx < 0 || sx >= from->width) continue;
        const uint32_t v = from->pixels[static_cast<size_t>(sy) * from->width + sx];
        ds->Row(static_cast<int>(y))[x] = Painted(*ds, v);
      }
    }
    return TRUE;
  }

  bool hShrink = false, vShrink = false;
  static std::vector<Run> cols, rows;
  Axis(dst.x, dst.width, dst.vis.left, dst.vis.right, src.x, src.width, src.vis.left, src.vis.right, &hShrink, cols);
  Axis(dst.y, dst.height, dst.vis.top, dst.vis.bottom, src.y, src.height, src.vis.top, src.vis.bottom, &vShrink, rows);
  const bool deleteScans = mode >= COLORONCOLOR;
  for (size_t r = 0; r < rows.size(); ++r) {
    if (!rows[r].ok) continue;
    uint32_t* out = ds->Row(static_cast<int>(dst.vis.top + static_cast<int64_t>(r)));
    for (size_t c = 0; c < cols.size(); ++c) {
      if (!cols[c].ok) continue;
      uint32_t v = 0;
      if (deleteScans) {
        const int64_t sy = rows[r].first;  // first row of a reduced run
        const int64_t sx = cols[c].last;   // last column of a reduced run
        v = from->pixels[static_cast<size_t>(sy) * from->width + sx];
      } else {
        v = Combine(*from, vShrink ? rows[r] : Run{rows[r].first, rows[r].first, true},
                    hShrink ? cols[c] : Run{cols[c].first, cols[c].first, true}, mode == BLACKONWHITE);
      }
      out[dst.vis.left + static_cast<int64_t>(c)] = Painted(*ds, v);
    }
  }
  return TRUE;
}

// Follows the reference engine's SetDIBitsToDevice: the bits hold cLines scan
// lines starting at StartScan (counted from the bottom for a bottom-up DIB);
// (xSrc, ySrc) is the lower-left corner of the source rectangle in DIB
// coordinates; only pixels that land inside the visible destination are read.
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan, UINT cLines,
                      const void* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse) {
  // The header's fields too: it lives on the caller's stack, gone when a test looks.
  const BITMAPINFOHEADER none = {};
  const BITMAPINFOHEADER& logged = lpbmi != nullptr ? lpbmi->bmiHeader : none;
  const Opened o = Open(Fn::SetDIBitsToDevice,
                        {I(hdc), xDest, yDest, static_cast<int64_t>(w), static_cast<int64_t>(h), xSrc, ySrc,
                         static_cast<int64_t>(StartScan), static_cast<int64_t>(cLines), I(lpvBits), I(lpbmi),
                         static_cast<int64_t>(ColorUse), logged.biSize, logged.biWidth, logged.biHeight,
                         logged.biPlanes, logged.biBitCount, logged.biCompression},
                        hdc, Kind::Dc);
  if (o.fails || !o.object) return 0;
  Object* dc = o.object;
  if (!lpvBits || !lpbmi) return 0;
  const BITMAPINFOHEADER& bih = lpbmi->bmiHeader;
  if (!AcceptedDib(bih, ColorUse)) return 0;
  Surface* s = DcSurface(*dc);
  if (!s) {
    CountBadHandle();
    return 0;
  }
  const int64_t cx = static_cast<int32_t>(w), cy = static_cast<int32_t>(h);
  const bool topDown = bih.biHeight < 0;
  const int64_t height = topDown ? -int64_t{bih.biHeight} : bih.biHeight;
  int64_t lines = cLines;
  if (!lines) return 0;
  if (StartScan >= height) return 0;
  if (!topDown && lines > height - StartScan) lines = height - StartScan;

  // Source rectangle in top-down coordinates of the lines given.
  const int64_t srcX = xSrc;
  int64_t srcY = int64_t{StartScan} + lines - (int64_t{ySrc} + cy);
  if (srcY > 0) {
    if (!topDown) {
      if (srcY >= lines) return 0;
      lines -= srcY;  // rows above the rectangle are not needed
      srcY = 0;
    } else if (srcY >= lines) {
      return static_cast<int>(lines);
    }
  }
  const int64_t chunkHeight = topDown ? std::min(lines, height) : lines;
  Box srcVis = Intersect(Box{srcX, srcY, srcX + cx, srcY + cy}, Box{0, 0, bih.biWidth, chunkHeight});
  if (srcVis.Empty()) return 0;

  Box dstVis = Intersect(Box{xDest, yDest, int64_t{xDest} + cx, int64_t{yDest} + cy}, DcVisible(*dc, *s));
  if (dstVis.Empty()) return static_cast<int>(lines);
  Box r = Intersect(Offset(srcVis, xDest - srcX, yDest - srcY), dstVis);
  if (r.Empty()) return static_cast<int>(lines);

  const int64_t bytesPerPixel = bih.biBitCount / 8;
  const int64_t stride = (int64_t{bih.biWidth} * bih.biBitCount + 31) / 32 * 4;
  const auto* bytes = static_cast<const uint8_t*>(lpvBits);
  for (int64_t y = r.top; y < r.bottom; ++y) {
    const int64_t sy = y - yDest + srcY;  // top-down row within the lines given
    const int64_t memoryRow = topDown ? sy : chunkHeight - 1 - sy;
    const uint8_t* p = bytes + memoryRow * stride + (r.left - xDest + srcX) * bytesPerPixel;
    uint32_t* out = s->Row(static_cast<int>(y));
    for (int64_t x = r.left; x < r.right; ++x, p += bytesPerPixel)
      out[x] = Stored(*s, uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
  }
  return static_cast<int>(lines);
}
