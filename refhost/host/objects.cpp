#include "refhost/host/objects.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>

namespace refhost {
namespace {

// Wine's GetGuiResources reports 0 for everything; there the live objects are
// counted by probing. Wine accepts a GDI handle given by its table index alone
// (upper word 0); USER handles are even numbers from 0x20 whose upper word may
// also be 0. Each probe is checked against an object made and destroyed here.
// Wine's GDI handles are the process's own, but its window handles are the
// whole Wine session's: a window counts only when this process made it, or
// another program's windows opening during a soak would fail it.
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

bool OwnWindow(HWND window) {
  DWORD process = 0;
  return IsWindow(window) && GetWindowThreadProcessId(window, &process) != 0 && process == GetCurrentProcessId();
}

int ProbeUser() {
  int count = 0;
  for (uintptr_t i = 0x20; i < 0x10000; i += 2)
    if (OwnWindow(reinterpret_cast<HWND>(i)) || IsMenu(reinterpret_cast<HMENU>(i))) ++count;
  return count;
}

}  // namespace

void Meter::Calibrate() {
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

Sample Meter::Take() const {
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
