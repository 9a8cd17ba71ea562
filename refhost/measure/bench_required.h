// The work the view's picture requires, as the bench times it beside the
// plug-in (bench_required.cpp says what it is): a case's view settings, the
// picture of a centred view, its lines, and the plain GDI work that draws it.
#pragma once

#include <windows.h>

#include <vector>

#include "refhost/scenario/frames.h"
#include "view/geometry.h"

namespace refhost {

// The largest frame: the host's, and the size of the required work's memory bitmap.
constexpr int kLargestW = 3840;
constexpr int kLargestH = 2160;
// Every case shows the ruler.
constexpr int kRulerOn = 1;

// The view settings of one bench case.
struct View {
  int level, grid;
  const char* what;
};

// The ruler's ticks and the grid's lines of one picture where the view puts
// them, by its rules (view/ruler_grid.h): end points in pairs, each pair one
// MoveToEx and one LineTo (which leaves the second point unpainted).
struct Lines {
  bool ruler = false, grid = false;
  int gridPen = 0;
  std::vector<POINT> ticks, gridLines;
};

// The picture of a centred view of frame: its rectangles and its lines.
struct Picture {
  ViewGeometry g;
  Lines lines;
};

// The plain GDI work for one picture. Without lines, the baseline: the frame
// into a memory bitmap, the client area filled, the image stretched into the
// window. With lines, the work the view's picture requires: the same, then the
// ruler's strips and ticks, a clip region that keeps the image off the strips,
// and the grid's lines over the image.
struct Baseline {
  HDC memDc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;

  explicit Baseline(HWND window);
  ~Baseline();
  Baseline(const Baseline&) = delete;
  Baseline& operator=(const Baseline&) = delete;
  void Paint(HWND window, const Frame* frame, const ViewGeometry& g, const Lines* lines = nullptr) const;
};

// The displayed frame's bits where the host holds them, as the plug-in gets
// them: copying from the same memory, both find it equally warm in the caches.
const void* HostFrameBits();

// The rectangles the view draws for a centred view of a frame: the plug-in's
// own geometry code, run on this program's copy of the view state.
ViewGeometry GeometryFor(HWND window, int level, int frameW, int frameH, int centreX, int centreY);

// The cursor call the plug-in's window makes on every move of a drag, after
// its repaint; under Wine it also pushes the window's new pixels to the X server.
inline void DragCursor() { SetCursor(LoadCursorA(nullptr, IDC_SIZEALL)); }

// One MoveToEx and one LineTo per pair, with a stock pen.
void DrawPairs(HDC dc, const std::vector<POINT>& points, int stockPen);

Picture PictureFor(HWND window, const View& v, const Frame& frame);

}  // namespace refhost
