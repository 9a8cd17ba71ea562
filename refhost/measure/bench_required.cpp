// The work the view's picture requires, as the bench times it beside the
// plug-in: what any magnifier has to do for the picture. Get the window's DC,
// one SetDIBitsToDevice of the frame into a memory bitmap of the largest
// frame's size (frames only), one FillRect of the client area, the ruler's
// strips and ticks and its clip region, one StretchBlt of the same rectangles
// the view uses into the window, the grid's lines, release the DC. The
// rectangles come from the view's own geometry code, compiled into this
// program, the lines from the view's own rules in view/ruler_grid.h, so a
// change to a rule changes the work measured with it.
#include "refhost/measure/bench_required.h"

#include <windows.h>

#include <vector>

#include "host/filter_table.h"
#include "refhost/host/plugin.h"
#include "refhost/host/services.h"
#include "state/view_state.h"
#include "view/ruler_grid.h"

namespace refhost {
namespace {

void AddLine(int x0, int y0, int x1, int y1, void* points) {
  auto* v = static_cast<std::vector<POINT>*>(points);
  v->push_back({x0, y0});
  v->push_back({x1, y1});
}

Lines LinesFor(const RECT& client, const ViewGeometry& g, int level, int rulerOn, int gridMode) {
  Lines l;
  l.ruler = RulerShown(rulerOn, level);
  l.grid = GridShown(gridMode, level);
  l.gridPen = GridPen(gridMode);
  if (l.ruler) RulerTicks(g, level, AddLine, &l.ticks);
  if (l.grid) GridLines(client, g, level, AddLine, &l.gridLines);
  return l;
}

}  // namespace

const void* HostFrameBits() {
  FilterTable* table = PluginTable();
  return table->services->GetDisplayImage(HostEditHandle(), 0);
}

ViewGeometry GeometryFor(HWND window, int level, int frameW, int frameH, int centreX, int centreY) {
  viewState = {.zoomLevel = level, .centreX = centreX, .centreY = centreY, .frameWidth = frameW, .frameHeight = frameH};
  RECT client;
  GetClientRect(window, &client);
  return ComputeViewGeometry(client, nullptr);
}

Picture PictureFor(HWND window, const View& v, const Frame& frame) {
  Picture p;
  p.g = GeometryFor(window, v.level, frame.width, frame.height, frame.width / 2, frame.height / 2);
  RECT client;
  GetClientRect(window, &client);
  p.lines = LinesFor(client, p.g, v.level, kRulerOn, v.grid);
  return p;
}

void DrawPairs(HDC dc, const std::vector<POINT>& points, int stockPen) {
  HGDIOBJ old = SelectObject(dc, GetStockObject(stockPen));
  for (size_t k = 0; k + 1 < points.size(); k += 2) {
    MoveToEx(dc, points[k].x, points[k].y, nullptr);
    LineTo(dc, points[k + 1].x, points[k + 1].y);
  }
  SelectObject(dc, old);
}

Baseline::Baseline(HWND window) {
  HDC dc = GetDC(window);
  memDc = CreateCompatibleDC(dc);
  bitmap = CreateCompatibleBitmap(dc, kLargestW, kLargestH);
  ReleaseDC(window, dc);
  old = SelectObject(memDc, bitmap);
}

Baseline::~Baseline() {
  SelectObject(memDc, old);
  DeleteObject(bitmap);
  DeleteDC(memDc);
}

void Baseline::Paint(HWND window, const Frame* frame, const ViewGeometry& g, const Lines* lines) const {
  if (frame != nullptr) {
    const BITMAPINFO bmi = FrameImageHeader(frame->width, frame->height);
    SetDIBitsToDevice(memDc, 0, 0, frame->width, frame->height, 0, 0, 0, frame->height, HostFrameBits(), &bmi,
                      DIB_RGB_COLORS);
  }
  HDC dc = GetDC(window);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, ViewBackground());
  HRGN clip = nullptr;
  if (lines != nullptr && lines->ruler) {
    const HBRUSH strip = static_cast<HBRUSH>(GetStockObject(kRulerBrush));
    const RECT top = {0, 0, client.right, kRulerWidth}, left = {0, 0, kRulerWidth, client.bottom};
    FillRect(dc, &top, strip);
    FillRect(dc, &left, strip);
    DrawPairs(dc, lines->ticks, kTickPen);
    clip = CreateRectRgn(kRulerWidth, kRulerWidth, client.right, client.bottom);
    SelectClipRgn(dc, clip);
  }
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, g.destX, g.destY, g.destWidth, g.destHeight, memDc, g.srcX, g.srcY, g.srcWidth, g.srcHeight, SRCCOPY);
  if (lines != nullptr && lines->grid) DrawPairs(dc, lines->gridLines, lines->gridPen);
  ReleaseDC(window, dc);
  if (clip != nullptr) DeleteObject(clip);
}

}  // namespace refhost
