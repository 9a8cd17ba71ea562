// The steps that act: the host's settings and frames, starting and stopping
// the plug-in, notifications and window messages. At the end, the table of
// every step form.
#include "refhost/scenario_run.h"

#include <initializer_list>
#include <utility>

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
bool HostCommand(ScenarioRun& run) { return Notification(run, HostMsgCommand, MAKEWPARAM(run.Int(0), 0)); }

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
  const LPARAM at = MAKELPARAM(run.Int(0), run.Int(1));
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
bool Command(ScenarioRun& run) { return WindowMessage(run, WM_COMMAND, MAKEWPARAM(run.Int(0), 0), 0); }
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
  run.driver.FillClient(0xFF00FF);
  return true;
}

// Every step form. Forms that share keywords differ in their arguments; the
// longest keywords that match win ("frame card" over "frame"). kStarted: the
// step talks to the plug-in and runs only while it is started.
constexpr bool kAnyTime = false;
constexpr bool kStarted = true;
constexpr StepForm kForms[] = {
    {"host largest", "ii", kAnyTime, HostLargest},
    {"settings clear", "", kAnyTime, SettingsClear},
    {"settings set", "wi", kAnyTime, SettingsSet},
    {"log clear", "", kAnyTime, LogClear},
    {"dump log", "", kAnyTime, DumpLog},
    {"expect stored", "ww", kAnyTime, ExpectStored},
    {"expect log", "w", kAnyTime, ExpectLog},
    {"expect log-count", "i", kAnyTime, ExpectLogCount},
    {"start", "", kAnyTime, StartStep},
    {"frame card", "ii", kAnyTime, FrameCard},
    {"frame coords", "ii", kAnyTime, FrameCoords},
    {"frame image", "w", kAnyTime, FrameImage},
    {"frame folder", "w", kAnyTime, FrameFolder},
    {"frame next", "", kAnyTime, FrameNext},
    {"stop", "", kStarted, StopStep},
    {"open", "", kStarted, Open},
    {"close", "", kStarted, Close},
    {"show", "", kStarted, Show},
    {"hide", "", kStarted, Hide},
    {"frame", "", kStarted, FrameAgain},
    {"edit-change", "", kStarted, EditChange},
    {"main press", "ii", kStarted, MainPress},
    {"main move", "ii", kStarted, MainMove},
    {"main release", "ii", kStarted, MainRelease},
    {"main double", "", kStarted, MainDouble},
    {"main movesize", "", kStarted, MainMoveSize},
    {"mouse down", "ii", kStarted, MouseDown},
    {"mouse move", "ii", kStarted, MouseMove},
    {"mouse up", "ii", kStarted, MouseUp},
    {"mouse double", "ii", kStarted, MouseDouble},
    {"mouse right", "ii", kStarted, MouseRight},
    {"mouse middle", "ii", kStarted, MouseMiddle},
    {"wheel", "i", kStarted, Wheel},
    {"activate", "i", kStarted, Activate},
    {"command", "i", kStarted, Command},
    {"host-command", "i", kStarted, HostCommand},
    {"send", "iii", kStarted, Send},
    {"resize", "ii", kStarted, Resize},
    {"poison", "", kStarted, Poison},
    {"screenshot client", "w", kStarted, ScreenshotClient},
    {"screenshot client", "ww", kStarted, ScreenshotClient},
    {"screenshot window", "w", kStarted, ScreenshotWindow},
    {"dump title", "", kStarted, DumpTitle},
    {"dump menu", "", kStarted, DumpMenu},
    {"expect title", "h", kStarted, ExpectTitle},
    {"expect title-wide", "w", kStarted, ExpectTitleWide},
    {"expect menu none", "", kStarted, ExpectMenuNone},
    {"expect menu bar", "ih", kStarted, ExpectMenuBar},
    {"expect menu item", "iihi", kStarted, ExpectMenuItem},
    {"expect result", "i", kStarted, ExpectResult},
    {"expect client", "ii", kStarted, ExpectClient},
    {"expect pixel", "iic", kStarted, ExpectPixel},
    {"expect background", "ii", kStarted, ExpectBackground},
    {"expect frame-pixel", "iiii", kStarted, ExpectFramePixel},
    {"expect caption-glyphs", "", kStarted, ExpectCaptionGlyphs},
};

}  // namespace

const std::span<const StepForm> kStepForms = kForms;

}  // namespace refhost
