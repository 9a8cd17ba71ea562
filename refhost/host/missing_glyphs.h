// Characters a window's title and menus show as the font's missing-glyph box.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace refhost {

// The characters of the window's title (in the caption font) and of its menus
// (in the menu font) that are drawn as the font's missing-glyph box, each as
// "title C" or "menu C" with C in UTF-8; false when the fonts cannot be known.
bool BoxedCharacters(HWND window, std::vector<std::string>* out);

}  // namespace refhost
