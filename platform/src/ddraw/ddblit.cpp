// The pixel work of Blt: rectangle checks, clipping, copies, stretches, colour keys and fills.
#include <algorithm>
#include <cstring>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "ddraw/ddinternal.h"

namespace {

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RECT& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

bool Inside(const RECT& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
}

// The part of the source that a clipped destination area shows: the source rectangle cut in
// proportion to the cut destination, with a single-precision scale truncated toward zero.
RECT ClippedSource(const RECT& destRect, const RECT& sourceRect, const RECT& area) {
    float scaleX = static_cast<float>(sourceRect.right - sourceRect.left) /
                   static_cast<float>(destRect.right - destRect.left);
    float scaleY = static_cast<float>(sourceRect.bottom - sourceRect.top) /
                   static_cast<float>(destRect.bottom - destRect.top);
    RECT clipped = sourceRect;
    clipped.left += static_cast<LONG>(static_cast<float>(area.left - destRect.left) * scaleX);
    clipped.right -= static_cast<LONG>(static_cast<float>(destRect.right - area.right) * scaleX);
    clipped.top += static_cast<LONG>(static_cast<float>(area.top - destRect.top) * scaleY);
    clipped.bottom -= static_cast<LONG>(static_cast<float>(destRect.bottom - area.bottom) * scaleY);
    return clipped;
}

void Fill(Layer::Surface* destination, const RECT& area, uint32_t color) {
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = destination->Row(y);
        std::fill(row + area.left, row + area.right, color);
    }
}

// An enlarging row, eight pixels at a time where the processor has AVX2: the eight come from at
// most eight neighbouring source pixels, so one load and one permutation make them. Returns how
// many leading pixels it wrote (the rest are left to the caller); none without AVX2.
#if defined(__x86_64__)
__attribute__((target("avx2"))) int EnlargeRowAvx2(uint32_t* destRow, const uint32_t* sourceRow,
                                                   const int* columns, int count, int sourceEnd) {
    int done = 0;
    for (; done + 8 <= count && columns[done] + 8 <= sourceEnd; done += 8) {
        const int* group = columns + done;
        __m256i lanes =
            _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(group)),
                             _mm256_set1_epi32(group[0]));
        __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sourceRow + group[0]));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(destRow + done),
                            _mm256_permutevar8x32_epi32(pixels, lanes));
    }
    return done;
}

int EnlargeRow(uint32_t* destRow, const uint32_t* sourceRow, const int* columns, int count,
               int sourceEnd) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? EnlargeRowAvx2(destRow, sourceRow, columns, count, sourceEnd) : 0;
}
#else
int EnlargeRow(uint32_t*, const uint32_t*, const int*, int, int) {
    return 0;
}
#endif

// A keyed row of equal width: source pixels whose colour lies in [low, span + low] leave the
// destination as it is. On x86-64 built for AVX2 as well, chosen when the program starts.
#if defined(__x86_64__)
#define WITH_AVX2_CLONE __attribute__((target_clones("avx2", "default")))
#else
#define WITH_AVX2_CLONE
#endif
WITH_AVX2_CLONE void KeyedRow(uint32_t* destRow, const uint32_t* from, size_t count, uint32_t low,
                              uint32_t span) {
    for (size_t i = 0; i < count; ++i) {
        uint32_t pixel = from[i];
        destRow[i] = ((pixel & 0x00FFFFFFu) - low) <= span ? destRow[i] : pixel;
    }
}

struct SourceView {
    const uint32_t* origin; // pixel (sourceRect.left, sourceRect.top)
    int pitch;              // in pixels
};

// Stretches the source rectangle (relative to the view's origin) over the destination area.
void Copy(Layer::Surface* destination, const RECT& area, const SourceView& source,
          const RECT& sourceRect, const DDCOLORKEY* key) {
    int destWidth = area.right - area.left;
    int destHeight = area.bottom - area.top;
    int sourceWidth = sourceRect.right - sourceRect.left;
    int sourceHeight = sourceRect.bottom - sourceRect.top;
    if (key == nullptr && sourceWidth == destWidth && sourceHeight == destHeight) {
        // A plain copy. Rows go in the order that reads each source row before it can be
        // overwritten when both lie in one surface, and memmove handles overlap within a row.
        const uint32_t* from =
            source.origin + static_cast<ptrdiff_t>(sourceRect.top) * source.pitch + sourceRect.left;
        uint32_t* to = destination->Row(area.top) + area.left;
        ptrdiff_t fromStep = source.pitch, toStep = destination->pitch;
        // Onto itself, as a third of a wave's lines are: nothing to do.
        if (from == to && fromStep == toStep)
            return;
        if (to > from) { // bottom row first
            from += (destHeight - 1) * fromStep;
            to += (destHeight - 1) * toStep;
            fromStep = -fromStep;
            toStep = -toStep;
        }
        if (destWidth == 1) { // a column of a wave: hundreds a frame
            for (int i = 0; i < destHeight; ++i, from += fromStep, to += toStep)
                *to = *from;
            return;
        }
        for (int i = 0; i < destHeight; ++i, from += fromStep, to += toStep)
            memmove(to, from, static_cast<size_t>(destWidth) * sizeof(uint32_t));
        return;
    }
    // Reused between blits: the waves make hundreds of small blits a frame.
    static thread_local std::vector<int> columns;
    columns.resize(static_cast<size_t>(destWidth));
    for (int x = 0; x < destWidth; ++x)
        columns[x] = sourceRect.left + Layer::StretchOffset(x, sourceWidth, destWidth);
    bool sameWidth = sourceWidth == destWidth;
    int previousSource = -1;
    for (int y = area.top; y < area.bottom; ++y) {
        int sy = sourceRect.top + Layer::StretchOffset(y - area.top, sourceHeight, destHeight);
        const uint32_t* sourceRow = source.origin + static_cast<ptrdiff_t>(sy) * source.pitch;
        uint32_t* destRow = destination->Row(y) + area.left;
        if (key == nullptr && sy == previousSource) {
            // An enlarged row repeats the one above it (the source is never this surface here).
            memcpy(destRow, destRow - destination->pitch, columns.size() * sizeof(uint32_t));
            continue;
        }
        previousSource = sy;
        if (key == nullptr && sameWidth) {
            memcpy(destRow, sourceRow + columns[0], columns.size() * sizeof(uint32_t));
            continue;
        }
        // Keyed: a select rather than a branch, so that the compiler can vectorise the row.
        uint32_t low = key != nullptr ? key->dwColorSpaceLowValue : 1;
        uint32_t high = key != nullptr ? key->dwColorSpaceHighValue : 0;
        if (sameWidth && low <= high) {
            KeyedRow(destRow, sourceRow + columns[0], columns.size(), low, high - low);
            continue;
        }
        if (sameWidth) { // an empty key range keys nothing
            memcpy(destRow, sourceRow + columns[0], columns.size() * sizeof(uint32_t));
            continue;
        }
        if (key == nullptr) {
            size_t i = sourceWidth < destWidth
                           ? static_cast<size_t>(EnlargeRow(destRow, sourceRow, columns.data(),
                                                            destWidth, sourceRect.right))
                           : 0;
            for (; i < columns.size(); ++i)
                destRow[i] = sourceRow[columns[i]];
            continue;
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            uint32_t pixel = sourceRow[columns[i]];
            uint32_t value = pixel & 0x00FFFFFFu;
            destRow[i] = value >= low && value <= high ? destRow[i] : pixel;
        }
    }
}

} // namespace

namespace Layer {

HRESULT BlitPixels(Surface* destination, const RECT& destRect, Surface* source,
                   const RECT& sourceRect, DWORD flags, const DDBLTFX* effects) {
    if (IsEmpty(destRect))
        return DDERR_INVALIDRECT;
    static thread_local std::vector<RECT> areas;
    areas.clear();
    RECT bounds{0, 0, destination->width, destination->height};
    if (destination->clipper != nullptr) {
        if (!destination->clipper->hasList)
            return DDERR_NOCLIPLIST;
        for (const RECT& clip : destination->clipper->rects) {
            RECT area = Intersect(Intersect(clip, bounds), destRect);
            if (!IsEmpty(area))
                areas.push_back(area);
        }
    } else {
        if (!Inside(destRect, destination->width, destination->height))
            return DDERR_INVALIDRECT;
        areas.push_back(destRect);
    }

    if (flags & DDBLT_COLORFILL) {
        if (effects == nullptr)
            return DDERR_INVALIDPARAMS;
        for (const RECT& area : areas)
            Fill(destination, area, effects->dwFillColor);
        return DD_OK;
    }

    if (source == nullptr)
        return DDERR_INVALIDPARAMS;
    if (source->Busy())
        return DDERR_SURFACEBUSY;
    if (IsEmpty(sourceRect) || !Inside(sourceRect, source->width, source->height))
        return DDERR_INVALIDRECT;
    const DDCOLORKEY* key = nullptr;
    if (flags & DDBLT_KEYSRC) {
        if (!source->hasSourceKey)
            return DDERR_NOCOLORKEY;
        key = &source->sourceKey;
    }
    int sourceWidth = sourceRect.right - sourceRect.left;
    int sourceHeight = sourceRect.bottom - sourceRect.top;
    SourceView view{source->Row(sourceRect.top) + sourceRect.left, source->pitch};
    static thread_local std::vector<uint32_t> snapshot;
    bool plainCopy = key == nullptr && sourceWidth == destRect.right - destRect.left &&
                     sourceHeight == destRect.bottom - destRect.top;
    if (!plainCopy && source == destination && !IsEmpty(Intersect(sourceRect, destRect))) {
        // Overlapping blit within one surface: read the source as it was before.
        snapshot.resize(static_cast<size_t>(sourceWidth) * sourceHeight);
        for (int y = 0; y < sourceHeight; ++y)
            memcpy(&snapshot[static_cast<size_t>(y) * sourceWidth],
                   source->Row(sourceRect.top + y) + sourceRect.left,
                   static_cast<size_t>(sourceWidth) * sizeof(uint32_t));
        view = SourceView{snapshot.data(), sourceWidth};
    }
    for (const RECT& area : areas) {
        RECT part = Layer::SameRect(area, destRect) ? sourceRect
                                                    : ClippedSource(destRect, sourceRect, area);
        // Relative to the view, which starts at the source rectangle's top-left corner.
        RECT relative{part.left - sourceRect.left, part.top - sourceRect.top,
                      part.right - sourceRect.left, part.bottom - sourceRect.top};
        if (!IsEmpty(relative))
            Copy(destination, area, view, relative, key);
    }
    return DD_OK;
}

void DescribeSurface(const Surface& surface, DDSURFACEDESC* desc) {
    DWORD size = desc->dwSize;
    memset(desc, 0, sizeof *desc);
    desc->dwSize = size;
    desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(surface.width);
    desc->dwHeight = static_cast<DWORD>(surface.height);
    desc->lPitch = surface.pitch * 4;
    desc->ddsCaps.dwCaps = surface.caps;
    if (surface.hasSourceKey) {
        desc->dwFlags |= DDSD_CKSRCBLT;
        desc->ddckCKSrcBlt = surface.sourceKey;
    }
    if (surface.backBuffer != nullptr) {
        desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc->dwBackBufferCount = 1;
    }
    DDPIXELFORMAT& format = desc->ddpfPixelFormat;
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = 32;
    format.dwRBitMask = 0x00FF0000;
    format.dwGBitMask = 0x0000FF00;
    format.dwBBitMask = 0x000000FF;
}

} // namespace Layer
