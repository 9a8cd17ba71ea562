// A window's menus read back through USER: every item's row, and their texts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "refhost/scenario/scenario.h"

namespace refhost {

// The rows of a menu and of its popups after each item that opens one.
void ReadMenu(HMENU menu, bool topLevel, std::vector<MenuRow>* rows);
// The menu texts of a menu and its popups, as Wide characters.
void MenuTexts(HMENU menu, std::wstring* texts);

}  // namespace refhost
