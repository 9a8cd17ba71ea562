// The window callback: every message of our window and every host notification.
#include "host/services.h"
#include "host/version.h"
#include "state/snapshot.h"
#include "state/view_state.h"
#include "view/paint.h"
#include "view/zoom.h"
#include "window/window_internal.h"

void SetTitle(HWND window) {
  char titleBuffer[kTitleBufferSize] = TAVIMO_NAME;
  FormatTitle(titleBuffer, viewState.zoomLevel);
  SetWindowTextA(window, titleBuffer);
}

namespace {

void OnInit(const WindowMessage& m) {
  LoadSettings(m.table);
  if (viewState.menuOn != 0) BuildMenuBar(m.window);
  SetTitle(m.window);
}

void OnExit(const WindowMessage& m) {
  ReleaseSnapshot();
  ReleaseCapture();
  StoreSettings(m.table);
}

void OnFileOpen(const WindowMessage& m) {
  if (HostIsFilterWindowVisible(m.table) != 0) EnsureSnapshot(m.table);
}

void OnFileClose(const WindowMessage& m) {
  ReleaseSnapshot();
  PaintView(m.table, m.editHandle, nullptr);
}

// 1 asks the host to show the current frame again, which fills the snapshot.
BOOL OnWindowChange(const WindowMessage& m) {
  if (HostIsFilterWindowVisible(m.table) == 0) {
    ReleaseSnapshot();
    return 0;
  }
  EnsureSnapshot(m.table);
  return 1;
}

// Also for WM_PAINT: PaintView draws through its own DC and the host
// validates the window afterwards.
void OnRepaint(const WindowMessage& m) { PaintView(m.table, m.editHandle, nullptr); }

void OnActivate(const WindowMessage& m) {
  if (LOWORD(m.wParam) != WA_INACTIVE) return;
  viewState.dragging = 0;
  ReleaseCapture();
}

}  // namespace

extern "C" BOOL HOSTAPI FilterWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* editHandle,
                                      FilterTable* table) {
  // Every handler reads the record; a host that passes none gets nothing done.
  if (table == nullptr) return 0;
  const WindowMessage m = {window, wParam, lParam, editHandle, table};
  switch (message) {
    case HostMsgInit: OnInit(m); return 0;
    case HostMsgExit: OnExit(m); return 0;
    case HostMsgFileOpen: OnFileOpen(m); return 0;
    case HostMsgFileClose: OnFileClose(m); return 0;
    case HostMsgWindowChange: return OnWindowChange(m);
    case HostMsgEditChange:
    case WM_SIZE:
    case WM_PAINT: OnRepaint(m); return 0;
    case WM_ACTIVATE: OnActivate(m); return 0;
    case HostMsgMainMouseDown: OnMainMouseDown(m); return 0;
    case HostMsgMainMouseMove: OnMainMouseMove(m); return 0;
    case HostMsgMainMouseUp:
    case HostMsgMainMoveSize:
    case HostMsgMainDoubleClick: OnMainStop(); return 0;
    case WM_LBUTTONDOWN: OnDragStart(m); return 0;
    case WM_MOUSEMOVE: OnDragMove(m); return 0;
    case WM_LBUTTONUP: OnDragEnd(); return 0;
    case WM_LBUTTONDBLCLK: OnZoomIn(m); return 0;
    case WM_RBUTTONUP: OnZoomOut(m); return 0;
    case WM_MBUTTONUP: OnLockToggle(m); return 0;
    case WM_MOUSEWHEEL: OnWheel(m); return 0;
    case WM_COMMAND:
    case HostMsgCommand: OnCommand(m); return 0;
    default: return 0;
  }
}
