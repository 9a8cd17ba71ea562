// The bench's --breakdown: where a drag step's time goes and what alternatives
// the plug-in does not use would cost, on the plug-in's window: the ruler's and
// the grid's lines drawn the way the view draws them (MoveToEx + LineTo per
// line), the same lines as one PolyPolyline each, the clip region alone, the
// same picture from pattern fills, and the drag cursor the plug-in sets after
// each repaint, which makes Wine push the new pixels to the X server there and
// then.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "refhost/bench.h"
#include "refhost/host.h"
#include "refhost/measure.h"
#include "view/ruler_grid.h"
#include "view/zoom.h"

namespace refhost {

void Breakdown(const View& v, const Frame& frame, Counts n, const Baseline& base) {
  HWND window = PluginWindow();
  RECT client;
  GetClientRect(window, &client);
  const Picture p = PictureFor(window, v, frame);
  const ViewGeometry& g = p.g;
  const int level = v.level;
  const std::vector<POINT>& ticks = p.lines.ticks;
  const std::vector<POINT>& lines = p.lines.gridLines;
  std::vector<DWORD> tickCounts(ticks.size() / 2, 2), lineCounts(lines.size() / 2, 2);

  // The same picture from pattern fills: a brush whose bitmap holds one line
  // per period, laid over the area under a raster operation that blackens
  // only the line pixels (DPa). A cost estimate: the pixels are not compared.
  auto lineBrush = [](int w, int h, bool vertical) {
    std::vector<uint32_t> bits(static_cast<size_t>(w) * h, 0xFFFFFF);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (vertical ? x == 0 : y == 0) bits[static_cast<size_t>(y) * w + x] = 0;
    HBITMAP b = CreateBitmap(w, h, 1, 32, bits.data());
    HBRUSH brush = CreatePatternBrush(b);
    DeleteObject(b);
    return brush;
  };
  constexpr DWORD kDPa = 0x00A000C9;
  constexpr int kEvery = kLongTickEvery;
  std::vector<double> patterned;
  std::vector<double> tickSingle, tickPoly, gridSingle, gridPoly, clip, cursorAfterPaint, cursorClean;
  // Around a reduced image (level -9) the view fills the four sides where the
  // baseline fills the client once.
  const ViewGeometry small =
      GeometryFor(window, kMinZoomLevel, frame.width, frame.height, frame.width / 2, frame.height / 2);
  const RECT sides[] = {{0, 0, small.destX, client.bottom},
                        {0, 0, client.right, small.destY},
                        {small.destRight, 0, client.right, client.bottom},
                        {0, small.destBottom, client.right, client.bottom}};
  std::vector<double> fillOnce, fillSides;
  for (int i = 0; i < n.warmup + n.iterations; ++i) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, GetStockObject(kTickPen));
    const LONGLONG t0 = Now();
    DrawPairs(dc, ticks, kTickPen);
    GdiFlush();
    const LONGLONG t1 = Now();
    PolyPolyline(dc, ticks.data(), tickCounts.data(), static_cast<DWORD>(tickCounts.size()));
    GdiFlush();
    const LONGLONG t2 = Now();
    HRGN r = CreateRectRgn(kRulerWidth, kRulerWidth, client.right, client.bottom);
    SelectClipRgn(dc, r);
    const LONGLONG t3 = Now();
    DrawPairs(dc, lines, p.lines.gridPen);
    GdiFlush();
    const LONGLONG t4 = Now();
    SelectObject(dc, GetStockObject(p.lines.gridPen));
    PolyPolyline(dc, lines.data(), lineCounts.data(), static_cast<DWORD>(lineCounts.size()));
    GdiFlush();
    const LONGLONG t5 = Now();
    SelectClipRgn(dc, nullptr);
    DeleteObject(r);
    const LONGLONG t6 = Now();
    // Ticks: short ones every level, long ones every ten levels, per strip;
    // the grid: the columns' lines, then the rows'.
    HBRUSH shortX = lineBrush(level, kShortTick, true), longX = lineBrush(kEvery * level, kLongTick, true);
    HBRUSH shortY = lineBrush(kShortTick, level, false), longY = lineBrush(kLongTick, kEvery * level, false);
    HBRUSH columns = lineBrush(level, 8, true), rows = lineBrush(8, level, false);
    auto fill = [&](HBRUSH b, int x, int y, int w, int h, int orgX, int orgY) {
      SetBrushOrgEx(dc, orgX, orgY, nullptr);
      HGDIOBJ was = SelectObject(dc, b);
      PatBlt(dc, x, y, w, h, kDPa);
      SelectObject(dc, was);
    };
    const int longX0 = g.destX + ((kEvery - g.srcX % kEvery) % kEvery) * level;
    const int longY0 = g.destY + ((kEvery - g.srcY % kEvery) % kEvery) * level;
    const int w = kRulerWidth;
    fill(shortX, w, 0, client.right - w, kShortTick, g.destX, 0);
    fill(longX, w, 0, client.right - w, kLongTick, longX0, 0);
    fill(shortY, 0, w, kShortTick, client.bottom - w, 0, g.destY);
    fill(longY, 0, w, kLongTick, client.bottom - w, 0, longY0);
    fill(columns, std::max(g.destX, w), w, (g.srcWidth - 1) * level + 1, client.bottom - w, g.destX, 0);
    fill(rows, w, std::max(g.destY, w), client.right - w, (g.srcHeight - 1) * level + 1, 0, g.destY);
    for (HBRUSH b : {shortX, longX, shortY, longY, columns, rows}) DeleteObject(b);
    GdiFlush();
    const LONGLONG t7 = Now();
    FillRect(dc, &client, ViewBackground());
    GdiFlush();
    const LONGLONG t11 = Now();
    for (const RECT& side : sides) FillRect(dc, &side, ViewBackground());
    GdiFlush();
    const LONGLONG t12 = Now();
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    base.Paint(window, nullptr, g, &p.lines);
    GdiFlush();
    const LONGLONG t8 = Now();
    DragCursor();
    const LONGLONG t9 = Now();
    DragCursor();
    const LONGLONG t10 = Now();
    if (i < n.warmup) continue;
    fillOnce.push_back(Ms(t11 - t7));
    fillSides.push_back(Ms(t12 - t11));
    cursorAfterPaint.push_back(Ms(t9 - t8));
    cursorClean.push_back(Ms(t10 - t9));
    tickSingle.push_back(Ms(t1 - t0));
    tickPoly.push_back(Ms(t2 - t1));
    clip.push_back(Ms(t3 - t2) + Ms(t6 - t5));
    gridSingle.push_back(Ms(t4 - t3));
    gridPoly.push_back(Ms(t5 - t4));
    patterned.push_back(Ms(t7 - t6));
  }
  std::printf("breakdown, client %ldx%ld, level %d (medians, ms):\n", client.right, client.bottom, level);
  std::printf("  ruler ticks: %zu lines, %zu GDI calls: %.3f; as one PolyPolyline: %.3f\n", ticks.size() / 2,
              ticks.size(), Median(tickSingle), Median(tickPoly));
  std::printf("  grid lines:  %zu lines, %zu GDI calls: %.3f; as one PolyPolyline: %.3f\n", lines.size() / 2,
              lines.size(), Median(gridSingle), Median(gridPoly));
  std::printf("  clip region made, selected, deselected, deleted: %.3f\n", Median(clip));
  std::printf("  ticks and grid as 6 pattern fills (6 brushes made and deleted): %.3f\n", Median(patterned));
  std::printf("  background around a level %d image: the view's 4 FillRects %.3f; one FillRect of the client %.3f\n",
              kMinZoomLevel, Median(fillSides), Median(fillOnce));
  std::printf("  drag cursor (LoadCursorA + SetCursor) after a repaint: %.3f; with no new pixels: %.3f\n",
              Median(cursorAfterPaint), Median(cursorClean));
  std::fflush(stdout);
}

}  // namespace refhost
