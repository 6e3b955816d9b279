// GDI calls of the subset: stock objects, colours and regions.
#pragma once

#include "windef.h"

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5

HGDIOBJ WINAPI GetStockObject(int index);

typedef DWORD COLORREF;
#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))

#define RDH_RECTANGLES 1

typedef struct _RGNDATAHEADER {
    DWORD dwSize;
    DWORD iType;
    DWORD nCount;
    DWORD nRgnSize;
    RECT rcBound;
} RGNDATAHEADER, *PRGNDATAHEADER;

typedef struct _RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1];
} RGNDATA, *PRGNDATA, *LPRGNDATA;

// Bitmaps, device contexts and text.
#define SRCCOPY 0x00CC0020
#define TRANSPARENT 1
#define OPAQUE 2
#define OBJ_BITMAP 7

typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP, *LPBITMAP;

HDC WINAPI CreateCompatibleDC(HDC dc);
BOOL WINAPI DeleteDC(HDC dc);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
BOOL WINAPI DeleteObject(HGDIOBJ object);
int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer);
// Copies pixels between device contexts; SRCCOPY only, no stretching (as with a 1:1 BitBlt).
BOOL WINAPI BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                   int sourceY, DWORD rop);
int WINAPI SetBkMode(HDC dc, int mode);
COLORREF WINAPI SetBkColor(HDC dc, COLORREF color);
COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);

#define FW_NORMAL 400
#define FW_BOLD 700
#define SHIFTJIS_CHARSET 128
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DEFAULT_PITCH 0
#define FF_ROMAN 0x10

// Fonts come from fontconfig. The Japanese Windows face names "ＭＳ Ｐゴシック", "ＭＳ ゴシック",
// "ＭＳ Ｐ明朝" and "ＭＳ 明朝" (code page 932) resolve to IPAPGothic, IPAGothic, IPAPMincho and
// IPAMincho. A positive height is the character cell height (ascent + descent) in pixels; weights
// of 600 and more are drawn emboldened. Glyphs are drawn without anti-aliasing, in the exact text
// colour.
HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCSTR faceName);
// Draws code page 932 text with its cell's top-left at (x, y), cut at the target's edges. A DC
// with no font selected draws in the proportional Gothic face, 16 pixels high.
BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
// The width TextOutA gives the text with the DC's font, and the font's cell height.
