// The software Win32 stand-in: the pixels, results, messages and books that the
// plug-in's tests rely on. Surfaces start poisoned and sources use colours that
// encode their coordinates, so a shifted or dropped pixel shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "platform/standin/standin.h"
#include "tests/hex.h"

namespace {

HGDIOBJ Stock(int i) { return GetStockObject(i); }

// Selects clip as the DC's clip region; a clip whose right is 0 is none.
void Clip(HDC dc, const RECT& clip) {
  if (clip.right == 0) return;
  HRGN rgn = CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom);
  SelectClipRgn(dc, rgn);
  DeleteObject(rgn);
}

// A memory DC holding a width-by-height bitmap whose pixel (x, y) is XyColour(x, y),
// written through SetDIBitsToDevice with a top-down 32-bit DIB.
struct Source {
  HDC dc;
  HBITMAP bitmap;
};
Source MakeSource(HWND window, int width, int height) {
  HDC wdc = GetDC(window);
  Source s{CreateCompatibleDC(wdc), CreateCompatibleBitmap(wdc, width, height)};
  ReleaseDC(window, wdc);
  SelectObject(s.dc, s.bitmap);
  BITMAPINFO bmi{};
  bmi.bmiHeader = {40, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  SetDIBitsToDevice(s.dc, 0, 0, width, height, 0, 0, 0, height, Dib32(width, height, XyColour).data(), &bmi,
                    DIB_RGB_COLORS);
  return s;
}

// First differing pixel as "(x, y): expected e, got g", or "" when equal.
std::string FirstDifference(HWND w, const std::vector<uint32_t>& expected) {
  const std::vector<uint32_t>& got = standin::ClientPixels(w);
  const int width = standin::ClientWidth(w);
  for (size_t i = 0; i < expected.size(); ++i)
    if (got[i] != expected[i])
      return "(" + std::to_string(i % width) + ", " + std::to_string(i / width) + "): expected " +
             hex::Rgb(expected[i]) + ", got " + hex::Rgb(got[i]);
  return "";
}

class Standin : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
};

// ---- lines and fills --------------------------------------------------------

TEST_F(Standin, LinesLeaveTheirEndPointAndStayInsideTheClip) {
  struct Row {
    const char* name;
    POINT from, to;
    int pen = BLACK_PEN;
    RECT clip = {};  // right == 0: none
    std::vector<POINT> painted = {};
    std::vector<POINT> clean = {};
    size_t inked;  // pixels drawn in all
  };
  // clang-format off
  const Row rows[] = {
      {.name = "right", .from = {2, 3}, .to = {6, 3}, .painted = {{2, 3}, {5, 3}}, .clean = {{6, 3}, {1, 3}}, .inked = 4},
      {.name = "left keeps the start", .from = {6, 3}, .to = {2, 3}, .pen = WHITE_PEN, .painted = {{6, 3}, {3, 3}},
       .clean = {{2, 3}, {7, 3}}, .inked = 4},
      {.name = "down", .from = {4, 0}, .to = {4, 8}, .painted = {{4, 0}, {4, 7}}, .clean = {{4, 8}}, .inked = 8},
      {.name = "up keeps the start", .from = {4, 8}, .to = {4, 1}, .painted = {{4, 8}, {4, 2}}, .clean = {{4, 1}}, .inked = 7},
      {.name = "zero length", .from = {5, 5}, .to = {5, 5}, .clean = {{5, 5}}, .inked = 0},
      {.name = "off the surface", .from = {-50, 9}, .to = {50, 9}, .painted = {{0, 9}, {9, 9}}, .inked = 10},
      {.name = "clip keeps the strips clean", .from = {0, 1}, .to = {10, 1}, .clip = {3, 0, 10, 10},
       .painted = {{3, 1}, {9, 1}}, .clean = {{0, 1}, {2, 1}}, .inked = 7},
      {.name = "diagonal", .from = {0, 0}, .to = {6, 3}, .painted = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}},
       .clean = {{6, 3}, {1, 1}}, .inked = 6},
  };
  // clang-format on
  for (const Row& row : rows) {
    standin::Reset();
    HWND w = standin::CreateTestWindow(10, 10);
    HDC dc = GetDC(w);
    Clip(dc, row.clip);
    SelectObject(dc, Stock(row.pen));
    MoveToEx(dc, row.from.x, row.from.y, nullptr);
    LineTo(dc, row.to.x, row.to.y);
    ReleaseDC(w, dc);
    const uint32_t ink = row.pen == WHITE_PEN ? 0xFFFFFF : 0x000000;
    for (POINT p : row.painted)
      EXPECT_EQ(ink, standin::ClientPixel(w, p.x, p.y)) << row.name << " at " << p.x << "," << p.y;
    for (POINT p : row.clean)
      EXPECT_EQ(kPoison, standin::ClientPixel(w, p.x, p.y)) << row.name << " at " << p.x << "," << p.y;
    size_t inked = 0;
    for (uint32_t px : standin::ClientPixels(w)) inked += px == ink;
    EXPECT_EQ(row.inked, inked) << row.name << ": pixels drawn";
  }
}

TEST_F(Standin, DiagonalsFollowTheReferenceBresenham) {
  // The reference walk itself: err starts at 2 * minor - major; the minor axis
  // steps when err + bias > 0, bias 1 in octants 3, 5, 6 and 8.
  const POINT ends[] = {{7, 2}, {2, 7}, {-7, 2}, {-2, 7}, {-7, -2}, {-2, -7}, {7, -2}, {2, -7}, {5, 5}, {-5, 5}};
  for (POINT d : ends) {
    standin::Reset();
    HWND w = standin::CreateTestWindow(20, 20);
    HDC dc = GetDC(w);
    MoveToEx(dc, 10, 10, nullptr);
    LineTo(dc, 10 + d.x, 10 + d.y);
    ReleaseDC(w, dc);
    const bool xMajor = std::abs(d.x) > std::abs(d.y);
    const int octant = d.y > 0 ? (d.x > 0 ? (d.x > d.y ? 1 : 2) : (-d.x > d.y ? 4 : 3))
                               : (d.x < 0 ? (-d.x > -d.y ? 5 : 6) : (d.x > -d.y ? 8 : 7));
    const int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    const int major = xMajor ? std::abs(d.x) : std::abs(d.y), minor = xMajor ? std::abs(d.y) : std::abs(d.x);
    std::vector<uint32_t> expected(400, kPoison);
    int x = 10, y = 10, err = 2 * minor - major;
    for (int i = 0; i < major; ++i) {
      expected[y * 20 + x] = 0;
      if (err + bias > 0) {
        (xMajor ? y : x) += (xMajor ? d.y : d.x) > 0 ? 1 : -1;
        err += 2 * minor - 2 * major;
      } else {
        err += 2 * minor;
      }
      (xMajor ? x : y) += (xMajor ? d.x : d.y) > 0 ? 1 : -1;
    }
    EXPECT_EQ("", FirstDifference(w, expected)) << "line to +" << d.x << ",+" << d.y;
  }
}

TEST_F(Standin, FillRectCoversLeftToRightMinusOne) {
  struct Row {
    const char* name;
    RECT rect;
    uintptr_t brush;  // a stock index below 100, else the value itself
    RECT clip = {};
    RECT filled = {};  // empty: nothing
    uint32_t rgb = 0;
    int badHandles = 0;
  };
  const uintptr_t kSys = 100 + COLOR_ACTIVEBORDER + 1;
  // clang-format off
  const Row rows[] = {
      {.name = "plain", .rect = {1, 2, 4, 5}, .brush = WHITE_BRUSH, .filled = {1, 2, 4, 5}, .rgb = 0xFFFFFF},
      {.name = "system colour 11", .rect = {0, 0, 3, 3}, .brush = kSys, .filled = {0, 0, 3, 3},
       .rgb = kViewBackgroundRgb},
      {.name = "inverted counts back from the start", .rect = {5, 5, 2, 3}, .brush = BLACK_BRUSH, .filled = {3, 4, 6, 6}},
      {.name = "clipped", .rect = {0, 0, 10, 10}, .brush = BLACK_BRUSH, .clip = {8, 8, 10, 10}, .filled = {8, 8, 10, 10}},
      {.name = "beyond the surface", .rect = {-5, -5, 100, 3}, .brush = WHITE_BRUSH, .filled = {0, 0, 10, 3},
       .rgb = 0xFFFFFF},
      {.name = "other system colour is not modelled", .rect = {0, 0, 10, 10}, .brush = 100 + COLOR_ACTIVEBORDER,
       .badHandles = 1},
  };
  // clang-format on
  for (const Row& row : rows) {
    standin::Reset();
    HWND w = standin::CreateTestWindow(10, 10);
    HDC dc = GetDC(w);
    Clip(dc, row.clip);
    HBRUSH brush = row.brush >= 100 ? reinterpret_cast<HBRUSH>(row.brush - 100)
                                    : static_cast<HBRUSH>(Stock(static_cast<int>(row.brush)));
    FillRect(dc, &row.rect, brush);
    ReleaseDC(w, dc);
    std::vector<uint32_t> expected(100, kPoison);
    for (int y = row.filled.top; y < row.filled.bottom; ++y)
      for (int x = row.filled.left; x < row.filled.right; ++x) expected[y * 10 + x] = row.rgb;
    EXPECT_EQ("", FirstDifference(w, expected)) << row.name;
    EXPECT_EQ(row.badHandles, standin::GetBooks().badHandleCalls) << row.name;
  }
}

// ---- StretchBlt ---------------------------------------------------------------

// The reference engine's stretch, transcribed loop for loop for an unclipped
// blit: the long axis is walked with err = 3 * short - 2 * long; a reduced row
// keeps its last source column, a reduced column its first source row. Gives
// the source pixel of every destination pixel.
std::vector<POINT> ReferenceStretch(int dw, int dh, int sx, int sy, int sw, int sh) {
  auto rowOf = [&](int srcRow) {
    std::vector<POINT> out(dw);
    if (sw > dw) {
      int err = 3 * dw - 2 * sw, d = 0;
      for (int i = 0; i < sw; ++i) {
        out[d] = {sx + i, srcRow};
        if (err > 0) ++d, err += 2 * dw - 2 * sw;
        else err += 2 * dw;
      }
    } else {
      int err = 3 * sw - 2 * dw, s = 0;
      for (int j = 0; j < dw; ++j) {
        out[j] = {sx + s, srcRow};
        if (err > 0) ++s, err += 2 * sw - 2 * dw;
        else err += 2 * sw;
      }
    }
    return out;
  };
  std::vector<POINT> image;
  if (sh > dh) {
    int err = 3 * dh - 2 * sh, merged = 0;
    for (int i = 0; i < sh; ++i) {
      if (!merged) {
        std::vector<POINT> r = rowOf(sy + i);
        image.insert(image.end(), r.begin(), r.end());
      }
      ++merged;
      if (err > 0) merged = 0, err += 2 * dh - 2 * sh;
      else err += 2 * dh;
    }
  } else {
    int err = 3 * sh - 2 * dh, s = 0;
    for (int j = 0; j < dh; ++j) {
      std::vector<POINT> r = rowOf(sy + s);
      image.insert(image.end(), r.begin(), r.end());
      if (err > 0) ++s, err += 2 * sh - 2 * dh;
      else err += 2 * sh;
    }
  }
  return image;
}

struct Blit {
  const char* name;
  int client;                // square client area
  RECT dst;                  // x, y, width, height
  RECT src;                  // x, y, width, height
  int srcW = 64, srcH = 36;  // source bitmap
  RECT clip = {};            // right == 0: none
};

// Unclipped blits, then destinations off the surface or clipped and sources
// reaching past their bitmap: visible pixels are the ones the whole blit would
// give; pixels whose source lies outside the bitmap stay untouched, as in the
// reference engine.
TEST_F(Standin, StretchBltSamplesLikeTheReferenceEngine) {
  // clang-format off
  const Blit rows[] = {
      {.name = "magnify 3x", .client = 30, .dst = {0, 0, 30, 30}, .src = {2, 1, 10, 10}, .srcW = 20, .srcH = 20},
      {.name = "magnify 24x", .client = 48, .dst = {0, 0, 48, 48}, .src = {5, 5, 2, 2}, .srcW = 20, .srcH = 20},
      {.name = "halve", .client = 40, .dst = {0, 0, 32, 18}, .src = {0, 0, 64, 36}},
      {.name = "reduce 3:1", .client = 40, .dst = {0, 0, 21, 12}, .src = {0, 0, 64, 36}},
      {.name = "reduce 7 to 3", .client = 10, .dst = {0, 0, 3, 3}, .src = {1, 1, 7, 7}, .srcW = 10, .srcH = 10},
      {.name = "reduce 100 to 33", .client = 40, .dst = {0, 0, 33, 7}, .src = {0, 0, 100, 20}, .srcW = 100, .srcH = 20},
      {.name = "odd magnify 5 to 13", .client = 20, .dst = {0, 0, 13, 13}, .src = {0, 0, 5, 5}, .srcW = 10, .srcH = 10},
      {.name = "magnify across, reduce down", .client = 40, .dst = {0, 0, 30, 5}, .src = {0, 0, 10, 30}, .srcW = 10,
       .srcH = 30},
      {.name = "reduce, left and top off the surface", .client = 24, .dst = {-7, -5, 30, 20}, .src = {0, 0, 64, 36}},
      {.name = "reduce under a clip region", .client = 24, .dst = {0, 0, 21, 12}, .src = {0, 0, 64, 36},
       .clip = {4, 3, 17, 10}},
      {.name = "magnify, right edge beyond", .client = 24, .dst = {10, 10, 39, 39}, .src = {0, 0, 13, 13}},
      {.name = "source beyond the bitmap", .client = 24, .dst = {0, 0, 30, 30}, .src = {-3, -2, 20, 15}},
      {.name = "reduced source beyond the bitmap", .client = 24, .dst = {0, 0, 20, 20}, .src = {50, 20, 40, 40}},
  };
  // clang-format on
  for (const Blit& b : rows) {
    standin::Reset();
    HWND w = standin::CreateTestWindow(b.client, b.client);
    Source s = MakeSource(w, b.srcW, b.srcH);
    HDC dc = GetDC(w);
    SetStretchBltMode(dc, COLORONCOLOR);
    Clip(dc, b.clip);
    EXPECT_TRUE(StretchBlt(dc, b.dst.left, b.dst.top, b.dst.right, b.dst.bottom, s.dc, b.src.left, b.src.top,
                           b.src.right, b.src.bottom, SRCCOPY))
        << b.name;
    ReleaseDC(w, dc);
    const std::vector<POINT> ref =
        ReferenceStretch(b.dst.right, b.dst.bottom, b.src.left, b.src.top, b.src.right, b.src.bottom);
    std::vector<uint32_t> expected(static_cast<size_t>(b.client) * b.client, kPoison);
    for (int y = 0; y < b.client; ++y)
      for (int x = 0; x < b.client; ++x) {
        const int rx = x - b.dst.left, ry = y - b.dst.top;
        if (rx < 0 || ry < 0 || rx >= b.dst.right || ry >= b.dst.bottom) continue;
        if (b.clip.right && (x < b.clip.left || x >= b.clip.right || y < b.clip.top || y >= b.clip.bottom)) continue;
        const POINT p = ref[ry * b.dst.right + rx];
        if (p.x >= 0 && p.y >= 0 && p.x < b.srcW && p.y < b.srcH) expected[y * b.client + x] = XyColour(p.x, p.y);
      }
    EXPECT_EQ("", FirstDifference(w, expected)) << b.name;
  }
}

TEST_F(Standin, StretchBltMagnifiesIntoWholeBlocks) {
  HWND w = standin::CreateTestWindow(40, 40);
  Source s = MakeSource(w, 20, 20);
  HDC dc = GetDC(w);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, -2, -2, 45, 45, s.dc, 3, 4, 15, 15, SRCCOPY);  // 3x, starting two pixels off the surface
  ReleaseDC(w, dc);
  std::vector<uint32_t> expected(1600);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) expected[y * 40 + x] = XyColour(3 + (x + 2) / 3, 4 + (y + 2) / 3);
  EXPECT_EQ("", FirstDifference(w, expected));
}

TEST_F(Standin, StretchBltEmptyOrDefaultModeCases) {
  HWND w = standin::CreateTestWindow(8, 8);
  Source s = MakeSource(w, 8, 8);
  HDC dc = GetDC(w);
  EXPECT_EQ(BLACKONWHITE, SetStretchBltMode(dc, COLORONCOLOR)) << "a window DC starts with BLACKONWHITE";
  EXPECT_EQ(COLORONCOLOR, SetStretchBltMode(dc, COLORONCOLOR));
  EXPECT_EQ(0, SetStretchBltMode(dc, 0)) << "an unknown mode";
  EXPECT_TRUE(StretchBlt(dc, 0, 0, 0, 5, s.dc, 0, 0, 4, 4, SRCCOPY)) << "zero width draws nothing and succeeds";
  EXPECT_TRUE(StretchBlt(dc, 0, 0, 5, 5, s.dc, 0, 0, 0, 4, SRCCOPY)) << "zero source width";
  EXPECT_EQ(kPoison, standin::ClientPixel(w, 0, 0));
  // BLACKONWHITE ANDs the pixels a reduction merges.
  SetStretchBltMode(dc, BLACKONWHITE);
  StretchBlt(dc, 0, 0, 1, 1, s.dc, 0, 0, 2, 1, SRCCOPY);  // one-pixel destination takes one source column less
  EXPECT_EQ(XyColour(0, 0), standin::ClientPixel(w, 0, 0));
  StretchBlt(dc, 0, 0, 2, 1, s.dc, 1, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(XyColour(1, 0) & XyColour(2, 0), standin::ClientPixel(w, 0, 0));
  ReleaseDC(w, dc);
}

// ---- SetDIBitsToDevice ----------------------------------------------------------

TEST_F(Standin, SetDIBitsToDeviceReadsPaddedRowsBottomUp) {
  struct Row {
    const char* name;
    int dibW, dibH;  // negative dibH: top-down
    POINT dest = {0, 0};
    int w, h, xSrc = 0, ySrc = 0;
    UINT startScan = 0, lines;
    // A header GDI refuses (nothing drawn, 0 returned) or takes as it is.
    void (*header)(BITMAPINFOHEADER&) = [](BITMAPINFOHEADER&) {};
    UINT colourUse = DIB_RGB_COLORS;
    bool refused = false;
  };
  // clang-format off
  const Row rows[] = {
      {.name = "width 5 needs one pad byte a row", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4},
      {.name = "top-down", .dibW = 5, .dibH = -4, .dest = {1, 2}, .w = 5, .h = 4, .lines = 4},
      {.name = "source rectangle from the lower left", .dibW = 7, .dibH = 6, .w = 3, .h = 2, .xSrc = 2, .ySrc = 1,
       .lines = 6},
      {.name = "a band of scan lines", .dibW = 6, .dibH = 8, .w = 6, .h = 8, .startScan = 2, .lines = 3},
      {.name = "partly off the surface", .dibW = 9, .dibH = 9, .dest = {-3, 5}, .w = 9, .h = 9, .lines = 9},
      {.name = "more lines than a top-down DIB", .dibW = 5, .dibH = -4, .w = 5, .h = 4, .lines = 9, .refused = true},
      {.name = "planes 0", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4,
       .header = [](BITMAPINFOHEADER& h) { h.biPlanes = 0; }, .refused = true},
      {.name = "planes 2 are taken", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4,
       .header = [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }},
      {.name = "a header under 40 bytes", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4,
       .header = [](BITMAPINFOHEADER& h) { h.biSize = 39; }, .refused = true},
      {.name = "48 bits a pixel", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4,
       .header = [](BITMAPINFOHEADER& h) { h.biBitCount = 48; }, .refused = true},
      {.name = "24 bits with bit fields", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4,
       .header = [](BITMAPINFOHEADER& h) { h.biCompression = 3; }, .refused = true},  // BI_BITFIELDS
      {.name = "width 0", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4,
       .header = [](BITMAPINFOHEADER& h) { h.biWidth = 0; }, .refused = true},
      {.name = "a row past 2^32 bits", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4,
       .header = [](BITMAPINFOHEADER& h) { h.biWidth = 0x10000000; }, .refused = true},
      {.name = "an image past 2^32 bytes", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4,
       .header = [](BITMAPINFOHEADER& h) { h.biHeight = 0x7FFFFFFF; }, .refused = true},
      {.name = "palette indices are taken", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4, .colourUse = 2},
      {.name = "colour use 3", .dibW = 5, .dibH = 4, .w = 5, .h = 4, .lines = 4, .colourUse = 3, .refused = true},
  };
  // clang-format on
  for (const Row& row : rows) {
    standin::Reset();
    HWND w = standin::CreateTestWindow(10, 10);
    const int height = std::abs(row.dibH);
    const int stride = (row.dibW * 3 + 3) / 4 * 4;
    // Only the rows handed over exist: any read outside them is a sanitizer error.
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * row.lines);
    auto dibRow = [&](int memoryRow) { return row.dibH > 0 ? static_cast<int>(row.startScan) + memoryRow : memoryRow; };
    // Each pixel: its column and its row counted from the DIB's first stored row.
    for (UINT m = 0; m < row.lines; ++m)
      for (int x = 0; x < row.dibW; ++x) StoreBgr(&bits[m * stride + x * 3], XyColour(x, dibRow(static_cast<int>(m))));
    BITMAPINFO bmi{};
    bmi.bmiHeader = {40, row.dibW, row.dibH, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    row.header(bmi.bmiHeader);
    HDC dc = GetDC(w);
    const int drawn = SetDIBitsToDevice(dc, row.dest.x, row.dest.y, row.w, row.h, row.xSrc, row.ySrc, row.startScan,
                                        row.lines, bits.data(), &bmi, row.colourUse);
    ReleaseDC(w, dc);
    if (row.refused) {
      EXPECT_EQ(0, drawn) << row.name;
      EXPECT_EQ("", FirstDifference(w, std::vector<uint32_t>(100, kPoison))) << row.name;
      continue;
    }
    // Expected: destination (dest + (i, j)) shows DIB column xSrc + i of the row
    // that lies j rows below the rectangle's top, in DIB terms.
    std::vector<uint32_t> expected(100, kPoison);
    for (int j = 0; j < row.h; ++j)
      for (int i = 0; i < row.w; ++i) {
        const int x = row.dest.x + i, y = row.dest.y + j;
        if (x < 0 || y < 0 || x >= 10 || y >= 10) continue;
        // Bottom-up: row index from the bottom; top-down: from the top.
        const int dibRowIndex = row.dibH > 0 ? row.ySrc + row.h - 1 - j : row.ySrc + j;
        if (dibRowIndex < static_cast<int>(row.startScan) ||
            dibRowIndex >= static_cast<int>(row.startScan + row.lines) || dibRowIndex >= height)
          continue;
        expected[y * 10 + x] = XyColour(row.xSrc + i, dibRowIndex);
      }
    EXPECT_EQ("", FirstDifference(w, expected)) << row.name;
  }
}

// ---- objects and books ---------------------------------------------------------

TEST_F(Standin, SelectObjectReturnsWhatItReplaced) {
  HWND w = standin::CreateTestWindow(4, 4);
  HDC wdc = GetDC(w);
  HDC mem = CreateCompatibleDC(wdc);
  HBITMAP a = CreateCompatibleBitmap(wdc, 3, 2), b = CreateCompatibleBitmap(wdc, 5, 5);
  EXPECT_EQ(Stock(BLACK_PEN), SelectObject(wdc, Stock(WHITE_PEN))) << "window DC pen";
  EXPECT_EQ(Stock(WHITE_BRUSH), SelectObject(wdc, Stock(BLACK_BRUSH))) << "brush";
  HGDIOBJ defaultBitmap = SelectObject(mem, a);
  EXPECT_NE(nullptr, defaultBitmap) << "a new memory DC holds a 1x1 bitmap";
  EXPECT_EQ(a, SelectObject(mem, b));
  EXPECT_EQ(nullptr, SelectObject(wdc, a)) << "bitmaps go into memory DCs only";
  HDC mem2 = CreateCompatibleDC(nullptr);
  EXPECT_EQ(nullptr, SelectObject(mem2, b)) << "b is in mem already";
  HRGN rgn = CreateRectRgn(3, 3, 1, 1);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SIMPLEREGION), SelectObject(wdc, rgn)) << "region: its type";
  ReleaseDC(w, wdc);
  RECT clip{};
  EXPECT_EQ(Stock(WHITE_PEN), standin::PenAtLastRelease(w));
  ASSERT_TRUE(standin::ClipAtLastRelease(w, &clip));
  EXPECT_EQ(1, clip.left) << "normalised region";
  EXPECT_EQ(3, clip.right);
  HDC again = GetDC(w);
  ReleaseDC(w, again);
  EXPECT_EQ(Stock(BLACK_PEN), standin::PenAtLastRelease(w)) << "a released window DC comes back reset";
  EXPECT_FALSE(standin::ClipAtLastRelease(w, &clip));
  EXPECT_EQ(3, standin::BitmapWidth(a));
  EXPECT_EQ(0x000000u, standin::BitmapPixel(a, 2, 1)) << "new bitmaps are black";
  EXPECT_EQ(b, SelectObject(mem, defaultBitmap));
  EXPECT_TRUE(DeleteDC(mem) && DeleteDC(mem2) && DeleteObject(a) && DeleteObject(b) && DeleteObject(rgn));
  const standin::Books books = standin::GetBooks();
  EXPECT_EQ(0, books.windowDcsOut + books.memoryDcsAlive + books.bitmapsAlive + books.regionsAlive);
  EXPECT_EQ(0, books.badHandleCalls + books.stockDeletes + books.selectedDeletes);
}

TEST_F(Standin, BitmapFromAFreshMemoryDcIsBlackAndWhite) {
  // The classic slip: a bitmap "compatible" with a memory DC that still holds
  // its 1-bit default bitmap is 1-bit itself, on Windows and here.
  HWND w = standin::CreateTestWindow(4, 1);
  HDC wdc = GetDC(w);
  HDC mem = CreateCompatibleDC(wdc);
  HBITMAP mono = CreateCompatibleBitmap(mem, 4, 1);
  SelectObject(mem, mono);
  const uint8_t bits[12] = {0x10, 0x10, 0x10, 0xF0, 0xF0, 0xF0, 0x7F, 0x7F, 0x7F, 0x80, 0x80, 0x80};
  BITMAPINFO bmi{};
  bmi.bmiHeader = {40, 4, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  SetDIBitsToDevice(mem, 0, 0, 4, 1, 0, 0, 0, 1, bits, &bmi, DIB_RGB_COLORS);
  const uint32_t expected[4] = {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF};  // the nearer of black and white
  for (int x = 0; x < 4; ++x) EXPECT_EQ(expected[x], standin::BitmapPixel(mono, x, 0)) << "pixel " << x;
  standin::FillClient(w, 0x123456);
  StretchBlt(wdc, 0, 0, 4, 1, mem, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(0xFFFFFFu, standin::ClientPixel(w, 1, 0)) << "black and white stay as they are on the way out";
  HBITMAP colour = CreateCompatibleBitmap(wdc, 4, 1);
  SelectObject(mem, colour);
  SetDIBitsToDevice(mem, 0, 0, 4, 1, 0, 0, 0, 1, bits, &bmi, DIB_RGB_COLORS);
  EXPECT_EQ(0x7F7F7Fu, standin::BitmapPixel(colour, 2, 0)) << "a window DC's bitmap keeps colour";
  ReleaseDC(w, wdc);
}

TEST_F(Standin, BooksCountEveryFault) {
  HWND w = standin::CreateTestWindow(4, 4);
  HDC wdc = GetDC(w);
  HDC wdc2 = GetDC(w);
  EXPECT_EQ(2, standin::GetBooks().windowDcsOut) << "two GetDC calls, two DCs out";
  HDC mem = CreateCompatibleDC(wdc);
  HBITMAP bmp = CreateCompatibleBitmap(wdc, 8, 8);
  SelectObject(mem, bmp);
  EXPECT_FALSE(DeleteObject(bmp)) << "still selected";
  EXPECT_TRUE(DeleteObject(Stock(BLACK_PEN))) << "Windows ignores deleting a stock object";
  ReleaseDC(w, wdc2);
  const RECT one{0, 0, 1, 1};
  EXPECT_EQ(0, FillRect(wdc2, &one, static_cast<HBRUSH>(Stock(WHITE_BRUSH)))) << "released DC";
  const standin::Books b = standin::GetBooks();
  EXPECT_EQ(1, b.selectedDeletes);
  EXPECT_EQ(1, b.stockDeletes);
  EXPECT_EQ(1, b.badHandleCalls);
  EXPECT_EQ(1, b.windowDcsOut);
  EXPECT_EQ(1, b.memoryDcsAlive);
  EXPECT_EQ(1, b.bitmapsAlive);
  EXPECT_EQ(2, b.created) << "memory DC and bitmap; GetDC only lends";
  standin::Reset();
  const standin::Books fresh = standin::GetBooks();
  EXPECT_EQ(0, fresh.bitmapsAlive + fresh.windowDcsOut + fresh.badHandleCalls);
  EXPECT_EQ(0u, standin::Calls().size());
}

TEST_F(Standin, CompatibleBitmapsComeInTheSizesGdiMakes) {
  HWND w = standin::CreateTestWindow(4, 4);
  HDC wdc = GetDC(w);
  HDC mem = CreateCompatibleDC(wdc);
  const HGDIOBJ stockBitmap = SelectObject(mem, CreateCompatibleBitmap(wdc, 1, 1));
  struct Row {
    const char* name;
    int cx, cy;
    int width = 0, height = 0;  // width 0: no bitmap
    bool stock = false;
  };
  const Row rows[] = {
      {.name = "zero width: the stock 1x1 bitmap", .cx = 0, .cy = 5, .width = 1, .height = 1, .stock = true},
      {.name = "zero height", .cx = 5, .cy = 0, .width = 1, .height = 1, .stock = true},
      {.name = "a negative side counts as its length", .cx = -3, .cy = 2, .width = 3, .height = 2},
      {.name = "a side over 2^27", .cx = 0x8000000, .cy = 1},
      {.name = "2^28 pixels", .cx = 1 << 14, .cy = 1 << 14},
      {.name = "2^29 pixels", .cx = 1 << 15, .cy = 1 << 14},
  };
  for (const Row& row : rows) {
    HBITMAP b = CreateCompatibleBitmap(wdc, row.cx, row.cy);
    EXPECT_EQ(row.width, standin::BitmapWidth(b)) << row.name;
    EXPECT_EQ(row.height, standin::BitmapHeight(b)) << row.name;
    EXPECT_EQ(row.stock, b == stockBitmap) << row.name;
    if (b && b != stockBitmap) DeleteObject(b);
  }
  DeleteObject(SelectObject(mem, stockBitmap));
  DeleteDC(mem);
  ReleaseDC(w, wdc);
  EXPECT_EQ(0, standin::GetBooks().bitmapsAlive + standin::GetBooks().stockDeletes);
}

// Handles Win32 refuses, beside live ones of other kinds: a window DC given
// back, a memory DC deleted, a 4x4 window and a menu.
struct BadHandles {
  HWND w = standin::CreateTestWindow(4, 4);
  HDC released = GetDC(w);
  HMENU menu = CreateMenu();
  HDC dead = CreateCompatibleDC(nullptr);
  RECT r{0, 0, 2, 2};
  MENUITEMINFOA mi = {};
  BadHandles() {
    ReleaseDC(w, released);
    DeleteDC(dead);
    mi.cbSize = sizeof(MENUITEMINFOA);
    mi.fMask = MIIM_STATE;
  }
};

TEST_F(Standin, BadHandlesFailWithoutCrashing) {
  BadHandles handles;
  struct Row {
    const char* name;
    bool (*call)(BadHandles&);  // true when the call failed
  };
  // clang-format off
  const Row rows[] = {
      {.name = "GetDC(null)", .call = [](BadHandles&) { return GetDC(nullptr) == nullptr; }},
      {.name = "LineTo(released)", .call = [](BadHandles& h) { return !LineTo(h.released, 3, 3); }},
      {.name = "FillRect(null)", .call = [](BadHandles& h) { return !FillRect(nullptr, &h.r, nullptr); }},
      {.name = "SelectObject(dead DC)", .call = [](BadHandles& h) { return !SelectObject(h.dead, GetStockObject(BLACK_PEN)); }},
      {.name = "DeleteDC(window DC)", .call = [](BadHandles& h) {
         HDC dc = GetDC(h.w);
         bool failed = !DeleteDC(dc);
         ReleaseDC(h.w, dc);
         return failed;
       }},
      {.name = "DeleteObject(menu)", .call = [](BadHandles& h) { return !DeleteObject(h.menu); }},
      {.name = "StretchBlt(menu as DC)", .call = [](BadHandles& h) {
         return !StretchBlt(reinterpret_cast<HDC>(h.menu), 0, 0, 1, 1, reinterpret_cast<HDC>(h.menu), 0, 0, 1, 1, SRCCOPY);
       }},
      {.name = "SetDIBitsToDevice(dead)", .call = [](BadHandles& h) {
         BITMAPINFO bmi{};
         return SetDIBitsToDevice(h.dead, 0, 0, 1, 1, 0, 0, 0, 1, &bmi, &bmi, 0) == 0;
       }},
      {.name = "SelectClipRgn(menu as region)", .call = [](BadHandles& h) {
         HDC dc = GetDC(h.w);
         bool failed = SelectClipRgn(dc, reinterpret_cast<HRGN>(h.menu)) == RGN_ERROR;
         ReleaseDC(h.w, dc);
         return failed;
       }},
      {.name = "SetMenu(window as menu)", .call = [](BadHandles& h) { return !SetMenu(h.w, reinterpret_cast<HMENU>(h.w)); }},
      {.name = "SetMenuItemInfoA(dead DC as menu)", .call = [](BadHandles& h) { return !SetMenuItemInfoA(reinterpret_cast<HMENU>(h.dead), 1, FALSE, &h.mi); }},
      {.name = "SetCapture(menu)", .call = [](BadHandles& h) { return SetCapture(reinterpret_cast<HWND>(h.menu)) == nullptr; }},
      {.name = "GetClientRect(null)", .call = [](BadHandles& h) { return !GetClientRect(nullptr, &h.r); }},
      {.name = "SetWindowTextA(DC)", .call = [](BadHandles& h) { return !SetWindowTextA(reinterpret_cast<HWND>(h.released), "x"); }},
  };
  // clang-format on
  for (const Row& row : rows) {
    const int before = standin::GetBooks().badHandleCalls;
    EXPECT_TRUE(row.call(handles)) << row.name << ": failed as Win32 does";
    EXPECT_EQ(before + 1, standin::GetBooks().badHandleCalls) << row.name << ": counted once";
  }
  EXPECT_EQ(0, standin::GetBooks().windowDcsOut);
}

// ---- windows, menus, capture -----------------------------------------------------

struct Message {
  UINT msg;
  WPARAM w;
  LPARAM l;
  int clientHeightSeen;
};

TEST_F(Standin, SetMenuSendsWmSizeWithTheSmallerClientBeforeReturning) {
  std::vector<Message> seen;
  HWND w = standin::CreateTestWindow(288, 288, [&](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    RECT rc{};
    GetClientRect(h, &rc);
    seen.push_back({m, wp, lp, rc.bottom});
    return 0;
  });
  HMENU bar = CreateMenu(), popup = CreateMenu();
  MENUITEMINFOA mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_SUBMENU | MIIM_TYPE;
  mi.hSubMenu = popup;
  mi.dwTypeData = const_cast<char*>("\x90\xDD\x92\xE8");  // 設定
  EXPECT_TRUE(InsertMenuItemA(bar, 0, TRUE, &mi));
  mi.fMask = MIIM_TYPE | MIIM_ID | MIIM_STATE;
  const char* texts[] = {"b", "c", "a"};
  const UINT places[] = {0, 5, 0};  // by position: at 0, past the end (appends), at 0
  for (int i = 0; i < 3; ++i) {
    mi.dwTypeData = const_cast<char*>(texts[i]);
    mi.wID = 101 + i;
    mi.fState = i == 1 ? MFS_CHECKED : 0;
    EXPECT_TRUE(InsertMenuItemA(popup, places[i], TRUE, &mi));
  }
  mi.cbSize = 48;
  EXPECT_FALSE(InsertMenuItemA(popup, 0, TRUE, &mi)) << "cbSize must be this platform's record size";
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_STATE;
  mi.fState = MFS_CHECKED;
  EXPECT_TRUE(SetMenuItemInfoA(bar, 101, FALSE, &mi)) << "by command, found inside the popup";
  const std::vector<standin::MenuItem> items = standin::MenuItems(popup);
  ASSERT_EQ(3u, items.size());
  EXPECT_EQ("a", items[0].text);
  EXPECT_EQ("b", items[1].text);
  EXPECT_EQ(MFS_CHECKED, items[1].state);
  EXPECT_EQ("c", items[2].text);
  EXPECT_EQ("\x90\xDD\x92\xE8", standin::MenuItems(bar)[0].text);
  EXPECT_EQ(popup, standin::MenuItems(bar)[0].subMenu);
  mi.fMask = MIIM_SUBMENU;
  mi.hSubMenu = bar;
  EXPECT_FALSE(InsertMenuItemA(popup, 0, TRUE, &mi)) << "a popup holding its own parent would loop";
  EXPECT_EQ(3u, standin::MenuItems(popup).size());

  ASSERT_TRUE(SetMenu(w, bar));
  ASSERT_EQ(1u, seen.size()) << "WM_SIZE arrived inside SetMenu";
  EXPECT_EQ(static_cast<UINT>(WM_SIZE), seen[0].msg);
  EXPECT_EQ(SIZE_RESTORED, seen[0].w);
  EXPECT_EQ(288 | (288 - standin::kMenuBarHeight) << 16, seen[0].l);
  EXPECT_EQ(288 - standin::kMenuBarHeight, seen[0].clientHeightSeen);
  EXPECT_EQ(bar, GetMenu(w));
  EXPECT_TRUE(SetMenu(w, bar));
  EXPECT_EQ(1u, seen.size()) << "same bar again: no size change, no WM_SIZE";
  EXPECT_TRUE(SetMenu(w, nullptr));
  EXPECT_EQ(288, standin::ClientHeight(w)) << "detaching gives the rows back";
  SetMenu(w, bar);
  EXPECT_EQ(2, standin::GetBooks().menusAlive);
  standin::DestroyTestWindow(w);
  EXPECT_EQ(0, standin::GetBooks().menusAlive) << "the window's menu and its popup go with it";
}

TEST_F(Standin, CaptureChangesAreDeliveredBeforeTheCallReturns) {
  std::vector<std::pair<HWND, LPARAM>> heard;
  HWND a = nullptr, b = nullptr;
  auto proc = [&](HWND h, UINT m, WPARAM, LPARAM lp) -> LRESULT {
    if (m == WM_CAPTURECHANGED) {
      heard.push_back({h, lp});
      if (h == a && lp == reinterpret_cast<LPARAM>(b)) SetCapture(a);  // a nested grab from inside the message
    }
    return 0;
  };
  a = standin::CreateTestWindow(4, 4, proc);
  b = standin::CreateTestWindow(4, 4, proc);
  struct Step {
    const char* name;
    HWND capture = nullptr;  // null: ReleaseCapture
    HWND returned = nullptr;
    std::vector<std::pair<HWND, LPARAM>> messages = {};
    HWND owner = nullptr;
  };
  const LPARAM la = reinterpret_cast<LPARAM>(a), lb = reinterpret_cast<LPARAM>(b);
  // clang-format off
  const Step steps[] = {
      {.name = "first capture", .capture = a, .owner = a},
      {.name = "again on the owner: it hears about itself", .capture = a, .returned = a, .messages = {{a, la}}, .owner = a},
      {.name = "to b, a grabs back inside its message", .capture = b, .returned = a, .messages = {{a, lb}, {b, la}}, .owner = a},
      {.name = "release", .messages = {{a, 0}}},
      {.name = "release with no owner"},
  };
  // clang-format on
  for (const Step& s : steps) {
    heard.clear();
    if (s.capture) EXPECT_EQ(s.returned, SetCapture(s.capture)) << s.name;
    else EXPECT_TRUE(ReleaseCapture()) << s.name;
    EXPECT_EQ(s.messages, heard) << s.name;
    EXPECT_EQ(s.owner, standin::CaptureOwner()) << s.name;
  }
  HCURSOR sizeAll = LoadCursorA(nullptr, IDC_SIZEALL);
  EXPECT_EQ(standin::SizeAllCursor(), sizeAll);
  EXPECT_NE(sizeAll, SetCursor(sizeAll)) << "the arrow before";
  EXPECT_EQ(sizeAll, SetCursor(sizeAll)) << "SetCursor returns the previous cursor";
  EXPECT_EQ(sizeAll, standin::CurrentCursor());
}

TEST_F(Standin, WindowsKeepTextPixelsAndSize) {
  std::vector<LPARAM> sizes;
  HWND w = standin::CreateTestWindow(6, 4, [&](HWND, UINT m, WPARAM, LPARAM lp) -> LRESULT {
    if (m == WM_SIZE) sizes.push_back(lp);
    return 0;
  });
  EXPECT_EQ(kPoison, standin::ClientPixel(w, 5, 3));
  EXPECT_EQ(standin::kNoPixel, standin::ClientPixel(w, 6, 0));
  HDC dc = GetDC(w);
  const RECT all{0, 0, 6, 4};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(w, dc);
  standin::ResizeClient(w, 8, 2);
  EXPECT_EQ(std::vector<LPARAM>{8 | 2 << 16}, sizes);
  EXPECT_EQ(0u, standin::ClientPixel(w, 5, 1)) << "overlap kept";
  EXPECT_EQ(kPoison, standin::ClientPixel(w, 7, 1)) << "new pixels are poison";
  SetWindowTextA(w, "Tavimo \x94\x7B");
  EXPECT_EQ("Tavimo \x94\x7B", standin::WindowText(w));
}

TEST_F(Standin, CallLogKeepsArgumentsInWin32Order) {
  HWND w = standin::CreateTestWindow(4, 4);
  standin::ClearCalls();
  HDC dc = GetDC(w);
  RECT rc;
  GetClientRect(w, &rc);
  FillRect(dc, &rc, reinterpret_cast<HBRUSH>(COLOR_ACTIVEBORDER + 1));
  POINT old;
  MoveToEx(dc, 1, 2, &old);
  SetWindowTextA(w, "t\x94\x7B");
  ReleaseDC(w, dc);
  const std::vector<std::string> expected = {
      "GetDC(" + std::to_string(standin::H(w)) + ")",
      "GetClientRect(" + std::to_string(standin::H(w)) + ",0,0,4,4)",
      "FillRect(" + std::to_string(standin::H(dc)) + ",0,0,4,4,11)",
      "MoveToEx(" + std::to_string(standin::H(dc)) + ",1,2,1)",
      "SetWindowTextA(" + std::to_string(standin::H(w)) + ",\"t\\x94{\")",
      "ReleaseDC(" + std::to_string(standin::H(w)) + "," + std::to_string(standin::H(dc)) + ")",
  };
  std::vector<std::string> got;
  for (const standin::Call& c : standin::Calls()) got.push_back(standin::ToString(c));
  EXPECT_EQ(expected, got);
  EXPECT_EQ(1u, standin::CallsTo("FillRect").size());
  standin::SetCallLogging(false);
  GetDC(w);
  EXPECT_EQ(expected.size(), standin::Calls().size()) << "logging off";
}

// ---- failing on demand -------------------------------------------------------------

// Objects for a call to fail on: a 4x4 window and its DC, a memory DC holding
// a black 4x4 bitmap, a region and a menu with one item.
struct Victims {
  HWND w = standin::CreateTestWindow(4, 4);
  HDC dc = GetDC(w);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 4, 4);
  HRGN rgn = CreateRectRgn(0, 0, 2, 2);
  HMENU menu = CreateMenu();
  MENUITEMINFOA item = {};
  Victims() {
    SelectObject(mem, bmp);
    item.cbSize = sizeof(MENUITEMINFOA);
    item.fMask = MIIM_ID | MIIM_STATE;
    item.wID = 1;
    InsertMenuItemA(menu, 0, TRUE, &item);
  }
};

TEST_F(Standin, FailedCallsReturnFailureAndChangeNothing) {
  struct Row {
    const char* fn;
    bool (*call)(Victims&);  // true when the call failed and left its records as they were
    int refused = 0;
    int count = 1;   // FailCall(fn, count), after Victims made its calls
    int failed = 1;  // calls failed on demand in all
  };
  static const HBRUSH black = static_cast<HBRUSH>(Stock(BLACK_BRUSH));
  // clang-format off
  const Row rows[] = {
      {.fn = "GetDC", .call = [](Victims& v) { return !GetDC(v.w) && standin::GetBooks().windowDcsOut == 1; }},
      {.fn = "ReleaseDC", .call = [](Victims& v) { return ReleaseDC(v.w, v.dc) == 0; }, .refused = 1},
      {.fn = "GetClientRect", .call = [](Victims& v) { RECT r{7, 7, 7, 7}; return !GetClientRect(v.w, &r) && r.left == 7 && r.bottom == 7; }},
      {.fn = "FillRect", .call = [](Victims& v) { const RECT r{0, 0, 4, 4}; return FillRect(v.dc, &r, black) == 0; }},
      {.fn = "SetWindowTextA", .call = [](Victims& v) { return !SetWindowTextA(v.w, "x") && standin::WindowText(v.w).empty(); }},
      {.fn = "CreateMenu", .call = [](Victims&) { return !CreateMenu() && standin::GetBooks().menusAlive == 1; }},
      {.fn = "DestroyMenu", .call = [](Victims& v) { return !DestroyMenu(v.menu); }, .refused = 1},
      {.fn = "InsertMenuItemA", .call = [](Victims& v) { return !InsertMenuItemA(v.menu, 1, TRUE, &v.item) && standin::MenuItems(v.menu).size() == 1; }},
      {.fn = "SetMenu", .call = [](Victims& v) { return !SetMenu(v.w, v.menu) && !standin::WindowMenu(v.w) && standin::ClientHeight(v.w) == 4; }},
      {.fn = "GetMenu", .call = [](Victims& v) { SetMenu(v.w, v.menu); return !GetMenu(v.w) && standin::WindowMenu(v.w) == v.menu; }},
      {.fn = "SetMenuItemInfoA", .call = [](Victims& v) {
         v.item.fState = MFS_CHECKED;
         return !SetMenuItemInfoA(v.menu, 1, FALSE, &v.item) && standin::MenuItems(v.menu)[0].state == MFS_UNCHECKED;
       }},
      {.fn = "SetCapture", .call = [](Victims& v) { return !SetCapture(v.w) && !standin::CaptureOwner(); }},
      {.fn = "ReleaseCapture", .call = [](Victims& v) { SetCapture(v.w); return !ReleaseCapture() && standin::CaptureOwner() == v.w; }},
      {.fn = "LoadCursorA", .call = [](Victims&) { return !LoadCursorA(nullptr, IDC_SIZEALL); }},
      {.fn = "SetCursor", .call = [](Victims&) { return !SetCursor(standin::SizeAllCursor()) && standin::CurrentCursor() != standin::SizeAllCursor(); }},
      {.fn = "CreateCompatibleDC", .call = [](Victims& v) { return !CreateCompatibleDC(v.dc) && standin::GetBooks().memoryDcsAlive == 1; }},
      {.fn = "CreateCompatibleBitmap", .call = [](Victims& v) { return !CreateCompatibleBitmap(v.dc, 2, 2) && standin::GetBooks().bitmapsAlive == 1; }},
      {.fn = "SelectObject", .call = [](Victims& v) {
         const bool failed = !SelectObject(v.dc, Stock(WHITE_PEN));
         ReleaseDC(v.w, v.dc);
         return failed && standin::PenAtLastRelease(v.w) == Stock(BLACK_PEN);
       }},
      {.fn = "DeleteDC", .call = [](Victims& v) { return !DeleteDC(v.mem); }, .refused = 2},
      {.fn = "DeleteObject", .call = [](Victims& v) { return !DeleteObject(v.rgn); }, .refused = 1},
      {.fn = "GetStockObject", .call = [](Victims&) { return !GetStockObject(BLACK_PEN); }},
      {.fn = "SetDIBitsToDevice", .call = [](Victims& v) {
         const uint8_t white[4] = {0xFF, 0xFF, 0xFF, 0};
         BITMAPINFO bmi{};
         bmi.bmiHeader = {40, 1, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
         return SetDIBitsToDevice(v.mem, 0, 0, 1, 1, 0, 0, 0, 1, white, &bmi, DIB_RGB_COLORS) == 0 &&
                standin::BitmapPixel(v.bmp, 0, 0) == 0;
       }},
      {.fn = "SetStretchBltMode", .call = [](Victims& v) { return SetStretchBltMode(v.dc, 4) == 0 && SetStretchBltMode(v.dc, 3) == BLACKONWHITE; }},
      {.fn = "StretchBlt", .call = [](Victims& v) { return !StretchBlt(v.dc, 0, 0, 4, 4, v.mem, 0, 0, 2, 2, SRCCOPY); }},
      {.fn = "MoveToEx", .call = [](Victims& v) { POINT p{9, 9}; return !MoveToEx(v.dc, 1, 1, &p) && p.x == 9 && p.y == 9; }},
      {.fn = "LineTo", .call = [](Victims& v) { return !LineTo(v.dc, 3, 0); }},
      {.fn = "CreateRectRgn", .call = [](Victims&) { return !CreateRectRgn(0, 0, 1, 1) && standin::GetBooks().regionsAlive == 1; }},
      {.fn = "SelectClipRgn", .call = [](Victims& v) {
         const bool failed = SelectClipRgn(v.dc, v.rgn) == RGN_ERROR;
         ReleaseDC(v.w, v.dc);
         return failed && !standin::ClipAtLastRelease(v.w, nullptr);
       }},
      // The switch itself: the count starts when it is set, each function waits on its own, 0 cancels, Reset forgets.
      {.fn = "GetDC", .call = [](Victims& v) { HDC dc = GetDC(v.w); return dc && ReleaseDC(v.w, dc) && !GetDC(v.w); }, .count = 2},
      {.fn = "GetStockObject", .call = [](Victims&) { standin::FailCall("CreateMenu"); return !GetStockObject(BLACK_PEN) && !CreateMenu(); }, .failed = 2},
      {.fn = "MoveToEx", .call = [](Victims& v) { standin::FailCall("MoveToEx", 0); return MoveToEx(v.dc, 1, 1, nullptr) != 0; }, .failed = 0},
      {.fn = "CreateMenu", .call = [](Victims&) { standin::Reset(); return CreateMenu() && standin::CallCount("CreateMenu") == 1; }, .failed = 0},
  };
  // clang-format on
  for (const std::string& fn : standin::Functions()) {
    EXPECT_TRUE(std::any_of(std::begin(rows), std::end(rows), [&](const Row& r) { return fn == r.fn; })) << fn;
  }
  for (const Row& row : rows) {
    standin::Reset();
    Victims v;
    ASSERT_TRUE(standin::FailCall(row.fn, row.count)) << row.fn;
    EXPECT_TRUE(row.call(v)) << row.fn << " failing call " << row.count;
    EXPECT_EQ(row.failed, standin::GetBooks().failedCalls) << row.fn;
    EXPECT_EQ(row.refused, standin::GetBooks().refused) << row.fn << ": objects a refused release keeps";
    EXPECT_EQ(std::vector<uint32_t>(standin::ClientPixels(v.w).size(), kPoison), standin::ClientPixels(v.w)) << row.fn;
    EXPECT_EQ(0, standin::GetBooks().badHandleCalls) << row.fn;
  }
}

}  // namespace
