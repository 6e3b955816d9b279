// IDirectDrawSurface: blits, flips, colour keys, locks, device contexts and clippers of a surface.
#include <algorithm>

#include "ddraw/ddinternal.h"
#include "gdi/gdiinternal.h"
#include "kernel/testhooks.h"

namespace Layer {

int RowPitch(int width) {
    if (width < 64)
        return width;
    return (((width + 15) / 16) | 1) * 16;
}

Surface::Surface(DirectDrawObject* owner, int width, int height, DWORD caps)
    : owner(owner), width(width), height(height), pitch(RowPitch(width)), caps(caps),
      pixels(static_cast<size_t>(pitch) * static_cast<size_t>(height), 0u), bits(pixels.data()) {}

Surface::~Surface() {
    for (Surface* source : {deferredSource, spareSource})
        if (source != nullptr)
            source->Release();
    DeleteSharedPixels(shared);
    if (clipper != nullptr)
        clipper->Release();
    if (dc != nullptr)
        DeleteSurfaceDC(dc);
    if (backBuffer != nullptr)
        backBuffer->Release();
    if (owner != nullptr) {
        auto& list = owner->surfaces;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (owner->primary == this)
            owner->primary = nullptr;
    }
}

HRESULT STDMETHODCALLTYPE Surface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE source,
                                       LPRECT sourceRect, DWORD flags, LPDDBLTFX effects) {
    if (lost || (source != nullptr && static_cast<Surface*>(source)->lost))
        return DDERR_SURFACELOST;
    if (Busy())
        return DDERR_SURFACEBUSY;
    if (effects != nullptr && effects->dwSize != sizeof(DDBLTFX))
        return DDERR_INVALIDPARAMS;
    auto* from = static_cast<Surface*>(source);
    RECT dest = destRect != nullptr ? *destRect : RECT{0, 0, width, height};
    RECT src = sourceRect != nullptr ? *sourceRect
               : from != nullptr     ? RECT{0, 0, from->width, from->height}
                                     : RECT{0, 0, 0, 0};
    if (from != nullptr)
        from->FinishDeferredStretch(); // it is read
    if (DeferStretch(dest, from, src, flags, effects)) {
        ShowOnScreen();
        return DD_OK;
    }
    FinishDeferredStretch();
    BeforeWriting();
    HRESULT result = BlitPixels(this, dest, from, src, flags, effects);
    if (SUCCEEDED(result) && (caps & DDSCAPS_PRIMARYSURFACE))
        ShowOnScreen();
    return result;
}

HRESULT STDMETHODCALLTYPE Surface::IsLost() {
    return lost ? DDERR_SURFACELOST : DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::Restore() {
    if (!lost)
        return DD_OK;
    if (ShouldFail("Restore"))
        return DDERR_WRONGMODE; // the display is not back yet: try again later
    lost = false;
    if (backBuffer != nullptr)
        backBuffer->lost = false;
    return DD_OK;
}

void Surface::Lose() {
    BeforeWriting();
    deferred = false; // the pixels are gone either way
    lost = true;
    std::fill(bits, bits + static_cast<size_t>(pitch) * height, static_cast<uint32_t>(lostFill));
}

HRESULT STDMETHODCALLTYPE Surface::Flip(LPDIRECTDRAWSURFACE, DWORD) {
    if (backBuffer == nullptr)
        return DDERR_NOTFLIPPABLE;
    if (lost || backBuffer->lost)
        return DDERR_SURFACELOST;
    if (Busy() || backBuffer->Busy())
        return DDERR_SURFACEBUSY;
    pixels.swap(backBuffer->pixels); // full-screen buffers are never shared
    bits = pixels.data();
    backBuffer->bits = backBuffer->pixels.data();
    ShowOnScreen();
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::GetAttachedSurface(LPDDSCAPS requested,
                                                      LPDIRECTDRAWSURFACE* attached) {
    if (requested == nullptr || attached == nullptr)
        return DDERR_INVALIDPARAMS;
    if (backBuffer == nullptr || !(requested->dwCaps & DDSCAPS_BACKBUFFER))
        return DDERR_NOTFOUND;
    backBuffer->AddRef();
    *attached = backBuffer;
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
    if (key == nullptr)
        return DDERR_INVALIDPARAMS;
    if (flags != DDCKEY_SRCBLT || !hasSourceKey)
        return DDERR_NOCOLORKEY;
    *key = sourceKey;
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
    if (!(flags & DDCKEY_SRCBLT))
        return DDERR_INVALIDPARAMS;
    hasSourceKey = key != nullptr;
    if (key != nullptr)
        sourceKey = *key;
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::GetDC(HDC* result) {
    if (result == nullptr)
        return DDERR_INVALIDPARAMS;
    if (lost)
        return DDERR_SURFACELOST;
    if (dc != nullptr)
        return DDERR_DCALREADYCREATED;
    if (locked)
        return DDERR_SURFACEBUSY;
    FinishDeferredStretch();
    BeforeWriting();
    dc = CreateSurfaceDC(DrawingPixels{bits, width, height, pitch});
    *result = dc;
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::ReleaseDC(HDC released) {
    if (dc == nullptr || released != dc)
        return DDERR_NODC;
    DeleteSurfaceDC(dc);
    dc = nullptr;
    if (caps & DDSCAPS_PRIMARYSURFACE)
        ShowOnScreen();
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::GetSurfaceDesc(LPDDSURFACEDESC desc) {
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC))
        return DDERR_INVALIDPARAMS;
    DescribeSurface(*this, desc);
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD, HANDLE) {
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC))
        return DDERR_INVALIDPARAMS;
    if (lost)
        return DDERR_SURFACELOST;
    if (Busy())
        return DDERR_SURFACEBUSY;
    RECT area = rect != nullptr ? *rect : RECT{0, 0, width, height};
    if (area.left < 0 || area.top < 0 || area.right > width || area.bottom > height ||
        area.left >= area.right || area.top >= area.bottom)
        return DDERR_INVALIDRECT;
    FinishDeferredStretch();
    BeforeWriting();
    DescribeSurface(*this, desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = Row(area.top) + area.left;
    locked = true;
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::Unlock(LPVOID) {
    if (!locked)
        return DDERR_NOTLOCKED;
    locked = false;
    if (caps & DDSCAPS_PRIMARYSURFACE)
        ShowOnScreen();
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE Surface::SetClipper(LPDIRECTDRAWCLIPPER newClipper) {
    auto* attached = static_cast<Clipper*>(newClipper);
    if (attached != nullptr)
        attached->AddRef();
    if (clipper != nullptr)
        clipper->Release();
    clipper = attached;
    return DD_OK;
}

void Surface::ShowOnScreen() {
    if (isBackBuffer)
        return;
    PaceFrame();
    if (backBuffer != nullptr) {
        // Full screen: the front buffer fills the cooperative window's client area.
        if (owner->window != nullptr)
            PresentToWindow(owner->window, bits, width, height, pitch);
        return;
    }
    // Windowed: the screen's pixels move, once, into memory the X server reads without a copy.
    if (shared == nullptr && !triedSharing && SharedPixelsPossible()) {
        triedSharing = true;
        shared = NewSharedPixels(pitch, height);
        if (shared != nullptr) {
            std::copy(pixels.begin(), pixels.end(), SharedPixelData(shared));
            bits = SharedPixelData(shared);
            std::vector<uint32_t>().swap(pixels);
        }
    }
    // Each window shows the part of the screen under its client area.
    for (HWND window : LiveWindows()) {
        if (!window->visible)
            continue;
        RECT client = ClientFromOuter(window->outer, window->style);
        if (client.left < 0 || client.top < 0 || client.right > width || client.bottom > height ||
            client.left >= client.right || client.top >= client.bottom)
            continue;
        int clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
        if (deferred && SameRect(client, deferredRect) && window->sdlWindow != nullptr &&
            ShowStretchThroughServer(window->sdlWindow, deferredSource->shared,
                                     deferredSource->width, deferredSource->height, clientWidth,
                                     clientHeight))
            continue;
        FinishDeferredStretch();
        if (window->sdlWindow == nullptr ||
            !ShowThroughServer(window->sdlWindow, shared, client.left, client.top, clientWidth,
                               clientHeight))
            PresentToWindow(window, Row(client.top) + client.left, client.right - client.left,
                            client.bottom - client.top, pitch);
    }
}

// The game's present, a plain stretch of its back surface over a window's client area that the X
// server shows, is not made here: its source is copied (a quarter of the pixels) and the server
// makes the stretch on the screen by the same rule. False where that cannot be done.
bool Surface::DeferStretch(const RECT& dest, Surface* from, const RECT& src, DWORD flags,
                           const DDBLTFX* effects) {
    int sourceWidth = src.right - src.left, sourceHeight = src.bottom - src.top;
    if (shared == nullptr || clipper != nullptr || from == nullptr || from == this ||
        from->Busy() || (flags & ~static_cast<DWORD>(DDBLT_WAIT)) != 0 || effects != nullptr ||
        sourceWidth <= 0 || sourceHeight <= 0 || src.left < 0 || src.top < 0 ||
        src.right > from->width || src.bottom > from->height || dest.left < 0 || dest.top < 0 ||
        dest.right > width || dest.bottom > height || dest.left >= dest.right ||
        dest.top >= dest.bottom)
        return false;
    bool onScreen = false;
    for (HWND window : LiveWindows()) {
        RECT client = ClientFromOuter(window->outer, window->style);
        onScreen = onScreen || (window->visible && window->sdlWindow != nullptr &&
                                SameRect(client, dest) && ShownThroughServer(window->sdlWindow));
    }
    if (!onScreen)
        return false;
    if (deferred && !SameRect(dest, deferredRect))
        FinishDeferredStretch(); // an earlier stretch elsewhere still belongs in the pixels
    // Two copies in turn: while the server still reads one, the program writes the other.
    std::swap(deferredSource, spareSource);
    if (deferredSource == nullptr || deferredSource->width != sourceWidth ||
        deferredSource->height != sourceHeight) {
        if (deferredSource != nullptr)
            deferredSource->Release();
        deferredSource = new Surface(nullptr, sourceWidth, sourceHeight, DDSCAPS_OFFSCREENPLAIN);
        deferredSource->shared = NewSharedPixels(deferredSource->pitch, sourceHeight);
        if (deferredSource->shared == nullptr) {
            deferredSource->Release();
            deferredSource = nullptr;
            deferred = false;
            return false;
        }
        deferredSource->bits = SharedPixelData(deferredSource->shared);
        std::vector<uint32_t>().swap(deferredSource->pixels);
    }
    deferredSource->BeforeWriting();
    for (int y = 0; y < sourceHeight; ++y)
        std::copy_n(from->Row(src.top + y) + src.left, sourceWidth, deferredSource->Row(y));
    deferred = true;
    deferredRect = dest;
    return true;
}

void Surface::FinishDeferredStretch() {
    if (!deferred)
        return;
    deferred = false;
    BeforeWriting();
    BlitPixels(this, deferredRect, deferredSource,
               RECT{0, 0, deferredSource->width, deferredSource->height}, DDBLT_WAIT, nullptr);
}

} // namespace Layer
