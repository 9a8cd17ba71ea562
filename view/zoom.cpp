#include "view/zoom.h"
// Placeholder until the zoom steps land.
int ZoomDenominator(int) { return 1; }
int ZoomDivisor(int) { return 3; }
int FormatTitle(char* buffer, int) { buffer[0] = 0; return 0; }
