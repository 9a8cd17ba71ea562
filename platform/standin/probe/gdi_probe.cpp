// Differential probe: the same GDI calls through real GDI (under Wine) and
// through the stand-in, every result and resulting pixel printed, so the two
// outputs can be compared line by line. The native preset builds it against
// the stand-in, the win32 preset for Wine; the win32 test standin.gdi_probe
// (tests/win32/gdi_probe.sh) runs both and fails on the first differing line.
// Covers StretchBlt reductions, magnifications, clipping, sources beyond the
// bitmap, one-pixel destinations, mirroring and the AND/OR stretch modes;
// FillRect (inverted rectangle, system colour); cosmetic lines in all octants
// and under a clip; SetDIBitsToDevice bands, source offsets and top-down DIBs;
// the DIB headers, colour uses and bitmap sizes GDI refuses.
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <vector>
#include "platform/platform.h"
#include "platform/test_colours.h"
#include "platform/view_background.h"
#ifndef _WIN32
#include "platform/standin/standin.h"
#endif

#ifndef _WIN32
static HWND win;  // the stand-in's screen: a window of its own
#endif
static HDC ColourDc() {
#ifdef _WIN32
  return GetDC(nullptr);
#else
  return GetDC(win);
#endif
}
static void DoneColourDc(HDC dc) {
#ifdef _WIN32
  ReleaseDC(nullptr, dc);
#else
  ReleaseDC(win, dc);
#endif
}
static uint32_t Pixel(HDC dc, HBITMAP bmp, int x, int y) {
#ifdef _WIN32
  (void)bmp;
  COLORREF c = GetPixel(dc, x, y);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
#else
  (void)dc;
  return standin::BitmapPixel(bmp, x, y);
#endif
}
struct Surf {
  HDC dc;
  HBITMAP bmp;
  int w, h;
};
static Surf Make(int w, int h, bool encode, uint32_t fill) {
  HDC cdc = ColourDc();
  Surf s{CreateCompatibleDC(cdc), CreateCompatibleBitmap(cdc, w, h), w, h};
  DoneColourDc(cdc);
  SelectObject(s.dc, s.bmp);
  const std::vector<uint8_t> bits = Dib32(w, h, [&](int x, int y) { return encode ? XyColour(x, y) : fill; });
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = 40;
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(s.dc, 0, 0, w, h, 0, 0, 0, h, bits.data(), &bmi, DIB_RGB_COLORS);
  return s;
}
static void Dump(const char* name, Surf& s) {
  printf("== %s\n", name);
  for (int y = 0; y < s.h; ++y) {
    for (int x = 0; x < s.w; ++x) printf("%06X ", Pixel(s.dc, s.bmp, x, y));
    printf("\n");
  }
}
static void Free(Surf& s) {
  DeleteDC(s.dc);
  DeleteObject(s.bmp);
}

int main() {
#ifdef _WIN32
  // The colour the stand-in gives COLOR_ACTIVEBORDER, as the reference host sets it.
  const int index = COLOR_ACTIVEBORDER;
  const COLORREF activeBorder = kViewBackgroundColorref;
  SetSysColors(1, &index, &activeBorder);
#else
  standin::Reset();
  win = standin::CreateTestWindow(10, 10);
#endif
  struct B {
    const char* name;
    int dw, dh;
    int x, y, w, h;
    int sx, sy, sw, sh;
    int mode;
    int clip[4];
  };
  // clang-format off
  const B cases[] = {
    {"halve", 12, 8, 0, 0, 10, 6, 0, 0, 20, 12, COLORONCOLOR, {}},
    {"3to1", 12, 8, 0, 0, 7, 4, 1, 1, 21, 12, COLORONCOLOR, {}},
    {"7to3", 6, 6, 1, 1, 3, 3, 1, 1, 7, 7, COLORONCOLOR, {}},
    {"100to33", 36, 4, 0, 0, 33, 3, 0, 0, 100, 10, COLORONCOLOR, {}},
    {"mag3", 14, 14, 0, 0, 12, 12, 2, 2, 4, 4, COLORONCOLOR, {}},
    {"mag5to13", 15, 15, 0, 0, 13, 13, 0, 0, 5, 5, COLORONCOLOR, {}},
    {"reduce neg dst", 12, 8, -7, -5, 16, 10, 0, 0, 40, 30, COLORONCOLOR, {}},
    {"mag neg dst", 12, 12, -2, -2, 15, 15, 3, 4, 5, 5, COLORONCOLOR, {}},
    {"src beyond", 16, 16, 0, 0, 15, 15, -3, -2, 10, 8, COLORONCOLOR, {}},
    {"reduced src beyond", 12, 12, 0, 0, 10, 10, 30, 20, 20, 20, COLORONCOLOR, {}},
    {"clip reduce", 12, 8, 0, 0, 11, 7, 0, 0, 33, 21, COLORONCOLOR, {2, 1, 9, 5}},
    {"one wide", 4, 4, 1, 0, 1, 3, 0, 0, 5, 6, COLORONCOLOR, {}},
    {"andscans", 8, 4, 0, 0, 4, 2, 0, 0, 9, 5, BLACKONWHITE, {}},
    {"orscans", 8, 4, 0, 0, 4, 2, 0, 0, 9, 5, WHITEONBLACK, {}},
    {"mirror x", 12, 6, 10, 0, -8, 5, 0, 0, 8, 5, COLORONCOLOR, {}},
    {"mirror src reduce", 12, 6, 0, 0, 5, 5, 15, 0, -12, 10, COLORONCOLOR, {}},
    {"mag across reduce down", 16, 6, 0, 0, 15, 4, 0, 0, 5, 13, COLORONCOLOR, {}},
    {"level-1 like", 20, 14, 3, 5, 20, 10, 0, 0, 40, 20, COLORONCOLOR, {}},
  };
  // clang-format on
  for (const B& b : cases) {
    Surf src = Make(64, 40, true, 0);
    Surf dst = Make(b.dw, b.dh, false, kPoison);
    SetStretchBltMode(dst.dc, b.mode);
    if (b.clip[2]) {
      HRGN r = CreateRectRgn(b.clip[0], b.clip[1], b.clip[2], b.clip[3]);
      SelectClipRgn(dst.dc, r);
      DeleteObject(r);
    }
    BOOL ok = StretchBlt(dst.dc, b.x, b.y, b.w, b.h, src.dc, b.sx, b.sy, b.sw, b.sh, SRCCOPY);
    printf("ok=%d\n", ok);
    Dump(b.name, dst);
    Free(src);
    Free(dst);
  }
  // FillRect, lines
  {
    Surf d = Make(12, 12, false, kPoison);
    RECT r1{5, 5, 2, 3};
    FillRect(d.dc, &r1, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT r2{8, 0, 11, 2};
    FillRect(d.dc, &r2, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_ACTIVEBORDER + 1)));
    Dump("fills", d);
    Free(d);
  }
  {
    const POINT ends[] = {{7, 2},  {2, 7}, {-7, 2}, {-2, 7}, {-7, -2}, {-2, -7}, {7, -2},
                          {2, -7}, {5, 5}, {-5, 5}, {5, -5}, {-5, -5}, {6, 3},   {-6, -3}};
    int i = 0;
    for (POINT e : ends) {
      Surf d = Make(17, 17, false, kPoison);
      SelectObject(d.dc, GetStockObject(BLACK_PEN));
      MoveToEx(d.dc, 8, 8, nullptr);
      LineTo(d.dc, 8 + e.x, 8 + e.y);
      char name[32];
      snprintf(name, sizeof name, "line %d", i++);
      Dump(name, d);
      Free(d);
    }
    Surf d = Make(12, 12, false, kPoison);
    SelectObject(d.dc, GetStockObject(WHITE_PEN));
    MoveToEx(d.dc, 9, 3, nullptr);
    LineTo(d.dc, 2, 3);
    LineTo(d.dc, 2, 10);
    LineTo(d.dc, -5, -9);
    HRGN r = CreateRectRgn(3, 0, 12, 12);
    SelectClipRgn(d.dc, r);
    DeleteObject(r);
    MoveToEx(d.dc, 0, 6, nullptr);
    LineTo(d.dc, 12, 6);
    Dump("lines clip", d);
    Free(d);
  }
  // SetDIBitsToDevice variants, 24-bit bottom-up with padding.
  struct D {
    const char* name;
    int dibW, dibH, dx, dy, w, h, xs, ys;
    unsigned start, lines;
  };
  // clang-format off
  const D dibs[] = {
    {"dib plain", 5, 4, 0, 0, 5, 4, 0, 0, 0, 4},
    {"dib sub", 7, 6, 1, 1, 3, 2, 2, 1, 0, 6},
    {"dib band", 6, 8, 0, 0, 6, 8, 0, 0, 2, 3},
    {"dib band ysrc", 6, 8, 0, 0, 4, 5, 1, 2, 1, 5},
    {"dib off", 9, 9, -3, 5, 9, 9, 0, 0, 0, 9},
    {"dib topdown", 5, -4, 1, 2, 5, 4, 0, 0, 0, 4},
    {"dib topdown band", 5, -6, 0, 0, 5, 6, 0, 1, 1, 3},
    {"dib big w", 5, 4, 0, 0, 12, 12, 0, 0, 0, 4},
  };
  // clang-format on
  for (const D& t : dibs) {
    int h = t.dibH < 0 ? -t.dibH : t.dibH;
    int stride = (t.dibW * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * h + 64, 0xEE);
    for (unsigned m = 0; m < t.lines && m < static_cast<unsigned>(h); ++m)
      for (int x = 0; x < t.dibW; ++x) StoreBgr(&bits[m * stride + x * 3], XyColour(x, 100 + static_cast<int>(m)));
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = 40;
    bmi.bmiHeader.biWidth = t.dibW;
    bmi.bmiHeader.biHeight = t.dibH;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    Surf d = Make(10, 10, false, kPoison);
    int ret =
        SetDIBitsToDevice(d.dc, t.dx, t.dy, t.w, t.h, t.xs, t.ys, t.start, t.lines, bits.data(), &bmi, DIB_RGB_COLORS);
    printf("ret=%d\n", ret);
    Dump(t.name, d);
    Free(d);
  }
  // What GDI refuses: a DIB header it rejects, or a size it will not make.
  // Not compared: colour use 2 (palette indices), which Wine 8 takes and Wine
  // 10 refuses for a 24-bit DIB; the plug-in only hands over RGB values.
  struct R {
    const char* name;
    DWORD size;
    LONG w, h;
    WORD planes, bits;
    DWORD compression;
    UINT use;
    DWORD cx;
    UINT lines;
  };
  // clang-format off
  const R refusals[] = {
    {"plain", 40, 4, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"planes 0", 40, 4, 4, 0, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"planes 2", 40, 4, 4, 2, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"size 0", 0, 4, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"size 39", 39, 4, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"size 41", 41, 4, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"size 124", 124, 4, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"32 bits", 40, 4, 4, 1, 32, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"0 bits", 40, 4, 4, 1, 0, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"7 bits", 40, 4, 4, 1, 7, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"48 bits", 40, 4, 4, 1, 48, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"24 bits with bitfields", 40, 4, 4, 1, 24, 3, DIB_RGB_COLORS, 4, 4},
    {"width 0", 40, 0, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"width -4", 40, -4, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"height 0", 40, 4, 0, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"row bits overflow", 40, 0x10000000, 1, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 1},
    {"image bytes overflow", 40, 4, 0x7FFFFFFF, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"top-down image bytes overflow", 40, 4, -0x7FFFFFFF, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 4},
    {"colour use 3", 40, 4, 4, 1, 24, BI_RGB, 3, 4, 4},
    {"width -1 as DWORD", 40, 4, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 0xFFFFFFFF, 4},
    {"no lines", 40, 4, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 0},
    {"more lines than the DIB", 40, 4, 4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 9},
    {"more lines than the top-down DIB", 40, 4, -4, 1, 24, BI_RGB, DIB_RGB_COLORS, 4, 9},
  };
  // clang-format on
  std::vector<uint8_t> refusalBits(4096, 0x33);
  for (const R& t : refusals) {
    std::vector<uint8_t> header(256, 0);  // room for the largest header size
    BITMAPINFOHEADER bih{t.size, t.w, t.h, t.planes, t.bits, t.compression, 0, 0, 0, 0, 0};
    memcpy(header.data(), &bih, sizeof bih);
    Surf d = Make(6, 6, false, kPoison);
    int ret = SetDIBitsToDevice(d.dc, 1, 1, t.cx, 4, 0, 0, 0, t.lines, refusalBits.data(),
                                reinterpret_cast<const BITMAPINFO*>(header.data()), t.use);
    printf("dib %s: ret=%d drew=%d\n", t.name, ret, Pixel(d.dc, d.bmp, 1, 4) != kPoison);
    Free(d);
  }
  // Every size CreateCompatibleBitmap answers for: none, the stock 1x1 bitmap a
  // memory DC starts with, or a bitmap of the colour depth of the DC.
  HDC cdc = ColourDc();
  HDC probe = CreateCompatibleDC(cdc);
  const HGDIOBJ stockBitmap = SelectObject(probe, CreateCompatibleBitmap(cdc, 1, 1));
  DeleteObject(SelectObject(probe, stockBitmap));
  struct S {
    const char* name;
    bool fromMemoryDc;
    int w, h;
  };
  // clang-format off
  const S sizes[] = {
    {"plain", false, 3, 2}, {"zero width", false, 0, 5}, {"zero height", false, 5, 0},
    {"negative width", false, -3, 2}, {"negative height", false, 3, -2}, {"side over 2^27", false, 0x8000000, 1},
    {"tall side over 2^27", false, 1, 0x8000000}, {"2^28 pixels", false, 1 << 14, 1 << 14},
    {"from a fresh memory DC", true, 3, 2}, {"zero from a fresh memory DC", true, 0, 0},
  };
  // clang-format on
  for (const S& t : sizes) {
    HBITMAP b = CreateCompatibleBitmap(t.fromMemoryDc ? probe : cdc, t.w, t.h);
    if (!b) {
      printf("bitmap %s: none\n", t.name);
      continue;
    }
    // A grey fill shows the depth: a 1-bit bitmap keeps white.
    HDC m = CreateCompatibleDC(cdc);
    SelectObject(m, b);
    RECT all{0, 0, 1, 1};
    FillRect(m, &all, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_ACTIVEBORDER + 1)));
#ifdef _WIN32
    BITMAP info{};
    GetObject(b, sizeof info, &info);
    const int w = info.bmWidth, h = info.bmHeight;
#else
    const int w = standin::BitmapWidth(b), h = standin::BitmapHeight(b);
#endif
    printf("bitmap %s: %dx%d%s pixel %06X\n", t.name, w, h, b == stockBitmap ? " stock" : "", Pixel(m, b, 0, 0));
    DeleteDC(m);
    if (b != stockBitmap) DeleteObject(b);
  }
  printf("bitmap from no DC: %s\n", CreateCompatibleBitmap(nullptr, 2, 2) ? "made" : "none");
  DeleteDC(probe);
  DoneColourDc(cdc);
  return 0;
}
