// The icon: four of the game's tiles on a dark rounded square, at any size; the Windows icon
// file holds it at 32 pixels in a 16-colour palette and at 16, 48 and 256 pixels in full colour.
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

namespace {

// The pixels as 0xAARRGGBB, transparent ones 0.
std::vector<uint32_t> Argb(const IconImage& icon) {
    std::vector<uint32_t> argb;
    for (size_t i = 0; i < icon.pixels.size(); ++i) {
        const Rgb& c = icon.pixels[i];
        argb.push_back(
            icon.opaque[i] ? 0xFF000000u | static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b) : 0u);
    }
    return argb;
}

// An icon image as Windows stores it: a bitmap header of twice the height, the colours bottom-up,
// then the AND mask bottom-up (rows of whole 32-bit words). Masked pixels are black in the colour
// part: Windows draws an icon by ANDing the mask onto the screen and then XORing the colours, so
// anything else there would tint the background behind the rounded corners.
std::vector<uint8_t> IconBitmap(const IconImage& icon, int bits) {
    const int size = icon.size;
    const size_t maskStride = static_cast<size_t>(size + 31) / 32 * 4;
    const size_t colourStride = static_cast<size_t>(size * bits + 31) / 32 * 4;
    std::vector<uint8_t> image;
    Put(image, 40, 4);
    Put(image, static_cast<uint32_t>(size), 4);
    Put(image, static_cast<uint32_t>(2 * size), 4); // colour and mask halves
    Put(image, 1, 2);
    Put(image, static_cast<uint32_t>(bits), 2);
    Put(image, 0, 4);
    Put(image, static_cast<uint32_t>((colourStride + maskStride) * size), 4);
    Put(image, 0, 4);
    Put(image, 0, 4);
    Put(image, bits == 4 ? 16 : 0, 4);
    Put(image, 0, 4);
    if (bits == 4)
        for (const Rgb& c : palette) {
            image.push_back(static_cast<uint8_t>(c.b));
            image.push_back(static_cast<uint8_t>(c.g));
            image.push_back(static_cast<uint8_t>(c.r));
            image.push_back(0);
        }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(colourStride, 0);
        for (int x = 0; x < size; ++x) {
            size_t at = static_cast<size_t>(y) * size + x;
            if (!icon.opaque[at])
                continue;
            const Rgb& c = icon.pixels[at];
            if (bits == 4) {
                row[x / 2] |= static_cast<uint8_t>(Nearest(c) << (x % 2 == 0 ? 4 : 0));
            } else {
                uint8_t bgra[4] = {static_cast<uint8_t>(c.b), static_cast<uint8_t>(c.g),
                                   static_cast<uint8_t>(c.r), 255};
                std::copy(bgra, bgra + 4, row.begin() + 4 * x);
            }
        }
        image.insert(image.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < size; ++x)
            if (!icon.opaque[static_cast<size_t>(y) * size + x])
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        image.insert(image.end(), row.begin(), row.end());
    }
    return image;
}

} // namespace

bool WriteIcon(const std::string& path) {
    // The 32 x 32 image in 16 colours that the game loads comes first; Explorer and the taskbar
    // pick the others by size: 16 and 48 pixels in full colour, 256 as PNG (as Windows stores it).
    struct Entry {
        int size, bits;
        std::vector<uint8_t> bytes;
    };
    std::vector<Entry> entries;
    for (auto [size, bits] : {std::pair{32, 4}, {16, 32}, {48, 32}}) {
        entries.push_back({size, bits, IconBitmap(MakeIconImage(size), bits)});
    }
    std::string png = Png(256, 256, Argb(MakeIconImage(256)));
    entries.push_back({256, 32, std::vector<uint8_t>(png.begin(), png.end())});
    std::vector<uint8_t> file;
    Put(file, 0, 2);
    Put(file, 1, 2);
    Put(file, static_cast<uint32_t>(entries.size()), 2);
    uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
    for (const Entry& entry : entries) {
        file.push_back(static_cast<uint8_t>(entry.size & 0xFF)); // 256 is written 0
        file.push_back(static_cast<uint8_t>(entry.size & 0xFF));
        file.push_back(entry.bits == 4 ? 16 : 0);
        file.push_back(0);
        Put(file, 1, 2);
        Put(file, static_cast<uint32_t>(entry.bits), 2);
        Put(file, static_cast<uint32_t>(entry.bytes.size()), 4);
        Put(file, offset, 4);
        offset += static_cast<uint32_t>(entry.bytes.size());
    }
    for (const Entry& entry : entries)
        file.insert(file.end(), entry.bytes.begin(), entry.bytes.end());
    return WriteWholeFile(path, std::string(file.begin(), file.end()));
}

bool WritePngIcon(const std::string& path, int size) {
    return WriteWholeFile(path, Png(size, size, Argb(MakeIconImage(size))));
}
