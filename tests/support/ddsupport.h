// Test helpers for DirectDraw: a windowless DirectDraw object, surfaces, and pixels through Lock.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <vector>

class DirectDrawFixture {
public:
    DirectDrawFixture();
    ~DirectDrawFixture();
    DirectDrawFixture(const DirectDrawFixture&) = delete;
    DirectDrawFixture& operator=(const DirectDrawFixture&) = delete;

    bool Ready() const { return directDraw != nullptr; }
    // An off-screen plain surface, owned by the fixture, cleared to black.
    IDirectDrawSurface* NewSurface(int width, int height);
    IDirectDrawClipper* NewClipper(const RECT& rect);

    IDirectDraw* directDraw = nullptr;

private:
    std::vector<IUnknown*> owned;
};

// Pixels of a surface row by row, the unused top byte cleared; empty if Lock fails.
std::vector<uint32_t> ReadPixels(IDirectDrawSurface* surface);
bool WritePixels(IDirectDrawSurface* surface, const std::vector<uint32_t>& pixels);
// The bounding box of the pixels of a width-wide picture that are (or, with other, are not) colour,
// and how many they are; {width, height, 0, 0} when there are none.
RECT Bounds(const std::vector<uint32_t>& pixels, int width, uint32_t colour, int* count = nullptr,
            bool other = false);
// A picture where every pixel differs: (x + 1) | (y + 1) << 8 | 0x40 << 16.
std::vector<uint32_t> Pattern(int width, int height);
