// Every row is the median of its timed iterations after a warm-up, read with
// QueryPerformanceCounter. Plug-in and comparison paints take turns within
// each iteration so that all see the same machine load. A drag step also
// requires the drag cursor, which the window sets on every move
// (DragCursor); the picture column times the picture alone, so that the
// cursor's cost stays visible.
#include "refhost/measure/bench_timing.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "refhost/host/capture.h"
#include "refhost/host/clock.h"
#include "refhost/host/plugin.h"

namespace refhost {
namespace {

// Pixels in which the plug-in's picture (painted by paintPlugin) and the
// required GDI work's differ: the required work must draw the same picture.
long PictureDifference(HWND window, const std::function<void()>& paintPlugin, const Baseline& base, const Frame* frame,
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

double Ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

}  // namespace

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 != 0 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

Row TimeBeside(const std::string& name, const std::function<void(int)>& paintPlugin, const Frame& shown, Step step,
               const Picture& p, Counts n, const Baseline& base) {
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
  const auto paintLast = [&] { paintPlugin(last); };
  const long differ = PictureDifference(window, paintLast, base, frame, p.g, p.lines);
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

}  // namespace refhost
