// The bench's cases, its table of the plug-in against the required work
// (bench_required.cpp, timed by bench_timing.cpp), and the verdict.
#include "refhost/measure/bench.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/filter_table.h"
#include "host/point.h"
#include "refhost/host/plugin.h"
#include "refhost/host/services.h"
#include "refhost/host/win32_driver.h"
#include "refhost/measure/bench_breakdown.h"
#include "refhost/measure/bench_required.h"
#include "refhost/measure/bench_timing.h"
#include "state/stored_settings.h"

namespace refhost {
namespace {

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
  d.SetSetting(kZoomKey, v.level);
  d.SetSetting(kRulerKey, kRulerOn);
  d.SetSetting(kGridKey, v.grid);
  d.SetSetting(kMenuKey, 1);
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
  const auto callFrameProc = [&](int) { table->filterProc(table, &info); };
  return TimeBeside(name, callFrameProc, frame, Step::Frame, p, n, base);
}

// The required work timed against itself: how far apart two equal paints
// come out in this run.
Row TimeControl(Driver& d, const View& v, const Frame& frame, Counts n, const Baseline& base) {
  ShowCentred(d, frame);
  const Picture p = PictureFor(PluginWindow(), v, frame);
  char name[128];
  std::snprintf(name, sizeof name, "control: required against itself, frame %dx%d", frame.width, frame.height);
  const auto paintRequired = [&](int) { base.Paint(PluginWindow(), &frame, p.g, &p.lines); };
  Row row = TimeBeside(name, paintRequired, frame, Step::Frame, p, n, base);
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
    if (!StartWith(d, v, kInitialClientWidth, kInitialClientHeight)) return 1;
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
  const std::pair<int, int> clients[] = {{kInitialClientWidth, kInitialClientHeight},
                                         tiny ? std::pair{320, 180} : std::pair{1920, 1080}};
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
