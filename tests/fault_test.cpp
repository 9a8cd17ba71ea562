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
#include <array>
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
#include "window/window_internal.h"

namespace {

constexpr UINT kFrame = 0;  // a frame through FilterProc rather than a message
constexpr int kClient = 96, kFrameWidth = 40, kFrameHeight = 30;

struct Step {
  const char* name;
  UINT message;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  int visible = 1;  // what the host answers while the step runs
  int editing = 1;
};

// clang-format off
const Step kSession[] = {
    {.name = "start with the menu bar", .message = HostMsgInit},
    {.name = "start again in the same window", .message = HostMsgInit},
    {.name = "open a video", .message = HostMsgFileOpen},
    {.name = "frame", .message = kFrame},
    {.name = "frame again", .message = kFrame},
    {.name = "main-window press", .message = HostMsgMainMouseDown, .lParam = MAKELPARAM(20, 15)},
    {.name = "main-window move", .message = HostMsgMainMouseMove, .lParam = MAKELPARAM(24, 12)},
    {.name = "main-window release", .message = HostMsgMainMouseUp},
    {.name = "drag press", .message = WM_LBUTTONDOWN, .lParam = MAKELPARAM(40, 40)},
    {.name = "drag move", .message = WM_MOUSEMOVE, .lParam = MAKELPARAM(46, 36)},
    {.name = "drag release", .message = WM_LBUTTONUP, .lParam = MAKELPARAM(46, 36)},
    {.name = "drag press again", .message = WM_LBUTTONDOWN, .lParam = MAKELPARAM(40, 40)},
    {.name = "deactivated during the drag", .message = WM_ACTIVATE, .wParam = WA_INACTIVE},
    {.name = "wheel forward", .message = WM_MOUSEWHEEL, .wParam = fakehost::Wheel(120)},
    {.name = "double click", .message = WM_LBUTTONDBLCLK, .lParam = MAKELPARAM(30, 30)},
    {.name = "right click", .message = WM_RBUTTONUP, .lParam = MAKELPARAM(30, 30)},
    {.name = "lock", .message = WM_MBUTTONUP},
    {.name = "main-window press while locked", .message = HostMsgMainMouseDown, .lParam = MAKELPARAM(5, 5)},
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

// What the window shows, as text, compared step by step with the model.
enum Fact { kBar, kClientRows, kMenus, kMarks, kTitle, kCapture, kSnapshot, kRefused, kFacts };
const char* const kFactNames[kFacts] = {"menu bar", "client rows", "menus alive", "check marks",
                                        "title",    "capture",     "snapshot",    "objects refused"};
using Facts = std::array<std::string, kFacts>;
constexpr unsigned Bit(Fact f) { return 1u << f; }

// What a failure may change besides the facts (Bit(fact)) its row names.
enum Effect : unsigned {
  kLostPaint = 1u << kFacts,  // the step's repaint draws nothing: the view neither follows a press nor folds a drag
  kLostCommand = kLostPaint << 1,  // the step's menu command changes nothing
  kPenKept = kLostPaint << 2,      // one pen not given back until the window's DC next goes back
};
// No menu bar (the model then drops its rows, menus and marks): the commands change nothing.
constexpr unsigned kNoMenuBar = Bit(kBar);
// The picture of the step a failure happens in.
enum Picture { kWhole, kPartial, kNotDrawn };

struct Row {
  const char* fn;
  const char* with = nullptr;  // a failure that must come first for fn to be called
  Picture picture = kWhole;
  unsigned lasting = 0;  // Effect and Bit(fact): what may differ from the model from the failing step on
  int refused = 0;       // objects a refused release keeps alive (Books::refused)
};

// clang-format off
const Row kRows[] = {
    {.fn = "GetDC", .picture = kNotDrawn, .lasting = kLostPaint | Bit(kSnapshot)},  // or no snapshot until shown
    {.fn = "ReleaseDC", .refused = 1},
    {.fn = "GetClientRect", .picture = kPartial},
    {.fn = "FillRect", .picture = kPartial},
    {.fn = "SetWindowTextA", .lasting = Bit(kTitle)},  // stale until the zoom or the lock next changes
    {.fn = "CreateMenu", .lasting = kNoMenuBar},
    {.fn = "DestroyMenu", .with = "SetMenu", .lasting = kNoMenuBar, .refused = 2},
    {.fn = "InsertMenuItemA", .lasting = kNoMenuBar | Bit(kMarks)},  // the bar's item, or one popup item
    {.fn = "SetMenu", .lasting = kNoMenuBar},
    {.fn = "GetMenu", .lasting = kLostCommand | Bit(kMenus)},  // or, at a second start, the first bar orphaned
    {.fn = "SetMenuItemInfoA", .lasting = Bit(kMarks)},
    {.fn = "SetCapture", .lasting = Bit(kCapture)},
    {.fn = "ReleaseCapture", .lasting = Bit(kCapture)},  // kept until it is next released
    {.fn = "LoadCursorA"},
    {.fn = "SetCursor"},
    {.fn = "CreateCompatibleDC", .lasting = Bit(kSnapshot)},
    {.fn = "CreateCompatibleBitmap", .lasting = Bit(kSnapshot)},
    {.fn = "SelectObject", .lasting = Bit(kSnapshot) | kPenKept},  // a grid pen not selected: black, as the grid is
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

struct Point {
  int x, y;
};

// The session as its user sees it, from the plug-in record's initial view.
struct Model {
  int level = ViewState{}.zoomLevel, ruler = ViewState{}.rulerOn, grid = ViewState{}.gridMode;
  bool reversed = ViewState{}.wheelReversed != 0, locked = false;
  Point centre = {ViewState{}.centreX, ViewState{}.centreY}, pending = {0, 0};
  Point frame = {0, 0};
  bool dragging = false, tracking = false;
  Point last = {0, 0};
  Facts facts;
};

std::string Marks(const Model& m) {
  std::string marks;
  for (bool on : {m.reversed, m.ruler == 1, m.grid == 0, m.grid == 1, m.grid == 2}) marks += on ? '1' : '0';
  return marks;
}

// A menu bar made or lost: a bar and its popup, their rows taken from the client.
void SetBar(Model& m, bool made) {
  Facts& f = m.facts;
  if (f[kBar] == (made ? "1" : "0")) return;
  const int sign = made ? 1 : -1;
  f[kBar] = made ? "1" : "0";
  f[kClientRows] = std::to_string(std::stoi(f[kClientRows]) - sign * standin::kMenuBarHeight);
  f[kMenus] = std::to_string(std::stoi(f[kMenus]) + sign * 2);
  f[kMarks] = made ? Marks(m) : "";
}

Facts Observe(HWND window) {
  const standin::Books b = standin::GetBooks();
  const HMENU bar = standin::WindowMenu(window);
  std::string marks;
  for (const standin::MenuItem& popup : standin::MenuItems(bar)) {
    for (const standin::MenuItem& item : standin::MenuItems(popup.subMenu))
      marks += item.state == MFS_CHECKED ? '1' : '0';
  }
  return {bar != nullptr ? "1" : "0",     std::to_string(standin::ClientHeight(window)),
          std::to_string(b.menusAlive),   marks,
          standin::WindowText(window),    standin::CaptureOwner() == window ? "1" : "0",
          std::to_string(b.bitmapsAlive), std::to_string(b.refused)};
}

// One step of the session in the model; `lost` holds the failing step's
// kLostPaint and kLostCommand. A repaint folds the drag into the centre at
// the level it is made at (C++ division, as the drag's window pixels are
// whole frame pixels at that level).
void Drive(Model& m, const Step& s, unsigned lost) {
  Facts& f = m.facts;
  const bool shown = f[kSnapshot] == "1" && s.editing != 0;
  const bool paints = shown && (lost & kLostPaint) == 0;
  const Point at = {static_cast<short>(LOWORD(s.lParam)), static_cast<short>(LOWORD(s.lParam >> 16))};
  auto stop = [&m] { m.dragging = m.tracking = false; };
  auto paint = [&] {
    if (!paints) return;
    m.centre = {m.centre.x - m.pending.x / m.level, m.centre.y - m.pending.y / m.level};
    m.pending = {m.pending.x % m.level, m.pending.y % m.level};
  };
  auto zoom = [&](int by) {
    m.level += by;
    f[kTitle] = viewmodel::Title(m.level, m.locked);
    paint();
    stop();
  };
  auto anchor = [&] {
    if (paints) m.centre = at;
  };
  switch (s.message) {
    case HostMsgInit:
      SetBar(m, true);
      f[kMarks] = Marks(m);
      f[kTitle] = viewmodel::Title(m.level, m.locked);
      break;
    case HostMsgExit: f[kSnapshot] = f[kCapture] = "0"; break;
    case HostMsgFileOpen:
    case HostMsgWindowChange:
      f[kSnapshot] = s.visible != 0 ? "1" : (s.message == HostMsgFileOpen ? f[kSnapshot] : "0");
      break;
    case HostMsgFileClose: f[kSnapshot] = "0"; break;
    case WM_PAINT: paint(); break;
    case WM_ACTIVATE:
      m.dragging = false;
      f[kCapture] = "0";
      break;
    case HostMsgMainMouseDown:
      if (m.locked) return stop();
      m.pending = {0, 0};
      if (at.x < 0 || at.x >= m.frame.x || at.y < 0 || at.y >= m.frame.y) return stop();
      anchor();
      m.tracking = true;
      m.dragging = false;
      break;
    case HostMsgMainMouseMove:
      if (!m.tracking || m.locked || m.dragging) return stop();
      m.pending = {0, 0};
      anchor();
      break;
    case HostMsgMainMouseUp: stop(); break;
    case WM_LBUTTONDOWN:
      if (m.locked) break;
      m.dragging = true;
      m.tracking = false;
      m.last = at;
      f[kCapture] = "1";
      break;
    case WM_MOUSEMOVE:
      if (m.locked || !m.dragging) return stop();
      m.pending = {m.pending.x + at.x - m.last.x, m.pending.y + at.y - m.last.y};
      m.last = at;
      paint();
      break;
    case WM_LBUTTONUP:
      stop();
      f[kCapture] = "0";
      break;
    case WM_LBUTTONDBLCLK: zoom(1); break;
    case WM_RBUTTONUP: zoom(-1); break;
    case WM_MOUSEWHEEL: zoom((static_cast<short>(s.wParam >> 16) > 0) != m.reversed ? 1 : -1); break;
    case WM_MBUTTONUP:
      m.locked = !m.locked;
      if (m.locked) stop();
      f[kTitle] = viewmodel::Title(m.level, m.locked);
      break;
    case WM_COMMAND:
    case HostMsgCommand: {
      const bool bar = f[kBar] == "1" && (lost & kLostCommand) == 0;
      const UINT id = LOWORD(s.wParam);
      if (bar && id == 101) m.reversed = !m.reversed;
      if (bar && id == 102) m.ruler = 1 - m.ruler;
      if (bar && id > 102) m.grid = static_cast<int>(id) - 103;
      if (bar) f[kMarks] = Marks(m);
      if (id != 101) paint();
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

fakehost::Host& StartSession() {
  // A small window and frame keep each of the many runs cheap.
  fakehost::Host& host = fakehost::Start(kClient, kClient);
  standin::SetCallLogging(false);
  host.maxWidth = 64;
  host.maxHeight = 48;
  fakehost::SetFrame(kFrameWidth, kFrameHeight);
  return host;
}

void Play(fakehost::Host& host, const Step& step) {
  host.windowVisible = step.visible;
  host.editing = step.editing;
  if (step.message == kFrame) {
    fakehost::Frame();
  } else {
    fakehost::Send(step.message, step.wParam, step.lParam);
  }
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
  if (allowed == kNotDrawn || m.facts[kSnapshot] == "0" || step.editing == 0) {
    const std::vector<uint32_t>& got = standin::ClientPixels(window);
    const auto painted = std::count_if(got.begin(), got.end(), [](uint32_t p) { return p != standin::kPoison; });
    return painted == 0 ? "" : std::to_string(painted) + " pixels painted, none expected";
  }
  if (m.level < 1) return "a reduced view, which the model does not draw";
  return viewmodel::CompareClient(window, Expected(m, window));
}

// The session with call `call` of row's function failing (null: none) and
// then `broken` run, as a faulty plug-in would act; "" when every check
// holds, else the first that does not.
std::string Session(const Row* row, int64_t call, void (*broken)() = nullptr) {
  fakehost::Host& host = StartSession();
  const HGDIOBJ ownPen = GetStockObject(BLACK_PEN);  // before the failure counts calls
  Model model;
  model.facts = Observe(host.window);
  const Row none = {.fn = ""};
  const Row& r = row != nullptr ? *row : none;
  if (r.with != nullptr) standin::FailCall(r.with);
  if (row != nullptr) standin::FailCall(r.fn, static_cast<int>(call));
  const int failures = (row != nullptr ? 1 : 0) + (r.with != nullptr ? 1 : 0);
  const unsigned lasting = r.lasting | (r.refused > 0 ? Bit(kRefused) : 0);
  unsigned loose = 0;  // facts a failure left other than the model says
  int64_t releasesAtFailure = -1;
  for (const Step& step : kSession) {
    const int failedBefore = standin::GetBooks().failedCalls;
    if (step.message == kFrame) standin::FillClient(host.window, standin::kPoison);
    Play(host, step);
    const bool failedHere = standin::GetBooks().failedCalls != failedBefore;
    if (failedHere) releasesAtFailure = standin::CallCount("ReleaseDC");
    if (failedHere && broken != nullptr) broken();
    Drive(model, step, failedHere ? lasting : 0);
    const bool penMayStay = (lasting & kPenKept) != 0 && standin::CallCount("ReleaseDC") == releasesAtFailure;
    std::string wrong = Unsound(host.window, ownPen, penMayStay);
    const Facts seen = Observe(host.window);
    for (int i = 0; i < kFacts && wrong.empty(); ++i) {
      if (seen[i] == model.facts[i] || (loose & Bit(Fact(i))) != 0) continue;
      if (!failedHere || (lasting & Bit(Fact(i))) == 0) {
        wrong = std::string(kFactNames[i]) + " '" + seen[i] + "', the model's '" + model.facts[i] + "'";
      }
      // The model takes what the failure left; a mark stays as it is until its command runs.
      if (i == kBar) SetBar(model, seen[i] == "1");
      else model.facts[i] = seen[i];
      if (i == kMarks) loose |= Bit(kMarks);
    }
    // Until the failure the run is the session without failures, whose pictures are checked once.
    const bool afterFailure = row == nullptr || standin::GetBooks().failedCalls > 0;
    if (wrong.empty() && step.message == kFrame && afterFailure) {
      wrong = WrongPicture(model, step, host.window, failedHere ? r.picture : kWhole);
    }
    if (!wrong.empty()) return std::string("after '") + step.name + "': " + wrong;
  }
  if (standin::GetBooks().failedCalls != failures) return "the call did not fail";
  if (standin::GetBooks().refused != r.refused) return "refused releases keep " + model.facts[kRefused] + " objects";
  return "";
}

// Calls of a row's function in the session (its `with` failing).
int64_t CallsOf(const Row& row) {
  fakehost::Host& host = StartSession();
  if (row.with != nullptr) standin::FailCall(row.with);
  for (const Step& step : kSession) Play(host, step);
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

TEST(FailedCalls, EveryCallSiteFailsSoundly) {
  std::map<std::string, int64_t> counts;
  for (const Row& row : kRows) {
    counts[row.fn] = CallsOf(row);
    EXPECT_GT(counts[row.fn], 0) << row.fn << ": the session never calls it";
  }
  for (const std::string& fn : standin::Functions()) {
    EXPECT_EQ(counts.count(fn), 1u) << fn << ": a Win32 function of the stand-in with no row";
  }

  ASSERT_EQ(Session(nullptr, 0), "") << "the session without failures";
  // A view one frame pixel off after a failure is seen: as if a failed
  // LoadCursorA at the drag's press moved the centre.
  const Row cursor = {.fn = "LoadCursorA"};
  const std::string shifted = Session(&cursor, 1, [] { ++viewState.centreX; });
  EXPECT_NE(shifted.find("pixels differ"), std::string::npos) << shifted;

  std::mt19937 random(kSeed);
  int runs = 0;
  for (const Row& row : kRows) {
    for (int64_t call : CallsToFail(counts.at(row.fn), random)) {
      ++runs;
      const std::string wrong = Session(&row, call);
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
