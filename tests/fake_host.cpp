#include "tests/fake_host.h"

namespace fakehost {
namespace {

Host host;

BOOL IsEditing(void* editHandle) {
  ++host.isEditingCalls;
  host.lastEditHandle = editHandle;
  return host.editing;
}

BOOL IsFilterWindowVisible(FilterTable*) {
  ++host.isFilterWindowVisibleCalls;
  return host.windowVisible;
}

int LoadIntSetting(FilterTable*, LPCSTR key, int defaultValue) {
  auto it = host.stored.find(key);
  int value = it == host.stored.end() ? defaultValue : it->second;
  host.settingsLog.push_back({false, key, defaultValue, value});
  return value;
}

BOOL SaveIntSetting(FilterTable*, LPCSTR key, int value) {
  host.stored[key] = value;
  host.settingsLog.push_back({true, key, 0, value});
  return 1;
}

BOOL GetHostInfo(void*, HostInfo* info) {
  ++host.getHostInfoCalls;
  info->maxWidth = host.maxWidth;
  info->maxHeight = host.maxHeight;
  return 1;
}

void* GetDisplayImage(void*, int) {
  ++host.getDisplayImageCalls;
  if (host.nullImage || host.image.empty()) return nullptr;
  return host.image.data();
}

}  // namespace

Host& Start(int clientWidth, int clientHeight) {
  standin::Reset();
  viewState = ViewState{};
  host = Host{};
  host.services.IsEditing = IsEditing;
  host.services.IsFilterWindowVisible = IsFilterWindowVisible;
  host.services.LoadIntSetting = LoadIntSetting;
  host.services.SaveIntSetting = SaveIntSetting;
  host.services.GetHostInfo = GetHostInfo;
  host.services.GetDisplayImage = GetDisplayImage;

  host.table = GetFilterTable();
  host.window = standin::CreateTestWindow(clientWidth, clientHeight, [](HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    return static_cast<LRESULT>(host.table->filterWndProc(hwnd, msg, w, l, host.editHandle, host.table));
  });
  host.table->services = &host.services;
  host.table->window = host.window;
  return host;
}

Host& Current() { return host; }

LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) { return standin::Send(host.window, message, wParam, lParam); }
LRESULT Init() { return Send(HostMsgInit); }
LRESULT Exit() { return Send(HostMsgExit); }

LPARAM Point(int x, int y) {
  return static_cast<LPARAM>((static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16));
}

uint32_t FrameColour(int x, int y) {
  uint32_t r = static_cast<uint32_t>(x) & 0xFF;
  uint32_t g = static_cast<uint32_t>(y) & 0xFF;
  uint32_t b = ((static_cast<uint32_t>(x) >> 8 & 0xF) << 4) | (static_cast<uint32_t>(y) >> 8 & 0xF);
  return r << 16 | g << 8 | b;
}

void SetFrame(int width, int height) {
  host.frameWidth = width;
  host.frameHeight = height;
  const int stride = (width * 3 + 3) & ~3;
  host.image.assign(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = host.image.data() + static_cast<size_t>(stride) * static_cast<size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      uint32_t c = FrameColour(x, y);
      row[x * 3 + 0] = static_cast<uint8_t>(c);        // blue
      row[x * 3 + 1] = static_cast<uint8_t>(c >> 8);   // green
      row[x * 3 + 2] = static_cast<uint8_t>(c >> 16);  // red
    }
  }
}

FrameProcInfo MakeFrameInfo() {
  FrameProcInfo info = {};
  info.width = host.frameWidth;
  info.height = host.frameHeight;
  info.editHandle = host.editHandle;
  return info;
}

BOOL Frame() {
  FrameProcInfo info = MakeFrameInfo();
  return host.table->filterProc(host.table, &info);
}

}  // namespace fakehost
