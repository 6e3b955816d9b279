// 8-bit screens' colours: the screen pixel of each colour, on a visual of colour masks or through
// a colour cube, and the view's XRGB picture turned into those pixels.
#include <cstddef>

#include "screen/x11.h"

namespace Layer {

namespace {

// The value a mask's field takes for a level of 0 to 255, rounded to the nearest.
unsigned long Field(unsigned long mask, int level) {
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    unsigned long largest = mask >> shift;
    return ((static_cast<unsigned long>(level) * largest + 127) / 255) << shift;
}

// A 5-bit level as 0 to 255.
int Widened(int five) {
    return five * 255 / 31;
}

} // namespace

std::vector<unsigned char> MaskedLookup(unsigned long redMask, unsigned long greenMask,
                                        unsigned long blueMask) {
    std::vector<unsigned char> lookup(32768);
    for (int colour = 0; colour < 32768; ++colour)
        lookup[static_cast<size_t>(colour)] = static_cast<unsigned char>(
            Field(redMask, Widened(colour >> 10)) | Field(greenMask, Widened((colour >> 5) & 31)) |
            Field(blueMask, Widened(colour & 31)));
    return lookup;
}

std::vector<unsigned char> CubeLookup(const unsigned long cube[216]) {
    std::vector<unsigned char> lookup(32768);
    auto level = [](int five) { return (Widened(five) * 5 + 127) / 255; };
    for (int colour = 0; colour < 32768; ++colour)
        lookup[static_cast<size_t>(colour)] = static_cast<unsigned char>(
            cube[level(colour >> 10) * 36 + level((colour >> 5) & 31) * 6 + level(colour & 31)]);
    return lookup;
}

int EightBitPitch(int width) {
    return (width + 3) & ~3;
}

void ToEightBit(const std::vector<unsigned char>& lookup, const uint32_t* pixels, int width,
                int height, unsigned char* out, int pitch) {
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<ptrdiff_t>(y) * width;
        unsigned char* line = out + static_cast<ptrdiff_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            uint32_t p = row[x];
            line[x] = lookup[((p >> 9) & 0x7C00) | ((p >> 6) & 0x3E0) | ((p >> 3) & 0x1F)];
        }
    }
}

} // namespace Layer
