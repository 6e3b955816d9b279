// LoadImageA for BMP files: 1, 4, 8, 16, 24 and 32 bits, BI_RGB and BI_BITFIELDS, either row order.
//
// The file is untrusted: every size, offset and count is checked against the bytes read before
// it is used, pictures above 8192 pixels a side or 16 M pixels (64 MiB) are refused, and a file
// that does not hold all its rows is refused rather than read short. 16-bit and mask pixels are
// widened to 8 bits a channel by repeating their bits (5-bit 7 -> 57, 31 -> 255), as GDI and
// ImageMagick do.
#include <cstdio>
#include <cstring>

#include "gdi/gdiinternal.h"

namespace {

constexpr size_t maxFileSize = size_t{256} << 20;
constexpr int64_t maxSide = 8192;
constexpr int64_t maxPixels = int64_t{16} << 20;

uint32_t Read16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}
uint32_t Read32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct Channel {
    uint32_t mask;
    int shift;
    int bits;
};

Channel ChannelOf(uint32_t mask) {
    Channel channel{mask, 0, 0};
    if (mask == 0)
        return channel;
    while (((mask >> channel.shift) & 1u) == 0)
        ++channel.shift;
    for (uint32_t rest = mask >> channel.shift; rest & 1u; rest >>= 1)
        ++channel.bits;
    return channel;
}

// Widens a channel to 8 bits by repeating its bits (5 bits abcde give abcdeabc), as GDI does.
uint32_t Scale(uint32_t value, const Channel& channel) {
    if (channel.bits == 0)
        return 0;
    uint64_t v = (value & channel.mask) >> channel.shift;
    uint64_t widened = 0;
    int bits = 0;
    while (bits < 8) {
        widened = (widened << channel.bits) | v;
        bits += channel.bits;
    }
    return static_cast<uint32_t>((widened >> (bits - 8)) & 0xFF);
}

struct Header {
    int64_t width = 0;
    int64_t height = 0;
    bool topDown = false;
    int bits = 0;
    uint32_t compression = 0;
    uint32_t masks[3] = {0, 0, 0};
    size_t paletteOffset = 0;
    size_t paletteEntrySize = 4;
    size_t paletteCount = 0;
    size_t pixelOffset = 0;
};

bool ParseHeader(const uint8_t* data, size_t size, Header* header) {
    if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M')
        return false;
    header->pixelOffset = Read32(data + 10);
    size_t infoSize = Read32(data + 14);
    if (infoSize == 12) { // BITMAPCOREHEADER
        header->width = Read16(data + 18);
        header->height = Read16(data + 20);
        header->bits = static_cast<int>(Read16(data + 24));
        header->paletteEntrySize = 3;
    } else {
        if (infoSize < 40 || infoSize > size - 14)
            return false;
        header->width = static_cast<int32_t>(Read32(data + 18));
        int64_t height = static_cast<int32_t>(Read32(data + 22));
        header->topDown = height < 0;
        header->height = height < 0 ? -height : height;
        header->bits = static_cast<int>(Read16(data + 28));
        header->compression = Read32(data + 30);
        header->paletteCount = Read32(data + 46);
        if (header->compression == 3) { // BI_BITFIELDS: masks in the header or right after it
            size_t maskOffset = 14 + 40;
            if (maskOffset + 12 > size)
                return false;
            for (int i = 0; i < 3; ++i)
                header->masks[i] = Read32(data + maskOffset + 4 * i);
            if (infoSize == 40)
                infoSize += 12;
        }
    }
    header->paletteOffset = 14 + infoSize;
    if (header->width <= 0 || header->height <= 0 || header->width > maxSide ||
        header->height > maxSide || header->width * header->height > maxPixels)
        return false;
    switch (header->bits) {
    case 1:
    case 4:
    case 8:
        if (header->compression != 0)
            return false;
        if (header->paletteCount == 0 || header->paletteCount > (size_t{1} << header->bits))
            header->paletteCount = size_t{1} << header->bits;
        if (header->paletteOffset + header->paletteCount * header->paletteEntrySize > size)
            return false;
        return true;
    case 16:
    case 32:
        if (header->compression == 0) {
            header->masks[0] = header->bits == 16 ? 0x7C00 : 0x00FF0000;
            header->masks[1] = header->bits == 16 ? 0x03E0 : 0x0000FF00;
            header->masks[2] = header->bits == 16 ? 0x001F : 0x000000FF;
            return true;
        }
        return header->compression == 3;
    case 24:
        return header->compression == 0;
    default:
        return false;
    }
}

// Decodes a whole BMP file into top-down XRGB pixels; false for anything it cannot read in full.
bool DecodeBmp(const uint8_t* data, size_t size, HBITMAP* result) {
    Header header;
    if (!ParseHeader(data, size, &header))
        return false;
    size_t stride = static_cast<size_t>((header.width * header.bits + 31) / 32) * 4;
    size_t rows = static_cast<size_t>(header.height);
    if (header.pixelOffset > size || stride * rows > size - header.pixelOffset)
        return false;
    uint32_t palette[256] = {};
    for (size_t i = 0; i < header.paletteCount && header.bits <= 8; ++i) {
        const uint8_t* entry = data + header.paletteOffset + i * header.paletteEntrySize;
        palette[i] = (static_cast<uint32_t>(entry[2]) << 16) | (entry[1] << 8) | entry[0];
    }
    Channel channels[3] = {ChannelOf(header.masks[0]), ChannelOf(header.masks[1]),
                           ChannelOf(header.masks[2])};
    int width = static_cast<int>(header.width);
    HBITMAP bitmap = Layer::NewBitmap(width, static_cast<int>(rows));
    for (size_t row = 0; row < rows; ++row) {
        const uint8_t* line = data + header.pixelOffset + row * stride;
        size_t targetRow = header.topDown ? row : rows - 1 - row;
        uint32_t* out = bitmap->pixels.data() + targetRow * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            switch (header.bits) {
            case 1:
            case 4:
            case 8: {
                int perByte = 8 / header.bits;
                uint32_t byte = line[x / perByte];
                int shift = 8 - header.bits * (x % perByte + 1);
                uint32_t index = (byte >> shift) & ((1u << header.bits) - 1);
                pixel = index < header.paletteCount ? palette[index] : 0;
                break;
            }
            case 24:
                pixel = (static_cast<uint32_t>(line[3 * x + 2]) << 16) | (line[3 * x + 1] << 8) |
                        line[3 * x];
                break;
            default: {
                uint32_t value = header.bits == 16 ? Read16(line + 2 * x) : Read32(line + 4 * x);
                pixel = (Scale(value, channels[0]) << 16) | (Scale(value, channels[1]) << 8) |
                        Scale(value, channels[2]);
                break;
            }
            }
            out[x] = pixel;
        }
    }
    *result = bitmap;
    return true;
}

} // namespace

HANDLE WINAPI LoadImageA(HINSTANCE, LPCSTR name, UINT type, int, int, UINT flags) {
    Layer::NoteUnsupportedFlags("LoadImageA", flags, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (type != IMAGE_BITMAP || name == nullptr || !(flags & LR_LOADFROMFILE)) {
        // The layer holds no resources: only files can be loaded.
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    FILE* file = fopen(name, "rb"); // the layer's own fopen: Windows path mapping
    if (file == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    bool tooLarge = false;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes.size() + got > maxFileSize) {
            tooLarge = true;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    fclose(file);
    HBITMAP bitmap = nullptr;
    if (tooLarge || !DecodeBmp(bytes.data(), bytes.size(), &bitmap)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return bitmap;
}
