#include "refhost/viewer/viewer.h"

#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "refhost/host/main_window.h"
#include "refhost/host/plugin.h"
#include "refhost/host/session.h"
#include "refhost/scenario/images.h"
#include "refhost/viewer/report.h"

namespace refhost {
namespace {

// The interactive viewer's pictures: one image or a folder's.
struct Viewer {
  std::vector<std::string> sequence;
  size_t index = 0;
  bool playing = false;
};
Viewer viewer;

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

void OnTimer() {
  if (viewer.playing) ShowPicture(viewer.index + 1);
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

int RunInteractive(const std::string& source) {
  hostConfig.interactive = true;
  if (!LoadSource(source)) return 1;
  SetMainWindowKeys({.key = OnKey, .timer = OnTimer});
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
