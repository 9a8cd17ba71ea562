#include "tests/fake_host.h"

#include <algorithm>

#include "state/stored_settings.h"

namespace fakehost {
namespace {

Host host;
std::vector<UINT> captureOwnerMessages;

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

BOOL GetHostInfo(void* editHandle, HostInfo* info) {
  ++host.getHostInfoCalls;
  host.hostInfoEditHandle = editHandle;
  info->maxWidth = host.maxWidth;
  info->maxHeight = host.maxHeight;
  return 1;
}

void* GetDisplayImage(void*, int flags) {
  ++host.getDisplayImageCalls;
  host.displayImageFlags = flags;
  if (host.nullImage || host.image.empty()) return nullptr;
  return host.image.data();
}

}  // namespace

Host& Start(int clientWidth, int clientHeight) {
  standin::Reset();
  viewState = ViewState{};
  captureOwnerMessages.clear();
  host = Host{};
  host.services.IsEditing = IsEditing;
  host.services.IsFilterWindowVisible = IsFilterWindowVisible;
  host.services.LoadIntSetting = LoadIntSetting;
  host.services.SaveIntSetting = SaveIntSetting;
  host.services.GetHostInfo = GetHostInfo;
  host.services.GetDisplayImage = GetDisplayImage;

  host.table = GetFilterTable();
  host.window = standin::CreateTestWindow(clientWidth, clientHeight, [](HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    const Delivered d = {msg, w, l, host.depth};
    host.delivered.push_back(d);
    if (host.beforeMessage) host.beforeMessage(d);
    ++host.depth;
    LRESULT result = static_cast<LRESULT>(host.table->filterWndProc(hwnd, msg, w, l, host.editHandle, host.table));
    --host.depth;
    return result;
  });
  host.table->services = &host.services;
  host.table->window = host.window;
  return host;
}

Host& Current() { return host; }

LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) { return standin::Send(host.window, message, wParam, lParam); }
LRESULT Init() { return Send(HostMsgInit); }
LRESULT Exit() { return Send(HostMsgExit); }

WPARAM Wheel(int delta) { return MAKEWPARAM(0, delta); }

void SetFrame(int width, int height) {
  host.frameWidth = width;
  host.frameHeight = height;
  host.image = refhost::CoordFrame(width, height).dib;
}

uint64_t PixelHash(const std::vector<uint32_t>& pixels) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint32_t p : pixels) {
    for (int shift = 0; shift < 32; shift += 8) {
      h ^= (p >> shift) & 0xFF;
      h *= 0x100000001b3ull;
    }
  }
  return h;
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

LRESULT Play(const Step& step) {
  host.windowVisible = step.visible;
  host.editing = step.editing;
  return step.message == kFrame ? Frame() : Send(step.message, step.wParam, step.lParam);
}

void SetView(ViewState view) {
  view.frameWidth = viewState.frameWidth;
  view.frameHeight = viewState.frameHeight;
  view.snapshotDc = viewState.snapshotDc;
  view.snapshotBitmap = viewState.snapshotBitmap;
  viewState = view;
}

HWND MakeCaptureOwner() {
  HWND owner = standin::CreateTestWindow(64, 64, [](HWND, UINT msg, WPARAM, LPARAM) {
    captureOwnerMessages.push_back(msg);
    return static_cast<LRESULT>(0);
  });
  SetCapture(owner);
  return owner;
}

std::vector<UINT>& CaptureOwnerMessages() { return captureOwnerMessages; }

std::string Violations() {
  std::string out;
  auto check = [&out](bool ok, const std::string& what) {
    if (!ok) out += (out.empty() ? "" : "; ") + what;
  };
  const ViewState& s = viewState;
  for (const StoredSetting& k : kStoredSettings) {
    const int v = s.*k.field;
    const std::string values = std::to_string(k.lowest) + ".." + std::to_string(k.highest);
    check(!k.clamped || (v >= k.lowest && v <= k.highest), k.key + (" " + std::to_string(v)) + " outside " + values);
  }
  // The tools know the settings from the list alone: a key missing there is one they miss.
  for (const SettingEvent& e : host.settingsLog) {
    auto listed = [&e](const StoredSetting& k) { return e.key == k.key; };
    check(std::ranges::any_of(kStoredSettings, listed), e.key + " not in kStoredSettings");
  }
  check(!(s.dragging == 1 && s.tracking == 1), "dragging and tracking both 1");
  check(!(s.coordLocked == 1 && (s.dragging != 0 || s.tracking != 0)), "locked but not idle");
  check((s.snapshotDc == nullptr) == (s.snapshotBitmap == nullptr), "half a snapshot");
  const int flags[] = {s.coordLocked, s.dragging, s.tracking};
  for (int flag : flags) check(flag == 0 || flag == 1, "flag " + std::to_string(flag) + " not 0 or 1");
  check(s.pendingDx >= -(1 << 30) && s.pendingDx <= (1 << 30), "pendingDx " + std::to_string(s.pendingDx));
  check(s.pendingDy >= -(1 << 30) && s.pendingDy <= (1 << 30), "pendingDy " + std::to_string(s.pendingDy));

  const standin::Books b = standin::GetBooks();
  const int snapshot = s.snapshotDc != nullptr ? 1 : 0;
  check(b.windowDcsOut == 0, "window DCs out " + std::to_string(b.windowDcsOut));
  check(b.regionsAlive == 0, "regions alive " + std::to_string(b.regionsAlive));
  check(b.nonStockPenSelections == 0, "own pens selected " + std::to_string(b.nonStockPenSelections));
  check(b.stockDeletes == 0, "stock objects deleted " + std::to_string(b.stockDeletes));
  check(b.selectedDeletes == 0, "selected objects deleted " + std::to_string(b.selectedDeletes));
  check(b.badHandleCalls == 0, "calls with bad handles " + std::to_string(b.badHandleCalls));
  check(b.memoryDcsAlive == snapshot,
        "memory DCs alive " + std::to_string(b.memoryDcsAlive) + ", snapshot " + std::to_string(snapshot));
  check(b.bitmapsAlive == snapshot,
        "bitmaps alive " + std::to_string(b.bitmapsAlive) + ", snapshot " + std::to_string(snapshot));
  return out;
}

}  // namespace fakehost
