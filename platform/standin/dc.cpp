// Device contexts: window DCs from GetDC, memory DCs, clip regions, stretch mode.
#include "platform/standin/internal.h"

namespace standin {
namespace detail {
namespace {

void InitDcAttributes(Object& dc) {
  dc.pen = StockHandle(BLACK_PEN);
  dc.brush = StockHandle(WHITE_BRUSH);
  dc.hasClip = false;
  dc.clip = Box{};
  dc.stretchMode = BLACKONWHITE;
  dc.position = {0, 0};
}

}  // namespace
}  // namespace detail

using namespace detail;

HGDIOBJ PenAtLastRelease(HWND hwnd) {
  Object* w = FindKind(hwnd, Kind::Window);
  return w ? w->penAtRelease : nullptr;
}

bool ClipAtLastRelease(HWND hwnd, RECT* clip) {
  Object* w = FindKind(hwnd, Kind::Window);
  if (!w || !w->clipAtRelease) return false;
  if (clip) *clip = w->clipRectAtRelease;
  return true;
}

}  // namespace standin

using namespace standin;
using namespace standin::detail;

HDC GetDC(HWND hWnd) {
  // A null window would be the whole screen in Windows; the plug-in never
  // means that, so the stand-in treats it as a fault.
  const Opened o = Open(Fn::GetDC, {I(hWnd)}, hWnd, Kind::Window);
  if (o.fails || !o.object) return nullptr;
  Object* dc = nullptr;
  void* h = NewHandle(Kind::WindowDc, &dc);
  dc->window = hWnd;
  InitDcAttributes(*dc);
  ++MutableBooks().windowDcsOut;
  return static_cast<HDC>(h);
}

int ReleaseDC(HWND hWnd, HDC hDC) {
  const Opened o = Open(Fn::ReleaseDC, {I(hWnd), I(hDC)}, hDC, Kind::WindowDc);
  if (o.fails) Refuse(hDC);
  if (o.fails || !o.object) return 0;
  Object* dc = o.object;
  // Windows finds the DC by its handle alone; a wrong window is still a fault.
  Object* w = FindKind(dc->window, Kind::Window);
  if (hWnd != dc->window || !w) CountBadHandle();
  if (w) {
    // A common window DC is reset when it goes back: remember what it held.
    w->penAtRelease = dc->pen;
    w->clipAtRelease = dc->hasClip;
    w->clipRectAtRelease = {static_cast<LONG>(dc->clip.left), static_cast<LONG>(dc->clip.top),
                            static_cast<LONG>(dc->clip.right), static_cast<LONG>(dc->clip.bottom)};
  }
  Forget(hDC);
  --MutableBooks().windowDcsOut;
  return 1;
}

HDC CreateCompatibleDC(HDC hdc) {
  const Opened o = Open(Fn::CreateCompatibleDC, {I(hdc)}, hdc, hdc ? Kind::Dc : Kind::None);
  if (o.fails || (hdc && !o.object)) return nullptr;
  Object* dc = nullptr;
  void* h = NewHandle(Kind::MemoryDc, &dc);
  InitDcAttributes(*dc);
  dc->bitmap = DefaultBitmap();
  ++MutableBooks().memoryDcsAlive;
  return static_cast<HDC>(h);
}

BOOL DeleteDC(HDC hdc) {
  // A DC from GetDC is a bad handle here: it goes back with ReleaseDC.
  const Opened o = Open(Fn::DeleteDC, {I(hdc)}, hdc, Kind::MemoryDc);
  if (o.fails) Refuse(hdc);
  if (o.fails || !o.object) return FALSE;
  Object* dc = o.object;
  if (Object* b = FindKind(dc->bitmap, Kind::Bitmap); b && b->selectedInto == hdc) b->selectedInto = nullptr;
  Forget(hdc);
  --MutableBooks().memoryDcsAlive;
  return TRUE;
}

int SetStretchBltMode(HDC hdc, int mode) {
  const Opened o = Open(Fn::SetStretchBltMode, {I(hdc), mode}, hdc, Kind::Dc);
  // GDI takes BLACKONWHITE (1) to HALFTONE (4).
  if (o.fails || !o.object || mode < BLACKONWHITE || mode > 4) return 0;
  Object* dc = o.object;
  int previous = dc->stretchMode;
  dc->stretchMode = mode;
  return previous;
}

int SelectClipRgn(HDC hdc, HRGN hrgn) {
  const Opened o = Open(Fn::SelectClipRgn, {I(hdc), I(hrgn)}, hdc, Kind::Dc);
  if (o.fails || !o.object) return RGN_ERROR;
  Object* dc = o.object;
  if (!hrgn) {
    dc->hasClip = false;
    return SIMPLEREGION;
  }
  Object* r = FindKind(hrgn, Kind::Region);
  if (!r) {
    CountBadHandle();
    return RGN_ERROR;
  }
  dc->hasClip = true;  // a copy: the region may be deleted at once
  dc->clip = r->region;
  return r->region.Empty() ? NULLREGION : SIMPLEREGION;
}
