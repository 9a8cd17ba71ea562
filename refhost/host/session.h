// What the reference host holds for the whole process (its configuration, from
// the command line) and for one run (the session: the plug-in and its window,
// the main window, the video and what the services saw). Every mode of the
// host works on these two.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/filter_table.h"
#include "refhost/scenario/frames.h"

namespace refhost {

// What the command line sets; it holds for the whole process.
struct HostConfig {
  std::string pluginPath;
  std::string iniPath;
  std::string section = "Tavimo";  // settings section: the filter's name, learned at start-up
  int largestWidth = 1920;         // largest frame GetHostInfo reports, unless a run changes it
  int largestHeight = 1080;
  bool interactive = false;  // faults are printed as they happen
  std::string reportPath;    // --report: the interactive viewer's report (viewer/report.h)
};

// One run of the host. Each scenario runs in a fresh session.
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
  long framesShown = 0;                  // frames handed to the per-frame callback
  std::vector<std::string> settingsLog;  // "load KEY DEFAULT -> VALUE", "save KEY VALUE"
  std::vector<std::string> faults;       // what the plug-in did wrong, not yet taken
  long lastCallbackResult = 0;           // the window callback's result for the last message
};

extern HostConfig hostConfig;
extern HostSession session;

// A fresh session from the configuration, with the plug-in stopped.
void NewSession();
// Records a fault of the plug-in (printed at once in interactive use).
void Fault(const std::string& what);

}  // namespace refhost
