// Test windows, client pixels, window text, mouse capture and the cursor.
#include <algorithm>
#include <utility>

#include "platform/standin/internal.h"

namespace standin {
namespace detail {
namespace {

struct Windowing {
  HWND capture = nullptr;
  HCURSOR cursor = nullptr;
};

Windowing& W() {
  static Windowing w;
  return w;
}

HCURSOR SizeAll() { return static_cast<HCURSOR>(SizeAllCursorObject()); }

}  // namespace

void ResetWindowing() {
  W().capture = nullptr;
  W().cursor = static_cast<HCURSOR>(ArrowCursor());
}

void DropCaptureOf(HWND hwnd) {
  if (W().capture == hwnd) W().capture = nullptr;
}

// Changes a client area's size, keeping the pixels where old and new overlap.
void ResizeSurface(Surface& s, int width, int height) {
  Surface next;
  next.Resize(width, height, kPoison);
  next.mono = s.mono;
  const int w = std::min(width, s.width), h = std::min(height, s.height);
  for (int y = 0; y < h; ++y) std::copy(s.Row(y), s.Row(y) + w, next.Row(y));
  s = std::move(next);
}

void SendSize(HWND hwnd) {
  Object* w = FindKind(hwnd, Kind::Window);
  if (!w) return;
  Send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->client.width, w->client.height));
}

}  // namespace detail

using namespace detail;

HWND CreateTestWindow(int clientWidth, int clientHeight, WindowProc proc) {
  Object* w = nullptr;
  void* h = NewHandle(Kind::Window, &w);
  w->client.Resize(std::max(clientWidth, 0), std::max(clientHeight, 0), kPoison);
  w->proc = std::move(proc);
  return static_cast<HWND>(h);
}

void DestroyTestWindow(HWND hwnd) {
  Object* w = FindKind(hwnd, Kind::Window);
  if (!w) return;
  // The window's menu goes with it, as with DestroyWindow.
  HMENU menu = w->menu;
  if (FindKind(menu, Kind::Menu)) DestroyMenuTree(menu);
  DropCaptureOf(hwnd);
  Forget(hwnd);
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Object* w = FindKind(hwnd, Kind::Window);
  if (!w || !w->proc) return 0;
  // A copy: the procedure may replace itself or destroy the window.
  WindowProc proc = w->proc;
  return proc(hwnd, msg, wParam, lParam);
}

void ResizeClient(HWND hwnd, int clientWidth, int clientHeight) {
  Object* w = FindKind(hwnd, Kind::Window);
  if (!w) return;
  ResizeSurface(w->client, std::max(clientWidth, 0), std::max(clientHeight, 0));
  SendSize(hwnd);
}

std::string WindowText(HWND hwnd) {
  Object* w = FindKind(hwnd, Kind::Window);
  return w ? w->text : std::string();
}

HMENU WindowMenu(HWND hwnd) {
  Object* w = FindKind(hwnd, Kind::Window);
  return w ? w->menu : nullptr;
}

HWND CaptureOwner() { return W().capture; }
HCURSOR CurrentCursor() { return W().cursor; }
HCURSOR SizeAllCursor() { return SizeAll(); }

int ClientWidth(HWND hwnd) { return SurfaceOf(hwnd, Kind::Window).width; }
int ClientHeight(HWND hwnd) { return SurfaceOf(hwnd, Kind::Window).height; }
uint32_t ClientPixel(HWND hwnd, int x, int y) { return SurfaceOf(hwnd, Kind::Window).At(x, y, kNoPixel); }

const std::vector<uint32_t>& ClientPixels(HWND hwnd) {
  static const std::vector<uint32_t> none;
  Object* w = FindKind(hwnd, Kind::Window);
  return w ? w->client.pixels : none;
}

void FillClient(HWND hwnd, uint32_t rgb) {
  if (Object* w = FindKind(hwnd, Kind::Window)) std::fill(w->client.pixels.begin(), w->client.pixels.end(), rgb);
}

}  // namespace standin

using namespace standin;
using namespace standin::detail;

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  const Opened o = Open(Fn::GetClientRect, {I(hWnd)}, hWnd, Kind::Window);
  if (o.fails || !o.object || !lpRect) return FALSE;
  *lpRect = {0, 0, o.object->client.width, o.object->client.height};
  LogWritten({0, 0, o.object->client.width, o.object->client.height});
  return TRUE;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  const Opened o = Open(Fn::SetWindowTextA, {I(hWnd)}, hWnd, Kind::Window, lpString);
  if (o.fails || !o.object) return FALSE;
  o.object->text = lpString ? lpString : "";
  return TRUE;
}

// As the reference USER: the previous owner, whoever it is (the caller itself
// included), hears WM_CAPTURECHANGED with the new owner before the call returns.
HWND SetCapture(HWND hWnd) {
  const Opened o = Open(Fn::SetCapture, {I(hWnd)}, hWnd, hWnd ? Kind::Window : Kind::None);
  if (o.fails || (hWnd && !o.object)) return nullptr;
  HWND previous = W().capture;
  W().capture = hWnd;
  if (previous) Send(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return previous;
}

BOOL ReleaseCapture() {
  if (Open(Fn::ReleaseCapture, {}).fails) return FALSE;
  HWND previous = W().capture;
  W().capture = nullptr;
  if (previous) Send(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

// The system's four-way arrow only: no module of ours holds cursors.
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  if (Open(Fn::LoadCursorA, {I(hInstance), static_cast<int64_t>(reinterpret_cast<uintptr_t>(lpCursorName))}).fails)
    return nullptr;
  return !hInstance && lpCursorName == IDC_SIZEALL ? SizeAll() : nullptr;
}

HCURSOR SetCursor(HCURSOR hCursor) {
  const Opened o = Open(Fn::SetCursor, {I(hCursor)}, hCursor, hCursor ? Kind::Cursor : Kind::None);
  if (o.fails || (hCursor && !o.object)) return nullptr;
  return std::exchange(W().cursor, hCursor);
}
