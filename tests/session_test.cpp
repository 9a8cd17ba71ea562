// One whole run as a user lives it, from loading to exit, with the picture
// in the window checked at three moments against the painting rules
// (tests/view_model.h).
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/view_state.h"
#include "tests/fake_host.h"
#include "tests/view_model.h"
#include "window/window_internal.h"

namespace {

using fakehost::Point;
using fakehost::Send;

using viewmodel::kBlack;
using viewmodel::kWhite;
using viewmodel::Title;

struct Spot {
  const char* what;
  int x, y;
  uint32_t colour;
};

void CheckSpots(HWND window, const Spot* spots, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Spot& s = spots[i];
    EXPECT_EQ(standin::ClientPixel(window, s.x, s.y), s.colour) << s.what << " at (" << s.x << ", " << s.y << ")";
  }
}

TEST(Session, OpenLookAroundZoomLockAndClose) {
  // The host loads the plug-in, creates its 288 by 288 window and starts it.
  // Nothing is stored yet: a first run.
  fakehost::Host& host = fakehost::Start();
  const HWND window = host.window;
  EXPECT_EQ(fakehost::Init(), 0);
  EXPECT_EQ(standin::WindowText(window), Title("2"));
  ASSERT_NE(standin::WindowMenu(window), nullptr);
  // The menu bar took 19 rows: the client area is 288 by 269, centre (144, 134).
  ASSERT_EQ(standin::ClientWidth(window), 288);
  ASSERT_EQ(standin::ClientHeight(window), 269);

  // The user opens a 640 by 360 video while the window is still hidden...
  host.windowVisible = 0;
  fakehost::SetFrame(640, 360);
  EXPECT_EQ(Send(HostMsgFileOpen), 0);
  EXPECT_EQ(viewState.snapshotDc, nullptr);
  // ...then shows the window, and the host displays a frame.
  host.windowVisible = 1;
  EXPECT_EQ(Send(HostMsgWindowChange), 1);
  ASSERT_NE(viewState.snapshotDc, nullptr);
  standin::FillClient(window, kPoison);
  EXPECT_EQ(fakehost::Frame(), 1);

  // Picture 1: level 2 centred on (16, 16). Frame pixel (16, 16) starts at the
  // client centre, so pixel (0, 0) starts at (144 - 32, 134 - 32) = (112, 102).
  // 88 columns reach the right edge (112 + 176 = 288); 84 rows and a half
  // reach the bottom (102 + 168 = 270, one row beyond).
  {
    SCOPED_TRACE("picture 1: level 2, ruler, no grid");
    const viewmodel::Picture p = {
        .zoom = 2, .destX = 112, .destY = 102, .srcX = 0, .srcY = 0, .srcWidth = 88, .srcHeight = 84, .ruler = true};
    const Spot spots[] = {
        {"frame (0, 0), top-left of its block", 112, 102, fakehost::FrameColour(0, 0)},
        {"frame (0, 0), bottom-right of its block", 113, 103, fakehost::FrameColour(0, 0)},
        {"frame (1, 1)", 114, 104, fakehost::FrameColour(1, 1)},
        {"frame (87, 49), last column", 287, 200, fakehost::FrameColour(87, 49)},
        {"frame (20, 83), half of the last row", 152, 268, fakehost::FrameColour(20, 83)},
        {"background left of the frame", 50, 150, viewmodel::kBackground},
        {"background above the frame", 200, 50, viewmodel::kBackground},
        {"ruler corner", 0, 0, kWhite},
        {"top strip before the first tick", 50, 4, kWhite},
        {"long tick at column 0, top end", 112, 0, kBlack},
        {"long tick at column 0, bottom end", 112, 7, kBlack},
        {"short tick at column 1, bottom end", 114, 2, kBlack},
        {"below the short tick", 114, 3, kWhite},
        {"between ticks", 113, 0, kWhite},
        {"long tick at column 10", 132, 7, kBlack},
        {"long tick at row 0, left strip", 7, 102, kBlack},
        {"short tick at row 1", 2, 104, kBlack},
        {"beside the short tick", 3, 104, kWhite},
    };
    CheckSpots(window, spots, std::size(spots));
    EXPECT_EQ(viewmodel::CompareClient(window, p), "");
  }

  // The user presses on frame pixel (100, 50) in the host's main window and
  // moves to (120, 60) with the button held: the view follows, then stops.
  Send(HostMsgMainMouseDown, 0, Point(100, 50));
  EXPECT_EQ(fakehost::Centre(), std::pair(100, 50));
  Send(HostMsgMainMouseMove, 0, Point(120, 60));
  Send(HostMsgMainMouseUp);
  Send(HostMsgMainMouseMove, 0, Point(300, 300));
  EXPECT_EQ(fakehost::Centre(), std::pair(120, 60));

  // A drag in the view, 10 pixels right and 4 up at level 2: the picture
  // follows the pointer, so the centre moves 5 columns left and 2 rows down.
  Send(WM_LBUTTONDOWN, 0, Point(150, 150));
  EXPECT_EQ(standin::CaptureOwner(), window);
  Send(WM_MOUSEMOVE, 0, Point(160, 146));
  Send(WM_LBUTTONUP, 0, Point(160, 146));
  EXPECT_EQ(standin::CaptureOwner(), nullptr);
  EXPECT_EQ(fakehost::Centre(), std::pair(115, 62));

  // One wheel notch forward: level 3. Then a black grid from the menu.
  Send(WM_MOUSEWHEEL, fakehost::Wheel(120));
  EXPECT_EQ(standin::WindowText(window), Title("3"));
  standin::FillClient(window, kPoison);
  Send(WM_COMMAND, CmdGridBlack);

  // Picture 2: level 3 centred on (115, 62). Frame pixel (115, 62) starts at
  // (144, 134); columns from 115 - 144/3 = 67 on, so column 67 starts at x 0
  // and 96 columns fill 288 pixels. Rows: 134 = 45 x 3 - 1, so row 62 - 45 = 17
  // starts at y -1 and 90 rows end at 269.
  {
    SCOPED_TRACE("picture 2: level 3, ruler, black grid");
    const viewmodel::Picture p = {.zoom = 3,
                                  .destX = 0,
                                  .destY = -1,
                                  .srcX = 67,
                                  .srcY = 17,
                                  .srcWidth = 96,
                                  .srcHeight = 90,
                                  .ruler = true,
                                  .gridMode = 1};
    const Spot spots[] = {
        {"frame (115, 62) inside its block", 145, 135, fakehost::FrameColour(115, 62)},
        {"frame (115, 62), bottom-right of its block", 146, 136, fakehost::FrameColour(115, 62)},
        {"grid line on the left edge of column 115", 144, 140, kBlack},
        {"grid line on the top edge of row 62", 145, 134, kBlack},
        {"frame (162, 106), last pixel shown", 287, 268, fakehost::FrameColour(162, 106)},
        {"long tick at column 70", 9, 7, kBlack},
        {"short tick at column 71", 12, 2, kBlack},
        {"grid line kept out of the top strip", 12, 5, kWhite},
        {"long tick at row 20", 7, 8, kBlack},
        {"grid line kept out of the left strip", 5, 11, kWhite},
    };
    CheckSpots(window, spots, std::size(spots));
    EXPECT_EQ(viewmodel::CompareClient(window, p), "");
  }

  // A middle click locks the coordinates: the title says so, and presses in
  // the main window and drags in the view no longer move the view.
  Send(WM_MBUTTONUP);
  EXPECT_EQ(standin::WindowText(window), Title("3", true));
  Send(HostMsgMainMouseDown, 0, Point(10, 10));
  Send(WM_LBUTTONDOWN, 0, Point(100, 100));
  Send(WM_MOUSEMOVE, 0, Point(200, 200));
  Send(WM_LBUTTONUP, 0, Point(200, 200));
  EXPECT_EQ(fakehost::Centre(), std::pair(115, 62));
  Send(WM_MBUTTONUP);
  EXPECT_EQ(standin::WindowText(window), Title("3"));

  // The user reverses the wheel and turns the ruler off from the menu.
  Send(WM_COMMAND, CmdWheelReverse);
  Send(HostMsgCommand, CmdRuler);
  EXPECT_EQ(viewState.wheelReversed, 1);
  EXPECT_EQ(viewState.rulerOn, 0);

  // The window is hidden: the snapshot goes, and frames are no longer copied.
  host.windowVisible = 0;
  EXPECT_EQ(Send(HostMsgWindowChange), 0);
  EXPECT_EQ(viewState.snapshotDc, nullptr);
  const int images = host.getDisplayImageCalls;
  EXPECT_EQ(fakehost::Frame(), 1);
  EXPECT_EQ(host.getDisplayImageCalls, images);

  // The video is closed: the window is painted empty.
  standin::FillClient(window, kPoison);
  host.editing = 0;
  EXPECT_EQ(Send(HostMsgFileClose), 0);
  {
    SCOPED_TRACE("picture 3: empty window");
    const Spot spots[] = {
        {"top-left", 0, 0, viewmodel::kBackground},
        {"top-right", 287, 0, viewmodel::kBackground},
        {"bottom-left", 0, 268, viewmodel::kBackground},
        {"bottom-right", 287, 268, viewmodel::kBackground},
    };
    CheckSpots(window, spots, std::size(spots));
    const std::vector<uint32_t>& pixels = standin::ClientPixels(window);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), viewmodel::kBackground),
              static_cast<std::ptrdiff_t>(pixels.size()));
  }

  // The plug-in ends: the settings of this run are stored, nothing leaks.
  host.settingsLog.clear();
  EXPECT_EQ(fakehost::Exit(), 0);
  EXPECT_EQ(host.stored["nnn"], 3);
  EXPECT_EQ(host.stored["reverse"], 1);
  EXPECT_EQ(host.stored["ruler"], 0);
  EXPECT_EQ(host.stored["grid"], 1);
  EXPECT_EQ(host.stored.count("menu"), 0u);
  EXPECT_EQ(host.settingsLog.size(), 4u);
  const standin::Books books = standin::GetBooks();
  EXPECT_EQ(books.bitmapsAlive, 0);
  EXPECT_EQ(books.memoryDcsAlive, 0);
  EXPECT_EQ(books.menusAlive, 2) << "the menu bar stays with the window";
  EXPECT_EQ(fakehost::Violations(), "");

  // The next run starts where this one ended, unlocked.
  const std::map<std::string, int> store = host.stored;
  fakehost::Host& next = fakehost::Start();
  next.stored = store;
  fakehost::Init();
  EXPECT_EQ(viewState.zoomLevel, 3);
  EXPECT_EQ(viewState.wheelReversed, 1);
  EXPECT_EQ(viewState.rulerOn, 0);
  EXPECT_EQ(viewState.gridMode, 1);
  EXPECT_EQ(viewState.coordLocked, 0);
  EXPECT_EQ(standin::WindowText(next.window), Title("3"));
}

}  // namespace
