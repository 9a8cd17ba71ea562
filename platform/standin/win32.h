// Software stand-in for the Win32 subset the plug-in uses (native builds only).
// Names, types and constants follow <windows.h>; behaviour follows real GDI/USER
// closely enough that pixels, calls and object lifetimes can be checked in tests.
#pragma once

#include <cstdint>

using BOOL = int;
using BYTE = unsigned char;
using WORD = unsigned short;
using DWORD = uint32_t;
using LONG = int32_t;
using UINT = unsigned int;
using INT = int;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using COLORREF = DWORD;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using DWORD_PTR = ULONG_PTR;

#define DECLARE_STANDIN_HANDLE(name) \
  struct name##__ {                  \
    int unused;                      \
  };                                 \
  using name = name##__*  // NOLINT(bugprone-macro-parentheses): a type name cannot take them
DECLARE_STANDIN_HANDLE(HWND);
DECLARE_STANDIN_HANDLE(HDC);
DECLARE_STANDIN_HANDLE(HMENU);
DECLARE_STANDIN_HANDLE(HINSTANCE);
DECLARE_STANDIN_HANDLE(HCURSOR);
DECLARE_STANDIN_HANDLE(HBITMAP);
DECLARE_STANDIN_HANDLE(HPEN);
DECLARE_STANDIN_HANDLE(HBRUSH);
DECLARE_STANDIN_HANDLE(HRGN);
#undef DECLARE_STANDIN_HANDLE
using HGDIOBJ = void*;
using HMODULE = HINSTANCE;

#define TRUE 1
#define FALSE 0

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
using LPRECT = RECT*;

struct POINT {
  LONG x;
  LONG y;
};
using LPPOINT = POINT*;

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

// Field order and types as <windows.h>; 48 bytes on 32-bit Windows, 80 here.
struct MENUITEMINFOA {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
};
using LPMENUITEMINFOA = MENUITEMINFOA*;
using LPCMENUITEMINFOA = const MENUITEMINFOA*;

// Window messages.
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_PAINT 0x000F
#define WM_COMMAND 0x0111
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MOUSEWHEEL 0x020A
#define WM_CAPTURECHANGED 0x0215
#define WM_USER 0x0400
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_MBUTTON 0x0010
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define MAKELONG(a, b) \
  ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define SIZE_RESTORED 0

// GDI constants.
#define WHITE_BRUSH 0
#define BLACK_BRUSH 4
#define WHITE_PEN 6
#define BLACK_PEN 7
#define COLOR_ACTIVEBORDER 10
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define SRCCOPY 0x00CC0020
#define BI_RGB 0
#define DIB_RGB_COLORS 0
#define RGN_ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define HGDI_ERROR reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1))

// Menus.
#define MIIM_STATE 0x00000001
#define MIIM_ID 0x00000002
#define MIIM_SUBMENU 0x00000004
#define MIIM_TYPE 0x00000010
#define MFT_STRING 0x00000000
#define MFS_UNCHECKED 0x00000000
#define MFS_CHECKED 0x00000008

#define MAKEINTRESOURCEA(i) reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i)))
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)(((WORD)(c)) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))

// USER
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
HMENU CreateMenu();
BOOL DestroyMenu(HMENU hMenu);
BOOL InsertMenuItemA(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmi);
BOOL SetMenu(HWND hWnd, HMENU hMenu);
HMENU GetMenu(HWND hWnd);
BOOL SetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmii);
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
HCURSOR SetCursor(HCURSOR hCursor);

// GDI
HDC CreateCompatibleDC(HDC hdc);
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
BOOL DeleteDC(HDC hdc);
BOOL DeleteObject(HGDIOBJ ho);
HGDIOBJ GetStockObject(int i);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan, UINT cLines,
                      const void* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse);
int SetStretchBltMode(HDC hdc, int mode);
BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop);
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL LineTo(HDC hdc, int x, int y);
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
int SelectClipRgn(HDC hdc, HRGN hrgn);
