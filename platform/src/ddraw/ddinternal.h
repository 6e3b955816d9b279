// The layer's DirectDraw objects: the DirectDraw object, surfaces, clippers and the screen.
#pragma once

#include <cstdint>
#include <vector>

#include "ddraw.h"
#include "kernel/comobject.h"
#include "screen/screen.h"
#include "user/userinternal.h"

namespace Layer {

class DirectDrawObject;

class Clipper : public ComObject<IDirectDrawClipper> {
public:
    ~Clipper() override;
    HRESULT STDMETHODCALLTYPE SetClipList(LPRGNDATA clipList, DWORD flags) override;
    bool hasList = false;
    std::vector<RECT> rects;
    DirectDrawObject* owner = nullptr;
};

// The pitch of a surface's rows, in pixels. Rows wider than a few cache lines are padded to an odd
// number of 64-byte lines, as display drivers pad theirs: the rows of a column then fall into every
// cache set, not into a quarter or fewer of them (a pitch of 1280 bytes uses 16 of 64), which
// makes the waves' hundreds of one-pixel column copies a frame much cheaper. Lock reports it.
int RowPitch(int width);

class Surface : public ComObject<IDirectDrawSurface> {
public:
    Surface(DirectDrawObject* owner, int width, int height, DWORD caps);
    // A surface over pixels it does not own (a stretch the screen kept), to blit from.
    explicit Surface(const ScreenPixels& borrowed);
    ~Surface() override;

    HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE source, LPRECT sourceRect,
                                  DWORD flags, LPDDBLTFX effects) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE targetOverride, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS caps,
                                                 LPDIRECTDRAWSURFACE* attached) override;
    HRESULT STDMETHODCALLTYPE GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC* dc) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC desc) override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags,
                                   HANDLE event) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID surfaceData) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    // Loses the surface: its pixels become undefined until drawn again.
    void Lose();

    // The row y; the caller keeps inside the surface.
    uint32_t* Row(int y) { return bits + static_cast<size_t>(y) * pitch; }
    bool Busy() const { return locked || dc != nullptr; }
    // Before the pixels change: the screen may still be showing the ones shown last.
    void BeforeWriting() { BeforePrimaryChanges(screen); }
    // Hands a primary surface's frame to the screen (or a full-screen front buffer's).
    void ShowOnScreen();
    // Leaves a plain stretch into a windowed primary to the screen where the screen makes it
    // itself; true when it was left (and shown).
    bool LeaveStretchToScreen(const RECT& dest, Surface* from, const RECT& src, DWORD flags,
                              const DDBLTFX* effects);
    // Makes a stretch that was left to the screen, if any, in the pixels.
    void FinishDeferredStretch();

    DirectDrawObject* owner;
    int width;
    int height;
    int pitch; // pixels from the start of one row to the next (RowPitch)
    DWORD caps;
    std::vector<uint32_t> pixels;    // the surface's own storage, unless the screen holds it
    uint32_t* bits;                  // where the pixels are
    PrimaryScreen* screen = nullptr; // a windowed primary's side on the screen
    // A stretch left to the screen and not yet made in the pixels: the screen's copy of its
    // source, and where it goes.
    bool deferred = false;
    ScreenPixels deferredSource;
    RECT deferredDest{};
    bool hasSourceKey = false;
    DDCOLORKEY sourceKey{};
    Clipper* clipper = nullptr;
    bool locked = false;
    HDC dc = nullptr;
    Surface* backBuffer = nullptr; // of a full-screen primary surface
    bool isBackBuffer = false;
    bool lost = false;
    bool madeInEarlierMode = false; // lost by a change of display mode: Restore cannot bring it
};

class DirectDrawObject : public ComObject<IDirectDraw> {
public:
    DirectDrawObject();
    ~DirectDrawObject() override;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE FlipToGDISurface() override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height,
                                             DWORD bitsPerPixel) override;

    HWND window = nullptr;
    DWORD cooperativeLevel = 0;
    int modeWidth = 0;
    int modeHeight = 0;
    Surface* primary = nullptr;
    std::vector<Surface*> surfaces; // every live surface made from this object
    std::vector<Clipper*> clippers; // every clipper made from this object
};

// What a lost surface's pixels hold until something is drawn again.
constexpr uint32_t lostFill = 0x00FF00FF;

// Loses every surface of every DirectDraw object, as a lock screen does; after a change of display
// mode they are lost for good (Restore answers DDERR_WRONGMODE).
void LoseAllSurfaces(bool modeChanged);

// The source offset that destination offset i takes in a stretch: a 16.16 fixed-point step,
// truncated, so that shrinking and enlarging follow one rule.
inline int StretchOffset(int i, int sourceSize, int destinationSize) {
    int64_t step = (static_cast<int64_t>(sourceSize) << 16) / destinationSize;
    return static_cast<int>((i * step) >> 16);
}

// Copies or fills pixels between surfaces with the Blt rules of ddraw.h; rectangles are checked.
HRESULT BlitPixels(Surface* destination, const RECT& destRect, Surface* source,
                   const RECT& sourceRect, DWORD flags, const DDBLTFX* effects);
// Fills a descriptor with a surface's size, pitch and pixel format.
void DescribeSurface(const Surface& surface, DDSURFACEDESC* desc);
} // namespace Layer
