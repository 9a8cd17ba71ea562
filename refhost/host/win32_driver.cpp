#include "refhost/host/win32_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/point.h"
#include "refhost/host/caption_buttons.h"
#include "refhost/host/capture.h"
#include "refhost/host/clock.h"
#include "refhost/host/gdi_hoard.h"
#include "refhost/host/main_window.h"
#include "refhost/host/menu_reading.h"
#include "refhost/host/missing_glyphs.h"
#include "refhost/host/objects.h"
#include "refhost/host/plugin.h"
#include "refhost/host/session.h"

namespace refhost {
namespace {

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
    return refhost::BoxedCharacters(session.pluginWindow, out);
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
