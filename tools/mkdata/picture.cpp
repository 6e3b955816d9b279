// The canvas, BMP writing and the 5 x 7 lettering of the picture generators.
#include "picture.h"

#include "formats.h"

#include <algorithm>
#include <cstdio>

Rgb Mix(Rgb a, Rgb b, double t) {
    return Rgb{static_cast<int>(a.r + (b.r - a.r) * t), static_cast<int>(a.g + (b.g - a.g) * t),
               static_cast<int>(a.b + (b.b - a.b) * t)};
}

Rgb Scale(Rgb c, double factor) {
    auto clamp = [](double v) { return std::max(0, std::min(255, static_cast<int>(v))); };
    return Rgb{clamp(c.r * factor), clamp(c.g * factor), clamp(c.b * factor)};
}

Picture::Picture(int width, int height)
    : width(width), height(height), pixels(static_cast<size_t>(width) * height, Rgb{0, 0, 0}) {}

void Picture::Set(int x, int y, Rgb color) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    pixels[static_cast<size_t>(y) * width + x] = color;
}

Rgb Picture::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return Rgb{0, 0, 0};
    return pixels[static_cast<size_t>(y) * width + x];
}

void Picture::FillRect(int left, int top, int right, int bottom, Rgb color) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            Set(x, y, color);
}

bool Picture::SaveBmp(const std::string& path) const {
    std::vector<uint32_t> xrgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb c = Get(x, y);
            xrgb.push_back(static_cast<uint32_t>(std::clamp(c.r, 0, 255) << 16 |
                                                 std::clamp(c.g, 0, 255) << 8 |
                                                 std::clamp(c.b, 0, 255)));
        }
    return WriteWholeFile(path, Bmp24(width, height, xrgb));
}

namespace {

// Rows of 5 bits, top row first; bit 4 is the leftmost pixel.
struct Glyph {
    char c;
    uint8_t rows[7];
};

constexpr Glyph glyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},
};

} // namespace

bool GlyphPixel(char c, int x, int y) {
    if (x < 0 || x > 4 || y < 0 || y > 6)
        return false;
    for (const Glyph& glyph : glyphs)
        if (glyph.c == c)
            return (glyph.rows[y] >> (4 - x)) & 1;
    return false;
}

int LettersWidth(const std::string& text, int w) {
    return text.empty() ? 0 : static_cast<int>(text.size()) * 6 * w - w;
}

void DrawLetters(Picture& picture, int x, int y, const std::string& text, int w, int h, Rgb top,
                 Rgb bottom, Rgb outline) {
    // Outline first: every pixel next to ink, then the ink with a vertical gradient.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < text.size(); ++i) {
            int left = x + static_cast<int>(i) * 6 * w;
            for (int gy = 0; gy < 7; ++gy)
                for (int gx = 0; gx < 5; ++gx) {
                    if (!GlyphPixel(text[i], gx, gy))
                        continue;
                    for (int py = 0; py < h; ++py)
                        for (int px = 0; px < w; ++px) {
                            int sx = left + gx * w + px;
                            int sy = y + gy * h + py;
                            if (pass == 0) {
                                for (int dy = -1; dy <= 1; ++dy)
                                    for (int dx = -1; dx <= 1; ++dx)
                                        picture.Set(sx + dx, sy + dy, outline);
                            } else {
                                double t = static_cast<double>(gy * h + py) / (7.0 * h - 1.0);
                                picture.Set(sx, sy, Mix(top, bottom, t));
                            }
                        }
                }
        }
    }
}
