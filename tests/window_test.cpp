// The window callback as the host drives it: the pointer/drag/lock state
// machine, settings, the menu bar, zoom and title, nested messages and input
// no host should send but some will.
#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/view_state.h"
#include "tests/fake_host.h"
#include "tests/view_model.h"

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

struct Cell {
  St next;
  View view;
  Cap capture;
};

struct Transition {
  const char* name;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int zoomStep;
  Cell idle, tracking, dragging, locked;
};

constexpr St I = St::Idle, T = St::Tracking, D = St::Dragging, L = St::Locked;
constexpr View Still = View::Still, Repaint = View::Repaint, Anch = View::Anchored, Pan = View::Pan;
constexpr Cap Kept = Cap::Kept, Taken = Cap::Taken, Rel = Cap::Released;

// The drag in the Dragging state starts at window (50, 60); the pan event moves to (56, 57).
const Transition kTransitions[] = {
    {"1144 inside the frame", HostMsgMainMouseDown, 0, Point(300, 200), 0,
     {T, Anch, Kept}, {T, Anch, Kept}, {T, Anch, Kept}, {L, Still, Kept}},
    {"1144 at the last frame pixel", HostMsgMainMouseDown, 0, Point(639, 359), 0,
     {T, Anch, Kept}, {T, Anch, Kept}, {T, Anch, Kept}, {L, Still, Kept}},
    {"1144 right of the frame", HostMsgMainMouseDown, 0, Point(640, 10), 0,
     {I, Still, Kept}, {I, Still, Kept}, {I, Still, Kept}, {L, Still, Kept}},
    {"1144 above the frame", HostMsgMainMouseDown, 0, Point(10, -1), 0,
     {I, Still, Kept}, {I, Still, Kept}, {I, Still, Kept}, {L, Still, Kept}},
    {"1146", HostMsgMainMouseMove, 0, Point(320, 180), 0,
     {I, Still, Kept}, {T, Anch, Kept}, {I, Still, Kept}, {L, Still, Kept}},
    {"1146 left of the frame", HostMsgMainMouseMove, 0, Point(-40, 180), 0,
     {I, Still, Kept}, {T, Anch, Kept}, {I, Still, Kept}, {L, Still, Kept}},
    {"1145", HostMsgMainMouseUp, 0, 0, 0,
     {I, Still, Kept}, {I, Still, Kept}, {I, Still, Kept}, {L, Still, Kept}},
    {"1149", HostMsgMainMoveSize, 0, 0, 0,
     {I, Still, Kept}, {I, Still, Kept}, {I, Still, Kept}, {L, Still, Kept}},
    {"1150", HostMsgMainDoubleClick, 0, 0, 0,
     {I, Still, Kept}, {I, Still, Kept}, {I, Still, Kept}, {L, Still, Kept}},
    {"WM_LBUTTONDOWN", WM_LBUTTONDOWN, 0, Point(10, 20), 0,
     {D, Still, Taken}, {D, Still, Taken}, {D, Still, Taken}, {L, Still, Kept}},
    {"WM_MOUSEMOVE", WM_MOUSEMOVE, 0, Point(56, 57), 0,
     {I, Still, Kept}, {I, Still, Kept}, {D, Pan, Kept}, {L, Still, Kept}},
    {"WM_LBUTTONUP", WM_LBUTTONUP, 0, Point(56, 57), 0,
     {I, Still, Rel}, {I, Still, Rel}, {I, Still, Rel}, {L, Still, Rel}},
    {"WM_LBUTTONDBLCLK zooms in", WM_LBUTTONDBLCLK, 0, Point(5, 5), +1,
     {I, Repaint, Kept}, {I, Repaint, Kept}, {I, Repaint, Kept}, {L, Repaint, Kept}},
    {"WM_RBUTTONUP zooms out", WM_RBUTTONUP, 0, Point(5, 5), -1,
     {I, Repaint, Kept}, {I, Repaint, Kept}, {I, Repaint, Kept}, {L, Repaint, Kept}},
    {"wheel +120 zooms in", WM_MOUSEWHEEL, Wheel(120), 0, +1,
     {I, Repaint, Kept}, {I, Repaint, Kept}, {I, Repaint, Kept}, {L, Repaint, Kept}},
    {"wheel -120 zooms out", WM_MOUSEWHEEL, Wheel(-120), 0, -1,
     {I, Repaint, Kept}, {I, Repaint, Kept}, {I, Repaint, Kept}, {L, Repaint, Kept}},
    {"WM_MBUTTONUP", WM_MBUTTONUP, 0, 0, 0,
     {L, Still, Kept}, {L, Still, Kept}, {L, Still, Kept}, {I, Still, Kept}},
    {"WM_ACTIVATE deactivated", WM_ACTIVATE, WA_INACTIVE, 0, 0,
     {I, Still, Rel}, {T, Still, Rel}, {I, Still, Rel}, {L, Still, Rel}},
    {"WM_ACTIVATE activated", WM_ACTIVATE, WA_ACTIVE, 0, 0,
     {I, Still, Kept}, {T, Still, Kept}, {D, Still, Kept}, {L, Still, Kept}},
    {"WM_ACTIVATE click-activated", WM_ACTIVATE, WA_CLICKACTIVE, 0, 0,
     {I, Still, Kept}, {T, Still, Kept}, {D, Still, Kept}, {L, Still, Kept}},
    {"command 101", WM_COMMAND, 101, 0, 0,
     {I, Still, Kept}, {T, Still, Kept}, {D, Still, Kept}, {L, Still, Kept}},
    {"command 102", WM_COMMAND, 102, 0, 0,
     {I, Repaint, Kept}, {T, Repaint, Kept}, {D, Repaint, Kept}, {L, Repaint, Kept}},
    {"command 103", HostMsgCommand, 103, 0, 0,
     {I, Repaint, Kept}, {T, Repaint, Kept}, {D, Repaint, Kept}, {L, Repaint, Kept}},
    {"command 104", WM_COMMAND, 104, 0, 0,
     {I, Repaint, Kept}, {T, Repaint, Kept}, {D, Repaint, Kept}, {L, Repaint, Kept}},
    {"command 105", HostMsgCommand, 105, 0, 0,
     {I, Repaint, Kept}, {T, Repaint, Kept}, {D, Repaint, Kept}, {L, Repaint, Kept}},
    {"wheel with delta 0", WM_MOUSEWHEEL, Wheel(0), 0, 0,
     {I, Still, Kept}, {T, Still, Kept}, {D, Still, Kept}, {L, Still, Kept}},
    {"WM_RBUTTONDOWN (not handled)", WM_RBUTTONDOWN, 0, Point(5, 5), 0,
     {I, Still, Kept}, {T, Still, Kept}, {D, Still, Kept}, {L, Still, Kept}},
    {"WM_MBUTTONDOWN (not handled)", WM_MBUTTONDOWN, 0, Point(5, 5), 0,
     {I, Still, Kept}, {T, Still, Kept}, {D, Still, Kept}, {L, Still, Kept}},
};

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
    int centreX, centreY;
    int tracking;
  };
  // Press at (100, 50), follow to (120, 60), release; a later move is ignored.
  const Step steps[] = {
      {"press at (100, 50)", HostMsgMainMouseDown, Point(100, 50), 1, 100, 50, 1},
      {"move to (120, 60)", HostMsgMainMouseMove, Point(120, 60), 1, 120, 60, 1},
      {"release", HostMsgMainMouseUp, 0, 0, 120, 60, 0},
      {"move after the release", HostMsgMainMouseMove, Point(200, 100), 0, 120, 60, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    standin::ClearCalls();
    Send(s.message, 0, s.lParam);
    EXPECT_EQ(Paints(), static_cast<size_t>(s.paints));
    EXPECT_EQ(viewState.centreX, s.centreX);
    EXPECT_EQ(viewState.centreY, s.centreY);
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
  const Load loads[] = {{"reverse", 0}, {"nnn", 2}, {"ruler", 1}, {"menu", 1}, {"grid", 0}};
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
  EXPECT_EQ(standin::WindowText(host.window), Title("2", false));
  EXPECT_EQ(Ids(CheckedIds(host.window)), Ids({102, 103}));
  EXPECT_EQ(Count("SetWindowTextA"), 1u);
  EXPECT_EQ(viewState.snapshotDc, nullptr) << "HostMsgInit makes no snapshot";
  EXPECT_EQ(fakehost::Violations(), "");
}

// One stored value: what the field becomes, what the menu shows, what goes
// back at exit. -1 in savedBack: the key is never written.
struct StoredCase {
  const char* name;
  const char* key;
  int stored;
  int ViewState::*field;
  int becomes;
  std::vector<UINT> checked;  // empty with menuBar false
  bool menuBar;
  const char* zoomLabel;
  int savedBack;  // ignored for "menu", which is never saved
};

const StoredCase kStored[] = {
    {"nnn 99 is clamped to 24", "nnn", 99, &ViewState::zoomLevel, 24, {102, 103}, true, "24", 24},
    {"nnn -20 is clamped to -9", "nnn", -20, &ViewState::zoomLevel, -9, {102, 103}, true, "1/32", -9},
    {"nnn 25", "nnn", 25, &ViewState::zoomLevel, 24, {102, 103}, true, "24", 24},
    {"nnn -10", "nnn", -10, &ViewState::zoomLevel, -9, {102, 103}, true, "1/32", -9},
    {"nnn 0", "nnn", 0, &ViewState::zoomLevel, 0, {102, 103}, true, "2/3", 0},
    {"nnn INT_MIN", "nnn", INT_MIN, &ViewState::zoomLevel, -9, {102, 103}, true, "1/32", -9},
    {"nnn INT_MAX", "nnn", INT_MAX, &ViewState::zoomLevel, 24, {102, 103}, true, "24", 24},
    {"reverse 5 counts as 1", "reverse", 5, &ViewState::wheelReversed, 1, {101, 102, 103}, true, "2", 1},
    {"reverse -1", "reverse", -1, &ViewState::wheelReversed, 1, {101, 102, 103}, true, "2", 1},
    {"reverse INT_MIN", "reverse", INT_MIN, &ViewState::wheelReversed, 1, {101, 102, 103}, true, "2", 1},
    {"reverse INT_MAX", "reverse", INT_MAX, &ViewState::wheelReversed, 1, {101, 102, 103}, true, "2", 1},
    {"ruler 0", "ruler", 0, &ViewState::rulerOn, 0, {103}, true, "2", 0},
    {"ruler INT_MIN", "ruler", INT_MIN, &ViewState::rulerOn, 1, {102, 103}, true, "2", 1},
    {"ruler INT_MAX", "ruler", INT_MAX, &ViewState::rulerOn, 1, {102, 103}, true, "2", 1},
    {"menu 0: no menu bar", "menu", 0, &ViewState::menuOn, 0, {}, false, "2", -1},
    {"menu INT_MIN", "menu", INT_MIN, &ViewState::menuOn, 1, {102, 103}, true, "2", -1},
    {"menu INT_MAX", "menu", INT_MAX, &ViewState::menuOn, 1, {102, 103}, true, "2", -1},
    {"grid 1", "grid", 1, &ViewState::gridMode, 1, {102, 104}, true, "2", 1},
    {"grid 2", "grid", 2, &ViewState::gridMode, 2, {102, 105}, true, "2", 2},
    {"grid 7 checks no grid item", "grid", 7, &ViewState::gridMode, 7, {102}, true, "2", 7},
    {"grid -1", "grid", -1, &ViewState::gridMode, -1, {102}, true, "2", -1},
    {"grid INT_MIN", "grid", INT_MIN, &ViewState::gridMode, INT_MIN, {102}, true, "2", INT_MIN},
    {"grid INT_MAX", "grid", INT_MAX, &ViewState::gridMode, INT_MAX, {102}, true, "2", INT_MAX},
};

TEST(Settings, StoredValuesAreNeverRejected) {
  for (const StoredCase& c : kStored) {
    SCOPED_TRACE(c.name);
    fakehost::Host& host = fakehost::Start();
    host.stored[c.key] = c.stored;
    fakehost::Init();
    EXPECT_EQ(viewState.*c.field, c.becomes);
    EXPECT_EQ(standin::WindowText(host.window), Title(c.zoomLabel, false));
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
      EXPECT_EQ(e.value, c.savedBack);
    }
    EXPECT_EQ(saved, std::string(c.key) != "menu") << "\"menu\" is only ever read";
  }
}

TEST(Settings, SavedInOrderAtExit) {
  fakehost::Host& host = fakehost::Start();
  host.stored["grid"] = 7;
  fakehost::Init();
  Send(WM_COMMAND, 101);                 // wheel reversed
  Send(WM_COMMAND, 102);                 // ruler off
  Send(HostMsgCommand, 104);             // black grid
  Send(WM_MOUSEWHEEL, Wheel(-120));      // reversed: zooms in to 3
  Send(WM_MBUTTONUP);                    // the lock is not a setting
  host.settingsLog.clear();
  EXPECT_EQ(fakehost::Exit(), 0);
  struct Save {
    const char* key;
    int value;
  };
  const Save want[] = {{"nnn", 3}, {"reverse", 1}, {"ruler", 0}, {"grid", 1}};
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
    EXPECT_EQ(standin::WindowText(host.window), Title("2", false));
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
  EXPECT_EQ(standin::WindowText(next.window), Title("2", false));
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
    std::string text;
    UINT state;
  };
  const Item want[] = {
      {101, "\x83\x7A\x83\x43\x81\x5B\x83\x8B\x94\xBD\x93\x5D", MFS_UNCHECKED},  // "ホイール反転"
      {102, "\x83\x8B\x81\x5B\x83\x89\x81\x5B", MFS_CHECKED},                     // "ルーラー"
      {103, "\x83\x4F\x83\x8A\x83\x62\x83\x68\x90\xFC(\x82\xC8\x82\xB5)", MFS_CHECKED},  // "グリッド線(なし)"
      {104, "\x83\x4F\x83\x8A\x83\x62\x83\x68\x90\xFC(\x8D\x95)", MFS_UNCHECKED},        // "グリッド線(黒)"
      {105, "\x83\x4F\x83\x8A\x83\x62\x83\x68\x90\xFC(\x94\x92)", MFS_UNCHECKED},        // "グリッド線(白)"
  };
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
      EXPECT_EQ(inserts[i].args.at(k), want[i][k]) << "insert " << i << ", argument " << k << ": "
                                                   << standin::ToString(inserts[i]);
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
    std::vector<UINT> checked;
    int wheelReversed, rulerOn, gridMode;
    int paints;
  };
  const Step steps[] = {
      {"101 reverses the wheel", WM_COMMAND, 101, {101, 102, 103}, 1, 1, 0, 0},
      {"101 again", HostMsgCommand, 101, {102, 103}, 0, 1, 0, 0},
      {"102 turns the ruler off", WM_COMMAND, 102, {103}, 0, 0, 0, 1},
      {"104 black grid", WM_COMMAND, 104, {104}, 0, 0, 1, 1},
      {"105 white grid", HostMsgCommand, 105, {105}, 0, 0, 2, 1},
      {"103 no grid", WM_COMMAND, 103, {103}, 0, 0, 0, 1},
      {"102 with a high word set", WM_COMMAND, 0x00010000 | 102, {102, 103}, 0, 1, 0, 1},
      {"100 is no command", WM_COMMAND, 100, {102, 103}, 0, 1, 0, 0},
      {"106 is no command", HostMsgCommand, 106, {102, 103}, 0, 1, 0, 0},
      {"0 is no command", WM_COMMAND, 0, {102, 103}, 0, 1, 0, 0},
  };
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
    UINT order[3];
  };
  const Row rows[] = {{103, {103, 104, 105}}, {104, {104, 103, 105}}, {105, {105, 103, 104}}};
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
  const Row rows[] = {{101, 0}, {102, 1}, {103, 1}, {104, 1}, {105, 1}};
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
    if (r.paints != 0) EXPECT_EQ(standin::ClientPixel(host.window, 10, 10), standin::kActiveBorderRgb);
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
  EXPECT_EQ(standin::WindowText(host.window), Title("2", false));
  EXPECT_EQ(fakehost::Violations(), "");
}

// ---- zoom and title ---------------------------------------------------------------

TEST(Zoom, WheelClicksAndDirection) {
  struct Row {
    const char* name;
    int start;
    int reversed;
    UINT message;
    WPARAM wParam;
    int level;
    const char* label;
  };
  const Row rows[] = {
      {"wheel +120", 2, 0, WM_MOUSEWHEEL, Wheel(120), 3, "3"},
      {"wheel -120", 2, 0, WM_MOUSEWHEEL, Wheel(-120), 1, "1"},
      {"wheel +240 is one step", 2, 0, WM_MOUSEWHEEL, Wheel(240), 3, "3"},
      {"wheel -240 is one step", 2, 0, WM_MOUSEWHEEL, Wheel(-240), 1, "1"},
      {"wheel +1", 2, 0, WM_MOUSEWHEEL, Wheel(1), 3, "3"},
      {"wheel -32768", 2, 0, WM_MOUSEWHEEL, Wheel(-32768), 1, "1"},
      {"wheel +120 with keys held", 2, 0, WM_MOUSEWHEEL, Wheel(120) | 0x0008, 3, "3"},
      {"reversed wheel +120 zooms out", 2, 1, WM_MOUSEWHEEL, Wheel(120), 1, "1"},
      {"reversed wheel -120 zooms in", 2, 1, WM_MOUSEWHEEL, Wheel(-120), 3, "3"},
      {"double click", 2, 0, WM_LBUTTONDBLCLK, 0, 3, "3"},
      {"right click", 2, 0, WM_RBUTTONUP, 0, 1, "1"},
      {"right click from 1 to 2/3", 1, 0, WM_RBUTTONUP, 0, 0, "2/3"},
      {"right click from 0 to 1/2", 0, 0, WM_RBUTTONUP, 0, -1, "1/2"},
      {"double click from -1 to 2/3", -1, 0, WM_LBUTTONDBLCLK, 0, 0, "2/3"},
      {"right click from -7 to 1/24", -7, 0, WM_RBUTTONUP, 0, -8, "1/24"},
      {"double click from 23 to 24", 23, 0, WM_LBUTTONDBLCLK, 0, 24, "24"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fakehost::Host& host = StartWithFrame({{"nnn", r.start}, {"reverse", r.reversed}});
    Send(r.message, r.wParam, Point(10, 10));
    EXPECT_EQ(viewState.zoomLevel, r.level);
    EXPECT_EQ(standin::WindowText(host.window), Title(r.label, false));
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
    int level;
    UINT message;
    WPARAM wParam;
    const char* label;
  };
  const Row rows[] = {
      {"double click at 24", 24, WM_LBUTTONDBLCLK, 0, "24"},
      {"wheel forward at 24", 24, WM_MOUSEWHEEL, Wheel(120), "24"},
      {"right click at -9", -9, WM_RBUTTONUP, 0, "1/32"},
      {"wheel back at -9", -9, WM_MOUSEWHEEL, Wheel(-120), "1/32"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fakehost::Host& host = StartWithFrame({{"nnn", r.level}});
    Send(HostMsgMainMouseDown, 0, Point(100, 50));
    ASSERT_EQ(viewState.tracking, 1);
    standin::ClearCalls();
    Send(r.message, r.wParam);
    EXPECT_EQ(viewState.zoomLevel, r.level);
    EXPECT_EQ(standin::WindowText(host.window), Title(r.label, false));
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
    std::string title;
  };
  // Written out byte for byte: "Tavimo - 2倍  " and so on.
  const Row rows[] = {
      {"2", 2, 0, Title("2")},
      {"2 locked", 2, 1, Title("2", true)},
      {"2 locked and unlocked", 2, 2, Title("2")},
      {"24 locked", 24, 1, Title("24", true)},
      {"1", 1, 0, Title("1")},
      {"0 locked", 0, 1, Title("2/3", true)},
      {"-1", -1, 0, Title("1/2")},
      {"-2", -2, 0, Title("1/3")},
      {"-4", -4, 0, Title("1/6")},
      {"-8", -8, 0, Title("1/24")},
      {"-9 locked", -9, 1, Title("1/32", true)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fakehost::Host& host = fakehost::Start();
    host.stored["nnn"] = r.level;
    fakehost::Init();
    standin::ClearCalls();
    for (int i = 0; i < r.middleClicks; ++i) Send(WM_MBUTTONUP);
    EXPECT_EQ(standin::WindowText(host.window), r.title);
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
  EXPECT_EQ(standin::WindowText(host.window), Title("3", true));
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

TEST(NestedMessages, SetMenuDeliversWmSizeInsideInit) {
  // The host shows the window and hands over a frame before it starts the
  // plug-in, so the nested WM_SIZE repaints a real view.
  fakehost::Host& host = fakehost::Start();
  fakehost::SetFrame(640, 360);
  EXPECT_EQ(Send(HostMsgWindowChange), 1);
  fakehost::Frame();
  std::vector<Seen> seen;
  host.beforeMessage = [&seen](const fakehost::Delivered& d) {
    if (d.depth > 0) {
      seen.push_back({d.message, d.depth, fakehost::Violations(), viewState.dragging, viewState.tracking});
    }
  };
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
  EXPECT_EQ(standin::WindowText(host.window), Title("4", false));
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
    bool ownerElsewhere;  // another window holds the capture before the drag
    std::vector<std::pair<UINT, WPARAM>> before;
    UINT message;
    WPARAM wParam;
    St after;
    bool captured;  // our window holds the capture afterwards
    int nested;     // WM_CAPTURECHANGED delivered to our window inside the call
  };
  // USER tells the window losing the capture, also when it takes it again itself.
  const Row rows[] = {
      {"drag start takes the capture from the main window", true, {}, WM_LBUTTONDOWN, 0, St::Dragging, true, 0},
      {"drag start while already holding it", false, {{WM_LBUTTONDOWN, 0}}, WM_LBUTTONDOWN, 0, St::Dragging,
       true, 1},
      {"drag end releases it", false, {{WM_LBUTTONDOWN, 0}}, WM_LBUTTONUP, 0, St::Idle, false, 1},
      {"deactivation releases it", false, {{WM_LBUTTONDOWN, 0}}, WM_ACTIVATE, WA_INACTIVE, St::Idle, false, 1},
      // HostMsgExit leaves every field as it is; no message follows it.
      {"exit releases it", false, {{WM_LBUTTONDOWN, 0}}, HostMsgExit, 0, St::Dragging, false, 1},
      {"lock during a drag keeps it, release ends it", false, {{WM_LBUTTONDOWN, 0}, {WM_MBUTTONUP, 0}},
       WM_LBUTTONUP, 0, St::Locked, false, 1},
      {"release with no capture held", false, {}, WM_LBUTTONUP, 0, St::Idle, false, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fakehost::Host& host = StartWithFrame();
    HWND owner = r.ownerElsewhere ? fakehost::MakeCaptureOwner() : nullptr;
    for (const auto& [message, wParam] : r.before) Send(message, wParam, Point(40, 40));
    std::vector<Seen> seen;
    host.beforeMessage = [&seen](const fakehost::Delivered& d) {
      if (d.depth > 0) {
        seen.push_back({d.message, d.depth, fakehost::Violations(), viewState.dragging, viewState.tracking});
      }
    };
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
    int centreX, centreY;  // INT_MIN: not checked (a drag) or as before
  };
  const Row rows[] = {
      {"press at x 0x7FFF", St::Idle, HostMsgMainMouseDown, Point(0x7FFF, 10), St::Idle, INT_MIN, INT_MIN},
      {"press at x 0x8000 (-32768)", St::Idle, HostMsgMainMouseDown, Point(0x8000, 10), St::Idle, INT_MIN, INT_MIN},
      {"press at x 0xFFFF (-1)", St::Idle, HostMsgMainMouseDown, Point(0xFFFF, 10), St::Idle, INT_MIN, INT_MIN},
      {"press at y 0xFFFF (-1)", St::Idle, HostMsgMainMouseDown, Point(10, 0xFFFF), St::Idle, INT_MIN, INT_MIN},
      {"press at y 0x7FFF", St::Idle, HostMsgMainMouseDown, Point(10, 0x7FFF), St::Idle, INT_MIN, INT_MIN},
      {"follow to (0x8000, 0x8000)", St::Tracking, HostMsgMainMouseMove, Point(0x8000, 0x8000), St::Tracking,
       -32768, -32768},
      {"follow to (0x7FFF, 0xFFFF)", St::Tracking, HostMsgMainMouseMove, Point(0x7FFF, 0xFFFF), St::Tracking,
       32767, -1},
      {"drag to (0x8000, 0x8000)", St::Dragging, WM_MOUSEMOVE, Point(0x8000, 0x8000), St::Dragging, INT_MIN,
       INT_MIN},
      {"drag to (0x7FFF, 0xFFFF)", St::Dragging, WM_MOUSEMOVE, Point(0x7FFF, 0xFFFF), St::Dragging, INT_MIN,
       INT_MIN},
      {"drag start at (0xFFFF, 0x8000)", St::Idle, WM_LBUTTONDOWN, Point(0xFFFF, 0x8000), St::Dragging, INT_MIN,
       INT_MIN},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    StartWithFrame();
    Enter(r.start);
    const int cx = viewState.centreX, cy = viewState.centreY;
    Send(r.message, 0, r.lParam);
    EXPECT_EQ(StateNow(), r.after);
    if (r.centreX != INT_MIN) {
      EXPECT_EQ(viewState.centreX, r.centreX);
      EXPECT_EQ(viewState.centreY, r.centreY);
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
  WPARAM wParam;
  LPARAM lParam;
};
const AnyMessage kEveryMessage[] = {
    {WM_SIZE, 0, 0},
    {WM_ACTIVATE, WA_INACTIVE, 0},
    {WM_ACTIVATE, WA_ACTIVE, 0},
    {WM_PAINT, 0, 0},
    {WM_COMMAND, 101, 0},
    {WM_COMMAND, 102, 0},
    {WM_COMMAND, 104, 0},
    {WM_LBUTTONDOWN, 0, Point(3, 4)},
    {WM_MOUSEMOVE, 0, Point(30, 40)},
    {WM_LBUTTONUP, 0, 0},
    {WM_LBUTTONDBLCLK, 0, 0},
    {WM_RBUTTONDOWN, 0, 0},
    {WM_RBUTTONUP, 0, 0},
    {WM_MBUTTONDOWN, 0, 0},
    {WM_MBUTTONUP, 0, 0},
    {WM_MBUTTONUP, 0, 0},
    {WM_MOUSEWHEEL, static_cast<WPARAM>(120) << 16, 0},
    {WM_CAPTURECHANGED, 0, 0},
    {HostMsgFileOpen, 0, 0},
    {HostMsgWindowChange, 0, 0},
    {HostMsgEditChange, 0, 0},
    {HostMsgCommand, 105, 0},
    {HostMsgMainMouseDown, 0, Point(1, 1)},
    {HostMsgMainMouseMove, 0, Point(2, 2)},
    {HostMsgMainMouseUp, 0, 0},
    {HostMsgMainMoveSize, 0, 0},
    {HostMsgMainDoubleClick, 0, 0},
    {HostMsgFileClose, 0, 0},
    {0x7FFF, 1, 1},
    {0xFFFFFFFFu, ~static_cast<WPARAM>(0), -1},
};

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
  EXPECT_EQ(standin::WindowText(host.window), Title("2", false));
  // Without IsFilterWindowVisible the window counts as hidden: no snapshot.
  EXPECT_EQ(Send(HostMsgWindowChange), 0);
  EXPECT_EQ(viewState.snapshotDc, nullptr);
  for (const AnyMessage& m : kEveryMessage) {
    SCOPED_TRACE(m.message);
    EXPECT_EQ(Send(m.message, m.wParam, m.lParam), 0);
    EXPECT_EQ(fakehost::Frame(), 1);
    EXPECT_EQ(fakehost::Violations(), "");
  }
  EXPECT_EQ(fakehost::Exit(), 0);
  EXPECT_EQ(host.settingsLog.size(), 0u);
}

// PaintView calls IsEditing through the table without looking at the slot,
// so a host with an empty IsEditing slot crashes the first repaint. Enable
// once PaintView asks through HostIsEditing like the rest of the plug-in.
TEST(BadInput, HostWithEmptyServiceSlots) {
  fakehost::Host& host = fakehost::Start();
  host.services = HostServices{};
  fakehost::SetFrame(100, 80);
  fakehost::Init();
  SendEverything("every service slot empty", false);
  fakehost::Exit();
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(BadInput, EndlessDragsWithoutSnapshotSaturate) {
  fakehost::Start();
  fakehost::Init();
  // Each press at the far left and move to the far right adds 65535.
  struct Row {
    const char* name;
    int from, to;
    int limit;
  };
  const Row rows[] = {{"right and down", 0x8000, 0x7FFF, 1 << 30}, {"left and up", 0x7FFF, 0x8000, -(1 << 30)}};
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
  EXPECT_EQ(Ids(CheckedIds(host.window)), Ids({102, 103}));
  EXPECT_EQ(standin::WindowText(host.window), Title("3", false));
  EXPECT_EQ(fakehost::Violations(), "");
}

}  // namespace
