// Shared by the stand-in's implementation files only: the object table, the
// drawing surfaces and the call log. Tests and plug-in code never include it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/standin/standin.h"

namespace standin::detail {

// What a handle names. Dc, Any and None are for Open only: a window or memory
// DC, any live object, no handle to look up.
enum class Kind { Window, WindowDc, MemoryDc, Bitmap, Pen, Brush, Region, Menu, Cursor, Dc, Any, None };

// Pixels as 0xRRGGBB, row-major, top row first.
struct Surface {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  bool mono = false;  // a 1-bit bitmap: pixels are only black or white
  void Resize(int w, int h, uint32_t fill) {
    width = w;
    height = h;
    pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), fill);
  }
  uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
  // The pixel at (x, y), or `outside` for a position off the surface.
  uint32_t At(int x, int y, uint32_t outside) {
    return x < 0 || y < 0 || x >= width || y >= height ? outside : Row(y)[x];
  }
};

// A device rectangle, half-open: left..right-1 by top..bottom-1.
struct Box {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return left >= right || top >= bottom; }
};
Box Intersect(const Box& a, const Box& b);

// The colour a surface keeps for a DIB's rgb: a 1-bit surface takes the nearer
// of black and white (black on a tie), as the reference engine maps a DIB's
// colours onto a two-entry colour table.
inline uint32_t Stored(const Surface& s, uint32_t rgb) {
  if (!s.mono) return rgb;
  int black = 0, white = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int c = static_cast<int>((rgb >> shift) & 0xFF);
    black += c * c;
    white += (255 - c) * (255 - c);
  }
  return white < black ? 0xFFFFFF : 0x000000;
}
// The colour a pen, a brush or a colour source leaves on a surface: on a
// 1-bit surface the DC's background colour (white, as nothing here changes
// it) stays white and every other colour becomes black.
inline uint32_t Painted(const Surface& s, uint32_t rgb) { return s.mono && rgb != 0xFFFFFF ? 0 : rgb; }
// Pixels a blit of (x, y, width, height) covers; a negative extent counts back
// from the start pixel, which stays included, as GDI's bounding rectangles do.
Box BlitBoundingBox(int64_t x, int64_t y, int64_t width, int64_t height);

// One entry of the handle table. Which fields mean something depends on kind.
struct Object {
  Kind kind = Kind::Window;
  bool stock = false;
  bool refused = false;  // its release failed on demand: alive, but off the books

  // Window: the client area, procedure, text, menu bar and what its last
  // released DC held.
  Surface client;
  WindowProc proc;
  std::string text;
  HMENU menu = nullptr;
  int menuRowsTaken = 0;  // client rows the menu bar took from the client area
  HGDIOBJ penAtRelease = nullptr;
  bool clipAtRelease = false;
  RECT clipRectAtRelease = {};

  // Device contexts.
  HWND window = nullptr;  // WindowDc: the window it draws into
  HGDIOBJ pen = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ bitmap = nullptr;  // MemoryDc: the selected bitmap
  bool hasClip = false;
  Box clip;
  int stretchMode = BLACKONWHITE;
  POINT position = {0, 0};

  // Bitmap (its pixels live in client) and the DC it is selected into.
  HDC selectedInto = nullptr;

  // Stock pen or brush.
  uint32_t rgb = 0;

  // Region (empty when NULLREGION).
  Box region;

  // Menu.
  std::vector<MenuItem> items;
};

// Handle table.
Object* Find(const void* handle);                 // any live object, or null
Object* FindKind(const void* handle, Kind kind);  // live object of that kind, or null
// The pixels of a live window's client area or bitmap; an empty surface when gone.
Surface& SurfaceOf(const void* handle, Kind kind);
void* NewHandle(Kind kind, Object** out);  // registers a fresh object
void Forget(const void* handle);           // removes a non-stock object
void CountBadHandle();
Books& MutableBooks();

// The surface a DC draws into, or null for a dead window.
Surface* DcSurface(Object& dc);
// The DC's drawable area: the surface, cut by its clip region.
Box DcVisible(Object& dc, Surface& surface);
// A DC handle (window or memory DC), or null; counts a bad handle when null.
Object* FindDc(const void* handle);

// Stock objects.
HGDIOBJ StockHandle(int index);  // null for an index the stand-in does not have
HGDIOBJ DefaultBitmap();
HGDIOBJ ArrowCursor();
HGDIOBJ SizeAllCursorObject();

// Menus: destroys a menu and, as Windows does, the popups hanging from it.
void DestroyMenuTree(HMENU menu);

// Capture when a window goes away (no message; the window is gone).
void DropCaptureOf(HWND hwnd);
// Window sizes: keeps the overlapping pixels, new ones are poison; WM_SIZE
// goes through the window's procedure.
void ResizeSurface(Surface& s, int width, int height);
void SendSize(HWND hwnd);
// Forgets the capture owner and sets the cursor back to the arrow.
void ResetWindowing();

// The stand-in's Win32 functions, as listed in functions.def.
enum class Fn {
#define STANDIN_FUNCTION(name) name,
#include "platform/standin/functions.def"
#undef STANDIN_FUNCTION
};

// The opening every stub shares (open.cpp): logs the call (text: a string
// argument's bytes), counts it and fails it on demand; otherwise looks the
// handle up as a live object of the kind the stub works on, counting a bad
// handle when there is none (Kind::None: nothing to look up, as for a null
// handle the call allows).
struct Opened {
  bool fails;      // the stub returns its failure value and changes nothing
  Object* object;  // the handle's object, null when bad or not looked up
};
Opened Open(Fn fn, std::initializer_list<int64_t> args, const void* handle = nullptr, Kind kind = Kind::None,
            const char* text = nullptr);
// Counts a call of fn; true when it is the call FailCall made to fail (fail.cpp).
bool Fails(Fn fn);
// fn as functions.def spells it.
const char* Name(Fn fn);
void ResetFailures();
// A release that failed on demand: the object (with a DC's bitmap, a menu's
// popups) stays alive and leaves the books.
void Refuse(const void* handle);

// Call log.
void LogText(const char* fn, std::initializer_list<int64_t> args, const char* text);
// Adds what the last call wrote (an output record's fields) after its arguments.
void LogWritten(std::initializer_list<int64_t> fields);
inline int64_t I(const void* p) { return H(p); }

}  // namespace standin::detail
