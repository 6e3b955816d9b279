// DirectDrawFixture and the pixel helpers of the DirectDraw tests.
#include "ddsupport.h"

#include <algorithm>

DirectDrawFixture::DirectDrawFixture() {
    if (FAILED(DirectDrawCreate(nullptr, &directDraw, nullptr))) {
        directDraw = nullptr;
        return;
    }
    directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
}

DirectDrawFixture::~DirectDrawFixture() {
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        (*it)->Release();
    if (directDraw != nullptr)
        directDraw->Release();
}

IDirectDrawSurface* DirectDrawFixture::NewSurface(int width, int height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    IDirectDrawSurface* surface = nullptr;
    if (directDraw == nullptr || FAILED(directDraw->CreateSurface(&desc, &surface, nullptr)))
        return nullptr;
    owned.push_back(surface);
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    return surface;
}

IDirectDrawClipper* DirectDrawFixture::NewClipper(const RECT& rect) {
    IDirectDrawClipper* clipper = nullptr;
    if (FAILED(directDraw->CreateClipper(0, &clipper, nullptr)))
        return nullptr;
    owned.push_back(clipper);
    struct {
        RGNDATAHEADER header;
        RECT rect;
    } region{};
    region.header.dwSize = sizeof(RGNDATAHEADER);
    region.header.iType = RDH_RECTANGLES;
    region.header.nCount = 1;
    region.header.nRgnSize = sizeof(RECT);
    region.header.rcBound = rect;
    region.rect = rect;
    clipper->SetClipList(reinterpret_cast<RGNDATA*>(&region), 0);
    return clipper;
}

std::vector<uint32_t> ReadPixels(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (surface == nullptr || FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return {};
    std::vector<uint32_t> pixels;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        auto* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(desc.lpSurface) +
                                                      static_cast<ptrdiff_t>(y) * desc.lPitch);
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            pixels.push_back(row[x] & 0x00FFFFFFu);
    }
    surface->Unlock(nullptr);
    return pixels;
}

bool WritePixels(IDirectDrawSurface* surface, const std::vector<uint32_t>& pixels) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return false;
    if (pixels.size() != static_cast<size_t>(desc.dwWidth) * desc.dwHeight) {
        surface->Unlock(nullptr);
        return false;
    }
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<char*>(desc.lpSurface) +
                                                static_cast<ptrdiff_t>(y) * desc.lPitch);
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            row[x] = pixels[static_cast<size_t>(y) * desc.dwWidth + x];
    }
    surface->Unlock(nullptr);
    return true;
}

std::vector<uint32_t> Pattern(int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<uint32_t>((x + 1) | ((y + 1) << 8) | (0x40 << 16)));
    return pixels;
}

RECT Bounds(const std::vector<uint32_t>& pixels, int width, uint32_t colour, int* count,
            bool other) {
    int height = static_cast<int>(pixels.size()) / width, found = 0;
    RECT box{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((pixels[static_cast<size_t>(y) * width + x] == colour) != other) {
                ++found;
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            }
    if (count != nullptr)
        *count = found;
    return box;
}
