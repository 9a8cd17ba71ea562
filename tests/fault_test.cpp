// Every Win32 call the plug-in makes may fail, as USER and GDI do when a long
// session has used up their handles. One session takes the plug-in through all
// of its paths; it is then run again once for each function and each of its
// calls (a seeded sample where that makes too many runs) with that one call
// failing. After every step the state and the GDI books must be sound; after
// the session the host shows the window and displays a frame, which must
// paint the model's picture of the state the plug-in is in: a failed call may
// cost a picture or a menu, never the next picture.
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

namespace {

constexpr UINT kFrame = 0;  // a frame through FilterProc rather than a message

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
    {.name = "wheel forward", .message = WM_MOUSEWHEEL, .wParam = MAKEWPARAM(0, 120)},
    {.name = "double click", .message = WM_LBUTTONDBLCLK, .lParam = MAKELPARAM(30, 30)},
    {.name = "right click", .message = WM_RBUTTONUP, .lParam = MAKELPARAM(30, 30)},
    {.name = "lock", .message = WM_MBUTTONUP},
    {.name = "main-window press while locked", .message = HostMsgMainMouseDown, .lParam = MAKELPARAM(5, 5)},
    {.name = "unlock", .message = WM_MBUTTONUP},
    {.name = "wheel direction", .message = WM_COMMAND, .wParam = 101},
    {.name = "ruler off", .message = WM_COMMAND, .wParam = 102},
    {.name = "ruler on", .message = HostMsgCommand, .wParam = 102},
    {.name = "white grid", .message = WM_COMMAND, .wParam = 105},
    {.name = "no grid", .message = WM_COMMAND, .wParam = 103},
    {.name = "black grid", .message = WM_COMMAND, .wParam = 104},
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
};
// clang-format on

// What a failure of each function leaves behind once the step that made it
// is over. DestroyMenu has no row: only a menu bar that could not be made
// calls it, and one failure per run cannot fail both.
struct Row {
  const char* fn;
  const char* lasting;
  int refused = 0;  // objects a refused release keeps alive (Books::refused)
};

// clang-format off
const Row kRows[] = {
    {.fn = "GetDC", .lasting = "none: one picture or one snapshot is not made"},
    {.fn = "ReleaseDC", .lasting = "the DC stays out: nothing can give it back", .refused = 1},
    {.fn = "GetClientRect", .lasting = "none: one picture drawn into an empty rectangle"},
    {.fn = "FillRect", .lasting = "none: one strip or background left unpainted"},
    {.fn = "SetWindowTextA", .lasting = "the title is stale until the zoom or the lock next changes"},
    {.fn = "CreateMenu", .lasting = "no menu bar: the menu commands change nothing"},
    {.fn = "InsertMenuItemA", .lasting = "no menu bar (the bar's item) or one popup item missing"},
    {.fn = "SetMenu", .lasting = "no menu bar: the menu commands change nothing"},
    {.fn = "GetMenu", .lasting = "one menu command does nothing"},
    {.fn = "SetMenuItemInfoA", .lasting = "one check mark is stale until its command next runs"},
    {.fn = "SetCapture", .lasting = "none: one drag runs without the capture"},
    {.fn = "ReleaseCapture", .lasting = "the window keeps the capture until it is next released"},
    {.fn = "LoadCursorA", .lasting = "none: the pointer keeps its shape for one drag step"},
    {.fn = "SetCursor", .lasting = "none: the pointer keeps its shape for one drag step"},
    {.fn = "CreateCompatibleDC", .lasting = "no snapshot, so an empty view, until the window is next shown"},
    {.fn = "CreateCompatibleBitmap", .lasting = "no snapshot, so an empty view, until the window is next shown"},
    {.fn = "SelectObject", .lasting = "no snapshot until the window is next shown, or one pen not given back"},
    {.fn = "DeleteDC", .lasting = "the snapshot's DC and its bitmap stay: nothing can delete them", .refused = 2},
    {.fn = "DeleteObject", .lasting = "the region or bitmap stays: nothing can delete it", .refused = 1},
    {.fn = "GetStockObject", .lasting = "none: one picture without its strips, ticks or grid"},
    {.fn = "SetDIBitsToDevice", .lasting = "none: one frame shows the one before"},
    {.fn = "SetStretchBltMode", .lasting = "none: one picture stretched in the default mode"},
    {.fn = "StretchBlt", .lasting = "none: one picture without the image"},
    {.fn = "MoveToEx", .lasting = "none: one tick or grid line starts elsewhere"},
    {.fn = "LineTo", .lasting = "none: one tick or grid line missing"},
    {.fn = "CreateRectRgn", .lasting = "none: one picture's grid crosses the ruler"},
    {.fn = "SelectClipRgn", .lasting = "none: one picture's grid crosses the ruler"},
};
// clang-format on

// About 2,000 runs in all.
constexpr int64_t kSampled = 800;
constexpr unsigned kSeed = 18;

fakehost::Host& StartSession() {
  // A small window and frame keep each of the many runs cheap.
  fakehost::Host& host = fakehost::Start(96, 96);
  standin::SetCallLogging(false);
  host.maxWidth = 64;
  host.maxHeight = 48;
  fakehost::SetFrame(40, 30);
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

// The state's invariants and the books, with no menu left out of the menu bar
// and the pointer shown; the window DC's own pen must be back, unless the
// SelectObject that was to give it back failed and no DC went back since.
std::string Unsound(HWND window, HGDIOBJ ownPen, bool penMayStay) {
  std::string out = fakehost::Violations();
  auto check = [&out](bool ok, const char* what) {
    if (!ok) out += (out.empty() ? "" : "; ") + std::string(what);
  };
  check(standin::WindowMenu(window) != nullptr || standin::GetBooks().menusAlive == 0, "menus outside a bar");
  check(standin::CurrentCursor() != nullptr, "pointer hidden");
  HGDIOBJ pen = standin::PenAtLastRelease(window);
  check(penMayStay || pen == nullptr || pen == ownPen, "pen not selected back");
  return out;
}

// The picture the model gives for the plug-in's state, placed where the one
// StretchBlt of the last repaint put the image.
std::string WrongPicture(HWND window) {
  const std::vector<standin::Call> blits = standin::CallsTo("StretchBlt");
  if (blits.size() != 1) return std::to_string(blits.size()) + " images drawn, not 1";
  const std::vector<int64_t>& a = blits[0].args;  // hdc, x, y, w, h, source hdc, x, y, w, h, rop
  const int level = viewState.zoomLevel;
  const bool lined = level > 1;
  const viewmodel::Picture p = {.zoom = level > 0 ? level : 0,
                                .destX = static_cast<int>(a[1]),
                                .destY = static_cast<int>(a[2]),
                                .srcX = static_cast<int>(a[6]),
                                .srcY = static_cast<int>(a[7]),
                                .srcWidth = static_cast<int>(a[8]),
                                .srcHeight = static_cast<int>(a[9]),
                                .destWidth = static_cast<int>(a[3]),
                                .destHeight = static_cast<int>(a[4]),
                                .ruler = lined && viewState.rulerOn != 0,
                                .gridMode = lined ? viewState.gridMode : 0};
  return viewmodel::CompareClient(window, p);
}

// The session with call `call` of `fn` failing ("" and 0: none); "" when
// every check holds, else the first that does not. Every frame after the
// failure that finds a snapshot and a video must paint the model's picture.
std::string Session(const std::string& fn, int64_t call, int refused) {
  fakehost::Host& host = StartSession();
  const HGDIOBJ ownPen = GetStockObject(BLACK_PEN);  // before the failure counts calls
  if (!fn.empty()) standin::FailCall(fn, static_cast<int>(call));
  const int failures = fn.empty() ? 0 : 1;
  int64_t releasesAtFailure = -1;
  for (const Step& step : kSession) {
    const int failedBefore = standin::GetBooks().failedCalls;
    const bool frame = step.message == kFrame;
    standin::ClearCalls();
    standin::SetCallLogging(frame);
    if (frame) standin::FillClient(host.window, standin::kPoison);
    Play(host, step);
    if (standin::GetBooks().failedCalls != failedBefore) releasesAtFailure = standin::CallCount("ReleaseDC");
    const bool penMayStay = fn == "SelectObject" && standin::CallCount("ReleaseDC") == releasesAtFailure;
    const std::string unsound = Unsound(host.window, ownPen, penMayStay);
    if (!unsound.empty()) return std::string("after '") + step.name + "': " + unsound;
    if (frame && failedBefore == failures && viewState.snapshotDc != nullptr && step.editing != 0) {
      const std::string picture = WrongPicture(host.window);
      if (!picture.empty()) return std::string("'") + step.name + "' paints " + picture;
    }
  }
  if (standin::GetBooks().failedCalls != failures) return "the call did not fail";

  // The host shows the window again and displays a frame.
  Play(host, {.name = "show again", .message = HostMsgWindowChange});
  standin::FillClient(host.window, standin::kPoison);
  standin::ClearCalls();
  standin::SetCallLogging(true);
  Play(host, {.name = "next frame", .message = kFrame});
  const std::string picture = WrongPicture(host.window);
  if (!picture.empty()) return "the frame after showing again paints " + picture;
  fakehost::Exit();
  const std::string unsound = Unsound(host.window, ownPen, false);
  if (!unsound.empty()) return "after the last exit: " + unsound;
  const int kept = standin::GetBooks().refused;
  if (kept != refused)
    return "refused releases keep " + std::to_string(kept) + " objects, not " + std::to_string(refused);
  return "";
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
  fakehost::Host& host = StartSession();
  for (const Step& step : kSession) Play(host, step);
  std::map<std::string, int64_t> counts;
  for (const Row& row : kRows) {
    counts[row.fn] = standin::CallCount(row.fn);
    EXPECT_GT(counts[row.fn], 0) << row.fn << ": the session never calls it";
  }
  for (const std::string& fn : standin::Functions()) {
    const bool hasRow = std::any_of(std::begin(kRows), std::end(kRows), [&](const Row& r) { return fn == r.fn; });
    EXPECT_TRUE(hasRow || standin::CallCount(fn) == 0) << fn << ": called in the session but has no row";
  }

  ASSERT_EQ(Session("", 0, 0), "") << "the session without failures";

  std::mt19937 random(kSeed);
  int runs = 0;
  for (const Row& row : kRows) {
    for (int64_t call : CallsToFail(counts.at(row.fn), random)) {
      ++runs;
      const std::string wrong = Session(row.fn, call, row.refused);
      EXPECT_EQ(wrong, "") << row.fn << " call " << call << " of " << counts.at(row.fn)
                           << " fails (lasting effect: " << row.lasting << "): " << wrong;
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
