// Where the snapshot lands in the window on one repaint.
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/platform.h"

// A point in frame pixels, x first.
struct FramePoint {
  int x;
  int y;
};

// Destination in window pixels, source in frame pixels; srcWidth or srcHeight
// of zero or less means nothing is drawn in that direction.
struct ViewGeometry {
  int destX, destY, destWidth, destHeight, destRight, destBottom;
  int srcX, srcY, srcWidth, srcHeight;
};

// The stored view centre stays within +-kCentreLimit: centre x 24 and
// 2 x centre then fit in 32 bits for any reader, and the limit lies some
// 67 million pixels beyond any frame a host can hold.
constexpr int kCentreLimit = 1 << 26;

// Results go to GDI and into loops as int. With the centre limited, frame
// sizes of 0..INT_MAX and a real client area they always fit; an absurd
// client rectangle, or a line beyond it, is saturated rather than wrapped.
inline int ToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Folds the pending drag (or the anchor) into the view centre, writing
// centreX, centreY, pendingDx and pendingDy, and maps the frame into client.
// A zoomLevel outside -9..24 is taken as the nearest level inside.
ViewGeometry ComputeViewGeometry(const RECT& client, const FramePoint* anchor);
