// The icon: four of the game's tiles on a dark rounded square, at any size; the Windows icon
// reduces it to a 16-colour palette.
#include "icon.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "formats.h"
#include "pictures.h"

namespace {

const Rgb palette[16] = {{0, 0, 0},       {24, 28, 70},   {60, 70, 150},  {140, 150, 235},
                         {235, 60, 60},   {130, 25, 25},  {70, 205, 80},  {25, 100, 35},
                         {245, 210, 60},  {150, 120, 20}, {60, 215, 220}, {20, 100, 110},
                         {255, 255, 255}, {180, 90, 230}, {90, 40, 120},  {128, 128, 128}};

int Nearest(Rgb c) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 16; ++i) {
        long dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>((value >> (8 * i)) & 0xFF));
}

} // namespace

IconImage MakeIconImage(int size) {
    // Four of the game's tiles in the quarters of a dark rounded square with a light border, all
    // in proportion to the size: corner radius size / 8, border and gaps size / 32.
    IconImage icon{size, std::vector<Rgb>(static_cast<size_t>(size) * size, palette[0]),
                   std::vector<bool>(static_cast<size_t>(size) * size, false)};
    const int kinds[4] = {0, 1, 3, 5}; // circle, triangle, diamond, ring
    int quarter = size / 2, radius = size / 8, line = std::max(1, size / 32);
    Picture tiles(2 * quarter, 2 * quarter);
    for (int i = 0; i < 4; ++i)
        DrawTileAt(tiles, (i % 2) * quarter, (i / 2) * quarter, quarter, kinds[i]);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int cx =
                x < radius ? radius - x : (x > size - 1 - radius ? x - (size - 1 - radius) : 0);
            int cy =
                y < radius ? radius - y : (y > size - 1 - radius ? y - (size - 1 - radius) : 0);
            if (cx * cx + cy * cy > radius * radius)
                continue; // the rounded corners stay transparent
            bool border = x < line || y < line || x >= size - line || y >= size - line;
            Rgb c = border ? palette[3] : palette[1];
            Rgb tile = tiles.Get(x, y);
            if (tile.r + tile.g + tile.b > 0 && x % quarter >= line && y % quarter >= line)
                c = tile;
            icon.pixels[static_cast<size_t>(y) * size + x] = c;
            icon.opaque[static_cast<size_t>(y) * size + x] = true;
        }
    return icon;
}

bool WriteIcon(const std::string& path) {
    IconImage icon = MakeIconImage(32);
    int index[32][32];
    bool transparent[32][32];
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            transparent[y][x] = !icon.opaque[y * 32 + x];
            // Masked pixels are black in the colour part: Windows draws an icon by ANDing the mask
            // onto the screen and then XORing the colours, so anything else there would tint the
            // background behind the rounded corners.
            index[y][x] = transparent[y][x] ? 0 : Nearest(icon.pixels[y * 32 + x]);
        }
    std::vector<uint8_t> image;
    Put(image, 40, 4);
    Put(image, 32, 4);
    Put(image, 64, 4); // colour and mask halves
    Put(image, 1, 2);
    Put(image, 4, 2);
    Put(image, 0, 4);
    Put(image, 32 * 16 + 32 * 4, 4);
    Put(image, 0, 4);
    Put(image, 0, 4);
    Put(image, 16, 4);
    Put(image, 0, 4);
    for (const Rgb& c : palette) {
        image.push_back(static_cast<uint8_t>(c.b));
        image.push_back(static_cast<uint8_t>(c.g));
        image.push_back(static_cast<uint8_t>(c.r));
        image.push_back(0);
    }
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 2)
            image.push_back(static_cast<uint8_t>((index[y][x] << 4) | index[y][x + 1]));
    for (int y = 31; y >= 0; --y)
        for (int byte = 0; byte < 4; ++byte) {
            uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (transparent[y][byte * 8 + bit])
                    bits |= static_cast<uint8_t>(0x80 >> bit);
            image.push_back(bits);
        }
    std::vector<uint8_t> file;
    Put(file, 0, 2);
    Put(file, 1, 2);
    Put(file, 1, 2);
    file.push_back(32);
    file.push_back(32);
    file.push_back(16);
    file.push_back(0);
    Put(file, 1, 2);
    Put(file, 4, 2);
    Put(file, static_cast<uint32_t>(image.size()), 4);
    Put(file, 22, 4);
    file.insert(file.end(), image.begin(), image.end());
    return WriteWholeFile(path, std::string(file.begin(), file.end()));
}

bool WritePngIcon(const std::string& path, int size) {
    IconImage icon = MakeIconImage(size);
    std::vector<uint32_t> argb;
    for (size_t i = 0; i < icon.pixels.size(); ++i) {
        const Rgb& c = icon.pixels[i];
        argb.push_back((icon.opaque[i] ? 0xFF000000u : 0u) |
                       static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b));
    }
    return WriteWholeFile(path, Png(size, size, argb));
}
