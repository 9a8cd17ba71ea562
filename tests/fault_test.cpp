// Every Win32 call the plug-in makes may fail, as USER and GDI do when a long
// session has used up their handles. One session takes the plug-in through all
// of its paths; it is then run again once for each function and each of its
// calls (a seeded sample where that makes too many runs) with that one call
// failing. A model follows the session: the view it drives (zoom, centre,
// drag, lock, ruler, grid, the frame shown) and what the window shows (menu
// bar, client rows, title, check marks, capture, snapshot). After every step
// the state and the GDI books must be sound and the window as the model says,
// and every frame must paint the model's picture of its view. A failure may
// change only what its row allows: the picture of the step it fails in, and
// from then on the facts its row names.
#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/view_state.h"
#include "tests/fake_host.h"
#include "tests/view_model.h"
#include "view/geometry.h"
#include "window/window_internal.h"

namespace {

constexpr int kClient = 96, kFrameWidth = 40, kFrameHeight = 30;
using fakehost::kFrame;
using fakehost::Point;
using fakehost::Step;

// clang-format off
const Step kSession[] = {
    {.name = "start with the menu bar", .message = HostMsgInit},
    {.name = "start again in the same window", .message = HostMsgInit},
    {.name = "open a video", .message = HostMsgFileOpen},
    {.name = "frame", .message = kFrame},
    {.name = "frame again", .message = kFrame},
    {.name = "main-window press", .message = HostMsgMainMouseDown, .lParam = Point(20, 15)},
    {.name = "main-window move", .message = HostMsgMainMouseMove, .lParam = Point(24, 12)},
    {.name = "main-window release", .message = HostMsgMainMouseUp},
    {.name = "drag press", .message = WM_LBUTTONDOWN, .lParam = Point(40, 40)},
    {.name = "drag move", .message = WM_MOUSEMOVE, .lParam = Point(46, 36)},
    {.name = "drag release", .message = WM_LBUTTONUP, .lParam = Point(46, 36)},
    {.name = "drag press again", .message = WM_LBUTTONDOWN, .lParam = Point(40, 40)},
    {.name = "deactivated during the drag", .message = WM_ACTIVATE, .wParam = WA_INACTIVE},
    {.name = "wheel forward", .message = WM_MOUSEWHEEL, .wParam = fakehost::Wheel(120)},
    {.name = "double click", .message = WM_LBUTTONDBLCLK, .lParam = Point(30, 30)},
    {.name = "right click", .message = WM_RBUTTONUP, .lParam = Point(30, 30)},
    {.name = "lock", .message = WM_MBUTTONUP},
    {.name = "main-window press while locked", .message = HostMsgMainMouseDown, .lParam = Point(5, 5)},
    {.name = "unlock", .message = WM_MBUTTONUP},
    {.name = "wheel direction", .message = WM_COMMAND, .wParam = CmdWheelReverse},
    {.name = "ruler off", .message = WM_COMMAND, .wParam = CmdRuler},
    {.name = "ruler on", .message = HostMsgCommand, .wParam = CmdRuler},
    {.name = "white grid", .message = WM_COMMAND, .wParam = CmdGridWhite},
    {.name = "no grid", .message = WM_COMMAND, .wParam = CmdGridNone},
    {.name = "black grid", .message = WM_COMMAND, .wParam = CmdGridBlack},
    {.name = "paint request", .message = WM_PAINT},
    {.name = "hide", .message = HostMsgWindowChange, .visible = 0},
    {.name = "frame while hidden", .message = kFrame, .visible = 0},
    {.name = "show", .message = HostMsgWindowChange},
    {.name = "frame after showing", .message = kFrame},
    {.name = "close the video", .message = HostMsgFileClose, .editing = 0},
    {.name = "frame with no video", .message = kFrame, .editing = 0},
    {.name = "reopen the video", .message = HostMsgFileOpen},
    {.name = "frame of the reopened video", .message = kFrame},
    {.name = "exit", .message = HostMsgExit},
    {.name = "shown after the exit", .message = HostMsgWindowChange},
    {.name = "frame after the exit", .message = kFrame},
    {.name = "exit again", .message = HostMsgExit},
};
// clang-format on

// What the window shows, compared step by step with the model.
struct Facts {
  bool bar = false, capture = false;  // a menu bar; the mouse captured by the window
  int clientRows = 0, menus = 0;      // menus alive
  int bitmaps = 0, refused = 0;       // bitmaps alive (the snapshot's or none); objects refused releases keep alive
  std::string marks, title;           // the popup items' check marks in menu order, '1' for checked; the title
  bool operator==(const Facts&) const = default;
};

std::string Describe(const Facts& f) {
  auto n = [](int v) { return std::to_string(v); };
  return "bar " + n(f.bar) + ", capture " + n(f.capture) + ", client rows " + n(f.clientRows) + ", menus " +
         n(f.menus) + ", bitmaps " + n(f.bitmaps) + ", refused " + n(f.refused) + ", marks '" + f.marks + "', title '" +
         f.title + "'";
}

enum Picture { kWhole, kPartial, kNotDrawn };

// A function and what its failure may change: the picture of the step it
// fails in; the facts that may differ from the model from then on (which the
// model then takes as they are); that step's doings that may be lost.
struct Row {
  const char* fn;
  const char* with = nullptr;  // a failure that must come first for fn to be called
  Picture picture = kWhole;
  bool bar = false;  // no bar: the model drops its rows, menus and marks, and the commands change nothing
  bool menus = false, marks = false, title = false, capture = false, snapshot = false;
  bool lostPaint = false;    // its repaint draws nothing: the view neither follows a press nor folds a drag
  bool lostCommand = false;  // its menu command changes nothing
  bool penKept = false;      // one pen not given back until the window's DC next goes back
  int refused = 0;           // objects a refused release keeps alive
};

// clang-format off
const Row kRows[] = {
    {.fn = "GetDC", .picture = kNotDrawn, .snapshot = true, .lostPaint = true},  // or no snapshot until shown
    {.fn = "ReleaseDC", .refused = 1},
    {.fn = "GetClientRect", .picture = kPartial},
    {.fn = "FillRect", .picture = kPartial},
    {.fn = "SetWindowTextA", .title = true},  // stale until the zoom or the lock next changes
    {.fn = "CreateMenu", .bar = true},
    {.fn = "DestroyMenu", .with = "SetMenu", .bar = true, .refused = 2},
    {.fn = "InsertMenuItemA", .bar = true, .marks = true},  // the bar's item, or one popup item
    {.fn = "SetMenu", .bar = true},
    {.fn = "GetMenu", .menus = true, .lostCommand = true},  // or, at a second start, the first bar orphaned
    {.fn = "SetMenuItemInfoA", .marks = true},
    {.fn = "SetCapture", .capture = true},
    {.fn = "ReleaseCapture", .capture = true},  // kept until it is next released
    {.fn = "LoadCursorA"},
    {.fn = "SetCursor"},
    {.fn = "CreateCompatibleDC", .snapshot = true},
    {.fn = "CreateCompatibleBitmap", .snapshot = true},
    {.fn = "SelectObject", .snapshot = true, .penKept = true},  // a grid pen not selected: black, as the grid is
    {.fn = "DeleteDC", .refused = 2},
    {.fn = "DeleteObject", .refused = 1},
    {.fn = "GetStockObject", .picture = kPartial},
    {.fn = "SetDIBitsToDevice", .picture = kPartial},  // the frame before
    {.fn = "SetStretchBltMode"},
    {.fn = "StretchBlt", .picture = kPartial},
    {.fn = "MoveToEx", .picture = kPartial},
    {.fn = "LineTo", .picture = kPartial},
    {.fn = "CreateRectRgn", .picture = kPartial},
    {.fn = "SelectClipRgn", .picture = kPartial},
};
// clang-format on

// The session as its user sees it, from the plug-in record's initial view.
struct Model {
  int level = ViewState{}.zoomLevel, ruler = ViewState{}.rulerOn, grid = ViewState{}.gridMode;
  bool reversed = ViewState{}.wheelReversed != 0, locked = false, dragging = false, tracking = false;
  FramePoint centre = {ViewState{}.centreX, ViewState{}.centreY}, pending = {0, 0}, frame = {0, 0}, last = {0, 0};
  Facts facts;
  bool marksAsSeen = false;  // a failure left marks no command has set: they are taken as they are
};

std::string Marks(const Model& m) {
  std::string marks;
  for (bool on : {m.reversed, m.ruler == 1, m.grid == 0, m.grid == 1, m.grid == 2}) marks += on ? '1' : '0';
  return marks;
}

// A menu bar made or lost: a bar and its popup, their rows taken from the client.
void SetBar(Model& m, bool made) {
  Facts& f = m.facts;
  if (f.bar == made) return;
  const int sign = made ? 1 : -1;
  f.bar = made;
  f.clientRows -= sign * standin::kMenuBarHeight;
  f.menus += sign * 2;
  f.marks = made ? Marks(m) : "";
}

Facts Observe(HWND window) {
  const standin::Books b = standin::GetBooks();
  const HMENU bar = standin::WindowMenu(window);
  std::string marks;
  for (const standin::MenuItem& popup : standin::MenuItems(bar))
    for (const standin::MenuItem& item : standin::MenuItems(popup.subMenu))
      marks += item.state == MFS_CHECKED ? '1' : '0';
  return {.bar = bar != nullptr,
          .capture = standin::CaptureOwner() == window,
          .clientRows = standin::ClientHeight(window),
          .menus = b.menusAlive,
          .bitmaps = b.bitmapsAlive,
          .refused = b.refused,
          .marks = marks,
          .title = standin::WindowText(window)};
}

// After a failure the model takes the facts its row names as the window shows them.
void Take(Model& m, const Facts& seen, const Row& r) {
  Facts& f = m.facts;
  if (r.bar) SetBar(m, seen.bar);
  if (r.menus) f.menus = seen.menus;
  if (r.marks && seen.marks != f.marks) m.marksAsSeen = true;
  if (r.title) f.title = seen.title;
  if (r.capture) f.capture = seen.capture;
  if (r.snapshot) f.bitmaps = seen.bitmaps;
  if (r.refused > 0) f.refused = seen.refused;
}

// One step of the session in the model; `failed` is the row of a failure in
// this step (its lost doings), else an empty row. A repaint folds the drag
// into the centre at the level it is made at (C++ division, as the drag's
// window pixels are whole frame pixels at that level).
void Drive(Model& m, const Step& s, const Row& failed) {
  Facts& f = m.facts;
  const bool shown = f.bitmaps == 1 && s.editing != 0;
  const bool paints = shown && !failed.lostPaint;
  const FramePoint at = {LowSigned(s.lParam), HighSigned(s.lParam)};
  auto stop = [&m] { m.dragging = m.tracking = false; };
  auto paint = [&] {
    if (!paints) return;
    m.centre = {m.centre.x - m.pending.x / m.level, m.centre.y - m.pending.y / m.level};
    m.pending = {m.pending.x % m.level, m.pending.y % m.level};
  };
  auto zoom = [&](int by) {
    m.level += by;
    f.title = viewmodel::Title(m.level, m.locked);
    paint();
    stop();
  };
  switch (s.message) {
    case HostMsgInit:
      SetBar(m, true);
      f.marks = Marks(m);
      f.title = viewmodel::Title(m.level, m.locked);
      break;
    case HostMsgExit:
      f.bitmaps = 0;
      f.capture = false;
      break;
    case HostMsgFileOpen:
    case HostMsgWindowChange: f.bitmaps = s.visible != 0 ? 1 : (s.message == HostMsgFileOpen ? f.bitmaps : 0); break;
    case HostMsgFileClose: f.bitmaps = 0; break;
    case WM_PAINT: paint(); break;
    case WM_ACTIVATE:
      m.dragging = false;
      f.capture = false;
      break;
    case HostMsgMainMouseDown:
      if (m.locked) return stop();
      m.pending = {0, 0};
      if (at.x < 0 || at.x >= m.frame.x || at.y < 0 || at.y >= m.frame.y) return stop();
      if (paints) m.centre = at;
      m.tracking = true;
      m.dragging = false;
      break;
    case HostMsgMainMouseMove:
      if (!m.tracking || m.locked || m.dragging) return stop();
      m.pending = {0, 0};
      if (paints) m.centre = at;
      break;
    case HostMsgMainMouseUp: stop(); break;
    case WM_LBUTTONDOWN:
      if (m.locked) break;
      m.dragging = true;
      m.tracking = false;
      m.last = at;
      f.capture = true;
      break;
    case WM_MOUSEMOVE:
      if (m.locked || !m.dragging) return stop();
      m.pending = {m.pending.x + at.x - m.last.x, m.pending.y + at.y - m.last.y};
      m.last = at;
      paint();
      break;
    case WM_LBUTTONUP:
      stop();
      f.capture = false;
      break;
    case WM_LBUTTONDBLCLK: zoom(1); break;
    case WM_RBUTTONUP: zoom(-1); break;
    case WM_MOUSEWHEEL: zoom((static_cast<short>(s.wParam >> 16) > 0) != m.reversed ? 1 : -1); break;
    case WM_MBUTTONUP:
      m.locked = !m.locked;
      if (m.locked) stop();
      f.title = viewmodel::Title(m.level, m.locked);
      break;
    case WM_COMMAND:
    case HostMsgCommand: {
      const bool bar = f.bar && !failed.lostCommand;
      const UINT id = LOWORD(s.wParam);
      if (bar && id == CmdWheelReverse) m.reversed = !m.reversed;
      if (bar && id == CmdRuler) m.ruler = 1 - m.ruler;
      if (bar && id >= CmdGridNone) m.grid = static_cast<int>(id - CmdGridNone);
      if (bar) f.marks = Marks(m);
      if (id != CmdWheelReverse) paint();
      break;
    }
    case kFrame:
      if (shown) m.frame = {kFrameWidth, kFrameHeight};
      paint();
      break;
  }
}

// The model's picture of its view at a magnifying level: frame column f has
// its left edge at half the client width + the pending drag + (f - centre) x
// level, and the columns that reach into the client are shown (rows alike).
viewmodel::Picture Expected(const Model& m, HWND window) {
  struct Shown {
    int dest, src, count;
  };
  auto shown = [&m](int half, int pending, int centre, int frame, int size) {
    auto edge = [&](int f) { return half + pending + (f - centre) * m.level; };
    Shown s = {0, 0, 0};
    while (s.src < frame && edge(s.src) + m.level <= 0) ++s.src;
    while (s.src + s.count < frame && edge(s.src + s.count) < size) ++s.count;
    s.dest = edge(s.src);
    return s;
  };
  const int w = standin::ClientWidth(window), h = standin::ClientHeight(window);
  const Shown x = shown(w / 2, m.pending.x, m.centre.x, m.frame.x, w);
  const Shown y = shown(h / 2, m.pending.y, m.centre.y, m.frame.y, h);
  const bool lined = m.level > 1;
  return {.zoom = m.level,
          .destX = x.dest,
          .destY = y.dest,
          .srcX = x.src,
          .srcY = y.src,
          .srcWidth = x.count,
          .srcHeight = y.count,
          .ruler = lined && m.ruler != 0,
          .gridMode = lined ? m.grid : 0};
}

// About 2,000 runs in all.
constexpr int64_t kSampled = 800;
constexpr unsigned kSeed = 18;

// A run with row's `with` failing, in a small window with a small frame that
// keep each of the many runs cheap.
fakehost::Host& StartSession(const Row& r) {
  fakehost::Host& host = fakehost::Start(kClient, kClient);
  if (r.with != nullptr) standin::FailCall(r.with);
  standin::SetCallLogging(false);
  host.maxWidth = 64;
  host.maxHeight = 48;
  fakehost::SetFrame(kFrameWidth, kFrameHeight);
  return host;
}

// The state's invariants and the books, with the pointer shown; the window
// DC's own pen must be back, unless a failed SelectObject could not give it
// back and no DC went back since.
std::string Unsound(HWND window, HGDIOBJ ownPen, bool penMayStay) {
  std::string out = fakehost::Violations();
  if (standin::CurrentCursor() == nullptr) out += "; pointer hidden";
  HGDIOBJ pen = standin::PenAtLastRelease(window);
  if (!penMayStay && pen != nullptr && pen != ownPen) out += "; pen not selected back";
  return out;
}

// What the frame step painted, against what it may paint: the model's
// picture of its view while it has a snapshot and a video, else nothing.
std::string WrongPicture(const Model& m, const Step& step, HWND window, Picture allowed) {
  if (allowed == kPartial) return "";
  if (allowed == kNotDrawn || m.facts.bitmaps == 0 || step.editing == 0) {
    const std::vector<uint32_t>& got = standin::ClientPixels(window);
    const auto painted = std::count_if(got.begin(), got.end(), [](uint32_t p) { return p != kPoison; });
    return painted == 0 ? "" : std::to_string(painted) + " pixels painted, none expected";
  }
  if (m.level < 1) return "a reduced view, which the model does not draw";
  return viewmodel::CompareClient(window, Expected(m, window));
}

int Failures() { return standin::GetBooks().failedCalls; }

// The session with call `call` (1-based; 0: none) of row's function failing
// and then `broken` run, as a faulty plug-in would act; "" when every check
// holds, else the first that does not.
std::string Session(const Row& r, int64_t call, void (*broken)() = nullptr) {
  fakehost::Host& host = StartSession(r);
  const HGDIOBJ ownPen = GetStockObject(BLACK_PEN);  // before the failure counts calls
  Model model = {.facts = Observe(host.window)};
  if (call > 0) standin::FailCall(r.fn, static_cast<int>(call));
  int64_t releasesAtFailure = -1;  // window DCs given back when the failure happened
  for (const Step& step : kSession) {
    const int failedBefore = Failures();
    if (step.message == kFrame) standin::FillClient(host.window, kPoison);
    fakehost::Play(step);
    const bool failedHere = Failures() != failedBefore;
    if (failedHere) releasesAtFailure = standin::CallCount("ReleaseDC");
    if (failedHere && broken != nullptr) broken();
    Drive(model, step, failedHere ? r : Row{});
    const Facts seen = Observe(host.window);
    if (failedHere) Take(model, seen, r);
    if (model.marksAsSeen) model.facts.marks = seen.marks;
    std::string wrong = Unsound(host.window, ownPen, r.penKept && standin::CallCount("ReleaseDC") == releasesAtFailure);
    if (wrong.empty() && seen != model.facts) wrong = Describe(seen) + "; the model's " + Describe(model.facts);
    // Until the failure the run is the session without failures, whose pictures are checked once.
    if (wrong.empty() && step.message == kFrame && (call == 0 || Failures() > 0)) {
      wrong = WrongPicture(model, step, host.window, failedHere ? r.picture : kWhole);
    }
    if (!wrong.empty()) return std::string("after '") + step.name + "': " + wrong;
  }
  if (Failures() != (call > 0) + (r.with != nullptr)) return "the call did not fail";
  if (model.facts.refused != r.refused) return "refused releases keep " + std::to_string(model.facts.refused);
  return "";
}

// Calls of a row's function in the session (its `with` failing).
int64_t CallsOf(const Row& row) {
  StartSession(row);
  for (const Step& step : kSession) fakehost::Play(step);
  return standin::CallCount(row.fn);
}

// Calls to fail, 1-based: all of a function's calls, or for a function with
// more than kSampled (the drawing calls) a seeded sample of kSampled keeping
// its first and last.
std::vector<int64_t> CallsToFail(int64_t count, std::mt19937& random) {
  std::vector<int64_t> calls(static_cast<size_t>(count));
  std::iota(calls.begin(), calls.end(), 1);
  if (count <= kSampled) return calls;
  std::shuffle(calls.begin() + 1, calls.end() - 1, random);
  calls.resize(kSampled - 1);
  calls.push_back(count);
  std::sort(calls.begin(), calls.end());
  return calls;
}

// The harness: the session without failures holds, and a view one frame pixel
// off after a failure is seen, as if a failed LoadCursorA at the drag's press
// moved the centre.
TEST(FailedCalls, TheModelHoldsAndSeesAShiftedView) {
  EXPECT_EQ(Session({}, 0), "");
  const std::string shifted = Session({.fn = "LoadCursorA"}, 1, [] { ++viewState.centreX; });
  EXPECT_NE(shifted.find("pixels differ"), std::string::npos) << shifted;
}

TEST(FailedCalls, EveryCallSiteFailsSoundly) {
  std::map<std::string, int64_t> counts;
  for (const Row& row : kRows) {
    counts[row.fn] = CallsOf(row);
    EXPECT_GT(counts[row.fn], 0) << row.fn << ": the session never calls it";
  }
  for (const std::string& fn : standin::Functions())
    EXPECT_EQ(counts.count(fn), 1u) << fn << ": a Win32 function of the stand-in with no row";

  std::mt19937 random(kSeed);
  int runs = 0;
  for (const Row& row : kRows) {
    for (int64_t call : CallsToFail(counts.at(row.fn), random)) {
      ++runs;
      const std::string wrong = Session(row, call);
      EXPECT_EQ(wrong, "") << row.fn << " call " << call << " of " << counts.at(row.fn) << " fails: " << wrong;
    }
  }
  std::string figures;
  int64_t calls = 0;
  for (const auto& [fn, n] : counts) {
    figures += " " + fn + " " + std::to_string(n);
    calls += n;
  }
  std::printf("failed calls: %zu functions, %lld calls, %d runs;%s\n", std::size(kRows), static_cast<long long>(calls),
              runs, figures.c_str());
}

}  // namespace
