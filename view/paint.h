// The one repaint of the plug-in window.
#pragma once

#include "host/filter_table.h"
#include "view/geometry.h"

// Paints the whole client area through the window's own DC: the empty window
// when no video is open or no snapshot exists, else ruler, background, image
// and grid. anchor, when given, becomes the new view centre.
void PaintView(FilterTable* table, void* editHandle, const FramePoint* anchor);
