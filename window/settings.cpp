#include "host/services.h"
#include "state/view_state.h"
#include "view/zoom.h"
#include "window/window_internal.h"

namespace {
int Flag(int stored) { return stored != 0 ? 1 : 0; }
}  // namespace

// Stored values are never rejected: flags count any non-zero value as 1, the
// zoom step is clamped, the grid mode is taken as stored.
void LoadSettings(FilterTable* table) {
  viewState.wheelReversed = Flag(HostLoadIntSetting(table, "reverse", 0));
  viewState.zoomLevel = HostLoadIntSetting(table, "nnn", viewState.zoomLevel);
  viewState.rulerOn = Flag(HostLoadIntSetting(table, "ruler", 1));
  viewState.menuOn = Flag(HostLoadIntSetting(table, "menu", 1));
  viewState.gridMode = HostLoadIntSetting(table, "grid", 0);
  if (viewState.zoomLevel < kMinZoomLevel) {
    viewState.zoomLevel = kMinZoomLevel;
  } else if (viewState.zoomLevel > kMaxZoomLevel) {
    viewState.zoomLevel = kMaxZoomLevel;
  }
}

// "menu" is only ever read: the user turns the menu bar off in the store itself.
void StoreSettings(FilterTable* table) {
  HostSaveIntSetting(table, "nnn", viewState.zoomLevel);
  HostSaveIntSetting(table, "reverse", Flag(viewState.wheelReversed));
  HostSaveIntSetting(table, "ruler", Flag(viewState.rulerOn));
  HostSaveIntSetting(table, "grid", viewState.gridMode);
}
