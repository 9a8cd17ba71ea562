// The reference host's soak: frames and random interaction, many thousands of
// them, while GDI objects, USER objects and memory are watched; it fails when
// they grow.
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/filter_table.h"
#include "refhost/frames.h"
#include "refhost/host.h"
#include "refhost/measure.h"

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

// Wine's GetGuiResources reports 0 for everything; there the live objects are
// counted by probing. Wine accepts a GDI handle given by its table index alone
// (upper word 0); USER handles are even numbers from 0x20 whose upper word may
// also be 0. Each probe is checked against an object made and destroyed here.
int ProbeGdi(std::vector<uint8_t>* types = nullptr) {
  int count = 0;
  if (types != nullptr) types->assign(0x10000, 0);
  for (uintptr_t i = 1; i < 0x10000; ++i) {
    const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(i));
    if (type == 0) continue;
    ++count;
    if (types != nullptr) (*types)[i] = static_cast<uint8_t>(type);
  }
  return count;
}

int ProbeUser() {
  int count = 0;
  for (uintptr_t i = 0x20; i < 0x10000; i += 2)
    if (IsWindow(reinterpret_cast<HWND>(i)) || IsMenu(reinterpret_cast<HMENU>(i))) ++count;
  return count;
}

struct Sample {
  long gdi = -1, user = -1;  // -1: cannot be counted here
  double privateMb = 0, workingMb = 0;
  std::vector<uint8_t> gdiTypes;  // by handle index, when probed
};

struct Meter {
  bool gdiByApi = false, userByApi = false, gdiProbe = false, userProbe = false;

  void Calibrate() {
    HANDLE self = GetCurrentProcess();
    gdiByApi = GetGuiResources(self, GR_GDIOBJECTS) > 0;
    userByApi = GetGuiResources(self, GR_USEROBJECTS) > 0;
    if (!gdiByApi) {
      const int before = ProbeGdi();
      HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
      const int with = ProbeGdi();
      DeleteObject(probe);
      gdiProbe = with == before + 1 && ProbeGdi() == before;
    }
    if (!userByApi) {
      const int before = ProbeUser();
      HMENU probe = CreateMenu();
      const int with = ProbeUser();
      DestroyMenu(probe);
      userProbe = with == before + 1 && ProbeUser() == before;
    }
    std::printf("soak: GDI objects %s, USER objects %s\n",
                gdiByApi   ? "by GetGuiResources"
                : gdiProbe ? "by probing (GetGuiResources reports 0)"
                           : "not countable",
                userByApi   ? "by GetGuiResources"
                : userProbe ? "by probing (GetGuiResources reports 0)"
                            : "not countable");
  }

  Sample Take() const {
    Sample s;
    HANDLE self = GetCurrentProcess();
    if (gdiByApi) s.gdi = static_cast<long>(GetGuiResources(self, GR_GDIOBJECTS));
    else if (gdiProbe) s.gdi = ProbeGdi(&s.gdiTypes);
    if (userByApi) s.user = static_cast<long>(GetGuiResources(self, GR_USEROBJECTS));
    else if (userProbe) s.user = ProbeUser();
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
      // Wine leaves PrivateUsage 0; its PagefileUsage is the private bytes.
      const SIZE_T priv = pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
      s.privateMb = static_cast<double>(priv) / (1024.0 * 1024.0);
      s.workingMb = static_cast<double>(pmc.WorkingSetSize) / (1024.0 * 1024.0);
    }
    return s;
  }
};

void PrintSample(const char* when, int done, const Sample& s) {
  std::printf("soak: %-6s after %6d steps: GDI %ld, USER %ld, private %.1f MB, working set %.1f MB\n", when, done,
              s.gdi, s.user, s.privateMb, s.workingMb);
  std::fflush(stdout);
}

// One random interaction event, as a user or the host would cause it.
constexpr int kEventKinds = 16;
void Event(Driver& d, int kind, Random& rng, const Frame& frame, bool* shown, bool* open) {
  const int fx = rng.Between(-20, frame.width + 20), fy = rng.Between(-20, frame.height + 20);
  const int wx = rng.Between(-10, 600), wy = rng.Between(-10, 500);
  switch (kind) {
    case 0: d.MainPointer(HostMsgMainMouseDown, fx, fy); break;
    case 1: d.MainPointer(HostMsgMainMouseMove, fx, fy); break;
    case 2: d.MainPointer(HostMsgMainMouseUp, fx, fy); break;
    case 3: {
      // A drag of a few steps.
      d.SendToWindow(WM_LBUTTONDOWN, MK_LBUTTON, Point(wx, wy));
      const int steps = rng.Between(1, 6);
      for (int i = 0; i < steps; ++i)
        d.SendToWindow(WM_MOUSEMOVE, MK_LBUTTON, Point(wx + rng.Between(-300, 300), wy + rng.Between(-300, 300)));
      if (rng.Below(8) != 0) d.SendToWindow(WM_LBUTTONUP, 0, Point(wx, wy));
      break;
    }
    case 4: d.SendToWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, rng.Below(2) ? 120 : -120), Point(wx, wy)); break;
    case 5: d.SendToWindow(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(wx, wy)); break;
    case 6:
      d.SendToWindow(WM_RBUTTONDOWN, MK_RBUTTON, Point(wx, wy));
      d.SendToWindow(WM_RBUTTONUP, 0, Point(wx, wy));
      break;
    case 7:
      d.SendToWindow(WM_MBUTTONDOWN, MK_MBUTTON, Point(wx, wy));
      d.SendToWindow(WM_MBUTTONUP, 0, Point(wx, wy));
      break;
    case 8: d.SendToWindow(WM_COMMAND, static_cast<uintptr_t>(rng.Between(100, 106)), 0); break;
    case 9: d.ResizeClient(rng.Between(0, 700), rng.Between(0, 500)); break;
    case 10:
      *shown = !*shown;
      d.SetShown(*shown);
      if (d.Notify(HostMsgWindowChange, 0, 0) != 0) d.DisplayFrame();
      break;
    case 11:
      *open = !*open;
      d.SetEditing(*open);
      d.Notify(*open ? HostMsgFileOpen : HostMsgFileClose, 0, 0);
      break;
    case 12: d.MainPointer(HostMsgMainMouseDown, fx, fy), d.MainPointer(HostMsgMainMouseMove, fx + 5, fy - 5); break;
    case 13: d.Notify(HostMsgMainDoubleClick, MK_LBUTTON, Point(fx, fy)); break;
    case 14: d.SendToWindow(WM_ACTIVATE, static_cast<uintptr_t>(rng.Below(3)), 0); break;
    default: d.Notify(rng.Below(2) ? HostMsgEditChange : HostMsgMainMoveSize, 0, 0); break;
  }
}

void RandomEvent(Driver& d, Random& rng, const Frame& frame, bool* shown, bool* open) {
  Event(d, rng.Below(kEventKinds), rng, frame, shown, open);
}

// The same state at every sample: video open, window shown at the record's
// initial size, the frame displayed, no drag.
void Settle(Driver& d, bool* shown, bool* open) {
  d.SendToWindow(WM_LBUTTONUP, 0, 0);
  d.MainPointer(HostMsgMainMouseUp, 0, 0);
  if (!*open) d.SetEditing(true), d.Notify(HostMsgFileOpen, 0, 0);
  if (!*shown) d.SetShown(true);
  *shown = *open = true;
  d.ResizeClient(kInitialClientWidth, kInitialClientHeight);
  d.Notify(HostMsgWindowChange, 0, 0);
  d.DisplayFrame();
}

}  // namespace

int RunSoak(int n, unsigned seed) {
  const std::unique_ptr<Driver> driver = NewHostDriver();
  Driver& d = *driver;
  Random rng{seed != 0 ? seed : 1};
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
  bool shown = false, open = false;
  Settle(d, &shown, &open);

  Meter meter;
  const LONGLONG c0 = Now();
  meter.Calibrate();
  std::printf("soak: checking the counts took %.1f s\n", Ms(Now() - c0) / 1000.0);
  // A warm-up first, every kind of event a few times: Wine makes objects of
  // its own on first use (menu and caption bitmaps, DC caches), which are not
  // the plug-in's.
  for (int round = 0; round < 4; ++round) {
    for (int kind = 0; kind < kEventKinds; ++kind) {
      Event(d, kind, rng, frame, &shown, &open);
      d.DisplayFrame();
    }
  }
  Settle(d, &shown, &open);
  const Sample start = meter.Take();
  PrintSample("start", 0, start);
  Sample middle;
  const LONGLONG t0 = Now();
  for (int i = 0; i < n; ++i) {
    d.DisplayFrame();
    RandomEvent(d, rng, frame, &shown, &open);
    if (i + 1 == n / 2) {
      Settle(d, &shown, &open);
      middle = meter.Take();
      PrintSample("middle", i + 1, middle);
    }
  }
  Settle(d, &shown, &open);
  const Sample end = meter.Take();
  PrintSample("end", n, end);
  const double seconds = Ms(Now() - t0) / 1000.0;
  d.Stop();
  CloseMainWindow();

  int failures = 0;
  for (const std::string& fault : d.TakeFaults()) {
    std::printf("FAIL host fault: %s\n", fault.c_str());
    ++failures;
  }
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

long GdiObjectCount() {
  const long byApi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
  return byApi > 0 ? byApi : ProbeGdi();
}

ObjectCounts CountObjects() {
  static const Meter meter = [] {
    Meter m;
    m.Calibrate();
    return m;
  }();
  const Sample s = meter.Take();
  return {s.gdi, s.user};
}

}  // namespace refhost
