#include "refhost/measure/soak.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "host/filter_table.h"
#include "host/point.h"
#include "refhost/host/clock.h"
#include "refhost/host/main_window.h"
#include "refhost/host/objects.h"
#include "refhost/host/win32_driver.h"
#include "refhost/scenario/frames.h"
#include "window/menu_commands.h"

namespace refhost {
namespace {

// A small PRNG with a fixed sequence for a seed (xorshift32).
struct Random {
  uint32_t state;
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
};

void PrintSample(const char* when, int done, const Sample& s) {
  std::printf("soak: %-6s after %6d steps: GDI %ld, USER %ld, private %.1f MB, working set %.1f MB\n", when, done,
              s.gdi, s.user, s.privateMb, s.workingMb);
  std::fflush(stdout);
}

// What the events play on: the host and the random sequence, the window's
// shown and the video's open state, which two events toggle, and what a
// failure names: the event last played and its step (0: the warm-up's).
struct Soak {
  Driver& d;
  Random rng;
  const Frame& frame;
  bool shown = false, open = false;
  const char* lastEvent = nullptr;
  int step = 0;
  int failures = 0;
};

// An event's points, drawn before each event whatever it uses: in the frame
// (the main window's messages, up to 20 pixels outside) and in the window.
struct Where {
  int fx, fy, wx, wy;
};

void Drag(Soak& s, const Where& at) {
  s.d.SendToWindow(WM_LBUTTONDOWN, MK_LBUTTON, Point(at.wx, at.wy));
  const int steps = s.rng.Between(1, 6);
  for (int i = 0; i < steps; ++i)
    s.d.SendToWindow(WM_MOUSEMOVE, MK_LBUTTON,
                     Point(at.wx + s.rng.Between(-300, 300), at.wy + s.rng.Between(-300, 300)));
  // One drag in eight is left unfinished.
  if (s.rng.Below(8) != 0) s.d.SendToWindow(WM_LBUTTONUP, 0, Point(at.wx, at.wy));
}

void Click(Soak& s, const Where& at, UINT down, UINT up, WPARAM button) {
  s.d.SendToWindow(down, button, Point(at.wx, at.wy));
  s.d.SendToWindow(up, 0, Point(at.wx, at.wy));
}

void ShowOrHide(Soak& s, const Where&) {
  s.shown = !s.shown;
  s.d.SetShown(s.shown);
  if (s.d.Notify(HostMsgWindowChange, 0, 0) != 0) s.d.DisplayFrame();
}

void OpenOrClose(Soak& s, const Where&) {
  s.open = !s.open;
  s.d.SetEditing(s.open);
  s.d.Notify(s.open ? HostMsgFileOpen : HostMsgFileClose, 0, 0);
}

// Every interaction event, as a user or the host would cause it; the random
// sequence picks them by their place here, so a new one goes last.
struct Event {
  const char* name;
  void (*play)(Soak&, const Where&);
};
constexpr Event kEvents[] = {
    {"main press", [](Soak& s, const Where& at) { s.d.MainPointer(HostMsgMainMouseDown, at.fx, at.fy); }},
    {"main move", [](Soak& s, const Where& at) { s.d.MainPointer(HostMsgMainMouseMove, at.fx, at.fy); }},
    {"main release", [](Soak& s, const Where& at) { s.d.MainPointer(HostMsgMainMouseUp, at.fx, at.fy); }},
    {"drag", Drag},
    {"wheel",
     [](Soak& s, const Where& at) {
       s.d.SendToWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, s.rng.Below(2) ? 120 : -120), Point(at.wx, at.wy));
     }},
    {"double click",
     [](Soak& s, const Where& at) { s.d.SendToWindow(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(at.wx, at.wy)); }},
    {"right click", [](Soak& s, const Where& at) { Click(s, at, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON); }},
    {"middle click", [](Soak& s, const Where& at) { Click(s, at, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON); }},
    // Every menu command, and one identifier either side of them, which the window must ignore.
    {"menu command",
     [](Soak& s, const Where&) {
       s.d.SendToWindow(WM_COMMAND, static_cast<uintptr_t>(s.rng.Between(CmdWheelReverse - 1, CmdGridWhite + 1)), 0);
     }},
    {"resize", [](Soak& s, const Where&) { s.d.ResizeClient(s.rng.Between(0, 700), s.rng.Between(0, 500)); }},
    {"show or hide", ShowOrHide},
    {"open or close the video", OpenOrClose},
    {"main press and move",
     [](Soak& s, const Where& at) {
       s.d.MainPointer(HostMsgMainMouseDown, at.fx, at.fy);
       s.d.MainPointer(HostMsgMainMouseMove, at.fx + 5, at.fy - 5);
     }},
    {"main double click",
     [](Soak& s, const Where& at) { s.d.Notify(HostMsgMainDoubleClick, MK_LBUTTON, Point(at.fx, at.fy)); }},
    // WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE.
    {"activation",
     [](Soak& s, const Where&) { s.d.SendToWindow(WM_ACTIVATE, static_cast<uintptr_t>(s.rng.Below(3)), 0); }},
    {"edit change or main move/size",
     [](Soak& s, const Where&) { s.d.Notify(s.rng.Below(2) ? HostMsgEditChange : HostMsgMainMoveSize, 0, 0); }},
};
constexpr int kEventCount = static_cast<int>(std::size(kEvents));

// Reports the host faults since the last look, each with the event it followed.
void TakeFaults(Soak& s) {
  for (const std::string& fault : s.d.TakeFaults()) {
    if (s.lastEvent == nullptr) std::printf("FAIL host fault: %s (before the first event)\n", fault.c_str());
    else if (s.step == 0)
      std::printf("FAIL host fault: %s (after event '%s' in the warm-up)\n", fault.c_str(), s.lastEvent);
    else std::printf("FAIL host fault: %s (after event '%s' at step %d)\n", fault.c_str(), s.lastEvent, s.step);
    ++s.failures;
  }
}

void Play(Soak& s, int kind) {
  const int fx = s.rng.Between(-20, s.frame.width + 20), fy = s.rng.Between(-20, s.frame.height + 20);
  const int wx = s.rng.Between(-10, 600), wy = s.rng.Between(-10, 500);
  kEvents[kind].play(s, {fx, fy, wx, wy});
  s.lastEvent = kEvents[kind].name;
  TakeFaults(s);
}

void ShowFrame(Soak& s) {
  s.d.DisplayFrame();
  TakeFaults(s);
}

// The same state at every sample: video open, window shown at the record's
// initial size, the frame displayed, no drag.
void Settle(Soak& s) {
  Driver& d = s.d;
  d.SendToWindow(WM_LBUTTONUP, 0, 0);
  d.MainPointer(HostMsgMainMouseUp, 0, 0);
  if (!s.open) d.SetEditing(true), d.Notify(HostMsgFileOpen, 0, 0);
  if (!s.shown) d.SetShown(true);
  s.shown = s.open = true;
  d.ResizeClient(kInitialClientWidth, kInitialClientHeight);
  d.Notify(HostMsgWindowChange, 0, 0);
  d.DisplayFrame();
  TakeFaults(s);
}

}  // namespace

int RunSoak(int n, unsigned seed) {
  const std::unique_ptr<Driver> driver = NewHostDriver();
  Driver& d = *driver;
  OpenMainWindow();
  d.Stop();
  d.ClearSettings();
  d.SetLargestFrame(1920, 1080);
  std::string error;
  if (!d.Start(&error)) {
    std::printf("refhost: error: %s\n", error.c_str());
    return 1;
  }
  const Frame frame = CoordFrame(1920, 1080);
  d.SetFrame(frame);
  Soak s{.d = d, .rng = {seed != 0 ? seed : 1}, .frame = frame};
  Settle(s);

  Meter meter;
  const LONGLONG c0 = Now();
  meter.Calibrate();
  std::printf("soak: checking the counts took %.1f s\n", Ms(Now() - c0) / 1000.0);
  // A warm-up first, every kind of event a few times: Wine makes objects of
  // its own on first use (menu and caption bitmaps, DC caches), which are not
  // the plug-in's.
  for (int round = 0; round < 4; ++round) {
    for (int kind = 0; kind < kEventCount; ++kind) {
      Play(s, kind);
      ShowFrame(s);
    }
  }
  Settle(s);
  const Sample start = meter.Take();
  PrintSample("start", 0, start);
  Sample middle;
  const LONGLONG t0 = Now();
  for (int i = 0; i < n; ++i) {
    ShowFrame(s);
    s.step = i + 1;
    Play(s, s.rng.Below(kEventCount));
    if (i + 1 == n / 2) {
      Settle(s);
      middle = meter.Take();
      PrintSample("middle", i + 1, middle);
    }
  }
  Settle(s);
  const Sample end = meter.Take();
  PrintSample("end", n, end);
  const double seconds = Ms(Now() - t0) / 1000.0;
  d.Stop();
  CloseMainWindow();
  TakeFaults(s);
  int& failures = s.failures;
  // Allowances: a couple of objects of Wine's own, and 8 MB of memory for its
  // caches and the heap's rounding; a leak per frame or per event exceeds
  // them within a few hundred steps.
  constexpr long kObjectAllowance = 4;
  constexpr double kMemoryAllowanceMb = 8.0;
  auto check = [&](const char* what, long a, long b) {
    if (a >= 0 && b >= 0 && b - a > kObjectAllowance) {
      std::printf("FAIL soak: %s objects grew from %ld to %ld\n", what, a, b);
      ++failures;
    }
  };
  check("GDI", start.gdi, end.gdi);
  // Which objects are new since the start (handle index: OBJ_ type).
  if (end.gdi - start.gdi > kObjectAllowance && !start.gdiTypes.empty() && !end.gdiTypes.empty()) {
    int listed = 0;
    for (size_t i = 0; i < end.gdiTypes.size() && listed < 16; ++i) {
      if (end.gdiTypes[i] == 0 || start.gdiTypes[i] == end.gdiTypes[i]) continue;
      std::printf("soak: GDI handle index 0x%04zx now type %d (was %d)\n", i, end.gdiTypes[i], start.gdiTypes[i]);
      ++listed;
    }
  }
  check("USER", start.user, end.user);
  if (end.privateMb - start.privateMb > kMemoryAllowanceMb) {
    std::printf("FAIL soak: private memory grew from %.1f MB to %.1f MB\n", start.privateMb, end.privateMb);
    ++failures;
  }
  std::printf("soak: %d frames and %d events (seed %u) in %.1f s: %s\n", n, n, seed, seconds,
              failures == 0 ? "ok" : "FAILED");
  std::fflush(stdout);
  return failures == 0 ? 0 : 1;
}

}  // namespace refhost
