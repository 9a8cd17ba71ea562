// The host's side of the plug-in interface: the service table it hands over,
// loading the plug-in and finding its record, creating the plug-in's window
// and passing that window's messages and the host's notifications to the
// window callback, as the editor does.
#include "refhost/host.h"
#include "refhost/report.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace refhost {

HostConfig hostConfig;
HostSession session;

namespace {

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

constexpr char kPluginClass[] = "TavimoRefHostPlugin";

// The services (cdecl: the caller removes the arguments).

BOOL __cdecl IsEditing(void* editHandle) {
  if (editHandle != kEditHandle) Fault("IsEditing given an edit handle that is not the host's");
  return session.editing ? 1 : 0;
}

BOOL __cdecl IsFilterWindowVisible(FilterTable* table) {
  if (table != session.table) Fault("IsFilterWindowVisible given a record that is not the plug-in's");
  return session.pluginWindow != nullptr && IsWindowVisible(session.pluginWindow) ? 1 : 0;
}

int __cdecl LoadIntSetting(FilterTable* table, LPCSTR key, int defaultValue) {
  if (table != session.table) Fault("LoadIntSetting given a record that is not the plug-in's");
  if (key == nullptr) {
    Fault("LoadIntSetting given no key");
    return defaultValue;
  }
  const int value = static_cast<int>(
      GetPrivateProfileIntA(hostConfig.section.c_str(), key, defaultValue, hostConfig.iniPath.c_str()));
  session.settingsLog.push_back("load " + std::string(key) + " " + std::to_string(defaultValue) + " -> " +
                                std::to_string(value));
  return value;
}

BOOL __cdecl SaveIntSetting(FilterTable* table, LPCSTR key, int value) {
  if (table != session.table) Fault("SaveIntSetting given a record that is not the plug-in's");
  if (key == nullptr) {
    Fault("SaveIntSetting given no key");
    return 0;
  }
  session.settingsLog.push_back("save " + std::string(key) + " " + std::to_string(value));
  return WritePrivateProfileStringA(hostConfig.section.c_str(), key, std::to_string(value).c_str(),
                                    hostConfig.iniPath.c_str());
}

BOOL __cdecl GetHostInfo(void* editHandle, HostInfo* info) {
  if (editHandle != nullptr) Fault("GetHostInfo given an edit handle (the plug-in passes 0)");
  // The host fills its whole 84-byte record.
  std::memset(info, 0, sizeof *info);
  info->maxWidth = session.largestWidth;
  info->maxHeight = session.largestHeight;
  return 1;
}

void* __cdecl GetDisplayImage(void* editHandle, int flags) {
  if (editHandle != kEditHandle) Fault("GetDisplayImage given an edit handle that is not the host's");
  if (flags != 0) Fault("GetDisplayImage given flags " + std::to_string(flags));
  return session.frame.dib.empty() ? nullptr : session.frame.dib.data();
}

template <int N>
int __cdecl UnexpectedService() {
  Fault("unexpected service " + std::to_string(N) + " (byte offset " + std::to_string(N * 4) + ")");
  return 0;
}

template <int... N>
ServiceTable UnexpectedServices(std::integer_sequence<int, N...>) {
  return {{reinterpret_cast<void*>(&UnexpectedService<N>)...}};
}

ServiceTable MakeServices() {
  ServiceTable t = UnexpectedServices(std::make_integer_sequence<int, kServiceSlots>());
  t.slot[offsetof(HostServices, IsEditing) / 4] = reinterpret_cast<void*>(&IsEditing);
  t.slot[offsetof(HostServices, IsFilterWindowVisible) / 4] = reinterpret_cast<void*>(&IsFilterWindowVisible);
  t.slot[offsetof(HostServices, LoadIntSetting) / 4] = reinterpret_cast<void*>(&LoadIntSetting);
  t.slot[offsetof(HostServices, SaveIntSetting) / 4] = reinterpret_cast<void*>(&SaveIntSetting);
  t.slot[offsetof(HostServices, GetHostInfo) / 4] = reinterpret_cast<void*>(&GetHostInfo);
  t.slot[offsetof(HostServices, GetDisplayImage) / 4] = reinterpret_cast<void*>(&GetDisplayImage);
  return t;
}

ServiceTable services = MakeServices();

using EntryPoint = FilterTable*(__cdecl*)();

bool LoadPlugin(std::string* error) {
  session.module = LoadLibraryA(hostConfig.pluginPath.c_str());
  if (session.module == nullptr) {
    *error = "LoadLibraryA(" + hostConfig.pluginPath + ") failed, error " + std::to_string(GetLastError());
    return false;
  }
  auto entry =
      reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(GetProcAddress(session.module, "GetFilterTable")));
  if (entry == nullptr)
    entry =
        reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(GetProcAddress(session.module, "GetFilterTable@0")));
  session.table = entry != nullptr ? entry() : nullptr;
  if (session.table == nullptr) {
    *error = entry == nullptr ? "no GetFilterTable entry point" : "GetFilterTable returned no record";
    FreeLibrary(session.module);
    session.module = nullptr;
    return false;
  }
  return true;
}

void UnloadPlugin() {
  session.table = nullptr;
  if (session.module != nullptr) FreeLibrary(session.module);
  session.module = nullptr;
}

// Every message of the plug-in's window goes to the window callback first, then
// to the default handling, as the editor does.
LRESULT CALLBACK PluginWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  long result = 0;
  if (session.table != nullptr && session.table->filterWndProc != nullptr)
    result = session.table->filterWndProc(hwnd, msg, wParam, lParam, kEditHandle, session.table);
  session.lastCallbackResult = result;
  if (result != 0) CallFrameProc();  // "show the current frame again"
  switch (msg) {
    case WM_PAINT:
      // The plug-in paints through GetDC and never ends the paint cycle.
      ValidateRect(hwnd, nullptr);
      return 0;
    case WM_ERASEBKGND: return 1;  // the plug-in paints the whole client area itself
    case WM_CLOSE:
      ShowWindow(hwnd, SW_HIDE);
      NotifyPlugin(HostMsgWindowChange, 0, 0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void NewSession() {
  HostSession fresh;
  fresh.largestWidth = hostConfig.largestWidth;
  fresh.largestHeight = hostConfig.largestHeight;
  session = std::move(fresh);
}

void Fault(const std::string& what) {
  session.faults.push_back(what);
  if (hostConfig.interactive) std::fprintf(stderr, "refhost: %s\n", what.c_str());
}

void LearnFilterName() {
  std::string error;
  if (!LoadPlugin(&error)) return;
  if (session.table->name != nullptr) hostConfig.section = session.table->name;
  UnloadPlugin();
}

void RegisterPluginClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;  // the plug-in zooms in on double clicks
  wc.lpfnWndProc = PluginWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;  // the plug-in paints the whole client area
  wc.lpszClassName = kPluginClass;
  RegisterClassA(&wc);
}

bool StartPlugin(std::string* error) {
  if (!LoadPlugin(error)) return false;
  const FilterTable& table = *session.table;
  const bool sizeGiven = (table.flags & kFilterWindowSize) != 0;
  RECT frame = {0, 0, sizeGiven ? table.windowWidth : 240, sizeGiven ? table.windowHeight : 240};
  const DWORD style =
      (table.flags & kFilterResizable) != 0 ? WS_OVERLAPPEDWINDOW : (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
  AdjustWindowRect(&frame, style, FALSE);
  session.pluginWindow = CreateWindowExA(0,                           // no extended style
                                         kPluginClass,                // window class
                                         hostConfig.section.c_str(),  // title until the plug-in sets its own
                                         style,                       // framed, resizable when the record says so
                                         700, 0,                      // right of the main window
                                         frame.right - frame.left,    // width of the whole window
                                         frame.bottom - frame.top,    // height of the whole window
                                         nullptr,                     // no parent
                                         nullptr,                     // no menu: the plug-in attaches its own
                                         GetModuleHandleA(nullptr),   // this program
                                         nullptr);                    // no creation data
  if (session.pluginWindow == nullptr) {
    *error = "CreateWindowExA failed, error " + std::to_string(GetLastError());
    UnloadPlugin();
    return false;
  }
  session.table->services = reinterpret_cast<HostServices*>(&services);
  session.table->window = session.pluginWindow;
  NotifyPlugin(HostMsgInit, 0, 0);
  PumpMessages();
  return true;
}

void StopPlugin() {
  if (session.table == nullptr) return;
  NotifyPlugin(HostMsgExit, 0, 0);
  PumpMessages();
  DestroyWindow(session.pluginWindow);
  session.pluginWindow = nullptr;
  UnloadPlugin();
}

long CallFrameProc() {
  if (session.table == nullptr || session.table->filterProc == nullptr) return 0;
  FrameProcInfo info = {};
  info.width = session.frame.width;
  info.height = session.frame.height;
  info.editHandle = kEditHandle;
  const BOOL result = session.table->filterProc(session.table, &info);
  CountFrameShown();
  if (result != 1) Fault("per-frame callback returned " + std::to_string(result));
  if (session.mainWindow != nullptr) InvalidateRect(session.mainWindow, nullptr, FALSE);
  return result;
}

long NotifyPlugin(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (session.table == nullptr || session.table->filterWndProc == nullptr) return 0;
  session.lastCallbackResult =
      session.table->filterWndProc(session.pluginWindow, msg, wParam, lParam, kEditHandle, session.table);
  return session.lastCallbackResult;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

FilterTable* PluginTable() { return session.table; }
HWND PluginWindow() { return session.pluginWindow; }
void* HostEditHandle() { return kEditHandle; }

}  // namespace refhost
