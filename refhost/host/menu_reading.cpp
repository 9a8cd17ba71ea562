#include "refhost/host/menu_reading.h"

namespace refhost {

void ReadMenu(HMENU menu, bool topLevel, std::vector<MenuRow>* rows) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
    mii.dwTypeData = text;
    mii.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii)) continue;
    rows->push_back({.position = i,
                     .topLevel = topLevel,
                     .id = mii.hSubMenu != nullptr ? 0 : mii.wID,
                     .text = text,
                     .checked = (mii.fState & MFS_CHECKED) != 0});
    if (mii.hSubMenu != nullptr) ReadMenu(mii.hSubMenu, false, rows);
  }
}

void MenuTexts(HMENU menu, std::wstring* texts) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    if (GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION) > 0) texts->append(text);
    HMENU popup = GetSubMenu(menu, i);
    if (popup != nullptr) MenuTexts(popup, texts);
  }
}

}  // namespace refhost
