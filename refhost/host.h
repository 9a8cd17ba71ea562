// The reference host's pieces that its measuring modes (bench.cpp) drive: the
// same host as the scenarios, reached from outside main.cpp.
#pragma once

#include <windows.h>

#include <memory>

#include "host/filter_table.h"
#include "refhost/scenario.h"

namespace refhost {

// The scenario driver of the Win32 host (start, stop, frames, notifications,
// window messages, settings), over the host's one plug-in.
std::unique_ptr<Driver> NewHostDriver();
// The loaded plug-in's record and window (null when none is loaded) and the
// edit handle the host passes it: for calling it with nothing in between.
FilterTable* PluginTable();
HWND PluginWindow();
void* HostEditHandle();
// The main window that shows the frame 1:1 (main-window pointer messages).
void OpenMainWindow();
void CloseMainWindow();

// Measuring modes (bench.cpp). RunBench prints the timing table; tiny runs a
// small frame and a few iterations only; breakdown adds where a large drag
// step's time goes and what drawings the plug-in does not use would cost.
// RunSoak plays n frames and n random interaction events and fails when GDI
// or USER objects or memory grow.
int RunBench(bool tiny, bool breakdown);
int RunSoak(int n, unsigned seed);

}  // namespace refhost
