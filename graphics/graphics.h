// Graphics: the display fields with the display, surface, effect and text operations on them.
//
// Every operation handed a null surface (an image that failed to load, a scratch surface that
// could not be made) does nothing and reports failure: false, or DDERR_INVALIDPARAMS.
#pragma once

#include "displayblock.h"

struct TextStyle {
    const char* text;
    COLORREF color;
    int32_t transparent;
    COLORREF backColor;
    int32_t x;
    int32_t y;
    int32_t height;
    int32_t orientation;
    int32_t weight;
    int32_t italic;
    int32_t underline;
    const char* faceName;
};

class Graphics : public DisplayBlock {
public:
    // Records the window frame metrics; everything else stays zero until InitDisplay.
    Graphics();

    // Display (windowed: a primary surface and an off-screen back surface; full screen: a flip
    // chain), with one clipper of (0, 0, width, height) on the back surface.
    bool InitDisplay(HWND window, int32_t width, int32_t height, int32_t bitsPerPixel,
                     bool windowed, GUID* deviceGuid);
    // Makes the display anew on the same DirectDraw object, in the mode it runs in: for surfaces
    // that cannot come back after a change of display mode (Restore answers DDERR_WRONGMODE).
    // Every other surface made from the object must be released and made anew by its holder.
    // False, with InitDisplay's log entry and the display fields empty, when it cannot be made.
    bool RemakeDisplay(HWND window);
    // Shows the back surface: flips in full screen, stretches into the window's client area on the
    // screen when windowed, cut to the screen (the source in proportion) where the window reaches
    // past it; DD_OK with nothing drawn when no part of the client area is on the screen.
    HRESULT Present(HWND window);

    // Surfaces and blits.
    bool CreateOffscreenSurface(IDirectDrawSurface*& surface, int32_t width, int32_t height);
    void CopySurfaceRegion(IDirectDrawSurface*& surface, IDirectDrawSurface* source, int32_t left,
                           int32_t top, int32_t right, int32_t bottom, bool copyPixels);
    bool LoadBitmapSurface(IDirectDrawSurface*& surface, int32_t x, int32_t y, int32_t width,
                           int32_t height, const char* fileName, int32_t srcX, int32_t srcY);
    bool GetColorKey(IDirectDrawSurface* surface, uint32_t* low, uint32_t* high);
    bool SetColorKey(IDirectDrawSurface* surface, uint32_t low, uint32_t high);
    bool GetSurfaceSize(IDirectDrawSurface* surface, int32_t* width, int32_t* height);
    HRESULT BltRect(IDirectDrawSurface* destination, int32_t dl, int32_t dt, int32_t dr, int32_t db,
                    IDirectDrawSurface* source, int32_t sl, int32_t st, int32_t sr, int32_t sb,
                    DWORD flags);
    HRESULT BltStretch(IDirectDrawSurface* destination, IDirectDrawSurface* source, DWORD flags);
    HRESULT FillSurface(IDirectDrawSurface* surface, uint32_t color);
    HRESULT FillRect(IDirectDrawSurface* surface, int32_t left, int32_t top, int32_t right,
                     int32_t bottom, uint32_t color);

    // Effects.
    void Mosaic(IDirectDrawSurface* surface, int32_t left, int32_t top, int32_t right,
                int32_t bottom, int32_t blockSize);
    void MosaicSurface(IDirectDrawSurface* surface, int32_t blockSize);
    void WaveRows(IDirectDrawSurface* surface, int32_t left, int32_t top, int32_t right,
                  int32_t bottom, int32_t phase, int32_t amplitude, bool fillGaps,
                  uint32_t fillColor);
    void WaveRowsSurface(IDirectDrawSurface* surface, int32_t phase, int32_t amplitude,
                         bool fillGaps, uint32_t fillColor);
    void WaveColumns(IDirectDrawSurface* surface, int32_t left, int32_t top, int32_t right,
                     int32_t bottom, int32_t phase, int32_t amplitude, bool fillGaps,
                     uint32_t fillColor);
    void WaveColumnsSurface(IDirectDrawSurface* surface, int32_t phase, int32_t amplitude,
                            bool fillGaps, uint32_t fillColor);
    void BltWave(IDirectDrawSurface* destination, int32_t x, int32_t y, IDirectDrawSurface* source,
                 int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t phase,
                 int32_t amplitude, bool keyed);

    // Text. In the Windows build mingw's winuser.h defines DrawText and DrawTextEx as macros, so
    // these two are compiled (and called) as DrawTextA and DrawTextExA there; nothing else changes.
    bool DrawTextEx(IDirectDrawSurface* surface, TextStyle style);
    bool DrawText(IDirectDrawSurface* surface, const char* text, int32_t x, int32_t y,
                  int32_t height, COLORREF color, int32_t fontStyle);

private:
    bool CreateDisplayClipper(IDirectDrawClipper*& target, int32_t width, int32_t height);
    void FailDisplay();
};

// The program's drawing object; the start-up scene copies the application's display fields into it.
extern Graphics graphics;
