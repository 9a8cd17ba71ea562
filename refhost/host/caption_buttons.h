// A window's caption buttons, left to right, cut from a picture of the whole
// window where Wine's non-client painting puts them: 2 pixels inside the
// frame, SM_CXSIZE - 2 wide and SM_CYSIZE - 4 high; close at the right, 2
// pixels apart from maximize, and minimize beside maximize.
#pragma once

#include <windows.h>

#include <vector>

#include "refhost/scenario/scenario.h"

namespace refhost {

std::vector<CaptionButton> CaptionButtons(HWND hwnd, const Pixels& whole);

}  // namespace refhost
