// The settings kept in the host's store, one row each: the key, the record's
// field it holds and the values the plug-in itself gives it (its menu, its
// wheel, its saves). The reference host's report and bench, the fuzzer, the
// fake host and the real-input test read this list; the plug-in takes only the
// keys from it and reads and writes each setting in its own lines
// (window/settings.cpp), so a check against these ranges tests that code
// rather than repeating it. A new setting's row goes last.
#pragma once

#include "state/view_state.h"

constexpr LPCSTR kZoomKey = "nnn";
constexpr LPCSTR kReverseKey = "reverse";
constexpr LPCSTR kRulerKey = "ruler";
constexpr LPCSTR kGridKey = "grid";
constexpr LPCSTR kMenuKey = "menu";  // only ever read: the user turns the menu bar off in the store itself

// The record's field a setting fills.
using SettingField = int ViewState::*;

struct StoredSetting {
  LPCSTR key;
  SettingField field;
  int lowest;  // the plug-in's own values, lowest to highest
  int highest;
  bool clamped;  // a stored value outside them is brought inside when loaded; else it is taken as stored
};

// clang-format off
inline constexpr StoredSetting kStoredSettings[] = {
    {kZoomKey,    &ViewState::zoomLevel,     -9, 24, true},
    {kReverseKey, &ViewState::wheelReversed,  0,  1, true},
    {kRulerKey,   &ViewState::rulerOn,        0,  1, true},
    {kGridKey,    &ViewState::gridMode,       0,  2, false},
    {kMenuKey,    &ViewState::menuOn,         0,  1, true},
};
// clang-format on

// What a first run starts with, and the host is asked with: the record's initial value.
constexpr int Initial(const StoredSetting& s) { return ViewState{}.*s.field; }
