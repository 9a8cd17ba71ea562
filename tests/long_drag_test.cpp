// Long drags carry the view centre far beyond the frame. The picture must stay
// exact out there, coming back must land on the very same view, and past the
// centre's limit nothing may overflow (this file also runs under UBSan).
#include <cstdint>

#include <gtest/gtest.h>

#include "tests/fake_host.h"
#include "tests/view_model.h"
#include "view/geometry.h"

namespace {

// A running host with a 640 by 360 frame shown at the given level, centred on (320, 180).
fakehost::Host& ShowFrame(int level) {
  fakehost::Host& host = fakehost::Start();
  host.stored["nnn"] = level;
  host.stored["grid"] = 1;
  fakehost::Init();
  fakehost::Send(HostMsgWindowChange);
  fakehost::SetFrame(640, 360);
  fakehost::Frame();
  fakehost::Send(HostMsgMainMouseDown, 0, fakehost::Point(320, 180));
  fakehost::Send(HostMsgMainMouseUp);
  return host;
}

// Drags by (dx, dy) window pixels: press, one move of at most 60,000 pixels
// each way (every position a 16-bit coordinate), release; repeated.
void Drag(long long dx, long long dy) {
  auto step = [](long long rest) { return static_cast<int>(rest > 60000 ? 60000 : (rest < -60000 ? -60000 : rest)); };
  while (dx != 0 || dy != 0) {
    const int sx = step(dx);
    const int sy = step(dy);
    fakehost::Send(WM_LBUTTONDOWN, 0, fakehost::Point(-sx / 2, -sy / 2));
    fakehost::Send(WM_MOUSEMOVE, 0, fakehost::Point(sx - sx / 2, sy - sy / 2));
    fakehost::Send(WM_LBUTTONUP);
    dx -= sx;
    dy -= sy;
  }
}

struct Trip {
  const char* name;
  int level;
  long long dx, dy;  // window pixels
  int expectCentreX, expectCentreY;
};

TEST(LongDrag, FarOutAndBackLandsOnTheSameView) {
  // The centre moves by drag / level frame pixels when magnifying, by drag x e / 2 when reducing.
  // clang-format off
  const Trip trips[] = {
      {.name = "level 1, 2^24 + 5 right and down", .level = 1, .dx = (1 << 24) + 5, .dy = (1 << 24) + 5,
       .expectCentreX = 320 - (1 << 24) - 5, .expectCentreY = 180 - (1 << 24) - 5},
      {.name = "level 3, 3 x 2^24 left", .level = 3, .dx = -3LL * (1 << 24), .dy = 0, .expectCentreX = 320 + (1 << 24),
       .expectCentreY = 180},
      {.name = "level 24, 24 x 2^22 up", .level = 24, .dx = 0, .dy = -24LL * (1 << 22), .expectCentreX = 320,
       .expectCentreY = 180 + (1 << 22)},
      {.name = "level -9, 2^20 right (x 32 frame pixels)", .level = -9, .dx = 1 << 20, .dy = 0,
       .expectCentreX = 320 - 32LL * (1 << 20), .expectCentreY = 180},
  };
  // clang-format on
  for (const Trip& t : trips) {
    SCOPED_TRACE(t.name);
    fakehost::Host& host = ShowFrame(t.level);
    const uint64_t home = fakehost::PixelHash(standin::ClientPixels(host.window));
    const uint32_t homeCentre = standin::ClientPixel(host.window, 150, 150);

    Drag(t.dx, t.dy);
    EXPECT_EQ(fakehost::Centre(), std::pair(t.expectCentreX, t.expectCentreY));
    // Far from the frame only background, ruler and grid lines remain (lines
    // of the rows or columns still level with the window run on).
    EXPECT_EQ(viewmodel::FramePixelsShown(host.window), 0);

    Drag(-t.dx, -t.dy);
    EXPECT_EQ(fakehost::Centre(), std::pair(320, 180));
    EXPECT_EQ(standin::ClientPixel(host.window, 150, 150), homeCentre);
    EXPECT_EQ(fakehost::PixelHash(standin::ClientPixels(host.window)), home);
    EXPECT_EQ(fakehost::Violations(), "");
    fakehost::Exit();
  }
}

TEST(LongDrag, PastTheLimitTheCentreStopsAndAPressBringsTheViewBack) {
  for (int level : {1, 2, 24, 0, -9}) {
    SCOPED_TRACE(level);
    fakehost::Host& host = ShowFrame(level);
    const uint64_t home = fakehost::PixelHash(standin::ClientPixels(host.window));
    // With the window hidden the drag only adds up (to its own limit of
    // 2^30); showing it again folds it all into the centre at once. Twice,
    // so that even 24x runs into the centre's limit.
    standin::SetCallLogging(false);
    for (int round = 0; round < 2; ++round) {
      host.windowVisible = 0;
      fakehost::Send(HostMsgWindowChange);
      Drag(1LL << 31, -(1LL << 31));
      host.windowVisible = 1;
      fakehost::Send(HostMsgWindowChange);
      fakehost::Frame();
    }
    EXPECT_EQ(fakehost::Centre(), std::pair(-kCentreLimit, kCentreLimit));
    EXPECT_EQ(viewmodel::FramePixelsShown(host.window), 0);
    // A press in the main window recentres exactly, however far the view went.
    fakehost::Send(HostMsgMainMouseDown, 0, fakehost::Point(320, 180));
    fakehost::Send(HostMsgMainMouseUp);
    EXPECT_EQ(fakehost::PixelHash(standin::ClientPixels(host.window)), home);
    EXPECT_EQ(fakehost::Violations(), "");
    fakehost::Exit();
  }
}

}  // namespace
