// Writes small BMP files for tests: 24-bit, bottom-up, from XRGB pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tempfolder.h"

inline void PutLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string Bmp24(int width, int height, const std::vector<uint32_t>& pixels) {
    int stride = (width * 3 + 3) & ~3;
    std::string bytes = "BM";
    PutLE(bytes, 54 + stride * height, 4);
    PutLE(bytes, 0, 4);
    PutLE(bytes, 54, 4);
    PutLE(bytes, 40, 4);
    PutLE(bytes, static_cast<uint32_t>(width), 4);
    PutLE(bytes, static_cast<uint32_t>(height), 4);
    PutLE(bytes, 1, 2);
    PutLE(bytes, 24, 2);
    PutLE(bytes, 0, 4);
    PutLE(bytes, static_cast<uint32_t>(stride * height), 4);
    PutLE(bytes, 2835, 4);
    PutLE(bytes, 2835, 4);
    PutLE(bytes, 0, 4);
    PutLE(bytes, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            PutLE(bytes, pixels[static_cast<size_t>(y) * width + x], 3);
        bytes.append(static_cast<size_t>(stride - width * 3), '\0');
    }
    return bytes;
}
