#include "refhost/host/plugin.h"

#include <string>

#include "refhost/host/services.h"
#include "refhost/host/session.h"

namespace refhost {
namespace {

constexpr char kPluginClass[] = "TavimoRefHostPlugin";

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
    result = session.table->filterWndProc(hwnd, msg, wParam, lParam, HostEditHandle(), session.table);
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
  session.table->services = HostServiceTable();
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
  info.editHandle = HostEditHandle();
  const BOOL result = session.table->filterProc(session.table, &info);
  ++session.framesShown;
  if (result != 1) Fault("per-frame callback returned " + std::to_string(result));
  if (session.mainWindow != nullptr) InvalidateRect(session.mainWindow, nullptr, FALSE);
  return result;
}

long NotifyPlugin(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (session.table == nullptr || session.table->filterWndProc == nullptr) return 0;
  session.lastCallbackResult =
      session.table->filterWndProc(session.pluginWindow, msg, wParam, lParam, HostEditHandle(), session.table);
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

}  // namespace refhost
