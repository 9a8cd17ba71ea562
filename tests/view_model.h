// The one model of what the view shows, worked out from the view's numbers
// alone, and the window titles the tests expect. Painting rules:
// - a level-n view shows frame pixel (fx, fy) as an n by n block whose
//   top-left corner is at (destX + (fx - srcX) * n, destY + (fy - srcY) * n);
//   a reduced view keeps, for each window pixel, the last frame column of its
//   run and the first frame row (GDI's COLORONCOLOR shrink);
// - the ruler is two white strips, 8 pixels wide, along the top and the left;
//   a black tick at each frame column (row) edge beyond pixel 7, 8 long at
//   multiples of 10 and 3 long elsewhere;
// - grid lines lie on the left (top) edge of each shown column (row), outside
//   the strips;
// - everything else is the background colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/standin/standin.h"

namespace viewmodel {

constexpr uint32_t kBackground = kViewBackgroundRgb;
constexpr uint32_t kWhite = 0xFFFFFF;  // ruler strips, white grid
constexpr uint32_t kBlack = 0x000000;  // ticks, black grid

struct Picture {
  int zoom;          // window pixels per frame pixel; 0 for a reduced view
  int destX, destY;  // window position of frame pixel (srcX, srcY)
  int srcX, srcY, srcWidth, srcHeight;
  int destWidth = 0, destHeight = 0;  // reduced view only
  bool ruler = false;
  int gridMode = 0;  // 0 none, 1 black, 2 white
};

uint32_t PixelAt(const Picture& m, int x, int y);
// The whole client area as the model paints it, row-major, top row first.
std::vector<uint32_t> Render(const Picture& p, int width, int height);
// "" when the window's client area is the picture, else how many pixels
// differ and the first one.
std::string CompareClient(HWND window, const Picture& p);
// Client pixels in none of the view's own colours (background, strips,
// ticks, grid): the frame pixels shown.
int FramePixelsShown(HWND window);
// "" when the four corners and the centre of the client show the background,
// as the empty window does, else the first spot that does not.
std::string EmptyAtCornersAndCentre(HWND window);

// The window title for a level's text ("2", "1/3") with the coordinates
// locked or not, as the plug-in's Shift_JIS bytes.
std::string Title(const std::string& level, bool locked = false);
// How the title names a level: the level itself when it magnifies, 2/3 at 0,
// 1/2 down to 1/32 for -1 to -9 (a factor of 1/n shows frames n times
// smaller), "*" below -9.
std::string LevelText(int level);
// Title(LevelText(level), locked).
std::string Title(int level, bool locked = false);

}  // namespace viewmodel
