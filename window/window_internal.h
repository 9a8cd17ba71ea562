// Shared pieces of the window callback: one handler per message group.
#pragma once

#include "host/filter_table.h"
#include "host/point.h"
#include "window/menu_commands.h"

// What one message carries, handed to the handlers below.
struct WindowMessage {
  HWND window;
  WPARAM wParam;
  LPARAM lParam;
  void* editHandle;
  FilterTable* table;
};

// Formats the title for the current zoom and lock and sets it on the window.
void SetTitle(HWND window);

// Settings and menu bar (settings.cpp, menu_bar.cpp).
void LoadSettings(FilterTable* table);
void StoreSettings(FilterTable* table);
void BuildMenuBar(HWND window);
void SetMenuCheck(HMENU menu, UINT id, int checked);

// Pointer, wheel, lock and commands (interaction.cpp).
void OnMainMouseDown(const WindowMessage& m);
void OnMainMouseMove(const WindowMessage& m);
void OnMainStop();
void OnDragStart(const WindowMessage& m);
void OnDragMove(const WindowMessage& m);
void OnDragEnd();
void OnZoomIn(const WindowMessage& m);
void OnZoomOut(const WindowMessage& m);
void OnWheel(const WindowMessage& m);
void OnLockToggle(const WindowMessage& m);
void OnCommand(const WindowMessage& m);
