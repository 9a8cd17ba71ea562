#include "view/geometry.h"

#include <algorithm>
#include <cstdint>

#include "state/view_state.h"
#include "view/zoom.h"

namespace {

// Every step works in 64 bits: products such as centre x d and frame x d
// exceed 32 bits for extreme inputs. C++ division truncates toward zero and
// the remainder takes the dividend's sign, which is the rule the view follows.
using Wide = int64_t;

int StoredCentre(Wide v) { return static_cast<int>(std::clamp<Wide>(v, -kCentreLimit, kCentreLimit)); }

// One axis of the view: destination start and size in window pixels, source
// start and size in frame pixels.
struct Span {
  Wide dest, destSize, src, srcSize;
};

// Magnifying by d: the frame pixel at centre has its top-left corner at
// low + half + pending; whole frame pixels are then cut off at both edges.
Span Magnify(Wide low, Wide high, Wide half, Wide centre, Wide pending, Wide frameSize, Wide d) {
  Span s = {low + half + pending - centre * d, frameSize * d, 0, frameSize};
  if (s.dest < low) {
    const Wide over = low - s.dest;
    const Wide q = over / d;
    const Wide r = over % d;
    s.src = q;
    s.srcSize -= q;
    s.dest += over - r;
    s.destSize -= over - r;
  }
  if (s.dest + s.destSize > high) {
    const Wide over = s.dest + s.destSize - high;
    const Wide q = over / d;
    const Wide r = over % d;
    s.srcSize -= q;
    s.destSize -= over - r;
  }
  return s;
}

// Reducing by 2/e: the whole frame, with centre on the client centre.
Span Reduce(Wide low, Wide half, Wide centre, Wide frameSize, Wide e) {
  return {low - (2 * centre) / e + half, (2 * frameSize) / e, 0, frameSize};
}

}  // namespace

ViewGeometry ComputeViewGeometry(const RECT& client, const FramePoint* anchor) {
  const int level = ClampZoomLevel(viewState.zoomLevel);
  Wide cx = anchor != nullptr ? anchor->x : viewState.centreX;
  Wide cy = anchor != nullptr ? anchor->y : viewState.centreY;
  const Wide px = anchor != nullptr ? 0 : viewState.pendingDx;
  const Wide py = anchor != nullptr ? 0 : viewState.pendingDy;

  const Wide left = client.left;
  const Wide top = client.top;
  const Wide halfW = (Wide{client.right} - left) / 2;
  const Wide halfH = (Wide{client.bottom} - top) / 2;
  // A negative frame size cannot come from a host; it shows as no frame.
  const Wide frameW = viewState.frameWidth > 0 ? viewState.frameWidth : 0;
  const Wide frameH = viewState.frameHeight > 0 ? viewState.frameHeight : 0;

  Span x, y;
  if (level >= 1) {
    const Wide d = level;
    viewState.centreX = StoredCentre(cx - px / d);
    viewState.pendingDx = static_cast<int>(px % d);
    viewState.centreY = StoredCentre(cy - py / d);
    viewState.pendingDy = static_cast<int>(py % d);
    x = Magnify(left, client.right, halfW, viewState.centreX, viewState.pendingDx, frameW, d);
    y = Magnify(top, client.bottom, halfH, viewState.centreY, viewState.pendingDy, frameH, d);
  } else {
    const Wide e = ZoomDivisor(level);
    viewState.centreX = StoredCentre(cx - (px * e) / 2);
    viewState.centreY = StoredCentre(cy - (py * e) / 2);
    viewState.pendingDx = 0;
    viewState.pendingDy = 0;
    x = Reduce(left, halfW, viewState.centreX, frameW, e);
    y = Reduce(top, halfH, viewState.centreY, frameH, e);
  }

  ViewGeometry g;
  g.destX = ToInt(x.dest);
  g.destY = ToInt(y.dest);
  g.destWidth = ToInt(x.destSize);
  g.destHeight = ToInt(y.destSize);
  g.destRight = ToInt(x.dest + x.destSize);
  g.destBottom = ToInt(y.dest + y.destSize);
  g.srcX = ToInt(x.src);
  g.srcY = ToInt(y.src);
  g.srcWidth = ToInt(x.srcSize);
  g.srcHeight = ToInt(y.srcSize);
  return g;
}
