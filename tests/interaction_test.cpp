// Pointer, drag, wheel, zoom and lock (window/interaction.cpp) as the host
// drives them: the pointer state machine as a table of events by states, the
// zoom steps and the title.
#include <string>

#include <gtest/gtest.h>

#include "tests/window_test.h"
#include "view/geometry.h"

namespace {

using namespace windowtest;
using windowtest::Name;

// ---- the pointer state machine ----------------------------------------------------

// Still: nothing painted. Repaint: PaintView without an anchor (no pending
// drag, so the centre stays). Anchored: the event's point becomes the centre
// and the pending drag is cleared. Pan: the drag step of 6 right, 3 up.
enum class View { Still, Repaint, Anchored, Pan };
const char* Name(View v) {
  switch (v) {
    case View::Still: return "nothing painted";
    case View::Repaint: return "repainted in place";
    case View::Anchored: return "anchored";
    case View::Pan: return "panned";
  }
  return "?";
}

enum class Cap { Kept, Taken, Released };
const char* Name(Cap c) {
  switch (c) {
    case Cap::Kept: return "capture as it was";
    case Cap::Taken: return "capture taken";
    case Cap::Released: return "capture released";
  }
  return "?";
}

// Cells stay positional: each field has its own enum type, so a swap does not compile.
struct Cell {
  St next;
  View view;
  Cap capture;
};

struct Transition {
  fakehost::Step event;
  int zoomStep = 0;                       // levels the event zooms by, in every state
  Cell idle, tracking, dragging, locked;  // the outcome from each state
};

constexpr St I = St::Idle, T = St::Tracking, D = St::Dragging, L = St::Locked;
constexpr View Still = View::Still, Repaint = View::Repaint, Anch = View::Anchored, Pan = View::Pan;
constexpr Cap Kept = Cap::Kept, Taken = Cap::Taken, Rel = Cap::Released;

// The drag in the Dragging state starts at window (50, 60); the pan event moves to (56, 57).
// clang-format off
const Transition kTransitions[] = {
    {.event = {.name = "1144 inside the frame", .message = HostMsgMainMouseDown, .lParam = Point(300, 200)},
     .idle = {T, Anch, Kept}, .tracking = {T, Anch, Kept}, .dragging = {T, Anch, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1144 at the last frame pixel", .message = HostMsgMainMouseDown, .lParam = Point(639, 359)},
     .idle = {T, Anch, Kept}, .tracking = {T, Anch, Kept}, .dragging = {T, Anch, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1144 at frame column 0", .message = HostMsgMainMouseDown, .lParam = Point(0, 200)},
     .idle = {T, Anch, Kept}, .tracking = {T, Anch, Kept}, .dragging = {T, Anch, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1144 at frame row 0", .message = HostMsgMainMouseDown, .lParam = Point(300, 0)},
     .idle = {T, Anch, Kept}, .tracking = {T, Anch, Kept}, .dragging = {T, Anch, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1144 left of the frame", .message = HostMsgMainMouseDown, .lParam = Point(-1, 10)},
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1144 below the frame", .message = HostMsgMainMouseDown, .lParam = Point(10, 360)},
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1144 right of the frame", .message = HostMsgMainMouseDown, .lParam = Point(640, 10)},
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1144 above the frame", .message = HostMsgMainMouseDown, .lParam = Point(10, -1)},
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1146", .message = HostMsgMainMouseMove, .lParam = Point(320, 180)},
     .idle = {I, Still, Kept}, .tracking = {T, Anch, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1146 left of the frame", .message = HostMsgMainMouseMove, .lParam = Point(-40, 180)},
     .idle = {I, Still, Kept}, .tracking = {T, Anch, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1145", .message = HostMsgMainMouseUp},
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1149", .message = HostMsgMainMoveSize},
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "1150", .message = HostMsgMainDoubleClick},
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "WM_LBUTTONDOWN", .message = WM_LBUTTONDOWN, .lParam = Point(10, 20)},
     .idle = {D, Still, Taken}, .tracking = {D, Still, Taken}, .dragging = {D, Still, Taken}, .locked = {L, Still, Kept}},
    {.event = {.name = "WM_MOUSEMOVE", .message = WM_MOUSEMOVE, .lParam = Point(56, 57)},
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {D, Pan, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "WM_LBUTTONUP", .message = WM_LBUTTONUP, .lParam = Point(56, 57)},
     .idle = {I, Still, Rel}, .tracking = {I, Still, Rel}, .dragging = {I, Still, Rel}, .locked = {L, Still, Rel}},
    {.event = {.name = "WM_LBUTTONDBLCLK zooms in", .message = WM_LBUTTONDBLCLK, .lParam = Point(5, 5)}, .zoomStep = +1,
     .idle = {I, Repaint, Kept}, .tracking = {I, Repaint, Kept}, .dragging = {I, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.event = {.name = "WM_RBUTTONUP zooms out", .message = WM_RBUTTONUP, .lParam = Point(5, 5)}, .zoomStep = -1,
     .idle = {I, Repaint, Kept}, .tracking = {I, Repaint, Kept}, .dragging = {I, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.event = {.name = "wheel +120 zooms in", .message = WM_MOUSEWHEEL, .wParam = Wheel(120)}, .zoomStep = +1,
     .idle = {I, Repaint, Kept}, .tracking = {I, Repaint, Kept}, .dragging = {I, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.event = {.name = "wheel -120 zooms out", .message = WM_MOUSEWHEEL, .wParam = Wheel(-120)}, .zoomStep = -1,
     .idle = {I, Repaint, Kept}, .tracking = {I, Repaint, Kept}, .dragging = {I, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.event = {.name = "WM_MBUTTONUP", .message = WM_MBUTTONUP},
     .idle = {L, Still, Kept}, .tracking = {L, Still, Kept}, .dragging = {L, Still, Kept}, .locked = {I, Still, Kept}},
    {.event = {.name = "WM_ACTIVATE deactivated", .message = WM_ACTIVATE, .wParam = WA_INACTIVE},
     .idle = {I, Still, Rel}, .tracking = {T, Still, Rel}, .dragging = {I, Still, Rel}, .locked = {L, Still, Rel}},
    {.event = {.name = "WM_ACTIVATE activated", .message = WM_ACTIVATE, .wParam = WA_ACTIVE},
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "WM_ACTIVATE click-activated", .message = WM_ACTIVATE, .wParam = WA_CLICKACTIVE},
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "command wheel reverse", .message = WM_COMMAND, .wParam = CmdWheelReverse},
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "command ruler", .message = WM_COMMAND, .wParam = CmdRuler},
     .idle = {I, Repaint, Kept}, .tracking = {T, Repaint, Kept}, .dragging = {D, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.event = {.name = "command no grid", .message = HostMsgCommand, .wParam = CmdGridNone},
     .idle = {I, Repaint, Kept}, .tracking = {T, Repaint, Kept}, .dragging = {D, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.event = {.name = "command black grid", .message = WM_COMMAND, .wParam = CmdGridBlack},
     .idle = {I, Repaint, Kept}, .tracking = {T, Repaint, Kept}, .dragging = {D, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.event = {.name = "command white grid", .message = HostMsgCommand, .wParam = CmdGridWhite},
     .idle = {I, Repaint, Kept}, .tracking = {T, Repaint, Kept}, .dragging = {D, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.event = {.name = "wheel with delta 0", .message = WM_MOUSEWHEEL, .wParam = Wheel(0)},
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "WM_RBUTTONDOWN (not handled)", .message = WM_RBUTTONDOWN, .lParam = Point(5, 5)},
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.event = {.name = "WM_MBUTTONDOWN (not handled)", .message = WM_MBUTTONDOWN, .lParam = Point(5, 5)},
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
};
// clang-format on

TEST(PointerStateMachine, EveryEventInEveryState) {
  for (const Transition& row : kTransitions) {
    const Cell cells[] = {row.idle, row.tracking, row.dragging, row.locked};
    const St states[] = {St::Idle, St::Tracking, St::Dragging, St::Locked};
    for (int k = 0; k < 4; ++k) {
      const St from = states[k];
      const Cell& want = cells[k];
      SCOPED_TRACE(std::string(row.event.name) + " in " + Name(from));

      fakehost::Host& host = StartWithFrame();
      Enter(from);
      ASSERT_EQ(StateNow(), from);
      const int centreX = viewState.centreX, centreY = viewState.centreY;
      const int zoom = viewState.zoomLevel;
      const HWND ownerBefore = standin::CaptureOwner();
      standin::ClearCalls();

      EXPECT_EQ(fakehost::Play(row.event), 0);

      EXPECT_EQ(StateNow(), want.next) << "expected " << Name(want.next) << ", got " << Name(StateNow());
      EXPECT_EQ(viewState.zoomLevel, zoom + row.zoomStep);

      // The view: painted or not, and where it is centred now.
      const size_t expectedPaints = want.view == View::Still ? 0 : 1;
      EXPECT_EQ(Paints(), expectedPaints) << Name(want.view) << "; calls:\n" << Log();
      int wantX = centreX, wantY = centreY, wantPx = 0, wantPy = 0;
      if (want.view == View::Anchored) {
        wantX = LowSigned(row.event.lParam);
        wantY = HighSigned(row.event.lParam);
      } else if (want.view == View::Pan) {
        // 6 right and 3 up at level 2: the centre moves 3 left and 1 down in
        // the frame, half a frame pixel (-1 window pixel) stays pending.
        wantX = centreX - 3;
        wantY = centreY + 1;
        wantPy = -1;
      }
      EXPECT_EQ(fakehost::Centre(), std::pair(wantX, wantY)) << Name(want.view);
      EXPECT_EQ(viewState.pendingDx, wantPx);
      EXPECT_EQ(viewState.pendingDy, wantPy);

      // The capture.
      const size_t sets = Count("SetCapture"), releases = Count("ReleaseCapture");
      switch (want.capture) {
        case Cap::Kept:
          EXPECT_EQ(sets + releases, 0u) << Name(want.capture) << "; calls:\n" << Log();
          EXPECT_EQ(standin::CaptureOwner(), ownerBefore);
          break;
        case Cap::Taken:
          EXPECT_EQ(sets, 1u) << Log();
          EXPECT_EQ(releases, 0u) << Log();
          EXPECT_EQ(standin::CaptureOwner(), host.window);
          break;
        case Cap::Released:
          EXPECT_EQ(sets, 0u) << Log();
          EXPECT_EQ(releases, 1u) << Log();
          EXPECT_EQ(standin::CaptureOwner(), nullptr);
          break;
      }
      EXPECT_EQ(fakehost::Violations(), "");
    }
  }
}

TEST(PointerStateMachine, MainWindowFollowOnePressAtATime) {
  StartWithFrame();
  struct Row {
    fakehost::Step event;
    int paints;
    FramePoint centre;  // the view centre afterwards
    int tracking;
  };
  // Press at (100, 50), follow to (120, 60), release; a later move is ignored.
  // clang-format off
  const Row rows[] = {
      {.event = {.name = "press at (100, 50)", .message = HostMsgMainMouseDown, .lParam = Point(100, 50)}, .paints = 1,
       .centre = {100, 50}, .tracking = 1},
      {.event = {.name = "move to (120, 60)", .message = HostMsgMainMouseMove, .lParam = Point(120, 60)}, .paints = 1,
       .centre = {120, 60}, .tracking = 1},
      {.event = {.name = "release", .message = HostMsgMainMouseUp}, .paints = 0, .centre = {120, 60}, .tracking = 0},
      {.event = {.name = "move after the release", .message = HostMsgMainMouseMove, .lParam = Point(200, 100)},
       .paints = 0, .centre = {120, 60}, .tracking = 0},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.event.name);
    standin::ClearCalls();
    fakehost::Play(r.event);
    EXPECT_EQ(Paints(), static_cast<size_t>(r.paints));
    EXPECT_EQ(fakehost::Centre(), std::pair(r.centre.x, r.centre.y));
    EXPECT_EQ(viewState.tracking, r.tracking);
  }
}

TEST(PointerStateMachine, NoFrameYetMeansNoTracking) {
  // No frame has been copied yet (frame size 0); a drag left 5 pixels pending.
  fakehost::Start();
  fakehost::Init();
  Send(WM_LBUTTONDOWN, 0, Point(0, 0));
  Send(WM_MOUSEMOVE, 0, Point(5, 0));
  Send(WM_LBUTTONUP, 0, Point(5, 0));
  ASSERT_EQ(viewState.pendingDx, 5);
  Send(HostMsgMainMouseDown, 0, Point(0, 0));
  EXPECT_EQ(viewState.tracking, 0);
  EXPECT_EQ(viewState.pendingDx, 0) << "the pending drag is cleared even when the press is outside";
}

TEST(PointerStateMachine, DragWithoutSnapshotAddsUp) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  standin::ClearCalls();
  Send(WM_LBUTTONDOWN, 0, Point(100, 100));
  Send(WM_MOUSEMOVE, 0, Point(104, 98));
  Send(WM_MOUSEMOVE, 0, Point(110, 96));
  EXPECT_EQ(viewState.pendingDx, 10);
  EXPECT_EQ(viewState.pendingDy, -4);
  EXPECT_EQ(Paints(), 0u);
  EXPECT_EQ(Count("SetCursor"), 3u) << "the drag cursor is set on the press and on each move";
  EXPECT_EQ(standin::CurrentCursor(), standin::SizeAllCursor());
  EXPECT_EQ(standin::CaptureOwner(), host.window);
  Send(WM_LBUTTONUP, 0, Point(110, 96));
  EXPECT_EQ(standin::CaptureOwner(), nullptr);
  EXPECT_EQ(fakehost::Violations(), "");
}

// What a main-window press or move leaves of a pending drag: a level-3 view
// keeps a drag of (1, 2) window pixels pending (less than a frame pixel), and
// the next repaint would fold whatever is left into the centre.
TEST(PointerStateMachine, MainWindowEventsAndThePendingDrag) {
  struct Row {
    const char* name;
    void (*events)(fakehost::Host&);
    FramePoint pending;  // after the events
  };
  // clang-format off
  const Row rows[] = {
      {.name = "a press off the frame clears it",
       .events = [](fakehost::Host&) { Send(HostMsgMainMouseDown, 0, Point(700, 10)); }, .pending = {0, 0}},
      {.name = "a press on the frame while hidden clears it",
       .events = [](fakehost::Host& host) {
         host.windowVisible = 0;
         Send(HostMsgWindowChange);
         Send(HostMsgMainMouseDown, 0, Point(300, 200));
       }, .pending = {0, 0}},
      {.name = "a press while locked leaves it",
       .events = [](fakehost::Host&) {
         Send(WM_MBUTTONUP);
         Send(HostMsgMainMouseDown, 0, Point(300, 200));
       }, .pending = {1, 2}},
      {.name = "following while hidden leaves nothing",
       .events = [](fakehost::Host& host) {
         Send(HostMsgMainMouseDown, 0, Point(300, 200));
         host.windowVisible = 0;
         Send(HostMsgWindowChange);
         Send(HostMsgMainMouseMove, 0, Point(310, 210));
       }, .pending = {0, 0}},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fakehost::Host& host = StartWithFrame({{"nnn", 3}});
    Send(WM_LBUTTONDOWN, 0, Point(50, 60));
    Send(WM_MOUSEMOVE, 0, Point(51, 62));
    Send(WM_LBUTTONUP, 0, Point(51, 62));
    ASSERT_EQ(viewState.pendingDx, 1);
    ASSERT_EQ(viewState.pendingDy, 2);
    r.events(host);
    EXPECT_EQ(viewState.pendingDx, r.pending.x);
    EXPECT_EQ(viewState.pendingDy, r.pending.y);
    EXPECT_EQ(fakehost::Violations(), "");
  }
}

TEST(PointerStateMachine, DoubleClickInTheViewIsOneDragThenOneZoom) {
  StartWithFrame();
  Send(WM_LBUTTONDOWN, 0, Point(20, 20));
  Send(WM_LBUTTONUP, 0, Point(20, 20));
  standin::ClearCalls();
  Send(WM_LBUTTONDBLCLK, 0, Point(20, 20));
  EXPECT_EQ(viewState.zoomLevel, 3);
  EXPECT_EQ(Count("SetCapture"), 0u);
  EXPECT_EQ(standin::CaptureOwner(), nullptr);
  Send(WM_LBUTTONUP, 0, Point(20, 20));
  EXPECT_EQ(StateNow(), St::Idle);
}

// ---- zoom and title ---------------------------------------------------------------

TEST(Zoom, WheelClicksAndDirection) {
  struct Row {
    const char* name;
    int start;         // the stored zoom level
    int reversed = 0;  // the stored wheel direction
    UINT message;
    WPARAM wParam = 0;
    int level;  // afterwards, also in the title
  };
  // clang-format off
  const Row rows[] = {
      {.name = "wheel +120", .start = 2, .message = WM_MOUSEWHEEL, .wParam = Wheel(120), .level = 3},
      {.name = "wheel -120", .start = 2, .message = WM_MOUSEWHEEL, .wParam = Wheel(-120), .level = 1},
      {.name = "wheel +240 is one step", .start = 2, .message = WM_MOUSEWHEEL, .wParam = Wheel(240), .level = 3},
      {.name = "wheel -240 is one step", .start = 2, .message = WM_MOUSEWHEEL, .wParam = Wheel(-240), .level = 1},
      {.name = "wheel +1", .start = 2, .message = WM_MOUSEWHEEL, .wParam = Wheel(1), .level = 3},
      {.name = "wheel -32768", .start = 2, .message = WM_MOUSEWHEEL, .wParam = Wheel(-32768), .level = 1},
      {.name = "wheel +120 with keys held", .start = 2, .message = WM_MOUSEWHEEL, .wParam = Wheel(120) | 0x0008,
       .level = 3},
      {.name = "reversed wheel +120 zooms out", .start = 2, .reversed = 1, .message = WM_MOUSEWHEEL,
       .wParam = Wheel(120), .level = 1},
      {.name = "reversed wheel -120 zooms in", .start = 2, .reversed = 1, .message = WM_MOUSEWHEEL,
       .wParam = Wheel(-120), .level = 3},
      {.name = "double click", .start = 2, .message = WM_LBUTTONDBLCLK, .level = 3},
      {.name = "right click", .start = 2, .message = WM_RBUTTONUP, .level = 1},
      {.name = "right click from 1 to 2/3", .start = 1, .message = WM_RBUTTONUP, .level = 0},
      {.name = "right click from 0 to 1/2", .start = 0, .message = WM_RBUTTONUP, .level = -1},
      {.name = "double click from -1 to 2/3", .start = -1, .message = WM_LBUTTONDBLCLK, .level = 0},
      {.name = "right click from -7 to 1/24", .start = -7, .message = WM_RBUTTONUP, .level = -8},
      {.name = "double click from 23 to 24", .start = 23, .message = WM_LBUTTONDBLCLK, .level = 24},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fakehost::Host& host = StartWithFrame({{"nnn", r.start}, {"reverse", r.reversed}});
    Send(r.message, r.wParam, Point(10, 10));
    EXPECT_EQ(viewState.zoomLevel, r.level);
    EXPECT_EQ(standin::WindowText(host.window), Title(r.level));
    EXPECT_EQ(Count("SetWindowTextA"), 1u);
    EXPECT_EQ(Paints(), 1u) << "one repaint from the snapshot";
  }
}

TEST(Zoom, WheelDeltaZeroChangesNothing) {
  StartWithFrame();
  Send(HostMsgMainMouseDown, 0, Point(100, 50));
  standin::ClearCalls();
  Send(WM_MOUSEWHEEL, Wheel(0) | 0x0004);
  EXPECT_EQ(viewState.zoomLevel, 2);
  EXPECT_EQ(viewState.tracking, 1);
  EXPECT_EQ(standin::Calls().size(), 0u) << Log();
}

TEST(Zoom, AtTheBoundsNothingMovesButTrackingEnds) {
  struct Row {
    const char* name;
    int level;  // stored, and kept
    UINT message;
    WPARAM wParam = 0;
  };
  const Row rows[] = {
      {.name = "double click at 24", .level = 24, .message = WM_LBUTTONDBLCLK},
      {.name = "wheel forward at 24", .level = 24, .message = WM_MOUSEWHEEL, .wParam = Wheel(120)},
      {.name = "right click at -9", .level = -9, .message = WM_RBUTTONUP},
      {.name = "wheel back at -9", .level = -9, .message = WM_MOUSEWHEEL, .wParam = Wheel(-120)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fakehost::Host& host = StartWithFrame({{"nnn", r.level}});
    Send(HostMsgMainMouseDown, 0, Point(100, 50));
    ASSERT_EQ(viewState.tracking, 1);
    standin::ClearCalls();
    Send(r.message, r.wParam);
    EXPECT_EQ(viewState.zoomLevel, r.level);
    EXPECT_EQ(standin::WindowText(host.window), Title(r.level));
    EXPECT_EQ(Count("SetWindowTextA"), 0u);
    EXPECT_EQ(Paints(), 0u);
    EXPECT_EQ(viewState.tracking, 0);
  }
}

TEST(Zoom, TitlesWithAndWithoutTheLock) {
  struct Row {
    const char* name;
    int level;
    int middleClicks;
    bool locked;  // the title carries the lock mark
  };
  // The title's bytes are viewmodel::Title's: "Tavimo - 2倍  " and so on.
  const Row rows[] = {
      {.name = "2", .level = 2, .middleClicks = 0, .locked = false},
      {.name = "2 locked", .level = 2, .middleClicks = 1, .locked = true},
      {.name = "2 locked and unlocked", .level = 2, .middleClicks = 2, .locked = false},
      {.name = "24 locked", .level = 24, .middleClicks = 1, .locked = true},
      {.name = "1", .level = 1, .middleClicks = 0, .locked = false},
      {.name = "0 locked", .level = 0, .middleClicks = 1, .locked = true},
      {.name = "-1", .level = -1, .middleClicks = 0, .locked = false},
      {.name = "-2", .level = -2, .middleClicks = 0, .locked = false},
      {.name = "-4", .level = -4, .middleClicks = 0, .locked = false},
      {.name = "-8", .level = -8, .middleClicks = 0, .locked = false},
      {.name = "-9 locked", .level = -9, .middleClicks = 1, .locked = true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fakehost::Host& host = fakehost::Start();
    host.stored["nnn"] = r.level;
    fakehost::Init();
    standin::ClearCalls();
    for (int i = 0; i < r.middleClicks; ++i) Send(WM_MBUTTONUP);
    EXPECT_EQ(standin::WindowText(host.window), Title(r.level, r.locked));
    EXPECT_EQ(Count("SetWindowTextA"), static_cast<size_t>(r.middleClicks));
    EXPECT_EQ(Paints(), 0u) << "the lock repaints nothing";
    EXPECT_EQ(viewState.tracking + viewState.dragging, 0);
  }
}

TEST(Zoom, LockedViewStillZoomsAndKeepsTheMark) {
  fakehost::Host& host = StartWithFrame();
  Send(WM_MBUTTONUP);
  standin::ClearCalls();
  Send(WM_LBUTTONDOWN, 0, Point(10, 10));
  Send(HostMsgMainMouseDown, 0, Point(100, 50));
  Send(HostMsgMainMouseMove, 0, Point(110, 50));
  EXPECT_EQ(Paints(), 0u);
  EXPECT_EQ(Count("SetCapture"), 0u);
  Send(WM_MOUSEWHEEL, Wheel(120));
  Send(WM_LBUTTONDBLCLK);
  Send(WM_RBUTTONUP);
  EXPECT_EQ(viewState.zoomLevel, 3);
  EXPECT_EQ(standin::WindowText(host.window), Title(3, true));
  EXPECT_EQ(Count("SetWindowTextA"), 3u);
}

}  // namespace
