// The host editor's side of the plug-in interface: its service table, the
// records it hands over, its message numbers and the two callbacks it calls.
// Layouts are the host's; every offset below is pinned for 32-bit builds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

struct FilterTable;

// Per-frame record the host passes to FilterProc. Only three words are read.
struct FrameProcInfo {
  int32_t hostWords0[3];   // 0..8: host's own
  int32_t width;           // 12: frame width in pixels
  int32_t height;          // 16: frame height in pixels
  int32_t hostWords1[10];  // 20..56: host's own
  void* editHandle;        // 60: the open video, handed back to services unchanged
};

// System information the host fills on GetHostInfo; 84 bytes on the caller's stack.
struct HostInfo {
  int32_t hostWords0[5];   // 0..16: host's own
  int32_t maxWidth;        // 20: largest frame width the host handles
  int32_t maxHeight;       // 24: largest frame height the host handles
  int32_t hostWords1[14];  // 28..80: host's own
};

// The host's function table; its address is written at offset 96 of FilterTable.
// Slots the plug-in does not use are kept as opaque words.
struct HostServices {
  void* slots0[4];                                                        // 0..12
  BOOL(HOSTAPI* IsEditing)(void* editHandle);                             // 16: non-zero while a video is open
  void* slots5[17];                                                       // 20..84
  BOOL(HOSTAPI* IsFilterWindowVisible)(FilterTable* table);               // 88: non-zero while our window is shown
  void* slots23[11];                                                      // 92..132
  int(HOSTAPI* LoadIntSetting)(FilterTable* table, LPCSTR key, int def);  // 136: stored value or def
  BOOL(HOSTAPI* SaveIntSetting)(FilterTable* table, LPCSTR key, int v);   // 140: result ignored
  void* slots36[4];                                                       // 144..156
  BOOL(HOSTAPI* GetHostInfo)(void* editHandle, HostInfo* info);           // 160: called with edit handle 0
  void* slots41[6];                                                       // 164..184
  void*(HOSTAPI* GetDisplayImage)(void* editHandle, int flags);           // 188: 24-bit bottom-up DIB bits
};

// The frame image GetDisplayImage returns: a bottom-up DIB of 24 bits a pixel
// (blue, green, red), each row padded to a multiple of 4 bytes.
constexpr int FrameImageStride(int width) { return (width * 3 + 3) & ~3; }
inline BITMAPINFO FrameImageHeader(int width, int height) {
  BITMAPINFO header = {};
  header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header.bmiHeader.biWidth = width;
  header.bmiHeader.biHeight = height;  // positive: rows bottom-up
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 24;
  header.bmiHeader.biCompression = BI_RGB;
  return header;
}

// Host notifications, delivered to the window callback like window messages.
enum : UINT {
  HostMsgFileOpen = WM_USER + 101,         // 1125: a video was opened
  HostMsgFileClose = WM_USER + 102,        // 1126: the video was closed
  HostMsgInit = WM_USER + 103,             // 1127: plug-in starting
  HostMsgExit = WM_USER + 104,             // 1128: plug-in ending
  HostMsgWindowChange = WM_USER + 110,     // 1134: our window shown or hidden
  HostMsgEditChange = WM_USER + 112,       // 1136: edited content changed
  HostMsgCommand = WM_USER + 113,          // 1137: parameters as WM_COMMAND
  HostMsgMainMouseDown = WM_USER + 120,    // 1144: lParam = frame x | frame y << 16
  HostMsgMainMouseUp = WM_USER + 121,      // 1145
  HostMsgMainMouseMove = WM_USER + 122,    // 1146: lParam as 1144
  HostMsgMainMoveSize = WM_USER + 125,     // 1149: main window moved or resized
  HostMsgMainDoubleClick = WM_USER + 126,  // 1150
};
// The numbers the host sends, whatever WM_USER a platform header says.
static_assert(HostMsgFileOpen == 1125 && HostMsgFileClose == 1126, "video notifications");
static_assert(HostMsgInit == 1127 && HostMsgExit == 1128, "start and end notifications");
static_assert(HostMsgWindowChange == 1134 && HostMsgEditChange == 1136 && HostMsgCommand == 1137,
              "window notifications");
static_assert(HostMsgMainMouseDown == 1144 && HostMsgMainMouseUp == 1145 && HostMsgMainMouseMove == 1146,
              "main-window pointer");
static_assert(HostMsgMainMoveSize == 1149 && HostMsgMainDoubleClick == 1150, "main-window moves and double clicks");

// The two callbacks the record names (cdecl; the host removes the arguments).
// FilterProc: once per displayed frame; always returns 1.
extern "C" BOOL HOSTAPI FilterProc(FilterTable* table, FrameProcInfo* info);
// FilterWndProc: every message of our window and every host notification; returns
// 1 for HostMsgWindowChange while the window is shown, else 0.
extern "C" BOOL HOSTAPI FilterWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* editHandle,
                                      FilterTable* table);

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(FrameProcInfo, width) == 12, "frame width word");
static_assert(offsetof(FrameProcInfo, height) == 16, "frame height word");
static_assert(offsetof(FrameProcInfo, editHandle) == 60, "edit handle word");
static_assert(offsetof(HostInfo, maxWidth) == 20, "largest frame width word");
static_assert(offsetof(HostInfo, maxHeight) == 24, "largest frame height word");
static_assert(sizeof(HostInfo) == 84, "host information record");
static_assert(offsetof(HostServices, IsEditing) == 16, "IsEditing slot");
static_assert(offsetof(HostServices, IsFilterWindowVisible) == 88, "IsFilterWindowVisible slot");
static_assert(offsetof(HostServices, LoadIntSetting) == 136, "LoadIntSetting slot");
static_assert(offsetof(HostServices, SaveIntSetting) == 140, "SaveIntSetting slot");
static_assert(offsetof(HostServices, GetHostInfo) == 160, "GetHostInfo slot");
static_assert(offsetof(HostServices, GetDisplayImage) == 188, "GetDisplayImage slot");
#endif
