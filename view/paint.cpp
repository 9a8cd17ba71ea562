#include "view/paint.h"
// Placeholder until painting lands.
void PaintView(FilterTable*, void*, const FramePoint*) {}
