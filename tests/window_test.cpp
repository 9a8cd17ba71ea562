// The window callback as the host drives it: the pointer/drag/lock state
// machine, settings, the menu bar, zoom and title, nested messages and input
// no host should send but some will.
#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/view_state.h"
#include "tests/fake_host.h"
#include "tests/view_model.h"
#include "view/geometry.h"

namespace {

using viewmodel::Title;

using fakehost::Point;
using fakehost::Send;

WPARAM Wheel(int delta) { return static_cast<WPARAM>(static_cast<uint16_t>(delta)) << 16; }

size_t Count(const char* fn) { return standin::CallsTo(fn).size(); }
// PaintView takes the window DC exactly once per repaint.
size_t Paints() { return Count("GetDC"); }

std::string Log() {
  std::string out;
  for (const standin::Call& c : standin::Calls()) out += "  " + standin::ToString(c) + "\n";
  return out;
}

// A run with the given settings stored, a 640 by 360 video open, the window
// shown and one frame copied and painted. The call log starts empty.
fakehost::Host& StartWithFrame(const std::map<std::string, int>& stored = {}) {
  fakehost::Host& host = fakehost::Start();
  host.stored = stored;
  fakehost::Init();
  fakehost::SetFrame(640, 360);
  Send(HostMsgFileOpen);
  fakehost::Frame();
  standin::ClearCalls();
  return host;
}

HMENU Popup(HWND window) {
  HMENU bar = standin::WindowMenu(window);
  if (bar == nullptr) return nullptr;
  std::vector<standin::MenuItem> items = standin::MenuItems(bar);
  return items.empty() ? nullptr : items[0].subMenu;
}

// Identifiers of the popup items that carry a check mark, in menu order.
std::vector<UINT> CheckedIds(HWND window) {
  std::vector<UINT> ids;
  HMENU popup = Popup(window);
  if (popup == nullptr) return ids;
  for (const standin::MenuItem& item : standin::MenuItems(popup)) {
    if ((item.state & MFS_CHECKED) != 0) ids.push_back(item.id);
  }
  return ids;
}

// Ruler on, no grid: the checks of a first run.
const std::vector<UINT> kFirstRunChecks = {102, 103};

std::string Ids(const std::vector<UINT>& ids) {
  std::string out = "{";
  for (UINT id : ids) out += (out.size() > 1 ? "," : "") + std::to_string(id);
  return out + "}";
}

// ---- the pointer state machine ----------------------------------------------------

enum class St { Idle, Tracking, Dragging, Locked };
const char* Name(St s) {
  switch (s) {
    case St::Idle: return "Idle";
    case St::Tracking: return "Tracking";
    case St::Dragging: return "Dragging";
    case St::Locked: return "Locked";
  }
  return "?";
}

St StateNow() {
  const ViewState& v = viewState;
  if (v.coordLocked == 1) return St::Locked;
  if (v.tracking == 1) return St::Tracking;
  if (v.dragging == 1) return St::Dragging;
  return St::Idle;
}

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
  const char* name;
  UINT message;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  int zoomStep = 0;                       // levels the event zooms by, in every state
  Cell idle, tracking, dragging, locked;  // the outcome from each state
};

constexpr St I = St::Idle, T = St::Tracking, D = St::Dragging, L = St::Locked;
constexpr View Still = View::Still, Repaint = View::Repaint, Anch = View::Anchored, Pan = View::Pan;
constexpr Cap Kept = Cap::Kept, Taken = Cap::Taken, Rel = Cap::Released;

// The drag in the Dragging state starts at window (50, 60); the pan event moves to (56, 57).
// clang-format off
const Transition kTransitions[] = {
    {.name = "1144 inside the frame", .message = HostMsgMainMouseDown, .lParam = Point(300, 200),
     .idle = {T, Anch, Kept}, .tracking = {T, Anch, Kept}, .dragging = {T, Anch, Kept}, .locked = {L, Still, Kept}},
    {.name = "1144 at the last frame pixel", .message = HostMsgMainMouseDown, .lParam = Point(639, 359),
     .idle = {T, Anch, Kept}, .tracking = {T, Anch, Kept}, .dragging = {T, Anch, Kept}, .locked = {L, Still, Kept}},
    {.name = "1144 at frame column 0", .message = HostMsgMainMouseDown, .lParam = Point(0, 200),
     .idle = {T, Anch, Kept}, .tracking = {T, Anch, Kept}, .dragging = {T, Anch, Kept}, .locked = {L, Still, Kept}},
    {.name = "1144 at frame row 0", .message = HostMsgMainMouseDown, .lParam = Point(300, 0),
     .idle = {T, Anch, Kept}, .tracking = {T, Anch, Kept}, .dragging = {T, Anch, Kept}, .locked = {L, Still, Kept}},
    {.name = "1144 left of the frame", .message = HostMsgMainMouseDown, .lParam = Point(-1, 10),
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "1144 below the frame", .message = HostMsgMainMouseDown, .lParam = Point(10, 360),
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "1144 right of the frame", .message = HostMsgMainMouseDown, .lParam = Point(640, 10),
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "1144 above the frame", .message = HostMsgMainMouseDown, .lParam = Point(10, -1),
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "1146", .message = HostMsgMainMouseMove, .lParam = Point(320, 180),
     .idle = {I, Still, Kept}, .tracking = {T, Anch, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "1146 left of the frame", .message = HostMsgMainMouseMove, .lParam = Point(-40, 180),
     .idle = {I, Still, Kept}, .tracking = {T, Anch, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "1145", .message = HostMsgMainMouseUp,
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "1149", .message = HostMsgMainMoveSize,
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "1150", .message = HostMsgMainDoubleClick,
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {I, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "WM_LBUTTONDOWN", .message = WM_LBUTTONDOWN, .lParam = Point(10, 20),
     .idle = {D, Still, Taken}, .tracking = {D, Still, Taken}, .dragging = {D, Still, Taken}, .locked = {L, Still, Kept}},
    {.name = "WM_MOUSEMOVE", .message = WM_MOUSEMOVE, .lParam = Point(56, 57),
     .idle = {I, Still, Kept}, .tracking = {I, Still, Kept}, .dragging = {D, Pan, Kept}, .locked = {L, Still, Kept}},
    {.name = "WM_LBUTTONUP", .message = WM_LBUTTONUP, .lParam = Point(56, 57),
     .idle = {I, Still, Rel}, .tracking = {I, Still, Rel}, .dragging = {I, Still, Rel}, .locked = {L, Still, Rel}},
    {.name = "WM_LBUTTONDBLCLK zooms in", .message = WM_LBUTTONDBLCLK, .lParam = Point(5, 5), .zoomStep = +1,
     .idle = {I, Repaint, Kept}, .tracking = {I, Repaint, Kept}, .dragging = {I, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.name = "WM_RBUTTONUP zooms out", .message = WM_RBUTTONUP, .lParam = Point(5, 5), .zoomStep = -1,
     .idle = {I, Repaint, Kept}, .tracking = {I, Repaint, Kept}, .dragging = {I, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.name = "wheel +120 zooms in", .message = WM_MOUSEWHEEL, .wParam = Wheel(120), .zoomStep = +1,
     .idle = {I, Repaint, Kept}, .tracking = {I, Repaint, Kept}, .dragging = {I, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.name = "wheel -120 zooms out", .message = WM_MOUSEWHEEL, .wParam = Wheel(-120), .zoomStep = -1,
     .idle = {I, Repaint, Kept}, .tracking = {I, Repaint, Kept}, .dragging = {I, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.name = "WM_MBUTTONUP", .message = WM_MBUTTONUP,
     .idle = {L, Still, Kept}, .tracking = {L, Still, Kept}, .dragging = {L, Still, Kept}, .locked = {I, Still, Kept}},
    {.name = "WM_ACTIVATE deactivated", .message = WM_ACTIVATE, .wParam = WA_INACTIVE,
     .idle = {I, Still, Rel}, .tracking = {T, Still, Rel}, .dragging = {I, Still, Rel}, .locked = {L, Still, Rel}},
    {.name = "WM_ACTIVATE activated", .message = WM_ACTIVATE, .wParam = WA_ACTIVE,
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "WM_ACTIVATE click-activated", .message = WM_ACTIVATE, .wParam = WA_CLICKACTIVE,
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "command 101", .message = WM_COMMAND, .wParam = 101,
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "command 102", .message = WM_COMMAND, .wParam = 102,
     .idle = {I, Repaint, Kept}, .tracking = {T, Repaint, Kept}, .dragging = {D, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.name = "command 103", .message = HostMsgCommand, .wParam = 103,
     .idle = {I, Repaint, Kept}, .tracking = {T, Repaint, Kept}, .dragging = {D, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.name = "command 104", .message = WM_COMMAND, .wParam = 104,
     .idle = {I, Repaint, Kept}, .tracking = {T, Repaint, Kept}, .dragging = {D, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.name = "command 105", .message = HostMsgCommand, .wParam = 105,
     .idle = {I, Repaint, Kept}, .tracking = {T, Repaint, Kept}, .dragging = {D, Repaint, Kept}, .locked = {L, Repaint, Kept}},
    {.name = "wheel with delta 0", .message = WM_MOUSEWHEEL, .wParam = Wheel(0),
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "WM_RBUTTONDOWN (not handled)", .message = WM_RBUTTONDOWN, .lParam = Point(5, 5),
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
    {.name = "WM_MBUTTONDOWN (not handled)", .message = WM_MBUTTONDOWN, .lParam = Point(5, 5),
     .idle = {I, Still, Kept}, .tracking = {T, Still, Kept}, .dragging = {D, Still, Kept}, .locked = {L, Still, Kept}},
};
// clang-format on

void Enter(St state) {
  switch (state) {
    case St::Idle: break;
    case St::Tracking: Send(HostMsgMainMouseDown, 0, Point(100, 50)); break;
    case St::Dragging: Send(WM_LBUTTONDOWN, 0, Point(50, 60)); break;
    case St::Locked: Send(WM_MBUTTONUP); break;
  }
}

TEST(PointerStateMachine, EveryEventInEveryState) {
  for (const Transition& row : kTransitions) {
    const Cell cells[] = {row.idle, row.tracking, row.dragging, row.locked};
    const St states[] = {St::Idle, St::Tracking, St::Dragging, St::Locked};
    for (int k = 0; k < 4; ++k) {
      const St from = states[k];
      const Cell& want = cells[k];
      SCOPED_TRACE(std::string(row.name) + " in " + Name(from));

      fakehost::Host& host = StartWithFrame();
      Enter(from);
      ASSERT_EQ(StateNow(), from);
      const int centreX = viewState.centreX, centreY = viewState.centreY;
      const int zoom = viewState.zoomLevel;
      const HWND ownerBefore = standin::CaptureOwner();
      standin::ClearCalls();

      EXPECT_EQ(Send(row.message, row.wParam, row.lParam), 0);

      EXPECT_EQ(StateNow(), want.next) << "expected " << Name(want.next) << ", got " << Name(StateNow());
      EXPECT_EQ(viewState.zoomLevel, zoom + row.zoomStep);

      // The view: painted or not, and where it is centred now.
      const size_t expectedPaints = want.view == View::Still ? 0 : 1;
      EXPECT_EQ(Paints(), expectedPaints) << Name(want.view) << "; calls:\n" << Log();
      int wantX = centreX, wantY = centreY, wantPx = 0, wantPy = 0;
      if (want.view == View::Anchored) {
        wantX = static_cast<short>(row.lParam & 0xFFFF);
        wantY = static_cast<short>((row.lParam >> 16) & 0xFFFF);
      } else if (want.view == View::Pan) {
        // 6 right and 3 up at level 2: the centre moves 3 left and 1 down in
        // the frame, half a frame pixel (-1 window pixel) stays pending.
        wantX = centreX - 3;
        wantY = centreY + 1;
        wantPy = -1;
      }
      EXPECT_EQ(viewState.centreX, wantX) << Name(want.view);
      EXPECT_EQ(viewState.centreY, wantY) << Name(want.view);
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
  struct Step {
    const char* name;
    UINT message;
    LPARAM lParam;
    int paints;
    FramePoint centre;  // the view centre afterwards
    int tracking;
  };
  // Press at (100, 50), follow to (120, 60), release; a later move is ignored.
  // clang-format off
  const Step steps[] = {
      {.name = "press at (100, 50)", .message = HostMsgMainMouseDown, .lParam = Point(100, 50), .paints = 1,
       .centre = {100, 50}, .tracking = 1},
      {.name = "move to (120, 60)", .message = HostMsgMainMouseMove, .lParam = Point(120, 60), .paints = 1,
       .centre = {120, 60}, .tracking = 1},
      {.name = "release", .message = HostMsgMainMouseUp, .lParam = 0, .paints = 0, .centre = {120, 60}, .tracking = 0},
      {.name = "move after the release", .message = HostMsgMainMouseMove, .lParam = Point(200, 100), .paints = 0,
       .centre = {120, 60}, .tracking = 0},
  };
  // clang-format on
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    standin::ClearCalls();
    Send(s.message, 0, s.lParam);
    EXPECT_EQ(Paints(), static_cast<size_t>(s.paints));
    EXPECT_EQ(viewState.centreX, s.centre.x);
    EXPECT_EQ(viewState.centreY, s.centre.y);
    EXPECT_EQ(viewState.tracking, s.tracking);
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

// ---- settings ---------------------------------------------------------------------

TEST(Settings, FirstRunWithNothingStored) {
  fakehost::Host& host = fakehost::Start();
  EXPECT_EQ(fakehost::Init(), 0);
  struct Load {
    const char* key;
    int defaultValue;
  };
  const Load loads[] = {{.key = "reverse", .defaultValue = 0},
                        {.key = "nnn", .defaultValue = 2},
                        {.key = "ruler", .defaultValue = 1},
                        {.key = "menu", .defaultValue = 1},
                        {.key = "grid", .defaultValue = 0}};
  ASSERT_EQ(host.settingsLog.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(loads[i].key);
    EXPECT_FALSE(host.settingsLog[i].save);
    EXPECT_EQ(host.settingsLog[i].key, loads[i].key);
    EXPECT_EQ(host.settingsLog[i].defaultValue, loads[i].defaultValue);
  }
  EXPECT_EQ(viewState.zoomLevel, 2);
  EXPECT_EQ(viewState.wheelReversed, 0);
  EXPECT_EQ(viewState.rulerOn, 1);
  EXPECT_EQ(viewState.gridMode, 0);
  EXPECT_EQ(viewState.menuOn, 1);
  EXPECT_EQ(viewState.centreX, 16);
  EXPECT_EQ(viewState.centreY, 16);
  EXPECT_EQ(viewState.coordLocked, 0);
  EXPECT_EQ(standin::WindowText(host.window), Title(2));
  EXPECT_EQ(Ids(CheckedIds(host.window)), Ids(kFirstRunChecks));
  EXPECT_EQ(Count("SetWindowTextA"), 1u);
  EXPECT_EQ(viewState.snapshotDc, nullptr) << "HostMsgInit makes no snapshot";
  EXPECT_EQ(fakehost::Violations(), "");
}

// The setting each key holds.
int ViewState::*Field(const std::string& key) {
  if (key == "nnn") return &ViewState::zoomLevel;
  if (key == "reverse") return &ViewState::wheelReversed;
  if (key == "ruler") return &ViewState::rulerOn;
  if (key == "menu") return &ViewState::menuOn;
  return &ViewState::gridMode;
}

// One stored value: what the field becomes and what the menu shows; at exit
// the field's value goes back (but "menu" is only ever read), and the title
// shows the zoom level it became (2 unless the key is "nnn").
struct StoredCase {
  const char* name;
  const char* key;
  int stored;
  int becomes;
  std::vector<UINT> checked = kFirstRunChecks;  // empty with menuBar false
  bool menuBar = true;
};

const StoredCase kStored[] = {
    {.name = "nnn 99 is clamped to 24", .key = "nnn", .stored = 99, .becomes = 24},
    {.name = "nnn -20 is clamped to -9", .key = "nnn", .stored = -20, .becomes = -9},
    {.name = "nnn 25", .key = "nnn", .stored = 25, .becomes = 24},
    {.name = "nnn -10", .key = "nnn", .stored = -10, .becomes = -9},
    {.name = "nnn 0", .key = "nnn", .stored = 0, .becomes = 0},
    {.name = "nnn INT_MIN", .key = "nnn", .stored = INT_MIN, .becomes = -9},
    {.name = "nnn INT_MAX", .key = "nnn", .stored = INT_MAX, .becomes = 24},
    {.name = "reverse 5 counts as 1", .key = "reverse", .stored = 5, .becomes = 1, .checked = {101, 102, 103}},
    {.name = "reverse -1", .key = "reverse", .stored = -1, .becomes = 1, .checked = {101, 102, 103}},
    {.name = "reverse INT_MIN", .key = "reverse", .stored = INT_MIN, .becomes = 1, .checked = {101, 102, 103}},
    {.name = "reverse INT_MAX", .key = "reverse", .stored = INT_MAX, .becomes = 1, .checked = {101, 102, 103}},
    {.name = "ruler 0", .key = "ruler", .stored = 0, .becomes = 0, .checked = {103}},
    {.name = "ruler INT_MIN", .key = "ruler", .stored = INT_MIN, .becomes = 1},
    {.name = "ruler INT_MAX", .key = "ruler", .stored = INT_MAX, .becomes = 1},
    {.name = "menu 0: no menu bar", .key = "menu", .stored = 0, .becomes = 0, .checked = {}, .menuBar = false},
    {.name = "menu INT_MIN", .key = "menu", .stored = INT_MIN, .becomes = 1},
    {.name = "menu INT_MAX", .key = "menu", .stored = INT_MAX, .becomes = 1},
    {.name = "grid 1", .key = "grid", .stored = 1, .becomes = 1, .checked = {102, 104}},
    {.name = "grid 2", .key = "grid", .stored = 2, .becomes = 2, .checked = {102, 105}},
    {.name = "grid 7 checks no grid item", .key = "grid", .stored = 7, .becomes = 7, .checked = {102}},
    {.name = "grid -1", .key = "grid", .stored = -1, .becomes = -1, .checked = {102}},
    {.name = "grid INT_MIN", .key = "grid", .stored = INT_MIN, .becomes = INT_MIN, .checked = {102}},
    {.name = "grid INT_MAX", .key = "grid", .stored = INT_MAX, .becomes = INT_MAX, .checked = {102}},
};

TEST(Settings, StoredValuesAreNeverRejected) {
  for (const StoredCase& c : kStored) {
    SCOPED_TRACE(c.name);
    fakehost::Host& host = fakehost::Start();
    host.stored[c.key] = c.stored;
    fakehost::Init();
    EXPECT_EQ(viewState.*Field(c.key), c.becomes);
    EXPECT_EQ(standin::WindowText(host.window), Title(std::string(c.key) == "nnn" ? c.becomes : 2));
    EXPECT_EQ(standin::WindowMenu(host.window) != nullptr, c.menuBar);
    EXPECT_EQ(Ids(CheckedIds(host.window)), Ids(c.checked));

    // Whatever was stored, frames are copied and painted soundly.
    fakehost::SetFrame(64, 48);
    Send(HostMsgFileOpen);
    EXPECT_EQ(fakehost::Frame(), 1);
    Send(WM_PAINT);
    EXPECT_EQ(fakehost::Violations(), "");

    host.settingsLog.clear();
    fakehost::Exit();
    bool saved = false;
    for (const fakehost::SettingEvent& e : host.settingsLog) {
      if (!e.save || e.key != c.key) continue;
      saved = true;
      EXPECT_EQ(e.value, c.becomes);
    }
    EXPECT_EQ(saved, std::string(c.key) != "menu") << "\"menu\" is only ever read";
  }
}

TEST(Settings, SavedInOrderAtExit) {
  fakehost::Host& host = fakehost::Start();
  host.stored["grid"] = 7;
  fakehost::Init();
  Send(WM_COMMAND, 101);             // wheel reversed
  Send(WM_COMMAND, 102);             // ruler off
  Send(HostMsgCommand, 104);         // black grid
  Send(WM_MOUSEWHEEL, Wheel(-120));  // reversed: zooms in to 3
  Send(WM_MBUTTONUP);                // the lock is not a setting
  host.settingsLog.clear();
  EXPECT_EQ(fakehost::Exit(), 0);
  struct Save {
    const char* key;
    int value;
  };
  const Save want[] = {{.key = "nnn", .value = 3},
                       {.key = "reverse", .value = 1},
                       {.key = "ruler", .value = 0},
                       {.key = "grid", .value = 1}};
  ASSERT_EQ(host.settingsLog.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(want[i].key);
    EXPECT_TRUE(host.settingsLog[i].save);
    EXPECT_EQ(host.settingsLog[i].key, want[i].key);
    EXPECT_EQ(host.settingsLog[i].value, want[i].value);
  }
}

TEST(Settings, MenuOffStaysOffOverTwoRuns) {
  std::map<std::string, int> store = {{"menu", 0}};
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    fakehost::Host& host = fakehost::Start();
    host.stored = store;
    fakehost::Init();
    EXPECT_EQ(standin::WindowMenu(host.window), nullptr);
    EXPECT_EQ(Count("CreateMenu"), 0u);
    EXPECT_EQ(standin::GetBooks().menusAlive, 0);
    EXPECT_EQ(standin::WindowText(host.window), Title(2));
    fakehost::Exit();
    for (const fakehost::SettingEvent& e : host.settingsLog) EXPECT_FALSE(e.save && e.key == "menu");
    store = host.stored;
  }
}

TEST(Settings, LockIsNotRemembered) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  Send(WM_MBUTTONUP);
  fakehost::Exit();
  std::map<std::string, int> store = host.stored;
  fakehost::Host& next = fakehost::Start();
  next.stored = store;
  fakehost::Init();
  EXPECT_EQ(viewState.coordLocked, 0);
  EXPECT_EQ(standin::WindowText(next.window), Title(2));
}

// ---- menu bar -----------------------------------------------------------------------

TEST(MenuBar, TextsIdsAndFirstChecks) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  HMENU bar = standin::WindowMenu(host.window);
  ASSERT_NE(bar, nullptr);
  std::vector<standin::MenuItem> top = standin::MenuItems(bar);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0].text, "\x90\xDD\x92\xE8");  // "設定"
  ASSERT_NE(top[0].subMenu, nullptr);
  struct Item {
    UINT id;
    std::string text;  // Shift_JIS
    UINT state;
  };
  const std::string gridLine = "\x83\x4F\x83\x8A\x83\x62\x83\x68\x90\xFC";  // "グリッド線"
  // clang-format off
  const Item want[] = {
      // "ホイール反転"
      {.id = 101, .text = "\x83\x7A\x83\x43\x81\x5B\x83\x8B\x94\xBD\x93\x5D", .state = MFS_UNCHECKED},
      {.id = 102, .text = "\x83\x8B\x81\x5B\x83\x89\x81\x5B", .state = MFS_CHECKED},  // "ルーラー"
      {.id = 103, .text = gridLine + "(\x82\xC8\x82\xB5)", .state = MFS_CHECKED},          // "グリッド線(なし)"
      {.id = 104, .text = gridLine + "(\x8D\x95)", .state = MFS_UNCHECKED},                  // "グリッド線(黒)"
      {.id = 105, .text = gridLine + "(\x94\x92)", .state = MFS_UNCHECKED},                  // "グリッド線(白)"
  };
  // clang-format on
  std::vector<standin::MenuItem> items = standin::MenuItems(top[0].subMenu);
  ASSERT_EQ(items.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE("popup position " + std::to_string(i));
    EXPECT_EQ(items[i].id, want[i].id);
    EXPECT_EQ(items[i].text, want[i].text);
    EXPECT_EQ(items[i].type, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(items[i].state, want[i].state);
  }
  EXPECT_EQ(standin::GetBooks().menusAlive, 2);
}

TEST(MenuBar, BuiltAndCheckedThroughTheAnsiRecords) {
  fakehost::Host& host = fakehost::Start();
  host.stored["grid"] = 1;
  fakehost::Init();
  HMENU bar = standin::WindowMenu(host.window);
  ASSERT_NE(bar, nullptr);
  HMENU popup = Popup(host.window);
  const int64_t size = sizeof(MENUITEMINFOA);
  // hmenu, position, by position, cbSize, fMask, fType, fState, wID, hSubMenu
  const std::vector<std::vector<int64_t>> want = {
      {standin::H(bar), 0, TRUE, size, MIIM_SUBMENU | MIIM_TYPE, MFT_STRING, 0, 0, standin::H(popup)},
      {standin::H(popup), 0, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_UNCHECKED, 101},
      {standin::H(popup), 1, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_CHECKED, 102},
      {standin::H(popup), 2, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_UNCHECKED, 103},
      {standin::H(popup), 3, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_CHECKED, 104},
      {standin::H(popup), 4, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_UNCHECKED, 105},
  };
  std::vector<standin::Call> inserts = standin::CallsTo("InsertMenuItemA");
  ASSERT_EQ(inserts.size(), want.size()) << Log();
  for (size_t i = 0; i < want.size(); ++i) {
    for (size_t k = 0; k < want[i].size(); ++k) {
      EXPECT_EQ(inserts[i].args.at(k), want[i][k])
          << "insert " << i << ", argument " << k << ": " << standin::ToString(inserts[i]);
    }
  }
  std::vector<standin::Call> setMenus = standin::CallsTo("SetMenu");
  ASSERT_EQ(setMenus.size(), 1u);
  EXPECT_EQ(setMenus[0].args.at(1), standin::H(bar));

  // A check change names the item by identifier and touches only its state.
  standin::ClearCalls();
  Send(WM_COMMAND, 102);
  std::vector<standin::Call> sets = standin::CallsTo("SetMenuItemInfoA");
  ASSERT_EQ(sets.size(), 1u);
  const std::vector<int64_t> wantSet = {standin::H(bar), 102, FALSE, size, MIIM_STATE, MFT_STRING, MFS_UNCHECKED};
  for (size_t k = 0; k < wantSet.size(); ++k) {
    EXPECT_EQ(sets[0].args.at(k), wantSet[k]) << "argument " << k << ": " << standin::ToString(sets[0]);
  }
}

TEST(MenuBar, ChecksFollowEachCommand) {
  fakehost::Host& host = StartWithFrame();
  struct Step {
    const char* name;
    UINT message;
    WPARAM wParam;
    std::vector<UINT> checked;  // popup items checked afterwards
    int wheelReversed, rulerOn, gridMode;
    int paints;
  };
  // clang-format off
  const Step steps[] = {
      {.name = "101 reverses the wheel", .message = WM_COMMAND, .wParam = 101, .checked = {101, 102, 103},
       .wheelReversed = 1, .rulerOn = 1, .gridMode = 0, .paints = 0},
      {.name = "101 again", .message = HostMsgCommand, .wParam = 101, .checked = {102, 103},
       .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 0},
      {.name = "102 turns the ruler off", .message = WM_COMMAND, .wParam = 102, .checked = {103},
       .wheelReversed = 0, .rulerOn = 0, .gridMode = 0, .paints = 1},
      {.name = "104 black grid", .message = WM_COMMAND, .wParam = 104, .checked = {104},
       .wheelReversed = 0, .rulerOn = 0, .gridMode = 1, .paints = 1},
      {.name = "105 white grid", .message = HostMsgCommand, .wParam = 105, .checked = {105},
       .wheelReversed = 0, .rulerOn = 0, .gridMode = 2, .paints = 1},
      {.name = "103 no grid", .message = WM_COMMAND, .wParam = 103, .checked = {103},
       .wheelReversed = 0, .rulerOn = 0, .gridMode = 0, .paints = 1},
      {.name = "102 with a high word set", .message = WM_COMMAND, .wParam = 0x00010000 | 102, .checked = {102, 103},
       .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 1},
      {.name = "100 is no command", .message = WM_COMMAND, .wParam = 100, .checked = {102, 103},
       .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 0},
      {.name = "106 is no command", .message = HostMsgCommand, .wParam = 106, .checked = {102, 103},
       .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 0},
      {.name = "0 is no command", .message = WM_COMMAND, .wParam = 0, .checked = {102, 103},
       .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 0},
  };
  // clang-format on
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    standin::ClearCalls();
    EXPECT_EQ(Send(s.message, s.wParam), 0);
    EXPECT_EQ(Ids(CheckedIds(host.window)), Ids(s.checked));
    EXPECT_EQ(viewState.wheelReversed, s.wheelReversed);
    EXPECT_EQ(viewState.rulerOn, s.rulerOn);
    EXPECT_EQ(viewState.gridMode, s.gridMode);
    EXPECT_EQ(Paints(), static_cast<size_t>(s.paints));
    EXPECT_EQ(fakehost::Violations(), "");
  }
}

TEST(MenuBar, GridCommandsSetTheChosenItemFirst) {
  StartWithFrame();
  struct Row {
    UINT id;
    UINT order[3];  // the items SetMenuItemInfoA sets, in order
  };
  const Row rows[] = {{.id = 103, .order = {103, 104, 105}},
                      {.id = 104, .order = {104, 103, 105}},
                      {.id = 105, .order = {105, 103, 104}}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    standin::ClearCalls();
    Send(WM_COMMAND, r.id);
    std::vector<standin::Call> calls = standin::CallsTo("SetMenuItemInfoA");
    ASSERT_EQ(calls.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(calls[i].args.at(1), int64_t{r.order[i]}) << standin::ToString(calls[i]);
  }
}

TEST(MenuBar, WithoutAMenuBarCommandsOnlyRepaint) {
  struct Row {
    UINT id;
    size_t paints;
  };
  const Row rows[] = {{.id = 101, .paints = 0},
                      {.id = 102, .paints = 1},
                      {.id = 103, .paints = 1},
                      {.id = 104, .paints = 1},
                      {.id = 105, .paints = 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    fakehost::Host& host = fakehost::Start();
    host.stored["menu"] = 0;
    host.stored["grid"] = 1;
    fakehost::Init();
    standin::ClearCalls();
    Send(WM_COMMAND, r.id);
    EXPECT_EQ(viewState.wheelReversed, 0);
    EXPECT_EQ(viewState.rulerOn, 1);
    EXPECT_EQ(viewState.gridMode, 1);
    EXPECT_EQ(Count("SetMenuItemInfoA"), 0u);
    EXPECT_EQ(Paints(), r.paints) << Log();
    // With no snapshot the repaint is the empty window.
    if (r.paints != 0) {
      EXPECT_EQ(standin::ClientPixel(host.window, 10, 10), standin::kActiveBorderRgb);
    }
  }
}

TEST(MenuBar, SecondStartKeepsTheMenuBarAndRefreshesItsChecks) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  HMENU first = standin::WindowMenu(host.window);
  host.stored["reverse"] = 1;
  host.stored["grid"] = 2;
  standin::ClearCalls();
  EXPECT_EQ(fakehost::Init(), 0);
  EXPECT_EQ(Count("CreateMenu"), 0u);
  EXPECT_EQ(standin::GetBooks().menusAlive, 2);
  EXPECT_EQ(standin::WindowMenu(host.window), first);
  EXPECT_EQ(Ids(CheckedIds(host.window)), Ids({101, 102, 105}));
  EXPECT_EQ(standin::WindowText(host.window), Title(2));
  EXPECT_EQ(fakehost::Violations(), "");
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
  standin::FillClient(host.window, standin::kPoison);
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
  standin::FillClient(host.window, standin::kPoison);
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
    const char* name;
    St start;
    UINT message;
    LPARAM lParam;
    St after;
    FramePoint centre = {INT_MIN, INT_MIN};  // afterwards; INT_MIN: not checked (a drag) or as before
  };
  // clang-format off
  const Row rows[] = {
      {.name = "press at x 0x7FFF", .start = St::Idle, .message = HostMsgMainMouseDown, .lParam = Point(0x7FFF, 10),
       .after = St::Idle},
      {.name = "press at x 0x8000 (-32768)", .start = St::Idle, .message = HostMsgMainMouseDown,
       .lParam = Point(0x8000, 10), .after = St::Idle},
      {.name = "press at x 0xFFFF (-1)", .start = St::Idle, .message = HostMsgMainMouseDown,
       .lParam = Point(0xFFFF, 10), .after = St::Idle},
      {.name = "press at y 0xFFFF (-1)", .start = St::Idle, .message = HostMsgMainMouseDown,
       .lParam = Point(10, 0xFFFF), .after = St::Idle},
      {.name = "press at y 0x7FFF", .start = St::Idle, .message = HostMsgMainMouseDown, .lParam = Point(10, 0x7FFF),
       .after = St::Idle},
      {.name = "follow to (0x8000, 0x8000)", .start = St::Tracking, .message = HostMsgMainMouseMove,
       .lParam = Point(0x8000, 0x8000), .after = St::Tracking, .centre = {-32768, -32768}},
      {.name = "follow to (0x7FFF, 0xFFFF)", .start = St::Tracking, .message = HostMsgMainMouseMove,
       .lParam = Point(0x7FFF, 0xFFFF), .after = St::Tracking, .centre = {32767, -1}},
      {.name = "drag to (0x8000, 0x8000)", .start = St::Dragging, .message = WM_MOUSEMOVE,
       .lParam = Point(0x8000, 0x8000), .after = St::Dragging},
      {.name = "drag to (0x7FFF, 0xFFFF)", .start = St::Dragging, .message = WM_MOUSEMOVE,
       .lParam = Point(0x7FFF, 0xFFFF), .after = St::Dragging},
      {.name = "drag start at (0xFFFF, 0x8000)", .start = St::Idle, .message = WM_LBUTTONDOWN,
       .lParam = Point(0xFFFF, 0x8000), .after = St::Dragging},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    StartWithFrame();
    Enter(r.start);
    const int cx = viewState.centreX, cy = viewState.centreY;
    Send(r.message, 0, r.lParam);
    EXPECT_EQ(StateNow(), r.after);
    if (r.centre.x != INT_MIN) {
      EXPECT_EQ(viewState.centreX, r.centre.x);
      EXPECT_EQ(viewState.centreY, r.centre.y);
    } else if (r.message != WM_MOUSEMOVE) {
      EXPECT_EQ(viewState.centreX, cx);
      EXPECT_EQ(viewState.centreY, cy);
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
  EXPECT_EQ(viewState.centreX, cx + 32767);
  EXPECT_EQ(viewState.centreY, cy + 32767);
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
    {.message = WM_ACTIVATE, .wParam = WA_ACTIVE}, {.message = WM_PAINT}, {.message = WM_COMMAND, .wParam = 101},
    {.message = WM_COMMAND, .wParam = 102}, {.message = WM_COMMAND, .wParam = 104},
    {.message = WM_LBUTTONDOWN, .lParam = Point(3, 4)}, {.message = WM_MOUSEMOVE, .lParam = Point(30, 40)},
    {.message = WM_LBUTTONUP}, {.message = WM_LBUTTONDBLCLK}, {.message = WM_RBUTTONDOWN}, {.message = WM_RBUTTONUP},
    {.message = WM_MBUTTONDOWN}, {.message = WM_MBUTTONUP}, {.message = WM_MBUTTONUP},
    {.message = WM_MOUSEWHEEL, .wParam = static_cast<WPARAM>(120) << 16}, {.message = WM_CAPTURECHANGED},
    {.message = HostMsgFileOpen}, {.message = HostMsgWindowChange}, {.message = HostMsgEditChange},
    {.message = HostMsgCommand, .wParam = 105}, {.message = HostMsgMainMouseDown, .lParam = Point(1, 1)},
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
  Send(WM_COMMAND, 104);
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
