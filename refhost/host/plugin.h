// The host's side of the plug-in interface: loading the plug-in and finding its
// record, creating the plug-in's window, passing that window's messages and the
// host's notifications to the window callback and calling the per-frame
// callback, as the editor does, all on the session (session.h).
#pragma once

#include <windows.h>

#include <string>

#include "host/filter_table.h"

namespace refhost {

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
// The loaded plug-in's record and window (null when none is loaded): for
// calling it with nothing in between.
FilterTable* PluginTable();
HWND PluginWindow();

}  // namespace refhost
