// Renders views of a generated 640 by 360 frame through the plug-in and the
// Win32 stand-in into PNG files, one per view, so the magnifier's pictures can
// be looked at without Windows. Usage: render_view OUTPUT_DIR
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "state/snapshot.h"
#include "state/view_state.h"
#include "tests/fake_host.h"
#include "view/paint.h"

namespace {

struct ViewToRender {
  const char* file;
  int level;
  int centreX, centreY;
  bool anchored;  // centre given as an anchor, as a press in the main window does
  int rulerOn;
  int gridMode;
};

// clang-format off
const ViewToRender kViews[] = {
    {"view-level3.png", 3, 100, 50, false, 1, 1},
    {"view-anchor-origin.png", 3, 0, 0, true, 1, 1},
    {"view-level24.png", 24, 100, 50, false, 1, 2},
    {"view-level1.png", 1, 100, 50, false, 1, 2},
    {"view-level-1.png", -1, 100, 50, false, 1, 1},
    {"view-level-9.png", -9, 320, 180, false, 1, 0},
};
// clang-format on

bool Render(const ViewToRender& v, const std::string& dir) {
  fakehost::Host& host = fakehost::Start();
  EnsureSnapshot(host.table);
  fakehost::SetFrame(640, 360);
  fakehost::Frame();
  fakehost::SetView(
      {.zoomLevel = v.level, .centreX = v.centreX, .centreY = v.centreY, .rulerOn = v.rulerOn, .gridMode = v.gridMode});
  const FramePoint anchor = {v.centreX, v.centreY};
  standin::FillClient(host.window, kPoison);
  PaintView(host.table, host.editHandle, v.anchored ? &anchor : nullptr);

  const int width = standin::ClientWidth(host.window);
  const int height = standin::ClientHeight(host.window);
  const std::vector<uint32_t>& pixels = standin::ClientPixels(host.window);
  std::vector<unsigned char> rgb;
  rgb.reserve(pixels.size() * 3);
  for (uint32_t p : pixels) {
    rgb.push_back(static_cast<unsigned char>(p >> 16));
    rgb.push_back(static_cast<unsigned char>(p >> 8));
    rgb.push_back(static_cast<unsigned char>(p));
  }
  const std::string path = dir + "/" + v.file;
  if (stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) == 0) {
    std::fprintf(stderr, "render_view: cannot write %s\n", path.c_str());
    return false;
  }
  std::printf("%s %dx%d fnv1a64 %016llx\n", path.c_str(), width, height,
              static_cast<unsigned long long>(fakehost::PixelHash(pixels)));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  bool ok = true;
  for (const ViewToRender& v : kViews) ok = Render(v, dir) && ok;
  return ok ? 0 : 1;
}
