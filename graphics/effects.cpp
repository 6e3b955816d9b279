// Mosaic and wave effects, built only from blits and fills of whole rows, columns and rectangles.
#include <cmath>

#include "graphics.h"

void Graphics::Mosaic(IDirectDrawSurface* surface, int32_t left, int32_t top, int32_t right,
                      int32_t bottom, int32_t blockSize) {
    if (blockSize <= 0 || surface == nullptr)
        return;
    int32_t w = right - left;
    int32_t h = bottom - top;
    IDirectDrawSurface* scratch = nullptr;
    if (!CreateOffscreenSurface(scratch, w, h))
        return;
    int32_t sw = w / blockSize;
    int32_t sh = h / blockSize;
    BltRect(scratch, 0, 0, sw, sh, surface, left, top, right, bottom, DDBLT_WAIT);
    BltRect(surface, left, top, right, bottom, scratch, 0, 0, sw, sh, DDBLT_WAIT);
    scratch->Release();
}

void Graphics::MosaicSurface(IDirectDrawSurface* surface, int32_t blockSize) {
    int32_t w = 0, h = 0;
    if (GetSurfaceSize(surface, &w, &h))
        Mosaic(surface, 0, 0, w, h, blockSize);
}

void Graphics::WaveRows(IDirectDrawSurface* surface, int32_t left, int32_t top, int32_t right,
                        int32_t bottom, int32_t phase, int32_t amplitude, bool fillGaps,
                        uint32_t fillColor) {
    int32_t n = bottom - top;
    if (n <= 0 || surface == nullptr)
        return;
    for (int32_t i = 0; i < n; ++i) {
        int32_t y = top + i;
        int32_t k = 2 * phase + 2 * i;
        // 3.141592 here and 3.14159 for columns: deliberate, the truncated offsets depend on it.
        auto off = static_cast<int32_t>(
            std::sin(static_cast<double>(k) * 3.141592 / static_cast<double>(n)) *
            static_cast<double>(amplitude));
        BltRect(surface, left + off, y, right + off, y + 1, surface, left, y, right, y + 1,
                DDBLT_WAIT);
        if (fillGaps) {
            if (off >= 0)
                FillRect(surface, left, y, left + off, y + 1, fillColor);
            else
                FillRect(surface, right + off, y, right, y + 1, fillColor);
        }
    }
}

void Graphics::WaveRowsSurface(IDirectDrawSurface* surface, int32_t phase, int32_t amplitude,
                               bool fillGaps, uint32_t fillColor) {
    int32_t w = 0, h = 0;
    if (GetSurfaceSize(surface, &w, &h))
        WaveRows(surface, 0, 0, w, h, phase, amplitude, fillGaps, fillColor);
}

void Graphics::WaveColumns(IDirectDrawSurface* surface, int32_t left, int32_t top, int32_t right,
                           int32_t bottom, int32_t phase, int32_t amplitude, bool fillGaps,
                           uint32_t fillColor) {
    int32_t n = right - left;
    if (n <= 0 || surface == nullptr)
        return;
    for (int32_t i = 0; i < n; ++i) {
        int32_t x = left + i;
        int32_t k = 2 * phase + 2 * i;
        // 3.14159, not the rows' 3.141592: deliberate (see WaveRows).
        auto off = static_cast<int32_t>(
            std::sin(static_cast<double>(k) * 3.14159 / static_cast<double>(n)) *
            static_cast<double>(amplitude));
        BltRect(surface, x, top + off, x + 1, bottom + off, surface, x, top, x + 1, bottom,
                DDBLT_WAIT);
        if (fillGaps) {
            if (off >= 0)
                FillRect(surface, x, top, x + 1, top + off, fillColor);
            else
                FillRect(surface, x, bottom + off, x + 1, bottom, fillColor);
        }
    }
}

void Graphics::WaveColumnsSurface(IDirectDrawSurface* surface, int32_t phase, int32_t amplitude,
                                  bool fillGaps, uint32_t fillColor) {
    int32_t w = 0, h = 0;
    if (GetSurfaceSize(surface, &w, &h))
        WaveColumns(surface, 0, 0, w, h, phase, amplitude, fillGaps, fillColor);
}

void Graphics::BltWave(IDirectDrawSurface* destination, int32_t x, int32_t y,
                       IDirectDrawSurface* source, int32_t left, int32_t top, int32_t right,
                       int32_t bottom, int32_t phase, int32_t amplitude, bool keyed) {
    int32_t w = right - left;
    int32_t h = bottom - top;
    if (destination == nullptr || source == nullptr)
        return;
    if (!keyed) {
        BltRect(destination, x, y, x + w, y + h, source, left, top, right, bottom, DDBLT_WAIT);
        WaveColumns(destination, x, y, x + w, y + h, phase, amplitude, true, 0);
        return;
    }
    IDirectDrawSurface* scratch = nullptr;
    CopySurfaceRegion(scratch, source, left, top, right, bottom, true);
    if (scratch == nullptr)
        return;
    uint32_t key = 0;
    GetColorKey(scratch, &key, nullptr);
    WaveColumns(scratch, 0, 0, w, h, phase, amplitude, true, key);
    BltRect(destination, x, y, x + w, y + h, scratch, 0, 0, w, h, DDBLT_WAIT | DDBLT_KEYSRC);
    scratch->Release();
}
