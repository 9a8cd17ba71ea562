#include "refhost/host/missing_glyphs.h"

#include <algorithm>

#include "refhost/host/menu_reading.h"

namespace refhost {
namespace {

// Whether a font draws the character as its missing-glyph box: the character
// alone leaves the same pixels as glyph 0 (.notdef) alone. The fallback fonts
// GDI links in for a character the font lacks draw through the same call.
bool DrawnAsBox(HFONT font, wchar_t c) {
  constexpr int kCell = 48;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kCell, kCell);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  const HGDIOBJ oldFont = SelectObject(dc, font);
  auto ink = [&](UINT options, wchar_t text) {
    PatBlt(dc, 0, 0, kCell, kCell, WHITENESS);
    ExtTextOutW(dc, 2, 2, options, nullptr, &text, 1, nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < kCell; ++x) pixels.push_back(GetPixel(dc, x, y));
    return pixels;
  };
  const bool boxed = ink(0, c) == ink(ETO_GLYPH_INDEX, 0);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return boxed;
}

}  // namespace

bool BoxedCharacters(HWND window, std::vector<std::string>* out) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
  wchar_t title[1024] = L"";
  GetWindowTextW(window, title, 1024);
  std::wstring menuTexts;
  if (HMENU bar = GetMenu(window)) MenuTexts(bar, &menuTexts);
  auto check = [&](const char* where, const LOGFONTW& logFont, const std::wstring& text) {
    HFONT font = CreateFontIndirectW(&logFont);
    for (const wchar_t c : text) {
      if (c < 0x80 || !DrawnAsBox(font, c)) continue;
      char utf8[8] = "";
      const int n = WideCharToMultiByte(CP_UTF8, 0, &c, 1, utf8, sizeof utf8, nullptr, nullptr);
      const std::string line = std::string(where) + " " + std::string(utf8, n > 0 ? static_cast<size_t>(n) : 0);
      if (std::find(out->begin(), out->end(), line) == out->end()) out->push_back(line);
    }
    DeleteObject(font);
  };
  check("title", metrics.lfCaptionFont, title);
  check("menu", metrics.lfMenuFont, menuTexts);
  return true;
}

}  // namespace refhost
