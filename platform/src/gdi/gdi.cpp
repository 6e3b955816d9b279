// GDI device contexts and bitmaps: memory DCs, surface DCs, object selection and BitBlt.
#include <algorithm>
#include <cstring>
#include <memory>

#include "gdi/gdiinternal.h"
#include "kernel/testhooks.h"

namespace {

std::vector<std::unique_ptr<HDC__>>& Contexts() {
    static auto* contexts = new std::vector<std::unique_ptr<HDC__>>;
    return *contexts;
}

std::vector<std::unique_ptr<HBITMAP__>>& Bitmaps() {
    static auto* bitmaps = new std::vector<std::unique_ptr<HBITMAP__>>;
    return *bitmaps;
}

template <typename T> bool Listed(const std::vector<std::unique_ptr<T>>& list, const T* item) {
    return item != nullptr &&
           std::any_of(list.begin(), list.end(),
                       [&](const std::unique_ptr<T>& p) { return p.get() == item; });
}

template <typename T> void Unlist(std::vector<std::unique_ptr<T>>& list, const T* item) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const std::unique_ptr<T>& p) { return p.get() == item; }),
               list.end());
}

HDC NewContext() {
    Contexts().push_back(std::make_unique<HDC__>());
    return Contexts().back().get();
}

} // namespace

namespace Layer {

HDC CreateSurfaceDC(const DrawingPixels& pixels) {
    HDC dc = NewContext();
    dc->ofSurface = true;
    dc->surfacePixels = pixels;
    return dc;
}

void DeleteSurfaceDC(HDC dc) {
    Unlist(Contexts(), dc);
}

bool IsLiveDC(HDC dc) {
    return Listed(Contexts(), dc);
}

bool IsLiveBitmap(HBITMAP bitmap) {
    return Listed(Bitmaps(), bitmap);
}

HBITMAP NewBitmap(int width, int height) {
    auto bitmap = std::make_unique<HBITMAP__>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    Bitmaps().push_back(std::move(bitmap));
    return Bitmaps().back().get();
}

bool DrawingTarget(HDC dc, DrawingPixels* target) {
    if (dc->ofSurface) {
        *target = dc->surfacePixels;
        return target->width > 0 && target->height > 0;
    }
    if (dc->bitmap == nullptr)
        return false;
    *target = DrawingPixels{dc->bitmap->pixels.data(), dc->bitmap->width, dc->bitmap->height,
                            dc->bitmap->width};
    return true;
}

} // namespace Layer

HDC WINAPI CreateCompatibleDC(HDC dc) {
    if (dc != nullptr && !Layer::IsLiveDC(dc))
        return nullptr;
    if (Layer::ShouldFail("CreateCompatibleDC"))
        return nullptr;
    return NewContext();
}

BOOL WINAPI DeleteDC(HDC dc) {
    if (!Layer::IsLiveDC(dc) || dc->ofSurface)
        return FALSE; // a surface's DC goes back through ReleaseDC
    if (dc->bitmap != nullptr)
        dc->bitmap->selectedInto = nullptr;
    Unlist(Contexts(), dc);
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    if (!Layer::IsLiveDC(dc) || object == nullptr)
        return nullptr;
    auto* bitmap = static_cast<HBITMAP>(object);
    if (Layer::IsLiveBitmap(bitmap)) {
        if (dc->ofSurface || (bitmap->selectedInto != nullptr && bitmap->selectedInto != dc))
            return nullptr; // a bitmap is in one memory DC at a time
        HBITMAP previous = dc->bitmap;
        if (previous != nullptr)
            previous->selectedInto = nullptr;
        dc->bitmap = bitmap;
        bitmap->selectedInto = dc;
        return previous;
    }
    return Layer::SelectFont(dc, object);
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    auto* bitmap = static_cast<HBITMAP>(object);
    if (Layer::IsLiveBitmap(bitmap)) {
        if (bitmap->selectedInto != nullptr)
            return FALSE; // still selected into a DC
        Unlist(Bitmaps(), bitmap);
        return TRUE;
    }
    return Layer::DeleteFont(object);
}

int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer) {
    auto* bitmap = static_cast<HBITMAP>(object);
    if (!Layer::IsLiveBitmap(bitmap))
        return 0;
    if (buffer == nullptr)
        return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP info{};
    info.bmWidth = bitmap->width;
    info.bmHeight = bitmap->height;
    info.bmWidthBytes = bitmap->width * 4;
    info.bmPlanes = 1;
    info.bmBitsPixel = 32;
    info.bmBits = bitmap->pixels.data();
    memcpy(buffer, &info, sizeof info);
    return sizeof(BITMAP);
}

BOOL WINAPI BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                   int sourceY, DWORD rop) {
    if (!Layer::IsLiveDC(destination) || !Layer::IsLiveDC(source) || rop != SRCCOPY)
        return FALSE;
    Layer::DrawingPixels to, from;
    if (!Layer::DrawingTarget(destination, &to) || !Layer::DrawingTarget(source, &from))
        return FALSE;
    // GDI clips both rectangles to their bitmaps; pixels outside either are left alone.
    for (int row = 0; row < height; ++row) {
        int dy = y + row;
        int sy = sourceY + row;
        if (dy < 0 || dy >= to.height || sy < 0 || sy >= from.height)
            continue;
        int first = std::max({0, -x, -sourceX});
        int last = std::min({width, to.width - x, from.width - sourceX});
        if (first >= last)
            continue;
        memmove(to.pixels + static_cast<size_t>(dy) * to.pitch + x + first,
                from.pixels + static_cast<size_t>(sy) * from.pitch + sourceX + first,
                static_cast<size_t>(last - first) * sizeof(uint32_t));
    }
    return TRUE;
}

int WINAPI SetBkMode(HDC dc, int mode) {
    if (!Layer::IsLiveDC(dc) || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int previous = dc->backgroundMode;
    dc->backgroundMode = mode;
    return previous;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
    if (!Layer::IsLiveDC(dc))
        return 0xFFFFFFFF; // CLR_INVALID
    COLORREF previous = dc->backgroundColor;
    dc->backgroundColor = color;
    return previous;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
    if (!Layer::IsLiveDC(dc))
        return 0xFFFFFFFF;
    COLORREF previous = dc->textColor;
    dc->textColor = color;
    return previous;
}

namespace {
// Stock objects are fixed handles into this table.
struct StockHandle {
    int index;
};
StockHandle stockBrushes[6] = {{0}, {1}, {2}, {3}, {4}, {5}};
} // namespace

HGDIOBJ WINAPI GetStockObject(int index) {
    if (index < WHITE_BRUSH || index > NULL_BRUSH)
        return nullptr;
    return &stockBrushes[index];
}
