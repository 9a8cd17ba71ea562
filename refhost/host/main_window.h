// The host's main window, which shows the frame 1:1: pressing, moving and
// releasing the left button there sends the main-window pointer messages in
// frame pixels, to a plug-in that asks for them.
#pragma once

#include <windows.h>

namespace refhost {

void RegisterMainClass(HINSTANCE instance);
// Opens the session's main window; a window that cannot be made is a fault of
// the session (under Wine: no display).
void OpenMainWindow();
void CloseMainWindow();

// What the interactive viewer does with the main window's keys and its timer;
// until it says, nothing.
struct MainWindowKeys {
  void (*key)(HWND window, WPARAM key);
  void (*timer)();
};
void SetMainWindowKeys(const MainWindowKeys& keys);

}  // namespace refhost
