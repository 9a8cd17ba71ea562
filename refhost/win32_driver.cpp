// The scenario driver of the Win32 host: carries the interpreter's steps out
// on the real plug-in, through its window, the host's main window and the
// services, and reads back what the window shows.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "refhost/host.h"
#include "refhost/measure.h"

namespace refhost {

bool CaptureWindowPixels(HWND hwnd, bool whole, Pixels* out) {
  if (hwnd == nullptr || !IsWindowVisible(hwnd)) return false;
  RECT r;
  if (whole) {
    // Have the frame, caption and menu bar drawn before they are read.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    PumpMessages();
    GetWindowRect(hwnd, &r);
    OffsetRect(&r, -r.left, -r.top);
  } else {
    GetClientRect(hwnd, &r);
  }
  const int w = r.right;
  const int h = r.bottom;
  if (w <= 0 || h <= 0) return false;
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;  // top-down
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC windowDc = whole ? GetWindowDC(hwnd) : GetDC(hwnd);
  HDC memDc = CreateCompatibleDC(windowDc);
  HBITMAP dib = CreateDIBSection(windowDc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib != nullptr) {
    HGDIOBJ old = SelectObject(memDc, dib);
    BitBlt(memDc, 0, 0, w, h, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    out->width = w;
    out->height = h;
    const auto* p = static_cast<const uint32_t*>(bits);
    out->rgb.assign(p, p + static_cast<size_t>(w) * h);
    for (uint32_t& v : out->rgb) v &= 0xFFFFFF;
    SelectObject(memDc, old);
    DeleteObject(dib);
  }
  DeleteDC(memDc);
  ReleaseDC(hwnd, windowDc);
  return dib != nullptr;
}

namespace {

// The caption buttons cut from a picture of the whole window, where Wine's
// non-client painting puts them: 2 pixels inside the frame, SM_CXSIZE - 2 wide
// and SM_CYSIZE - 4 high; close at the right, 2 pixels apart from maximize, and
// minimize beside maximize.
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

// The menu texts of a menu and its popups, as Wide characters.
void MenuTexts(HMENU menu, std::wstring* texts) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    if (GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION) > 0) texts->append(text);
    HMENU popup = GetSubMenu(menu, i);
    if (popup != nullptr) MenuTexts(popup, texts);
  }
}

void ReadMenu(HMENU menu, bool topLevel, std::vector<MenuRow>* rows) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
    mii.dwTypeData = text;
    mii.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii)) continue;
    rows->push_back({.position = i,
                     .topLevel = topLevel,
                     .id = mii.hSubMenu != nullptr ? 0 : mii.wID,
                     .text = text,
                     .checked = (mii.fState & MFS_CHECKED) != 0});
    if (mii.hSubMenu != nullptr) ReadMenu(mii.hSubMenu, false, rows);
  }
}

// Every GDI handle the process can still get, held as 1x1 regions: the
// cheapest object (Wine makes its 65,000 or so in about 15 ms).
class GdiHoard {
 public:
  ~GdiHoard() { GiveBack(); }
  bool Active() const { return active_; }
  long Held() const { return static_cast<long>(held_.size()); }
  // Takes handles until GDI refuses one; how many this time.
  long Take() {
    active_ = true;
    long taken = 0;
    for (HRGN r = CreateRectRgn(0, 0, 1, 1); r != nullptr; r = CreateRectRgn(0, 0, 1, 1), ++taken) held_.push_back(r);
    return taken;
  }
  // Lets a few go while the host reads the window, then takes them again.
  void Lend(size_t n) {
    for (; n > 0 && !held_.empty(); --n) {
      DeleteObject(held_.back());
      held_.pop_back();
    }
  }
  void GiveBack() {
    for (HRGN r : held_) DeleteObject(r);
    held_.clear();
    active_ = false;
  }

 private:
  bool active_ = false;
  std::vector<HRGN> held_;
};

// What a step did, once the messages it caused have been handled.
long Pumped(long result) {
  PumpMessages();
  return result;
}

class Win32Driver : public Driver {
 public:
  const char* Name() const override { return "wine/win32"; }
  void SetLargestFrame(int w, int h) override { session.largestWidth = w, session.largestHeight = h; }
  void ClearSettings() override {
    WritePrivateProfileStringA(hostConfig.section.c_str(), nullptr, nullptr, hostConfig.iniPath.c_str());
  }
  void SetSetting(const std::string& key, int value) override {
    WritePrivateProfileStringA(hostConfig.section.c_str(), key.c_str(), std::to_string(value).c_str(),
                               hostConfig.iniPath.c_str());
  }
  bool StoredSetting(const std::string& key, int* value) override {
    char text[64];
    GetPrivateProfileStringA(hostConfig.section.c_str(), key.c_str(), "\x01", text, sizeof text,
                             hostConfig.iniPath.c_str());
    if (std::strcmp(text, "\x01") == 0) return false;
    *value = std::atoi(text);
    return true;
  }
  std::vector<std::string> SettingsLog() override { return session.settingsLog; }
  void ClearSettingsLog() override { session.settingsLog.clear(); }
  bool Start(std::string* error) override { return StartPlugin(error); }
  void Stop() override { StopPlugin(); }
  bool Started() const override { return session.table != nullptr; }
  void SetEditing(bool open) override { session.editing = open; }
  void SetShown(bool shown) override {
    Squeeze();
    ShowWindow(session.pluginWindow, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
    PumpMessages();
  }
  void SetFrame(const Frame& frame) override { session.frame = frame; }
  long DisplayFrame() override {
    Squeeze();
    return Pumped(CallFrameProc());
  }
  long Notify(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    Squeeze();
    return Pumped(NotifyPlugin(msg, wParam, lParam));
  }
  long SendToWindow(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    Squeeze();
    // The window procedure forwards to the callback and keeps its result.
    session.lastCallbackResult = 0;
    SendMessageA(session.pluginWindow, msg, wParam, lParam);
    return Pumped(session.lastCallbackResult);
  }
  // Through the main window, which shows the frame 1:1: client pixels are
  // frame pixels there.
  long MainPointer(unsigned msg, int x, int y) override {
    const UINT mouse = msg == HostMsgMainMouseDown   ? WM_LBUTTONDOWN
                       : msg == HostMsgMainMouseMove ? WM_MOUSEMOVE
                                                     : WM_LBUTTONUP;
    Squeeze();
    session.lastCallbackResult = 0;
    SendMessageA(session.mainWindow, mouse, msg == HostMsgMainMouseUp ? 0 : MK_LBUTTON, Point(x, y));
    return Pumped(session.lastCallbackResult);
  }
  void ResizeClient(int w, int h) override {
    Squeeze();
    for (int attempt = 0; attempt < 3; ++attempt) {
      RECT window, client;
      GetWindowRect(session.pluginWindow, &window);
      GetClientRect(session.pluginWindow, &client);
      if (client.right == w && client.bottom == h) break;
      SetWindowPos(session.pluginWindow, nullptr, 0, 0, (window.right - window.left) + (w - client.right),
                   (window.bottom - window.top) + (h - client.bottom), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      PumpMessages();
    }
  }
  void FillClient(uint32_t rgb) override {
    const Reading reading(hoard_);
    HDC dc = GetDC(session.pluginWindow);
    RECT r;
    GetClientRect(session.pluginWindow, &r);
    HBRUSH brush = CreateSolidBrush(RGB(rgb >> 16 & 255, rgb >> 8 & 255, rgb & 255));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(session.pluginWindow, dc);
  }
  bool CaptureClient(Pixels* out) override {
    const Reading reading(hoard_);
    return CaptureWindowPixels(session.pluginWindow, false, out);
  }
  bool CaptureWindow(Pixels* out) override {
    const Reading reading(hoard_);
    return CaptureWindowPixels(session.pluginWindow, true, out);
  }
  bool CaptureCaptionButtons(std::vector<CaptionButton>* out) override {
    const Reading reading(hoard_);
    Pixels whole;
    if (!CaptureWindowPixels(session.pluginWindow, true, &whole)) return false;
    *out = CaptionButtons(session.pluginWindow, whole);
    return true;
  }
  std::string TitleBytes() override {
    char text[1024] = "";
    const int n = GetWindowTextA(session.pluginWindow, text, sizeof text);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
  }
  bool TitleWide(std::u16string* out) override {
    wchar_t text[1024] = L"";
    const int n = GetWindowTextW(session.pluginWindow, text, 1024);
    out->assign(reinterpret_cast<const char16_t*>(text), n > 0 ? static_cast<size_t>(n) : 0);
    return true;
  }
  bool BoxedCharacters(std::vector<std::string>* out) override {
    const Reading reading(hoard_);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    wchar_t title[1024] = L"";
    GetWindowTextW(session.pluginWindow, title, 1024);
    std::wstring menuTexts;
    if (HMENU bar = GetMenu(session.pluginWindow)) MenuTexts(bar, &menuTexts);
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
  bool Menu(std::vector<MenuRow>* rows) override {
    HMENU bar = GetMenu(session.pluginWindow);
    if (bar == nullptr) return false;
    ReadMenu(bar, true, rows);
    return true;
  }
  std::vector<std::string> TakeFaults() override { return std::exchange(session.faults, {}); }

  bool UseUpGdi(long* taken, double* ms) override {
    const LONGLONG start = Now();
    *taken = hoard_.Take();
    *ms = Ms(Now() - start);
    return true;
  }
  bool GiveBackGdi() override {
    hoard_.GiveBack();
    return true;
  }
  bool RefusesBitmap(int w, int h, bool* refused) override {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    *refused = bitmap == nullptr;
    if (bitmap != nullptr) DeleteObject(bitmap);
    return true;
  }
  // The session keeps the dead handle: the host goes on as if the window were
  // there, and the plug-in's record holds it too.
  bool DestroyPluginWindow() override {
    DestroyWindow(session.pluginWindow);
    PumpMessages();
    return true;
  }
  // The hoard's own are not counted: they stand for other programs'.
  bool CountGdiObjects(long* count) override {
    *count = GdiObjectCount() - hoard_.Held();
    return true;
  }

 private:
  // While GDI is used up, the handles the plug-in gave back go to the hoard
  // again before each of its calls: other programs would take them.
  void Squeeze() {
    if (hoard_.Active()) hoard_.Take();
  }
  // The host's own reading and poisoning of the window borrows a few handles
  // from the hoard; none of the plug-in's code runs meanwhile.
  struct Reading {
    explicit Reading(GdiHoard& h) : hoard(h) {
      if (hoard.Active()) hoard.Lend(16);
    }
    ~Reading() {
      if (hoard.Active()) hoard.Take();
    }
    GdiHoard& hoard;
  };

  GdiHoard hoard_;
};

// A scenario file's name without folder and extension.
std::string ScenarioName(const std::string& script) {
  const std::string name = script.substr(script.find_last_of("\\/") + 1);
  return name.substr(0, name.find_last_of('.'));
}

}  // namespace

std::unique_ptr<Driver> NewHostDriver() { return std::make_unique<Win32Driver>(); }

// Several scenarios run one after another in this one process, each in a
// fresh session (the plug-in is unloaded between them); with more than one,
// each writes its pictures into a folder of its own name under the output folder.
int RunScripts(const std::vector<std::string>& scripts, const ScenarioOptions& options) {
  ScenarioTotals totals;
  int worst = 0;
  CreateDirectoryA(options.outDir.c_str(), nullptr);
  for (const std::string& script : scripts) {
    NewSession();
    ScenarioOptions one = options;
    one.totals = &totals;
    if (scripts.size() > 1) {
      one.outDir = options.outDir + "\\" + ScenarioName(script);
      CreateDirectoryA(one.outDir.c_str(), nullptr);
      std::printf("== %s\n", ScenarioName(script).c_str());
    }
    OpenMainWindow();
    Win32Driver driver;
    worst = std::max(worst, RunScenarioFile(driver, script, one));
    CloseMainWindow();
  }
  if (scripts.size() > 1)
    std::printf("scenarios: %d passed, %d failed, %d skipped\n", totals.passed, totals.failed, totals.skipped);
  std::fflush(stdout);
  return worst;
}

}  // namespace refhost
