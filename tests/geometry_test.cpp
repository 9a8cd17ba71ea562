// The view geometry: which frame pixels land where in the window, and how
// drags and anchors move the centre.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "state/view_state.h"
#include "view/geometry.h"

namespace {

constexpr int kMax = INT32_MAX;
constexpr int kMin = INT32_MIN;

struct Expected {
  int destX, destY, destWidth, destHeight, destRight, destBottom;
  int srcX, srcY, srcWidth, srcHeight;
};

struct GeometryCase {
  const char* name;
  RECT client;
  int level;
  FramePoint centre;
  FramePoint pending;
  bool hasAnchor;
  FramePoint anchor;
  int frameWidth, frameHeight;
  Expected geometry;
  FramePoint centreAfter;
  FramePoint pendingAfter;
};

// Values worked out by hand from the rules (whole frame pixels cut at the
// left, right, top, bottom in that order; divisions truncate toward zero),
// with a 640 by 360 frame in a 288 by 288 client unless the row says else.
// Centres beyond 2^26 pixels are held at +-2^26 (67108864).
const GeometryCase kCases[] = {
    {"Level3Centred", {0, 0, 288, 288}, 3, {100, 50}, {0, 0}, false, {0, 0}, 640, 360,
     {0, 0, 288, 288, 288, 288, 52, 2, 96, 96}, {100, 50}, {0, 0}},
    {"Level3DragFoldsWholePixels", {0, 0, 288, 288}, 3, {100, 50}, {7, -5}, false, {0, 0}, 640, 360,
     {-2, -2, 291, 291, 289, 289, 49, 3, 97, 97}, {98, 51}, {1, -2}},
    {"Level3NegativeDragTruncatesTowardZero", {0, 0, 288, 288}, 3, {100, 50}, {-7, 5}, false, {0, 0}, 640, 360,
     {-1, -1, 291, 291, 290, 290, 54, 0, 97, 97}, {102, 49}, {-1, 2}},
    {"Level3AnchorReplacesCentreAndDrag", {0, 0, 288, 288}, 3, {100, 50}, {7, -5}, true, {320, 180}, 640, 360,
     {0, 0, 288, 288, 288, 288, 272, 132, 96, 96}, {320, 180}, {0, 0}},
    {"Level3AnchorAtOrigin", {0, 0, 288, 288}, 3, {100, 50}, {0, 0}, true, {0, 0}, 640, 360,
     {144, 144, 144, 144, 288, 288, 0, 0, 48, 48}, {0, 0}, {0, 0}},
    {"Level3AnchorAtLastPixel", {0, 0, 288, 288}, 3, {100, 50}, {0, 0}, true, {639, 359}, 640, 360,
     {0, 0, 147, 147, 147, 147, 591, 311, 49, 49}, {639, 359}, {0, 0}},
    {"Level24", {0, 0, 288, 288}, 24, {100, 50}, {0, 0}, false, {0, 0}, 640, 360,
     {0, 0, 288, 288, 288, 288, 94, 44, 12, 12}, {100, 50}, {0, 0}},
    {"Level5CutsWithRemainders", {0, 0, 288, 288}, 5, {33, 21}, {4, -3}, false, {0, 0}, 640, 360,
     {-2, 36, 290, 255, 288, 291, 3, 0, 58, 51}, {33, 21}, {4, -3}},
    {"Level1OddClient", {0, 0, 289, 200}, 1, {100, 50}, {0, 0}, false, {0, 0}, 640, 360,
     {44, 50, 245, 150, 289, 200, 0, 0, 245, 150}, {100, 50}, {0, 0}},
    {"Level1FrameInsideWindow", {0, 0, 1000, 800}, 1, {320, 180}, {0, 0}, false, {0, 0}, 640, 360,
     {180, 220, 640, 360, 820, 580, 0, 0, 640, 360}, {320, 180}, {0, 0}},
    {"LevelMinus1", {0, 0, 288, 288}, -1, {100, 50}, {0, 0}, false, {0, 0}, 640, 360,
     {94, 119, 320, 180, 414, 299, 0, 0, 640, 360}, {100, 50}, {0, 0}},
    {"LevelMinus1DragScaled", {0, 0, 288, 288}, -1, {100, 50}, {7, -5}, false, {0, 0}, 640, 360,
     {101, 114, 320, 180, 421, 294, 0, 0, 640, 360}, {86, 60}, {0, 0}},
    {"LevelMinus1Anchor", {0, 0, 288, 288}, -1, {100, 50}, {7, -5}, true, {0, 0}, 640, 360,
     {144, 144, 320, 180, 464, 324, 0, 0, 640, 360}, {0, 0}, {0, 0}},
    {"Level0HalvesTruncate", {0, 0, 288, 288}, 0, {100, 50}, {7, -5}, false, {0, 0}, 640, 360,
     {84, 106, 426, 240, 510, 346, 0, 0, 640, 360}, {90, 57}, {0, 0}},
    {"Level0NegativeCentreTruncates", {0, 0, 288, 288}, 0, {-7, 50}, {0, 0}, false, {0, 0}, 640, 360,
     {148, 111, 426, 240, 574, 351, 0, 0, 640, 360}, {-7, 50}, {0, 0}},
    {"LevelMinus2", {0, 0, 288, 288}, -2, {320, 180}, {0, 0}, false, {0, 0}, 640, 360,
     {38, 84, 213, 120, 251, 204, 0, 0, 640, 360}, {320, 180}, {0, 0}},
    {"LevelMinus9", {0, 0, 288, 288}, -9, {320, 180}, {3, -3}, false, {0, 0}, 640, 360,
     {137, 136, 20, 11, 157, 147, 0, 0, 640, 360}, {224, 276}, {0, 0}},
    {"Level3NoFrameYet", {0, 0, 288, 288}, 3, {100, 50}, {0, 0}, false, {0, 0}, 0, 0,
     {0, 0, -156, -6, -156, -6, 52, 2, -52, -2}, {100, 50}, {0, 0}},
    {"Level3FrameWhollyRight", {0, 0, 288, 288}, 3, {-200, 50}, {0, 0}, false, {0, 0}, 640, 360,
     {744, 0, -456, 288, 288, 288, 0, 2, -152, 96}, {-200, 50}, {0, 0}},
    {"Level3FrameWhollyBelowLeft", {0, 0, 288, 288}, 3, {900, -300}, {0, 0}, false, {0, 0}, 640, 360,
     {0, 1044, -636, -756, -636, 288, 852, 0, -212, -252}, {900, -300}, {0, 0}},
    {"LevelMinus1NoFrameYet", {0, 0, 288, 288}, -1, {100, 50}, {0, 0}, false, {0, 0}, 0, 0,
     {94, 119, 0, 0, 94, 119, 0, 0, 0, 0}, {100, 50}, {0, 0}},
    {"Level24MillionsAwayExact", {0, 0, 288, 288}, 24, {5000000, -5000000}, {100, -100}, false, {0, 0}, 640, 360,
     {-20, 120000044, -119984376, -119999736, -119984396, 308, 4999989, 0, -4999349, -4999989}, {4999996, -4999996}, {4, -4}},
    {"LevelMinus9MillionsAwayExact", {0, 0, 288, 288}, -9, {-3000000, 3000000}, {-1000, 1000}, false, {0, 0}, 640, 360,
     {92894, -92606, 20, 11, 92914, -92595, 0, 0, 640, 360}, {-2968000, 2968000}, {0, 0}},
    {"Level24CentreAtIntLimits", {0, 0, 288, 288}, 24, {kMax, kMin}, {0, 0}, false, {0, 0}, 640, 360,
     {0, 1610612880, -1610597232, -1610612592, -1610597232, 288, 67108858, 0, -67108218, -67108858}, {67108864, -67108864}, {0, 0}},
    {"Level24DragAtIntLimits", {0, 0, 288, 288}, 24, {0, 0}, {kMax, kMin}, false, {0, 0}, 640, 360,
     {1610612887, -8, -1610612592, -1610603952, 295, -1610603960, 0, 67108858, -67108858, -67108498}, {-67108864, 67108864}, {7, -8}},
    {"Level1CentreAndDragAtIntLimits", {0, 0, 288, 288}, 1, {kMin, kMax}, {kMax, kMin}, false, {0, 0}, 640, 360,
     {67109008, 0, -67108720, -67108360, 288, -67108360, 0, 67108720, -67108720, -67108360}, {-67108864, 67108864}, {0, 0}},
    {"LevelMinus9DragAtIntLimits", {0, 0, 288, 288}, -9, {kMin, kMax}, {kMax, kMin}, false, {0, 0}, 640, 360,
     {2097296, -2097008, 20, 11, 2097316, -2096997, 0, 0, 640, 360}, {-67108864, 67108864}, {0, 0}},
    {"Level0AnchorAtIntLimits", {0, 0, 288, 288}, 0, {0, 0}, {5, 5}, true, {kMin, kMax}, 640, 360,
     {44739386, -44739098, 426, 240, 44739812, -44738858, 0, 0, 640, 360}, {-67108864, 67108864}, {0, 0}},
    {"Level24HugeFrameHugeClient", {0, 0, 32767, 32767}, 24, {0, 0}, {0, 0}, false, {0, 0}, kMax, kMax,
     {16383, 16383, 16392, 16392, 32775, 32775, 0, 0, 683, 683}, {0, 0}, {0, 0}},
    {"Level24HugeFrameFarCentre", {0, 0, 32767, 32767}, 24, {kMin, kMax}, {0, 0}, false, {0, 0}, kMax, kMax,
     {1610629119, -9, -1610596344, 32784, 32775, 32775, 0, 67108181, -67108181, 1366}, {-67108864, 67108864}, {0, 0}},
    {"Level0HugeFrameFarCentre", {0, 0, 32767, 32767}, 0, {kMin, kMin}, {0, 0}, false, {0, 0}, kMax, kMax,
     {44755625, 44755625, 1431655764, 1431655764, 1476411389, 1476411389, 0, 0, kMax, kMax}, {-67108864, -67108864}, {0, 0}},
    {"Level2HugeFrameDragged", {0, 0, 32767, 32767}, 2, {kMax, kMax}, {kMin, kMin}, false, {0, 0}, kMax, kMax,
     {-1, -1, 32768, 32768, 32767, 32767, 67100672, 67100672, 16384, 16384}, {67108864, 67108864}, {0, 0}},
    {"LevelAbove24TakenAs24", {0, 0, 288, 288}, 1000, {100, 50}, {0, 0}, false, {0, 0}, 640, 360,
     {0, 0, 288, 288, 288, 288, 94, 44, 12, 12}, {100, 50}, {0, 0}},
    {"LevelBelowMinus9TakenAsMinus9", {0, 0, 288, 288}, kMin, {320, 180}, {0, 0}, false, {0, 0}, 640, 360,
     {134, 139, 20, 11, 154, 150, 0, 0, 640, 360}, {320, 180}, {0, 0}},
    {"NegativeFrameSizeIsNoFrame", {0, 0, 288, 288}, 3, {100, 50}, {0, 0}, false, {0, 0}, -5, kMin,
     {0, 0, -156, -6, -156, -6, 52, 2, -52, -2}, {100, 50}, {0, 0}},
};

std::string Describe(const ViewGeometry& g) {
  char text[256];
  std::snprintf(text, sizeof text, "dest %d,%d %dx%d (right %d, bottom %d) src %d,%d %dx%d", g.destX, g.destY,
                g.destWidth, g.destHeight, g.destRight, g.destBottom, g.srcX, g.srcY, g.srcWidth, g.srcHeight);
  return text;
}

std::string Describe(const Expected& e) {
  return Describe(ViewGeometry{e.destX, e.destY, e.destWidth, e.destHeight, e.destRight, e.destBottom, e.srcX, e.srcY,
                               e.srcWidth, e.srcHeight});
}

std::string DescribeState() {
  return "centre " + std::to_string(viewState.centreX) + "," + std::to_string(viewState.centreY) + " pending " +
         std::to_string(viewState.pendingDx) + "," + std::to_string(viewState.pendingDy);
}

std::string DescribeState(FramePoint centre, FramePoint pending) {
  return "centre " + std::to_string(centre.x) + "," + std::to_string(centre.y) + " pending " +
         std::to_string(pending.x) + "," + std::to_string(pending.y);
}

void Load(const GeometryCase& row) {
  viewState = ViewState{};
  viewState.zoomLevel = row.level;
  viewState.centreX = row.centre.x;
  viewState.centreY = row.centre.y;
  viewState.pendingDx = row.pending.x;
  viewState.pendingDy = row.pending.y;
  viewState.frameWidth = row.frameWidth;
  viewState.frameHeight = row.frameHeight;
}

// Each row runs twice: the second run, with no new drag and no anchor, must
// give the same rectangles and leave the state as the first left it.
TEST(ViewGeometry, RectanglesAndStateForEveryCase) {
  for (const GeometryCase& row : kCases) {
    Load(row);
    const ViewGeometry first = ComputeViewGeometry(row.client, row.hasAnchor ? &row.anchor : nullptr);
    EXPECT_EQ(Describe(row.geometry), Describe(first)) << row.name;
    EXPECT_EQ(DescribeState(row.centreAfter, row.pendingAfter), DescribeState()) << row.name;

    const std::string stateAfterFirst = DescribeState();
    const ViewGeometry second = ComputeViewGeometry(row.client, nullptr);
    EXPECT_EQ(Describe(first), Describe(second)) << row.name << ", second run";
    EXPECT_EQ(stateAfterFirst, DescribeState()) << row.name << ", second run";
  }
}

// Over a sweep of centres and drags at every magnifying level: the drawn
// columns are exactly those that the window shows, each d pixels wide, placed
// so that frame pixel (centreX, centreY) starts at the client centre plus the
// pending drag.
TEST(ViewGeometry, MagnifyingKeepsWholePixelsAtTheirPlace) {
  const RECT client = {0, 0, 301, 288};
  const int frameW = 640, frameH = 360;
  for (int level = 1; level <= 24; ++level) {
    for (int centre = -700; centre <= 1400; centre += 37) {
      for (int drag = -50; drag <= 50; drag += 13) {
        viewState = ViewState{};
        viewState.zoomLevel = level;
        viewState.frameWidth = frameW;
        viewState.frameHeight = frameH;
        viewState.centreX = centre;
        viewState.centreY = centre / 2;
        viewState.pendingDx = drag;
        viewState.pendingDy = -drag;
        const ViewGeometry g = ComputeViewGeometry(client, nullptr);
        const std::string where = "level " + std::to_string(level) + " centre " + std::to_string(centre) +
                                  " drag " + std::to_string(drag) + ": " + Describe(g);
        const int d = level;
        ASSERT_LT(viewState.pendingDx * (drag < 0 ? -1 : 1), d) << where;
        ASSERT_GE(viewState.pendingDx * (drag < 0 ? -1 : 1), 0) << where;
        // Frame column srcX sits where the centre rule puts it.
        ASSERT_EQ(150 + viewState.pendingDx - (viewState.centreX - g.srcX) * d, g.destX) << where;
        ASSERT_EQ(144 + viewState.pendingDy - (viewState.centreY - g.srcY) * d, g.destY) << where;
        ASSERT_EQ(g.destX + g.destWidth, g.destRight) << where;
        ASSERT_EQ(g.destY + g.destHeight, g.destBottom) << where;
        if (g.srcWidth > 0) {
          ASSERT_EQ(g.srcWidth * d, g.destWidth) << where;
          ASSERT_GE(g.srcX, 0) << where;
          ASSERT_LE(g.srcX + g.srcWidth, frameW) << where;
          // The first column is the leftmost one that shows at least in part...
          ASSERT_TRUE(g.srcX == 0 ? g.destX > -d : (g.destX <= 0 && g.destX > -d)) << where;
          // ...and the last one the rightmost.
          ASSERT_TRUE(g.srcX + g.srcWidth == frameW ? g.destRight < 301 + d
                                                    : (g.destRight >= 301 && g.destRight < 301 + d))
              << where;
        }
        if (g.srcHeight > 0) {
          ASSERT_EQ(g.srcHeight * d, g.destHeight) << where;
          ASSERT_GE(g.srcY, 0) << where;
          ASSERT_LE(g.srcY + g.srcHeight, frameH) << where;
        }
      }
    }
  }
}

}  // namespace
