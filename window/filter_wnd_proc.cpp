#include "host/filter_table.h"
// Placeholder until the window procedure lands.
extern "C" BOOL HOSTAPI FilterWndProc(HWND, UINT, WPARAM, LPARAM, void*, FilterTable*) { return 0; }
