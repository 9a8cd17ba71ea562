// The reference host's bench: a timing table of the plug-in against the work
// its design requires.
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
// program, the lines from the view's rules in view/ruler_grid.h. A drag step
// also requires the drag cursor, which the window sets on every move
// (DragCursor); the picture column times the picture alone, so that the
// cursor's cost stays visible.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "refhost/bench.h"
#include "refhost/host.h"
#include "refhost/measure.h"
#include "state/view_state.h"
#include "view/ruler_grid.h"

namespace refhost {
namespace {

constexpr int kLargestW = 3840;
constexpr int kLargestH = 2160;
constexpr int kRulerOn = 1;

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

// The displayed frame's bits where the host holds them, as the plug-in gets
// them: copying from the same memory, both find it equally warm in the caches.
const void* HostFrameBits() {
  FilterTable* table = PluginTable();
  return table->services->GetDisplayImage(HostEditHandle(), 0);
}

}  // namespace

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 != 0 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

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

namespace {

// Pixels in which the plug-in's picture (painted by paintPlugin) and the
// required GDI work's differ: the required work must draw the same picture.
template <typename PaintPlugin>
long PictureDifference(HWND window, PaintPlugin paintPlugin, const Baseline& base, const Frame* frame,
                       const ViewGeometry& g, const Lines& lines) {
  Pixels plugin, required;
  paintPlugin();
  if (!CaptureWindowPixels(window, false, &plugin)) return -1;
  base.Paint(window, frame, g, &lines);
  if (!CaptureWindowPixels(window, false, &required) || plugin.rgb.size() != required.rgb.size()) return -1;
  long differ = 0;
  for (size_t k = 0; k < plugin.rgb.size(); ++k) differ += plugin.rgb[k] != required.rgb[k];
  return differ;
}

// Wine keeps what GDI draws into a window in a surface of its own and sends it
// to the X server later, at the latest when the program next sets the cursor
// or looks at its messages. Setting the cursor to the one it is makes that
// happen now.
void PushPixels() { SetCursor(GetCursor()); }

// Times are medians; a ratio is the median of the iterations' own ratios, so
// that a burst of load on the machine, which slows the paints of one
// iteration together, does not shift it. On frame rows the required work is
// the picture's, so picture equals required.
struct Row {
  std::string name;
  double plugin, required, picture, baseline, floor;
  double ratio, pictureRatio, lineLessRatio;
  long pixelsDiffering;  // -1: could not be read
  bool pictureCompared = true;
};

double Ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

void PrintHeader() {
  std::printf("| %-55s | %8s | %8s | %6s | %8s | %6s | %9s | %6s | %7s | %7s |\n", "case", "plug-in", "required",
              "ratio", "picture", "ratio", "line-less", "ratio", "memcpy", "pixels");
  const int widths[] = {57, 10, 10, 8, 10, 8, 11, 8, 9, 9};
  for (int w : widths) std::printf("|%s", std::string(static_cast<size_t>(w), '-').c_str());
  std::printf("|\n");
}

void PrintRow(const Row& r) {
  char floor[32] = "-";  // drag steps copy no frame
  if (r.floor > 0) std::snprintf(floor, sizeof floor, "%.3f", r.floor);
  char same[32] = "same";
  if (!r.pictureCompared) std::snprintf(same, sizeof same, "-");
  else if (r.pixelsDiffering != 0) std::snprintf(same, sizeof same, "%ld px", r.pixelsDiffering);
  std::printf("| %-55s | %8.3f | %8.3f | %6.2f | %8.3f | %6.2f | %9.3f | %6.2f | %7s | %7s |\n", r.name.c_str(),
              r.plugin, r.required, r.ratio, r.picture, r.pictureRatio, r.baseline, r.lineLessRatio, floor, same);
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

// What a row times the plug-in against: per frame or per drag step.
enum class Step { Frame, Drag };

// Times paintPlugin beside the required work, the picture alone (drag steps),
// the line-less baseline and (frame steps) a plain copy of the frame, taking
// turns, and checks that the required work draws the plug-in's picture. On a
// drag step the frame is copied into the memory bitmap once, untimed, as the
// plug-in holds it, and the required work ends with the drag cursor.
template <typename PaintPlugin>
Row TimeBeside(const std::string& name, PaintPlugin paintPlugin, const Frame& shown, Step step, const Picture& p,
               Counts n, const Baseline& base) {
  HWND window = PluginWindow();
  const bool perFrame = step == Step::Frame;
  const Frame* frame = perFrame ? &shown : nullptr;
  base.Paint(window, &shown, p.g);
  std::vector<uint8_t> copy(shown.dib.size());
  std::vector<double> plugin, required, picture, baseline, floor, ratio, pictureRatio, lineLessRatio;
  // 0 the plug-in, 1 the required work, 2 the line-less baseline, 3 on drag
  // steps the picture alone.
  const int works = perFrame ? 3 : 4;
  auto work = [&](int which, int i) {
    switch (which) {
      case 0: paintPlugin(i); break;
      case 1:
        base.Paint(window, frame, p.g, &p.lines);
        if (!perFrame) DragCursor();
        break;
      case 2: base.Paint(window, frame, p.g, nullptr); break;
      default: base.Paint(window, frame, p.g, &p.lines); break;
    }
  };
  // The paints take turns at going first, so that none always follows the
  // frame copy, which leaves the caches cold. After each, untimed, the
  // window's new pixels go to the screen (PushPixels), so that no paint pays
  // for pushing another's.
  auto timed = [](auto&& paint) {
    const LONGLONG t0 = Now();
    paint();
    GdiFlush();
    const double ms = Ms(Now() - t0);
    PushPixels();
    return ms;
  };
  for (int i = 0; i < n.warmup + n.iterations; ++i) {
    double ms[4];
    for (int k = 0; k < works; ++k) {
      const int which = (i + k) % works;
      ms[which] = timed([&] { work(which, i); });
    }
    if (perFrame) ms[3] = ms[1];
    const LONGLONG t0 = Now();
    if (frame != nullptr) std::memcpy(copy.data(), HostFrameBits(), frame->dib.size());
    const double copied = Ms(Now() - t0);
    if (i < n.warmup) continue;
    plugin.push_back(ms[0]);
    required.push_back(ms[1]);
    baseline.push_back(ms[2]);
    picture.push_back(ms[3]);
    floor.push_back(copied);
    ratio.push_back(Ratio(ms[0], ms[1]));
    pictureRatio.push_back(Ratio(ms[0], ms[3]));
    lineLessRatio.push_back(Ratio(ms[0], ms[2]));
  }
  // The last plug-in iteration again (a drag step back where it was).
  const int last = n.warmup + n.iterations - 1;
  const long differ = PictureDifference(
      window, [&] { paintPlugin(last); }, base, frame, p.g, p.lines);
  return {name,
          Median(plugin),
          Median(required),
          Median(picture),
          Median(baseline),
          perFrame ? Median(floor) : 0,
          Median(ratio),
          Median(pictureRatio),
          Median(lineLessRatio),
          differ};
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
  return TimeBeside(
      name, [&](int) { table->filterProc(table, &info); }, frame, Step::Frame, p, n, base);
}

// The required work timed against itself: how far apart two equal paints
// come out in this run.
Row TimeControl(Driver& d, const View& v, const Frame& frame, Counts n, const Baseline& base) {
  ShowCentred(d, frame);
  const Picture p = PictureFor(PluginWindow(), v, frame);
  char name[128];
  std::snprintf(name, sizeof name, "control: required against itself, frame %dx%d", frame.width, frame.height);
  Row row = TimeBeside(
      name, [&](int) { base.Paint(PluginWindow(), &frame, p.g, &p.lines); }, frame, Step::Frame, p, n, base);
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
  Row row = TimeBeside(name, step, frame, Step::Drag, p, n, base);
  SendMessageA(window, WM_LBUTTONUP, 0, Point(x, y));
  return row;
}

}  // namespace

int RunBench(bool tiny, bool breakdown) {
  const std::unique_ptr<Driver> driver = NewHostDriver();
  Driver& d = *driver;
  const Counts n = tiny ? Counts{1, 3} : Counts{5, 51};
  std::vector<std::pair<int, int>> sizes = {{640, 360}, {1920, 1080}, {3840, 2160}};
  if (tiny) sizes = {{160, 90}};
  const View views[] = {
      {2, 1, "level 2, ruler, black grid"}, {24, 2, "level 24, ruler, white grid"}, {-9, 0, "level -9"}};
  std::printf("bench: %d warm-up + %d timed iterations per row, medians in ms; largest frame %dx%d\n", n.warmup,
              n.iterations, kLargestW, kLargestH);
  std::printf("bench: screen %dx%d, largest window %dx%d\n", GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
  std::printf(
      "bench: ratio = plug-in / the work its design requires: the GDI work of its picture (ruler and grid lines "
      "included) and, on a drag step, the drag cursor set on every move; picture = that GDI work alone; "
      "line-less = without ruler and grid\n");
  PrintHeader();
  std::vector<Row> rows;
  std::vector<Frame> frames;
  frames.reserve(sizes.size());
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
  const Row* worstPicture = &rows.front();
  for (const Row& r : rows) {
    if (r.ratio > worst->ratio) worst = &r;
    if (r.pictureRatio > worstPicture->pictureRatio) worstPicture = &r;
  }
  std::printf("bench: done\n");
  std::printf("bench: worst ratio against the required work %.2f (%s)\n", worst->ratio, worst->name.c_str());
  std::printf("bench: worst ratio against the picture alone %.2f (%s)\n", worstPicture->pictureRatio,
              worstPicture->name.c_str());
  std::fflush(stdout);
  return failures == 0 ? 0 : 1;
}

}  // namespace refhost
