// The reference host's bench: a timing table of the plug-in against the GDI
// work its picture requires.
//
// Timing: every row is the median of its timed iterations after a warm-up,
// read with QueryPerformanceCounter. Plug-in and comparison paints take turns
// within each iteration so that all see the same machine load. The required
// work for a picture is what any magnifier has to do for it: get the window's
// DC, one SetDIBitsToDevice of the frame into a memory bitmap of the largest
// frame's size (frames only), one FillRect of the client area, the ruler's
// strips and ticks and its clip region, one StretchBlt of the same rectangles
// the view uses into the window, the grid's lines, release the DC. The
// rectangles come from the view's own geometry code, compiled into this
// program, the lines from the view's rules in view/ruler_grid.h.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "refhost/frames.h"
#include "refhost/host.h"
#include "refhost/measure.h"
#include "state/view_state.h"
#include "view/geometry.h"
#include "view/ruler_grid.h"
#include "view/zoom.h"

namespace refhost {
namespace {

constexpr int kLargestW = 3840;
constexpr int kLargestH = 2160;

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 != 0 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The rectangles the view draws for a centred view of a frame: the plug-in's
// own geometry code, run on this program's copy of the view state.
ViewGeometry GeometryFor(HWND window, int level, int frameW, int frameH, int centreX, int centreY) {
  viewState = ViewState{};
  viewState.zoomLevel = level;
  viewState.frameWidth = frameW;
  viewState.frameHeight = frameH;
  viewState.centreX = centreX;
  viewState.centreY = centreY;
  RECT client;
  GetClientRect(window, &client);
  return ComputeViewGeometry(client, nullptr);
}

// The ruler's ticks and the grid's lines of one picture where the view puts
// them, by its rules (view/ruler_grid.h): end points in pairs, each pair one
// MoveToEx and one LineTo (which leaves the second point unpainted).
struct Lines {
  bool ruler = false, grid = false;
  int gridPen = 0;
  std::vector<POINT> ticks, gridLines;
};

Lines LinesFor(const RECT& client, const ViewGeometry& g, int level, int rulerOn, int gridMode) {
  Lines l;
  l.ruler = rulerOn != 0 && level >= kMinLinedLevel;
  l.grid = gridMode > 0 && level >= kMinLinedLevel;
  l.gridPen = GridPen(gridMode);
  auto add = [](std::vector<POINT>* v, int x0, int y0, int x1, int y1) {
    v->push_back({x0, y0});
    v->push_back({x1, y1});
  };
  if (l.ruler) {
    for (int64_t i = 0; i <= g.srcWidth; ++i) {
      const int x = LinePosition(g.destX, i, level);
      if (x >= kRulerWidth) add(&l.ticks, x, 0, x, TickLength(g.srcX + i));
    }
    for (int64_t j = 0; j <= g.srcHeight; ++j) {
      const int y = LinePosition(g.destY, j, level);
      if (y >= kRulerWidth) add(&l.ticks, 0, y, TickLength(g.srcY + j), y);
    }
  }
  if (l.grid) {
    for (int64_t i = 0; i < g.srcWidth; ++i) {
      const int x = LinePosition(g.destX, i, level);
      add(&l.gridLines, x, 0, x, client.bottom);
    }
    for (int64_t j = 0; j < g.srcHeight; ++j) {
      const int y = LinePosition(g.destY, j, level);
      add(&l.gridLines, 0, y, client.right, y);
    }
  }
  return l;
}

// One MoveToEx and one LineTo per pair, with a stock pen.
void DrawPairs(HDC dc, const std::vector<POINT>& points, int stockPen) {
  HGDIOBJ old = SelectObject(dc, GetStockObject(stockPen));
  for (size_t k = 0; k + 1 < points.size(); k += 2) {
    MoveToEx(dc, points[k].x, points[k].y, nullptr);
    LineTo(dc, points[k + 1].x, points[k + 1].y);
  }
  SelectObject(dc, old);
}

// The displayed frame's bits where the host holds them, as the plug-in gets
// them: copying from the same memory, both find it equally warm in the caches.
const void* HostFrameBits() {
  FilterTable* table = PluginTable();
  return table->services->GetDisplayImage(HostEditHandle(), 0);
}

// The plain GDI work for one picture. Without lines, the baseline: the frame
// into a memory bitmap, the client area filled, the image stretched into the
// window. With lines, the work the view's picture requires: the same, then the
// ruler's strips and ticks, a clip region that keeps the image off the strips,
// and the grid's lines over the image.
struct Baseline {
  HDC memDc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;

  explicit Baseline(HWND window) {
    HDC dc = GetDC(window);
    memDc = CreateCompatibleDC(dc);
    bitmap = CreateCompatibleBitmap(dc, kLargestW, kLargestH);
    ReleaseDC(window, dc);
    old = SelectObject(memDc, bitmap);
  }
  ~Baseline() {
    SelectObject(memDc, old);
    DeleteObject(bitmap);
    DeleteDC(memDc);
  }
  void Paint(HWND window, const Frame* frame, const ViewGeometry& g, const Lines* lines = nullptr) const {
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
    StretchBlt(dc, g.destX, g.destY, g.destWidth, g.destHeight, memDc, g.srcX, g.srcY, g.srcWidth, g.srcHeight,
               SRCCOPY);
    if (lines != nullptr && lines->grid) DrawPairs(dc, lines->gridLines, lines->gridPen);
    ReleaseDC(window, dc);
    if (clip != nullptr) DeleteObject(clip);
  }
};

// The window's client-area pixels as they are now (0x00RRGGBB, top row first).
std::vector<uint32_t> ClientPixels(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = client.right;
  bmi.bmiHeader.biHeight = -client.bottom;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = GetDC(window);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP dib = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<uint32_t> pixels;
  if (dib != nullptr) {
    HGDIOBJ was = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    pixels.assign(p, p + static_cast<size_t>(client.right) * client.bottom);
    for (uint32_t& v : pixels) v &= 0xFFFFFF;
    SelectObject(mem, was);
    DeleteObject(dib);
  }
  DeleteDC(mem);
  ReleaseDC(window, dc);
  return pixels;
}

// Pixels in which the plug-in's picture (painted by paintPlugin) and the
// required GDI work's differ: the required work must draw the same picture.
template <typename PaintPlugin>
long PictureDifference(HWND window, PaintPlugin paintPlugin, const Baseline& base, const Frame* frame,
                       const ViewGeometry& g, const Lines& lines) {
  paintPlugin();
  const std::vector<uint32_t> plugin = ClientPixels(window);
  base.Paint(window, frame, g, &lines);
  const std::vector<uint32_t> required = ClientPixels(window);
  if (plugin.size() != required.size() || plugin.empty()) return -1;
  long differ = 0;
  for (size_t k = 0; k < plugin.size(); ++k) differ += plugin[k] != required[k];
  return differ;
}

// Wine keeps what GDI draws into a window in a surface of its own and sends it
// to the X server later, at the latest when the program next sets the cursor
// or looks at its messages. Setting the cursor to the one it is makes that
// happen now.
void PushPixels() { SetCursor(GetCursor()); }

// Times are medians; a ratio is the median of the iterations' own ratios, so
// that a burst of load on the machine, which slows the paints of one
// iteration together, does not shift it.
struct Row {
  std::string name;
  double plugin, required, baseline, floor;
  double ratio, lineLessRatio;
  long pixelsDiffering;  // -1: could not be read
  bool pictureCompared = true;
};

double Ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

void PrintHeader() {
  std::printf("| %-55s | %8s | %12s | %6s | %9s | %6s | %7s | %7s |\n", "case", "plug-in", "required GDI", "ratio",
              "line-less", "ratio", "memcpy", "picture");
  std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(57, '-').c_str(), std::string(10, '-').c_str(),
              std::string(14, '-').c_str(), std::string(8, '-').c_str(), std::string(11, '-').c_str(),
              std::string(8, '-').c_str(), std::string(9, '-').c_str(), std::string(9, '-').c_str());
}

void PrintRow(const Row& r) {
  char floor[32] = "-";  // drag steps copy no frame
  if (r.floor > 0) std::snprintf(floor, sizeof floor, "%.3f", r.floor);
  char picture[32] = "same";
  if (!r.pictureCompared) std::snprintf(picture, sizeof picture, "-");
  else if (r.pixelsDiffering != 0) std::snprintf(picture, sizeof picture, "%ld px", r.pixelsDiffering);
  std::printf("| %-55s | %8.3f | %12.3f | %6.2f | %9.3f | %6.2f | %7s | %7s |\n", r.name.c_str(), r.plugin,
              r.required, r.ratio, r.baseline, r.lineLessRatio, floor, picture);
  std::fflush(stdout);
}

// Windows keep a window within the screen's maximum tracking size; the bench
// lifts that limit on the plug-in's window (the message still reaches the
// plug-in first), so that a large client area fits whatever the screen.
WNDPROC hostWindowProc = nullptr;
LRESULT CALLBACK LargeWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcA(hostWindowProc, hwnd, msg, wParam, lParam);
  if (msg == WM_GETMINMAXINFO) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMaxTrackSize = {8000, 8000};
    info->ptMaxSize = {8000, 8000};
  }
  return result;
}

// The view settings of one bench case.
struct View {
  int level, grid;
  const char* what;
};
constexpr int kRulerOn = 1;

// Starts the plug-in afresh with the given view settings, its window shown at
// clientW by clientH and the video open.
bool StartWith(Driver& d, const View& v, int clientW, int clientH) {
  d.Stop();
  d.ClearSettings();
  d.SetSetting("nnn", v.level);
  d.SetSetting("ruler", kRulerOn);
  d.SetSetting("grid", v.grid);
  d.SetSetting("menu", 1);
  d.SetLargestFrame(kLargestW, kLargestH);
  std::string error;
  if (!d.Start(&error)) {
    std::printf("refhost: error: %s\n", error.c_str());
    return false;
  }
  hostWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(PluginWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LargeWindowProc)));
  d.ResizeClient(clientW, clientH);
  d.SetEditing(true);
  d.Notify(HostMsgFileOpen, 0, 0);
  d.SetShown(true);
  d.Notify(HostMsgWindowChange, 0, 0);
  return true;
}

// Shows frame and centres the view on its middle (a main-window press there).
void ShowCentred(Driver& d, const Frame& frame) {
  d.SetFrame(frame);
  d.DisplayFrame();
  d.Notify(HostMsgMainMouseDown, MK_LBUTTON, Point(frame.width / 2, frame.height / 2));
  d.Notify(HostMsgMainMouseUp, 0, Point(frame.width / 2, frame.height / 2));
}

struct Counts {
  int warmup, iterations;
};

// The picture of a centred view of frame: its rectangles and its lines.
struct Picture {
  ViewGeometry g;
  Lines lines;
};

Picture PictureFor(HWND window, const View& v, const Frame& frame) {
  Picture p;
  p.g = GeometryFor(window, v.level, frame.width, frame.height, frame.width / 2, frame.height / 2);
  RECT client;
  GetClientRect(window, &client);
  p.lines = LinesFor(client, p.g, v.level, kRulerOn, v.grid);
  return p;
}

// Times paintPlugin beside the required GDI work, the line-less baseline and
// (perFrame) a plain copy of the frame, taking turns, and checks that the
// required work draws the plug-in's picture. Without perFrame the frame is
// copied into the memory bitmap once, untimed, as the plug-in holds it.
template <typename PaintPlugin>
Row TimeBeside(const std::string& name, PaintPlugin paintPlugin, const Frame& shown, bool perFrame,
               const Picture& p, Counts n, const Baseline& base) {
  HWND window = PluginWindow();
  const Frame* frame = perFrame ? &shown : nullptr;
  base.Paint(window, &shown, p.g);
  std::vector<uint8_t> copy(shown.dib.size());
  std::vector<double> plugin, required, baseline, floor, ratio, lineLessRatio;
  // The three paints take turns at going first, so that none always follows
  // the frame copy, which leaves the caches cold. After each, untimed, the
  // window's new pixels go to the screen (PushPixels), so that no paint pays
  // for pushing another's.
  auto timed = [](auto&& work) {
    const LONGLONG t0 = Now();
    work();
    GdiFlush();
    const double ms = Ms(Now() - t0);
    PushPixels();
    return ms;
  };
  for (int i = 0; i < n.warmup + n.iterations; ++i) {
    double ms[3];
    for (int k = 0; k < 3; ++k) {
      const int which = (i + k) % 3;
      ms[which] = timed([&] {
        if (which == 0) paintPlugin(i);
        else base.Paint(window, frame, p.g, which == 1 ? &p.lines : nullptr);
      });
    }
    const LONGLONG t0 = Now();
    if (frame != nullptr) std::memcpy(copy.data(), HostFrameBits(), frame->dib.size());
    const double copied = Ms(Now() - t0);
    if (i < n.warmup) continue;
    plugin.push_back(ms[0]);
    required.push_back(ms[1]);
    baseline.push_back(ms[2]);
    floor.push_back(copied);
    ratio.push_back(Ratio(ms[0], ms[1]));
    lineLessRatio.push_back(Ratio(ms[0], ms[2]));
  }
  // The last plug-in iteration again (a drag step back where it was).
  const int last = n.warmup + n.iterations - 1;
  const long differ = PictureDifference(window, [&] { paintPlugin(last); }, base, frame, p.g, p.lines);
  return {name,          Median(plugin), Median(required), Median(baseline), perFrame ? Median(floor) : 0,
          Median(ratio), Median(lineLessRatio), differ};
}

Row TimeFrames(Driver& d, const View& v, const Frame& frame, Counts n, const Baseline& base) {
  FilterTable* table = PluginTable();
  ShowCentred(d, frame);
  const Picture p = PictureFor(PluginWindow(), v, frame);
  FrameProcInfo info = {};
  info.width = frame.width;
  info.height = frame.height;
  info.editHandle = HostEditHandle();
  char name[128];
  std::snprintf(name, sizeof name, "frame %dx%d, %s", frame.width, frame.height, v.what);
  return TimeBeside(name, [&](int) { table->filterProc(table, &info); }, frame, true, p, n, base);
}

// The required work timed against itself: how far apart two equal paints
// come out in this run.
Row TimeControl(Driver& d, const View& v, const Frame& frame, Counts n, const Baseline& base) {
  ShowCentred(d, frame);
  const Picture p = PictureFor(PluginWindow(), v, frame);
  char name[128];
  std::snprintf(name, sizeof name, "control: required against itself, frame %dx%d", frame.width, frame.height);
  Row row = TimeBeside(name, [&](int) { base.Paint(PluginWindow(), &frame, p.g, &p.lines); }, frame, true, p, n, base);
  row.pictureCompared = false;  // not the plug-in's picture
  return row;
}

Row TimeDrag(const View& v, const Frame& frame, Counts n, const Baseline& base) {
  HWND window = PluginWindow();
  RECT client;
  GetClientRect(window, &client);
  const int x = client.right / 2, y = client.bottom / 2;
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
  const Picture p = PictureFor(window, v, frame);
  // One pixel right, then back: the view stays where it is.
  auto step = [&](int i) { SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Point(x + (i % 2 == 0 ? 1 : 0), y)); };
  char name[128];
  std::snprintf(name, sizeof name, "drag step, client %ldx%ld, %s", client.right, client.bottom, v.what);
  const Row row = TimeBeside(name, step, frame, false, p, n, base);
  SendMessageA(window, WM_LBUTTONUP, 0, Point(x, y));
  return row;
}

// Where a drag step's time goes and what alternatives the plug-in does not use
// would cost (--breakdown), on the plug-in's window: the ruler's and the
// grid's lines drawn the way the view draws them (MoveToEx + LineTo per line),
// the same lines as one PolyPolyline each, the clip region alone, the same
// picture from pattern fills, and the drag cursor the plug-in sets after each
// repaint, which makes Wine push the new pixels to the X server there and then.
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
  const ViewGeometry small = GeometryFor(window, kMinZoomLevel, frame.width, frame.height, frame.width / 2,
                                         frame.height / 2);
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
    SetCursor(LoadCursorA(nullptr, IDC_SIZEALL));
    const LONGLONG t9 = Now();
    SetCursor(LoadCursorA(nullptr, IDC_SIZEALL));
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

}  // namespace

int RunBench(bool tiny, bool breakdown) {
  const std::unique_ptr<Driver> driver = NewHostDriver();
  Driver& d = *driver;
  const Counts n = tiny ? Counts{1, 3} : Counts{5, 51};
  std::vector<std::pair<int, int>> sizes = {{640, 360}, {1920, 1080}, {3840, 2160}};
  if (tiny) sizes = {{160, 90}};
  const View views[] = {{2, 1, "level 2, ruler, black grid"}, {24, 2, "level 24, ruler, white grid"},
                        {-9, 0, "level -9"}};
  std::printf("bench: %d warm-up + %d timed iterations per row, medians in ms; largest frame %dx%d\n", n.warmup,
              n.iterations, kLargestW, kLargestH);
  std::printf("bench: screen %dx%d, largest window %dx%d\n", GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
  std::printf("bench: ratio = plug-in / the GDI work its picture requires (ruler and grid lines included); "
              "line-less = without them\n");
  PrintHeader();
  std::vector<Row> rows;
  std::vector<Frame> frames;
  for (auto [w, h] : sizes) frames.push_back(CoordFrame(w, h));
  for (const View& v : views) {
    if (!StartWith(d, v, 288, 288)) return 1;
    const Baseline base(PluginWindow());
    for (const Frame& frame : frames) {
      rows.push_back(TimeFrames(d, v, frame, n, base));
      PrintRow(rows.back());
    }
    if (&v == &views[0]) PrintRow(TimeControl(d, v, frames[0], n, base));
  }
  // Drags: level 2, ruler and black grid, on a 1920 by 1080 frame.
  const View drag = views[0];
  const Frame dragFrame = tiny ? frames[0] : frames[1];
  const std::pair<int, int> clients[] = {{288, 288}, tiny ? std::pair{320, 180} : std::pair{1920, 1080}};
  for (auto [cw, ch] : clients) {
    if (!StartWith(d, drag, cw, ch)) return 1;
    ShowCentred(d, dragFrame);
    const Baseline base(PluginWindow());
    rows.push_back(TimeDrag(drag, dragFrame, n, base));
    PrintRow(rows.back());
    if (breakdown) Breakdown(drag, dragFrame, n, base);
  }
  d.Stop();
  int failures = 0;
  for (const std::string& fault : d.TakeFaults()) {
    std::printf("FAIL host fault: %s\n", fault.c_str());
    ++failures;
  }
  for (const Row& r : rows) {
    if (r.pixelsDiffering == 0) continue;
    std::printf("FAIL bench: the required GDI work does not draw the plug-in's picture (%s)\n", r.name.c_str());
    ++failures;
  }
  const Row* worst = &rows.front();
  for (const Row& r : rows)
    if (r.ratio > worst->ratio) worst = &r;
  std::printf("bench: done\n");
  std::printf("bench: worst ratio against the required GDI work %.2f (%s)\n", worst->ratio, worst->name.c_str());
  std::fflush(stdout);
  return failures == 0 ? 0 : 1;
}

}  // namespace refhost
