// The user steering the view: the main window's pointer, drags in our window,
// zoom by wheel and clicks, the coordinate lock and the menu commands.
#include <algorithm>

#include "host/services.h"
#include "state/view_state.h"
#include "view/paint.h"
#include "view/zoom.h"
#include "window/window_internal.h"

namespace {

// Drag movement with no snapshot to fold it into keeps adding up; hold it far
// inside int so endless drags cannot overflow.
constexpr int kPendingLimit = 1 << 30;

void Stop() {
  viewState.dragging = 0;
  viewState.tracking = 0;
}

void Repaint(const WindowMessage& m) {
  if (viewState.snapshotDc != nullptr) PaintView(m.table, m.editHandle, nullptr);
}

int AddPending(int pending, int delta) {
  return static_cast<int>(
      std::clamp<long long>(static_cast<long long>(pending) + delta, -kPendingLimit, kPendingLimit));
}

// SetCursor(nullptr) would hide the pointer: without the arrows it stays as it is.
void SetDragCursor() {
  HCURSOR arrows = LoadCursorA(nullptr, IDC_SIZEALL);
  if (arrows != nullptr) SetCursor(arrows);
}

bool InsideFrame(int x, int y) { return x >= 0 && x < viewState.frameWidth && y >= 0 && y < viewState.frameHeight; }

void Anchor(const WindowMessage& m, int x, int y) {
  if (viewState.snapshotDc == nullptr) return;
  const FramePoint anchor = {x, y};
  PaintView(m.table, m.editHandle, &anchor);
}

// The menu's commands. Without a menu bar they change nothing.
void ToggleWheelReverse(HMENU menu) {
  if (menu == nullptr) return;
  viewState.wheelReversed = viewState.wheelReversed == 0 ? 1 : 0;
  SetMenuCheck(menu, CmdWheelReverse, viewState.wheelReversed != 0);
}

void ToggleRuler(HMENU menu) {
  if (menu == nullptr) return;
  viewState.rulerOn = viewState.rulerOn == 0 ? 1 : 0;
  SetMenuCheck(menu, CmdRuler, viewState.rulerOn != 0);
}

void ChooseGrid(HMENU menu, UINT id) {
  if (menu == nullptr) return;
  viewState.gridMode = static_cast<int>(id - CmdGridNone);
  // The chosen item first, then the other two in menu order.
  SetMenuCheck(menu, id, 1);
  for (UINT other = CmdGridNone; other <= CmdGridWhite; ++other) {
    if (other != id) SetMenuCheck(menu, other, 0);
  }
}

}  // namespace

void OnMainMouseDown(const WindowMessage& m) {
  if (viewState.coordLocked != 0) {
    Stop();
    return;
  }
  viewState.pendingDx = 0;
  viewState.pendingDy = 0;
  const int x = LowSigned(m.lParam);
  const int y = HighSigned(m.lParam);
  if (!InsideFrame(x, y)) {
    Stop();
    return;
  }
  Anchor(m, x, y);
  viewState.tracking = 1;
  viewState.dragging = 0;
}

void OnMainMouseMove(const WindowMessage& m) {
  if (viewState.tracking == 0 || viewState.coordLocked != 0 || viewState.dragging != 0) {
    Stop();
    return;
  }
  viewState.pendingDx = 0;
  viewState.pendingDy = 0;
  // No bounds test: while tracking, a point off the frame still recentres.
  Anchor(m, LowSigned(m.lParam), HighSigned(m.lParam));
}

void OnMainStop() { Stop(); }

void OnDragStart(const WindowMessage& m) {
  if (viewState.coordLocked != 0) return;
  viewState.dragging = 1;
  viewState.tracking = 0;
  viewState.lastMouseX = LowSigned(m.lParam);
  viewState.lastMouseY = HighSigned(m.lParam);
  SetDragCursor();
  // May deliver WM_CAPTURECHANGED to a window losing the capture first.
  SetCapture(m.window);
}

void OnDragMove(const WindowMessage& m) {
  if (viewState.coordLocked != 0 || viewState.dragging == 0) {
    Stop();
    return;
  }
  const int x = LowSigned(m.lParam);
  const int y = HighSigned(m.lParam);
  viewState.pendingDx = AddPending(viewState.pendingDx, x - viewState.lastMouseX);
  viewState.lastMouseX = x;
  viewState.pendingDy = AddPending(viewState.pendingDy, y - viewState.lastMouseY);
  viewState.lastMouseY = y;
  Repaint(m);
  SetDragCursor();
}

void OnDragEnd() {
  Stop();
  ReleaseCapture();
}

void OnZoomIn(const WindowMessage& m) {
  if (viewState.zoomLevel < kMaxZoomLevel) {
    ++viewState.zoomLevel;
    SetTitle(m.window);
    Repaint(m);
  }
  Stop();
}

void OnZoomOut(const WindowMessage& m) {
  if (viewState.zoomLevel > kMinZoomLevel) {
    --viewState.zoomLevel;
    SetTitle(m.window);
    Repaint(m);
  }
  Stop();
}

void OnWheel(const WindowMessage& m) {
  const int delta = HighSigned(static_cast<LPARAM>(m.wParam));
  if (delta == 0) return;
  const bool forward = delta > 0;
  if (forward != (viewState.wheelReversed != 0)) {
    OnZoomIn(m);
  } else {
    OnZoomOut(m);
  }
}

void OnLockToggle(const WindowMessage& m) {
  viewState.coordLocked = viewState.coordLocked == 0 ? 1 : 0;
  // A drag's capture stays until the left button comes up.
  if (viewState.coordLocked != 0) Stop();
  SetTitle(m.window);
}

// The wheel's direction changes no pixel; ruler and grid repaint, even
// without a menu bar.
void OnCommand(const WindowMessage& m) {
  const UINT id = LOWORD(m.wParam);
  HMENU menu = GetMenu(m.window);
  switch (id) {
    case CmdWheelReverse: ToggleWheelReverse(menu); return;
    case CmdRuler: ToggleRuler(menu); break;
    case CmdGridNone:
    case CmdGridBlack:
    case CmdGridWhite: ChooseGrid(menu, id); break;
    default: return;
  }
  PaintView(m.table, m.editHandle, nullptr);
}
