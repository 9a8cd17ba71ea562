// The steps that act (scenario_steps.h): their handlers and, at the end, their table.
#include "refhost/scenario/scenario_steps.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "platform/test_colours.h"
#include "refhost/scenario/images.h"

namespace refhost {
namespace {

bool HostLargest(ScenarioRun& run) {
  run.driver.SetLargestFrame(run.Coord(0), run.Coord(1));
  return true;
}

bool SettingsClear(ScenarioRun& run) {
  run.driver.ClearSettings();
  return true;
}

bool SettingsSet(ScenarioRun& run) {
  run.driver.SetSetting(run.args[0], run.Coord(1));
  return true;
}

bool LogClear(ScenarioRun& run) {
  run.driver.ClearSettingsLog();
  return true;
}

bool StartStep(ScenarioRun& run) {
  if (run.driver.Started()) return run.Refuse("already started");
  std::string why;
  if (!run.driver.Start(&why)) return run.Refuse("cannot start the plug-in: " + why);
  return true;
}

bool StopStep(ScenarioRun& run) {
  run.driver.Stop();
  return true;
}

// The frame becomes the current one, displayed when the plug-in runs.
void ShowFrame(ScenarioRun& run, Frame frame) {
  run.frame = std::move(frame);
  run.driver.SetFrame(run.frame);
  if (run.driver.Started()) run.result = run.driver.DisplayFrame();
}

bool MadeFrame(ScenarioRun& run, Frame (*make)(int width, int height)) {
  const long w = run.Int(0);
  const long h = run.Int(1);
  if (w < 1 || h < 1 || w > 8192 || h > 8192) return run.Refuse("frame size out of 1..8192");
  ShowFrame(run, make(static_cast<int>(w), static_cast<int>(h)));
  return true;
}

bool FrameCard(ScenarioRun& run) { return MadeFrame(run, TestCard); }
bool FrameCoords(ScenarioRun& run) { return MadeFrame(run, CoordFrame); }

bool ImageFrame(ScenarioRun& run, const std::string& file) {
  Frame frame;
  if (!LoadImageFile(file, &frame, &run.error)) return false;
  ShowFrame(run, std::move(frame));
  return true;
}

bool FrameImage(ScenarioRun& run) { return ImageFrame(run, run.Beside(run.args[0])); }

bool FrameNext(ScenarioRun& run) {
  if (run.sequence.empty()) return run.Refuse("no folder given");
  return ImageFrame(run, run.sequence[run.next++ % run.sequence.size()]);
}

bool FrameFolder(ScenarioRun& run) {
  run.sequence = ImageFilesIn(run.Beside(run.args[0]));
  run.next = 0;
  if (run.sequence.empty()) return run.Refuse("no PNG, JPEG or BMP files in " + run.args[0]);
  return FrameNext(run);
}

bool FrameAgain(ScenarioRun& run) {
  run.result = run.driver.DisplayFrame();
  return true;
}

bool Open(ScenarioRun& run) {
  run.driver.SetEditing(true);
  run.result = run.driver.Notify(HostMsgFileOpen, 0, 0);
  run.driver.DisplayFrame();
  return true;
}

bool Close(ScenarioRun& run) {
  run.driver.SetEditing(false);
  run.result = run.driver.Notify(HostMsgFileClose, 0, 0);
  return true;
}

bool ShowOrHide(ScenarioRun& run, bool shown) {
  run.driver.SetShown(shown);
  run.result = run.driver.Notify(HostMsgWindowChange, 0, 0);
  // A non-zero result asks the host to display the current frame again.
  if (run.result != 0) run.driver.DisplayFrame();
  return true;
}

bool Show(ScenarioRun& run) { return ShowOrHide(run, true); }
bool Hide(ScenarioRun& run) { return ShowOrHide(run, false); }

bool Notification(ScenarioRun& run, UINT msg, WPARAM wParam) {
  run.result = run.driver.Notify(msg, wParam, 0);
  return true;
}

bool EditChange(ScenarioRun& run) { return Notification(run, HostMsgEditChange, 0); }
bool MainDouble(ScenarioRun& run) { return Notification(run, HostMsgMainDoubleClick, 0); }
bool MainMoveSize(ScenarioRun& run) { return Notification(run, HostMsgMainMoveSize, 0); }
bool HostCommand(ScenarioRun& run) { return Notification(run, HostMsgCommand, MAKEWPARAM(run.MenuId(0), 0)); }

bool MainPointerStep(ScenarioRun& run, UINT msg) {
  run.result = run.driver.MainPointer(msg, run.Coord(0), run.Coord(1));
  return true;
}

bool MainPress(ScenarioRun& run) { return MainPointerStep(run, HostMsgMainMouseDown); }
bool MainMove(ScenarioRun& run) { return MainPointerStep(run, HostMsgMainMouseMove); }
bool MainRelease(ScenarioRun& run) { return MainPointerStep(run, HostMsgMainMouseUp); }

// Window messages at the point of arguments 0 and 1, each with its wParam;
// the result is the last one's.
bool PointerMessages(ScenarioRun& run, std::initializer_list<std::pair<UINT, WPARAM>> messages) {
  const LPARAM at = Point(run.Coord(0), run.Coord(1));
  for (const auto& [msg, wParam] : messages) run.result = run.driver.SendToWindow(msg, wParam, at);
  return true;
}

bool MouseDown(ScenarioRun& run) { return PointerMessages(run, {{WM_LBUTTONDOWN, MK_LBUTTON}}); }
bool MouseMove(ScenarioRun& run) { return PointerMessages(run, {{WM_MOUSEMOVE, MK_LBUTTON}}); }
bool MouseUp(ScenarioRun& run) { return PointerMessages(run, {{WM_LBUTTONUP, 0}}); }
// What a double click delivers to a window whose class has CS_DBLCLKS.
bool MouseDouble(ScenarioRun& run) {
  return PointerMessages(
      run, {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}, {WM_LBUTTONDBLCLK, MK_LBUTTON}, {WM_LBUTTONUP, 0}});
}
bool MouseRight(ScenarioRun& run) { return PointerMessages(run, {{WM_RBUTTONDOWN, MK_RBUTTON}, {WM_RBUTTONUP, 0}}); }
bool MouseMiddle(ScenarioRun& run) { return PointerMessages(run, {{WM_MBUTTONDOWN, MK_MBUTTON}, {WM_MBUTTONUP, 0}}); }

bool WindowMessage(ScenarioRun& run, UINT msg, WPARAM wParam, LPARAM lParam) {
  run.result = run.driver.SendToWindow(msg, wParam, lParam);
  return true;
}

bool Wheel(ScenarioRun& run) { return WindowMessage(run, WM_MOUSEWHEEL, MAKEWPARAM(0, run.Int(0)), 0); }
bool Activate(ScenarioRun& run) { return WindowMessage(run, WM_ACTIVATE, static_cast<WPARAM>(run.Int(0)), 0); }
bool Command(ScenarioRun& run) { return WindowMessage(run, WM_COMMAND, MAKEWPARAM(run.MenuId(0), 0), 0); }
bool Send(ScenarioRun& run) {
  return WindowMessage(run, static_cast<UINT>(run.Int(0)), static_cast<WPARAM>(run.Int(1)),
                       static_cast<LPARAM>(run.Int(2)));
}

bool Resize(ScenarioRun& run) {
  const long w = run.Int(0);
  const long h = run.Int(1);
  if (w < 1 || h < 1 || w > 4000 || h > 4000) return run.Refuse("client size out of 1..4000");
  run.driver.ResizeClient(static_cast<int>(w), static_cast<int>(h));
  return true;
}

bool Poison(ScenarioRun& run) {
  run.driver.FillClient(kPoison);
  return true;
}

bool GdiUseUp(ScenarioRun& run) {
  long taken = 0;
  double ms = 0;
  if (!run.driver.UseUpGdi(&taken, &ms)) return run.Unavailable("cannot use up GDI");
  // Printed even when quiet, as screenshots are: the figure goes into the log.
  std::printf("  gdi: %ld handles taken in %.1f ms\n", taken, ms);
  return true;
}

bool GdiGiveBack(ScenarioRun& run) {
  if (!run.driver.GiveBackGdi()) return run.Unavailable("cannot give GDI handles back");
  return true;
}

bool GdiMark(ScenarioRun& run) {
  if (!run.driver.CountGdiObjects(&run.gdiMark)) return run.Unavailable("cannot count GDI objects");
  return true;
}

// The size must be one GDI refuses here, or the step would prove nothing.
bool HostLargestRefused(ScenarioRun& run) {
  bool refused = false;
  if (!run.driver.RefusesBitmap(run.Coord(0), run.Coord(1), &refused))
    return run.Unavailable("cannot tell which bitmaps GDI refuses");
  if (!refused) return run.Refuse("GDI makes a bitmap of " + run.args[0] + "x" + run.args[1] + ": take a larger size");
  return HostLargest(run);
}

bool DestroyWindowStep(ScenarioRun& run) {
  if (!run.driver.DestroyPluginWindow()) return run.Unavailable("cannot destroy the plug-in's window");
  return true;
}

// The steps that act. Forms that share keywords differ in their arguments;
// the longest keywords that match win ("frame card" over "frame").
// clang-format off
constexpr StepForm kForms[] = {
    {"host largest", "ii", "W H", kAnyTime, HostLargest, "largest frame that GetHostInfo reports"},
    {"host largest-refused", "ii", "W H", kAnyTime, HostLargestRefused,
     "as host largest, a size GDI refuses a bitmap for (the step checks that it does)"},
    {"settings clear", "", "", kAnyTime, SettingsClear, "forget every stored setting"},
    {"settings set", "wi", "KEY VALUE", kAnyTime, SettingsSet, "store a setting"},
    {"log clear", "", "", kAnyTime, LogClear, "forget the settings log"},
    {"start", "", "", kAnyTime, StartStep, "load the plug-in, make its (hidden) window, HostMsgInit"},
    {"stop", "", "", kStarted, StopStep, "HostMsgExit, destroy the window, unload the plug-in"},
    {"frame card", "ii", "W H", kAnyTime, FrameCard, "a test card of W by H becomes the current frame, displayed"},
    {"frame coords", "ii", "W H", kAnyTime, FrameCoords, "a frame of coordinate colours, W by H, the same"},
    {"frame image", "w", "PATH", kAnyTime, FrameImage, "a PNG, JPEG or BMP file (beside the scenario), the same"},
    {"frame folder", "w", "PATH", kAnyTime, FrameFolder, "the folder's pictures in turn, its first the same"},
    {"frame next", "", "", kAnyTime, FrameNext, "the folder's next picture, the same"},
    {"frame", "", "", kStarted, FrameAgain, "display the current frame again (the per-frame callback)"},
    {"open", "", "", kStarted, Open, "open the video (HostMsgFileOpen) and display the frame"},
    {"close", "", "", kStarted, Close, "close the video (HostMsgFileClose)"},
    {"show", "", "", kStarted, Show, "show the plug-in window (HostMsgWindowChange)"},
    {"hide", "", "", kStarted, Hide, "hide the plug-in window (HostMsgWindowChange)"},
    {"edit-change", "", "", kStarted, EditChange, "HostMsgEditChange"},
    {"main press", "ii", "X Y", kStarted, MainPress, "left button pressed in the main window over frame pixel (X, Y)"},
    {"main move", "ii", "X Y", kStarted, MainMove, "the pointer moved there with the button held"},
    {"main release", "ii", "X Y", kStarted, MainRelease, "the button released there"},
    {"main double", "", "", kStarted, MainDouble, "a double click in the main window"},
    {"main movesize", "", "", kStarted, MainMoveSize, "the main window moved or resized"},
    {"mouse down", "ii", "X Y", kStarted, MouseDown, "left button pressed in the plug-in window at (X, Y)"},
    {"mouse move", "ii", "X Y", kStarted, MouseMove, "moved there with the left button held"},
    {"mouse up", "ii", "X Y", kStarted, MouseUp, "left button released there"},
    {"mouse double", "ii", "X Y", kStarted, MouseDouble, "a left double click there"},
    {"mouse right", "ii", "X Y", kStarted, MouseRight, "a right click there"},
    {"mouse middle", "ii", "X Y", kStarted, MouseMiddle, "a middle click there"},
    {"wheel", "i", "DELTA", kStarted, Wheel, "WM_MOUSEWHEEL"},
    {"activate", "i", "STATE", kStarted, Activate, "WM_ACTIVATE"},
    {"command", "m", "CMD", kStarted, Command, "WM_COMMAND, as the menu item sends it"},
    {"host-command", "m", "CMD", kStarted, HostCommand, "the host's command notification with the command"},
    {"send", "iii", "MSG WPARAM LPARAM", kStarted, Send, "any message through the plug-in window"},
    {"resize", "ii", "W H", kStarted, Resize, "client size of the plug-in window"},
    {"poison", "", "", kStarted, Poison, "fill the client area with magenta"},
    {"gdi mark", "", "", kAnyTime, GdiMark, "count the process's GDI objects, for expect gdi-added"},
    {"gdi use-up", "", "", kAnyTime, GdiUseUp,
     "take every GDI handle left, and again each the plug-in frees, until gdi give-back"},
    {"gdi give-back", "", "", kAnyTime, GdiGiveBack, "give the handles gdi use-up took back"},
    {"destroy-window", "", "", kStarted, DestroyWindowStep,
     "destroy the plug-in's window under it; frames and messages keep coming"},
};
// clang-format on
static_assert(WellMade(kForms), "every argument named, every step with its help");

}  // namespace

const std::span<const StepForm> kActionSteps = kForms;

}  // namespace refhost
