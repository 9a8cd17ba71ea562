// The reference host's bench: a timing table of the plug-in against the plain
// GDI work the same picture needs.
//
// Timing: every row is the median of its timed iterations after a warm-up,
// read with QueryPerformanceCounter. Plug-in and baseline iterations alternate
// so that both see the same machine load. The baseline for a picture is what
// any magnifier has to do for it: get the window's DC, one SetDIBitsToDevice of
// the frame into a memory bitmap of the largest frame's size (frames only),
// one FillRect of the client area, one StretchBlt of the same rectangles the
// view uses into the window, release the DC. The rectangles come from the
// view's own geometry code, compiled into this program.
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

// The plain GDI work for one picture.
struct Baseline {
  HDC memDc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  HBRUSH brush = nullptr;

  explicit Baseline(HWND window) {
    HDC dc = GetDC(window);
    memDc = CreateCompatibleDC(dc);
    bitmap = CreateCompatibleBitmap(dc, kLargestW, kLargestH);
    ReleaseDC(window, dc);
    old = SelectObject(memDc, bitmap);
    brush = CreateSolidBrush(RGB(180, 180, 180));
  }
  ~Baseline() {
    SelectObject(memDc, old);
    DeleteObject(bitmap);
    DeleteDC(memDc);
    DeleteObject(brush);
  }
  void Paint(HWND window, const Frame* frame, const ViewGeometry& g) const {
    if (frame != nullptr) {
      const BITMAPINFO bmi = FrameImageHeader(frame->width, frame->height);
      SetDIBitsToDevice(memDc, 0, 0, frame->width, frame->height, 0, 0, 0, frame->height, frame->dib.data(), &bmi,
                        DIB_RGB_COLORS);
    }
    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, g.destX, g.destY, g.destWidth, g.destHeight, memDc, g.srcX, g.srcY, g.srcWidth, g.srcHeight,
               SRCCOPY);
    ReleaseDC(window, dc);
  }
};

struct Row {
  std::string name;
  double plugin, baseline, floor;
};

void PrintRow(const Row& r) {
  char floor[32] = "-";  // drag steps copy no frame
  if (r.floor > 0) std::snprintf(floor, sizeof floor, "%.3f", r.floor);
  std::printf("| %-54s | %10.3f | %10.3f | %6.2f | %9s |\n", r.name.c_str(), r.plugin, r.baseline,
              r.baseline > 0 ? r.plugin / r.baseline : 0.0, floor);
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
bool StartWith(Driver& d, int level, int grid, int clientW, int clientH) {
  d.Stop();
  d.ClearSettings();
  d.SetSetting("nnn", level);
  d.SetSetting("ruler", 1);
  d.SetSetting("grid", grid);
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

Row TimeFrames(Driver& d, const char* what, const Frame& frame, int level, Counts n, const Baseline& base) {
  FilterTable* table = PluginTable();
  HWND window = PluginWindow();
  ShowCentred(d, frame);
  const ViewGeometry g = GeometryFor(window, level, frame.width, frame.height, frame.width / 2, frame.height / 2);
  FrameProcInfo info = {};
  info.width = frame.width;
  info.height = frame.height;
  info.editHandle = HostEditHandle();
  std::vector<uint8_t> copy(frame.dib.size());
  std::vector<double> plugin, baseline, floor;
  for (int i = 0; i < n.warmup + n.iterations; ++i) {
    const LONGLONG t0 = Now();
    table->filterProc(table, &info);
    GdiFlush();
    const LONGLONG t1 = Now();
    base.Paint(window, &frame, g);
    GdiFlush();
    const LONGLONG t2 = Now();
    std::memcpy(copy.data(), frame.dib.data(), frame.dib.size());
    const LONGLONG t3 = Now();
    if (i < n.warmup) continue;
    plugin.push_back(Ms(t1 - t0));
    baseline.push_back(Ms(t2 - t1));
    floor.push_back(Ms(t3 - t2));
  }
  char name[128];
  std::snprintf(name, sizeof name, "frame %dx%d, %s", frame.width, frame.height, what);
  return {name, Median(plugin), Median(baseline), Median(floor)};
}

Row TimeDrag(const char* what, const Frame& frame, int level, Counts n, const Baseline& base) {
  HWND window = PluginWindow();
  RECT client;
  GetClientRect(window, &client);
  const int x = client.right / 2, y = client.bottom / 2;
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
  const ViewGeometry g = GeometryFor(window, level, frame.width, frame.height, frame.width / 2, frame.height / 2);
  std::vector<double> plugin, baseline;
  for (int i = 0; i < n.warmup + n.iterations; ++i) {
    // One pixel right, then back: the view stays where it is.
    const LONGLONG t0 = Now();
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Point(x + (i % 2 == 0 ? 1 : 0), y));
    GdiFlush();
    const LONGLONG t1 = Now();
    base.Paint(window, nullptr, g);
    GdiFlush();
    const LONGLONG t2 = Now();
    if (i < n.warmup) continue;
    plugin.push_back(Ms(t1 - t0));
    baseline.push_back(Ms(t2 - t1));
  }
  SendMessageA(window, WM_LBUTTONUP, 0, Point(x, y));
  char name[128];
  std::snprintf(name, sizeof name, "drag step, client %ldx%ld, %s", client.right, client.bottom, what);
  return {name, Median(plugin), Median(baseline), 0};
}

// Where a repaint's time goes: the ruler's and the grid's lines drawn the way
// the view draws them (MoveToEx + LineTo per line), the same lines as one
// PolyPolyline each, and the clip region, on the plug-in's window.
void Breakdown(int level, const Frame& frame, Counts n) {
  HWND window = PluginWindow();
  RECT client;
  GetClientRect(window, &client);
  const ViewGeometry g = GeometryFor(window, level, frame.width, frame.height, frame.width / 2, frame.height / 2);
  std::vector<POINT> ticks, lines;
  auto add = [](std::vector<POINT>* v, int x0, int y0, int x1, int y1) {
    v->push_back({x0, y0});
    v->push_back({x1, y1});
  };
  for (int i = 0; i <= g.srcWidth; ++i) {
    const int x = g.destX + i * level;
    if (x >= 8) add(&ticks, x, 0, x, (g.srcX + i) % 10 == 0 ? 8 : 3);
  }
  for (int j = 0; j <= g.srcHeight; ++j) {
    const int y = g.destY + j * level;
    if (y >= 8) add(&ticks, 0, y, (g.srcY + j) % 10 == 0 ? 8 : 3, y);
  }
  for (int i = 0; i < g.srcWidth; ++i) add(&lines, g.destX + i * level, 0, g.destX + i * level, client.bottom);
  for (int j = 0; j < g.srcHeight; ++j) add(&lines, 0, g.destY + j * level, client.right, g.destY + j * level);
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
  std::vector<double> patterned;
  std::vector<double> tickSingle, tickPoly, gridSingle, gridPoly, clip;
  for (int i = 0; i < n.warmup + n.iterations; ++i) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
    const LONGLONG t0 = Now();
    for (size_t k = 0; k < ticks.size(); k += 2) {
      MoveToEx(dc, ticks[k].x, ticks[k].y, nullptr);
      LineTo(dc, ticks[k + 1].x, ticks[k + 1].y);
    }
    GdiFlush();
    const LONGLONG t1 = Now();
    PolyPolyline(dc, ticks.data(), tickCounts.data(), static_cast<DWORD>(tickCounts.size()));
    GdiFlush();
    const LONGLONG t2 = Now();
    HRGN r = CreateRectRgn(8, 8, client.right, client.bottom);
    SelectClipRgn(dc, r);
    const LONGLONG t3 = Now();
    for (size_t k = 0; k < lines.size(); k += 2) {
      MoveToEx(dc, lines[k].x, lines[k].y, nullptr);
      LineTo(dc, lines[k + 1].x, lines[k + 1].y);
    }
    GdiFlush();
    const LONGLONG t4 = Now();
    PolyPolyline(dc, lines.data(), lineCounts.data(), static_cast<DWORD>(lineCounts.size()));
    GdiFlush();
    const LONGLONG t5 = Now();
    SelectClipRgn(dc, nullptr);
    DeleteObject(r);
    const LONGLONG t6 = Now();
    // Ticks: short ones every level, long ones every ten levels, per strip;
    // the grid: the columns' lines, then the rows'.
    HBRUSH shortX = lineBrush(level, 3, true), longX = lineBrush(10 * level, 8, true);
    HBRUSH shortY = lineBrush(3, level, false), longY = lineBrush(8, 10 * level, false);
    HBRUSH columns = lineBrush(level, 8, true), rows = lineBrush(8, level, false);
    auto fill = [&](HBRUSH b, int x, int y, int w, int h, int orgX, int orgY) {
      SetBrushOrgEx(dc, orgX, orgY, nullptr);
      HGDIOBJ was = SelectObject(dc, b);
      PatBlt(dc, x, y, w, h, kDPa);
      SelectObject(dc, was);
    };
    const int longX0 = g.destX + ((10 - g.srcX % 10) % 10) * level;
    const int longY0 = g.destY + ((10 - g.srcY % 10) % 10) * level;
    fill(shortX, 8, 0, client.right - 8, 3, g.destX, 0);
    fill(longX, 8, 0, client.right - 8, 8, longX0, 0);
    fill(shortY, 0, 8, 3, client.bottom - 8, 0, g.destY);
    fill(longY, 0, 8, 8, client.bottom - 8, 0, longY0);
    fill(columns, std::max(g.destX, 8), 8, (g.srcWidth - 1) * level + 1, client.bottom - 8, g.destX, 0);
    fill(rows, 8, std::max(g.destY, 8), client.right - 8, (g.srcHeight - 1) * level + 1, 0, g.destY);
    for (HBRUSH b : {shortX, longX, shortY, longY, columns, rows}) DeleteObject(b);
    GdiFlush();
    const LONGLONG t7 = Now();
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    if (i < n.warmup) continue;
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
  std::fflush(stdout);
}

}  // namespace

int RunBench(bool tiny) {
  const std::unique_ptr<Driver> driver = NewHostDriver();
  Driver& d = *driver;
  const Counts n = tiny ? Counts{1, 3} : Counts{5, 51};
  std::vector<std::pair<int, int>> sizes = {{640, 360}, {1920, 1080}, {3840, 2160}};
  if (tiny) sizes = {{160, 90}};
  struct View {
    int level, grid;
    const char* what;
  };
  const View views[] = {{2, 1, "level 2, ruler, black grid"}, {24, 2, "level 24, ruler, white grid"},
                        {-9, 0, "level -9"}};
  std::printf("bench: %d warm-up + %d timed iterations per row, medians in ms; largest frame %dx%d\n", n.warmup,
              n.iterations, kLargestW, kLargestH);
  std::printf("bench: screen %dx%d, largest window %dx%d\n", GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
  std::printf("| %-54s | %10s | %10s | %6s | %9s |\n", "case", "plug-in", "baseline", "ratio", "memcpy");
  std::printf("|%s|%s|%s|%s|%s|\n", std::string(56, '-').c_str(), std::string(12, '-').c_str(),
              std::string(12, '-').c_str(), std::string(8, '-').c_str(), std::string(11, '-').c_str());
  int failures = 0;
  std::vector<Frame> frames;
  for (auto [w, h] : sizes) frames.push_back(CoordFrame(w, h));
  for (const View& v : views) {
    if (!StartWith(d, v.level, v.grid, 288, 288)) return 1;
    const Baseline base(PluginWindow());
    for (const Frame& frame : frames) PrintRow(TimeFrames(d, v.what, frame, v.level, n, base));
  }
  // Drags: level 2, ruler and black grid, on a 1920 by 1080 frame.
  const Frame dragFrame = tiny ? frames[0] : frames[1];
  const std::pair<int, int> clients[] = {{288, 288}, tiny ? std::pair{320, 180} : std::pair{1920, 1080}};
  for (auto [cw, ch] : clients) {
    if (!StartWith(d, 2, 1, cw, ch)) return 1;
    ShowCentred(d, dragFrame);
    const Baseline base(PluginWindow());
    PrintRow(TimeDrag("level 2, ruler, black grid", dragFrame, 2, n, base));
    if (cw != 288) Breakdown(2, dragFrame, n);
  }
  d.Stop();
  for (const std::string& fault : d.TakeFaults()) {
    std::printf("FAIL host fault: %s\n", fault.c_str());
    ++failures;
  }
  std::printf("bench: done\n");
  std::fflush(stdout);
  return failures == 0 ? 0 : 1;
}

}  // namespace refhost
