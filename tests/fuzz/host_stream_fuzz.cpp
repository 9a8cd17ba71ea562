// Turns fuzz input into a stream of host actions and checks, after every one,
// that the plug-in's state and the GDI books are still sound. Reaches the
// plug-in only through its record, its two callbacks and window messages.
// Actions may also make one of the next Win32 calls fail, as USER and GDI do
// when their handles are used up.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "state/stored_settings.h"
#include "tests/fake_host.h"
#include "window/menu_commands.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool empty() const { return at >= size; }
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
  uint32_t Dword() { return static_cast<uint32_t>(Word()) | static_cast<uint32_t>(Word()) << 16; }
};

[[noreturn]] void Fail(const char* what, int step) {
  std::fprintf(stderr, "invariant broken after action %d: %s\n", step, what);
  std::abort();
}

// clang-format off
const UINT kMessages[] = {
    WM_SIZE, WM_ACTIVATE, WM_PAINT, WM_COMMAND, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
    WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEWHEEL, WM_CAPTURECHANGED,
    HostMsgFileOpen, HostMsgFileClose, HostMsgInit, HostMsgExit, HostMsgWindowChange, HostMsgEditChange,
    HostMsgCommand, HostMsgMainMouseDown, HostMsgMainMouseUp, HostMsgMainMouseMove, HostMsgMainMoveSize,
    HostMsgMainDoubleClick,
};
// clang-format on

// Interesting values for parameters and settings, picked by the input.
int32_t Interesting(Reader& in) {
  // clang-format off
  static const int32_t kValues[] = {0, 1, -1, 2, 7, 24, 25, -9, -10, 99, -20, 0x7FFF, 0x8000, 0xFFFF, INT_MAX, INT_MIN,
      CmdWheelReverse, CmdRuler, CmdGridNone, CmdGridBlack, CmdGridWhite, 120, -120, 640, 360};
  // clang-format on
  uint8_t pick = in.Byte();
  if (pick < sizeof kValues / sizeof kValues[0]) return kValues[pick];
  return static_cast<int32_t>(in.Dword());
}

LPARAM Param(Reader& in) { return static_cast<LPARAM>(static_cast<int32_t>(Interesting(in))); }

// What a failed call may leave that no sound plug-in can prevent: a pen the
// failed SelectObject could not give back (until the window DC is next
// released), and the first menu bar, orphaned by a second one made in the step
// in which GetMenu failed to report the first.
struct Excused {
  bool pen = false;
  int menus = 2;  // menus that may be alive: one bar and its popup, and such orphans
};

void CheckInvariants(int step, BOOL result, BOOL expected, bool afterExit, HGDIOBJ ownPen, Excused excused) {
  if (result != expected) Fail("callback result", step);
  // The state's and the books' invariants, as every native test checks them.
  const std::string broken = fakehost::Violations();
  if (!broken.empty()) Fail(broken.c_str(), step);
  const standin::Books b = standin::GetBooks();
  if (afterExit && (b.memoryDcsAlive != 0 || b.bitmapsAlive != 0)) Fail("snapshot alive after exit", step);
  if (b.menusAlive > excused.menus) Fail("more menus than one menu bar", step);
  if (standin::WindowMenu(fakehost::Current().window) == nullptr && b.menusAlive != 0) Fail("orphaned menu", step);
  HGDIOBJ pen = standin::PenAtLastRelease(fakehost::Current().window);
  if (!excused.pen && pen != nullptr && pen != ownPen) Fail("pen not selected back before release", step);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  // A small window keeps each repaint cheap; resizes still reach large sizes.
  fakehost::Host& host = fakehost::Start(40, 32);
  standin::SetCallLogging(false);
  host.maxWidth = 64;
  host.maxHeight = 48;
  fakehost::SetFrame(40, 30);
  // Taken before any failure is set: the checks must not spend one.
  const HGDIOBJ ownPen = GetStockObject(BLACK_PEN);
  const std::vector<std::string>& functions = standin::Functions();
  std::string failing;
  Excused excused;
  // Window DCs given back: a refused ReleaseDC gives nothing back, and the pen
  // seen at the last release stays the one that release saw.
  int64_t failedReleases = 0;
  auto releases = [&] { return standin::CallCount("ReleaseDC") - failedReleases; };
  int64_t releasesAtPenFailure = -1;

  for (int step = 0; !in.empty() && step < 256; ++step) {
    BOOL result = 0;
    BOOL expected = 0;
    bool afterExit = false;
    const int failedBefore = standin::GetBooks().failedCalls;
    const uint8_t action = in.Byte();
    // Action bytes from 0xF0 (rare in the older corpus): the call 1 to 16
    // calls of this function from now fails.
    if (action >= 0xF0) {
      if (!failing.empty()) standin::FailCall(failing, 0);  // one failure waits at a time
      failing = functions[in.Byte() % functions.size()];
      standin::FailCall(failing, 1 + (action & 0x0F));
    }
    switch (action >= 0xF0 ? -1 : action % 12) {
      case 0:
      case 1: {  // a known message with any parameters
        UINT msg = kMessages[in.Byte() % (sizeof kMessages / sizeof kMessages[0])];
        WPARAM w = static_cast<WPARAM>(static_cast<uint32_t>(Interesting(in)));
        LPARAM l = Param(in);
        if (msg == WM_SIZE) break;  // sizes come through ResizeClient below
        result = static_cast<BOOL>(fakehost::Send(msg, w, l));
        expected = msg == HostMsgWindowChange && host.windowVisible != 0 ? 1 : 0;
        afterExit = msg == HostMsgExit;
        break;
      }
      case 2: {  // any message number at all
        UINT msg = static_cast<UINT>(in.Dword());
        if (msg == WM_SIZE) break;
        result = static_cast<BOOL>(fakehost::Send(msg, static_cast<WPARAM>(in.Dword()), Param(in)));
        expected = msg == HostMsgWindowChange && host.windowVisible != 0 ? 1 : 0;
        afterExit = msg == HostMsgExit;
        break;
      }
      case 3:
      case 4: {  // a frame, mostly within the largest size, sometimes beyond
        int w = in.Byte() % 80 + (in.Byte() == 0 ? -3 : 0);
        int h = in.Byte() % 60;
        if (w > 0 && h > 0) fakehost::SetFrame(w, h);
        FrameProcInfo info = fakehost::MakeFrameInfo();
        info.width = w;
        info.height = h;
        result = host.table->filterProc(host.table, &info);
        expected = 1;
        break;
      }
      case 5: host.stored[kStoredSettings[in.Byte() % std::size(kStoredSettings)].key] = Interesting(in); break;
      case 6:
        host.windowVisible = in.Byte() & 1;
        result = static_cast<BOOL>(fakehost::Send(HostMsgWindowChange));
        expected = host.windowVisible != 0 ? 1 : 0;
        break;
      case 7:
        host.editing = in.Byte() & 1;
        fakehost::Send(host.editing != 0 ? HostMsgFileOpen : HostMsgFileClose);
        break;
      case 8: fakehost::Init(); break;
      case 9:
        fakehost::Exit();
        afterExit = true;
        break;
      case 10:
        standin::ResizeClient(host.window, in.Byte() % 64 + (in.Byte() == 0xFF ? 600 : 0), in.Byte() % 64);
        break;
      case 11:
        host.nullImage = (in.Byte() & 1) != 0;
        host.maxWidth = static_cast<int8_t>(in.Byte());
        host.maxHeight = static_cast<int8_t>(in.Byte());
        break;
    }
    const bool failedHere = standin::GetBooks().failedCalls != failedBefore;
    if (failedHere && failing == "ReleaseDC") ++failedReleases;
    if (failedHere && failing == "SelectObject") releasesAtPenFailure = releases();
    if (failedHere && failing == "GetMenu") excused.menus = std::max(excused.menus, standin::GetBooks().menusAlive);
    excused.pen = releases() == releasesAtPenFailure;
    CheckInvariants(step, result, expected, afterExit, ownPen, excused);
  }
  fakehost::Exit();
  excused.pen = releases() == releasesAtPenFailure;
  CheckInvariants(-1, 0, 0, true, ownPen, excused);
  return 0;
}
