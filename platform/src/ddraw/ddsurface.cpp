// IDirectDrawSurface: blits, flips, colour keys, locks, device contexts and clippers of a surface.
#include <algorithm>

#include "ddraw/ddinternal.h"
#include "gdi/gdiinternal.h"
#include "kernel/kernelinternal.h"
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

Surface::Surface(const ScreenPixels& borrowed)
    : owner(nullptr), width(borrowed.width), height(borrowed.height), pitch(borrowed.pitch),
      caps(DDSCAPS_OFFSCREENPLAIN), bits(borrowed.bits) {}

Surface::~Surface() {
    DeletePrimaryScreen(screen);
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
    NoteUnsupportedFlags("Blt", flags, DDBLT_WAIT | DDBLT_COLORFILL | DDBLT_KEYSRC);
    auto* from = static_cast<Surface*>(source);
    RECT dest = destRect != nullptr ? *destRect : RECT{0, 0, width, height};
    RECT src = sourceRect != nullptr ? *sourceRect
               : from != nullptr     ? RECT{0, 0, from->width, from->height}
                                     : RECT{0, 0, 0, 0};
    if (from != nullptr)
        from->FinishDeferredStretch(); // it is read
    if (LeaveStretchToScreen(dest, from, src, flags, effects))
        return DD_OK;
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
    if (madeInEarlierMode)
        return DDERR_WRONGMODE; // never comes back: the surface must be made anew
    if (ShouldFail("Restore"))
        return DDERR_NOEXCLUSIVEMODE; // another program holds the display for now
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
    NoteUnsupportedFlags("SetColorKey", flags, DDCKEY_SRCBLT);
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
    ScreenPixels shown{bits, width, height, pitch};
    if (backBuffer != nullptr) {
        // Full screen: the front buffer fills the cooperative window's client area.
        PresentFrontBuffer(owner->window, shown);
        return;
    }
    PresentPrimary(&screen, &shown, nullptr, nullptr);
    if (shown.bits != bits) { // the screen keeps the pixels now
        bits = shown.bits;
        std::vector<uint32_t>().swap(pixels);
    }
}

// The game's present, a plain stretch of its back surface over the primary, is left to the screen
// where the X server shows that client area: the server makes the stretch on the screen by the
// same rule, and the primary's pixels get it only when read or changed.
bool Surface::LeaveStretchToScreen(const RECT& dest, Surface* from, const RECT& src, DWORD flags,
                                   const DDBLTFX* effects) {
    int sourceWidth = src.right - src.left, sourceHeight = src.bottom - src.top;
    if (!(caps & DDSCAPS_PRIMARYSURFACE) || backBuffer != nullptr || clipper != nullptr ||
        from == nullptr || from == this || from->Busy() ||
        (flags & ~static_cast<DWORD>(DDBLT_WAIT)) != 0 || effects != nullptr || sourceWidth <= 0 ||
        sourceHeight <= 0 || src.left < 0 || src.top < 0 || src.right > from->width ||
        src.bottom > from->height || dest.left < 0 || dest.top < 0 || dest.right > width ||
        dest.bottom > height || dest.left >= dest.right || dest.top >= dest.bottom ||
        (deferred && !SameRect(deferredDest, dest)))
        return false;
    ScreenPixels shown{bits, width, height, pitch};
    if (!ScreenMakesStretch(&screen, shown, dest, sourceWidth, sourceHeight))
        return false;
    OfferedStretch stretch{
        ScreenPixels{from->Row(src.top) + src.left, sourceWidth, sourceHeight, from->pitch}, dest};
    PresentPrimary(&screen, &shown, &stretch, &deferredSource);
    deferred = true;
    deferredDest = dest;
    return true;
}

void Surface::FinishDeferredStretch() {
    if (!deferred)
        return;
    deferred = false;
    BeforeWriting();
    Surface source(deferredSource);
    BlitPixels(this, deferredDest, &source, RECT{0, 0, deferredSource.width, deferredSource.height},
               DDBLT_WAIT, nullptr);
}

} // namespace Layer
