// GDI used up, as other programs use it up in a long session.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace refhost {

// Every GDI handle the process can still get, held as 1x1 regions: the
// cheapest object (Wine makes its 65,000 or so in about 15 ms).
class GdiHoard {
 public:
  ~GdiHoard() { GiveBack(); }
  bool Active() const { return active_; }
  long Held() const { return static_cast<long>(held_.size()); }
  // Takes handles until GDI refuses one; how many this time.
  long Take() {
    active_ = true;
    long taken = 0;
    for (HRGN r = CreateRectRgn(0, 0, 1, 1); r != nullptr; r = CreateRectRgn(0, 0, 1, 1), ++taken) held_.push_back(r);
    return taken;
  }
  // Lets a few go while the host reads the window, then takes them again.
  void Lend(size_t n) {
    for (; n > 0 && !held_.empty(); --n) {
      DeleteObject(held_.back());
      held_.pop_back();
    }
  }
  void GiveBack() {
    for (HRGN r : held_) DeleteObject(r);
    held_.clear();
    active_ = false;
  }

 private:
  bool active_ = false;
  std::vector<HRGN> held_;
};

}  // namespace refhost
