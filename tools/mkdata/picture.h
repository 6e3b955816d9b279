// A small RGB canvas for the picture generators, with the drawing helpers they share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    int r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t);
Rgb Scale(Rgb c, double factor);

class Picture {
public:
    Picture(int width, int height);
    int Width() const { return width; }
    void Set(int x, int y, Rgb color);
    Rgb Get(int x, int y) const;
    void FillRect(int left, int top, int right, int bottom, Rgb color);
    // Writes a 24-bit bottom-up BMP file; false when it cannot be written.
    bool SaveBmp(const std::string& path) const;

private:
    int width;
    int height;
    std::vector<Rgb> pixels;
};

// The 5 x 7 pixel letters and digits the pictures are lettered with; true for an inked pixel.
bool GlyphPixel(char c, int x, int y);
// Draws text with each font pixel as a w x h block, one blank font column between letters.
void DrawLetters(Picture& picture, int x, int y, const std::string& text, int w, int h, Rgb top,
                 Rgb bottom, Rgb outline);
// Width in pixels of text drawn with DrawLetters.
int LettersWidth(const std::string& text, int w);
