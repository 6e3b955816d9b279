// Off-screen surfaces, bitmaps loaded onto them, colour keys, and the blit and fill primitives.
#include "core/errorlog.h"
#include "core/release.h"
#include "graphics.h"

namespace {
constexpr const char* imageFailedFormat = "[Image] %sの読み込みに失敗しました。";

} // namespace

bool Graphics::CreateOffscreenSurface(IDirectDrawSurface*& surface, int32_t width, int32_t height) {
    ReleaseAndClear(surface);
    if (directDraw == nullptr)
        return false;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    if (width <= 0 || height <= 0 || FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) {
        surface = nullptr;
        return false;
    }
    if (clipper != nullptr)
        surface->SetClipper(clipper);
    FillSurface(surface, 0);
    return true;
}

void Graphics::CopySurfaceRegion(IDirectDrawSurface*& surface, IDirectDrawSurface* source,
                                 int32_t left, int32_t top, int32_t right, int32_t bottom,
                                 bool copyPixels) {
    ReleaseAndClear(surface);
    if (source == nullptr || !CreateOffscreenSurface(surface, right - left, bottom - top))
        return;
    if (copyPixels)
        BltRect(surface, 0, 0, right - left, bottom - top, source, left, top, right, bottom,
                DDBLT_WAIT);
    uint32_t low = 0;
    uint32_t high = 0;
    if (GetColorKey(source, &low, &high))
        SetColorKey(surface, low, high);
}

bool Graphics::LoadBitmapSurface(IDirectDrawSurface*& surface, int32_t x, int32_t y, int32_t width,
                                 int32_t height, const char* fileName, int32_t srcX, int32_t srcY) {
    if (fileName == nullptr)
        return false;
    HDC surfaceDC = nullptr;
    auto bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr)
        bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0,
                                                 LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    auto fail = [&] {
        if (surfaceDC != nullptr)
            surface->ReleaseDC(surfaceDC);
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        WriteErrorLogFormat(imageFailedFormat, fileName);
        return false;
    };
    if (bitmap == nullptr)
        return fail();
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    if (width == 0)
        width = info.bmWidth - srcX;
    if (height == 0)
        height = info.bmHeight - srcY;
    if (surface == nullptr && !CreateOffscreenSurface(surface, x + width, y + height))
        return fail();
    if (FAILED(surface->GetDC(&surfaceDC))) {
        surfaceDC = nullptr;
        return fail();
    }
    HDC memoryDC = CreateCompatibleDC(nullptr);
    if (memoryDC == nullptr)
        return fail();
    SelectObject(memoryDC, bitmap);
    BitBlt(surfaceDC, x, y, width, height, memoryDC, srcX, srcY, SRCCOPY);
    DeleteDC(memoryDC);
    surface->ReleaseDC(surfaceDC);
    DeleteObject(bitmap);
    return true;
}

bool Graphics::GetColorKey(IDirectDrawSurface* surface, uint32_t* low, uint32_t* high) {
    DDCOLORKEY key{};
    if (surface == nullptr || FAILED(surface->GetColorKey(DDCKEY_SRCBLT, &key)))
        return false;
    if (low != nullptr)
        *low = key.dwColorSpaceLowValue;
    if (high != nullptr)
        *high = key.dwColorSpaceHighValue;
    return true;
}

bool Graphics::SetColorKey(IDirectDrawSurface* surface, uint32_t low, uint32_t high) {
    DDCOLORKEY key{low, high};
    return surface != nullptr && SUCCEEDED(surface->SetColorKey(DDCKEY_SRCBLT, &key));
}

bool Graphics::GetSurfaceSize(IDirectDrawSurface* surface, int32_t* width, int32_t* height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (surface == nullptr || FAILED(surface->GetSurfaceDesc(&desc)))
        return false;
    *width = static_cast<int32_t>(desc.dwWidth);
    *height = static_cast<int32_t>(desc.dwHeight);
    return true;
}

HRESULT Graphics::BltRect(IDirectDrawSurface* destination, int32_t dl, int32_t dt, int32_t dr,
                          int32_t db, IDirectDrawSurface* source, int32_t sl, int32_t st,
                          int32_t sr, int32_t sb, DWORD flags) {
    if (destination == nullptr || source == nullptr)
        return DDERR_INVALIDPARAMS;
    RECT destRect{dl, dt, dr, db};
    RECT sourceRect{sl, st, sr, sb};
    return destination->Blt(&destRect, source, &sourceRect, flags, nullptr);
}

HRESULT Graphics::BltStretch(IDirectDrawSurface* destination, IDirectDrawSurface* source,
                             DWORD flags) {
    int32_t sourceWidth = 0, sourceHeight = 0, destWidth = 0, destHeight = 0;
    if (!GetSurfaceSize(source, &sourceWidth, &sourceHeight) ||
        !GetSurfaceSize(destination, &destWidth, &destHeight))
        return DDERR_INVALIDPARAMS;
    return BltRect(destination, 0, 0, destWidth, destHeight, source, 0, 0, sourceWidth,
                   sourceHeight, flags);
}

HRESULT Graphics::FillSurface(IDirectDrawSurface* surface, uint32_t color) {
    if (surface == nullptr)
        return DDERR_INVALIDPARAMS;
    DDBLTFX effects{};
    effects.dwSize = sizeof effects;
    effects.dwFillColor = color;
    return surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

HRESULT Graphics::FillRect(IDirectDrawSurface* surface, int32_t left, int32_t top, int32_t right,
                           int32_t bottom, uint32_t color) {
    if (surface == nullptr)
        return DDERR_INVALIDPARAMS;
    DDBLTFX effects{};
    effects.dwSize = sizeof effects;
    effects.dwFillColor = color;
    RECT rect{left, top, right, bottom};
    return surface->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}
