// Calls made to fail on demand, and a count of calls per function.
#include <cstring>
#include <iterator>

#include "platform/standin/internal.h"

namespace standin {
namespace {

// clang-format off
const char* const kFunctions[] = {
    // USER
    "GetDC", "ReleaseDC", "GetClientRect", "FillRect", "SetWindowTextA", "CreateMenu", "DestroyMenu",
    "InsertMenuItemA", "SetMenu", "GetMenu", "SetMenuItemInfoA", "SetCapture", "ReleaseCapture", "LoadCursorA",
    "SetCursor",
    // GDI
    "CreateCompatibleDC", "CreateCompatibleBitmap", "SelectObject", "DeleteDC", "DeleteObject", "GetStockObject",
    "SetDIBitsToDevice", "SetStretchBltMode", "StretchBlt", "MoveToEx", "LineTo", "CreateRectRgn", "SelectClipRgn",
};
// clang-format on
constexpr size_t kCount = std::size(kFunctions);

struct Failures {
  int64_t calls[kCount] = {};
  int64_t failing[kCount] = {};  // per function, which call fails, counted as calls[] counts; 0 for none
};

Failures& F() {
  static Failures f;
  return f;
}

size_t IndexOf(const char* fn) {
  for (size_t i = 0; i < kCount; ++i)
    if (std::strcmp(kFunctions[i], fn) == 0) return i;
  return kCount;
}

}  // namespace

namespace detail {

bool Fails(const char* fn) {
  Failures& f = F();
  const size_t i = IndexOf(fn);
  if (i == kCount) return false;
  if (++f.calls[i] != f.failing[i]) return false;
  f.failing[i] = 0;
  ++MutableBooks().failedCalls;
  return true;
}

void ResetFailures() { F() = Failures{}; }

}  // namespace detail

bool FailCall(const std::string& fn, int count) {
  Failures& f = F();
  const size_t i = IndexOf(fn.c_str());
  if (i == kCount) return false;
  f.failing[i] = count > 0 ? f.calls[i] + count : 0;
  return true;
}

int64_t CallCount(const std::string& fn) {
  const size_t i = IndexOf(fn.c_str());
  return i == kCount ? 0 : F().calls[i];
}

const std::vector<std::string>& Functions() {
  static const std::vector<std::string> names(std::begin(kFunctions), std::end(kFunctions));
  return names;
}

}  // namespace standin
