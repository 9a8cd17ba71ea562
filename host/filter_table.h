// The registration record the host reads through GetFilterTable.
#pragma once

#include "host/host_api.h"

// 35 little-endian words in writable static storage. The plug-in fills the
// declaration words at build time; the host writes the services and window
// words after loading. The plug-in itself only ever reads services and window.
// clang-format off
struct FilterTable {
  int32_t flags;                                                                  // 0: kFilterFlags
  int32_t windowWidth;                                                            // 4: initial client width
  int32_t windowHeight;                                                           // 8: initial client height
  const char* name;                                                               // 12: filter name (Shift_JIS)
  void* declared0[8];                                                             // 16..44: none declared
  BOOL(HOSTAPI* filterProc)(FilterTable*, FrameProcInfo*);                        // 48: per-frame callback
  void* callbacks0[3];                                                            // 52..60: none
  BOOL(HOSTAPI* filterWndProc)(HWND, UINT, WPARAM, LPARAM, void*, FilterTable*);  // 64: window callback
  void* hostWords0[2];                                                            // 68, 72: host's, never read
  void* declared1[2];                                                             // 76, 80: none declared
  const char* information;                                                        // 84: information string (Shift_JIS)
  void* callbacks1[2];                                                            // 88, 92: none
  HostServices* services;                                                         // 96: host's services (host writes)
  HWND window;                                                                    // 100: our window (host writes)
  void* hostWord104;                                                              // 104: host's, never read
  void* declared2;                                                                // 108: none declared
  void* callbacks2[4];                                                            // 112..124: none
  void* hostWord128;                                                              // 128: host's, never read
  int32_t reserved[2];                                                            // 132, 136: reserved
};
// clang-format on

// The host-defined bits of the flags word that the plug-in sets.
enum : int32_t {
  kFilterAlwaysActive = 0x00000004,      // always active: the host offers no switch for it
  kFilterResizable = 0x00002000,         // the window has a resizable frame; WM_SIZE repaints
  kFilterWindowSize = 0x00004000,        // windowWidth and windowHeight give the initial client size
  kFilterDisplayOnly = 0x00008000,       // a display filter: it shows frames and changes none
  kFilterInformationGiven = 0x00040000,  // information points to a description string
  kFilterMainMessages = 0x40000000,      // the host sends the main window's pointer messages
};
constexpr int32_t kFilterFlags = kFilterAlwaysActive | kFilterResizable | kFilterWindowSize | kFilterDisplayOnly |
                                 kFilterInformationGiven | kFilterMainMessages;
static_assert(kFilterFlags == 0x4004E004, "flags word");

// The client size the record asks for (kFilterWindowSize), where the view
// first opens; the reference host and the tests start the window there too.
constexpr int32_t kInitialClientWidth = 288;
constexpr int32_t kInitialClientHeight = 288;

extern FilterTable filterTable;

extern "C" FilterTable* HOSTAPI GetFilterTable();
extern "C" FilterTable* HOSTAPI GetFilterTableYUY2();

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(FilterTable, flags) == 0, "flags word");
static_assert(offsetof(FilterTable, windowWidth) == 4, "window width word");
static_assert(offsetof(FilterTable, windowHeight) == 8, "window height word");
static_assert(offsetof(FilterTable, name) == 12, "name word");
static_assert(offsetof(FilterTable, declared0) == 16, "first declaration words");
static_assert(offsetof(FilterTable, filterProc) == 48, "per-frame callback word");
static_assert(offsetof(FilterTable, callbacks0) == 52, "unused callback words");
static_assert(offsetof(FilterTable, filterWndProc) == 64, "window callback word");
static_assert(offsetof(FilterTable, hostWords0) == 68, "host words");
static_assert(offsetof(FilterTable, declared1) == 76, "second declaration words");
static_assert(offsetof(FilterTable, information) == 84, "information string word");
static_assert(offsetof(FilterTable, callbacks1) == 88, "unused callback words");
static_assert(offsetof(FilterTable, services) == 96, "host services word");
static_assert(offsetof(FilterTable, window) == 100, "window handle word");
static_assert(offsetof(FilterTable, hostWord104) == 104, "host word");
static_assert(offsetof(FilterTable, declared2) == 108, "declaration word");
static_assert(offsetof(FilterTable, callbacks2) == 112, "unused callback words");
static_assert(offsetof(FilterTable, hostWord128) == 128, "host word");
static_assert(offsetof(FilterTable, reserved) == 132, "reserved words");
static_assert(sizeof(FilterTable) == 140, "registration record size");
#endif
