#include "view/zoom.h"

#include <algorithm>
#include <cstdio>

#include "host/version.h"
#include "state/view_state.h"

namespace {
// "[座標固定]" (coordinates locked) in Shift_JIS.
constexpr char kLockedSuffix[] = "[\x8D\xC0\x95\x57\x8C\xC5\x92\xE8]";
constexpr char kUnlockedSuffix[] = " ";
// Each format ends in "倍" (times), 0x94 0x7B, before the suffix.
constexpr char kMagnifyFormat[] = TAVIMO_NAME " - %d\x94\x7B %s";
constexpr char kTwoThirdsFormat[] = TAVIMO_NAME " - 2/3\x94\x7B %s";
constexpr char kReduceFormat[] = TAVIMO_NAME " - 1/%d\x94\x7B %s";
constexpr char kUnknownFormat[] = TAVIMO_NAME " - *\x94\x7B %s";
}  // namespace

int ClampZoomLevel(int level) { return std::clamp(level, kMinZoomLevel, kMaxZoomLevel); }

int ZoomDenominator(int level) {
  // Level -1 is 1/2 and each two levels down halve it: 1/2, 1/4 ... 1/32;
  // the even levels between are three quarters of the next: 1/3, 1/6 ... 1/24.
  const int steps = -std::clamp(level, kMinZoomLevel, -1);
  const int power = 2 << (steps / 2);
  return steps % 2 != 0 ? power : power / 4 * 3;
}

int ZoomDivisor(int level) {
  if (level >= 0) return 3;
  return 2 * ZoomDenominator(level);
}

int FormatTitle(char* buffer, int level) {
  const char* suffix = viewState.coordLocked != 0 ? kLockedSuffix : kUnlockedSuffix;
  if (level > 0) return std::snprintf(buffer, kTitleBufferSize, kMagnifyFormat, level, suffix);
  if (level == 0) return std::snprintf(buffer, kTitleBufferSize, kTwoThirdsFormat, suffix);
  if (level >= kMinZoomLevel) {
    return std::snprintf(buffer, kTitleBufferSize, kReduceFormat, ZoomDenominator(level), suffix);
  }
  return std::snprintf(buffer, kTitleBufferSize, kUnknownFormat, suffix);
}
