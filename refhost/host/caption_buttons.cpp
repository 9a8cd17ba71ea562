#include "refhost/host/caption_buttons.h"

#include <cstddef>
#include <utility>

namespace refhost {

std::vector<CaptionButton> CaptionButtons(HWND hwnd, const Pixels& whole) {
  RECT window;
  GetWindowRect(hwnd, &window);
  POINT client = {0, 0};
  ClientToScreen(hwnd, &client);
  const int frame = client.x - window.left;
  const int width = GetSystemMetrics(SM_CXSIZE) - 2;
  const int height = GetSystemMetrics(SM_CYSIZE) - 4;
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  std::vector<CaptionButton> buttons;
  int right = whole.width - frame - 2;
  auto cut = [&](CaptionButtonKind kind) {
    const int left = right - width;
    const int top = frame + 2;
    right = left;
    if (left < 0 || top + height > whole.height) return;
    CaptionButton button = {.kind = kind, .pixels = {.width = width, .height = height, .rgb = {}}};
    for (int y = top; y < top + height; ++y)
      for (int x = left; x < left + width; ++x)
        button.pixels.rgb.push_back(whole.rgb[static_cast<size_t>(y) * whole.width + x]);
    buttons.insert(buttons.begin(), std::move(button));
  };
  if (style & WS_SYSMENU) cut(CaptionButtonKind::Close);
  right -= 2;
  if (style & WS_MAXIMIZEBOX) cut(CaptionButtonKind::Maximize);
  if (style & WS_MINIMIZEBOX) cut(CaptionButtonKind::Minimize);
  return buttons;
}

}  // namespace refhost
