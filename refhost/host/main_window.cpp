#include "refhost/host/main_window.h"

#include <string>

#include "refhost/host/plugin.h"
#include "refhost/host/session.h"

namespace refhost {
namespace {

constexpr char kMainClass[] = "TavimoRefHostMain";

MainWindowKeys viewerKeys = {};

// The main window's messages, to a plug-in that asked for them.
void NotifyMain(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (session.table != nullptr && (session.table->flags & kFilterMainMessages) != 0) NotifyPlugin(msg, wParam, lParam);
}

void PaintMain(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  const Frame& f = session.frame;
  if (session.editing && f.width > 0) {
    const BITMAPINFO header = FrameImageHeader(f.width, f.height);
    SetDIBitsToDevice(dc, 0, 0, f.width, f.height, 0, 0, 0, f.height, f.dib.data(), &header, DIB_RGB_COLORS);
  }
  EndPaint(hwnd, &ps);
}

// The left button in the main window: the window keeps the pointer while it is down.
void MainButtonDown(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  SetCapture(hwnd);
  session.mainPressed = true;
  NotifyMain(HostMsgMainMouseDown, wParam, lParam);
}

void MainButtonUp(WPARAM wParam, LPARAM lParam) {
  if (session.mainPressed) ReleaseCapture();
  session.mainPressed = false;
  NotifyMain(HostMsgMainMouseUp, wParam, lParam);
}

// Client pixels are frame pixels here: the pointer's lParam goes on as it is.
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: PaintMain(hwnd); return 0;
    case WM_LBUTTONDOWN: MainButtonDown(hwnd, wParam, lParam); return 0;
    case WM_MOUSEMOVE: NotifyMain(HostMsgMainMouseMove, wParam, lParam); return 0;
    case WM_LBUTTONUP: MainButtonUp(wParam, lParam); return 0;
    case WM_LBUTTONDBLCLK: NotifyMain(HostMsgMainDoubleClick, wParam, lParam); return 0;
    case WM_MOVE:
    case WM_SIZE: NotifyMain(HostMsgMainMoveSize, 0, 0); break;  // the default handling follows
    case WM_TIMER:
      if (viewerKeys.timer != nullptr) viewerKeys.timer();
      return 0;
    case WM_KEYDOWN:
      if (viewerKeys.key != nullptr) viewerKeys.key(hwnd, wParam);
      return 0;
    case WM_DESTROY:
      if (hostConfig.interactive) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterMainClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = kMainClass;
  RegisterClassA(&wc);
}

void OpenMainWindow() {
  session.mainWindow = CreateWindowExA(0,           // no extended style
                                       kMainClass,  // window class
                                       "refhost - main window (O open, Space play, V plug-in window)",
                                       WS_OVERLAPPEDWINDOW,        // framed, resizable
                                       0, 0,                       // top-left of the screen
                                       680, 440,                   // room for a 640 by 360 frame
                                       nullptr,                    // no parent
                                       nullptr,                    // no menu
                                       GetModuleHandleA(nullptr),  // this program
                                       nullptr);                   // no creation data
  if (session.mainWindow == nullptr) {
    // Under Wine this means no display could be reached.
    Fault("cannot create the main window, error " + std::to_string(GetLastError()));
    return;
  }
  ShowWindow(session.mainWindow, SW_SHOWNOACTIVATE);
}

void CloseMainWindow() {
  if (session.mainWindow != nullptr) DestroyWindow(session.mainWindow);
  session.mainWindow = nullptr;
  PumpMessages();
}

void SetMainWindowKeys(const MainWindowKeys& keys) { viewerKeys = keys; }

}  // namespace refhost
