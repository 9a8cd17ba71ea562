// The GDI and USER objects and the memory this process holds, counted the
// same way by the soak, the interactive host's report and the scenario driver.
#pragma once

#include <cstdint>
#include <vector>

namespace refhost {

// One look at them: objects, private bytes and working set.
struct Sample {
  long gdi = -1, user = -1;  // -1: cannot be counted here
  double privateMb = 0, workingMb = 0;
  std::vector<uint8_t> gdiTypes;  // by handle index, when probed
};

// How this process's objects can be counted here: by GetGuiResources, or
// where it reports 0 (Wine) by probing handles, each way checked against an
// object made and destroyed once (Calibrate, which prints how).
struct Meter {
  bool gdiByApi = false, userByApi = false, gdiProbe = false, userProbe = false;

  void Calibrate();
  Sample Take() const;
};

// The GDI and USER objects this process holds, counted as the soak counts
// them (-1 where they cannot be counted; the first call calibrates).
struct ObjectCounts {
  long gdi, user;
};
ObjectCounts CountObjects();
// The GDI objects alone, without calibrating.
long GdiObjectCount();

}  // namespace refhost
