// The five stored settings (their keys in state/stored_settings.h): read at
// HostMsgInit, written at HostMsgExit.
// Hosts see both orders as written below, and a host that keeps its settings in
// a text file writes a fresh file's lines in the order of the writes: a new key
// goes last in both.
#include "host/services.h"
#include "state/stored_settings.h"
#include "state/view_state.h"
#include "view/zoom.h"
#include "window/window_internal.h"

namespace {

// What the host answers when nothing is stored: the record's initial values.
constexpr ViewState kInitial{};

int Flag(int value) { return value != 0 ? 1 : 0; }

}  // namespace

// Stored values are never rejected: flags count any non-zero value as 1, the
// zoom step is clamped, the grid mode is taken as stored. The zoom step's
// default is the step the view holds, the record's initial one at a first run.
void LoadSettings(FilterTable* table) {
  viewState.wheelReversed = Flag(HostLoadIntSetting(table, kReverseKey, kInitial.wheelReversed));
  viewState.zoomLevel = ClampZoomLevel(HostLoadIntSetting(table, kZoomKey, viewState.zoomLevel));
  viewState.rulerOn = Flag(HostLoadIntSetting(table, kRulerKey, kInitial.rulerOn));
  viewState.menuOn = Flag(HostLoadIntSetting(table, kMenuKey, kInitial.menuOn));
  viewState.gridMode = HostLoadIntSetting(table, kGridKey, kInitial.gridMode);
}

// "menu" is only ever read: the user turns the menu bar off in the store itself.
void StoreSettings(FilterTable* table) {
  HostSaveIntSetting(table, kZoomKey, viewState.zoomLevel);
  HostSaveIntSetting(table, kReverseKey, Flag(viewState.wheelReversed));
  HostSaveIntSetting(table, kRulerKey, Flag(viewState.rulerOn));
  HostSaveIntSetting(table, kGridKey, viewState.gridMode);
}
