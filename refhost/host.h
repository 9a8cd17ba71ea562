// The reference host's records and the pieces its modes share. host.cpp holds
// the service table and loads, starts and stops the plug-in; viewer.cpp the
// main window and the interactive viewer; win32_driver.cpp the scenario
// driver; bench.cpp (with the other bench_*.cpp) and soak.cpp the measuring
// modes; main.cpp picks one.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/filter_table.h"
#include "refhost/scenario/frames.h"
#include "refhost/scenario/scenario.h"

namespace refhost {

// What the command line sets; it holds for the whole process.
struct HostConfig {
  std::string pluginPath;
  std::string iniPath;
  std::string section = "Tavimo";  // settings section: the filter's name, learned at start-up
  int largestWidth = 1920;         // largest frame GetHostInfo reports, unless a run changes it
  int largestHeight = 1080;
  bool interactive = false;  // faults are printed as they happen
  std::string reportPath;    // --report: the interactive viewer's report (report.h)
};

// One run of the host: the plug-in and its window, the main window, the video
// and what the services saw. Each scenario runs in a fresh session.
struct HostSession {
  int largestWidth = 1920;
  int largestHeight = 1080;
  HMODULE module = nullptr;
  FilterTable* table = nullptr;  // the loaded plug-in's record; null when none
  HWND pluginWindow = nullptr;
  HWND mainWindow = nullptr;
  bool mainPressed = false;              // the left button went down in the main window
  bool editing = false;                  // a video is open
  Frame frame;                           // the displayed frame
  std::vector<std::string> settingsLog;  // "load KEY DEFAULT -> VALUE", "save KEY VALUE"
  std::vector<std::string> faults;       // what the plug-in did wrong, not yet taken
  long lastCallbackResult = 0;           // the window callback's result for the last message
};

extern HostConfig hostConfig;
extern HostSession session;

// host.cpp: the plug-in.
// A fresh session from the configuration, with the plug-in stopped.
void NewSession();
// Records a fault of the plug-in (printed at once in interactive use).
void Fault(const std::string& what);
// Loads the plug-in once to learn its name, the settings section.
void LearnFilterName();
void RegisterPluginClass(HINSTANCE instance);
// Loads the plug-in, creates its hidden window and sends HostMsgInit.
bool StartPlugin(std::string* error);
// HostMsgExit, then the window is destroyed and the plug-in unloaded.
void StopPlugin();
// The per-frame callback for the current frame; its result.
long CallFrameProc();
// A host notification straight to the window callback; its result.
long NotifyPlugin(UINT msg, WPARAM wParam, LPARAM lParam);
void PumpMessages();
// The loaded plug-in's record and window (null when none is loaded) and the
// edit handle the host passes it: for calling it with nothing in between.
FilterTable* PluginTable();
HWND PluginWindow();
void* HostEditHandle();

// viewer.cpp: the main window, which shows the frame 1:1.
void RegisterMainClass(HINSTANCE instance);
void OpenMainWindow();
void CloseMainWindow();
// The interactive viewer on an image, a folder of images or the test card.
int RunInteractive(const std::string& source);

// win32_driver.cpp: scenarios, and what a window shows.
// The client area, or the whole window with frame, caption and menu bar, as
// 0xRRGGBB pixels; false when the window is not shown or cannot be read.
bool CaptureWindowPixels(HWND hwnd, bool whole, Pixels* out);
// The scenario driver of the Win32 host, over the session's plug-in.
std::unique_ptr<Driver> NewHostDriver();
// Runs scenario files one after another, each in a fresh session; the worst
// result of RunScenarioFile.
int RunScripts(const std::vector<std::string>& scripts, const ScenarioOptions& options);

// Measuring modes. RunBench prints the timing table (bench.cpp); tiny runs a
// small frame and a few iterations only; breakdown adds where a large drag
// step's time goes and what drawings the plug-in does not use would cost
// (bench_breakdown.cpp). RunSoak plays n frames and n random interaction
// events and fails when GDI or USER objects or memory grow (soak.cpp).
int RunBench(bool tiny, bool breakdown);
int RunSoak(int n, unsigned seed);

// The GDI and USER objects this process holds, counted as the soak counts
// them (-1 where they cannot be counted).
struct ObjectCounts {
  long gdi, user;
};
ObjectCounts CountObjects();
// The GDI objects alone, without the calibration CountObjects makes first.
long GdiObjectCount();

}  // namespace refhost
