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

struct GeometryCase {
  const char* name;
  RECT client = {0, 0, 288, 288};
  int level;
  FramePoint centre;
  FramePoint pending = {0, 0};  // drag not yet folded in, window pixels
  bool hasAnchor = false;       // the anchor then replaces centre and drag
  FramePoint anchor = {0, 0};
  int frameWidth = 640, frameHeight = 360;
  ViewGeometry want;
  FramePoint centreAfter;
  FramePoint pendingAfter = {0, 0};
};

// Values worked out by hand from the rules (whole frame pixels cut at the
// left, right, top, bottom in that order; divisions truncate toward zero),
// with a 640 by 360 frame in a 288 by 288 client unless the row says else.
// Centres beyond 2^26 pixels are held at +-2^26 (67108864).
// clang-format off
const GeometryCase kCases[] = {
    {.name = "Level3Centred", .level = 3, .centre = {100, 50},
     .want = {.destX = 0, .destY = 0, .destWidth = 288, .destHeight = 288, .destRight = 288, .destBottom = 288,
              .srcX = 52, .srcY = 2, .srcWidth = 96, .srcHeight = 96}, .centreAfter = {100, 50}},
    {.name = "Level3DragFoldsWholePixels", .level = 3, .centre = {100, 50}, .pending = {7, -5},
     .want = {.destX = -2, .destY = -2, .destWidth = 291, .destHeight = 291, .destRight = 289, .destBottom = 289,
              .srcX = 49, .srcY = 3, .srcWidth = 97, .srcHeight = 97}, .centreAfter = {98, 51},
     .pendingAfter = {1, -2}},
    {.name = "Level3NegativeDragTruncatesTowardZero", .level = 3, .centre = {100, 50}, .pending = {-7, 5},
     .want = {.destX = -1, .destY = -1, .destWidth = 291, .destHeight = 291, .destRight = 290, .destBottom = 290,
              .srcX = 54, .srcY = 0, .srcWidth = 97, .srcHeight = 97}, .centreAfter = {102, 49},
     .pendingAfter = {-1, 2}},
    {.name = "Level3AnchorReplacesCentreAndDrag", .level = 3, .centre = {100, 50}, .pending = {7, -5},
     .hasAnchor = true, .anchor = {320, 180},
     .want = {.destX = 0, .destY = 0, .destWidth = 288, .destHeight = 288, .destRight = 288, .destBottom = 288,
              .srcX = 272, .srcY = 132, .srcWidth = 96, .srcHeight = 96}, .centreAfter = {320, 180}},
    {.name = "Level3AnchorAtOrigin", .level = 3, .centre = {100, 50}, .hasAnchor = true, .anchor = {0, 0},
     .want = {.destX = 144, .destY = 144, .destWidth = 144, .destHeight = 144, .destRight = 288, .destBottom = 288,
              .srcX = 0, .srcY = 0, .srcWidth = 48, .srcHeight = 48}, .centreAfter = {0, 0}},
    {.name = "Level3AnchorAtLastPixel", .level = 3, .centre = {100, 50}, .hasAnchor = true, .anchor = {639, 359},
     .want = {.destX = 0, .destY = 0, .destWidth = 147, .destHeight = 147, .destRight = 147, .destBottom = 147,
              .srcX = 591, .srcY = 311, .srcWidth = 49, .srcHeight = 49}, .centreAfter = {639, 359}},
    {.name = "Level24", .level = 24, .centre = {100, 50},
     .want = {.destX = 0, .destY = 0, .destWidth = 288, .destHeight = 288, .destRight = 288, .destBottom = 288,
              .srcX = 94, .srcY = 44, .srcWidth = 12, .srcHeight = 12}, .centreAfter = {100, 50}},
    {.name = "Level5CutsWithRemainders", .level = 5, .centre = {33, 21}, .pending = {4, -3},
     .want = {.destX = -2, .destY = 36, .destWidth = 290, .destHeight = 255, .destRight = 288, .destBottom = 291,
              .srcX = 3, .srcY = 0, .srcWidth = 58, .srcHeight = 51}, .centreAfter = {33, 21},
     .pendingAfter = {4, -3}},
    {.name = "Level1OddClient", .client = {0, 0, 289, 200}, .level = 1, .centre = {100, 50},
     .want = {.destX = 44, .destY = 50, .destWidth = 245, .destHeight = 150, .destRight = 289, .destBottom = 200,
              .srcX = 0, .srcY = 0, .srcWidth = 245, .srcHeight = 150}, .centreAfter = {100, 50}},
    {.name = "Level1FrameInsideWindow", .client = {0, 0, 1000, 800}, .level = 1, .centre = {320, 180},
     .want = {.destX = 180, .destY = 220, .destWidth = 640, .destHeight = 360, .destRight = 820, .destBottom = 580,
              .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360}, .centreAfter = {320, 180}},
    {.name = "LevelMinus1", .level = -1, .centre = {100, 50},
     .want = {.destX = 94, .destY = 119, .destWidth = 320, .destHeight = 180, .destRight = 414, .destBottom = 299,
              .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360}, .centreAfter = {100, 50}},
    {.name = "LevelMinus1DragScaled", .level = -1, .centre = {100, 50}, .pending = {7, -5},
     .want = {.destX = 101, .destY = 114, .destWidth = 320, .destHeight = 180, .destRight = 421, .destBottom = 294,
              .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360}, .centreAfter = {86, 60}},
    {.name = "LevelMinus1Anchor", .level = -1, .centre = {100, 50}, .pending = {7, -5}, .hasAnchor = true,
     .anchor = {0, 0},
     .want = {.destX = 144, .destY = 144, .destWidth = 320, .destHeight = 180, .destRight = 464, .destBottom = 324,
              .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360}, .centreAfter = {0, 0}},
    {.name = "Level0HalvesTruncate", .level = 0, .centre = {100, 50}, .pending = {7, -5},
     .want = {.destX = 84, .destY = 106, .destWidth = 426, .destHeight = 240, .destRight = 510, .destBottom = 346,
              .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360}, .centreAfter = {90, 57}},
    {.name = "Level0NegativeCentreTruncates", .level = 0, .centre = {-7, 50},
     .want = {.destX = 148, .destY = 111, .destWidth = 426, .destHeight = 240, .destRight = 574, .destBottom = 351,
              .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360}, .centreAfter = {-7, 50}},
    {.name = "LevelMinus2", .level = -2, .centre = {320, 180},
     .want = {.destX = 38, .destY = 84, .destWidth = 213, .destHeight = 120, .destRight = 251, .destBottom = 204,
              .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360}, .centreAfter = {320, 180}},
    {.name = "LevelMinus9", .level = -9, .centre = {320, 180}, .pending = {3, -3},
     .want = {.destX = 137, .destY = 136, .destWidth = 20, .destHeight = 11, .destRight = 157, .destBottom = 147,
              .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360}, .centreAfter = {224, 276}},
    {.name = "Level3NoFrameYet", .level = 3, .centre = {100, 50}, .frameWidth = 0, .frameHeight = 0,
     .want = {.destX = 0, .destY = 0, .destWidth = -156, .destHeight = -6, .destRight = -156, .destBottom = -6,
              .srcX = 52, .srcY = 2, .srcWidth = -52, .srcHeight = -2}, .centreAfter = {100, 50}},
    {.name = "Level3FrameWhollyRight", .level = 3, .centre = {-200, 50},
     .want = {.destX = 744, .destY = 0, .destWidth = -456, .destHeight = 288, .destRight = 288, .destBottom = 288,
              .srcX = 0, .srcY = 2, .srcWidth = -152, .srcHeight = 96}, .centreAfter = {-200, 50}},
    {.name = "Level3FrameWhollyBelowLeft", .level = 3, .centre = {900, -300},
     .want = {.destX = 0, .destY = 1044, .destWidth = -636, .destHeight = -756, .destRight = -636,
              .destBottom = 288, .srcX = 852, .srcY = 0, .srcWidth = -212, .srcHeight = -252},
     .centreAfter = {900, -300}},
    {.name = "LevelMinus1NoFrameYet", .level = -1, .centre = {100, 50}, .frameWidth = 0, .frameHeight = 0,
     .want = {.destX = 94, .destY = 119, .destWidth = 0, .destHeight = 0, .destRight = 94, .destBottom = 119,
              .srcX = 0, .srcY = 0, .srcWidth = 0, .srcHeight = 0}, .centreAfter = {100, 50}},
    {.name = "Level24MillionsAwayExact", .level = 24, .centre = {5000000, -5000000}, .pending = {100, -100},
     .want = {.destX = -20, .destY = 120000044, .destWidth = -119984376, .destHeight = -119999736,
              .destRight = -119984396, .destBottom = 308, .srcX = 4999989, .srcY = 0, .srcWidth = -4999349,
     .srcHeight = -4999989}, .centreAfter = {4999996, -4999996}, .pendingAfter = {4, -4}},
    {.name = "LevelMinus9MillionsAwayExact", .level = -9, .centre = {-3000000, 3000000}, .pending = {-1000, 1000},
     .want = {.destX = 92894, .destY = -92606, .destWidth = 20, .destHeight = 11, .destRight = 92914,
              .destBottom = -92595, .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360},
     .centreAfter = {-2968000, 2968000}},
    {.name = "Level24CentreAtIntLimits", .level = 24, .centre = {kMax, kMin},
     .want = {.destX = 0, .destY = 1610612880, .destWidth = -1610597232, .destHeight = -1610612592,
              .destRight = -1610597232, .destBottom = 288, .srcX = 67108858, .srcY = 0, .srcWidth = -67108218,
     .srcHeight = -67108858}, .centreAfter = {67108864, -67108864}},
    {.name = "Level24DragAtIntLimits", .level = 24, .centre = {0, 0}, .pending = {kMax, kMin},
     .want = {.destX = 1610612887, .destY = -8, .destWidth = -1610612592, .destHeight = -1610603952,
              .destRight = 295, .destBottom = -1610603960, .srcX = 0, .srcY = 67108858, .srcWidth = -67108858,
     .srcHeight = -67108498}, .centreAfter = {-67108864, 67108864}, .pendingAfter = {7, -8}},
    {.name = "Level1CentreAndDragAtIntLimits", .level = 1, .centre = {kMin, kMax}, .pending = {kMax, kMin},
     .want = {.destX = 67109008, .destY = 0, .destWidth = -67108720, .destHeight = -67108360, .destRight = 288,
              .destBottom = -67108360, .srcX = 0, .srcY = 67108720, .srcWidth = -67108720, .srcHeight = -67108360},
     .centreAfter = {-67108864, 67108864}},
    {.name = "LevelMinus9DragAtIntLimits", .level = -9, .centre = {kMin, kMax}, .pending = {kMax, kMin},
     .want = {.destX = 2097296, .destY = -2097008, .destWidth = 20, .destHeight = 11, .destRight = 2097316,
              .destBottom = -2096997, .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360},
     .centreAfter = {-67108864, 67108864}},
    {.name = "Level0AnchorAtIntLimits", .level = 0, .centre = {0, 0}, .pending = {5, 5}, .hasAnchor = true,
     .anchor = {kMin, kMax},
     .want = {.destX = 44739386, .destY = -44739098, .destWidth = 426, .destHeight = 240, .destRight = 44739812,
              .destBottom = -44738858, .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360},
     .centreAfter = {-67108864, 67108864}},
    {.name = "Level24HugeFrameHugeClient", .client = {0, 0, 32767, 32767}, .level = 24, .centre = {0, 0},
     .frameWidth = kMax, .frameHeight = kMax,
     .want = {.destX = 16383, .destY = 16383, .destWidth = 16392, .destHeight = 16392, .destRight = 32775,
              .destBottom = 32775, .srcX = 0, .srcY = 0, .srcWidth = 683, .srcHeight = 683}, .centreAfter = {0, 0}},
    {.name = "Level24HugeFrameFarCentre", .client = {0, 0, 32767, 32767}, .level = 24, .centre = {kMin, kMax},
     .frameWidth = kMax, .frameHeight = kMax,
     .want = {.destX = 1610629119, .destY = -9, .destWidth = -1610596344, .destHeight = 32784, .destRight = 32775,
              .destBottom = 32775, .srcX = 0, .srcY = 67108181, .srcWidth = -67108181, .srcHeight = 1366},
     .centreAfter = {-67108864, 67108864}},
    {.name = "Level0HugeFrameFarCentre", .client = {0, 0, 32767, 32767}, .level = 0, .centre = {kMin, kMin},
     .frameWidth = kMax, .frameHeight = kMax,
     .want = {.destX = 44755625, .destY = 44755625, .destWidth = 1431655764, .destHeight = 1431655764,
              .destRight = 1476411389, .destBottom = 1476411389, .srcX = 0, .srcY = 0, .srcWidth = kMax,
     .srcHeight = kMax}, .centreAfter = {-67108864, -67108864}},
    {.name = "Level2HugeFrameDragged", .client = {0, 0, 32767, 32767}, .level = 2, .centre = {kMax, kMax},
     .pending = {kMin, kMin}, .frameWidth = kMax, .frameHeight = kMax,
     .want = {.destX = -1, .destY = -1, .destWidth = 32768, .destHeight = 32768, .destRight = 32767,
              .destBottom = 32767, .srcX = 67100672, .srcY = 67100672, .srcWidth = 16384, .srcHeight = 16384},
     .centreAfter = {67108864, 67108864}},
    {.name = "LevelAbove24TakenAs24", .level = 1000, .centre = {100, 50},
     .want = {.destX = 0, .destY = 0, .destWidth = 288, .destHeight = 288, .destRight = 288, .destBottom = 288,
              .srcX = 94, .srcY = 44, .srcWidth = 12, .srcHeight = 12}, .centreAfter = {100, 50}},
    {.name = "LevelBelowMinus9TakenAsMinus9", .level = kMin, .centre = {320, 180},
     .want = {.destX = 134, .destY = 139, .destWidth = 20, .destHeight = 11, .destRight = 154, .destBottom = 150,
              .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360}, .centreAfter = {320, 180}},
    {.name = "NegativeFrameSizeIsNoFrame", .level = 3, .centre = {100, 50}, .frameWidth = -5, .frameHeight = kMin,
     .want = {.destX = 0, .destY = 0, .destWidth = -156, .destHeight = -6, .destRight = -156, .destBottom = -6,
              .srcX = 52, .srcY = 2, .srcWidth = -52, .srcHeight = -2}, .centreAfter = {100, 50}},
};
// clang-format on

std::string Describe(const ViewGeometry& g) {
  char text[256];
  std::snprintf(text, sizeof text, "dest %d,%d %dx%d (right %d, bottom %d) src %d,%d %dx%d", g.destX, g.destY,
                g.destWidth, g.destHeight, g.destRight, g.destBottom, g.srcX, g.srcY, g.srcWidth, g.srcHeight);
  return text;
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
  viewState = {.zoomLevel = row.level,
               .centreX = row.centre.x,
               .centreY = row.centre.y,
               .pendingDx = row.pending.x,
               .pendingDy = row.pending.y,
               .frameWidth = row.frameWidth,
               .frameHeight = row.frameHeight};
}

// Each row runs twice: the second run, with no new drag and no anchor, must
// give the same rectangles and leave the state as the first left it.
TEST(ViewGeometry, RectanglesAndStateForEveryCase) {
  for (const GeometryCase& row : kCases) {
    Load(row);
    const ViewGeometry first = ComputeViewGeometry(row.client, row.hasAnchor ? &row.anchor : nullptr);
    EXPECT_EQ(Describe(row.want), Describe(first)) << row.name;
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
        viewState = {.zoomLevel = level,
                     .centreX = centre,
                     .centreY = centre / 2,
                     .pendingDx = drag,
                     .pendingDy = -drag,
                     .frameWidth = frameW,
                     .frameHeight = frameH};
        const ViewGeometry g = ComputeViewGeometry(client, nullptr);
        const std::string where = "level " + std::to_string(level) + " centre " + std::to_string(centre) + " drag " +
                                  std::to_string(drag) + ": " + Describe(g);
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
