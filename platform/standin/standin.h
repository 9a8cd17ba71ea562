// Test-side controls and books of the native Win32 stand-in.
// Plug-in code never includes this; tests and the fake host do.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/test_colours.h"
#include "platform/view_background.h"
#include "win32.h"

namespace standin {

// Forgets every window, object, call and counter: each test starts from nothing.
void Reset();

// ---- windows -------------------------------------------------------------
// A window's procedure. Calls such as SetMenu, SetCapture and ReleaseCapture
// deliver their messages through it before they return, as real USER does.
using WindowProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Creates a visible top-level window whose client area is width by height
// pixels, filled with kPoison. No message is sent.
HWND CreateTestWindow(int clientWidth, int clientHeight, WindowProc proc = nullptr);
void DestroyTestWindow(HWND hwnd);
// Delivers a message through the window's procedure and returns its result.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Changes the client size (pixels are kept where they overlap, new ones are
// poison) and sends WM_SIZE with the new size in lParam.
void ResizeClient(HWND hwnd, int clientWidth, int clientHeight);
// Height of the menu bar: attaching a menu with SetMenu shrinks the client
// area by this many rows and sends WM_SIZE before SetMenu returns.
constexpr int kMenuBarHeight = 19;

// The window text as the bytes given to SetWindowTextA.
std::string WindowText(HWND hwnd);
HMENU WindowMenu(HWND hwnd);
HWND CaptureOwner();
HCURSOR CurrentCursor();
// The cursor LoadCursorA(nullptr, IDC_SIZEALL) returns.
HCURSOR SizeAllCursor();

// ---- pixels ------------------------------------------------------------------
// Client-area pixels as 0xRRGGBB, row-major, top row first.
int ClientWidth(HWND hwnd);
int ClientHeight(HWND hwnd);
// kNoPixel for a position outside the client area or a window that is gone.
constexpr uint32_t kNoPixel = 0xFFFFFFFF;
uint32_t ClientPixel(HWND hwnd, int x, int y);
const std::vector<uint32_t>& ClientPixels(HWND hwnd);
void FillClient(HWND hwnd, uint32_t rgb);
// Pixels of a bitmap made by CreateCompatibleBitmap (0xRRGGBB, top row first).
int BitmapWidth(HBITMAP bitmap);
int BitmapHeight(HBITMAP bitmap);
uint32_t BitmapPixel(HBITMAP bitmap, int x, int y);  // kNoPixel outside

// ---- books -------------------------------------------------------------------
struct Books {
  int windowDcsOut = 0;           // GetDC results not yet given back with ReleaseDC
  int memoryDcsAlive = 0;         // CreateCompatibleDC results not yet deleted
  int bitmapsAlive = 0;           // CreateCompatibleBitmap results not yet deleted
  int regionsAlive = 0;           // CreateRectRgn results not yet deleted
  int menusAlive = 0;             // CreateMenu results not yet destroyed
  int stockDeletes = 0;           // DeleteObject on a stock object (always a fault)
  int selectedDeletes = 0;        // DeleteObject on an object still selected into a DC
  int badHandleCalls = 0;         // calls given a null, dead or wrong-kind handle
  int nonStockPenSelections = 0;  // pens other than stock selected at this moment
  int64_t created = 0;            // all objects ever created (memory DCs, bitmaps, regions, menus;
                                  // GetDC lends a DC and is counted in windowDcsOut only)
  int failedCalls = 0;            // calls failed on demand (FailCall)
  int refused = 0;                // objects alive because their release failed on demand, with the
                                  // bitmap such a DC holds: the caller did its part, so the counts
                                  // above leave them out
};
Books GetBooks();
// The pen a window's DC holds between GetDC calls (real window DCs are reset on
// release; this reports what was selected when the last DC was released).
HGDIOBJ PenAtLastRelease(HWND hwnd);
// The clip region selected into the window's DC when it was last released
// (0 for none).
bool ClipAtLastRelease(HWND hwnd, RECT* clip);

// ---- call log ------------------------------------------------------------------
// One entry per stand-in Win32 call the plug-in makes. args are the call's
// arguments in Win32 order as integers: handles by value, a RECT as its four
// fields, a POINT* as 0 or 1 (present), strings omitted (see text).
// Records and output arguments:
// - GetClientRect: the window, then the four fields it wrote (none on failure);
// - InsertMenuItemA / SetMenuItemInfoA: hmenu, item,
//   fByPosition, then the record's cbSize, fMask, fType, fState, wID and
//   hSubMenu as given (nothing after fByPosition for a null record);
// - SetDIBitsToDevice: the data and BITMAPINFO pointers as their addresses;
// - LoadCursorA: the name as its integer value;
// - FillRect with a null RECT: hdc and the brush only.
// Logging can be switched off for long runs (SetCallLogging); Reset turns it on.
struct Call {
  std::string fn;
  std::vector<int64_t> args;
  std::string text;  // SetWindowTextA / InsertMenuItemA: the string's bytes
};
const std::vector<Call>& Calls();
void ClearCalls();
void SetCallLogging(bool on);
// Calls with the given function name, in order.
std::vector<Call> CallsTo(const std::string& fn);
// "fn(a,b,c)" for readable failure messages.
std::string ToString(const Call& call);

// ---- failing on demand -----------------------------------------------------------
// Makes the count-th call of fn from now on (1: the next one) fail as real USER
// and GDI fail for that function: it returns a null handle, 0 or FALSE (a
// region's SelectObject HGDI_ERROR) and changes nothing: no pixels drawn, no
// output record written, nothing made, selected, released or captured. Each
// function has one failure waiting at most: a new one replaces it, count 0
// cancels it, Reset forgets it and every count. False for a name not in
// Functions().
bool FailCall(const std::string& fn, int count = 1);
// Calls of fn since Reset, a failed one included, whether or not the log is on.
int64_t CallCount(const std::string& fn);
// Every Win32 function the stand-in provides.
const std::vector<std::string>& Functions();

// ---- menus ---------------------------------------------------------------------
// An item as the stand-in's menus hold it.
struct MenuItem {
  std::string text;  // bytes as given
  UINT id = 0;
  UINT type = 0;
  UINT state = 0;
  HMENU subMenu = nullptr;
};
// A live menu's items in order; none for any other handle.
std::vector<MenuItem> MenuItems(HMENU menu);

// Integer value of a handle, as it appears in Call::args.
inline int64_t H(const void* handle) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(handle)); }

}  // namespace standin
