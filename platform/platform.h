// The one header through which plug-in code reaches Win32.
// The win32 build sees the real <windows.h>; the native build sees our software
// stand-in, which declares the same names for exactly the subset the plug-in uses.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The host calls every callback and service with cdecl; a mismatch corrupts the
// 32-bit stack silently, so every function pointer in a host record carries this.
#define HOSTAPI __cdecl
#else
#include "standin/win32.h"
#define HOSTAPI
#endif
