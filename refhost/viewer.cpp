// The host's main window, which shows the frame 1:1: pressing, moving and
// releasing the left button there sends the main-window pointer messages in
// frame pixels. Interactively it is also a viewer: O opens an image,
// Right/Left show the next or previous picture of a folder, Space plays or
// pauses a folder, C closes or reopens the video, V shows or hides the plug-in
// window, R writes the report (--report, report.h).
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <utility>

#include "refhost/host.h"
#include "refhost/report.h"
#include "refhost/scenario/images.h"

namespace refhost {
namespace {

constexpr char kMainClass[] = "TavimoRefHostMain";

// The interactive viewer's pictures: one image or a folder's.
struct Viewer {
  std::vector<std::string> sequence;
  size_t index = 0;
  bool playing = false;
};
Viewer viewer;

// The main window's messages, to a plug-in that asked for them.
void NotifyMain(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (session.table != nullptr && (session.table->flags & kFilterMainMessages) != 0) NotifyPlugin(msg, wParam, lParam);
}

void ShowPicture(size_t index) {
  if (viewer.sequence.empty()) return;
  viewer.index = index % viewer.sequence.size();
  std::string error;
  Frame frame;
  if (!LoadImageFile(viewer.sequence[viewer.index], &frame, &error)) {
    std::fprintf(stderr, "refhost: error: %s\n", error.c_str());
    return;
  }
  session.frame = std::move(frame);
  CallFrameProc();
}

void OpenImageDialog() {
  char file[MAX_PATH] = "";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = session.mainWindow;
  ofn.lpstrFilter = "Images\0*.png;*.jpg;*.jpeg;*.bmp\0All files\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.Flags = OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameA(&ofn)) return;
  viewer.sequence = {file};
  ShowPicture(0);
}

void ShowPluginWindow(bool shown) {
  ShowWindow(session.pluginWindow, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
  if (NotifyPlugin(HostMsgWindowChange, 0, 0) != 0) CallFrameProc();
}

void TogglePlaying(HWND hwnd) {
  viewer.playing = !viewer.playing && viewer.sequence.size() > 1;
  if (viewer.playing) SetTimer(hwnd, 1, 100, nullptr);
  else KillTimer(hwnd, 1);
}

void ToggleVideo(HWND hwnd) {
  session.editing = !session.editing;
  NotifyPlugin(session.editing ? HostMsgFileOpen : HostMsgFileClose, 0, 0);
  if (session.editing) CallFrameProc();
  InvalidateRect(hwnd, nullptr, FALSE);
}

void OnKey(HWND hwnd, WPARAM key) {
  switch (key) {
    case 'O': OpenImageDialog(); return;
    case VK_RIGHT: ShowPicture(viewer.index + 1); return;
    case VK_LEFT: ShowPicture(viewer.index + viewer.sequence.size() - 1); return;
    case VK_SPACE: TogglePlaying(hwnd); return;
    case 'C': ToggleVideo(hwnd); return;
    case 'V': ShowPluginWindow(!IsWindowVisible(session.pluginWindow)); return;
    case 'R': WriteReport("asked"); return;
  }
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
      if (viewer.playing) ShowPicture(viewer.index + 1);
      return 0;
    case WM_KEYDOWN: OnKey(hwnd, wParam); return 0;
    case WM_DESTROY:
      if (hostConfig.interactive) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The first frame: the test card, an image, or a folder's first picture.
bool LoadSource(const std::string& source) {
  const DWORD attributes = GetFileAttributesA(source.c_str());
  if (source.empty() || source == "card") {
    session.frame = TestCard(640, 360);
    return true;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    viewer.sequence = ImageFilesIn(source);
    if (viewer.sequence.empty()) {
      std::fprintf(stderr, "refhost: no PNG, JPEG or BMP files in %s\n", source.c_str());
      return false;
    }
  } else {
    viewer.sequence = {source};
  }
  std::string error;
  if (!LoadImageFile(viewer.sequence[0], &session.frame, &error)) {
    std::fprintf(stderr, "refhost: error: %s\n", error.c_str());
    return false;
  }
  return true;
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

int RunInteractive(const std::string& source) {
  hostConfig.interactive = true;
  if (!LoadSource(source)) return 1;
  OpenMainWindow();
  std::string error;
  if (!StartPlugin(&error)) {
    std::fprintf(stderr, "refhost: error: %s\n", error.c_str());
    return 1;
  }
  session.editing = true;
  NotifyPlugin(HostMsgFileOpen, 0, 0);
  CallFrameProc();
  ShowPluginWindow(true);
  WriteReport("start");
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  StopPlugin();
  WriteReport("exit");
  return session.faults.empty() ? 0 : 1;
}

}  // namespace refhost
