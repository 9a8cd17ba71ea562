// What the tests of the window callback share (settings_test.cpp,
// menu_bar_test.cpp, interaction_test.cpp, filter_wnd_proc_test.cpp): runs
// started through the fake host, counts in the stand-in's call log, the menu's
// check marks and the pointer's state.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "state/view_state.h"
#include "tests/fake_host.h"
#include "tests/view_model.h"
#include "window/window_internal.h"

namespace windowtest {

using viewmodel::Title;

using fakehost::Point;
using fakehost::Send;
using fakehost::Wheel;

inline size_t Count(const char* fn) { return standin::CallsTo(fn).size(); }
// PaintView takes the window DC exactly once per repaint.
inline size_t Paints() { return Count("GetDC"); }

inline std::string Log() {
  std::string out;
  for (const standin::Call& c : standin::Calls()) out += "  " + standin::ToString(c) + "\n";
  return out;
}

// A run with the given settings stored, a 640 by 360 video open, the window
// shown and one frame copied and painted. The call log starts empty.
inline fakehost::Host& StartWithFrame(const std::map<std::string, int>& stored = {}) {
  fakehost::Host& host = fakehost::Start();
  host.stored = stored;
  fakehost::Init();
  fakehost::SetFrame(640, 360);
  Send(HostMsgFileOpen);
  fakehost::Frame();
  standin::ClearCalls();
  return host;
}

inline HMENU Popup(HWND window) {
  HMENU bar = standin::WindowMenu(window);
  if (bar == nullptr) return nullptr;
  std::vector<standin::MenuItem> items = standin::MenuItems(bar);
  return items.empty() ? nullptr : items[0].subMenu;
}

// Identifiers of the popup items that carry a check mark, in menu order.
inline std::vector<UINT> CheckedIds(HWND window) {
  std::vector<UINT> ids;
  HMENU popup = Popup(window);
  if (popup == nullptr) return ids;
  for (const standin::MenuItem& item : standin::MenuItems(popup)) {
    if ((item.state & MFS_CHECKED) != 0) ids.push_back(item.id);
  }
  return ids;
}

// Ruler on, no grid: the checks of a first run.
inline const std::vector<UINT> kFirstRunChecks = {CmdRuler, CmdGridNone};

inline std::string Ids(const std::vector<UINT>& ids) {
  std::string out = "{";
  for (UINT id : ids) out += (out.size() > 1 ? "," : "") + std::to_string(id);
  return out + "}";
}

// The pointer's state: following the main window, dragging in ours, locked.
enum class St { Idle, Tracking, Dragging, Locked };
inline const char* Name(St s) {
  switch (s) {
    case St::Idle: return "Idle";
    case St::Tracking: return "Tracking";
    case St::Dragging: return "Dragging";
    case St::Locked: return "Locked";
  }
  return "?";
}

inline St StateNow() {
  const ViewState& v = viewState;
  if (v.coordLocked == 1) return St::Locked;
  if (v.tracking == 1) return St::Tracking;
  if (v.dragging == 1) return St::Dragging;
  return St::Idle;
}

// Brings a run from Idle into state: a main-window press at (100, 50), a drag
// started at window (50, 60), or a middle click.
inline void Enter(St state) {
  switch (state) {
    case St::Idle: break;
    case St::Tracking: Send(HostMsgMainMouseDown, 0, Point(100, 50)); break;
    case St::Dragging: Send(WM_LBUTTONDOWN, 0, Point(50, 60)); break;
    case St::Locked: Send(WM_MBUTTONUP); break;
  }
}

}  // namespace windowtest
