// The DirectDraw object and clippers: cooperative level, display mode, surface and clipper
// creation.
#include <algorithm>
#include <cstring>

#include "ddraw/ddinternal.h"
#include "kernel/kernelinternal.h"
#include "kernel/testhooks.h"

namespace Layer {

HRESULT STDMETHODCALLTYPE Clipper::SetClipList(LPRGNDATA clipList, DWORD flags) {
    if (ShouldFail("SetClipList"))
        return DDERR_INVALIDCLIPLIST;
    if (flags != 0)
        return DDERR_INVALIDPARAMS;
    if (clipList == nullptr) {
        hasList = false;
        rects.clear();
        return DD_OK;
    }
    if (clipList->rdh.dwSize != sizeof(RGNDATAHEADER) || clipList->rdh.iType != RDH_RECTANGLES)
        return DDERR_INVALIDCLIPLIST;
    const auto* listed = reinterpret_cast<const RECT*>(clipList->Buffer);
    rects.assign(listed, listed + clipList->rdh.nCount);
    hasList = true;
    return DD_OK;
}

Clipper::~Clipper() {
    if (owner != nullptr) {
        auto& list = owner->clippers;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

namespace {
// Every DirectDraw object alive, so that a lost display loses all of their surfaces.
std::vector<DirectDrawObject*>& LiveObjects() {
    static auto* objects = new std::vector<DirectDrawObject*>;
    return *objects;
}
} // namespace

void LoseAllSurfaces(bool modeChanged) {
    for (DirectDrawObject* object : LiveObjects())
        for (Surface* surface : object->surfaces) {
            surface->Lose();
            surface->madeInEarlierMode = surface->madeInEarlierMode || modeChanged;
        }
}

DirectDrawObject::DirectDrawObject() {
    LiveObjects().push_back(this);
}

DirectDrawObject::~DirectDrawObject() {
    auto& live = LiveObjects();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    // Everything made from this object is released with it, whatever its reference count, as
    // DirectDraw does: surfaces first (they let go of their clippers), then the clippers.
    std::vector<Surface*> ending;
    ending.swap(surfaces);
    for (Surface* surface : ending) {
        surface->owner = nullptr;
        surface->backBuffer = nullptr; // the back buffer is in the list itself
        surface->clipper = nullptr;    // every clipper is deleted below
    }
    for (Surface* surface : ending)
        delete surface;
    std::vector<Clipper*> clipping;
    clipping.swap(clippers);
    for (Clipper* clipper : clipping) {
        clipper->owner = nullptr;
        delete clipper;
    }
}

HRESULT STDMETHODCALLTYPE DirectDrawObject::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper,
                                                          IUnknown* outer) {
    if (clipper == nullptr || outer != nullptr || flags != 0)
        return DDERR_INVALIDPARAMS;
    if (ShouldFail("CreateClipper"))
        return DDERR_OUTOFMEMORY;
    auto* created = new Clipper();
    created->owner = this;
    clippers.push_back(created);
    *clipper = created;
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawObject::CreateSurface(LPDDSURFACEDESC desc,
                                                          LPDIRECTDRAWSURFACE* surface,
                                                          IUnknown* outer) {
    if (desc == nullptr || surface == nullptr || outer != nullptr ||
        desc->dwSize != sizeof(DDSURFACEDESC) || !(desc->dwFlags & DDSD_CAPS))
        return DDERR_INVALIDPARAMS;
    if (cooperativeLevel == 0)
        return DDERR_NOCOOPERATIVELEVELSET;
    if (ShouldFail("CreateSurface"))
        return DDERR_OUTOFMEMORY;
    DWORD caps = desc->ddsCaps.dwCaps;
    Surface* created = nullptr;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        if (primary != nullptr)
            return DDERR_INVALIDPARAMS; // one primary surface per DirectDraw object
        if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        bool flipChain = (desc->dwFlags & DDSD_BACKBUFFERCOUNT) && desc->dwBackBufferCount > 0;
        if (flipChain && !(cooperativeLevel & DDSCL_EXCLUSIVE))
            return DDERR_NOEXCLUSIVEMODE;
        int width = flipChain ? modeWidth : GetSystemMetrics(SM_CXSCREEN);
        int height = flipChain ? modeHeight : GetSystemMetrics(SM_CYSCREEN);
        created = new Surface(this, width, height, caps | DDSCAPS_FRONTBUFFER);
        if (flipChain) {
            created->backBuffer = new Surface(
                this, width, height, (caps & ~DDSCAPS_PRIMARYSURFACE) | DDSCAPS_BACKBUFFER);
            created->backBuffer->isBackBuffer = true;
            surfaces.push_back(created->backBuffer);
        }
        primary = created;
    } else {
        if (!(desc->dwFlags & DDSD_WIDTH) || !(desc->dwFlags & DDSD_HEIGHT) || desc->dwWidth == 0 ||
            desc->dwHeight == 0)
            return DDERR_INVALIDPARAMS;
        // Larger than any display the program could run on: refused rather than allocated.
        if (desc->dwWidth > 16384 || desc->dwHeight > 16384)
            return DDERR_OUTOFMEMORY;
        created = new Surface(this, static_cast<int>(desc->dwWidth),
                              static_cast<int>(desc->dwHeight), caps | DDSCAPS_SYSTEMMEMORY);
    }
    surfaces.push_back(created);
    *surface = created;
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawObject::FlipToGDISurface() {
    if (primary != nullptr && primary->backBuffer != nullptr)
        primary->ShowOnScreen();
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawObject::SetCooperativeLevel(HWND target, DWORD flags) {
    if (ShouldFail("SetCooperativeLevel"))
        return DDERR_INVALIDPARAMS;
    NoteUnsupportedFlags("SetCooperativeLevel", flags,
                         DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES |
                             DDSCL_NORMAL | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
    bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    bool fullScreen = (flags & DDSCL_FULLSCREEN) != 0;
    bool normal = (flags & DDSCL_NORMAL) != 0;
    if (exclusive != fullScreen || exclusive == normal)
        return DDERR_INVALIDPARAMS;
    if (exclusive && !IsLiveWindow(target))
        return DDERR_INVALIDPARAMS;
    if (target != nullptr && !IsLiveWindow(target))
        return DDERR_INVALIDPARAMS;
    window = target;
    cooperativeLevel = flags;
    return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawObject::SetDisplayMode(DWORD width, DWORD height,
                                                           DWORD bitsPerPixel) {
    if (ShouldFail("SetDisplayMode"))
        return DDERR_INVALIDMODE;
    if (!(cooperativeLevel & DDSCL_EXCLUSIVE))
        return DDERR_NOEXCLUSIVEMODE;
    bool knownDepth =
        bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    if (width == 0 || height == 0 || width > 4096 || height > 4096 || !knownDepth)
        return DDERR_INVALIDMODE;
    // No real mode change: the mode only sizes the flip chain shown in the window.
    modeWidth = static_cast<int>(width);
    modeHeight = static_cast<int>(height);
    return DD_OK;
}

} // namespace Layer

HRESULT WINAPI DirectDrawCreate(GUID* guid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
    if (directDraw == nullptr || outer != nullptr)
        return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (guid != nullptr)
        return DDERR_INVALIDPARAMS; // only the primary driver exists
    if (Layer::ShouldFail("DirectDrawCreate"))
        return DDERR_NODIRECTDRAWHW;
    *directDraw = new Layer::DirectDrawObject();
    return DD_OK;
}

HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context) {
    if (callback == nullptr)
        return DDERR_INVALIDPARAMS;
    char description[] = "Primary Display Driver";
    char name[] = "display";
    callback(nullptr, description, name, context);
    return DD_OK;
}
