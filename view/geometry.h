// Where the snapshot lands in the window on one repaint.
#pragma once

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

// Folds the pending drag (or the anchor) into the view centre, writing
// centreX, centreY, pendingDx and pendingDy, and maps the frame into client.
ViewGeometry ComputeViewGeometry(const RECT& client, const FramePoint* anchor);
