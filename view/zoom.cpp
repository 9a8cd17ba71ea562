#include "view/zoom.h"

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

int ClampZoomLevel(int level) {
  if (level < kMinZoomLevel) return kMinZoomLevel;
  if (level > kMaxZoomLevel) return kMaxZoomLevel;
  return level;
}

int ZoomDenominator(int level) {
  const int n = level < kMinZoomLevel ? kMinZoomLevel : (level > -1 ? -1 : level);
  // Powers of two for odd levels, 1.5 times a power of two for even ones.
  const int b = 2 << ((1 - n) >> 1);
  return (n % 2 != 0) ? b / 2 : (b + b / 2) / 2;
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
