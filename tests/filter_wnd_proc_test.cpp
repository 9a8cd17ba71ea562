// The callback's frame (window/filter_wnd_proc.cpp): messages nested inside
// the calls it makes, and input no host should send but some will.
#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/window_test.h"
#include "view/geometry.h"

namespace {

using namespace windowtest;

// ---- nested messages ------------------------------------------------------------

// What the state looked like when a nested message arrived.
struct Seen {
  UINT message;
  int depth;
  std::string violations;
  int dragging, tracking;
};

// A beforeMessage hook that records every nested message into seen.
std::function<void(const fakehost::Delivered&)> RecordNested(std::vector<Seen>& seen) {
  return [&seen](const fakehost::Delivered& d) {
    if (d.depth == 0) return;
    seen.push_back({d.message, d.depth, fakehost::Violations(), viewState.dragging, viewState.tracking});
  };
}

TEST(NestedMessages, SetMenuDeliversWmSizeInsideInit) {
  // The host shows the window and hands over a frame before it starts the
  // plug-in, so the nested WM_SIZE repaints a real view.
  fakehost::Host& host = fakehost::Start();
  fakehost::SetFrame(640, 360);
  EXPECT_EQ(Send(HostMsgWindowChange), 1);
  fakehost::Frame();
  std::vector<Seen> seen;
  host.beforeMessage = RecordNested(seen);
  standin::FillClient(host.window, kPoison);
  host.stored["nnn"] = 4;
  fakehost::Init();
  int sizes = 0;
  for (const Seen& s : seen) {
    if (s.message == WM_SIZE) ++sizes;
    EXPECT_EQ(s.violations, "") << "inside nested message " << s.message;
  }
  EXPECT_EQ(sizes, 1) << "SetMenu shrinks the client area and says so";
  // The settings were in place before the menu bar went up: the nested repaint
  // used level 4 in the smaller client area (288 by 269, centre (144, 134)).
  EXPECT_EQ(standin::ClientHeight(host.window), 288 - standin::kMenuBarHeight);
  EXPECT_EQ(viewState.centreX, 16);
  EXPECT_EQ(standin::ClientPixel(host.window, 144, 134), fakehost::FrameColour(16, 16));
  EXPECT_EQ(standin::ClientPixel(host.window, 147, 137), fakehost::FrameColour(16, 16));
  EXPECT_EQ(standin::ClientPixel(host.window, 148, 138), fakehost::FrameColour(17, 17));
  EXPECT_EQ(standin::WindowText(host.window), Title(4));
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(NestedMessages, SetMenuWithoutSnapshotPaintsTheEmptyWindow) {
  fakehost::Host& host = fakehost::Start();
  standin::FillClient(host.window, kPoison);
  fakehost::Init();
  EXPECT_EQ(viewmodel::EmptyAtCornersAndCentre(host.window), "");
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(NestedMessages, CaptureChangesArriveInsideSetCaptureAndReleaseCapture) {
  struct Row {
    const char* name;
    bool ownerElsewhere = false;                       // another window holds the capture before the drag
    std::vector<std::pair<UINT, WPARAM>> before = {};  // messages and wParams sent first
    UINT message;
    WPARAM wParam = 0;
    St after;
    bool captured;  // our window holds the capture afterwards
    int nested;     // WM_CAPTURECHANGED delivered to our window inside the call
  };
  // USER tells the window losing the capture, also when it takes it again itself.
  // clang-format off
  const Row rows[] = {
      {.name = "drag start takes the capture from the main window", .ownerElsewhere = true,
       .message = WM_LBUTTONDOWN, .after = St::Dragging, .captured = true, .nested = 0},
      {.name = "drag start while already holding it", .before = {{WM_LBUTTONDOWN, 0}}, .message = WM_LBUTTONDOWN,
       .after = St::Dragging, .captured = true, .nested = 1},
      {.name = "drag end releases it", .before = {{WM_LBUTTONDOWN, 0}}, .message = WM_LBUTTONUP, .after = St::Idle,
       .captured = false, .nested = 1},
      {.name = "deactivation releases it", .before = {{WM_LBUTTONDOWN, 0}}, .message = WM_ACTIVATE,
       .wParam = WA_INACTIVE, .after = St::Idle, .captured = false, .nested = 1},
      // HostMsgExit leaves every field as it is; no message follows it.
      {.name = "exit releases it", .before = {{WM_LBUTTONDOWN, 0}}, .message = HostMsgExit, .after = St::Dragging,
       .captured = false, .nested = 1},
      {.name = "lock during a drag keeps it, release ends it", .before = {{WM_LBUTTONDOWN, 0}, {WM_MBUTTONUP, 0}},
       .message = WM_LBUTTONUP, .after = St::Locked, .captured = false, .nested = 1},
      {.name = "release with no capture held", .message = WM_LBUTTONUP, .after = St::Idle, .captured = false,
       .nested = 0},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fakehost::Host& host = StartWithFrame();
    HWND owner = r.ownerElsewhere ? fakehost::MakeCaptureOwner() : nullptr;
    for (const auto& [message, wParam] : r.before) Send(message, wParam, Point(40, 40));
    std::vector<Seen> seen;
    host.beforeMessage = RecordNested(seen);
    Send(r.message, r.wParam, Point(40, 40));
    host.beforeMessage = nullptr;

    EXPECT_EQ(seen.size(), static_cast<size_t>(r.nested));
    for (const Seen& s : seen) {
      EXPECT_EQ(s.message, static_cast<UINT>(WM_CAPTURECHANGED));
      EXPECT_EQ(s.depth, 1);
      EXPECT_EQ(s.violations, "") << "inside the nested message";
    }
    if (owner != nullptr) {
      const std::vector<UINT>& got = fakehost::CaptureOwnerMessages();
      EXPECT_EQ(std::count(got.begin(), got.end(), static_cast<UINT>(WM_CAPTURECHANGED)), 1);
    }
    EXPECT_EQ(StateNow(), r.after);
    EXPECT_EQ(standin::CaptureOwner(), r.captured ? host.window : nullptr);
    EXPECT_EQ(fakehost::Violations(), "");
  }
}

TEST(NestedMessages, HostThatDragsAgainInsideTheCaptureChange) {
  // A hostile host: while the release of the capture is being announced, it
  // sends a new press. The nested press wins and leaves a consistent drag.
  fakehost::Host& host = StartWithFrame();
  Send(WM_LBUTTONDOWN, 0, Point(10, 10));
  bool pressed = false;
  host.beforeMessage = [&pressed](const fakehost::Delivered& d) {
    if (d.message == WM_CAPTURECHANGED && !pressed) {
      pressed = true;
      Send(WM_LBUTTONDOWN, 0, Point(20, 20));
    }
  };
  Send(WM_LBUTTONUP, 0, Point(10, 10));
  host.beforeMessage = nullptr;
  EXPECT_TRUE(pressed);
  // USER clears the capture before it announces the change, so the nested
  // press holds it now.
  EXPECT_EQ(StateNow(), St::Dragging);
  EXPECT_EQ(standin::CaptureOwner(), host.window);
  EXPECT_EQ(fakehost::Violations(), "");
  Send(WM_LBUTTONUP, 0, Point(20, 20));
  EXPECT_EQ(StateNow(), St::Idle);
  EXPECT_EQ(standin::CaptureOwner(), nullptr);
}

// ---- input no host should send ------------------------------------------------------

TEST(BadInput, ExtremeCoordinates) {
  struct Row {
    fakehost::Step event;
    St start, after;
    FramePoint centre = {INT_MIN, INT_MIN};  // afterwards; INT_MIN: not checked (a drag) or as before
  };
  // clang-format off
  const Row rows[] = {
      {.event = {.name = "press at x 0x7FFF", .message = HostMsgMainMouseDown, .lParam = Point(0x7FFF, 10)},
       .start = St::Idle, .after = St::Idle},
      {.event = {.name = "press at x 0x8000 (-32768)", .message = HostMsgMainMouseDown, .lParam = Point(0x8000, 10)},
       .start = St::Idle, .after = St::Idle},
      {.event = {.name = "press at x 0xFFFF (-1)", .message = HostMsgMainMouseDown, .lParam = Point(0xFFFF, 10)},
       .start = St::Idle, .after = St::Idle},
      {.event = {.name = "press at y 0xFFFF (-1)", .message = HostMsgMainMouseDown, .lParam = Point(10, 0xFFFF)},
       .start = St::Idle, .after = St::Idle},
      {.event = {.name = "press at y 0x7FFF", .message = HostMsgMainMouseDown, .lParam = Point(10, 0x7FFF)},
       .start = St::Idle, .after = St::Idle},
      {.event = {.name = "follow to (0x8000, 0x8000)", .message = HostMsgMainMouseMove, .lParam = Point(0x8000, 0x8000)},
       .start = St::Tracking, .after = St::Tracking, .centre = {-32768, -32768}},
      {.event = {.name = "follow to (0x7FFF, 0xFFFF)", .message = HostMsgMainMouseMove, .lParam = Point(0x7FFF, 0xFFFF)},
       .start = St::Tracking, .after = St::Tracking, .centre = {32767, -1}},
      {.event = {.name = "drag to (0x8000, 0x8000)", .message = WM_MOUSEMOVE, .lParam = Point(0x8000, 0x8000)},
       .start = St::Dragging, .after = St::Dragging},
      {.event = {.name = "drag to (0x7FFF, 0xFFFF)", .message = WM_MOUSEMOVE, .lParam = Point(0x7FFF, 0xFFFF)},
       .start = St::Dragging, .after = St::Dragging},
      {.event = {.name = "drag start at (0xFFFF, 0x8000)", .message = WM_LBUTTONDOWN, .lParam = Point(0xFFFF, 0x8000)},
       .start = St::Idle, .after = St::Dragging},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.event.name);
    StartWithFrame();
    Enter(r.start);
    const int cx = viewState.centreX, cy = viewState.centreY;
    fakehost::Play(r.event);
    EXPECT_EQ(StateNow(), r.after);
    if (r.centre.x != INT_MIN) {
      EXPECT_EQ(fakehost::Centre(), std::pair(r.centre.x, r.centre.y));
    } else if (r.event.message != WM_MOUSEMOVE) {
      EXPECT_EQ(fakehost::Centre(), std::pair(cx, cy));
    }
    // The view paints soundly wherever it now points.
    Send(WM_PAINT);
    fakehost::Frame();
    EXPECT_EQ(fakehost::Violations(), "");
  }
}

TEST(BadInput, DragAcrossTheWholeCoordinateRange) {
  // From window (0x7FFF, 0x7FFF) to (0x8000, 0x8000): -65535 each way at level 2.
  StartWithFrame();
  const int cx = viewState.centreX, cy = viewState.centreY;
  Send(WM_LBUTTONDOWN, 0, Point(0x7FFF, 0x7FFF));
  Send(WM_MOUSEMOVE, 0, Point(0x8000, 0x8000));
  EXPECT_EQ(fakehost::Centre(), std::pair(cx + 32767, cy + 32767));
  EXPECT_EQ(viewState.pendingDx, -1);
  EXPECT_EQ(viewState.pendingDy, -1);
  EXPECT_EQ(fakehost::Violations(), "");
}

// Every message the callback dispatches, plus some it does not.
struct AnyMessage {
  UINT message;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
// clang-format off
const AnyMessage kEveryMessage[] = {
    {.message = WM_SIZE}, {.message = WM_ACTIVATE, .wParam = WA_INACTIVE},
    {.message = WM_ACTIVATE, .wParam = WA_ACTIVE}, {.message = WM_PAINT}, {.message = WM_COMMAND, .wParam = CmdWheelReverse},
    {.message = WM_COMMAND, .wParam = CmdRuler}, {.message = WM_COMMAND, .wParam = CmdGridBlack},
    {.message = WM_LBUTTONDOWN, .lParam = Point(3, 4)}, {.message = WM_MOUSEMOVE, .lParam = Point(30, 40)},
    {.message = WM_LBUTTONUP}, {.message = WM_LBUTTONDBLCLK}, {.message = WM_RBUTTONDOWN}, {.message = WM_RBUTTONUP},
    {.message = WM_MBUTTONDOWN}, {.message = WM_MBUTTONUP}, {.message = WM_MBUTTONUP},
    {.message = WM_MOUSEWHEEL, .wParam = Wheel(120)}, {.message = WM_CAPTURECHANGED},
    {.message = HostMsgFileOpen}, {.message = HostMsgWindowChange}, {.message = HostMsgEditChange},
    {.message = HostMsgCommand, .wParam = CmdGridWhite}, {.message = HostMsgMainMouseDown, .lParam = Point(1, 1)},
    {.message = HostMsgMainMouseMove, .lParam = Point(2, 2)}, {.message = HostMsgMainMouseUp},
    {.message = HostMsgMainMoveSize}, {.message = HostMsgMainDoubleClick}, {.message = HostMsgFileClose},
    {.message = 0x7FFF, .wParam = 1, .lParam = 1},
    {.message = 0xFFFFFFFFu, .wParam = ~static_cast<WPARAM>(0), .lParam = -1},
};
// clang-format on

// shown: the host answers that the window is shown.
void SendEverything(const char* when, bool shown) {
  for (const AnyMessage& m : kEveryMessage) {
    SCOPED_TRACE(std::string(when) + ", message " + std::to_string(m.message));
    const LRESULT result = Send(m.message, m.wParam, m.lParam);
    EXPECT_EQ(result, m.message == HostMsgWindowChange && shown ? 1 : 0);
    EXPECT_EQ(fakehost::Frame(), 1);
    EXPECT_EQ(fakehost::Violations(), "");
  }
}

TEST(BadInput, MessagesBeforeInitAndAfterExit) {
  fakehost::Host& host = fakehost::Start();
  fakehost::SetFrame(100, 80);
  SendEverything("before HostMsgInit", true);
  // The run then starts as any other.
  fakehost::Init();
  EXPECT_NE(standin::WindowMenu(host.window), nullptr);
  EXPECT_EQ(fakehost::Violations(), "");
  fakehost::Exit();
  EXPECT_EQ(viewState.snapshotDc, nullptr);
  SendEverything("after HostMsgExit", true);
  fakehost::Exit();
  EXPECT_EQ(standin::GetBooks().bitmapsAlive, 0);
  EXPECT_EQ(standin::GetBooks().memoryDcsAlive, 0);
}

TEST(BadInput, HostWithoutServiceTable) {
  fakehost::Host& host = fakehost::Start();
  host.table->services = nullptr;
  fakehost::SetFrame(100, 80);
  EXPECT_EQ(fakehost::Init(), 0);
  // Nothing stored can be read: the defaults hold, the menu bar and title appear.
  EXPECT_EQ(viewState.zoomLevel, 2);
  EXPECT_NE(standin::WindowMenu(host.window), nullptr);
  EXPECT_EQ(standin::WindowText(host.window), Title(2));
  // Without IsFilterWindowVisible the window counts as hidden: no snapshot.
  EXPECT_EQ(Send(HostMsgWindowChange), 0);
  EXPECT_EQ(viewState.snapshotDc, nullptr);
  for (const AnyMessage& m : kEveryMessage) {
    SCOPED_TRACE(m.message);
    EXPECT_EQ(Send(m.message, m.wParam, m.lParam), 0);
    EXPECT_EQ(fakehost::Frame(), 1);
    // A host that passes no record at all gets nothing done and 0.
    EXPECT_EQ(host.table->filterWndProc(host.window, m.message, m.wParam, m.lParam, host.editHandle, nullptr), 0);
    EXPECT_EQ(fakehost::Violations(), "");
  }
  EXPECT_EQ(fakehost::Exit(), 0);
  EXPECT_EQ(host.settingsLog.size(), 0u);
}

// A host whose service table lacks one service, or all: the plug-in goes on
// without it (no video open, window hidden, nothing stored, no largest frame,
// no image) and never calls through the empty slot.
TEST(BadInput, HostWithEmptyServiceSlots) {
  struct Row {
    const char* name;
    void (*empty)(HostServices&);
    bool shown;  // the window still counts as shown
  };
  // clang-format off
  const Row rows[] = {
      {.name = "IsEditing", .empty = [](HostServices& s) { s.IsEditing = nullptr; }, .shown = true},
      {.name = "IsFilterWindowVisible", .empty = [](HostServices& s) { s.IsFilterWindowVisible = nullptr; },
       .shown = false},
      {.name = "LoadIntSetting", .empty = [](HostServices& s) { s.LoadIntSetting = nullptr; }, .shown = true},
      {.name = "SaveIntSetting", .empty = [](HostServices& s) { s.SaveIntSetting = nullptr; }, .shown = true},
      {.name = "GetHostInfo", .empty = [](HostServices& s) { s.GetHostInfo = nullptr; }, .shown = true},
      {.name = "GetDisplayImage", .empty = [](HostServices& s) { s.GetDisplayImage = nullptr; }, .shown = true},
      {.name = "every slot", .empty = [](HostServices& s) { s = HostServices{}; }, .shown = false},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string("empty ") + r.name);
    fakehost::Host& host = fakehost::Start();
    r.empty(host.services);
    fakehost::SetFrame(100, 80);
    fakehost::Init();
    EXPECT_EQ(Send(HostMsgWindowChange), r.shown ? 1 : 0);
    Send(HostMsgFileOpen);
    SendEverything(r.name, r.shown);
    fakehost::Exit();
    EXPECT_EQ(fakehost::Violations(), "");
  }
}

TEST(BadInput, EndlessDragsWithoutSnapshotSaturate) {
  fakehost::Start();
  fakehost::Init();
  // Each press at the far left and move to the far right adds 65535.
  struct Row {
    const char* name;
    int from, to;  // window x and y of each press and move
    int limit;     // where the pending drag saturates
  };
  const Row rows[] = {{.name = "right and down", .from = 0x8000, .to = 0x7FFF, .limit = 1 << 30},
                      {.name = "left and up", .from = 0x7FFF, .to = 0x8000, .limit = -(1 << 30)}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    for (int i = 0; i < 2 * 16385 + 10; ++i) {
      Send(WM_LBUTTONDOWN, 0, Point(r.from, r.from));
      Send(WM_MOUSEMOVE, 0, Point(r.to, r.to));
      if (i % 1024 == 0) standin::ClearCalls();
    }
    EXPECT_EQ(viewState.pendingDx, r.limit);
    EXPECT_EQ(viewState.pendingDy, r.limit);
    EXPECT_EQ(fakehost::Violations(), "");
  }
  // The first painted repaint folds it all in without overflow.
  fakehost::SetFrame(64, 64);
  Send(HostMsgWindowChange);
  EXPECT_EQ(fakehost::Frame(), 1);
  EXPECT_EQ(viewState.pendingDx, 0);
  EXPECT_EQ(viewState.pendingDy, 0);
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(BadInput, InitTwiceIsASecondStart) {
  fakehost::Host& host = StartWithFrame();
  Send(WM_COMMAND, CmdGridBlack);
  Send(WM_MOUSEWHEEL, Wheel(120));
  standin::ClearCalls();
  fakehost::Init();
  // Settings come back from the store (nothing saved yet); the snapshot stays.
  EXPECT_EQ(viewState.gridMode, 0);
  EXPECT_EQ(viewState.zoomLevel, 3) << "\"nnn\" defaults to the level held at that moment";
  EXPECT_NE(viewState.snapshotDc, nullptr);
  EXPECT_EQ(Ids(CheckedIds(host.window)), Ids(kFirstRunChecks));
  EXPECT_EQ(standin::WindowText(host.window), Title(3));
  EXPECT_EQ(fakehost::Violations(), "");
}

}  // namespace
