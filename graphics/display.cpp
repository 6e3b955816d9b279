// DisplayBlock and Graphics construction, display initialisation and presentation.
#include <algorithm>
#include <cstdint>

#include "core/errorlog.h"
#include "core/release.h"
#include "graphics.h"

namespace {
constexpr const char* displayFailedText = "DirectDrawの初期化に失敗しました。";

// Cuts the destination span [low, high) to [0, limit) and the source span it is stretched from
// in proportion (rounded outwards, so that a source pixel partly shown stays in). False when
// nothing of either is left.
bool CutSpan(LONG& low, LONG& high, LONG& sourceLow, LONG& sourceHigh, LONG limit) {
    int64_t size = int64_t{high} - low, sourceSize = int64_t{sourceHigh} - sourceLow;
    int64_t cutLow = std::max<int64_t>(0, -int64_t{low});
    int64_t cutHigh = std::max<int64_t>(0, int64_t{high} - limit);
    if (size <= 0 || sourceSize <= 0 || cutLow + cutHigh >= size)
        return false;
    sourceLow += static_cast<LONG>(cutLow * sourceSize / size);
    sourceHigh -= static_cast<LONG>(cutHigh * sourceSize / size);
    low += static_cast<LONG>(cutLow);
    high -= static_cast<LONG>(cutHigh);
    return sourceLow < sourceHigh;
}

} // namespace

void DisplayBlock::RecordFrameMetrics() {
    frameWidth = GetSystemMetrics(SM_CXFRAME);
    frameHeight = GetSystemMetrics(SM_CYFRAME);
    menuHeight = GetSystemMetrics(SM_CYMENU);
}

Graphics::Graphics() {
    RecordFrameMetrics();
}

bool Graphics::CreateDisplayClipper(IDirectDrawClipper*& target, int32_t width, int32_t height) {
    if (FAILED(directDraw->CreateClipper(0, &target, nullptr)))
        return false;
    struct {
        RGNDATAHEADER header;
        RECT rect;
    } region{};
    region.header.dwSize = sizeof(RGNDATAHEADER);
    region.header.iType = RDH_RECTANGLES;
    region.header.nCount = 1;
    region.header.nRgnSize = sizeof(RECT);
    region.header.rcBound = RECT{0, 0, width, height};
    region.rect = RECT{0, 0, width, height};
    if (FAILED(target->SetClipList(reinterpret_cast<RGNDATA*>(&region), 0))) {
        ReleaseAndClear(target);
        return false;
    }
    return true;
}

void Graphics::FailDisplay() {
    WriteErrorLog(displayFailedText);
    ReleaseAndClear(clipper);
    ReleaseAndClear(primarySurface);
    if (windowed)
        ReleaseAndClear(backSurface);
    ReleaseAndClear(directDraw);
}

bool Graphics::InitDisplay(HWND window, int32_t width, int32_t height, int32_t bitsPerPixel,
                           bool windowedMode, GUID* deviceGuid) {
    if (directDraw == nullptr && FAILED(DirectDrawCreate(deviceGuid, &directDraw, nullptr)))
        return false;
    // The failure path releases the back surface only when windowed; it reads the mode requested.
    int32_t previousWindowed = windowed;
    windowed = windowedMode ? 1 : 0;
    auto fail = [&] {
        FailDisplay();
        windowed = previousWindowed;
        return false;
    };
    if (windowedMode) {
        if (FAILED(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL)))
            return fail();
    } else {
        if (FAILED(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN |
                                                               DDSCL_ALLOWREBOOT |
                                                               DDSCL_ALLOWMODEX)) ||
            FAILED(directDraw->SetDisplayMode(width, height, bitsPerPixel)))
            return fail();
    }
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (windowedMode) {
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE;
    } else {
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps =
            DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    }
    if (FAILED(directDraw->CreateSurface(&desc, &primarySurface, nullptr)))
        return fail();
    if (windowedMode) {
        ReleaseAndClear(backSurface);
        DDSURFACEDESC backDesc{};
        backDesc.dwSize = sizeof backDesc;
        backDesc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        backDesc.dwWidth = static_cast<DWORD>(width);
        backDesc.dwHeight = static_cast<DWORD>(height);
        backDesc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        if (FAILED(directDraw->CreateSurface(&backDesc, &backSurface, nullptr)))
            return fail();
        if (clipper != nullptr)
            backSurface->SetClipper(clipper);
        FillSurface(backSurface, 0);
    } else {
        DDSCAPS caps{DDSCAPS_BACKBUFFER};
        if (FAILED(primarySurface->GetAttachedSurface(&caps, &backSurface)))
            return fail();
    }
    if (!CreateDisplayClipper(clipper, width, height))
        return fail();
    if (FAILED(backSurface->SetClipper(clipper)))
        return fail();
    if (!windowedMode) {
        if (FAILED(primarySurface->SetClipper(clipper)))
            return fail();
        FillSurface(primarySurface, 0);
    }
    FillSurface(backSurface, 0);
    this->width = width;
    this->height = height;
    return true;
}

bool Graphics::RemakeDisplay(HWND window) {
    if (directDraw == nullptr)
        return false;
    // The depth of the mode the display runs in (used in full screen only), while it is known.
    DDSURFACEDESC mode{};
    mode.dwSize = sizeof mode;
    if (primarySurface != nullptr)
        primarySurface->GetSurfaceDesc(&mode);
    ReleaseAndClear(clipper);
    if (windowed)
        ReleaseAndClear(backSurface);
    backSurface = nullptr; // in full screen it went with the primary's flip chain
    ReleaseAndClear(primarySurface);
    // The DirectDraw object stays its owner's: the failure path of InitDisplay releases the
    // reference taken here, not the owner's.
    IDirectDraw* owner = directDraw;
    owner->AddRef();
    bool made =
        InitDisplay(window, width, height, static_cast<int32_t>(mode.ddpfPixelFormat.dwRGBBitCount),
                    windowed != 0, nullptr);
    if (made)
        owner->Release();
    else
        directDraw = owner;
    return made;
}

HRESULT Graphics::Present(HWND window) {
    if (primarySurface == nullptr || backSurface == nullptr)
        return DDERR_INVALIDPARAMS;
    if (!windowed)
        return primarySurface->Flip(nullptr, DDFLIP_WAIT);
    // The window's real client area on the screen. Where the frame metrics describe the frame
    // this is the outer rectangle less those metrics; on today's Windows, whose captions and
    // borders are larger, only the client rectangle lines the picture up with the window.
    RECT client{};
    POINT origin{0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return DDERR_INVALIDPARAMS;
    RECT destination{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    RECT source{0, 0, width, height};
    // The primary has no clipper, and DirectDraw refuses a blit that reaches past a surface
    // without one: a window partly off the screen (or on a monitor left of or above the main one)
    // is drawn where it is on the screen, not frozen.
    DDSURFACEDESC screen{};
    screen.dwSize = sizeof screen;
    HRESULT described = primarySurface->GetSurfaceDesc(&screen);
    if (FAILED(described))
        return described;
    if (!CutSpan(destination.left, destination.right, source.left, source.right,
                 static_cast<LONG>(screen.dwWidth)) ||
        !CutSpan(destination.top, destination.bottom, source.top, source.bottom,
                 static_cast<LONG>(screen.dwHeight)))
        return DD_OK; // nothing of the window is on the screen
    return primarySurface->Blt(&destination, backSurface, &source, DDBLT_WAIT, nullptr);
}
