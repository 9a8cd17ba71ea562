// A host for the native tests, written from the host's side of the interface:
// the six services, a settings store that logs every load and save, the
// plug-in's window in the Win32 stand-in, and frames whose colours encode
// their coordinates. Tests reach the plug-in only as a host does: through the
// record, its two callbacks and window messages.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/filter_table.h"
#include "host/point.h"
#include "platform/standin/standin.h"
#include "refhost/scenario/frames.h"
#include "state/view_state.h"

namespace fakehost {

struct SettingEvent {
  bool save;  // false: LoadIntSetting, true: SaveIntSetting
  std::string key;
  int defaultValue;  // the default passed to a load (0 for saves)
  int value;         // what the load returned, or what was saved
};

// One message that reached the window callback through the window, and how
// deeply it was nested in the handling of another (0: sent by the host itself,
// 1: delivered from inside a Win32 call the plug-in made, such as SetMenu).
struct Delivered {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int depth;
};

struct Host {
  // What the host answers; tests change these freely.
  int editing = 1;        // IsEditing result while a video is open
  int windowVisible = 1;  // IsFilterWindowVisible result
  int maxWidth = 640;     // largest frame in HostInfo
  int maxHeight = 360;
  bool nullImage = false;             // GetDisplayImage returns null
  std::map<std::string, int> stored;  // the settings store
  std::vector<SettingEvent> settingsLog;

  // The current frame: a 24-bit bottom-up DIB, rows padded to 4 bytes.
  int frameWidth = 0;
  int frameHeight = 0;
  std::vector<uint8_t> image;

  // Service call counts.
  int isEditingCalls = 0;
  int isFilterWindowVisibleCalls = 0;
  int getHostInfoCalls = 0;
  int getDisplayImageCalls = 0;
  void* lastEditHandle = nullptr;
  void* hostInfoEditHandle = reinterpret_cast<void*>(1);  // what GetHostInfo was last given
  int displayImageFlags = -1;                             // GetDisplayImage's second argument, last call

  // Every message the window passed on to the window callback, in order.
  std::vector<Delivered> delivered;
  int depth = 0;  // messages being handled right now
  // Called for each message just before the window callback sees it (nested
  // ones included): tests look at the state at that moment.
  std::function<void(const Delivered&)> beforeMessage;

  HWND window = nullptr;
  FilterTable* table = nullptr;
  void* editHandle = reinterpret_cast<void*>(static_cast<uintptr_t>(0x1234));
  HostServices services = {};
};

// Resets the stand-in and the plug-in's state to load-time values, loads the
// plug-in (GetFilterTable), creates its window with the given client size
// (the record's initial size by default) and writes services and window into
// the record. No message is sent: call Init() for HostMsgInit.
Host& Start(int clientWidth = kInitialClientWidth, int clientHeight = kInitialClientHeight);
Host& Current();

// Sends a message to the plug-in's window (which forwards it to the window
// callback with the edit handle and the record) and returns the callback's result.
LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
LRESULT Init();  // HostMsgInit
LRESULT Exit();  // HostMsgExit
using ::Point;   // host/point.h
// wParam for a wheel turn: the delta (120 a click forward) in the high 16 bits.
WPARAM Wheel(int delta);

// One step of a table-driven test: a message the host sends, named for
// failure messages, and what the host answers while it runs.
struct Step {
  const char* name;
  UINT message;  // kFrame: a frame through FilterProc instead
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  int visible = 1;  // IsFilterWindowVisible's answer
  int editing = 1;  // IsEditing's answer
};
constexpr UINT kFrame = 0;  // WM_NULL, which no host sends to a filter
// Sets the host's answers, then sends the message or plays the current frame;
// returns the callback's result.
LRESULT Play(const Step& step);

// The colour the test frames give pixel (x, y): the reference host's
// coordinate frame (refhost/scenario/frames.h).
inline uint32_t FrameColour(int x, int y) { return CoordColour(x, y); }
// Makes the current frame width by height of FrameColour pixels.
void SetFrame(int width, int height);
// FNV-1a 64 over pixels (each 0xRRGGBB as four bytes, low first): a whole
// picture in one number, for checks that also name spot pixels.
uint64_t PixelHash(const std::vector<uint32_t>& pixels);
// Calls FilterProc with the current frame; returns its result.
BOOL Frame();
// Sets the plug-in's state to view over what the frames copied so far left:
// their snapshot and frame size.
void SetView(ViewState view);
// The view's centre, (centreX, centreY): both in one check.
inline std::pair<int, int> Centre() { return {viewState.centreX, viewState.centreY}; }
// A FrameProcInfo as the host fills it for the current frame.
FrameProcInfo MakeFrameInfo();

// A second window (the host's main window, say) that holds the mouse capture,
// as after a press there; SetCapture by the plug-in then takes it away and the
// owner gets WM_CAPTURECHANGED. Messages it receives go to captureOwnerMessages.
HWND MakeCaptureOwner();
std::vector<UINT>& CaptureOwnerMessages();

// What must hold after every message and frame: state within its bounds (the
// settings within their values in kStoredSettings, every key loaded or saved
// listed there) and the GDI books balanced against the snapshot. "" when
// sound, else a list.
std::string Violations();

}  // namespace fakehost
