// Frames the reference host displays: a test card for a pixel inspector and
// frames whose colours encode their coordinates (images read from files:
// images.h). Platform-neutral: the Win32 host, the native scenario driver and
// the tests' fake host share them.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_api.h"
#include "platform/test_colours.h"

namespace refhost {

// A frame as the host hands it to the plug-in: a 24-bit bottom-up DIB, blue,
// green, red per pixel, each row padded to a multiple of 4 bytes.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> dib;

  int Stride() const { return FrameImageStride(width); }
  // Colour of frame pixel (x, y) (top-left origin) as 0xRRGGBB.
  uint32_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, uint32_t rgb);
};

Frame MakeFrame(int width, int height);

// A frame whose pixel (x, y) is CoordColour(x, y) (platform/test_colours.h).
Frame CoordFrame(int width, int height);

// The test card: colour bars, 1-pixel and 2-pixel checkerboards, fine grey and
// colour gradients, and a grid numbered every 50 pixels, at any size.
Frame TestCard(int width, int height);

}  // namespace refhost
