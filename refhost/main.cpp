// The reference host: a small Win32 program that plays the video editor to a
// filter plug-in (.auf). It loads the plug-in, hands it the service table,
// creates its window, forwards the window's messages and the host's
// notifications to the window callback and calls the per-frame callback for
// every displayed frame. A main window shows the frame 1:1; pressing, moving
// and releasing the left button there sends the main-window pointer messages
// in frame pixels.
//
//   refhost [--plugin FILE.auf] [--ini FILE] [--largest WxH] [IMAGE | FOLDER | card]
//   refhost [--plugin FILE.auf] [--ini FILE] --script FILE... [--out DIR] [--quiet]
//   refhost [--plugin FILE.auf] [--ini FILE] [--bench] [--tiny] [--breakdown] [--soak N] [--seed S]
// The first form is interactive; the second runs scenario files (scenario.h);
// the third times the plug-in against plain GDI and soaks it (bench.cpp).
// --largest sets the largest frame GetHostInfo reports (1920x1080 by default).
//
// Interactive keys in the main window: O open an image, Right/Left next or
// previous picture of a folder, Space play or pause a folder, C close or
// reopen the video, V show or hide the plug-in window.
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/filter_table.h"
#include "refhost/frames.h"
#include "refhost/host.h"
#include "refhost/scenario.h"

namespace {

using refhost::Frame;

// ---- the host's records ------------------------------------------------------

// The service table as the host lays it out: 64 pointer slots, of which the
// plug-in uses six; every other slot reports its own number when called.
constexpr int kServiceSlots = 64;
struct ServiceTable {
  void* slot[kServiceSlots];
};
static_assert(offsetof(HostServices, IsEditing) / 4 == 4, "IsEditing slot");
static_assert(offsetof(HostServices, IsFilterWindowVisible) / 4 == 22, "IsFilterWindowVisible slot");
static_assert(offsetof(HostServices, LoadIntSetting) / 4 == 34, "LoadIntSetting slot");
static_assert(offsetof(HostServices, SaveIntSetting) / 4 == 35, "SaveIntSetting slot");
static_assert(offsetof(HostServices, GetHostInfo) / 4 == 40, "GetHostInfo slot");
static_assert(offsetof(HostServices, GetDisplayImage) / 4 == 47, "GetDisplayImage slot");

// The edit handle of the one video this host edits: opaque to the plug-in.
void* const kEditHandle = reinterpret_cast<void*>(static_cast<uintptr_t>(0x00ED17ED));

struct Host {
  std::string pluginPath;
  std::string iniPath;
  std::string section = "Tavimo";  // settings section: the filter's name
  HMODULE module = nullptr;
  FilterTable* table = nullptr;
  HWND pluginWindow = nullptr;
  HWND mainWindow = nullptr;
  ServiceTable services = {};
  bool editing = false;
  int largestWidth = 1920;
  int largestHeight = 1080;
  Frame frame;
  std::vector<std::string> sequence;  // a folder's pictures
  size_t sequenceIndex = 0;
  bool playing = false;
  bool mainPressed = false;
  std::vector<std::string> settingsLog;
  std::vector<std::string> faults;
  bool interactive = false;
  long lastCallbackResult = 0;  // the window callback's result for the last message
};

Host host;

void Fault(const std::string& what) {
  host.faults.push_back(what);
  if (host.interactive) std::fprintf(stderr, "refhost: %s\n", what.c_str());
}

// ---- services (cdecl: the caller removes the arguments) -------------------------

BOOL __cdecl IsEditing(void* editHandle) {
  if (editHandle != kEditHandle) Fault("IsEditing given an edit handle that is not the host's");
  return host.editing ? 1 : 0;
}

BOOL __cdecl IsFilterWindowVisible(FilterTable* table) {
  if (table != host.table) Fault("IsFilterWindowVisible given a record that is not the plug-in's");
  return host.pluginWindow != nullptr && IsWindowVisible(host.pluginWindow) ? 1 : 0;
}

int __cdecl LoadIntSetting(FilterTable* table, LPCSTR key, int defaultValue) {
  if (table != host.table) Fault("LoadIntSetting given a record that is not the plug-in's");
  if (key == nullptr) {
    Fault("LoadIntSetting given no key");
    return defaultValue;
  }
  const int value = static_cast<int>(
      GetPrivateProfileIntA(host.section.c_str(), key, defaultValue, host.iniPath.c_str()));
  host.settingsLog.push_back("load " + std::string(key) + " " + std::to_string(defaultValue) + " -> " +
                             std::to_string(value));
  return value;
}

BOOL __cdecl SaveIntSetting(FilterTable* table, LPCSTR key, int value) {
  if (table != host.table) Fault("SaveIntSetting given a record that is not the plug-in's");
  if (key == nullptr) {
    Fault("SaveIntSetting given no key");
    return 0;
  }
  host.settingsLog.push_back("save " + std::string(key) + " " + std::to_string(value));
  return WritePrivateProfileStringA(host.section.c_str(), key, std::to_string(value).c_str(), host.iniPath.c_str());
}

BOOL __cdecl GetHostInfo(void* editHandle, HostInfo* info) {
  if (editHandle != nullptr) Fault("GetHostInfo given an edit handle (the plug-in passes 0)");
  // The host fills its whole 84-byte record.
  std::memset(info, 0, sizeof *info);
  info->maxWidth = host.largestWidth;
  info->maxHeight = host.largestHeight;
  return 1;
}

void* __cdecl GetDisplayImage(void* editHandle, int flags) {
  if (editHandle != kEditHandle) Fault("GetDisplayImage given an edit handle that is not the host's");
  if (flags != 0) Fault("GetDisplayImage given flags " + std::to_string(flags));
  return host.frame.dib.empty() ? nullptr : host.frame.dib.data();
}

template <int N>
int __cdecl UnexpectedService() {
  Fault("unexpected service " + std::to_string(N) + " (byte offset " + std::to_string(N * 4) + ")");
  return 0;
}

template <int... N>
void FillUnexpected(ServiceTable* t, std::integer_sequence<int, N...>) {
  ((t->slot[N] = reinterpret_cast<void*>(&UnexpectedService<N>)), ...);
}

void FillServices() {
  FillUnexpected(&host.services, std::make_integer_sequence<int, kServiceSlots>());
  host.services.slot[offsetof(HostServices, IsEditing) / 4] = reinterpret_cast<void*>(&IsEditing);
  host.services.slot[offsetof(HostServices, IsFilterWindowVisible) / 4] = reinterpret_cast<void*>(&IsFilterWindowVisible);
  host.services.slot[offsetof(HostServices, LoadIntSetting) / 4] = reinterpret_cast<void*>(&LoadIntSetting);
  host.services.slot[offsetof(HostServices, SaveIntSetting) / 4] = reinterpret_cast<void*>(&SaveIntSetting);
  host.services.slot[offsetof(HostServices, GetHostInfo) / 4] = reinterpret_cast<void*>(&GetHostInfo);
  host.services.slot[offsetof(HostServices, GetDisplayImage) / 4] = reinterpret_cast<void*>(&GetDisplayImage);
}

// ---- calling the plug-in ------------------------------------------------------------

long DisplayFrame() {
  if (host.table == nullptr || host.table->filterProc == nullptr) return 0;
  FrameProcInfo info = {};
  info.width = host.frame.width;
  info.height = host.frame.height;
  info.editHandle = kEditHandle;
  const BOOL result = host.table->filterProc(host.table, &info);
  if (result != 1) Fault("per-frame callback returned " + std::to_string(result));
  if (host.mainWindow != nullptr) InvalidateRect(host.mainWindow, nullptr, FALSE);
  return result;
}

long Notify(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (host.table == nullptr || host.table->filterWndProc == nullptr) return 0;
  host.lastCallbackResult = host.table->filterWndProc(host.pluginWindow, msg, wParam, lParam, kEditHandle, host.table);
  return host.lastCallbackResult;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Every message of the plug-in's window goes to the window callback first, then
// to the default handling, as the editor does.
LRESULT CALLBACK PluginWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  long result = 0;
  if (host.table != nullptr && host.table->filterWndProc != nullptr)
    result = host.table->filterWndProc(hwnd, msg, wParam, lParam, kEditHandle, host.table);
  host.lastCallbackResult = result;
  if (result != 0) DisplayFrame();  // "show the current frame again"
  switch (msg) {
    case WM_PAINT:
      // The plug-in paints through GetDC and never ends the paint cycle.
      ValidateRect(hwnd, nullptr);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the plug-in paints the whole client area itself
    case WM_CLOSE:
      ShowWindow(hwnd, SW_HIDE);
      Notify(HostMsgWindowChange, 0, 0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- the main window: the frame 1:1, the pointer in frame pixels --------------------

LPARAM FramePoint(LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  return static_cast<LPARAM>((static_cast<DWORD>(x) & 0xFFFF) | (static_cast<DWORD>(y) & 0xFFFF) << 16);
}

void ShowPicture(size_t index);

void OpenImageDialog() {
  char file[MAX_PATH] = "";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = host.mainWindow;
  ofn.lpstrFilter = "Images\0*.png;*.jpg;*.jpeg;*.bmp\0All files\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.Flags = OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameA(&ofn)) return;
  host.sequence = {file};
  ShowPicture(0);
}

void ShowPicture(size_t index) {
  if (host.sequence.empty()) return;
  host.sequenceIndex = index % host.sequence.size();
  std::string error;
  Frame frame;
  if (!refhost::LoadImageFile(host.sequence[host.sequenceIndex], &frame, &error)) {
    std::fprintf(stderr, "refhost: error: %s\n", error.c_str());
    return;
  }
  host.frame = std::move(frame);
  DisplayFrame();
}

void SetShown(bool shown) {
  ShowWindow(host.pluginWindow, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
  if (Notify(HostMsgWindowChange, 0, 0) != 0) DisplayFrame();
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      if (host.editing && host.frame.width > 0) {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = host.frame.width;
        bmi.bmiHeader.biHeight = host.frame.height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 24;
        SetDIBitsToDevice(dc, 0, 0, host.frame.width, host.frame.height, 0, 0, 0, host.frame.height,
                          host.frame.dib.data(), &bmi, DIB_RGB_COLORS);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      host.mainPressed = true;
      Notify(HostMsgMainMouseDown, wParam, FramePoint(lParam));
      return 0;
    case WM_MOUSEMOVE:
      Notify(HostMsgMainMouseMove, wParam, FramePoint(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (host.mainPressed) ReleaseCapture();
      host.mainPressed = false;
      Notify(HostMsgMainMouseUp, wParam, FramePoint(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      Notify(HostMsgMainDoubleClick, wParam, FramePoint(lParam));
      return 0;
    case WM_MOVE:
    case WM_SIZE:
      Notify(HostMsgMainMoveSize, 0, 0);
      break;
    case WM_TIMER:
      if (host.playing) ShowPicture(host.sequenceIndex + 1);
      return 0;
    case WM_KEYDOWN:
      switch (wParam) {
        case 'O': OpenImageDialog(); break;
        case VK_RIGHT: ShowPicture(host.sequenceIndex + 1); break;
        case VK_LEFT: ShowPicture(host.sequenceIndex + host.sequence.size() - 1); break;
        case VK_SPACE:
          host.playing = !host.playing && host.sequence.size() > 1;
          if (host.playing) SetTimer(hwnd, 1, 100, nullptr);
          else KillTimer(hwnd, 1);
          break;
        case 'C':
          host.editing = !host.editing;
          Notify(host.editing ? HostMsgFileOpen : HostMsgFileClose, 0, 0);
          if (host.editing) DisplayFrame();
          InvalidateRect(hwnd, nullptr, FALSE);
          break;
        case 'V': SetShown(!IsWindowVisible(host.pluginWindow)); break;
      }
      return 0;
    case WM_DESTROY:
      if (host.interactive) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- loading and starting the plug-in ----------------------------------------------

using EntryPoint = FilterTable*(__cdecl*)();

bool LoadPlugin(std::string* error) {
  host.module = LoadLibraryA(host.pluginPath.c_str());
  if (host.module == nullptr) {
    *error = "LoadLibraryA(" + host.pluginPath + ") failed, error " + std::to_string(GetLastError());
    return false;
  }
  auto entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(host.module, "GetFilterTable")));
  if (entry == nullptr)
    entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(host.module, "GetFilterTable@0")));
  if (entry == nullptr) {
    *error = "no GetFilterTable entry point";
    FreeLibrary(host.module);
    host.module = nullptr;
    return false;
  }
  host.table = entry();
  if (host.table == nullptr) {
    *error = "GetFilterTable returned no record";
    FreeLibrary(host.module);
    host.module = nullptr;
    return false;
  }
  if (host.table->name != nullptr) host.section = host.table->name;
  return true;
}

void UnloadPlugin() {
  host.table = nullptr;
  if (host.module != nullptr) FreeLibrary(host.module);
  host.module = nullptr;
}

constexpr char kPluginClass[] = "TavimoRefHostPlugin";
constexpr char kMainClass[] = "TavimoRefHostMain";

void RegisterClasses(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;  // the plug-in zooms in on double clicks
  wc.lpfnWndProc = PluginWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;  // the plug-in paints the whole client area
  wc.lpszClassName = kPluginClass;
  RegisterClassA(&wc);

  wc.lpfnWndProc = MainWindowProc;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = kMainClass;
  RegisterClassA(&wc);
}

// Loads the plug-in, creates its hidden window and sends HostMsgInit.
bool StartPlugin(std::string* error) {
  if (!LoadPlugin(error)) return false;
  const bool sizeGiven = (host.table->flags & 0x00004000) != 0;
  const bool resizable = (host.table->flags & 0x00002000) != 0;
  RECT frame = {0, 0, sizeGiven ? host.table->windowWidth : 240, sizeGiven ? host.table->windowHeight : 240};
  const DWORD style = resizable ? WS_OVERLAPPEDWINDOW : (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
  AdjustWindowRect(&frame, style, FALSE);
  host.pluginWindow = CreateWindowExA(0,                             // no extended style
                                      kPluginClass,                  // window class
                                      host.section.c_str(),          // title until the plug-in sets its own
                                      style,                         // framed, resizable when the record says so
                                      700, 0,                        // right of the main window
                                      frame.right - frame.left,      // width of the whole window
                                      frame.bottom - frame.top,      // height of the whole window
                                      nullptr,                       // no parent
                                      nullptr,                       // no menu: the plug-in attaches its own
                                      GetModuleHandleA(nullptr),     // this program
                                      nullptr);                      // no creation data
  if (host.pluginWindow == nullptr) {
    *error = "CreateWindowExA failed, error " + std::to_string(GetLastError());
    UnloadPlugin();
    return false;
  }
  host.table->services = reinterpret_cast<HostServices*>(&host.services);
  host.table->window = host.pluginWindow;
  Notify(HostMsgInit, 0, 0);
  PumpMessages();
  return true;
}

void StopPlugin() {
  if (host.table == nullptr) return;
  Notify(HostMsgExit, 0, 0);
  PumpMessages();
  DestroyWindow(host.pluginWindow);
  host.pluginWindow = nullptr;
  UnloadPlugin();
}

// ---- the scripted driver ------------------------------------------------------------------

bool Capture(HWND hwnd, bool whole, refhost::Pixels* out) {
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
  HGDIOBJ old = SelectObject(memDc, dib);
  BitBlt(memDc, 0, 0, w, h, windowDc, 0, 0, SRCCOPY);
  GdiFlush();
  out->width = w;
  out->height = h;
  out->rgb.assign(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + static_cast<size_t>(w) * h);
  for (uint32_t& p : out->rgb) p &= 0xFFFFFF;
  SelectObject(memDc, old);
  DeleteObject(dib);
  DeleteDC(memDc);
  ReleaseDC(hwnd, windowDc);
  return true;
}

class Win32Driver : public refhost::Driver {
 public:
  const char* Name() const override { return "wine/win32"; }
  void SetLargestFrame(int w, int h) override { host.largestWidth = w, host.largestHeight = h; }
  void ClearSettings() override {
    WritePrivateProfileStringA(host.section.c_str(), nullptr, nullptr, host.iniPath.c_str());
  }
  void SetSetting(const std::string& key, int value) override {
    WritePrivateProfileStringA(host.section.c_str(), key.c_str(), std::to_string(value).c_str(), host.iniPath.c_str());
  }
  bool StoredSetting(const std::string& key, int* value) override {
    char text[64];
    GetPrivateProfileStringA(host.section.c_str(), key.c_str(), "\x01", text, sizeof text, host.iniPath.c_str());
    if (std::strcmp(text, "\x01") == 0) return false;
    *value = std::atoi(text);
    return true;
  }
  std::vector<std::string> SettingsLog() override { return host.settingsLog; }
  void ClearSettingsLog() override { host.settingsLog.clear(); }
  bool Start(std::string* error) override { return StartPlugin(error); }
  void Stop() override { StopPlugin(); }
  bool Started() const override { return host.table != nullptr; }
  void SetEditing(bool open) override { host.editing = open; }
  void SetShown(bool shown) override {
    ShowWindow(host.pluginWindow, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
    PumpMessages();
  }
  void SetFrame(const Frame& frame) override { host.frame = frame; }
  long DisplayFrame() override { return Settle(::DisplayFrame()); }
  long Notify(unsigned msg, uintptr_t wParam, intptr_t lParam) override { return Settle(::Notify(msg, wParam, lParam)); }
  long SendToWindow(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    // The window procedure forwards to the callback and keeps its result.
    host.lastCallbackResult = 0;
    SendMessageA(host.pluginWindow, msg, wParam, lParam);
    return Settle(host.lastCallbackResult);
  }
  // Through the main window, which shows the frame 1:1: client pixels are
  // frame pixels there.
  long MainPointer(unsigned msg, int x, int y) override {
    const LPARAM at = static_cast<LPARAM>((static_cast<DWORD>(x) & 0xFFFF) | (static_cast<DWORD>(y) & 0xFFFF) << 16);
    const UINT mouse = msg == refhost::MsgMainDown ? WM_LBUTTONDOWN
                       : msg == refhost::MsgMainMove ? WM_MOUSEMOVE : WM_LBUTTONUP;
    host.lastCallbackResult = 0;
    SendMessageA(host.mainWindow, mouse, msg == refhost::MsgMainUp ? 0 : MK_LBUTTON, at);
    return Settle(host.lastCallbackResult);
  }
  void ResizeClient(int w, int h) override {
    for (int attempt = 0; attempt < 3; ++attempt) {
      RECT window, client;
      GetWindowRect(host.pluginWindow, &window);
      GetClientRect(host.pluginWindow, &client);
      if (client.right == w && client.bottom == h) break;
      SetWindowPos(host.pluginWindow, nullptr, 0, 0, (window.right - window.left) + (w - client.right),
                   (window.bottom - window.top) + (h - client.bottom), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      PumpMessages();
    }
  }
  void FillClient(uint32_t rgb) override {
    HDC dc = GetDC(host.pluginWindow);
    RECT r;
    GetClientRect(host.pluginWindow, &r);
    HBRUSH brush = CreateSolidBrush(RGB(rgb >> 16 & 255, rgb >> 8 & 255, rgb & 255));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(host.pluginWindow, dc);
  }
  bool CaptureClient(refhost::Pixels* out) override { return Capture(host.pluginWindow, false, out); }
  bool CaptureWindow(refhost::Pixels* out) override { return Capture(host.pluginWindow, true, out); }
  std::string TitleBytes() override {
    char text[1024] = "";
    const int n = GetWindowTextA(host.pluginWindow, text, sizeof text);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
  }
  bool TitleWide(std::u16string* out) override {
    wchar_t text[1024] = L"";
    const int n = GetWindowTextW(host.pluginWindow, text, 1024);
    out->assign(reinterpret_cast<const char16_t*>(text), n > 0 ? static_cast<size_t>(n) : 0);
    return true;
  }
  bool Menu(std::vector<refhost::MenuRow>* rows) override {
    HMENU bar = GetMenu(host.pluginWindow);
    if (bar == nullptr) return false;
    ReadMenu(bar, true, rows);
    return true;
  }
  std::vector<std::string> TakeFaults() override { return std::exchange(host.faults, {}); }

 private:
  static long Settle(long result) {
    PumpMessages();
    return result;
  }
  static void ReadMenu(HMENU menu, bool topLevel, std::vector<refhost::MenuRow>* rows) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      char text[256] = "";
      MENUITEMINFOA mii = {};
      mii.cbSize = sizeof mii;
      mii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
      mii.dwTypeData = text;
      mii.cch = sizeof text;
      if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii)) continue;
      refhost::MenuRow row;
      row.position = i;
      row.topLevel = topLevel;
      row.id = mii.hSubMenu != nullptr ? 0 : mii.wID;
      row.text = text;
      row.checked = (mii.fState & MFS_CHECKED) != 0;
      rows->push_back(row);
      if (mii.hSubMenu != nullptr) ReadMenu(mii.hSubMenu, false, rows);
    }
  }
};

// ---- start-up ------------------------------------------------------------------------

std::string ExeDir() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir = path;
  const size_t slash = dir.find_last_of("\\/");
  return slash == std::string::npos ? "." : dir.substr(0, slash);
}

// A Unix path given under Wine lies on drive Z:.
std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

void LearnFilterName() {
  std::string error;
  if (LoadPlugin(&error)) UnloadPlugin();
}

int Usage() {
  std::fprintf(stderr,
               "usage: refhost [--plugin FILE.auf] [--ini FILE] [--largest WxH] [IMAGE | FOLDER | card]\n"
               "       refhost [--plugin FILE.auf] [--ini FILE] --script FILE... [--out DIR] [--quiet]\n"
               "       refhost [--plugin FILE.auf] [--ini FILE] [--bench] [--tiny] [--breakdown] [--soak N] [--seed S]\n");
  return 2;
}

void CreateMainWindow() {
  host.mainWindow = CreateWindowExA(0,                                   // no extended style
                                    kMainClass,                          // window class
                                    "refhost - main window (O open, Space play, V plug-in window)",
                                    WS_OVERLAPPEDWINDOW,                 // framed, resizable
                                    0, 0,                                // top-left of the screen
                                    680, 440,                            // room for a 640 by 360 frame
                                    nullptr,                             // no parent
                                    nullptr,                             // no menu
                                    GetModuleHandleA(nullptr),           // this program
                                    nullptr);                            // no creation data
  if (host.mainWindow == nullptr) {
    // Under Wine this means no display could be reached.
    Fault("cannot create the main window, error " + std::to_string(GetLastError()));
    return;
  }
  ShowWindow(host.mainWindow, SW_SHOWNOACTIVATE);
}

int RunInteractive(const std::string& source) {
  host.interactive = true;
  if (source.empty() || source == "card") {
    host.frame = refhost::TestCard(640, 360);
  } else if (GetFileAttributesA(source.c_str()) & FILE_ATTRIBUTE_DIRECTORY &&
             GetFileAttributesA(source.c_str()) != INVALID_FILE_ATTRIBUTES) {
    host.sequence = refhost::ImageFilesIn(source);
    if (host.sequence.empty()) {
      std::fprintf(stderr, "refhost: no PNG, JPEG or BMP files in %s\n", source.c_str());
      return 1;
    }
  } else {
    host.sequence = {source};
  }
  if (!host.sequence.empty()) {
    std::string error;
    if (!refhost::LoadImageFile(host.sequence[0], &host.frame, &error)) {
      std::fprintf(stderr, "refhost: error: %s\n", error.c_str());
      return 1;
    }
  }
  CreateMainWindow();
  std::string error;
  if (!StartPlugin(&error)) {
    std::fprintf(stderr, "refhost: error: %s\n", error.c_str());
    return 1;
  }
  host.editing = true;
  Notify(HostMsgFileOpen, 0, 0);
  DisplayFrame();
  SetShown(true);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  StopPlugin();
  return host.faults.empty() ? 0 : 1;
}

}  // namespace

namespace refhost {
std::unique_ptr<Driver> NewHostDriver() { return std::make_unique<Win32Driver>(); }
FilterTable* PluginTable() { return host.table; }
HWND PluginWindow() { return host.pluginWindow; }
void* HostEditHandle() { return kEditHandle; }
void OpenMainWindow() { CreateMainWindow(); }
void CloseMainWindow() {
  if (host.mainWindow != nullptr) DestroyWindow(host.mainWindow);
  host.mainWindow = nullptr;
  PumpMessages();
}
}  // namespace refhost

int main(int argc, char** argv) {
  std::vector<std::string> scripts;
  std::string source;
  refhost::ScenarioOptions options;
  bool bench = false, tiny = false, breakdown = false;
  int soak = 0;
  unsigned seed = 1;
  host.pluginPath = ExeDir() + "\\quorvex.auf";
  host.iniPath = ExeDir() + "\\refhost.ini";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--plugin" && hasValue) host.pluginPath = WindowsPath(argv[++i]);
    else if (arg == "--ini" && hasValue) host.iniPath = WindowsPath(argv[++i]);
    else if (arg == "--script" && hasValue) scripts.push_back(WindowsPath(argv[++i]));
    else if (arg == "--out" && hasValue) options.outDir = WindowsPath(argv[++i]);
    else if (arg == "--quiet") options.quiet = true;
    else if (arg == "--bench") bench = true;
    else if (arg == "--tiny") tiny = true;
    else if (arg == "--breakdown") breakdown = true;
    else if (arg == "--soak" && hasValue) soak = std::atoi(argv[++i]);
    else if (arg == "--seed" && hasValue) seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 0));
    else if (arg == "--largest" && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &host.largestWidth, &host.largestHeight) != 2) return Usage();
    } else if (!arg.empty() && arg[0] == '-') return Usage();
    else source = WindowsPath(arg);
  }
  // An INI path without a folder would land in the Windows folder.
  if (host.iniPath.find_first_of("\\/") == std::string::npos) host.iniPath = ".\\" + host.iniPath;

  // Windows 10's border colour: pictures then match the native stand-in.
  const INT element = COLOR_ACTIVEBORDER;
  const COLORREF border = RGB(180, 180, 180);
  SetSysColors(1, &element, &border);

  FillServices();
  RegisterClasses(GetModuleHandleA(nullptr));
  LearnFilterName();
  // The measuring modes run after any scenarios, in the same process.
  auto measure = [&](int rc) {
    if (bench && refhost::RunBench(tiny, breakdown) != 0 && rc == 0) rc = 1;
    if (soak > 0 && refhost::RunSoak(soak, seed) != 0 && rc == 0) rc = 1;
    std::fflush(stdout);
    return rc;
  };
  if (scripts.empty()) return bench || soak > 0 ? measure(0) : RunInteractive(source);

  // Several scenarios run one after another in this one process, each from a
  // fresh host (the plug-in is unloaded between them); with more than one,
  // each writes its pictures into a folder of its own name under --out.
  refhost::ScenarioTotals totals;
  int worst = 0;
  const std::string outBase = options.outDir;
  CreateDirectoryA(outBase.c_str(), nullptr);
  for (const std::string& script : scripts) {
    Host fresh;
    fresh.largestWidth = host.largestWidth;
    fresh.largestHeight = host.largestHeight;
    fresh.pluginPath = host.pluginPath;
    fresh.iniPath = host.iniPath;
    fresh.section = host.section;
    fresh.services = host.services;
    host = std::move(fresh);
    refhost::ScenarioOptions one = options;
    one.totals = &totals;
    if (scripts.size() > 1) {
      std::string name = script.substr(script.find_last_of("\\/") + 1);
      name = name.substr(0, name.find_last_of('.'));
      one.outDir = outBase + "\\" + name;
      CreateDirectoryA(one.outDir.c_str(), nullptr);
      std::printf("== %s\n", name.c_str());
    }
    CreateMainWindow();
    Win32Driver driver;
    const int rc = refhost::RunScenarioFile(driver, script, one);
    if (rc > worst) worst = rc;
    DestroyWindow(host.mainWindow);
    PumpMessages();
  }
  if (scripts.size() > 1)
    std::printf("scenarios: %d passed, %d failed, %d skipped\n", totals.passed, totals.failed, totals.skipped);
  std::fflush(stdout);
  return measure(worst);
}
