#include "tests/view_model.h"

#include "tests/fake_host.h"
#include "tests/hex.h"

namespace viewmodel {
namespace {

constexpr int kStrip = 8;

bool OnLine(int at, int start, int step, int count) {
  return at >= start && (at - start) % step == 0 && (at - start) / step < count;
}

int TickLength(int frameIndex) { return frameIndex % 10 == 0 ? 8 : 3; }

}  // namespace

uint32_t PixelAt(const Picture& m, int x, int y) {
  if (m.ruler && (x < kStrip || y < kStrip)) {
    if (y < kStrip && x >= kStrip && OnLine(x, m.destX, m.zoom, m.srcWidth + 1) &&
        y < TickLength(m.srcX + (x - m.destX) / m.zoom))
      return kBlack;
    if (x < kStrip && y >= kStrip && OnLine(y, m.destY, m.zoom, m.srcHeight + 1) &&
        x < TickLength(m.srcY + (y - m.destY) / m.zoom))
      return kBlack;
    return kWhite;
  }
  if (m.zoom > 1 && m.gridMode > 0 &&
      (OnLine(x, m.destX, m.zoom, m.srcWidth) || OnLine(y, m.destY, m.zoom, m.srcHeight))) {
    return m.gridMode == 1 ? kBlack : kWhite;
  }
  if (m.zoom > 0) {
    if (x >= m.destX && x < m.destX + m.srcWidth * m.zoom && y >= m.destY && y < m.destY + m.srcHeight * m.zoom) {
      return fakehost::FrameColour(m.srcX + (x - m.destX) / m.zoom, m.srcY + (y - m.destY) / m.zoom);
    }
    return kBackground;
  }
  if (x >= m.destX && x < m.destX + m.destWidth && y >= m.destY && y < m.destY + m.destHeight) {
    const int across = m.srcWidth / m.destWidth;
    const int down = m.srcHeight / m.destHeight;
    return fakehost::FrameColour(m.srcX + (x - m.destX) * across + across - 1, m.srcY + (y - m.destY) * down);
  }
  return kBackground;
}

std::vector<uint32_t> Render(const Picture& p, int width, int height) {
  std::vector<uint32_t> out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.push_back(PixelAt(p, x, y));
  return out;
}

std::string CompareClient(HWND window, const Picture& p) {
  const int w = standin::ClientWidth(window);
  const std::vector<uint32_t> want = Render(p, w, standin::ClientHeight(window));
  const std::vector<uint32_t>& got = standin::ClientPixels(window);
  int wrong = 0;
  std::string first;
  for (size_t i = 0; i < want.size(); ++i) {
    if (want[i] == got[i] || wrong++ != 0) continue;
    first = "first at (" + std::to_string(i % w) + ", " + std::to_string(i / w) + "): expected " + hex::Rgb(want[i]) +
            ", got " + hex::Rgb(got[i]);
  }
  return wrong == 0 ? "" : std::to_string(wrong) + " pixels differ, " + first;
}

int FramePixelsShown(HWND window) {
  int shown = 0;
  for (uint32_t p : standin::ClientPixels(window)) shown += p != kBackground && p != kBlack && p != kWhite;
  return shown;
}

std::string EmptyAtCornersAndCentre(HWND window) {
  const int w = standin::ClientWidth(window), h = standin::ClientHeight(window);
  const int spots[][2] = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {w / 2, h / 2}};
  for (const auto& p : spots) {
    if (standin::ClientPixel(window, p[0], p[1]) != kBackground) {
      return "(" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ") is not the background";
    }
  }
  return "";
}

std::string Title(const std::string& level, bool locked) {
  const std::string times = "\x94\x7B";                               // "倍"
  const std::string lockMark = "[\x8D\xC0\x95\x57\x8C\xC5\x92\xE8]";  // "[座標固定]"
  return "Tavimo - " + level + times + (locked ? " " + lockMark : "  ");
}

std::string LevelText(int level) {
  struct Reducing {
    int level;
    const char* text;
  };
  // clang-format off
  const Reducing kReducing[] = {
      {.level = 0, .text = "2/3"},   {.level = -1, .text = "1/2"},   {.level = -2, .text = "1/3"},
      {.level = -3, .text = "1/4"},  {.level = -4, .text = "1/6"},   {.level = -5, .text = "1/8"},
      {.level = -6, .text = "1/12"}, {.level = -7, .text = "1/16"},  {.level = -8, .text = "1/24"},
      {.level = -9, .text = "1/32"},
  };
  // clang-format on
  if (level > 0) return std::to_string(level);
  for (const Reducing& r : kReducing) {
    if (r.level == level) return r.text;
  }
  return "*";
}

std::string Title(int level, bool locked) { return Title(LevelText(level), locked); }

}  // namespace viewmodel
