#include "view/paint.h"

#include "host/services.h"
#include "state/view_state.h"
#include "view/ruler_grid.h"
#include "view/zoom.h"

namespace {

void Fill(HDC dc, LONG left, LONG top, LONG right, LONG bottom, HBRUSH brush) {
  const RECT r = {left, top, right, bottom};
  FillRect(dc, &r, brush);
}

// Selects a stock pen and returns the one it replaced (null when none was selected).
HGDIOBJ SelectPen(HDC dc, int stockPen) {
  HGDIOBJ pen = GetStockObject(stockPen);
  return pen != nullptr ? SelectObject(dc, pen) : nullptr;
}

void RestorePen(HDC dc, HGDIOBJ previous) {
  if (previous != nullptr) SelectObject(dc, previous);
}

void PaintEmpty(HWND window) {
  HDC dc = GetDC(window);
  if (dc == nullptr) return;
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  FillRect(dc, &client, ViewBackground());
  ReleaseDC(window, dc);
}

void DrawLine(int x0, int y0, int x1, int y1, void* dc) {
  MoveToEx(static_cast<HDC>(dc), x0, y0, nullptr);
  LineTo(static_cast<HDC>(dc), x1, y1);
}

// White strips along the top and left edge, and the ticks.
void DrawRuler(HDC dc, const RECT& client, const ViewGeometry& g, int level) {
  HGDIOBJ previous = SelectPen(dc, kTickPen);
  const HBRUSH white = static_cast<HBRUSH>(GetStockObject(kRulerBrush));
  if (white != nullptr) {
    Fill(dc, client.left, client.top, client.right, client.top + kRulerWidth, white);
    Fill(dc, client.left, client.top, client.left + kRulerWidth, client.bottom, white);
  }
  RulerTicks(g, level, DrawLine, dc);
  RestorePen(dc, previous);
}

// Background around the image, each side only where the image leaves a gap.
void FillBackground(HDC dc, const RECT& client, const ViewGeometry& g) {
  if (g.destX > client.left) Fill(dc, client.left, client.top, g.destX, client.bottom, ViewBackground());
  if (g.destY > client.top) Fill(dc, client.left, client.top, client.right, g.destY, ViewBackground());
  if (g.destRight < client.right) Fill(dc, g.destRight, client.top, client.right, client.bottom, ViewBackground());
  if (g.destBottom < client.bottom) Fill(dc, client.left, g.destBottom, client.right, client.bottom, ViewBackground());
}

void DrawGrid(HDC dc, const RECT& client, const ViewGeometry& g, int level, int gridMode) {
  HGDIOBJ previous = SelectPen(dc, GridPen(gridMode));
  GridLines(client, g, level, DrawLine, dc);
  RestorePen(dc, previous);
}

}  // namespace

void PaintView(FilterTable* table, void* editHandle, const FramePoint* anchor) {
  const BOOL editing = HostIsEditing(table, editHandle);
  HWND window = table->window;
  // GetDC(nullptr) is the whole screen's DC: never paint without our window.
  if (window == nullptr) return;
  if (viewState.snapshotDc == nullptr || editing == 0) {
    PaintEmpty(window);
    return;
  }

  HDC dc = GetDC(window);
  // Out of DCs: nothing can be drawn, and the view stays where it is.
  if (dc == nullptr) return;
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  const ViewGeometry g = ComputeViewGeometry(client, anchor);
  // The geometry takes an out-of-range level as the nearest one; so does the drawing.
  const int level = ClampZoomLevel(viewState.zoomLevel);
  const bool ruler = RulerShown(viewState.rulerOn, level);

  HRGN clip = nullptr;
  if (ruler) {
    DrawRuler(dc, client, g, level);
    // Nothing drawn from here on may cover the strips.
    clip = CreateRectRgn(client.left + kRulerWidth, client.top + kRulerWidth, client.right, client.bottom);
    if (clip != nullptr) SelectClipRgn(dc, clip);
  }
  FillBackground(dc, client, g);
  if (g.srcWidth > 0 && g.srcHeight > 0) {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, g.destX, g.destY, g.destWidth, g.destHeight, viewState.snapshotDc, g.srcX, g.srcY, g.srcWidth,
               g.srcHeight, SRCCOPY);
  }
  if (GridShown(viewState.gridMode, level)) DrawGrid(dc, client, g, level, viewState.gridMode);
  ReleaseDC(window, dc);
  // The DC kept its own copy of the region; ours goes once the DC is back.
  if (clip != nullptr) DeleteObject(clip);
}
