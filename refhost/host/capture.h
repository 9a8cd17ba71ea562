// What a window shows, read back from the screen.
#pragma once

#include <windows.h>

#include "refhost/scenario/scenario.h"

namespace refhost {

// The client area, or the whole window with frame, caption and menu bar, as
// 0xRRGGBB pixels; false when the window is not shown or cannot be read.
bool CaptureWindowPixels(HWND hwnd, bool whole, Pixels* out);

}  // namespace refhost
