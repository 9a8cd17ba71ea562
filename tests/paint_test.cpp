// Painting the view: the calls PaintView makes, the pixels it leaves, and the
// GDI objects it gives back. The client is 288 by 288 and the frame 640 by 360
// unless a row says otherwise.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "state/snapshot.h"
#include "state/view_state.h"
#include "tests/fake_host.h"
#include "tests/view_model.h"
#include "view/paint.h"

namespace {

using viewmodel::kBackground;
using viewmodel::kBlack;
using viewmodel::kWhite;
constexpr int64_t kBackgroundBrush = 11;  // COLOR_ACTIVEBORDER + 1
constexpr int kClient = 288;

struct View {
  int level;
  FramePoint centre;
  FramePoint pending = {0, 0};
  bool hasAnchor = false;
  FramePoint anchor = {0, 0};
  int rulerOn = 0;
  int gridMode = 0;
  int frameWidth = 640;
  int frameHeight = 360;
};

// Starts the host, makes the snapshot and copies one frame into it (which
// paints once), then sets the view over that snapshot, poisons the client and
// clears the log.
fakehost::Host& Prepare(const View& v) {
  fakehost::Host& host = fakehost::Start();
  EnsureSnapshot(host.table);
  fakehost::SetFrame(v.frameWidth, v.frameHeight);
  fakehost::Frame();
  fakehost::SetView({.zoomLevel = v.level,
                     .centreX = v.centre.x,
                     .centreY = v.centre.y,
                     .pendingDx = v.pending.x,
                     .pendingDy = v.pending.y,
                     .rulerOn = v.rulerOn,
                     .gridMode = v.gridMode});
  standin::FillClient(host.window, kPoison);
  standin::ClearCalls();
  return host;
}

void Paint(const fakehost::Host& host, const View& v) {
  PaintView(host.table, host.editHandle, v.hasAnchor ? &v.anchor : nullptr);
}

// ---- what one PaintView drew, read from the call log ------------------------

struct Line {
  int64_t x0, y0, x1, y1;
};

struct Drawn {
  std::vector<std::array<int64_t, 5>> fills;  // FillRect: rect and brush
  std::vector<Line> ticks;                    // lines before the clip region is made
  std::vector<Line> grid;                     // lines after it (all of them without a ruler)
  std::vector<int64_t> clip;                  // CreateRectRgn arguments
  std::vector<int64_t> blt;                   // StretchBlt arguments after the DC
  int64_t stretchMode = -1;
  int64_t gridPen = 0;  // pen selected just before the first grid line
};

Drawn Read() {
  Drawn d;
  const std::vector<standin::Call>& calls = standin::Calls();
  // Without a ruler there is no clip region and every line is a grid line.
  size_t clipAt = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].fn == "CreateRectRgn") {
      clipAt = i;
      break;
    }
  }
  int64_t lastPen = 0;
  int64_t moveX = 0, moveY = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    const standin::Call& c = calls[i];
    if (c.fn == "FillRect") {
      d.fills.push_back({c.args[1], c.args[2], c.args[3], c.args[4], c.args[5]});
    } else if (c.fn == "CreateRectRgn") {
      d.clip = c.args;
    } else if (c.fn == "SelectObject") {
      lastPen = c.args[1];
    } else if (c.fn == "MoveToEx") {
      moveX = c.args[1];
      moveY = c.args[2];
    } else if (c.fn == "LineTo") {
      const Line line = {moveX, moveY, c.args[1], c.args[2]};
      if (i < clipAt) {
        d.ticks.push_back(line);
      } else {
        if (d.grid.empty()) d.gridPen = lastPen;
        d.grid.push_back(line);
      }
    } else if (c.fn == "SetStretchBltMode") {
      d.stretchMode = c.args[1];
    } else if (c.fn == "StretchBlt") {
      d.blt.assign(c.args.begin() + 1, c.args.end());
    }
  }
  return d;
}

struct Seq {
  int first, step, count;
};

// Ticks as "x:length" (top strip) and "y:length" (left strip).
std::string DescribeTicks(const std::vector<Line>& ticks, bool top) {
  std::string out;
  for (const Line& t : ticks) {
    const bool isTop = t.y0 == 0 && t.x0 == t.x1 && t.x0 != 0;
    if (isTop != top) continue;
    out += std::to_string(top ? t.x0 : t.y0) + ":" + std::to_string(top ? t.y1 : t.x1) + " ";
  }
  return out;
}

std::string ExpectTicks(Seq s, const std::set<int>& longAt) {
  std::string out;
  for (int k = 0; k < s.count; ++k) {
    const int at = s.first + k * s.step;
    out += std::to_string(at) + ":" + (longAt.count(at) ? "8" : "3") + " ";
  }
  return out;
}

std::string DescribeGrid(const std::vector<Line>& grid) {
  std::string out;
  for (const Line& g : grid) {
    out += "(" + std::to_string(g.x0) + "," + std::to_string(g.y0) + ")-(" + std::to_string(g.x1) + "," +
           std::to_string(g.y1) + ") ";
  }
  return out;
}

// Vertical lines over the whole height, then horizontal ones over the width.
std::string ExpectGrid(Seq vertical, Seq horizontal) {
  std::vector<Line> lines;
  for (int k = 0; k < vertical.count; ++k) {
    const int x = vertical.first + k * vertical.step;
    lines.push_back({x, 0, x, kClient});
  }
  for (int k = 0; k < horizontal.count; ++k) {
    const int y = horizontal.first + k * horizontal.step;
    lines.push_back({0, y, kClient, y});
  }
  return DescribeGrid(lines);
}

std::string DescribeFills(const std::vector<std::array<int64_t, 5>>& fills, int64_t brush) {
  std::string out;
  for (const auto& f : fills) {
    if (f[4] != brush) continue;
    out += "(" + std::to_string(f[0]) + "," + std::to_string(f[1]) + ")-(" + std::to_string(f[2]) + "," +
           std::to_string(f[3]) + ") ";
  }
  return out;
}

std::string Join(const std::vector<int64_t>& v) {
  std::string out;
  for (int64_t x : v) out += std::to_string(x) + " ";
  return out;
}

// What the books must say after any PaintView: every DC back, the window DC
// holding the pen it had, and no region, pen or other object left alive.
// regionsMade: clip regions the paints made (and must have deleted).
void ExpectBalanced(const char* name, HWND window, const standin::Books& before, bool clipped, int regionsMade) {
  const standin::Books after = standin::GetBooks();
  EXPECT_EQ(0, after.windowDcsOut) << name;
  EXPECT_EQ(0, after.regionsAlive) << name;
  EXPECT_EQ(before.memoryDcsAlive, after.memoryDcsAlive) << name;
  EXPECT_EQ(before.bitmapsAlive, after.bitmapsAlive) << name;
  EXPECT_EQ(0, after.stockDeletes) << name;
  EXPECT_EQ(0, after.selectedDeletes) << name;
  EXPECT_EQ(0, after.badHandleCalls) << name;
  EXPECT_EQ(0, after.nonStockPenSelections) << name;
  EXPECT_EQ(before.created + regionsMade, after.created) << name << ": objects made";
  EXPECT_EQ(GetStockObject(BLACK_PEN), standin::PenAtLastRelease(window)) << name << ": pen not selected back";
  RECT clip = {};
  const bool hadClip = standin::ClipAtLastRelease(window, &clip);
  EXPECT_EQ(clipped, hadClip) << name;
  if (clipped && hadClip) {
    EXPECT_EQ(8, clip.left) << name;
    EXPECT_EQ(8, clip.top) << name;
    EXPECT_EQ(kClient, clip.right) << name;
    EXPECT_EQ(kClient, clip.bottom) << name;
  }
}

// ---- calls -------------------------------------------------------------------

constexpr Seq kNone = {0, 0, 0};

struct CallCase {
  const char* name;
  View view;
  Seq topTicks = kNone;
  std::set<int> topLong = {};
  Seq leftTicks = kNone;
  std::set<int> leftLong = {};
  const char* background = "";    // rectangles with the background value, in order
  std::vector<int64_t> blt = {};  // x, y, w, h, (src dc), sx, sy, sw, sh, rop; empty: no image
  int gridPen = -1;               // stock pen number, or -1 for no grid
  Seq vertical = kNone;
  Seq horizontal = kNone;
};

std::set<int> Every(int first, int step, int last) {
  std::set<int> out;
  for (int v = first; v <= last; v += step) out.insert(v);
  return out;
}

// clang-format off
const CallCase kCallCases[] = {
    {.name = "Level3Centred", .view = {.level = 3, .centre = {100, 50}, .rulerOn = 1, .gridMode = 1},
     .topTicks = {9, 3, 94}, .topLong = Every(24, 30, 264),
     .leftTicks = {9, 3, 94}, .leftLong = Every(24, 30, 264),
     .blt = {0, 0, 288, 288, 52, 2, 96, 96}, .gridPen = BLACK_PEN, .vertical = {0, 3, 96}, .horizontal = {0, 3, 96}},
    {.name = "Level3PendingDrag",
     .view = {.level = 3, .centre = {100, 50}, .pending = {7, -5}, .rulerOn = 1, .gridMode = 1},
     .topTicks = {10, 3, 94}, .topLong = Every(31, 30, 271),
     .leftTicks = {10, 3, 94}, .leftLong = Every(19, 30, 289),
     .blt = {-2, -2, 291, 291, 49, 3, 97, 97}, .gridPen = BLACK_PEN, .vertical = {-2, 3, 97},
     .horizontal = {-2, 3, 97}},
    {.name = "Level3AnchorAtOrigin",
     .view = {.level = 3, .centre = {100, 50}, .pending = {7, -5}, .hasAnchor = true, .anchor = {0, 0}, .rulerOn = 1, .gridMode = 1},
     .topTicks = {144, 3, 49}, .topLong = Every(144, 30, 288),
     .leftTicks = {144, 3, 49}, .leftLong = Every(144, 30, 288),
     .background = "(0,0)-(144,288) (0,0)-(288,144) ",
     .blt = {144, 144, 144, 144, 0, 0, 48, 48}, .gridPen = BLACK_PEN, .vertical = {144, 3, 48},
     .horizontal = {144, 3, 48}},
    {.name = "Level24WhiteGrid", .view = {.level = 24, .centre = {100, 50}, .rulerOn = 1, .gridMode = 2},
     .topTicks = {24, 24, 12}, .topLong = {144},
     .leftTicks = {24, 24, 12}, .leftLong = {144},
     .blt = {0, 0, 288, 288, 94, 44, 12, 12}, .gridPen = WHITE_PEN, .vertical = {0, 24, 12},
     .horizontal = {0, 24, 12}},
    {.name = "Level2GridModeAbove2IsWhite", .view = {.level = 2, .centre = {100, 50}, .gridMode = 5},
     .background = "(0,0)-(288,44) ",
     .blt = {0, 44, 288, 244, 28, 0, 144, 122}, .gridPen = WHITE_PEN, .vertical = {0, 2, 144},
     .horizontal = {44, 2, 122}},
    {.name = "Level2NegativeGridModeDrawsNone", .view = {.level = 2, .centre = {100, 50}, .rulerOn = 1, .gridMode = -1},
     .topTicks = {8, 2, 141}, .topLong = Every(24, 20, 284),
     .leftTicks = {44, 2, 123}, .leftLong = Every(44, 20, 284),
     .background = "(0,0)-(288,44) ",
     .blt = {0, 44, 288, 244, 28, 0, 144, 122}},
    {.name = "Level1NoRulerNoGrid", .view = {.level = 1, .centre = {100, 50}, .rulerOn = 1, .gridMode = 2},
     .background = "(0,0)-(44,288) (0,0)-(288,94) ",
     .blt = {44, 94, 244, 194, 0, 0, 244, 194}},
    {.name = "LevelMinus1WholeFrame", .view = {.level = -1, .centre = {100, 50}, .rulerOn = 1, .gridMode = 1},
     .background = "(0,0)-(94,288) (0,0)-(288,119) ",
     .blt = {94, 119, 320, 180, 0, 0, 640, 360}},
    // The frame begins exactly at the right edge: srcWidth 0 still tries one
    // top tick (a long one, column 0, at x 288) but draws no image and no
    // vertical line; rows keep their ticks and lines.
    {.name = "FrameStartsAtRightEdge", .view = {.level = 3, .centre = {-48, 50}, .rulerOn = 1, .gridMode = 1},
     .topTicks = {288, 3, 1}, .topLong = {288},
     .leftTicks = {9, 3, 94}, .leftLong = Every(24, 30, 264),
     .background = "(0,0)-(288,288) ", .gridPen = BLACK_PEN, .horizontal = {0, 3, 96}},
    {.name = "FrameWhollyRight", .view = {.level = 3, .centre = {-200, 50}, .rulerOn = 1, .gridMode = 1},
     .leftTicks = {9, 3, 94}, .leftLong = Every(24, 30, 264),
     .background = "(0,0)-(744,288) ", .gridPen = BLACK_PEN, .horizontal = {0, 3, 96}},
    {.name = "NoFrameYet",
     .view = {.level = 3, .centre = {100, 50}, .rulerOn = 1, .gridMode = 1, .frameWidth = 0, .frameHeight = 0},
     .background = "(-156,0)-(288,288) (0,-6)-(288,288) "},
    // A level no writer produces is drawn as the nearest real one.
    {.name = "LevelAbove24DrawnAs24", .view = {.level = 1000, .centre = {100, 50}, .gridMode = 1},
     .blt = {0, 0, 288, 288, 94, 44, 12, 12}, .gridPen = BLACK_PEN, .vertical = {0, 24, 12},
     .horizontal = {0, 24, 12}},
};
// clang-format on

TEST(PaintViewCalls, RulerBackgroundImageAndGrid) {
  for (const CallCase& row : kCallCases) {
    fakehost::Host& host = Prepare(row.view);
    const standin::Books before = standin::GetBooks();
    Paint(host, row.view);
    const Drawn d = Read();
    const bool ruler = row.view.rulerOn != 0 && row.view.level > 1;

    EXPECT_EQ(ExpectTicks(row.topTicks, row.topLong), DescribeTicks(d.ticks, true)) << row.name << ": top ticks";
    EXPECT_EQ(ExpectTicks(row.leftTicks, row.leftLong), DescribeTicks(d.ticks, false)) << row.name << ": left ticks";
    EXPECT_EQ(ruler ? "(0,0)-(288,8) (0,0)-(8,288) " : "",
              DescribeFills(d.fills, standin::H(GetStockObject(WHITE_BRUSH))))
        << row.name << ": ruler strips";
    EXPECT_EQ(ruler ? "8 8 288 288 " : "", Join(d.clip)) << row.name << ": clip region";
    EXPECT_EQ(row.background, DescribeFills(d.fills, kBackgroundBrush)) << row.name << ": background";
    std::vector<int64_t> blt;
    if (!row.blt.empty()) {
      blt = {row.blt[0], row.blt[1], row.blt[2], row.blt[3], standin::H(viewState.snapshotDc),
             row.blt[4], row.blt[5], row.blt[6], row.blt[7], SRCCOPY};
    }
    EXPECT_EQ(Join(blt), Join(d.blt)) << row.name << ": StretchBlt";
    EXPECT_EQ(row.blt.empty() ? -1 : COLORONCOLOR, d.stretchMode) << row.name << ": stretch mode";
    EXPECT_EQ(ExpectGrid(row.vertical, row.horizontal), DescribeGrid(d.grid)) << row.name << ": grid";
    if (row.gridPen >= 0) {
      EXPECT_EQ(standin::H(GetStockObject(row.gridPen)), d.gridPen) << row.name << ": grid pen";
    }
    ExpectBalanced(row.name, host.window, before, ruler, ruler ? 1 : 0);
  }
}

// The function names of one paint, with runs of MoveToEx/LineTo pairs folded
// into "lines" and stock-object look-ups left out.
std::string Sequence() {
  std::string out;
  for (const standin::Call& c : standin::Calls()) {
    if (c.fn == "GetStockObject") continue;
    std::string fn = c.fn == "MoveToEx" || c.fn == "LineTo" ? "lines" : c.fn;
    if (fn == "lines" && out.size() >= 6 && out.compare(out.size() - 6, 6, "lines ") == 0) continue;
    out += fn + " ";
  }
  return out;
}

TEST(PaintViewCalls, StepsInTheirOrderOnOneWindowDc) {
  const View v = {.level = 3,
                  .centre = {100, 50},
                  .pending = {7, -5},
                  .hasAnchor = true,
                  .anchor = {0, 0},
                  .rulerOn = 1,
                  .gridMode = 1};
  fakehost::Host& host = Prepare(v);
  Paint(host, v);
  EXPECT_EQ(
      "GetDC GetClientRect SelectObject FillRect FillRect lines SelectObject CreateRectRgn SelectClipRgn "
      "FillRect FillRect SetStretchBltMode StretchBlt SelectObject lines SelectObject ReleaseDC DeleteObject ",
      Sequence());
  // Everything is drawn on the DC that goes back; the region deleted is the one selected.
  const std::vector<standin::Call> release = standin::CallsTo("ReleaseDC");
  ASSERT_EQ(1u, release.size());
  const int64_t dc = release[0].args[1];
  EXPECT_EQ(standin::H(host.window), release[0].args[0]);
  for (const standin::Call& c : standin::Calls()) {
    if (c.fn == "FillRect" || c.fn == "MoveToEx" || c.fn == "LineTo" || c.fn == "SelectObject" ||
        c.fn == "SelectClipRgn" || c.fn == "SetStretchBltMode" || c.fn == "StretchBlt") {
      EXPECT_EQ(dc, c.args[0]) << standin::ToString(c);
    }
  }
  const std::vector<standin::Call> select = standin::CallsTo("SelectClipRgn");
  const std::vector<standin::Call> del = standin::CallsTo("DeleteObject");
  ASSERT_EQ(1u, select.size());
  ASSERT_EQ(1u, del.size());
  EXPECT_EQ(select[0].args[1], del[0].args[0]);
}

// ---- the empty window ----------------------------------------------------------

size_t callsAtIsEditing = 0;
BOOL HOSTAPI RecordingIsEditing(void*) {
  callsAtIsEditing = standin::Calls().size();
  return fakehost::Current().editing;
}

TEST(PaintViewEmpty, OnlyBackgroundAndStateUntouched) {
  struct Row {
    const char* name;
    int editing;
    bool snapshot;
    bool anchor;
  };
  const Row rows[] = {
      {.name = "NoVideo", .editing = 0, .snapshot = true, .anchor = false},
      {.name = "NoVideoWithAnchor", .editing = 0, .snapshot = true, .anchor = true},
      {.name = "NoSnapshot", .editing = 1, .snapshot = false, .anchor = false},
      {.name = "NoSnapshotWithAnchor", .editing = 1, .snapshot = false, .anchor = true},
      {.name = "Neither", .editing = 0, .snapshot = false, .anchor = true},
  };
  for (const Row& row : rows) {
    const View v = {.level = 3,
                    .centre = {100, 50},
                    .pending = {7, -5},
                    .hasAnchor = row.anchor,
                    .anchor = {320, 180},
                    .rulerOn = 1,
                    .gridMode = 1};
    fakehost::Host& host = Prepare(v);
    if (!row.snapshot) ReleaseSnapshot();
    host.editing = row.editing;
    host.services.IsEditing = RecordingIsEditing;
    callsAtIsEditing = 99;
    standin::ClearCalls();
    const standin::Books before = standin::GetBooks();
    Paint(host, v);

    EXPECT_EQ(0u, callsAtIsEditing) << row.name << ": IsEditing is asked before anything is drawn";
    EXPECT_EQ("GetDC GetClientRect FillRect ReleaseDC ", Sequence()) << row.name;
    const Drawn d = Read();
    EXPECT_EQ("(0,0)-(288,288) ", DescribeFills(d.fills, kBackgroundBrush)) << row.name;
    EXPECT_EQ(std::pair(100, 50), fakehost::Centre()) << row.name;
    EXPECT_EQ(7, viewState.pendingDx) << row.name;
    EXPECT_EQ(-5, viewState.pendingDy) << row.name;
    int wrong = 0;
    for (uint32_t p : standin::ClientPixels(host.window)) wrong += p != kBackground;
    EXPECT_EQ(0, wrong) << row.name << ": pixels other than background";
    ExpectBalanced(row.name, host.window, before, false, 0);
  }
}

// ---- pixels ----------------------------------------------------------------------

struct Spot {
  int x, y;
  uint32_t rgb;
};

struct PixelCase {
  const char* name;
  View view;
  viewmodel::Picture model;
  std::vector<Spot> spots;  // literal colours, checked besides the model
};

// clang-format off
const PixelCase kPixelCases[] = {
    {.name = "Level3Centred", .view = {.level = 3, .centre = {100, 50}, .rulerOn = 1, .gridMode = 1},
     .model = {.zoom = 3, .destX = 0, .destY = 0, .srcX = 52, .srcY = 2, .srcWidth = 96, .srcHeight = 96, .ruler = true,
               .gridMode = 1},
     .spots =
     {{0, 0, kWhite}, {7, 7, kWhite}, {9, 0, kBlack}, {9, 2, kBlack}, {9, 3, kWhite}, {24, 7, kBlack},
      {0, 24, kBlack}, {7, 24, kBlack}, {3, 9, kWhite}, {287, 0, kWhite}, {0, 287, kWhite},
      {9, 8, kBlack}, {9, 287, kBlack}, {8, 9, kBlack}, {287, 9, kBlack}, {10, 10, 0x370500}, {11, 11, 0x370500},
      {287, 287, 0x936100}, {286, 286, 0x936100}, {8, 8, 0x360400}}},
    {.name = "Level3AnchorAtOrigin",
     .view = {.level = 3, .centre = {100, 50}, .hasAnchor = true, .anchor = {0, 0}, .rulerOn = 1, .gridMode = 1},
     .model = {.zoom = 3, .destX = 144, .destY = 144, .srcX = 0, .srcY = 0, .srcWidth = 48, .srcHeight = 48,
               .ruler = true, .gridMode = 1},
     .spots =
     {{143, 0, kWhite}, {144, 0, kBlack}, {144, 7, kBlack}, {147, 2, kBlack}, {147, 3, kWhite},
      {144, 8, kBlack}, {144, 143, kBlack}, {143, 8, kBackground}, {145, 143, kBackground},
      {8, 144, kBlack}, {287, 144, kBlack}, {146, 146, 0x000000}, {149, 146, 0x010000}, {148, 148, 0x010100},
      {287, 287, 0x2F2F00}, {8, 8, kBackground}, {143, 143, kBackground}}},
    {.name = "Level24WhiteGrid", .view = {.level = 24, .centre = {100, 50}, .rulerOn = 1, .gridMode = 2},
     .model = {.zoom = 24, .destX = 0, .destY = 0, .srcX = 94, .srcY = 44, .srcWidth = 12, .srcHeight = 12,
               .ruler = true, .gridMode = 2},
     .spots =
     {{24, 0, kBlack}, {24, 3, kWhite}, {144, 7, kBlack}, {0, 144, kBlack}, {7, 144, kBlack}, {24, 8, kWhite},
      {24, 287, kWhite}, {8, 24, kWhite}, {287, 24, kWhite}, {8, 8, 0x5E2C00}, {23, 23, 0x5E2C00},
      {25, 25, 0x5F2D00}, {287, 287, 0x693700}, {264, 287, kWhite}}},
    {.name = "Level3OneColumnFrame", .view = {.level = 3, .centre = {0, 50}, .frameWidth = 1},
     .model = {.zoom = 3, .destX = 144, .destY = 0, .srcX = 0, .srcY = 2, .srcWidth = 1, .srcHeight = 96},
     .spots = {{144, 0, 0x000200}, {146, 287, 0x006100}, {143, 10, kBackground}, {147, 10, kBackground}}},
    {.name = "Level3OneRowFrame", .view = {.level = 3, .centre = {100, 0}, .frameHeight = 1},
     .model = {.zoom = 3, .destX = 0, .destY = 144, .srcX = 52, .srcY = 0, .srcWidth = 96, .srcHeight = 1},
     .spots = {{0, 144, 0x340000}, {287, 146, 0x930000}, {10, 143, kBackground}, {10, 147, kBackground}}},
    {.name = "LevelMinus1", .view = {.level = -1, .centre = {100, 50}, .rulerOn = 1, .gridMode = 1},
     .model = {.zoom = 0, .destX = 94, .destY = 119, .srcX = 0, .srcY = 0, .srcWidth = 640, .srcHeight = 360,
               .destWidth = 320, .destHeight = 180},
     .spots =
     {{0, 0, kBackground}, {93, 287, kBackground}, {287, 118, kBackground}, {94, 119, 0x010000},
      {95, 120, 0x030200}, {287, 287, 0x835011}}},
};
// clang-format on

TEST(PaintViewPixels, WholeClientMatchesTheRules) {
  for (const PixelCase& row : kPixelCases) {
    fakehost::Host& host = Prepare(row.view);
    const standin::Books before = standin::GetBooks();
    Paint(host, row.view);
    ASSERT_EQ(kClient, standin::ClientWidth(host.window));
    ASSERT_EQ(kClient, standin::ClientHeight(host.window));
    EXPECT_EQ("", viewmodel::CompareClient(host.window, row.model)) << row.name;
    EXPECT_EQ(fakehost::PixelHash(viewmodel::Render(row.model, kClient, kClient)),
              fakehost::PixelHash(standin::ClientPixels(host.window)))
        << row.name << ": client hash";
    for (const Spot& s : row.spots) {
      EXPECT_EQ(s.rgb, standin::ClientPixel(host.window, s.x, s.y)) << row.name << " at (" << s.x << ", " << s.y << ")";
    }
    ExpectBalanced(row.name, host.window, before, row.model.ruler, row.model.ruler ? 1 : 0);
  }
}

// A frame copy paints through FilterProc as well, and repeated paints make
// and keep nothing: after many frames the books are as after one.
TEST(PaintViewPixels, FramesRepaintWithoutLeaking) {
  const View v = {.level = 3, .centre = {100, 50}, .rulerOn = 1, .gridMode = 1};
  fakehost::Host& host = Prepare(v);
  const standin::Books before = standin::GetBooks();
  for (int i = 0; i < 50; ++i) fakehost::Frame();
  EXPECT_EQ(0x370500u, standin::ClientPixel(host.window, 10, 10));
  ExpectBalanced("FiftyFrames", host.window, before, true, 50);
}

// Levels no writer produces, centres and drags at the ends of the int range,
// anchors there too: every paint covers the whole client (no poison left),
// gives back what it took and, under the sanitizers, overflows nothing.
TEST(PaintViewExtremes, AnyStateStillPaintsTheWholeClient) {
  constexpr int kMax = INT32_MAX;
  constexpr int kMin = INT32_MIN;
  const View rows[] = {
      {.level = 24, .centre = {kMax, kMin}, .pending = {kMax, kMin}, .rulerOn = 1, .gridMode = 1},
      {.level = 24, .centre = {kMin, kMax}, .pending = {kMin, kMax}, .rulerOn = 1, .gridMode = 2},
      {.level = 2, .centre = {0, 0}, .pending = {kMax, kMax}, .rulerOn = 1, .gridMode = 1},
      {.level = -9, .centre = {kMax, kMax}, .pending = {kMin, kMin}, .rulerOn = 1, .gridMode = 1},
      {.level = 0, .centre = {kMin, kMax}, .pending = {kMax, kMin}, .rulerOn = 1, .gridMode = 1},
      {.level = 3, .centre = {0, 0}, .hasAnchor = true, .anchor = {kMin, kMax}, .rulerOn = 1, .gridMode = 1},
      {.level = -1, .centre = {0, 0}, .hasAnchor = true, .anchor = {kMax, kMin}, .rulerOn = 1, .gridMode = 1},
      {.level = kMax, .centre = {100, 50}, .pending = {kMax, kMax}, .rulerOn = 1, .gridMode = kMax},
      {.level = kMin, .centre = {100, 50}, .pending = {kMin, kMin}, .rulerOn = kMin, .gridMode = kMin},
      {.level = 0, .centre = {100, 50}, .rulerOn = 1, .gridMode = 1},
      {.level = 1, .centre = {100, 50}, .rulerOn = 1, .gridMode = 1},
      {.level = 25, .centre = {100, 50}, .pending = {7, 7}, .rulerOn = 1, .gridMode = 1},
      {.level = -10, .centre = {100, 50}, .pending = {7, 7}, .rulerOn = 1, .gridMode = 1},
  };
  for (const View& v : rows) {
    const std::string name = "level " + std::to_string(v.level) + " centre " + std::to_string(v.centre.x) + "," +
                             std::to_string(v.centre.y) + " pending " + std::to_string(v.pending.x) + "," +
                             std::to_string(v.pending.y) + (v.hasAnchor ? " with anchor" : "");
    fakehost::Host& host = Prepare(v);
    const standin::Books before = standin::GetBooks();
    for (int run = 0; run < 2; ++run) {
      standin::FillClient(host.window, kPoison);
      Paint(host, v);
      int poison = 0;
      for (uint32_t p : standin::ClientPixels(host.window)) poison += p == kPoison;
      EXPECT_EQ(0, poison) << name << ", run " << run << ": pixels left unpainted";
      EXPECT_GE(viewState.centreX, -kCentreLimit) << name;
      EXPECT_LE(viewState.centreX, kCentreLimit) << name;
      EXPECT_GE(viewState.centreY, -kCentreLimit) << name;
      EXPECT_LE(viewState.centreY, kCentreLimit) << name;
      EXPECT_LT(viewState.pendingDx < 0 ? -viewState.pendingDx : viewState.pendingDx, 24) << name;
      EXPECT_LT(viewState.pendingDy < 0 ? -viewState.pendingDy : viewState.pendingDy, 24) << name;
    }
    const bool ruler = v.rulerOn != 0 && v.level > 1;
    ExpectBalanced(name.c_str(), host.window, before, ruler, ruler ? 2 : 0);
  }
}

}  // namespace
