// What the breakdown times on the plug-in's window: the ruler's and the grid's
// lines drawn the way the view draws them (MoveToEx + LineTo per line), the
// same lines as one PolyPolyline each, the clip region alone, the same picture
// from pattern fills, and the drag cursor the plug-in sets after each repaint,
// which makes Wine push the new pixels to the X server there and then.
#include "refhost/measure/bench_breakdown.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "refhost/host/clock.h"
#include "refhost/host/plugin.h"
#include "view/ruler_grid.h"
#include "view/zoom.h"

namespace refhost {
namespace {

// A brush whose bitmap holds one line per period, the line's pixels black.
HBRUSH LineBrush(int w, int h, bool vertical) {
  std::vector<uint32_t> bits(static_cast<size_t>(w) * h, 0xFFFFFF);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (vertical ? x == 0 : y == 0) bits[static_cast<size_t>(y) * w + x] = 0;
  HBITMAP b = CreateBitmap(w, h, 1, 32, bits.data());
  HBRUSH brush = CreatePatternBrush(b);
  DeleteObject(b);
  return brush;
}

// The view's ticks and grid from pattern fills: line brushes laid over the
// areas under a raster operation that blackens only the line pixels (DPa). A
// cost estimate: the pixels are not compared.
void PatternFills(HDC dc, const ViewGeometry& g, const RECT& client, int level) {
  constexpr DWORD kDPa = 0x00A000C9;
  constexpr int kEvery = kLongTickEvery;
  // Ticks: short ones every level, long ones every ten levels, per strip;
  // the grid: the columns' lines, then the rows'.
  HBRUSH shortX = LineBrush(level, kShortTick, true), longX = LineBrush(kEvery * level, kLongTick, true);
  HBRUSH shortY = LineBrush(kShortTick, level, false), longY = LineBrush(kLongTick, kEvery * level, false);
  HBRUSH columns = LineBrush(level, 8, true), rows = LineBrush(8, level, false);
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
}

// One timed part of a round. Laps of one name add up to one figure a round.
struct Lap {
  const char* name;
  std::function<void()> work;
};

}  // namespace

void Breakdown(const View& v, const Frame& frame, Counts n, const Baseline& base) {
  HWND window = PluginWindow();
  RECT client;
  GetClientRect(window, &client);
  const Picture p = PictureFor(window, v, frame);
  const ViewGeometry& g = p.g;
  const std::vector<POINT>& ticks = p.lines.ticks;
  const std::vector<POINT>& lines = p.lines.gridLines;
  std::vector<DWORD> tickCounts(ticks.size() / 2, 2), lineCounts(lines.size() / 2, 2);
  // Around a reduced image (level -9) the view fills the four sides where the
  // baseline fills the client once.
  const ViewGeometry small =
      GeometryFor(window, kMinZoomLevel, frame.width, frame.height, frame.width / 2, frame.height / 2);
  const RECT sides[] = {{0, 0, small.destX, client.bottom},
                        {0, 0, client.right, small.destY},
                        {small.destRight, 0, client.right, client.bottom},
                        {0, small.destBottom, client.right, client.bottom}};
  HDC dc = nullptr;
  HGDIOBJ old = nullptr;
  HRGN clip = nullptr;
  // A round in order. The laps that draw end with GdiFlush, so each is timed
  // with its own drawing. Taking the DC and the repaint are timed but not
  // reported: the repaint gives the first drag cursor new pixels to push.
  // clang-format off
  const Lap laps[] = {
      {"window DC", [&] { dc = GetDC(window); old = SelectObject(dc, GetStockObject(kTickPen)); }},
      {"ticks one by one", [&] { DrawPairs(dc, ticks, kTickPen); GdiFlush(); }},
      {"ticks as one PolyPolyline", [&] {
         PolyPolyline(dc, ticks.data(), tickCounts.data(), static_cast<DWORD>(tickCounts.size())); GdiFlush(); }},
      {"clip region", [&] {
         clip = CreateRectRgn(kRulerWidth, kRulerWidth, client.right, client.bottom); SelectClipRgn(dc, clip); }},
      {"grid one by one", [&] { DrawPairs(dc, lines, p.lines.gridPen); GdiFlush(); }},
      {"grid as one PolyPolyline", [&] {
         SelectObject(dc, GetStockObject(p.lines.gridPen));
         PolyPolyline(dc, lines.data(), lineCounts.data(), static_cast<DWORD>(lineCounts.size())); GdiFlush(); }},
      {"clip region", [&] { SelectClipRgn(dc, nullptr); DeleteObject(clip); }},
      {"pattern fills", [&] { PatternFills(dc, g, client, v.level); GdiFlush(); }},
      {"one FillRect of the client", [&] { FillRect(dc, &client, ViewBackground()); GdiFlush(); }},
      {"the view's 4 FillRects", [&] {
         for (const RECT& side : sides) FillRect(dc, &side, ViewBackground());
         GdiFlush(); }},
      {"repaint", [&] {
         SelectObject(dc, old); ReleaseDC(window, dc);
         base.Paint(window, nullptr, g, &p.lines); GdiFlush(); }},
      {"cursor after a repaint", DragCursor},
      {"cursor with no new pixels", DragCursor},
  };
  // clang-format on
  std::map<std::string_view, std::vector<double>> times;
  for (int i = 0; i < n.warmup + n.iterations; ++i) {
    std::map<std::string_view, double> round;
    for (const Lap& lap : laps) {
      const LONGLONG t0 = Now();
      lap.work();
      round[lap.name] += Ms(Now() - t0);
    }
    if (i < n.warmup) continue;
    for (const auto& [name, ms] : round) times[name].push_back(ms);
  }
  auto median = [&](const char* name) { return Median(times.at(name)); };
  std::printf("breakdown, client %ldx%ld, level %d (medians, ms):\n", client.right, client.bottom, v.level);
  std::printf("  ruler ticks: %zu lines, %zu GDI calls: %.3f; as one PolyPolyline: %.3f\n", ticks.size() / 2,
              ticks.size(), median("ticks one by one"), median("ticks as one PolyPolyline"));
  std::printf("  grid lines:  %zu lines, %zu GDI calls: %.3f; as one PolyPolyline: %.3f\n", lines.size() / 2,
              lines.size(), median("grid one by one"), median("grid as one PolyPolyline"));
  std::printf("  clip region made, selected, deselected, deleted: %.3f\n", median("clip region"));
  std::printf("  ticks and grid as 6 pattern fills (6 brushes made and deleted): %.3f\n", median("pattern fills"));
  std::printf("  background around a level %d image: the view's 4 FillRects %.3f; one FillRect of the client %.3f\n",
              kMinZoomLevel, median("the view's 4 FillRects"), median("one FillRect of the client"));
  std::printf("  drag cursor (LoadCursorA + SetCursor) after a repaint: %.3f; with no new pixels: %.3f\n",
              median("cursor after a repaint"), median("cursor with no new pixels"));
  std::fflush(stdout);
}

}  // namespace refhost
