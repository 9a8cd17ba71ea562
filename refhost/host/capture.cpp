#include "refhost/host/capture.h"

#include <cstdint>

#include "refhost/host/plugin.h"

namespace refhost {

bool CaptureWindowPixels(HWND hwnd, bool whole, Pixels* out) {
  if (hwnd == nullptr || !IsWindowVisible(hwnd)) return false;
  RECT r;
  if (whole) {
    // Have the frame, caption and menu bar drawn before they are read.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    PumpMessages();
    GetWindowRect(hwnd, &r);
    OffsetRect(&r, -r.left, -r.top);
  } else {
    GetClientRect(hwnd, &r);
  }
  const int w = r.right;
  const int h = r.bottom;
  if (w <= 0 || h <= 0) return false;
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;  // top-down
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC windowDc = whole ? GetWindowDC(hwnd) : GetDC(hwnd);
  HDC memDc = CreateCompatibleDC(windowDc);
  HBITMAP dib = CreateDIBSection(windowDc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib != nullptr) {
    HGDIOBJ old = SelectObject(memDc, dib);
    BitBlt(memDc, 0, 0, w, h, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    out->width = w;
    out->height = h;
    const auto* p = static_cast<const uint32_t*>(bits);
    out->rgb.assign(p, p + static_cast<size_t>(w) * h);
    for (uint32_t& v : out->rgb) v &= 0xFFFFFF;
    SelectObject(memDc, old);
    DeleteObject(dib);
  }
  DeleteDC(memDc);
  ReleaseDC(hwnd, windowDc);
  return dib != nullptr;
}

}  // namespace refhost
