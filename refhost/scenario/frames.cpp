#include "refhost/scenario/frames.h"

#include <algorithm>
#include <string>

namespace refhost {

uint32_t Frame::Pixel(int x, int y) const {
  const uint8_t* p =
      dib.data() + static_cast<size_t>(Stride()) * static_cast<size_t>(height - 1 - y) + static_cast<ptrdiff_t>(x) * 3;
  return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

void Frame::SetPixel(int x, int y, uint32_t rgb) {
  uint8_t* p =
      dib.data() + static_cast<size_t>(Stride()) * static_cast<size_t>(height - 1 - y) + static_cast<ptrdiff_t>(x) * 3;
  p[0] = static_cast<uint8_t>(rgb);
  p[1] = static_cast<uint8_t>(rgb >> 8);
  p[2] = static_cast<uint8_t>(rgb >> 16);
}

Frame MakeFrame(int width, int height) {
  Frame f;
  f.width = std::max(width, 0);
  f.height = std::max(height, 0);
  f.dib.assign(static_cast<size_t>(f.Stride()) * static_cast<size_t>(f.height), 0);
  return f;
}

Frame CoordFrame(int width, int height) {
  Frame f = MakeFrame(width, height);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) f.SetPixel(x, y, CoordColour(x, y));
  return f;
}

namespace {

// 3 by 5 digits, one row of three bits per entry, top row first.
constexpr uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void DrawNumber(Frame* f, int x, int y, int value, uint32_t rgb) {
  const std::string text = std::to_string(value);
  for (char c : text) {
    const int digit = c - '0';
    for (int row = 0; row < 5; ++row)
      for (int col = 0; col < 3; ++col)
        if (kDigits[digit][row] >> (2 - col) & 1) {
          const int px = x + col;
          const int py = y + row;
          if (px >= 0 && py >= 0 && px < f->width && py < f->height) f->SetPixel(px, py, rgb);
        }
    x += 4;
  }
}

uint32_t Grey(int v) {
  const uint32_t c = static_cast<uint32_t>(std::clamp(v, 0, 255));
  return c << 16 | c << 8 | c;
}

}  // namespace

Frame TestCard(int width, int height) {
  Frame f = MakeFrame(width, height);
  const int w = f.width;
  const int h = f.height;
  if (w == 0 || h == 0) return f;
  // Six bands from the top: colour bars, 1-pixel checkerboard, 2-pixel
  // checkerboard and single lines, grey ramp, colour ramps, numbered grid.
  const int band = std::max(h / 6, 1);
  static constexpr uint32_t kBars[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};
  for (int y = 0; y < h; ++y) {
    const int b = std::min(y / band, 5);
    for (int x = 0; x < w; ++x) {
      uint32_t c = 0;
      switch (b) {
        case 0: c = kBars[std::min(x * 8 / w, 7)]; break;
        case 1: c = ((x + y) & 1) ? 0xFFFFFF : 0x000000; break;
        case 2:
          if (x < w / 2) c = (((x >> 1) + (y >> 1)) & 1) ? 0xFF0000 : 0x0000FF;
          else c = (x % 4 == 0 || y % 4 == 0) ? 0x000000 : 0xFFFFFF;
          break;
        case 3: c = Grey(w > 1 ? x * 255 / (w - 1) : 0); break;
        case 4: {
          const int v = w > 1 ? x * 255 / (w - 1) : 0;
          const int third = (y - 4 * band) * 3 / std::max(band, 1);
          c = third == 0   ? static_cast<uint32_t>(v) << 16
              : third == 1 ? static_cast<uint32_t>(v) << 8
                           : static_cast<uint32_t>(v);
          break;
        }
        default: c = (x % 10 == 0 || y % 10 == 0) ? 0x808080 : 0xE8E8E8; break;
      }
      f.SetPixel(x, y, c);
    }
  }
  // Grid numbers: frame x along the top of the grid band, frame y down its left.
  const int gridTop = 5 * band;
  for (int x = 0; x < w; x += 50) DrawNumber(&f, x + 2, gridTop + 2, x, 0x000000);
  for (int y = (gridTop / 50 + 1) * 50; y < h; y += 50) DrawNumber(&f, 2, y + 2, y, 0x000000);
  // Corner marks: one pixel each, to tell the frame's edges apart when magnified.
  f.SetPixel(0, 0, 0xFF0000);
  f.SetPixel(w - 1, 0, 0x00FF00);
  f.SetPixel(0, h - 1, 0x0000FF);
  f.SetPixel(w - 1, h - 1, 0xFFFF00);
  return f;
}

}  // namespace refhost
