// A small line-based scenario language that plays the host to the plug-in and
// checks what it shows. The interpreter is platform-neutral; a driver carries
// each step out: the Win32 reference host against the real DLL, or the native
// test bed against the software stand-in, so one scenario file runs on both.
// ScenarioHelp() describes the language and every step, from the step tables
// (scenario_steps.h, scenario_checks.h); both programs print it for --help.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_api.h"
#include "host/point.h"
#include "refhost/scenario/frames.h"

namespace refhost {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;  // 0xRRGGBB, top row first
};

struct MenuRow {
  int position = 0;
  bool topLevel = false;  // an item of the menu bar itself, else of its popup
  unsigned id = 0;
  std::string text;  // bytes as the menu holds them
  bool checked = false;
};

// A caption button in a picture of the whole window, 3D edges included.
enum class CaptionButtonKind { Minimize, Maximize, Close };
struct CaptionButton {
  CaptionButtonKind kind;
  Pixels pixels;
};

// What a host platform does for the interpreter. Every method that cannot be
// done on a platform returns false; the interpreter then reports the check as
// skipped instead of failed.
class Driver {
 public:
  virtual ~Driver() = default;
  virtual const char* Name() const = 0;
  virtual void SetLargestFrame(int width, int height) = 0;
  virtual void ClearSettings() = 0;
  virtual void SetSetting(const std::string& key, int value) = 0;
  // Stored value of a key; false when the key is not stored.
  virtual bool StoredSetting(const std::string& key, int* value) = 0;
  // "load KEY DEFAULT -> VALUE" and "save KEY VALUE", oldest first.
  virtual std::vector<std::string> SettingsLog() = 0;
  virtual void ClearSettingsLog() = 0;

  // Loads the plug-in, creates its (hidden) window, sends HostMsgInit.
  virtual bool Start(std::string* error) = 0;
  // HostMsgExit, then the window is destroyed and the plug-in unloaded.
  virtual void Stop() = 0;
  virtual bool Started() const = 0;
  virtual void SetEditing(bool open) = 0;
  virtual void SetShown(bool shown) = 0;
  virtual void SetFrame(const Frame& frame) = 0;
  // Calls the per-frame callback for the current frame; returns its result.
  virtual long DisplayFrame() = 0;
  // A host notification straight to the window callback; its result.
  virtual long Notify(unsigned msg, uintptr_t wParam, intptr_t lParam) = 0;
  // A window message delivered through the plug-in window; the callback's result.
  virtual long SendToWindow(unsigned msg, uintptr_t wParam, intptr_t lParam) = 0;
  // The left button pressed (HostMsgMainMouseDown), moved with
  // (HostMsgMainMouseMove) or released (HostMsgMainMouseUp) over frame pixel
  // (x, y) in the host's main window. A host with a main window turns this into
  // the notification; by default it is sent as is.
  virtual long MainPointer(unsigned msg, int x, int y) {
    return Notify(msg, msg == HostMsgMainMouseUp ? 0 : MK_LBUTTON, Point(x, y));
  }
  virtual void ResizeClient(int width, int height) = 0;
  virtual void FillClient(uint32_t rgb) = 0;

  virtual bool CaptureClient(Pixels* out) = 0;
  virtual bool CaptureWindow(Pixels* out) = 0;
  // The window's caption buttons, left to right; false on a platform without a caption.
  virtual bool CaptureCaptionButtons(std::vector<CaptionButton>*) { return false; }
  virtual std::string TitleBytes() = 0;
  virtual bool TitleWide(std::u16string* out) = 0;
  // The characters of the title (in the caption font) and of the menus (in the
  // menu font) that are drawn as the font's missing-glyph box, each as
  // "title C" or "menu C" with C in UTF-8; false on a platform without fonts.
  virtual bool BoxedCharacters(std::vector<std::string>*) { return false; }
  // false when the window has no menu bar.
  virtual bool Menu(std::vector<MenuRow>* rows) = 0;
  // Faults seen since the last call (an unexpected service, a failed call).
  virtual std::vector<std::string> TakeFaults() = 0;

  // What a long session does to a plug-in, where the platform can do it; each
  // returns false where it cannot (the rest of the scenario is then skipped).
  // Takes every GDI handle the process can still get, as other programs do in
  // a long session, and holds them until GiveBackGdi; handles the plug-in
  // frees are taken again before its next call. *taken: how many, in *ms.
  virtual bool UseUpGdi(long* /*taken*/, double* /*ms*/) { return false; }
  virtual bool GiveBackGdi() { return false; }
  // Whether GDI refuses a bitmap of width by height compatible with the screen.
  virtual bool RefusesBitmap(int /*width*/, int /*height*/, bool* /*refused*/) { return false; }
  // Destroys the plug-in's window behind its back; its record keeps the handle.
  virtual bool DestroyPluginWindow() { return false; }
  // The GDI objects the process holds.
  virtual bool CountGdiObjects(long* /*count*/) { return false; }
};

// Checks of several scenario files run one after another.
struct ScenarioTotals {
  int passed = 0;
  int failed = 0;
  int skipped = 0;
};

struct ScenarioOptions {
  std::string outDir = ".";          // where screenshots and the manifest go
  bool quiet = false;                // print only failures, screenshots and the closing line
  ScenarioTotals* totals = nullptr;  // when given, each file's counts are added
};

// Runs a scenario file. Prints a failure per failed check naming the file and
// line, and a closing "N passed, M failed" line. Returns 0 when every check
// passed, 1 when one failed, 2 when the file could not be read or a line is
// unknown or malformed (then nothing runs).
int RunScenarioFile(Driver& driver, const std::string& path, const ScenarioOptions& options);

// The scenario language and every step form with its arguments and help.
std::string ScenarioHelp();

}  // namespace refhost
