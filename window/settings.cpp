// The five stored settings: one table drives both the reading at HostMsgInit
// and the writing at HostMsgExit.
#include <climits>

#include "host/services.h"
#include "state/view_state.h"
#include "view/zoom.h"
#include "window/window_internal.h"

namespace {

// How a stored value becomes its field. Stored values are never rejected.
enum class Read {
  Flag,      // any non-zero value counts as 1
  Level,     // clamped into kMinZoomLevel..kMaxZoomLevel
  AsStored,  // taken as it is
};

// As initial value: the value the field holds when the settings are read.
constexpr int kHeld = INT_MIN;
// As place at exit: never written (the user turns the menu bar off in the store itself).
constexpr int kReadOnly = 0;

struct Setting {
  LPCSTR key;
  int ViewState::*field;
  int initial;  // the default the host answers with when nothing is stored
  Read read;
  int writtenAt;  // place among the writes at exit, 1 first
};

// Rows in the order the host is asked for them. The writes keep an order of
// their own: a host that keeps its settings in a text file adds a key new to it
// at the end, so the order of the writes is the order of a fresh file's lines.
// clang-format off
constexpr Setting kSettings[] = {
    {"reverse", &ViewState::wheelReversed, 0,     Read::Flag,     2},
    {"nnn",     &ViewState::zoomLevel,     kHeld, Read::Level,    1},
    {"ruler",   &ViewState::rulerOn,       1,     Read::Flag,     3},
    {"menu",    &ViewState::menuOn,        1,     Read::Flag,     kReadOnly},
    {"grid",    &ViewState::gridMode,      0,     Read::AsStored, 4},
};
// clang-format on

constexpr int CountWritten() {
  int written = 0;
  for (const Setting& s : kSettings) written += s.writtenAt != kReadOnly ? 1 : 0;
  return written;
}
constexpr int kWritten = CountWritten();

// Bit p stands for place p: kWritten rows setting exactly the bits 1 to
// kWritten take each place once.
constexpr bool EachPlaceTakenOnce() {
  unsigned places = 0;
  for (const Setting& s : kSettings) {
    if (s.writtenAt != kReadOnly) places |= 1u << s.writtenAt;
  }
  return places == (2u << kWritten) - 2u;
}
static_assert(EachPlaceTakenOnce(), "the written settings take the places 1 to kWritten, each once");

int Flag(int value) { return value != 0 ? 1 : 0; }

int Taken(Read read, int stored) {
  switch (read) {
    case Read::Flag: return Flag(stored);
    case Read::Level: return ClampZoomLevel(stored);
    case Read::AsStored: return stored;
  }
  return stored;
}

}  // namespace

void LoadSettings(FilterTable* table) {
  for (const Setting& s : kSettings) {
    int& field = viewState.*s.field;
    field = Taken(s.read, HostLoadIntSetting(table, s.key, s.initial == kHeld ? field : s.initial));
  }
}

// Flags go back as 0 or 1; the level and the grid mode as they are.
void StoreSettings(FilterTable* table) {
  for (int at = 1; at <= kWritten; ++at) {
    for (const Setting& s : kSettings) {
      if (s.writtenAt != at) continue;
      const int value = viewState.*s.field;
      HostSaveIntSetting(table, s.key, s.read == Read::Flag ? Flag(value) : value);
    }
  }
}
