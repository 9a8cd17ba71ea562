// The colours the tests paint and compare with, defined once for the stand-in,
// the GDI probe (built for the stand-in and for real GDI alike), the reference
// host's frames, the tests and the tools.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Magenta, "never painted": the stand-in's windows start with it and tests fill
// with it before a paint, so a pixel left alone differs from any drawn colour.
constexpr uint32_t kPoison = 0xFF00FF;

// 0xRRGGBB of pixel (x, y) of a GDI source: 12 bits of x over 12 bits of y, so
// every pixel up to 4096 square differs and a shifted or dropped pixel shows.
constexpr uint32_t XyColour(int x, int y) { return static_cast<uint32_t>((x & 0xFFF) << 12 | (y & 0xFFF)); }

// 0xRRGGBB of pixel (x, y) of a frame the host shows (refhost/scenario/frames.h):
// red = x & 255, green = y & 255, blue = the high bits of both, so that every
// pixel of a frame up to 4096 square differs and a shifted or dropped pixel shows.
constexpr uint32_t CoordColour(int x, int y) {
  const uint32_t r = static_cast<uint32_t>(x) & 0xFF;
  const uint32_t g = static_cast<uint32_t>(y) & 0xFF;
  const uint32_t b = ((static_cast<uint32_t>(x) >> 8 & 0xF) << 4) | (static_cast<uint32_t>(y) >> 8 & 0xF);
  return r << 16 | g << 8 | b;
}

// Writes rgb as a DIB stores a pixel: blue, green, red.
inline void StoreBgr(uint8_t* p, uint32_t rgb) {
  p[0] = rgb & 0xFF;
  p[1] = (rgb >> 8) & 0xFF;
  p[2] = (rgb >> 16) & 0xFF;
}

// The bits of a top-down 32-bit DIB whose pixel (x, y) is colour(x, y).
template <typename Colour>
std::vector<uint8_t> Dib32(int width, int height, Colour colour) {
  std::vector<uint8_t> bits(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) StoreBgr(&bits[(static_cast<size_t>(y) * width + x) * 4], colour(x, y));
  return bits;
}
