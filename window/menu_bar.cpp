#include "state/view_state.h"
#include "window/window_internal.h"

namespace {

struct MenuEntry {
  UINT id;
  const char* text;
};

// "設定" (settings)
constexpr char kSettingsText[] = "\x90\xDD\x92\xE8";
// clang-format off
constexpr MenuEntry kPopup[] = {
    {CmdWheelReverse, "\x83\x7A\x83\x43\x81\x5B\x83\x8B\x94\xBD\x93\x5D"},  // "ホイール反転"
    {CmdRuler, "\x83\x8B\x81\x5B\x83\x89\x81\x5B"},                         // "ルーラー"
    {CmdGridNone, "\x83\x4F\x83\x8A\x83\x62\x83\x68\x90\xFC(\x82\xC8\x82\xB5)"},  // "グリッド線(なし)"
    {CmdGridBlack, "\x83\x4F\x83\x8A\x83\x62\x83\x68\x90\xFC(\x8D\x95)"},         // "グリッド線(黒)"
    {CmdGridWhite, "\x83\x4F\x83\x8A\x83\x62\x83\x68\x90\xFC(\x94\x92)"},         // "グリッド線(白)"
};
// clang-format on

int IsChecked(UINT id) {
  switch (id) {
    case CmdWheelReverse: return viewState.wheelReversed != 0;
    case CmdRuler: return viewState.rulerOn != 0;
    case CmdGridNone: return viewState.gridMode == 0;
    case CmdGridBlack: return viewState.gridMode == 1;
    case CmdGridWhite: return viewState.gridMode == 2;
    default: return 0;
  }
}

UINT CheckState(int checked) { return checked != 0 ? MFS_CHECKED : MFS_UNCHECKED; }

}  // namespace

void SetMenuCheck(HMENU menu, UINT id, int checked) {
  MENUITEMINFOA item = {};
  item.cbSize = sizeof(MENUITEMINFOA);
  item.fMask = MIIM_STATE;
  item.fState = CheckState(checked);
  SetMenuItemInfoA(menu, id, FALSE, &item);
}

void BuildMenuBar(HWND window) {
  // A second start in the same window must not leave the first menu bar
  // orphaned: keep the one the window has and bring its checks up to date.
  HMENU existing = GetMenu(window);
  if (existing != nullptr) {
    for (const MenuEntry& entry : kPopup) SetMenuCheck(existing, entry.id, IsChecked(entry.id));
    return;
  }

  HMENU bar = CreateMenu();
  HMENU popup = CreateMenu();

  MENUITEMINFOA item = {};
  item.cbSize = sizeof(MENUITEMINFOA);
  item.fMask = MIIM_SUBMENU | MIIM_TYPE;
  item.fType = MFT_STRING;
  item.hSubMenu = popup;
  item.dwTypeData = const_cast<char*>(kSettingsText);
  const bool linked = bar != nullptr && popup != nullptr && InsertMenuItemA(bar, 0, TRUE, &item) != FALSE;
  if (linked) {
    item.fMask = MIIM_TYPE | MIIM_ID | MIIM_STATE;
    UINT position = 0;
    for (const MenuEntry& entry : kPopup) {
      item.dwTypeData = const_cast<char*>(entry.text);
      item.wID = entry.id;
      item.fState = CheckState(IsChecked(entry.id));
      InsertMenuItemA(popup, position++, TRUE, &item);
    }
    // May deliver WM_SIZE (the client area shrinks) before it returns.
    if (SetMenu(window, bar) != FALSE) return;
  }
  // Out of USER memory: no menu bar, and no menu left behind (the bar takes
  // its popup with it).
  if (bar != nullptr) DestroyMenu(bar);
  if (popup != nullptr && !linked) DestroyMenu(popup);
}
