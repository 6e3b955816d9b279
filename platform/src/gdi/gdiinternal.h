// The layer's GDI objects: bitmaps and device contexts over bitmaps or DirectDraw surfaces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kernel/kernelinternal.h"

// A device-independent bitmap in 32-bit XRGB, top-down.
struct HBITMAP__ {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    HDC selectedInto = nullptr;
};

struct HFONT__;

namespace Layer {
// Pixels a DC draws on: a surface's or a bitmap's.
struct DrawingPixels {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    int pitch = 0; // in pixels
};
} // namespace Layer

struct HDC__ {
    bool ofSurface = false;               // a DirectDraw surface's DC (GetDC), drawing on:
    Layer::DrawingPixels surfacePixels{}; // its pixels, which do not move while the DC is out
    HBITMAP bitmap = nullptr;             // a memory DC's selected bitmap (null: the 1 x 1 default)
    HFONT font = nullptr;
    int backgroundMode = OPAQUE;
    COLORREF backgroundColor = 0x00FFFFFF;
    COLORREF textColor = 0;
};

namespace Layer {

// The font file and the emboldening CreateFontA chose; false for a handle that is no font.
bool FontFile(HFONT font, std::string* file, bool* bold);
HDC CreateSurfaceDC(const DrawingPixels& pixels);
void DeleteSurfaceDC(HDC dc);
bool IsLiveDC(HDC dc);
bool IsLiveBitmap(HBITMAP bitmap);
HBITMAP NewBitmap(int width, int height);
// The pixels a DC draws on; false for a memory DC with no bitmap, or an empty surface.
bool DrawingTarget(HDC dc, DrawingPixels* target);
// Fonts (fonts.cpp): selecting one into a DC and deleting it; null / FALSE for other objects.
HGDIOBJ SelectFont(HDC dc, HGDIOBJ object);
BOOL DeleteFont(HGDIOBJ object);
// A GDI COLORREF (0x00BBGGRR) as a 32-bit XRGB pixel.
inline uint32_t PixelFromColorRef(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

} // namespace Layer
