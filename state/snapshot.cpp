#include "state/snapshot.h"

#include <algorithm>

#include "host/services.h"
#include "state/view_state.h"
#include "view/paint.h"

namespace {
// Size of the bitmap behind the snapshot; frames are clipped to it.
int snapshotWidth = 0;
int snapshotHeight = 0;
}  // namespace

void CreateSnapshot(FilterTable* table) {
  if (table == nullptr) return;
  HostInfo info = {};
  HostGetHostInfo(table, &info);
  // A host reporting no largest frame still gets a 1x1 bitmap, so the DC and
  // the bitmap exist together.
  int width = info.maxWidth > 0 ? info.maxWidth : 1;
  int height = info.maxHeight > 0 ? info.maxHeight : 1;

  HDC windowDc = GetDC(table->window);
  if (windowDc == nullptr) return;
  viewState.snapshotDc = CreateCompatibleDC(windowDc);
  viewState.snapshotBitmap = CreateCompatibleBitmap(windowDc, width, height);
  ReleaseDC(table->window, windowDc);

  if (viewState.snapshotDc == nullptr || viewState.snapshotBitmap == nullptr) {
    // Out of GDI memory (or a huge largest frame): no half-made snapshot.
    ReleaseSnapshot();
    return;
  }
  // A bitmap left out of the DC would leave frames copied into the DC's 1x1 one.
  if (SelectObject(viewState.snapshotDc, viewState.snapshotBitmap) == nullptr) {
    ReleaseSnapshot();
    return;
  }
  snapshotWidth = width;
  snapshotHeight = height;
}

void EnsureSnapshot(FilterTable* table) {
  if (viewState.snapshotDc == nullptr && viewState.snapshotBitmap == nullptr) CreateSnapshot(table);
}

BOOL ReleaseSnapshot() {
  BOOL result = 0;
  BOOL dcDeleted = TRUE;
  if (viewState.snapshotDc != nullptr) {
    dcDeleted = DeleteDC(viewState.snapshotDc);
    viewState.snapshotDc = nullptr;
  }
  if (viewState.snapshotBitmap != nullptr) {
    // A DC that GDI would not delete still holds the bitmap: deleting a
    // selected bitmap is refused, so both are given up.
    if (dcDeleted != FALSE) result = DeleteObject(viewState.snapshotBitmap);
    viewState.snapshotBitmap = nullptr;
  }
  return result;
}

extern "C" BOOL HOSTAPI FilterProc(FilterTable* table, FrameProcInfo* info) {
  if (table == nullptr || info == nullptr) return 1;
  void* editHandle = info->editHandle;
  BOOL editing = HostIsEditing(table, editHandle);
  if (viewState.snapshotDc == nullptr || editing == 0) return 1;

  const int width = info->width;
  const int height = info->height;
  // frameWidth and frameHeight describe the part of the snapshot holding the
  // frame: a frame larger than the host's reported largest is cut to the bitmap.
  viewState.frameWidth = std::clamp(width, 0, snapshotWidth);
  viewState.frameHeight = std::clamp(height, 0, snapshotHeight);

  const BITMAPINFO header = FrameImageHeader(width, height);

  const void* image = HostGetDisplayImage(table, editHandle);
  // GDI would read a null image or a negative size as garbage; copy only a real frame.
  if (image != nullptr && width > 0 && height > 0) {
    SetDIBitsToDevice(viewState.snapshotDc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), image, &header, DIB_RGB_COLORS);
  }
  PaintView(table, editHandle, nullptr);
  return 1;
}
